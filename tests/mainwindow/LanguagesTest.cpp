// The shipped languages as a user meets them: the language chosen in the Setup
// menu is marked there, and every window, menu and printout caption shows texts
// of that language only. The test lists every text that stays in the other one.
#include "controls/DateTimePopup.h"
#include "dialogs/misc/SplashForm.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintPreviewDialog.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "document/ChartRows.h"
#include "document/program/IniFile.h"
#include "document/program/Translation.h"
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/PaintedTexts.h"
#include "tests/support/PixelTest.h"
#include "tests/support/TextsFit.h"
#include "timechart/CanvasPanel.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace mainformtest;
using testsupport::WhenModal;

namespace {

// The texts of a language file: its keys (the texts as the program writes them)
// and its values (their translations).
struct LanguageFile {
    QStringList keys, values;
    explicit LanguageFile(const QString &name)
    {
        TMemIniFile ini(QStringLiteral(ZELTRANO_LANGUAGES) + "/" + name + ".lng");
        ini.ReadSection("translated", keys);
        for (const QString &key : keys)
            values << ini.ReadString("translated", key, QString());
    }
};

// A shown text matches a text of the list, whose "%s" stands for anything.
bool Matches(const QStringList &texts, QString shown)
{
    shown.replace('\r', "\\n").replace('\n', "\\n").remove('&');
    for (QString text : texts) {
        text = text.remove('&').trimmed();
        if (text == shown)
            return true;
        if (!text.contains("%s"))
            continue;
        QStringList pieces = text.split("%s");
        for (QString &piece : pieces)
            piece = QRegularExpression::escape(piece);
        const QRegularExpression pattern("^" + pieces.join(".*") + "$");
        if (pattern.match(shown).hasMatch())
            return true;
    }
    return false;
}

// Everything a user reads on a window: its title, the titles and entries of its
// menus, its labels, buttons, group boxes, tabs and tool tips; with `lists` also
// its placeholders, the entries of its drop-down lists and lists, and list headers.
void Collect(QWidget &window, QStringList &texts, bool lists = false)
{
    texts << window.windowTitle();
    // Qt's own calendar names the months in the desktop's language.
    const auto qtOwn = [](const QObject *object) {
        for (; object; object = object->parent()) {
            if (qobject_cast<const QCalendarWidget *>(object))
                return true;
        }
        return false;
    };
    for (QAction *action : window.findChildren<QAction *>()) {
        if (action->isSeparator() || !action->isVisible() || qtOwn(action))
            continue;
        texts << action->text();
        // An action without a hint of its own shows its caption as one.
        if (action->toolTip() != QString(action->text()).remove('&').remove("..."))
            texts << action->toolTip();
        if (action->menu())
            texts << action->menu()->title();
    }
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!qtOwn(label))
            texts << label->text();
    }
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (qtOwn(button))
            continue;
        texts << button->text();
        // A tool bar's button shows its action's hint.
        const auto *tool = qobject_cast<QToolButton *>(button);
        if (!tool || !tool->defaultAction())
            texts << button->toolTip();
    }
    for (QGroupBox *box : window.findChildren<QGroupBox *>())
        texts << box->title();
    if (!lists)
        return;
    for (QLineEdit *edit : window.findChildren<QLineEdit *>()) {
        if (!qtOwn(edit))
            texts << edit->placeholderText();
    }
    for (QComboBox *combo : window.findChildren<QComboBox *>()) {
        // The font boxes list the machine's fonts, no texts of the program.
        if (qtOwn(combo) || QByteArray(combo->metaObject()->className()).contains("Font"))
            continue;
        texts << combo->placeholderText();
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    }
    for (QTreeWidget *list : window.findChildren<QTreeWidget *>()) {
        for (int c = 0; c < list->columnCount(); ++c)
            texts << list->headerItem()->text(c);
        for (QTreeWidgetItemIterator it(list); *it; ++it) {
            for (int c = 0; c < list->columnCount(); ++c)
                texts << (*it)->text(c);
        }
    }
    for (QListWidget *list : window.findChildren<QListWidget *>()) {
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
    }
    for (QTabBar *tabs : window.findChildren<QTabBar *>()) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    }
}

// The month and weekday names a month calendar shows: its month button with the
// months of its menu, and the weekday header above the days.
QStringList CalendarNames(QCalendarWidget &calendar)
{
    QStringList names;
    if (auto *month = calendar.findChild<QToolButton *>("qt_calendar_monthbutton")) {
        names << month->text();
        if (month->menu()) {
            for (QAction *item : month->menu()->actions())
                names << item->text();
        }
    }
    if (auto *grid = calendar.findChild<QTableView *>()) {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            names << grid->model()->data(grid->model()->index(0, c)).toString();
    }
    return names;
}

// Every month name and weekday name, long and short, of a locale.
QSet<QString> DateNames(const QLocale &locale)
{
    QSet<QString> names;
    for (const QLocale::FormatType format :
        { QLocale::LongFormat, QLocale::ShortFormat, QLocale::NarrowFormat }) {
        for (int m = 1; m <= 12; ++m)
            names << locale.monthName(m, format) << locale.standaloneMonthName(m, format);
        for (int d = 1; d <= 7; ++d)
            names << locale.dayName(d, format) << locale.standaloneDayName(d, format);
    }
    return names;
}

class LanguagesTest : public MainFormTest {
protected:
    void SetUp() override
    {
        SetLanguageFolder(QStringLiteral(ZELTRANO_LANGUAGES));
        GeneratorOptions options;
        options.tasks = 20;
        options.absentRows = 3;
        options.positions = 3;
        OpenPlan("plan.kez", options);
    }
    void TearDown() override
    {
        SetLanguageFolder(QString());
        CloseFile();
    }

    // Chooses the language in Setup > Language by clicks; the item it marks.
    QString ChooseLanguage(const QString &language)
    {
        EXPECT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Format1));
        EXPECT_TRUE(OpenSubmenu(*Probe(*form).Menus().Format1, *Probe(*form).Menus().Sprache1));
        for (QAction *item : Probe(*form).Menus().Sprache1->actions()) {
            if (item->text().remove('&') == language)
                Choose(*Probe(*form).Menus().Sprache1, item);
        }
        CloseMenus();
        EXPECT_TRUE(OpenMenu(*form, *Probe(*form).Menus().Format1));
        EXPECT_TRUE(OpenSubmenu(*Probe(*form).Menus().Format1, *Probe(*form).Menus().Sprache1));
        QString marked;
        for (QAction *item : Probe(*form).Menus().Sprache1->actions()) {
            if (item->isChecked())
                marked += item->text().remove('&');
        }
        CloseMenus();
        return marked;
    }

    // The texts of the main window and of the windows its commands open, and
    // the captions of a printout.
    // `saved`: the plan is a saved one with absent days (a new one cannot be
    // archived nor show its absences).
    QStringList ShownTexts(bool saved = true)
    {
        // A new document's lists hold only what the program wrote; a saved
        // plan's hold its own words.
        const bool lists = !saved;
        const auto Collect
            = [lists](QWidget &window, QStringList &texts) { ::Collect(window, texts, lists); };
        QStringList texts;
        Collect(*form, texts);
        for (QMenu *menu : form->findChildren<QMenu *>())
            texts << menu->title();
        WhenModal<TPrintTimeChartDialog>([&](TPrintTimeChartDialog *dialog) {
            Collect(*dialog, texts);
            EXPECT_EQ(testsupport::CutTexts(*dialog), QStringList());
            WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *preview) {
                Collect(*preview, texts);
                // The printout's own captions: its title line, "Stand:", the page numbers.
                for (const TPrintJob::THeader &line : dialog->PrintPreviewDialog1().Headers())
                    texts << line.Str;
                // And what the first page shows: the chart's month and day captions.
                if (lists) {
                    const TPagePicture *page = dialog->PrintPreviewDialog1().GetMetafile(1);
                    EXPECT_TRUE(page) << "no page printed";
                    if (page)
                        texts << testsupport::PaintedTexts(
                            [page](QPainter &painter) { page->Play(painter); });
                }
                preview->reject();
            });
            QTest::mouseClick(dialog->ButtonOK(), Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
        });
        Action("ActionPrintTimechart")->trigger();
        WhenModal<TPrintListDialog>([&](TPrintListDialog *dialog) {
            Collect(*dialog, texts);
            EXPECT_EQ(testsupport::CutTexts(*dialog), QStringList());
            dialog->reject();
        });
        Action("ActionPrintList")->trigger();
        // The setup dialogs, the evaluations, the archive, the chart image, going to a date.
        for (const char *command : { "Tabellebearbeiten1", "Fehltagebearbeiten1", "Arbeitspltzebearbeiten1",
                 "ositionengruppieren1", "EditHoliday1", "Auslastung1", "Statistik1",
                 "ActionHolidayStatistic", "Auftrgearchivieren1", "Grafikspeichern1", "ActionGoto" }) {
            if (!saved
                && (QLatin1String(command) == "ActionHolidayStatistic"
                    || QLatin1String(command) == "Auftrgearchivieren1"))
                continue;
            bool shown = false;
            // The chart image asks for its file first.
            fileDialogs->saveAnswers = QStringList { folder.filePath("chart.jpg") };
            WhenModal<QDialog>([&](QDialog *dialog) {
                shown = true;
                Collect(*dialog, texts);
                // The language's longer texts show whole.
                EXPECT_EQ(testsupport::CutTexts(*dialog), QStringList()) << command;
                dialog->reject();
            });
            Action(command)->trigger();
            EXPECT_TRUE(shown) << command;
        }
        Action("Info1")->trigger();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *about = qobject_cast<TSplashForm *>(window)) {
                Collect(*about, texts);
                EXPECT_EQ(about->StatusLabel()->text(), QString()) << "the about box tells of no start-up";
                about->hide();
            }
        }
        return texts;
    }

    // The shown texts that are not of `language`: neither a translation into
    // it nor a text the program writes in it, nor free of words.
    QStringList Untranslated(const QString &language, const QStringList &shown)
    {
        const LanguageFile english("English"), german("Deutsch");
        QStringList own = language == "Deutsch" ? german.values + english.keys : german.keys + english.values;
        // The plan's own words (its columns and positions) and the languages'
        // names are no text of the program.
        // (A column's field in the editor adds its unit: "Length (days)".)
        for (const TWhichTable table : { tbTable, tbExclude }) {
            for (int c = 0; c < doc().GetTableColCount(table); ++c)
                own << doc().GetColumnCaption(table, c) << doc().GetColumnCaption(table, c) + " %s";
        }
        for (const QString &position :
            doc().ChartRows().AllPositions() + doc().ChartRows().GlobalPositionFilter())
            own << position.section(',', 0, 0).remove('"');
        own << "Deutsch"
            << "English";
        QStringList untranslated;
        for (const QString &text : shown) {
            const QString plain = QString(text).remove('&').trimmed();
            // Numbers, dates, file names and the program's name are no language's.
            // The sharing state's markers (" *LOCKED*", "[version 3]") are fixed texts.
            if (!plain.contains(QRegularExpression("[A-Za-zÄÖÜäöüß]{2}")) || plain.contains('/')
                || plain.contains(QRegularExpression(
                    "^(\\*LOCKED\\*)? *(\\(\\d+ CONFLICTS\\))? *(\\(\\d+ PENDING\\))? *\\[version [^]]*\\]$"))
                || plain == "Zeltrano" || plain.startsWith("KEZ - ") || plain.startsWith("http"))
                continue;
            if (!Matches(own, plain) && !untranslated.contains(plain))
                untranslated << plain;
        }
        return untranslated;
    }

    // Texts holding a word of the other language: a word only that language's
    // texts use, or one that slipped through before.
    static QStringList OtherLanguage(const QString &language, const QStringList &shown)
    {
        const LanguageFile english("English"), german("Deutsch");
        const auto words = [](const QStringList &texts) {
            QSet<QString> found;
            for (const QString &text : texts) {
                for (const QString &word :
                    text.split(QRegularExpression("[^A-Za-zÄÖÜäöüß]+"), Qt::SkipEmptyParts))
                    found.insert(word.toLower());
            }
            return found;
        };
        const QStringList englishSeen { "End", "Length", "Comment", "Working Days", "Absent reason",
            "Resource", "Weekday", "Day", "Find", "Easter", "January", "March", "December", "Monday",
            "Sunday", "Look in", "File name", "Cancel" };
        const QStringList germanSeen { "KEZ wird initialisiert", "archiv", "Ende", "Länge", "Bemerkung",
            "Januar", "März", "Montag", "Ostern", "Suchen", "Abbrechen" };
        const QSet<QString> englishWords = words(german.keys + english.values + englishSeen);
        const QSet<QString> germanWords = words(german.values + english.keys + germanSeen);
        QSet<QString> foreign
            = language == "Deutsch" ? englishWords - germanWords : germanWords - englishWords;
        // British spelling beside the American one of the rest.
        if (language == "English")
            foreign.insert("utilisation");
        QStringList found;
        for (const QString &text : shown) {
            // Fields of a printout's header ("$PAGE_NO$") are no words.
            const QString plain = QString(text).remove(QRegularExpression("\\$[A-Z_]+\\$"));
            for (const QString &word : words({ plain })) {
                if (foreign.contains(word) && !found.contains(text))
                    found << text;
            }
        }
        return found;
    }
};

} // namespace

// A new document made in either language: its tables' and editor's captions,
// the setup dialogs' lists and headers, the placeholders and a printed page hold
// no word of the other language, and switching back turns every one of them.
TEST_F(LanguagesTest, ANewDocumentSpeaksTheChosenLanguageOnly)
{
    for (const QString language : { "Deutsch", "English", "Deutsch" }) {
        ASSERT_EQ(ChooseLanguage(language), language);
        // The plan of the round before is changed: it is not saved.
        if (doc().TotalCount(tbTable) == 1)
            dialogs.QueueAnswer(mrNo);
        Action("ActionNew")->trigger();
        IdleTick();
        Action("ActionAddNode")->trigger();
        ASSERT_EQ(doc().TotalCount(tbTable), 1);
        doc().SetData_(row(tbTable, 0), cnStart, "04.03.2024");
        doc().SetData_(row(tbTable, 0), cnLength, "5");
        IdleTick();
        // For a person to look at: the window and a setup dialog in the language.
        testsupport::SavePng(form->grab().toImage(), "language_new_document_" + language);
        WhenModal<QDialog>([language](QDialog *dialog) {
            testsupport::SavePng(dialog->grab().toImage(), "language_positions_" + language);
            dialog->reject();
        });
        Action("Arbeitspltzebearbeiten1")->trigger();
        QStringList texts = ShownTexts(false);
        for (const TWhichTable table : { tbTable, tbExclude }) {
            for (int c = 0; c < doc().GetTableColCount(table); ++c)
                texts << doc().GetColumnCaption(table, c);
        }
        EXPECT_EQ(OtherLanguage(language, texts), QStringList()) << language.toStdString();
    }
}

// Switching the language on an open plan turns the editor's captions and the
// find field's placeholder at once.
TEST_F(LanguagesTest, ASwitchTurnsTheEditorAndTheFindField)
{
    for (const QString language : { "Deutsch", "English" }) {
        ASSERT_EQ(ChooseLanguage(language), language);
        // The plan's own column captions stay; the unit the editor adds turns.
        const TEditorScrollBox &editor = Probe(*form).Editor().EditorScrollBox();
        const TEditorRow *length = editor.RowOf(doc().GetConnection(tbTable, cnLength));
        ASSERT_TRUE(length);
        EXPECT_TRUE(length->Caption->text().endsWith(language == "Deutsch" ? "(Tage)" : "(days)"))
            << length->Caption->text().toStdString();
        EXPECT_EQ(form->findChild<QLineEdit *>("Edit2")->placeholderText(),
            language == "Deutsch" ? "Suchen" : "Find");
        // Qt's own dialogs (the file dialogs) speak the language too.
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"),
            language == "Deutsch" ? "Suchen in:" : "Look in:");
    }
}

TEST_F(LanguagesTest, EveryWindowShowsTheChosenLanguageOnly)
{
    for (const QString language : { "English", "Deutsch" }) {
        EXPECT_EQ(ChooseLanguage(language), language) << "the language menu marks the language in use";
        EXPECT_EQ(Untranslated(language, ShownTexts()), QStringList()) << language.toStdString();
    }
}

// The editor's date popup names months and weekdays in the chosen language, also
// on a desktop set to the other one.
TEST_F(LanguagesTest, TheDatePopupNamesMonthsAndDaysInTheChosenLanguage)
{
    // The desktop's locale comes back however the test ends.
    const struct Restore {
        QLocale desktop;
        ~Restore() { QLocale::setDefault(desktop); }
    } restore;
    const QLocale englishLocale(QLocale::English), germanLocale(QLocale::German);
    const QSet<QString> english = DateNames(englishLocale), german = DateNames(germanLocale);
    for (const QString language : { "Deutsch", "English" }) {
        const bool inGerman = language == "Deutsch";
        QLocale::setDefault(inGerman ? englishLocale : germanLocale);
        ASSERT_EQ(ChooseLanguage(language), language);
        TStringGridTree &tree = Probe(*form).Tree(tbTable);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
            ToQRect(tree.GetDisplayRect(row(tbTable, 0)->VNode, -1, false)).center());
        Probe(*form).Editor().ChangeEditorVisibleTimerTimer();
        QCoreApplication::processEvents();
        const TEditorRow *start
            = Probe(*form).Editor().EditorScrollBox().RowOf(doc().GetConnection(tbTable, cnStart));
        ASSERT_TRUE(start && start->DateButton);
        TDateTimePopup &popup = Probe(*form).Editor().EditorScrollBox().DateTimePopup();
        QStringList names;
        controlstest::WhileRolledDown(
            popup, [&] { QTest::mouseClick(start->DateButton, Qt::LeftButton, {}, QPoint(7, 7)); },
            [&] {
                names = CalendarNames(*popup.Calendar());
                testsupport::SavePng(popup.grab().toImage(), "language_date_popup_" + language);
                QTest::keyClick(popup.Calendar(), Qt::Key_Escape);
            });
        const QSet<QString> own = inGerman ? german : english, other = inGerman ? english : german;
        QStringList foreign;
        for (const QString &name : names) {
            if (other.contains(name) && !own.contains(name))
                foreign << name;
        }
        EXPECT_EQ(names.size(), 20) << "the month, the twelve of its menu and seven weekdays";
        EXPECT_EQ(foreign, QStringList()) << language.toStdString() << names.join(",").toStdString();
    }
}

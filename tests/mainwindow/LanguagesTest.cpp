// The shipped languages as a user meets them: the language chosen in the Setup
// menu is marked there, and every window, menu and printout caption shows texts
// of that language only. The test lists every text that stays in the other one.
#include "dialogs/misc/SplashForm.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintPreviewDialog.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "document/ChartRows.h"
#include "document/program/IniFile.h"
#include "document/program/Translation.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "tests/support/ModalWindows.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

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
// menus, its labels, buttons, group boxes, tabs and tool tips.
void Collect(QWidget &window, QStringList &texts)
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
    for (QTabBar *tabs : window.findChildren<QTabBar *>()) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    }
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
        EXPECT_TRUE(OpenMenu(*form, *form->Menus().Format1));
        EXPECT_TRUE(OpenSubmenu(*form->Menus().Format1, *form->Menus().Sprache1));
        for (QAction *item : form->Menus().Sprache1->actions()) {
            if (item->text().remove('&') == language)
                Choose(*form->Menus().Sprache1, item);
        }
        CloseMenus();
        EXPECT_TRUE(OpenMenu(*form, *form->Menus().Format1));
        EXPECT_TRUE(OpenSubmenu(*form->Menus().Format1, *form->Menus().Sprache1));
        QString marked;
        for (QAction *item : form->Menus().Sprache1->actions()) {
            if (item->isChecked())
                marked += item->text().remove('&');
        }
        CloseMenus();
        return marked;
    }

    // The texts of the main window and of the windows its commands open, and
    // the captions of a printout.
    QStringList ShownTexts()
    {
        QStringList texts;
        Collect(*form, texts);
        for (QMenu *menu : form->findChildren<QMenu *>())
            texts << menu->title();
        WhenModal<TPrintTimeChartDialog>([&](TPrintTimeChartDialog *dialog) {
            Collect(*dialog, texts);
            WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *preview) {
                Collect(*preview, texts);
                // The printout's own captions: its title line, "Stand:", the page numbers.
                for (const TPrintJob::THeader &line : dialog->PrintPreviewDialog1().Headers())
                    texts << line.Str;
                preview->reject();
            });
            QTest::mouseClick(dialog->ButtonOK(), Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
        });
        Action("ActionPrintTimechart")->trigger();
        WhenModal<TPrintListDialog>([&](TPrintListDialog *dialog) {
            Collect(*dialog, texts);
            dialog->reject();
        });
        Action("ActionPrintList")->trigger();
        // The setup dialogs, the evaluations, the archive, the chart image, going to a date.
        for (const char *command : { "Tabellebearbeiten1", "Fehltagebearbeiten1", "Arbeitspltzebearbeiten1",
                 "ositionengruppieren1", "EditHoliday1", "Auslastung1", "Statistik1",
                 "ActionHolidayStatistic", "Auftrgearchivieren1", "Grafikspeichern1", "ActionGoto" }) {
            bool shown = false;
            // The chart image asks for its file first.
            fileDialogs->saveAnswers = QStringList { folder.filePath("chart.jpg") };
            WhenModal<QDialog>([&](QDialog *dialog) {
                shown = true;
                Collect(*dialog, texts);
                dialog->reject();
            });
            Action(command)->trigger();
            EXPECT_TRUE(shown) << command;
        }
        Action("Info1")->trigger();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *about = qobject_cast<TSplashForm *>(window)) {
                Collect(*about, texts);
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
};

} // namespace

TEST_F(LanguagesTest, EveryWindowShowsTheChosenLanguageOnly)
{
    for (const QString language : { "English", "Deutsch" }) {
        EXPECT_EQ(ChooseLanguage(language), language) << "the language menu marks the language in use";
        EXPECT_EQ(Untranslated(language, ShownTexts()), QStringList()) << language.toStdString();
    }
}

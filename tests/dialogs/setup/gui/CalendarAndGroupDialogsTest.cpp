// The groups, holidays and absence reasons dialogs as a user works in them.
#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/setup/gui/DefineHolidayDialog.h"
#include "dialogs/setup/gui/OrganizePositionsDialog.h"
#include "dialogs/setup/gui/SetupAbsentDaysDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "dialogs/setup/gui/SetupTableDialog.h"
#include "tests/dialogs/print/CheckListClicks.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>

using namespace setupgui;
using printtest::ClickCheckBox;
using testsupport::ClickMark;

// A new group starts empty under "new Group" (two may share the name), a
// rename shows on its tab at once, and page 0 cannot be changed or deleted.
TEST_F(SetupDialogTest, GroupsAreMadeRenamedFilledAndDeletedOnTheirPages)
{
    doc->AddPositionGroup("Old", ToCommaText({ positions()[0] }));
    TOrganizePositionsDialog &dialog = dialogs.OrganizePositionsDialog();
    Show<TOrganizePositionsDialog>(dialog, [](TOrganizePositionsDialog *d) {
        QTabWidget &pages = *d->PageControl1();
        ASSERT_EQ(pages.count(), 2);
        EXPECT_EQ(pages.currentIndex(), 0);
        EXPECT_EQ(pages.tabText(0), "Gesamtansicht");
        EXPECT_FALSE(d->SpeedButton2()->isEnabled());
        EXPECT_FALSE(d->GetTree(0)->isEnabled());
        EXPECT_FALSE(d->NameEdit(0)->isEnabled());
        EXPECT_TRUE(d->GetTree(0)->Checked(2));

        Click(d->SpeedButton1());
        Click(d->SpeedButton1());
        ASSERT_EQ(pages.count(), 4);
        EXPECT_EQ(pages.currentIndex(), 3);
        EXPECT_EQ(pages.tabText(2), "new Group");
        EXPECT_EQ(pages.tabText(3), "new Group");
        for (int j = 0; j < 3; ++j)
            EXPECT_FALSE(d->GetTree(3)->Checked(j));
        d->NameEdit(3)->selectAll();
        QTest::keyClicks(d->NameEdit(3), "Saws");
        EXPECT_EQ(pages.tabText(3), "Saws");
        ClickCheckBox(*d->GetTree(3), 1);
        ClickCheckBox(*d->GetTree(3), 2);
        EXPECT_TRUE(d->GetTree(3)->Checked(2));

        pages.setCurrentIndex(1);
        EXPECT_TRUE(d->SpeedButton2()->isEnabled());
        Click(d->SpeedButton2()); // "Old" goes
        EXPECT_EQ(pages.count(), 3);
        pages.setCurrentIndex(0);
        Click(d->SpeedButton2());
        EXPECT_EQ(pages.count(), 3);
        Click(d->Button1());
    });
    const QStringList items = positions();
    EXPECT_EQ(doc->Setup().FPositionGroupNames.mid(1), QStringList({ "new Group", "Saws" }));
    EXPECT_EQ(doc->Setup().FPositionGroup.mid(1), QStringList({ "", ToCommaText({ items[1], items[2] }) }));
}

// A name identifies a holiday: the built-in ones are added once, a renamed
// one comes back under its own name. Dates show as the list shows them, and
// switching a holiday between a date and a day from Easter keeps it sound.
TEST_F(SetupDialogTest, HolidaysAreAddedOnceEditedAndSwitchedBetweenDatesAndEaster)
{
    TDefineHolidayDialog &dialog = dialogs.DefineHolidayDialog();
    Show<TDefineHolidayDialog>(dialog, [](TDefineHolidayDialog *d) {
        EXPECT_EQ(d->Count(), 0);
        EXPECT_FALSE(d->Edit3()->isEnabled());
        Click(d->Button("Button6"));
        Click(d->Button("Button6"));
        ASSERT_EQ(d->Count(), 20);
        TStringGridTree &tree = *d->StringGridTree1();
        auto dateOf = [&](const QString &name) { return tree.Text(d->FindHoliday(name), 1); };
        EXPECT_EQ(dateOf("Ostern"), "Easter - 0");
        EXPECT_EQ(dateOf("Ostermontag"), "Easter + 1");
        EXPECT_EQ(dateOf("Karfreitag"), "Easter - 2");
        EXPECT_EQ(dateOf("Heiligabend"), "24. December");
        EXPECT_FALSE(d->GetChecked(0));

        tree.ScrollIntoView(d->FindHoliday("Silvester"), false);
        ClickNode(tree, d->FindHoliday("Silvester"));
        EXPECT_TRUE(d->RadioButton4()->isChecked());
        EXPECT_FALSE(d->Edit1()->isEnabled());
        d->Edit3()->selectAll();
        QTest::keyClicks(d->Edit3(), "Jahresende");
        EXPECT_EQ(tree.Text(d->FindHoliday("Jahresende"), 0), "Jahresende");
        Click(d->Button("Button6"));
        EXPECT_EQ(d->Count(), 21);
        EXPECT_TRUE(d->FindHoliday("Silvester"));

        // A new holiday, a second press adds nothing; 31 February is taken.
        Click(d->Button("Button4"));
        Click(d->Button("Button4"));
        EXPECT_EQ(d->Count(), 22);
        EXPECT_EQ(tree.Text(d->GetSelected(), 0), "new Holiday");
        d->Edit2()->selectAll();
        QTest::keyClicks(d->Edit2(), "31");
        d->ComboBox2()->setFocus();
        QTest::keyClick(d->ComboBox2(), Qt::Key_Down);
        EXPECT_EQ(tree.Text(d->GetSelected(), 1), "31. February");
        // To a day from Easter: no month; back: the day clamped, the month shown.
        ClickMark(d->RadioButton3());
        d->Edit1()->selectAll();
        QTest::keyClicks(d->Edit1(), "-48");
        EXPECT_EQ(tree.Text(d->GetSelected(), 1), "Easter - 48");
        EXPECT_EQ(d->HolidayNodeData(d->GetSelected())->month, 0);
        ClickMark(d->RadioButton4());
        const THolidayNodeData &switched = *d->HolidayNodeData(d->GetSelected());
        EXPECT_FALSE(switched.easter);
        EXPECT_EQ(switched.day, 1);
        EXPECT_EQ(switched.month, 2);

        Click(d->Button("Button3")); // enable all
        tree.ScrollIntoView(d->FindHoliday("Neujahr"), false);
        ClickCheckBox(tree, d->FindHoliday("Neujahr"));
        tree.ScrollIntoView(d->FindHoliday("Nationalfeiertag"), false);
        ClickNode(tree, d->FindHoliday("Nationalfeiertag"));
        Click(d->Button("Button5"));
        EXPECT_EQ(d->Count(), 21);
        Click(d->Button("Button1"));
    });
    const std::vector<THolidayData> &saved = doc->Setup().FHolidayList;
    ASSERT_EQ(saved.size(), 21u);
    EXPECT_EQ(saved[0], THolidayData({ "Neujahr", 1, 1, false, false }));
    EXPECT_EQ(saved[3], THolidayData({ "Ostern", 0, 0, true, true }));
    EXPECT_EQ(saved.back(), THolidayData({ "new Holiday", 1, 2, true, false }));
    EXPECT_TRUE(std::none_of(
        saved.begin(), saved.end(), [](const THolidayData &h) { return h.name == "Nationalfeiertag"; }));
}

// A day from Easter switched to a date starts in January and the month box says
// so; Escape in the list closes the dialog as in the other setup dialogs, and
// changes nothing.
TEST_F(SetupDialogTest, AnEasterDayBecomesAJanuaryDateAndEscapeCancels)
{
    TDefineHolidayDialog &dialog = dialogs.DefineHolidayDialog();
    Show<TDefineHolidayDialog>(dialog, [](TDefineHolidayDialog *d) {
        Click(d->Button("Button6"));
        TStringGridTree &tree = *d->StringGridTree1();
        ClickNode(tree, d->FindHoliday("Ostermontag"));
        EXPECT_EQ(d->ComboBox2()->currentIndex(), -1); // an Easter day has no month
        ClickMark(d->RadioButton4());
        EXPECT_EQ(d->ComboBox2()->currentIndex(), 0);
        EXPECT_EQ(d->ComboBox2()->currentText(), "January");
        EXPECT_EQ(tree.Text(d->FindHoliday("Ostermontag"), 1), "1. January");
        tree.setFocus();
        QTest::keyClick(&tree, Qt::Key_Escape);
        EXPECT_FALSE(d->isVisible());
        if (d->isVisible())
            d->reject();
    });
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(doc->Setup().FHolidayList.empty());
}

// The holiday names and dates show whole, at the window's font and at a font half
// as large again (144 dpi); a name typed longer widens its column.
TEST_F(SetupDialogTest, HolidayNamesAndDatesShowWhole)
{
    TDefineHolidayDialog &dialog = dialogs.DefineHolidayDialog();
    for (bool large : { false, true }) {
        if (large)
            EnlargeFont(dialog);
        Show<TDefineHolidayDialog>(dialog, [](TDefineHolidayDialog *d) {
            Click(d->Button("Button6"));
            TStringGridTree &tree = *d->StringGridTree1();
            tree.ScrollIntoView(d->FindHoliday("Tag der deutschen Einheit"), false);
            QStringList drawn = DrawnTexts(tree);
            EXPECT_TRUE(drawn.contains("Tag der deutschen Einheit")) << drawn.join('|').toStdString();
            EXPECT_TRUE(drawn.contains("3. October")) << drawn.join('|').toStdString();
            ClickNode(tree, d->FindHoliday("Tag der deutschen Einheit"));
            d->Edit3()->setFocus();
            d->Edit3()->end(false);
            QTest::keyClicks(d->Edit3(), " und der Verfassung");
            drawn = DrawnTexts(tree);
            EXPECT_TRUE(drawn.contains("Tag der deutschen Einheit und der Verfassung"))
                << drawn.join('|').toStdString();
            d->reject();
        });
    }
}

// The list's scroll bar stands beside the rows it scrolls, below the header, which
// runs on above it; its thumb follows the list to its end and back.
TEST_F(SetupDialogTest, TheHolidayListsScrollBarStandsBesideItsRows)
{
    TDefineHolidayDialog &dialog = dialogs.DefineHolidayDialog();
    Show<TDefineHolidayDialog>(dialog, [](TDefineHolidayDialog *d) {
        Click(d->Button("Button6"));
        TStringGridTree &tree = *d->StringGridTree1();
        QCoreApplication::processEvents();
        QScrollBar *bar = tree.verticalScrollBar();
        ASSERT_TRUE(bar->isVisible());
        const QRect rows(tree.viewport()->mapTo(&tree, QPoint(0, 0)), tree.viewport()->size());
        const QRect barPlace(bar->mapTo(&tree, QPoint(0, 0)), bar->size());
        EXPECT_EQ(barPlace.top(), rows.top());
        EXPECT_EQ(barPlace.bottom(), rows.bottom());
        EXPECT_EQ(barPlace.left(), rows.right() + 1);
        const QWidget &header = tree.HeaderWidget();
        const QRect headerPlace(header.mapTo(&tree, QPoint(0, 0)), header.size());
        EXPECT_EQ(headerPlace.bottom() + 1, rows.top());
        EXPECT_EQ(headerPlace.right(), barPlace.right());

        tree.setFocus();
        QTest::keyClick(&tree, Qt::Key_End);
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_EQ(-tree.OffsetY(), bar->maximum());
        QTest::keyClick(&tree, Qt::Key_Home);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(tree.OffsetY(), 0);
        d->reject();
    });
}

TEST_F(SetupDialogTest, ReasonsAreTheMemosNonEmptyLinesWithTheirDefaults)
{
    const bool counted = doc->Setup().FDefaultCalcWorkdays;
    TSetupAbsentDaysDialog &dialog = dialogs.SetupAbsentDaysDialog();
    Show<TSetupAbsentDaysDialog>(dialog, [](TSetupAbsentDaysDialog *d) {
        EXPECT_EQ(d->Memo1()->toPlainText(), "Holiday\nSick\nOther");
        EXPECT_EQ(d->ComboBox1()->count(), 3);
        d->Memo1()->selectAll();
        TypeLines(d->Memo1(), { "Holiday", "", "Training", "Sick" });
        EXPECT_EQ(d->ComboBox1()->count(), 4); // the empty line too, as typed
        d->ComboBox1()->setFocus();
        QTest::keyClick(d->ComboBox1(), Qt::Key_End);
        EXPECT_EQ(d->ComboBox1()->currentText(), "Sick");
        ClickMark(d->CheckBox1());
        Click(d->Button1());
    });
    EXPECT_EQ(ItemValues(doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor))),
        QStringList({ "Holiday", "Training", "Sick" }));
    EXPECT_EQ(doc->Setup().FDefaultHolidayReason, "Sick");
    EXPECT_EQ(doc->Setup().FDefaultCalcWorkdays, !counted);
}

// At a font half as large again (a 144 dpi screen) every setup dialog opens half
// as large again as designed, so its lists show what they showed before.
TEST_F(SetupDialogTest, TheSetupDialogsGrowWithTheFont)
{
    const auto sizes = [this](bool large) {
        std::vector<QSize> shown;
        const auto measure = [&](auto &dialog) {
            using Dialog = std::remove_reference_t<decltype(dialog)>;
            if (large)
                EnlargeFont(dialog);
            Show<Dialog>(dialog, [&shown](Dialog *d) {
                shown.push_back(d->size());
                d->reject();
            });
        };
        measure(dialogs.DefineHolidayDialog());
        measure(dialogs.SetupAbsentDaysDialog());
        measure(dialogs.OrganizePositionsDialog());
        measure(dialogs.SetupPositionsDialog());
        measure(dialogs.SetupTableDialog());
        return shown;
    };
    const std::vector<QSize> normal = sizes(false), large = sizes(true);
    ASSERT_EQ(normal.size(), large.size());
    // The designed size half as large again; a layout's minimum may have made the
    // dialog at the normal font a little larger than designed.
    for (std::size_t i = 0; i < normal.size(); ++i) {
        EXPECT_GE(large[i].width(), normal[i].width() * 14 / 10) << i;
        EXPECT_GE(large[i].height(), normal[i].height() * 14 / 10) << i;
    }
}

// The positions dialog as a user works in it: positions added, renamed,
// moved and deleted, the working week edited day by day, the time unit.
#include "dialogs/setup/gui/EditTimeDialog.h"
#include "dialogs/setup/gui/SetupPositionsDialog.h"
#include "tests/dialogs/print/CheckListClicks.h"
#include "tests/dialogs/setup/gui/SetupDialogTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

using namespace setupgui;
using printtest::ClickCheckBox;
using testsupport::WhenModal;

namespace {

enum { kSunday, kMonday, kTuesday, kWednesday, kThursday, kFriday, kSaturday };

class PositionsDialogTest : public SetupDialogTest {
protected:
    TSetupPositionsDialog &dialog = dialogs.SetupPositionsDialog();

    QStringList listed() const
    {
        QStringList captions;
        for (int row = 0; row < dialog.ListView1()->topLevelItemCount(); ++row)
            captions << dialog.ListView1()->topLevelItem(row)->text(0);
        return captions;
    }
    QString dayText(int day, int column) const
    {
        return dialog.StringGridTree1()->Text(dialog.DayNode(day), column);
    }
    // Edits the selected weekday in the time dialog: each step types into
    // fields and presses OK; all but the last are refused.
    void editDay(const std::vector<std::vector<std::pair<int, QString>>> &attempts)
    {
        WhenModal<TEditTimeDialog>([this, attempts](TEditTimeDialog *t) {
            for (const auto &attempt : attempts) {
                for (const auto &[field, text] : attempt) {
                    QLineEdit *edit = field == 0 ? t->EditBegin()
                        : field == 1             ? t->EditEnde()
                        : field < 5              ? t->EditPauseBeginn(field - 2)
                                                 : t->EditPauseDauer(field - 5);
                    edit->selectAll();
                    QTest::keyClicks(edit, text);
                }
                Click(t->ButtonOK());
            }
        });
        Click(dialog.Button4());
    }
};

} // namespace

TEST_F(PositionsDialogTest, PositionsAreAddedRenamedMovedAndDeletedDownToTheLastOne)
{
    Show<TSetupPositionsDialog>(dialog, [this](TSetupPositionsDialog *d) {
        EXPECT_EQ(d->SelectedRow(), 0);
        EXPECT_EQ(d->Memo1()->toPlainText(), "Position 1");
        Click(d->SpeedButton1());
        EXPECT_EQ(listed(), QStringList({ "Position 1", "Position 2", "Position 3", "New Resource" }));
        EXPECT_EQ(d->SelectedRow(), 3);
        EXPECT_EQ(d->Memo1()->toPlainText(), "New Resource\nadditional information");
        EXPECT_EQ(d->Edit1()->value(), 1);
        EXPECT_EQ(d->focusWidget(), d->Memo1()); // whether or not the window is active
        // Typed over the selected text: the name of another position.
        QTest::keyClicks(d->Memo1(), "Position 2");
        EXPECT_EQ(listed().value(3), "Position 2 1");
        EXPECT_EQ(PositionCaption(d->Positions().positions[3].item), "Position 2 1");
        d->Edit1()->selectAll();
        QTest::keyClicks(d->Edit1(), "3");
        EXPECT_EQ(d->Positions().Rows(3), 3);

        Click(d->UpButton());
        Click(d->UpButton());
        EXPECT_EQ(listed(), QStringList({ "Position 1", "Position 2 1", "Position 2", "Position 3" }));
        EXPECT_EQ(d->SelectedRow(), 1);
        ClickRow(*d->ListView1(), 3);
        Click(d->DownButton()); // already the last
        EXPECT_EQ(listed().value(3), "Position 3");

        for (int i = 0; i < 3; ++i)
            Click(d->SpeedButton2());
        EXPECT_EQ(listed(), QStringList({ "Position 1" }));
        EXPECT_FALSE(d->SpeedButton2()->isEnabled());
        Click(d->Button3());
    });
    EXPECT_EQ(ItemValues(positions()), QStringList({ "Position 1" }));
}

// A day from 08:00 to 16:30 with a break of 30 minutes has 8 working hours;
// the time dialog refuses what makes no working day.
TEST_F(PositionsDialogTest, TheWorkingWeekIsEditedDayByDayInMinutePlanning)
{
    Show<TSetupPositionsDialog>(dialog, [this](TSetupPositionsDialog *d) {
        ClickRow(*d->ListView1(), 1);
        EXPECT_FALSE(d->Button4()->isVisible()); // day planning
        d->ComboBox1()->setFocus();
        QTest::keyClick(d->ComboBox1(), Qt::Key_Down);
        ASSERT_EQ(d->ComboBox1()->currentIndex(), 1);
        EXPECT_TRUE(d->Button4()->isVisible());
        EXPECT_FALSE(d->Button4()->isEnabled()); // no weekday yet

        ClickNode(*d->StringGridTree1(), d->DayNode(kMonday));
        EXPECT_EQ(d->Button4()->text(), "Edit Monday");
        EXPECT_EQ(dayText(kMonday, 1), "07:00");
        EXPECT_EQ(dayText(kMonday, 3), "8,00 h");
        editDay({ { { 1, "06:00" } }, { { 1, "16:30" }, { 5, "x" } }, { { 5, "30" }, { 6, "600" } },
            { { 0, "8:00" }, { 6, "0" }, { 7, "0" } } });
        ASSERT_EQ(messages.Questions().size(), 3);
        EXPECT_EQ(messages.Questions()[0].Msg, "The end of work must come after its begin.");
        EXPECT_EQ(
            messages.Questions()[1].Msg, "\"x\" is not a break length: enter whole minutes, 0 or more.");
        EXPECT_EQ(messages.Questions()[2].Msg, "The breaks are longer than the working day.");
        // The same position and weekday stay selected.
        EXPECT_EQ(d->SelectedRow(), 1);
        EXPECT_EQ(d->SelectedDay(), kMonday);
        EXPECT_EQ(dayText(kMonday, 1), "08:00");
        EXPECT_EQ(dayText(kMonday, 2), "16:30");
        EXPECT_EQ(dayText(kMonday, 3), "8,00 h");
        EXPECT_EQ(dayText(kTuesday, 3), "8,00 h");
        EXPECT_EQ(dayText(kTuesday, 1), "07:00");

        // Every day takes Monday's times; Saturday stays off until checked.
        Click(d->Button5());
        EXPECT_EQ(dayText(kFriday, 1), "08:00");
        ClickCheckBox(*d->StringGridTree1(), d->DayNode(kSaturday));
        const tWeekInfo week = d->Positions().Week(1);
        EXPECT_TRUE(week[kSaturday].active);
        EXPECT_FALSE(week[kSunday].active);
        EXPECT_EQ(week[kSaturday].length, 480);
        EXPECT_EQ(week[kSaturday].pause[0].length, 30);
        // The whole week to every position.
        Click(d->Button1());
        EXPECT_EQ(d->Positions().Week(0), week);
        d->grab().save(QStringLiteral("setup-positions-dialog.png"));
        Click(d->Button3());
    });
    EXPECT_EQ(doc->GetMinUnit(), muMinute);
    const tWeekInfo week = String2WeekInfo(TCommaText(positions()[2]).Item(1));
    EXPECT_TRUE(week[kSaturday].active);
    EXPECT_EQ(week[kWednesday].start * 1440, 8 * 60);
}

// In day planning a day has no hours: the time columns and buttons go, and
// the days worked still count.
TEST_F(PositionsDialogTest, DayPlanningHidesTheTimesButKeepsTheDaysWorked)
{
    changeSetup(*doc, [](TDocumentSetup &s) { s.FMinUnit = muMinute; });
    Show<TSetupPositionsDialog>(dialog, [this](TSetupPositionsDialog *d) {
        EXPECT_EQ(d->ComboBox1()->currentIndex(), 1);
        d->ComboBox1()->setFocus();
        QTest::keyClick(d->ComboBox1(), Qt::Key_Up);
        EXPECT_FALSE(d->Button4()->isVisible());
        EXPECT_FALSE(d->Button5()->isVisible());
        const TGridTreeColumns &columns = d->StringGridTree1()->Header().Columns();
        for (int column = 1; column < 4; ++column)
            EXPECT_FALSE(columns[column].Options().contains(coVisible));
        EXPECT_EQ(columns[0].Width(), 253);
        ClickCheckBox(*d->StringGridTree1(), d->DayNode(kMonday));
        // A double click edits no times here.
        ClickNode(*d->StringGridTree1(), d->DayNode(kTuesday));
        QTest::mouseDClick(d->StringGridTree1()->viewport(), Qt::LeftButton);
        EXPECT_FALSE(d->Positions().Week(0)[kMonday].active);
        Click(d->Button3());
    });
    EXPECT_EQ(doc->GetMinUnit(), muDay);
    EXPECT_FALSE(String2WeekInfo(TCommaText(positions()[0]).Item(1))[kMonday].active);
}

// In minute planning the weekday column is as wide as its longest name, at the
// window's font and at a font half as large again (144 dpi).
TEST_F(PositionsDialogTest, TheWeekdayNamesShowWholeAtEveryFontSize)
{
    changeSetup(*doc, [](TDocumentSetup &s) { s.FMinUnit = muMinute; });
    for (bool large : { false, true }) {
        if (large)
            EnlargeFont(dialog);
        Show<TSetupPositionsDialog>(dialog, [](TSetupPositionsDialog *d) {
            const QStringList drawn = DrawnTexts(*d->StringGridTree1());
            for (const char *day : { "Sunday", "Wednesday", "Thursday", "Saturday" })
                EXPECT_TRUE(drawn.contains(QLatin1String(day)))
                    << day << " " << drawn.join('|').toStdString();
            EXPECT_TRUE(drawn.contains("8,00 h")) << drawn.join('|').toStdString();
            d->reject();
        });
    }
}

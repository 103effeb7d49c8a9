// The evaluations on real documents: the utilisation commands, the column statistics
// and the absence report, through their windows where the user meets them.
#include "controls/DateTimePopup.h"
#include "dialogs/print/ColumnCheckList.h"
#include "dialogs/stats/ChartDialog.h"
#include "dialogs/stats/HolidayDialog.h"
#include "dialogs/stats/StatisticsDialog.h"
#include "dialogs/stats/UtilisationCommands.h"
#include "document/ChartRows.h"
#include "document/DocumentTable.h"
#include "tests/dialogs/print/CheckListClicks.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/QtPrinters.h"
#include "tests/timechart/ChartTestSupport.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using charttest::Day;
using charttest::PositionItem;
using printtest::ClickCheckBox;
using testsupport::ClickMark;

namespace {

using Points = std::vector<TChartPoint>;

// Runs `step` once the chart window is up, then closes it.
void WhenChart(std::function<void(TChartDialog *)> step)
{
    testsupport::WhenModal<TChartDialog>([step = std::move(step)](TChartDialog *dialog) {
        step(dialog);
        dialog->reject();
    });
}

QStringList Lines(const QPlainTextEdit *memo)
{
    return memo->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

// Positions A (two chart rows), B and C; column 5 holds hours as numbers.
class EvaluationsTest : public ::testing::Test {
protected:
    static constexpr int Hours = 5;

    void SetUp() override
    {
        fixture.SetPositions({ PositionItem("A", 2), PositionItem("B"), PositionItem("C") });
        doc.SetColumnCaption(tbTable, Hours, QStringLiteral("Stunden"));
        doc.SetColumnType(tbTable, Hours, ctNumber);
    }

    TNodeData *Task(const char *position, const char *start, const char *days, const char *hours)
    {
        TNodeData *row = fixture.AddTask(QString::fromLatin1(position), QString::fromLatin1(start), days);
        doc.SetData(row, Hours, QString::fromLatin1(hours));
        return row;
    }

    // A position group's filter: the items of its positions.
    static QString GroupOf(std::initializer_list<const char *> names)
    {
        TCommaText group;
        for (const char *name : names)
            group.Add(PositionItem(QString::fromLatin1(name)));
        return group.AsString();
    }

    void Range(TDateTime from, TDateTime to) { fixture.chart->SetTimeChartBounds(from, to); }

    charttest::ChartFixture fixture;
    Document &doc = *fixture.doc;
    TTimeChart &chart = *fixture.chart;
};

TEST_F(EvaluationsTest, TaskUtilisationStepsUpAndDownAndCountsOneDayTasks)
{
    // Two overlapping tasks (Mon 4 - Wed 6, Tue 5 - Thu 7 March) and a one-day task on Monday 11th.
    Task("A", "04.03.2024", "3", "1");
    Task("B", "05.03.2024", "3", "1");
    Task("C", "11.03.2024", "1", "1");
    Range(Day(2024, 3, 1), Day(2024, 3, 20));
    TChartDialog dialog;
    WhenChart([&](TChartDialog *shown) {
        EXPECT_EQ(shown->Chart1()->TitleLine(0), QStringLiteral("Utilization"));
        EXPECT_EQ(shown->Chart1()->TitleLine(1), QStringLiteral("No. Tasks"));
        EXPECT_EQ(shown->Chart1()->Points(),
            (Points { { Day(2024, 3, 1), 0 }, { Day(2024, 3, 4), 1 }, { Day(2024, 3, 5), 2 },
                { Day(2024, 3, 7), 1 }, { Day(2024, 3, 8), 0 }, { Day(2024, 3, 11), 1 },
                { Day(2024, 3, 12), 0 } }));
    });
    Auslastung1Click(doc, chart, dialog);
}

// The position numbers count the chart rows of the shown group from 1, the extra
// row of A not counted: on a tab showing only C and B, C is position 1.
TEST_F(EvaluationsTest, PositionSumsFollowTheShownGroupAndTheMeanDividesByItsPositions)
{
    Task("A", "04.03.2024", "2", "4");
    Task("B", "04.03.2024", "2", "6");
    Task("C", "05.03.2024", "2", "x");
    Task("C", "05.03.2024", "1", "3");
    Range(Day(2024, 3, 1), Day(2024, 3, 10));
    int positions = 0;
    const std::vector<TUtilisationItem> items = PositionItems(doc, chart, Hours, positions);
    EXPECT_EQ(positions, 3);
    const TUtilisationGrid grid = ChartGrid(doc, chart);
    EXPECT_EQ(PositionUtilisationCurve(items, grid, 2),
        (Points { { Day(2024, 3, 1), 0 }, { Day(2024, 3, 4), 6 }, { Day(2024, 3, 6), 0 } }));
    // All positions: (4 + 6) / 3 = 3 on the 4th, (4 + 6 + 0 + 3) / 3 = 4 on the 5th, 0 / 3 on the 6th.
    TChartDialog dialog;
    WhenChart([&](TChartDialog *shown) {
        EXPECT_EQ(shown->Chart1()->TitleLine(0), QStringLiteral("Utilization Test"));
        EXPECT_EQ(shown->Chart1()->TitleLine(1), QStringLiteral("Stunden"));
        EXPECT_EQ(shown->Chart1()->Points(),
            (Points { { Day(2024, 3, 1), 0 }, { Day(2024, 3, 4), 3 }, { Day(2024, 3, 5), 4 },
                { Day(2024, 3, 6), 0 } }));
    });
    UtilisationStatistics(doc, chart, dialog, -1, Hours, QStringLiteral("Stunden"));

    doc.AddPositionGroup(QStringLiteral("Rest"), GroupOf({ "C", "B" }));
    doc.SetShownGroup(1);
    ASSERT_EQ(doc.GetRowCount(), 2);
    const std::vector<TUtilisationItem> shown = PositionItems(doc, chart, Hours, positions);
    EXPECT_EQ(positions, 2);
    EXPECT_EQ(PositionUtilisationCurve(shown, grid, 1),
        (Points { { Day(2024, 3, 1), 0 }, { Day(2024, 3, 5), 3 }, { Day(2024, 3, 6), 0 } }));
}

TEST_F(EvaluationsTest, NumericStatisticsSumTheNumbersOfRunningRows)
{
    Task("A", "04.03.2024", "2", "4");
    Task("B", "04.03.2024", "1", "x");
    Task("C", "05.03.2024", "2", "6,5");
    Range(Day(2024, 3, 1), Day(2024, 3, 10));
    TChartDialog dialog;
    WhenChart([&](TChartDialog *shown) {
        EXPECT_EQ(shown->Chart1()->TitleLine(1), QStringLiteral("Stunden"));
        EXPECT_EQ(shown->Chart1()->Points(),
            (Points { { Day(2024, 3, 1), 0 }, { Day(2024, 3, 4), 4 }, { Day(2024, 3, 5), 10.5 },
                { Day(2024, 3, 6), 6.5 }, { Day(2024, 3, 7), 0 } }));
    });
    NumericStatisticsClick(doc, chart, dialog, Hours);
}

TEST_F(EvaluationsTest, ColumnStatisticsOverTheChosenRowsSkipWhatIsNoNumber)
{
    TNodeData *a = Task("A", "04.03.2024", "2", "4");
    Task("B", "04.03.2024", "1", "x");
    TNodeData *c = Task("*", "05.03.2024", "3", "6");
    TStatisticsDialog dialog(doc);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Statistics"));
    TColumnCheckList &columns = *dialog.StringGridTree1();
    EXPECT_EQ(Lines(dialog.Memo1()), QStringList { QStringLiteral("No column selected for statistics") });
    EXPECT_FALSE(dialog.Memo1()->isEnabled());
    EXPECT_FALSE(columns.Enabled(0)); // Position: no number column
    EXPECT_TRUE(columns.Enabled(Hours));
    ClickCheckBox(columns, 0);
    EXPECT_FALSE(columns.Checked(0));

    ClickCheckBox(columns, Hours);
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("3")); // the task on all positions counts
    EXPECT_EQ(Lines(dialog.Memo1()),
        (QStringList { QStringLiteral("Stunden (2 items selected)"), QString(22, QLatin1Char('=')),
            QStringLiteral("sum: 10,00"), QStringLiteral("median: 5,00"), QString() }));
    EXPECT_TRUE(dialog.Memo1()->isEnabled());

    // The Length column (before it in the list) counts days of 8 hours in a day document.
    ClickCheckBox(columns, 3);
    EXPECT_EQ(Lines(dialog.Memo1()).mid(0, 4),
        (QStringList { QStringLiteral("Length (3 items selected)"), QString(22, QLatin1Char('=')),
            QStringLiteral("sum: 6,00"), QStringLiteral("median: 2,00") }));

    ClickMark(dialog.RadioButton3());
    EXPECT_EQ(Lines(dialog.Memo1()), QStringList { QStringLiteral("0 items selected") });
    EXPECT_FALSE(dialog.Memo1()->isEnabled());
    doc.GetTable(tbTable).SetSelected(a, true);
    doc.GetTable(tbTable).SetSelected(c, true);
    ClickMark(dialog.RadioButton2());
    ClickMark(dialog.RadioButton3());
    EXPECT_EQ(dialog.EditCount()->text(), QStringLiteral("2"));
    EXPECT_EQ(Lines(dialog.Memo1()).mid(2, 2),
        (QStringList { QStringLiteral("sum: 5,00"), QStringLiteral("median: 2,50") }));
    EXPECT_EQ(Lines(dialog.Memo1()).mid(7, 2),
        (QStringList { QStringLiteral("sum: 10,00"), QStringLiteral("median: 5,00") }));
}

TEST_F(EvaluationsTest, InMinuteDocumentsTaskLengthsCountInHours)
{
    doc.SetMinUnit(muMinute);
    TNodeData *task = doc.AddNode(QString(), tbTable, true);
    doc.SetData_(task, cnPosition, QStringLiteral("A"));
    doc.SetData_(task, cnStart, QStringLiteral("04.03.2024 08:00:00"));
    doc.SetLengthOf(task, 150);
    TStatisticsDialog dialog(doc);
    dialog.show();
    dialog.StringGridTree1()->SetChecked(3, true);
    EXPECT_EQ(Lines(dialog.Memo1()).mid(2, 1), QStringList { QStringLiteral("sum: 2,50") });
}

// Absent days of A (two chart rows) and C in March 2024, cut by the range at either end.
TEST_F(EvaluationsTest, TheAbsenceReportCountsTheDaysInsideTheRangePerReason)
{
    auto absence = [&](const char *position, const char *start, const char *days, int reason) {
        TNodeData *row = fixture.AddAbsence(QString::fromLatin1(position), QString::fromLatin1(start), days);
        doc.SetDataIndex_(row, cnColor, reason);
        doc.GetEndOf(row);
    };
    absence("A", "04.03.2024", "5", 0); // Mon 4 - Fri 8: holiday
    absence("A", "18.03.2024", "2", 1); // Mon 18 - Tue 19: sick
    absence("C", "27.03.2024", "5", 0); // Wed 27 March - Tue 2 April
    Range(Day(2024, 3, 1), Day(2024, 4, 30));
    THolidayDialog dialog(doc, chart);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Evaluation"));
    EXPECT_FALSE(dialog.DateTimePickerStart()->isEnabled());
    EXPECT_EQ(Lines(dialog.Memo1()),
        (QStringList { QStringLiteral("A"), QString(30, QLatin1Char('=')),
            QStringLiteral("5,00 days Holiday"), QStringLiteral("2,00 days Sick"),
            QStringLiteral("total 7,00 absent days"), QString(), QStringLiteral("C"),
            QString(30, QLatin1Char('=')), QStringLiteral("5,00 days Holiday"),
            QStringLiteral("total 5,00 absent days"), QString() }));

    // From Wednesday 6 till Wednesday 27 March: three days of the first, one of C's.
    ClickMark(dialog.RadioButton3());
    EXPECT_TRUE(dialog.DateTimePickerStart()->isEnabled());
    dialog.DateTimePickerStart()->setDate(ToQDate(Day(2024, 3, 6)));
    dialog.DateTimePickerEnd()->setDate(ToQDate(Day(2024, 3, 27)));
    EXPECT_EQ(Lines(dialog.Memo1()).mid(0, 5),
        (QStringList { QStringLiteral("A"), QString(30, QLatin1Char('=')),
            QStringLiteral("3,00 days Holiday"), QStringLiteral("2,00 days Sick"),
            QStringLiteral("total 5,00 absent days") }));
    EXPECT_EQ(Lines(dialog.Memo1()).mid(6, 4),
        (QStringList { QStringLiteral("C"), QString(30, QLatin1Char('=')),
            QStringLiteral("1,00 days Holiday"), QStringLiteral("total 1,00 absent days") }));

    // A year without absences has no lines; a group tab shows its own rows' names.
    ClickMark(dialog.RadioButton2());
    dialog.UpDown1()->setValue(2023);
    EXPECT_EQ(dialog.DateTimePickerEnd()->date(), QDate(2023, 12, 31));
    EXPECT_TRUE(dialog.Memo1()->toPlainText().isEmpty());
    dialog.UpDown1()->setValue(2024);
    doc.AddPositionGroup(QStringLiteral("Rest"), GroupOf({ "C", "B" }));
    doc.SetShownGroup(1);
    dialog.Recompute();
    EXPECT_EQ(Lines(dialog.Memo1()).mid(0, 3),
        (QStringList {
            QStringLiteral("C"), QString(30, QLatin1Char('=')), QStringLiteral("5,00 days Holiday") }));
}

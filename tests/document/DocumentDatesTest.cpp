#include "document/ChartRows.h"
#include "document/calendar/DateList.h"
#include "document/calendar/DateUtils.h"
#include "document/calendar/WorkingTime.h"
#include "document/text/CommaText.h"
#include "tests/document/DocumentTestSupport.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <utility>

namespace {

QString positionItem(const QString &name, const tWeekInfo &week, int rows = 1)
{
    TCommaText item;
    item.Add(name);
    item.Add(WeekInfo2String(week));
    item.Add(QString::number(rows));
    return item.AsString();
}

tWeekInfo week(const std::function<void(tWeekInfo &)> &change)
{
    tWeekInfo w = DefaultWeekInfo();
    change(w);
    return w;
}

// The default week with `change` applied to each of its days.
tWeekInfo everyDay(const std::function<void(TDayInfo &)> &change)
{
    return week([&](tWeekInfo &w) { std::for_each(w.begin(), w.end(), change); });
}

TDateTime minutes(int m)
{
    return m / 1440.0;
}

// Positions with their weeks, holidays and absent days shared by the tables below:
//   Position 1..3, Press (3 rows): Monday to Friday 7:00-15:45, pauses 9:00 and 12:00;
//   Weekender: Saturday too; Reversed: the two pauses stored lunch first.
// Holidays: Labour Day, Good Friday, Easter Monday, Christmas Day.
// Absent: Position 1 on 5-6 March 2024, Press (1) on 12 March, everybody on 15 March.
class DocumentDates : public ::testing::Test, public DocumentFixture {
protected:
    void SetUp() override
    {
        doc->SetColumnStrings(tbTable, 0,
            { positionItem("Position 1", DefaultWeekInfo()), positionItem("Position 2", DefaultWeekInfo()),
                positionItem("Position 3", DefaultWeekInfo()), positionItem("Press", DefaultWeekInfo(), 3),
                positionItem("Weekender", week([](tWeekInfo &w) { w[6].active = true; })),
                positionItem("Reversed", everyDay([](TDayInfo &d) { std::swap(d.pause[0], d.pause[1]); })) });
        changeSetup(*doc, [&](TDocumentSetup &s) {
            s.FHolidayList = { { "Labour Day", 1, 5, true, false }, { "Good Friday", -2, 0, true, true },
                { "Easter Monday", 1, 0, true, true }, { "Christmas", 25, 12, true, false },
                { "Not kept", 4, 3, false, false } };
        });
        doc->updateAutoEntries(EncodeDate(2024, 1, 1), EncodeDate(2024, 12, 31));
        absent("Position 1", "05.03.2024", "2");
        absent("Press (1)", "12.03.2024", "1");
        absent("*", "15.03.2024", "1");
    }

    TNodeData *absent(
        const QString &position, const QString &start, const QString &days, const QString &workingDays = "Ja")
    {
        TNodeData *row = doc->AddNode(QString(), tbExclude, true);
        doc->SetData_(row, cnLengthWithWeekend, workingDays);
        doc->SetData_(row, cnPosition, position);
        doc->SetData_(row, cnStart, start);
        doc->SetData_(row, cnLength, days);
        return row;
    }

    TNodeData *task(const QString &position, const QString &start, const QString &length)
    {
        return addTask(QString(), position, start, length);
    }

    QString end(const TNodeData *row) const { return doc->GetData_(row, cnEnd); }

    // The row is valid and ends there, and measuring from its start to that end
    // yields its length again.
    void expectEnd(const TNodeData *row, const char *expected)
    {
        EXPECT_EQ(end(row), expected);
        EXPECT_TRUE(row->nodeValid);
        const bool wholeDays = doc->GetMinUnit() == muDay || row->NodeTable == tbExclude;
        const TDateTime to = wholeDays ? row->nodeEnd + 1 : row->nodeEnd;
        EXPECT_EQ(doc->calcLengthOf(*row, row->nodeStart, to), row->nodeLength);
    }

    struct EndCase {
        const char *what, *position, *start, *length, *end;
    };
    void expectTaskEnds(std::initializer_list<EndCase> cases)
    {
        for (const EndCase &c : cases) {
            SCOPED_TRACE(c.what);
            expectEnd(task(c.position, c.start, c.length), c.end);
        }
    }
};

} // namespace

TEST_F(DocumentDates, TaskEndsInDayDocuments)
{
    expectTaskEnds({
        { "over the weekend", "Position 2", "01.03.2024", "2", "04.03.2024" },
        { "one day ends on its start day", "Position 2", "04.03.2024", "1", "04.03.2024" },
        { "a Saturday start counts from Monday", "Position 2", "02.03.2024", "1", "04.03.2024" },
        { "fixed holiday", "Position 2", "30.04.2024", "3", "03.05.2024" },
        { "Easter-relative holidays", "Position 2", "28.03.2024", "2", "02.04.2024" },
        { "own absent days", "Position 1", "04.03.2024", "3", "08.03.2024" },
        { "another position's absent days", "Position 2", "04.03.2024", "3", "06.03.2024" },
        { "absent on another row of the position", "Press (2)", "11.03.2024", "2", "13.03.2024" },
        { "absent on a copy row, task on the first", "Press", "11.03.2024", "2", "13.03.2024" },
        { "absent for all positions", "Position 3", "14.03.2024", "2", "18.03.2024" },
        { "all positions count calendar days", "*", "01.03.2024", "3", "03.03.2024" },
        { "own working week", "Weekender", "01.03.2024", "2", "02.03.2024" },
        { "many days, over a year's holidays", "Position 2", "04.03.2024", "200", "12.12.2024" },
    });
}

TEST_F(DocumentDates, AbsentRowsCountWorkingOrCalendarDays)
{
    struct Case {
        const char *what, *position, *start, *days, *workingDays, *end;
    } const cases[] = {
        { "calendar days", "Position 2", "04.03.2024", "3", "Nein", "06.03.2024" },
        { "calendar days over a weekend", "Position 2", "01.03.2024", "3", "Nein", "03.03.2024" },
        { "working days skip the weekend", "Position 2", "01.03.2024", "3", "Ja", "05.03.2024" },
        { "and holidays", "Position 2", "28.03.2024", "2", "Ja", "02.04.2024" },
        { "but not other absent days", "Position 1", "04.03.2024", "3", "Ja", "06.03.2024" },
        { "all positions in calendar days", "*", "01.03.2024", "3", "Ja", "03.03.2024" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        expectEnd(absent(c.position, c.start, c.days, c.workingDays), c.end);
    }
}

TEST_F(DocumentDates, TaskEndsInHoursDocuments)
{
    doc->SetMinUnit(muMinute);
    expectTaskEnds({
        { "over the morning pause", "Position 2", "04.03.2024 08:30:00", "1", "04.03.2024 09:45:00" },
        { "a whole day", "Position 2", "04.03.2024 07:00:00", "8", "04.03.2024 15:45:00" },
        { "before the working start", "Position 2", "04.03.2024 06:00:00", "1", "04.03.2024 08:00:00" },
        { "inside a pause", "Position 2", "04.03.2024 09:05:00", "1", "04.03.2024 10:15:00" },
        { "after the working end", "Position 2", "04.03.2024 16:00:00", "1", "05.03.2024 08:00:00" },
        { "over the weekend", "Position 2", "01.03.2024 14:00:00", "3", "04.03.2024 08:15:00" },
        { "over a holiday", "Position 2", "30.04.2024 14:00:00", "3", "02.05.2024 08:15:00" },
        { "over own absent days", "Position 1", "04.03.2024 14:00:00", "3", "07.03.2024 08:15:00" },
        { "minutes", "Position 2", "04.03.2024 08:30:00", "0,20", "04.03.2024 08:50:00" },
        { "pauses stored out of order", "Reversed", "04.03.2024 08:30:00", "3,20", "04.03.2024 12:35:00" },
        { "all positions: days of 480 minutes", "*", "04.03.2024 08:00:00", "4", "04.03.2024 20:00:00" },
    });
    // Absent rows stay in whole days.
    TNodeData *row = absent("Position 2", "01.03.2024", "2");
    EXPECT_EQ(end(row), "04.03.2024");
}

TEST_F(DocumentDates, WalksThatCannotEndLeaveTheRowInvalid)
{
    doc->SetColumnStrings(tbTable, 0,
        { positionItem("Idle", everyDay([](TDayInfo &d) { d.active = false; })),
            positionItem("No minutes", everyDay([](TDayInfo &d) { d.length = 0; })),
            positionItem("Negative", everyDay([](TDayInfo &d) { d.length = -100; })),
            positionItem("Backwards", everyDay([](TDayInfo &d) { std::swap(d.start, d.ende); })),
            positionItem("Normal", DefaultWeekInfo()) });

    struct Case {
        const char *what;
        TMinUnit unit;
        const char *position, *start, *length;
    } const cases[] = {
        { "no working day", muDay, "Idle", "04.03.2024", "2" },
        { "no working day, hours", muMinute, "Idle", "04.03.2024 08:00:00", "2" },
        { "working days without minutes", muMinute, "No minutes", "04.03.2024 08:00:00", "2" },
        { "negative day lengths", muMinute, "Negative", "04.03.2024 08:00:00", "2" },
        { "work would start after it ends", muDay, "Backwards", "04.03.2024", "2" },
        { "beyond the last date", muDay, "Normal", "04.03.2024", "4000000" },
        { "beyond the last date, hours", muMinute, "Normal", "04.03.2024 08:00:00", "35000000" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        doc->SetMinUnit(c.unit);
        TNodeData *row = task(c.position, c.start, c.length);
        EXPECT_EQ(end(row), c.start);
        EXPECT_FALSE(row->nodeValid);
    }
    // Without minutes a day document still counts the active days.
    doc->SetMinUnit(muDay);
    EXPECT_EQ(end(task("No minutes", "04.03.2024", "2")), "05.03.2024");

    // Moved onto a working week the row becomes valid again.
    TNodeData *row = task("Idle", "04.03.2024", "2");
    EXPECT_FALSE(row->nodeValid);
    doc->SetData_(row, cnPosition, "Normal");
    EXPECT_EQ(end(row), "05.03.2024");
    EXPECT_TRUE(row->nodeValid);

    // No length or a negative one: the end is the start and the row is invalid.
    for (const char *length : { "0", "-3" }) {
        TNodeData *r = task("Normal", "04.03.2024", length);
        EXPECT_EQ(doc->GetEndOf(r), EncodeDate(2024, 3, 4));
        EXPECT_FALSE(r->nodeValid);
    }
    // No start yet, or no row: no end, and the row is walked again once it has one.
    TNodeData *unstarted = doc->AddNode("x", tbTable, false);
    unstarted->RecalcEndOf = true;
    EXPECT_EQ(doc->GetEndOf(unstarted), 0.0);
    EXPECT_TRUE(unstarted->RecalcEndOf);
    EXPECT_EQ(doc->GetEndOf(nullptr), 0.0);
}

TEST_F(DocumentDates, HiddenPositionsUseTheirOwnWeekAndAbsentDays)
{
    // A tab showing only Position 2: the others have no chart row.
    TCommaText group;
    group.Add(positionItem("Position 2", DefaultWeekInfo()));
    changeSetup(*doc, [&](TDocumentSetup &s) {
        s.FPositionGroup = QStringList { QString(), group.AsString() };
    });
    doc->SetShownGroup(1);
    EXPECT_EQ(doc->GetRowCount(), 1);
    TNodeData *weekender = task("Weekender", "01.03.2024", "2");
    TNodeData *position1 = task("Position 1", "04.03.2024", "3");
    EXPECT_EQ(doc->GetPositionOf(weekender), -2);
    EXPECT_EQ(end(weekender), "02.03.2024");
    EXPECT_EQ(end(position1), "08.03.2024");
    EXPECT_EQ(doc->calcLengthOf(*position1, position1->nodeStart, position1->nodeEnd + 1), 3 * 480);
}

TEST_F(DocumentDates, LengthMeasureFollowsTheRowAndCountsInThirtyTwoBits)
{
    // Chart rows: Position 1, 2, 3, Press x3, Weekender, Reversed.
    const TDateTime friday = EncodeDate(2024, 3, 1), tuesday = EncodeDate(2024, 3, 5);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 1, friday, tuesday), 2 * 480);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 6, friday, tuesday), 3 * 480); // Weekender
    EXPECT_EQ(doc->calcLengthOf(tbTable, -9, friday, tuesday), 4 * 480);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 1, tuesday, friday), 0);
    changeSetup(*doc, [&](TDocumentSetup &s) { s.FDefaultCalcWorkdays = false; });
    EXPECT_EQ(doc->calcLengthOf(tbExclude, 1, friday, tuesday), 4 * 480);
    changeSetup(*doc, [&](TDocumentSetup &s) { s.FDefaultCalcWorkdays = true; });
    EXPECT_EQ(doc->calcLengthOf(tbExclude, 1, friday, tuesday), 2 * 480);

    // An existing absent row keeps to its own working-days box, whatever new rows get.
    TNodeData *calendar = absent("Position 3", "04.03.2024", "3", "Nein");
    TNodeData *working = absent("Position 3", "04.03.2024", "3", "Ja");
    const TDateTime monday = EncodeDate(2024, 3, 4);
    EXPECT_EQ(doc->calcLengthOf(*calendar, monday, monday + 7), 7 * 480);
    EXPECT_EQ(doc->calcLengthOf(*working, monday, monday + 7), 5 * 480);

    // Hours: pauses are no working time.
    doc->SetMinUnit(muMinute);
    EXPECT_EQ(
        doc->calcLengthOf(tbTable, 1, monday + minutes(8 * 60 + 30), monday + minutes(9 * 60 + 45)), 60);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 1, monday + minutes(9 * 60 + 5), monday + minutes(9 * 60 + 10)), 0);

    // Beyond 16 bits (281 working days), and beyond 32 bits (a week of all but
    // the last minute of every day, from 1900 to 9000).
    doc->SetMinUnit(muDay);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 1, monday, monday + 400), 281 * 480);
    const tWeekInfo always = everyDay([](TDayInfo &d) { d = TDayInfo { true, 0, minutes(1439), 1439, {} }; });
    doc->SetColumnStrings(tbTable, 0, { positionItem("Always", always) });
    doc->SetMinUnit(muMinute);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 0, EncodeDate(1900, 1, 1), EncodeDate(9000, 1, 1)), 0);
    EXPECT_EQ(doc->calcLengthOf(tbTable, 0, EncodeDate(2000, 1, 1), EncodeDate(2001, 1, 1)),
        (366 - 4) * 1439); // but the holidays
}

TEST_F(DocumentDates, EndsFollowChangesOfTheAbsentDays)
{
    TNodeData *t = task("Position 3", "04.03.2024", "3");
    EXPECT_EQ(end(t), "06.03.2024");
    TNodeData *away = absent("Position 3", "05.03.2024", "1");
    EXPECT_EQ(doc->GetEndOf(t), EncodeDate(2024, 3, 7));
    doc->SetData_(away, cnPosition, "Position 2");
    EXPECT_EQ(doc->GetEndOf(t), EncodeDate(2024, 3, 6));
    doc->SetData_(away, cnPosition, "Position 3");
    doc->SetData_(away, cnLength, "2");
    EXPECT_EQ(doc->GetEndOf(t), EncodeDate(2024, 3, 8));
    doc->DeleteNode(away, true);
    EXPECT_EQ(doc->GetEndOf(t), EncodeDate(2024, 3, 6));

    // Rows loaded in one update bracket: the absent days are read before the tasks walk.
    TNodeData *loadedTask, *loadedAbsent;
    {
        UpdateBracket bracket(*doc, "loading");
        loadedTask = doc->AddNode("lt", tbTable, false);
        doc->DoSetData(loadedTask, 0, "Position 3", false);
        doc->DoSetData(loadedTask, 1, "11.03.2024", false);
        doc->DoSetData(loadedTask, 3, "2", false);
        loadedAbsent = doc->AddNode("la", tbExclude, false);
        doc->DoSetData(loadedAbsent, 0, "Position 3", false);
        doc->DoSetData(loadedAbsent, 1, "11.03.2024", false);
        doc->DoSetData(loadedAbsent, 3, "1", false);
    }
    EXPECT_EQ(end(loadedAbsent), "11.03.2024");
    EXPECT_EQ(end(loadedTask), "13.03.2024");

    // A changed holiday list reaches the walks and moves the ends.
    changeSetup(*doc, [](TDocumentSetup &s) { s.FHolidayList.push_back({ "Extra", 13, 3, true, false }); });
    EXPECT_EQ(doc->GetEndOf(loadedTask), EncodeDate(2024, 3, 14));
}

TEST_F(DocumentDates, AutomaticEntriesCoverTheYearsOfTheRange)
{
    changeSetup(*doc, [&](TDocumentSetup &s) {
        s.FHolidayList = { { "New Year", 1, 1, true, false }, { "Leap day", 29, 2, true, false },
            { "Easter Monday", 1, 0, true, true }, { "Off", 2, 1, false, false } };
    });
    doc->updateAutoEntries(EncodeDate(2023, 6, 1), EncodeDate(2024, 2, 1));
    QStringList entries;
    for (const TDateListItem &item : doc->AutoExcludeList()) {
        entries << DateToStr(item.start) + " " + item.name;
        EXPECT_EQ(item.ende, item.start + 1);
        EXPECT_EQ(item.position, -9);
    }
    EXPECT_EQ(entries,
        (QStringList { "01.01.2023 New Year", "10.04.2023 Easter Monday", "01.01.2024 New Year",
            "29.02.2024 Leap day", "01.04.2024 Easter Monday" }));
    doc->updateAutoEntries(std::nan(""), 0);
    EXPECT_TRUE(doc->AutoExcludeList().IsEmpty());
}

TEST_F(DocumentDates, PositionsRowsSpansAndWeeks)
{
    const tWeekInfo early = week([](tWeekInfo &w) { w[3].start = minutes(5 * 60); });
    const tWeekInfo late = week([](tWeekInfo &w) { w[0].ende = minutes(20 * 60); });
    doc->SetColumnStrings(tbTable, 0,
        { positionItem("Early", early), "\"Negative\",,-5", "\"Huge\",,99999", "\"Text\",,x",
            positionItem("Late", late, 2) });
    EXPECT_EQ(doc->Positiongroups(true, true).size(), 1 + 1 + 32767 + 1 + 2);
    doc->SetColumnStrings(
        tbTable, 0, { positionItem("Early", early), "Plain", positionItem("Late", late, 2) });
    EXPECT_EQ(doc->GetRowCount(), 4);
    EXPECT_EQ(doc->GetWeekInfo(0), early);
    EXPECT_EQ(doc->GetWeekInfo(1), DefaultWeekInfo()); // no week stored
    EXPECT_EQ(doc->GetWeekInfo(3), late);
    EXPECT_EQ(doc->GetWeekInfo(4), DefaultWeekInfo());
    EXPECT_EQ(doc->GetWeekInfoOfPosition(2), late);
    EXPECT_EQ(doc->ChartRows().MinDayStart(), minutes(5 * 60));
    EXPECT_EQ(doc->ChartRows().MaxDayEnd(), minutes(20 * 60));

    // Spans: a task its row, an absent row all rows of its position, -9 all rows.
    EXPECT_EQ(doc->GetMultipleRowSpan(tbTable, 3).low, 3);
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, 3).low, 2);
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, 3).high, 3);
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, 9).low, 9);
    EXPECT_EQ(doc->GetMultipleRowSpan(tbExclude, -9).high, 3);

    // A tab without Late: its rows have none in the chart, the week of a chart row
    // is that of the position shown there.
    TCommaText group;
    group.Add("Plain");
    group.Add(positionItem("Early", early));
    changeSetup(*doc, [&](TDocumentSetup &s) {
        s.FPositionGroup = QStringList { QString(), group.AsString() };
    });
    doc->SetShownGroup(1);
    EXPECT_EQ(doc->ChartRows().PositionInPositionGroup(), (std::vector<int> { 1, 0, -2, -2 }));
    EXPECT_EQ(doc->GetWeekInfo(1), early);
    EXPECT_EQ(doc->ChartRows().MaxDayEnd(), minutes(15 * 60 + 45));

    // No positions at all: still one chart row.
    doc->ResetPositionGroups();
    doc->SetColumnStrings(tbTable, 0, {});
    EXPECT_EQ(doc->GetRowCount(), 1);
    EXPECT_FALSE(doc->findNodeWithPosition(tbTable, "Early"));
}

TEST_F(DocumentDates, NewDocumentsGiveEveryPositionTheDefaultWeekAndNoHolidays)
{
    doc->ResetDocument();
    EXPECT_TRUE(doc->AutoExcludeList().IsEmpty());
    EXPECT_EQ(doc->GetData_(addTask("h", "Position 2", "30.04.2024", "2"), cnEnd), "01.05.2024");
    const QStringList items = doc->GetColumnStrings(tbTable, 0);
    ASSERT_EQ(items.size(), 3);
    for (const QString &item : items)
        EXPECT_EQ(String2WeekInfo(TCommaText(item).Item(1)), DefaultWeekInfo());
    addTask("t", "Position 2", "04.03.2024", "1");
    EXPECT_TRUE(doc->findNodeWithPosition(tbTable, "Position 2"));
    EXPECT_FALSE(doc->findNodeWithPosition(tbTable, "position 2"));
}

// --- the walk itself, against a plain day-by-day walk ---

namespace {

constexpr std::int64_t kMsPerDay = 86400000, kMsPerMinute = 60000;

// Whether the day of `date` lies on an item of `list` (sorted by start) that
// applies to `row` (its own or -9); `index` only moves forward.
bool includes(TDateTime date, const tDateList &list, int row, int &index)
{
    const double day = std::trunc(date);
    for (; index < list.Count(); ++index) {
        const TDateListItem &item = list[index];
        if (item.position != -9 && item.position != row)
            continue;
        if (item.start > day)
            return false;
        if (day <= item.ende - 1)
            return true;
    }
    return false;
}

// The end walk one day per step, as plainly as it can be written: holidays and
// absent days through `includes`, the pauses in order of their start.
WalkResult dayByDayEnd(const tWeekInfo &weekInfo, bool wholeDays, const tDateList &off, int row,
    TDateTime start, std::int64_t remaining)
{
    const TWorkWeek w = PrepareWorkWeek(weekInfo); // only for the ordered, cleaned pauses
    std::int64_t day = std::int64_t(std::floor(start));
    std::int64_t at = std::llround((start - day) * kMsPerDay);
    int index = 0;
    for (int step = 0; step < 20000; ++step) {
        if (remaining <= 0)
            return { day + double(at) / kMsPerDay, true };
        const TWorkDay &d = w.days[WeekdayIndex(day)];
        at = std::max(at, d.start);
        for (int i = 0; i < d.pauseCount; ++i) {
            if (d.pauses[i].start <= at && at < d.pauses[i].end)
                at = d.pauses[i].end;
        }
        std::int64_t avail = 480;
        if (!wholeDays) {
            avail = (d.dayEnd - at) / kMsPerMinute;
            for (int i = 0; i < d.pauseCount; ++i) {
                if (d.pauses[i].end > at)
                    avail -= d.pauses[i].minutes;
            }
            avail = std::max<std::int64_t>(avail, 0);
        }
        if (!d.active || includes(double(day), off, row, index) || at >= d.ende)
            avail = 0;
        if (avail > remaining || (!wholeDays && avail == remaining)) {
            std::int64_t result = at + remaining * kMsPerMinute;
            for (int i = 0; i < d.pauseCount; ++i) {
                if (at < d.pauses[i].start && result > d.pauses[i].start)
                    result += d.pauses[i].minutes * kMsPerMinute;
            }
            return { day + double(result) / kMsPerDay, true };
        }
        remaining -= avail;
        ++day;
        at = w.days[WeekdayIndex(day)].start;
    }
    return { start, false };
}

tWeekInfo randomWeek(std::mt19937 &random)
{
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    tWeekInfo w;
    for (TDayInfo &d : w) {
        d.active = uniform(0, 9) < 6;
        const int start = uniform(5 * 60, 10 * 60);
        d.length = uniform(-30, 600);
        d.start = minutes(start);
        int pauses = 0;
        for (TPauseInfo &p : d.pause) {
            p.start = minutes(start + uniform(-30, 600));
            p.length = uniform(-5, 60);
            pauses += std::max(0, p.length);
        }
        d.ende = minutes(std::clamp(start + d.length + pauses + uniform(-90, 90), 0, 1440));
    }
    return w;
}

} // namespace

TEST(WorkingTimeWalk, AgreesWithTheDayByDayWalkAndMeasuresItsLengthBack)
{
    std::mt19937 random(7);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const int base = int(EncodeDate(2024, 3, 1));
    int reached = 0;
    for (int n = 0; n < 3000; ++n) {
        const tWeekInfo weekInfo = randomWeek(random);
        const TWorkWeek w = PrepareWorkWeek(weekInfo);
        const bool wholeDays = uniform(0, 1) == 0;
        // Days off: some for everybody, some for this row, some for another row.
        tDateList off;
        std::vector<DaySpan> everybody, own;
        for (int i = uniform(0, 8); i > 0; --i) {
            const int first = base + uniform(-10, 120), end = first + uniform(1, 12);
            const int who = uniform(0, 2);
            off.Add(first, end, who == 0 ? -9 : who == 1 ? 4 : 5, nullptr, "");
            if (who == 0)
                everybody.push_back({ first, end });
            else if (who == 1)
                own.push_back({ first, end });
        }
        off.SortDate();
        const DaySpans everybodySpans(everybody), ownSpans(own);
        WorkingTimeWalk walk { &w, wholeDays, nullptr, { everybodySpans.Spans(), ownSpans.Spans() } };

        const TDateTime start = base + uniform(0, 60) + minutes(uniform(0, 1439)) + uniform(0, 59) / 86400.0;
        // Whole-day lengths are whole days but for a rare remainder (the last day is
        // then partly worked, and the end lies inside it).
        const std::int64_t length = wholeDays
            ? 480 * uniform(1, 30) + (uniform(0, 3) == 0 ? uniform(1, 479) : 0)
            : uniform(1, 9000);
        SCOPED_TRACE(testing::Message()
            << "case " << n << " whole " << wholeDays << " start " << start << " length " << length);
        const WalkResult expected = dayByDayEnd(weekInfo, wholeDays, off, 4, start, length);
        const WalkResult got = WalkToEnd(walk, start, length);
        ASSERT_EQ(got.reached, expected.reached);
        if (!got.reached)
            continue;
        ++reached;
        ASSERT_DOUBLE_EQ(got.end, expected.end);
        if (!wholeDays || length % 480 == 0) {
            EXPECT_EQ(MeasureWorkingMinutes(walk, start, got.end), length);
        }
    }
    EXPECT_GT(reached, 2000);
}

TEST(WorkingTimeWalk, HolidayCalendarGrowsWithTheWalk)
{
    HolidayCalendar holidays;
    holidays.SetHolidays({ { "New Year", 1, 1, true, false }, { "Late Easter", 300, 0, true, true } });
    const TWorkWeek w = PrepareWorkWeek(everyDay([](TDayInfo &d) { d.active = true; }));
    WorkingTimeWalk walk { &w, true, &holidays, {} };
    // Every day works but New Year and Easter + 300: 2000 days from 1 January 2024.
    const WalkResult r = WalkToEnd(walk, EncodeDate(2024, 1, 1), 2000 * 480);
    ASSERT_TRUE(r.reached);
    int skipped = 0;
    for (std::int64_t d = std::int64_t(EncodeDate(2024, 1, 1)); d < std::int64_t(r.end); ++d) {
        int year, month, dom;
        DecodeDate(double(d), year, month, dom);
        const bool newYear = month == 1 && dom == 1;
        const bool late = d == std::int64_t(GetEasterSunday(year)) + 300
            || d == std::int64_t(GetEasterSunday(year - 1)) + 300;
        skipped += newYear || late ? 1 : 0;
    }
    EXPECT_EQ(std::int64_t(r.end) - std::int64_t(EncodeDate(2024, 1, 1)), 2000 + skipped);
    EXPECT_LE(holidays.CoveredFrom(), EncodeDate(2024, 1, 1));
    EXPECT_GE(holidays.CoveredTo(), r.end);
    // A start outside the dates is no walk.
    EXPECT_FALSE(WalkToEnd(walk, -5, 480).reached);
    EXPECT_FALSE(WalkToEnd(walk, std::nan(""), 480).reached);
    EXPECT_EQ(MeasureWorkingMinutes(walk, -5, 3), -1);
}

// Date cells as other programs and pasted texts bring them: a day document takes
// the day of a date with a time and of an ISO date; a time alone names no day.
TEST_F(DocumentDates, DateTextsWithATimeOrInISOFormNameTheirDay)
{
    const TDateTime march5 = EncodeDate(2024, 3, 5);
    const TDateTime quarterTo2 = EncodeTime(13, 45, 0, 0);
    struct Case {
        const char *text;
        bool readable;
        TDateTime day, minute;
    };
    for (const Case &c : std::initializer_list<Case> {
             { "05.03.2024", true, march5, march5 },
             { "05.03.2024 13:45", true, march5, march5 + quarterTo2 },
             { " 05.03.2024 13:45:00 ", true, march5, march5 + quarterTo2 },
             { "2024-03-05", true, march5, march5 },
             { "2024-3-5", true, march5, march5 },
             { "2024-03-05 13:45", true, march5, march5 + quarterTo2 },
             { "2024-03-05T13:45:00", true, march5, march5 + quarterTo2 },
             { "2024-02-30", false, 0, 0 },
             { "2024-03-05 25:00", false, 0, 0 },
             { "05.03.2024 13:45 Uhr", false, 0, 0 },
             { "Anfang März", false, 0, 0 },
             { "", false, 0, 0 },
         }) {
        SCOPED_TRACE(c.text);
        TDateTime value = -1;
        doc->SetMinUnit(muDay);
        EXPECT_EQ(doc->TryStrToDateTime(c.text, value), c.readable);
        if (c.readable) {
            EXPECT_EQ(value, c.day);
        }
        EXPECT_EQ(doc->StrToDateTime(c.text), c.day);
        doc->SetMinUnit(muMinute);
        EXPECT_EQ(doc->TryStrToDateTime(c.text, value), c.readable);
        if (c.readable) {
            EXPECT_NEAR(value, c.minute, 1e-9);
        }
    }
    // A time alone is a time of day 0 in minute documents, no day in day documents.
    TDateTime value = -1;
    doc->SetMinUnit(muDay);
    EXPECT_FALSE(doc->TryStrToDateTime("13:45", value));
    doc->SetMinUnit(muMinute);
    EXPECT_TRUE(doc->TryStrToDateTime("13:45", value));
}

// Deriving every end again (as a holiday change asks) tells a reader of the row
// changes of each row, whose end is no longer open, whether or not its End text
// moved; an unchanged End cell is left as it is, storage and all, and a moved
// one is written.
TEST_F(DocumentDates, EndsDerivedAgainAreLoggedAndOnlyMovedCellsWritten)
{
    TNodeData *same = task("Position 2", "04.03.2024", "2");
    TNodeData *moved = task("Position 2", "12.03.2024", "2");
    ASSERT_EQ(end(same), "05.03.2024");
    ASSERT_EQ(end(moved), "13.03.2024");
    const int endColumn = doc->GetConnection(tbTable, cnEnd);
    const QChar *sameCells = std::as_const(same->StringList).constData()[endColumn].constData();

    TRowChangeReader reader(doc->RowChanges());
    changeSetup(*doc, [](TDocumentSetup &s) { s.FHolidayList.push_back({ "Extra", 13, 3, true, false }); });
    ASSERT_TRUE(same->RecalcEndOf && moved->RecalcEndOf);
    reader.Skip(); // the change of the whole started every reader over

    EXPECT_EQ(doc->GetEndOf(same), EncodeDate(2024, 3, 5));
    EXPECT_EQ(doc->GetEndOf(moved), EncodeDate(2024, 3, 14));
    EXPECT_FALSE(same->RecalcEndOf || moved->RecalcEndOf);
    EXPECT_EQ(std::as_const(same->StringList).constData()[endColumn].constData(), sameCells);
    EXPECT_EQ(end(moved), "14.03.2024");
    EXPECT_EQ(moved->nodeEnd, EncodeDate(2024, 3, 14));

    // The absent rows' ends, derived on the way, are logged too.
    std::vector<TRowChange> changes;
    ASSERT_TRUE(reader.Take(changes));
    auto changeOf = [&changes](const TNodeData *row) {
        return std::find_if(
            changes.begin(), changes.end(), [row](const TRowChange &c) { return c.Node == row; });
    };
    ASSERT_NE(changeOf(same), changes.end());
    EXPECT_TRUE(changeOf(same)->Before.RecalcEndOf);
    ASSERT_NE(changeOf(moved), changes.end());
    EXPECT_TRUE(changeOf(moved)->Before.RecalcEndOf);
    EXPECT_EQ(changeOf(moved)->Before.End, EncodeDate(2024, 3, 13));
    EXPECT_LT(changeOf(same), changeOf(moved));

    // Asked again with nothing due: the stored end, nothing logged.
    EXPECT_EQ(doc->GetEndOf(same), EncodeDate(2024, 3, 5));
    ASSERT_TRUE(reader.Take(changes));
    EXPECT_TRUE(changes.empty());
}

#include "tables/ColumnFilters.h"

#include "document/text/CommaText.h"
#include "tables/FilterPass.h"
#include "tests/tables/TablesTestSupport.h"

namespace {

TFilterChoice choice(TFilterChoice::TRadio checked, const QStringList &listSelection = {})
{
    TFilterChoice c;
    c.checked = checked;
    c.listSelection = listSelection;
    return c;
}

class FiltersTest : public TablesTest {
protected:
    void filter(
        int column, TFilterType type, TFilterSubType sub, const QString &text1, const QString &text2 = {})
    {
        doc->GetHeader(tbTable, column)->Filter = { type, sub, text1, text2 };
        marks = FilterData(*doc, tbTable);
    }
    // One task per comment, all on Position 1.
    void tasks(const QStringList &comments)
    {
        for (const QString &c : comments)
            task(c);
    }
    std::optional<std::vector<TFilterMark>> marks;
};

TEST_F(FiltersTest, NumberFiltersReadWholeNumbersAndExcludeTheRangeEnds)
{
    tasks({ "4", "5", "6", "9", "10", "11", "7.5", "", " 7 " }); // "" is row "empty"
    filter(5, ftNumber, fsFromTo, "5", "10");
    EXPECT_EQ(order(), QStringList({ "(4)", "(5)", "6", "9", "(10)", "(11)", "(7.5)", "(empty)", " 7 " }));
    filter(5, ftNumber, fsSmaller, "6");
    EXPECT_EQ(order(), QStringList({ "4", "5", "(6)", "(9)", "(10)", "(11)", "(7.5)", "(empty)", "( 7 )" }));
    filter(5, ftNumber, fsEquals, "x"); // a bound that is no number lets nothing pass
    EXPECT_EQ(doc->FilteredCount(tbTable), 0);
    ASSERT_TRUE(marks);
    EXPECT_EQ((*marks)[5], (TFilterMark { "[= x]", 22 }));
    EXPECT_EQ((*marks)[4], (TFilterMark { "", 23 }));
}

TEST_F(FiltersTest, DateFiltersIncludeBothEndDaysAndInHoursDocumentsTheWholeTillDay)
{
    task("feb", "Position 1", "29.02.2024");
    task("first", "Position 1", "01.03.2024");
    task("third", "Position 1", "03.03.2024");
    task("fourth", "Position 1", "04.03.2024");
    filter(1, ftDate, fsFromTo, "01.03.2024", "03.03.2024");
    EXPECT_EQ(order(), QStringList({ "(feb)", "first", "third", "(fourth)" }));
    EXPECT_EQ((*marks)[1].description, "[from 01.03.2024 till 03.03.2024]");

    doc->SetMinUnit(muMinute);
    doc->SetData(doc->FindNode("third"), 1, "03.03.2024 23:59:00");
    doc->SetData(doc->FindNode("first"), 1, "01.03.2024 00:00:00");
    doc->SetData(doc->FindNode("fourth"), 1, "04.03.2024 00:00:00");
    filter(1, ftDate, fsFromTo, "01.03.2024", "03.03.2024");
    EXPECT_EQ(order(), QStringList({ "(feb)", "first", "third", "(fourth)" }));
    filter(1, ftDate, fsFromTo, "01.03.2024", "03.03.2024 12:00:00"); // a till time is kept
    EXPECT_EQ(order(), QStringList({ "(feb)", "first", "(third)", "(fourth)" }));
}

TEST_F(FiltersTest, TextPatternsMatchTheWholeCellIgnoringCaseAndListsTakeTheirItems)
{
    tasks({ "ab", "cab", "AB", "" });
    filter(5, ftText, fsText, "ab");
    EXPECT_EQ(order(), QStringList({ "ab", "(cab)", "AB", "(empty)" }));
    filter(5, ftText, fsText, "*ab");
    EXPECT_EQ(order(), QStringList({ "ab", "cab", "AB", "(empty)" }));
    EXPECT_EQ((*marks)[5].description, "[contains *ab]");
    filter(5, ftText, fsEmpty, "ab");
    EXPECT_EQ(order(), QStringList({ "(ab)", "(cab)", "(AB)", "empty" }));
    EXPECT_EQ((*marks)[5].description, "[empty fields]");

    const TFilterParams list = ApplyFilterChoice(*doc, {}, choice(TFilterChoice::rbList, { "cab", "a b" }));
    filter(5, list.FilterType, list.FilterSubType, list.Text1);
    EXPECT_EQ(order(), QStringList({ "(ab)", "cab", "(AB)", "(empty)" }));
    EXPECT_EQ((*marks)[5].description, "[= cab,a b]");
}

TEST_F(FiltersTest, IncompleteRowsAndRowsOfUnknownPositionsStayOnlyOtherGroupsHide)
{
    task("one", "Position 1");
    task("two", "Position 2");
    TNodeData *nobody = task("nobody", "Nobody");
    TNodeData *incomplete = task("incomplete", "Position 2", "");
    ASSERT_TRUE(nobody->nodeValid);
    ASSERT_FALSE(incomplete->nodeValid);
    // A group lists whole position items.
    doc->AddPositionGroup("Team", TCommaText(doc->GetColumnStrings(tbTable, 0).mid(0, 1)).AsString());
    doc->SetShownGroup(1);
    doc->GetTable(tbTable).SetSelected(doc->FindNode("two"), true);
    filter(5, ftText, fsText, "*o*"); // "incomplete" fails, but is never hidden
    EXPECT_EQ(order(), QStringList({ "one", "(two)", "nobody", "incomplete" }));
    EXPECT_EQ(doc->SelectedCount(tbTable), 0); // a hidden row is no longer selected

    // Inside an update bracket the table is left as it is.
    UpdateBracket bracket(*doc, "edit");
    doc->GetHeader(tbTable, 5)->Filter = {};
    EXPECT_FALSE(FilterData(*doc, tbTable));
    EXPECT_TRUE(doc->GetTable(tbTable).IsHidden(doc->FindNode("two")));
}

TEST_F(FiltersTest, ThePopupsChoiceSetsTypeSubtypeAndTexts)
{
    const TFilterParams items { ftList, fsEquals, "a,b", "" };
    // "List" with nothing selected, or "Number" without a choice: only the type changes.
    EXPECT_EQ(ApplyFilterChoice(*doc, items, choice(TFilterChoice::rbList)).Text1, "a,b");
    const TFilterParams none = ApplyFilterChoice(*doc, items, choice(TFilterChoice::rbNone));
    EXPECT_EQ(none.FilterType, ftNumber);
    EXPECT_EQ(none.FilterSubType, fsEquals);
    const TFilterParams off = ApplyFilterChoice(*doc, items, choice(TFilterChoice::rbNoFilter));
    EXPECT_EQ(off.FilterType, ftNone);
    EXPECT_EQ(off.Text1, "a,b");

    TFilterChoice date = choice(TFilterChoice::rbDate);
    date.dateFrom = EncodeDate(2024, 3, 1);
    date.dateTill = EncodeDate(2024, 3, 3);
    const TFilterParams d = ApplyFilterChoice(*doc, items, date);
    EXPECT_EQ(FilterDescription(d), "[from 01.03.2024 till 03.03.2024]");
    TFilterChoice range = choice(TFilterChoice::rbFromTo);
    range.numberFrom = "5";
    range.numberTo = "10";
    EXPECT_EQ(FilterDescription(ApplyFilterChoice(*doc, items, range)), "[from 5 to 10]");
    TFilterChoice smaller = choice(TFilterChoice::rbSmaller);
    smaller.number = "3";
    EXPECT_EQ(FilterDescription(ApplyFilterChoice(*doc, items, smaller)), "[smaller than 3]");
    EXPECT_EQ(FilterDescription({ ftDate, fsSmaller, "01.03.2024", "" }), "[before 01.03.2024]");
    EXPECT_EQ(FilterDescription({ ftDate, fsEquals, "01.03.2024", "" }), "");
}

TEST_F(FiltersTest, EachTabKeepsItsFiltersTheFirstColumnToo)
{
    TFilters filters;
    const TFilterParams first { ftText, fsText, "Position 1", "" };
    const TFilterParams comment { ftText, fsEmpty, "", "" };
    filters.Store(tbTable, "Team", "Position", first);
    filters.Store(tbTable, "Team", "Comment", comment);
    filters.Store(tbExclude, "", "Comment", comment);
    filters.Store(tbTable, "Team", "Comment", first); // updated, not added
    EXPECT_EQ(filters.Items().size(), 3u);

    doc->GetHeader(tbTable, 3)->Filter = comment;
    filters.RestoreGroup(*doc, "Team");
    EXPECT_EQ(doc->GetHeader(tbTable, 0)->Filter.Text1, "Position 1");
    EXPECT_EQ(doc->GetHeader(tbTable, 5)->Filter.FilterSubType, fsText);
    EXPECT_FALSE(doc->GetHeader(tbTable, 3)->IsFiltered());
    EXPECT_FALSE(doc->GetHeader(tbExclude, 6)->IsFiltered());

    // The settings keep them; values no enumeration knows fall back to no filter.
    std::vector<TFilterSettings> settings = filters.ToSettings();
    settings.push_back({ 9, 2, 7, "t", "", "Team", "Length" });
    TFilters read;
    read.FromSettings(settings);
    ASSERT_EQ(read.Items().size(), 4u);
    EXPECT_EQ(read.Find(tbTable, "Team", "Position")->params.Text1, "Position 1");
    EXPECT_EQ(read.Find(tbExclude, "", "Comment")->params.FilterSubType, fsEmpty);
    EXPECT_EQ(read.Find(tbTable, "Team", "Length")->params.FilterType, ftNone);

    // Cleared filters do not come back with the next tab switch.
    ClearFilter(*doc, read, "Team", tbTable, 5);
    EXPECT_FALSE(doc->GetHeader(tbTable, 5)->IsFiltered());
    EXPECT_TRUE(AnyColumnFiltered(*doc, tbTable));
    ClearAllFilters(*doc, read, "Team", tbTable);
    EXPECT_FALSE(AnyColumnFiltered(*doc, tbTable));
    read.RestoreGroup(*doc, "Team");
    EXPECT_FALSE(AnyColumnFiltered(*doc, tbTable));
    EXPECT_EQ(read.Items().size(), 1u); // the absent table's
}

TEST_F(FiltersTest, ListItemsArePulldownItemsOrTheSortedDistinctCells)
{
    tasks({ "b", "A", "b", "a" });
    EXPECT_EQ(FilterListItems(*doc, tbTable, 0), QStringList({ "Position 1", "Position 2", "Position 3" }));
    EXPECT_EQ(FilterListItems(*doc, tbTable, 5), QStringList({ "A", "a", "b" }));
}

} // namespace

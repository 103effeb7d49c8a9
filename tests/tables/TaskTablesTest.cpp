#include "document/RowWalkProgress.h"
#include "tables/FilterPass.h"
#include "tests/tables/TablesTestSupport.h"

#include <random>

namespace {

TEST_F(TablesTest, CellTextsShowCheckBoxesTranslatedAndEverythingElseAsStored)
{
    TNodeData *absent = doc->AddNode("a1", tbExclude, true);
    doc->SetData(absent, 4, "Ja");
    doc->SetData(absent, 6, "Ja");
    EXPECT_EQ(GetCellText(*doc, *absent, 4), "yes");
    EXPECT_EQ(GetCellText(*doc, *absent, 6), "Ja"); // a text column
    doc->SetData(absent, 4, "ja");
    EXPECT_EQ(GetCellText(*doc, *absent, 4), "no");
    doc->SetData(absent, 4, "");
    EXPECT_EQ(GetCellText(*doc, *absent, 4), "no");
    EXPECT_EQ(GetCellText(*doc, *absent, -1), "");
    TNodeData *row = task("x", "Position 2", "05.03.2024", "3");
    EXPECT_EQ(GetCellText(*doc, *row, 0), "Position 2");
    EXPECT_EQ(GetCellText(*doc, *row, 1), "05.03.2024");
    EXPECT_EQ(GetCellText(*doc, *row, 2), "07.03.2024");
}

TEST_F(TablesTest, SortingPutsIncompleteRowsFirstInBothDirectionsAndComparesByColumnType)
{
    doc->SetColumnType(tbTable, 5, ctNumber);
    task("12", "Position 1", "06.03.2024");
    task("x", "Position 1", "11.03.2024");
    task("3", "Position 1", "04.03.2024");
    TNodeData *incomplete = task("9", "Position 1", "", "1");
    ASSERT_FALSE(incomplete->nodeValid);
    TBaseGridTree &tree = doc->GetTable(tbTable).Tree();
    // As the header sorts: the comparison reads the header's direction.
    auto sortBy = [&tree](int column, TSortDirection direction) {
        tree.SetSortColumn(column);
        tree.SetSortDirection(direction);
        tree.SortTree(column, direction);
    };

    sortBy(5, sdAscending);
    EXPECT_EQ(order(), QStringList({ "9", "x", "3", "12" })); // "x" counts as 0
    sortBy(5, sdDescending);
    EXPECT_EQ(order(), QStringList({ "9", "12", "3", "x" }));
    sortBy(1, sdAscending); // dates, not texts: 04. < 06. < 11.
    EXPECT_EQ(order(), QStringList({ "9", "3", "12", "x" }));
    sortBy(1, sdDescending);
    EXPECT_EQ(order(), QStringList({ "9", "x", "12", "3" }));

    // A changed cell is read again, not taken from the previous sort.
    doc->SetData(doc->FindNode("x"), 1, "01.03.2024");
    sortBy(1, sdAscending);
    EXPECT_EQ(order(), QStringList({ "9", "x", "3", "12" }));
}

// The automatic sort at an update's end (a refilter's, say) follows every
// change the order reads, made outside any update: a cell, a row's validity, a
// column's type.
class AutoSortTest : public TablesTest {
protected:
    // Three tasks in a tree that sorts itself by their comments.
    void SortedByComment()
    {
        tree.SetAutoOptions(tree.AutoOptions() + TGTAutoOptions { toAutoSort });
        task("12", "Position 1", "06.03.2024");
        task("x", "Position 1", "11.03.2024");
        task("3", "Position 1", "04.03.2024");
        tree.SetSortColumn(5);
    }
    // The order after a refilter, whose update's end sorts.
    QStringList refiltered()
    {
        RefilterRows(*doc, tbTable, feAll);
        return order();
    }

    TBaseGridTree &tree = doc->GetTable(tbTable).Tree();
};

TEST_F(AutoSortTest, AnUpdatesEndSortsAfterEachChangeTheOrderReads)
{
    SortedByComment();
    EXPECT_EQ(refiltered(), QStringList({ "12", "3", "x" })); // as texts
    doc->SetColumnType(tbTable, 5, ctNumber);
    EXPECT_EQ(refiltered(), QStringList({ "x", "3", "12" }));
    doc->SetData(doc->FindNode("12"), 5, "1");
    EXPECT_EQ(refiltered(), QStringList({ "x", "12", "3" }));
    doc->SetData_(doc->FindNode("3"), cnStart, "");
    ASSERT_FALSE(doc->FindNode("3")->nodeValid);
    EXPECT_EQ(refiltered(), QStringList({ "3", "x", "12" })); // incomplete first
    EXPECT_EQ(refiltered(), QStringList({ "3", "x", "12" }));
}

// A long table makes that sort as a header sort does, in the order the tree's
// own sort gives. Its comparing goes to the long-work runner (whose loop paints)
// only within an open's walk: after an edit the other views have not yet taken
// the change in, and the window must not paint.
TEST_F(AutoSortTest, ALongTablesSortAtAnUpdatesEndIsHandedToTheLongWorkRunnerInAnOpen)
{
    int handed = 0;
    tables.SetLongWorkRunner(
        [&handed](std::size_t, const std::function<void()> &work) {
            ++handed;
            work();
        },
        [](std::size_t rows) { return rows >= 3; });
    SortedByComment();
    EXPECT_EQ(refiltered(), QStringList({ "12", "3", "x" }));
    doc->SetColumnType(tbTable, 5, ctNumber);
    EXPECT_EQ(refiltered(), QStringList({ "x", "3", "12" }));
    EXPECT_EQ(handed, 0);

    const TRowWalkProgress open([] {});
    doc->SetData(doc->FindNode("12"), 5, "1");
    EXPECT_EQ(refiltered(), QStringList({ "x", "12", "3" }));
    doc->SetData_(doc->FindNode("3"), cnStart, "");
    EXPECT_EQ(refiltered(), QStringList({ "3", "x", "12" }));
    EXPECT_EQ(refiltered(), QStringList({ "3", "x", "12" }));
    EXPECT_EQ(handed, 2);
    // Descending, incomplete rows still come first.
    tree.SetSortDirection(sdDescending);
    EXPECT_EQ(refiltered(), QStringList({ "3", "12", "x" }));
    EXPECT_EQ(handed, 3);
    // A shorter table sorts on its own.
    doc->DeleteNode(doc->FindNode("x"), false);
    tree.SetSortDirection(sdAscending);
    EXPECT_EQ(refiltered(), QStringList({ "3", "12" }));
    EXPECT_EQ(handed, 3);
    // Without a sort column no row is compared: each keeps its place.
    int compared = 0;
    const auto compare = tree.OnCompareNodes;
    tree.OnCompareNodes = [&](TBaseGridTree &t, TGridNode *a, TGridNode *b, int column) {
        ++compared;
        return compare(t, a, b, column);
    };
    tree.SetSortColumn(-1);
    task("0", "Position 1", "01.03.2024");
    doc->SetData(doc->FindNode("0"), 5, "00");
    compared = 0;
    EXPECT_EQ(refiltered(), QStringList({ "3", "12", "0" }));
    EXPECT_EQ(compared, 0);
    EXPECT_EQ(handed, 3);
    tree.OnCompareNodes = compare;
}

TEST_F(TablesTest, TextsCompareIgnoringTheCaseOfAsciiLettersOnly)
{
    EXPECT_EQ(CompareText(u"abc", u"ABC"), 0);
    EXPECT_LT(CompareText(u"ab", u"ABC"), 0);
    EXPECT_LT(CompareText(u"a", u"B"), 0); // not by code ('B' < 'a')
    EXPECT_NE(CompareText(u"\u00E4", u"\u00C4"), 0); // umlauts keep their case
    task("beta");
    task("Alpha");
    task("alpha2");
    doc->GetTable(tbTable).Tree().SortTree(5, sdAscending);
    EXPECT_EQ(order(), QStringList({ "Alpha", "alpha2", "beta" }));
}

TEST_F(TablesTest, RowFontAndCellFillFollowStateAndRoles)
{
    TNodeData *row = task("a");
    TNodeData *other = task("b");
    EXPECT_EQ(GetRowFont(*doc, *row, false), TRowFont {});
    EXPECT_EQ(GetRowFont(*doc, *row, true), (TRowFont { std::nullopt, false, true }));
    doc->SetOverlappingNodes({ row, other });
    doc->SetData(row, 3, ""); // incomplete
    EXPECT_EQ(GetRowFont(*doc, *row, true), (TRowFont { kErrorFontColor, true, true }));

    // Position, Start, End, Length and State (colour) are filled; Comment not.
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(GetCellFill(*doc, tbTable, column), 0xF0E5CCu) << column;
    EXPECT_EQ(GetCellFill(*doc, tbTable, 5), std::nullopt);
    EXPECT_EQ(GetCellFill(*doc, tbExclude, 4), std::nullopt); // working days: another role

    // The wave of an incomplete row: cell 40..99 wide, bottom edge 18 (exclusive).
    EXPECT_EQ(GetWavyLine(*row, 40, 60, 18), (TWavyLine { 40, 17, 60 }));
    EXPECT_EQ(GetWavyLine(*other, 40, 60, 18), std::nullopt);
}

// An incomplete row says why in its hint where a date cell is no date; a
// complete row, or one that only lacks a cell, has none.
TEST_F(TablesTest, ARowsHintNamesTheDatesThatCannotBeRead)
{
    TNodeData *row = task("a");
    EXPECT_EQ(GetRowHint(*doc, *row), "");
    doc->SetData(row, 3, "");
    EXPECT_EQ(GetRowHint(*doc, *row), "") << "incomplete, but every date reads";
    doc->SetData(row, 3, "2");
    doc->SetData(row, 1, "early March");
    EXPECT_FALSE(row->nodeValid);
    EXPECT_EQ(GetRowHint(*doc, *row), "Start: \"early March\" is no date.");
    doc->SetData(row, 1, "2024-03-05 08:00");
    EXPECT_TRUE(row->nodeValid);
    EXPECT_EQ(GetRowHint(*doc, *row), "");
}

TEST_F(TablesTest, HeaderClicksPickTheColumnTheLeftEighteenPixelsFilterTheRestSorts)
{
    // A column from x 100: 100..117 is the filter icon's zone.
    EXPECT_EQ(tables.HeaderClick(2, Qt::LeftButton, 100, 100), hcFilter);
    EXPECT_EQ(tables.ActiveColumn(), 2);
    EXPECT_EQ(tables.HeaderClick(3, Qt::LeftButton, 117, 100), hcFilter);
    EXPECT_EQ(tables.HeaderClick(3, Qt::LeftButton, 118, 100), hcSort);
    EXPECT_EQ(tables.HeaderClick(4, Qt::RightButton, 105, 100), hcMenu);
    EXPECT_EQ(tables.ActiveColumn(), 4);
    EXPECT_EQ(tables.HeaderClick(1, Qt::MiddleButton, 130, 100), hcNone);
}

class SortKeysTest : public TablesTest {
protected:
    void SetUp() override
    {
        // By state then comment: a, c, b; by comment: a, b, c; by start: c, a, b.
        task("c", "Position 1", "04.03.2024");
        task("a", "Position 2", "05.03.2024");
        task("b", "Position 1", "06.03.2024");
        doc->SetData(doc->FindNode("a"), 4, "State 1");
        doc->SetData(doc->FindNode("b"), 4, "State 2");
        doc->SetData(doc->FindNode("c"), 4, "State 1");
    }
    // A click 30 pixels into the header of a column that starts at x 100.
    void sort(int column, TWhichTable table = tbTable)
    {
        ASSERT_EQ(tables.HeaderClick(column, Qt::LeftButton, 130, 100), hcSort);
        tables.ActionSort(table);
    }
    const TSortKeys &keys = tables.SortKeys();
};

TEST_F(SortKeysTest, ResortingOneColumnTogglesItsDirectionWithoutAQuestion)
{
    sort(5);
    EXPECT_EQ(order(), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 5, sdAscending } }));
    sort(5);
    EXPECT_EQ(order(), QStringList({ "c", "b", "a" }));
    TBaseGridTree &tree = doc->GetTable(tbTable).Tree();
    EXPECT_EQ(tree.SortColumn(), 5);
    EXPECT_EQ(tree.SortDirection(), sdDescending);
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_EQ(tables.SortMenuImage(tbTable, 5), 19);
    EXPECT_EQ(tables.SortMenuImage(tbTable, 4), -1);
    sort(5);
    EXPECT_EQ(tables.SortMenuImage(tbTable, 5), 18);
}

TEST_F(SortKeysTest, AnotherColumnAsksAndYesKeepsTheKeysNoDropsThem)
{
    sort(4);
    EXPECT_EQ(order(), QStringList({ "c", "a", "b" }));
    dialogs.QueueAnswer(mrYes);
    sort(5); // the state decides, the comment breaks its ties
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "Keep existing sort?\r\rState  Main Index");
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtConfirmation);
    EXPECT_EQ(dialogs.Questions()[0].Buttons, (TMsgDlgButtons { mbYes, mbNo }));
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 4, sdAscending }, { 5, sdAscending } }));
    EXPECT_EQ(order(), QStringList({ "a", "c", "b" }));

    dialogs.QueueAnswer(mrYes);
    sort(4); // the main key turns round in place
    EXPECT_EQ(dialogs.Questions()[1].Msg, "Keep existing sort?\r\rState  Main Index\rComment");
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 4, sdDescending }, { 5, sdAscending } }));
    EXPECT_EQ(order(), QStringList({ "b", "a", "c" }));

    dialogs.QueueAnswer(mrNo);
    sort(1);
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 1, sdAscending } }));
    EXPECT_EQ(order(), QStringList({ "c", "a", "b" }));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(SortKeysTest, EachTableKeepsItsOwnKeysAndColumnChangesMoveThem)
{
    sort(5);
    dialogs.QueueAnswer(mrYes);
    sort(1);
    sort(6, tbExclude); // the absent table has seven columns; no question, no task keys
    EXPECT_EQ(keys.SortList(tbExclude), (std::vector<TSortKey> { { 6, sdAscending } }));
    EXPECT_EQ(dialogs.Questions().size(), 1);

    tables.ColumnInserted(tbTable, 2);
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 6, sdAscending }, { 1, sdAscending } }));
    tables.ColumnRemoved(tbTable, 1);
    EXPECT_EQ(keys.SortList(tbTable), (std::vector<TSortKey> { { 5, sdAscending } }));
    tables.ColumnRemoved(tbTable, 5);
    EXPECT_TRUE(keys.SortList(tbTable).empty());
    EXPECT_EQ(keys.SortList(tbExclude), (std::vector<TSortKey> { { 6, sdAscending } }));

    // Laid out anew: keys follow their columns, a removed column's key goes.
    sort(4);
    dialogs.QueueAnswer(mrYes);
    sort(0);
    dialogs.QueueAnswer(mrYes);
    sort(2);
    tables.ColumnsRelaid(tbTable, { 4, -1, 0, 3, 1 });
    std::vector<int> sorted;
    for (const TSortKey &key : keys.SortList(tbTable))
        sorted.push_back(key.column);
    EXPECT_EQ(sorted, std::vector<int>({ 0, 2 }));
}

TEST_F(TablesTest, SelectedListRepaintsOnlyRowsWhoseStateChanged)
{
    std::vector<TNodeData *> rows;
    for (int i = 0; i < 5; ++i)
        rows.push_back(task(QString::number(i)));
    auto ids = [](const std::vector<TNodeData *> &v) {
        QStringList out;
        for (TNodeData *r : v)
            out << r->ID;
        return out;
    };

    auto change = tables.Change(tbTable, { rows[2] }); // click
    EXPECT_EQ(ids(change.repaint), QStringList({ "2" }));
    EXPECT_EQ(change.centre, rows[2]);
    change = tables.Change(tbTable, { rows[0], rows[2] }); // Ctrl+click on an earlier row
    EXPECT_EQ(ids(change.repaint), QStringList({ "0" }));
    EXPECT_EQ(change.centre, rows[2]); // the first selected stays in view
    change = tables.Change(tbTable, rows); // select all
    EXPECT_EQ(ids(change.repaint), QStringList({ "1", "3", "4" }));
    change = tables.Change(tbTable, { rows[4] }); // click
    EXPECT_EQ(ids(change.repaint), QStringList({ "2", "0", "1", "3" })); // in the order they were selected
    EXPECT_EQ(change.centre, rows[4]);
    tables.RowDeleted(*rows[4]);
    EXPECT_TRUE(tables.Change(tbTable, {}).repaint.empty());
}

// A row's place in the list is a number kept in the row: a copy of a listed
// row carries it too, and a row of the other table may hold the same number,
// yet neither counts as listed, and each table keeps its own list.
TEST_F(TablesTest, SelectedListTakesNoRowForAnotherByItsPlace)
{
    std::vector<TNodeData *> rows;
    for (int i = 0; i < 3; ++i)
        rows.push_back(task(QString::number(i)));
    tables.Change(tbTable, rows); // places 0, 1, 2
    TNodeData copy = *rows[1];
    auto change = tables.Change(tbTable, { rows[0], &copy, rows[2] });
    ASSERT_EQ(change.repaint, std::vector<TNodeData *>({ rows[1], &copy }));
    EXPECT_EQ(change.left, 1u);
    EXPECT_TRUE(copy.RecalcBitmap);
    // The other table lists rows of its own; the task rows stay listed here.
    TNodeData other = *rows[2];
    other.NodeTable = tbExclude;
    change = tables.Change(tbExclude, { &other });
    EXPECT_EQ(change.repaint, std::vector<TNodeData *>({ &other }));
    change = tables.Change(tbTable, { rows[0], &copy, rows[2] });
    EXPECT_TRUE(change.repaint.empty());
    EXPECT_EQ(change.kept.size(), 3u);
    // The copies leave before they go.
    tables.RowDeleted(copy);
    tables.RowDeleted(other);
}

// Random selections, deletions among them, against a plain list kept the slow
// way: the rows to repaint are those that left (in the order they came) and
// then those that came; the centre is the earliest still selected.
TEST_F(TablesTest, SelectedListFollowsRandomSelectionsLikeAPlainList)
{
    std::vector<TNodeData *> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(task(QString::number(i)));
    std::vector<TNodeData *> order; // the plain list: rows in the order they came
    std::mt19937 rng(55);
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        if (step % 37 == 36 && !order.empty()) {
            TNodeData *gone = order[rng() % order.size()];
            tables.RowDeleted(*gone);
            std::erase(order, gone);
            std::erase(rows, gone);
        }
        // From none to all: a click, a few, most, every row.
        std::vector<TNodeData *> selected;
        const unsigned kind = rng() % 4;
        for (TNodeData *row : rows) {
            const unsigned roll = rng() % 100;
            if ((kind == 0 && roll < 3) || (kind == 1 && roll < 30) || (kind == 2 && roll < 90) || kind == 3)
                selected.push_back(row);
        }
        std::vector<TNodeData *> expected;
        std::vector<TNodeData *> stay;
        for (TNodeData *row : order) {
            if (std::find(selected.begin(), selected.end(), row) == selected.end())
                expected.push_back(row);
            else
                stay.push_back(row);
        }
        for (TNodeData *row : selected) {
            if (std::find(order.begin(), order.end(), row) == order.end()) {
                expected.push_back(row);
                stay.push_back(row);
            }
        }
        const std::vector<TNodeData *> before = order;
        order.clear();
        for (TNodeData *row : before)
            if (std::find(stay.begin(), stay.end(), row) != stay.end())
                order.push_back(row);
        for (TNodeData *row : stay)
            if (std::find(before.begin(), before.end(), row) == before.end())
                order.push_back(row);
        const TSelectedList::TChange change = tables.Change(tbTable, selected);
        ASSERT_EQ(change.repaint, expected);
        ASSERT_EQ(change.centre, order.empty() ? nullptr : order.front());
    }
}

} // namespace

namespace {

// Rows of random dates, lengths, states and comments, some incomplete (no or
// a wrong start, a length that is no number), the same in any document.
void addRandomRows(Document &doc, unsigned seed)
{
    std::mt19937 rng(seed);
    const QStringList starts = { "04.03.2024", "05.03.2024", "29.02.2024", "", "xx" };
    const QStringList lengths = { "1", "2", "10", "x" };
    const QStringList texts = { "a", "B", "b", "A", "", "a2" };
    for (int i = 0; i < 40; ++i) {
        TNodeData *row = doc.AddNode(QString::number(i), tbTable, true);
        doc.SetData(row, 0, "Position 1");
        doc.SetData(row, 1, starts[rng() % starts.size()]);
        doc.SetData(row, 3, lengths[rng() % lengths.size()]);
        doc.SetData(row, 4, texts[rng() % texts.size()]);
        doc.SetData(row, 5, texts[rng() % texts.size()]);
    }
}

QStringList idsInOrder(const Document &doc)
{
    QStringList ids;
    const DocumentTable &rows = doc.GetTable(tbTable);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
        ids << row->ID;
    return ids;
}

TEST(SortByKeys, OneSortByAllKeysOrdersAsSortingByEachKeyFromTheLast)
{
    FormatSettings() = TFormatSettings {};
    std::mt19937 rng(3);
    const int columns[] = { 1, 2, 3, 4, 5 };
    for (int round = 0; round < 120; ++round) {
        std::vector<TSortKey> keys;
        for (int column : columns) {
            if (rng() % 2)
                keys.push_back({ column, rng() % 2 ? sdAscending : sdDescending });
        }
        if (keys.empty())
            continue;
        std::shuffle(keys.begin(), keys.end(), rng);

        Document doc;
        addRandomRows(doc, unsigned(round));
        TNodeComparer comparer(doc);
        comparer.SortTree(doc, tbTable, keys);

        // The reference: a stable sort per key, the last key first, each
        // comparison reading the cells.
        Document reference;
        addRandomRows(reference, unsigned(round));
        TNodeComparer plain(reference);
        TBaseGridTree &tree = reference.GetTable(tbTable).Tree();
        tree.OnCompareNodes = [&](TBaseGridTree &t, TGridNode *a, TGridNode *b, int column) {
            return plain.CompareNodes(t, a, b, column);
        };
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            tree.SetSortDirection(key->direction);
            tree.SortTree(key->column, key->direction);
        }
        ASSERT_EQ(idsInOrder(doc), idsInOrder(reference)) << "round " << round;
        EXPECT_EQ(doc.GetTable(tbTable).Tree().SortColumn(), keys.front().column);
    }
}

} // namespace

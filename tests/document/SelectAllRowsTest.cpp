// A table's selection after random clicks, select-alls, filters, deletes and
// sorts, against a plain set of selected row IDs: the rows it lists, in table
// order, and the colour counts the legend reads.
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

namespace {

class SelectAllRows : public ::testing::Test, public DocumentFixture {
protected:
    std::mt19937 rng { 5 };
    std::set<QString> ref;
    int nextId = 0;

    DocumentTable &table() { return doc->GetTable(tbTable); }
    int pick(int n) { return int(rng() % unsigned(n)); }
    TNodeData *add()
    {
        TNodeData *row = addTask(QString::number(nextId++), "Position 1", "04.03.2024", "1");
        row->nodeColor = pick(4); // a colour before the row is ever selected
        return row;
    }
    std::vector<TNodeData *> chain()
    {
        std::vector<TNodeData *> rows;
        for (TNodeData *row = table().First(); row; row = table().Next(row))
            rows.push_back(row);
        return rows;
    }
    TNodeData *randomRow()
    {
        const std::vector<TNodeData *> rows = chain();
        return rows.empty() ? nullptr : rows[std::size_t(pick(int(rows.size())))];
    }

    // One step as the table's user makes it; the reference follows by the plain rules.
    void step()
    {
        if (table().RowCount() < 10)
            for (int i = 0; i < 10; ++i)
                add();
        TBaseGridTree &tree = table().Tree();
        TNodeData *row = randomRow();
        switch (pick(8)) {
        case 0:
        case 1: // Ctrl+A: every row, hidden ones too
            tree.SelectAll(false);
            for (TNodeData *r : chain())
                ref.insert(r->ID);
            break;
        case 2: // a click: that row alone
            tree.ClearSelection();
            table().SetSelected(row, true);
            ref = { row->ID };
            break;
        case 3: { // Ctrl+click
            const bool on = !ref.count(row->ID);
            table().SetSelected(row, on);
            if (on)
                ref.insert(row->ID);
            else
                ref.erase(row->ID);
            break;
        }
        case 4: // a filter hides or shows a row
            table().SetHidden(row, !table().IsHidden(row));
            break;
        case 5: // a deleted row leaves the selection
            ref.erase(row->ID);
            doc->DeleteNode(row, false);
            break;
        case 6: { // a sort: the rows in a new order
            const std::size_t count = chain().size();
            std::vector<uint32_t> places(count);
            for (std::size_t i = 0; i < count; ++i)
                places[i] = uint32_t(i);
            std::shuffle(places.begin(), places.end(), rng);
            tree.SortTreeBy(0, sdAscending, [&](const std::vector<TGridNode *> &) { return places; });
            break;
        }
        default: // a new row, not selected
            add();
            break;
        }
    }

    void check(int stepNo)
    {
        SCOPED_TRACE(stepNo);
        std::vector<TNodeData *> expected;
        std::map<int, int> colours;
        for (TNodeData *r : chain()) {
            ASSERT_EQ(table().IsSelected(r), ref.count(r->ID) > 0) << r->ID.toStdString();
            if (ref.count(r->ID)) {
                expected.push_back(r);
                ++colours[r->nodeColor];
            }
        }
        ASSERT_EQ(table().Rows(), chain());
        ASSERT_EQ(table().SelectedCount(), int(ref.size()));
        ASSERT_EQ(table().SelectedRows(), expected);
        for (int colour = 0; colour < 4; ++colour)
            ASSERT_EQ(table().SelectedColors().Count(colour), colours[colour]) << colour;
    }
};

} // namespace

TEST_F(SelectAllRows, RandomStepsKeepTheSelectionTheRowsAndTheColourCountsOfTheReference)
{
    int whole = 0;
    for (int i = 0; i < 600; ++i) {
        step();
        check(i);
        if (HasFatalFailure())
            return;
        whole += table().RowCount() > 5 && int(ref.size()) == table().RowCount() ? 1 : 0;
    }
    EXPECT_GT(whole, 30); // every row was selected often enough to matter
}

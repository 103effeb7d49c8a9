#include "document/ChartRows.h"
#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>
#include <random>

namespace {

class DocumentModel : public ::testing::Test, public DocumentFixture {
protected:
    // How many records were shared and how many entries recorded for undo so far.
    std::pair<std::size_t, std::size_t> counts() const
    {
        return { sink.records.size(), doc->UndoRedo().undoList().size() };
    }
};

} // namespace

TEST_F(DocumentModel, BasicTablesHaveTheirColumnsRolesAndItems)
{
    EXPECT_EQ(doc->GetColumnCaption(tbTable, 4), "State");
    EXPECT_EQ(doc->GetColumnType(tbTable, 3), ctNumber);
    EXPECT_TRUE(doc->GetTable(tbTable).RightAligned(3));
    EXPECT_EQ(doc->GetConnection(tbTable, cnTextCenterMiddle), 5);
    EXPECT_EQ(doc->GetConnection(tbTable, cnTermin), -1);
    EXPECT_EQ(doc->ExcludeHeaderStrings()[5], "Absent reason");
    EXPECT_EQ(doc->IndexOfColumnHack(tbExclude, "Working Days"), 4);
    // The absent-days table shows the task table's positions.
    EXPECT_EQ(doc->GetColumnStrings(tbExclude, 0), doc->GetColumnStrings(tbTable, 0));
    EXPECT_TRUE(doc->GetColumnStrings(tbTable, 99).isEmpty());
}

TEST_F(DocumentModel, FillUpColorsRepeatsTheCycleFromTheFirstAddedEntry)
{
    std::vector<std::uint32_t> colors { 0x123456 };
    Document::FillUpColors(colors, 12);
    ASSERT_EQ(colors.size(), 12u);
    EXPECT_EQ(colors[0], 0x123456u);
    EXPECT_EQ(colors[1], 0x008080u);
    EXPECT_EQ(colors[10], 0x800000u);
    EXPECT_EQ(colors[11], 0x008080u);
    Document::FillUpColors(colors, 5); // never shrinks
    EXPECT_EQ(colors.size(), 12u);
}

// A moved start: the change is shared once (the derived end is not) and can be
// undone; the bar is repainted where it was and where it is now, and the layout
// passes and the editor are asked for.
TEST_F(DocumentModel, AChangedCellIsSharedUndoableAndRepaintedWhereTheBarWasAndIs)
{
    TNodeData *node = addTask("pc.tester.7", "Position 1", "04.03.2024", "2");
    ASSERT_TRUE(node->nodeValid);
    host.events.clear();
    const auto records = sink.records.size();

    doc->SetData(node, 1, "05.03.2024");
    EXPECT_EQ(doc->GetData_(node, cnEnd), "06.03.2024");
    EXPECT_TRUE(host.events.contains("repaint pc.tester.7 04.03.2024-05.03.2024"));
    EXPECT_TRUE(host.events.contains("repaint pc.tester.7 05.03.2024-06.03.2024"));
    EXPECT_TRUE(host.events.contains("pass"));
    EXPECT_TRUE(doc->BoundsPassPending());
    EXPECT_TRUE(doc->OverlappingPassPending());
    EXPECT_TRUE(host.events.contains("editor"));

    ASSERT_EQ(sink.records.size(), records + 1);
    auto *change = dynamic_cast<TSetNodeDataEvent *>(sink.records.back().get());
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(change->FData, QStringList { "05.03.2024" });
    EXPECT_EQ(change->FChangeIndex, 5); // after state, position, start and length
    ASSERT_TRUE(host.canUndo);
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData_(node, cnStart), "04.03.2024");
    EXPECT_EQ(doc->GetData_(node, cnEnd), "05.03.2024");
}

TEST_F(DocumentModel, ChangesThatAreNeitherSharedNorUndone)
{
    TNodeData *node = addTask("pc.tester.1", "Position 1", "04.03.2024", "2");
    host.events.clear();
    const auto before = counts();
    // Unchanged text, columns out of range and unbound roles do nothing at all.
    doc->SetData(node, 1, "04.03.2024");
    doc->SetData(node, -1, "x");
    doc->SetData(node, 6, "x");
    doc->SetData_(node, cnTermin, "01.01.2024");
    EXPECT_TRUE(host.events.isEmpty());
    // A changed End only asks for the start to be recomputed.
    node->RecalcStartOf = false;
    doc->SetData(node, 2, "10.03.2024");
    EXPECT_TRUE(node->RecalcStartOf);
    // Remote changes are never shared back, and are undoable only without local undo.
    doc->DoSetData(node, 5, "remote", false);
    EXPECT_EQ(counts(), before);
    doc->SetLocalUndo(false);
    doc->DoSetData(node, 5, "remote again", false);
    EXPECT_EQ(counts(), std::pair(before.first, before.second + 1));
    // Nor does resetting the document, which forgets the rows and what was undoable.
    doc->ResetDocument();
    EXPECT_EQ(sink.records.size(), before.first);
    EXPECT_EQ(doc->TotalCount(tbTable), 0);
    EXPECT_EQ(doc->FindNode("pc.tester.1"), nullptr);
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
}

TEST_F(DocumentModel, AddNodeDefaultsAndExistingIDs)
{
    TNodeData *task = doc->AddNode("pc.tester.3", tbTable, true);
    EXPECT_EQ(doc->GetData_(task, cnColor), "State 1");
    EXPECT_EQ(doc->AddNode("pc.tester.3", tbExclude, true), task);
    EXPECT_EQ(doc->TotalCount(tbExclude), 0);

    changeSetup(*doc, [](TDocumentSetup &s) {
        s.FDefaultHolidayReason = "Sick";
        s.FDefaultCalcWorkdays = false;
    });
    const auto records = sink.records.size();
    TNodeData *absent = doc->AddNode("other.user.1", tbExclude, true);
    EXPECT_EQ(doc->GetData_(absent, cnColor), "Sick");
    EXPECT_EQ(doc->GetData_(absent, cnLengthWithWeekend), "Nein");
    EXPECT_EQ(sink.records.size(), records + 1); // only the new-row record

    // A row without an ID gets a fresh one.
    TNodeData *unnamed = doc->AddNode("", tbTable, false);
    EXPECT_FALSE(unnamed->ID.isEmpty());
    EXPECT_EQ(doc->FindNode(unnamed->ID), unnamed);
}

TEST_F(DocumentModel, FreeIDsSkipUsedOnesAndFollowOwnRows)
{
    doc->AddNode("pc.tester.1", tbTable, false);
    doc->AddNode("pc.tester.2", tbExclude, false);
    EXPECT_EQ(doc->LastFreeID(), 2);
    doc->AddNode("pc.tester.x", tbTable, false);
    doc->AddNode("pc.tester.4294967296", tbTable, false); // beyond the counter: ignored
    doc->AddNode("someone.else.50", tbTable, false);
    EXPECT_EQ(doc->LastFreeID(), 2);
    doc->AddNode("pc.tester.4", tbTable, false);
    EXPECT_EQ(doc->GetFreeID(), "pc.tester.5");
}

TEST_F(DocumentModel, DataIndexLooksUpItemsAndPositions)
{
    TNodeData *node = doc->AddNode("a", tbTable, false);
    doc->SetData(node, 0, "*");
    EXPECT_EQ(doc->GetDataIndex(node, 0), kAllPositions);
    doc->SetData(node, 0, "Position 3");
    EXPECT_EQ(doc->GetDataIndex(node, 0), 2);
    doc->SetData(node, 0, "nobody");
    EXPECT_EQ(doc->GetDataIndex(node, 0), -1);
    doc->SetColumnStrings(tbTable, 4, { "A", "B", "A" });
    doc->SetData(node, 4, "A");
    EXPECT_EQ(doc->GetDataIndex(node, 4), 0);
    // The index follows item changes.
    doc->GetHeader(tbTable, 4)->Strings = QStringList { "B", "A" };
    EXPECT_EQ(doc->GetDataIndex(node, 4), 1);
}

TEST_F(DocumentModel, ValidityNeedsAllCellsAndAPositiveLength)
{
    TNodeData *node = addTask("a", "Position 1", "04.03.2024", "0");
    EXPECT_FALSE(node->nodeValid);
    doc->SetData(node, 3, "3");
    EXPECT_TRUE(node->nodeValid);
    doc->SetData(node, 0, "");
    EXPECT_FALSE(node->nodeValid);
    // A plan far from today is valid too.
    TNodeData *old = addTask("b", "Position 2", "04.03.1950", "1");
    EXPECT_TRUE(old->nodeValid);
    TNodeData *late = addTask("c", "Position 2", "04.03.2390", "1");
    EXPECT_TRUE(late->nodeValid);
}

TEST_F(DocumentModel, ForEachToleratesDeletingTheVisitedRow)
{
    for (int i = 0; i < 5; ++i)
        doc->AddNode(QString::number(i), tbTable, false);
    QStringList seen;
    doc->ForEach(tbTable, feAll, [&](TNodeData &node) {
        seen << node.ID;
        doc->DeleteNode(&node, false);
    });
    EXPECT_EQ(seen, (QStringList { "0", "1", "2", "3", "4" }));
    EXPECT_EQ(doc->TotalCount(tbTable), 0);
    EXPECT_EQ(doc->FindNode("3"), nullptr);
}

// ForEach walks a list of the rows made once; callbacks that delete and add
// rows must not make it visit other rows than a walk along the rows' links.
TEST_F(DocumentModel, ForEachVisitsWhatAWalkAlongTheLinksVisits)
{
    for (unsigned seed = 0; seed < 40; ++seed) {
        const auto run = [seed](bool alongLinks) {
            Document d;
            DocumentTable &t = d.GetTable(tbTable);
            std::mt19937 rng(seed);
            int made = 0;
            for (int i = 0; i < 20; ++i)
                d.AddNode("r" + QString::number(made++), tbTable, false);
            (void)t.Rows(); // a list made before the walk
            QStringList seen;
            const auto visit = [&](TNodeData &n) {
                seen << n.ID;
                const unsigned action = rng() % 4;
                if (action == 0)
                    d.DeleteNode(&n, false);
                else if (action == 1 && made < 200)
                    d.AddNode("r" + QString::number(made++), tbTable, false);
            };
            if (alongLinks) {
                for (TNodeData *n = t.First(); n;) {
                    TNodeData *next = t.Next(n);
                    visit(*n);
                    n = next;
                }
            } else {
                d.ForEach(tbTable, feAll, visit);
            }
            // The list made afresh is the links' order again.
            QStringList listed;
            for (const TNodeData *row : t.Rows())
                listed << row->ID;
            QStringList linked;
            for (const TNodeData *row = t.First(); row; row = t.Next(row))
                linked << row->ID;
            EXPECT_EQ(listed, linked);
            return seen;
        };
        ASSERT_EQ(run(false), run(true)) << "seed " << seed;
    }
}

TEST_F(DocumentModel, ForEachModesSelectRows)
{
    TNodeData *a = addTask("a", "Position 1", "04.03.2024", "1");
    TNodeData *b = addTask("b", "*", "04.03.2024", "1");
    TNodeData *c = addTask("c", "nobody", "04.03.2024", "1");
    doc->SetNodeFiltered(b, true);
    doc->GetTable(tbTable).SetSelected(c, true);
    auto ids = [&](TForEachNode mode) {
        QStringList out;
        doc->ForEach(tbTable, mode, [&](TNodeData &n) { out << n.ID; });
        return out;
    };
    EXPECT_EQ(ids(feGroupAll), QStringList { "a" });
    EXPECT_EQ(ids(feFiltered), QStringList { "b" });
    EXPECT_EQ(ids(feSelected), QStringList { "c" });
    doc->SetNodeFiltered(a, true);
    EXPECT_TRUE(ids(feGroupFiltered).isEmpty());
    EXPECT_EQ(doc->FilteredCount(tbTable), 1);
    EXPECT_EQ(doc->GroupCount(tbTable), 2); // "a" and the all-positions row
    // The count follows rows made and deleted after it was last taken.
    for (int i = 0; i < 40; ++i)
        addTask(QStringLiteral("more %1").arg(i), i % 2 ? "Position 1" : "nobody", "04.03.2024", "1");
    EXPECT_EQ(doc->GroupCount(tbTable), 22);
    doc->DeleteNode(a, false);
    doc->DeleteNode(doc->FindNode(QStringLiteral("more 1")), false);
    EXPECT_EQ(doc->GroupCount(tbTable), 20);
}

// The rows selected are the tree's: a deleted row leaves the selection, and a
// row made later in its place is not selected.
TEST_F(DocumentModel, SelectedRowsAreTheTreesAndGoWithTheirRows)
{
    DocumentTable &table = doc->GetTable(tbTable);
    TNodeData *a = addTask("a", "Position 1", "04.03.2024", "1");
    TNodeData *b = addTask("b", "Position 1", "05.03.2024", "1");
    TNodeData *c = addTask("c", "Position 1", "06.03.2024", "1");
    for (TNodeData *row : { c, b, a })
        table.SetSelected(row, true);
    EXPECT_EQ(doc->SelectedCount(tbTable), 3);
    EXPECT_EQ(table.Tree().GetSortedSelection(false), (TNodeArray { a->VNode, b->VNode, c->VNode }));
    doc->DeleteNode(b, false);
    EXPECT_EQ(doc->SelectedCount(tbTable), 2);
    TNodeData *d = addTask("d", "Position 1", "07.03.2024", "1");
    EXPECT_FALSE(table.IsSelected(d));
    QStringList selected;
    doc->ForEach(tbTable, feSelected, [&](TNodeData &n) { selected << n.ID; });
    EXPECT_EQ(selected, (QStringList { "a", "c" }));
    table.SetSelected(a, false);
    table.ClearRows();
    EXPECT_EQ(doc->SelectedCount(tbTable), 0);
}

TEST_F(DocumentModel, AColumnWithSeveralRolesReactsToEach)
{
    // The comment column also carries the deadline role.
    doc->SetConnection(tbTable, cnTermin, 5);
    TNodeData *node = addTask("a", "Position 1", "04.03.2024", "1");
    host.events.clear();
    doc->SetData(node, 5, "10.03.2024");
    EXPECT_EQ(node->nodeTermin, EncodeDate(2024, 3, 10));
    EXPECT_TRUE(host.events.contains("pass"));
}

TEST_F(DocumentModel, AbsentRowChangesFlagEveryTaskTheyMeet)
{
    TNodeData *t1 = addTask("t1", "Position 1", "04.03.2024", "1");
    TNodeData *t2 = addTask("t2", "Position 1", "06.03.2024", "1");
    TNodeData *t3 = addTask("t3", "Position 2", "06.03.2024", "1");
    TNodeData *absent = doc->AddNode("x", tbExclude, true);
    doc->SetData(absent, 0, "Position 1");
    doc->SetData(absent, 3, "5");
    t1->RecalcEndOf = t2->RecalcEndOf = t3->RecalcEndOf = false;
    doc->SetData(absent, 1, "04.03.2024");
    EXPECT_TRUE(t1->RecalcEndOf);
    EXPECT_TRUE(t2->RecalcEndOf);
    EXPECT_FALSE(t3->RecalcEndOf);
    // Moving it away flags the tasks of the old interval too.
    t1->RecalcEndOf = t2->RecalcEndOf = false;
    doc->SetData(absent, 1, "04.04.2024");
    EXPECT_TRUE(t1->RecalcEndOf);
    EXPECT_TRUE(t2->RecalcEndOf);
}

TEST_F(DocumentModel, ColumnsResizeRowsAndClampRoles)
{
    TNodeData *node = addTask("a", "Position 1", "04.03.2024", "1");
    doc->ResizeTable(tbTable, 8);
    EXPECT_EQ(node->StringList.size(), 8);
    doc->ResizeTable(tbTable, 3);
    EXPECT_EQ(node->StringList.size(), 3);
    EXPECT_EQ(doc->GetConnection(tbTable, cnColor), -1);
    EXPECT_EQ(doc->GetConnection(tbTable, cnStart), 1);
    doc->SetConnection(tbTable, cnColor, 7); // beyond the columns: refused
    EXPECT_EQ(doc->GetConnection(tbTable, cnColor), -1);
    doc->SetTableColCount(tbTable, 2); // removes from the front
    EXPECT_EQ(node->StringList, (QStringList { "04.03.2024", node->StringList[1] }));
    doc->SetColumnType(tbTable, 0, TColumnType(42));
    EXPECT_EQ(doc->GetColumnType(tbTable, 0), ctText);
    doc->SetMinUnit(7);
    EXPECT_EQ(doc->GetMinUnit(), muDay);
}

// The setup is taken whole and made consistent: a unit that does not exist is
// refused, colours cover every item, the reasons are the reason column's items,
// and the rows follow the position groups.
TEST_F(DocumentModel, ASetupIsTakenWholeAndKeptConsistent)
{
    TDocumentSetup setup = doc->Setup();
    setup.FMinUnit = TMinUnit(5);
    setup.FColors = { 0x123456 }; // the task table has three states
    setup.FHolidayReasons = { "Holiday", "Sick", "Other", "Training" };
    setup.FPositionGroup = QStringList { QString(), "\"Position 2\"" };
    setup.FPositionGroupNames = QStringList { QString(), "Two" };
    doc->SetSetup(setup);
    EXPECT_EQ(doc->GetMinUnit(), muDay);
    EXPECT_EQ(doc->Setup().FColors, (std::vector<std::uint32_t> { 0x123456, 0x008080, 0x00FFFF }));
    EXPECT_EQ(doc->Setup().FHolidayColors.size(), 4u);
    EXPECT_EQ(
        doc->GetColumnStrings(tbExclude, doc->GetConnection(tbExclude, cnColor)), setup.FHolidayReasons);
    EXPECT_EQ(doc->GetRowCount(), 3);
    // A member naming its position by name alone shows the position's item.
    doc->SetShownGroup(1);
    EXPECT_EQ(doc->GetRowCount(), 1);
    EXPECT_EQ(doc->ChartRows().GlobalPositionFilter(), QStringList { doc->GetColumnStrings(tbTable, 0)[1] });
}

TEST_F(DocumentModel, PositionsExpandIntoRows)
{
    doc->SetColumnStrings(tbTable, 0, { "Press,,3", "Saw", "\"Big Drill\",,0" });
    const QStringList rows = doc->Positiongroups(true, true);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[1], "\"Press (1)\",,3");
    EXPECT_EQ(rows[2], "\"Press (2)\",,3");
    EXPECT_EQ(doc->GetRowCount(), 5);
    TNodeData *node = addTask("a", "Press (2)", "04.03.2024", "1");
    EXPECT_EQ(node->nodePosition, 2);
    EXPECT_EQ(doc->GetPositionOf(node), 2);
    EXPECT_EQ(doc->ChartRows().PositionsInHolidayGroup()[1], (TInterval { 0, 2 }));
    EXPECT_EQ(doc->ChartRows().PositionsInHolidayGroup()[4], (TInterval { 4, 4 }));
}

TEST_F(DocumentModel, LengthCellsInDaysAndHours)
{
    EXPECT_EQ(doc->calcNodeLength(tbTable, "2"), 960);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "x"), 0);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "99999999"), 0); // too long to count in minutes
    doc->SetMinUnit(muMinute);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "2,30"), 150);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "2,5"), 125);
    EXPECT_EQ(doc->calcNodeLength(tbTable, "2"), 120);
    EXPECT_EQ(doc->calcNodeLength(tbExclude, "2"), 960);
    TNodeData *node = doc->AddNode("a", tbTable, false);
    doc->SetLengthOf(node, 150);
    EXPECT_EQ(doc->GetData_(node, cnLength), "2,30");
    doc->SetLengthOf(node, 120);
    EXPECT_EQ(doc->GetData_(node, cnLength), "2");
}

TEST_F(DocumentModel, UpdateBracketDefersValidation)
{
    doc->BeginUpdate("loading");
    TNodeData *node = doc->AddNode("a", tbTable, false);
    doc->DoSetData(node, 0, "Position 1", false);
    doc->DoSetData(node, 1, "04.03.2024", false);
    doc->DoSetData(node, 3, "2", false);
    doc->BeginUpdate("nested");
    doc->EndUpdate();
    EXPECT_FALSE(node->nodeValid);
    doc->EndUpdate();
    EXPECT_TRUE(node->nodeValid);
    EXPECT_EQ(doc->GetData_(node, cnEnd), "05.03.2024");
    doc->EndUpdate(); // unbalanced: harmless
    EXPECT_FALSE(doc->IsUpdating());
}

#include "tests/document/DocumentTestSupport.h"

#include <gtest/gtest.h>

namespace {

class UndoRedo : public ::testing::Test, public DocumentFixture {
protected:
    TNodeData *row = nullptr;

    void SetUp() override
    {
        row = addTask("pc.tester.1", "Position 1", "04.03.2024", "2");
        doc->UndoRedo().Clear();
    }

    // One user action: the group index is taken before and reset after.
    template <typename F> void action(F &&f)
    {
        doc->SetUndoRedoGroupIndex(doc->UndoRedo().GetGroupIndex());
        f();
        doc->SetUndoRedoGroupIndex(-1);
    }
};

} // namespace

TEST_F(UndoRedo, AGroupIsUndoneNewestFirstAndRedoneWhole)
{
    action([&] {
        doc->SetData(row, 5, "first");
        doc->SetData(row, 5, "second");
        doc->SetData(row, 1, "11.03.2024");
    });
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(row, 5), "");
    EXPECT_EQ(doc->GetData(row, 1), "04.03.2024");
    EXPECT_FALSE(host.canUndo);
    EXPECT_TRUE(host.canRedo);
    EXPECT_EQ(
        doc->UndoRedo().RedoHint(), "set value (Comment)"); // the oldest change of the group is replayed last
    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->GetData(row, 5), "second");
    EXPECT_EQ(doc->GetData(row, 1), "11.03.2024");
    EXPECT_FALSE(host.canRedo);
    EXPECT_EQ(doc->UndoRedo().UndoHint(), "set value (Start)");

    // A new change after an undo empties the redo list.
    doc->UndoRedo().Undo();
    action([&] { doc->SetData(row, 5, "b"); });
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
}

TEST_F(UndoRedo, UndoingADeletionRecreatesTheRowAndOlderEntriesFollowIt)
{
    action([&] { doc->SetData(row, 5, "before delete"); });
    action([&] { doc->DeleteNode(row, true); });
    EXPECT_EQ(doc->TotalCount(tbTable), 0);
    EXPECT_EQ(doc->UndoRedo().UndoHint(), "remove task");

    doc->UndoRedo().Undo();
    ASSERT_EQ(doc->TotalCount(tbTable), 1);
    TNodeData *again = doc->GetTable(tbTable).First();
    EXPECT_NE(again->ID, "pc.tester.1");
    EXPECT_EQ(doc->GetData(again, 5), "before delete");
    EXPECT_EQ(doc->GetData(again, 1), "04.03.2024");

    doc->UndoRedo().Undo(); // the earlier change now names the new row
    EXPECT_EQ(doc->GetData(again, 5), "");
    // Redo twice: the change comes back, then the row goes again.
    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->GetData(again, 5), "before delete");
    doc->UndoRedo().Redo();
    EXPECT_EQ(doc->TotalCount(tbTable), 0);
}

TEST_F(UndoRedo, UndoingANewRowDeletesItAndSharesTheDeletion)
{
    action([&] { doc->AddNode("pc.tester.9", tbExclude, true); });
    const auto records = sink.records.size();
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->FindNode("pc.tester.9"), nullptr);
    ASSERT_EQ(sink.records.size(), records + 1);
    EXPECT_EQ(sink.records.back()->XMLNodeName(), "delete");
}

TEST_F(UndoRedo, RefusedRecordingNestsAndEntriesOutsideActionsStandAlone)
{
    doc->SetAcceptUndo(false);
    doc->SetAcceptUndo(false);
    doc->SetData(row, 5, "x");
    doc->SetAcceptUndo(true);
    doc->SetData(row, 5, "y");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    doc->SetAcceptUndo(true);

    doc->SetData(row, 5, "one"); // group -1
    doc->SetData(row, 5, "two"); // group -1
    doc->UndoRedo().Undo();
    EXPECT_EQ(doc->GetData(row, 5), "one");
    EXPECT_EQ(doc->UndoRedo().undoList().size(), 1u);
}

TEST_F(UndoRedo, PopUndoesTheNewestEntryAndLeavesNothingToRedo)
{
    action([&] { doc->SetData(row, 5, "a"); });
    doc->UndoRedo().Pop();
    EXPECT_EQ(doc->GetData(row, 5), "");
    EXPECT_FALSE(doc->UndoRedo().GetCanUndo());
    EXPECT_FALSE(doc->UndoRedo().GetCanRedo());
}

TEST_F(UndoRedo, ColumnLayoutChangesDropColumnEntries)
{
    action([&] { doc->SetData(row, 5, "a"); });
    action([&] { doc->AddNode("pc.tester.5", tbTable, true); });
    doc->ColumnLayoutChanged();
    ASSERT_EQ(doc->UndoRedo().undoList().size(), 1u);
    EXPECT_EQ(doc->UndoRedo().UndoHint(), "new task");
}

// Undo and redo of a restore from the archive: every task is always in the plan,
// in the archive, or (between the two writes) in both; never in neither.
#include "dialogs/misc/Archive.h"
#include "document/DocumentTable.h"
#include "document/program/MessageDialog.h"
#include "tests/timechart/ChartTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Fifteen finished tasks, each with its own comment, all in the archive.
class ArchiveUndoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.SetPositions({ charttest::PositionItem("A") });
        for (int i = 0; i < 15; ++i) {
            TNodeData *row
                = fixture.AddTask(QStringLiteral("A"), QStringLiteral("04.03.2024"), QStringLiteral("2"));
            doc.SetData(row, 5, QStringLiteral("task %1").arg(i));
        }
        doc.UndoRedo().Clear();
        ASSERT_TRUE(ArchiveTasks(doc, charttest::Day(2024, 12, 31), archive, false).Ok);
        ASSERT_EQ(doc.GetTableRowCount(tbTable), 0);
    }

    // The comments in the plan and in the archive, sorted.
    QStringList InPlan()
    {
        QStringList comments;
        doc.ForEach(tbTable, feAll, [&](TNodeData &row) { comments << doc.GetData(&row, 5); });
        comments.sort();
        return comments;
    }
    QStringList InArchive()
    {
        const TArchiveContents contents = ReadArchive(archive);
        EXPECT_TRUE(contents.Ok) << contents.Error.toStdString();
        QStringList comments;
        for (const TArchivedEntry &entry : contents.Entries)
            comments << entry.Texts.value(int(entry.Captions.indexOf(doc.GetColumnCaption(tbTable, 5))));
        comments.sort();
        return comments;
    }
    // Every task is in exactly one place.
    void ExpectEachTaskOnce()
    {
        QStringList all = InPlan() + InArchive();
        all.sort();
        EXPECT_EQ(all, everyTask);
    }

    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("Werk.archiv"));
    charttest::ChartFixture fixture;
    Document &doc = *fixture.doc;
    TScriptedMessageDialogs questions;
    ScopedMessageDialogs scoped { &questions };
    QStringList everyTask = [] {
        QStringList tasks;
        for (int i = 0; i < 15; ++i)
            tasks << QStringLiteral("task %1").arg(i);
        tasks.sort();
        return tasks;
    }();
};

} // namespace

TEST_F(ArchiveUndoTest, UndoingARestorePutsTheEntriesBackAndRedoTakesThemOutAgain)
{
    std::vector<TArchivedEntry> entries = ReadArchive(archive).Entries;
    ASSERT_EQ(entries.size(), 15u);
    entries.resize(10);
    const TRestoreResult restored = RestoreEntries(doc, entries, archive, false);
    ASSERT_TRUE(restored.Ok);
    EXPECT_EQ(InPlan().size(), 10);
    EXPECT_EQ(InArchive().size(), 5);
    ExpectEachTaskOnce();

    // A restored row edited afterwards: the edit is undone first, then the restore.
    TNodeData *row = doc.FindNode(restored.Rows.front().first);
    ASSERT_NE(row, nullptr);
    const QString before = doc.GetData(row, 5);
    {
        doc.SetUndoRedoGroupIndex(doc.UndoRedo().GetGroupIndex());
        doc.SetData(row, 5, QStringLiteral("edited"));
        doc.SetUndoRedoGroupIndex(-1);
    }
    doc.UndoRedo().Undo();
    EXPECT_EQ(doc.GetData(row, 5), before);
    ASSERT_TRUE(doc.UndoRedo().GetCanUndo());
    doc.UndoRedo().Undo();
    EXPECT_TRUE(InPlan().isEmpty());
    EXPECT_EQ(InArchive(), everyTask);
    EXPECT_FALSE(doc.UndoRedo().GetCanUndo());

    // Redone: out of the archive again, and the edit finds its row under its new ID.
    ASSERT_TRUE(doc.UndoRedo().GetCanRedo());
    doc.UndoRedo().Redo();
    EXPECT_EQ(InPlan().size(), 10);
    ExpectEachTaskOnce();
    doc.UndoRedo().Redo();
    EXPECT_TRUE(InPlan().contains("edited"));
    EXPECT_EQ(InArchive().size(), 5);

    // And back once more: an undo after a redo still gives the entries back.
    doc.UndoRedo().Undo();
    doc.UndoRedo().Undo();
    EXPECT_TRUE(InPlan().isEmpty());
    ExpectEachTaskOnce();
    EXPECT_EQ(questions.Questions().size(), 0);
}

TEST_F(ArchiveUndoTest, AnArchiveThatCannotBeWrittenKeepsTheRestoredRowsInThePlan)
{
    const TRestoreResult restored = RestoreEntries(doc, ReadArchive(archive).Entries, archive, false);
    ASSERT_TRUE(restored.Ok);
    EXPECT_EQ(InPlan(), everyTask);

    // The archive became something that is no archive file: undo tells the user,
    // and the tasks stay in the plan.
    ASSERT_TRUE(QFile::remove(archive));
    ASSERT_TRUE(QDir().mkdir(archive));
    doc.UndoRedo().Undo();
    EXPECT_EQ(InPlan(), everyTask);
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_TRUE(questions.Questions().front().Msg.contains("stay in the plan"));
}

// Archiving is no undo step: undo after it brings back nothing, and what was
// edited before it is still undone without touching the archived rows.
TEST_F(ArchiveUndoTest, UndoAfterArchivingLeavesTheArchivedTasksInTheArchive)
{
    std::vector<TArchivedEntry> entries = ReadArchive(archive).Entries;
    ASSERT_TRUE(RestoreEntries(doc, entries, archive, false).Ok);
    ASSERT_TRUE(ArchiveTasks(doc, charttest::Day(2024, 12, 31), archive, false).Ok);
    EXPECT_TRUE(InPlan().isEmpty());
    EXPECT_EQ(InArchive(), everyTask);
    // The restore's step finds its rows gone: nothing is archived twice.
    doc.UndoRedo().Undo();
    EXPECT_TRUE(InPlan().isEmpty());
    EXPECT_EQ(InArchive(), everyTask);
    doc.UndoRedo().Redo();
    ExpectEachTaskOnce();
}

// The rows brought back are stored for the others (and a later open) before
// their entries leave the archive; when that fails, the archive keeps them.
TEST_F(ArchiveUndoTest, RestoredRowsAreStoredBeforeTheyLeaveTheArchive)
{
    std::vector<TArchivedEntry> entries = ReadArchive(archive).Entries;
    entries.resize(4);
    QList<int> inArchiveWhenStored;
    bool storeWorks = false;
    const TStoreRows store = [&] {
        inArchiveWhenStored << int(InArchive().size());
        return storeWorks;
    };
    const TRestoreResult refused = RestoreEntries(doc, entries, archive, false, store);
    EXPECT_FALSE(refused.Ok);
    EXPECT_EQ(InPlan().size(), 4);
    EXPECT_EQ(InArchive(), everyTask) << "not stored: still in the archive too";
    EXPECT_FALSE(doc.UndoRedo().GetCanUndo());

    doc.ForEach(tbTable, feAll, [&](TNodeData &row) { doc.DeleteNode(&row, false); });
    storeWorks = true;
    ASSERT_TRUE(RestoreEntries(doc, entries, archive, false, store).Ok);
    ExpectEachTaskOnce();
    // Undone and redone: the redo stores the rows before erasing the entries too.
    doc.UndoRedo().Undo();
    doc.UndoRedo().Redo();
    ExpectEachTaskOnce();
    EXPECT_EQ(inArchiveWhenStored, QList<int>({ 15, 15, 15 }));
}

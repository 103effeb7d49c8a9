// Applying other instances' records: order, counters, conflicts and their replay.
#include "tests/document/sharing/SharingTestSupport.h"

#include <gtest/gtest.h>

namespace {

class SharingApply : public ::testing::Test {
protected:
    SharedFolder folder;
    SharingInstance anna { folder.path, "pc.anna" };

    void load() { anna.watcher->ForceLoadTransactions(); }
};

const QString kComment = "<Comment>%1</Comment>";

} // namespace

TEST_F(SharingApply, RecordsApplyInIndexOrderEachOnce)
{
    // Written out of order: index order decides.
    folder.writeDiff("pc.bert.1.diff", 3,
        changeRecord("pc.bert.1", 3, 2, "pc.bert", kComment.arg("late"))
            + newRecord("pc.bert.1", 1, "pc.bert")
            + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("early")));
    load();
    ASSERT_NE(anna.row("pc.bert.1"), nullptr);
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "late");
    EXPECT_EQ(anna.row("pc.bert.1")->ChangeIndex, 2u);
    EXPECT_EQ(anna.watcher->NumPendingConflicts(), 0);

    // The file grows: only the new record applies; an unchanged file is not read.
    anna.doc->SetData(anna.row("pc.bert.1"), 5, "mine"); // counter 3
    anna.watcher->ForceStorePending();
    folder.writeDiff("pc.bert.1.diff", 4,
        changeRecord("pc.bert.1", 3, 2, "pc.bert", kComment.arg("late"))
            + newRecord("pc.bert.1", 1, "pc.bert")
            + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("early"))
            + changeRecord("pc.bert.1", 4, 4, "pc.bert", kComment.arg("newer")));
    load();
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "newer");
    EXPECT_EQ(anna.row("pc.bert.1")->ChangeIndex, 4u);
    load();
    EXPECT_EQ(anna.watcher->NumPendingFiles(), 0);
}

TEST_F(SharingApply, ConcurrentChangesEndWithTheRecordThatSortsLastEverywhere)
{
    SharingInstance bert(folder.path, "pc.bert");
    TNodeData *row = anna.doc->AddNode("pc.anna.1", tbTable, true);
    anna.doc->SetData(row, 5, "base"); // counter 2
    anna.sync();
    bert.sync();
    ASSERT_EQ(bert.cell("pc.anna.1", 5), "base");

    // Both change the same cell before seeing each other's change (counter 3 each).
    anna.doc->SetData(anna.row("pc.anna.1"), 5, "from anna");
    bert.doc->SetData(bert.row("pc.anna.1"), 5, "from bert");
    anna.sync();
    bert.sync();
    anna.sync();
    // Equal counters: the higher identity wins on both sides.
    EXPECT_EQ(anna.cell("pc.anna.1", 5), "from bert");
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "from bert");
    EXPECT_EQ(anna.row("pc.anna.1")->ChangeIndex, 3u);
    EXPECT_EQ(bert.row("pc.anna.1")->ChangeIndex, 3u);

    // A later change (higher counter) simply applies and raises the counter.
    anna.doc->SetData(anna.row("pc.anna.1"), 5, "anna again");
    anna.sync();
    bert.sync();
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "anna again");
    EXPECT_EQ(bert.row("pc.anna.1")->ChangeIndex, 4u);
    EXPECT_EQ(bert.watcher->NumPendingConflicts(), 0);
}

TEST_F(SharingApply, OwnQueuedRecordsTakePartInTheReplay)
{
    anna.doc->AddNode("pc.anna.1", tbTable, true);
    anna.watcher->ForceStorePending();
    // Anna changes the row (counter 2) and has not stored it yet when Bert's
    // concurrent change with the same counter arrives.
    anna.doc->SetData(anna.row("pc.anna.1"), 5, "from anna");
    folder.writeDiff(
        "pc.aaron.1.diff", 1, changeRecord("pc.anna.1", 1, 2, "pc.aaron", kComment.arg("from aaron")));
    load();
    // "pc.anna" sorts after "pc.aaron": her queued change is the last word here
    // too, as it will be everywhere once stored.
    EXPECT_EQ(anna.cell("pc.anna.1", 5), "from anna");
    EXPECT_EQ(anna.watcher->NumPendingEvents(), 1);
}

TEST_F(SharingApply, ReplayStartsFromTheWorkingCopyAndHandlesNewAndDelete)
{
    // The working copy holds the row as saved; two instances then change it.
    SharedFolder::write(folder.workingDir() + "Plan.kez",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><setup /><data>"
        "<new id=\"old.1\"><__table__>tbTable</__table__><Position>Position 2</Position>"
        "<Comment>saved</Comment></new></data><diff index=\"0\" /></document>");
    TNodeData *row = anna.doc->AddNode("old.1", tbTable, false); // as loaded from the working copy
    anna.doc->DoSetData(row, 0, "Position 2", false);
    anna.doc->DoSetData(row, 5, "saved", false);

    folder.writeDiff("pc.bert.1.diff", 2,
        changeRecord("old.1", 1, 1, "pc.bert", kComment.arg("bert 1"))
            + changeRecord("old.1", 2, 2, "pc.bert", "<Position>Position 3</Position>"));
    folder.writeDiff("pc.carl.1.diff", 1, changeRecord("old.1", 1, 1, "pc.carl", kComment.arg("carl 1")));
    load();
    // Replayed: the saved row, Bert's and Carl's counter-1 changes (Carl last),
    // then Bert's counter-2 change.
    EXPECT_EQ(anna.cell("old.1", 5), "carl 1");
    EXPECT_EQ(anna.cell("old.1", 0), "Position 3");
    EXPECT_EQ(anna.row("old.1")->ChangeIndex, 2u);

    // A "new" for a present ID is a conflict (counter 0) and fills the row.
    folder.writeDiff("pc.dora.1.diff", 1,
        "<new id=\"old.1\" index=\"1\"><__change__>0</__change__><__user__>pc.dora</__user__>"
        "<__table__>tbTable</__table__><State>State 2</State></new>");
    load();
    EXPECT_EQ(anna.cell("old.1", 4), "State 2");
    EXPECT_EQ(anna.cell("old.1", 5), "carl 1");

    // An ID with no base and only change records is deleted, not made again.
    anna.doc->AddNode("stray.1", tbTable, false);
    folder.writeDiff("pc.erik.1.diff", 1, changeRecord("stray.1", 1, 0, "pc.erik", kComment.arg("x")));
    load();
    EXPECT_EQ(anna.row("stray.1"), nullptr);
}

TEST_F(SharingApply, ADeleteReadBeforeTheRowsNewStillWins)
{
    // Bert made the row, Carl deleted it after seeing it. Files are read in name
    // order, so Anna meets the delete ("pc.a...") before the new ("pc.b...").
    folder.writeDiff("pc.bert.1.diff", 2,
        newRecord("pc.bert.1", 1, "pc.bert") + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("b")));
    folder.writeDiff("pc.a-carl.1.diff", 1, deleteRecord("pc.bert.1", 1, 2, "pc.a-carl"));
    load();
    EXPECT_EQ(anna.row("pc.bert.1"), nullptr);

    // And a change read before its row's "new" is not lost.
    folder.writeDiff("pc.bert.1.diff", 3,
        newRecord("pc.bert.1", 1, "pc.bert") + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("b"))
            + newRecord("pc.bert.2", 3, "pc.bert"));
    folder.writeDiff(
        "pc.a-dora.1.diff", 1, changeRecord("pc.bert.2", 1, 1, "pc.a-dora", kComment.arg("dora")));
    load();
    ASSERT_NE(anna.row("pc.bert.2"), nullptr);
    EXPECT_EQ(anna.cell("pc.bert.2", 5), "dora");
}

TEST_F(SharingApply, BadValuesSkipOnlyTheirCell)
{
    folder.writeDiff("pc.bert.1.diff", 4,
        newRecord("pc.bert.1", 1, "pc.bert")
            + changeRecord("pc.bert.1", 2, 1, "pc.bert",
                "<Start>2024-02-30 00:00:00</Start><Comment>kept</Comment>"
                "<NoSuchColumn>x</NoSuchColumn>")
            // A damaged "new" must not become a row of the other table.
            + "<new id=\"pc.bert.2\" index=\"3\"><__change__>0</__change__></new>"
            + changeRecord("pc.bert.1", 4, 2, "pc.bert", "<Length>2</Length>"));
    load();
    ASSERT_NE(anna.row("pc.bert.1"), nullptr);
    // A date its writer could not read either arrives as written (the row stays
    // invalid), as it would read from the document after a save.
    EXPECT_EQ(anna.cell("pc.bert.1", 1), "2024-02-30 00:00:00");
    EXPECT_FALSE(anna.row("pc.bert.1")->nodeValid);
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "kept");
    EXPECT_EQ(anna.cell("pc.bert.1", 3), "2");
    EXPECT_EQ(anna.row("pc.bert.2"), nullptr);

    // A stored day 0 (how an emptied date is written) reads back as an empty cell.
    anna.doc->DoSetData(anna.row("pc.bert.1"), 1, "01.02.2024", false);
    folder.writeDiff("pc.bert.1.diff", 5,
        newRecord("pc.bert.1", 1, "pc.bert")
            + changeRecord("pc.bert.1", 5, 3, "pc.bert", "<Start>1899-12-30 00:00:00</Start>"));
    load();
    EXPECT_EQ(anna.cell("pc.bert.1", 1), "");
}

TEST_F(SharingApply, TiesOfOneWriterBreakByFileNameThenIndex)
{
    // The same identity in several files (damaged ones were left behind).
    folder.writeDiff("pc.bert.2.diff", 1, changeRecord("x.1", 1, 1, "pc.bert", kComment.arg("second file")));
    folder.writeDiff("pc.bert.1.diff", 2,
        newRecord("x.1", 1, "pc.bert") + changeRecord("x.1", 2, 1, "pc.bert", kComment.arg("first file")));
    folder.writeDiff("pc.bert.3.diff", 2,
        changeRecord("x.1", 2, 1, "pc.bert", kComment.arg("third b"))
            + changeRecord("x.1", 1, 1, "pc.bert", kComment.arg("third a")));
    load();
    EXPECT_EQ(anna.cell("x.1", 5), "third b");
}

TEST_F(SharingApply, FilesOfAnOldFolderAreReallyApplied)
{
    const QString old = folder.dir.path() + "/old/";
    QDir().mkpath(old);
    SharedFolder::write(old + "pc.bert.1.diff",
        ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><document><diff index=\"2\">"
            + newRecord("pc.bert.1", 1, "pc.bert")
            + changeRecord("pc.bert.1", 2, 1, "pc.bert", kComment.arg("imported")) + "</diff></document>")
            .toLatin1());
    anna.watcher->ForceLoadTransactionsFrom(old);
    EXPECT_EQ(anna.cell("pc.bert.1", 5), "imported");
}

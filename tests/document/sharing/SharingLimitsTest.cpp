// Identities and numbers as other users' files may bring them: an identity that
// would name hidden files, and counters and record indexes at the top of 32 bits.
// Every instance still reads every stored record and ends with the same rows.
#include "tests/document/sharing/SharingTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString kComment = "<Comment>%1</Comment>";

} // namespace

TEST(SharingLimits, AnIdentityStartingWithADotWritesAFileTheOthersRead)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, ".anna"), bert(folder.path, "pc.bert");
    anna.doc->SetData(anna.doc->AddNode("x.1", tbTable, true), 5, "from anna");
    EXPECT_TRUE(anna.watcher->ForceStorePending());
    EXPECT_FALSE(QFileInfo(anna.watcher->DiffFileName()).fileName().startsWith('.'));
    bert.sync();
    EXPECT_EQ(bert.cell("x.1", 5), "from anna");
}

TEST(SharingLimits, AChangeOnACounterAtItsTopEndsAlikeEverywhere)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    folder.writeDiff("pc.carl.1.diff", 2,
        newRecord("r.1", 1, "pc.carl") + changeRecord("r.1", 2, 2147483647, "pc.carl", kComment.arg("carl")));
    anna.sync();
    bert.sync();
    ASSERT_EQ(anna.row("r.1")->ChangeIndex, 2147483647u);

    anna.doc->SetData(anna.row("r.1"), 5, "anna");
    bert.doc->SetData(bert.row("r.1"), 3, "4");
    for (int round = 0; round < 2; ++round) {
        anna.sync();
        bert.sync();
    }
    EXPECT_EQ(anna.cell("r.1", 5), bert.cell("r.1", 5));
    EXPECT_EQ(anna.cell("r.1", 3), bert.cell("r.1", 3));
    EXPECT_EQ(anna.row("r.1")->ChangeIndex, 2147483647u);
    EXPECT_EQ(anna.watcher->NumPendingConflicts() + bert.watcher->NumPendingConflicts(), 0);
}

TEST(SharingLimits, AnOwnFileWhoseIndexCannotGrowContinuesUnderTheNextName)
{
    SharedFolder folder;
    QDir().mkpath(folder.workingDir());
    // Left by an earlier run of Anna's: its last record has the highest index there is.
    folder.writeDiff("pc.anna.1.diff", 2147483647,
        newRecord("pc.anna.1", 2147483646, "pc.anna")
            + changeRecord("pc.anna.1", 2147483647, 1, "pc.anna", kComment.arg("earlier")));
    SharingInstance anna(folder.path, "pc.anna"), bert(folder.path, "pc.bert");
    anna.sync();
    ASSERT_EQ(anna.cell("pc.anna.1", 5), "earlier");

    anna.doc->SetData(anna.row("pc.anna.1"), 5, "later");
    anna.doc->SetData(anna.doc->AddNode("pc.anna.2", tbTable, true), 5, "new row");
    EXPECT_TRUE(anna.watcher->ForceStorePending());
    EXPECT_TRUE(anna.watcher->DiffFileName().endsWith("pc.anna.2.diff"));
    EXPECT_FALSE(anna.watcher->Error());
    bert.sync();
    EXPECT_EQ(bert.cell("pc.anna.1", 5), "later");
    EXPECT_EQ(bert.cell("pc.anna.2", 5), "new row");
}

TEST(SharingLimits, TwoInstancesOfOneIdentityNeverWriteOneFile)
{
    SharedFolder folder;
    // The same short host name and login on two machines.
    SharingInstance first(folder.path, "pc.anna"), second(folder.path, "pc.anna"),
        bert(folder.path, "pc.bert");
    first.doc->SetData(first.doc->AddNode("a.1", tbTable, true), 5, "first one");
    ASSERT_TRUE(first.watcher->ForceStorePending());
    second.doc->SetData(second.doc->AddNode("b.1", tbTable, true), 5, "second one");
    ASSERT_TRUE(second.watcher->ForceStorePending());
    first.doc->SetData(first.doc->AddNode("a.2", tbTable, true), 5, "first again");
    ASSERT_TRUE(first.watcher->ForceStorePending());
    EXPECT_NE(first.watcher->DiffFileName(), second.watcher->DiffFileName());

    bert.sync();
    EXPECT_EQ(bert.cell("a.1", 5), "first one");
    EXPECT_EQ(bert.cell("b.1", 5), "second one");
    EXPECT_EQ(bert.cell("a.2", 5), "first again");

    // Ended cleanly, an instance leaves its name to the next run of its identity.
    const QString name = first.watcher->DiffFileName();
    first.doc->SetDiffSink(nullptr);
    first.watcher.reset();
    SharingInstance again(folder.path, "pc.anna");
    again.doc->SetData(again.doc->AddNode("c.1", tbTable, true), 5, "next run");
    ASSERT_TRUE(again.watcher->ForceStorePending());
    EXPECT_EQ(again.watcher->DiffFileName(), name);
}

TEST(SharingLimits, AnInstanceTakingOverTheNameOfAnotherOfItsIdentityKeepsWhatThatOneStoredLast)
{
    SharedFolder folder;
    SharingInstance first(folder.path, "pc.anna"), second(folder.path, "pc.anna"),
        bert(folder.path, "pc.bert");
    first.doc->SetData(first.doc->AddNode("a.1", tbTable, true), 5, "first one");
    ASSERT_TRUE(first.watcher->ForceStorePending());
    second.sync(); // reads the first one's file as it stands now
    first.doc->SetData(first.doc->AddNode("a.2", tbTable, true), 5, "first again");
    ASSERT_TRUE(first.watcher->ForceStorePending());
    const QString name = first.watcher->DiffFileName();
    // The first one ends cleanly and leaves its name; the second one stores before
    // its next look at the folder, so what it read of that file is out of date.
    first.doc->SetDiffSink(nullptr);
    first.watcher.reset();
    second.doc->SetData(second.doc->AddNode("b.1", tbTable, true), 5, "second one");
    ASSERT_TRUE(second.watcher->ForceStorePending());
    EXPECT_EQ(second.watcher->DiffFileName(), name);

    second.sync();
    bert.sync();
    for (SharingInstance *instance : { &second, &bert }) {
        EXPECT_EQ(instance->cell("a.1", 5), "first one");
        EXPECT_EQ(instance->cell("a.2", 5), "first again");
        EXPECT_EQ(instance->cell("b.1", 5), "second one");
    }
}

// Identities and numbers as other users' files may bring them: an identity that
// would name hidden files or is too long for a file name, and record indexes at
// the top of 32 bits.
// Every instance still reads every stored record and ends with the same rows.
#include "document/program/Identity.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString kComment = "<Comment>%1</Comment>";

// A new row with `text` in its comment, stored at once.
::testing::AssertionResult storeNewRow(SharingInstance &instance, const QString &id, const QString &text)
{
    instance.doc->SetData(instance.doc->AddNode(id, tbTable, true), 5, text);
    if (instance.watcher->ForceStorePending())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << qPrintable(id) << " is not stored";
}

// An instance that ends cleanly: its watcher goes, and with it its claims.
void endCleanly(SharingInstance &instance)
{
    instance.doc->SetDiffSink(nullptr);
    instance.watcher.reset();
}

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

TEST(SharingLimits, AnIdentityTooLongForAFileNameStillStoresAndEveryInstanceOfItNamesItAlike)
{
    const QString ascii = "pc." + QString(297, 'a');
    const QString accented = "pc." + QString(130, QChar(0xE9));
    const QString withPairs = "pc." + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(40);
    for (const QString &identity : { ascii, accented, withPairs }) {
        SharedFolder folder;
        SharingInstance first(folder.path, identity), bert(folder.path, "pc.bert");
        ASSERT_TRUE(storeNewRow(first, "x.1", "stored"));
        EXPECT_FALSE(first.watcher->Error());
        const QString name = QFileInfo(first.watcher->DiffFileName()).fileName();
        EXPECT_LE(QFile::encodeName(name).size(), kMaxFileIdentityBytes + 7);
        EXPECT_TRUE(identity.startsWith(name.left(20)));
        EXPECT_FALSE(name.contains(QChar(0xFFFD)));
        bert.sync();
        EXPECT_EQ(bert.cell("x.1", 5), "stored");
        // The records carry the whole identity.
        if (identity == ascii) {
            EXPECT_TRUE(SharedFolder::read(first.watcher->DiffFileName()).contains(ascii.toLatin1()));
        }

        // The next run of the identity takes its name again.
        const QString presence = first.watcher->GetUserFileName();
        endCleanly(first);
        SharingInstance again(folder.path, identity);
        EXPECT_EQ(again.watcher->GetUserFileName(), presence);
        ASSERT_TRUE(storeNewRow(again, "x.2", "next run"));
        EXPECT_EQ(again.watcher->DiffFileName(), folder.workingDir() + name);
    }
    // Identities that fit keep their names, as older builds make them.
    EXPECT_EQ(FileIdentityName("pc.anna"), "pc.anna");
    EXPECT_NE(FileIdentityName(ascii), FileIdentityName(ascii + "b"));
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
    ASSERT_TRUE(storeNewRow(first, "a.1", "first one"));
    ASSERT_TRUE(storeNewRow(second, "b.1", "second one"));
    ASSERT_TRUE(storeNewRow(first, "a.2", "first again"));
    EXPECT_NE(first.watcher->DiffFileName(), second.watcher->DiffFileName());

    bert.sync();
    EXPECT_EQ(bert.cell("a.1", 5), "first one");
    EXPECT_EQ(bert.cell("b.1", 5), "second one");
    EXPECT_EQ(bert.cell("a.2", 5), "first again");

    // Ended cleanly, an instance leaves its name to the next run of its identity.
    const QString name = first.watcher->DiffFileName();
    endCleanly(first);
    SharingInstance again(folder.path, "pc.anna");
    ASSERT_TRUE(storeNewRow(again, "c.1", "next run"));
    EXPECT_EQ(again.watcher->DiffFileName(), name);
}

TEST(SharingLimits, AnInstanceTakingOverTheNameOfAnotherOfItsIdentityKeepsWhatThatOneStoredLast)
{
    SharedFolder folder;
    SharingInstance first(folder.path, "pc.anna"), second(folder.path, "pc.anna"),
        bert(folder.path, "pc.bert");
    ASSERT_TRUE(storeNewRow(first, "a.1", "first one"));
    second.sync(); // reads the first one's file as it stands now
    ASSERT_TRUE(storeNewRow(first, "a.2", "first again"));
    const QString name = first.watcher->DiffFileName();
    // The first one ends cleanly and leaves its name; the second one stores before
    // its next look at the folder, so what it read of that file is out of date.
    endCleanly(first);
    ASSERT_TRUE(storeNewRow(second, "b.1", "second one"));
    EXPECT_EQ(second.watcher->DiffFileName(), name);

    second.sync();
    bert.sync();
    for (SharingInstance *instance : { &second, &bert }) {
        EXPECT_EQ(instance->cell("a.1", 5), "first one");
        EXPECT_EQ(instance->cell("a.2", 5), "first again");
        EXPECT_EQ(instance->cell("b.1", 5), "second one");
    }
}

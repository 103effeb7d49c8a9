// Queued records, their merging and the numbering of records in a file.
#include "document/sharing/TransactionRecords.h"
#include "document/xml/XMLTree.h"
#include "tests/document/sharing/SharingTestSupport.h"

#include <gtest/gtest.h>

using namespace transactions;

namespace {

TXMLNode *diffOf(TXMLTree &tree)
{
    return tree.namedNode(QStringList { "document", "diff" });
}

QString ownFileText(SharingInstance &instance)
{
    return QString::fromLatin1(SharedFolder::read(instance.watcher->DiffFileName()));
}

} // namespace

TEST(SharingRecords, IndexesContinueFromTheFileAndStartAtOne)
{
    TXMLTree tree;
    tree.setText(QString(R"(<document><diff index="5"><change id="a" index="5"/></diff></document>)"));
    EXPECT_EQ(getIndex(*diffOf(tree)), 5);
    EXPECT_EQ(updateIndex(*diffOf(tree)), 6);
    EXPECT_EQ(diffOf(tree)->namedAttribute(QString("index"))->Value(), "6");

    // Without its own index the highest record counts.
    tree.setText(
        QString(R"(<document><diff><new id="a" index="3"/><new id="b" index="7"/></diff></document>)"));
    EXPECT_EQ(updateIndex(*diffOf(tree)), 8);

    // A diff element with no index at all: the first record must still be
    // readable (readers skip index -1), so numbering starts at 1.
    tree.setText(QString("<document><diff></diff></document>"));
    EXPECT_EQ(getIndex(*diffOf(tree)), -1);
    EXPECT_EQ(updateIndex(*diffOf(tree)), 1);
    EXPECT_EQ(updateIndex(*diffOf(tree)), 2);

    tree.setText(QString(R"(<document><diff><new id="a" index="-1"/><new id="b"/></diff></document>)"));
    EXPECT_EQ(RecordIndex(*diffOf(tree)->Node(0)), 0);
    EXPECT_EQ(RecordIndex(*diffOf(tree)->Node(1)), 0);
}

TEST(SharingRecords, AFileIsCompleteOnlyWhenItsIndexMatchesItsLastRecord)
{
    TXMLTree tree;
    tree.setText(QString(
        R"(<document><diff index="2"><new id="a" index="1"/><new id="a" index="2"/></diff></document>)"));
    EXPECT_TRUE(IsCompleteTransactionTree(tree));
    tree.setText(QString(
        R"(<document><diff index="3"><new id="a" index="1"/><new id="a" index="2"/></diff></document>)"));
    const platform::Status complete = IsCompleteTransactionTree(tree);
    EXPECT_FALSE(complete);
    EXPECT_TRUE(complete.reason().contains("does not match")) << complete.reason().toStdString();
    tree.setText(QString(R"(<document><diff index="0" /></document>)"));
    EXPECT_TRUE(IsCompleteTransactionTree(tree));
}

TEST(SharingRecords, TheFixedOrderIsCounterThenUserThenFileThenIndex)
{
    const TRecordOrderKey base { 0, "", "Plan.kez", 1 };
    const TRecordOrderKey a { 3, "pc.anna", "pc.anna.1.diff", 9 };
    const TRecordOrderKey b { 3, "pc.bert", "pc.bert.1.diff", 1 };
    const TRecordOrderKey later { 4, "pc.anna", "pc.anna.1.diff", 2 };
    const TRecordOrderKey secondFile { 3, "pc.anna", "pc.anna.2.diff", 1 };
    EXPECT_TRUE(base < a);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b < later);
    EXPECT_TRUE(a < secondFile);
    EXPECT_TRUE(
        (TRecordOrderKey { 3, "Z", "", 0 } < TRecordOrderKey { 3, "a", "", 0 })); // ordinal, case-sensitive
}

TEST(SharingRecords, QueuedChangesOfOneRowMergeUntilHandedToTheWorker)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    TNodeData *row = anna.doc->AddNode("pc.anna.1", tbTable, true); // new + state
    anna.doc->SetData(row, 5, "first");
    anna.doc->SetData(row, 1, "05.03.2024");
    anna.doc->SetData(row, 5, "second");
    TNodeData *other = anna.doc->AddNode("pc.anna.2", tbTable, true);
    anna.doc->SetData(other, 5, "x");
    // new, change(state, comment, start), new, change
    EXPECT_EQ(anna.watcher->NumPendingEvents(), 4);
    ASSERT_TRUE(anna.watcher->ForceStorePending());
    anna.doc->SetData(row, 5, "third"); // queued after the hand-over: a record of its own
    ASSERT_TRUE(anna.watcher->ForceStorePending());

    const QString text = ownFileText(anna);
    const QString expectedFirst = "<change id=\"pc.anna.1\" index=\"2\">\r\n"
                                  "      <__change__>4</__change__>\r\n"
                                  "      <__user__>pc.anna</__user__>\r\n"
                                  "      <State>State&nbsp;1</State>\r\n"
                                  "      <Comment>second</Comment>\r\n"
                                  "      <Start>2024-03-05&nbsp;00:00:00</Start>\r\n"
                                  "    </change>";
    EXPECT_TRUE(text.contains(expectedFirst)) << qPrintable(text);
    EXPECT_TRUE(text.contains("<new id=\"pc.anna.1\" index=\"1\">")) << qPrintable(text);
    EXPECT_TRUE(text.contains("<change id=\"pc.anna.1\" index=\"5\">")) << qPrintable(text);
    EXPECT_TRUE(text.contains("<diff index=\"5\">")) << qPrintable(text);
}

TEST(SharingRecords, RecordsKeepWhatTheyHadWhenQueued)
{
    SharedFolder folder;
    SharingInstance anna(folder.path, "pc.anna");
    TNodeData *absent = anna.doc->AddNode("pc.anna.1", tbExclude, true);
    anna.doc->SetData(absent, 4, "Nein");
    anna.doc->SetData(absent, 1, ""); // unchanged: no record
    anna.doc->SetData(absent, 1, "01.02.2024"); // a date
    anna.doc->SetData(absent, 1, ""); // emptied again: stored as day 0
    // Later changes of the document do not alter the queued record.
    anna.doc->SetColumnCaption(tbTable, 5, "Renamed");
    anna.doc->SetColumnType(tbExclude, 1, ctText);
    anna.doc->SetCompressedSave(true);
    ASSERT_TRUE(anna.watcher->ForceStorePending());

    TXMLFile file(anna.watcher->DiffFileName(), true);
    ASSERT_TRUE(file.Load());
    EXPECT_TRUE(file.WasCompressed());
    const TXMLNode *diff = file.xml().namedNode(QStringList { "document", "diff" });
    ASSERT_EQ(diff->Count(), 2);
    EXPECT_EQ(diff->Node(0)->namedNode(QString("__table__"))->Value(), "tbExclude");
    const TXMLNode *change = diff->Node(1);
    // The absent-day table writes its untranslated captions, blanks included.
    EXPECT_EQ(GetValue(change->namedNode(QString("Working Days"))), "Nein");
    EXPECT_EQ(GetValue(change->namedNode(QString("Start"))), "1899-12-30 00:00:00");
}

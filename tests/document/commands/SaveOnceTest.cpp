// A save builds the document's bytes once and makes its three files from them;
// the watcher takes the rows it needs of the new working copy from memory.
#include "document/RowChangeLog.h"
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLFile.h"
#include "document/xml/XMLTree.h"
#include "document/xml/XMLWriter.h"
#include "platform/AtomicFile.h"
#include "tests/document/commands/CommandsTestSupport.h"

#include <gmock/gmock.h>

namespace {

// Each row's element as the file holds it, with its position among the rows.
QStringList rowTexts(const TWorkingCopyRows &rows, const QSet<QString> &ids)
{
    TXMLNode into;
    QStringList texts;
    for (const TWorkingCopyRows::TRow &row : rows.RowsOf(ids, into))
        texts << QString::number(row.position) + QString::fromLatin1(xml::writeElement(*row.node, 0));
    return texts;
}

} // namespace

TEST_F(CommandsTest, ASavedPlanIsTheDocumentsBytesInEveryFileAndItsRowsReadAsTheFileGivesThem)
{
    for (const bool compressed : { false, true }) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        CommandsInstance anna("pc.anna");
        TDocumentSetup setup = anna.doc.Setup();
        setup.FCompressedSave = compressed;
        anna.doc.SetSetup(std::move(setup));
        const QString document = path(compressed ? "Packed.kez" : "Plan.kez");
        const QString sharingFolder = path(".kez/") + QFileInfo(document).fileName() + "/";
        anna.addTask("pc.anna.1", "plain words");
        ASSERT_TRUE(anna.saveAs(document));
        // Texts a parse gives back otherwise than they stand: blanks at the ends,
        // line breaks and tabs, markup, letters beyond ASCII.
        const QStringList comments { "  leading and trailing  ", "two\r\nlines\tand a tab",
            "a < b & c > \"d\"", QString::fromUtf8("M\xc3\xbcller \xce\xa9"), "", "plain",
            QString("bell\x07") + QChar(0xd800) + "x", QString("nul") + QChar(0) + "end", QString(" \t") };
        QSet<QString> ids;
        for (int i = 0; i < comments.size(); ++i) {
            const QString id = QStringLiteral("pc.anna.%1").arg(i + 2);
            anna.addTask(id, comments[i]);
            ids << id;
        }
        anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "changed");
        ids << "pc.anna.1";
        const int retired = anna.commands.Watcher().WorkingDirName().toInt();
        ASSERT_TRUE(anna.commands.Save(document));

        // What writing the document's bytes to each file gave before.
        const QByteArray bytes = anna.doc.FileBytes();
        const QString working = anna.commands.Watcher().GetWorkingFileName();
        EXPECT_EQ(read(document), bytes);
        EXPECT_EQ(read(working), bytes);
        EXPECT_EQ(
            read(sharingFolder + QString::number(retired) + "/" + QFileInfo(document).fileName() + ".locked"),
            bytes);
        EXPECT_EQ(anna.commands.Watcher().WorkingDirName().toInt(), retired + 1);

        // The rows the watcher now holds are those a parse of the copy gives.
        TDirWatchThread &watcher = anna.commands.Watcher();
        watcher.ForceLoadTransactions();
        ASSERT_NE(watcher.BaseRows(), nullptr);
        const auto parsed = TXMLFile::Create(working, true);
        ASSERT_TRUE(parsed) << parsed.reason().toStdString();
        const TWorkingCopyRows reference(parsed.value()->xml());
        EXPECT_EQ(watcher.BaseRows()->Count(), reference.Count());
        EXPECT_EQ(rowTexts(*watcher.BaseRows(), ids), rowTexts(reference, ids));
        EXPECT_EQ(rowTexts(reference, ids).size(), ids.size());
    }
}

// A plan large enough that its bytes reach the first file in several pieces
// while they are made: every file of the save still holds exactly those bytes.
TEST_F(CommandsTest, APlanWrittenWhileItIsMadeHoldsItsBytesInEveryFile)
{
    CommandsInstance anna("pc.anna");
    // Plain: a compressed file's bytes are only made at the end.
    anna.doc.SetCompressedSave(false);
    for (int i = 0; i < 9000; ++i) {
        TNodeData *row = anna.doc.AddNode(QStringLiteral("pc.anna.%1").arg(i + 1), tbTable, false);
        anna.doc.DoSetData(row, 5, QStringLiteral("comment %1").arg(i), false);
    }
    const QString document = path("Large.kez");
    ASSERT_TRUE(anna.saveAs(document));
    EXPECT_EQ(read(document), anna.doc.FileBytes());

    anna.addTask("pc.anna.late", "after the first save");
    TDirWatchThread &watcher = anna.commands.Watcher();
    const QString retired = watcher.GetLockedFileName();
    ASSERT_TRUE(anna.commands.Save(document));
    const QByteArray bytes = anna.doc.FileBytes();
    EXPECT_TRUE(bytes.contains("pc.anna.late"));
    EXPECT_EQ(read(retired), bytes);
    EXPECT_EQ(read(anna.commands.Watcher().GetWorkingFileName()), bytes);
    EXPECT_EQ(read(document), bytes);
}

TEST_F(CommandsTest, ADocumentFileThatCannotBeCopiedFailsTheSaveAndLosesNothing)
{
    CommandsInstance anna("pc.anna");
    const QString document = path("Plan.kez");
    anna.addTask("pc.anna.1", "first");
    ASSERT_TRUE(anna.saveAs(document));
    const QByteArray before = read(document);
    anna.addTask("pc.anna.2", "second");
    {
        // The disk fills up while the document file is made from the working copy.
        platform::ScopedFileFaults full(
            { [&](const QString &file, qint64 size) { return file == document ? size / 2 : qint64(-1); },
                {} });
        EXPECT_FALSE(anna.commands.Save(document));
    }
    EXPECT_TRUE(anna.commands.SaveFailed());
    EXPECT_EQ(read(document), before);
    EXPECT_THAT(messages().join('\n').toStdString(), ::testing::HasSubstr("could not be saved"));
    // The working copy holds the change, and the next save writes it.
    EXPECT_EQ(read(anna.commands.Watcher().GetWorkingFileName()), anna.doc.FileBytes());
    ASSERT_TRUE(anna.commands.Save(document));
    EXPECT_FALSE(anna.commands.SaveFailed());
    EXPECT_EQ(read(document), anna.doc.FileBytes());
    CommandsInstance bert("pc.bert");
    ASSERT_TRUE(bert.commands.Open(document));
    EXPECT_EQ(bert.comment("pc.anna.2"), "second");
}

TEST_F(CommandsTest, ASaveBinsTheOldDocumentAsItWasAndHandsTheWatcherTheRowsOfItsCopyUnread)
{
    CommandsInstance anna("pc.anna");
    const QString document = path("Plan.kez");
    anna.addTask("pc.anna.1", "first");
    anna.addTask("pc.anna.2", "second");
    ASSERT_TRUE(anna.saveAs(document));
    const QByteArray before = read(document);
    anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "changed");
    ASSERT_TRUE(anna.commands.Save(document));
    EXPECT_EQ(read(trash("Plan.kez")), before);
    EXPECT_EQ(read(document), anna.doc.FileBytes());

    // The copy is still the file the save wrote: its rows are taken without
    // reading it back. Spoiled in place here, a read would find other bytes
    // and no rows.
    TDirWatchThread &watcher = anna.commands.Watcher();
    {
        QFile copy(watcher.GetWorkingFileName());
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        ASSERT_EQ(copy.write("xx"), 2);
    }
    watcher.ForceLoadTransactions();
    ASSERT_NE(watcher.BaseRows(), nullptr);
    EXPECT_EQ(watcher.BaseRows()->Count(), 2);
}

TEST_F(CommandsTest, ASaveOfAnUnchangedViewSendsNoRowPassThroughTheWholePlan)
{
    CommandsInstance anna("pc.anna");
    anna.addTask("pc.anna.1", "first");
    ASSERT_TRUE(anna.saveAs(path("Plan.kez")));
    TRowChangeReader reader(anna.doc.RowChanges());
    reader.Skip();
    anna.doc.SetData(anna.doc.FindNode("pc.anna.1"), 5, "changed");
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    std::vector<TRowChange> changes;
    EXPECT_TRUE(reader.Take(changes));

    // A state added since gets its colour with the save, as the file holds it.
    const int colorColumn = anna.doc.GetConnection(tbTable, cnColor);
    QStringList states = anna.doc.GetColumnStrings(tbTable, colorColumn);
    states << "added";
    anna.doc.SetColumnStrings(tbTable, colorColumn, states);
    reader.Take(changes);
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.doc.Setup().FColors.size(), std::size_t(states.size()));

    // A zoom the view does not show is set back to the view's with the save.
    TDocumentSetup setup = anna.doc.Setup();
    const int shown = setup.FZoom;
    setup.FZoom = shown + 50;
    anna.doc.SetSetup(std::move(setup));
    reader.Take(changes);
    ASSERT_TRUE(anna.commands.Save(path("Plan.kez")));
    EXPECT_EQ(anna.doc.Setup().FZoom, shown);
}

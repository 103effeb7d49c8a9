// Archiving finished tasks through the dialog: what counts, what the archive file
// holds when read back, and that nothing is lost when saving or writing fails.
#include "dialogs/misc/ArchivDialog.h"

#include "controls/DateTimePopup.h"
#include "dialogs/misc/Archive.h"
#include "document/DocumentTable.h"
#include "document/NodeEvents.h"
#include "document/program/IniFile.h"
#include "document/program/MessageDialog.h"
#include "tests/support/PixelTest.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TextsFit.h"
#include "tests/timechart/ChartTestSupport.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using charttest::Day;

namespace {

// What the document hands the sharing layer: the records of the rows deleted.
class TRecordingSink : public IDiffSink {
public:
    void PushDiff(std::unique_ptr<TNodeEvent> event) override
    {
        if (event->XMLNodeName() == QStringLiteral("delete"))
            Deleted << event->FID;
    }
    QStringList Deleted;
};

} // namespace

// Tasks ending Tuesday 5, Friday 8 and Wednesday 13 March 2024, and one without a
// start (not scheduled).
class ArchivDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.SetPositions({ charttest::PositionItem("A") });
        for (const auto &[start, days] :
            { std::pair { "04.03.2024", "2" }, { "07.03.2024", "2" }, { "11.03.2024", "3" } })
            ids << fixture
                       .AddTask(QStringLiteral("A"), QString::fromLatin1(start), QString::fromLatin1(days))
                       ->ID;
        TNodeData *open = doc.AddNode(QString(), tbTable, true);
        doc.SetData_(open, cnPosition, QStringLiteral("A"));
        ids << open->ID;
        doc.SetDiffSink(&sink);
        dialog.SetDocumentFile(document, false);
        dialog.SetOnSave([this] {
            ++saves;
            return saveWorks;
        });
        dialog.show();
    }

    void CutOff(TDateTime day) { dialog.DateTimePicker1()->setDate(ToQDate(day)); }
    void Ok() { QTest::mouseClick(dialog.Button1(), Qt::LeftButton); }
    QStringList Rows()
    {
        QStringList rows;
        doc.ForEach(tbTable, feAll, [&](TNodeData &row) { rows << row.ID; });
        return rows;
    }

    QTemporaryDir folder;
    const QString document = folder.filePath(QStringLiteral("Werk.kez"));
    const QString archive = folder.filePath(QStringLiteral("Werk.archiv"));
    charttest::ChartFixture fixture;
    Document &doc = *fixture.doc;
    QStringList ids;
    TRecordingSink sink;
    TScriptedMessageDialogs questions;
    ScopedMessageDialogs scoped { &questions };
    int saves = 0;
    bool saveWorks = true;
    TArchivDialog dialog { doc };
};

TEST_F(ArchivDialogTest, OnlyTasksThatEndedByTheCutOffCountAndGoIntoTheArchive)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Archiv Table"));
    EXPECT_EQ(ArchiveFileName(document), archive);
    CutOff(Day(2024, 3, 4));
    EXPECT_EQ(dialog.Edit1()->text(), QStringLiteral("0 von 4"));
    EXPECT_FALSE(dialog.Button1()->isEnabled());
    CutOff(Day(2024, 3, 8));
    EXPECT_EQ(dialog.Edit1()->text(), QStringLiteral("2 von 4"));
    ASSERT_TRUE(dialog.Button1()->isEnabled());
    const std::size_t undoEntries = doc.UndoRedo().undoList().size();
    Ok();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Rows(), (QStringList { ids[2], ids[3] })); // the unscheduled task stays
    EXPECT_EQ(sink.Deleted, (QStringList { ids[0], ids[1] })); // shared with the other users
    EXPECT_EQ(doc.UndoRedo().undoList().size(), undoEntries); // nothing to bring them back

    TMemIniFile ini(archive);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), -1), 2);
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem0"), QStringLiteral("Start"), {}),
        QStringLiteral("04.03.2024"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem1"), QStringLiteral("Start"), {}),
        QStringLiteral("07.03.2024"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem1"), QStringLiteral("End"), {}),
        QStringLiteral("08.03.2024"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem1"), QStringLiteral("__table"), {}),
        QStringLiteral("tbTable"));
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(document)); // the document itself is the save action's
}

TEST_F(ArchivDialogTest, ASecondBatchIsNumberedAfterTheFirstAndAllAskFirst)
{
    {
        TMemIniFile earlier(archive);
        earlier.WriteInteger(QStringLiteral("Archiv"), QStringLiteral("count"), 3);
        for (int n = 0; n < 3; ++n)
            earlier.WriteString(
                QStringLiteral("ArchivItem%1").arg(n), QStringLiteral("Start"), QStringLiteral("old"));
        ASSERT_TRUE(earlier.UpdateFile(true));
    }
    dialog.SetDocumentFile(document, true);
    doc.DeleteNode(doc.FindNode(ids[3]), false);
    CutOff(Day(2024, 3, 31));
    EXPECT_EQ(dialog.Edit1()->text(), QStringLiteral("3 von 3"));
    questions.QueueAnswer(mrCancel);
    Ok();
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_EQ(questions.Questions()[0].Msg, QStringLiteral("Alle 3 Einträge archivieren?"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(saves, 0);

    questions.QueueAnswer(mrOk);
    Ok();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(Rows().isEmpty());
    TMemIniFile ini(archive); // written compressed, as the document is
    QFile raw(archive);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_FALSE(raw.readAll().contains("ArchivItem"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), -1), 6);
    EXPECT_EQ(
        ini.ReadString(QStringLiteral("ArchivItem2"), QStringLiteral("Start"), {}), QStringLiteral("old"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem3"), QStringLiteral("Start"), {}),
        QStringLiteral("04.03.2024"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem5"), QStringLiteral("Start"), {}),
        QStringLiteral("11.03.2024"));
}

TEST_F(ArchivDialogTest, AFailedSaveOrAnUnwritableArchiveArchivesAndDeletesNothing)
{
    CutOff(Day(2024, 3, 8));
    saveWorks = false;
    questions.QueueAnswer(mrOk);
    Ok();
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_EQ(questions.Questions()[0].Msg,
        QStringLiteral("File could not be saved. The selected tasks were not archieved."));
    EXPECT_EQ(Rows(), ids);
    EXPECT_FALSE(QFile::exists(archive));
    EXPECT_TRUE(dialog.isVisible());

    // The archive's folder is gone: the document is saved, no row deleted, and it says so.
    saveWorks = true;
    dialog.SetDocumentFile(folder.filePath(QStringLiteral("gone/Werk.kez")), false);
    questions.QueueAnswer(mrOk);
    Ok();
    ASSERT_EQ(questions.Questions().size(), 2);
    EXPECT_EQ(questions.Questions()[1].DlgType, mtError);
    EXPECT_TRUE(questions.Questions()[1].Msg.contains(QStringLiteral("no task was archived")));
    EXPECT_EQ(Rows(), ids);
    EXPECT_TRUE(sink.Deleted.isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(questions.UnexpectedCount(), 0);
}

// A cell the archive cannot keep as one line: that task stays in the table.
TEST_F(ArchivDialogTest, ATaskWithALineBreakStaysAndTheUserIsTold)
{
    doc.SetData(doc.FindNode(ids[0]), 5, QStringLiteral("zwei\nZeilen"));
    CutOff(Day(2024, 3, 8));
    questions.QueueAnswer(mrOk);
    Ok();
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_EQ(questions.Questions()[0].DlgType, mtInformation);
    EXPECT_EQ(Rows(), (QStringList { ids[0], ids[2], ids[3] }));
    TMemIniFile ini(archive);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), -1), 1);
    EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem0"), QStringLiteral("Start"), {}),
        QStringLiteral("07.03.2024"));
}

// An archive whose count was lost (a damaged section) or stands at the end of
// its numbers: earlier entries are never written over, and a batch that cannot
// be numbered archives and deletes nothing.
TEST_F(ArchivDialogTest, EarlierEntriesSurviveALostCountAndTheNumbersNeverRunOver)
{
    {
        TMemIniFile earlier(archive);
        earlier.WriteInteger(QStringLiteral("Archi v"), QStringLiteral("count"), 2);
        for (int n : { 0, 1, 4 })
            earlier.WriteString(QStringLiteral("ArchivItem%1").arg(n), QStringLiteral("Start"),
                QStringLiteral("old %1").arg(n));
        ASSERT_TRUE(earlier.UpdateFile(false));
    }
    CutOff(Day(2024, 3, 8));
    Ok();
    EXPECT_EQ(Rows(), (QStringList { ids[2], ids[3] }));
    {
        TMemIniFile ini(archive);
        for (int n : { 0, 1, 4 })
            EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem%1").arg(n), QStringLiteral("Start"), {}),
                QStringLiteral("old %1").arg(n));
        EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem5"), QStringLiteral("Start"), {}),
            QStringLiteral("04.03.2024"));
        EXPECT_EQ(ini.ReadString(QStringLiteral("ArchivItem6"), QStringLiteral("Start"), {}),
            QStringLiteral("07.03.2024"));
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), -1), 7);
    }

    {
        TMemIniFile full(archive);
        full.WriteInteger(QStringLiteral("Archiv"), QStringLiteral("count"), 2147483647);
        ASSERT_TRUE(full.UpdateFile(false));
    }
    dialog.show();
    CutOff(Day(2024, 3, 31));
    questions.QueueAnswer(mrOk);
    Ok();
    EXPECT_EQ(Rows(), (QStringList { ids[2], ids[3] }));
    ASSERT_EQ(questions.Questions().size(), 1);
    EXPECT_TRUE(questions.Questions()[0].Msg.contains(QStringLiteral("no task was archived")));
    EXPECT_TRUE(sink.Deleted.size() == 2); // the first batch's only
}

// At a font half as large again (a 144 dpi screen) the dialog shows its texts,
// dates and count whole, also when it was shown before at the normal font.
TEST_F(ArchivDialogTest, EveryTextShowsWholeAtALargerFont)
{
    dialog.hide();
    testsupport::EnlargeWindowFont(dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    testsupport::SavePng(dialog.grab().toImage(), QStringLiteral("archive_dialog_large_font"));
    EXPECT_EQ(testsupport::CutTexts(dialog), QStringList());
}

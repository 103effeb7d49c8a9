// The main window's commands of printing, the chart image, the evaluations and the
// archive, from their menu entries to the files they write.
#include "controls/DateTimePopup.h"
#include "dialogs/export/SaveGraphicsDialog.h"
#include "dialogs/misc/ArchivDialog.h"
#include "dialogs/misc/UnarchiveDialog.h"
#include "dialogs/print/DateRangeControls.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintOptionsBox.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "dialogs/stats/ChartDialog.h"
#include "dialogs/stats/HolidayDialog.h"
#include "document/program/IniFile.h"
#include "platform/gui/JpegReader.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/mainwindow/MenuClicks.h"
#include "tests/support/ModalWindows.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

using namespace mainformtest;
using testsupport::ClickMark;
using testsupport::WhenModal;

class PrintCommandsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        GeneratorOptions options;
        options.tasks = 40;
        options.absentRows = 6;
        options.positions = 5;
        options.spanDays = 40;
        plan = OpenPlan(QStringLiteral("Werk.kez"), options);
    }

    QString plan;
};

TEST_F(PrintCommandsTest, TheMenusCarryTheCommands)
{
    for (const char *name :
        { "ActionPrintTimechart", "ActionPrintList", "ActionPrinterSetup", "Grafikspeichern1", "Auslastung1",
            "Statistik1", "ActionHolidayStatistic", "Auftrgearchivieren1", "Info1" }) {
        QAction *action = Action(name);
        ASSERT_TRUE(action) << name;
        EXPECT_TRUE(action->isVisible()) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
    }
}

// The print settings come from the document's settings and go back there, whatever
// the dialog's result.
TEST_F(PrintCommandsTest, ThePrintDialogsTakeAndGiveBackTheDocumentsPrintSettings)
{
    TDocumentSettings &settings = Probe(*form).Commands().ViewSettings();
    settings.Header = QStringLiteral("Montage");
    settings.PrintHeader = true;
    WhenModal<TPrintTimeChartDialog>([](TPrintTimeChartDialog *dialog) {
        EXPECT_EQ(dialog->Options()->HeaderText()->text(), QStringLiteral("Montage"));
        EXPECT_TRUE(dialog->Options()->Header()->isChecked());
        dialog->Options()->Tagline()->setText(QStringLiteral("Entwurf"));
        ClickMark(dialog->heutehervorheben());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ButtonCancel")), Qt::LeftButton);
    });
    Action("ActionPrintTimechart")->trigger();
    EXPECT_EQ(settings.Footer, QStringLiteral("Entwurf"));
    EXPECT_TRUE(settings.PrintToday);
    EXPECT_FALSE(Probe(*form).HasState(gsPrinting));

    WhenModal<TPrintListDialog>([](TPrintListDialog *dialog) {
        EXPECT_EQ(dialog->Options()->Tagline()->text(), QStringLiteral("Entwurf"));
        EXPECT_EQ(dialog->EditCount()->text(), QStringLiteral("40"));
        ClickMark(dialog->Options()->Lochrand());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ButtonCancel")), Qt::LeftButton);
    });
    Action("ActionPrintList")->trigger();
    EXPECT_TRUE(settings.PrintLochrand);
}

TEST_F(PrintCommandsTest, SaveGraphicWritesTheChosenRangeAsAJpgBesideTheDocument)
{
    fileDialogs->saveAnswers << QDir(folder.path()).filePath(QStringLiteral("Bild.jpeg"));
    WhenModal<TForm1>([this](TForm1 *dialog) {
        TDateRangeControls &range = *dialog->Range();
        ClickMark(range.RadioButton3());
        range.startpicker()->setDate(ToQDate(EncodeDate(2024, 1, 1)));
        range.EditTage()->setValue(14);
        QTest::mouseClick(dialog->ButtonOK(), Qt::LeftButton);
    });
    Action("Grafikspeichern1")->trigger();
    // The save dialog starts in the document's folder, not the program's, and the
    // status bar says where the image went.
    EXPECT_EQ(fileDialogs->offered.last(), QDir(folder.path()).filePath(QStringLiteral("Werk.jpg")));
    const QString written = QDir(folder.path()).filePath(QStringLiteral("Bild.jpg"));
    const QImage image = ReadJpegFile(written);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 14 * Probe(*form).Chart().GetTimeChartColWidth());
    EXPECT_EQ(form->statusBar()->currentMessage(), "The image was written to " + written + ".");
}

TEST_F(PrintCommandsTest, TheEvaluationsShowTheirWindows)
{
    bool shown = false;
    WhenModal<TChartDialog>([&](TChartDialog *dialog) {
        shown = true;
        EXPECT_FALSE(dialog->Chart1()->Points().empty());
        dialog->reject();
    });
    Action("Auslastung1")->trigger();
    EXPECT_TRUE(shown);

    WhenModal<THolidayDialog>([](THolidayDialog *dialog) {
        EXPECT_TRUE(dialog->RadioButton1()->isChecked());
        dialog->reject();
    });
    Action("ActionHolidayStatistic")->trigger();
}

// The archive lies beside the document; the document is saved first and the archived
// tasks leave the table.
TEST_F(PrintCommandsTest, ArchivingSavesTheDocumentAndMovesTheFinishedTasksToItsArchive)
{
    const int before = doc().GetTableRowCount(tbTable);
    WhenModal<TArchivDialog>([](TArchivDialog *dialog) {
        dialog->DateTimePicker1()->setDate(QDate(2024, 1, 20));
        QTest::mouseClick(dialog->Button1(), Qt::LeftButton);
    });
    Action("Auftrgearchivieren1")->trigger();
    TMemIniFile archive(QDir(folder.path()).filePath(QStringLiteral("Werk.archiv")));
    const int archived = archive.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), 0);
    EXPECT_GT(archived, 0);
    EXPECT_EQ(doc().GetTableRowCount(tbTable), before - archived);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

// Without a printer the printout goes to a PDF file the user names; an earlier
// file of that name goes only when the user says so, and the status bar tells
// where the printout went.
TEST_F(PrintCommandsTest, APrintoutToAFileAsksForItsNameAndBeforeReplacingOne)
{
    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("Werk.pdf"));
    const auto readPdf = [&] {
        QFile file(pdf);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    {
        QFile earlier(pdf);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("the user's own");
    }
    // Prints the list from its preview's "print all"; a printout that did not
    // happen leaves both windows open, and they are closed.
    const auto printList = [&] {
        WhenModal<TPrintListDialog>([](TPrintListDialog *dialog) {
            WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *preview) {
                QTest::mouseClick(preview->Button1(), Qt::LeftButton);
                if (preview->isVisible())
                    QTest::mouseClick(preview->Button3(), Qt::LeftButton);
            });
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ButtonOK")), Qt::LeftButton);
            if (dialog->isVisible())
                dialog->reject();
        });
        Action("ActionPrintList")->trigger();
    };

    printList(); // the file dialog cancelled
    EXPECT_EQ(fileDialogs->offered.value(0), pdf) << "the document's name is proposed";
    fileDialogs->saveAnswers << pdf;
    dialogs.QueueAnswer(mrCancel); // keep the earlier file
    printList();
    EXPECT_EQ(readPdf(), "the user's own");
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].Msg, "File " + pdf + " already exists.\rOverwrite this file?");
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());

    fileDialogs->saveAnswers << pdf;
    dialogs.QueueAnswer(mrOk);
    printList();
    EXPECT_TRUE(readPdf().startsWith("%PDF"));
    EXPECT_EQ(form->statusBar()->currentMessage(), "The printout was written to " + pdf + ".");
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

// What was archived comes back through the Evaluation menu: all of it, or what was
// archived since a day, as one undo step; it leaves the archive, and undo gives it
// back to the archive. A damaged archive says so and changes nothing.
TEST_F(PrintCommandsTest, ArchivedTasksComeBackAsOneUndoStepAndLeaveTheArchive)
{
    const QString archive = QDir(folder.path()).filePath(QStringLiteral("Werk.archiv"));
    const auto taskTexts = [&] {
        QStringList rows;
        const DocumentTable &table = doc().GetTable(tbTable);
        for (const TNodeData *r = table.First(); r; r = table.Next(r))
            rows << r->StringList.join('|');
        rows.sort();
        return rows;
    };
    const QStringList before = taskTexts();
    WhenModal<TArchivDialog>([](TArchivDialog *dialog) {
        dialog->DateTimePicker1()->setDate(QDate(2024, 1, 20));
        QTest::mouseClick(dialog->Button1(), Qt::LeftButton);
    });
    Action("Auftrgearchivieren1")->trigger();
    const int archived = int(before.size()) - doc().GetTableRowCount(tbTable);
    ASSERT_GT(archived, 0);
    // One entry written before the archive kept the time: it comes back only with "all".
    {
        TMemIniFile ini(archive);
        const int count = ini.ReadInteger(QStringLiteral("Archiv"), QStringLiteral("count"), 0);
        const QString section = QStringLiteral("ArchivItem%1").arg(count);
        ini.WriteString(section, doc().GetColumnCaption(tbTable, 5), QStringLiteral("aus altem Archiv"));
        ini.WriteString(section, QStringLiteral("__table"), QStringLiteral("tbTable"));
        ini.WriteInteger(QStringLiteral("Archiv"), QStringLiteral("count"), count + 1);
        ASSERT_TRUE(ini.UpdateFile(true));
    }

    QMenu *evaluation = form->menuBar()->findChild<QMenu *>(QStringLiteral("Auswertung1"));
    ASSERT_TRUE(evaluation && OpenMenu(*form, *evaluation));
    QAction *restore = Action("Archivierungrckgngigmachen1");
    ASSERT_TRUE(restore->isEnabled()) << "an archive lies beside the plan";
    WhenModal<TUnarchiveDialog>([&](TUnarchiveDialog *dialog) {
        EXPECT_EQ(dialog->ListView1()->topLevelItemCount(), archived + 1);
        EXPECT_EQ(
            dialog->Label1()->text(), QStringLiteral("Entries to bring back: %1 of %1").arg(archived + 1));
        ClickMark(dialog->RadioButton2());
        dialog->DateTimePicker1()->setDate(QDate::currentDate().addDays(1));
        EXPECT_FALSE(dialog->Button1()->isEnabled()) << "nothing was archived tomorrow";
        dialog->DateTimePicker1()->setDate(QDate::currentDate());
        EXPECT_EQ(dialog->Label1()->text(),
            QStringLiteral("Entries to bring back: %1 of %2").arg(archived).arg(archived + 1));
        ClickMark(dialog->RadioButton1());
        QTest::mouseClick(dialog->Button1(), Qt::LeftButton);
    });
    Choose(*evaluation, restore);
    QStringList back = taskTexts();
    EXPECT_EQ(back.size(), before.size() + 1);
    EXPECT_TRUE(back.join('\n').contains("aus altem Archiv"));
    for (const QString &row : before)
        EXPECT_TRUE(back.contains(row)) << row.toStdString();
    QStringList sections;
    TMemIniFile(archive).ReadSections(sections);
    EXPECT_TRUE(sections.filter(QStringLiteral("ArchivItem")).isEmpty()) << "the archive gave them back";

    ShowForm(); // the window is active again once the dialog has gone
    IdleTick();
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc().GetTableRowCount(tbTable), int(before.size()) - archived)
        << "one undo step takes them all";
    const auto archivedCount = [&] {
        QStringList items;
        TMemIniFile(archive).ReadSections(items);
        return items.filter(QStringLiteral("ArchivItem")).size();
    };
    EXPECT_EQ(archivedCount(), archived + 1) << "and gives them back to the archive";
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(taskTexts().size(), before.size() + 1) << "redone, they come out again";
    EXPECT_EQ(archivedCount(), 0);

    // A damaged archive: a clear message, no dialog, nothing changed.
    QFile damaged(archive);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x01\x02 not an archive \xff");
    damaged.close();
    const QStringList rows = taskTexts();
    dialogs.QueueAnswer(mrOk);
    ASSERT_TRUE(OpenMenu(*form, *evaluation));
    Choose(*evaluation, restore);
    ASSERT_FALSE(dialogs.Questions().isEmpty());
    EXPECT_TRUE(dialogs.Questions().last().Msg.startsWith("The archive " + archive + " is damaged"));
    EXPECT_EQ(taskTexts(), rows);
    QFile unchanged(archive);
    ASSERT_TRUE(unchanged.open(QIODevice::ReadOnly));
    EXPECT_EQ(unchanged.readAll(), QByteArray("\x01\x02 not an archive \xff"));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

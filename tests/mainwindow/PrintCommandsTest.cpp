// The main window's commands of printing, the chart image, the evaluations and the
// archive, from their menu entries to the files they write.
#include "dialogs/export/SaveGraphicsDialog.h"
#include "dialogs/misc/ArchivDialog.h"
#include "dialogs/print/DateRangeControls.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PrintListDialog.h"
#include "dialogs/print/PrintOptionsBox.h"
#include "dialogs/print/PrintTimeChartDialog.h"
#include "dialogs/stats/ChartDialog.h"
#include "dialogs/stats/HolidayDialog.h"
#include "document/program/IniFile.h"
#include "mainwindow/controls/DateTimePopup.h"
#include "platform/gui/JpegReader.h"
#include "tests/mainwindow/MainFormTestSupport.h"
#include "tests/support/ModalWindows.h"
#include "timechart/TimeChart.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
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
    TDocumentSettings &settings = form->Commands().ViewSettings();
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
    EXPECT_FALSE(form->HasState(gsPrinting));

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
    EXPECT_EQ(fileDialogs->offered.last(), QStringLiteral("Werk.jpg"));
    const QImage image = ReadJpegFile(QDir(folder.path()).filePath(QStringLiteral("Bild.jpg")));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 14 * form->Chart().GetTimeChartColWidth());
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

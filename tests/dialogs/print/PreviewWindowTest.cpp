#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PreviewFullScreen.h"
#include "dialogs/print/PrintPreviewDialog.h"
#include "dialogs/print/PrintTestSupport.h"
#include "document/MessageDialog.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

using namespace printtest;

namespace {

void Wheel(QWidget *widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

// The shown window of type T, if any.
template <typename T> T *ShownWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *shown = qobject_cast<T *>(window); shown && shown->isVisible())
            return shown;
    return nullptr;
}

// Runs `step` once a window of type T is up (a click may reach the event loop before
// the window it opens).
template <typename T> void WhenModal(std::function<void(T *)> step, int tries = 100)
{
    QTimer::singleShot(tries == 100 ? 0 : 10, [step = std::move(step), tries]() mutable {
        if (T *window = ShownWindow<T>())
            step(window);
        else if (tries > 0)
            WhenModal<T>(std::move(step), tries - 1);
        else
            ADD_FAILURE() << "window not shown";
    });
}

} // namespace

// A three-page job on the made-up printer; page p holds a black square at x = 100 p.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        preview.SetOnChange([this](const QString &text) { changes.push_back(text); });
        preview.NewJob();
        for (int p = 1; p <= 3; ++p) {
            preview.NewPage();
            preview.GetBrush()->setStyle(Qt::SolidPattern);
            preview.GetBrush()->setColor(Qt::black);
            preview.Rectangle(Bounds(100 * p, 100, 50, 50));
        }
        preview.AddHeader(QStringLiteral("Seite $PAGE_NO$"), 1, 0);
        preview.PrintHeaderAndFooter();
    }
    TPrintPreviewForm &Form() { return *preview.Form(); }

    TFakePrinter printer;
    TPrintPreviewDialog preview { printer };
    std::vector<QString> changes;
    const std::vector<QString> aborted { QStringLiteral("Druckauftrag wird abgebrochen"),
        QStringLiteral("Druckauftrag ist abgebrochen") };
};

TEST_F(PreviewWindowTest, WindowLayoutTextsAndFirstPage)
{
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("PrintPreviewDialog"));
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *modal) {
        EXPECT_EQ(modal, &Form());
        EXPECT_EQ(Form().size(), QSize(385, 401));
        EXPECT_EQ(Form().windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 3"));
        EXPECT_EQ(Form().Button1()->text(), QStringLiteral("alles drucken"));
        EXPECT_EQ(Form().Button1()->geometry(), QRect(8, 368, 89, 25));
        EXPECT_EQ(Form().Button2()->text(), QStringLiteral("nur diese Seite drucken"));
        EXPECT_EQ(Form().Button2()->geometry(), QRect(104, 368, 137, 25));
        EXPECT_EQ(Form().Button3()->text(), QStringLiteral("Abbrechen"));
        EXPECT_EQ(Form().Button3()->geometry(), QRect(304, 368, 75, 25));
        EXPECT_EQ(Form().Panel1()->geometry(), QRect(8, 8, 369, 353));
        // Inside the panel's border: a 350 x 351 room left of the 17-pixel scroll bar;
        // the 800 x 1100 sheet fills its height, 255 wide, centred.
        EXPECT_EQ(Form().ScrollBar()->geometry(), QRect(351, 1, 17, 351));
        EXPECT_EQ(Form().PaintBox1()->geometry(), QRect(48, 1, 255, 351));
        EXPECT_EQ(Form().ScrollBar()->minimum(), 1);
        EXPECT_EQ(Form().ScrollBar()->maximum(), 3);
        EXPECT_EQ(Form().PaintBox1()->cursor().shape(), Qt::BitmapCursor);

        // Page 1's square: sheet x 130..180 of 800 in a 255-wide box is 41..57; its
        // middle row is at sheet y 40 + header + 125 of 1100 in a 351-high box.
        const QImage shown = Form().PaintBox1()->grab().toImage();
        testsupport::SavePng(shown, QStringLiteral("print_preview_page1"));
        const int middle = (165 + preview.HeaderSize()) * 351 / 1100;
        EXPECT_EQ(testsupport::PixelAt(shown, 49, middle), clBlack);
        EXPECT_EQ(testsupport::PixelAt(shown, 81, middle), clWhite);
        Form().Button3()->click();
    });
    EXPECT_EQ(preview.Preview(), mrCancel);
}

TEST_F(PreviewWindowTest, ScrollBarAndWheelStepPagesAndCaption)
{
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *) {
        QScrollBar *bar = Form().ScrollBar();
        // The bar's lower arrow.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
        EXPECT_EQ(preview.ScrollBarPosition(), 2);
        EXPECT_EQ(Form().windowTitle(), QStringLiteral("Druckvorschau - Seite 2 von 3"));
        EXPECT_EQ(Form().PaintBox1()->Page(), 2);
        // Wheel down: next page, one per notch, wherever the mouse is in the window.
        Wheel(Form().PaintBox1(), -120);
        EXPECT_EQ(preview.ScrollBarPosition(), 3);
        Wheel(Form().PaintBox1(), -120);
        EXPECT_EQ(preview.ScrollBarPosition(), 3);
        Wheel(bar, 240);
        EXPECT_EQ(preview.ScrollBarPosition(), 2);
        Wheel(Form().Button1(), 120);
        EXPECT_EQ(preview.ScrollBarPosition(), 1);
        EXPECT_EQ(Form().windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 3"));
        Form().Button3()->click();
    });
    preview.Preview();
}

TEST_F(PreviewWindowTest, ClickOnPageOpensFullScreenViewWhichHandsBackItsPage)
{
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *) {
        preview.SetScrollBarPosition(2);
        WhenModal<TPrintPreviewFullScreenDialog>([this](TPrintPreviewFullScreenDialog *full) {
            EXPECT_TRUE(full->windowState() & Qt::WindowMaximized);
            EXPECT_EQ(full->windowTitle(), QStringLiteral("Druckvorschau - Seite 2 von 3"));
            EXPECT_EQ(full->PageView()->ScrollBar()->maximum(), 3);
            EXPECT_EQ(full->PageView()->PaintBox()->cursor().shape(), Qt::BitmapCursor);
            testsupport::SavePng(full->grab().toImage(), QStringLiteral("print_full_screen"));
            Wheel(full->PageView()->PaintBox(), -120);
            EXPECT_EQ(full->windowTitle(), QStringLiteral("Druckvorschau - Seite 3 von 3"));
            QTest::mouseClick(full->PageView()->PaintBox(), Qt::LeftButton);
        });
        QTest::mouseClick(Form().PaintBox1(), Qt::LeftButton);
        EXPECT_EQ(preview.ScrollBarPosition(), 3);
        EXPECT_EQ(Form().windowTitle(), QStringLiteral("Druckvorschau - Seite 3 von 3"));
        Form().Button3()->click();
    });
    preview.Preview();
}

TEST_F(PreviewWindowTest, CancelReportsTheAbortAndPrintsNothing)
{
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *) { Form().Button3()->click(); });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes, aborted);
    EXPECT_EQ(printer.BeginCount, 0);

    // Closing with Escape is the same.
    changes.clear();
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *) { QTest::keyClick(&Form(), Qt::Key_Escape); });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes, aborted);
    EXPECT_EQ(printer.BeginCount, 0);
}

TEST_F(PreviewWindowTest, PrintAllPrintsEveryPageOnce)
{
    preview.SetTitle(QStringLiteral("Plan"));
    WhenModal<TPrintPreviewForm>(
        [this](TPrintPreviewForm *) { QTest::mouseClick(Form().Button1(), Qt::LeftButton); });
    EXPECT_EQ(preview.Preview(), mrOk);
    EXPECT_EQ(printer.BeginCount, 1);
    EXPECT_EQ(printer.Title, QStringLiteral("Plan"));
    ASSERT_EQ(printer.Pages.size(), 3u);
    EXPECT_EQ(changes,
        (std::vector<QString> { QStringLiteral("Drucke Seite 1 von 3"),
            QStringLiteral("Drucke Seite 2 von 3"), QStringLiteral("Drucke Seite 3 von 3") }));
    // Page p's square at printable x 100 p.
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(
            testsupport::PixelAt(printer.Pages[std::size_t(p - 1)], 100 * p + 25, 125 + preview.HeaderSize()),
            clBlack)
            << p;
}

TEST_F(PreviewWindowTest, PrintThisPagePrintsThePageShown)
{
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *) {
        Wheel(Form().PaintBox1(), -120);
        QTest::mouseClick(Form().Button2(), Qt::LeftButton);
    });
    EXPECT_EQ(preview.Preview(), mrOk);
    ASSERT_EQ(printer.Pages.size(), 1u);
    EXPECT_EQ(testsupport::PixelAt(printer.Pages[0], 225, 125 + preview.HeaderSize()), clBlack);
    EXPECT_EQ(testsupport::PixelAt(printer.Pages[0], 125, 125 + preview.HeaderSize()), clWhite);
    EXPECT_EQ(changes,
        (std::vector<QString> {
            QStringLiteral("Drucke Seite 2 von 3"), QStringLiteral("Seite 2 von 3 gedruckt") }));
}

// A failed printout leaves the preview open; cancelling then drops the job.
TEST(PreviewWindowPdfTest, FailedPrintoutKeepsThePreviewOpen)
{
    PinPageFont();
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    QTemporaryDir folder;
    QPrinter qprinter(QPrinter::HighResolution);
    SetUpPdfPrinter(qprinter, folder.filePath(QStringLiteral("no/such/folder/out.pdf")));
    TQtPrinterDevice printer(qprinter);
    TPrintPreviewDialog preview(printer);
    std::vector<QString> changes;
    preview.SetOnChange([&](const QString &text) { changes.push_back(text); });
    preview.NewJob();
    preview.NewPage();
    WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *) {
        QTest::mouseClick(preview.Form()->Button1(), Qt::LeftButton);
        EXPECT_TRUE(preview.Form()->isVisible());
        EXPECT_EQ(dialogs.Questions().size(), 1);
        QTest::mouseClick(preview.Form()->Button3(), Qt::LeftButton);
    });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes,
        (std::vector<QString> { QStringLiteral("Druckauftrag wird abgebrochen"),
            QStringLiteral("Druckauftrag ist abgebrochen") }));
}

// A two-page plan printout on A4 as a planner sees it before printing; the PNG is
// for a person to look at.
TEST(PreviewWindowPdfTest, SampleTwoPageJob)
{
    PinPageFont();
    QTemporaryDir folder;
    QPrinter qprinter(QPrinter::HighResolution);
    SetUpPdfPrinter(qprinter, folder.filePath(QStringLiteral("sample.pdf")));
    TQtPrinterDevice printer(qprinter);
    TPrintPreviewDialog preview(printer);
    preview.SetLochrand(true);
    preview.NewJob();
    preview.NewPage();
    AddDefaultHeaderAndFooter(preview, QStringLiteral("Wochenplan Montage"), QStringLiteral("Entwurf"),
        QStringLiteral("/srv/plaene/Montage 2024.kez"));
    const int line = preview.TextHeight() * 3 / 2;
    for (int page = 1; page <= 2; ++page) {
        if (page == 2)
            preview.NewPage();
        for (int row = 0; row < 30; ++row) {
            const int y = row * line;
            preview.TextOut(
                0, y, TPrintJob::AlignLeft, QStringLiteral("Auftrag %1").arg((page - 1) * 30 + row + 1));
            preview.TextOut(1500, y, TPrintJob::AlignLeft, QStringLiteral("Halle %1").arg(row % 3 + 1));
            preview.TextOut(preview.PrintableSize(true, true).width(), y, TPrintJob::AlignRight,
                QStringLiteral("%1 Tage").arg(row % 7 + 1));
            preview.Line({ 0, y + line - 10 }, { preview.PrintableSize(true, true).width(), y + line - 10 });
        }
    }
    preview.PrintHeaderAndFooter();
    WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 2"));
        const QString path
            = testsupport::SavePng(form->grab().toImage(), QStringLiteral("print_sample_preview"));
        QDir().mkpath(QStringLiteral("/tmp/print"));
        QFile::remove(QStringLiteral("/tmp/print/preview.png"));
        QFile::copy(path, QStringLiteral("/tmp/print/preview.png"));
        form->Button1()->click();
    });
    EXPECT_EQ(preview.Preview(), mrOk);
    QFile::remove(QStringLiteral("/tmp/print/sample.pdf"));
    QFile::copy(folder.filePath(QStringLiteral("sample.pdf")), QStringLiteral("/tmp/print/sample.pdf"));
    EXPECT_EQ(
        PdfInfo(folder.filePath(QStringLiteral("sample.pdf")), QStringLiteral("Pages")), QStringLiteral("2"));
}

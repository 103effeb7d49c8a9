#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewForm.h"
#include "dialogs/print/PreviewFullScreen.h"
#include "dialogs/print/PrintPreviewDialog.h"
#include "document/program/MessageDialog.h"
#include "tests/dialogs/print/PrintTestSupport.h"
#include "tests/support/ModalWindows.h"
#include "tests/support/QtPrinters.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

using namespace printtest;
using testsupport::PixelAt;
using testsupport::WhenModal;

namespace {

void Wheel(QWidget *widget, int delta)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

const std::vector<QString> Aborted { QStringLiteral("Druckauftrag wird abgebrochen"),
    QStringLiteral("Druckauftrag ist abgebrochen") };

} // namespace

// Three pages on the made-up printer; page p holds a black square at body x = 100 p.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        preview.SetOnChange([this](const QString &text) { changes.push_back(text); });
        preview.NewJob();
        for (int p = 1; p <= 3; ++p) {
            preview.NewPage();
            if (p == 1)
                preview.AddHeader(QStringLiteral("Seite $PAGE_NO$"), 1, 0);
            preview.GetBrush()->setStyle(Qt::SolidPattern);
            preview.GetBrush()->setColor(Qt::black);
            preview.Rectangle(Bounds(100 * p, 100, 50, 50));
        }
        preview.PrintHeaderAndFooter();
    }
    TPrintPreviewForm &Form() { return *preview.Form(); }

    TFakePrinter printer;
    TPrintPreviewDialog preview { printer };
    std::vector<QString> changes;
};

TEST_F(PreviewWindowTest, LayoutTextsAndFirstPage)
{
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("PrintPreviewDialog"));
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *form) {
        EXPECT_EQ(form->size(), QSize(385, 401));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 3"));
        EXPECT_EQ(form->Button1()->text(), QStringLiteral("alles drucken"));
        EXPECT_EQ(form->Button1()->geometry(), QRect(8, 368, 89, 25));
        EXPECT_EQ(form->Button2()->text(), QStringLiteral("nur diese Seite drucken"));
        EXPECT_EQ(form->Button2()->geometry(), QRect(104, 368, 137, 25));
        EXPECT_EQ(form->Button3()->text(), QStringLiteral("Abbrechen"));
        EXPECT_EQ(form->Button3()->geometry(), QRect(304, 368, 75, 25));
        EXPECT_EQ(form->Panel1()->geometry(), QRect(8, 8, 369, 353));
        // Inside the panel's border, left of the 17-pixel bar, a 350 x 351 room: the
        // 800 x 1100 sheet takes its height and 255 of its width, centred.
        EXPECT_EQ(form->ScrollBar()->geometry(), QRect(351, 1, 17, 351));
        EXPECT_EQ(form->PaintBox1()->geometry(), QRect(48, 1, 255, 351));
        EXPECT_EQ(form->ScrollBar()->maximum(), 3);
        EXPECT_EQ(form->PaintBox1()->cursor().shape(), Qt::BitmapCursor);
        // Page 1's square: sheet x 130..180 of 800 is box x 41..57; its middle row is
        // sheet y 40 + header + 125 of 1100.
        const QImage shown = form->PaintBox1()->grab().toImage();
        const int middle = (165 + preview.HeaderSize()) * 351 / 1100;
        EXPECT_EQ(PixelAt(shown, 49, middle), clBlack);
        EXPECT_EQ(PixelAt(shown, 81, middle), clWhite);
        form->Button3()->click();
    });
    EXPECT_EQ(preview.Preview(), mrCancel);
}

// The buttons take the room their texts need, at the window's font and at one half
// as large again (144 dpi), in German and in English; the window grows to hold them.
TEST_F(PreviewWindowTest, TheButtonsHoldTheirWholeTexts)
{
    const QFont normal = Form().font();
    for (bool large : { false, true }) {
        QFont font = normal;
        if (large)
            font.setPointSizeF(normal.pointSizeF() * 1.5);
        Form().setFont(font);
        for (const char *text : { "nur diese Seite drucken", "Print this page" }) {
            Form().Button2()->setText(QString::fromUtf8(text));
            WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) {
                QPushButton *buttons[] = { form->Button1(), form->Button2(), form->Button3() };
                for (int i = 0; i < 3; ++i) {
                    QPushButton *b = buttons[i];
                    const QFontMetrics metrics(b->font());
                    EXPECT_GE(b->width(), metrics.horizontalAdvance(b->text()) + 12)
                        << b->text().toStdString();
                    EXPECT_GE(b->height(), metrics.height() + 4) << b->text().toStdString();
                    EXPECT_TRUE(form->rect().contains(b->geometry())) << b->text().toStdString();
                    if (i > 0) {
                        EXPECT_GT(b->x(), buttons[i - 1]->geometry().right()) << b->text().toStdString();
                    }
                }
                form->Button3()->click();
            });
            EXPECT_EQ(preview.Preview(), mrCancel);
        }
    }
}

TEST_F(PreviewWindowTest, ScrollBarWheelAndFullScreenViewStepPages)
{
    WhenModal<TPrintPreviewForm>([this](TPrintPreviewForm *form) {
        QScrollBar *bar = form->ScrollBar();
        QTest::mouseClick(
            bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4)); // lower arrow
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 2 von 3"));
        EXPECT_EQ(form->PaintBox1()->Page(), 2);
        // One page per notch wherever the mouse is; wheel down is the next page.
        Wheel(form->PaintBox1(), -120);
        Wheel(form->PaintBox1(), -120);
        EXPECT_EQ(preview.ScrollBarPosition(), 3);
        Wheel(bar, 240);
        Wheel(form->Button1(), 120);
        EXPECT_EQ(preview.ScrollBarPosition(), 1);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 3"));

        // A click on the page opens it full screen; a click there closes it, and the
        // preview goes on at the page shown last.
        WhenModal<TPrintPreviewFullScreenDialog>([](TPrintPreviewFullScreenDialog *full) {
            EXPECT_TRUE(full->windowState() & Qt::WindowMaximized);
            EXPECT_EQ(full->windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 3"));
            EXPECT_EQ(full->PageView()->PaintBox()->cursor().shape(), Qt::BitmapCursor);
            testsupport::SavePng(full->grab().toImage(), QStringLiteral("print_full_screen"));
            Wheel(full->PageView()->PaintBox(), -120);
            EXPECT_EQ(full->windowTitle(), QStringLiteral("Druckvorschau - Seite 2 von 3"));
            QTest::mouseClick(full->PageView()->PaintBox(), Qt::LeftButton);
        });
        QTest::mouseClick(form->PaintBox1(), Qt::LeftButton);
        EXPECT_EQ(preview.ScrollBarPosition(), 2);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 2 von 3"));
        form->Button3()->click();
    });
    preview.Preview();
}

TEST_F(PreviewWindowTest, CancelOrEscapeReportTheAbortAndPrintNothing)
{
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) { form->Button3()->click(); });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes, Aborted);
    changes.clear();
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) { QTest::keyClick(form, Qt::Key_Escape); });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes, Aborted);
    EXPECT_EQ(printer.BeginCount, 0);
}

TEST_F(PreviewWindowTest, PrintThisPageThenAllPages)
{
    const int y = 125 + preview.HeaderSize(); // the squares' middle row on the printed page
    WhenModal<TPrintPreviewForm>([](TPrintPreviewForm *form) {
        Wheel(form->PaintBox1(), -120);
        QTest::mouseClick(form->Button2(), Qt::LeftButton);
    });
    EXPECT_EQ(preview.Preview(), mrOk);
    ASSERT_EQ(printer.Pages.size(), 1u);
    EXPECT_EQ(PixelAt(printer.Pages[0], 225, y), clBlack);
    EXPECT_EQ(PixelAt(printer.Pages[0], 125, y), clWhite);
    EXPECT_EQ(changes,
        (std::vector<QString> {
            QStringLiteral("Drucke Seite 2 von 3"), QStringLiteral("Seite 2 von 3 gedruckt") }));

    changes.clear();
    preview.SetTitle(QStringLiteral("Plan"));
    WhenModal<TPrintPreviewForm>(
        [](TPrintPreviewForm *form) { QTest::mouseClick(form->Button1(), Qt::LeftButton); });
    EXPECT_EQ(preview.Preview(), mrOk);
    EXPECT_EQ(printer.Title, QStringLiteral("Plan"));
    ASSERT_EQ(printer.Pages.size(), 4u);
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(PixelAt(printer.Pages[std::size_t(p)], 100 * p + 25, y), clBlack) << p;
    EXPECT_EQ(changes,
        (std::vector<QString> { QStringLiteral("Drucke Seite 1 von 3"),
            QStringLiteral("Drucke Seite 2 von 3"), QStringLiteral("Drucke Seite 3 von 3") }));
}

class PreviewPdfTest : public ::testing::Test {
protected:
    void SetUp() override { PinPageFont(); }
    QTemporaryDir folder;
    QPrinter qprinter { QPrinter::HighResolution };
};

// An unwritable file is reported, the preview stays open, and cancelling drops the job.
TEST_F(PreviewPdfTest, FailedPrintoutKeepsThePreviewOpen)
{
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    const QString bad = folder.filePath(QStringLiteral("no/such/folder/out.pdf"));
    SetUpPdfPrinter(qprinter, bad);
    TQtPrinterDevice printer(qprinter);
    TPrintPreviewDialog preview(printer);
    std::vector<QString> changes;
    preview.SetOnChange([&](const QString &text) { changes.push_back(text); });
    preview.NewJob();
    preview.NewPage();
    WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *form) {
        QTest::mouseClick(form->Button1(), Qt::LeftButton);
        EXPECT_TRUE(form->isVisible());
        ASSERT_EQ(dialogs.Questions().size(), 1);
        EXPECT_EQ(dialogs.Questions()[0].DlgType, mtError);
        EXPECT_EQ(dialogs.Questions()[0].Msg,
            QStringLiteral("The printout cannot be written to the file %1.").arg(bad));
        QTest::mouseClick(form->Button3(), Qt::LeftButton);
    });
    EXPECT_EQ(preview.Preview(), mrCancel);
    EXPECT_EQ(changes, Aborted);
    EXPECT_FALSE(QFile::exists(bad));
}

// A two-page plan printout on A4 as a planner sees it before printing, saved as PNG
// (and the PDF beside it) for a person to look at.
TEST_F(PreviewPdfTest, SampleTwoPagePrintout)
{
    SetUpPdfPrinter(qprinter, folder.filePath(QStringLiteral("sample.pdf")));
    TQtPrinterDevice printer(qprinter);
    TPrintPreviewDialog preview(printer);
    preview.SetLochrand(true);
    preview.NewJob();
    preview.NewPage();
    AddDefaultHeaderAndFooter(preview, QStringLiteral("Wochenplan Montage"), QStringLiteral("Entwurf"),
        QStringLiteral("/srv/plaene/Montage 2024.kez"));
    const int line = preview.TextHeight() * 3 / 2, width = preview.PrintableSize(true, true).width();
    for (int row = 0; row < 60; ++row) {
        if (row == 30)
            preview.NewPage();
        const int y = row % 30 * line;
        preview.TextOut(0, y, TPrintJob::AlignLeft, QStringLiteral("Auftrag %1").arg(row + 1));
        preview.TextOut(1500, y, TPrintJob::AlignLeft, QStringLiteral("Halle %1").arg(row % 3 + 1));
        preview.TextOut(width, y, TPrintJob::AlignRight, QStringLiteral("%1 Tage").arg(row % 7 + 1));
        preview.Line({ 0, y + line - 10 }, { width, y + line - 10 });
    }
    preview.PrintHeaderAndFooter();
    WhenModal<TPrintPreviewForm>([&](TPrintPreviewForm *form) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Druckvorschau - Seite 1 von 2"));
        testsupport::SavePng(form->grab().toImage(), QStringLiteral("print_sample_preview"));
        form->Button1()->click();
    });
    EXPECT_EQ(preview.Preview(), mrOk);
    EXPECT_EQ(
        PdfInfo(folder.filePath(QStringLiteral("sample.pdf")), QStringLiteral("Pages")), QStringLiteral("2"));
    QFile::remove(QStringLiteral("pixels/print_sample.pdf"));
    QFile::copy(folder.filePath(QStringLiteral("sample.pdf")), QStringLiteral("pixels/print_sample.pdf"));
}

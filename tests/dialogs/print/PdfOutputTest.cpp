#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PrintJob.h"
#include "tests/dialogs/print/PrintTestSupport.h"

#include <gtest/gtest.h>

using namespace printtest;

// A4 at 600 dpi is 4958 x 7017 pixels; with half-inch margins the printable area is
// 4358 x 6417 at (300, 300). A word's box is 1.117 of its font size high (Liberation
// Sans's ascent and descent) and starts at the text's top left.
class PdfOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        SetUpPdfPrinter(qprinter, pdf);
    }
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("out.pdf"));
    QPrinter qprinter { QPrinter::HighResolution };
    TQtPrinterDevice printer { qprinter };
    TPrintJob job { printer };
    const double tolerance = Pt(3);
};

TEST_F(PdfOutputTest, BodyTextHeadersAndFootersWhereTheGeometryPutsThem)
{
    EXPECT_EQ(printer.DeviceCaps(), (TDeviceCaps { 185, 272, 4358, 6417, 600, 600, 4958, 7017, 300, 300 }));
    job.SetTitle(QStringLiteral("Plan 2024"));
    job.SetLochrand(true); // 12 mm of 4358 pixels over 185 mm: 282.7
    job.NewJob();
    job.NewPage();
    job.AddHeader(QStringLiteral("$PAGE_NO$"), 1, TPrintJob::AlignLeft);
    job.AddHeader(QStringLiteral("Seite $PAGE_NO$/$PAGE_COUNT$"), -1, TPrintJob::AlignCenter);
    job.TextOut(600, 1200, TPrintJob::AlignLeft, QStringLiteral("Alpha"));
    job.NewPage();
    job.NewPage();
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Page size")), QStringLiteral("595 x 842 pts (A4)"));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("Plan 2024"));
    const std::vector<TWordBox> words = PdfWords(pdf);
    const int h = LineHeight(83); // 10 pt at 600 dpi
    const double left = 300 + 283, width = 4358 - 283;
    for (int p = 1; p <= 3; ++p) {
        const auto number = FindWord(words, QString::number(p), p);
        const auto seite = FindWord(words, QStringLiteral("Seite"), p);
        const auto count = FindWord(words, QStringLiteral("%1/3").arg(p), p);
        ASSERT_TRUE(number && seite && count) << p;
        EXPECT_NEAR(number->XMin, Pt(left), tolerance);
        EXPECT_NEAR(number->YMin, Pt(300), tolerance); // header line 1 tops the printable area
        EXPECT_NEAR(number->YMax - number->YMin, 1.117 * Pt(83), 0.2);
        EXPECT_NEAR((seite->XMin + count->XMax) / 2, Pt(left + width / 2), tolerance);
        EXPECT_NEAR(count->YMin, Pt(300 + 6417 - h), tolerance); // footer ends the printable area
    }
    const auto alpha = FindWord(words, QStringLiteral("Alpha"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->Page, 1);
    EXPECT_NEAR(alpha->XMin, Pt(left + 600), tolerance);
    EXPECT_NEAR(alpha->YMin, Pt(300 + h + 1200), tolerance);
}

TEST_F(PdfOutputTest, TitleFooterAndLongFileNameTogether)
{
    job.NewJob();
    job.NewPage();
    const QString file
        = QStringLiteral("/srv/planung/") + QString(100, QLatin1Char('x')) + QStringLiteral("/Plan.kez");
    AddDefaultHeaderAndFooter(job, QStringLiteral("Wochenplan"), QStringLiteral("Entwurf"), file);
    job.TextOut(0, 0, TPrintJob::AlignLeft, QStringLiteral("Body"));
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    const std::vector<TWordBox> words = PdfWords(pdf);
    const auto title = FindWord(words, QStringLiteral("Wochenplan"));
    const auto stand = FindWord(words, QStringLiteral("Stand:"));
    const auto body = FindWord(words, QStringLiteral("Body"));
    const auto footer = FindWord(words, QStringLiteral("Entwurf"));
    const auto name = FindWord(words, QStringLiteral(".../Plan.kez"));
    const auto number = FindWord(words, QStringLiteral("1/1"));
    ASSERT_TRUE(title && stand && body && footer && name && number);
    // 20 pt is 167 pixels, 10 pt 83, 11 pt 92.
    EXPECT_NEAR((title->XMin + title->XMax) / 2, Pt(300 + 4358 / 2), tolerance);
    EXPECT_NEAR(title->YMin, Pt(300), tolerance);
    EXPECT_NEAR(title->YMax - title->YMin, 1.117 * Pt(167), 0.3);
    EXPECT_NEAR(stand->YMin, Pt(300), tolerance); // on the title's line, ending at the right edge
    double standEnd = 0;
    for (const TWordBox &w : words)
        if (std::abs(w.YMin - stand->YMin) < 0.01)
            standEnd = std::max(standEnd, w.XMax);
    EXPECT_NEAR(standEnd, Pt(300 + 4358), tolerance);
    EXPECT_NEAR(body->YMin, Pt(300 + LineHeight(167) + LineHeight(83)), tolerance);
    // From the bottom up: page number, file name, footer text.
    const double bottom = 300 + 6417, foot = LineHeight(92);
    EXPECT_NEAR(number->YMin, Pt(bottom - foot), tolerance);
    EXPECT_NEAR(name->YMin, Pt(bottom - 2 * foot), tolerance);
    EXPECT_NEAR(name->XMin, Pt(300), tolerance);
    EXPECT_NEAR(footer->YMin, Pt(bottom - 3 * foot), tolerance);
}

TEST_F(PdfOutputTest, PrintingOnePageWritesThatPageAlone)
{
    std::vector<QString> changes;
    job.SetOnChange([&](const QString &text) { changes.push_back(text); });
    job.NewJob();
    job.NewPage();
    job.AddHeader(QStringLiteral("Blatt$PAGE_NO$"), 1, 0);
    job.NewPage();
    job.NewPage();
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintPage(2));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    const std::vector<TWordBox> words = PdfWords(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0].Text, QStringLiteral("Blatt2"));
    EXPECT_EQ(changes,
        (std::vector<QString> {
            QStringLiteral("Drucke Seite 2 von 3"), QStringLiteral("Seite 2 von 3 gedruckt") }));
}

TEST_F(PdfOutputTest, OutputFileFollowsTheDocumentUntilTheSetupChoosesOne)
{
    qprinter.setOutputFileName(QString());
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 2.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/data/plans/Werk 2.pdf"));
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 3.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/data/plans/Werk 3.pdf"));
    qprinter.setOutputFileName(QStringLiteral("/tmp/chosen.pdf")); // as the printer setup does
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 4.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/tmp/chosen.pdf"));
}

// The page shown in a box of 0.1 printer pixels a pixel and the PDF rendered at 60 dpi
// (also 0.1) have their marks at the same pixels and their text at the same size.
TEST_F(PdfOutputTest, PreviewShowsThePageAsThePdfHasIt)
{
    job.NewJob();
    job.NewPage();
    job.GetBrush()->setStyle(Qt::SolidPattern);
    job.GetBrush()->setColor(Qt::black);
    job.Rectangle(Rect(600, 600, 1800, 1200));
    job.GetBrush()->setStyle(Qt::NoBrush);
    job.GetFont()->SetSize(40);
    job.TextOut(600, 3000, 0, QStringLiteral("HHHH"));
    ASSERT_TRUE(job.PrintAll());

    const QString rendered = folder.filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-singlefile"),
            pdf, rendered });
    const QImage inPdf(rendered + QStringLiteral(".png"));
    ASSERT_EQ(inPdf.size(), QSize(496, 702));
    QImage shown = testsupport::MakeCanvas(496, 702);
    {
        QPainter painter(&shown);
        DisplayPage(painter, shown.size(), job, 1);
    }
    testsupport::SavePng(shown, QStringLiteral("print_preview_vs_pdf"));
    // The rectangle: sheet (900, 900)-(2100, 1500) is (90, 90)-(210, 150).
    const QRect upper(0, 0, 496, 250), lower(0, 250, 496, 452);
    EXPECT_EQ(DarkBounds(shown, upper), QRect(QPoint(90, 90), QPoint(209, 149)));
    EXPECT_EQ(DarkBounds(inPdf, upper), QRect(QPoint(90, 90), QPoint(209, 149)));
    const QRect textShown = DarkBounds(shown, lower), textInPdf = DarkBounds(inPdf, lower);
    ASSERT_FALSE(textInPdf.isNull());
    EXPECT_NEAR(textShown.left(), textInPdf.left(), 1);
    EXPECT_NEAR(textShown.top(), textInPdf.top(), 1);
    EXPECT_NEAR(textShown.width(), textInPdf.width(), 2);
    EXPECT_NEAR(textShown.height(), textInPdf.height(), 1);
}

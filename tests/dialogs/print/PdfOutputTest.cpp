#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/PrintTestSupport.h"
#include "dialogs/print/QtPrinterDevice.h"
#include "document/MessageDialog.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace printtest;

// Sheet positions at 600 dpi on A4 with half-inch margins: the printable area starts
// at (300, 300); A4 is 4958.3 x 7016.7 pixels.
class PdfOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        ASSERT_TRUE(folder.isValid());
        SetUpPdfPrinter(qprinter, pdf);
    }
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("out.pdf"));
    QPrinter qprinter { QPrinter::HighResolution };
    TQtPrinterDevice printer { qprinter };
    TPrintJob job { printer };
};

TEST_F(PdfOutputTest, PrinterValuesComeFromPageLayoutAndResolution)
{
    const TDeviceCaps caps = printer.DeviceCaps();
    EXPECT_EQ(caps.PhysicalWidth, 4958);
    EXPECT_EQ(caps.PhysicalHeight, 7017);
    EXPECT_EQ(caps.PhysicalOffsetX, 300);
    EXPECT_EQ(caps.PhysicalOffsetY, 300);
    EXPECT_EQ(caps.HorzRes, 4958 - 600);
    EXPECT_EQ(caps.VertRes, 7017 - 600);
    EXPECT_EQ(caps.LogPixelsX, 600);
    EXPECT_EQ(caps.LogPixelsY, 600);
    // 210 mm and 297 mm less 2 x 12.7 mm.
    EXPECT_EQ(caps.HorzSize, 185);
    EXPECT_EQ(caps.VertSize, 272);
}

TEST_F(PdfOutputTest, PagesCarryBodyTextHeadersAndFootersWhereTheGeometrySaysAndNumbers)
{
    job.SetTitle(QStringLiteral("Plan 2024"));
    job.SetLochrand(true); // 12 mm of 4358 pixels over 185 mm: 282.7
    job.NewJob();
    for (int p = 0; p < 3; ++p)
        job.NewPage();
    job.SetCurrentPage(1);
    // Lines are registered before drawing: the body's place depends on them.
    job.AddHeader(QStringLiteral("$PAGE_NO$"), 1, TPrintJob::AlignLeft);
    job.AddHeader(QStringLiteral("Seite $PAGE_NO$/$PAGE_COUNT$"), -1, TPrintJob::AlignCenter);
    job.TextOut(600, 1200, TPrintJob::AlignLeft, QStringLiteral("Alpha"));
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    EXPECT_TRUE(PdfInfo(pdf, QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842 pts")));
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("Plan 2024"));

    const std::vector<TWordBox> words = PdfWords(pdf);
    const int h = LineHeight(83); // 10 pt at 600 dpi
    const double bodyLeft = 300 + 283, bodyWidth = 4358 - 283;
    // Word boxes run from the text origin; their height is the font's ascent plus
    // descent (1.117 of its size) and their top the baseline less the ascent.
    const double size = Pt(83), tolerance = Pt(3);
    for (int p = 1; p <= 3; ++p) {
        const auto number = FindWord(words, QString::number(p), p);
        ASSERT_TRUE(number) << p;
        EXPECT_NEAR(number->XMin, Pt(bodyLeft), tolerance);
        EXPECT_NEAR(number->YMin, Pt(300), tolerance); // header line 1 tops the printable area
        EXPECT_NEAR(number->Height(), 1.117 * size, 0.2);
        const auto footer = FindWord(words, QStringLiteral("%1/3").arg(p), p);
        ASSERT_TRUE(footer) << p;
        const auto seite = FindWord(words, QStringLiteral("Seite"), p);
        ASSERT_TRUE(seite);
        // Centred on the body; the last footer line ends at the printable bottom.
        EXPECT_NEAR((seite->XMin + footer->XMax) / 2, Pt(bodyLeft + bodyWidth / 2), tolerance);
        EXPECT_NEAR(footer->YMin, Pt(300 + 6417 - h), tolerance);
    }
    const auto alpha = FindWord(words, QStringLiteral("Alpha"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->Page, 1);
    EXPECT_NEAR(alpha->XMin, Pt(bodyLeft + 600), tolerance);
    EXPECT_NEAR(alpha->YMin, Pt(300 + h + 1200), tolerance);
}

TEST_F(PdfOutputTest, TitleFooterAndLongFileNameTogether)
{
    job.NewJob();
    job.NewPage();
    const QString file = QStringLiteral("/srv/planung/abteilung-fertigung/") + QString(100, QLatin1Char('x'))
        + QStringLiteral("/Wochenplan.kez");
    AddDefaultHeaderAndFooter(job, QStringLiteral("Wochenplan"), QStringLiteral("Entwurf"), file);
    job.TextOut(0, 0, TPrintJob::AlignLeft, QStringLiteral("Body"));
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    const std::vector<TWordBox> words = PdfWords(pdf);
    // 20 pt: 167 pixels; 10 pt: 83; 11 pt: 92.
    const int title = LineHeight(167), spacer = LineHeight(83), foot = LineHeight(92);
    const double tolerance = Pt(3);
    const auto wochenplan = FindWord(words, QStringLiteral("Wochenplan"));
    ASSERT_TRUE(wochenplan);
    EXPECT_NEAR((wochenplan->XMin + wochenplan->XMax) / 2, Pt(300 + 4358 / 2), tolerance);
    EXPECT_NEAR(wochenplan->YMin, Pt(300), tolerance);
    EXPECT_NEAR(wochenplan->Height(), 1.117 * Pt(167), 0.3);
    // "Stand: <date> <time>" ends at the body's right edge on the title's line.
    const auto stand = FindWord(words, QStringLiteral("Stand:"));
    ASSERT_TRUE(stand);
    double standEnd = 0;
    for (const TWordBox &w : words)
        if (std::abs(w.YMin - stand->YMin) < 0.01)
            standEnd = std::max(standEnd, w.XMax);
    EXPECT_NEAR(standEnd, Pt(300 + 4358), tolerance);
    EXPECT_NEAR(stand->YMin, Pt(300), tolerance);
    const auto body = FindWord(words, QStringLiteral("Body"));
    ASSERT_TRUE(body);
    EXPECT_NEAR(body->YMin, Pt(300 + title + spacer), tolerance);

    // Footer lines from the bottom of the printable area: page number, file name, footer.
    const double bottom = 300 + 6417;
    const auto entwurf = FindWord(words, QStringLiteral("Entwurf"));
    const auto name = FindWord(words, QStringLiteral(".../Wochenplan.kez"));
    const auto number = FindWord(words, QStringLiteral("1/1"));
    ASSERT_TRUE(entwurf && name && number);
    EXPECT_NEAR(entwurf->YMin, Pt(bottom - 3 * foot), tolerance);
    EXPECT_NEAR(name->YMin, Pt(bottom - 2 * foot), tolerance);
    EXPECT_NEAR(name->XMin, Pt(300), tolerance);
    EXPECT_NEAR(number->YMin, Pt(bottom - foot), tolerance);
}

TEST_F(PdfOutputTest, PrintingOnePageWritesThatPageAlone)
{
    std::vector<QString> changes;
    job.SetOnChange([&](const QString &text) { changes.push_back(text); });
    job.NewJob();
    for (int p = 0; p < 3; ++p)
        job.NewPage();
    job.AddHeader(QStringLiteral("Blatt$PAGE_NO$"), 1, 0);
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

TEST_F(PdfOutputTest, UnwritableFileIsReportedAndTheJobKept)
{
    TScriptedMessageDialogs dialogs;
    ScopedMessageDialogs scoped(&dialogs);
    const QString bad = folder.filePath(QStringLiteral("missing/folder/out.pdf"));
    qprinter.setOutputFileName(bad);
    job.NewJob();
    job.NewPage();
    EXPECT_FALSE(job.PrintAll());
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0].DlgType, mtError);
    EXPECT_EQ(dialogs.Questions()[0].Msg,
        QStringLiteral("The printout cannot be written to the file %1.").arg(bad));
    EXPECT_FALSE(QFile::exists(bad));
    EXPECT_FALSE(printer.Printing());
    // The pages are still there to print elsewhere.
    qprinter.setOutputFileName(pdf);
    EXPECT_TRUE(job.PrintAll());
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
}

TEST_F(PdfOutputTest, OutputFileFollowsTheDocumentUntilTheSetupChoosesOne)
{
    qprinter.setOutputFileName(QString());
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 2.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/data/plans/Werk 2.pdf"));
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 3.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/data/plans/Werk 3.pdf"));
    qprinter.setOutputFileName(QStringLiteral("/tmp/chosen.pdf")); // the printer setup
    printer.SetDocumentFileName(QStringLiteral("/data/plans/Werk 4.kez"));
    EXPECT_EQ(qprinter.outputFileName(), QStringLiteral("/tmp/chosen.pdf"));
}

// What the preview shows is what the PDF holds: the same page rendered by the PDF
// tools at 60 dpi and shown in a box of the same scale has its marks at the same
// pixels and its text at the same size.
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
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    const QImage pdfPage = PdfPageImage(pdf, 1, 60, folder.path());
    ASSERT_EQ(pdfPage.size(), QSize(496, 702));
    QImage preview = testsupport::MakeCanvas(496, 702);
    {
        QPainter painter(&preview);
        DisplayPage(painter, preview.size(), job, 1);
    }
    testsupport::SavePng(preview, QStringLiteral("print_preview_vs_pdf"));
    // The rectangle: sheet (900, 900)-(2100, 1500) at 0.1 is (90, 90)-(210, 150).
    const QRect upper(0, 0, 496, 250), lower(0, 250, 496, 452);
    EXPECT_EQ(DarkBounds(preview, upper), QRect(QPoint(90, 90), QPoint(209, 149)));
    EXPECT_EQ(DarkBounds(pdfPage, upper), QRect(QPoint(90, 90), QPoint(209, 149)));
    const QRect textInPreview = DarkBounds(preview, lower);
    const QRect textInPdf = DarkBounds(pdfPage, lower);
    ASSERT_FALSE(textInPdf.isNull());
    EXPECT_NEAR(textInPreview.left(), textInPdf.left(), 1);
    EXPECT_NEAR(textInPreview.top(), textInPdf.top(), 1);
    EXPECT_NEAR(textInPreview.width(), textInPdf.width(), 2);
    EXPECT_NEAR(textInPreview.height(), textInPdf.height(), 1);
}

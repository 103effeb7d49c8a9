// Tables printed by PrintStringGrid: on the made-up printer, where pages are looked
// at pixel by pixel, and as PDF, where the words show where rows and fonts ended up.
#include "dialogs/print/PageDisplay.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/StringGrid.h"
#include "platform/gui/Fonts.h"
#include "tests/dialogs/print/PrintTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace printtest;
using testsupport::PixelAt;

namespace {

// A grid with its caption row and `rows` rows of `columns` cells "r<row>c<column>",
// every column printed.
TStringGrid Grid(int columns, int rows)
{
    TStringGrid grid;
    grid.SetColCount(columns);
    grid.SetRowCount(1);
    for (int c = 0; c < columns; ++c)
        grid.SetCell(c, 0, QStringLiteral("Head%1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        std::vector<QString> cells;
        for (int c = 0; c < columns; ++c)
            cells.push_back(QStringLiteral("r%1c%2").arg(r).arg(c));
        grid.AddRow(cells);
    }
    return grid;
}

QFont TestFont(int pixels, bool bold = false)
{
    QFont font(QString::fromLatin1(testsupport::TestFontFamily));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

// On the made-up printer (100 pixels per inch, a 740 x 1010 printable area) 10 pt
// is 14 pixels: a line of h, a gap of h div 5, a padding of the width of "N".
class GridOnPaperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        job.NewJob();
        job.NewPage();
    }

    QImage Page(int page)
    {
        QImage image = testsupport::MakeCanvas(740, 1010);
        QPainter painter(&image);
        PlayPage(painter, *job.GetMetafile(page), QSize(740, 1010), QRectF(0, 0, 740, 1010));
        return image;
    }

    const QFontMetrics metrics { TestFont(14) };
    const int h = metrics.height(), g = h / 5, p = metrics.horizontalAdvance(QStringLiteral("N"));
    TFakePrinter printer;
    TPrintJob job { printer };
};

TEST_F(GridOnPaperTest, ATableThatFitsKeepsItsFontAndIsCentredUnderItsCaptionRow)
{
    TStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(1);
    for (const auto &[c, caption] : { std::pair { 0, "Auftrag" }, { 1, "Halle" }, { 2, "Tage" } })
        grid.SetCell(c, 0, QString::fromLatin1(caption));
    grid.AddRow({ QStringLiteral("Rahmen schweißen"), QStringLiteral("2"), QStringLiteral("14") });
    grid.AddRow({ QStringLiteral("Lack"), QString(), QStringLiteral("3") });
    grid.SetColWidth(1, 0); // not printed
    grid.SetAlignment(2, TStringGrid::AlignRight);

    const TPrintJob::TGridLayout layout = job.PrintStringGrid(grid, QStringLiteral("Liste"), 100, 1, 2, true);
    EXPECT_EQ(job.GetFont()->Size(), 10);
    job.DonePrinting();
    EXPECT_EQ(job.GetPageCount(), 1);

    const int w0 = metrics.horizontalAdvance(QStringLiteral("Rahmen schweißen"));
    const int w2 = metrics.horizontalAdvance(QStringLiteral("Tage"));
    const int total = w0 + p + w2 + p;
    EXPECT_EQ(layout.Left, (740 - total) / 2);
    EXPECT_EQ(layout.Right, layout.Left + total);
    // Title, caption block (h + 2g high, one gap below it), two rows each with its gap.
    const int captionTop = 100 + h + g;
    const int rowsTop = captionTop + h + 3 * g;
    EXPECT_EQ(layout.Y, rowsTop + 2 * (h + g));

    const QImage page = Page(1);
    testsupport::SavePng(page, QStringLiteral("grid_fits"));
    const int left = layout.Left, right = layout.Right;
    const int y = job.HeaderSize(); // no header lines: the body starts at the top
    EXPECT_EQ(y, 0);
    // The caption row's grey fill inside its black frame; the section frame down to the end.
    EXPECT_EQ(PixelAt(page, left + 1, captionTop + 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(page, left, captionTop + h), clBlack);
    EXPECT_EQ(PixelAt(page, right - 1, rowsTop + h), clBlack);
    EXPECT_EQ(PixelAt(page, (left + right) / 2, layout.Y - 1), clBlack);
    // The line under the first row, and the column line between the printed columns.
    EXPECT_EQ(PixelAt(page, left + 5, rowsTop + h), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(page, left + w0 + p, rowsTop + h / 2), ColorToRGB(clBtnFace));
    // Column 2 is right-aligned: its text ends half a padding in from the table's edge.
    const QRect numbers = DarkBounds(page, QRect(left + w0 + p + 1, rowsTop, w2 + p - 2, h));
    EXPECT_NEAR(numbers.right() + 1, right - p / 2, 2);
    // The title in bold at the table's left edge, above the caption row.
    EXPECT_NEAR(DarkBounds(page, QRect(0, 100, 740, h)).left(), left, 2);
}

TEST_F(GridOnPaperTest, WithoutPrintedColumnsOnlyTheCaptionFrameIsPrinted)
{
    TStringGrid grid = Grid(4, 500);
    for (int c = 0; c < 4; ++c)
        grid.SetColWidth(c, 0);
    const TPrintJob::TGridLayout layout = job.PrintStringGrid(grid, QString(), 0, 1, 500, true);
    EXPECT_EQ(job.GetPageCount(), 1);
    EXPECT_EQ(layout.Left, layout.Right);
    EXPECT_EQ(layout.Y, h + 3 * g);
}

// A4 at 600 dpi with half-inch margins, a footer line: the body is 4358 wide.
class GridPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinPageFont();
        SetUpPdfPrinter(qprinter, pdf);
        job.NewJob();
        job.NewPage();
        job.AddHeader(QStringLiteral("Fuss"), -1, TPrintJob::AlignLeft);
    }
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("grid.pdf"));
    QPrinter qprinter { QPrinter::HighResolution };
    TQtPrinterDevice printer { qprinter };
    TPrintJob job { printer };
};

TEST_F(GridPdfTest, ALongListRepeatsItsCaptionRowOnEveryPageAndStaysAboveTheFooter)
{
    const TStringGrid grid = Grid(3, 150);
    job.PrintStringGrid(grid, QString(), 0, 1, 150, true);
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    const int pages = job.GetPageCount();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QString::number(pages));
    const std::vector<TWordBox> words = PdfWords(pdf);
    const double bodyBottom = Pt(300 + 6417 - LineHeight(83));
    int rows = 0;
    for (int page = 1; page <= pages; ++page) {
        const auto caption = FindWord(words, QStringLiteral("Head0"), page);
        const auto footer = FindWord(words, QStringLiteral("Fuss"), page);
        ASSERT_TRUE(caption && footer) << page;
        EXPECT_NEAR(footer->YMin, bodyBottom, Pt(3));
        double lowest = 0;
        for (const TWordBox &w : words)
            if (w.Page == page && w.Text.startsWith(u'r') && w.Text.endsWith(QStringLiteral("c0"))) {
                ++rows;
                lowest = std::max(lowest, w.YMax);
                EXPECT_GT(w.YMin, caption->YMax);
            }
        EXPECT_LT(lowest, bodyBottom) << page;
    }
    EXPECT_EQ(rows, 150);
    EXPECT_TRUE(FindWord(words, QStringLiteral("r150c2"), pages));
}

// Eight columns, one with a very long text: the long column is narrowed first (its
// long cells end in "..."), then the font shrinks to 7 pt, and the table is scaled
// to the page's width - on every page.
TEST_F(GridPdfTest, AWideTableShrinksToSeventyPercentOnEveryPageThenFillsThePageWidth)
{
    TStringGrid grid = Grid(8, 120);
    const QString longText = QStringLiteral("Beschreibung ") + QString(60, QLatin1Char('x'));
    grid.SetCell(3, 5, longText);
    for (int r = 1; r <= 120; ++r)
        grid.SetCell(5, r, QStringLiteral("Wide%1").arg(r) + QString(80, QLatin1Char('w')));
    const TPrintJob::TGridLayout layout = job.PrintStringGrid(grid, QString(), 0, 1, 120, true);
    EXPECT_EQ(job.GetFont()->Size(), 10);
    EXPECT_LE(layout.Right - layout.Left, 4358);
    EXPECT_GT(layout.Right - layout.Left, 4358 - 8 * 10);
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    const std::vector<TWordBox> words = PdfWords(pdf);
    ASSERT_GE(job.GetPageCount(), 2);
    const double sevenPoints = 1.117 * Pt(PointsToPixels(7, 600));
    for (int page = 1; page <= job.GetPageCount(); ++page) {
        // The captions are cut too once the columns are scaled: "He...".
        const auto caption = std::find_if(words.begin(), words.end(),
            [page](const TWordBox &w) { return w.Page == page && w.Text.startsWith(QStringLiteral("He")); });
        ASSERT_NE(caption, words.end()) << page;
        EXPECT_NEAR(caption->YMax - caption->YMin, sevenPoints, 0.2) << page;
    }
    bool ellipsis = false;
    for (const TWordBox &w : words)
        ellipsis
            = ellipsis || (w.Text.endsWith(QStringLiteral("...")) && w.Text.startsWith(QStringLiteral("Be")));
    EXPECT_TRUE(ellipsis);
}

// The chart cut into strips, one per page: the strips' dates and zoom, and a
// generated plan printed to PDF in both modes.
#include "dialogs/print/ChartPrinting.h"
#include "dialogs/print/DefaultHeaderAndFooter.h"
#include "dialogs/print/PrintJob.h"
#include "tests/dialogs/print/ChartPrintSupport.h"
#include "tests/dialogs/print/PrintTestSupport.h"
#include "timechart/CaptionPainter.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"

#include <QFile>
#include <random>

using namespace printtest;

TEST(ChartStrips, WholeDaysPerPageAndTheRestLeftOut)
{
    const TDateTime d = EncodeDate(2024, 3, 4);
    // 10 days on 3 pages: three strips of 3 days, the tenth day is not printed.
    EXPECT_EQ(StripDates(d, d + 10, 10, 3),
        (std::vector<TChartStrip> { { d, d + 3 }, { d + 3, d + 6 }, { d + 6, d + 9 } }));
    EXPECT_EQ(StripDates(d, d + 10, 10, 1), (std::vector<TChartStrip> { { d, d + 10 } }));
    // More pages than days: a day per page, and the strips end.
    EXPECT_EQ(StripDates(d, d + 2, 2, 5), (std::vector<TChartStrip> { { d, d + 1 }, { d + 1, d + 2 } }));
    EXPECT_TRUE(StripDates(d, d, 1, 1).empty());
}

// Against a plain search over every zoom on random monotone sizes: the largest zoom
// whose chart is smaller than the room, down to the lowest one.
TEST(ChartStrips, TheZoomIsTheLargestThatFitsDownToOnePixelPerDay)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        const int perDay = int(rng() % 40) + 4, rows = int(rng() % 60) + 1, days = int(rng() % 400) + 20;
        const TStripSize sizeAt = [&](int zoom) {
            return QSize(
                std::max(1, (100 + zoom) * perDay / 100) * days, std::max(1, (100 + zoom) / 4) * rows);
        };
        const int lowest = -99;
        const QSize room(int(rng() % 5000) + 1, int(rng() % 7000) + 1);
        int want = lowest;
        for (int zoom = 8000; zoom >= lowest; --zoom)
            if (sizeAt(zoom).width() < room.width() && sizeAt(zoom).height() < room.height()) {
                want = zoom;
                break;
            }
        ASSERT_EQ(FitZoom(sizeAt, room, lowest), want) << round;
    }
}

TEST(ChartStrips, ChartAndTitleAreCentredInTheBodyAndWhatIsTooLargeStartsAtItsCorner)
{
    const TStripSize sizeAt = [](int zoom) { return QSize(100 + zoom, 50 + zoom / 2); };
    // Fits at zoom 399 (499 x 249 < 500 x 250 below a title band of 50); the width
    // stops the next zoom, so the chart takes the whole width.
    TStripPlacement place = PlaceStrip(sizeAt, -50, QSize(500, 300), 50);
    EXPECT_EQ(place.Zoom, 399);
    EXPECT_EQ(place.Size, QSize(500, 249));
    EXPECT_EQ(place.Chart, QPoint(0, 50));
    EXPECT_EQ(place.Title, QPoint(250, 0));
    place = PlaceStrip(sizeAt, -50, QSize(500, 1000), 50);
    EXPECT_EQ(place.Chart, QPoint(0, 50 + (950 - 249) / 2));
    EXPECT_EQ(place.Title, QPoint(250, place.Chart.y() - 50));
    // Days of whole pixels: a year at 11 pixels a day is 4015 wide, at 12 too wide
    // for 4358; the chart is drawn 4358 wide. Stopped by the height, it keeps its width.
    const TStripSize year
        = [](int zoom) { return QSize(std::max(1, (100 + zoom) * 8 / 100) * 365, 300 + zoom); };
    place = PlaceStrip(year, -87, QSize(4358, 6417), 160);
    EXPECT_EQ(place.Zoom, 49);
    EXPECT_EQ(place.Size, QSize(4358, 349));
    place = PlaceStrip(year, -87, QSize(4358, 500), 160);
    EXPECT_EQ(place.Zoom, 39);
    EXPECT_EQ(place.Size, QSize(4015, 339));
    // Not even the lowest zoom fits: the chart starts at the body's corner below the
    // title, which is centred over the part the page shows.
    place = PlaceStrip(sizeAt, -50, QSize(40, 80), 20);
    EXPECT_EQ(place.Zoom, -50);
    EXPECT_EQ(place.Size, QSize(50, 25));
    EXPECT_EQ(place.Chart, QPoint(0, 20 + (60 - 25) / 2));
    EXPECT_EQ(place.Title, QPoint(20, place.Chart.y() - 20));
}

namespace {

// Colours no header, footer or title line has: anything with a clear hue.
bool Coloured(QRgb pixel)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    return std::max({ r, g, b }) - std::min({ r, g, b }) > 40;
}

} // namespace

// A generated plan over 6 weeks in 3 strips on A4 at 600 dpi, in both modes: a page
// per strip, its title centred over the chart right under the header lines' body
// edge, and no chart pixel outside the body.
class ChartPdfTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        PinPageFont();
        SetUpPdfPrinter(qprinter, pdf);
    }
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("chart.pdf"));
    QPrinter qprinter { QPrinter::HighResolution };
    TQtPrinterDevice printer { qprinter };
    TPrintJob job { printer };
    TPlanChart plan;
};

TEST_P(ChartPdfTest, StripsOnTheirPagesInsideTheBody)
{
    job.NewJob();
    job.NewPage();
    AddDefaultHeaderAndFooter(
        job, QStringLiteral("Montageplan"), QStringLiteral("Entwurf"), QStringLiteral("/srv/plan.kez"));
    EXPECT_EQ(job.GetFont()->Size(), 10); // the page's own font again for the titles
    TChartPrintOptions options;
    options.Start = plan.Jan1;
    options.End = plan.Jan1 + 43;
    options.Days = 43;
    options.Pages = 3;
    options.AsBitmap = GetParam();
    PrintChartStrips(job, *plan.chart, options);
    job.PrintHeaderAndFooter();
    ASSERT_TRUE(job.PrintAll());

    ASSERT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));
    const std::vector<TWordBox> words = PdfWords(pdf);
    const QSize body = job.PrintableSize(true, true);
    const QPoint at = QPoint(300, 300) + job.PrintableOffset();
    const int days = 14; // 43 div 3
    for (int page = 1; page <= 3; ++page) {
        const QString last = DateToStr(plan.Jan1 + page * days) + QLatin1Char(')');
        const auto kez = FindWord(words, QStringLiteral("KEZ"), page);
        const auto end = FindWord(words, last, page);
        ASSERT_TRUE(kez && end) << page;
        // The title in the page font's size, its two lines above the chart.
        EXPECT_NEAR(kez->YMax - kez->YMin, 1.117 * Pt(83), 0.3);
        const double titleCentre = (kez->XMin + end->XMax) / 2;
        EXPECT_NEAR(titleCentre, Pt(at.x() + body.width() / 2.0), Pt(10)) << page;
        EXPECT_GT(kez->YMin, Pt(at.y()) - Pt(3));
    }

    // Rendered at 30 dpi: 20 printer pixels a pixel.
    const QString prefix = folder.filePath(QStringLiteral("page"));
    RunTool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"), pdf, prefix });
    for (int page = 1; page <= 3; ++page) {
        const QImage image(prefix + QStringLiteral("-%1.png").arg(page));
        ASSERT_FALSE(image.isNull());
        if (page == 1)
            testsupport::SavePng(
                image, QStringLiteral("chart_print_%1").arg(GetParam() ? "bitmap" : "vector"));
        // The pixel rows that hold the body's first and last printer rows, and those between.
        const int top = at.y() / 20, bottom = (at.y() + body.height() - 1) / 20 + 1;
        int coloured = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (Coloured(image.pixel(x, y))) {
                    (y >= top && y < bottom ? coloured : outside) += 1;
                    if (!(y >= top && y < bottom) && outside < 5)
                        std::printf("out %d %d top %d bottom %d\n", x, y, top, bottom);
                }
        EXPECT_GT(coloured, 1000) << page;
        EXPECT_EQ(outside, 0) << page;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, ChartPdfTest, ::testing::Values(false, true),
    [](const ::testing::TestParamInfo<bool> &mode) { return mode.param ? "Bitmap" : "Vector"; });

// In bitmap mode the strip's image is drawn at the screen's zoom, or smaller where the
// page has less room: never larger than its place on the page.
TEST(ChartStripImage, NeverLargerThanItsPlaceOnThePage)
{
    PinPageFont();
    TPlanChart plan;
    const TChartStrip quarter { plan.Jan1, plan.Jan1 + 90 };
    const QImage screen = StripImage(*plan.chart, quarter, 0, false);
    EXPECT_EQ(screen.size(), ChartSize(*plan.chart, 90, 0));
    EXPECT_EQ(screen.width(), 90 * 8);
    const QImage small = StripImage(*plan.chart, quarter, -50, false);
    EXPECT_EQ(small.size(), ChartSize(*plan.chart, 90, -50));
    EXPECT_EQ(small.width(), 90 * 4);
    // A short strip is as wide as its names and captions need.
    const QImage week = StripImage(*plan.chart, { plan.Jan1, plan.Jan1 + 7 }, 0, false);
    EXPECT_EQ(week.width(), TStripLegibility(*plan.chart).MinWidth(0));
    EXPECT_LT(small.height(), screen.height());
    EXPECT_EQ(LowestZoom(*plan.chart), -76); // (100 - 76) x 8 / 100 = 1.92: 1 pixel a day
}

// Ten years on one page: the image holds no more pixels than its place on the page
// at the screen's resolution, whatever the range (the PDF keeps it as it was drawn).
TEST_F(ChartPdfTest, ABitmapStripHasNoMorePixelsThanItsPlaceAtScreenResolution)
{
    job.NewJob();
    job.NewPage();
    TChartPrintOptions options;
    options.Start = plan.Jan1;
    options.End = plan.Jan1 + 3650;
    options.Days = 3650;
    options.AsBitmap = true;
    PrintChartStrips(job, *plan.chart, options);
    ASSERT_TRUE(job.PrintAll());
    const QSize place = PlaceStrip([&](int zoom) { return ChartSize(*plan.chart, 3650, zoom); },
        LowestZoom(*plan.chart), job.PrintableSize(true, true), 2 * job.TextHeight())
                            .Size;
    // "page num type width height ...", after two heading lines.
    const QStringList lines = RunTool(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf })
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QStringList fields = lines[2].simplified().split(QLatin1Char(' '));
    EXPECT_EQ(fields[3].toInt(), (place.width() * 96 + 599) / 600);
    EXPECT_EQ(fields[4].toInt(), (place.height() * 96 + 599) / 600);
    EXPECT_LT(fields[3].toInt(), 3650); // one pixel a day would be wider
}

// Nine days on three pages: strips of three days. However few days a strip holds,
// each position's name stands whole beside its row and the month caption ends
// inside the header above the days.
TEST_F(ChartPdfTest, ShortStripsKeepTheirNamesAndCaptionsWhole)
{
    job.NewJob();
    job.NewPage();
    TChartPrintOptions options;
    options.Start = plan.Jan1 + 7;
    options.End = plan.Jan1 + 16;
    options.Days = 9;
    options.Pages = 3;
    PrintChartStrips(job, *plan.chart, options);
    ASSERT_TRUE(job.PrintAll());
    ASSERT_EQ(PdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("3"));

    const std::vector<TWordBox> words = PdfWords(pdf);
    // Rendered at 30 dpi: 20 printer pixels a pixel.
    const QString prefix = folder.filePath(QStringLiteral("short"));
    RunTool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"), pdf, prefix });
    const QColor header = ToQColor(CaptionBackColor);
    for (int page = 1; page <= 3; ++page) {
        // "Machine 0" .. "Machine 7", not cut to an ellipsis.
        QStringList names;
        for (const TWordBox &name : words)
            for (const TWordBox &number : words)
                if (name.Page == page && number.Page == page && name.Text == QStringLiteral("Machine")
                    && std::abs(number.YMin - name.YMin) < 0.5 && number.XMin > name.XMax
                    && number.XMin - name.XMax < (name.YMax - name.YMin) / 2)
                    names << number.Text;
        names.sort();
        EXPECT_EQ(names, QStringList({ "0", "1", "2", "3", "4", "5", "6", "7" })) << page;

        const QImage image(prefix + QStringLiteral("-%1.png").arg(page));
        ASSERT_FALSE(image.isNull());
        int right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - header.red()) + std::abs(c.green() - header.green())
                        + std::abs(c.blue() - header.blue())
                    < 30)
                    right = std::max(right, x);
            }
        const auto month = FindWord(words, QStringLiteral("January"), page);
        ASSERT_TRUE(month) << page;
        ASSERT_GT(right, 0) << page;
        EXPECT_LT(month->XMax, (right + 1) * 72.0 / 30) << page;
    }
}

// A strip fills its page: the chart drawn reaches across the body's width or down
// its height below the strip's title, on portrait and landscape sheets alike, for
// a day, three days of nine, two months and a year.
TEST(ChartPdfPages, AStripFillsTheWidthOrTheHeightOfItsPage)
{
    PinPageFont();
    TPlanChart plan;
    QTemporaryDir folder;
    for (const QPageLayout::Orientation orientation : { QPageLayout::Portrait, QPageLayout::Landscape }) {
        for (const auto &[days, pages] :
            { std::pair(1, 1), std::pair(9, 3), std::pair(60, 1), std::pair(365, 1) }) {
            const QString pdf = folder.filePath(QStringLiteral("fill.pdf"));
            QPrinter qprinter { QPrinter::HighResolution };
            SetUpPdfPrinter(qprinter, pdf);
            qprinter.setPageOrientation(orientation);
            TQtPrinterDevice printer { qprinter };
            TPrintJob job { printer };
            job.NewJob();
            job.NewPage();
            TChartPrintOptions options;
            options.Start = plan.Jan1;
            options.End = plan.Jan1 + days;
            options.Days = days;
            options.Pages = pages;
            PrintChartStrips(job, *plan.chart, options);
            ASSERT_TRUE(job.PrintAll());
            const QSize body = job.PrintableSize(true, true);

            const QString prefix = folder.filePath(QStringLiteral("fill"));
            RunTool(QStringLiteral("pdftoppm"),
                { QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"),
                    QStringLiteral("-singlefile"), pdf, prefix });
            const QImage image(prefix + QStringLiteral(".png"));
            ASSERT_FALSE(image.isNull());
            QRect drawn;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 250)
                        drawn |= QRect(x, y, 1, 1);
            // 20 printer pixels a pixel; the strip's title is drawn in the body too. A
            // zoom step and the rendering's edges spare.
            const bool fillsWidth = drawn.width() * 20 >= body.width() * 95 / 100;
            const bool fillsHeight = drawn.height() * 20 >= body.height() * 95 / 100;
            EXPECT_TRUE(fillsWidth || fillsHeight)
                << days << " days, orientation " << int(orientation) << ": " << drawn.width() * 20 << " x "
                << drawn.height() * 20 << " in " << body.width() << " x " << body.height();
        }
    }
}

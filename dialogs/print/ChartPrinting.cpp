#include "dialogs/print/ChartPrinting.h"

#include "dialogs/print/PrintJob.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/gui/DrawingRoutines.h"
#include "document/program/Translation.h"
#include "platform/gui/Fonts.h"
#include "timechart/CaptionLayout.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPainter.h"
#include "timechart/PositionLabels.h"
#include "timechart/TimeChart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The font size the widths are measured at: large enough that they scale evenly.
constexpr int MeasuredPixels = 200;
// Room for rounding of the font's size and for its hinting at small sizes.
constexpr double WidthMargin = 1.05;

double WidestText(const QFontMetricsF &metrics, const QStringList &texts)
{
    double widest = 0;
    for (const QString &text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

QString StripTitle(const TChartStrip &strip)
{
    return Translate(QStringLiteral("KEZ (%s bis %s)"), { DateToStr(strip.From), DateToStr(strip.To) });
}

// Draws a strip's chart on a page at `place`, cut by the body.
void DrawStrip(TPrintJob &job, TTimeChart &chart, const TChartStrip &strip, const TStripPlacement &place,
    const TChartPrintOptions &options)
{
    QPainter &painter = job.GetCurrentCanvas()->Painter();
    const QPoint offset = job.PrintableOffset();
    const QSize body = job.PrintableSize(true, true);
    const QRect target(place.Chart + offset, place.Size);
    painter.save();
    painter.setClipRect(QRect(offset, body), Qt::IntersectClip);
    if (options.AsBitmap) {
        // At the screen's zoom, or at the strip's where that is smaller, and with no
        // more pixels than its place on the page has at the screen's resolution.
        const int ppi = std::max(1, job.PixelsPerInch().width());
        const QSize place96(
            (place.Size.width() * 96 + ppi - 1) / ppi, (place.Size.height() * 96 + ppi - 1) / ppi);
        const QImage image = StripImage(chart, strip, std::min(0, place.Zoom), options.ShowToday, place96);
        BltTBitmapAsDib(painter, target.x(), target.y(), image, target.width(), target.height());
    } else {
        // A page records in printer pixels; its fonts are sized by the resolution it
        // reports, which keeps the chart's text in step with its rows at every zoom.
        chart.Painter().DrawBitmap(TChartCanvas(painter, TCanvasKind::Other), strip.From, strip.To,
            target.x(), target.y(), target.width(), target.height(), options.ShowToday, place.Zoom,
            DevicePpi(*painter.device()));
    }
    painter.restore();
}

} // namespace

QSize ChartSize(const TTimeChart &chart, int days, int zoom)
{
    return { chart._TimeChartColWidth(zoom) * days,
        chart.TimeChartRowHeight(zoom) * chart.Doc().GetRowCount() + chart.TimeChartFullRowHeight(zoom) };
}

TStripLegibility::TStripLegibility(const TTimeChart &chart)
    : FChart(chart)
{
    QFont font(chart.TimeChartFontName());
    font.setPixelSize(MeasuredPixels);
    const QFontMetricsF metrics(font);
    FNamesPerPixel
        = WidestText(metrics, RowNames(chart.Doc().ChartRows().GlobalPositionFilter())) / MeasuredPixels;
    // The date header's rows: months with their year, weeks, and the day numbers
    // below them.
    QStringList captions;
    for (int month = 1; month <= 12; ++month)
        captions << CaptionText(
            { QStringLiteral("%mmm"), QStringLiteral("%yy") }, EncodeDate(2088, month, 1));
    captions << CaptionText(
        { Translate(QStringLiteral("cw")), QStringLiteral("%w") }, EncodeDate(2088, 12, 27));
    captions << QStringLiteral(" 88");
    FCaptionsPerPixel
        = (WidestText(metrics, captions) + metrics.horizontalAdvance(QLatin1Char('N'))) / MeasuredPixels;
}

int TStripLegibility::MinWidth(int zoom) const
{
    // The font's pixel size at the zoom before its points are cut to whole ones.
    const double pixels
        = double(std::max(0, FChart.GetZoom() + zoom)) * FChart.TimeChartFontSize() * 96 / (100.0 * 72);
    const double label = FNamesPerPixel * pixels * WidthMargin + 8; // the label's frame
    const double captions = FCaptionsPerPixel * pixels * WidthMargin;
    return int(std::ceil(std::max(6 * label, label + captions)));
}

QSize StripSize(const TTimeChart &chart, const TStripLegibility &legibility, int days, int zoom)
{
    const QSize size = ChartSize(chart, days, zoom);
    return { std::max(size.width(), legibility.MinWidth(zoom)), size.height() };
}

int LowestZoom(const TTimeChart &chart)
{
    int zoom = 0;
    // Above -GetZoom the zoom stays positive, where row heights shrink with it.
    while (chart._TimeChartColWidth(zoom) > 1 && chart.GetZoom() + zoom > 1)
        --zoom;
    return zoom;
}

QImage StripImage(TTimeChart &chart, const TChartStrip &strip, int zoom, bool showToday, QSize largest)
{
    const QSize size = StripSize(chart, TStripLegibility(chart), int(strip.To - strip.From), zoom);
    const QSize shown = largest.isValid() ? size.boundedTo(largest.expandedTo(QSize(1, 1))) : size;
    QImage image(shown, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 pixels per inch, the screen's
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(double(shown.width()) / size.width(), double(shown.height()) / size.height());
    chart.Painter().DrawBitmap(TChartCanvas(painter, TCanvasKind::Other), strip.From, strip.To, 0, 0,
        size.width(), size.height(), showToday, zoom, 0);
    return image;
}

void PrintChartStrips(TPrintJob &job, TTimeChart &chart, const TChartPrintOptions &options)
{
    const std::vector<TChartStrip> strips
        = StripDates(options.Start, options.End, options.Days, options.Pages);
    if (strips.empty() || !job.GetCurrentCanvas())
        return;
    const int days = int(strips.front().To - strips.front().From);
    const TStripLegibility legibility(chart);
    const TStripSize sizeAt
        = [&chart, &legibility, days](int zoom) { return StripSize(chart, legibility, days, zoom); };
    const TStripPlacement place
        = PlaceStrip(sizeAt, LowestZoom(chart), job.PrintableSize(true, true), 2 * job.TextHeight());
    for (const TChartStrip &strip : strips) {
        if (strip.From != strips.front().From)
            job.NewPage();
        job.TextOut(place.Title.x(), place.Title.y(), TPrintJob::AlignCenter, StripTitle(strip));
        DrawStrip(job, chart, strip, place, options);
    }
}

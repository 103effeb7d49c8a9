#include "dialogs/print/ChartPrinting.h"

#include "dialogs/print/PrintJob.h"
#include "document/Document.h"
#include "document/gui/DrawingRoutines.h"
#include "document/program/Translation.h"
#include "platform/gui/Fonts.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"

#include <QPainter>
#include <algorithm>

namespace {

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
    const QSize size = ChartSize(chart, int(strip.To - strip.From), zoom);
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
    const TStripSize sizeAt = [&chart, days](int zoom) { return ChartSize(chart, days, zoom); };
    const TStripPlacement place
        = PlaceStrip(sizeAt, LowestZoom(chart), job.PrintableSize(true, true), 2 * job.TextHeight());
    for (const TChartStrip &strip : strips) {
        if (strip.From != strips.front().From)
            job.NewPage();
        job.TextOut(place.Title.x(), place.Title.y(), TPrintJob::AlignCenter, StripTitle(strip));
        DrawStrip(job, chart, strip, place, options);
    }
}

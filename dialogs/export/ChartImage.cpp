#include "dialogs/export/ChartImage.h"

#include "dialogs/print/ChartPrinting.h"
#include "platform/gui/Fonts.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

TChartImage::TChartImage(TTimeChart &chart, TDateTime start, TDateTime end, const QString &stamp)
    : FChart(chart)
    , FStart(start)
    , FDays(int(std::clamp(std::trunc(end - start), 0.0, 1e6)))
    , FStamp(stamp)
    , FSize(ChartSize(chart, FDays, 0))
{ }

void TChartImage::PaintBand(QPainter &painter, const QRect &band) const
{
    if (FSize.isEmpty())
        return;
    FChart.Painter().DrawBitmap(TChartCanvas(painter, TCanvasKind::Other), FStart, FStart + FDays, 0, 0,
        FSize.width(), FSize.height(), false, 0, 0);
    if (FStamp.isEmpty())
        return;
    // In the chart's font, on white, its right and bottom edges on the picture's.
    painter.save();
    const QFont font = MakeFont(FChart.TimeChartFontName(), FChart.GetTimeChartFontSize(), 96);
    const QFontMetrics metrics(font);
    const QSize extent(metrics.horizontalAdvance(FStamp), metrics.height());
    const QRect box(QPoint(FSize.width() - extent.width(), FSize.height() - extent.height()), extent);
    if (box.intersects(band)) {
        painter.setFont(font);
        painter.fillRect(box, Qt::white);
        painter.setPen(Qt::black);
        TextOutTopLeft(painter, box.left(), box.top(), FStamp);
    }
    painter.restore();
}

QString ImageStamp(const QString &fileName, TDateTime when)
{
    return fileName + QStringLiteral(" (") + DateTimeToStr(when) + QLatin1Char(')');
}

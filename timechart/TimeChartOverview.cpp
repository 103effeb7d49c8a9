// The overview: the whole range and every row of the group in miniature, with the
// slider that marks what the chart shows; dragging the slider or clicking beside
// it scrolls the chart.
#include "components/gui/AlphaBlend.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "resources/Cursors.h"
#include "timechart/BarPainter.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPainter.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartPainting.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr TColor SliderTint = 0x978762;
constexpr int SliderTintAlpha = 100;
constexpr TColor SliderFrame = 0x706449;
constexpr int DotsPerMeterAt96 = 3780;

bool Contains(const TRect &r, QPoint p)
{
    return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}

} // namespace

void TTimeChart::InvalidateSmallTimeChart(const QRect &area)
{
    const QRect all = FSmallTimeChart->rect();
    const QRect grown = FSmallDirty.Add(area.isEmpty() ? all : area.intersected(all));
    // The whole drawing goes to the panel whole even where it was to be made
    // again already: a paint while the range was not known left the drawing to
    // be made and the panel plain.
    if (area.isEmpty())
        FSmallTimeChart->Invalidate();
    else if (!grown.isEmpty())
        FSmallTimeChart->Invalidate(grown);
}

void TTimeChart::SmallTimeChartPaint(QPainter &canvas, const QRegion &region)
{
    const QSize size = FSmallTimeChart->size();
    if (FSmallImage.size() != size) {
        FSmallImage = QImage(size, QImage::Format_ARGB32);
        // Plain until drawn: a large plan's overview comes in bands.
        FSmallImage.fill(ToQColor(FSmallTimeChart->Color()));
        FSmallImage.setDotsPerMeterX(DotsPerMeterAt96);
        FSmallImage.setDotsPerMeterY(DotsPerMeterAt96);
        FSmallDirty.Clear();
        FSmallDirty.Add(FSmallImage.rect());
    }
    FPainting->Bars.smallredrawcount = 0;
    if (IsPreparing()) {
        FSmallDirty.Add(FSmallImage.rect()); // drawn once the range is known
        FSmallPiecesLeft = false;
        return;
    }
    if (!FSmallDirty.IsEmpty()) {
        QRegion piece = NextSmallPiece();
        // Bands are drawn in paints of their own: the paint that found the
        // drawing out of date (with the chart's, after an open) stays short.
        if (piece != FSmallDirty.Region() && !FSmallPieceDue)
            piece = QRegion();
        FSmallPieceDue = false;
        if (!piece.isEmpty()) {
            QPainter image(&FSmallImage);
            image.setClipRegion(piece);
            for (const QRect &r : piece)
                image.fillRect(r, ToQColor(FSmallTimeChart->Color()));
            // More rows than pixels: a pixel a row, squeezed into the overview.
            const int rows = std::max(1, FDoc.GetRowCount());
            if (size.height() < rows)
                image.scale(1.0, double(size.height()) / rows);
            const TOverviewBoxesPaint direct(BarPainter().OverviewBoxes(), image, FSmallImage, piece);
            Painter().DrawTimeChart(TChartCanvas(image, TCanvasKind::SmallTimeChart), true, FMinDate,
                FMaxDate, 0, size.width(), 0, 0, true, 0, 0, true);
            FSmallDirty.Subtract(piece);
        }
        FSmallPiecesLeft = !FSmallDirty.IsEmpty();
        if (FSmallPiecesLeft)
            FSmallPieceTimer.start();
    }
    // The drawing is opaque: laid over, it replaces what was there.
    for (const QRect &r : region)
        canvas.drawImage(r, FSmallImage, r);

    // The part the chart shows, tinted and framed.
    const TRect slider = SliderRect();
    const QRect shown = ToQRect(slider).intersected(FSmallImage.rect());
    if (shown.isEmpty())
        return;
    if (FSliderTint.width() < shown.width() || FSliderTint.height() < shown.height()) {
        FSliderTint = QImage(shown.size().expandedTo(FSliderTint.size()), QImage::Format_ARGB32);
        FSliderTint.fill(ToQColor(SliderTint));
    }
    const TRect tint = Rect(0, 0, shown.width(), shown.height());
    // Blended where the overview was just copied to: in the buffer itself when the
    // canvas is an image, else on a copy.
    const TChartCanvas target(canvas, TCanvasKind::SmallTimeChart);
    if (QImage *pixels = target.Pixels(); pixels && canvas.transform().isIdentity()) {
        for (const QRect &r : region) { // only what this paint copied afresh
            const QRect part = shown.intersected(r);
            if (!part.isEmpty())
                AlphaBlend(FSliderTint, *pixels, Rect(0, 0, part.width(), part.height()), part.topLeft(),
                    bmConstantAlpha, SliderTintAlpha, 0);
        }
    } else {
        QImage under = FSmallImage.copy(shown);
        AlphaBlend(FSliderTint, under, tint, QPoint(0, 0), bmConstantAlpha, SliderTintAlpha, 0);
        canvas.drawImage(shown.topLeft(), under);
    }
    // The frame as four lines: a stroked rectangle this large costs far more.
    const QColor frame = ToQColor(SliderFrame);
    canvas.fillRect(slider.Left, slider.Top, slider.Width(), 1, frame);
    canvas.fillRect(slider.Left, slider.Bottom - 1, slider.Width(), 1, frame);
    canvas.fillRect(slider.Left, slider.Top, 1, slider.Height(), frame);
    canvas.fillRect(slider.Right - 1, slider.Top, 1, slider.Height(), frame);
}

QRegion TTimeChart::NextSmallPiece() const
{
    const QRegion &dirty = FSmallDirty.Region();
    const qint64 rows = qint64(FDoc.GetTable(tbTable).RowCount()) + FDoc.GetTable(tbExclude).RowCount();
    const int height = FSmallImage.height();
    if (rows <= FSmallRowsPerPiece || height <= 1)
        return dirty;
    // Bands of equal height: the rows are spread over the positions, and so
    // over the overview's height, evenly enough.
    const qint64 pieces = (rows + FSmallRowsPerPiece - 1) / FSmallRowsPerPiece;
    const int band = int(std::max<qint64>(1, (height + pieces - 1) / pieces));
    const QRect box = dirty.boundingRect();
    return dirty.intersected(QRect(box.left(), box.top(), box.width(), band));
}

void TTimeChart::SmallPieceTimerTimer()
{
    // A hidden overview is drawn whole when it shows again.
    if (!FSmallTimeChart->isVisible() || FSmallDirty.IsEmpty()) {
        FSmallPiecesLeft = false;
        return;
    }
    FSmallPieceDue = true;
    FSmallTimeChart->Invalidate(FSmallDirty.Region().boundingRect());
}

int TTimeChart::SmallTimeChartRowPixels() const
{
    return std::max(1, FSmallTimeChart->height() / std::max(1, FDoc.GetRowCount()));
}

QRect TTimeChart::SmallTimeChartArea(const TRect &rows) const
{
    const qint64 count = std::max(1, FDoc.GetRowCount());
    const qint64 height = FSmallTimeChart->height();
    QRect area = ToQRect(rows);
    if (height < count) {
        area.setTop(int(rows.Top * height / count));
        area.setBottom(int((rows.Bottom * height + count - 1) / count) - 1);
    }
    return area;
}

void TTimeChart::SliderDestination(QPoint point, TDateTime &start, int &top) const
{
    const TRect slider = SliderRect();
    const int width = std::max(1, FSmallTimeChart->width());
    const int height = std::max(1, FSmallTimeChart->height());
    start = FMinDate + (FMaxDate - FMinDate) * (point.x() - slider.Width() / 2) / width;
    // Rows times pixels times the pointer's y can pass 32 bits on large plans.
    const qint64 rows = qint64(TimeChartRowHeight(0)) * FDoc.GetRowCount();
    const qint64 y = qint64(point.y()) - slider.Height() / 2;
    top = int(std::clamp<qint64>(rows * y / height, INT_MIN, INT_MAX));
}

void TTimeChart::SmallTimechartMouseDown(QMouseEvent &event)
{
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    const QPoint point = event.position().toPoint();
    const TRect slider = SliderRect();
    FSliderGrabbed = false;
    if (Contains(slider, point)) {
        if (event.button() == Qt::LeftButton) {
            FSliderGrabbed = true;
            TScreenCursor::Set(crHandClosed);
        }
        return;
    }
    TDateTime start;
    int top;
    SliderDestination(point, start, top);
    SetTimeChartDestination(start, top, false);
}

void TTimeChart::SmallTimeChartMouseMove(QMouseEvent &event)
{
    const QPoint point = event.position().toPoint();
    if ((event.buttons() & Qt::LeftButton) && FSliderGrabbed) {
        TDateTime start;
        int top;
        SliderDestination(point, start, top);
        SetTimeChartDestination(start, top, false);
    }
    FSmallTimeChart->setCursor(MakeCursor(Contains(SliderRect(), point) ? crHandOpen : crDefault));
}

void TTimeChart::SmallTimeChartMouseUp(QMouseEvent &)
{
    FSliderGrabbed = false;
    TScreenCursor::Set(crDefault);
}

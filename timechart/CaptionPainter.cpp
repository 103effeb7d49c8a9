#include "timechart/CaptionPainter.h"

#include "document/program/Translation.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/TextDraw.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"

#include <QFontMetrics>
#include <QPainter>

void DrawCaption(const TChartCanvas &canvas, const IChartPaintGeometry &geometry, double viewStart,
    double viewEnd, int row, int width, const QStringList &pieces, TCaptionLabel unit, TColor backColour,
    TColor textColour, TColor lineColour, int x, int y, int extraZoom, int pixelsPerInch, bool screen,
    int visibleLeft)
{
    if (viewEnd == viewStart)
        return;
    QPainter &p = canvas.Painter();
    constexpr int penWidth = 1;
    int h;
    QFont font;
    if (canvas.Kind() == TCanvasKind::SmallTimeChartCaption) {
        h = p.device() ? p.device()->height() : 0;
        font = QFont(geometry.TimeChartFontName());
        font.setPixelSize(std::max(1, h - 3));
    } else {
        h = geometry.TimeChartFullRowHeight(extraZoom) / 3;
        font = MakeFont(geometry.TimeChartFontName(), geometry._TimeChartFontSize(extraZoom, pixelsPerInch),
            canvas.Ppi());
    }
    if (!screen)
        DisableFontSmoothing(font);
    const TRect band = Rect(x, row * h + y, x + width, (row + 1) * h + y);
    // A band of a picture painted in pieces may not reach the header at all.
    if (!canvas.RectVisible(band))
        return;
    p.fillRect(ToQRect(band), ToQColor(backColour));
    p.fillRect(QRect(band.Left, band.Bottom - penWidth, band.Width(), penWidth), ToQColor(clWhite));

    p.setFont(font);
    p.setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font, p.device());
    const auto cells = LayoutCaptionRow(
        viewStart, viewEnd, width, band.Top, band.Bottom, pieces, unit, penWidth,
        [&](const QString &text) { return metrics.horizontalAdvance(text); }, visibleLeft);
    const QColor line = ToQColor(lineColour);
    for (const TCaptionCell &cell : cells) {
        const int separatorTop = band.Top + 2 * penWidth;
        const int separatorBottom = band.Bottom - 3 * penWidth; // exclusive
        if (separatorBottom > separatorTop)
            p.fillRect(QRect(x + cell.X1, separatorTop, penWidth, separatorBottom - separatorTop), line);
        p.setPen(ToQColor(textColour));
        DrawTextEx(p, cell.Text, OffsetRect(cell.TextRect, x, 0),
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (!cell.DayName.isEmpty())
            DrawTextEx(p, cell.DayName, OffsetRect(cell.DayNameRect, x, 0),
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void DrawTimeChartCaptions(const TChartCanvas &canvas, const IChartPaintGeometry &geometry, double viewStart,
    double viewEnd, int width, int x, int y, int extraZoom, int pixelsPerInch, bool screen,
    TCaptionLabel thirdRow, int visibleLeft)
{
    const QStringList months = { QStringLiteral("%mmm"), QStringLiteral("%yy") };
    const QStringList weeks = { Translate(QStringLiteral("cw")), QStringLiteral("%w") };
    const QStringList days = { QStringLiteral("%d+") };
    DrawCaption(canvas, geometry, viewStart, viewEnd, 0, width, months, clMonth, CaptionBackColor,
        CaptionTextColor, CaptionLineColor, x, y, extraZoom, pixelsPerInch, screen, visibleLeft);
    DrawCaption(canvas, geometry, viewStart, viewEnd, 1, width, weeks, clWeek, CaptionWeekBackColor,
        CaptionTextColor, CaptionLineColor, x, y, extraZoom, pixelsPerInch, screen, visibleLeft);
    DrawCaption(canvas, geometry, viewStart, viewEnd, 2, width, days, thirdRow, CaptionBackColor,
        CaptionTextColor, CaptionLineColor, x, y, extraZoom, pixelsPerInch, screen, visibleLeft);
}

void DrawSmallTimeChartCaption(const TChartCanvas &canvas, const IChartPaintGeometry &geometry,
    double viewStart, double viewEnd, int width)
{
    DrawCaption(canvas, geometry, viewStart, viewEnd, 0, width,
        { QStringLiteral("%mmm"), QStringLiteral("%yy") }, clMonth, SmallCaptionBackColor,
        SmallCaptionTextColor, SmallCaptionLineColor, 0, 0, 0, 0, true);
}

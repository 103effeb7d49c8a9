#include "dialogs/stats/StepAreaChart.h"

#include "platform/gui/Color.h"
#include "platform/gui/Fonts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int Margin = 8;
constexpr int TickLength = 4;
constexpr TColor ChartBack = clWhite;
constexpr TColor GridColor = 0xE0E0E0;
constexpr TColor FrameColor = 0x808080;
constexpr TColor AxisColor = clBlack;
constexpr TColor AreaColor = clRed;

int Round(double value)
{
    return int(std::nearbyint(value));
}

bool AllWhole(const std::vector<TChartPoint> &points)
{
    return std::all_of(
        points.begin(), points.end(), [](const TChartPoint &p) { return p.value == std::trunc(p.value); });
}

} // namespace

TStepAreaLayout::TStepAreaLayout(const TRect &client, const QFontMetrics &metrics,
    const std::vector<TChartPoint> &points, TDateTime from, TDateTime to)
    : FFrom(from)
    , FTo(to > from ? to : from + 1)
    , FTitleTop(client.Top + Margin)
{
    double lowest = 0, highest = 0;
    for (const TChartPoint &p : points) {
        lowest = std::min(lowest, p.value);
        highest = std::max(highest, p.value);
    }
    FValues = ValueAxisFor(lowest, highest, AllWhole(points));
    int labelWidth = 0;
    for (double v = FValues.min; v <= FValues.max + FValues.step / 2; v += FValues.step)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(ValueLabel(v, FValues.step)));
    const int dateWidth = metrics.horizontalAdvance(DateLabel(FFrom, false));
    const int dateTimeWidth = metrics.horizontalAdvance(DateLabel(FFrom, true));

    // The first and last date labels are centred on the plot's edges.
    FPlot.Left = client.Left + std::max(Margin + labelWidth + TickLength + 2, dateWidth / 2 + 2);
    FPlot.Top = FTitleTop + 2 * metrics.height() + Margin;
    FPlot.Right = client.Right - std::max(Margin, dateTimeWidth / 2 + 2);
    FPlot.Bottom = client.Bottom - Margin - metrics.height() - TickLength - 2;
    FDates = DateTicksFor(FFrom, FTo, std::max(0, FPlot.Width()), dateWidth, dateTimeWidth);
}

double TStepAreaLayout::X(TDateTime date) const
{
    return FPlot.Left + (date - FFrom) / (FTo - FFrom) * FPlot.Width();
}

double TStepAreaLayout::Y(double value) const
{
    return FPlot.Bottom - (value - FValues.min) / (FValues.max - FValues.min) * FPlot.Height();
}

StepAreaChart::StepAreaChart(QWidget *parent)
    : TCanvasPanel(parent)
{
    SetColor(ChartBack);
    SetOnPaint([this](TCanvasPanel &sender, QPainter &canvas, const QRegion &) {
        Paint(canvas, sender.GetClientRect());
    });
}

void StepAreaChart::SetTitle(const QString &line1, const QString &line2)
{
    FTitle1 = line1;
    FTitle2 = line2;
    update();
}

void StepAreaChart::SetCurve(std::vector<TChartPoint> points, TDateTime from, TDateTime to)
{
    FPoints = std::move(points);
    FFrom = from;
    FTo = to;
    update();
}

TStepAreaLayout StepAreaChart::Layout() const
{
    return TStepAreaLayout(GetClientRect(), QFontMetrics(font(), this), FPoints, FFrom, FTo);
}

void StepAreaChart::Paint(QPainter &painter, const TRect &client) const
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const TStepAreaLayout layout(client, metrics, FPoints, FFrom, FTo);
    const TRect &plot = layout.Plot();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(ToQRect(client), ToQColor(ChartBack));

    painter.setPen(ToQColor(clBlack));
    const QRect titleLine(client.Left, layout.TitleTop(), client.Width(), metrics.height());
    painter.drawText(titleLine, Qt::AlignHCenter | Qt::AlignTop, FTitle1);
    painter.drawText(titleLine.translated(0, metrics.height()), Qt::AlignHCenter | Qt::AlignTop, FTitle2);
    if (plot.IsEmpty()) {
        painter.restore();
        return;
    }

    // Grid lines and labels at the value steps.
    const TValueAxis &values = layout.Values();
    for (double v = values.min; v <= values.max + values.step / 2; v += values.step) {
        const int y = Round(layout.Y(v));
        painter.setPen(ToQColor(GridColor));
        painter.drawLine(plot.Left, y, plot.Right - 1, y);
        painter.setPen(ToQColor(AxisColor));
        painter.drawLine(plot.Left - TickLength, y, plot.Left - 1, y);
        const QRect label(client.Left, y - metrics.height() / 2, plot.Left - TickLength - 2 - client.Left,
            metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignTop, ValueLabel(v, values.step));
    }
    // ... and at the date ticks.
    const TDateTicks &dates = layout.Dates();
    for (const TDateTime date : dates.dates) {
        const int x = Round(layout.X(date));
        painter.setPen(ToQColor(GridColor));
        painter.drawLine(x, plot.Top, x, plot.Bottom - 1);
        painter.setPen(ToQColor(AxisColor));
        painter.drawLine(x, plot.Bottom, x, plot.Bottom + TickLength - 1);
        const QString text = DateLabel(date, dates.withTime);
        const int width = metrics.horizontalAdvance(text);
        const int left = std::clamp(x - width / 2, client.Left, client.Right - width);
        TextOutTopLeft(painter, left, plot.Bottom + TickLength + 2, text);
    }

    // The area: each value up to the next point, from zero.
    painter.setClipRect(ToQRect(plot));
    const int zero = Round(layout.Y(0));
    for (std::size_t i = 0; i < FPoints.size(); ++i) {
        const int x0 = Round(layout.X(FPoints[i].date));
        const int x1 = Round(layout.X(i + 1 < FPoints.size() ? FPoints[i + 1].date : FTo));
        const int y = Round(layout.Y(FPoints[i].value));
        painter.fillRect(QRect(x0, std::min(y, zero), x1 - x0, std::abs(y - zero)), ToQColor(AreaColor));
    }
    painter.setClipping(false);

    painter.setPen(ToQColor(FrameColor));
    painter.drawLine(plot.Left, plot.Top, plot.Right - 1, plot.Top);
    painter.drawLine(plot.Right - 1, plot.Top, plot.Right - 1, plot.Bottom - 1);
    painter.setPen(ToQColor(AxisColor));
    painter.drawLine(plot.Left - 1, plot.Top, plot.Left - 1, plot.Bottom);
    painter.drawLine(plot.Left - 1, plot.Bottom, plot.Right - 1, plot.Bottom);
    painter.restore();
}

#include "timechart/ChartPainter.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/DateList.h"
#include "document/calendar/DateUtils.h"
#include "document/program/Settings.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "platform/gui/Edges.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/JpegReader.h"
#include "platform/gui/TextDraw.h"
#include "timechart/BarIndex.h"
#include "timechart/BarPainter.h"
#include "timechart/CaptionLayout.h"
#include "timechart/CaptionPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ChartShapes.h"
#include "timechart/ColorRoutines.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

namespace {

// How far outside the canvas an arrow drawn apart is cut: beyond the reach of
// the segments its curves flatten into.
constexpr int kArrowCutMargin = 256;

int Round(double value)
{
    return int(std::nearbyint(value));
}

// Fills what the paint can reach of `r`: a narrow repaint fills little.
void Fill(const TChartCanvas &canvas, const TRect &r, const QColor &color)
{
    const TRect reached = IntersectRect(r, canvas.VisibleBounds());
    if (!reached.IsEmpty())
        canvas.Painter().fillRect(ToQRect(reached), color);
}

// A vertical line one pixel wide from top to bottom (both included).
void VLine(const TChartCanvas &canvas, int x, int top, int bottom, const QColor &color)
{
    Fill(canvas, Rect(x, top, x + 1, bottom + 1), color);
}

} // namespace

// One view of the chart and the part of it the canvas can show.
struct TChartPainter::TView {
    double Start = 0;
    double End = 0;
    int Top = 0;
    int RowHeight = 0;
    int Width = 0;
    int X = 0;
    int Y = 0;
    int RowCount = 0;
    // Rows whose band, and dates whose column, meet the visible part of the canvas.
    int FirstRow = 0;
    int LastRow = -1;
    double FirstDate = 0;
    double LastDate = 0;

    TView(const TChartCanvas &canvas, const Document &doc, double start, double end, int top, int rowHeight,
        int width, int x, int y)
        : Start(start)
        , End(end)
        , Top(top)
        , RowHeight(rowHeight)
        , Width(width)
        , X(x)
        , Y(y)
        , RowCount(doc.GetRowCount())
    {
        const TRect &visible = canvas.VisibleBounds();
        if (rowHeight > 0 && !visible.IsEmpty()) {
            FirstRow = std::max(0, (visible.Top - y + top) / rowHeight - 1);
            LastRow = std::min(RowCount - 1, (visible.Bottom - y + top) / rowHeight + 1);
        }
        if (end > start && width > 0) {
            FirstDate = start + (visible.Left - x) / F();
            LastDate = start + (visible.Right - x) / F();
        }
    }

    double F() const { return Width / (End - Start); }
    int DateX(double date) const { return X + Round((date - Start) * F()); }
    int RowTop(int row) const { return row * RowHeight - Top + Y; }
};

TChartPainter::TChartPainter(
    Document &doc, const IChartPaintGeometry &geometry, const TProgramSettings &settings, TBarPainter &bars)
    : FDoc(doc)
    , FGeometry(geometry)
    , FSettings(settings)
    , FBars(bars)
{ }

void TChartPainter::DrawTimeChart(const TChartCanvas &canvas, bool small, double viewStart, double viewEnd,
    int top, int width, int x, int y, bool showToday, int extraZoom, int pixelsPerInch, bool screen)
{
    if (viewEnd <= viewStart || width <= 0)
        return;
    QPainter &p = canvas.Painter();
    const int fontSize = FGeometry._TimeChartFontSize(extraZoom, pixelsPerInch);
    p.setFont(FFont.Font(FGeometry.TimeChartFontName(), fontSize, canvas.Ppi(), screen));
    const int rowCount = std::max(1, FDoc.GetRowCount());
    // The overview's rows are at least a pixel high: more of them than its pixels
    // come squeezed by the painter's scale.
    const int rowHeight = small ? std::max(1, (p.device() ? p.device()->height() : 0) / rowCount)
                                : FGeometry.TimeChartRowHeight(extraZoom);
    const TView view(canvas, FDoc, viewStart, viewEnd, top, rowHeight, width, x, y);

    DrawBackgnd(canvas, viewStart, viewEnd, top, rowHeight, width, x, y);
    if (!small) {
        DrawWeekInfo(canvas, viewStart, viewEnd, top, rowHeight, width, x, y);
        DrawAutoExcludes(canvas, viewStart, viewEnd, top, rowHeight, width, x, y, extraZoom);
        DrawMonthDivider(canvas, viewStart, viewEnd, rowHeight, width, x, y);
        if (FSettings.DrawLines)
            DrawRowLines(canvas, view);
    }
    // A deadline arrow reaches past its row and its days by its curve and head.
    const int arrowReach = small ? 0 : int(std::ceil(60 * FGeometry.GetZoom() / 100.0 * canvas.Ppi() / 96));
    std::vector<TBarRow> rows[kTableCount] = { VisibleRows(tbTable, view, arrowReach),
        small ? std::vector<TBarRow>() : VisibleRows(tbExclude, view, 0) };
    DrawBars(canvas, view, small, fontSize, screen, rows);
    if (showToday)
        DrawToday(canvas, view);
    if (small)
        return;
    DrawArrows(canvas, view, rows[tbTable]);
    for (TWhichTable table : { tbTable, tbExclude })
        for (const TBarRow &row : rows[table])
            if (row.selected && row.bar)
                DrawItemInfo(canvas, table, row.node, viewStart, viewEnd, top, rowHeight, width, x, y);
}

std::vector<TChartPainter::TBarRow> TChartPainter::VisibleRows(
    TWhichTable table, const TView &view, int arrowReach)
{
    std::vector<TBarRow> result;
    if (view.RowHeight <= 0 || view.End <= view.Start)
        return result;
    const DocumentTable &rows = FDoc.GetTable(table);
    const double reachDays = arrowReach / view.F();
    // The rows of the days less those of chart rows out of reach, then in tree
    // order: a band of a tall printout sorts only its own.
    const double first = view.FirstDate - 1 - reachDays, last = view.LastDate + 1 + reachDays;
    // A view of every day and most chart rows (the overview, a chart zoomed out
    // whole) takes the valid rows as the table holds them, in tree order: sorting
    // them all costs more than the rest of the paint. A view of a few rows of a
    // plan whose days it all shows visits only those rows' positions.
    const int shownRows = view.LastRow - view.FirstRow + 1;
    const bool whole = 2 * shownRows >= view.RowCount && FBarIndex.CoversAll(FDoc, table, first, last);
    std::vector<TNodeData *> kept;
    if (whole) {
        kept.reserve(rows.Rows().size());
        for (TNodeData *node : rows.Rows())
            if (node->nodeValid)
                kept.push_back(node);
    } else {
        // The rows of the chart rows in view, by their positions as the index holds
        // them; a task's deadline arrow bends over as many rows as half its days
        // (at most the indexed span) reach, an absent day covers its position's rows.
        const TChartRows &chartRows = FDoc.ChartRows();
        // Only the positions of the chart rows in reach are visited at all: the
        // farthest an indexed task's arrow bends, or an absent day's rows.
        const int maxReach
            = int((TBarIndex::MaxIndexedSpan * view.F() / 2 + arrowReach) / view.RowHeight) + 1;
        std::vector<std::int32_t> positions;
        const int positionCount = int(chartRows.PositionInPositionGroup().size());
        for (int position = 0; position < positionCount; ++position) {
            if (table == tbExclude) {
                const TInterval span = chartRows.MultipleRowSpan(tbExclude, position);
                if (span.high >= view.FirstRow && span.low <= view.LastRow)
                    positions.push_back(position);
                continue;
            }
            const int row = chartRows.RowOfPosition(position);
            if (row >= 0 && row >= view.FirstRow - maxReach && row <= view.LastRow + maxReach)
                positions.push_back(position);
        }
        kept = FBarIndex.Candidates(
            FDoc, table, first, last, positions, [&](std::int32_t position, double low, double high) {
                const int row = chartRows.RowOfPosition(position);
                if (row == kAllPositions)
                    return true;
                if (row < 0)
                    return false;
                if (table == tbExclude) {
                    const TInterval span = chartRows.MultipleRowSpan(tbExclude, position);
                    return span.high >= view.FirstRow && span.low <= view.LastRow;
                }
                const int reach = int(((high - low) * view.F() / 2 + arrowReach) / view.RowHeight) + 1;
                return row >= view.FirstRow - reach && row <= view.LastRow + reach;
            });
    }
    auto inRows = [&](const TNodeData *node) {
        const int row = FDoc.GetPositionOf(node);
        return row == kAllPositions || (row >= view.FirstRow && row <= view.LastRow);
    };
    // Outside the rows, a deadline arrow may still bend into them.
    auto arrowReaches = [&](const TNodeData *node) {
        const int row = FDoc.GetPositionOf(node);
        if (row < 0 || node->nodeTermin == 0 || !(node->nodeEnd > node->nodeTermin || rows.IsSelected(node)))
            return false;
        const double bend = std::abs(node->nodeTermin - node->nodeEnd) * view.F() / 2 + arrowReach;
        const int rowsReached = int(bend / view.RowHeight) + 1;
        return row >= view.FirstRow - rowsReached && row <= view.LastRow + rowsReached;
    };
    // An absent row covers every chart row of its position (all of them for one
    // of all positions): only those meeting the rows in view are drawn, so that a
    // paint of a few rows does not visit every absent day of the days in view.
    auto absentInRows = [&](const TNodeData *node) {
        const int row = FDoc.GetPositionOf(node);
        if (row == kAllPositions)
            return true;
        if (row < 0)
            return false;
        const TInterval span = FDoc.GetMultipleRowSpan(tbExclude, node->nodePosition);
        return span.high >= view.FirstRow && span.low <= view.LastRow;
    };
    // One look at each row's place: whether it is drawn, and whether its bar is.
    result.reserve(kept.size());
    for (TNodeData *node : kept) {
        bool bar = true;
        if (table == tbTable) {
            bar = inRows(node);
            if (!bar && !arrowReaches(node))
                continue;
        } else if (!absentInRows(node)) {
            continue;
        }
        result.push_back({ node, rows.IsHidden(node), rows.IsSelected(node), bar });
    }
    if (!whole) {
        // Each row's place looked up once: a look-up walks the tree's nodes, and
        // a sort of a band of a large plan's overview would make it per compare.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> order(result.size());
        for (std::size_t i = 0; i < result.size(); ++i)
            order[i] = { result[i].node->VNode->Index(), std::uint32_t(i) };
        std::sort(order.begin(), order.end());
        std::vector<TBarRow> sorted;
        sorted.reserve(result.size());
        for (const auto &[index, at] : order)
            sorted.push_back(result[at]);
        result = std::move(sorted);
    }
    return result;
}

void TChartPainter::DrawBars(const TChartCanvas &canvas, const TView &view, bool small, int fontSize,
    bool screen, std::vector<TBarRow> (&rows)[kTableCount])
{
    const TWhichTable active = FDoc.GetActiveTable();
    const TWhichTable inactive = active == tbTable ? tbExclude : tbTable;
    const QString fontName = FGeometry.TimeChartFontName();
    for (TWhichTable table : { inactive, active }) {
        auto draw = [&](const TBarRow &row) {
            FBars.DrawItem(canvas, small, table, row.node, view.Start, view.End, view.Top, view.RowHeight,
                view.Width, FDoc.RowSet(), view.X, view.Y, fontName, fontSize, screen);
        };
        // The overview's boxes are opaque and the same on every pass: a row drawn
        // again by a later pass need not be drawn by an earlier one.
        for (const TBarRow &row : rows[table])
            if (row.bar && (!row.hidden || row.selected) && !(small && row.selected))
                draw(row);
        for (const TBarRow &row : rows[table])
            if (row.bar && row.hidden && !(small && row.selected))
                draw(row);
        for (const TBarRow &row : rows[table])
            if (row.bar && row.selected)
                draw(row);
    }
}

void TChartPainter::DrawBackgnd(const TChartCanvas &canvas, double viewStart, double viewEnd, int top,
    int rowHeight, int width, int x, int y)
{
    if (viewEnd <= viewStart)
        return;
    const TView view(canvas, FDoc, viewStart, viewEnd, top, rowHeight, width, x, y);
    const double f = view.F();
    const int height = view.RowCount * rowHeight;
    Fill(canvas, Bounds(x, y, width, height), ToQColor(ChartBackColor));

    if (f > 24 && FDoc.GetMinUnit() == muMinute) { // hours outside the working day
        const QColor fill = ToQColor(NonWorkingColor);
        const TDateTime minStart = FDoc.ChartRows().MinDayStart();
        const double span = FDoc.ChartRows().MaxDayEnd() - minStart;
        auto at = [&](double fraction) { return Round(fraction * f / span); };
        for (int k = std::max(0, int(view.FirstDate - viewStart) - 1); viewStart + k < viewEnd; ++k) {
            const double t = viewStart + k;
            if (t > view.LastDate + 1)
                break;
            const int left = x + Round(k * f);
            const int right = x + Round((k + 1) * f);
            for (int row = view.FirstRow; row <= view.LastRow; ++row) {
                const int cellTop = view.RowTop(row);
                auto fillCell
                    = [&](int l, int r) { Fill(canvas, Rect(l, cellTop, r, cellTop + rowHeight), fill); };
                const TDayInfo &day = FDoc.GetWeekInfo(row)[DayOfWeek(t) - 1];
                if (!day.active) {
                    fillCell(left, right);
                    continue;
                }
                if (span <= 0)
                    continue;
                fillCell(left, left + at(day.start - minStart));
                fillCell(right - at(FDoc.ChartRows().MaxDayEnd() - day.ende), right);
                for (const TPauseInfo &pause : day.pause)
                    if (pause.length > 0)
                        fillCell(left + at(pause.start - minStart),
                            left + at(pause.start + pause.length / 1440.0 - minStart));
            }
        }
    }

    // The time grid: months, weeks (from Monday), or days.
    const QColor grid = ToQColor(GridColor);
    TDateTime t;
    int step = 1;
    if (7 * f < 15)
        step = 0; // months
    else if (f < 7)
        step = 7;
    if (step == 0)
        t = GetFirstDayOfMonth(DatePart(viewStart));
    else if (step == 7)
        t = StartOfISOWeek(DatePart(viewStart));
    else
        t = viewStart;
    // Lines left of what the paint reaches are skipped whole days or weeks at a time.
    if (step > 0 && view.FirstDate - 1 > t)
        t += std::floor((view.FirstDate - 1 - t) / step) * step;
    while (t < viewEnd && t <= view.LastDate + 1) {
        VLine(canvas, view.DateX(t), y - 1, y + height, grid);
        if (step == 0) {
            int year, month, day;
            DecodeDate(t, year, month, day);
            t += DaysInMonth(year, month);
        } else {
            t += step;
        }
    }
}

void TChartPainter::DrawWeekInfo(const TChartCanvas &canvas, double viewStart, double viewEnd, int top,
    int rowHeight, int width, int x, int y)
{
    const TView view(canvas, FDoc, viewStart, viewEnd, top, rowHeight, width, x, y);
    const double first = std::max(DatePart(viewStart), DatePart(view.FirstDate) - 1);
    for (int row = view.FirstRow; row <= view.LastRow; ++row) {
        const tWeekInfo &week = FDoc.GetWeekInfo(row);
        for (double d = first; d < viewEnd && d <= view.LastDate + 1; ++d)
            if (!week[DayOfWeek(d) - 1].active)
                DrawFreeItem(
                    canvas, d, d + 1, row, QString(), viewStart, viewEnd, top, rowHeight, width, x, y);
    }
}

void TChartPainter::DrawAutoExcludes(const TChartCanvas &canvas, double viewStart, double viewEnd, int top,
    int rowHeight, int width, int x, int y, int extraZoom)
{
    const tDateList &entries = FDoc.AutoExcludeList();
    if (entries.IsEmpty())
        return;
    QPainter &p = canvas.Painter();
    p.save();
    QFont font = p.font();
    const int dayWidth = FGeometry._TimeChartColWidth(extraZoom);
    if (font.pixelSize() > dayWidth)
        font.setPixelSize(std::max(1, dayWidth));
    p.setFont(font);
    p.setPen(ToQColor(FlashColor(GridColor, -50)));
    for (const TDateListItem &entry : entries) {
        if (DatePart(entry.start) + 1 <= viewStart)
            continue;
        if (entry.start > viewEnd)
            break;
        const TDateTime day = DatePart(entry.start);
        DrawFreeItem(
            canvas, day, day + 1, kAllPositions, entry.name, viewStart, viewEnd, top, rowHeight, width, x, y);
    }
    p.restore();
}

void TChartPainter::DrawFreeItem(const TChartCanvas &canvas, TDateTime start, TDateTime end, int row,
    const QString &text, double viewStart, double viewEnd, int top, int rowHeight, int width, int x, int y)
{
    const TRect r = OffsetRect(
        FGeometry.TimeChartRect(start, end, viewStart, viewEnd, top, rowHeight, width, row, true, false), x,
        y);
    if (!canvas.RectVisible(r))
        return;
    QPainter &p = canvas.Painter();
    Fill(canvas, r, ToQColor(NonWorkingColor));
    const QColor edge = ToQColor(GridColor);
    VLine(canvas, r.Left, r.Top, r.Bottom - 1, edge);
    VLine(canvas, r.Right, r.Top, r.Bottom - 1, edge);
    if (text.isEmpty())
        return;
    // The font turned by a quarter clockwise: the text runs down the middle of the day,
    // its top towards the right, placed by the top-left corner of its cell.
    constexpr int penWidth = 1;
    const int textHeight = QFontMetrics(p.font(), p.device()).height();
    p.save();
    p.translate(r.Right + (textHeight - r.Width()) / 2, r.Top + 2 * penWidth);
    p.rotate(90);
    TextOutTopLeft(p, 0, 0, text);
    p.restore();
}

void TChartPainter::DrawMonthDivider(
    const TChartCanvas &canvas, double viewStart, double viewEnd, int rowHeight, int width, int x, int y)
{
    if (viewEnd <= viewStart)
        return;
    const TView view(canvas, FDoc, viewStart, viewEnd, 0, rowHeight, width, x, y);
    const QColor color = ToQColor(MonthDividerColor);
    const int bottom = y + view.RowCount * rowHeight;
    for (TDateTime t = GetFirstDayOfMonth(DatePart(viewStart)); t < viewEnd && t <= view.LastDate + 1;) {
        const int lineX = view.DateX(t);
        VLine(canvas, lineX, y - 1, bottom, color);
        VLine(canvas, lineX + 1, y - 1, bottom, color);
        int year, month, day;
        DecodeDate(t, year, month, day);
        t += DaysInMonth(year, month);
    }
}

void TChartPainter::DrawRowLines(const TChartCanvas &canvas, const TView &view) const
{
    const QColor color = ToQColor(GridColor);
    for (int row = std::max(1, view.FirstRow); row <= view.LastRow && row < view.RowCount; ++row) {
        if (FGeometry.isMultiRow(row) && !FSettings.DrawLinesMultiRow)
            continue;
        Fill(canvas, Bounds(view.X, view.RowTop(row), view.Width, 1), color);
    }
}

void TChartPainter::DrawToday(const TChartCanvas &canvas, const TView &view) const
{
    const TDateTime now = FNow ? FNow() : Now();
    const bool wholeDay = view.F() < 24;
    const TDateTime from = wholeDay ? DatePart(now) : now;
    const TDateTime to = wholeDay ? from + 1 : now + 0.1;
    const TRect r = OffsetRect(FGeometry.TimeChartRect(from, to, view.Start, view.End, view.Top,
                                   view.RowHeight, view.Width, kAllPositions, true, false),
        view.X, view.Y);
    if (!canvas.RectVisible(r))
        return;
    TMaskMode mask(canvas.Painter());
    canvas.Painter().fillRect(ToQRect(r), ToQColor(TodayColor));
}

void TChartPainter::DrawArrows(
    const TChartCanvas &canvas, const TView &view, const std::vector<TBarRow> &tasks) const
{
    QPainter &p = canvas.Painter();
    p.save();
    TMaskMode mask(p);
    p.setPen(ToQColor(clBlack));
    const double size = FGeometry.GetZoom() / 100.0;
    for (const TBarRow &row : tasks) {
        const TRect a
            = FGeometry.ArrowRect(row.node, view.Start, view.End, view.Top, view.RowHeight, view.Width);
        if (a == TRect {})
            continue;
        const QPoint from(a.Left + view.X, a.Top + view.Y), to(a.Right + view.X, a.Bottom + view.Y);
        // Its curve bends away from the line by less than half the line's length, its
        // head reaches 30 units: a box that cheaply rules out most arrows.
        const int bend = std::max(std::abs(a.Right - a.Left), a.Bottom - a.Top) / 2 + int(40 * size);
        const TRect around = Rect(std::min(from.x(), to.x()) - bend, std::min(from.y(), to.y()) - bend,
            std::max(from.x(), to.x()) + bend, std::max(from.y(), to.y()) + bend);
        if (!canvas.RectVisible(around) || !canvas.RectVisible(ArrowBounds(p.device(), from, to, size)))
            continue;
        const QColor fill = ToQColor(a.Left > a.Right ? DeadlinePassedColor : DeadlineAheadColor);
        const TRect bounds = ArrowBounds(p.device(), from, to, size);
        if (!canvas.Pixels() || !p.combinedTransform().isIdentity()
            || IntersectRect(bounds, canvas.VisibleBounds()) == bounds) {
            p.setBrush(fill);
            DrawArrow(p, from, to, fsStrokeAndFill, size);
            continue;
        }
        // On the window's chart an arrow that crosses the edge of what is painted
        // (the canvas's edges, the area of a partial repaint) is drawn apart, then
        // laid on (masked): the rasterizer cuts a line at a clip or an edge and
        // steps it again from there, a pixel off here and there. Drawn apart, an
        // arrow is cut only far outside the canvas, so the part a repaint shows,
        // the part a scroll moved and the part of a later repaint all meet.
        const QImage &pixels = *canvas.Pixels();
        const int margin = kArrowCutMargin + int(40 * size);
        const TRect part = Rect(std::max(bounds.Left, -margin), std::max(bounds.Top, -margin),
            std::min(bounds.Right, pixels.width() + margin),
            std::min(bounds.Bottom, pixels.height() + margin));
        if (part.IsEmpty())
            continue;
        QImage arrow(part.Width(), part.Height(), QImage::Format_RGB32);
        arrow.setDotsPerMeterX(canvas.Pixels()->dotsPerMeterX());
        arrow.setDotsPerMeterY(canvas.Pixels()->dotsPerMeterY());
        arrow.fill(Qt::white);
        {
            QPainter painter(&arrow);
            painter.translate(-part.Left, -part.Top);
            painter.setPen(ToQColor(clBlack));
            painter.setBrush(fill);
            DrawArrow(painter, from, to, fsStrokeAndFill, size);
        }
        p.drawImage(part.TopLeft(), arrow);
    }
    p.restore();
}

namespace {

// The start of a moved bar as its date box shows it, "d.mmm".
QString ItemInfoText(const Document &doc, const TNodeData *node)
{
    int year, month, day;
    DecodeDate(doc.GetStartOf(node), year, month, day);
    return QString::number(day) + QLatin1Char('.') + ShortMonthName(month);
}

} // namespace

TRect TChartPainter::ItemInfoRect(TWhichTable table, const TNodeData *node, const TRect &bar) const
{
    if (FDoc.GetMinUnit() == muMinute && table == tbTable)
        return Bounds(bar.Left - 8, bar.Top - 8, 17, 17);
    const QFontMetrics metrics(QApplication::font());
    const int w = metrics.horizontalAdvance(ItemInfoText(FDoc, node)) + 6;
    const int h = metrics.height() + 2;
    return Bounds(bar.Left - w / 2, bar.Top - h / 2, w, h);
}

void TChartPainter::DrawItemInfo(const TChartCanvas &canvas, TWhichTable table, TNodeData *node,
    double viewStart, double viewEnd, int top, int rowHeight, int width, int x, int y)
{
    if (canvas.Kind() != TCanvasKind::TimeChart || !FMouse.MovingItems || !node)
        return;
    const TRect r
        = OffsetRect(FGeometry.ItemRect(node, viewStart, viewEnd, top, rowHeight, width, false), x, y);
    if (r.IsEmpty() || !canvas.RectVisible(r))
        return;
    QPainter &p = canvas.Painter();
    const TRect box = ItemInfoRect(table, node, r);
    if (FDoc.GetMinUnit() == muMinute && table == tbTable) {
        DrawClock(p, box, FDoc.GetStartOf(node), clWhite, clBlack, 0.6, 0.8);
        return;
    }
    if (table != FDoc.GetActiveTable())
        return;
    p.save();
    p.setFont(QApplication::font());
    p.fillRect(ToQRect(box), ToQColor(clInfoBk));
    p.setPen(ToQColor(clBlack));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(box.Left, box.Top, box.Width() - 1, box.Height() - 1));
    DrawTextEx(p, ItemInfoText(FDoc, node), box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    p.restore();
}

void TChartPainter::DrawTimeChartPositions(const TChartCanvas &canvas, double viewStart, double viewEnd,
    int top, int width, int x, int y, int extraZoom, int pixelsPerInch, bool screen)
{
    QPainter &p = canvas.Painter();
    p.setFont(FFont.Font(FGeometry.TimeChartFontName(),
        FGeometry._TimeChartFontSize(extraZoom, pixelsPerInch), canvas.Ppi(), screen));
    // Rows grow with a printout's extra zoom as its header and fonts do (0 on the screen).
    const int rowHeight = FGeometry.TimeChartRowHeight(extraZoom);
    const TView view(canvas, FDoc, viewStart, viewEnd, top, rowHeight, width, x, y);
    const QStringList &names = FDoc.ChartRows().GlobalPositionFilter();
    const bool themed = FBars.AllowAlpha() && QApplication::style();
    for (int row = view.FirstRow; row <= view.LastRow; ++row) {
        if (FGeometry.isMultiRow(row))
            continue;
        const TRect r = OffsetRect(FGeometry.PositionRect(p, top, row, width, rowHeight), x, y);
        if (!canvas.RectVisible(r))
            continue;
        const QString name = row < names.size() ? TCommaText(names[row]).Item(0) : QString();
        TRect inner = r;
        if (themed && canvas.IsWindow()) { // drawn once, copied on every later paint
            p.drawImage(r.TopLeft(), LabelImage(name, QSize(r.Width(), r.Height()), p.font()));
            continue;
        }
        if (themed) {
            p.drawImage(r.TopLeft(), LabelFace(QSize(r.Width(), r.Height())));
        } else {
            p.fillRect(ToQRect(r), ToQColor(clBtnFace));
            inner = DrawEdge(p, r, EDGE_RAISED, BF_RECT);
        }
        DrawLabelName(p, name, inner);
    }
}

void TChartPainter::DrawLabelName(QPainter &canvas, const QString &name, const TRect &r)
{
    canvas.setPen(ToQColor(clBlack));
    canvas.setBrush(Qt::NoBrush);
    DrawTextEx(canvas, name, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

const QImage &TChartPainter::LabelImage(const QString &name, QSize size, const QFont &font)
{
    const QString key = QStringLiteral("%1 %2x%3").arg(font.key()).arg(size.width()).arg(size.height());
    // Labels of every row of a large plan would be many images: the ones painted
    // lately are kept.
    constexpr qsizetype MaxLabels = 512;
    if (key != FLabelImagesKey || FLabelImages.size() > MaxLabels) {
        FLabelImages.clear();
        FLabelImagesKey = key;
    }
    auto it = FLabelImages.find(name);
    if (it == FLabelImages.end()) {
        QImage image = LabelFace(size).copy();
        QPainter painter(&image);
        painter.setFont(font);
        DrawLabelName(painter, name, Rect(0, 0, size.width(), size.height()));
        it = FLabelImages.insert(name, image);
    }
    return *it;
}

const QImage &TChartPainter::LabelFace(QSize size)
{
    if (FLabelFace.size() != size) {
        FLabelFace = QImage(size, QImage::Format_ARGB32_Premultiplied);
        FLabelFace.setDotsPerMeterX(3780); // 96 pixels per inch, as the chart
        FLabelFace.setDotsPerMeterY(3780);
        FLabelFace.fill(Qt::transparent);
        QPainter face(&FLabelFace);
        QStyleOptionButton button;
        button.rect = QRect(QPoint(0, 0), size);
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        button.palette = QApplication::palette();
        QApplication::style()->drawControl(QStyle::CE_PushButtonBevel, &button, &face);
    }
    return FLabelFace;
}

QString TChartPainter::FadeOutNote() const
{
    if (!FSettings.HideRows && !FSettings.HideMultiRows)
        return QString();
    const QStringList &unhidden = FDoc.ChartRows().NoAutoGlobalPositionFilter();
    const QStringList &shown = FDoc.ChartRows().GlobalPositionFilter();
    if (unhidden == shown)
        return Translate(QStringLiteral("automatically fade-out suppressed"));
    // A set of the shown rows: a list search for each row is quadratic in the
    // rows, thousands of positions on every paint of the chart.
    const QSet<QString> shownSet(shown.begin(), shown.end());
    QStringList hidden;
    for (const QString &entry : unhidden)
        if (!shownSet.contains(entry))
            hidden.append(TCommaText(entry).Item(0));
    return Translate(QStringLiteral("automatically fade-out: %s"), { hidden.join(QLatin1Char(',')) });
}

QString TChartPainter::LogoFileName() const
{
    const QString folder = FLogoFolder.isEmpty() ? QCoreApplication::applicationDirPath() : FLogoFolder;
    return QDir(folder).filePath(QStringLiteral("Logo.jpg"));
}

void TChartPainter::DrawLogo(QPainter &canvas, const TRect &box) const
{
    const QString fileName = LogoFileName();
    if (box.IsEmpty() || !QFileInfo::exists(fileName))
        return;
    const QImage logo = ReadJpegFile(fileName);
    if (logo.isNull() || logo.width() <= 0 || logo.height() <= 0)
        return; // a logo that cannot be read leaves the box empty
    const double scale = std::min(double(box.Width()) / logo.width(), double(box.Height()) / logo.height());
    const int w = std::max(1, Round(logo.width() * scale));
    const int h = std::max(1, Round(logo.height() * scale));
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    canvas.drawImage(QRect(box.Left + (box.Width() - w) / 2, box.Top + (box.Height() - h) / 2, w, h), logo);
    canvas.restore();
}

void TChartPainter::DrawBitmap(const TChartCanvas &canvas, double viewStart, double viewEnd, int x, int y,
    int width, int height, bool showToday, int extraZoom, int pixelsPerInch)
{
    if (viewEnd <= viewStart || width <= 0 || height <= 0)
        return;
    QPainter &p = canvas.Painter();
    p.save();
    p.setClipRect(QRect(x, y, width, height), Qt::IntersectClip);
    p.setFont(FFont.Font(FGeometry.TimeChartFontName(),
        FGeometry._TimeChartFontSize(extraZoom, pixelsPerInch), canvas.Ppi(), false));
    const int labelWidth
        = FGeometry.PositionRect(p, 0, 0, width, FGeometry.TimeChartRowHeight(extraZoom)).Width();
    const int headerHeight = FGeometry.TimeChartFullRowHeight(extraZoom);
    DrawLogo(p, Bounds(x, y, labelWidth, headerHeight));

    // The header lies over the body's dates; the label column keeps the logo.
    p.save();
    p.setClipRect(QRect(x + labelWidth, y, width - labelWidth, headerHeight), Qt::IntersectClip);
    // Days when a day is 25 pixels wide at the screen's zoom: a printout's extra zoom
    // widens the days and the digits alike.
    const double screenDay
        = width / (viewEnd - viewStart) * FGeometry.GetZoom() / std::max(1, FGeometry.GetZoom() + extraZoom);
    const TCaptionLabel third = screenDay < 25 ? clWeek : clDay;
    DrawTimeChartCaptions(TChartCanvas(p, TCanvasKind::Other), FGeometry, viewStart, viewEnd, width, x, y,
        extraZoom, pixelsPerInch, false, third, labelWidth);
    p.restore();

    const TChartCanvas body(p, TCanvasKind::Other);
    DrawTimeChart(body, false, viewStart, viewEnd, 0, width, x, y + headerHeight, showToday, extraZoom,
        pixelsPerInch, false);
    DrawTimeChartPositions(
        body, viewStart, viewEnd, 0, width, x, y + headerHeight, extraZoom, pixelsPerInch, false);
    p.restore();
}

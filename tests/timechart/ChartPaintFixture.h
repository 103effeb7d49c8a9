// Documents and a plain chart geometry for the painter tests: the geometry maps
// dates linearly (day mode), rows by a fixed height, and measures labels with the
// canvas's font, as the chart does at zoom 100.
#pragma once

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/WeekInfo.h"
#include "document/program/Settings.h"
#include "document/text/CommaText.h"
#include "tests/timechart/ChartPixelTest.h"
#include "timechart/BarPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ChartPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace charttest {

inline int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

class PlainGeometry : public IChartPaintGeometry {
public:
    explicit PlainGeometry(Document &doc)
        : FDoc(doc)
    { }

    int ColWidth = 10; // pixels per day
    int RowHeight = 42; // 8-point font, three lines
    int Transparency = 50;
    double Start = 0;
    int Width = 0;

    int GetZoom() const override { return 100; }
    int GetTimeChartColWidth() const override { return ColWidth; }
    int _TimeChartColWidth(int) const override { return ColWidth; }
    int TimeChartFullRowHeight(int) const override { return 40; }
    int TimeChartRowHeight(int) const override { return RowHeight; }
    int _TimeChartFontSize(int, int) const override { return 8; }
    QString TimeChartFontName() const override { return QString::fromLatin1(testsupport::TestFontFamily); }
    int GetTransparency() const override { return Transparency; }

    TRect TimeChartRect(TDateTime startDate, TDateTime endDate, double viewStart, double viewEnd, int top,
        int rowHeight, int width, int row, bool, bool multiRow) const override
    {
        if (viewEnd == viewStart)
            return {};
        const double f = width / (viewEnd - viewStart);
        TRect r { RoundHalfEven((startDate - viewStart) * f), row * rowHeight - top,
            RoundHalfEven((endDate - viewStart) * f), (row + 1) * rowHeight - top };
        if (row == kAllPositions) {
            r.Top = -top;
            r.Bottom = FDoc.GetRowCount() * rowHeight - top;
        } else if (multiRow) {
            const TInterval span = FDoc.GetMultipleRowSpan(tbExclude, row);
            r.Top = span.low * rowHeight - top;
            r.Bottom = r.Top + (span.high - span.low + 1) * rowHeight;
        }
        return r;
    }

    TRect ItemRect(TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width,
        bool fullHeight) const override
    {
        const int row = FDoc.GetPositionOf(node);
        if (row < 0 && row != kAllPositions)
            return {};
        const TDateTime end = DatePart(FDoc.GetEndOf(node)) + 1;
        if (node->NodeTable == tbExclude) {
            TRect r = TimeChartRect(FDoc.GetStartOf(node), end, viewStart, viewEnd, top, rowHeight, width,
                node->nodePosition, true, true);
            ++r.Right;
            return r;
        }
        TRect r = TimeChartRect(
            FDoc.GetStartOf(node), end, viewStart, viewEnd, top, rowHeight, width, row, false, false);
        if (row != kAllPositions && !fullHeight) {
            const int inset = RoundHalfEven((r.Bottom - r.Top) * 0.2 / 2);
            r.Top += inset;
            r.Bottom -= inset;
        }
        return r;
    }

    TRect ArrowRect(
        TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width) const override
    {
        const int row = FDoc.GetPositionOf(node);
        const TDateTime deadline = FDoc.GetTerminOf(node);
        const TDateTime end = FDoc.GetEndOf(node);
        if (viewEnd == viewStart || row < 0 || deadline == 0
            || !(end > deadline || FDoc.GetTable(node->NodeTable).IsSelected(node)))
            return {};
        const TRect r
            = TimeChartRect(end + 1, deadline, viewStart, viewEnd, top, rowHeight, width, row, true, false);
        return { r.Left, (r.Top + r.Bottom) / 2, r.Right, r.Bottom };
    }

    TRect PositionRect(QPainter &canvas, int top, int row, int width, int rowHeight) const override
    {
        const QFontMetrics metrics(canvas.font(), canvas.device());
        int widest = 0;
        for (const QString &entry : FDoc.ChartRows().GlobalPositionFilter())
            widest = std::max(widest, metrics.horizontalAdvance(TCommaText(entry).Item(0)));
        const int fh = canvas.font().pixelSize();
        const int t = (rowHeight - fh - 4) / 2 + row * rowHeight - top;
        return { 0, t, std::min(8 + widest, width / 6), t + fh + 4 };
    }

    bool isMultiRow(int row) const override
    {
        const TChartRows &rows = FDoc.ChartRows();
        const int position = rows.FirstPositionOfRow(row);
        return position >= 0 && rows.PositionsInHolidayGroup()[position].low != position;
    }

    double TimeChartStart() const override { return Start; }
    int TimeChartTop() const override { return 0; }
    double GetTimeChartEnd() const override { return Start + double(Width) / ColWidth; }
    double MinDate() const override { return Start; }
    double MaxDate() const override { return Start + 365; }

private:
    Document &FDoc;
};

// A position item with `rows` chart rows and the default week (Monday to Friday).
inline QString PositionItem(const QString &name, int rows = 1, const tWeekInfo &week = DefaultWeekInfo())
{
    TCommaText item;
    item.Add(name);
    item.Add(WeekInfo2String(week));
    item.Add(QString::number(rows));
    return item.AsString();
}

// A document with positions, its chart geometry and painters, and an image to paint on.
class ChartPaintTest : public testsupport::ChartPixelTest {
protected:
    // 1 January 2024 is a Monday.
    const TDateTime Jan1 = EncodeDate(2024, 1, 1);

    Document doc;
    TProgramSettings settings;
    PlainGeometry geometry { doc };
    TBarPainter bars { doc, geometry, settings };
    TChartPainter painter { doc, geometry, settings, bars };

    void SetPositions(const QStringList &items)
    {
        doc.SetColumnStrings(tbTable, doc.GetConnection(tbTable, cnPosition), items);
    }

    void SetColors(std::vector<std::uint32_t> colors)
    {
        TDocumentSetup setup = doc.Setup();
        setup.FColors = std::move(colors);
        doc.SetSetup(setup);
    }

    // A row of `table` at position `position` from `start` for `days` working days.
    TNodeData *Row(TWhichTable table, const QString &position, TDateTime start, int days, int color = -1)
    {
        TNodeData *row = doc.AddNode(QStringLiteral("r%1").arg(++FRows), table, false);
        doc.DoSetData_(row, cnPosition, position, false);
        doc.DoSetData_(row, cnStart, doc.FormatDateTime(start), false);
        doc.DoSetData_(row, cnLength, QString::number(days), false);
        if (color >= 0)
            doc.DoSetDataIndex(row, doc.GetConnection(table, cnColor), color, false);
        return row;
    }

    void Select(TNodeData *row) { doc.GetTable(row->NodeTable).SetSelected(row, true); }

    // The chart body painted on a `width` x `height` image (Unpainted where nothing
    // is drawn) for the days from `start`, the way the window paints it.
    QImage Paint(int width, int height, TDateTime start, TCanvasKind kind = TCanvasKind::TimeChart,
        bool showToday = false)
    {
        geometry.Start = start;
        geometry.Width = width;
        QImage image = testsupport::MakeCanvas(width, height, testsupport::Unpainted);
        QPainter p(&image);
        const TChartCanvas canvas(p, kind);
        painter.DrawTimeChart(canvas, kind == TCanvasKind::SmallTimeChart, start,
            start + double(width) / geometry.ColWidth, 0, width, 0, 0, showToday, 0, 0, true);
        return image;
    }

private:
    int FRows = 0;
};

} // namespace charttest

// Documents, the chart's geometry and the painters for the painter tests, without
// the chart's window.
#pragma once

#include "bench/generator/DocumentGenerator.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/calendar/WeekInfo.h"
#include "document/program/Settings.h"
#include "document/text/CommaText.h"
#include "tests/timechart/ChartPixelTest.h"
#include "tests/timechart/ChartTestSupport.h"
#include "timechart/BarPainter.h"
#include "timechart/ChartCanvas.h"
#include "timechart/ChartPaintGeometry.h"
#include "timechart/ChartPainter.h"
#include "timechart/ChartScale.h"
#include "timechart/PositionLabels.h"

#include <QFontMetrics>
#include <QPainter>

namespace charttest {

// The chart's geometry and scale over a document at zoom 100 with an 8-point font:
// rows of 42 for three text lines, a full row height of 40.
class TestGeometry : public IChartPaintGeometry {
public:
    explicit TestGeometry(Document &doc)
        : FDoc(doc)
        , FGeometry(doc)
    { }

    int ColWidth = 10; // pixels per day
    int Transparency = 50;

    TChartScale Scale() const
    {
        TChartScale scale;
        scale.FTimeChartColWidth = ColWidth;
        scale.FRowSet = FDoc.RowSet();
        return scale;
    }
    int GetZoom() const override { return 100; }
    int _TimeChartColWidth(int extraZoom) const override { return Scale()._TimeChartColWidth(extraZoom); }
    int TimeChartFullRowHeight(int extraZoom) const override
    {
        return Scale().TimeChartFullRowHeight(extraZoom);
    }
    int TimeChartRowHeight(int extraZoom) const override { return Scale().TimeChartRowHeight(extraZoom); }
    int _TimeChartFontSize(int extraZoom, int ppi) const override
    {
        return Scale()._TimeChartFontSize(extraZoom, ppi, 96);
    }
    QString TimeChartFontName() const override { return QString::fromLatin1(testsupport::TestFontFamily); }
    int GetTransparency() const override { return Transparency; }
    TRect TimeChartRect(TDateTime startDate, TDateTime endDate, double viewStart, double viewEnd, int top,
        int rowHeight, int width, int row, bool noExact, bool multiRow) const override
    {
        return FGeometry.TimeChartRect(
            startDate, endDate, viewStart, viewEnd, top, rowHeight, width, row, noExact, multiRow);
    }
    TRect ItemRect(TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width,
        bool fullHeight) const override
    {
        return FGeometry.ItemRect(node, viewStart, viewEnd, top, rowHeight, width, fullHeight);
    }
    TRect ArrowRect(
        TNodeData *node, double viewStart, double viewEnd, int top, int rowHeight, int width) const override
    {
        return FGeometry.ArrowRect(node, viewStart, viewEnd, top, rowHeight, width);
    }
    TRect PositionRect(QPainter &canvas, int top, int row, int width, int rowHeight) const override
    {
        return ::PositionRect(FLabels.Metrics(canvas.font(), FDoc.ChartRows().GlobalPositionFilter()), top,
            row, width, rowHeight);
    }
    bool isMultiRow(int row) const override
    {
        const TChartRows &rows = FDoc.ChartRows();
        const int position = rows.FirstPositionOfRow(row);
        return position >= 0 && rows.PositionsInHolidayGroup()[position].low != position;
    }

private:
    Document &FDoc;
    TChartGeometry FGeometry;
    mutable TLabelWidthCache FLabels;
};

// A small plan for pictures a person looks at: a realistic one from 18 March 2024,
// with Easter in view.
inline GeneratorOptions PicturePlan()
{
    return GeneratorOptions::Picture();
}
inline const TDateTime PictureStart = EncodeDate(2024, 3, 18);

// A document with positions, its chart geometry and painters, and an image to paint on.
class ChartPaintTest : public testsupport::ChartPixelTest {
protected:
    // 1 January 2024 is a Monday.
    const TDateTime Jan1 = EncodeDate(2024, 1, 1);

    Document doc;
    TProgramSettings settings;
    TestGeometry geometry { doc };
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

// The colour legends of the two tables: swatches, hints, recolouring the
// selected rows and editing a colour.
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/UndoGroup.h"
#include "document/text/CommaText.h"
#include "timechart/CanvasPanel.h"
#include "timechart/ColorLegend.h"
#include "timechart/TimeChart.h"
#include "timechart/TimeChartHost.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The legend bar's height, and the room between the two legends.
constexpr int LegendBarHeight = 22;
constexpr int LegendSpacing = 10;

// The colours of a table's selected rows, as the table counts them while its
// selection changes: a question costs the colours, not the rows.
class TSelectedColors final : public ISelectedColors {
public:
    TSelectedColors(const Document &doc, TWhichTable table)
        : FCounts(doc.GetTable(table).SelectedColors())
    { }
    bool AnySelectedColorIndex(const std::function<bool(int)> &visit) const override
    {
        return FCounts.AnyColor(visit);
    }

private:
    const TSelectedColorCounts &FCounts;
};

// Lays the legends out whenever the bar's size changes.
class TLegendBarWatcher final : public QObject {
public:
    TLegendBarWatcher(QObject *parent, std::function<void()> layout)
        : QObject(parent)
        , FLayout(std::move(layout))
    { }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            FLayout();
        return false;
    }

private:
    std::function<void()> FLayout;
};

} // namespace

void TTimeChart::BuildLegends()
{
    FLegendBar = new QWidget(this);
    FLegendBar->setObjectName(QStringLiteral("LegendBar"));
    FLegendBar->setFixedHeight(LegendBarHeight);
    FLegendBar->hide(); // until the main window places it
    FItemColorPanel = new TCanvasPanel(FLegendBar);
    FItemColorPanel->setObjectName(QStringLiteral("ItemColorPanel"));
    FHolidayColorPanel = new TCanvasPanel(FLegendBar);
    FHolidayColorPanel->setObjectName(QStringLiteral("HolidayColorPanel"));
    for (const TWhichTable table : { tbTable, tbExclude }) {
        TCanvasPanel &panel = Legend(table);
        panel.setMouseTracking(true);
        panel.SetOnPaint([this, table](TCanvasPanel &, QPainter &canvas, const QRegion &) {
            table == tbTable ? ItemColorPanelPaint(canvas) : HolidayColorPanelPaint(canvas);
        });
        panel.SetOnMouseMove([this, table](TCanvasPanel &, QMouseEvent &event) {
            table == tbTable ? ItemColorPanelMouseMove(event) : HolidayColorPanelMouseMove(event);
        });
        panel.SetOnMouseDown([this, table](TCanvasPanel &, QMouseEvent &event) {
            table == tbTable ? ItemColorPanelMouseDown(event) : HolidayColorPanelMouseDown(event);
        });
    }
    FLegendBar->installEventFilter(new TLegendBarWatcher(FLegendBar, [this] { LegendsChanged(); }));
}

TCanvasPanel &TTimeChart::Legend(TWhichTable table) const
{
    return table == tbTable ? *FItemColorPanel : *FHolidayColorPanel;
}

std::vector<TColor> TTimeChart::LegendColors(TWhichTable table) const
{
    const TDocumentSetup &setup = FDoc.Setup();
    return table == tbTable ? setup.FColors : setup.FHolidayColors;
}

int TTimeChart::LegendCount(TWhichTable table) const
{
    const int items = int(FDoc.GetColumnStrings(table, FDoc.GetConnection(table, cnColor)).size());
    return LegendColorCount(table, items, int(LegendColors(table).size()));
}

void TTimeChart::LegendsChanged()
{
    const int height = FLegendBar->height();
    const int barWidth = FLegendBar->width();
    const int itemWidth = LegendWidth(LegendCount(tbTable), 0, barWidth);
    FItemColorPanel->setGeometry(0, 0, itemWidth, height);
    const int holidayLeft = itemWidth + LegendSpacing;
    FHolidayColorPanel->setGeometry(
        holidayLeft, 0, LegendWidth(LegendCount(tbExclude), holidayLeft, barWidth), height);
    FLegendBar->setMinimumWidth(0);
    FItemColorPanel->update();
    FHolidayColorPanel->update();
}

void TTimeChart::SetLegendFlash(std::optional<int> percent)
{
    FLegendFlash = percent;
    Legend(FDoc.GetActiveTable()).update();
}

bool TTimeChart::IsColorSelected(TWhichTable table, int colorIndex) const
{
    return ::IsColorSelected(TSelectedColors(FDoc, table), colorIndex);
}

void TTimeChart::LegendPaint(TWhichTable table, QPainter &canvas)
{
    const TCanvasPanel &panel = Legend(table);
    const TLegendLayout layout(LegendCount(table), panel.width(), panel.height());
    if (FLegendFlash && table == FDoc.GetActiveTable()) {
        const TSelectedColors selected(FDoc, table);
        const TLegendHighlight highlight { *FLegendFlash, selected };
        PaintColorLegend(canvas, layout, LegendColors(table), &highlight);
    } else {
        PaintColorLegend(canvas, layout, LegendColors(table), nullptr);
    }
}

void TTimeChart::ItemColorPanelPaint(QPainter &canvas)
{
    LegendPaint(tbTable, canvas);
}

void TTimeChart::HolidayColorPanelPaint(QPainter &canvas)
{
    LegendPaint(tbExclude, canvas);
}

int TTimeChart::LegendSwatchAt(TWhichTable table, QPoint point) const
{
    const TCanvasPanel &panel = Legend(table);
    return TLegendLayout(LegendCount(table), panel.width(), panel.height()).SwatchAt(point);
}

void TTimeChart::LegendMouseMove(TWhichTable table, QMouseEvent &event)
{
    TCanvasPanel &panel = Legend(table);
    const int swatch = LegendSwatchAt(table, event.position().toPoint());
    if (swatch < 0)
        return;
    const QStringList &items = FDoc.GetColumnStrings(table, FDoc.GetConnection(table, cnColor));
    const QString hint = LegendHint(table, TCommaText(items.value(swatch)).Item(0));
    if (hint == panel.toolTip())
        return;
    panel.setToolTip(hint);
    QToolTip::showText(event.globalPosition().toPoint(), hint, &panel);
}

void TTimeChart::ItemColorPanelMouseMove(QMouseEvent &event)
{
    LegendMouseMove(tbTable, event);
}

void TTimeChart::HolidayColorPanelMouseMove(QMouseEvent &event)
{
    LegendMouseMove(tbExclude, event);
}

void TTimeChart::SetLegendColor(TWhichTable table, int index, TColor color)
{
    TDocumentSetup setup = FDoc.Setup();
    std::vector<std::uint32_t> &colors = table == tbTable ? setup.FColors : setup.FHolidayColors;
    Document::FillUpColors(colors, index + 1);
    colors[std::size_t(index)] = color;
    FDoc.SetSetup(std::move(setup));
}

void TTimeChart::LegendMouseDown(TWhichTable table, QMouseEvent &event)
{
    TCanvasPanel &panel = Legend(table);
    const int swatch = LegendSwatchAt(table, event.position().toPoint());
    if (swatch < 0)
        return;
    if (event.button() == Qt::RightButton) {
        // The picker alone answers the click: the context-menu event that follows
        // the press must not open the tool bar's menu once the picker has closed.
        const Qt::ContextMenuPolicy policy = panel.contextMenuPolicy();
        panel.setContextMenuPolicy(Qt::PreventContextMenu);
        const QPoint origin = panel.mapToGlobal(QPoint(0, 0));
        const std::optional<TColor> color = FHost.PickColor(LegendColor(LegendColors(table), swatch),
            Bounds(origin.x(), origin.y(), panel.width(), panel.height()));
        QTimer::singleShot(0, &panel, [&panel, policy] { panel.setContextMenuPolicy(policy); });
        if (!color)
            return;
        SetLegendColor(table, swatch, *color);
        panel.update();
        FDoc.ForEach(table, feAll, [this](TNodeData &node) { CB_SetRecalcBitmap(node); });
        return;
    }
    const int column = FDoc.GetConnection(table, cnColor);
    if (event.button() != Qt::LeftButton || table != FDoc.GetActiveTable() || column < 0)
        return;
    const TUndoGroup group(FDoc);
    FDoc.ForEach(table, feSelected, [&](TNodeData &node) { FDoc.SetDataIndex(&node, column, swatch); });
}

void TTimeChart::ItemColorPanelMouseDown(QMouseEvent &event)
{
    LegendMouseDown(tbTable, event);
}

void TTimeChart::HolidayColorPanelMouseDown(QMouseEvent &event)
{
    LegendMouseDown(tbExclude, event);
}

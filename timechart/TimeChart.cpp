// The chart's panels, its scale, zoom and font, and the handlers of its widgets.
#include "timechart/TimeChart.h"

#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/program/Translation.h"
#include "platform/gui/Fonts.h"
#include "timechart/CanvasPanel.h"
#include "timechart/DataBounds.h"
#include "timechart/OverlapSolver.h"
#include "timechart/OverlapTracker.h"
#include "timechart/ScrollBarBox.h"
#include "timechart/Splitter.h"
#include "timechart/TimeChartHost.h"
#include "timechart/TimeChartMouse.h"
#include "timechart/TimeChartPainting.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QTabBar>
#include <QWheelEvent>
#include <cmath>

namespace {

// The overview's month header: one line of text.
constexpr int SmallTimeChartCaptionHeight = 14;
// The overview bar asks the splitter above the chart for the height its rows need.
class TOverviewBar final : public QWidget {
public:
    using QWidget::QWidget;
    void SetWantedHeight(int height)
    {
        FWantedHeight = height;
        updateGeometry();
    }
    QSize sizeHint() const override { return QSize(QWidget::sizeHint().width(), FWantedHeight); }
    QSize minimumSizeHint() const override { return QSize(0, 0); }

private:
    int FWantedHeight = 0;
};

TCanvasPanel *NewPanel(QWidget *parent, const char *name)
{
    auto *panel = new TCanvasPanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

} // namespace

TTimeChart::TTimeChart(Document &doc, ITimeChartHost &host, QWidget *parent)
    : QWidget(parent)
    , FDoc(doc)
    , FHost(host)
{
    setObjectName(QStringLiteral("TimeChartArea"));
    const QFont appFont = QApplication::font();
    FTimeChartFontName = appFont.family();
    if (appFont.pointSize() > 0)
        FScale.FTimeChartFontSize = appFont.pointSize();
    FScale.FTimeChartColWidth = std::max(1, doc.Setup().FTimeChartColWidth);
    FScale.FRowSet = doc.RowSet();

    FPainting = std::make_unique<TTimeChartPainting>(*this, FDoc, FHost.ProgramSettings());
    FMouseHandler = std::make_unique<TTimeChartMouse>(*this, FDoc, FHost);
    FSolver = std::make_unique<TOverlapSolver>(*this, FDoc, FHost);
    FDataBounds = std::make_unique<TDataBounds>(FDoc);
    FOverlaps = std::make_unique<TOverlapTracker>(FDoc);
    FOnAutoArrange = [this] { FSolver->ActionSolveOverlappingExecute(); };
    BuildPanels();
    BuildLegends();

    FSliderTimer.setInterval(15);
    FSliderTimer.setTimerType(Qt::PreciseTimer);
    connect(&FSliderTimer, &QTimer::timeout, this, &TTimeChart::SliderTimerTimer);
    FSmallPieceTimer.setSingleShot(true);
    FSmallPieceTimer.setInterval(0);
    connect(&FSmallPieceTimer, &QTimer::timeout, this, &TTimeChart::SmallPieceTimerTimer);
    FRedrawTimer.setInterval(60000);
    connect(&FRedrawTimer, &QTimer::timeout, this, &TTimeChart::RedrawTimerTimer);
    FRedrawTimer.start();
    FFlashSelectedTimer.setInterval(100);
    connect(&FFlashSelectedTimer, &QTimer::timeout, this, &TTimeChart::FlashSelectedTimerTimer);

    SyncTabs(FDoc.ShownGroup());
    UpdateFont();
    SetSmallTimeChartRowHeight(FSmallTimeChartRowHeight);
}

TTimeChart::~TTimeChart()
{
    // The panels outlive this object's members while they go: they must not call back.
    QObject::disconnect(FTabControl1, nullptr, this, nullptr);
    TimeChart().removeEventFilter(this);
    for (TCanvasPanel *panel : { &TimeChart(), FSmallTimeChart }) {
        panel->SetOnMouseDown(nullptr);
        panel->SetOnMouseMove(nullptr);
        panel->SetOnMouseUp(nullptr);
        panel->SetOnKeyDown(nullptr);
        panel->SetOnKeyUp(nullptr);
    }
    // The legend bar lives in the main window's tool bar once it is placed there.
    delete FLegendBar.data();
}

void TTimeChart::BuildPanels()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FSplitter3 = new TSplitter(Qt::Vertical, this);
    FSplitter3->setObjectName(QStringLiteral("Splitter3"));
    layout->addWidget(FSplitter3);

    auto *overview = new TOverviewBar;
    FOverviewBar = overview;
    FOverviewBar->setObjectName(QStringLiteral("dfsToolBar1"));
    auto *overviewLayout = new QVBoxLayout(FOverviewBar);
    overviewLayout->setContentsMargins(0, 0, 0, 0);
    overviewLayout->setSpacing(0);
    FSmallTimeChartCaption = NewPanel(FOverviewBar, "SmallTimeChartCaption");
    FSmallTimeChartCaption->setFixedHeight(SmallTimeChartCaptionHeight);
    FSmallTimeChart = NewPanel(FOverviewBar, "SmallTimeChart");
    FSmallTimeChart->setMinimumHeight(0);
    overviewLayout->addWidget(FSmallTimeChartCaption);
    overviewLayout->addWidget(FSmallTimeChart, 1);

    FTimeChartPanel = new QWidget;
    FTimeChartPanel->setObjectName(QStringLiteral("TimeChartPanel"));
    auto *panelLayout = new QVBoxLayout(FTimeChartPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    FTabControl1 = new QTabBar(FTimeChartPanel);
    FTabControl1->setObjectName(QStringLiteral("TabControl1"));
    FTabControl1->setExpanding(false);
    FTabControl1->setFocusPolicy(Qt::NoFocus);
    FTabControl1->addTab(Translate(QStringLiteral("Gesamtansicht")));
    // The header sits right above the chart and exactly as wide.
    auto *captionRow = new QWidget(FTimeChartPanel);
    auto *captionLayout = new QHBoxLayout(captionRow);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    FTimeChartCaption = NewPanel(captionRow, "TimeChartCaption");
    captionLayout->addWidget(FTimeChartCaption);
    FTimeChartBox = new TScrollBarBox(FTimeChartPanel);
    FTimeChartBox->setObjectName(QStringLiteral("TimeChartBox"));
    TimeChart().setObjectName(QStringLiteral("TimeChart"));
    panelLayout->addWidget(FTabControl1);
    panelLayout->addWidget(captionRow);
    panelLayout->addWidget(FTimeChartBox, 1);

    FSplitter3->addWidget(FOverviewBar);
    FSplitter3->addWidget(FTimeChartPanel);
    FSplitter3->setStretchFactor(0, 0);
    FSplitter3->setStretchFactor(1, 1);
    FSplitter3->SetOnCanResize([this](TSplitter &sender, int &newSize, bool &accept) {
        Splitter3CanResize(sender, newSize, accept);
    });
    FSplitter3->installEventFilter(this);

    connect(FTabControl1, &QTabBar::currentChanged, this, [this] {
        if (!FSyncingTabs)
            TabControl1Change();
    });
    FTimeChartBox->SetOnHorzScroll([this](TScrollBarBox &) { TimeChartHorzScroll(); });
    FTimeChartBox->SetOnVertScroll([this](TScrollBarBox &) { TimeChartVertScroll(); });
    TimeChart().installEventFilter(this);
    auto wheel = [this](TCanvasPanel &, QWheelEvent &event) { Wheel(event); };
    TimeChart().SetOnMouseWheel(wheel);
    FSmallTimeChart->SetOnMouseWheel(wheel);
    // Hover hints and cursors follow the pointer with no button down.
    TimeChart().setMouseTracking(true);
    TimeChart().setFocusPolicy(Qt::ClickFocus);
    TimeChart().SetOnMouseDown(
        [this](TCanvasPanel &, QMouseEvent &event) { Mouse().TimeChartMouseDown(event); });
    TimeChart().SetOnMouseMove(
        [this](TCanvasPanel &, QMouseEvent &event) { Mouse().TimeChartMouseMove(event); });
    TimeChart().SetOnMouseUp([this](TCanvasPanel &, QMouseEvent &event) { Mouse().TimeChartMouseUp(event); });
    TimeChart().SetOnKeyDown([this](TCanvasPanel &, QKeyEvent &event) { Mouse().TimeChartKeyDown(event); });
    TimeChart().SetOnKeyUp([this](TCanvasPanel &, QKeyEvent &event) { Mouse().TimeChartKeyUp(event); });
    FSmallTimeChart->setMouseTracking(true);
    FSmallTimeChart->SetOnMouseDown(
        [this](TCanvasPanel &, QMouseEvent &event) { SmallTimechartMouseDown(event); });
    FSmallTimeChart->SetOnMouseMove(
        [this](TCanvasPanel &, QMouseEvent &event) { SmallTimeChartMouseMove(event); });
    FSmallTimeChart->SetOnMouseUp(
        [this](TCanvasPanel &, QMouseEvent &event) { SmallTimeChartMouseUp(event); });
    TimeChart().SetOnPaint(
        [this](TCanvasPanel &, QPainter &canvas, const QRegion &region) { TimeChartPaint(canvas, region); });
    TimeChart().SetOnPaintOverlay([this](TCanvasPanel &, QPainter &canvas, const QRegion &region) {
        TimeChartOverlayPaint(canvas, region);
    });
    FTimeChartCaption->SetOnPaint([this](TCanvasPanel &, QPainter &canvas, const QRegion &region) {
        TimeChartCaptionPaint(canvas, region);
    });
    FSmallTimeChart->SetOnPaint([this](TCanvasPanel &, QPainter &canvas, const QRegion &region) {
        SmallTimeChartPaint(canvas, region);
    });
    FSmallTimeChartCaption->SetOnPaint([this](TCanvasPanel &, QPainter &canvas, const QRegion &region) {
        SmallTimeChartCaptionPaint(canvas, region);
    });
}

TCanvasPanel &TTimeChart::TimeChart() const
{
    return FTimeChartBox->Panel();
}

bool TTimeChart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &TimeChart() && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        AlignCaption();
        if (event->type() == QEvent::Resize)
            TimeChartPanelResize();
    }
    // The overview's third follows the chart's height once the splitter has
    // laid out its new size.
    if (watched == FSplitter3 && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, &TTimeChart::FitOverview, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void TTimeChart::AlignCaption()
{
    const QRect chart = TimeChart().geometry();
    const int right = FTimeChartBox->width() - (chart.x() + chart.width());
    FTimeChartCaption->parentWidget()->layout()->setContentsMargins(chart.x(), 0, std::max(0, right), 0);
}

// --- scale and fonts ---

int TTimeChart::_TimeChartFontSize(int extraZoom, int pixelsPerInch) const
{
    return FScale._TimeChartFontSize(extraZoom, pixelsPerInch, DevicePpi(TimeChart()));
}

QFont TTimeChart::TimeChartFont() const
{
    return MakeFont(FTimeChartFontName, GetTimeChartFontSize(), DevicePpi(TimeChart()));
}

void TTimeChart::SetZoom(int percent)
{
    if (percent <= 0)
        return;
    FScale.Zoom = percent;
    FHost.ShowZoom(percent, Translate(QStringLiteral("Timechart zoom (%s %)"), { QString::number(percent) }));
    SetTimeChartColWidth(FScale.FTimeChartColWidth);
    UpdateFont();
}

void TTimeChart::SetTransparency(int percent)
{
    if (percent <= 0)
        return;
    FTransparency = percent;
    FHost.ShowTransparency(percent,
        Translate(QStringLiteral("Transparency for filtered Tasks (%s %)"), { QString::number(percent) }));
    InvalidateTimeChart(false);
}

void TTimeChart::SetTimeChartColWidth(int width)
{
    FScale.FTimeChartColWidth = std::max(1, width);
    if (FHost.IsPrinting())
        return;
    UpdateScrollBars(ssHorizontal);
    InvalidateTimeChart(true);
}

TRowSet TTimeChart::GetRowSet() const
{
    return FDoc.RowSet();
}

void TTimeChart::SetRowSet(TRowSet rowSet)
{
    const std::size_t tab = std::size_t(std::max(0, FTabControl1->currentIndex()));
    const std::vector<int> &stored = FDoc.Setup().FRowSets;
    if (tab >= stored.size() || stored[tab] != rowSet) {
        TDocumentSetup setup = FDoc.Setup();
        if (setup.FRowSets.size() < tab + 1)
            setup.FRowSets.resize(tab + 1, rsTopMiddleBottom);
        setup.FRowSets[tab] = rowSet;
        FDoc.SetSetup(std::move(setup));
    }
    FDoc.SetRowSet(rowSet);
    FScale.FRowSet = rowSet;
    UpdateFont();
    FHost.ShowRowSet(rowSet);
}

void TTimeChart::SetTimeChartFontName(const QString &name)
{
    if (name == FTimeChartFontName)
        return;
    FTimeChartFontName = name;
    FHost.ShowFont(FTimeChartFontName, FScale.FTimeChartFontSize);
    UpdateFont();
}

void TTimeChart::SetTimeChartFontSize(int size)
{
    if (size == FScale.FTimeChartFontSize)
        return;
    FScale.FTimeChartFontSize = size;
    FHost.ShowFont(FTimeChartFontName, FScale.FTimeChartFontSize);
    UpdateFont();
}

void TTimeChart::UpdateFont()
{
    const QFont font = TimeChartFont();
    TimeChart().setFont(font);
    FTimeChartCaption->setFont(font);
    FTimeChartCaption->setFixedHeight(TimeChartFullRowHeight(0));
    // Every bar is drawn anew; the whole chart is repainted below, so the bars'
    // areas need no repaint of their own.
    FDoc.ForEach(feAll, [](TNodeData &node) { node.RecalcBitmap = true; });
    UpdateScrollBars(ssVertical);
    InvalidateTimeChart(true);
}

void TTimeChart::FontSizeComboBox1Change(const QString &text)
{
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    SetTimeChartFontSize(ok ? size : GetTimeChartFontSize());
}

void TTimeChart::ScFontComboBox1Change(const QString &name)
{
    SetTimeChartFontName(name);
}

void TTimeChart::SetSmallTimeChartRowHeight(int height)
{
    FSmallTimeChartRowHeight = std::clamp(height, 1, 8);
    FitOverview();
}

int TTimeChart::OverviewHeight(int chartHeight) const
{
    // A third of the chart at most: the rows shrink to fit it (one pixel is the
    // least; more rows than that are squeezed into it when painted).
    const qint64 rows = std::max(1, FDoc.GetRowCount());
    const int caption = FSmallTimeChartCaption->height();
    const int limit = chartHeight / 3;
    const qint64 rowHeight = std::clamp<qint64>((limit - caption) / rows, 1, FSmallTimeChartRowHeight);
    return int(std::min<qint64>(rows * rowHeight + caption, limit));
}

void TTimeChart::FitOverview()
{
    if (FOverviewBar->isHidden())
        return;
    // Before the first layout the splitter takes the wanted height from the bar.
    const QList<int> sizes = FSplitter3->sizes();
    const int total = sizes.size() == 2 ? sizes[0] + sizes[1] : 0;
    const int wanted = OverviewHeight(total > 0 ? total : height());
    static_cast<TOverviewBar *>(FOverviewBar)->SetWantedHeight(wanted);
    if (total > 0 && sizes[0] != wanted)
        FSplitter3->setSizes({ wanted, total - wanted });
}

void TTimeChart::Splitter3CanResize(TSplitter &, int &newSize, bool &)
{
    const int rows = FDoc.GetRowCount();
    const int caption = FSmallTimeChartCaption->height();
    SetSmallTimeChartRowHeight((newSize - caption) / rows);
    const QList<int> sizes = FSplitter3->sizes();
    newSize = OverviewHeight(sizes.size() == 2 ? sizes[0] + sizes[1] : height());
}

void TTimeChart::Splitter1CanResize(TSplitter &sender, int &newSize, bool &)
{
    newSize = std::max(newSize, TimeChart().mapTo(this, QPoint(0, 0)).y() + sender.MinSize());
}

void TTimeChart::TimeChartPanelResize()
{
    // The visible days change with the width as the visible rows with the height.
    UpdateScrollBars(ssBoth);
    InvalidateTimeChart(true);
}

void TTimeChart::DocumentReset()
{
    FRangeKnown = false;
    InvalidateTimeChart(true);
}

void TTimeChart::InvalidateTimeChart(bool withCaptions)
{
    TimeChart().Invalidate();
    InvalidateSmallTimeChart();
    if (withCaptions) {
        FTimeChartCaption->update();
        FSmallTimeChartCaption->update();
    }
}

// --- dates and rectangles on the window ---

TDateTime TTimeChart::GetTimeChartEnd() const
{
    return FTimeChartStart + double(TimeChart().width()) / GetTimeChartColWidth();
}

TDateTime TTimeChart::TimeChartXToDate(int x) const
{
    return FTimeChartStart + double(x) / GetTimeChartColWidth();
}

double TTimeChart::WindowPixelsPerDay() const
{
    const int width = TimeChart().width();
    return width > 0 ? width / (GetTimeChartEnd() - FTimeChartStart) : GetTimeChartColWidth();
}

TDateTime TTimeChart::GetExactDate(int x, int row) const
{
    return Geometry().GetExactDate(x, row, FTimeChartStart, GetTimeChartColWidth(), WindowPixelsPerDay());
}

TRect TTimeChart::TimeChartRect(
    TDateTime startDate, TDateTime endDate, int row, bool noExact, bool multiRow) const
{
    return Geometry().TimeChartRect(startDate, endDate, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop,
        TimeChartRowHeight(0), TimeChart().width(), row, noExact, multiRow);
}

TRect TTimeChart::ItemRect(TNodeData *node, bool fullHeight) const
{
    return Geometry().ItemRect(node, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop, TimeChartRowHeight(0),
        TimeChart().width(), fullHeight);
}

TRect TTimeChart::ArrowRect(TNodeData *node) const
{
    return Geometry().ArrowRect(
        node, FTimeChartStart, GetTimeChartEnd(), FTimeChartTop, TimeChartRowHeight(0), TimeChart().width());
}

TLabelMetrics TTimeChart::LabelMetrics() const
{
    return FLabelWidths.Metrics(TimeChartFont(), FDoc.ChartRows().GlobalPositionFilter());
}

TRect TTimeChart::PositionRect(int row) const
{
    return ::PositionRect(LabelMetrics(), FTimeChartTop, row, TimeChart().width(), TimeChartRowHeight(0));
}

TRect TTimeChart::SliderRect() const
{
    TSliderView view;
    view.ChartHeight = TimeChart().height();
    view.RowHeight = TimeChartRowHeight(0);
    view.RowCount = FDoc.GetRowCount();
    view.Top = FTimeChartTop;
    view.Start = FTimeChartStart;
    view.VisibleDays = GetTimeChartEnd() - FTimeChartStart;
    view.MinDate = FMinDate;
    view.MaxDate = FMaxDate;
    view.SmallWidth = FSmallTimeChart->width();
    view.SmallHeight = FSmallTimeChart->height();
    return ::SliderRect(view);
}

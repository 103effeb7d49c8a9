#pragma once

#include "document/DocumentHost.h"
#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/DirtyArea.h"
#include "platform/gui/Rect.h"
#include "timechart/ChartGeometry.h"
#include "timechart/ChartScale.h"
#include "timechart/PositionLabels.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Document;
class ITimeChartHost;
class QTabBar;
class QPainter;
class QRegion;
class QMouseEvent;
class QWheelEvent;
class TCanvasPanel;
class TScrollBarBox;
class TSplitter;
class TBarPainter;
class TChartPainter;
class TTimeChartMouse;
class TOverlapSolver;
class TOverlapTracker;
class TDataBounds;
struct TChartPaintMouse;
struct TTimeChartPainting;

// The time chart of a document: its panels (the chart in its scroll-bar box, the
// date header, the overview with its header, the position-group tabs and the two
// colour legends), the view (zoom, pixels per day, the dates and rows shown, the
// scrollable range) and the deferred layout passes (range, shown rows, overlaps).
//
// From top to bottom the chart shows the overview bar, the splitter under it, the
// tabs, the date header and the chart. The legends form a bar of their own that
// the main window puts into its tool bar. What belongs to the main window
// (status bar, boxes and menus, tables, colour picker, options) goes through
// ITimeChartHost; what the document tells its window about the chart, the main
// window passes on (see the section "from the document").
class TTimeChart : public QWidget {
    Q_OBJECT
public:
    TTimeChart(Document &doc, ITimeChartHost &host, QWidget *parent = nullptr);
    ~TTimeChart() override;

    Document &Doc() const { return FDoc; }

    // --- panels ---
    TCanvasPanel &TimeChart() const;
    TScrollBarBox &TimeChartBox() const { return *FTimeChartBox; }
    TCanvasPanel &TimeChartCaption() const { return *FTimeChartCaption; }
    TCanvasPanel &SmallTimeChart() const { return *FSmallTimeChart; }
    TCanvasPanel &SmallTimeChartCaption() const { return *FSmallTimeChartCaption; }
    // The overview bar (dfsToolBar1): the overview's header and the overview.
    QWidget &OverviewBar() const { return *FOverviewBar; }
    // The splitter under the overview bar.
    TSplitter &Splitter3() const { return *FSplitter3; }
    // Tabs, date header and chart.
    QWidget &TimeChartPanel() const { return *FTimeChartPanel; }
    QTabBar &TabControl1() const { return *FTabControl1; }
    // The two legends side by side; the main window puts the bar into its tool bar.
    QWidget &LegendBar() const { return *FLegendBar; }
    TCanvasPanel &ItemColorPanel() const { return *FItemColorPanel; }
    TCanvasPanel &HolidayColorPanel() const { return *FHolidayColorPanel; }

    // --- scale ---
    const TChartScale &Scale() const { return FScale; }
    int GetZoom() const { return FScale.GetZoom(); }
    int GetTimeChartColWidth() const { return FScale.GetTimeChartColWidth(); }
    int _TimeChartColWidth(int extraZoom) const { return FScale._TimeChartColWidth(extraZoom); }
    int TimeChartFullRowHeight(int extraZoom) const { return FScale.TimeChartFullRowHeight(extraZoom); }
    int TimeChartRowHeight(int extraZoom) const { return FScale.TimeChartRowHeight(extraZoom); }
    int GetTimeChartFontSize() const { return FScale.GetTimeChartFontSize(); }
    int _TimeChartFontSize(int extraZoom, int pixelsPerInch) const;
    int ResizeGrabWidth() const { return FScale.ResizeGrabWidth(); }
    // The chart font at the zoom (TimeChart's font).
    QFont TimeChartFont() const;

    // --- dates and pixels on the window ---
    TDateTime GetTimeChartEnd() const;
    TDateTime TimeChartXToDate(int x) const;
    // The minute under x in hours mode in chart row `row`.
    TDateTime GetExactDate(int x, int row) const;
    // Pixels per day of the window's view as the rectangles compute them.
    double WindowPixelsPerDay() const;
    // The geometry over this document for any view, and its rectangles for the window.
    TChartGeometry Geometry() const { return TChartGeometry(FDoc); }
    TRect TimeChartRect(TDateTime startDate, TDateTime endDate, int row, bool noExact, bool multiRow) const;
    TRect ItemRect(TNodeData *node, bool fullHeight) const;
    TRect ArrowRect(TNodeData *node) const;
    // A row's label box on the window, measured with the chart font.
    TRect PositionRect(int row) const;
    TLabelMetrics LabelMetrics() const;
    // The overview's slider.
    TRect SliderRect() const;
    // What stays in place while the chart scrolls sideways: the position labels of
    // the rows in the window (laid over the chart's pixels), and the band under the
    // last row with the fade-out note.
    QRegion LabelRegion() const;
    QRegion FadeOutBandRegion() const;
    // Label widths are measured once per font and row list.
    const TLabelWidthCache &LabelWidths() const { return FLabelWidths; }

    // --- the view ---
    TDateTime TimeChartStart() const { return FTimeChartStart; }
    int TimeChartTop() const { return FTimeChartTop; }
    TDateTime GetTimeChartStartDestination() const { return TimeChartStartDestination; }
    int GetTimeChartTopDestination() const { return TimeChartTopDestination; }
    TDateTime MinDate() const { return FMinDate; }
    TDateTime MaxDate() const { return FMaxDate; }
    TDateTime DataMinDate() const { return FDataMinDate; }
    TDateTime DataMaxDate() const { return FDataMaxDate; }
    TDateTime UserDate() const { return FUserDate; }
    int TimeChartColWidth() const { return FScale.FTimeChartColWidth; }
    const QString &TimeChartFontName() const { return FTimeChartFontName; }
    int TimeChartFontSize() const { return FScale.FTimeChartFontSize; }
    int SmallTimeChartRowHeight() const { return FSmallTimeChartRowHeight; }

    void SetZoom(int percent);
    void SetTransparency(int percent);
    int GetTransparency() const { return FTransparency; }
    void SetTimeChartColWidth(int width);
    void SetTimeChartStart(TDateTime date);
    void SetTimeChartTop(int pixels);
    void SetTimeChartDestination(TDateTime start, int top, bool immediate);
    bool SetTimeChartBounds(TDateTime min, TDateTime max);
    void SetUserdate(TDateTime date);
    void UpdateScrollBars(TScrollStyle which);
    TRowSet GetRowSet() const;
    void SetRowSet(TRowSet rowSet);
    void SetTimeChartFontName(const QString &name);
    void SetTimeChartFontSize(int size);
    void UpdateFont();
    void SetSmallTimeChartRowHeight(int height);
    // The overview's height in a chart `chartHeight` pixels high: its rows at the
    // row height, fewer pixels a row where that would take more than a third of
    // the chart, and never more than the third.
    int OverviewHeight(int chartHeight) const;
    void InvalidateTimeChart(bool withCaptions);

    // --- handlers ---
    void TimeChartHorzScroll();
    void TimeChartVertScroll();
    void TimeChartMouseWheelDown();
    void TimeChartMouseWheelUp();
    void TimeChartPanelResize();
    // The font boxes' changes (their text, and the chosen font's name).
    void FontSizeComboBox1Change(const QString &text);
    void ScFontComboBox1Change(const QString &name);
    // Splitter1 (between the chart and the tables, the main window's TSplitter)
    // keeps the chart area at least as high as the captions above the chart plus
    // the splitter's MinSize; Splitter3 snaps the overview to whole pixel rows.
    void Splitter1CanResize(TSplitter &sender, int &newSize, bool &accept);
    void Splitter3CanResize(TSplitter &sender, int &newSize, bool &accept);

    // The scroll animation: every scroll but the immediate ones heads for the
    // destinations; each tick halves the distance left.
    QTimer &SliderTimer() { return FSliderTimer; }
    void SliderTimerTimer();
    // Scrolls a selected record's bar into the middle of the chart (the tables
    // call it for their focused row; moving bars calls it for the grabbed one).
    // While the mouse draws, moves or resizes, only when exactly one of the
    // option "Scroll Timechart while moving Task" and the Shift key holds.
    void CenterNode(TNodeData *node);

    // --- the mouse on the chart and on the overview ---
    TTimeChartMouse &Mouse() const { return *FMouseHandler; }
    void SmallTimechartMouseDown(QMouseEvent &event);
    void SmallTimeChartMouseMove(QMouseEvent &event);
    void SmallTimeChartMouseUp(QMouseEvent &event);
    // The overview's drawing without the slider, kept between paints and drawn
    // again only where data, range or rows changed.
    const QImage &SmallTimeChartImage() const { return FSmallImage; }
    // A large plan's overview is made in pieces, a band of rows per paint: true
    // while bands are left to a later paint.
    bool SmallTimeChartPiecesLeft() const { return FSmallPiecesLeft; }
    // Rows drawn in one paint, about (tests make small plans come in bands).
    void SetSmallRowsPerPiece(qint64 rows) { FSmallRowsPerPiece = std::max<qint64>(1, rows); }

    // The document was emptied (new, open, reload): until its range is worked
    // out, the chart says it is preparing instead of showing dates.
    void DocumentReset();
    bool IsPreparing() const { return !FRangeKnown; }

    // --- layout passes, batching and tabs ---
    void UpdateBoundsProc();
    void UpdateEmptyRowsProc();
    // True when the pass ran (it does nothing while updating).
    bool UpdateOverlappingProc();
    // The index of the bars by their days, built now (in slices, when a row walk
    // tells its progress) rather than by the first paint that shows bars.
    void PrepareBarIndex();
    // The idle tick's entry: the passes whose requests are pending, in the order
    // empty rows, bounds, overlaps. After an overlap pass, with "Automatically
    // arrange items" checked, the AutoArrange handler follows.
    void RunPendingLayoutPasses();
    // The handler is the time command of the overlap solver unless set.
    void SetOnAutoArrange(std::function<void()> handler) { FOnAutoArrange = std::move(handler); }
    // The commands that solve overlaps.
    TOverlapSolver &Solver() const { return *FSolver; }
    bool IsOverlapIgnored(const TNodeData &node) const
    {
        return !FIgnoreOverlappingNodes.isEmpty() && FIgnoreOverlappingNodes.contains(node.ID);
    }
    // While suspended, the empty-rows pass hides no row whatever the options say.
    void SetHidingSuspended(bool suspended) { FHidingSuspended = suspended; }
    // Tasks the user chose to leave overlapping, held by their IDs; rows deleted
    // meanwhile are dropped before each use.
    void IgnoreOverlappingNode(const TNodeData &node);
    void ClearIgnoreOverlappingNodes();
    QStringList IgnoreOverlappingNodes();
    void TabControl1Change();
    void AddPositionGroup(const QString &name, const QString &filter);
    void ResetPositionGroups();
    // Extra rows of multi-row positions (not named like a position).
    bool isMultiRow(int row) const;
    void CB_SetRecalcBitmap(TNodeData &node);

    // --- from the document (the main window's IDocumentHost passes these on) ---
    // UpdateTextChanged: the bracket's text; its outermost end rebuilds the tab's
    // rows and the scroll bars and re-clamps the view.
    void DocumentUpdateTextChanged(const QString &text, bool busy);
    // RunLayoutPass: a pass asked for at once.
    void RunLayoutPass(TLayoutPass pass);
    // InvalidateNodeArea: the row's bar on the chart and the overview, with the
    // marks of a selected bar (shadow, date box, deadline arrow).
    void InvalidateNodeArea(const TNodeData &node, bool selected);
    // The selection of `table` changed for many rows (`changed`, whose first
    // `left` rows left it and the others joined it; `kept`: the rows selected
    // before and after): the chart's view is painted anew, the overview only
    // where its drawing can change (all of it when that is not known).
    void RepaintSelectionChange(TWhichTable table, const std::vector<TNodeData *> &changed, std::size_t left,
        const std::vector<TNodeData *> &kept);
    // StartFlashSelected: a colour changed.
    void StartFlashSelected();
    // RowBatchStarted, RowBatchEnded: while a walk over many rows runs, the
    // areas its rows ask to repaint are gathered and handed to the panels as a
    // few rectangles at its end; once they cover both panels, a row's area is
    // no longer worked out.
    void BeginAreaBatch();
    void EndAreaBatch();

    // --- colour legends ---
    void ItemColorPanelPaint(QPainter &canvas);
    void HolidayColorPanelPaint(QPainter &canvas);
    void ItemColorPanelMouseMove(QMouseEvent &event);
    void HolidayColorPanelMouseMove(QMouseEvent &event);
    void ItemColorPanelMouseDown(QMouseEvent &event);
    void HolidayColorPanelMouseDown(QMouseEvent &event);
    bool IsColorSelected(TWhichTable table, int colorIndex) const;
    // The colour lists or items changed: lay the legends out and repaint them.
    void LegendsChanged();
    // The selection flash's step (percent faded in), none when it does not run.
    void SetLegendFlash(std::optional<int> percent);

    // --- painting ---
    // The chart's pixels (into the panel's buffer), and the labels laid over them.
    void TimeChartPaint(QPainter &canvas, const QRegion &region);
    void TimeChartOverlayPaint(QPainter &canvas, const QRegion &region);
    void TimeChartCaptionPaint(QPainter &canvas, const QRegion &region);
    void SmallTimeChartPaint(QPainter &canvas, const QRegion &region);
    void SmallTimeChartCaptionPaint(QPainter &canvas, const QRegion &region);
    // The painters (printing and export draw the whole chart with DrawBitmap) and
    // what the mouse shows on the chart (rubber band, moved bars' dates).
    TChartPainter &Painter() const;
    TBarPainter &BarPainter() const;
    TChartPaintMouse &PaintMouse() const;
    // The pixels the chart's paint handler painted since the count was reset
    // (diagnostics: a scroll paints only what it uncovers).
    qint64 PaintedArea() const { return FPaintedArea; }
    void ResetPaintedArea() { FPaintedArea = 0; }
    // Every 60 seconds both charts are repainted, so the today marker moves on.
    QTimer &RedrawTimer() { return FRedrawTimer; }
    void RedrawTimerTimer();
    // The selection flash after a colour change or a press on a bar: six steps
    // of 100 ms over the selected bars and their legend swatches, then the
    // normal look. The main window restarts it (StartFlashSelected).
    QTimer &FlashSelectedTimer() { return FFlashSelectedTimer; }
    void FlashSelectedTimerTimer();
    // Beyond this many rows, a change of the rows' look repaints the chart's view
    // whole instead of each row's bar.
    static constexpr std::size_t RowRepaintLimit = 2000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The group's rows (before hiding) as the empty-rows pass reads them: the
    // first position named like each (what a row naming it is parsed to, -1 for
    // none), and whether each is an extra row of a multi-row position. Rebuilt
    // when the row lists change.
    struct TGroupRowInfo {
        bool Valid = false;
        QStringList Rows;
        QStringList Positions;
        std::vector<int> FirstOfName;
        std::vector<bool> Extra;
    };
    const TGroupRowInfo &GroupRowInfo() const;
    // True when a row's ID was dropped.
    bool PruneIgnoreOverlappingNodes();
    void BuildPanels();
    void BuildLegends();
    // The tabs follow the document's position groups; `current` is selected.
    void SyncTabs(int current);
    void InvalidateSlider();
    void RepaintSelectedBars();
    // The overview's drawing is to be made again in `area` (all of it when empty).
    void InvalidateSmallTimeChart(const QRect &area = QRect());
    // What of the overview's drawing this paint makes: all that is to be made,
    // or its top band on a plan too large for one paint.
    QRegion NextSmallPiece() const;
    void SmallPieceTimerTimer();
    // The chart row a row's bar is drawn in; none when it is not shown.
    std::optional<int> ChartRowOfNode(const TNodeData &node) const;
    TRect NodeBar(const TNodeData &node, int chartRow, TDateTime start, TDateTime end, int top, int rowHeight,
        int width, bool fullHeight) const;
    // The row's bar on the overview.
    void InvalidateOverviewNode(const TNodeData &node, int chartRow);
    // The overview bar takes the height OverviewHeight gives.
    void FitOverview();
    // The overview's rows as painted: this many pixels each, one when there are
    // more rows than pixels (they are squeezed into the overview).
    int SmallTimeChartRowPixels() const;
    // An area of those rows in the overview's pixels.
    QRect SmallTimeChartArea(const TRect &rows) const;
    // The view's start when the overview's slider is centred on `point`.
    void SliderDestination(QPoint point, TDateTime &start, int &top) const;

    void Wheel(QWheelEvent &event);
    void AlignCaption();
    void LegendPaint(TWhichTable table, QPainter &canvas);
    void LegendMouseMove(TWhichTable table, QMouseEvent &event);
    void LegendMouseDown(TWhichTable table, QMouseEvent &event);
    TCanvasPanel &Legend(TWhichTable table) const;
    int LegendCount(TWhichTable table) const;
    // The swatch under `point` of a legend, -1 for none.
    int LegendSwatchAt(TWhichTable table, QPoint point) const;
    std::vector<TColor> LegendColors(TWhichTable table) const;
    void SetLegendColor(TWhichTable table, int index, TColor color);

    Document &FDoc;
    ITimeChartHost &FHost;

    TScrollBarBox *FTimeChartBox = nullptr;
    TCanvasPanel *FTimeChartCaption = nullptr;
    TCanvasPanel *FSmallTimeChart = nullptr;
    TCanvasPanel *FSmallTimeChartCaption = nullptr;
    QWidget *FOverviewBar = nullptr;
    TSplitter *FSplitter3 = nullptr;
    QWidget *FTimeChartPanel = nullptr;
    QTabBar *FTabControl1 = nullptr;
    QPointer<QWidget> FLegendBar;
    TCanvasPanel *FItemColorPanel = nullptr;
    TCanvasPanel *FHolidayColorPanel = nullptr;

    TChartScale FScale;
    int FTransparency = 50;
    QString FTimeChartFontName;
    TDateTime FTimeChartStart = 0;
    int FTimeChartTop = 0;
    TDateTime TimeChartStartDestination = 0;
    int TimeChartTopDestination = 0;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TDateTime FDataMinDate = 0;
    TDateTime FDataMaxDate = 0;
    // Unset (0, no plausible date) until the first bounds pass.
    TDateTime FUserDate = 0;
    bool FRangeKnown = false;
    int FSmallTimeChartRowHeight = 2;
    mutable TLabelWidthCache FLabelWidths;
    QTimer FSliderTimer;
    int FWheelDelta = 0;

    mutable TGroupRowInfo FGroupRowInfo;
    QSet<QString> FIgnoreOverlappingNodes;
    std::uint64_t FIgnoreRevision = 0;
    // What the range and overlap passes keep between runs.
    std::unique_ptr<TDataBounds> FDataBounds;
    std::unique_ptr<TOverlapTracker> FOverlaps;
    std::function<void()> FOnAutoArrange;
    std::optional<int> FLegendFlash;
    bool FSyncingTabs = false;

    std::unique_ptr<TTimeChartPainting> FPainting;
    std::unique_ptr<TTimeChartMouse> FMouseHandler;
    std::unique_ptr<TOverlapSolver> FSolver;
    bool FHidingSuspended = false;
    bool FSolveEnabled = false;
    QImage FSmallImage;
    QImage FSliderTint;
    TDirtyArea FSmallDirty;
    QTimer FSmallPieceTimer;
    bool FSmallPiecesLeft = false;
    bool FSmallPieceDue = false; // the next paint draws a band
    // Past this many rows the overview is made in bands: the window keeps
    // answering (and the chart shows) while a large plan's overview is made.
    qint64 FSmallRowsPerPiece = 150000;
    // An open row batch gathers the areas its rows ask to repaint (see
    // BeginAreaBatch).
    int FAreaBatch = 0;
    TDirtyArea FBatchChartArea;
    TDirtyArea FBatchSmallArea;
    bool FSliderGrabbed = false;
    qint64 FPaintedArea = 0;
    QTimer FRedrawTimer;
    QTimer FFlashSelectedTimer;
};

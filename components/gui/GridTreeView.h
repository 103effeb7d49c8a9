#pragma once

#include "components/BaseGridTree.h"
#include "components/GridTreeHooks.h"
#include "components/gui/GTClipboardFormats.h"
#include "components/gui/GTDragManager.h"
#include "components/gui/GTEditLink.h"
#include "components/gui/GTPaintInfo.h"
#include "components/gui/GridTreeColumnsHost.h"
#include "components/gui/GridTreeExport.h"
#include "components/gui/GridTreeHintWindow.h"
#include "components/gui/HeaderTypes.h"
#include "components/gui/HitTestTypes.h"
#include "platform/gui/ControlTypes.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QBrush>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <functional>
#include <memory>

class QMenu;
class QMimeData;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class TGTDragImage;
class QTimer;
class QScrollBar;
class TCustomGridTreeOptions;
class TGTColors;
class TGTHeader;
class TGridTreeColumn;
class THeaderStrip;
class TImageList;
class TPanningWindow;
class TPositionCache;
class TScrollBarOptions;

enum TGTButtonStyle { bsRectangle, bsTriangle };
enum TGTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum TGTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum TGTLineMode { lmNormal, lmBands };
enum TGTNodeAlignment { naFromBottom, naFromTop, naProportional };
enum TCheckImageKind {
    ckLightCheck,
    ckDarkCheck,
    ckLightTick,
    ckDarkTick,
    ckFlat,
    ckXP,
    ckCustom,
    ckSystemFlat,
    ckSystemDefault
};
enum TDragOperation : uint8_t { doCopy, doMove, doLink };
using TDragOperations = TSmallSet<TDragOperation, uint8_t>;
enum TGTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
enum TGTDragType { dtOLE, dtVCL };
enum THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TGTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TGTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

enum TGTSearchDirection { sdForward, sdBackward };
enum TDragMode { dmManual, dmAutomatic };
// The frame drawn around the client area and the header (besides the border).
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

// The view's states beside the node store's.
enum TGridTreeViewState : uint8_t {
    tsUseThemes,
    tsPainting,
    tsEditing,
    tsDrawSelPending,
    tsDrawSelecting,
    tsScrollPending,
    tsScrolling,
    tsThumbTracking,
    tsWheelPanning,
    tsWheelScrolling,
    tsInAnimation,
    tsSizing,
    // Mouse buttons held, and the second press of a double click being handled.
    tsLeftButtonDown,
    tsMiddleButtonDown,
    tsRightButtonDown,
    tsLeftDblClick,
    tsMiddleDblClick,
    tsRightDblClick,
    // Gestures a press leaves pending until the release or a move.
    tsEditPending,
    tsNodeHeightTrackPending,
    tsNodeHeightTracking,
    tsToggleFocusedSelection,
    tsOLEDragPending,
    tsOLEDragging,
    tsVCLDragPending,
    // Incremental search: the next character belongs to it, a text is being collected.
    tsIncrementalSearchPending,
    tsIncrementalSearching,
    tsPopupMenuShown,
    tsHint,
    tsCutPending,
    tsWindowCreating,
    // Hints, clipboard and drag and drop beside the states above.
    tsCancelHintAnimation,
    tsCopyPending,
    tsVCLDragging,
    tsUserDragObject
};
using TGridTreeViewStates = TSmallSet<TGridTreeViewState, uint64_t>;

// What an offset change brings up to date besides the offsets.
enum TScrollUpdateOption : uint8_t {
    suoRepaintHeader,
    suoRepaintScrollBars,
    suoScrollClientArea,
    suoUpdateNCArea
};
using TScrollUpdateOptions = TSmallSet<TScrollUpdateOption, uint8_t>;
inline constexpr TScrollUpdateOptions DefaultScrollUpdateOptions { suoRepaintHeader, suoRepaintScrollBars,
    suoScrollClientArea, suoUpdateNCArea };

// Where auto scrolling moves the view.
enum TScrollDirection : uint8_t { sdLeft, sdUp, sdRight, sdDown };
using TScrollDirections = TSmallSet<TScrollDirection, uint8_t>;

// One step of an animation: the step reached and the size of this one; false stops.
using TGTAnimationCallback = std::function<bool(int Step, int StepSize)>;

// The tree-grid control's window: a scroll area that shows a node store (the
// store it is given, or its own), with its header as a painted strip above the
// viewport. It implements the store's hooks (repainting, scroll bars, the
// position cache, the change timers) and the columns' host. A given store and
// the view may go in either order (the store detaches the view when it goes);
// after the store has gone the view shows nothing.
class TGridTreeView : public QAbstractScrollArea, protected TGridTreeHooks, public TGridTreeColumnsHost {
    Q_OBJECT

public:
    // Shows a store of its own.
    explicit TGridTreeView(QWidget *Parent = nullptr);
    // Shows Store, which its owner keeps.
    explicit TGridTreeView(TBaseGridTree &Store, QWidget *Parent = nullptr);
    ~TGridTreeView() override;

    // The store shown, nil once a given store has gone.
    TBaseGridTree *Tree() const { return FTree; }
    TGTHeader &Header() const { return *FHeader; }
    TCustomGridTreeOptions &TreeOptions() const { return *FOptions; }
    void SetTreeOptions(const TCustomGridTreeOptions &Value);
    TGTColors &Colors() const { return *FColors; }
    TScrollBarOptions &ScrollBarOptions() const { return *FScrollBarOptions; }
    // The cache of the store shown (nil without a store).
    TPositionCache *PositionCache() const { return FCache.get(); }
    TGridTreeViewStates ViewStates() const { return FViewStates; }

    // ---- properties ------------------------------------------------------------------
    uint32_t DefaultNodeHeight() const;
    void SetDefaultNodeHeight(uint32_t Value);
    int Indent() const override { return FIndent; }
    void SetIndent(int Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int TextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TGTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TGTNodeAlignment Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    int BottomSpace() const { return FBottomSpace; }
    // Whether the owner's OnBeforeCellPaint keeps no margins (leaves ContentRect
    // as the cell when asked for them): then no row is asked, which fitting a
    // column of a large table would do for every row.
    bool NoContentMargins() const { return FNoContentMargins; }
    void SetNoContentMargins(bool Value) { FNoContentMargins = Value; }
    void SetBottomSpace(int Value);
    // The tree's background colour (the window colour).
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TGTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TGTButtonStyle Value);
    TGTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TGTButtonFillMode Value);
    TGTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TGTLineStyle Value);
    TGTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TGTLineMode Value);
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind Value);
    // The check images of CheckImageKind (ckCustom: CustomCheckImages, may be nil).
    const TImageList *CheckImages() const;
    TImageList *CustomCheckImages() const { return FCustomCheckImages; }
    void SetCustomCheckImages(TImageList *Value);
    TDragOperations DragOperations() const { return FDragOperations; }
    void SetDragOperations(TDragOperations Value) { FDragOperations = Value; }
    TGTDragImageKind DragImageKind() const { return FDragImageKind; }
    void SetDragImageKind(TGTDragImageKind Value) { FDragImageKind = Value; }
    TGTDragType DragType() const { return FDragType; }
    void SetDragType(TGTDragType Value) { FDragType = Value; }
    int DragWidth() const { return FDragWidth; }
    void SetDragWidth(int Value) { FDragWidth = Value; }
    int DragHeight() const { return FDragHeight; }
    void SetDragHeight(int Value) { FDragHeight = Value; }
    int AnimationDuration() const { return FAnimationDuration; }
    // A non-zero duration switches toAnimatedToggle on, 0 switches it off.
    void SetAnimationDuration(int Value);
    uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(uint8_t Value);
    // Corner radius of selection rectangles (0: square).
    int SelectionCurveRadius() const { return FSelectionCurveRadius; }
    void SetSelectionCurveRadius(int Value);
    TGTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
    void SetDrawSelectionMode(TGTDrawSelectionMode Value);
    // The picture behind the rows (toShowBackground), tiled from the tree's
    // origin less the offsets, or fixed at them with toStaticBackground.
    const QImage &Background() const { return FBackground; }
    void SetBackground(const QImage &Value);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    // Index 0 sets X, 1 sets Y.
    void SetBackgroundOffset(int Index, int Value);
    TImageList *Images() const { return FImages; }
    void SetImages(TImageList *Value);
    TImageList *StateImages() const { return FStateImages; }
    void SetStateImages(TImageList *Value);
    THintAnimationType HintAnimation() const { return FHintAnimation; }
    void SetHintAnimation(THintAnimationType Value) { FHintAnimation = Value; }
    int AutoExpandDelay() const { return FAutoExpandDelay; }
    void SetAutoExpandDelay(int Value) { FAutoExpandDelay = Value; }
    int AutoScrollDelay() const { return FAutoScrollDelay; }
    void SetAutoScrollDelay(int Value) { FAutoScrollDelay = Value; }
    int AutoScrollInterval() const { return FAutoScrollInterval; }
    void SetAutoScrollInterval(int Value) { FAutoScrollInterval = Value; }
    int EditDelay() const { return FEditDelay; }
    void SetEditDelay(int Value) { FEditDelay = Value; }
    // Milliseconds by which change notifications are delayed (0: at once).
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value);
    TGTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    // Switching the search off ends a search in progress.
    void SetIncrementalSearch(TGTIncrementalSearch Value);
    TGTSearchStart IncrementalSearchStart() const { return FIncrementalSearchStart; }
    void SetIncrementalSearchStart(TGTSearchStart Value) { FIncrementalSearchStart = Value; }
    int IncrementalSearchTimeout() const { return FIncrementalSearchTimeout; }
    void SetIncrementalSearchTimeout(int Value) { FIncrementalSearchTimeout = Value; }
    TGTAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TGTAttachMode Value) { FDefaultPasteMode = Value; }
    // The store's focused column (OnFocusChanging may refuse a change).
    TColumnIndex FocusedColumn() const;
    void SetFocusedColumn(TColumnIndex Value);
    // The column of a running in-place edit.
    TColumnIndex EditColumn() const { return FEditColumn; }
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *Value) { FPopupMenu = Value; }
    TGTSearchDirection SearchDirection() const { return FSearchDirection; }
    void SetSearchDirection(TGTSearchDirection Value) { FSearchDirection = Value; }
    // The text typed so far in an incremental search.
    const QString &SearchBuffer() const { return FSearchBuffer; }
    // Tab and Shift+Tab move the focus between cells instead of leaving the tree.
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    // The cursor over the hot node with toHotTrack (the control's own cursor
    // when it is the arrow).
    Qt::CursorShape HotCursor() const { return FHotCursor; }
    void SetHotCursor(Qt::CursorShape Value) { FHotCursor = Value; }
    // The control's cursor over its client area.
    Qt::CursorShape TreeCursor() const { return FTreeCursor; }
    void SetTreeCursor(Qt::CursorShape Value);
    // dmAutomatic: a press on a node may start dragging it.
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    // A ring of BorderWidth pixels in Colors().BorderColor inside the bevel,
    // around the header and the client area.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // The node under the mouse (toHotTrack, check boxes) and its column.
    TGridNode *HotNode() const { return FTree ? FTree->HotNode() : nullptr; }
    TColumnIndex HotColumn() const { return FCurrentHotColumn; }

    // ---- update bracket and long operations ---------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const override;
    // A nesting count; the first BeginOperation clears the cancel flag.
    void BeginOperation();
    // Fails with EGridTreeAssertion when no operation runs.
    void EndOperation();
    // True only while an operation runs and CancelOperation was called.
    bool OperationCanceled() const { return FOperationCount > 0 && FOperationCanceled; }
    void CancelOperation() { FOperationCanceled = true; }

    // ---- positions ------------------------------------------------------------------
    TGridNode *GetNodeAt(int X, int Y);
    // The visible node covering Y (X is not used). With Relative, Y is a client
    // coordinate and NodeTop is returned as one; a point below the last row
    // gives nil and leaves NodeTop alone.
    TGridNode *GetNodeAt(int X, int Y, bool Relative, int &NodeTop);
    // The nodes at client rows 0 and ClientHeight - 1.
    TGridNode *TopNode();
    TGridNode *BottomNode();
    // Scroll so that the node's row is the first (last) in the client area,
    // expanding its collapsed ancestors first.
    void SetTopNode(TGridNode *Node);
    void SetBottomNode(TGridNode *Node);
    int CompareNodePositions(TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove = false);

    // ---- painting ----------------------------------------------------------------------
    // Paints the tree area Window (tree coordinates: unscrolled, the first row at
    // 0) to TargetCanvas with its top-left corner at Target, row by row through
    // a row buffer, firing the paint events. Nothing while a paint runs.
    void PaintTree(
        QPainter &TargetCanvas, const TRect &Window, QPoint Target, TGTInternalPaintOptions PaintOptions);
    // The window's painting of UpdateRect (client coordinates); with fixed
    // columns the whole client area in two parts, the fixed one unscrolled.
    void Paint(QPainter &Canvas, const TRect &UpdateRect);
    // The band selection's rectangle in tree coordinates (the mouse input sets it).
    TRect NewSelRect() const { return FNewSelRect; }
    bool IsMouseSelecting() const;

    // ---- offsets and scroll bars ---------------------------------------------------------
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    // Clamps both offsets to the ranges and, on a change, scrolls the client
    // area (fixed columns kept still, within ClipRect when given), updates the
    // header and the bars as Options say and fires OnScroll; true when an
    // offset changed.
    virtual bool DoSetOffsetXY(QPoint Value, TScrollUpdateOptions Options = DefaultScrollUpdateOptions,
        const TRect *ClipRect = nullptr);
    int EffectiveOffsetX() const override;
    // The scrollable size: the columns' total width (the widest row on screen
    // without columns); the tree's total height plus BottomSpace.
    int RangeX() const { return FRangeX; }
    int RangeY() const;
    void UpdateScrollBars(bool DoRepaint);
    void UpdateHorizontalScrollBar() override { UpdateHorizontalScrollBar(true); }
    void UpdateHorizontalScrollBar(bool DoRepaint);
    void UpdateVerticalScrollBar(bool DoRepaint = true);
    int ClientWidth() const override;
    int ClientHeight() const;
    // The widest row extent among the rows on screen (indent, images, content)
    // plus Margin: the horizontal range without columns.
    int GetMaxRightExtend();
    // Brings the node's row into view, expanding collapsed ancestors; true when
    // it lay outside the client area or was centred. Horizontally also the
    // focused column.
    bool ScrollIntoView(TGridNode *Node, bool Center, bool Horizontally = false) override;
    bool ScrollIntoView(TColumnIndex Column, bool Center);
    // The node's rectangle in client coordinates (in Column, or the whole row
    // for NoColumn); TextOnly: only its content; Unclipped: the whole content
    // even where it passes the cell. Empty for a node not shown.
    TRect GetDisplayRect(TGridNode *Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
        bool ApplyCellContentMargin = false);

    // ---- auto scroll, panning and animation ------------------------------------------
    virtual bool CanAutoScroll() const;
    virtual TScrollDirections DetermineScrollDirections(int X, int Y);
    // The mouse moved to X, Y (client coordinates) while auto scroll may run.
    virtual void DoAutoScroll(int X, int Y);
    // One tick of the scroll timer.
    virtual void DoTimerScroll();
    // Middle-button panning around Position (client coordinates).
    void StartWheelPanning(QPoint Position);
    virtual void StopWheelPanning();
    virtual void AdjustPanningCursor(int X, int Y);
    // Calls Callback for Steps units spread over Duration milliseconds, sleeping
    // until each step's time, then once more with step 0 and size 0. Nothing
    // while an animation runs or for Duration 0.
    virtual void Animate(uint32_t Steps, uint32_t Duration, const TGTAnimationCallback &Callback);
    // The hint animation to use: the system default resolved from Qt's tooltip effects.
    THintAnimationType DoGetAnimationType() const;

    // ---- columns ----------------------------------------------------------------------
    // The widest content of a column (smart: of the rows on screen only), at least
    // its caption with room for the sort glyph.
    int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);

    // ---- hit testing and window services (GridTreeHitTest.cpp) -----------------------------
    // What lies at X, Y: client coordinates with Relative, else tree coordinates.
    void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo &HitInfo);
    // The sizes the border and the frame take on each side (negative).
    QSize GetBorderDimensions() const;
    // The control's own popup menu is set, or OnGetPopupMenu gives one for the place.
    bool HasPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position);
    // Shows the menu OnGetPopupMenu gives for the place (client coordinates), if any.
    void DoPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position);
    // The answers to outside tools' questions about the items.
    TGridNode *TVMGetNextItem(TTVGetNextItem Code, TGridNode *Node);
    // Fills Item for Item.Node as its Mask asks; false for nil or the root.
    bool TVMGetItem(TTVItem &Item);
    // Whether the node is shown; when it is, its rectangle (TextOnly: of its
    // content) in client coordinates.
    bool TVMGetItemRect(TGridNode *Node, bool TextOnly, TRect &R);
    // Takes over another tree's properties, options, colours and header (not
    // while this one is read-only).
    virtual void Assign(const TGridTreeView &Source);

    // ---- events --------------------------------------------------------------------------
    std::function<void(TGridTreeView &, QPainter &TargetCanvas)> OnBeforePaint;
    // CustomDraw true: the handler drew the whole row itself.
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, const TRect &ItemRect, bool &CustomDraw)>
        OnBeforeItemPaint;
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, const TRect &ItemRect, TColor &ItemColor,
        TItemEraseAction &EraseAction)>
        OnBeforeItemErase;
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, const TRect &ItemRect)> OnAfterItemErase;
    // May fill the cell and narrow ContentRect; with cpmGetContentMargin it must not paint.
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, TColumnIndex, TGTCellPaintMode,
        const TRect &CellRect, TRect &ContentRect)>
        OnBeforeCellPaint;
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, TColumnIndex, const TRect &CellRect)>
        OnAfterCellPaint;
    std::function<void(TGridTreeView &, QPainter &, TGridNode *, const TRect &ItemRect)> OnAfterItemPaint;
    // The area below the last row; Handled true: no default background.
    std::function<void(TGridTreeView &, QPainter &TargetCanvas, const TRect &R, bool &Handled)>
        OnPaintBackground;
    std::function<void(TGridTreeView &, QPainter &TargetCanvas)> OnAfterPaint;
    std::function<void(TGridTreeView &, QPainter &TargetCanvas, TGridNode *, int &NodeHeight)> OnMeasureItem;
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, bool &IsEmpty)> OnGetCellIsEmpty;
    std::function<void(TGridTreeView &, int DeltaX, int DeltaY)> OnScroll;
    std::function<void(TGridTreeView &, TScrollBarKind, bool Show)> OnShowScrollbar;
    std::function<void(TGTHeader &, const TGTHeaderHitInfo &)> OnHeaderClick;
    std::function<void(TGTHeader &, const TGTHeaderHitInfo &)> OnHeaderDblClick;
    std::function<void(TGTHeader &, Qt::MouseButton, TShiftState, int X, int Y)> OnHeaderMouseDown;
    std::function<void(TGTHeader &, Qt::MouseButton, TShiftState, int X, int Y)> OnHeaderMouseUp;
    std::function<void(TGTHeader &, TShiftState, int X, int Y)> OnHeaderMouseMove;
    std::function<void(
        TGTHeader &, QPainter &, TGridTreeColumn *, const TRect &, bool Hover, bool Pressed, TGTDropMarkMode)>
        OnHeaderDraw;
    std::function<void(TGTHeader &, THeaderPaintInfo &, THeaderPaintElements &)> OnHeaderDrawQueryElements;
    std::function<void(TGTHeader &, THeaderPaintInfo &, THeaderPaintElements)> OnAdvancedHeaderDraw;
    std::function<void(TGTHeader &, TColumnIndex, bool &Allowed)> OnHeaderDragging;
    std::function<void(TGTHeader &, TColumnIndex, TColumnPosition OldPosition)> OnHeaderDragged;
    std::function<void(TGTHeader &, TColumnIndex, QPoint DropPosition)> OnHeaderDraggedOut;
    std::function<void(TGTHeader &, TColumnIndex, TShiftState)> OnBeforeColumnWidthTracking;
    std::function<void(TGTHeader &, TColumnIndex, TShiftState, QPoint &TrackPoint, QPoint P, bool &Allowed)>
        OnColumnWidthTracking;
    std::function<void(TGTHeader &, TColumnIndex)> OnAfterColumnWidthTracking;
    std::function<void(TGTHeader &, TColumnIndex, TShiftState, QPoint P, bool &Allowed)>
        OnColumnWidthDblClickResize;
    std::function<void(TGTHeader &, TShiftState)> OnBeforeHeaderHeightTracking;
    std::function<void(TGTHeader &, QPoint &P, QPoint Offset, TShiftState, bool &Allowed)>
        OnHeaderHeightTracking;
    std::function<void(TGTHeader &)> OnAfterHeaderHeightTracking;
    std::function<void(TGTHeader &, QPoint P, TShiftState, bool &Allowed)> OnHeaderHeightDblClickResize;
    std::function<void(TGTHeader &, TSmartAutoFitType &)> OnBeforeAutoFitColumns;
    std::function<void(TGTHeader &, TColumnIndex, TSmartAutoFitType &, bool &Allowed)> OnBeforeAutoFitColumn;
    std::function<void(TGTHeader &, TColumnIndex)> OnAfterAutoFitColumn;
    std::function<void(TGTHeader &)> OnAfterAutoFitColumns;
    std::function<void(TGTHeader &, QPoint P, TColumnIndex, bool &Allowed)> OnCanSplitterResizeColumn;
    std::function<void(TGTHeader &, Qt::CursorShape &Cursor)> OnGetHeaderCursor;
    std::function<void(TGTHeader &, TColumnIndex)> OnColumnResize;
    std::function<void(TGridTreeView &, TColumnIndex, bool &UseSmartColumnWidth)> OnBeforeGetMaxColumnWidth;
    std::function<void(TGridTreeView &, TColumnIndex, int &MaxWidth)> OnAfterGetMaxColumnWidth;
    // The popup for a node (nil: none) and column at a client point; AskParent
    // (default true) passes the question on to the node's parent while no menu is given.
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, QPoint, bool &AskParent, QMenu *&Menu)>
        OnGetPopupMenu;
    // The left button went down and up again on the rows (also the release of
    // a double click), and the double click itself.
    std::function<void(TGridTreeView &)> OnClick;
    std::function<void(TGridTreeView &)> OnDblClick;
    std::function<void(TGridTreeView &, TGridNode *OldNode, TGridNode *NewNode)> OnHotChange;
    std::function<void(TGridTreeView &, Qt::CursorShape &Cursor)> OnGetCursor;
    std::function<void(TGridTreeView &, TColumnIndex, TShiftState)> OnColumnClick;
    std::function<void(TGridTreeView &, TColumnIndex, TShiftState)> OnColumnDblClick;
    // The height a row takes while its lower edge is dragged (Allowed false: none).
    std::function<void(
        TGridTreeView &, TGridNode *, TColumnIndex, TShiftState, QPoint &TrackPoint, QPoint P, bool &Allowed)>
        OnNodeHeightTracking;
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, TShiftState, QPoint P, bool &Allowed)>
        OnNodeHeightDblClickResize;
    // A node's normal, state or overlay image (Index -1: none).
    std::function<void(
        TGridTreeView &, TGridNode *, TGTImageKind, TColumnIndex, bool &Ghosted, int &ImageIndex)>
        OnGetImage;
    // The same with the list the image comes from (nil: the tree's own).
    std::function<void(TGridTreeView &, TGridNode *, TGTImageKind, TColumnIndex, bool &Ghosted,
        int &ImageIndex, const TImageList *&ImageList)>
        OnGetImageEx;
    std::function<void(TGridTreeView &, TGridNode *, TGTImageKind, TColumnIndex, QString &ImageText)>
        OnGetImageText;
    // The 8 x 8 pattern of lsCustomStyle lines: one row per entry, its low byte
    // the pixels (high bit leftmost; a set bit shows the tree colour).
    std::function<void(TGridTreeView &, std::array<uint16_t, 8> &Bits)> OnGetLineStyle;
    // DoDefault false: the key is the handler's; it may also change the key.
    std::function<void(TGridTreeView &, int &Key, TShiftState &Shift, bool &DoDefault)> OnKeyAction;
    // Result 0: the node matches the search text.
    std::function<void(TGridTreeView &, TGridNode *, const QString &SearchText, int &Result)>
        OnIncrementalSearch;
    // The help context of a node (0: ask its parent).
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, int &HelpContext)> OnGetHelpContext;

    // ---- content export (the string tree's exports fire these) ------------------------------
    TGTExportMode ExportMode() const { return FExportMode; }
    void SetExportMode(TGTExportMode Value) { FExportMode = Value; }
    // Whether ExportMode lets the node into an export.
    bool CanExportNode(TGridNode *Node) const;
    std::function<void(TGridTreeView &, TGTExportType)> OnBeforeTreeExport;
    std::function<void(TGridTreeView &, TGTExportType)> OnAfterTreeExport;
    std::function<void(TGridTreeView &, TGTExportType)> OnBeforeHeaderExport;
    std::function<void(TGridTreeView &, TGTExportType)> OnAfterHeaderExport;
    std::function<void(TGridTreeView &, TGTExportType, TGridTreeColumn &)> OnBeforeColumnExport;
    std::function<void(TGridTreeView &, TGTExportType, TGridTreeColumn &)> OnColumnExport;
    std::function<void(TGridTreeView &, TGTExportType, TGridTreeColumn &)> OnAfterColumnExport;
    // False leaves the node out.
    std::function<bool(TGridTreeView &, TGTExportType, TGridNode *)> OnBeforeNodeExport;
    std::function<void(TGridTreeView &, TGTExportType, TGridNode *)> OnNodeExport;
    std::function<void(TGridTreeView &, TGTExportType, TGridNode *)> OnAfterNodeExport;
    // The first node of a text source and the step to the next one.
    using TGetNextNodeProc = std::function<TGridNode *(TGridNode *)>;
    void GetRenderStartValues(TGSTTextSourceType Source, TGridNode *&Node, TGetNextNodeProc &NextNodeProc);

    // ---- clipboard (GridTreeClipboard.cpp) ---------------------------------------------------
    // The names of the registered formats this tree offers (none while empty).
    TClipboardFormats &ClipboardFormats() const;
    void SetClipboardFormats(const QStringList &Value);
    // The registered formats ClipboardFormats names, then the owner's own.
    virtual void GetNativeClipboardFormats(TFormatList &Formats);
    // Renders a format of the nodes being cut or copied (ForClipboard) or
    // dragged: the tree's own records here, the owner's formats through
    // OnRenderOLEData. False when nothing is rendered.
    virtual bool RenderOLEData(const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard);
    // The tree of this process a data object names (nil: none, another
    // process's, or one gone since).
    static TGridTreeView *GetTreeFromDataObject(const QMimeData *DataObject);
    // The tree's number in this process, given on first use.
    uint32_t TreeNumber() const;
    // Bound to no key: the owner calls them.
    void CopyToClipboard();
    void CutToClipboard();
    // Fails with EGridTreeError when the clipboard cannot be read.
    bool PasteFromClipboard();
    // The marks of a pending cut or copy go.
    void CancelCutOrCopy();
    // A pending cut deletes the nodes marked.
    void FinishCutOrCopy();
    void MarkCutCopyNodes();
    TGridNode *GetFirstCutCopy(bool ConsiderChildrenAbove = false);
    TGridNode *GetNextCutCopy(TGridNode *Node, bool ConsiderChildrenAbove = false);
    // The marked nodes in tree order; Resolve leaves out those below a marked node.
    TNodeArray GetSortedCutCopySet(bool Resolve);
    // Inserts the tree records a data object carries at TargetNode (nil: the
    // root) by Mode; Optimized (a move within this process) moves Source's
    // nodes instead. False when there was nothing to insert; bad records
    // raise EGridTreeError and leave the tree as it was.
    bool ProcessOLEData(TGridTreeView *Source, const QMimeData *DataObject, TGridNode *TargetNode,
        TGTAttachMode Mode, bool Optimized);
    std::function<void(TGridTreeView &, TFormatList &Formats)> OnGetUserClipboardFormats;
    // A drag's data object of the owner's (left nil: the tree makes its own).
    std::function<void(TGridTreeView &, QMimeData *&DataObject)> OnCreateDataObject;
    // Handled true: Data holds the rendering of a format the tree does not render.
    std::function<void(TGridTreeView &, const TClipboardFormatEntry &Format, QByteArray &Data,
        bool ForClipboard, bool &Handled)>
        OnRenderOLEData;

    // ---- in-place editing (GridTreeEdit.cpp) ---------------------------------------------------
    // Focuses Node and edits its cell in Column (NoColumn without columns);
    // true while the editor runs. Fails with EGridTreeAssertion for nil or a
    // column out of range.
    bool EditNode(TGridNode *Node, TColumnIndex Column);
    // toEditable, enabled, not toReadOnly, and OnEditing allows.
    bool CanEdit(TGridNode *Node, TColumnIndex Column);
    // End or cancel a running or pending edit; true when there was none or it ended.
    bool EndEditNode();
    bool CancelEditNode();
    bool IsEditing() const { return FViewStates.contains(tsEditing); }
    const TGTEditLinkPtr &EditLink() const { return FEditLink; }
    // The editor moves to the focused cell's text again when that moved.
    void UpdateEditBounds();
    // Starts the editor on the focused node in EditColumn.
    virtual void DoEdit();
    // The editor ends (storing) or is cancelled; true when it was.
    virtual bool DoEndEdit();
    virtual bool DoCancelEdit();
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, bool &Allowed)> OnEditing;
    // Must give an editor when assigned.
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, TGTEditLinkPtr &EditLink)> OnCreateEditor;
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex)> OnEdited;
    std::function<void(TGridTreeView &, TColumnIndex)> OnEditCancelled;

    // ---- hints (GridTreeHints.cpp) ------------------------------------------------------------------
    TGTHintMode HintMode() const { return FHintMode; }
    void SetHintMode(TGTHintMode Value);
    // Whether the tree shows hints at all.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    // The hint for the mouse at P (client coordinates; the header lies above,
    // at negative y): true when the tree's window shows one; HintPos is where
    // it was proposed on the screen.
    bool CMHintShow(QPoint P, QPoint &HintPos);
    // True when a hint at P shows at once, without the hint pause.
    bool CMHintShowPause(QPoint P) const;
    // The hint goes and the area it was valid for with it.
    void CancelHint();
    // The tree's window (or the hint window) lost the mouse: the hint goes
    // unless the mouse is still over the tree in the hint's area.
    void HintMouseLeft();
    // The area (client coordinates) in which the hint shown stays valid.
    TRect LastHintRect() const { return FLastHintRect; }
    const TGTHintData &HintData() const { return FHintData; }
    TGridTreeHintWindow *HintWindow() const;
    // The owner's hint for a node, and the text a tooltip shows (the control's
    // hint here).
    virtual QString DoGetNodeHint(
        TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle);
    virtual QString DoGetNodeTooltip(
        TGridNode *Node, TColumnIndex Column, TGTHintLineBreakStyle &LineBreakStyle);
    // A draw tree's hints: their size (false: the tree does not size them) and
    // their painting (false: not painted by the owner).
    virtual bool DoGetHintSize(TGridNode *Node, TColumnIndex Column, TRect &R);
    virtual bool DoDrawHint(QPainter &Canvas, TGridNode *Node, const TRect &R, TColumnIndex Column);

    // ---- drag and drop (GridTreeDragDrop.cpp) ---------------------------------------------------
    // An OLE drag is pending or runs, or a class-library drag runs.
    bool Dragging() const;
    // Starts a drag of the selection: at once from the last click, or once
    // the mouse has moved Threshold pixels (negative: the system's distance).
    virtual void BeginDrag(bool Immediate, int Threshold = -1);
    // The drag loop: the data given (the tree's or the owner's) travels with
    // the effects allowed; returns the effect the target chose. Replaced by
    // SetDragLoop (where no platform drag loop runs); by default a QDrag.
    using TDragLoop
        = std::function<uint32_t(TGridTreeView &Source, QMimeData *DataObject, uint32_t AllowedEffects)>;
    static void SetDragLoop(TDragLoop Loop);
    uint32_t DragAndDrop(uint32_t AllowedEffects, QMimeData *DataObject);
    // The target's side, called for the drag events on the client area (P in
    // client coordinates); Effect goes in as the effects allowed and comes
    // out as the one chosen. False: the call failed (an exception).
    bool DragEnter(TShiftState KeyState, QPoint Pt, uint32_t &Effect);
    bool DragOver(TGridTreeView *Source, TShiftState KeyState, TDragState State, QPoint Pt, uint32_t &Effect);
    void DragLeave();
    // False: the drop was refused (or failed).
    bool DragDrop(const QMimeData *DataObject, TShiftState KeyState, QPoint Pt, uint32_t &Effect);
    // A class-library drag ends (also when cancelled).
    void DragFinished();
    void DragCanceled() { DragFinished(); }
    // The expand timer: a collapsed drop target opens.
    void DoDragExpand();
    // The effect a drop from Source would have by default and with the keys held.
    uint32_t SuggestDropEffect(TGridTreeView *Source, TShiftState Shift, QPoint Pt, uint32_t AllowedEffects);
    // The image of the nodes dragged, around HotSpot (client coordinates); with
    // a data object the system shows it.
    void PrepareDragImage(QPoint HotSpot, QMimeData *DataObject);
    bool CanShowDragImage() const { return FDragImageKind != diNoImage; }
    TGTDragImage &DragImage();
    // TreeRect (client coordinates) is repainted at once; an own drag image of
    // Tree over it takes the new painting under it first.
    static void UpdateWindowAndDragImage(
        TGridTreeView &Tree, const TRect &TreeRect, bool UpdateNCArea, bool ReshowDragImage);
    TGTDragManager &GetDragManager();
    std::function<void(TGridTreeView &, TGridNode *, TColumnIndex, bool &Allowed)> OnDragAllowed;
    std::function<void(TGridTreeView &, TGridTreeView *Source, TShiftState, TDragState, QPoint Pt, TDropMode,
        uint32_t &Effect, bool &Accept)>
        OnDragOver;
    std::function<void(TGridTreeView &, TGridTreeView *Source, const QMimeData *DataObject,
        const QStringList &Formats, TShiftState, QPoint Pt, uint32_t &Effect, TDropMode)>
        OnDragDrop;
    std::function<void(TGridTreeView &)> OnStartDrag;
    std::function<void(TGridTreeView &, QPoint Pt)> OnEndDrag;
    std::function<void(TGridTreeView &, TGTDragManagerPtr &DragManager)> OnCreateDragManager;
    // The nodes being dragged, in tree order without those below another one
    // (a node freed meanwhile leaves it).
    const TNodeArray &DragSelection() const { return FDragSelection; }
    // A target of this process moved the dragged nodes itself: the drag's end
    // deletes none of them.
    void ForgetMovedNodes();

signals:
    // F1: the help context of the focused node or its nearest ancestor that has
    // one (there is no help system here to show it).
    void HelpRequested(int HelpContext);

public:
    // ---- what the parts of the control tell the view -------------------------------------------
    // A colour of Colors changed.
    void ColorChanged(int Index);
    void PaintOptionsChanged(TGTPaintOptions Old);
    void ApplyScrollBarPolicies();
    // Frame repaint on resize and the drop target, from the misc options.
    void ApplyWindowOptions();
    // Without extended focus the focused column follows the main column.
    void FocusedColumnFollowsMainColumn(bool SwitchedOff);
    // The header's height or visibility changed: the viewport makes room.
    void UpdateHeaderRect();
    // The main column changed.
    virtual void MainColumnChanged();
    // Deselects every node.
    virtual void ClearSelection();
    // True unless OnGetCellIsEmpty says otherwise.
    virtual bool ColumnIsEmpty(TGridNode *Node, TColumnIndex Column);
    // Repaints the node's row.
    void InvalidateNode(TGridNode *Node) override;
    // The window has the keyboard focus.
    bool Focused() const;
    // Middle-button panning runs.
    bool Panning() const;
    // Where the last drag over the tree would drop.
    TDropMode LastDropMode() const { return FLastDropMode; }
    // Text, font and rectangle for an in-place editor (empty here).
    virtual void GetTextInfo(TGridNode *Node, TColumnIndex Column, QFont &AFont, TRect &R, QString &Text);
    // The popup menu for a node and column (nil node: for the header).
    QMenu *DoGetPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position);
    // The strip the header is painted into.
    QWidget &HeaderWidget() const;

    // ---- the columns' host (TGridTreeColumnsHost) --------------------------------------------------
    TGTHeaderOptions HeaderOptions() const override;
    THeaderStates HeaderStates() const override;
    TGTFixedAreaConstraints FixedAreaConstraints() const override;
    TRect HeaderRect() const override;
    TColumnIndex AutoSizeIndex() const override;
    void StoreAutoSizeIndex(TColumnIndex Value) override;
    TColumnIndex MainColumn() const override;
    void StoreMainColumn(TColumnIndex Value) override;
    TColumnIndex SortColumn() const override;
    void StoreSortColumn(TColumnIndex Value) override;
    void InvalidateHeader(TColumnIndex Column = NoColumn, bool ExpandToBorder = false) override;
    void RescaleHeader() override;
    bool IsLoading() const override { return HeaderStates().contains(hsLoading); }
    bool HasWindow() const override;
    int TreeHeight() const override;
    bool UseRightToLeftAlignment() const override { return false; }
    int ComputeRTLOffset() const override { return 0; }
    TColor TreeColor() const override { return FColor; }
    TBiDiMode TreeBiDiMode() const override { return bdLeftToRight; }
    void InvalidateTree() override;
    void CancelEditing() override { CancelEditNode(); }
    void DoColumnResize(TColumnIndex Column) override;
    void DoCanSplitterResize(QPoint P, TColumnIndex Column, bool &Allowed) override;
    void AnimateResizeStep(int X, int DX) override;

protected:
    // ---- the store's hooks (TGridTreeHooks) -----------------------------------------------------
    void Detached() override;
    void InvalidateToBottom(TGridNode *Node) override;
    void InvalidateColumn(int Column) override;
    void RepaintNode(TGridNode *Node) override;
    void InvalidateSelection() override;
    bool MouseButtonDown() const override;
    int FirstVisibleColumn() const override;
    bool ColumnVisible(int Column) const override;
    bool ColumnAllowsFocus(int Column) const override;
    bool ColumnCheckBox(int Column, TCheckType &Type, TCheckState &State) const override;
    void SetColumnCheckState(int Column, TCheckState State) override;
    void SetRedraw(bool Enabled) override;
    void UpdateScrollBars() override;
    void ResetScrollOffsets() override;
    void InterruptValidation() override;
    void PauseValidation() override;
    void InvalidateCache() override;
    void ValidateCache() override;
    bool StartTimer(TGridTreeTimer Timer, int Milliseconds) override;
    void StopTimer(TGridTreeTimer Timer) override;
    int ColumnCount() const override;

    // With toVariableNodeHeight, measures a node whose height is not measured
    // yet through OnMeasureItem; called on this thread before the cache worker
    // builds and while painting.
    virtual void MeasureItemHeight(TGridNode *Node);
    // The button images and the dotted line pattern follow the colours and the look.
    virtual void PrepareBitmaps(bool NeedButtons = true, bool NeedLines = true);
    // The width of a node's content in a column (0 until the string tree).
    virtual int DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas = nullptr);
    // A painter on a small image for measuring outside painting.
    QPainter &MeasureCanvas();

    // ---- painting steps ----------------------------------------------------------------
    // Column colour, selection and focus marks of one cell.
    virtual void PrepareCell(TGTPaintInfo &PaintInfo, int WindowOrgX, int MaxWidth);
    // Erases one row (R in tree coordinates; Floating: moved to the row buffer's top).
    void ClearNodeBackground(TGTPaintInfo &PaintInfo, bool UseBackground, bool Floating, TRect R);
    virtual bool DoPaintBackground(QPainter &Canvas, const TRect &R);
    void TileBackground(const QImage &Source, QPainter &Target, QPoint Offset, const TRect &R);
    void StaticBackground(const QImage &Source, QPainter &Target, QPoint Offset, const TRect &R);
    // The band (tree x, y from the buffer's top) in a row buffer whose painter
    // Target has its left edge at tree x WindowOrgX; TargetRect in buffer pixels.
    virtual void PaintSelectionRectangle(
        QPainter &Target, int WindowOrgX, const TRect &SelectionRect, const TRect &TargetRect);
    void AdjustImageBorder(
        const TImageList &Images, TBiDiMode BidiMode, int VAlign, TRect &R, TGTImageInfo &ImageInfo) const;
    void AdjustCoordinatesByIndent(TGTPaintInfo &PaintInfo, int Indent) const;
    // The first visible column as the paint column (InvalidColumn and position 0 without one).
    void InitializeFirstColumnValues(TGTPaintInfo &PaintInfo) const;
    // The base spans nothing: NextNonEmpty is the next visible column.
    virtual void AdjustPaintCellRect(TGTPaintInfo &PaintInfo, TColumnIndex &NextNonEmpty);
    // The cell's content (the string tree's text); nothing here.
    virtual void DoPaintNode(TGTPaintInfo &PaintInfo);
    // The margins OnBeforeCellPaint keeps around a cell's content ((0, 0) without a handler).
    virtual QPoint DoGetCellContentMargin(TGridNode *Node, TColumnIndex Column,
        TGTCellContentMarginType MarginType = ccmtAllSides, QPainter *Canvas = nullptr);
    // One-pixel dotted lines in the current pen colour on the tree colour, both ends included.
    virtual void DrawDottedHLine(const TGTPaintInfo &PaintInfo, int Left, int Right, int Top);
    virtual void DrawDottedVLine(const TGTPaintInfo &PaintInfo, int Top, int Bottom, int Left);
    // The painting events' dispatchers.
    virtual void DoBeforePaint(QPainter &Canvas);
    virtual void DoAfterPaint(QPainter &Canvas);
    virtual void DoBeforeItemPaint(
        QPainter &Canvas, TGridNode *Node, const TRect &ItemRect, bool &CustomDraw);
    virtual void DoBeforeItemErase(QPainter &Canvas, TGridNode *Node, const TRect &ItemRect, TColor &Color,
        TItemEraseAction &EraseAction);
    virtual void DoAfterItemErase(QPainter &Canvas, TGridNode *Node, const TRect &ItemRect);
    virtual void DoBeforeCellPaint(QPainter &Canvas, TGridNode *Node, TColumnIndex Column,
        TGTCellPaintMode CellPaintMode, const TRect &CellRect, TRect &ContentRect);
    virtual void DoAfterCellPaint(
        QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const TRect &CellRect);
    virtual void DoAfterItemPaint(QPainter &Canvas, TGridNode *Node, const TRect &ItemRect);
    virtual void DoPaintDropMark(QPainter &Canvas, TGridNode *Node, const TRect &R);
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoShowScrollbar(TScrollBarKind Bar, bool Show);

    // ---- decorations of the main column (lines, button, check and node images) -----------
    // The line image of a row (one entry per level) and its select level (selected ancestors).
    virtual int DetermineLineImageAndSelectLevel(TGridNode *Node, TLineImage &LineImage);
    virtual void PaintTreeLines(
        const TGTPaintInfo &PaintInfo, int VAlignment, int IndentSize, const TLineImage &LineImage);
    virtual void PaintNodeButton(QPainter &Canvas, TGridNode *Node, TColumnIndex Column, const TRect &R,
        int ButtonX, int ButtonY, TBiDiMode BidiMode);
    virtual void PaintCheckImage(QPainter &Canvas, const TGTImageInfo &ImageInfo, bool Selected);
    virtual void PaintImage(TGTPaintInfo &PaintInfo, TGTImageInfoIndex ImageInfoIndex, bool DoOverlay);
    // The image of a node's check box in the check images (-1: none); without a
    // node the image of the given type, state and enabled look (a header box).
    virtual int GetCheckImage(TGridNode *Node, TCheckType ImgCheckType = TCheckType::ctNone,
        TCheckState ImgCheckState = csUncheckedNormal, bool ImgEnabled = true);
    virtual void GetImageIndex(
        TGTPaintInfo &Info, TGTImageKind Kind, TGTImageInfoIndex InfoIndex, const TImageList *DefaultImages);
    // The image OnGetImageEx or OnGetImage gives; the list OnGetImageEx named, or nil.
    virtual const TImageList *DoGetImageIndex(
        TGridNode *Node, TGTImageKind Kind, TColumnIndex Column, bool &Ghosted, int &Index);
    virtual QString DoGetImageText(TGridNode *Node, TGTImageKind Kind, TColumnIndex Column);
    virtual void DoGetLineStyle(std::array<uint16_t, 8> &Bits);
    virtual bool HasImage(TGridNode *Node, TGTImageKind Kind, TColumnIndex Column);
    // The vertical centre of the row's images and the top of its expand button.
    virtual void CalculateVerticalAlignments(TGridNode *Node, int &VAlign, int &VButtonAlign);
    // One indentation level's lines at X, Y of a row H high (Reverse: right to left).
    void DrawLineImage(
        const TGTPaintInfo &PaintInfo, int X, int Y, int H, int VAlign, TGTLineType Style, bool Reverse);
    // The expand button's size.
    QSize ButtonSize() const { return FPlusBM.isNull() ? QSize(9, 9) : FPlusBM.size(); }
    // True unless OnNodeHeightDblClickResize refuses.
    virtual bool DoNodeHeightDblClickResize(
        TGridNode *Node, TColumnIndex Column, TShiftState Shift, QPoint P);

    // ---- hit testing (GridTreeHitTest.cpp) ---------------------------------------------------
    // The part of the cell under Offset (from the cell's left edge; Right the
    // cell's width), reading left to right or mirrored.
    virtual void DetermineHitPositionLTR(THitInfo &HitInfo, int Offset, int Right, TAlignment Alignment);
    virtual void DetermineHitPositionRTL(THitInfo &HitInfo, int Offset, int Right, TAlignment Alignment);
    // A node's text as outside tools read it (empty here; the string tree's cell text).
    virtual QString NodeText(TGridNode *Node, TColumnIndex Column);

    // ---- mouse input (GridTreeMouse.cpp) -------------------------------------------------------
    virtual void HandleMouseDown(const TGTMouseMessage &Message, THitInfo &HitInfo);
    virtual void HandleMouseUp(const TGTMouseMessage &Message, const THitInfo &HitInfo);
    virtual void HandleMouseDblClick(const TGTMouseMessage &Message, const THitInfo &HitInfo);
    // A move to X, Y (client coordinates) with Shift held.
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void HandleHotTrack(int X, int Y);
    virtual void DoHotChange(TGridNode *Old, TGridNode *New);
    void HandleClickSelection(
        TGridNode *LastFocused, TGridNode *NewNode, TShiftState Shift, bool DragPending);
    // The band's moving corner follows the mouse; true when the band changed.
    virtual bool CalculateSelectionRect(int X, int Y);
    // Selects what the band covers; true when the selection changed.
    bool HandleDrawSelection(int X, int Y);
    bool CollectSelectedNodesLTR(TColumnIndex MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
        const TRect &OldRect, const TRect &NewRect);
    bool CollectSelectedNodesRTL(TColumnIndex MainColumn, int NodeLeft, int NodeRight, TAlignment Alignment,
        const TRect &OldRect, const TRect &NewRect);
    virtual void Click();
    virtual void DblClick();
    virtual void DoColumnClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoColumnDblClick(TColumnIndex Column, TShiftState Shift);
    virtual void DoGetCursor(Qt::CursorShape &Cursor);
    // The height OnNodeHeightTracking gives while a row's edge is dragged; false: keep it.
    virtual bool DoNodeHeightTracking(
        TGridNode *Node, TColumnIndex Column, TShiftState Shift, QPoint &TrackPoint, QPoint P);

    // Dragging from the mouse (GridTreeDragDrop.cpp): whether a press may start
    // a drag (OnDragAllowed), and a move beyond the drag threshold.
    virtual bool DoBeforeDrag(TGridNode *Node, TColumnIndex Column);
    virtual void DoDragging(QPoint P);

    // ---- keyboard input (GridTreeKeyboard.cpp) ------------------------------------------------
    // True unless OnKeyAction takes the key; the handler may change it.
    virtual bool DoKeyAction(int &Key, TShiftState &Shift);
    // A typed character (its UTF-16 code; 8 for Backspace) for the incremental search.
    virtual void HandleIncrementalSearch(char16_t CharCode);
    // 0 when Node matches the search text (OnIncrementalSearch decides here).
    virtual int DoIncrementalSearch(TGridNode *Node, const QString &Text);
    // The sound of a search that found nothing.
    virtual void Beep();
    // The search ends: its text and last hit go.
    void StopIncrementalSearch();

    // The tree's options object is replaced by a derived kind (the string tree's).
    void ReplaceTreeOptions(std::unique_ptr<TCustomGridTreeOptions> Options);
    // Enter and leave view states.
    void DoViewStateChange(TGridTreeViewStates Enter, TGridTreeViewStates Leave = {});
    // A view state held for a scope.
    class TViewStateScope {
    public:
        TViewStateScope(TGridTreeView &View, TGridTreeViewState State)
            : FView(View)
            , FState(State)
        {
            FView.DoViewStateChange({ State });
        }
        ~TViewStateScope() { FView.DoViewStateChange({}, { FState }); }
        TViewStateScope(const TViewStateScope &) = delete;
        TViewStateScope &operator=(const TViewStateScope &) = delete;

    private:
        TGridTreeView &FView;
        TGridTreeViewState FState;
    };

    // ---- the store's toggle hooks ------------------------------------------------------------
    void BeginToggle(TGridNode *Node) override;
    void AnimateToggle(TGridNode *Node, bool Expand, uint32_t Height) override;
    bool ScrollExpandedIntoView(TGridNode *Node) override;

    // ---- export events, clipboard steps ---------------------------------------------------------
    virtual void DoBeforeTreeExport(TGTExportType ExportType);
    virtual void DoAfterTreeExport(TGTExportType ExportType);
    virtual void DoBeforeHeaderExport(TGTExportType ExportType);
    virtual void DoAfterHeaderExport(TGTExportType ExportType);
    virtual void DoBeforeColumnExport(TGTExportType ExportType, TGridTreeColumn &Column);
    virtual void DoColumnExport(TGTExportType ExportType, TGridTreeColumn &Column);
    virtual void DoAfterColumnExport(TGTExportType ExportType, TGridTreeColumn &Column);
    virtual bool DoBeforeNodeExport(TGTExportType ExportType, TGridNode *Node);
    virtual void DoNodeExport(TGTExportType ExportType, TGridNode *Node);
    virtual void DoAfterNodeExport(TGTExportType ExportType, TGridNode *Node);
    virtual void DoGetUserClipboardFormats(TFormatList &Formats);
    // The data object of a drag (the owner's, else the tree's own).
    virtual QMimeData *DoCreateDataObject();
    virtual bool DoRenderOLEData(const TClipboardFormatEntry &Format, QByteArray &Data, bool ForClipboard);
    // The store is cleared: a pending cut or copy gives the clipboard up.
    void ReleaseClipboard() override;
    virtual TGTEditLinkPtr DoCreateEditor(TGridNode *Node, TColumnIndex Column);
    virtual void DoCanEdit(TGridNode *Node, TColumnIndex Column, bool &Allowed);
    // The store's editing hooks.
    void CancelEdit() override { CancelEditNode(); }
    bool EndEdit() override;
    // A node the view holds goes: an edit on it is cancelled, a hint on it
    // hidden, a drag lets go of it.
    void NodeFreed(TGridNode *Node) override;
    // What the view holds of nodes decides whether it hears of freed ones.
    void UpdateFreedNodeWatch();
    // The window goes: an edit, a hint and a drag end.
    void EndInteractions();

    // The mouse over the tree window at P (client coordinates), resting or moving.
    void HintMouseAt(QPoint P, bool Rested);
    virtual TGTDragManagerPtr DoCreateDragManager();
    virtual void DoStartDrag();
    virtual void DoEndDrag(QPoint Pt);
    // OnDragOver's answer (without a handler: refused).
    virtual bool DoDragOver(TGridTreeView *Source, TShiftState Shift, TDragState State, QPoint Pt,
        TDropMode Mode, uint32_t &Effect);
    virtual void DoDragDrop(TGridTreeView *Source, const QMimeData *DataObject, const QStringList &Formats,
        TShiftState Shift, QPoint Pt, uint32_t &Effect, TDropMode Mode);
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dragMoveEvent(QDragMoveEvent *Event) override;
    void dragLeaveEvent(QDragLeaveEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

    // ---- Qt events ----------------------------------------------------------------------------
    bool event(QEvent *Event) override;
    bool viewportEvent(QEvent *Event) override;
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void hideEvent(QHideEvent *Event) override;
    void timerEvent(QTimerEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;
    void focusInEvent(QFocusEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;
    void wheelEvent(QWheelEvent *Event) override;
    void scrollContentsBy(int DX, int DY) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    void mouseDoubleClickEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void contextMenuEvent(QContextMenuEvent *Event) override;
    void changeEvent(QEvent *Event) override;
    bool focusNextPrevChild(bool Next) override;

private:
    void Construct();
    // The hint filters on the client area and the header strip.
    void PrepareHints();
    // Drag and drop helpers.
    void SetDragSelection(TNodeArray Nodes);
    void ClassLibraryDrag(TDragState State, QDropEvent *Event);
    void StartDragRepeat(bool Scrolled);
    void StartExpandTimer(TGridNode *Node);
    // The editor's link goes (the caller may hold it on); tsEditing is left.
    TGTEditLinkPtr ReleaseEditLink();
    bool FindHint(QPoint P, QPoint &HintPos);
    bool ActivateTreeHint(const TGTHintData &Data, QPoint HintPos, bool Tooltip);
    // Shows Tree: attaches to it and hands on the options.
    void AttachStore(TBaseGridTree *Tree, bool Own);
    // Lets go of the store (and frees an own one).
    void DetachStore();
    // The node's row in client coordinates, empty when it is not shown.
    bool NodeRowTop(TGridNode *Node, int &Top) const;
    void ScheduleValidation();
    // Range, page, position and visibility of one bar; Wanted: ScrollBars has it.
    void UpdateScrollBar(QScrollBar &Bar, bool Wanted, int Step, int Page, int Range, int Position);
    void ScrollBarAction(Qt::Orientation Orientation, int Action);
    void ScrollBarReleased(Qt::Orientation Orientation);
    void MeasureVisibleNodes();
    // The first window creation: what waited for a window.
    void CreateWnd();
    // Collapsed ancestors of Node open, from the top down.
    void ExpandAncestors(TGridNode *Node);
    // The client area changed its size.
    void ClientResized();
    // The offsets are clamped again (the ranges changed).
    void ClampOffsets();

    // Painting (GridTreePaint.cpp).
    struct TPaintRun;
    void PaintRow(TPaintRun &Run, TGridNode *Node, int NodeHeight, int IndentSize,
        const TLineImage &LineImage, int ButtonX);
    void PaintCell(
        TPaintRun &Run, int IndentSize, const TLineImage &LineImage, int ButtonX, int VAlign, int ButtonY);
    void PaintBelowRows(TPaintRun &Run, const TRect &Area);
    void FillSelection(TGTPaintInfo &PaintInfo, const TRect &R, QColor Brush, QColor Pen, int WindowOrgX,
        int MaxWidth, bool Blend);
    void DrawThemedBackground(QPainter &Canvas, const TRect &R, bool Selected, bool Focused, bool Hot);
    QBrush DottedBrush(QColor Line) const;
    bool ExplorerTheme() const;
    // Fills what an animated toggle uncovered (the column strips' colours).
    void FillToggleStripe(QPainter &Canvas, const TRect &R);

    // Window events (GridTreeMessages.cpp).
    // A button press as the handlers take it.
    void PressButton(const TGTMouseMessage &Message);
    // The control's own popup menu at a screen point.
    void ShowContextMenu(QPoint GlobalPos);
    // The header is tracking a width, a height or a column drag.
    bool HeaderTracking() const;
    // The pixels the bevel takes on each side.
    int BevelExtent() const;
    // The mouse left the client area: no hot node, no auto scroll.
    void ClientMouseLeave();
    // The mouse button states and pending gestures end (focus lost, a modal window).
    void CancelMode(bool FocusLost);
    // The cursor for the client point P.
    void UpdateCursor(QPoint P);
    void UpdateFrameMargins();
    void PaintFrame();
    TGTMouseMessage MouseMessage(const QMouseEvent &Event) const;

    // Mouse helpers (GridTreeMouse.cpp).
    // A press on the check box of Node: the pressed look until the release.
    void StartCheckPress(TGridNode *Node);
    bool HeightTrackingHit(const THitInfo &HitInfo) const;
    void StopEditTimer();
    void StartEditTimer();

    // Keyboard helpers (GridTreeKeyboard.cpp).
    bool HandleNavigationKey(int Key, TShiftState Shift);
    bool HandleOtherKey(int Key, TShiftState Shift, const QString &Text);
    TGridNode *PageTarget(TGridNode *From, bool Up);
    TColumnIndex PageColumn(TColumnIndex From, bool Left);
    void ShowFocusedPopup();
    void RequestHelp();
    void EndKeyCheck(bool Apply);

    // Scrolling (GridTreeViewScroll.cpp).
    void StartScrollTimer(int Milliseconds);
    void StopScrollTimer();
    void PanningMouseMove(QPoint P);
    bool HandlePanningButton(QEvent *Event);
    void ToggleStep(TGridNode *Node, bool Expand, int Band, int Height, int Step, int StepSize);
    bool ToggleRowKnown(TGridNode *Node) const;

    friend class TGTHeader;

    TBaseGridTree *FTree = nullptr;
    std::unique_ptr<TBaseGridTree> FOwnTree;
    std::unique_ptr<TPositionCache> FCache;
    std::unique_ptr<TCustomGridTreeOptions> FOptions;
    std::unique_ptr<TGTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TGTHeader> FHeader;
    mutable std::unique_ptr<TClipboardFormats> FClipboardFormats;
    bool FWatchingClipboard = false;
    TGTHintMode FHintMode = hmDefault;
    bool FShowHint = true;
    TGTHintData FHintData;
    TRect FLastHintRect;
    QPointer<TGridTreeHintWindow> FHintWindow;
    TGTEditLinkPtr FEditLink;
    // The node the editor runs on.
    TGridNode *FEditNode = nullptr;
    // Where UpdateEditBounds last placed the editor (client coordinates).
    TRect FEditCellRect;
    TNodeArray FDragSelection;
    // The dragged nodes by address, with their places in FDragSelection.
    std::vector<std::pair<TGridNode *, std::size_t>> FDragSelectionIndex;
    TGTDragManagerPtr FDragManager;
    std::unique_ptr<TGTDragImage> FDragImage;
    int FDragThreshold = 0;
    // The image a system drag shows, and where in it the mouse is.
    QImage FSystemDragImage;
    QPoint FSystemDragHotSpot;
    QTimer *FExpandTimer = nullptr;
    // Repeats the last move over the tree while it scrolls at an edge.
    QTimer *FDragRepeatTimer = nullptr;
    QPoint FDragRepeatPoint;
    TShiftState FDragRepeatKeys;
    uint32_t FDragRepeatAllowed = 0;
    // A class-library drag over the tree: its effect kept for the drop (the
    // target is the store's LastDragTarget).
    uint32_t FVCLDragEffect = DROPEFFECT_NONE;
    // A target moved the dragged nodes (they are not deleted at the drag's end).
    bool FDragNodesMoved = false;
    mutable uint32_t FTreeNumber = 0;
    THeaderStrip *FHeaderStrip = nullptr;
    TGridTreeViewStates FViewStates;

    int FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TAlignment FAlignment = taLeftJustify;
    TGTNodeAlignment FNodeAlignment = naProportional;
    TBorderStyle FBorderStyle = bsSingle;
    int FBottomSpace = 0;
    TColor FColor = clWindow;
    TGTButtonStyle FButtonStyle = bsRectangle;
    TGTButtonFillMode FButtonFillMode = fmTreeColor;
    TGTLineStyle FLineStyle = lsDotted;
    TGTLineMode FLineMode = lmNormal;
    TCheckImageKind FCheckImageKind = ckSystemDefault;
    TImageList *FCustomCheckImages = nullptr;
    TDragOperations FDragOperations { doCopy, doMove };
    TGTDragImageKind FDragImageKind = diComplete;
    TGTDragType FDragType = dtOLE;
    int FDragWidth = 200;
    int FDragHeight = 350;
    int FAnimationDuration = 200;
    uint8_t FSelectionBlendFactor = 128;
    THintAnimationType FHintAnimation = hatSystemDefault;
    int FAutoExpandDelay = 1000;
    int FAutoScrollDelay = 1000;
    int FAutoScrollInterval = 1;
    int FEditDelay = 1000;
    int FChangeDelay = 0;
    TGTIncrementalSearch FIncrementalSearch = isNone;
    TGTSearchStart FIncrementalSearchStart = ssFocusedNode;
    int FIncrementalSearchTimeout = 1000;
    TGTAttachMode FDefaultPasteMode = amAddChildLast;
    TGTExportMode FExportMode = emAll;
    TColumnIndex FEditColumn = NoColumn;
    QMenu *FPopupMenu = nullptr;
    TGTSearchDirection FSearchDirection = sdForward;
    QString FSearchBuffer;
    bool FWantTabs = false;
    // The arrow stands for the control's own cursor.
    Qt::CursorShape FHotCursor = Qt::ArrowCursor;
    Qt::CursorShape FTreeCursor = Qt::ArrowCursor;
    TDragMode FDragMode = dmManual;
    int FBorderWidth = 0;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
    int FBevelWidth = 1;
    // The mouse is over the hot node's expand button itself.
    bool FHotNodeButtonHit = false;
    // The row whose height is being dragged: its column and the top-left of its cell.
    TColumnIndex FHeightTrackColumn = NoColumn;
    QPoint FHeightTrackPoint;
    // The keys held when the band started.
    TShiftState FDrawSelShiftState;
    QBasicTimer FEditTimer;
    QBasicTimer FSearchTimer;
    // The last press, to know the second press of a double click, and that
    // press while its double click has not come yet.
    Qt::MouseButton FLastPressButton = Qt::NoButton;
    quint64 FLastPressTime = 0;
    QPoint FLastPressPos;
    bool FSuppressedPress = false;
    TGTMouseMessage FSuppressedMessage;
    int FSelectionCurveRadius = 0;
    TGTDrawSelectionMode FDrawSelectionMode = smDottedRectangle;
    QImage FBackground;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TImageList *FImages = nullptr;
    TImageList *FStateImages = nullptr;
    TRect FNewSelRect;
    TRect FLastSelRect;
    TColumnIndex FCurrentHotColumn = NoColumn;
    TDropMode FLastDropMode = dmNowhere;
    // The dotted line pattern (bit set: the tree colour), rows top down, the
    // leftmost pixel in the high bit.
    std::array<uint8_t, 8> FDottedPattern {};
    mutable QBrush FDottedBrush;
    mutable QRgb FDottedBrushLine = 0;
    mutable QRgb FDottedBrushBack = 0;
    // The expand buttons, collapsed and expanded, normal and under the mouse.
    QImage FPlusBM;
    QImage FMinusBM;
    QImage FHotPlusBM;
    QImage FHotMinusBM;
    QImage FMeasureImage;
    std::unique_ptr<QPainter> FMeasureCanvas;
    // Set while a walk over the rows asks each row's content margin in one
    // column: the column's bounds are taken once, and the measuring canvas is
    // bracketed by a note of its state instead of a save and restore a row.
    struct TMarginWalk {
        bool Active = false;
        TColumnIndex Column = NoColumn;
        int Left = 0;
        int Right = 0;
    };
    TMarginWalk FMarginWalk;
    bool FNoContentMargins = false;

    int FOffsetX = 0;
    int FOffsetY = 0;
    int FRangeX = 0;
    bool FSettingScrollBars = false;
    int FUpdatingBars = 0;
    bool FHorizontalShown = false;
    bool FVerticalShown = false;
    TScrollDirections FScrollDirections;
    QPoint FLastClickPos;
    // The mouse as the client area last saw it.
    QPoint FLastMousePos;
    QElapsedTimer FDragScrollStart;
    QBasicTimer FScrollTimer;
    QPointer<TPanningWindow> FPanningWindow;
    QString FPanningCursor;
    bool FPanningTracking = false;
    bool FAnimationCancelled = false;
    // Where the row being toggled was when the toggle began (tree coordinates).
    TGridNode *FToggleNode = nullptr;
    bool FToggleRowKnown = false;
    int FToggleRowTop = 0;
    // Scroll bars asked for while painting are brought up to date after it.
    bool FScrollBarsPending = false;
    // An animated toggle's uncovered stripe: filled, or painted from the tree
    // shifted by FToggleShift rows of pixels (advanced animation).
    TRect FToggleStripe;
    int FToggleShift = 0;
    bool FToggleFill = false;
    int FOperationCount = 0;
    bool FOperationCanceled = false;
    bool FMeasuring = false;
    bool FValidationScheduled = false;
    bool FWindowCreated = false;
    bool FDestroying = false;
    QBasicTimer FChangeTimer;
    QBasicTimer FStructureChangeTimer;
};

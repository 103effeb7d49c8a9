#pragma once

#include "components/BaseGridTree.h"
#include "components/GridTreeHooks.h"
#include "components/gui/GridTreeColumnsHost.h"
#include "components/gui/HeaderTypes.h"
#include "platform/gui/ControlTypes.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <functional>
#include <memory>

class QMenu;
class QScrollBar;
class TCustomGridTreeOptions;
class TGTColors;
class TGTHeader;
class TGridTreeColumn;
class THeaderStrip;
class TImageList;
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

// The view's states beside the node store's.
enum TGridTreeViewState : uint8_t { tsUseThemes };
using TGridTreeViewStates = TSmallSet<TGridTreeViewState, uint8_t>;

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
    void SetAnimationDuration(int Value) { FAnimationDuration = Value; }
    uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
    void SetSelectionBlendFactor(uint8_t Value);
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
    void SetIncrementalSearch(TGTIncrementalSearch Value) { FIncrementalSearch = Value; }
    TGTSearchStart IncrementalSearchStart() const { return FIncrementalSearchStart; }
    void SetIncrementalSearchStart(TGTSearchStart Value) { FIncrementalSearchStart = Value; }
    int IncrementalSearchTimeout() const { return FIncrementalSearchTimeout; }
    void SetIncrementalSearchTimeout(int Value) { FIncrementalSearchTimeout = Value; }
    TGTAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
    void SetDefaultPasteMode(TGTAttachMode Value) { FDefaultPasteMode = Value; }
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *Value) { FPopupMenu = Value; }

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

    // ---- offsets and scroll bars (the basics the header and positions need) -----------------
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value);
    void SetOffsetY(int Value);
    // Clamps both offsets to the ranges, scrolls the client area and the header;
    // true when an offset changed.
    virtual bool DoSetOffsetXY(QPoint Value);
    int EffectiveOffsetX() const override;
    // The scrollable size: the columns' total width; the tree's total height
    // plus BottomSpace.
    int RangeX() const;
    int RangeY() const;
    void UpdateScrollBars(bool DoRepaint);
    void UpdateHorizontalScrollBar() override;
    void UpdateVerticalScrollBar();
    int ClientWidth() const override;
    int ClientHeight() const;

    // ---- columns ----------------------------------------------------------------------
    // The widest content of a column (smart: of the rows on screen only), at least
    // its caption with room for the sort glyph.
    int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);

    // ---- events --------------------------------------------------------------------------
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
    // Deselects every node (the selection comes with the next part of the control).
    virtual void ClearSelection() { }
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
    bool IsLoading() const override { return false; }
    bool HasWindow() const override;
    int TreeHeight() const override;
    bool UseRightToLeftAlignment() const override { return false; }
    int ComputeRTLOffset() const override { return 0; }
    TColor TreeColor() const override { return FColor; }
    TBiDiMode TreeBiDiMode() const override { return bdLeftToRight; }
    void InvalidateTree() override;
    void CancelEditing() override { }
    void DoColumnResize(TColumnIndex Column) override;
    void DoCanSplitterResize(QPoint P, TColumnIndex Column, bool &Allowed) override;
    void AnimateResizeStep(int X, int DX) override;

protected:
    // ---- the store's hooks (TGridTreeHooks) -----------------------------------------------------
    void Detached() override;
    void InvalidateNode(TGridNode *Node) override;
    void InvalidateToBottom(TGridNode *Node) override;
    void SetRedraw(bool Enabled) override;
    void UpdateScrollBars() override { UpdateScrollBars(true); }
    void ResetScrollOffsets() override;
    void InterruptValidation() override;
    void PauseValidation() override;
    void InvalidateCache() override;
    void ValidateCache() override;
    bool StartTimer(TGridTreeTimer Timer, int Milliseconds) override;
    void StopTimer(TGridTreeTimer Timer) override;
    int ColumnCount() const override;

    // With toVariableNodeHeight, measures a node whose height is not measured
    // yet (the painting part of the control fills this in); called on this
    // thread before the cache worker builds.
    virtual void MeasureItemHeight(TGridNode *Node);
    // The button and line images follow the colours and the look.
    virtual void PrepareBitmaps() { }
    // The width of a node's content in a column (0 until the string tree).
    virtual int DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas = nullptr);

    // ---- Qt events ----------------------------------------------------------------------------
    bool event(QEvent *Event) override;
    bool viewportEvent(QEvent *Event) override;
    void paintEvent(QPaintEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void timerEvent(QTimerEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    void Construct();
    // Shows Tree: attaches to it and hands on the options.
    void AttachStore(TBaseGridTree *Tree, bool Own);
    // Lets go of the store (and frees an own one).
    void DetachStore();
    // The node's row in client coordinates, empty when it is not shown.
    bool NodeRowTop(TGridNode *Node, int &Top) const;
    void ScheduleValidation();
    void UpdateScrollBar(QScrollBar &Bar, int Step, int Page, int Range);
    void MeasureVisibleNodes();
    // The first window creation: what waited for a window.
    void CreateWnd();

    friend class TGTHeader;

    TBaseGridTree *FTree = nullptr;
    std::unique_ptr<TBaseGridTree> FOwnTree;
    std::unique_ptr<TPositionCache> FCache;
    std::unique_ptr<TCustomGridTreeOptions> FOptions;
    std::unique_ptr<TGTColors> FColors;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TGTHeader> FHeader;
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
    TColumnIndex FFocusedColumn = NoColumn;
    int FLastSelectionLevel = -1;
    QMenu *FPopupMenu = nullptr;

    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FSettingScrollBars = false;
    int FOperationCount = 0;
    bool FOperationCanceled = false;
    bool FMeasuring = false;
    bool FValidationScheduled = false;
    bool FWindowCreated = false;
    bool FDestroying = false;
    QBasicTimer FChangeTimer;
    QBasicTimer FStructureChangeTimer;
};

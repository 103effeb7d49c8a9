// The tree view: construction, properties, the store's hooks, the columns'
// host and the window events.
#include "components/gui/GridTreeView.h"

#include "components/PositionCache.h"
#include "components/ValidationWorker.h"
#include "components/gui/GTColors.h"
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/HeaderStrip.h"
#include "components/gui/ScrollBarOptions.h"
#include "components/gui/SharedImages.h"
#include "components/gui/TreeUtils.h"
#include "components/gui/WheelPanning.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>
#include <QToolTip>

// ---- construction ---------------------------------------------------------------------------------

TGridTreeView::TGridTreeView(QWidget *Parent)
    : QAbstractScrollArea(Parent)
{
    Construct();
    AttachStore(new TBaseGridTree(), true);
}

TGridTreeView::TGridTreeView(TBaseGridTree &Store, QWidget *Parent)
    : QAbstractScrollArea(Parent)
{
    Construct();
    AttachStore(&Store, false);
}

void TGridTreeView::Construct()
{
    // The shared image sets and the worker exist while any tree does.
    InitializeGlobalStructures();
    AddThreadReference();
    resize(200, 100);
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Hot tracking and the cursor follow the mouse with no button held.
    viewport()->setMouseTracking(true);
    FOptions = std::make_unique<TCustomGridTreeOptions>(*this);
    FColors = std::make_unique<TGTColors>(*this);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(*this);
    FHeader = std::make_unique<TGTHeader>(*this);
    FHeaderStrip = new THeaderStrip(*FHeader, *this);
    FHeaderStrip->hide();
    FViewStates.set(tsUseThemes, FOptions->PaintOptions().contains(toThemeAware));
    // The bars show as the ranges say once the window exists.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const Qt::Orientation orientation : { Qt::Vertical, Qt::Horizontal }) {
        QScrollBar *bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
        connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, orientation](int Action) { ScrollBarAction(orientation, Action); });
        connect(bar, &QAbstractSlider::sliderReleased, this,
            [this, orientation] { ScrollBarReleased(orientation); });
    }
    // The scroll area lays its bars out again whenever a range, a policy or the
    // size changes, the vertical one beside the header: wherever it moves it,
    // it goes below the header again.
    if (QWidget *place = verticalScrollBar()->parentWidget(); place && place != this)
        place->installEventFilter(this);
    PrepareBitmaps(false, true);
    ApplyWindowOptions();
    PrepareHints();
}

TGridTreeView::~TGridTreeView()
{
    TGTMiscOptions misc = FOptions->MiscOptions();
    misc.exclude(toReadOnly);
    FOptions->SetMiscOptions(misc);
    FDestroying = true;
    EndInteractions();
    FAnimationCancelled = true;
    StopWheelPanning();
    ReleaseThreadReference(FCache.get());
    DetachStore();
    // The strip paints from the header: it goes before the header does.
    delete FHeaderStrip;
    FHeaderStrip = nullptr;
}

void TGridTreeView::AttachStore(TBaseGridTree *Tree, bool Own)
{
    if (Own)
        FOwnTree.reset(Tree);
    FTree = Tree;
    FCache = std::make_unique<TPositionCache>(*Tree);
    connect(FCache.get(), &TPositionCache::CacheValidated, this, [this] {
        // Heights may have been measured before the build.
        if (FOptions->MiscOptions().contains(toVariableNodeHeight))
            UpdateScrollBars(true);
    });
    Tree->AttachView(*this);
    Tree->SetPaintOptions(FOptions->PaintOptions());
    Tree->SetAutoOptions(FOptions->AutoOptions());
    Tree->SetMiscOptions(FOptions->MiscOptions());
    Tree->SetSelectionOptions(FOptions->SelectionOptions());
    Tree->SetChangeDelay(FChangeDelay);
    ValidateCache();
    UpdateScrollBars(true);
}

void TGridTreeView::DetachStore()
{
    if (FTree)
        FTree->DetachView();
    FOwnTree.reset();
}

void TGridTreeView::Detached()
{
    // The store goes, or shows itself elsewhere: its nodes are none of ours now.
    // A build of its cache stops before anything of it is torn down.
    if (FCache)
        FCache->InterruptValidation();
    FCache.reset();
    FTree = nullptr;
    FChangeTimer.stop();
    FStructureChangeTimer.stop();
    if (FDestroying)
        return;
    FOffsetX = 0;
    FOffsetY = 0;
    UpdateScrollBars(true);
    InvalidateTree();
}

void TGridTreeView::SetTreeOptions(const TCustomGridTreeOptions &Value)
{
    FOptions->Assign(Value);
}

// ---- properties --------------------------------------------------------------------------------------

uint32_t TGridTreeView::DefaultNodeHeight() const
{
    return FTree ? FTree->DefaultNodeHeight() : 18;
}

void TGridTreeView::SetDefaultNodeHeight(uint32_t Value)
{
    if (FTree)
        FTree->SetDefaultNodeHeight(Value);
}

void TGridTreeView::SetIndent(int Value)
{
    if (!AssignChanged(FIndent, Value))
        return;
    UpdateHorizontalScrollBar();
    InvalidateTree();
}

void TGridTreeView::SetMargin(int Value)
{
    if (AssignChanged(FMargin, Value))
        InvalidateTree();
}

void TGridTreeView::SetTextMargin(int Value)
{
    if (AssignChanged(FTextMargin, Value))
        InvalidateTree();
}

void TGridTreeView::SetAlignment(TAlignment Value)
{
    if (AssignChanged(FAlignment, Value))
        InvalidateTree();
}

void TGridTreeView::SetNodeAlignment(TGTNodeAlignment Value)
{
    if (AssignChanged(FNodeAlignment, Value))
        InvalidateTree();
}

void TGridTreeView::SetBorderStyle(TBorderStyle Value)
{
    if (!AssignChanged(FBorderStyle, Value))
        return;
    setFrameStyle(Value == bsSingle ? QFrame::StyledPanel | QFrame::Sunken : QFrame::NoFrame);
    UpdateHeaderRect();
}

void TGridTreeView::SetBottomSpace(int Value)
{
    if (AssignChanged(FBottomSpace, Value))
        UpdateVerticalScrollBar();
}

void TGridTreeView::SetColor(TColor Value)
{
    if (!AssignChanged(FColor, Value))
        return;
    TGridTreeColumns &columns = FHeader->Columns();
    for (TColumnIndex i = 0; i < columns.Count(); ++i)
        columns[i].ParentColorChanged();
    InvalidateTree();
}

void TGridTreeView::SetButtonStyle(TGTButtonStyle Value)
{
    if (!AssignChanged(FButtonStyle, Value))
        return;
    PrepareBitmaps();
    InvalidateTree();
}

void TGridTreeView::SetButtonFillMode(TGTButtonFillMode Value)
{
    if (!AssignChanged(FButtonFillMode, Value))
        return;
    PrepareBitmaps();
    InvalidateTree();
}

void TGridTreeView::SetLineStyle(TGTLineStyle Value)
{
    if (!AssignChanged(FLineStyle, Value))
        return;
    PrepareBitmaps();
    InvalidateTree();
}

void TGridTreeView::SetLineMode(TGTLineMode Value)
{
    if (AssignChanged(FLineMode, Value))
        InvalidateTree();
}

void TGridTreeView::SetCheckImageKind(TCheckImageKind Value)
{
    if (!AssignChanged(FCheckImageKind, Value))
        return;
    InvalidateTree();
    FHeader->Invalidate();
}

const TImageList *TGridTreeView::CheckImages() const
{
    switch (FCheckImageKind) {
    case ckLightCheck:
        return &SharedImages(silCheckLight);
    case ckDarkCheck:
        return &SharedImages(silCheckDark);
    case ckLightTick:
        return &SharedImages(silTickLight);
    case ckDarkTick:
        return &SharedImages(silTickDark);
    case ckFlat:
        return &SharedImages(silFlat);
    case ckXP:
        return &SharedImages(silXP);
    case ckCustom:
        return FCustomCheckImages;
    case ckSystemFlat:
        return &SharedImages(silSystemFlat);
    default:
        return &SharedImages(silSystem);
    }
}

void TGridTreeView::SetCustomCheckImages(TImageList *Value)
{
    if (!AssignChanged(FCustomCheckImages, Value))
        return;
    if (FCheckImageKind == ckCustom)
        InvalidateTree();
}

void TGridTreeView::SetSelectionBlendFactor(uint8_t Value)
{
    if (AssignChanged(FSelectionBlendFactor, Value))
        InvalidateTree();
}

void TGridTreeView::SetSelectionCurveRadius(int Value)
{
    if (AssignChanged(FSelectionCurveRadius, Value))
        InvalidateTree();
}

void TGridTreeView::SetDrawSelectionMode(TGTDrawSelectionMode Value)
{
    if (AssignChanged(FDrawSelectionMode, Value))
        InvalidateTree();
}

void TGridTreeView::SetBackground(const QImage &Value)
{
    FBackground = Value.isNull() ? QImage() : Value.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    InvalidateTree();
}

void TGridTreeView::SetBackgroundOffset(int Index, int Value)
{
    if (AssignChanged(Index == 0 ? FBackgroundOffsetX : FBackgroundOffsetY, Value))
        InvalidateTree();
}

void TGridTreeView::SetImages(TImageList *Value)
{
    if (FImages)
        disconnect(FImages, nullptr, this, nullptr);
    FImages = Value;
    if (FImages) {
        connect(FImages, &TImageList::Changed, this, [this] { InvalidateTree(); });
        connect(FImages, &QObject::destroyed, this, [this] { FImages = nullptr; });
    }
    InvalidateTree();
}

void TGridTreeView::SetStateImages(TImageList *Value)
{
    if (FStateImages)
        disconnect(FStateImages, nullptr, this, nullptr);
    FStateImages = Value;
    if (FStateImages) {
        connect(FStateImages, &TImageList::Changed, this, [this] { InvalidateTree(); });
        connect(FStateImages, &QObject::destroyed, this, [this] { FStateImages = nullptr; });
    }
    InvalidateTree();
}

void TGridTreeView::SetAnimationDuration(int Value)
{
    FAnimationDuration = Value;
    TGTAnimationOptions options = FOptions->AnimationOptions();
    options.set(toAnimatedToggle, Value != 0);
    FOptions->SetAnimationOptions(options);
}

bool TGridTreeView::Focused() const
{
    return hasFocus();
}

bool TGridTreeView::ColumnIsEmpty(TGridNode *Node, TColumnIndex Column)
{
    bool empty = true;
    if (OnGetCellIsEmpty)
        OnGetCellIsEmpty(*this, Node, Column, empty);
    return empty;
}

void TGridTreeView::GetTextInfo(TGridNode *, TColumnIndex, QFont &AFont, TRect &R, QString &Text)
{
    R = TRect();
    Text.clear();
    AFont = font();
}

QPainter &TGridTreeView::MeasureCanvas()
{
    if (!FMeasureCanvas) {
        FMeasureImage = QImage(1, 1, QImage::Format_ARGB32);
        FMeasureImage.setDotsPerMeterX(3780);
        FMeasureImage.setDotsPerMeterY(3780);
        FMeasureCanvas = std::make_unique<QPainter>(&FMeasureImage);
    }
    return *FMeasureCanvas;
}

void TGridTreeView::DoViewStateChange(TGridTreeViewStates Enter, TGridTreeViewStates Leave)
{
    FViewStates = (FViewStates + Enter) - Leave;
}

void TGridTreeView::ReplaceTreeOptions(std::unique_ptr<TCustomGridTreeOptions> Options)
{
    Options->Assign(*FOptions);
    FOptions = std::move(Options);
}

void TGridTreeView::SetChangeDelay(int Value)
{
    FChangeDelay = Value;
    if (FTree)
        FTree->SetChangeDelay(Value);
}

TColumnIndex TGridTreeView::FocusedColumn() const
{
    return FTree ? FTree->FocusedColumn() : NoColumn;
}

void TGridTreeView::SetFocusedColumn(TColumnIndex Value)
{
    if (FTree)
        FTree->SetFocusedColumn(Value);
}

// ---- update bracket and operations ------------------------------------------------------------------------

void TGridTreeView::BeginUpdate()
{
    if (FTree)
        FTree->BeginUpdate();
}

void TGridTreeView::EndUpdate()
{
    if (FTree)
        FTree->EndUpdate();
}

bool TGridTreeView::IsUpdating() const
{
    return FTree && FTree->UpdateCount() > 0;
}

void TGridTreeView::BeginOperation()
{
    if (FOperationCount++ == 0)
        FOperationCanceled = false;
}

void TGridTreeView::EndOperation()
{
    if (FOperationCount == 0)
        throw EGridTreeAssertion(GridTreeTexts::EndOperationWithoutBegin);
    --FOperationCount;
}

// ---- what the parts of the control report
// --------------------------------------------------------------------

void TGridTreeView::ColorChanged(int Index)
{
    if (!HasWindow())
        return;
    switch (Index) {
    case TGTColors::TreeLineColor:
        PrepareBitmaps();
        InvalidateTree();
        break;
    case TGTColors::BorderColor:
        // Only the frame.
        update();
        break;
    case TGTColors::HeaderHotColor:
        FHeader->Invalidate();
        break;
    default:
        InvalidateTree();
        break;
    }
}

void TGridTreeView::PaintOptionsChanged(TGTPaintOptions Old)
{
    const TGTPaintOptions now = FOptions->PaintOptions();
    if (FTree)
        FTree->SetPaintOptions(now);
    if (Old.contains(toThemeAware) != now.contains(toThemeAware)) {
        // Themed parts are drawn by the widget style.
        FViewStates.set(tsUseThemes, now.contains(toThemeAware));
        if (HasWindow()) {
            PrepareBitmaps();
            update();
            FHeader->Invalidate();
        }
    }
    InvalidateTree();
}

void TGridTreeView::ApplyWindowOptions()
{
    const TGTMiscOptions misc = FOptions->MiscOptions();
    viewport()->setAttribute(Qt::WA_StaticContents, !misc.contains(toFullRepaintOnResize));
    viewport()->setAcceptDrops(misc.contains(toAcceptOLEDrop));
}

void TGridTreeView::FocusedColumnFollowsMainColumn(bool SwitchedOff)
{
    const TColumnIndex main = FHeader->MainColumn();
    if (!FTree || FTree->FocusedColumn() == main)
        return;
    FTree->StoreFocusedColumn(main);
    if (SwitchedOff)
        InvalidateTree();
}

void TGridTreeView::MainColumnChanged()
{
    CancelEditing();
    if (FTree && !FOptions->SelectionOptions().contains(toExtendedFocus))
        FTree->StoreFocusedColumn(FHeader->MainColumn());
}

void TGridTreeView::ClearSelection()
{
    if (FTree)
        FTree->ClearSelection();
}

QMenu *TGridTreeView::DoGetPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position)
{
    if (!OnGetPopupMenu)
        return nullptr;
    QMenu *menu = nullptr;
    bool askParent = true;
    OnGetPopupMenu(*this, Node, Column, Position, askParent, menu);
    // Up the ancestors while the handler asks for it and gives no menu.
    while (Node && !menu && askParent && Node->Parent() && FTree && Node->Parent() != FTree->RootNode()) {
        Node = Node->Parent();
        OnGetPopupMenu(*this, Node, Column, Position, askParent, menu);
    }
    return menu;
}

QWidget &TGridTreeView::HeaderWidget() const
{
    return *FHeaderStrip;
}

void TGridTreeView::UpdateHeaderRect()
{
    // Placing the bar moves it, which calls this again through the event filter.
    static thread_local const TGridTreeView *placing = nullptr;
    if (placing == this)
        return;
    const TGridTreeView *outer = placing;
    placing = this;
    struct Placed {
        const TGridTreeView *outer;
        ~Placed() { placing = outer; }
    } placed { outer };
    const bool visible = FHeader->Options().contains(hoVisible);
    const int height = visible ? FHeader->Height() : 0;
    setViewportMargins(0, height, 0, 0);
    const QRect client = viewport()->geometry();
    // The vertical scroll bar stands beside the rows it scrolls, below the header,
    // and the header runs on above it.
    int width = client.width();
    QWidget *bar = verticalScrollBar()->parentWidget();
    if (bar && bar != this && !bar->isHidden()) {
        QRect place = bar->geometry();
        if (place.top() != client.top()) {
            place.setTop(client.top());
            bar->setGeometry(place);
        }
        width = place.right() + 1 - client.left();
    }
    FHeaderStrip->setGeometry(client.left(), client.top() - height, width, height);
    FHeaderStrip->setVisible(visible);
}

// ---- the store's hooks ------------------------------------------------------------------------------------

void TGridTreeView::InvalidateNode(TGridNode *Node)
{
    int top = 0;
    if (Node && NodeRowTop(Node, top))
        viewport()->update(0, top, viewport()->width(), int(FTree->NodeHeight(Node)));
    else
        viewport()->update();
}

void TGridTreeView::InvalidateColumn(int Column)
{
    const TGridTreeColumns &columns = FHeader->Columns();
    if (!columns.IsValidColumn(Column) || IsUpdating() || !HasWindow())
        return;
    int left = 0;
    int right = 0;
    columns.GetColumnBounds(Column, left, right);
    viewport()->update(left, 0, right - left, viewport()->height());
}

void TGridTreeView::RepaintNode(TGridNode *Node)
{
    int top = 0;
    if (Node && FTree && Node != FTree->RootNode() && NodeRowTop(Node, top))
        viewport()->repaint(0, top, viewport()->width(), int(FTree->NodeHeight(Node)));
}

void TGridTreeView::InvalidateSelection()
{
    if (!FTree || IsUpdating() || !HasWindow())
        return;
    // The selected rows on screen; their flags still tell which they are.
    int top = 0;
    const int height = ClientHeight();
    for (TGridNode *node = GetNodeAt(0, 0, true, top); node && top < height;
         node = FTree->GetNextVisibleNoInit(node)) {
        const int rowHeight = int(FTree->NodeHeight(node));
        if (node->Has(vsSelected))
            viewport()->update(0, top, viewport()->width(), rowHeight);
        top += rowHeight;
    }
}

bool TGridTreeView::MouseButtonDown() const
{
    return QGuiApplication::mouseButtons() != Qt::NoButton;
}

int TGridTreeView::FirstVisibleColumn() const
{
    return FHeader->Columns().GetFirstVisibleColumn();
}

bool TGridTreeView::ColumnVisible(int Column) const
{
    const TGridTreeColumns &columns = FHeader->Columns();
    return columns.IsValidColumn(Column) && columns[Column].Options().contains(coVisible);
}

bool TGridTreeView::ColumnAllowsFocus(int Column) const
{
    return FHeader->AllowFocus(Column);
}

bool TGridTreeView::ColumnCheckBox(int Column, TCheckType &Type, TCheckState &State) const
{
    const TGridTreeColumns &columns = FHeader->Columns();
    if (!columns.IsValidColumn(Column) || !columns[Column].CheckBox())
        return false;
    Type = columns[Column].CheckType();
    State = columns[Column].CheckState();
    return true;
}

void TGridTreeView::SetColumnCheckState(int Column, TCheckState State)
{
    if (FHeader->Columns().IsValidColumn(Column))
        FHeader->Columns()[Column].SetCheckState(State);
}

void TGridTreeView::InvalidateToBottom(TGridNode *Node)
{
    int top = 0;
    if (Node && NodeRowTop(Node, top))
        viewport()->update(0, top, viewport()->width(), std::max(0, viewport()->height() - top));
    else
        viewport()->update();
}

void TGridTreeView::UpdateScrollBars()
{
    // Measuring a row while painting may change the range: the bars follow
    // after the paint, not inside it.
    if (!FViewStates.contains(tsPainting)) {
        UpdateScrollBars(true);
        return;
    }
    if (FScrollBarsPending)
        return;
    FScrollBarsPending = true;
    QTimer::singleShot(0, this, [this] {
        FScrollBarsPending = false;
        UpdateScrollBars(true);
    });
}

void TGridTreeView::SetRedraw(bool Enabled)
{
    if (isVisible())
        setUpdatesEnabled(Enabled);
}

void TGridTreeView::ResetScrollOffsets()
{
    FOffsetX = 0;
    FOffsetY = 0;
    FToggleRowKnown = false;
    UpdateScrollBars(true);
    FHeader->Invalidate();
}

void TGridTreeView::InterruptValidation()
{
    if (FCache && FCache->InterruptValidation())
        ScheduleValidation();
}

void TGridTreeView::PauseValidation()
{
    if (FCache && FCache->PauseValidation())
        ScheduleValidation();
}

void TGridTreeView::InvalidateCache()
{
    if (FCache)
        FCache->InvalidateCache();
}

void TGridTreeView::ValidateCache()
{
    if (!FCache || FMeasuring)
        return;
    if (FOptions->MiscOptions().contains(toVariableNodeHeight))
        MeasureVisibleNodes();
    FCache->ValidateCache();
}

void TGridTreeView::ScheduleValidation()
{
    // A stopped build that nobody queues again (the change was no structural
    // one, or ran inside a bracket of its own) is queued on the next turn.
    if (FValidationScheduled)
        return;
    FValidationScheduled = true;
    QTimer::singleShot(0, this, [this] {
        FValidationScheduled = false;
        if (FTree && FCache && !FTree->ValidationStopped() && FTree->UpdateCount() == 0 && !FCache->UseCache()
            && !FCache->Pending())
            ValidateCache();
    });
}

void TGridTreeView::MeasureVisibleNodes()
{
    // The worker reads heights as they stand; owner events that measure run here.
    FMeasuring = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done { FMeasuring };
    TBaseGridTree::TValidationStop stop(*FTree);
    for (TGridNode *node = FTree->GetFirstVisible(nullptr, true); node;
         node = FTree->GetNextVisible(node, true))
        if (!node->Has(vsHeightMeasured))
            MeasureItemHeight(node);
}

void TGridTreeView::MeasureItemHeight(TGridNode *Node)
{
    if (!FTree || Node->Has(vsHeightMeasured) || !FOptions->MiscOptions().contains(toVariableNodeHeight))
        return;
    FTree->SetHeightMeasured(Node, true);
    const int current = int(FTree->NodeHeight(Node));
    int height = current;
    if (OnMeasureItem) {
        QPainter &canvas = MeasureCanvas();
        canvas.setFont(font());
        OnMeasureItem(*this, canvas, Node, height);
    }
    if (height != current)
        FTree->SetNodeHeight(Node, uint32_t(std::max(height, 0)));
}

bool TGridTreeView::StartTimer(TGridTreeTimer Timer, int Milliseconds)
{
    if (Milliseconds <= 0)
        return false;
    (Timer == ttChangeDelay ? FChangeTimer : FStructureChangeTimer).start(Milliseconds, this);
    return true;
}

void TGridTreeView::StopTimer(TGridTreeTimer Timer)
{
    (Timer == ttChangeDelay ? FChangeTimer : FStructureChangeTimer).stop();
}

int TGridTreeView::ColumnCount() const
{
    return FHeader->Columns().Count();
}

// ---- the columns' host
// ---------------------------------------------------------------------------------------

TGTHeaderOptions TGridTreeView::HeaderOptions() const
{
    return FHeader->Options();
}

THeaderStates TGridTreeView::HeaderStates() const
{
    return FHeader->States();
}

TGTFixedAreaConstraints TGridTreeView::FixedAreaConstraints() const
{
    return FHeader->FixedAreaConstraints();
}

TRect TGridTreeView::HeaderRect() const
{
    return Rect(0, 0, ClientWidth(), FHeader->Options().contains(hoVisible) ? FHeader->Height() : 0);
}

TColumnIndex TGridTreeView::AutoSizeIndex() const
{
    return FHeader->AutoSizeIndex();
}

void TGridTreeView::StoreAutoSizeIndex(TColumnIndex Value)
{
    FHeader->StoreAutoSizeIndex(Value);
}

TColumnIndex TGridTreeView::MainColumn() const
{
    return FHeader->FMainColumn;
}

void TGridTreeView::StoreMainColumn(TColumnIndex Value)
{
    FHeader->StoreMainColumn(Value);
}

TColumnIndex TGridTreeView::SortColumn() const
{
    return FHeader->SortColumn();
}

void TGridTreeView::StoreSortColumn(TColumnIndex Value)
{
    FHeader->StoreSortColumn(Value);
}

void TGridTreeView::InvalidateHeader(TColumnIndex Column, bool ExpandToBorder)
{
    FHeader->Invalidate(Column, ExpandToBorder);
}

void TGridTreeView::RescaleHeader()
{
    FHeader->RescaleHeader();
}

bool TGridTreeView::HasWindow() const
{
    return FWindowCreated;
}

int TGridTreeView::TreeHeight() const
{
    return ClientHeight() + (FHeader->Options().contains(hoVisible) ? FHeader->Height() : 0);
}

void TGridTreeView::InvalidateTree()
{
    viewport()->update();
}

void TGridTreeView::DoColumnResize(TColumnIndex Column)
{
    if (!HasWindow())
        return;
    if (FTree && FTree->MayHaveMultilineNodes()) {
        // Multi-line rows wrap anew in the new width.
        TBaseGridTree::TValidationStop stop(*FTree, true);
        for (TGridNode *node = FTree->GetFirstNoInit(); node; node = FTree->GetNextNoInit(node))
            if (node->Has(vsMultiline) && node->Has(vsInitialized))
                FTree->SetHeightMeasured(node, false);
    }
    UpdateHorizontalScrollBar();
    TGridTreeColumns &columns = FHeader->Columns();
    if (columns.IsValidColumn(Column)) {
        int left = 0;
        int right = 0;
        columns.GetColumnBounds(Column, left, right);
        if (FOptions->AutoOptions().contains(toAutoSpanColumns))
            left = 0;
        viewport()->update(left, 0, viewport()->width() - left, viewport()->height());
        FHeader->Invalidate(Column, true);
        // Right of the column everything moved.
        FHeaderStrip->update(left, 0, FHeaderStrip->width() - left, FHeaderStrip->height());
    }
    const THeaderStates states = FHeader->States();
    if (states.contains(hsColumnWidthTracking) && !states.contains(hsResizing)) {
        FHeaderStrip->repaint();
        viewport()->repaint();
    }
    if (!states.contains(hsResizing) && OnColumnResize)
        OnColumnResize(*FHeader, Column);
}

void TGridTreeView::DoCanSplitterResize(QPoint P, TColumnIndex Column, bool &Allowed)
{
    if (OnCanSplitterResizeColumn)
        OnCanSplitterResizeColumn(*FHeader, P, Column, Allowed);
}

void TGridTreeView::AnimateResizeStep(int X, int DX)
{
    // The content right of X moves; what it uncovers is painted anew (the tree's colour).
    const QRect header(X, 0, FHeaderStrip->width() - X, FHeaderStrip->height());
    const QRect client(X, 0, viewport()->width() - X, viewport()->height());
    FHeaderStrip->scroll(DX, 0, header);
    viewport()->scroll(DX, 0, client);
    const QRect uncovered = DX > 0 ? QRect(X, 0, DX, viewport()->height()) : QRect();
    viewport()->repaint(uncovered.isEmpty() ? client : uncovered);
    FHeaderStrip->repaint(header);
    QThread::msleep(1);
}

// Where the window system reaches the tree: mouse buttons with their held
// states, double clicks, leaving the client area, the context menu, focus,
// enabling, palette, font and direction changes, the cursor, the timers, and
// the bevel and border frame around the client area.
#include "components/PositionCache.h"
#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/HeaderStrip.h"
#include "components/gui/SharedImages.h"
#include "components/gui/TreeUtils.h"
#include "components/gui/WheelPanning.h"
#include "platform/gui/Edges.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QTimerEvent>
#include <QToolTip>
#include <exception>

// ---- events of the window ----------------------------------------------------------------------------

bool TGridTreeView::event(QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::FontChange:
        FHeader->ParentFontChanged();
        PrepareBitmaps();
        InvalidateTree();
        break;
    case QEvent::WindowBlocked:
    case QEvent::UngrabMouse:
        // A modal window or another grab takes the mouse: pending gestures end.
        CancelMode(false);
        break;
    case QEvent::Paint: {
        const bool result = QAbstractScrollArea::event(Event);
        PaintFrame();
        return result;
    }
    case QEvent::LayoutRequest:
    case QEvent::StyleChange: {
        // The scroll area lays its bars out anew: the vertical one goes below the
        // header again.
        const bool result = QAbstractScrollArea::event(Event);
        UpdateHeaderRect();
        return result;
    }
    default:
        break;
    }
    return QAbstractScrollArea::event(Event);
}

void TGridTreeView::changeEvent(QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::EnabledChange:
        update();
        InvalidateTree();
        FHeader->Invalidate();
        break;
    case QEvent::PaletteChange:
        PrepareBitmaps(true, false);
        FHeader->Invalidate();
        InvalidateTree();
        break;
    case QEvent::ApplicationPaletteChange:
        // The shared check images follow the system colours.
        RecreateSharedImages();
        InvalidateTree();
        break;
    case QEvent::LayoutDirectionChange:
        if (FOptions->AutoOptions().contains(toAutoBidiColumnOrdering))
            FHeader->Columns().ReorderColumns(layoutDirection() == Qt::RightToLeft);
        ClampOffsets();
        FHeader->Invalidate();
        break;
    default:
        break;
    }
    QAbstractScrollArea::changeEvent(Event);
}

bool TGridTreeView::viewportEvent(QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        FLastMousePos = static_cast<QMouseEvent *>(Event)->position().toPoint();
        if (HandlePanningButton(Event))
            return true;
        // The header's lower edge reaches into the first row, and tracking that
        // began on the header goes on over the client area.
        // A hidden header takes no input.
        const auto *mouse = static_cast<QMouseEvent *>(Event);
        if (FHeader->Options().contains(hoVisible)
            && FHeader->HandleMessage(Event, mouse->position().toPoint() + QPoint(0, FHeader->Height())))
            return true;
        break;
    }
    case QEvent::ContextMenu:
        // A mouse's menu comes with the right button's release; the menu key
        // is a key of the tree's.
        if (static_cast<QContextMenuEvent *>(Event)->reason() == QContextMenuEvent::Mouse) {
            Event->accept();
            return true;
        }
        break;
    case QEvent::Leave:
        ClientMouseLeave();
        break;
    case QEvent::Resize:
        UpdateHeaderRect();
        ClientResized();
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(Event);
}

void TGridTreeView::resizeEvent(QResizeEvent *Event)
{
    QAbstractScrollArea::resizeEvent(Event);
    UpdateHeaderRect();
}

void TGridTreeView::ClientResized()
{
    if (!HasWindow() || FViewStates.contains(tsSizing) || FViewStates.contains(tsWindowCreating)
        || viewport()->height() <= 0)
        return;
    const TViewStateScope sizing(*this, tsSizing);
    FHeader->RescaleHeader();
    FHeader->UpdateSpringColumns();
    if (FHeader->Options().contains(hoAutoResize))
        FHeader->Columns().AdjustAutoSize();
    // Bars appearing or going resize the client again while they are updated.
    if (FUpdatingBars == 0)
        UpdateScrollBars(true);
}

void TGridTreeView::hideEvent(QHideEvent *Event)
{
    StopWheelPanning();
    StopScrollTimer();
    StopEditTimer();
    StopIncrementalSearch();
    DoViewStateChange({}, { tsScrollPending, tsScrolling, tsEditPending });
    // A delayed notification is not lost with its timer: it goes out now.
    if (FTree) {
        if (FChangeTimer.isActive()) {
            FChangeTimer.stop();
            FTree->DeliverPendingChange();
        }
        if (FTree && FStructureChangeTimer.isActive()) {
            FStructureChangeTimer.stop();
            FTree->DeliverPendingStructureChange();
        }
    }
    QAbstractScrollArea::hideEvent(Event);
}

void TGridTreeView::showEvent(QShowEvent *Event)
{
    QAbstractScrollArea::showEvent(Event);
    if (!FWindowCreated)
        CreateWnd();
}

void TGridTreeView::CreateWnd()
{
    const TViewStateScope creating(*this, tsWindowCreating);
    FWindowCreated = true;
    FViewStates.set(tsUseThemes, FOptions->PaintOptions().contains(toThemeAware));
    if (FHeader->States().contains(hsNeedScaling))
        FHeader->RescaleHeader();
    if (FHeader->Options().contains(hoAutoResize))
        FHeader->Columns().AdjustAutoSize();
    PrepareBitmaps();
    UpdateHeaderRect();
    UpdateScrollBars(true);
    FHeader->UpdateSpringColumns();
}

void TGridTreeView::timerEvent(QTimerEvent *Event)
{
    const int id = Event->timerId();
    if (id == FChangeTimer.timerId()) {
        FChangeTimer.stop();
        if (FTree)
            FTree->DeliverPendingChange();
    } else if (id == FStructureChangeTimer.timerId()) {
        FStructureChangeTimer.stop();
        if (FTree)
            FTree->DeliverPendingStructureChange();
    } else if (id == FScrollTimer.timerId()) {
        if (FViewStates.contains(tsScrollPending)) {
            QToolTip::hideText();
            StartScrollTimer(FAutoScrollInterval);
            DoViewStateChange({ tsScrolling }, { tsScrollPending });
        }
        DoTimerScroll();
    } else if (id == FEditTimer.timerId()) {
        FEditTimer.stop();
        DoViewStateChange({}, { tsEditPending });
        // An owner's editor that fails to start must not end the event loop.
        try {
            DoEdit();
        } catch (const std::exception &Error) {
            qWarning("The editor did not start: %s", Error.what());
        }
    } else if (id == FSearchTimer.timerId()) {
        StopIncrementalSearch();
    } else {
        QAbstractScrollArea::timerEvent(Event);
    }
}

// ---- focus ---------------------------------------------------------------------------------------------

void TGridTreeView::focusInEvent(QFocusEvent *Event)
{
    QAbstractScrollArea::focusInEvent(Event);
    // The selection changes its look.
    if (!(FTree && FTree->SelectedCount() == 0 && FOptions->PaintOptions().contains(toGhostedIfUnfocused)))
        InvalidateTree();
}

bool TGridTreeView::Panning() const
{
    return FViewStates.contains(tsWheelPanning) || FViewStates.contains(tsWheelScrolling);
}

void TGridTreeView::focusOutEvent(QFocusEvent *Event)
{
    QAbstractScrollArea::focusOutEvent(Event);
    // The panning image taking the activation ends nothing.
    if (FPanningWindow && QApplication::activeWindow() == FPanningWindow)
        return;
    QToolTip::hideText();
    FHeader->CancelTracking();
    StopWheelPanning();
    CancelMode(true);
    if (FTree && FTree->SelectedCount() == 0 && FOptions->PaintOptions().contains(toGhostedIfUnfocused)) {
        if (FTree->FocusedNode())
            InvalidateNode(FTree->FocusedNode());
    } else {
        InvalidateTree();
    }
}

void TGridTreeView::CancelMode(bool FocusLost)
{
    StopEditTimer();
    StopScrollTimer();
    StopIncrementalSearch();
    TGridTreeViewStates leave { tsEditPending, tsIncrementalSearching, tsIncrementalSearchPending,
        tsOLEDragPending, tsVCLDragPending, tsDrawSelPending, tsDrawSelecting, tsToggleFocusedSelection };
    if (FocusLost)
        leave = leave
            + TGridTreeViewStates { tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown,
                  tsMiddleButtonDown, tsRightButtonDown, tsScrolling, tsScrollPending };
    const bool banding = IsMouseSelecting();
    DoViewStateChange({}, leave);
    FSuppressedPress = false;
    if (!FTree)
        return;
    FTree->DoStateChange({}, { tsClearPending });
    // A check box held down goes back to its look: the next press starts afresh.
    if (FTree->TreeStates().contains(tsMouseCheckPending) || FTree->TreeStates().contains(tsKeyCheckPending))
        EndKeyCheck(false);
    if (banding)
        InvalidateTree();
}

// ---- mouse buttons --------------------------------------------------------------------------------------

TGTMouseMessage TGridTreeView::MouseMessage(const QMouseEvent &Event) const
{
    TGTMouseMessage message;
    message.Pos = Event.position().toPoint();
    message.Button = Event.button();
    message.Keys = ShiftStateOf(Event);
    return message;
}

bool TGridTreeView::HeaderTracking() const
{
    const THeaderStates tracking { hsColumnWidthTracking, hsColumnWidthTrackPending, hsHeightTracking,
        hsHeightTrackPending, hsDragging, hsDragPending };
    return !(FHeader->States() * tracking).empty();
}

void TGridTreeView::mousePressEvent(QMouseEvent *Event)
{
    Event->accept();
    const TGTMouseMessage message = MouseMessage(*Event);
    // The second press of a double click is the double click itself, which
    // follows as an event of its own.
    const QStyleHints *hints = QGuiApplication::styleHints();
    const bool secondOfDouble = FLastPressButton == Event->button()
        && Event->timestamp() - FLastPressTime < quint64(hints->mouseDoubleClickInterval())
        && (message.Pos - FLastPressPos).manhattanLength() <= hints->mouseDoubleClickDistance();
    FLastPressButton = secondOfDouble ? Qt::NoButton : Event->button();
    FLastPressTime = Event->timestamp();
    FLastPressPos = message.Pos;
    switch (Event->button()) {
    case Qt::LeftButton:
        DoViewStateChange({ tsLeftButtonDown });
        break;
    case Qt::RightButton:
        DoViewStateChange({ tsRightButtonDown });
        break;
    case Qt::MiddleButton:
        DoViewStateChange({ tsMiddleButtonDown });
        break;
    default:
        return;
    }
    if (secondOfDouble) {
        FSuppressedPress = true;
        FSuppressedMessage = message;
        return;
    }
    FSuppressedPress = false;
    PressButton(message);
}

void TGridTreeView::PressButton(const TGTMouseMessage &Message)
{
    THitInfo hit;
    switch (Message.Button) {
    case Qt::LeftButton:
        GetHitTestInfoAt(Message.Pos.x(), Message.Pos.y(), true, hit);
        HandleMouseDown(Message, hit);
        break;
    case Qt::RightButton:
        if (!HeaderTracking() && FOptions->SelectionOptions().contains(toRightClickSelect)) {
            GetHitTestInfoAt(Message.Pos.x(), Message.Pos.y(), true, hit);
            HandleMouseDown(Message, hit);
        }
        break;
    case Qt::MiddleButton:
        if (!HeaderTracking()) {
            StopWheelPanning();
            if (FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
                GetHitTestInfoAt(Message.Pos.x(), Message.Pos.y(), true, hit);
                HandleMouseDown(Message, hit);
            }
        }
        break;
    default:
        break;
    }
}

void TGridTreeView::mouseDoubleClickEvent(QMouseEvent *Event)
{
    Event->accept();
    FSuppressedPress = false;
    const TGTMouseMessage message = MouseMessage(*Event);
    THitInfo hit;
    switch (Event->button()) {
    case Qt::LeftButton:
        DoViewStateChange({ tsLeftButtonDown, tsLeftDblClick });
        DblClick();
        GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
        HandleMouseDblClick(message, hit);
        DoViewStateChange({}, { tsLeftDblClick });
        break;
    case Qt::RightButton:
        DoViewStateChange({ tsRightButtonDown, tsRightDblClick });
        if (FOptions->SelectionOptions().contains(toRightClickSelect)) {
            GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
            HandleMouseDblClick(message, hit);
        }
        DoViewStateChange({}, { tsRightDblClick });
        break;
    case Qt::MiddleButton:
        DoViewStateChange({ tsMiddleButtonDown, tsMiddleDblClick });
        if (FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
            HandleMouseDblClick(message, hit);
        }
        DoViewStateChange({}, { tsMiddleDblClick });
        break;
    default:
        break;
    }
}

void TGridTreeView::mouseReleaseEvent(QMouseEvent *Event)
{
    Event->accept();
    // A second press whose double click never came counts as a press after all.
    if (FSuppressedPress) {
        FSuppressedPress = false;
        PressButton(FSuppressedMessage);
    }
    const TGTMouseMessage message = MouseMessage(*Event);
    THitInfo hit;
    switch (Event->button()) {
    case Qt::LeftButton: {
        const bool pressedHere = FViewStates.contains(tsLeftButtonDown);
        DoViewStateChange({}, { tsLeftButtonDown, tsNodeHeightTracking, tsNodeHeightTrackPending });
        GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
        HandleMouseUp(message, hit);
        if (pressedHere && viewport()->rect().contains(message.Pos))
            Click();
        break;
    }
    case Qt::RightButton: {
        DoViewStateChange({}, { tsRightButtonDown, tsPopupMenuShown });
        if (HeaderTracking())
            break;
        QToolTip::hideText();
        GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
        if (IsMouseSelecting() && HasPopupMenu(hit.HitNode, hit.HitColumn, message.Pos)) {
            DoViewStateChange({}, { tsDrawSelPending, tsDrawSelecting });
            InvalidateTree();
        }
        ShowContextMenu(viewport()->mapToGlobal(message.Pos));
        if (FOptions->SelectionOptions().contains(toRightClickSelect))
            HandleMouseUp(message, hit);
        if (!FPopupMenu)
            DoPopupMenu(hit.HitNode, hit.HitColumn, message.Pos);
        break;
    }
    case Qt::MiddleButton:
        DoViewStateChange({}, { tsMiddleButtonDown });
        if (!HeaderTracking() && FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(message.Pos.x(), message.Pos.y(), true, hit);
            HandleMouseUp(message, hit);
        }
        break;
    default:
        break;
    }
}

void TGridTreeView::mouseMoveEvent(QMouseEvent *Event)
{
    Event->accept();
    const QPoint p = Event->position().toPoint();
    MouseMove(ShiftStateOf(*Event), p.x(), p.y());
    if (!Panning())
        UpdateCursor(p);
}

void TGridTreeView::contextMenuEvent(QContextMenuEvent *Event)
{
    Event->accept();
    ShowContextMenu(Event->globalPos());
}

void TGridTreeView::ShowContextMenu(QPoint GlobalPos)
{
    DoViewStateChange({}, { tsEditPending, tsOLEDragPending, tsVCLDragPending });
    if (FTree)
        FTree->DoStateChange({}, { tsClearPending });
    if (FPopupMenu && !FViewStates.contains(tsPopupMenuShown))
        FPopupMenu->popup(GlobalPos);
}

void TGridTreeView::ClientMouseLeave()
{
    if (!Panning()) {
        StopScrollTimer();
        DoViewStateChange({}, { tsScrolling, tsScrollPending });
    }
    HintMouseLeft();
    if (FTree && HotNode()) {
        TGridNodeReference old(*FTree, HotNode());
        DoHotChange(old, nullptr);
        if (FTree && old
            && (FOptions->PaintOptions().contains(toHotTrack)
                || FOptions->MiscOptions().contains(toCheckSupport)))
            InvalidateNode(old);
        if (FTree)
            FTree->SetHotNode(nullptr);
    }
    FCurrentHotColumn = NoColumn;
    FHotNodeButtonHit = false;
}

// ---- the cursor ------------------------------------------------------------------------------------------

void TGridTreeView::SetTreeCursor(Qt::CursorShape Value)
{
    FTreeCursor = Value;
    viewport()->setCursor(Value);
}

void TGridTreeView::UpdateCursor(QPoint P)
{
    Qt::CursorShape cursor = FTreeCursor;
    if (FTree && FOptions->MiscOptions().contains(toNodeHeightResize)) {
        THitInfo hit;
        GetHitTestInfoAt(P.x(), P.y(), true, hit);
        if (HeightTrackingHit(hit))
            cursor = Qt::SplitVCursor;
    }
    if (cursor == FTreeCursor && FOptions->PaintOptions().contains(toHotTrack) && HotNode()
        && FHotCursor != Qt::ArrowCursor)
        cursor = FHotCursor;
    DoGetCursor(cursor);
    if (viewport()->cursor().shape() != cursor)
        viewport()->setCursor(cursor);
}

// ---- the frame -------------------------------------------------------------------------------------------

void TGridTreeView::SetBorderWidth(int Value)
{
    if (AssignChanged(FBorderWidth, std::max(0, Value)))
        UpdateFrameMargins();
}

void TGridTreeView::SetBevelKind(TBevelKind Value)
{
    if (AssignChanged(FBevelKind, Value))
        UpdateFrameMargins();
}

void TGridTreeView::SetBevelInner(TBevelCut Value)
{
    if (AssignChanged(FBevelInner, Value))
        UpdateFrameMargins();
}

void TGridTreeView::SetBevelOuter(TBevelCut Value)
{
    if (AssignChanged(FBevelOuter, Value))
        UpdateFrameMargins();
}

void TGridTreeView::SetBevelWidth(int Value)
{
    if (AssignChanged(FBevelWidth, std::max(1, Value)))
        UpdateFrameMargins();
}

int TGridTreeView::BevelExtent() const
{
    if (FBevelKind == bkNone)
        return 0;
    return ((FBevelInner != bvNone ? 1 : 0) + (FBevelOuter != bvNone ? 1 : 0)) * FBevelWidth;
}

void TGridTreeView::UpdateFrameMargins()
{
    const int margin = BevelExtent() + FBorderWidth;
    setContentsMargins(margin, margin, margin, margin);
    UpdateHeaderRect();
    update();
}

void TGridTreeView::PaintFrame()
{
    const int bevel = BevelExtent();
    if (bevel == 0 && FBorderWidth == 0)
        return;
    QPainter painter(this);
    const int frame = frameWidth();
    TRect r = FromQRect(rect().adjusted(frame, frame, -frame, -frame));
    const auto ring = [&painter, &r](TBevelCut Cut, bool Outer) {
        unsigned edge = 0;
        if (Cut == bvLowered)
            edge = Outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
        else if (Cut == bvRaised)
            edge = Outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
        if (edge)
            r = DrawEdge(painter, r, edge, BF_RECT);
        else
            r = InflateRect(r, -1, -1);
    };
    if (FBevelKind != bkNone)
        for (int i = 0; i < FBevelWidth; ++i) {
            if (FBevelOuter != bvNone)
                ring(FBevelOuter, true);
        }
    if (FBevelKind != bkNone)
        for (int i = 0; i < FBevelWidth; ++i) {
            if (FBevelInner != bvNone)
                ring(FBevelInner, false);
        }
    if (FBorderWidth > 0) {
        const QColor color = FColors->QtColor(TGTColors::BorderColor);
        const QRect outer = ToQRect(r);
        const QRect inner = outer.adjusted(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
        QRegion ringArea(outer);
        ringArea -= QRegion(inner);
        painter.setClipRegion(ringArea);
        painter.fillRect(outer, color);
    }
}

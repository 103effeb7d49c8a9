// Drag and drop: the tree as the source and as the target of drags.
#include "components/gui/GTColors.h"
#include "components/gui/GTDataObject.h"
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ScrollBarOptions.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QTimer>
#include <algorithm>
#include <exception>

namespace {

TGridTreeView::TDragLoop &DragLoopSeam()
{
    static TGridTreeView::TDragLoop loop;
    return loop;
}

// A class-library drag: an in-process drag that carries no data, only which
// tree it started from.
QString ControlDragMime()
{
    return QStringLiteral("application/x-zeltrano-control-drag");
}

// The one effect Qt takes of a set.
Qt::DropAction SingleAction(uint32_t Effect)
{
    if (Effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (Effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (Effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// A move or drop answered: the effect chosen, or refused.
void Answer(QDropEvent &Event, bool Ok, uint32_t Effect)
{
    Effect &= ~DROPEFFECT_SCROLL;
    if (Ok && Effect != DROPEFFECT_NONE) {
        Event.setDropAction(SingleAction(Effect));
        Event.accept();
    } else {
        Event.ignore();
    }
}

} // namespace

// ---- the drag manager ---------------------------------------------------------------------------------

TGTDragManager::TGTDragManager(TGridTreeView &Owner)
    : FOwner(Owner)
{ }

void TGTDragManager::DragEnter(QDragEnterEvent &Event)
{
    FDataObject = Event.mimeData();
    FDragSource = TGridTreeView::GetTreeFromDataObject(FDataObject);
    FIsDropTarget = true;
    uint32_t effect = uint32_t(Event.possibleActions());
    FOwner.DragEnter(ShiftStateOf(Event.modifiers(), Event.buttons()), Event.position().toPoint(), effect);
    // Accepted whatever the answer, so that the moves come; a refusal is the
    // effect none.
    Event.setDropAction(SingleAction(effect));
    Event.accept();
}

void TGTDragManager::DragOver(QDragMoveEvent &Event)
{
    uint32_t effect = uint32_t(Event.possibleActions());
    const bool ok = FOwner.DragOver(FDragSource, ShiftStateOf(Event.modifiers(), Event.buttons()), dsDragMove,
        Event.position().toPoint(), effect);
    Answer(Event, ok, effect);
}

void TGTDragManager::DragLeave()
{
    FOwner.DragLeave();
    FDragSource = nullptr;
    FDataObject = nullptr;
    FIsDropTarget = false;
}

void TGTDragManager::Drop(QDropEvent &Event)
{
    uint32_t effect = uint32_t(Event.possibleActions());
    const bool dropped = FOwner.DragDrop(Event.mimeData(), ShiftStateOf(Event.modifiers(), Event.buttons()),
        Event.position().toPoint(), effect);
    FDataObject = nullptr;
    FDragSource = nullptr;
    FIsDropTarget = false;
    Answer(Event, dropped, effect);
}

// ---- the source ---------------------------------------------------------------------------------------

void TGridTreeView::SetDragLoop(TDragLoop Loop)
{
    DragLoopSeam() = std::move(Loop);
}

TGTDragManager &TGridTreeView::GetDragManager()
{
    if (!FDragManager)
        FDragManager = DoCreateDragManager();
    return *FDragManager;
}

TGTDragManagerPtr TGridTreeView::DoCreateDragManager()
{
    TGTDragManagerPtr result;
    if (OnCreateDragManager)
        OnCreateDragManager(*this, result);
    return result ? result : std::make_shared<TGTDragManager>(*this);
}

TGTDragImage &TGridTreeView::DragImage()
{
    if (!FDragImage)
        FDragImage = std::make_unique<TGTDragImage>(*viewport());
    return *FDragImage;
}

bool TGridTreeView::Dragging() const
{
    return FViewStates.contains(tsOLEDragPending) || FViewStates.contains(tsOLEDragging)
        || FViewStates.contains(tsVCLDragging);
}

bool TGridTreeView::DoBeforeDrag(TGridNode *Node, TColumnIndex Column)
{
    bool allowed = false;
    if (OnDragAllowed)
        OnDragAllowed(*this, Node, Column, allowed);
    return allowed;
}

void TGridTreeView::BeginDrag(bool Immediate, int Threshold)
{
    FDragThreshold = Threshold < 0 ? QApplication::startDragDistance() : Threshold;
    if (FDragType == dtVCL) {
        DoViewStateChange({ tsVCLDragPending });
        if (Immediate)
            DoDragging(FLastClickPos);
        return;
    }
    if (FViewStates.contains(tsOLEDragPending) || FViewStates.contains(tsOLEDragging))
        return;
    if (Immediate)
        DoDragging(FLastClickPos);
    else
        DoViewStateChange({ tsOLEDragPending });
}

void TGridTreeView::SetDragSelection(TNodeArray Nodes)
{
    FDragSelection = std::move(Nodes);
    FDragSelectionIndex.clear();
    FDragSelectionIndex.reserve(FDragSelection.size());
    for (std::size_t i = 0; i < FDragSelection.size(); ++i)
        FDragSelectionIndex.emplace_back(FDragSelection[i], i);
    std::sort(FDragSelectionIndex.begin(), FDragSelectionIndex.end());
    FDragNodesMoved = false;
    UpdateFreedNodeWatch();
}

void TGridTreeView::ForgetMovedNodes()
{
    FDragNodesMoved = true;
    FDragSelection.clear();
    FDragSelectionIndex.clear();
    UpdateFreedNodeWatch();
}

void TGridTreeView::DoStartDrag()
{
    if (OnStartDrag)
        OnStartDrag(*this);
}

void TGridTreeView::DoEndDrag(QPoint Pt)
{
    if (OnEndDrag)
        OnEndDrag(*this, Pt);
    DragFinished();
}

void TGridTreeView::DoDragging(QPoint P)
{
    if (!FTree)
        return;
    const bool classLibrary = FDragType == dtVCL;
    CancelEditNode();
    if (TGridNode *hot = FTree->HotNode())
        InvalidateNode(hot);
    TGridNode *focused = FTree->FocusedNode();
    if (focused && !focused->Has(vsSelected)) {
        FTree->AddToSelection(focused);
        InvalidateNode(focused);
    }
    SetDragSelection(FTree->GetSortedSelection(true));
    if (classLibrary)
        DoViewStateChange({ tsVCLDragging }, { tsVCLDragPending });
    else
        DoViewStateChange({ tsOLEDragging }, { tsOLEDragPending });
    FTree->DoStateChange({}, { tsClearPending });
    DoStartDrag();

    QMimeData *mime = nullptr;
    if (classLibrary) {
        mime = new QMimeData;
        mime->setData(ControlDragMime(), TGTDataObject::MakeReference(*this));
    } else {
        mime = DoCreateDataObject();
    }
    PrepareDragImage(P, mime);
    FLastDropMode = dmOnNode;
    uint32_t allowed = 0;
    if (FDragOperations.empty())
        allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    for (const auto &[operation, effect] : { std::pair(doCopy, DROPEFFECT_COPY),
             std::pair(doMove, DROPEFFECT_MOVE), std::pair(doLink, DROPEFFECT_LINK) })
        if (FDragOperations.contains(operation))
            allowed |= effect;
    uint32_t effect = DROPEFFECT_NONE;
    try {
        effect = DragAndDrop(allowed, mime);
    } catch (const std::exception &Error) {
        qWarning("The drag ended: %s", Error.what());
    }
    GetDragManager().ForceDragLeave();

    DoEndDrag(viewport()->mapFromGlobal(QCursor::pos()));
    DragImage().EndDrag();
    FSystemDragImage = QImage();
    // Moved nodes go, unless a target of this process moved them itself.
    if (effect == DROPEFFECT_MOVE && FOptions->AutoOptions().contains(toAutoDeleteMovedNodes)
        && !FDragNodesMoved && !classLibrary) {
        FTree->BeginUpdate();
        // A node freed meanwhile has left the list (its entry is nil).
        for (std::size_t i = 0; i < FDragSelection.size(); ++i)
            if (TGridNode *node = FDragSelection[i])
                FTree->DeleteNode(node);
        FTree->EndUpdate();
    }
    DoViewStateChange({}, { tsOLEDragging, tsVCLDragging });
    SetDragSelection({});
}

uint32_t TGridTreeView::DragAndDrop(uint32_t AllowedEffects, QMimeData *DataObject)
{
    if (const TDragLoop &loop = DragLoopSeam()) {
        const std::unique_ptr<QMimeData> owned(DataObject);
        return loop(*this, DataObject, AllowedEffects);
    }
    // The system's drag loop shows the image; the drag owns the data.
    auto *drag = new QDrag(this);
    drag->setMimeData(DataObject);
    if (!FSystemDragImage.isNull()) {
        drag->setPixmap(QPixmap::fromImage(FSystemDragImage));
        drag->setHotSpot(FSystemDragHotSpot);
    }
    const Qt::DropAction action = drag->exec(Qt::DropActions(int(AllowedEffects & 7)));
    return action == Qt::IgnoreAction ? DROPEFFECT_NONE : uint32_t(action) & 7;
}

void TGridTreeView::PrepareDragImage(QPoint HotSpot, QMimeData *DataObject)
{
    if (!CanShowDragImage())
        return;
    // A window of DragWidth x DragHeight around the hot spot, in tree coordinates.
    const QPoint hot = HotSpot + QPoint(EffectiveOffsetX(), -FOffsetY);
    TRect window = Bounds(hot.x() - FDragWidth / 2, hot.y() - FDragHeight / 2, FDragWidth, FDragHeight);
    QPoint target(0, 0);
    if (window.Left < 0) {
        target.setX(-window.Left);
        window.Left = 0;
    }
    if (window.Top < 0) {
        target.setY(-window.Top);
        window.Top = 0;
    }
    QImage image(FDragWidth, FDragHeight, QImage::Format_ARGB32);
    image.fill(PaletteColor(palette(), FColor));
    TGTInternalPaintOptions options { poDrawSelection, poSelectedOnly };
    if (FDragImageKind == diMainColumnOnly)
        options.include(poMainOnly);
    {
        QPainter painter(&image);
        PaintTree(painter, window, target, options);
    }
    TGTDragImage &dragImage = DragImage();
    dragImage.SetColorKey(FColor);
    // The image's top-left corner and the hot spot, in client coordinates.
    const QPoint imagePos = HotSpot - QPoint(FDragWidth / 2, FDragHeight / 2);
    dragImage.PrepareDrag(image, imagePos, HotSpot, DataObject != nullptr);
    if (dragImage.SystemSupport()) {
        FSystemDragImage = dragImage.SystemImage();
        FSystemDragHotSpot = HotSpot - imagePos;
    }
}

void TGridTreeView::DragFinished()
{
    DoViewStateChange({}, { tsVCLDragPending, tsVCLDragging, tsUserDragObject });
    // The drag took the release: the button held is let go here.
    Qt::MouseButton button = Qt::NoButton;
    if (FViewStates.contains(tsRightButtonDown))
        button = Qt::RightButton;
    else if (FViewStates.contains(tsMiddleButtonDown))
        button = Qt::MiddleButton;
    else if (FViewStates.contains(tsLeftButtonDown))
        button = Qt::LeftButton;
    if (button == Qt::NoButton)
        return;
    const QPointF p = viewport()->mapFromGlobal(QCursor::pos());
    QMouseEvent release(QEvent::MouseButtonRelease, p, viewport()->mapToGlobal(p), button, Qt::NoButton,
        QApplication::keyboardModifiers());
    QApplication::sendEvent(viewport(), &release);
}

// ---- the target ---------------------------------------------------------------------------------------

uint32_t TGridTreeView::SuggestDropEffect(
    TGridTreeView *Source, TShiftState Shift, QPoint, uint32_t AllowedEffects)
{
    uint32_t result = AllowedEffects;
    if (Source == this) {
        if (AllowedEffects & DROPEFFECT_MOVE)
            result = DROPEFFECT_MOVE;
    } else if (AllowedEffects & DROPEFFECT_COPY) {
        result = DROPEFFECT_COPY;
    }
    const TShiftState keys = Shift * TShiftState { ssShift, ssCtrl, ssAlt };
    const auto only = [&](TShiftState Keys) { return keys == Keys; };
    if (only({ ssShift }) && (AllowedEffects & DROPEFFECT_MOVE))
        result = DROPEFFECT_MOVE;
    if (only({ ssCtrl }) && (AllowedEffects & DROPEFFECT_COPY))
        result = DROPEFFECT_COPY;
    if ((only({ ssCtrl, ssShift }) || only({ ssAlt })) && (AllowedEffects & DROPEFFECT_LINK))
        result = DROPEFFECT_LINK;
    return result;
}

bool TGridTreeView::DoDragOver(
    TGridTreeView *Source, TShiftState Shift, TDragState State, QPoint Pt, TDropMode Mode, uint32_t &Effect)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(*this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

void TGridTreeView::DoDragDrop(TGridTreeView *Source, const QMimeData *DataObject, const QStringList &Formats,
    TShiftState Shift, QPoint Pt, uint32_t &Effect, TDropMode Mode)
{
    if (OnDragDrop)
        OnDragDrop(*this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

namespace {

// The drop mode over a node's row at Pt: above or below its middle.
TDropMode HalfOf(const TRect &Row, QPoint Pt)
{
    return (Row.Top + Row.Bottom) / 2 > Pt.y() ? dmAbove : dmBelow;
}

} // namespace

bool TGridTreeView::DragEnter(TShiftState KeyState, QPoint Pt, uint32_t &Effect)
{
    try {
        FDragScrollStart.invalidate();
        const TShiftState shift
            = KeyState + (FViewStates.contains(tsLeftButtonDown) ? TShiftState { ssLeft } : TShiftState {});
        TGridTreeView *source = GetDragManager().DragSource();
        Effect = SuggestDropEffect(source, shift, Pt, Effect);
        if (!DoDragOver(source, shift, dsDragEnter, Pt, FLastDropMode, Effect)) {
            Effect = DROPEFFECT_NONE;
        } else if (FTree) {
            THitInfo hit;
            GetHitTestInfoAt(Pt.x(), Pt.y(), true, hit);
            if (hit.HitNode) {
                FTree->SetDropTargetNode(hit.HitNode);
                // Entered right over a collapsed node: it opens after the delay too.
                StartExpandTimer(hit.HitNode);
                FLastDropMode = hit.HitPositions.contains(hiOnItemLabel)
                    ? dmOnNode
                    : HalfOf(GetDisplayRect(hit.HitNode, MainColumn(), false), Pt);
            } else {
                FLastDropMode = dmNowhere;
            }
        }
        // Without the system's images, a source of this process shows its own.
        if (!GetDragManager().DropTargetHelperSupported() && source)
            source->DragImage().ShowDragImage();
        return true;
    } catch (const std::exception &Error) {
        qWarning("The drag was refused: %s", Error.what());
        Effect = DROPEFFECT_NONE;
        return false;
    }
}

bool TGridTreeView::DragOver(
    TGridTreeView *Source, TShiftState KeyState, TDragState State, QPoint Pt, uint32_t &Effect)
{
    const uint32_t allowed = Effect;
    try {
        if (!FTree)
            return false;
        // Scrolling near the edges.
        bool scrolled = false;
        const TScrollDirections directions = DetermineScrollDirections(Pt.x(), Pt.y());
        int dx = 0;
        int dy = 0;
        if (directions.contains(sdUp) && FOffsetY < 0)
            dy = std::min(ClientHeight(), FScrollBarOptions->VerticalIncrement());
        if (directions.contains(sdDown) && ClientHeight() - FOffsetY < RangeY())
            dy = -std::min(ClientHeight(), FScrollBarOptions->VerticalIncrement());
        if (directions.contains(sdLeft) && FOffsetX < 0)
            dx = FScrollBarOptions->HorizontalIncrement();
        if (directions.contains(sdRight) && ClientWidth() - FOffsetX < FRangeX)
            dx = -FScrollBarOptions->HorizontalIncrement();
        if (dx != 0 || dy != 0)
            scrolled = DoSetOffsetXY(QPoint(FOffsetX + dx, FOffsetY + dy), DefaultScrollUpdateOptions);

        THitInfo hit;
        GetHitTestInfoAt(Pt.x(), Pt.y(), true, hit);
        const bool imageHit
            = hit.HitPositions.contains(hiOnNormalIcon) || hit.HitPositions.contains(hiOnStateIcon);
        const bool labelHit = hit.HitPositions.contains(hiOnItemLabel);
        TGridNode *node = hit.HitNode;
        if (FOptions->MiscOptions().contains(toReportMode)
            && !((labelHit || imageHit) && (hit.HitColumn == MainColumn() || hit.HitColumn == NoColumn)))
            node = nullptr;
        TDropMode mode = dmNowhere;
        if (node) {
            if (labelHit || imageHit || !FOptions->PaintOptions().contains(toShowDropmark))
                mode = dmOnNode;
            else
                mode = HalfOf(GetDisplayRect(node, MainColumn(), false), Pt);
        }
        TGridNode *old = FTree->DropTargetNode();
        if (node != old || mode != FLastDropMode) {
            FLastDropMode = mode;
            if (node != old) {
                if (FExpandTimer)
                    FExpandTimer->stop();
                FTree->SetDropTargetNode(node);
                if (FTree->FocusedColumn() < 0 && FHeader->Columns().Count() > 0)
                    FTree->StoreFocusedColumn(MainColumn());
                if (old)
                    InvalidateNode(old);
                if (node)
                    InvalidateNode(node);
                StartExpandTimer(node);
            } else if (node) {
                InvalidateNode(node);
            }
        }
        viewport()->update();
        Effect = SuggestDropEffect(Source, KeyState, Pt, allowed);
        if (!DoDragOver(Source, KeyState, State, Pt, FLastDropMode, Effect))
            Effect = DROPEFFECT_NONE;
        if (scrolled)
            Effect |= DROPEFFECT_SCROLL;
        // The system asks again while the mouse rests; here the tree does, while it scrolls.
        FDragRepeatPoint = Pt;
        FDragRepeatKeys = KeyState;
        FDragRepeatAllowed = allowed;
        StartDragRepeat(!directions.empty());
        return true;
    } catch (const std::exception &Error) {
        qWarning("The drag was refused: %s", Error.what());
        Effect = DROPEFFECT_NONE;
        return false;
    }
}

void TGridTreeView::StartExpandTimer(TGridNode *Node)
{
    if (!Node || !FOptions->AutoOptions().contains(toAutoDropExpand) || !Node->Has(vsHasChildren))
        return;
    if (!FExpandTimer) {
        FExpandTimer = new QTimer(this);
        FExpandTimer->setSingleShot(true);
        connect(FExpandTimer, &QTimer::timeout, this, &TGridTreeView::DoDragExpand);
    }
    FExpandTimer->start(FAutoExpandDelay);
}

void TGridTreeView::StartDragRepeat(bool Scrolling)
{
    if (!Scrolling) {
        if (FDragRepeatTimer)
            FDragRepeatTimer->stop();
        return;
    }
    if (!FDragRepeatTimer) {
        FDragRepeatTimer = new QTimer(this);
        FDragRepeatTimer->setSingleShot(true);
        connect(FDragRepeatTimer, &QTimer::timeout, this, [this] {
            if (!GetDragManager().IsDropTarget())
                return;
            uint32_t effect = FDragRepeatAllowed;
            DragOver(GetDragManager().DragSource(), FDragRepeatKeys, dsDragMove, FDragRepeatPoint, effect);
        });
    }
    FDragRepeatTimer->start(std::max(FAutoScrollInterval, 30));
}

void TGridTreeView::DoDragExpand()
{
    if (FExpandTimer)
        FExpandTimer->stop();
    TGridNode *target = FTree ? FTree->DropTargetNode() : nullptr;
    if (!target || target->Has(vsExpanded) || !target->Has(vsHasChildren))
        return;
    const bool ownImage = !GetDragManager().DropTargetHelperSupported() && GetDragManager().DragSource();
    if (ownImage)
        GetDragManager().DragSource()->DragImage().HideDragImage();
    FTree->ToggleNode(target);
    if (ownImage)
        GetDragManager().DragSource()->DragImage().ShowDragImage();
    viewport()->update();
}

void TGridTreeView::DragLeave()
{
    if (FExpandTimer)
        FExpandTimer->stop();
    StartDragRepeat(false);
    try {
        TGridTreeView *source = GetDragManager().DragSource();
        if (!GetDragManager().DropTargetHelperSupported() && source)
            source->DragImage().HideDragImage();
        if (FTree && FTree->DropTargetNode()) {
            InvalidateNode(FTree->DropTargetNode());
            FTree->SetDropTargetNode(nullptr);
        }
        viewport()->update();
        uint32_t effect = DROPEFFECT_NONE;
        DoDragOver(nullptr, {}, dsDragLeave, QPoint(0, 0), FLastDropMode, effect);
    } catch (const std::exception &Error) {
        qWarning("The drag left: %s", Error.what());
    }
}

bool TGridTreeView::DragDrop(const QMimeData *DataObject, TShiftState KeyState, QPoint Pt, uint32_t &Effect)
{
    if (FExpandTimer)
        FExpandTimer->stop();
    StartDragRepeat(false);
    StopScrollTimer();
    bool result = false;
    try {
        TGridTreeView *source = GetDragManager().DragSource();
        // The last move once more: while the tree scrolls no move comes.
        const bool over = DragOver(source, KeyState, dsDragMove, Pt, Effect);
        StartDragRepeat(false);
        if (over && (Effect & ~DROPEFFECT_SCROLL) != DROPEFFECT_NONE) {
            Effect &= ~DROPEFFECT_SCROLL;
            const QStringList formats = DataObject ? DataObject->formats() : QStringList();
            DoDragDrop(source, DataObject, formats, KeyState, Pt, Effect, FLastDropMode);
            result = true;
        }
    } catch (const std::exception &Error) {
        qWarning("The drop was refused: %s", Error.what());
        result = false;
    }
    if (FTree && FTree->DropTargetNode()) {
        InvalidateNode(FTree->DropTargetNode());
        FTree->SetDropTargetNode(nullptr);
    }
    return result;
}

void TGridTreeView::UpdateWindowAndDragImage(
    TGridTreeView &Tree, const TRect &TreeRect, bool UpdateNCArea, bool ReshowDragImage)
{
    const QRect area = ToQRect(TreeRect).intersected(Tree.viewport()->rect());
    if (area.isEmpty())
        return;
    TGridTreeView *source = Tree.GetDragManager().DragSource();
    if (source && !Tree.GetDragManager().DropTargetHelperSupported() && source->DragImage().Visible()) {
        // What the tree paints under the image goes into its saved background.
        source->DragImage().RecaptureBackground(
            [&Tree](QPainter &Painter, const QRect &Part) {
                const TRect window = OffsetRect(FromQRect(Part), Tree.EffectiveOffsetX(), -Tree.OffsetY());
                Tree.PaintTree(Painter, window, QPoint(0, 0), WindowPaintOptions);
            },
            area, ReshowDragImage);
    }
    if (UpdateNCArea)
        Tree.update();
    Tree.viewport()->repaint(area);
}

// ---- Qt's drag events -----------------------------------------------------------------------------------

void TGridTreeView::dragEnterEvent(QDragEnterEvent *Event)
{
    if (Event->mimeData() && Event->mimeData()->hasFormat(ControlDragMime())) {
        ClassLibraryDrag(dsDragEnter, Event);
        return;
    }
    GetDragManager().DragEnter(*Event);
}

void TGridTreeView::dragMoveEvent(QDragMoveEvent *Event)
{
    if (FViewStates.contains(tsVCLDragging)
        || (Event->mimeData() && Event->mimeData()->hasFormat(ControlDragMime()))) {
        ClassLibraryDrag(dsDragMove, Event);
        return;
    }
    GetDragManager().DragOver(*Event);
}

void TGridTreeView::dragLeaveEvent(QDragLeaveEvent *)
{
    if (FViewStates.contains(tsVCLDragging)) {
        ClassLibraryDrag(dsDragLeave, nullptr);
        return;
    }
    GetDragManager().DragLeave();
}

void TGridTreeView::dropEvent(QDropEvent *Event)
{
    if (Event->mimeData() && Event->mimeData()->hasFormat(ControlDragMime())) {
        try {
            // The kept target and effect, no data and no formats.
            InvalidateTree();
            if (FTree)
                FTree->SetDropTargetNode(FTree->LastDragTarget());
            uint32_t effect = FVCLDragEffect;
            DoDragDrop(GetTreeFromDataObject(Event->mimeData()), nullptr, {},
                ShiftStateOf(Event->modifiers(), Event->buttons()), Event->position().toPoint(), effect,
                FLastDropMode);
            if (effect != DROPEFFECT_NONE) {
                Event->setDropAction(SingleAction(effect));
                Event->accept();
            }
        } catch (const std::exception &Error) {
            qWarning("The drop was refused: %s", Error.what());
        }
        InvalidateTree();
        if (FTree)
            FTree->SetDropTargetNode(nullptr);
        DoViewStateChange({}, { tsVCLDragging });
        return;
    }
    GetDragManager().Drop(*Event);
}

void TGridTreeView::ClassLibraryDrag(TDragState State, QDropEvent *Event)
{
    try {
        if (State == dsDragEnter)
            DoViewStateChange({ tsVCLDragging });
        else if (State == dsDragLeave)
            DoViewStateChange({}, { tsVCLDragging });
        TGridTreeView *source = Event ? GetTreeFromDataObject(Event->mimeData()) : nullptr;
        const QPoint pt = Event ? Event->position().toPoint() : QPoint();
        if (State == dsDragMove)
            DoAutoScroll(pt.x(), pt.y());
        const TShiftState keys = Event ? ShiftStateOf(Event->modifiers(), Qt::NoButton) : TShiftState();
        uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        DragOver(source, keys, State, pt, effect);
        effect &= ~DROPEFFECT_SCROLL;
        FVCLDragEffect = effect;
        if (FTree)
            FTree->SetLastDragTarget(FTree->DropTargetNode());
        if (State == dsDragLeave) {
            InvalidateTree();
            if (FTree)
                FTree->SetDropTargetNode(nullptr);
            return;
        }
        Event->setDropAction(SingleAction(effect));
        if (State == dsDragEnter || effect != DROPEFFECT_NONE)
            Event->accept();
        else
            Event->ignore();
    } catch (const std::exception &Error) {
        qWarning("The drag was refused: %s", Error.what());
        if (Event)
            Event->ignore();
    }
}

// ---- the drop mark ---------------------------------------------------------------------------------------

void TGridTreeView::DoPaintDropMark(QPainter &Canvas, TGridNode *, const TRect &R)
{
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow)
        return;
    Canvas.save();
    Canvas.setPen(Qt::NoPen);
    Canvas.setBrush(FColors->QtColor(TGTColors::DropMarkColor));
    const int l = R.Left;
    const int t = R.Top;
    const int r = R.Right;
    const int b = R.Bottom;
    QPolygon mark;
    if (FLastDropMode == dmAbove)
        mark << QPoint(l + 2, t) << QPoint(r - 2, t) << QPoint(r - 2, t + 6) << QPoint(r - 6, t + 2)
             << QPoint(l + 6, t + 2) << QPoint(l + 2, t + 6);
    else
        mark << QPoint(l + 2, b - 1) << QPoint(r - 2, b - 1) << QPoint(r - 2, b - 8) << QPoint(r - 7, b - 3)
             << QPoint(l + 7, b - 3) << QPoint(l + 2, b - 8);
    Canvas.drawPolygon(mark);
    Canvas.restore();
}

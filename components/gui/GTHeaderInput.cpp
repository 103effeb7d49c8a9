// The header's mouse and key input: clicks, splitter and height tracking,
// column dragging, hot tracking and the popup.
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/TreeUtils.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimerEvent>
#include <algorithm>

namespace {

// How often timer 3 looks whether the mouse left the header or the pressed column.
constexpr int HeaderTimerInterval = 50;

} // namespace

// ---- shift states ------------------------------------------------------------------------------

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState s;
    s.set(ssShift, Modifiers & Qt::ShiftModifier);
    s.set(ssAlt, Modifiers & Qt::AltModifier);
    s.set(ssCtrl, Modifiers & Qt::ControlModifier);
    s.set(ssLeft, Buttons & Qt::LeftButton);
    s.set(ssRight, Buttons & Qt::RightButton);
    s.set(ssMiddle, Buttons & Qt::MiddleButton);
    return s;
}

TShiftState ShiftStateOf(const QMouseEvent &Event)
{
    TShiftState s = ShiftStateOf(Event.modifiers(), Event.buttons());
    s.set(ssDouble, Event.type() == QEvent::MouseButtonDblClick);
    return s;
}

TShiftState CurrentShiftState()
{
    return ShiftStateOf(QApplication::keyboardModifiers(), QApplication::mouseButtons());
}

// ---- mouse input ----------------------------------------------------------------------------------------

bool TGTHeader::HandleMessage(QEvent *Event, QPoint P)
{
    const bool inHeader = P.y() >= 0 && P.y() < FHeight && P.x() >= 0;
    const bool busy = FStates.contains(hsColumnWidthTrackPending) || FStates.contains(hsColumnWidthTracking)
        || FStates.contains(hsHeightTrackPending) || FStates.contains(hsHeightTracking)
        || FStates.contains(hsDragPending) || FStates.contains(hsDragging);
    const bool heightZone = FOptions.contains(hoHeightResize) && InHeaderSplitterArea(P - QPoint(0, FHeight));
    switch (Event->type()) {
    case QEvent::MouseButtonPress: {
        const auto &e = static_cast<const QMouseEvent &>(*Event);
        if (!inHeader && !heightZone)
            return false;
        MouseDown(e.button(), ShiftStateOf(e), P);
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        const auto &e = static_cast<const QMouseEvent &>(*Event);
        if (!inHeader && !heightZone)
            return false;
        if (e.button() == Qt::LeftButton)
            DoubleClick(ShiftStateOf(e), P);
        else
            MouseDown(e.button(), ShiftStateOf(e), P);
        return true;
    }
    case QEvent::MouseMove: {
        const auto &e = static_cast<const QMouseEvent &>(*Event);
        if (!inHeader && !busy && !heightZone)
            return false;
        MouseMove(ShiftStateOf(e), P);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto &e = static_cast<const QMouseEvent &>(*Event);
        if (!inHeader && !busy && !FColumns->IsValidColumn(FColumns->FDownIndex))
            return false;
        MouseUp(e.button(), ShiftStateOf(e), P);
        return true;
    }
    default:
        return false;
    }
}

void TGTHeader::MouseDown(Qt::MouseButton Button, TShiftState Shift, QPoint P)
{
    const bool inHeader = P.y() >= 0 && P.y() < FHeight;
    FLastMouse = P;
    FMouseInside = inHeader;
    if (Button == Qt::LeftButton) {
        FTrackStart = P;
        FIgnoreRelease = false;
        const bool heightZone
            = FOptions.contains(hoHeightResize) && InHeaderSplitterArea(P - QPoint(0, FHeight));
        if (heightZone) {
            FStates.include(hsHeightTrackPending);
            FTrackPoint = QPoint(P.x(), P.y() - FHeight);
            if (FOwner.OnBeforeHeaderHeightTracking)
                FOwner.OnBeforeHeaderHeightTracking(*this, Shift);
            FColumns->FHoverIndex = NoColumn;
            Invalidate();
        } else if (inHeader && FOptions.contains(hoColumnResize) && DetermineSplitterIndex(P)) {
            FStates.include(hsColumnWidthTrackPending);
            if (FOwner.OnBeforeColumnWidthTracking)
                FOwner.OnBeforeColumnWidthTracking(*this, FColumns->FTrackIndex, Shift);
            FColumns->FHoverIndex = NoColumn;
            Invalidate();
        } else if (inHeader) {
            FColumns->AdjustDownColumn(P);
            const TColumnIndex down = FColumns->FDownIndex;
            if (FOptions.contains(hoDrag) && FColumns->IsValidColumn(down)
                && FColumns->Items(down).Options().contains(coDraggable)) {
                FStates.include(hsDragPending);
                FDragStart = P;
            }
            FHeaderTimer.start(HeaderTimerInterval, this);
        }
    }
    if (inHeader && FOwner.OnHeaderMouseDown)
        FOwner.OnHeaderMouseDown(*this, Button, Shift, P.x(), P.y());
}

void TGTHeader::MouseMove(TShiftState Shift, QPoint P)
{
    const bool inHeader = P.y() >= 0 && P.y() < FHeight && P.x() >= 0 && P.x() < FOwner.ClientWidth();
    FLastMouse = P;
    FMouseInside = inHeader;
    if (FStates.contains(hsColumnWidthTrackPending)) {
        FStates.exclude(hsColumnWidthTrackPending);
        FStates.include(hsColumnWidthTracking);
    }
    if (FStates.contains(hsHeightTrackPending)) {
        FStates.exclude(hsHeightTrackPending);
        FStates.include(hsHeightTracking);
    }
    if (FStates.contains(hsColumnWidthTracking)) {
        const TColumnIndex column = FColumns->FTrackIndex;
        if (FColumns->IsValidColumn(column)) {
            QPoint track = FTrackPoint;
            bool allowed = true;
            if (FOwner.OnColumnWidthTracking)
                FOwner.OnColumnWidthTracking(*this, column, Shift, track, P, allowed);
            FTrackPoint = track;
            if (allowed)
                FColumns->Items(column).SetWidth(P.x() - FTrackPoint.x());
        }
    } else if (FStates.contains(hsHeightTracking)) {
        QPoint point = P;
        bool allowed = true;
        if (FOwner.OnHeaderHeightTracking)
            FOwner.OnHeaderHeightTracking(*this, point, P - FTrackStart, Shift, allowed);
        if (allowed)
            SetHeight(point.y() - FTrackPoint.y());
    } else if (FStates.contains(hsDragPending)) {
        const int threshold = QApplication::startDragDistance();
        const QPoint moved = P - FDragStart;
        if (std::abs(moved.x()) > threshold || std::abs(moved.y()) > threshold) {
            bool allowed = true;
            if (FOwner.OnHeaderDragging)
                FOwner.OnHeaderDragging(*this, FColumns->FDownIndex, allowed);
            if (allowed)
                StartColumnDrag(P);
            else
                FStates.exclude(hsDragPending);
        }
    } else if (FStates.contains(hsDragging)) {
        FDragImage->DragTo(P + FOwner.HeaderWidget().pos());
        UpdateDropTarget(P);
    } else if (FOptions.contains(hoHotTrack) && inHeader) {
        if (FColumns->AdjustHoverColumn(P))
            FHeaderTimer.start(HeaderTimerInterval, this);
    }
    UpdateCursor(P);
    if (inHeader && FOwner.OnHeaderMouseMove)
        FOwner.OnHeaderMouseMove(*this, Shift, P.x(), P.y());
}

void TGTHeader::MouseUp(Qt::MouseButton Button, TShiftState Shift, QPoint P)
{
    const bool inHeader = P.y() >= 0 && P.y() < FHeight;
    if (Button == Qt::LeftButton) {
        if (FStates.contains(hsColumnWidthTrackPending) || FStates.contains(hsColumnWidthTracking)) {
            FStates.exclude(hsColumnWidthTrackPending);
            FStates.exclude(hsColumnWidthTracking);
            if (FOwner.OnAfterColumnWidthTracking)
                FOwner.OnAfterColumnWidthTracking(*this, FColumns->FTrackIndex);
        } else if (FStates.contains(hsHeightTrackPending) || FStates.contains(hsHeightTracking)) {
            FStates.exclude(hsHeightTrackPending);
            FStates.exclude(hsHeightTracking);
            if (FOwner.OnAfterHeaderHeightTracking)
                FOwner.OnAfterHeaderHeightTracking(*this);
        } else if (FStates.contains(hsDragging)) {
            EndColumnDrag(P);
        } else if (!FIgnoreRelease) {
            FStates.exclude(hsDragPending);
            HandleClick(P, Button, false, false);
        }
        FIgnoreRelease = false;
    } else if (Button == Qt::MiddleButton) {
        HandleClick(P, Button, true, false);
    } else if (Button == Qt::RightButton) {
        HandleClick(P, Button, true, false);
    }
    const TColumnIndex down = FColumns->FDownIndex;
    FColumns->FDownIndex = NoColumn;
    if (FColumns->IsValidColumn(down))
        Invalidate(down);
    if (FOwner.OnHeaderMouseUp)
        FOwner.OnHeaderMouseUp(*this, Button, Shift, P.x(), P.y());
    if (Button == Qt::RightButton) {
        FColumns->FTrackIndex = NoColumn;
        if (inHeader)
            ShowPopupMenu(P);
    }
}

void TGTHeader::DoubleClick(TShiftState Shift, QPoint P)
{
    // The release that follows a double click is no click of its own.
    FIgnoreRelease = true;
    const bool heightZone
        = FOptions.contains(hoHeightDblClickResize) && InHeaderSplitterArea(P - QPoint(0, FHeight));
    if (heightZone) {
        bool allowed = true;
        if (FDefaultHeight > 0 && FOwner.OnHeaderHeightDblClickResize)
            FOwner.OnHeaderHeightDblClickResize(*this, P, Shift, allowed);
        if (FDefaultHeight > 0 && allowed)
            SetHeight(FMinHeight);
        return;
    }
    if (FOptions.contains(hoDblClickResize) && DetermineSplitterIndex(P)) {
        const TColumnIndex column = FColumns->FTrackIndex;
        bool allowed = true;
        if (FOwner.OnColumnWidthDblClickResize)
            FOwner.OnColumnWidthDblClickResize(*this, column, Shift, P, allowed);
        if (allowed) {
            const int position = int(FColumns->Items(column).Position());
            AutoFitColumns(true, smaUseColumnOption, position, position);
        }
        return;
    }
    HandleClick(P, Qt::LeftButton, true, true);
}

void TGTHeader::HandleClick(QPoint P, Qt::MouseButton Button, bool Force, bool DblClick)
{
    const TColumnIndex column = FColumns->ColumnFromPosition(P);
    TGTHeaderHitInfo info;
    info.X = P.x();
    info.Y = P.y();
    info.Shift = CurrentShiftState();
    info.Shift.set(ssDouble, DblClick);
    info.Button = Button;
    const TColumnIndex previous = FColumns->FClickIndex;
    if (FColumns->IsValidColumn(column) && FColumns->Items(column).Options().contains(coAllowClick)
        && (column == FColumns->FDownIndex || Force)) {
        TGridTreeColumn &c = FColumns->Items(column);
        FColumns->FClickIndex = column;
        info.Column = column;
        info.HitPosition = { hhiOnColumn };
        if (c.HasImage() && c.ImageRect().Contains(P)) {
            info.HitPosition.include(hhiOnIcon);
            if (c.CheckBox()) {
                c.SetCheckState(c.CheckState() == csCheckedNormal ? csUncheckedNormal : csCheckedNormal);
                info.HitPosition.include(hhiOnCheckbox);
            }
        }
    } else {
        FColumns->FClickIndex = NoColumn;
        info.Column = NoColumn;
        info.HitPosition = { hhiNoWhere };
    }
    const auto &event = DblClick ? FOwner.OnHeaderDblClick : FOwner.OnHeaderClick;
    if (event)
        event(*this, info);
    if (FColumns->IsValidColumn(FColumns->FClickIndex))
        Invalidate(FColumns->FClickIndex);
    if (previous != FColumns->FClickIndex && FColumns->IsValidColumn(previous))
        Invalidate(previous);
}

void TGTHeader::MouseLeft()
{
    FMouseInside = false;
    if (FColumns->FHoverIndex != NoColumn || FColumns->FDownIndex != NoColumn)
        FHeaderTimer.start(HeaderTimerInterval, this);
}

void TGTHeader::timerEvent(QTimerEvent *Event)
{
    if (Event->timerId() != FHeaderTimer.timerId()) {
        QObject::timerEvent(Event);
        return;
    }
    if (FStates.contains(hsDragging) || FStates.contains(hsColumnWidthTracking)
        || FStates.contains(hsHeightTracking))
        return;
    const TColumnIndex under = FMouseInside ? FColumns->ColumnFromPosition(FLastMouse) : InvalidColumn;
    const bool leftPressed = FColumns->IsValidColumn(FColumns->FDownIndex) && under != FColumns->FDownIndex;
    if (FMouseInside && !leftPressed)
        return;
    FHeaderTimer.stop();
    FStates.exclude(hsDragPending);
    FColumns->FHoverIndex = NoColumn;
    FColumns->FDownIndex = NoColumn;
    FColumns->FClickIndex = NoColumn;
    Invalidate();
}

void TGTHeader::CancelTracking()
{
    if (FStates.contains(hsDragging)) {
        FDragImage->EndDrag();
        FStates.exclude(hsDragging);
        FColumns->FDropTarget = NoColumn;
        FColumns->FDragIndex = NoColumn;
        Invalidate();
    }
    FStates.exclude(hsDragPending);
    if (FStates.contains(hsColumnWidthTracking) || FStates.contains(hsColumnWidthTrackPending)) {
        FStates.exclude(hsColumnWidthTracking);
        FStates.exclude(hsColumnWidthTrackPending);
        if (FOwner.OnAfterColumnWidthTracking)
            FOwner.OnAfterColumnWidthTracking(*this, FColumns->FTrackIndex);
    }
    if (FStates.contains(hsHeightTracking) || FStates.contains(hsHeightTrackPending)) {
        FStates.exclude(hsHeightTracking);
        FStates.exclude(hsHeightTrackPending);
        if (FOwner.OnAfterHeaderHeightTracking)
            FOwner.OnAfterHeaderHeightTracking(*this);
    }
    // The release that ends the press is no click any more.
    FIgnoreRelease = true;
}

// ---- column dragging ---------------------------------------------------------------------------------

void TGTHeader::StartColumnDrag(QPoint P)
{
    FStates.exclude(hsDragPending);
    FStates.include(hsDragging);
    const TColumnIndex column = FColumns->FDownIndex;
    FColumns->FDragIndex = column;
    FColumns->FDownIndex = NoColumn;
    FColumns->FHoverIndex = NoColumn;
    // The cell as it looks unpressed.
    int left = 0;
    int right = 0;
    FColumns->GetColumnBounds(column, left, right);
    UpdateHeaderBitmap();
    const QImage cell = FColumns->HeaderBitmap().copy(left, 0, right - left, FHeight);
    const QPoint origin = FOwner.HeaderWidget().pos();
    FDragImage->SetMoveRestriction(FOptions.contains(hoRestrictDrag) ? dmrHorizontalOnly : dmrNone);
    FDragImage->PrepareDrag(cell, origin + QPoint(left, 0), origin + FDragStart);
    FDragImage->ShowDragImage();
    FDragImage->DragTo(origin + P, true);
    UpdateDropTarget(P);
    Invalidate();
}

void TGTHeader::UpdateDropTarget(QPoint P)
{
    TColumnIndex target = NoColumn;
    bool before = false;
    if (P.y() >= 0 && P.y() < FHeight) {
        const TColumnIndex under = FColumns->ColumnFromPosition(P);
        if (FColumns->IsValidColumn(under)) {
            int left = 0;
            int right = 0;
            FColumns->GetColumnBounds(under, left, right);
            target = under;
            before = P.x() < (left + right) / 2;
        }
    }
    if (target == FColumns->FDropTarget && before == FColumns->FDropBefore)
        return;
    FColumns->FDropTarget = target;
    FColumns->FDropBefore = before;
    Invalidate();
    // The image shows what lies under it, drop mark included.
    FDragImage->DragTo(P + FOwner.HeaderWidget().pos(), true);
}

void TGTHeader::EndColumnDrag(QPoint P)
{
    FDragImage->EndDrag();
    FStates.exclude(hsDragging);
    const TColumnIndex dragged = FColumns->FDragIndex;
    UpdateDropTarget(P);
    const TColumnIndex target = FColumns->FDropTarget;
    FColumns->FDropTarget = NoColumn;
    FColumns->FDragIndex = NoColumn;
    if (P.y() >= 0 && P.y() < FHeight) {
        TGridTreeColumn &column = FColumns->Items(dragged);
        const TColumnPosition old = column.Position();
        if (FColumns->IsValidColumn(target) && target != dragged) {
            TColumnPosition position = FColumns->Items(target).Position() + (FColumns->FDropBefore ? 0 : 1);
            if (old < position)
                --position;
            column.SetPosition(position);
        }
        if (FOwner.OnHeaderDragged)
            FOwner.OnHeaderDragged(*this, dragged, old);
    } else if (FOwner.OnHeaderDraggedOut) {
        FOwner.OnHeaderDraggedOut(*this, dragged, P);
    }
    Invalidate();
}

void TGTHeader::ShowPopupMenu(QPoint P)
{
    FHeaderTimer.stop();
    FColumns->FHoverIndex = NoColumn;
    Invalidate();
    QMenu *menu = FPopupMenu;
    if (!menu) {
        TColumnIndex column = FColumns->ColumnFromPosition(P);
        if (!FColumns->IsValidColumn(column))
            column = NoColumn;
        menu = FOwner.DoGetPopupMenu(nullptr, column, P - QPoint(0, FHeight));
    }
    if (menu)
        menu->popup(FOwner.HeaderWidget().mapToGlobal(P));
}

void TGTHeader::UpdateCursor(QPoint P)
{
    Qt::CursorShape cursor = Qt::ArrowCursor;
    const bool tracking = FStates.contains(hsColumnWidthTracking);
    const bool heightTracking = FStates.contains(hsHeightTracking);
    if (heightTracking || (FOptions.contains(hoHeightResize) && InHeaderSplitterArea(P - QPoint(0, FHeight))))
        cursor = crVertSplit;
    else if (tracking)
        cursor = crHeaderSplit;
    else if (FOptions.contains(hoColumnResize) && !FStates.contains(hsDragging) && P.y() >= 0
        && P.y() < FHeight) {
        const TColumnIndex track = FColumns->FTrackIndex;
        const QPoint trackPoint = FTrackPoint;
        if (DetermineSplitterIndex(P))
            cursor = crHeaderSplit;
        FColumns->FTrackIndex = track;
        FTrackPoint = trackPoint;
    }
    if (FOwner.OnGetHeaderCursor)
        FOwner.OnGetHeaderCursor(*this, cursor);
    FOwner.HeaderWidget().setCursor(cursor);
}

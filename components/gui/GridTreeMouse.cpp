// The tree's answer to the mouse over its rows: a press decides between a
// row's height, its expand button, its check box, the selection (click, Shift,
// Ctrl, band) and the focus; the release completes what the press left
// pending; moves drive the band, hot tracking and auto scrolling.
#include "components/PositionCache.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/TreeUtils.h"

#include <QApplication>
#include <QToolTip>
#include <algorithm>

namespace {

// Which band rectangles take part: one never set is the empty record.
bool BandSet(const TRect &R)
{
    return !(R == TRect());
}

// Horizontal and vertical overlap of a span with a band; a band without
// width or height still meets what it crosses.
bool Meets(int From, int To, int BandFrom, int BandTo)
{
    return From <= BandTo && BandFrom < To;
}

} // namespace

// ---- a press ------------------------------------------------------------------------------------

bool TGridTreeView::HeightTrackingHit(const THitInfo &HitInfo) const
{
    const THitPositions hits = HitInfo.HitPositions;
    const TGridTreeColumns &columns = FHeader->Columns();
    return FOptions->MiscOptions().contains(toNodeHeightResize) && hits.contains(hiOnItem)
        && (hits.contains(hiUpperSplitter) || hits.contains(hiLowerSplitter)) && HitInfo.HitColumn >= 0
        && columns.IsValidColumn(HitInfo.HitColumn) && columns[HitInfo.HitColumn].Options().contains(coFixed);
}

void TGridTreeView::StartCheckPress(TGridNode *Node)
{
    if (FTree->BeginCheckPending(Node, false))
        RepaintNode(Node);
}

void TGridTreeView::HandleMouseDown(const TGTMouseMessage &Message, THitInfo &HitInfo)
{
    if (!FTree)
        return;
    if (Panning()) {
        StopWheelPanning();
        return;
    }
    if (FViewStates.contains(tsEditPending)) {
        StopEditTimer();
        DoViewStateChange({}, { tsEditPending });
    }
    if (FViewStates.contains(tsEditing) && !EndEdit())
        return;
    if (!hasFocus() && focusPolicy() != Qt::NoFocus && isEnabled() && isVisible()) {
        setFocus(Qt::MouseFocusReason);
        // The focus handlers may have changed the tree.
        if (!FTree)
            return;
        GetHitTestInfoAt(Message.Pos.x(), Message.Pos.y(), true, HitInfo);
    }
    TGridTreeColumns &columns = FHeader->Columns();
    columns.SetClickIndex(HitInfo.HitColumn);

    const TGTSelectionOptions selection = FOptions->SelectionOptions();
    const TGTMiscOptions misc = FOptions->MiscOptions();
    const THitPositions hits = HitInfo.HitPositions;
    // A reference: the node may be freed by any handler called from here on.
    TGridNodeReference hit(*FTree, HitInfo.HitNode);

    bool newColumn = false;
    TColumnIndex column = FTree->FocusedColumn();
    if (hits.contains(hiOnItemLabel) || selection.contains(toFullRowSelect)
        || misc.contains(toGridExtensions)) {
        newColumn = HitInfo.HitColumn != FTree->FocusedColumn();
        column = selection.contains(toExtendedFocus) ? HitInfo.HitColumn : MainColumn();
    }
    if (newColumn && !FHeader->AllowFocus(column)) {
        newColumn = false;
        column = FTree->FocusedColumn();
    }
    const bool newNode = hit != FTree->FocusedNode();

    TShiftState shift = Message.Keys * TShiftState { ssShift, ssCtrl, ssAlt };
    const bool altPressed = shift.contains(ssAlt);
    shift.exclude(ssAlt);

    const bool isLabelHit = !altPressed && !selection.contains(toSimpleDrawSelection)
        && (hits.contains(hiOnItemLabel) || hits.contains(hiOnNormalIcon));
    const bool isCellHit = !altPressed && !isLabelHit && hit && !hits.contains(hiOnItemButton)
        && !hits.contains(hiOnItemCheckbox)
        && (selection.contains(toFullRowSelect)
            || (misc.contains(toGridExtensions) && HitInfo.HitColumn >= 0));
    const bool isAnyHit = isLabelHit || isCellHit;
    const bool multiSelect = selection.contains(toMultiSelect);
    const bool shiftEmpty = shift.empty();
    const bool nodeSelected = isAnyHit && hit->Has(vsSelected);
    const bool fullRowDrag = misc.contains(toFullRowDrag);
    const bool isHeightTracking = Message.Button == Qt::LeftButton && HeightTrackingHit(HitInfo);

    bool autoDrag = FDragMode == dmAutomatic && (!isCellHit || fullRowDrag);
    if (!autoDrag && hit && FDragMode == dmManual && (!isCellHit || fullRowDrag))
        autoDrag = DoBeforeDrag(hit, column);

    if (isHeightTracking) {
        TGridNode *node = hits.contains(hiUpperSplitter) ? FTree->GetPreviousVisible(hit, true) : hit.get();
        if (node && node != FTree->RootNode()) {
            FTree->SetHeightTrackNode(node);
            FHeightTrackColumn = HitInfo.HitColumn;
            FHeightTrackPoint = GetDisplayRect(node, FHeightTrackColumn, false).TopLeft();
            DoViewStateChange({ tsNodeHeightTrackPending });
            return;
        }
    }
    if (hits.contains(hiOnItemButton) && hit && hit->Has(vsHasChildren)) {
        FTree->ToggleNode(hit);
        return;
    }
    if (hits.contains(hiOnItemCheckbox)) {
        if (hit)
            StartCheckPress(hit);
        return;
    }

    if ((FTree->RootNodeCount() > 0 && shiftEmpty) || FTree->SelectedCount() == 0) {
        TGridNode *level = hit ? hit.get() : FTree->GetLastVisible(nullptr, true);
        FTree->SetLastSelectionLevel(level ? int(FTree->GetNodeLevel(level)) : -1);
    }
    const bool locked = FTree->SelectionLocked();
    // A press on a selected node that may start a drag keeps the selection
    // until the release.
    if (multiSelect && shiftEmpty && isAnyHit && autoDrag && nodeSelected && !locked)
        FTree->DoStateChange({ tsClearPending });
    const bool canClear = !autoDrag
        && (!FViewStates.contains(tsRightButtonDown) || !HasPopupMenu(hit, HitInfo.HitColumn, Message.Pos));
    if (!locked
        && ((!isAnyHit && !fullRowDrag && multiSelect && shiftEmpty)
            || (isAnyHit && (!nodeSelected || canClear) && (shiftEmpty || !multiSelect)))) {
        const bool mainHit = HitInfo.HitColumn == MainColumn() || columns.Count() == 0;
        if (hit && (hit->Has(vsSelected) || (altPressed && mainHit))) {
            const bool several = FTree->SelectedCount() > 1;
            FTree->InternalClearSelection();
            FTree->InternalAddToSelection(hit, true);
            if (several) {
                InvalidateTree();
                FTree->Change(nullptr);
            }
        } else {
            FTree->ClearSelection();
        }
    }
    if (!hit && isAnyHit)
        return;

    if (hasFocus()
        && (hits.contains(hiOnItemLabel) || (hits.contains(hiOnItem) && misc.contains(toGridExtensions)))
        && nodeSelected && !newColumn && shiftEmpty)
        DoViewStateChange({ tsEditPending });

    if (!selection.contains(toDisableDrawSelection) && !isLabelHit && !fullRowDrag && multiSelect
        && !(!altPressed && hits.contains(hiOnItemLabel))) {
        DoViewStateChange({ tsDrawSelPending });
        FDrawSelShiftState = shift;
        const int x = Message.Pos.x() + EffectiveOffsetX();
        const int y = Message.Pos.y() - FOffsetY;
        FNewSelRect = Rect(x, y, x, y);
        FLastSelRect = TRect();
        if (!isCellHit)
            return;
    }
    FLastClickPos = Message.Pos;

    if (isAnyHit && hit
        && FTree->DoFocusChanging(FTree->FocusedNode(), hit, FTree->FocusedColumn(), column)) {
        if (!hit || !FTree)
            return;
        if (newColumn) {
            InvalidateColumn(FTree->FocusedColumn());
            InvalidateColumn(column);
            FTree->StoreFocusedColumn(column);
        }
        TGridNodeReference lastFocused(*FTree, FTree->FocusedNode());
        if (newNode)
            FTree->DoFocusNode(hit, false);
        if (!hit)
            return;
        if (multiSelect && !shiftEmpty) {
            HandleClickSelection(lastFocused, hit, shift, autoDrag);
        } else {
            if (shiftEmpty)
                FTree->SetRangeAnchor(hit);
            if (!hit->Has(vsSelected))
                FTree->AddToSelection(hit);
        }
        if ((newNode || newColumn) && FTree->FocusedNode()) {
            ScrollIntoView(FTree->FocusedNode(), selection.contains(toCenterScrollIntoView),
                !FOptions->AutoOptions().contains(toDisableAutoscrollOnFocus));
            FTree->DoFocusChange(FTree->FocusedNode(), FTree->FocusedColumn());
        }
    }
    const TGridTreeViewStates buttons { tsLeftButtonDown, tsRightButtonDown, tsMiddleButtonDown };
    if (autoDrag && isAnyHit && !(FViewStates * buttons).empty())
        BeginDrag(false);
}

void TGridTreeView::HandleClickSelection(
    TGridNode *LastFocused, TGridNode *NewNode, TShiftState Shift, bool DragPending)
{
    (void)LastFocused;
    const bool ctrl = Shift.contains(ssCtrl);
    const bool shift = Shift.contains(ssShift);
    TGridNode *anchor = FTree->RangeAnchor();
    if (!anchor)
        anchor = FTree->GetFirstChild(FTree->RootNode());
    if (!ctrl && !shift) {
        if (!NewNode->Has(vsSelected)) {
            FTree->AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FTree->SetRangeAnchor(NewNode);
    } else if (shift && !ctrl) {
        FTree->SelectNodes(anchor, NewNode, false);
        InvalidateTree();
    } else if (ctrl && !shift) {
        if (!FOptions->SelectionOptions().contains(toSiblingSelectConstraint))
            FTree->SetRangeAnchor(NewNode);
        if (DragPending) {
            // A drag may still start: the toggle waits for the release.
            DoViewStateChange({ tsToggleFocusedSelection });
        } else if (NewNode->Has(vsSelected)) {
            FTree->RemoveFromSelection(NewNode);
        } else {
            FTree->AddToSelection(NewNode);
        }
        InvalidateNode(NewNode);
    } else {
        FTree->SelectNodes(anchor, NewNode, true);
        InvalidateTree();
    }
}

// ---- the release and the double click ------------------------------------------------------------

void TGridTreeView::HandleMouseUp(const TGTMouseMessage &Message, const THitInfo &HitInfo)
{
    if (!FTree)
        return;
    if (IsMouseSelecting()) {
        DoViewStateChange({}, { tsDrawSelPending, tsDrawSelecting, tsToggleFocusedSelection });
        InvalidateTree();
    }
    if (FTree->TreeStates().contains(tsClearPending)) {
        TGridNodeReference focused(*FTree, FTree->FocusedNode());
        const bool wasSelected = focused && focused->Has(vsSelected);
        FTree->ClearSelection();
        if (wasSelected && focused)
            FTree->AddToSelection(focused);
    }
    TGridNodeReference hit(*FTree, HitInfo.HitNode);
    if (FViewStates.contains(tsToggleFocusedSelection) && hit && hit == FTree->FocusedNode()) {
        if (hit->Has(vsSelected))
            FTree->RemoveFromSelection(hit);
        else
            FTree->AddToSelection(hit);
        if (hit)
            InvalidateNode(hit);
    }
    DoViewStateChange({},
        { tsOLEDragPending, tsOLEDragging, tsDrawSelPending, tsToggleFocusedSelection, tsScrollPending,
            tsScrolling });
    FTree->DoStateChange({}, { tsClearPending });
    StopScrollTimer();

    if (FTree->TreeStates().contains(tsMouseCheckPending)) {
        TGridNode *node = FTree->CheckNode();
        FTree->EndCheckPending(node && hit == node && HitInfo.HitPositions.contains(hiOnItem));
    }
    const TShiftState shift = Message.Keys * TShiftState { ssShift, ssCtrl, ssAlt };
    const TColumnIndex clicked = FHeader->Columns().ClickIndex();
    if (clicked >= 0 && clicked == HitInfo.HitColumn)
        DoColumnClick(clicked, shift);

    if (FViewStates.contains(tsEditPending)) {
        TGridNode *focused = FTree->FocusedNode();
        if (focused && hit == focused && HitInfo.HitPositions.contains(hiOnItem)
            && CanEdit(focused, HitInfo.HitColumn) && FOptions->MiscOptions().contains(toEditOnClick)) {
            FEditColumn = FTree->FocusedColumn();
            StartEditTimer();
        } else {
            DoViewStateChange({}, { tsEditPending });
        }
    }
}

void TGridTreeView::HandleMouseDblClick(const TGTMouseMessage &Message, const THitInfo &HitInfo)
{
    if (!FTree)
        return;
    const TGTMiscOptions misc = FOptions->MiscOptions();
    bool mayEdit = !FViewStates.contains(tsEditing) && misc.contains(toEditOnDblClick);
    StopEditTimer();
    DoViewStateChange({}, { tsEditPending });
    const bool editEnded = !FViewStates.contains(tsEditing) || EndEdit();
    const TShiftState shift
        = (Message.Keys * TShiftState { ssShift, ssCtrl, ssAlt }) + TShiftState { ssDouble };
    TGridNodeReference hit(*FTree, HitInfo.HitNode);
    const THitPositions hits = HitInfo.HitPositions;

    if (editEnded) {
        const TColumnIndex clicked = FHeader->Columns().ClickIndex();
        if (clicked >= 0 && clicked == HitInfo.HitColumn)
            DoColumnDblClick(clicked, shift);
        bool heightReset = false;
        if (HeightTrackingHit(HitInfo) && misc.contains(toNodeHeightDblClickResize) && hit) {
            TGridNode *node
                = hits.contains(hiUpperSplitter) ? FTree->GetPreviousVisible(hit, true) : hit.get();
            if (node && DoNodeHeightDblClickResize(node, HitInfo.HitColumn, shift, Message.Pos)) {
                FTree->SetNodeHeight(node, FTree->DefaultNodeHeight());
                viewport()->repaint();
                mayEdit = false;
                heightReset = true;
            }
        }
        if (!heightReset && hit) {
            if (hits.contains(hiOnItemCheckbox)) {
                StartCheckPress(hit);
                mayEdit = false;
            } else if (hits.contains(hiOnItemButton)) {
                FTree->ToggleNode(hit);
                mayEdit = false;
            } else if (misc.contains(toToggleOnDblClick)
                && (!(hits * THitPositions { hiOnItemButton, hiOnItemLabel, hiOnNormalIcon, hiOnStateIcon })
                         .empty()
                    || FOptions->SelectionOptions().contains(toFullRowSelect))) {
                FTree->ToggleNode(hit);
                mayEdit = false;
            }
        }
    }
    TGridNode *focused = FTree->FocusedNode();
    if (mayEdit && focused && hit == focused && HitInfo.HitColumn == FTree->FocusedColumn()
        && CanEdit(focused, HitInfo.HitColumn)) {
        DoViewStateChange({ tsEditPending });
        FEditColumn = FTree->FocusedColumn();
        StartEditTimer();
    }
}

// ---- moves --------------------------------------------------------------------------------------------

void TGridTreeView::MouseMove(TShiftState Shift, int X, int Y)
{
    if (!FTree)
        return;
    if (FViewStates.contains(tsNodeHeightTrackPending)) {
        // Dragging a row's edge ends everything else the mouse or keys began.
        QToolTip::hideText();
        StopWheelPanning();
        StopEditTimer();
        StopScrollTimer();
        StopIncrementalSearch();
        DoViewStateChange({ tsNodeHeightTracking },
            { tsNodeHeightTrackPending, tsScrollPending, tsScrolling, tsEditPending, tsOLEDragPending,
                tsOLEDragging, tsIncrementalSearching, tsIncrementalSearchPending });
    }
    const QPoint p(X, Y);
    if (!FViewStates.contains(tsDrawSelPending)) {
        if (FViewStates.contains(tsNodeHeightTracking)) {
            TGridNode *node = FTree->HeightTrackNode();
            if (!node)
                return;
            QPoint track = FHeightTrackPoint;
            if (DoNodeHeightTracking(node, FHeightTrackColumn, Shift, track, p)) {
                FTree->SetNodeHeight(node, uint32_t(std::max(1, Y - track.y())));
                viewport()->repaint();
            }
            return;
        }
        const int threshold = FDragThreshold;
        const bool withinThreshold
            = std::abs(X - FLastClickPos.x()) <= threshold && std::abs(Y - FLastClickPos.y()) <= threshold;
        const bool dragPending
            = FViewStates.contains(tsOLEDragPending) || FViewStates.contains(tsVCLDragPending);
        if (!dragPending || withinThreshold) {
            if (CanAutoScroll())
                DoAutoScroll(X, Y);
            if (!IsMouseSelecting()) {
                HandleHotTrack(X, Y);
            } else if (!FViewStates.contains(tsScrolling) && CalculateSelectionRect(X, Y)) {
                const TRect before = FLastSelRect;
                if (HandleDrawSelection(X, Y)) {
                    viewport()->update();
                } else {
                    const TRect band = OffsetRect(
                        UnionRect(OrderRect(before), OrderRect(FNewSelRect)), -EffectiveOffsetX(), FOffsetY);
                    viewport()->update(ToQRect(InflateRect(band, 1, 1)));
                }
                viewport()->repaint();
            }
        } else {
            DoDragging(p);
        }
        return;
    }
    // A band is pending: it becomes one once it is bigger than the drag threshold.
    if (CalculateSelectionRect(X, Y)) {
        viewport()->update();
        viewport()->repaint();
    }
    const TRect band = OrderRect(FNewSelRect);
    const int threshold = QApplication::startDragDistance();
    if (band.Width() > threshold || band.Height() > threshold) {
        if (FTree->TreeStates().contains(tsClearPending))
            FTree->ClearSelection();
        DoViewStateChange({ tsDrawSelecting }, { tsDrawSelPending });
        FTree->StoreFocusedColumn(MainColumn());
        if (HandleDrawSelection(X, Y))
            viewport()->update();
    }
}

bool TGridTreeView::CalculateSelectionRect(int X, int Y)
{
    if (FViewStates.contains(tsDrawSelecting))
        FLastSelRect = FNewSelRect;
    const int x = std::clamp(X + EffectiveOffsetX(), 0, std::max(FRangeX, ClientWidth()));
    const int y = std::clamp(Y - FOffsetY, 0, std::max(RangeY(), ClientHeight()));
    if (x == FNewSelRect.Right && y == FNewSelRect.Bottom)
        return false;
    FNewSelRect.Right = x;
    FNewSelRect.Bottom = y;
    return true;
}

bool TGridTreeView::HandleDrawSelection(int X, int Y)
{
    (void)X;
    (void)Y;
    if (!FTree || FTree->RootNode()->TotalCount() <= 1 || !FViewStates.contains(tsDrawSelecting))
        return false;
    const TRect oldRect = OrderRect(FLastSelRect);
    const TRect newRect = OrderRect(FNewSelRect);
    FTree->ClearTempCache();
    const TGridTreeColumns &columns = FHeader->Columns();
    const TColumnIndex main = MainColumn();
    int left = 0;
    int right = ClientWidth();
    TBiDiMode bidi = TreeBiDiMode();
    TAlignment alignment = FAlignment;
    if (columns.IsValidColumn(main)) {
        columns[main].GetAbsoluteBounds(left, right);
        bidi = columns[main].BiDiMode();
        alignment = columns[main].Alignment();
    }
    const bool changed = bidi == bdLeftToRight
        ? CollectSelectedNodesLTR(main, left, right, alignment, oldRect, newRect)
        : CollectSelectedNodesRTL(main, left, right, alignment, oldRect, newRect);
    if (changed) {
        FTree->PackSelection();
        if (FTree->TempNodeCount() > 0)
            FTree->InternalAddToSelection(FTree->TempNodeCache(), FTree->TempNodeCount(), false);
        FTree->ClearTempCache();
        FTree->Change(nullptr);
    }
    return changed;
}

bool TGridTreeView::CollectSelectedNodesLTR(TColumnIndex MainColumn, int NodeLeft, int NodeRight,
    TAlignment Alignment, const TRect &OldRect, const TRect &NewRect)
{
    const bool oldSet = BandSet(OldRect);
    const int top = oldSet ? std::min(OldRect.Top, NewRect.Top) : NewRect.Top;
    const int bottom = oldSet ? std::max(OldRect.Bottom, NewRect.Bottom) : NewRect.Bottom;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const TGridTreeColumns &columns = FHeader->Columns();
    const bool simple = FOptions->SelectionOptions().contains(toSimpleDrawSelection);
    const bool toggle = FDrawSelShiftState.contains(ssCtrl);
    const TImageList *checks = FOptions->MiscOptions().contains(toCheckSupport) ? CheckImages() : nullptr;
    const bool span
        = FOptions->AutoOptions().contains(toAutoSpanColumns) && columns.IsValidColumn(MainColumn);

    bool changed = false;
    int nodeTop = 0;
    TGridNode *node = GetNodeAt(0, top, false, nodeTop);
    for (; node && nodeTop <= bottom; node = FTree->GetNextVisible(node, true)) {
        const int height = int(FTree->NodeHeight(node));
        const int nodeBottom = nodeTop + height;
        int textLeft = NodeLeft;
        int textRight = NodeRight;
        if (!simple) {
            int left = NodeLeft
                + int(FTree->GetNodeLevel(node) + (paint.contains(toShowRoot) ? 1 : 0)) * FIndent + FMargin;
            if (checks && node->CheckType() != TCheckType::ctNone)
                left += checks->Width() + 2;
            if (FImages && HasImage(node, ikNormal, MainColumn))
                left += FImages->Width() + 2;
            if (FStateImages && HasImage(node, ikState, MainColumn))
                left += FStateImages->Width() + 2;
            int limit = NodeRight;
            if (span)
                for (TColumnIndex c = columns.GetNextVisibleColumn(MainColumn);
                     c >= 0 && columns[c].BiDiMode() == bdLeftToRight && ColumnIsEmpty(node, c);
                     c = columns.GetNextVisibleColumn(c)) {
                    int l = 0;
                    columns[c].GetAbsoluteBounds(l, limit);
                }
            const int width = DoGetNodeWidth(node, MainColumn);
            switch (Alignment) {
            case taLeftJustify:
                textLeft = left;
                textRight = left + width;
                break;
            case taRightJustify:
                textLeft = limit - width;
                textRight = limit;
                break;
            case taCenter:
                textLeft = (left + limit - width) / 2;
                textRight = textLeft + width;
                break;
            }
            textRight = std::min(textRight, limit);
        }
        const bool inOld = oldSet && Meets(nodeTop, nodeBottom, OldRect.Top, OldRect.Bottom)
            && (simple || Meets(textLeft, textRight, OldRect.Left, OldRect.Right));
        const bool inNew = Meets(nodeTop, nodeBottom, NewRect.Top, NewRect.Bottom)
            && (simple || Meets(textLeft, textRight, NewRect.Left, NewRect.Right));
        if (inOld != inNew) {
            const bool selected = node->Has(vsSelected);
            if (toggle ? selected : !inNew) {
                if (selected) {
                    FTree->InternalRemoveFromSelection(node);
                    changed = true;
                }
            } else if (!selected) {
                FTree->InternalCacheNode(node);
                changed = true;
            }
        }
        nodeTop = nodeBottom;
    }
    return changed;
}

bool TGridTreeView::CollectSelectedNodesRTL(TColumnIndex MainColumn, int NodeLeft, int NodeRight,
    TAlignment Alignment, const TRect &OldRect, const TRect &NewRect)
{
    // Mirrored around the main column: the same walk on reflected bands.
    const auto mirror = [NodeLeft, NodeRight](const TRect &R) {
        return BandSet(R)
            ? Rect(NodeLeft + NodeRight - R.Right, R.Top, NodeLeft + NodeRight - R.Left, R.Bottom)
            : R;
    };
    const TAlignment mirrored = Alignment == taLeftJustify ? taRightJustify
        : Alignment == taRightJustify                      ? taLeftJustify
                                                           : Alignment;
    return CollectSelectedNodesLTR(
        MainColumn, NodeLeft, NodeRight, mirrored, mirror(OldRect), mirror(NewRect));
}

// ---- hot tracking --------------------------------------------------------------------------------------

void TGridTreeView::HandleHotTrack(int X, int Y)
{
    if (!FTree)
        return;
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    const THitPositions hits = hit.HitPositions;
    const bool counts = hits.contains(hiOnItemCheckbox) || hits.contains(hiOnItemLabel)
        || (ExplorerTheme() && hits.contains(hiOnItemButtonExact));
    if (!counts && !FOptions->SelectionOptions().contains(toFullRowSelect))
        hit.HitNode = nullptr;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    bool doInvalidate = false;
    if (hit.HitNode != HotNode() || hit.HitColumn != FCurrentHotColumn) {
        doInvalidate = paint.contains(toHotTrack) || FOptions->MiscOptions().contains(toCheckSupport);
        TGridNodeReference old(*FTree, HotNode());
        TGridNodeReference now(*FTree, hit.HitNode);
        DoHotChange(old, now);
        if (!FTree)
            return;
        if (doInvalidate && old)
            InvalidateNode(old);
        FTree->SetHotNode(now);
        FCurrentHotColumn = hit.HitColumn;
    }
    const bool buttonHit = hits.contains(hiOnItemButtonExact) && paint.contains(toHotTrack);
    if (TGridNode *hot = HotNode()) {
        if (doInvalidate || buttonHit != FHotNodeButtonHit) {
            FHotNodeButtonHit = buttonHit;
            InvalidateNode(hot);
        }
    } else {
        FHotNodeButtonHit = false;
    }
}

void TGridTreeView::DoHotChange(TGridNode *Old, TGridNode *New)
{
    if (OnHotChange)
        OnHotChange(*this, Old, New);
}

// ---- events of the mouse handling ------------------------------------------------------------------

void TGridTreeView::Click()
{
    if (OnClick)
        OnClick(*this);
}

void TGridTreeView::DblClick()
{
    if (OnDblClick)
        OnDblClick(*this);
}

void TGridTreeView::DoColumnClick(TColumnIndex Column, TShiftState Shift)
{
    if (OnColumnClick)
        OnColumnClick(*this, Column, Shift);
}

void TGridTreeView::DoColumnDblClick(TColumnIndex Column, TShiftState Shift)
{
    if (OnColumnDblClick)
        OnColumnDblClick(*this, Column, Shift);
}

void TGridTreeView::DoGetCursor(Qt::CursorShape &Cursor)
{
    if (OnGetCursor)
        OnGetCursor(*this, Cursor);
}

bool TGridTreeView::DoNodeHeightTracking(
    TGridNode *Node, TColumnIndex Column, TShiftState Shift, QPoint &TrackPoint, QPoint P)
{
    bool allowed = true;
    if (OnNodeHeightTracking)
        OnNodeHeightTracking(*this, Node, Column, Shift, TrackPoint, P, allowed);
    return allowed;
}

void TGridTreeView::StopEditTimer()
{
    FEditTimer.stop();
}

void TGridTreeView::StartEditTimer()
{
    FEditTimer.start(std::max(FEditDelay, 1), this);
}

// The tree's answer to keys: moving the focus through rows and columns,
// Shift ranges, Ctrl scrolling, expanding and collapsing, Space on check
// boxes, the popup key, select all, and the incremental search that typed
// characters feed.
#include "components/PositionCache.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

TShiftState ShiftOfKeys(Qt::KeyboardModifiers Modifiers)
{
    TShiftState shift;
    shift.set(ssShift, Modifiers.testFlag(Qt::ShiftModifier));
    shift.set(ssCtrl, Modifiers.testFlag(Qt::ControlModifier));
    shift.set(ssAlt, Modifiers.testFlag(Qt::AltModifier));
    return shift;
}

bool IsNavigationKey(int Key)
{
    switch (Key) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- key events -----------------------------------------------------------------------------------

void TGridTreeView::keyPressEvent(QKeyEvent *Event)
{
    const THeaderStates busy { hsDragging, hsDragPending, hsColumnWidthTracking, hsColumnWidthTrackPending,
        hsHeightTracking, hsHeightTrackPending };
    if (Event->key() == Qt::Key_Escape && !(FHeader->States() * busy).empty()) {
        FHeader->CancelTracking();
        return;
    }
    if (!FTree) {
        QAbstractScrollArea::keyPressEvent(Event);
        return;
    }
    int key = Event->key();
    TShiftState shift = ShiftOfKeys(Event->modifiers());
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        shift.include(ssShift);
    }
    if (!DoKeyAction(key, shift)) {
        Event->accept();
        return;
    }
    // Any other key lets go of a check box held down by Space.
    if (FTree->TreeStates().contains(tsKeyCheckPending) && key != Qt::Key_Space)
        EndKeyCheck(false);

    const QString text = Event->text();
    const bool handled
        = IsNavigationKey(key) ? HandleNavigationKey(key, shift) : HandleOtherKey(key, shift, text);
    // The character a key types goes to the search once the key itself is done with.
    if (FTree && FViewStates.contains(tsIncrementalSearchPending)) {
        DoViewStateChange({}, { tsIncrementalSearchPending });
        if (key == Qt::Key_Backspace)
            HandleIncrementalSearch(u'\b');
        else if (!text.isEmpty())
            HandleIncrementalSearch(text.at(0).unicode());
    }
    if (handled)
        Event->accept();
    else
        QAbstractScrollArea::keyPressEvent(Event);
}

void TGridTreeView::keyReleaseEvent(QKeyEvent *Event)
{
    if (FTree && Event->key() == Qt::Key_Space && !Event->isAutoRepeat()
        && FTree->TreeStates().contains(tsKeyCheckPending)) {
        EndKeyCheck(FTree->CheckNode() && FTree->CheckNode() == FTree->FocusedNode());
        Event->accept();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(Event);
}

void TGridTreeView::EndKeyCheck(bool Apply)
{
    TGridNodeReference node(*FTree, FTree->CheckNode());
    FTree->EndCheckPending(Apply);
    if (node)
        RepaintNode(node);
}

bool TGridTreeView::DoKeyAction(int &Key, TShiftState &Shift)
{
    bool doDefault = true;
    if (OnKeyAction)
        OnKeyAction(*this, Key, Shift, doDefault);
    return doDefault;
}

bool TGridTreeView::focusNextPrevChild(bool Next)
{
    // The tree keeps Tab for moving between cells when it wants tabs.
    if (FWantTabs)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(Next);
}

// ---- moving the focus -------------------------------------------------------------------------------

TGridNode *TGridTreeView::PageTarget(TGridNode *From, bool Up)
{
    // Whole rows up to a client height away.
    const int height = ClientHeight();
    int sum = 0;
    TGridNode *node = From;
    for (;;) {
        TGridNode *next = Up ? FTree->GetPreviousVisible(node, true) : FTree->GetNextVisible(node, true);
        if (!next)
            break;
        sum += int(FTree->NodeHeight(next));
        if (sum >= height)
            break;
        node = next;
    }
    return node;
}

TColumnIndex TGridTreeView::PageColumn(TColumnIndex From, bool Left)
{
    const TGridTreeColumns &columns = FHeader->Columns();
    if (!columns.IsValidColumn(From))
        return columns.GetFirstVisibleColumn();
    int sum = columns.GetVisibleFixedWidth();
    TColumnIndex column = From;
    for (;;) {
        const TColumnIndex next
            = Left ? columns.GetPreviousVisibleColumn(column) : columns.GetNextVisibleColumn(column);
        if (next < 0 || columns[next].Options().contains(coFixed))
            break;
        sum += columns[next].Width();
        if (sum > ClientWidth())
            break;
        column = next;
    }
    return column;
}

bool TGridTreeView::HandleNavigationKey(int Key, TShiftState Shift)
{
    const TGTSelectionOptions selection = FOptions->SelectionOptions();
    const TGTMiscOptions misc = FOptions->MiscOptions();
    const TGridTreeColumns &columns = FHeader->Columns();
    const bool useColumns = columns.Count() > 0;
    const bool ctrl = Shift.contains(ssCtrl);
    const bool noModifier = (Shift * TShiftState { ssShift, ssCtrl, ssAlt }).empty();
    const bool performMultiSelect
        = Shift.contains(ssShift) && selection.contains(toMultiSelect) && !FViewStates.contains(tsEditing);
    bool forceSelection = performMultiSelect
        && (Key == Qt::Key_PageUp || Key == Qt::Key_PageDown || Key == Qt::Key_End || Key == Qt::Key_Home);
    const bool needInvalidate = forceSelection || FTree->SelectedCount() > 1;
    const bool actAsGrid = misc.contains(toGridExtensions);
    const bool clearPending = noModifier || !selection.contains(toMultiSelect)
        || (actAsGrid && !Shift.contains(ssShift)) || Key == Qt::Key_Backspace || Key == Qt::Key_Tab;

    TGridNodeReference focusedBefore(*FTree, FTree->FocusedNode());
    TGridNodeReference lastFocused(*FTree, FTree->FocusedNode());
    if (!noModifier && !lastFocused)
        lastFocused = FTree->GetFirstVisible(nullptr, true);
    if (!FTree->RangeAnchor()) {
        TGridNode *first = FTree->GetFirstSelected();
        FTree->SetRangeAnchor(first ? first : FTree->GetFirst());
    }
    TGridNode *anchor = FTree->RangeAnchor();
    TGridNode *focused = FTree->FocusedNode();
    const auto focus = [this](TGridNode *Node) {
        if (Node)
            FTree->SetFocusedNode(Node);
    };
    // Under Shift the row left behind leaves the selection when the move heads
    // back towards the anchor.
    const auto deselectTowards = [&](bool LastAfterAnchor) {
        if (performMultiSelect && lastFocused && anchor && lastFocused != anchor
            && (FTree->CompareNodePositions(lastFocused, anchor, true) > 0) == LastAfterAnchor)
            FTree->RemoveFromSelection(lastFocused);
    };

    switch (Key) {
    case Qt::Key_Backspace:
        if (FViewStates.contains(tsIncrementalSearching)) {
            DoViewStateChange({ tsIncrementalSearchPending });
            return true;
        }
        if (focused && focused->Parent() != FTree->RootNode())
            focus(focused->Parent());
        break;
    case Qt::Key_Tab: {
        if (!selection.contains(toExtendedFocus) || !useColumns)
            return false;
        const bool back = Shift.contains(ssShift);
        TGridNode *node = focused ? focused : FTree->GetFirstVisible(nullptr, true);
        TColumnIndex column = FTree->FocusedColumn();
        for (;;) {
            TColumnIndex next = columns.IsValidColumn(column)
                ? (back ? columns.GetPreviousVisibleColumn(column) : columns.GetNextVisibleColumn(column))
                : InvalidColumn;
            if (next < 0) {
                // On into the next (previous) row's first (last) column.
                node = node
                    ? (back ? FTree->GetPreviousVisible(node, true) : FTree->GetNextVisible(node, true))
                    : nullptr;
                if (!node)
                    break;
                next = back ? columns.GetLastVisibleColumn() : columns.GetFirstVisibleColumn();
            }
            column = next;
            if (column < 0)
                break;
            if (FTree->DoFocusChanging(FTree->FocusedNode(), node, FTree->FocusedColumn(), column)) {
                FTree->SetFocusedNodeAndColumn(node, column);
                break;
            }
        }
        break;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool up = Key == Qt::Key_PageUp;
        if (ctrl && Shift.contains(ssShift)) {
            SetOffsetX(FOffsetX + (up ? 1 : -1) * ClientWidth());
        } else if (Shift.contains(ssShift) && !ctrl && useColumns) {
            FTree->SetFocusedColumn(PageColumn(FTree->FocusedColumn(), up));
        } else if (ctrl) {
            SetOffsetY(FOffsetY + (up ? 1 : -1) * ClientHeight());
        } else {
            focus(focused
                    ? PageTarget(focused, up)
                    : (up ? FTree->GetFirstVisible(nullptr, true) : FTree->GetLastVisible(nullptr, true)));
        }
        break;
    }
    case Qt::Key_Home:
    case Qt::Key_End: {
        const bool home = Key == Qt::Key_Home;
        TGridNode *target
            = home ? FTree->GetFirstVisible(nullptr, true) : FTree->GetLastVisible(nullptr, true);
        TColumnIndex column = NoColumn;
        if (useColumns) {
            column = home ? columns.GetFirstVisibleColumn() : columns.GetLastVisibleColumn();
            while (column >= 0
                && !FTree->DoFocusChanging(FTree->FocusedNode(), target, FTree->FocusedColumn(), column))
                column
                    = home ? columns.GetNextVisibleColumn(column) : columns.GetPreviousVisibleColumn(column);
            if (column < 0)
                return true;
        }
        if (ctrl && !actAsGrid) {
            // Only the view moves.
            if (target)
                ScrollIntoView(target, selection.contains(toCenterScrollIntoView));
            SetOffsetX(home ? 0 : -FRangeX);
            forceSelection = false;
            break;
        }
        if (actAsGrid) {
            if (ctrl)
                focus(target);
            if (useColumns && !selection.contains(toFullRowSelect))
                FTree->SetFocusedColumn(column);
        } else {
            focus(target);
        }
        break;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool left = Key == Qt::Key_Left;
        if (ctrl) {
            SetOffsetX(FOffsetX + (left ? 1 : -1) * columns.GetScrollWidth());
            break;
        }
        if (!focused) {
            focus(FTree->GetFirstVisible(nullptr, true));
            break;
        }
        if (selection.contains(toExtendedFocus) && actAsGrid && useColumns) {
            const TColumnIndex current = FTree->FocusedColumn();
            const TColumnIndex next
                = left ? columns.GetPreviousVisibleColumn(current) : columns.GetNextVisibleColumn(current);
            if (next >= 0)
                FTree->SetFocusedColumn(next);
            break;
        }
        const bool expanded = focused->Has(vsExpanded);
        if (left) {
            if (expanded && focused->Has(vsHasChildren) && FTree->ChildCount(focused) > 0 && noModifier) {
                FTree->ToggleNode(focused);
            } else if (focused->Parent() != FTree->RootNode()) {
                TGridNode *parent = focused->Parent();
                if (performMultiSelect) {
                    if (FTree->GetFirstChild(parent) == focused) {
                        if (anchor && FTree->CompareNodePositions(parent, anchor, true) > 0)
                            FTree->RemoveFromSelection(focused);
                    } else {
                        forceSelection = true;
                    }
                }
                focus(parent);
            }
        } else {
            if (!expanded && focused->Has(vsHasChildren) && noModifier) {
                FTree->ToggleNode(focused);
            } else if (TGridNode *child = FTree->GetFirstVisibleChild(focused)) {
                if (performMultiSelect && anchor && FTree->CompareNodePositions(child, anchor, true) < 0)
                    FTree->RemoveFromSelection(focused);
                focus(child);
            }
        }
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const bool up = Key == Qt::Key_Up;
        if (ctrl) {
            SetOffsetY(FOffsetY + (up ? 1 : -1) * int(DefaultNodeHeight()));
            break;
        }
        TGridNode *target = nullptr;
        if (!focused)
            target = up ? FTree->GetLastVisible(nullptr, true) : FTree->GetFirstVisible(nullptr, true);
        else
            target = up ? FTree->GetPreviousVisible(focused, true) : FTree->GetNextVisible(focused, true);
        if (!target) {
            if (focused)
                InvalidateNode(focused);
            break;
        }
        if (FViewStates.contains(tsEditing))
            EndEdit();
        deselectTowards(up);
        if (useColumns && !columns.IsValidColumn(FTree->FocusedColumn()))
            FTree->StoreFocusedColumn(MainColumn());
        focus(target);
        break;
    }
    default:
        return false;
    }

    if (!FTree)
        return true;
    TGridNode *now = FTree->FocusedNode();
    const bool moved = now != focusedBefore;
    bool cleared = false;
    if (clearPending && (moved || FTree->SelectedCount() != 1)) {
        FTree->ClearSelection();
        cleared = true;
    }
    if (noModifier && now) {
        FTree->SetRangeAnchor(now);
        FTree->SetLastSelectionLevel(int(FTree->GetNodeLevel(now)));
    }
    if (forceSelection && now && lastFocused)
        FTree->ToggleSelection(lastFocused, now);
    if ((cleared || moved) && now && !now->Has(vsSelected))
        FTree->AddToSelection(now);
    if (needInvalidate)
        InvalidateTree();
    return true;
}

// ---- the other keys ------------------------------------------------------------------------------------

bool TGridTreeView::HandleOtherKey(int Key, TShiftState Shift, const QString &Text)
{
    const bool ctrl = Shift.contains(ssCtrl);
    const bool searching = FViewStates.contains(tsIncrementalSearching);
    TGridNode *focused = FTree->FocusedNode();
    const auto feedSearch = [this] { DoViewStateChange({ tsIncrementalSearchPending }); };
    switch (Key) {
    // The keypad's signs and the same characters typed elsewhere.
    case Qt::Key_Plus:
        if (searching)
            feedSearch();
        else if (ctrl && Shift.contains(ssShift))
            FTree->FullExpand();
        else if (ctrl)
            FHeader->AutoFitColumns(true, smaUseColumnOption, -1, -1);
        else if (focused && !focused->Has(vsExpanded))
            FTree->ToggleNode(focused);
        return true;
    case Qt::Key_Minus:
        if (searching)
            feedSearch();
        else if (ctrl && Shift.contains(ssShift))
            FTree->FullCollapse();
        else if (ctrl)
            FHeader->RestoreColumns();
        else if (focused && focused->Has(vsExpanded))
            FTree->ToggleNode(focused);
        return true;
    case Qt::Key_Asterisk:
        if (searching)
            feedSearch();
        else if (focused)
            FTree->FullExpand(focused);
        return true;
    case Qt::Key_Slash:
        if (searching)
            feedSearch();
        else if (focused)
            FTree->FullCollapse(focused);
        return true;
    case Qt::Key_F1:
        RequestHelp();
        return true;
    case Qt::Key_F2:
        if ((Shift * TShiftState { ssShift, ssCtrl, ssAlt }).empty() && focused
            && CanEdit(focused, FTree->FocusedColumn())) {
            FEditColumn = FTree->FocusedColumn();
            DoEdit();
        }
        return true;
    case Qt::Key_A:
        if (ctrl) {
            FTree->SelectAll(true);
            return true;
        }
        break;
    case Qt::Key_Escape:
        if (IsMouseSelecting()) {
            DoViewStateChange({}, { tsDrawSelPending, tsDrawSelecting });
            InvalidateTree();
            return true;
        }
        if (IsEditing()) {
            CancelEdit();
            return true;
        }
        // Nothing to cancel here: the window's own Escape (a dialog's Cancel) gets it.
        return false;
    case Qt::Key_Space:
        if (FOptions->MiscOptions().contains(toCheckSupport) && focused
            && focused->CheckType() != TCheckType::ctNone) {
            if (!FTree->TreeStates().contains(tsMouseCheckPending)
                && !FTree->TreeStates().contains(tsKeyCheckPending) && !focused->Has(vsDisabled)
                && FTree->BeginCheckPending(focused, true))
                RepaintNode(focused);
            return true;
        }
        break;
    case Qt::Key_Menu:
        ShowFocusedPopup();
        return true;
    default:
        break;
    }
    // Without a search the character is left to the tree's owner.
    if (!ctrl && !Shift.contains(ssAlt) && !Text.isEmpty() && Text.at(0).unicode() >= 32
        && FIncrementalSearch != isNone) {
        feedSearch();
        return true;
    }
    return false;
}

void TGridTreeView::ShowFocusedPopup()
{
    TGridNode *node = FTree->FocusedNode();
    if (!node) {
        // No row to point at: the menu opens at the rows' top left corner.
        DoPopupMenu(nullptr, NoColumn, QPoint(0, 0));
        return;
    }
    const TGridTreeColumns &columns = FHeader->Columns();
    const TColumnIndex column = FTree->FocusedColumn();
    const TRect text = GetDisplayRect(node, column, true);
    const int limit = columns.IsValidColumn(column) ? columns[column].Width() : ClientWidth();
    const int width = std::min(DoGetNodeWidth(node, column), limit);
    DoPopupMenu(node, column, QPoint(text.Left + width / 2, (text.Top + text.Bottom) / 2));
}

void TGridTreeView::RequestHelp()
{
    int context = 0;
    if (OnGetHelpContext)
        for (TGridNode *node = FTree->FocusedNode(); node && node != FTree->RootNode() && context == 0;
             node = node->Parent())
            OnGetHelpContext(*this, node, 0, context);
    emit HelpRequested(context);
}

// ---- incremental search -----------------------------------------------------------------------------

void TGridTreeView::SetIncrementalSearch(TGTIncrementalSearch Value)
{
    FIncrementalSearch = Value;
    if (Value == isNone)
        StopIncrementalSearch();
}

void TGridTreeView::StopIncrementalSearch()
{
    FSearchTimer.stop();
    FSearchBuffer.clear();
    if (FTree)
        FTree->SetLastSearchNode(nullptr);
    DoViewStateChange({}, { tsIncrementalSearching });
}

void TGridTreeView::HandleIncrementalSearch(char16_t CharCode)
{
    FSearchTimer.stop();
    if (FIncrementalSearch == isNone || !FTree)
        return;
    if (CharCode != 0) {
        DoViewStateChange({ tsIncrementalSearching }, { tsIncrementalSearchPending });
        const bool backspace = CharCode == u'\b';
        if (!(backspace && FSearchBuffer.isEmpty())) {
            TGridNode *start = nullptr;
            switch (FIncrementalSearchStart) {
            case ssAlwaysStartOver:
                break;
            case ssFocusedNode:
                start = FTree->FocusedNode();
                break;
            case ssLastHit:
                start = FTree->LastSearchNode();
                break;
            }
            if (start && FIncrementalSearch == isInitializedOnly && !start->Has(vsInitialized))
                start = nullptr;
            if (start && FIncrementalSearch == isVisibleOnly
                && (!FTree->FullyVisible(start) || FTree->IsEffectivelyHidden(start)))
                start = nullptr;

            const QChar typed(CharCode);
            bool cycling = false;
            QString buffer;
            if (backspace) {
                buffer = FSearchBuffer.chopped(1);
            } else if (FSearchBuffer.size() == 1 && FSearchBuffer.at(0) == typed) {
                // The same letter again moves on to the next node with it, unless
                // the node reached matches the letter twice.
                const QString doubled = FSearchBuffer + typed;
                if (start && DoIncrementalSearch(start, doubled) == 0)
                    buffer = doubled;
                else {
                    buffer = FSearchBuffer;
                    cycling = true;
                }
            } else {
                buffer = FSearchBuffer + typed;
            }
            FSearchBuffer = buffer;

            const bool forward = FSearchDirection == sdForward;
            const auto step = [this, forward](TGridNode *Node) -> TGridNode * {
                switch (FIncrementalSearch) {
                case isVisibleOnly:
                    return forward ? FTree->GetNextVisible(Node, true)
                                   : FTree->GetPreviousVisible(Node, true);
                case isInitializedOnly:
                    return forward ? FTree->GetNextNoInit(Node) : FTree->GetPreviousNoInit(Node);
                default:
                    return forward ? FTree->GetNext(Node) : FTree->GetPrevious(Node);
                }
            };
            const auto first = [this, forward]() -> TGridNode * {
                switch (FIncrementalSearch) {
                case isVisibleOnly:
                    return forward ? FTree->GetFirstVisible(nullptr, true)
                                   : FTree->GetLastVisible(nullptr, true);
                case isInitializedOnly:
                    return forward ? FTree->GetFirstNoInit() : FTree->GetLastNoInit();
                default:
                    return forward ? FTree->GetFirst() : FTree->GetLast();
                }
            };
            const auto next = [&](TGridNode *Node) {
                TGridNode *n = step(Node);
                return n ? n : first();
            };
            TGridNode *node = start ? (cycling ? next(start) : start) : first();
            TGridNode *found = nullptr;
            for (TGridNode *begin = node; node;) {
                const bool testable = FIncrementalSearch != isInitializedOnly || node->Has(vsInitialized);
                if (testable && DoIncrementalSearch(node, buffer) == 0) {
                    found = node;
                    break;
                }
                node = next(node);
                if (node == begin)
                    break;
            }
            if (found) {
                FTree->ClearSelection();
                FTree->SetLastSearchNode(found);
                FTree->SetFocusedNode(found);
                FTree->SetSelected(found, true);
            } else if (start) {
                Beep();
            }
        }
    }
    FSearchTimer.start(std::max(FIncrementalSearchTimeout, 1), this);
}

int TGridTreeView::DoIncrementalSearch(TGridNode *Node, const QString &Text)
{
    int result = 0;
    if (OnIncrementalSearch)
        OnIncrementalSearch(*this, Node, Text, result);
    return result;
}

void TGridTreeView::Beep()
{
    QApplication::beep();
}

// In-place editing: the tree's side, for any editor behind IGTEditLink.
#include "components/gui/GTDragImage.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"

#include <algorithm>
#include <exception>

namespace {

constexpr const char *EditLinkIsNil = "Edit link must not be nil.";
constexpr int EditLinkIsNilHelpContext = 2000;
constexpr const char *EditColumnInvalid = "Column must be a valid column index (-1 if no header is shown).";

} // namespace

bool TGridTreeView::EditNode(TGridNode *Node, TColumnIndex Column)
{
    if (!Node)
        throw EGridTreeAssertion(GridTreeTexts::NodeIsNil);
    if (Column < NoColumn || (Column >= FHeader->Columns().Count() && Column != NoColumn))
        throw EGridTreeAssertion(EditColumnInvalid);
    if (IsEditing())
        return true;
    if (!FTree || FOptions->MiscOptions().contains(toReadOnly))
        return false;
    FTree->SetFocusedNode(Node);
    if (FTree->FocusedNode() == Node && CanEdit(Node, Column)) {
        FEditColumn = Column;
        if (!Node->Has(vsInitialized))
            FTree->ValidateNode(Node, false);
        DoEdit();
    }
    return IsEditing();
}

bool TGridTreeView::CanEdit(TGridNode *Node, TColumnIndex Column)
{
    const TGTMiscOptions misc = FOptions->MiscOptions();
    bool allowed = misc.contains(toEditable) && isEnabled() && !misc.contains(toReadOnly);
    DoCanEdit(Node, Column, allowed);
    return allowed;
}

void TGridTreeView::DoCanEdit(TGridNode *Node, TColumnIndex Column, bool &Allowed)
{
    if (OnEditing)
        OnEditing(*this, Node, Column, Allowed);
}

bool TGridTreeView::EndEditNode()
{
    if (FViewStates.contains(tsEditing) || FViewStates.contains(tsEditPending))
        return DoEndEdit();
    return true;
}

bool TGridTreeView::CancelEditNode()
{
    if (FViewStates.contains(tsEditing) || FViewStates.contains(tsEditPending))
        return DoCancelEdit();
    return true;
}

TGTEditLinkPtr TGridTreeView::DoCreateEditor(TGridNode *Node, TColumnIndex Column)
{
    TGTEditLinkPtr result;
    if (OnCreateEditor) {
        OnCreateEditor(*this, Node, Column, result);
        if (!result)
            ShowError(QString::fromLatin1(EditLinkIsNil), EditLinkIsNilHelpContext);
    }
    return result;
}

void TGridTreeView::DoEdit()
{
    StopScrollTimer();
    StopEditTimer();
    DoViewStateChange({}, { tsEditPending });
    if (!FTree)
        return;
    TGridNode *node = FTree->FocusedNode();
    if (node && !node->Has(vsDisabled) && !FOptions->MiscOptions().contains(toReadOnly) && !FEditLink)
        FEditLink = DoCreateEditor(node, FEditColumn);
    if (!FEditLink || !node)
        return;
    DoViewStateChange({ tsEditing },
        { tsDrawSelPending, tsDrawSelecting, tsOLEDragging, tsOLEDragPending, tsScrolling, tsScrollPending });
    FTree->DoStateChange({}, { tsClearPending, tsMouseCheckPending });
    FEditNode = node;
    UpdateFreedNodeWatch();
    ScrollIntoView(node, FOptions->SelectionOptions().contains(toCenterScrollIntoView),
        !FOptions->AutoOptions().contains(toDisableAutoscrollOnEdit));
    try {
        if (FEditLink->PrepareEdit(*this, node, FEditColumn)) {
            FEditCellRect = TRect();
            UpdateEditBounds();
            // The selection and the text go behind the editor.
            InvalidateNode(node);
            if (!FEditLink->BeginEdit())
                DoViewStateChange({}, { tsEditing });
        } else {
            DoViewStateChange({}, { tsEditing });
        }
    } catch (...) {
        ReleaseEditLink();
        throw;
    }
    if (!IsEditing())
        ReleaseEditLink();
}

TGTEditLinkPtr TGridTreeView::ReleaseEditLink()
{
    DoViewStateChange({}, { tsEditing });
    FEditNode = nullptr;
    TGTEditLinkPtr link = std::move(FEditLink);
    UpdateFreedNodeWatch();
    return link;
}

bool TGridTreeView::DoEndEdit()
{
    StopEditTimer();
    struct LeavePending {
        TGridTreeView *view;
        ~LeavePending() { view->DoViewStateChange({}, { tsEditPending }); }
    } leave { this };
    if (!IsEditing() || !FEditLink || !FEditLink->EndEdit())
        return false;
    const TGTEditLinkPtr link = ReleaseEditLink();
    if (OnEdited)
        OnEdited(*this, FTree ? FTree->FocusedNode() : nullptr, FEditColumn);
    return true;
}

bool TGridTreeView::DoCancelEdit()
{
    StopEditTimer();
    DoViewStateChange({}, { tsEditPending });
    if (!IsEditing() || !FEditLink || !FEditLink->CancelEdit())
        return false;
    const TGTEditLinkPtr link = ReleaseEditLink();
    if (OnEditCancelled)
        OnEditCancelled(*this, FEditColumn);
    return true;
}

void TGridTreeView::UpdateEditBounds()
{
    if (!IsEditing() || !FEditLink || !FTree || !FTree->FocusedNode())
        return;
    TGridNode *node = FTree->FocusedNode();
    TRect r = GetDisplayRect(node, FEditColumn, true, !node->Has(vsMultiline), true);
    if (r.IsEmpty())
        return;
    const TGridTreeColumns &columns = FHeader->Columns();
    if (FOptions->MiscOptions().contains(toGridExtensions) && columns.IsValidColumn(FEditColumn)) {
        const TGridTreeColumn &column = columns[FEditColumn];
        TAlignment alignment = column.Alignment();
        if (column.BiDiMode() != bdLeftToRight && alignment != taCenter)
            alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        int left = 0;
        int right = 0;
        columns.GetColumnBounds(FEditColumn, left, right);
        if (alignment == taLeftJustify)
            r.Right = right;
        else
            r.Left = left;
    }
    if (FOptions->PaintOptions().contains(toShowHorzGridLines))
        --r.Bottom;
    // Every repaint asks: while the cell stays where it is, the editor keeps
    // the width its text gave it.
    if (r == FEditCellRect)
        return;
    FEditCellRect = r;
    FEditLink->SetBounds(r);
}

bool TGridTreeView::EndEdit()
{
    // A pending start is only dropped: it holds nothing to end.
    if (!IsEditing()) {
        StopEditTimer();
        DoViewStateChange({}, { tsEditPending });
        return true;
    }
    return EndEditNode();
}

void TGridTreeView::NodeFreed(TGridNode *Node)
{
    // The editor must not store into a node that goes.
    if (Node == FEditNode) {
        FEditNode = nullptr;
        DoCancelEdit();
    }
    if (Node == FHintData.Node)
        CancelHint();
    // The drag lets go of it.
    const auto place = std::lower_bound(FDragSelectionIndex.begin(), FDragSelectionIndex.end(), Node,
        [](const std::pair<TGridNode *, std::size_t> &Entry, const TGridNode *N) { return Entry.first < N; });
    if (place != FDragSelectionIndex.end() && place->first == Node)
        FDragSelection[place->second] = nullptr;
    UpdateFreedNodeWatch();
}

void TGridTreeView::UpdateFreedNodeWatch()
{
    SetWatchFreedNodes(FEditNode || FHintData.Node || !FDragSelection.empty());
}

void TGridTreeView::EndInteractions()
{
    if (FHintWindow)
        FHintWindow->HideHint();
    if (FDragImage)
        FDragImage->EndDrag();
    // Quietly: the owner's handlers may be gone already.
    StopEditTimer();
    DoViewStateChange({}, { tsEditing, tsEditPending });
    FEditNode = nullptr;
    if (const TGTEditLinkPtr link = std::move(FEditLink))
        link->CancelEdit();
}

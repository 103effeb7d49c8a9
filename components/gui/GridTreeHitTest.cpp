// What lies under a point of the tree: the node, the column and the part of
// the row; and the window services around it (border sizes, popup menus, the
// item queries of outside tools, taking over another tree's properties).
#include "components/PositionCache.h"
#include "components/gui/GTColors.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/ImageList.h"
#include "components/gui/ScrollBarOptions.h"

#include <QMenu>
#include <algorithm>

namespace {

TAlignment MirroredAlignment(TAlignment Alignment)
{
    return Alignment == taLeftJustify ? taRightJustify
        : Alignment == taRightJustify ? taLeftJustify
                                      : Alignment;
}

} // namespace

// ---- hit testing ----------------------------------------------------------------------------------

void TGridTreeView::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo &HitInfo)
{
    HitInfo = THitInfo();
    if (X < 0)
        HitInfo.HitPositions.include(hiToLeft);
    if (X > std::max(ClientWidth(), FRangeX))
        HitInfo.HitPositions.include(hiToRight);
    if (Y < 0)
        HitInfo.HitPositions.include(hiAbove);
    if (Y > std::max(ClientHeight(), RangeY()))
        HitInfo.HitPositions.include(hiBelow);
    if (!HitInfo.HitPositions.empty() || !FTree)
        return;

    const TGridTreeColumns &columns = FHeader->Columns();
    if (Relative) {
        // The fixed columns do not scroll.
        if (X >= columns.GetVisibleFixedWidth())
            X += EffectiveOffsetX();
        Y -= FOffsetY;
    }
    int top = 0;
    TGridNode *node = GetNodeAt(X, Y, false, top);
    if (!node) {
        HitInfo.HitPositions.include(hiNowhere);
        return;
    }
    FTree->ValidateNode(node, false);
    HitInfo.HitNode = node;

    int left = 0;
    int right = std::max(ClientWidth(), FRangeX);
    TColumnIndex column = NoColumn;
    if (columns.Count() > 0) {
        column = InvalidColumn;
        for (TColumnIndex c = columns.GetFirstVisibleColumn(); c >= 0; c = columns.GetNextVisibleColumn(c)) {
            columns[c].GetAbsoluteBounds(left, right);
            if (X < right) {
                if (X >= left)
                    column = c;
                break;
            }
        }
        if (column >= 0 && FOptions->AutoOptions().contains(toAutoSpanColumns)) {
            // A text flows over empty neighbours: the cell spans them.
            for (TColumnIndex c = columns.GetPreviousVisibleColumn(column); c >= 0 && ColumnIsEmpty(node, c);
                 c = columns.GetPreviousVisibleColumn(c)) {
                int l = 0;
                int r = 0;
                columns[c].GetAbsoluteBounds(l, r);
                left = l;
            }
            for (TColumnIndex c = columns.GetNextVisibleColumn(column); c >= 0 && ColumnIsEmpty(node, c);
                 c = columns.GetNextVisibleColumn(c)) {
                int l = 0;
                int r = 0;
                columns[c].GetAbsoluteBounds(l, r);
                right = r;
            }
        }
    }
    HitInfo.HitColumn = column;
    if (column == InvalidColumn) {
        HitInfo.HitPositions.include(hiNowhere);
        return;
    }
    HitInfo.HitPositions.include(hiOnItem);
    if (FOptions->MiscOptions().contains(toNodeHeightResize)) {
        const int height = int(FTree->NodeHeight(node));
        if (Y - top <= 1)
            HitInfo.HitPositions.include(hiUpperSplitter);
        if (top + height - Y <= 3)
            HitInfo.HitPositions.include(hiLowerSplitter);
    }
    const bool useColumns = columns.IsValidColumn(column);
    const TBiDiMode bidi = useColumns ? columns[column].BiDiMode() : TreeBiDiMode();
    const TAlignment alignment = useColumns ? columns[column].Alignment() : FAlignment;
    if (bidi == bdLeftToRight)
        DetermineHitPositionLTR(HitInfo, X - left, right - left, alignment);
    else
        DetermineHitPositionRTL(HitInfo, X - left, right - left, alignment);
}

void TGridTreeView::DetermineHitPositionLTR(THitInfo &HitInfo, int Offset, int Right, TAlignment Alignment)
{
    TGridNode *node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool main = column == MainColumn() || FHeader->Columns().Count() == 0;

    int indent = 0;
    if (main) {
        if (paint.contains(toFixedIndent))
            indent = FIndent;
        else
            indent = int(FTree->GetNodeLevel(node)) * FIndent + (paint.contains(toShowRoot) ? FIndent : 0);
    }
    if (Offset < indent) {
        if (paint.contains(toShowButtons) && node->Has(vsHasChildren)) {
            if (Offset >= indent - FIndent)
                HitInfo.HitPositions.include(hiOnItemButton);
            if (Offset >= indent - ButtonSize().width())
                HitInfo.HitPositions.include(hiOnItemButtonExact);
        }
        if (!HitInfo.HitPositions.contains(hiOnItemButton))
            HitInfo.HitPositions.include(hiOnItemIndent);
        return;
    }
    if (!main && FOptions->MiscOptions().contains(toReportMode))
        return;

    int position = indent + FMargin;
    const TImageList *checks = CheckImages();
    if (main && checks && FOptions->MiscOptions().contains(toCheckSupport)
        && node->CheckType() != TCheckType::ctNone) {
        position += checks->Width() + 2;
        if (Offset < position) {
            HitInfo.HitPositions = { hiOnItem, hiOnItemCheckbox };
            return;
        }
    }
    if (FStateImages && HasImage(node, ikState, column)) {
        position += FStateImages->Width() + 2;
        if (Offset < position) {
            HitInfo.HitPositions.include(hiOnStateIcon);
            return;
        }
    }
    if (FImages && HasImage(node, ikNormal, column)) {
        position += FImages->Width() + 2;
        if (Offset < position) {
            HitInfo.HitPositions.include(hiOnNormalIcon);
            return;
        }
    }

    const int width = DoGetNodeWidth(node, column);
    if (Right - position < width) {
        HitInfo.HitPositions.include(hiOnItemLabel);
        return;
    }
    switch (Alignment) {
    case taRightJustify:
        HitInfo.HitPositions.include(Offset < Right - width ? hiOnItemLeft : hiOnItemLabel);
        break;
    case taCenter: {
        const int start = (position + Right - width) / 2;
        if (Offset < start)
            HitInfo.HitPositions.include(hiOnItemLeft);
        else if (Offset < start + width)
            HitInfo.HitPositions.include(hiOnItemLabel);
        else
            HitInfo.HitPositions.include(hiOnItemRight);
        break;
    }
    case taLeftJustify:
        HitInfo.HitPositions.include(Offset < position + width ? hiOnItemLabel : hiOnItemRight);
        break;
    }
}

void TGridTreeView::DetermineHitPositionRTL(THitInfo &HitInfo, int Offset, int Right, TAlignment Alignment)
{
    // The mirror image: measured from the cell's right edge, left and right swapped.
    const THitPositions before = HitInfo.HitPositions;
    DetermineHitPositionLTR(HitInfo, Right - 1 - Offset, Right, MirroredAlignment(Alignment));
    const THitPositions added = HitInfo.HitPositions - before;
    if (added.contains(hiOnItemLeft) != added.contains(hiOnItemRight)) {
        const bool left = added.contains(hiOnItemLeft);
        HitInfo.HitPositions.exclude(left ? hiOnItemLeft : hiOnItemRight);
        HitInfo.HitPositions.include(left ? hiOnItemRight : hiOnItemLeft);
    }
}

QString TGridTreeView::NodeText(TGridNode *, TColumnIndex)
{
    return {};
}

// ---- window services --------------------------------------------------------------------------------

QSize TGridTreeView::GetBorderDimensions() const
{
    const int frame = frameWidth();
    return QSize(-frame, -frame);
}

bool TGridTreeView::HasPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position)
{
    return FPopupMenu || DoGetPopupMenu(Node, Column, Position);
}

void TGridTreeView::DoPopupMenu(TGridNode *Node, TColumnIndex Column, QPoint Position)
{
    // The handler's menu for the place, else the control's own.
    QMenu *menu = DoGetPopupMenu(Node, Column, Position);
    if (!menu)
        menu = FPopupMenu;
    if (!menu)
        return;
    DoViewStateChange({ tsPopupMenuShown });
    StopEditTimer();
    menu->popup(viewport()->mapToGlobal(Position));
}

TGridNode *TGridTreeView::TVMGetNextItem(TTVGetNextItem Code, TGridNode *Node)
{
    if (!FTree)
        return nullptr;
    TGridNode *root = FTree->RootNode();
    if (Node == root)
        Node = nullptr;
    switch (Code) {
    case tvgnRoot:
        return FTree->GetFirst();
    case tvgnNext:
        return Node ? FTree->GetNextSibling(Node) : nullptr;
    case tvgnPrevious:
        return Node ? FTree->GetPreviousSibling(Node) : nullptr;
    case tvgnParent:
        return Node && Node->Parent() != root ? Node->Parent() : nullptr;
    case tvgnChild:
        return Node ? FTree->GetFirstChild(Node) : nullptr;
    case tvgnFirstVisible:
        return FTree->GetFirstVisible(nullptr, true);
    case tvgnNextVisible:
        return Node ? FTree->GetNextVisible(Node, true) : nullptr;
    case tvgnPreviousVisible:
        return Node ? FTree->GetPreviousVisible(Node, true) : nullptr;
    case tvgnDropHighlight:
        return FTree->DropTargetNode();
    case tvgnCaret:
        return FTree->FocusedNode();
    case tvgnLastVisible:
        return FTree->GetLastVisible(nullptr, true);
    }
    return nullptr;
}

bool TGridTreeView::TVMGetItem(TTVItem &Item)
{
    TGridNode *node = Item.Node;
    if (!FTree || !node || node == FTree->RootNode())
        return false;
    FTree->ValidateNode(node, false);
    if (Item.Mask & TTVItem::tvifChildren)
        Item.Children = int(FTree->ChildCount(node));
    if (Item.Mask & (TTVItem::tvifImage | TTVItem::tvifSelectedImage)) {
        bool ghosted = false;
        int index = -1;
        DoGetImageIndex(node, ikNormal, NoColumn, ghosted, index);
        if (Item.Mask & TTVItem::tvifImage)
            Item.Image = index;
        if (Item.Mask & TTVItem::tvifSelectedImage) {
            int selected = -1;
            DoGetImageIndex(node, ikSelected, NoColumn, ghosted, selected);
            Item.SelectedImage = selected;
        }
    }
    if (Item.Mask & TTVItem::tvifState) {
        Item.StateMask = TTVItem::AllStates;
        unsigned state = 0;
        if (node == FTree->FocusedNode())
            state |= TTVItem::tvisFocused;
        if (node->Has(vsSelected))
            state |= TTVItem::tvisSelected;
        if (node->Has(vsCutOrCopy))
            state |= TTVItem::tvisCut;
        if (node == FTree->DropTargetNode())
            state |= TTVItem::tvisDropHighlighted;
        if (node->Has(vsExpanded))
            state |= TTVItem::tvisExpanded;
        Item.State = state;
    }
    if ((Item.Mask & TTVItem::tvifText) && Item.Text && Item.TextMax > 0) {
        const QString text = NodeText(node, NoColumn);
        const int count = std::min(int(text.size()), Item.TextMax - 1);
        std::copy_n(reinterpret_cast<const char16_t *>(text.utf16()), count, Item.Text);
        Item.Text[count] = u'\0';
    }
    return true;
}

bool TGridTreeView::TVMGetItemRect(TGridNode *Node, bool TextOnly, TRect &R)
{
    if (!FTree || !Node || Node == FTree->RootNode() || !FTree->IsVisible(Node) || !FTree->VisiblePath(Node))
        return false;
    const TGridTreeColumns &columns = FHeader->Columns();
    R = GetDisplayRect(Node, columns.Count() > 0 ? MainColumn() : NoColumn, TextOnly);
    return true;
}

void TGridTreeView::Assign(const TGridTreeView &Source)
{
    if (&Source == this || FOptions->MiscOptions().contains(toReadOnly))
        return;
    SetTreeOptions(Source.TreeOptions());
    FColors->Assign(Source.Colors());
    FScrollBarOptions->Assign(Source.ScrollBarOptions());
    FHeader->Assign(Source.Header());
    SetDefaultNodeHeight(Source.DefaultNodeHeight());
    SetIndent(Source.FIndent);
    SetMargin(Source.FMargin);
    SetTextMargin(Source.FTextMargin);
    SetAlignment(Source.FAlignment);
    SetNodeAlignment(Source.FNodeAlignment);
    SetBorderStyle(Source.FBorderStyle);
    SetBottomSpace(Source.FBottomSpace);
    SetColor(Source.FColor);
    SetButtonStyle(Source.FButtonStyle);
    SetButtonFillMode(Source.FButtonFillMode);
    SetLineStyle(Source.FLineStyle);
    SetLineMode(Source.FLineMode);
    SetCustomCheckImages(Source.FCustomCheckImages);
    SetCheckImageKind(Source.FCheckImageKind);
    SetImages(Source.FImages);
    SetStateImages(Source.FStateImages);
    FDragOperations = Source.FDragOperations;
    FDragImageKind = Source.FDragImageKind;
    FDragType = Source.FDragType;
    FDragWidth = Source.FDragWidth;
    FDragHeight = Source.FDragHeight;
    FDragMode = Source.FDragMode;
    SetAnimationDuration(Source.FAnimationDuration);
    SetSelectionBlendFactor(Source.FSelectionBlendFactor);
    SetSelectionCurveRadius(Source.FSelectionCurveRadius);
    SetDrawSelectionMode(Source.FDrawSelectionMode);
    SetBackground(Source.FBackground);
    SetBackgroundOffset(0, Source.FBackgroundOffsetX);
    SetBackgroundOffset(1, Source.FBackgroundOffsetY);
    FHintAnimation = Source.FHintAnimation;
    FAutoExpandDelay = Source.FAutoExpandDelay;
    FAutoScrollDelay = Source.FAutoScrollDelay;
    FAutoScrollInterval = Source.FAutoScrollInterval;
    FEditDelay = Source.FEditDelay;
    SetChangeDelay(Source.FChangeDelay);
    SetIncrementalSearch(Source.FIncrementalSearch);
    FIncrementalSearchStart = Source.FIncrementalSearchStart;
    FIncrementalSearchTimeout = Source.FIncrementalSearchTimeout;
    FSearchDirection = Source.FSearchDirection;
    FDefaultPasteMode = Source.FDefaultPasteMode;
    FPopupMenu = Source.FPopupMenu;
    FWantTabs = Source.FWantTabs;
    FHotCursor = Source.FHotCursor;
    SetTreeCursor(Source.FTreeCursor);
    SetBorderWidth(Source.FBorderWidth);
    SetBevelKind(Source.FBevelKind);
    SetBevelInner(Source.FBevelInner);
    SetBevelOuter(Source.FBevelOuter);
    SetBevelWidth(Source.FBevelWidth);
    setFont(Source.font());
}

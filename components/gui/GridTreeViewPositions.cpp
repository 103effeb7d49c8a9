// The tree view: which node lies where, the client size and the widest
// content of a column.
#include "components/PositionCache.h"
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/GridTreeOptions.h"
#include "components/gui/GridTreeView.h"
#include "components/gui/HeaderStrip.h"
#include "components/gui/ImageList.h"
#include "components/gui/ScrollBarOptions.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

// ---- positions -------------------------------------------------------------------------------

TGridNode *TGridTreeView::GetNodeAt(int X, int Y)
{
    int top = 0;
    return GetNodeAt(X, Y, true, top);
}

TGridNode *TGridTreeView::GetNodeAt(int X, int Y, bool Relative, int &NodeTop)
{
    (void)X;
    if (!FCache)
        return nullptr;
    Y = std::max(Y, 0);
    const int64_t position = Relative ? int64_t(Y) - FOffsetY : Y;
    if (position > int64_t(UINT32_MAX))
        return nullptr;
    uint32_t top = 0;
    TGridNode *node = FCache->GetNodeAt(uint32_t(position), top);
    if (node)
        NodeTop = Relative ? int(int64_t(top) + FOffsetY) : int(top);
    return node;
}

TGridNode *TGridTreeView::TopNode()
{
    return GetNodeAt(0, 0);
}

TGridNode *TGridTreeView::BottomNode()
{
    return GetNodeAt(0, ClientHeight() - 1);
}

bool TGridTreeView::NodeRowTop(TGridNode *Node, int &Top) const
{
    // Only where it is cheap: from the cache, or in a tree small enough to walk.
    if (!FCache || (!FCache->UseCache() && FTree->VisibleCount() > CacheThreshold))
        return false;
    uint32_t top = 0;
    if (!FCache->NodeTop(Node, top))
        return false;
    Top = int(int64_t(top) + FOffsetY);
    return true;
}

void TGridTreeView::SetTopNode(TGridNode *Node)
{
    if (!Node || !FTree || Node == FTree->RootNode())
        return;
    ExpandAncestors(Node);
    uint32_t top = 0;
    if (FCache->NodeTop(Node, top))
        SetOffsetY(-int(top));
}

void TGridTreeView::ExpandAncestors(TGridNode *Node)
{
    // Open the way from the top down.
    std::vector<TGridNode *> path;
    for (TGridNode *p = Node->Parent(); p && p != FTree->RootNode(); p = p->Parent())
        path.push_back(p);
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        if (!(*it)->Has(vsExpanded))
            FTree->ToggleNode(*it);
}

void TGridTreeView::SetBottomNode(TGridNode *Node)
{
    if (!Node || !FTree || Node == FTree->RootNode())
        return;
    SetTopNode(Node);
    uint32_t top = 0;
    if (FCache->NodeTop(Node, top))
        SetOffsetY(ClientHeight() - int(top) - int(FTree->NodeHeight(Node)));
}

int TGridTreeView::CompareNodePositions(TGridNode *Node1, TGridNode *Node2, bool ConsiderChildrenAbove)
{
    if (!FTree)
        throw EGridTreeAssertion(GridTreeTexts::NodesNeverNil);
    return ::CompareNodePositions(*FTree, Node1, Node2, ConsiderChildrenAbove);
}

// ---- offsets and scroll bars ---------------------------------------------------------------------

int TGridTreeView::ClientWidth() const
{
    return viewport()->width();
}

int TGridTreeView::ClientHeight() const
{
    return viewport()->height();
}

int TGridTreeView::RangeY() const
{
    if (!FTree)
        return 0;
    const TGridNode *root = FTree->RootNode();
    const int64_t total = std::max<int64_t>(root->TotalHeight(), FTree->DefaultNodeHeight());
    return int(std::min<int64_t>(total - root->NodeHeight() + FBottomSpace, INT32_MAX));
}

// ---- widest content -------------------------------------------------------------------------------

int TGridTreeView::DoGetNodeWidth(TGridNode *, TColumnIndex, QPainter *)
{
    return 0;
}

int TGridTreeView::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth)
{
    TGridTreeColumns &columns = FHeader->Columns();
    if (OperationCanceled())
        return columns.IsValidColumn(Column) ? columns[Column].Width() : 0;
    BeginOperation();
    struct End {
        TGridTreeView &view;
        ~End() noexcept(false) { view.EndOperation(); }
    } end { *this };
    if (OnBeforeGetMaxColumnWidth)
        OnBeforeGetMaxColumnWidth(*this, Column, UseSmartColumnWidth);

    const TGTPaintOptions paint = FOptions->PaintOptions();
    const bool checks = FOptions->MiscOptions().contains(toCheckSupport) && CheckImages();
    const int checkWidth = checks ? CheckImages()->Width() + 2 : 0;
    const bool main = Column == FHeader->MainColumn();
    int result = 0;
    if (FTree) {
        // Each row's margin is asked in the same column: its bounds are taken once.
        struct Walk {
            TMarginWalk &state;
            ~Walk() { state = TMarginWalk(); }
        } margins { FMarginWalk };
        const bool askMargins = OnBeforeCellPaint && !FNoContentMargins;
        if (askMargins && columns.IsValidColumn(Column)) {
            FMarginWalk.Active = true;
            FMarginWalk.Column = Column;
            columns.GetColumnBounds(Column, FMarginWalk.Left, FMarginWalk.Right);
        }
        TGridNode *node = UseSmartColumnWidth ? TopNode() : FTree->GetFirstVisible(nullptr, true);
        TGridNode *last = UseSmartColumnWidth ? BottomNode() : nullptr;
        for (; node; node = node == last ? nullptr : FTree->GetNextVisible(node, true)) {
            int offset = FMargin;
            if (main) {
                const int levels = paint.contains(toFixedIndent)
                    ? 1
                    : int(FTree->GetNodeLevel(node)) + (paint.contains(toShowRoot) ? 1 : 0);
                offset += levels * FIndent;
                if (checks && node->CheckType() != TCheckType::ctNone)
                    offset += checkWidth;
            }
            if (FStateImages && HasImage(node, ikState, Column))
                offset += FStateImages->Width() + 2;
            if (FImages && HasImage(node, ikNormal, Column))
                offset += FImages->Width() + 2;
            // Margins an owner keeps around the content widen the cell.
            if (askMargins)
                offset += DoGetCellContentMargin(node, Column).x();
            result = std::max(result, offset + DoGetNodeWidth(node, Column));
        }
    }
    if (paint.contains(toShowVertGridLines))
        ++result;
    if (OnAfterGetMaxColumnWidth)
        OnAfterGetMaxColumnWidth(*this, Column, result);
    if (columns.IsValidColumn(Column)) {
        // Room for the caption and the sort glyph beside it.
        const QFontMetrics metrics(FHeader->Font());
        const TGridTreeColumn &column = columns[Column];
        result = std::max(result, metrics.horizontalAdvance(column.Text()) + 2 * column.Spacing() + 44);
    }
    return result;
}

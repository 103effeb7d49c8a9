#pragma once

#include "components/gui/GridTreeView.h"

#include <functional>

// A tree whose owner draws every cell's content itself (OnDrawNode) and says
// how wide it is (OnGetNodeWidth).
class TCustomDrawGridTree : public TGridTreeView {
    Q_OBJECT

public:
    using TGridTreeView::TGridTreeView;

    std::function<void(TCustomDrawGridTree &, const TGTPaintInfo &)> OnDrawNode;
    // NodeWidth starts at 2 x TextMargin.
    std::function<void(TCustomDrawGridTree &, QPainter &, TGridNode *, TColumnIndex, int &NodeWidth)>
        OnGetNodeWidth;
    std::function<void(TCustomDrawGridTree &, QPainter &, TGridNode *, TColumnIndex, TGTCellContentMarginType,
        QPoint &Margin)>
        OnGetCellContentMargin;
    // A node hint's size (left empty: no hint) and its painting.
    std::function<void(TCustomDrawGridTree &, TGridNode *, TColumnIndex, TRect &R)> OnGetHintSize;
    std::function<void(TCustomDrawGridTree &, QPainter &, TGridNode *, const TRect &R, TColumnIndex)>
        OnDrawHint;
    bool DoGetHintSize(TGridNode *Node, TColumnIndex Column, TRect &R) override;
    bool DoDrawHint(QPainter &Canvas, TGridNode *Node, const TRect &R, TColumnIndex Column) override;

protected:
    int DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas = nullptr) override;
    void DoPaintNode(TGTPaintInfo &PaintInfo) override;
    QPoint DoGetCellContentMargin(TGridNode *Node, TColumnIndex Column,
        TGTCellContentMarginType MarginType = ccmtAllSides, QPainter *Canvas = nullptr) override;
};

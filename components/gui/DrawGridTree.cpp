#include "components/gui/DrawGridTree.h"

#include <QPainter>

int TCustomDrawGridTree::DoGetNodeWidth(TGridNode *Node, TColumnIndex Column, QPainter *Canvas)
{
    int width = 2 * TextMargin();
    if (OnGetNodeWidth)
        OnGetNodeWidth(*this, Canvas ? *Canvas : MeasureCanvas(), Node, Column, width);
    return width;
}

void TCustomDrawGridTree::DoPaintNode(TGTPaintInfo &PaintInfo)
{
    if (OnDrawNode)
        OnDrawNode(*this, PaintInfo);
}

QPoint TCustomDrawGridTree::DoGetCellContentMargin(
    TGridNode *Node, TColumnIndex Column, TGTCellContentMarginType MarginType, QPainter *Canvas)
{
    QPoint margin;
    if (OnGetCellContentMargin)
        OnGetCellContentMargin(*this, Canvas ? *Canvas : MeasureCanvas(), Node, Column, MarginType, margin);
    return margin;
}

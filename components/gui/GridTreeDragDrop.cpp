// Drag and drop: the tree as the source and as the target of drags.
#include "components/gui/GridTreeView.h"

void TGridTreeView::ForgetMovedNodes()
{
    FDragNodesMoved = true;
    FDragSelection.clear();
}

bool TGridTreeView::Dragging() const
{
    return FViewStates.contains(tsOLEDragPending) || FViewStates.contains(tsOLEDragging)
        || FViewStates.contains(tsVCLDragging);
}

bool TGridTreeView::DoBeforeDrag(TGridNode *, TColumnIndex)
{
    return false;
}

void TGridTreeView::BeginDrag(bool, int) { }

void TGridTreeView::DoDragging(QPoint) { }

// Drag and drop: the tree as the source and as the target of drags.
#include "components/gui/GridTreeView.h"

void TGridTreeView::ForgetMovedNodes()
{
    FDragNodesMoved = true;
    FDragSelection.clear();
}

#pragma once

#include "platform/gui/Rect.h"

#include <Qt>
#include <vector>

class TGridNode;

// The cursors over the header: a column splitter and the header's lower edge.
inline constexpr Qt::CursorShape crHeaderSplit = Qt::SplitHCursor;
inline constexpr Qt::CursorShape crVertSplit = Qt::SplitVCursor;

// A * B / C rounded half away from zero; -1 for C = 0.
int MulDiv(int A, int B, int C);

// R with its edges swapped where needed, so that Left <= Right and Top <= Bottom.
TRect OrderRect(const TRect &R);

// Sorts TheArray[L..R] (both included) by node address, ascending: a stable order
// for sets of nodes that are cut, copied or selected. Does nothing for L >= R.
void QuickSort(std::vector<TGridNode *> &TheArray, int L, int R);

// Stores Value in Field; true when that changed it (the setters' pattern:
// act only on a change).
template <typename T> bool AssignChanged(T &Field, const T &Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

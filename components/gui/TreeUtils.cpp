#include "components/gui/TreeUtils.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>

TRect OrderRect(const TRect &R)
{
    return { std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
        std::max(R.Top, R.Bottom) };
}

void QuickSort(std::vector<TGridNode *> &TheArray, int L, int R)
{
    L = std::max(L, 0);
    R = std::min(R, int(TheArray.size()) - 1);
    if (L >= R)
        return;
    // std::less gives pointers a total order even where < would not.
    std::sort(TheArray.begin() + L, TheArray.begin() + R + 1, std::less<TGridNode *>());
}

int MulDiv(int A, int B, int C)
{
    if (C == 0)
        return -1;
    const int64_t p = int64_t(A) * B;
    const int64_t c = std::llabs(C);
    const int64_t q = (std::llabs(p) * 2 + c) / (2 * c);
    return int((p < 0) != (C < 0) ? -q : q);
}

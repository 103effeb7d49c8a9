#include "platform/gui/DirtyArea.h"

bool TDirtyArea::Covers(const QRect &rect) const
{
    // (QRegion::contains answers whether they overlap.)
    if (!FRegion.boundingRect().contains(rect))
        return false;
    return QRegion(rect).subtracted(FRegion).isEmpty();
}

QRect TDirtyArea::Add(const QRect &rect)
{
    if (rect.isEmpty() || Covers(rect))
        return {};
    FRegion += rect;
    if (FRegion.rectCount() <= kMaxRects)
        return rect;
    const QRect box = FRegion.boundingRect();
    FRegion = box;
    return box;
}

// Clicking the check box of an entry of a column check list, where the tree puts it.
#pragma once

#include "components/gui/HitTestTypes.h"
#include "dialogs/print/ColumnCheckList.h"

#include <QTest>
#include <gtest/gtest.h>

namespace printtest {

// The middle of entry `index`'s check box in the list's client area; (-1, -1) when
// the row shows none.
inline QPoint CheckBoxOf(TColumnCheckList &list, int index)
{
    const TRect row = list.GetDisplayRect(list.Node(index), NoColumn, false);
    const int y = (row.Top + row.Bottom) / 2;
    for (int x = row.Left; x < row.Right; ++x) {
        THitInfo hit;
        list.GetHitTestInfoAt(x, y, true, hit);
        if (hit.HitNode == list.Node(index) && hit.HitPositions.contains(hiOnItemCheckbox)) {
            int last = x;
            for (THitInfo next; last + 1 < row.Right; ++last) {
                list.GetHitTestInfoAt(last + 1, y, true, next);
                if (!next.HitPositions.contains(hiOnItemCheckbox))
                    break;
            }
            return { (x + last) / 2, y };
        }
    }
    return { -1, -1 };
}

inline void ClickCheckBox(TColumnCheckList &list, int index)
{
    const QPoint at = CheckBoxOf(list, index);
    ASSERT_GE(at.x(), 0) << "no check box on entry " << index;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
}

} // namespace printtest

// Clicking the check box of a tree's node (of an entry of a column check list),
// where the tree puts it.
#pragma once

#include "components/gui/HitTestTypes.h"
#include "dialogs/print/ColumnCheckList.h"

#include <QTest>
#include <gtest/gtest.h>

namespace printtest {

// The middle of a node's check box in a tree's client area; (-1, -1) when the
// row shows none.
inline QPoint CheckBoxOf(TGridTreeView &tree, TGridNode *node)
{
    const TRect row = tree.GetDisplayRect(node, NoColumn, false);
    const int y = (row.Top + row.Bottom) / 2;
    for (int x = row.Left; x < row.Right; ++x) {
        THitInfo hit;
        tree.GetHitTestInfoAt(x, y, true, hit);
        if (hit.HitNode == node && hit.HitPositions.contains(hiOnItemCheckbox)) {
            int last = x;
            for (THitInfo next; last + 1 < row.Right; ++last) {
                tree.GetHitTestInfoAt(last + 1, y, true, next);
                if (!next.HitPositions.contains(hiOnItemCheckbox))
                    break;
            }
            return { (x + last) / 2, y };
        }
    }
    return { -1, -1 };
}

inline QPoint CheckBoxOf(TColumnCheckList &list, int index)
{
    return CheckBoxOf(list, list.Node(index));
}

inline void ClickCheckBox(TGridTreeView &tree, TGridNode *node)
{
    const QPoint at = CheckBoxOf(tree, node);
    ASSERT_GE(at.x(), 0) << "no check box on the node";
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
}

inline void ClickCheckBox(TColumnCheckList &list, int index)
{
    ClickCheckBox(list, list.Node(index));
}

} // namespace printtest

#pragma once

// The node store's bookkeeping recomputed from its links alone, for tests and
// fuzz targets that feed it outside data.

#include "components/BaseGridTree.h"

#include <QString>
#include <functional>

namespace testsupport {

// The first of counts, heights, indexes, links, the visible count, the
// hidden-children flags and the selected count that disagrees with the
// structure; empty when all agree.
inline QString GridTreeInconsistency(TBaseGridTree &tree)
{
    uint32_t shown = 0;
    int selected = 0;
    QString fault;
    const std::function<void(TGridNode *, bool)> check = [&](TGridNode *node, bool childrenShown) {
        uint32_t count = 1, index = 0;
        uint64_t height = node->NodeHeight();
        bool anyVisible = false;
        TGridNode *prev = nullptr;
        for (TGridNode *c = node->FirstChild(); c && fault.isEmpty();
             prev = c, c = c->NextSibling(), ++index) {
            if (c->Parent() != node || c->PrevSibling() != prev || c->Index() != index)
                fault = QStringLiteral("links of child %1").arg(index);
            selected += c->Has(vsSelected);
            const bool visible = tree.IsEffectivelyVisible(c);
            anyVisible |= visible;
            shown += visible && childrenShown;
            check(c, childrenShown && visible && c->Has(vsExpanded));
            count += c->TotalCount();
            height += visible && node->Has(vsExpanded) ? c->TotalHeight() : 0;
        }
        if (!fault.isEmpty())
            return;
        if (node->LastChild() != prev || node->ChildCount() != index)
            fault = QStringLiteral("child count %1").arg(node->ChildCount());
        else if (node->TotalCount() != count)
            fault = QStringLiteral("total count %1, counted %2").arg(node->TotalCount()).arg(count);
        else if (node->TotalHeight() != height)
            fault = QStringLiteral("total height %1, added up %2").arg(node->TotalHeight()).arg(height);
        else if (index > 0 && node != tree.RootNode() && node->Has(vsAllChildrenHidden) == anyVisible)
            fault = QStringLiteral("hidden-children flag");
    };
    check(tree.RootNode(), true);
    if (fault.isEmpty() && tree.VisibleCount() != shown)
        fault = QStringLiteral("visible count %1, counted %2").arg(tree.VisibleCount()).arg(shown);
    if (fault.isEmpty() && tree.SelectedCount() != selected)
        fault = QStringLiteral("selected count %1, counted %2").arg(tree.SelectedCount()).arg(selected);
    return fault;
}

} // namespace testsupport

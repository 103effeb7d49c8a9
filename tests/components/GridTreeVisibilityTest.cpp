// Hiding, expanding and collapsing: the flags and events the walks and the view rely on.
#include "components/BaseGridTree.h"

#include <gtest/gtest.h>

TEST(GridTreeVisibility, NextVisibleFromInsideCollapsedSubtree)
{
    TBaseGridTree tree;
    TGridNode *a = tree.AddChild(nullptr);
    TGridNode *inner = tree.AddChild(tree.AddChild(a));
    TGridNode *b = tree.AddChild(nullptr);
    tree.ToggleNode(a); // a open, its child closed
    EXPECT_EQ(tree.GetNextVisible(inner), b);
    EXPECT_EQ(tree.GetPreviousVisible(inner), a->FirstChild());
}

// Children given on demand: none at all vetoes the expand, and a collapse that
// frees them asks for them again at the next expand.
TEST(GridTreeVisibility, ChildrenOnDemandAreAskedForAtEveryExpand)
{
    TBaseGridTree tree;
    tree.SetAutoOptions(tree.AutoOptions() + TGTAutoOptions { toAutoFreeOnCollapse });
    int asked = 0, expanding = 0, expanded = 0;
    tree.OnInitNode = [](TBaseGridTree &, TGridNode *parent, TGridNode *, TGridNodeInitStates &s) {
        if (parent == nullptr)
            s.include(ivsHasChildren);
    };
    tree.OnInitChildren = [&](TBaseGridTree &, TGridNode *node, uint32_t &count) {
        ++asked;
        count = node->Index() == 0 ? 0 : 4;
    };
    tree.OnExpanding = [&](TBaseGridTree &, TGridNode *, bool &) { ++expanding; };
    tree.OnExpanded = [&](TBaseGridTree &, TGridNode *) { ++expanded; };
    tree.SetRootNodeCount(2);
    TGridNode *empty = tree.GetFirst();
    tree.ToggleNode(empty);
    EXPECT_EQ(expanding, 1);
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(empty->Has(vsExpanded));
    EXPECT_FALSE(empty->Has(vsHasChildren));

    TGridNode *node = empty->NextSibling();
    tree.ToggleNode(node);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(tree.VisibleCount(), 6u);
    tree.ToggleNode(node);
    EXPECT_EQ(node->ChildCount(), 0u);
    EXPECT_TRUE(node->Has(vsHasChildren));
    EXPECT_EQ(tree.VisibleCount(), 2u);
    tree.ToggleNode(node);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(node->ChildCount(), 4u);
    EXPECT_EQ(tree.RootNode()->TotalHeight(), 18u * 7);
}

TEST(GridTreeVisibility, VetoedCollapseKeepsEverything)
{
    TBaseGridTree tree;
    TGridNode *parent = tree.AddChild(nullptr);
    tree.AddChild(parent);
    tree.ToggleNode(parent);
    tree.OnCollapsing = [](TBaseGridTree &, TGridNode *, bool &allowed) { allowed = false; };
    tree.FullCollapse();
    EXPECT_TRUE(parent->Has(vsExpanded));
    EXPECT_EQ(tree.VisibleCount(), 2u);
}

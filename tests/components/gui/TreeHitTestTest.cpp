// What lies under a point of a shown string tree. Every text measures 40
// pixels (plus 2 x 4 text margin: 48), rows are 18 high, the indent 18, the
// margin 4, check and node images 16 wide (+2 each). A top-level node with
// the root shown starts its text at 18 (indent) + 4 + 18 (check) + 18 (image)
// = 58.
#include "components/gui/ImageList.h"
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <gtest/gtest.h>

using namespace treetest;

namespace {

struct HitTree {
    TStringGridTree view;
    TImageList images;
    TGridNode *parent = nullptr, *child = nullptr;

    HitTree()
    {
        view.OnMeasureTextWidth = [](TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex,
                                      const QString &, int &Extent) { Extent = 40; };
        view.SetCheckImageKind(ckDarkCheck);
        TGTMiscOptions misc = view.TreeOptions().MiscOptions();
        misc.include(toCheckSupport);
        view.TreeOptions().SetMiscOptions(misc);
        images.Add(QImage(16, 16, QImage::Format_ARGB32));
        view.SetImages(&images);
        view.OnGetImage
            = [](TGridTreeView &, TGridNode *, TGTImageKind Kind, TColumnIndex Column, bool &, int &Index) {
                  if (Kind == ikNormal && Column <= 0)
                      Index = 0;
              };
        parent = view.Tree()->AddChild(nullptr);
        child = view.Tree()->AddChild(parent);
        view.Tree()->ToggleNode(parent);
        view.Tree()->SetCheckType(parent, TCheckType::ctCheckBox);
        ShowTree(view, 300, 100);
    }

    THitInfo At(int X, int Y)
    {
        THitInfo hit;
        view.GetHitTestInfoAt(X, Y, true, hit);
        return hit;
    }
};

THitPositions Positions(std::initializer_list<THitPosition> Items)
{
    return THitPositions(Items);
}

} // namespace

TEST(TreeHitTest, PartsOfARowFromLeftToRight)
{
    HitTree t;
    EXPECT_EQ(t.At(2, 5).HitPositions, Positions({ hiOnItem, hiOnItemButton }));
    EXPECT_EQ(t.At(12, 5).HitPositions, Positions({ hiOnItem, hiOnItemButton, hiOnItemButtonExact }));
    EXPECT_EQ(t.At(20, 5).HitPositions, Positions({ hiOnItem, hiOnItemCheckbox }));
    EXPECT_EQ(t.At(39, 5).HitPositions, Positions({ hiOnItem, hiOnItemCheckbox }));
    EXPECT_EQ(t.At(40, 5).HitPositions, Positions({ hiOnItem, hiOnNormalIcon }));
    EXPECT_EQ(t.At(58, 5).HitPositions, Positions({ hiOnItem, hiOnItemLabel }));
    EXPECT_EQ(t.At(105, 5).HitPositions, Positions({ hiOnItem, hiOnItemLabel }));
    EXPECT_EQ(t.At(106, 5).HitPositions, Positions({ hiOnItem, hiOnItemRight }));
    EXPECT_EQ(t.At(106, 5).HitNode, t.parent);
    EXPECT_EQ(t.At(106, 5).HitColumn, NoColumn);

    // The child (one level deeper, no check box): its indent is no button.
    EXPECT_EQ(t.At(30, 20).HitPositions, Positions({ hiOnItem, hiOnItemIndent }));
    EXPECT_EQ(t.At(40, 20).HitPositions, Positions({ hiOnItem, hiOnNormalIcon }));
    EXPECT_EQ(t.At(58, 20).HitPositions, Positions({ hiOnItem, hiOnItemLabel }));
    EXPECT_EQ(t.At(30, 20).HitNode, t.child);

    // With a fixed indent every level is indented once.
    AddPaintOptions(t.view, { toFixedIndent });
    EXPECT_EQ(t.At(20, 20).HitPositions, Positions({ hiOnItem, hiOnNormalIcon }));
}

TEST(TreeHitTest, TheLabelsSidesFollowTheAlignment)
{
    HitTree t;
    // Right: the text ends at the row's right edge (300).
    t.view.SetAlignment(taRightJustify);
    EXPECT_TRUE(t.At(251, 5).HitPositions.contains(hiOnItemLeft));
    EXPECT_TRUE(t.At(252, 5).HitPositions.contains(hiOnItemLabel));
    // Centred between 58 and 300: from (58 + 300 - 48) div 2 = 155 to 203.
    t.view.SetAlignment(taCenter);
    EXPECT_TRUE(t.At(154, 5).HitPositions.contains(hiOnItemLeft));
    EXPECT_TRUE(t.At(155, 5).HitPositions.contains(hiOnItemLabel));
    EXPECT_TRUE(t.At(202, 5).HitPositions.contains(hiOnItemLabel));
    EXPECT_TRUE(t.At(203, 5).HitPositions.contains(hiOnItemRight));
}

TEST(TreeHitTest, OutsideTheRowsAndNodeHeightEdges)
{
    HitTree t;
    THitInfo below = t.At(50, 60);
    EXPECT_EQ(below.HitPositions, Positions({ hiNowhere }));
    EXPECT_EQ(below.HitNode, nullptr);
    THitInfo left = t.At(-1, 5);
    EXPECT_EQ(left.HitPositions, Positions({ hiToLeft }));
    EXPECT_EQ(left.HitNode, nullptr);
    EXPECT_EQ(t.At(50, -3).HitPositions, Positions({ hiAbove }));

    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toNodeHeightResize);
    t.view.TreeOptions().SetMiscOptions(misc);
    // Within 1 pixel of a row's top, within 3 of its bottom.
    EXPECT_TRUE(t.At(80, 19).HitPositions.contains(hiUpperSplitter));
    EXPECT_FALSE(t.At(80, 20).HitPositions.contains(hiUpperSplitter));
    EXPECT_TRUE(t.At(80, 15).HitPositions.contains(hiLowerSplitter));
    EXPECT_FALSE(t.At(80, 14).HitPositions.contains(hiLowerSplitter));
}

TEST(TreeHitTest, ColumnsAndReportMode)
{
    HitTree t;
    AddColumns(t.view, { 150, 100 });
    // Column 1 is no main column: its text (4 margin + 48) is a label...
    THitInfo hit = t.At(160, 5);
    EXPECT_EQ(hit.HitColumn, 1);
    EXPECT_EQ(hit.HitPositions, Positions({ hiOnItem, hiOnItemLabel }));
    EXPECT_TRUE(t.At(210, 5).HitPositions.contains(hiOnItemRight));
    // ... but only a row in report mode.
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toReportMode);
    t.view.TreeOptions().SetMiscOptions(misc);
    EXPECT_EQ(t.At(160, 5).HitPositions, Positions({ hiOnItem }));
    // Right of the columns no column: nowhere.
    hit = t.At(260, 5);
    EXPECT_EQ(hit.HitColumn, InvalidColumn);
    EXPECT_TRUE(hit.HitPositions.contains(hiNowhere));
}

TEST(TreeHitTest, ItemQueriesOfOutsideTools)
{
    HitTree t;
    t.view.OnGetText = [](TCustomStringGridTree &, TGridNode *, TColumnIndex, TGSTTextType, QString &Text) {
        Text = QStringLiteral("Parent");
    };
    EXPECT_EQ(t.view.TVMGetNextItem(tvgnRoot, nullptr), t.parent);
    EXPECT_EQ(t.view.TVMGetNextItem(tvgnChild, t.parent), t.child);
    EXPECT_EQ(t.view.TVMGetNextItem(tvgnParent, t.child), t.parent);
    EXPECT_EQ(t.view.TVMGetNextItem(tvgnParent, t.parent), nullptr);
    EXPECT_EQ(t.view.TVMGetNextItem(tvgnLastVisible, nullptr), t.child);

    char16_t one[1] = { u'x' };
    TTVItem item;
    item.Mask = TTVItem::tvifText | TTVItem::tvifState | TTVItem::tvifChildren;
    item.Node = t.parent;
    item.Text = one;
    item.TextMax = 1;
    ASSERT_TRUE(t.view.TVMGetItem(item));
    EXPECT_EQ(one[0], u'\0');
    EXPECT_EQ(item.Children, 1);
    EXPECT_EQ(item.State, unsigned(TTVItem::tvisExpanded));

    char16_t four[4] = {};
    item.Text = four;
    item.TextMax = 4;
    t.view.Tree()->SetSelected(t.parent, true);
    ASSERT_TRUE(t.view.TVMGetItem(item));
    EXPECT_EQ(std::u16string(four), u"Par");
    EXPECT_TRUE(item.State & TTVItem::tvisSelected);
}

// A shown string tree driven by real key events: moving the focus, Shift
// ranges, Ctrl scrolling, expanding, select all, Space on check boxes, help
// and the incremental search. Rows are 18 high in a client area 100 high.
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <set>

using namespace treetest;

namespace {

// Counts the beeps of searches that found nothing.
class TQuietTree : public TStringGridTree {
public:
    int Beeps = 0;

protected:
    void Beep() override { ++Beeps; }
};

struct KeyTree {
    TQuietTree view;
    std::vector<TGridNode *> rows;
    std::vector<QString> texts;

    explicit KeyTree(std::vector<QString> Texts, TGTSelectionOptions Selection = { toMultiSelect })
        : texts(std::move(Texts))
    {
        view.TreeOptions().SetSelectionOptions(Selection);
        view.OnGetText = [this](TCustomStringGridTree &, TGridNode *Node, TColumnIndex, TGSTTextType,
                             QString &Text) {
            Text = Node->Parent() == view.Tree()->RootNode() ? texts[Node->Index()] : QStringLiteral("child");
        };
        view.Tree()->SetRootNodeCount(uint32_t(texts.size()));
        for (TGridNode *n = view.Tree()->GetFirst(); n; n = n->NextSibling())
            rows.push_back(n);
        ShowTree(view, 200, 100);
        view.setFocus();
    }

    void Key(int K, Qt::KeyboardModifiers Mods = {}) { QTest::keyClick(&view, Qt::Key(K), Mods); }
    void Type(const char *Text) { QTest::keyClicks(&view, QString::fromLatin1(Text)); }
    int Focused() const
    {
        TGridNode *node = view.Tree()->FocusedNode();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == node)
                return int(i);
        return node ? -2 : -1;
    }
    std::set<int> Selected() const
    {
        std::set<int> result;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i]->Has(vsSelected))
                result.insert(int(i));
        return result;
    }
};

std::vector<QString> Numbered(int Count)
{
    std::vector<QString> texts;
    for (int i = 0; i < Count; ++i)
        texts.push_back(QStringLiteral("Row %1").arg(i));
    return texts;
}

} // namespace

TEST(TreeKeyboard, ArrowsPagesAndEndsMoveTheFocusAndSelection)
{
    KeyTree t(Numbered(30));
    t.Key(Qt::Key_Down);
    EXPECT_EQ(t.Focused(), 0);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0 }));
    t.Key(Qt::Key_Down);
    t.Key(Qt::Key_Down);
    EXPECT_EQ(t.Focused(), 2);
    EXPECT_EQ(t.Selected(), std::set<int>({ 2 }));
    t.Key(Qt::Key_Up);
    EXPECT_EQ(t.Selected(), std::set<int>({ 1 }));
    // A page: whole rows up to the client height (5 x 18 < 100).
    t.Key(Qt::Key_PageDown);
    EXPECT_EQ(t.Focused(), 6);
    t.Key(Qt::Key_PageUp);
    EXPECT_EQ(t.Focused(), 1);
    t.Key(Qt::Key_End);
    EXPECT_EQ(t.Focused(), 29);
    EXPECT_EQ(t.view.OffsetY(), 100 - 30 * 18);
    t.Key(Qt::Key_Home);
    EXPECT_EQ(t.Focused(), 0);
    EXPECT_EQ(t.view.OffsetY(), 0);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0 }));

    // Ctrl scrolls and leaves the focus where it is.
    t.Key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(t.view.OffsetY(), -18);
    t.Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(t.view.OffsetY(), -118);
    t.Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(t.view.OffsetY(), 100 - 30 * 18);
    t.Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(t.view.OffsetY(), 100 - 29 * 18);
    EXPECT_EQ(t.Focused(), 0);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0 }));
}

TEST(TreeKeyboard, ShiftGrowsAndShrinksTheRangeFromTheAnchor)
{
    KeyTree t(Numbered(30));
    t.Key(Qt::Key_Down);
    t.Key(Qt::Key_Down);
    t.Key(Qt::Key_Down);
    ASSERT_EQ(t.Selected(), std::set<int>({ 2 }));
    t.Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 3 }));
    t.Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 3, 4 }));
    t.Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 2, 3 }));
    t.Key(Qt::Key_Up, Qt::ShiftModifier);
    t.Key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 1, 2 }));
    // Shift+Home: everything from the anchor up.
    t.Key(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 0, 1, 2 }));
    // A plain key ends the range.
    t.Key(Qt::Key_Down);
    EXPECT_EQ(t.Selected(), std::set<int>({ 1 }));

    // Ctrl+A selects everything; Ctrl with the keypad's 1 does not.
    QTest::keyClick(&t.view, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(t.Selected(), std::set<int>({ 1 }));
    t.Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(int(t.Selected().size()), 30);
}

TEST(TreeKeyboard, KeysExpandCollapseAndWalkTheLevels)
{
    KeyTree t({ QStringLiteral("one"), QStringLiteral("two") });
    TBaseGridTree &tree = *t.view.Tree();
    TGridNode *child = tree.AddChild(t.rows[0]);
    tree.AddChild(child);
    t.Key(Qt::Key_Home);
    t.Key(Qt::Key_Right);
    EXPECT_TRUE(t.rows[0]->Has(vsExpanded));
    t.Key(Qt::Key_Right);
    EXPECT_EQ(tree.FocusedNode(), child);
    t.Key(Qt::Key_Left);
    EXPECT_EQ(t.Focused(), 0);
    t.Key(Qt::Key_Left);
    EXPECT_FALSE(t.rows[0]->Has(vsExpanded));
    // The plus typed on the main keyboard expands like the keypad's; "*" all below.
    QTest::keyClick(&t.view, '+');
    EXPECT_TRUE(t.rows[0]->Has(vsExpanded));
    QTest::keyClick(&t.view, '-');
    EXPECT_FALSE(t.rows[0]->Has(vsExpanded));
    QTest::keyClick(&t.view, '*');
    EXPECT_TRUE(t.rows[0]->Has(vsExpanded));
    EXPECT_TRUE(child->Has(vsExpanded));
    // Backspace without a search focuses the parent.
    t.Key(Qt::Key_Down);
    EXPECT_EQ(tree.FocusedNode(), child);
    t.Key(Qt::Key_Backspace);
    EXPECT_EQ(t.Focused(), 0);
}

TEST(TreeKeyboard, IncrementalSearchCyclesNarrowsAndTimesOut)
{
    KeyTree t({ QStringLiteral("Anna"), QStringLiteral("bert"), QStringLiteral("bob"),
        QStringLiteral("bruno"), QStringLiteral("carl"), QStringLiteral("bea") });
    t.view.SetIncrementalSearch(isAll);
    t.view.SetIncrementalSearchTimeout(60000);
    t.Key(Qt::Key_Home);
    // The same letter again moves on to the next row with it, round the end.
    t.Type("b");
    EXPECT_EQ(t.Focused(), 1);
    t.Type("b");
    EXPECT_EQ(t.Focused(), 2);
    t.Type("bb");
    EXPECT_EQ(t.Focused(), 5);
    t.Type("b");
    EXPECT_EQ(t.Focused(), 1);
    EXPECT_EQ(t.Selected(), std::set<int>({ 1 }));
    // Another letter narrows the search.
    t.Type("r");
    EXPECT_EQ(t.Focused(), 3);
    EXPECT_EQ(t.view.SearchBuffer(), QStringLiteral("br"));
    // Backspace shortens it; nothing found keeps the selection and beeps.
    t.Key(Qt::Key_Backspace);
    EXPECT_EQ(t.view.SearchBuffer(), QStringLiteral("b"));
    EXPECT_EQ(t.Focused(), 3);
    t.Type("z");
    EXPECT_EQ(t.Focused(), 3);
    EXPECT_EQ(t.Selected(), std::set<int>({ 3 }));
    EXPECT_EQ(t.view.Beeps, 1);
    // Case counts.
    t.view.SetIncrementalSearch(isNone);
    t.view.SetIncrementalSearch(isAll);
    t.Type("a");
    EXPECT_EQ(t.view.Beeps, 2);
    // After the timeout a new search starts.
    t.view.SetIncrementalSearch(isNone);
    t.view.SetIncrementalSearch(isAll);
    t.view.SetIncrementalSearchTimeout(20);
    t.Type("c");
    EXPECT_EQ(t.Focused(), 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.view.SearchBuffer().isEmpty(); }, 5000));
    t.Type("b");
    EXPECT_EQ(t.Focused(), 5);
}

TEST(TreeKeyboard, SpaceHeldOnACheckBoxChangesItOnRelease)
{
    KeyTree t(Numbered(3), {});
    TGTMiscOptions misc = t.view.TreeOptions().MiscOptions();
    misc.include(toCheckSupport);
    t.view.TreeOptions().SetMiscOptions(misc);
    TBaseGridTree &tree = *t.view.Tree();
    tree.SetCheckType(t.rows[0], TCheckType::ctCheckBox);
    tree.SetCheckType(t.rows[1], TCheckType::ctCheckBox);
    t.Key(Qt::Key_Home);
    QTest::keyPress(&t.view, Qt::Key_Space);
    EXPECT_EQ(t.rows[0]->CheckState(), csUncheckedPressed);
    QTest::keyRelease(&t.view, Qt::Key_Space);
    EXPECT_EQ(t.rows[0]->CheckState(), csCheckedNormal);
    // Another key while Space is held lets go of the box unchanged.
    QTest::keyPress(&t.view, Qt::Key_Space);
    t.Key(Qt::Key_Down);
    EXPECT_EQ(t.rows[0]->CheckState(), csCheckedNormal);
    QTest::keyRelease(&t.view, Qt::Key_Space);
    EXPECT_EQ(t.rows[0]->CheckState(), csCheckedNormal);
    EXPECT_EQ(t.rows[1]->CheckState(), csUncheckedNormal);
}

TEST(TreeKeyboard, F1AsksForTheNearestHelpContext)
{
    KeyTree t(Numbered(2));
    TGridNode *child = t.view.Tree()->AddChild(t.rows[1]);
    t.view.Tree()->ToggleNode(t.rows[1]);
    t.view.OnGetHelpContext = [&t](TGridTreeView &, TGridNode *Node, TColumnIndex, int &Context) {
        if (Node == t.rows[1])
            Context = 42;
    };
    QSignalSpy help(&t.view, &TGridTreeView::HelpRequested);
    t.view.Tree()->SetFocusedNode(child);
    t.Key(Qt::Key_F1);
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 42);
}

TEST(TreeKeyboard, TabMovesBetweenCellsWhenTheTreeWantsTabs)
{
    KeyTree t(Numbered(3), { toExtendedFocus });
    AddColumns(t.view, { 60, 60, 60 });
    t.view.SetWantTabs(true);
    t.Key(Qt::Key_Home);
    ASSERT_EQ(t.view.FocusedColumn(), 0);
    t.Key(Qt::Key_Tab);
    t.Key(Qt::Key_Tab);
    EXPECT_EQ(t.view.FocusedColumn(), 2);
    // Past the last column on into the next row.
    t.Key(Qt::Key_Tab);
    EXPECT_EQ(t.Focused(), 1);
    EXPECT_EQ(t.view.FocusedColumn(), 0);
    t.Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(t.Focused(), 0);
    EXPECT_EQ(t.view.FocusedColumn(), 2);
    EXPECT_TRUE(t.view.hasFocus());
}

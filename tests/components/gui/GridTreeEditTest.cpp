// In-place editing driven by real key and focus events on the editor: what
// reaches OnNewText, which events fire, where the editor sits, and what
// happens when its row goes while it is open.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringEditLink.h"
#include "tests/components/gui/CellTreeSupport.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace treetest;

namespace {

// An editable tree of three rows in columns of 100 and 60 pixels, recording
// the editing events.
struct TEditTree : TCellTree {
    QStringList events;

    TEditTree()
    {
        AddColumns(*this, { 100, 60 });
        for (int i = 0; i < 3; ++i)
            Add(nullptr, { QStringLiteral("row %1").arg(i), QStringLiteral("v%1").arg(i) });
        TreeOptions().SetMiscOptions(TreeOptions().MiscOptions() + TGTMiscOptions { toEditable });
        const auto newText = OnNewText;
        OnNewText = [this, newText](TCustomStringGridTree &Tree, TGridNode *Node, TColumnIndex Column,
                        const QString &Text) {
            events << QStringLiteral("new %1 %2").arg(Column).arg(Text);
            newText(Tree, Node, Column, Text);
        };
        OnEdited = [this](TGridTreeView &, TGridNode *Node, TColumnIndex Column) {
            events << QStringLiteral("edited %1 %2").arg(Cells(Node)[0]).arg(Column);
        };
        OnEditCancelled = [this](TGridTreeView &, TColumnIndex Column) {
            events << QStringLiteral("cancelled %1").arg(Column);
        };
        ShowTree(*this, 200, 100);
        activateWindow();
        setFocus();
    }
    TGridNode *RowNode(int Index) { return Row(*this, Index); }
    TGTEdit *Editor() const
    {
        auto *link = dynamic_cast<TStringEditLink *>(EditLink().get());
        return link ? link->Edit() : nullptr;
    }
};

} // namespace

TEST(GridTreeEdit, TypingAndReturnStoreTheTextEscapeCancels)
{
    TEditTree tree;
    ASSERT_TRUE(tree.EditNode(tree.RowNode(1), 1));
    TGTEdit *edit = tree.Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("v1"));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    // Already editing: nothing changes.
    EXPECT_TRUE(tree.EditNode(tree.RowNode(2), 0));
    EXPECT_EQ(tree.Tree()->FocusedNode(), tree.RowNode(1));

    // The text is selected: typing replaces it.
    QTest::keyClicks(edit, QStringLiteral("new"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.Cells(tree.RowNode(1))[1], QStringLiteral("new"));
    EXPECT_EQ(tree.events, QStringList({ "new 1 new", "edited row 1 1" }));
    EXPECT_EQ(QApplication::focusWidget(), &tree);

    // Escape: nothing stored.
    tree.events.clear();
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 0));
    QTest::keyClicks(tree.Editor(), QStringLiteral("x"));
    QTest::keyClick(tree.Editor(), Qt::Key_Escape);
    EXPECT_EQ(tree.events, QStringList({ "cancelled 0" }));
    EXPECT_EQ(tree.Cells(tree.RowNode(0))[0], QStringLiteral("row 0"));

    // Unchanged text: the edit ends, but no text goes to the owner.
    tree.events.clear();
    ASSERT_TRUE(tree.EditNode(tree.RowNode(2), 0));
    QTest::keyClick(tree.Editor(), Qt::Key_Return);
    EXPECT_EQ(tree.events, QStringList({ "edited row 2 0" }));
}

TEST(GridTreeEdit, MultiLineRowsTakeReturnAsALineBreak)
{
    TEditTree tree;
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 0));
    // One line: Up and Down move the caret sideways, Tab is swallowed.
    TGTEdit *edit = tree.Editor();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Tab);
    QTest::keyClicks(edit, QStringLiteral("-"));
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(tree.Cells(tree.RowNode(0))[0], QStringLiteral("row -0"));

    TGridNode *multi = tree.RowNode(1);
    tree.Tree()->OnInitNode
        = [multi](TBaseGridTree &, TGridNode *, TGridNode *Node, TGridNodeInitStates &States) {
              if (Node == multi)
                  States.include(ivsMultiline);
          };
    tree.Tree()->ReinitNode(multi, false);
    ASSERT_TRUE(tree.EditNode(tree.RowNode(1), 0));
    edit = tree.Editor();
    EXPECT_TRUE(edit->Multiline());
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("two"));
    EXPECT_TRUE(tree.IsEditing());
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.Cells(tree.RowNode(1))[0], QStringLiteral("row 1\ntwo"));
}

TEST(GridTreeEdit, LosingTheFocusAcceptsOrCancelsByOption)
{
    TEditTree tree;
    QLineEdit other(&tree);
    other.move(150, 80);
    other.show();
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 1));
    QTest::keyClicks(tree.Editor(), QStringLiteral("kept"));
    other.setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.Cells(tree.RowNode(0))[1], QStringLiteral("kept"));

    tree.StringTreeOptions().SetStringOptions(
        tree.StringTreeOptions().StringOptions() - TGTStringOptions { toAutoAcceptEditChange });
    tree.setFocus();
    tree.events.clear();
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 1));
    QTest::keyClicks(tree.Editor(), QStringLiteral("lost"));
    other.setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.Cells(tree.RowNode(0))[1], QStringLiteral("kept"));
    EXPECT_EQ(tree.events, QStringList({ "cancelled 1" }));
}

TEST(GridTreeEdit, EditorCoversTheCellTextWithinItsLimits)
{
    TEditTree tree;
    // Column 1 starts at 100; its text a margin (4) and a text margin (4) in.
    tree.Cells(tree.RowNode(0))[1] = QStringLiteral("a");
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 1));
    TRect bounds = tree.EditLink()->GetBounds();
    EXPECT_EQ(bounds.Left, 104);
    // A short text: the editor is 30 pixels wide all the same.
    EXPECT_EQ(bounds.Width(), 30);
    EXPECT_EQ(bounds.Top, 0);
    // Typing widens it with the text, up to the client's right edge.
    QTest::keyClicks(tree.Editor(), QStringLiteral("a much longer text than fits"));
    bounds = tree.EditLink()->GetBounds();
    EXPECT_EQ(bounds.Right, tree.ClientWidth());
    tree.CancelEditNode();

    // A second end or cancel on the same editor does nothing.
    ASSERT_TRUE(tree.EditNode(tree.RowNode(2), 0));
    const TGTEditLinkPtr link = tree.EditLink();
    ASSERT_TRUE(tree.EndEditNode());
    EXPECT_FALSE(link->EndEdit());
    EXPECT_FALSE(link->CancelEdit());

    // Rows scrolled: the editor follows its row.
    tree.SetDefaultNodeHeight(40);
    for (int i = 0; i < 6; ++i)
        tree.Add(nullptr, { QStringLiteral("more %1").arg(i) });
    ASSERT_TRUE(tree.EditNode(tree.RowNode(1), 0));
    const int top = tree.EditLink()->GetBounds().Top;
    tree.SetOffsetY(-20);
    QApplication::processEvents();
    EXPECT_EQ(tree.EditLink()->GetBounds().Top, top - 20);
}

TEST(GridTreeEdit, EditorGrowsWithTheTypedTextThenScrollsIt)
{
    TEditTree tree;
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 1));
    TGTEdit *edit = tree.Editor();
    const int left = tree.EditLink()->GetBounds().Left;
    const QString typed = QStringLiteral("The quick brown fox jumps over the lazy dog 123");
    ASSERT_EQ(typed.size(), 47);
    for (int i = 0; i < typed.size(); ++i) {
        // Each key as a user types it: the tree repaints between keys.
        QTest::keyClick(edit, typed[i].toLatin1());
        QApplication::processEvents();
        const QString text = typed.left(i + 1);
        const TRect bounds = tree.EditLink()->GetBounds();
        const int wanted = edit->fontMetrics().horizontalAdvance(text) + 2 * tree.TextMargin();
        EXPECT_EQ(bounds.Left, left) << i;
        EXPECT_EQ(bounds.Width(), std::min(std::max(wanted, 30), tree.ClientWidth() - left)) << i;
        // The caret stays inside the box, and a text that fits is shown from its start.
        const QRect caret = edit->cursorRect();
        EXPECT_TRUE(edit->viewport()->rect().contains(caret.center())) << i;
        if (wanted <= bounds.Width()) {
            EXPECT_EQ(edit->horizontalScrollBar()->value(), 0) << i;
        }
    }
    EXPECT_EQ(tree.EditLink()->GetBounds().Right, tree.ClientWidth());
    // The cell moving takes the editor along at the width of its text.
    tree.Header().Columns()[0].SetWidth(90);
    QApplication::processEvents();
    EXPECT_EQ(tree.EditLink()->GetBounds().Left, left - 10);
    EXPECT_EQ(tree.EditLink()->GetBounds().Right, tree.ClientWidth());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(tree.Cells(tree.RowNode(0))[1], typed);
}

TEST(GridTreeEdit, RefusalsLeaveTheTreeAsItWas)
{
    TEditTree tree;
    tree.Tree()->SetFocusedNode(tree.RowNode(0));
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + TGTMiscOptions { toReadOnly });
    EXPECT_FALSE(tree.EditNode(tree.RowNode(2), 0));
    EXPECT_EQ(tree.Tree()->FocusedNode(), tree.RowNode(0));
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() - TGTMiscOptions { toReadOnly });

    tree.OnEditing
        = [](TGridTreeView &, TGridNode *, TColumnIndex Column, bool &Allowed) { Allowed = Column != 1; };
    EXPECT_FALSE(tree.EditNode(tree.RowNode(1), 1));
    EXPECT_THROW(tree.EditNode(tree.RowNode(1), 2), EGridTreeAssertion);
    EXPECT_THROW(tree.EditNode(nullptr, 0), EGridTreeAssertion);

    // A handler that gives no editor.
    tree.OnCreateEditor = [](TGridTreeView &, TGridNode *, TColumnIndex, TGTEditLinkPtr &) {};
    try {
        tree.EditNode(tree.RowNode(1), 0);
        ADD_FAILURE() << "no error";
    } catch (const EGridTreeError &Error) {
        EXPECT_EQ(Error.Message(), QStringLiteral("Edit link must not be nil."));
        EXPECT_EQ(Error.HelpContext(), 2000);
    }
    EXPECT_FALSE(tree.IsEditing());
}

TEST(GridTreeEdit, DeletingTheEditedRowCancelsTheEdit)
{
    TEditTree tree;
    ASSERT_TRUE(tree.EditNode(tree.RowNode(1), 0));
    QTest::keyClicks(tree.Editor(), QStringLiteral("gone"));
    const QPointer<TGTEdit> edit = tree.Editor();
    tree.Tree()->DeleteNode(tree.RowNode(1));
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.events, QStringList({ "cancelled 0" }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(edit.isNull());

    // The same for a row below one that goes, and when the tree is cleared.
    TGridNode *child = tree.Add(tree.RowNode(0), { "child" });
    tree.Tree()->FullExpand();
    ASSERT_TRUE(tree.EditNode(child, 0));
    QTest::keyClicks(tree.Editor(), QStringLiteral("gone too"));
    tree.Tree()->DeleteNode(tree.RowNode(0));
    EXPECT_FALSE(tree.IsEditing());
    ASSERT_TRUE(tree.EditNode(tree.RowNode(0), 0));
    tree.Tree()->Clear();
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_FALSE(tree.events.join(u' ').contains(QStringLiteral("new")));
}

TEST(GridTreeEdit, ClickOnTheSelectedRowEditsAfterTheDelayF2AtOnce)
{
    TEditTree tree;
    tree.SetEditDelay(30);
    // Row 1's text in the main column: an indent of 18, margins of 4 and 4.
    const QPoint label(40, 18 + 9);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, label);
    EXPECT_EQ(tree.Tree()->FocusedNode(), tree.RowNode(1));
    EXPECT_FALSE(tree.ViewStates().contains(tsEditPending));
    // A second click on the selected, focused row starts the edit timer.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, label);
    EXPECT_TRUE(tree.ViewStates().contains(tsEditPending));
    EXPECT_FALSE(tree.IsEditing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree.IsEditing(); }, 5000));
    EXPECT_EQ(tree.EditColumn(), 0);
    EXPECT_EQ(tree.Editor()->toPlainText(), QStringLiteral("row 1"));
    QTest::keyClick(tree.Editor(), Qt::Key_Escape);

    // F2 edits the focused cell at once.
    QTest::keyClick(&tree, Qt::Key_F2);
    ASSERT_TRUE(tree.IsEditing());
    QTest::keyClicks(tree.Editor(), QStringLiteral("renamed"));
    QTest::keyClick(tree.Editor(), Qt::Key_Return);
    EXPECT_EQ(tree.Cells(tree.RowNode(1))[0], QStringLiteral("renamed"));

    // Without toEditable neither starts an edit.
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() - TGTMiscOptions { toEditable });
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, label);
    QTest::keyClick(&tree, Qt::Key_F2);
    // Time passing is the point: no edit starts, also once the edit timer would have run out.
    QTest::qWait(60);
    EXPECT_FALSE(tree.IsEditing());
}

// The keyboard's way through the main window: Tab from the task table reaches
// the editor's first field at once, not after every control of the tool bar.
#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "controls/CompletingComboBox.h"
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "tests/mainwindow/MainWindowTestSupport.h"

using mainwindowtest::EditorTest;

TEST_F(EditorTest, TabFromTheTaskTableGoesToTheEditorsFirstField)
{
    TNodeData *a = task("a", "first");
    task("b", "second");
    Probe(*form).PageControl1Change();
    select({ a });
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    tree.setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(tree.hasFocus());
    const TEditorScrollBox &fields = editor->EditorScrollBox();
    ASSERT_NE(fields.FirstField(), nullptr);
    ASSERT_TRUE(fields.FirstField()->isVisible());
    QTest::keyClick(&tree, Qt::Key_Tab);
    const QWidget *focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == fields.FirstField() || (focused && fields.FirstField()->isAncestorOf(focused)))
        << (focused ? focused->metaObject()->className() : "none");
}

// The colour box of the editor is no editor of a list: when it loses the focus to
// a sort by a header click, Qt has nothing to warn of (the fixture fails on any
// warning).
TEST_F(EditorTest, TheColourBoxLosingTheFocusToASortWarnsOfNothing)
{
    TNodeData *a = task("a", "first");
    task("b", "second", "01.03.2024");
    Probe(*form).PageControl1Change();
    select({ a });
    const TEditorRow *state = editor->EditorScrollBox().RowOf(doc->GetConnection(tbTable, cnColor));
    ASSERT_TRUE(state && state->Combo);
    state->Combo->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(state->Combo->hasFocus());
    TStringGridTree &tree = Probe(*form).Tree(tbTable);
    int left = 0, right = 0;
    tree.Header().Columns().GetColumnBounds(1, left, right);
    QTest::mouseClick(
        &tree.HeaderWidget(), Qt::LeftButton, {}, QPoint(left + 30, tree.Header().Height() / 2));
    tree.setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(state->Combo->hasFocus());
}

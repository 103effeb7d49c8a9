// The keyboard's way through the main window: Tab from the task table reaches
// the editor's first field at once, not after every control of the tool bar.
#include "mainwindow/Editor.h"
#include "mainwindow/EditorScrollBox.h"
#include "tests/mainwindow/MainWindowTestSupport.h"

using mainwindowtest::EditorTest;

TEST_F(EditorTest, TabFromTheTaskTableGoesToTheEditorsFirstField)
{
    TNodeData *a = task("a", "first");
    task("b", "second");
    form->PageControl1Change();
    select({ a });
    TStringGridTree &tree = form->Tree(tbTable);
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

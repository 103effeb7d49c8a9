// The setup dialogs on a document of the basic layout, shown modally as the
// menu commands show them and driven by real mouse and key events.
#pragma once

#include "components/gui/GTHeader.h"
#include "components/gui/GridTreeColumns.h"
#include "components/gui/StringGridTree.h"
#include "dialogs/setup/gui/SetupDialogs.h"
#include "document/program/MessageDialog.h"
#include "tests/dialogs/setup/SetupTestSupport.h"
#include "tests/support/ModalWindows.h"

#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <functional>

namespace setupgui {

// The headless platform has no drag and drop of its own: this delivers a
// drag's events where a user would release it, as the platform's drag does
// (enter, move, then the drop when accepted; leave when refused).
struct DragTo {
    QWidget *target = nullptr;
    QPoint at;
    int *accepted = nullptr; // counts drops that were accepted

    Qt::DropAction operator()(QDrag &drag) const
    {
        if (!target)
            return Qt::IgnoreAction;
        const QPoint point = at.isNull() ? target->rect().center() : at;
        QDragEnterEvent enter(point, Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDragMoveEvent move(point, Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        if (enter.isAccepted())
            QCoreApplication::sendEvent(target, &move);
        if (!enter.isAccepted() || !move.isAccepted()) {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(target, &leave);
            return Qt::IgnoreAction;
        }
        QDropEvent drop(QPointF(point), Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        if (drop.isAccepted() && accepted)
            ++*accepted;
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
};

// A press on `from` and a move far enough to start a drag.
inline void DragFrom(QWidget *from, QPoint at)
{
    QTest::mousePress(from, Qt::LeftButton, {}, at);
    QTest::mouseMove(from, at + QPoint(4, 0));
    QTest::mouseMove(from, at + QPoint(30, 0));
    QTest::mouseRelease(from, Qt::LeftButton, {}, at + QPoint(30, 0));
}

// The row of a list as a user clicks it.
inline QPoint RowPoint(QTreeWidget &list, int row)
{
    return list.visualItemRect(list.topLevelItem(row)).center();
}

inline void ClickRow(QTreeWidget &list, int row)
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowPoint(list, row));
}

// A double click as the window system delivers it: a click, then the second
// press as a double click.
inline void DoubleClickRow(QTreeWidget &list, int row)
{
    ClickRow(list, row);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, RowPoint(list, row));
}

// A click on a tree-grid row's text in its first column.
inline void ClickNode(TGridTreeView &tree, TGridNode *node)
{
    const TRect text = tree.GetDisplayRect(node, 0, true);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
        QPoint((text.Left + text.Right) / 2, (text.Top + text.Bottom) / 2));
}

// Lines typed into a focused multi-line edit, Return between them.
inline void TypeLines(QWidget *edit, const QStringList &lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, lines[i]);
    }
}

// The shown popup menu's item with this text, clicked.
inline void ClickMenuItem(QMenu &menu, const QString &text)
{
    ASSERT_TRUE(menu.isVisible()) << "menu not shown";
    for (QAction *action : menu.actions()) {
        if (action->text() == text) {
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
            return;
        }
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}

inline QAction *MenuItem(QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// The texts a tree-grid list draws in its cells when it is painted, as drawn
// (a text that does not fit is cut to an ellipsis).
inline QStringList DrawnTexts(TStringGridTree &tree)
{
    QStringList drawn;
    auto saved = tree.OnDrawText;
    tree.OnDrawText = [&drawn](TCustomStringGridTree &, QPainter &, TGridNode *, TColumnIndex,
                          const QString &text, const TRect &, bool &) { drawn << text; };
    tree.grab();
    tree.OnDrawText = saved;
    return drawn;
}

// A font half as large again as the window's: what a screen of 144 dpi gives.
inline void EnlargeFont(QWidget &window)
{
    QFont font = window.font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    window.setFont(font);
}

// The dialogs over the fixture's document, its message dialogs scripted.
class SetupDialogTest : public SetupTest {
protected:
    TScriptedMessageDialogs messages;
    ScopedMessageDialogs scopedMessages { &messages };
    TSetupDialogs dialogs { transfer };

    // Fills the dialogs as a setup command does, then shows `dialog` modally
    // while `steps` run in it.
    template <typename T> void Show(T &dialog, std::function<void(T *)> steps)
    {
        dialogs.MainFormToSetupDialog();
        testsupport::WhenModal<T>(std::move(steps));
        dialog.exec();
    }
    static void Click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
};

} // namespace setupgui

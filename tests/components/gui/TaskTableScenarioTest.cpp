// A planner's table of 100,000 tasks as a string tree: shown, tasks selected,
// scrolled by the wheel and the scroll bar; the window is saved for a person to
// look at (pixels/task_table_*.png in the test folder).
#include "components/gui/GTColors.h"
#include "components/gui/StringGridTree.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <set>

using namespace treetest;
using testsupport::PixelAt;

namespace {

const QStringList Captions { "Nr.", "Task", "Position", "Start", "End", "Length" };
const QStringList Positions { "Machine 1", "Machine 2", "Assembly", "Paint shop", "Müller", "Weiß" };

QString TaskText(int Row, TColumnIndex Column)
{
    switch (Column) {
    case 0:
        return QString::number(Row + 1);
    case 1:
        return QStringLiteral("Order %1 frame revision").arg(40000 + Row * 7 % 9973);
    case 2:
        return Positions[Row % Positions.size()];
    case 3:
        return QStringLiteral("%1.%2.2024")
            .arg(Row % 28 + 1, 2, 10, QChar('0'))
            .arg(Row % 12 + 1, 2, 10, QChar('0'));
    case 4:
        return QStringLiteral("%1.%2.2024")
            .arg(Row % 27 + 2, 2, 10, QChar('0'))
            .arg(Row % 12 + 1, 2, 10, QChar('0'));
    default:
        return QStringLiteral("%1 d").arg(Row % 20 + 1);
    }
}

} // namespace

TEST(TaskTable, HundredThousandRowsPaintSelectAndScroll)
{
    TStringGridTree view;
    const int widths[] = { 50, 200, 90, 80, 80, 60 };
    for (int i = 0; i < Captions.size(); ++i) {
        TGridTreeColumn &column = view.Header().Columns().Add();
        column.SetText(Captions[i]);
        column.SetWidth(widths[i]);
        if (i == 0 || i == 5)
            column.SetAlignment(taRightJustify);
    }
    view.Header().SetOptions(view.Header().Options() + TGTHeaderOptions { hoVisible });
    RemovePaintOptions(view, { toShowRoot, toShowTreeLines });
    AddPaintOptions(view, { toShowHorzGridLines, toShowVertGridLines });
    view.TreeOptions().SetSelectionOptions({ toFullRowSelect, toMultiSelect });
    view.OnGetText = [](TCustomStringGridTree &, TGridNode *Node, TColumnIndex Column, TGSTTextType,
                         QString &Text) { Text = TaskText(int(Node->Index()), Column); };
    std::set<int> drawnRows;
    view.OnDrawText = [&drawnRows](TCustomStringGridTree &, QPainter &, TGridNode *Node, TColumnIndex,
                          const QString &, const TRect &, bool &) { drawnRows.insert(int(Node->Index())); };
    view.Tree()->SetRootNodeCount(100000);
    ShowTree(view, 640, 420, true);
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();

    // Select three tasks in a row and focus the middle one.
    TGridNode *first = Row(view, 3);
    view.Tree()->SelectNodes(first, first->NextSibling()->NextSibling(), false);
    view.Tree()->SetFocusedNode(first->NextSibling());
    EXPECT_EQ(view.Tree()->SelectedCount(), 3);
    QImage image = Screen(view);
    testsupport::SavePng(view.grab().toImage(), "task_table_top");
    // Row 4 (72 to 89) in the focused selection colour, row 7 not.
    const TColor selection = FromQColor(view.Colors().QtColor(TGTColors::FocusedSelectionColor));
    EXPECT_EQ(PixelAt(image, 30, 73), selection);
    EXPECT_NE(PixelAt(image, 30, 7 * 18 + 2), selection);
    EXPECT_EQ(*drawnRows.begin(), 0);

    // The wheel: three rows per notch, ten notches.
    for (int i = 0; i < 10; ++i) {
        const QPointF at(200, 200);
        QWheelEvent wheel(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &wheel);
    }
    EXPECT_EQ(view.OffsetY(), -30 * 18);
    drawnRows.clear();
    Screen(view);
    EXPECT_EQ(*drawnRows.begin(), 30);

    // The scroll bar's thumb dragged to the middle of the list.
    QScrollBar &bar = *view.verticalScrollBar();
    bar.setSliderDown(true);
    bar.setSliderPosition(bar.maximum() / 2);
    bar.setSliderDown(false);
    EXPECT_EQ(view.OffsetY(), -(bar.maximum() / 2));
    drawnRows.clear();
    image = Screen(view);
    testsupport::SavePng(view.grab().toImage(), "task_table_middle");
    EXPECT_EQ(*drawnRows.begin(), bar.maximum() / 2 / 18);
    // Only what is on screen is painted.
    EXPECT_LE(drawnRows.size(), 25u);
}

// The line between the selected entries of the two lists.
#include "dialogs/misc/ReorderEntriesDialog.h"

#include "tests/timechart/ChartPixelTest.h"
#include "timechart/CanvasPanel.h"

#include <QTest>
#include <QWheelEvent>

namespace {

class ReorderEntriesDialogTest : public testsupport::ChartPixelTest {
protected:
    void Click(TOwnerDrawList &list, int row)
    {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
    }

    // One notch of the wheel scrolls three rows.
    void WheelDown(TOwnerDrawList &list)
    {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, list.viewport()->mapToGlobal(at), {}, { 0, -120 }, Qt::NoButton, {},
            Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list.viewport(), &wheel);
    }
};

} // namespace

TEST_F(ReorderEntriesDialogTest, TheLineJoinsTheMiddlesOfTheSelectedRows)
{
    TReorderEntriesDialog dialog;
    EXPECT_EQ(dialog.size(), QSize(640, 480));
    dialog.resize(640, 150); // too low for all eleven roles: the list scrolls
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    TOwnerDrawList &roles = *dialog.connection();
    TOwnerDrawList &entries = *dialog.selectedconnection();
    EXPECT_EQ(roles.count(), 11);
    EXPECT_EQ(roles.ItemIndex(), 0); // selected when shown
    EXPECT_EQ(entries.ItemIndex(), -1);

    const int h = roles.ItemHeight();
    ASSERT_GT(h, 8);
    EXPECT_EQ(roles.visualItemRect(roles.item(1)).top() - roles.visualItemRect(roles.item(0)).top(), h);

    Click(roles, 4);
    WheelDown(roles);
    ASSERT_EQ(roles.TopIndex(), 3);
    EXPECT_EQ(roles.ItemIndex(), 4);
    entries.addItems({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") });
    Click(entries, 2);

    // Left end: row 4 with row 3 on top; right end: row 2 with row 0 on top.
    const int left = (4 - 3) * h + h / 2;
    const int right = 2 * h + h / 2;
    EXPECT_EQ(TReorderEntriesDialog::RowMiddle(roles), left);
    TCanvasPanel &panel = *dialog.CanvasPanel1();
    const QImage image = Keep(testsupport::RenderWidget(panel), "reorder");
    const int w = panel.width();
    const TColor highlight = ColorToRGB(clHighlight);
    const TColor face = ColorToRGB(clBtnFace);
    ExpectPixels(image, highlight, { { 1, left }, { w / 2, (left + right) / 2 }, { w - 2, right } });
    ExpectPixels(image, face, { { 1, left - 4 }, { 1, left + 4 }, { w - 2, right + 4 }, { w / 2, 2 } });
}

// The second list has no entries of its own: nothing to join, and no line may leave
// the panel towards "row -1"; the line appears once an entry is chosen.
TEST_F(ReorderEntriesDialogTest, NoLineWhileAListHasNoSelectedEntry)
{
    TReorderEntriesDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    TCanvasPanel &panel = *dialog.CanvasPanel1();
    const TColor highlight = ColorToRGB(clHighlight);
    const auto highlighted = [&](const QImage &image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += testsupport::PixelAt(image, x, y) == highlight;
        return count;
    };
    EXPECT_EQ(highlighted(Keep(testsupport::RenderWidget(panel), "reorder_empty")), 0);

    TOwnerDrawList &entries = *dialog.selectedconnection();
    entries.addItems({ QStringLiteral("A"), QStringLiteral("B") });
    EXPECT_EQ(highlighted(testsupport::RenderWidget(panel)), 0); // entries, none chosen yet
    Click(entries, 1);
    EXPECT_GT(highlighted(testsupport::RenderWidget(panel)), panel.width());
}

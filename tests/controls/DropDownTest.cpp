#include "controls/DropDown.h"

#include "controls/ControlErrors.h"
#include "controls/DateTimePopup.h"
#include "document/program/MessageDialog.h"
#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/PixelTest.h"

#include <QCalendarWidget>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// A parent window and a way to act while a popup's own loop runs.
class DropDown : public controlstest::GermanLocale {
protected:
    void SetUp() override
    {
        GermanLocale::SetUp();
        parent.setGeometry(0, 0, 400, 300);
        ASSERT_TRUE(controlstest::ShowActive(parent));
        workArea = FromQRect(parent.screen()->availableGeometry());
    }

    // Opens Popup at (X, Y) and runs Action in its loop once it has rolled in (at
    // once without AwaitShown). A popup still open after five seconds is closed
    // so that a failing test ends.
    void RollDown(TfmDropDown &Popup, int X, int Y, int Width, int Height, std::function<void()> Action,
        bool AwaitShown = true)
    {
        controlstest::WhileRolledDown(
            Popup, [&] { Popup.RollDownForm(&parent, X, Height, Width, Y); }, std::move(Action), AwaitShown);
    }

    // Opens Popup at (X, Y) with Width x Height and returns where it was placed.
    TRect PlaceOf(TfmDropDown &Popup, int X, int Y, int Width, int Height)
    {
        TRect placed;
        RollDown(Popup, X, Y, Width, Height, [&] {
            placed = FromQRect(Popup.geometry());
            Popup.CloseDropDown();
        });
        return placed;
    }

    // A click on the parent window as the window system delivers it.
    void ClickParent() { QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20)); }

    QWidget parent;
    TRect workArea;
};

QToolButton *MonthButton(const QCalendarWidget &Calendar, const char *Name)
{
    return Calendar.findChild<QToolButton *>(QString::fromLatin1(Name));
}

} // namespace

TEST_F(DropDown, WithoutParentItRefusesToOpen)
{
    TfmDropDown popup;
    try {
        popup.RollDownForm(nullptr, 10, 100, 100, 10);
        FAIL() << "opened without a parent";
    } catch (const EControlError &e) {
        EXPECT_EQ(e.Message(), "DropDownForm must have a parent form.");
    }
    EXPECT_FALSE(popup.RolledDownOnce());
}

TEST_F(DropDown, OpensBelowOrAboveThePointAndStaysOnTheWorkArea)
{
    TfmDropDown popup;
    EXPECT_EQ(PlaceOf(popup, 100, 100, 200, 150), Bounds(100, 100, 200, 150));
    EXPECT_EQ(popup.DropDownPosition(), ddpBelow);

    // 50 pixels above the work area's bottom a popup 150 high rolls up.
    const int y = workArea.Bottom - 50;
    EXPECT_EQ(PlaceOf(popup, 100, y, 200, 150), Bounds(100, y - 150, 200, 150));
    EXPECT_EQ(popup.DropDownPosition(), ddpAbove);
    // A point below the work area: the popup ends at the work area's bottom.
    EXPECT_EQ(
        PlaceOf(popup, 100, workArea.Bottom + 20, 200, 150), Bounds(100, workArea.Bottom - 150, 200, 150));

    // Too far right: moved left to the work area's right edge; -1 keeps the size.
    EXPECT_EQ(PlaceOf(popup, workArea.Right - 50, 100, -1, -1), Bounds(workArea.Right - 200, 100, 200, 150));
    EXPECT_EQ(popup.DropDownPosition(), ddpBelow);
}

TEST_F(DropDown, RollsInStripByStripWhileTheProgramRuns)
{
    // 100 pixels in 4 steps of 25.
    TfmDropDown popup;
    popup.SetAnimationResolution(4);
    popup.SetRollDownSpeed(30);
    QList<QRect> strips;
    TDropDownStates firstState;
    auto watch = [&] {
        firstState = popup.DropDownState();
        strips.append(popup.RolledInRect());
        EXPECT_TRUE(QTest::qWaitFor([&] { return popup.DropDownState() == ddsShown; }));
        strips.append(popup.RolledInRect());
        popup.CloseDropDown();
    };
    RollDown(popup, 50, 50, 200, 100, watch, false);
    EXPECT_EQ(firstState, ddsExpanding);
    EXPECT_EQ(strips, QList<QRect>({ QRect(0, 0, 200, 25), QRect(0, 0, 200, 100) }));
    EXPECT_EQ(popup.DropDownState(), ddsHidden);
    EXPECT_FALSE(popup.isVisible());

    // Above its point it grows from its lower edge.
    strips.clear();
    RollDown(popup, 50, workArea.Bottom - 10, 200, 100, watch, false);
    EXPECT_EQ(strips, QList<QRect>({ QRect(0, 75, 200, 25), QRect(0, 0, 200, 100) }));
}

TEST_F(DropDown, EscapeOrAClickOnTheParentCloses)
{
    TfmDropDown popup;
    RollDown(popup, 100, 100, 100, 100, [&] { QTest::keyClick(&popup, Qt::Key_Escape); });
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(popup.ModalResult(), mrNone);

    RollDown(popup, 100, 100, 100, 100, [&] { ClickParent(); });
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(popup.DropDownState(), ddsHidden);
}

TEST_F(DropDown, TheFreeEdgesResizeIt)
{
    TfmDropDown popup;
    QSize sized;
    RollDown(popup, 100, 100, 200, 150, [&] {
        // The bottom edge of a popup below its point, dragged 20 pixels down.
        QTest::mousePress(&popup, Qt::LeftButton, {}, QPoint(100, 147));
        QTest::mouseMove(&popup, QPoint(100, 167));
        QTest::mouseRelease(&popup, Qt::LeftButton, {}, QPoint(100, 167));
        sized = popup.size();
        // The grip in the bottom-right corner takes both directions.
        QTest::mousePress(&popup, Qt::LeftButton, {}, QPoint(192, 162));
        QTest::mouseMove(&popup, QPoint(202, 172));
        QTest::mouseRelease(&popup, Qt::LeftButton, {}, QPoint(202, 172));
        popup.CloseDropDown();
    });
    EXPECT_EQ(sized, QSize(200, 170));
    EXPECT_EQ(popup.size(), QSize(210, 180));
}

TEST_F(DropDown, DatePopupPicksADayAcrossMonths)
{
    TDateTimePopup popup;
    const TDateTime shown = EncodeDate(2024, 3, 5) + EncodeTime(10, 30, 0, 0);
    popup.SetDate(shown);
    QCalendarWidget &calendar = *popup.Calendar();
    bool stayedOpen = false;
    RollDown(popup, 100, 100, -1, -1, [&] {
        testsupport::SavePng(popup.grab().toImage(), "date_popup_march");
        QTest::mouseClick(MonthButton(calendar, "qt_calendar_nextmonth"), Qt::LeftButton);
        // Time passing is the point: a popup that would close on the click has done so.
        QTest::qWait(20);
        stayedOpen = popup.isVisible() && popup.DropDownState() == ddsShown;
        testsupport::SavePng(popup.grab().toImage(), "date_popup_april");
        controlstest::ClickDay(calendar, 17);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(calendar.monthShown(), 4);
    EXPECT_EQ(popup.ModalResult(), mrOk);
    EXPECT_TRUE(popup.DateChanged());
    EXPECT_EQ(popup.GetDate(), EncodeDate(2024, 4, 17));

    // Reused, and closed by a click elsewhere: no result from the earlier pick.
    RollDown(popup, 100, 100, -1, -1, [&] { ClickParent(); });
    EXPECT_EQ(popup.ModalResult(), mrNone);

    // Escape after paging cancels and keeps the date as it was set.
    popup.SetDate(shown);
    RollDown(popup, 100, 100, -1, -1, [&] {
        QTest::mouseClick(MonthButton(calendar, "qt_calendar_prevmonth"), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(popup.ModalResult(), mrCancel);
    EXPECT_FALSE(popup.DateChanged());
    EXPECT_EQ(popup.GetDate(), shown);
}

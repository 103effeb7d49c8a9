#include "controls/ScreenDocker.h"

#include "controls/ControlErrors.h"
#include "tests/controls/ControlsTestSupport.h"

#include <QScreen>
#include <QSignalSpy>
#include <memory>

namespace {

const TRect kWorkArea = Rect(0, 0, 1920, 1040);
const TScreenEdges kAllEdges = seLeft | seTop | seRight | seBottom;

// A 300 x 200 window with its top-left corner at (Left, Top).
TRect WindowAt(int Left, int Top)
{
    return Bounds(Left, Top, 300, 200);
}

TDockResult Dock(const TRect &Proposed, QPoint Delta = {}, TScreenEdges Edges = kAllEdges)
{
    return DockToEdges(Proposed, kWorkArea, Edges, 10, Delta);
}

} // namespace

TEST(ScreenDocker, EachEdgeSnapsFromEitherSideWithinTheDistance)
{
    struct Case {
        TRect proposed;
        TRect docked;
        QList<TScreenEdge> edges;
    };
    const Case cases[] = {
        { WindowAt(7, 400), WindowAt(0, 400), { seLeft } },
        { WindowAt(-10, 400), WindowAt(0, 400), { seLeft } },
        { WindowAt(800, 9), WindowAt(800, 0), { seTop } },
        { WindowAt(800, -4), WindowAt(800, 0), { seTop } },
        { WindowAt(1612, 400), WindowAt(1620, 400), { seRight } },
        { WindowAt(1630, 400), WindowAt(1620, 400), { seRight } },
        { WindowAt(800, 831), WindowAt(800, 840), { seBottom } },
        { WindowAt(800, 845), WindowAt(800, 840), { seBottom } },
        { WindowAt(1615, 835), WindowAt(1620, 840), { seRight, seBottom } },
        { WindowAt(11, 400), WindowAt(11, 400), {} },
        { WindowAt(1609, 400), WindowAt(1609, 400), {} },
    };
    for (const Case &c : cases) {
        const TDockResult r = Dock(c.proposed);
        EXPECT_EQ(r.Rect, c.docked) << c.proposed.Left << "," << c.proposed.Top;
        EXPECT_EQ(r.Edges, c.edges);
        EXPECT_EQ(r.Delta, c.docked.TopLeft() - c.proposed.TopLeft());
    }
    EXPECT_FALSE(Dock(WindowAt(7, 400), {}, seTop | seRight | seBottom).Snapped());
}

TEST(ScreenDocker, MovingOnBeyondTheDistanceReleasesTheWindow)
{
    // 8 pixels from the right edge: pulled flush.
    const TDockResult snapped = Dock(WindowAt(1612, 400));
    EXPECT_EQ(snapped.Rect.Right, 1920);
    EXPECT_EQ(snapped.Delta, QPoint(8, 0));
    // Dragged 3 pixels back the window's own place is 11 from the edge: released.
    const TDockResult released = Dock(OffsetRect(snapped.Rect, -3, 0), snapped.Delta);
    EXPECT_FALSE(released.Snapped());
    EXPECT_EQ(released.Rect.Right, 1909);
    EXPECT_EQ(released.Delta, QPoint(0, 0));
    // Dragged 2 back it is 10 away and still held.
    const TDockResult held = Dock(OffsetRect(snapped.Rect, -2, 0), snapped.Delta);
    EXPECT_EQ(held.Rect.Right, 1920);
    EXPECT_EQ(held.Delta, QPoint(10, 0));
    // A pull on one axis is dropped when the other axis snaps alone.
    const TDockResult other = Dock(WindowAt(800, 5), QPoint(8, 0));
    EXPECT_EQ(other.Rect, WindowAt(792, 0));
    EXPECT_EQ(other.Delta, QPoint(0, -5));
}

TEST(ScreenDocker, OneDockerPerWindowOnly)
{
    auto error = [](QWidget *Owner) {
        try {
            TScreenDocker docker(Owner);
        } catch (const EControlError &e) {
            return e.Message();
        }
        return QString();
    };
    QWidget window;
    EXPECT_EQ(error(new QWidget(&window)), "TScreenDocker can only be placed on a TForm.");
    EXPECT_EQ(error(nullptr), "TScreenDocker can only be placed on a TForm.");
    auto first = std::make_unique<TScreenDocker>(&window);
    EXPECT_EQ(error(&window), "Only one instance of TScreenDocker is allowed per form.");
    first.reset();
    EXPECT_EQ(error(&window), "");
}

TEST(ScreenDocker, AMovedWindowSnapsToTheScreenEdgeAndIsReleased)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 200, 150);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto *docker = new TScreenDocker(&window);
    docker->SetDockArea(daScreen);
    QSignalSpy docked(docker, &TScreenDocker::Docked);
    const TRect screen = FromQRect(window.screen()->geometry());

    // The right edge 8 pixels from the screen's right edge.
    window.move(screen.Right - 208, 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return FromQRect(window.frameGeometry()).Right == screen.Right; }));
    ASSERT_EQ(docked.count(), 1);
    EXPECT_EQ(docked.at(0).at(0).value<TScreenEdge>(), seRight);

    // Pulled 3 pixels back from there it is 11 pixels from the edge on its own.
    window.move(window.x() - 3, 100);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return FromQRect(window.frameGeometry()).Right == screen.Right - 11; }));
    EXPECT_EQ(docker->Delta(), QPoint(0, 0));

    // Inactive it leaves the window where it is put.
    docker->SetActive(false);
    window.move(screen.Right - 205, 100);
    // Time passing is the point: an active docker would have moved the window by now.
    QTest::qWait(20);
    EXPECT_EQ(FromQRect(window.frameGeometry()).Right, screen.Right - 5);
}

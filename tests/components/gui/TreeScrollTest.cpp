// Scrolling a shown tree by real events: the wheel with and without Shift and
// Ctrl, the scroll bars, bringing rows and columns into view, clamping, the
// panning started with the middle button and the animated expand. Rows are 18
// pixels high; the system scrolls 3 lines per wheel notch.
#include "components/gui/StringGridTree.h"
#include "components/gui/WheelPanning.h"
#include "tests/components/gui/TreeViewTestSupport.h"

#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <vector>

using namespace treetest;

namespace {

// 100 rows (1,800 pixels) and ten columns of 100 in a client area of 200 x 200.
void MakeBigTree(TGridTreeView &View, bool Bars = false)
{
    AddColumns(View, { 100, 100, 100, 100, 100, 100, 100, 100, 100, 100 });
    View.Tree()->SetRootNodeCount(100);
    ShowTree(View, 200, 200, Bars);
}

void Wheel(TGridTreeView &View, int Delta, Qt::KeyboardModifiers Keys = Qt::NoModifier)
{
    const QPointF at(50, 50);
    QWheelEvent event(at, View.viewport()->mapToGlobal(at), QPoint(), QPoint(0, Delta), Qt::NoButton, Keys,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(View.viewport(), &event);
}

QRect BarPart(QScrollBar &Bar, QStyle::SubControl Part)
{
    QStyleOptionSlider option;
    option.initFrom(&Bar);
    option.subControls = QStyle::SC_All;
    option.orientation = Bar.orientation();
    option.minimum = Bar.minimum();
    option.maximum = Bar.maximum();
    option.sliderPosition = Bar.sliderPosition();
    option.sliderValue = Bar.value();
    option.singleStep = Bar.singleStep();
    option.pageStep = Bar.pageStep();
    option.upsideDown = false;
    return Bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, Part, &Bar);
}

} // namespace

TEST(TreeScroll, WheelScrollsByLinesPagesAndSideways)
{
    ASSERT_EQ(QApplication::wheelScrollLines(), 3);
    TGridTreeView view;
    MakeBigTree(view);
    Wheel(view, -120);
    EXPECT_EQ(view.OffsetY(), -54);
    Wheel(view, 120);
    EXPECT_EQ(view.OffsetY(), 0);
    // Ctrl: a client height.
    Wheel(view, -120, Qt::ControlModifier);
    EXPECT_EQ(view.OffsetY(), -200);
    // Shift: sideways by the columns' average width per line.
    Wheel(view, -120, Qt::ShiftModifier);
    EXPECT_EQ(view.OffsetX(), -300);
    EXPECT_EQ(view.OffsetY(), -200);
    Wheel(view, -120, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(view.OffsetX(), -500);
    // Never beyond the ends.
    for (int i = 0; i < 20; ++i)
        Wheel(view, -360);
    EXPECT_EQ(view.OffsetY(), -1600);
    Wheel(view, -120, Qt::ShiftModifier);
    Wheel(view, -120, Qt::ShiftModifier);
    EXPECT_EQ(view.OffsetX(), -800);

    // A tree with nothing to scroll vertically scrolls sideways.
    TGridTreeView flat;
    AddColumns(flat, { 300, 300 });
    flat.Tree()->SetRootNodeCount(3);
    ShowTree(flat, 200, 200);
    Wheel(flat, -120);
    EXPECT_EQ(flat.OffsetY(), 0);
    EXPECT_EQ(flat.OffsetX(), -400);
}

TEST(TreeScroll, ScrollBarsStepPageAndDrag)
{
    TGridTreeView view;
    MakeBigTree(view, true);
    QScrollBar &bar = *view.verticalScrollBar();
    ASSERT_TRUE(bar.isVisible());
    const int client = view.ClientHeight();
    EXPECT_EQ(bar.maximum(), 1800 - client);
    EXPECT_EQ(bar.pageStep(), client);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(view.OffsetY(), -20);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarAddPage).center());
    EXPECT_EQ(view.OffsetY(), -20 - client);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, BarPart(bar, QStyle::SC_ScrollBarSubLine).center());
    EXPECT_EQ(view.OffsetY(), -client);
    EXPECT_EQ(bar.value(), client);

    // Dragging the thumb follows it and tracks until the release.
    const QPoint thumb = BarPart(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(&bar, thumb + QPoint(0, 40));
    EXPECT_TRUE(view.ViewStates().contains(tsThumbTracking));
    EXPECT_EQ(view.OffsetY(), -bar.sliderPosition());
    EXPECT_LT(view.OffsetY(), -client);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + QPoint(0, 40));
    EXPECT_FALSE(view.ViewStates().contains(tsThumbTracking));
    EXPECT_EQ(bar.value(), -view.OffsetY());

    // Keys on the bar: to the end and back to the start.
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.OffsetY(), client - 1800);
    bar.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(view.OffsetY(), 0);
}

TEST(TreeScroll, BarsShowForARangeOnly)
{
    TGridTreeView view;
    std::vector<std::pair<TScrollBarKind, bool>> shown;
    view.OnShowScrollbar = [&shown](TGridTreeView &, TScrollBarKind Bar, bool Show) {
        shown.push_back({ Bar, Show });
    };
    AddColumns(view, { 100 });
    view.Tree()->SetRootNodeCount(100);
    ShowTree(view, 200, 200, true);
    EXPECT_TRUE(view.verticalScrollBar()->isVisible());
    EXPECT_FALSE(view.horizontalScrollBar()->isVisible());
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), std::make_pair(sbVertical, true));

    view.Tree()->SetRootNodeCount(2);
    QApplication::processEvents();
    EXPECT_FALSE(view.verticalScrollBar()->isVisible());
    EXPECT_EQ(shown.back(), std::make_pair(sbVertical, false));

    // Always visible: shown, but without a range disabled.
    view.ScrollBarOptions().SetAlwaysVisible(true);
    EXPECT_TRUE(view.verticalScrollBar()->isVisible());
    EXPECT_FALSE(view.verticalScrollBar()->isEnabled());
}

TEST(TreeScroll, RowsAndColumnsAreBroughtIntoView)
{
    TGridTreeView view;
    MakeBigTree(view);
    TGridNode *fifty = Row(view, 50);
    // Row 50 spans 900 to 918: brought up to the bottom edge.
    EXPECT_TRUE(view.ScrollIntoView(fifty, false));
    EXPECT_EQ(view.OffsetY(), 200 - 918);
    EXPECT_FALSE(view.ScrollIntoView(fifty, false));
    EXPECT_EQ(view.OffsetY(), 200 - 918);
    // Centred: its bottom at the middle.
    EXPECT_TRUE(view.ScrollIntoView(fifty, true));
    EXPECT_EQ(view.OffsetY(), 100 - 918);
    // A row above the client area comes to its top.
    EXPECT_TRUE(view.ScrollIntoView(Row(view, 2), false));
    EXPECT_EQ(view.OffsetY(), -36);
    // The last row cannot be centred: clamped.
    view.ScrollIntoView(Row(view, 99), true);
    EXPECT_EQ(view.OffsetY(), -1600);

    // Columns: the right edge to the client's right edge, or centred.
    EXPECT_TRUE(view.ScrollIntoView(5, false));
    EXPECT_EQ(view.OffsetX(), -400);
    EXPECT_TRUE(view.ScrollIntoView(2, true));
    EXPECT_EQ(view.OffsetX(), -150);
    EXPECT_TRUE(view.ScrollIntoView(0, false));
    EXPECT_EQ(view.OffsetX(), 0);

    // A row in a collapsed branch opens it.
    view.Tree()->SetChildCount(Row(view, 3), 2);
    TGridNode *child = Row(view, 3)->FirstChild();
    ASSERT_FALSE(Row(view, 3)->Has(vsExpanded));
    view.ScrollIntoView(child, false);
    EXPECT_TRUE(Row(view, 3)->Has(vsExpanded));
    EXPECT_EQ(view.GetDisplayRect(child, NoColumn, false).Top, 72 + view.OffsetY());
}

TEST(TreeScroll, OffsetsClampAndReportOnlyChanges)
{
    TGridTreeView view;
    MakeBigTree(view);
    std::vector<std::pair<int, int>> scrolls;
    view.OnScroll = [&scrolls](TGridTreeView &, int DX, int DY) { scrolls.push_back({ DX, DY }); };
    view.SetOffsetY(-100000);
    EXPECT_EQ(view.OffsetY(), -1600);
    view.SetOffsetY(-1600);
    view.SetOffsetY(-5000);
    view.SetOffsetX(50);
    view.SetOffsetY(25);
    EXPECT_EQ(view.OffsetY(), 0);
    EXPECT_EQ(scrolls, (std::vector<std::pair<int, int>> { { 0, -1600 }, { 0, 1600 } }));
    // Fewer rows: the offset follows the shrunk range.
    view.SetOffsetY(-1600);
    view.Tree()->SetRootNodeCount(20);
    QApplication::processEvents();
    EXPECT_EQ(view.OffsetY(), 200 - 360);
    view.Tree()->Clear();
    EXPECT_EQ(view.RangeY(), 0);
    EXPECT_EQ(view.OffsetY(), 0);
}

namespace {

// Eleven rows; row 2 has three children and row 9 five, all collapsed.
void MakeFoldedTree(TStringGridTree &View)
{
    View.SetColor(clWhite);
    View.OnGetText = [](TCustomStringGridTree &, TGridNode *Node, TColumnIndex, TGSTTextType, QString &Text) {
        Text = QStringLiteral("Row %1.%2").arg(Node->Parent()->Index()).arg(Node->Index());
    };
    View.Tree()->OnInitNode
        = [](TBaseGridTree &, TGridNode *Parent, TGridNode *Node, TGridNodeInitStates &States) {
              if (!Parent && (Node->Index() == 2 || Node->Index() == 9))
                  States.include(ivsHasChildren);
          };
    View.Tree()->OnInitChildren
        = [](TBaseGridTree &, TGridNode *Node, uint32_t &Count) { Count = Node->Index() == 2 ? 3 : 5; };
    View.Tree()->SetRootNodeCount(11);
    ShowTree(View, 200, 200);
}

QImage Held(TGridTreeView &View)
{
    QApplication::processEvents();
    return View.screen()->grabWindow(View.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Counts the paints the viewport receives.
struct TPaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

TEST(TreeScroll, AnimatedExpandEndsAsAnUnanimatedOne)
{
    TStringGridTree animated;
    TStringGridTree plain;
    MakeFoldedTree(animated);
    MakeFoldedTree(plain);
    animated.SetAnimationDuration(60);
    plain.SetAnimationDuration(0);
    EXPECT_TRUE(animated.TreeOptions().AnimationOptions().contains(toAnimatedToggle));
    EXPECT_FALSE(plain.TreeOptions().AnimationOptions().contains(toAnimatedToggle));
    ASSERT_EQ(Held(animated), Held(plain));

    for (const bool advanced : { false, true }) {
        if (advanced)
            animated.TreeOptions().SetAnimationOptions({ toAnimatedToggle, toAdvancedAnimatedToggle });
        TPaintCounter counter;
        animated.viewport()->installEventFilter(&counter);
        animated.Tree()->ToggleNode(Row(animated, 2));
        animated.viewport()->removeEventFilter(&counter);
        plain.Tree()->ToggleNode(Row(plain, 2));
        // The animation drew its steps while the expansion ran.
        EXPECT_GT(counter.paints, 2);
        EXPECT_EQ(Held(animated), Held(plain));
        EXPECT_EQ(animated.OffsetY(), plain.OffsetY());
        // And back.
        animated.Tree()->ToggleNode(Row(animated, 2));
        plain.Tree()->ToggleNode(Row(plain, 2));
        EXPECT_EQ(Held(animated), Held(plain));
    }
}

TEST(TreeScroll, ExpandingNearTheBottomBringsTheChildrenIntoView)
{
    TStringGridTree view;
    MakeFoldedTree(view);
    // Row 9 (162 to 180) opens 90 pixels of children: 70 more than fit.
    view.Tree()->ToggleNode(Row(view, 9));
    EXPECT_EQ(view.OffsetY(), -70);
    view.Tree()->ToggleNode(Row(view, 9));
    view.SetOffsetY(0);

    TGTAutoOptions options = view.TreeOptions().AutoOptions();
    options.exclude(toAutoScrollOnExpand);
    view.TreeOptions().SetAutoOptions(options);
    view.Tree()->ToggleNode(Row(view, 9));
    EXPECT_EQ(view.OffsetY(), 0);
}

TEST(TreeScroll, AnimateStepsUntilTheEndThenOnceMore)
{
    TGridTreeView view;
    std::vector<std::pair<int, int>> steps;
    int nested = 0;
    view.Animate(40, 20, [&](int Step, int StepSize) {
        steps.push_back({ Step, StepSize });
        // Only one animation at a time.
        view.Animate(5, 5, [&nested](int, int) { return ++nested > 0; });
        return true;
    });
    EXPECT_EQ(nested, 0);
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps.front(), std::make_pair(0, 2));
    EXPECT_EQ(steps.back(), std::make_pair(0, 0));
    int covered = 0;
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
        EXPECT_EQ(steps[i].first, covered);
        covered += steps[i].second;
    }
    EXPECT_LE(covered, 40);
    // A callback that says stop ends it; nothing for no time.
    steps.clear();
    view.Animate(40, 20, [&](int Step, int StepSize) {
        steps.push_back({ Step, StepSize });
        return false;
    });
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>> { { 0, 2 }, { 0, 0 } }));
    steps.clear();
    view.Animate(40, 0, [&](int Step, int StepSize) {
        steps.push_back({ Step, StepSize });
        return true;
    });
    EXPECT_TRUE(steps.empty());
}

TEST(TreeScroll, HintAnimationFollowsTheTooltipEffects)
{
    TGridTreeView view;
    QApplication::setEffectEnabled(Qt::UI_General, true);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, true);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, true);
    EXPECT_EQ(view.DoGetAnimationType(), hatFade);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    EXPECT_EQ(view.DoGetAnimationType(), hatSlide);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    EXPECT_EQ(view.DoGetAnimationType(), hatNone);
    view.SetHintAnimation(hatFade);
    EXPECT_EQ(view.DoGetAnimationType(), hatFade);
}

namespace {

TPanningWindow *PanningWindowShown()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = dynamic_cast<TPanningWindow *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

bool CursorIs(TGridTreeView &View, const char *Name)
{
    return View.viewport()->cursor().pixmap().toImage()
        == PanningCursor(QString::fromLatin1(Name)).pixmap().toImage();
}

} // namespace

TEST(TreeScroll, MiddleClickPansUntilTheNextClick)
{
    TGridTreeView view;
    MakeBigTree(view);
    QWidget &client = *view.viewport();
    QTest::mouseClick(&client, Qt::MiddleButton, {}, QPoint(100, 100));
    ASSERT_TRUE(PanningWindowShown());
    EXPECT_EQ(PanningWindowShown()->geometry().center(), client.mapToGlobal(QPoint(100, 100)) - QPoint(1, 1));
    EXPECT_FALSE(view.ViewStates().contains(tsWheelPanning));
    EXPECT_TRUE(view.ViewStates().contains(tsWheelScrolling));
    EXPECT_TRUE(CursorIs(view, "GT_MOVEALL"));

    // Below the start the view moves down, the faster the farther.
    QTest::mouseMove(&client, QPoint(100, 160));
    EXPECT_TRUE(CursorIs(view, "GT_MOVES"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.OffsetY() != 0; }, 5000));
    EXPECT_LT(view.OffsetY(), 0);
    EXPECT_EQ(view.OffsetX(), 0);
    QTest::mouseMove(&client, QPoint(150, 50));
    EXPECT_TRUE(CursorIs(view, "GT_MOVENE"));

    // Any click ends it.
    QTest::mouseClick(&client, Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_FALSE(PanningWindowShown());
    EXPECT_FALSE(view.ViewStates().contains(tsWheelScrolling));
    EXPECT_EQ(client.cursor().shape(), Qt::ArrowCursor);
    const int stopped = view.OffsetY();
    // Time passing is the point: the scroll timer ran every few ms, and nothing may
    // move any more.
    QTest::qWait(60);
    EXPECT_EQ(view.OffsetY(), stopped);

    // A middle drag pans only while the button is held.
    QTest::mousePress(&client, Qt::MiddleButton, {}, QPoint(100, 100));
    QTest::mouseMove(&client, QPoint(100, 130));
    EXPECT_TRUE(view.ViewStates().contains(tsWheelPanning));
    EXPECT_FALSE(view.ViewStates().contains(tsWheelScrolling));
    QTest::mouseRelease(&client, Qt::MiddleButton, {}, QPoint(100, 130));
    EXPECT_FALSE(PanningWindowShown());
    EXPECT_FALSE(view.ViewStates().contains(tsWheelPanning));
}

TEST(TreeScroll, PanningImagesAreShapedByTheirMask)
{
    for (const char *name : { "GT_MOVENS", "GT_MOVEEW", "GT_MOVEALL" }) {
        const QImage image = PanningImage(QString::fromLatin1(name));
        ASSERT_EQ(image.size(), QSize(32, 32));
        const QRegion region = PanningRegion(image);
        // The corners are mask colour, the middle is not.
        EXPECT_FALSE(region.contains(QPoint(0, 0)));
        EXPECT_TRUE(region.contains(QPoint(16, 16)));
        EXPECT_EQ(image.pixel(0, 0), PanningMaskColor);
    }
    EXPECT_TRUE(PanningImage(QStringLiteral("GT_OTHER")).isNull());
    QImage blank(32, 32, QImage::Format_ARGB32);
    blank.fill(PanningMaskColor);
    EXPECT_THROW(PanningRegion(blank), EGridTreeAssertion);
}

namespace {

// A tree in the middle of a band selection (the mouse input sets that state).
class TBandTree : public TGridTreeView {
public:
    using TGridTreeView::TGridTreeView;
    void StartBand() { DoViewStateChange({ tsDrawSelecting }); }
};

void MoveMouse(TGridTreeView &View, QPoint P)
{
    QMouseEvent move(
        QEvent::MouseMove, P, View.viewport()->mapToGlobal(P), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View.viewport(), &move);
}

} // namespace

TEST(TreeScroll, BandBelowTheBottomScrollsFasterTheFartherOut)
{
    TBandTree view;
    TGTAutoOptions options = view.TreeOptions().AutoOptions();
    options.include(toAutoScroll);
    view.TreeOptions().SetAutoOptions(options);
    view.SetAutoScrollDelay(0);
    MakeBigTree(view);
    // Not while no band is drawn.
    EXPECT_FALSE(view.CanAutoScroll());
    view.StartBand();
    ASSERT_TRUE(view.CanAutoScroll());

    // 10 pixels below the client area: 10 steps of 20 pixels per tick.
    MoveMouse(view, QPoint(100, 210));
    view.DoAutoScroll(100, 210);
    EXPECT_TRUE(view.ViewStates().contains(tsScrollPending));
    view.DoTimerScroll();
    EXPECT_EQ(view.OffsetY(), -200);
    // 30 pixels below: three times as fast.
    MoveMouse(view, QPoint(100, 230));
    view.DoTimerScroll();
    EXPECT_EQ(view.OffsetY(), -800);
    // Inside the lower edge band: one step per tick; above the top edge: up.
    MoveMouse(view, QPoint(100, 195));
    view.DoAutoScroll(100, 195);
    view.DoTimerScroll();
    EXPECT_EQ(view.OffsetY(), -820);
    MoveMouse(view, QPoint(100, -5));
    view.DoAutoScroll(100, -5);
    view.DoTimerScroll();
    EXPECT_EQ(view.OffsetY(), -720);
    // Away from the edges it stops.
    MoveMouse(view, QPoint(100, 100));
    view.DoAutoScroll(100, 100);
    EXPECT_FALSE(view.ViewStates().contains(tsScrollPending));
    EXPECT_FALSE(view.ViewStates().contains(tsScrolling));
}

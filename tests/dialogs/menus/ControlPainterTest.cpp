// Standard controls taken over with the component's constructor defaults, driven
// with real mouse and focus changes. The dialog's colour is button face (240), its
// inputs' window white; highlight (0, 120, 215), its 68 % tint (173, 212, 242).
#include "dialogs/menus/ControlSubClass.h"
#include "tests/dialogs/menus/ControlTestDialog.h"
#include "tests/dialogs/menus/MenuTestWindow.h"
#include "tests/dialogs/menus/PinnedMenuColors.h"

#include <gtest/gtest.h>

using testsupport::PixelAt;

namespace {

using menutest::Highlight;
constexpr TColor Face = RGB(240, 240, 240);
constexpr TColor HotBorder = RGB(153, 201, 239); // NewColor(highlight, 60)
constexpr TColor QuietBorder = RGB(180, 182, 180); // GetShadeColor(button face, 60)

struct TTakenOver {
    menutest::TControlDialog D;
    TFlatMenu *Flat = nullptr;

    TTakenOver()
    {
        Flat = new TFlatMenu(&D.Dialog);
        Flat->Loaded();
        D.Dialog.show();
        (void)QTest::qWaitForWindowExposed(&D.Dialog);
        Park();
    }
    // Focus on the progress bar's neighbour and the mouse away from every control.
    void Park()
    {
        D.List->setFocus();
        QTest::mouseMove(&D.Dialog, QPoint(285, 295));
        QApplication::processEvents();
    }
    void MoveTo(QWidget *widget, QPoint p)
    {
        QTest::mouseMove(widget, p);
        QApplication::processEvents();
    }
};

int CountPaints(QWidget *widget, const std::function<void()> &action)
{
    struct TCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            Paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    widget->installEventFilter(&counter);
    action();
    QApplication::processEvents();
    widget->removeEventFilter(&counter);
    return counter.Paints;
}

} // namespace

TEST(ControlPainters, LineEditFrameTurnsBlueWithMouseAndFocus)
{
    TTakenOver t;
    ASSERT_NE(TControlSubClass::Of(t.D.Edit), nullptr);
    EXPECT_EQ(PixelAt(t.D.Edit->grab().toImage(), 0, 10), QuietBorder);
    EXPECT_EQ(PixelAt(t.D.Edit->grab().toImage(), 1, 10), clWhite); // a one-pixel frame
    t.MoveTo(t.D.Edit, QPoint(60, 10));
    EXPECT_EQ(PixelAt(t.D.Edit->grab().toImage(), 0, 10), HotBorder);
    t.Park();
    EXPECT_EQ(PixelAt(t.D.Edit->grab().toImage(), 0, 10), QuietBorder);
    t.D.Edit->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(PixelAt(t.D.Edit->grab().toImage(), 119, 20), HotBorder);
}

TEST(ControlPainters, CheckBoxesShowTheirMarks)
{
    // Box (0, 0)-(16, 17), framed at (2, 2)-(14, 15); mark strokes from (4, 10), (4, 9), (4, 8).
    TTakenOver t;
    const QImage grayed = t.D.Grayed->grab().toImage();
    EXPECT_EQ(PixelAt(grayed, 0, 5), Face);
    EXPECT_EQ(PixelAt(grayed, 2, 8), RGB(160, 160, 160));
    EXPECT_EQ(PixelAt(grayed, 12, 4), clSilver);
    EXPECT_EQ(PixelAt(grayed, 6, 12), clGray);
    EXPECT_EQ(PixelAt(grayed, 10, 6), clGray);
    EXPECT_EQ(PixelAt(grayed, 11, 5), clSilver); // the strokes' ends are left out
    const QImage checked = t.D.Check->grab().toImage();
    EXPECT_EQ(PixelAt(checked, 12, 4), clWhite);
    EXPECT_EQ(PixelAt(checked, 6, 12), Highlight);
    t.MoveTo(t.D.Check, QPoint(50, 8));
    EXPECT_EQ(PixelAt(t.D.Check->grab().toImage(), 12, 4), menutest::Select);
    EXPECT_EQ(PixelAt(t.D.Check->grab().toImage(), 2, 8), Highlight);
}

TEST(ControlPainters, PushButtonHasRoundedFaceAndEdge)
{
    TTakenOver t;
    const QImage image = t.D.Button->grab().toImage();
    EXPECT_EQ(PixelAt(image, 0, 0), Face); // the rounded corner shows the dialog
    EXPECT_EQ(PixelAt(image, 30, 0), RGB(188, 188, 188)); // NewColor(button shadow, 30): 188.5
    EXPECT_EQ(PixelAt(image, 5, 12), RGB(242, 242, 242)); // the icon column's colour
    EXPECT_EQ(PixelAt(image, 74, 10), RGB(110, 112, 110)); // the edge: shade 50 of button shadow
    EXPECT_EQ(PixelAt(image, 30, 24), RGB(110, 112, 110));
}

TEST(ControlPainters, FlatToolButtonIsFramelessUntilHovered)
{
    TTakenOver t;
    const QPoint at = t.D.Tool->pos();
    EXPECT_EQ(PixelAt(t.D.Dialog.grab().toImage(), at.x(), at.y() + 10), Face);
    EXPECT_EQ(PixelAt(t.D.Dialog.grab().toImage(), at.x() + 1, at.y() + 20), Face);
    t.MoveTo(t.D.Tool, QPoint(11, 11));
    const QImage hot = t.D.Dialog.grab().toImage();
    EXPECT_EQ(PixelAt(hot, at.x(), at.y() + 10), Highlight);
    // The tint NewColor(select, 20) = (189, 221, 245) combined by AND with the face.
    EXPECT_EQ(PixelAt(hot, at.x() + 1, at.y() + 20), RGB(176, 208, 240));
    t.Park();
    EXPECT_EQ(PixelAt(t.D.Dialog.grab().toImage(), at.x(), at.y() + 10), Face);
}

TEST(ControlPainters, ComboBoxButtonAndFrameTurnHotWithTheArrowInPlace)
{
    // 120 x 21: quiet, the frames lie in the dialog's and the field's colours, the
    // button (x 100..117) in button face after a 5-pixel white strip; hot, the frame
    // grows a pixel and turns highlight, the button select-coloured from x 100 with a
    // highlight line at x 105. The arrow's rows stay at 10, 11 and 12.
    TTakenOver t;
    QImage image = t.D.Combo->grab().toImage();
    EXPECT_EQ(PixelAt(image, 0, 10), Face);
    EXPECT_EQ(PixelAt(image, 60, 1), Face);
    EXPECT_EQ(PixelAt(image, 1, 10), clWhite);
    EXPECT_EQ(PixelAt(image, 104, 10), clWhite);
    EXPECT_EQ(PixelAt(image, 106, 5), Face);
    EXPECT_EQ(PixelAt(image, 117, 18), Face);
    const auto arrowRows = [](const QImage &shot) {
        EXPECT_EQ(PixelAt(shot, 110, 10), clBlack);
        EXPECT_EQ(PixelAt(shot, 114, 10), clBlack);
        EXPECT_EQ(PixelAt(shot, 111, 11), clBlack);
        EXPECT_EQ(PixelAt(shot, 112, 12), clBlack);
        EXPECT_NE(PixelAt(shot, 112, 13), clBlack);
        EXPECT_NE(PixelAt(shot, 112, 9), clBlack);
    };
    arrowRows(image);

    t.MoveTo(t.D.Combo, QPoint(60, 10));
    image = t.D.Combo->grab().toImage();
    EXPECT_EQ(PixelAt(image, 0, 10), Highlight);
    EXPECT_EQ(PixelAt(image, 60, 1), Highlight);
    EXPECT_EQ(PixelAt(image, 60, 20), Highlight);
    EXPECT_EQ(PixelAt(image, 60, 0), Face);
    EXPECT_EQ(PixelAt(image, 102, 5), clWhite);
    EXPECT_EQ(PixelAt(image, 105, 5), Highlight);
    EXPECT_EQ(PixelAt(image, 110, 5), menutest::Select);
    arrowRows(image);
}

TEST(ControlPainters, UpDownHalvesFollowTheCursorWithoutRepaintingWithinAHalf)
{
    TTakenOver t;
    const QRect area = TControlSubClass::UpDownButtonsRect(*t.D.Spin);
    ASSERT_FALSE(area.isEmpty());
    const int h = area.height() / 2;
    const QPoint upper = area.topLeft(), lower(area.left(), area.bottom() + 1 - h);
    const TColor quiet = RGB(252, 252, 252); // NewColor(button face, 80)
    t.MoveTo(t.D.Spin, upper + QPoint(3, 1));
    QImage image = t.D.Spin->grab().toImage();
    EXPECT_EQ(PixelAt(image, upper.x(), upper.y()), Highlight);
    EXPECT_EQ(PixelAt(image, lower.x(), lower.y()), quiet);
    EXPECT_EQ(CountPaints(t.D.Spin,
                  [&] {
                      for (int y = 2; y < h - 1; ++y)
                          QTest::mouseMove(t.D.Spin, upper + QPoint(5, y));
                  }),
        0);
    t.MoveTo(t.D.Spin, lower + QPoint(3, 2));
    image = t.D.Spin->grab().toImage();
    EXPECT_EQ(PixelAt(image, upper.x(), upper.y()), quiet);
    EXPECT_EQ(PixelAt(image, lower.x(), lower.y()), Highlight);
}

TEST(ControlPainters, DeactivationRestoresEachControlAtItsNextEvent)
{
    TTakenOver t;
    QStyle *flatStyle = t.Flat->Style();
    ASSERT_EQ(t.D.Edit->style(), flatStyle);
    ASSERT_EQ(t.D.Memo->style(), flatStyle);
    t.Flat->SetActive(false);
    // Nothing changes before the control's next event...
    EXPECT_NE(TControlSubClass::Of(t.D.Edit), nullptr);
    QApplication::processEvents();
    // ...which gives every control its own style back.
    for (QWidget *control : t.D.Dialog.findChildren<QWidget *>()) {
        EXPECT_EQ(TControlSubClass::Of(control), nullptr) << control->metaObject()->className();
        EXPECT_NE(control->style(), flatStyle) << control->metaObject()->className();
    }
    EXPECT_NE(PixelAt(t.D.Edit->grab().toImage(), 0, 10), QuietBorder);
}

TEST(ControlPainters, MainWindowSettingsTakeNoControlOver)
{
    menutest::TTestWindow w;
    menutest::TControlDialog d;
    w.MakeFlatMenu()->ForceComponent(&d.Dialog);
    w.Show();
    d.Dialog.show();
    (void)QTest::qWaitForWindowExposed(&d.Dialog);
    for (QWidget *control : d.Dialog.findChildren<QWidget *>())
        EXPECT_EQ(TControlSubClass::Of(control), nullptr) << control->metaObject()->className();
    EXPECT_EQ(d.Edit->style(), QApplication::style());
    EXPECT_NE(TFlatMenu::DrawItemHandler(w.Open), nullptr);
}

TEST(ControlPainters, TagKeepsAControlOrAParentsControlsOut)
{
    menutest::TControlDialog d;
    SetTag(d.Edit, TagKeepOwnLook);
    auto *inner = new QCheckBox(QStringLiteral("Inner"), d.Group);
    SetTag(d.Group, TagKeepOwnLook);
    auto *flat = new TFlatMenu(&d.Dialog);
    flat->Loaded();
    d.Dialog.show();
    (void)QTest::qWaitForWindowExposed(&d.Dialog);
    EXPECT_EQ(TControlSubClass::Of(d.Edit), nullptr);
    EXPECT_EQ(TControlSubClass::Of(inner), nullptr);
    EXPECT_EQ(TControlSubClass::Of(d.Group), nullptr);
    EXPECT_NE(TControlSubClass::Of(d.Memo), nullptr);
}

TEST(ControlPainters, RecordsPassToTheNextComponentOrEnd)
{
    QWidget other;
    auto *working = new TFlatMenu(&other);
    working->Loaded();
    auto *waiting = new TFlatMenu(nullptr);
    waiting->Loaded();
    menutest::TControlDialog d;
    d.Dialog.show();
    (void)QTest::qWaitForWindowExposed(&d.Dialog);
    ASSERT_NE(TControlSubClass::Of(d.Edit), nullptr);
    EXPECT_EQ(TControlSubClass::Of(d.Edit)->FlatMenu(), working);

    delete working;
    ASSERT_NE(TControlSubClass::Of(d.Edit), nullptr);
    EXPECT_EQ(TControlSubClass::Of(d.Edit)->FlatMenu(), waiting);
    EXPECT_EQ(d.Edit->style(), waiting->Style());

    delete waiting;
    EXPECT_EQ(TControlSubClass::Of(d.Edit), nullptr);
    EXPECT_EQ(d.Edit->style(), QApplication::style());
}

TEST(ControlScreenshot, DialogOfTakenOverControls)
{
    TTakenOver t;
    t.D.Edit->setFocus();
    t.MoveTo(t.D.Check, QPoint(50, 8));
    const QString path
        = testsupport::SavePng(t.D.Dialog.grab().toImage(), QStringLiteral("menus_controls_dialog"));
    EXPECT_FALSE(path.isEmpty());
}

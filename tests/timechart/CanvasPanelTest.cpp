#include "timechart/CanvasPanel.h"

#include "platform/gui/Fonts.h"
#include "tests/timechart/ChartPixelTest.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTest>

using testsupport::PixelAt;

namespace {

class CanvasPanelTest : public testsupport::ChartPixelTest {
protected:
    CanvasPanelTest() { panel.resize(40, 30); }

    void ShowPanel()
    {
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }

    // Paints all it may in `color`, recording the regions it was asked for.
    void PaintAllIn(TColor color)
    {
        panel.SetOnPaint([this, color](TCanvasPanel &, QPainter &canvas, const QRegion &region) {
            regions.push_back(region);
            canvas.fillRect(0, 0, 1000, 1000, ToQColor(color));
        });
    }

    TCanvasPanel panel;
    std::vector<QRegion> regions;
};

} // namespace

TEST_F(CanvasPanelTest, ErasesToItsColourAndPaintsThroughTheHandlerIntoItsBuffer)
{
    EXPECT_PIXEL(testsupport::RenderWidget(panel), 39, 29, ColorToRGB(clBtnFace));
    panel.SetColor(0x00C0FF);
    panel.setFont(MakeFont(QString::fromLatin1(testsupport::TestFontFamily), 10, 96));
    panel.SetOnPaint([&](TCanvasPanel &sender, QPainter &canvas, const QRegion &region) {
        // Blends read back what the painter painted.
        EXPECT_EQ(canvas.device(), &sender.BackBuffer());
        EXPECT_EQ(sender.BackBuffer().format(), QImage::Format_ARGB32);
        EXPECT_EQ(DevicePpi(sender.BackBuffer()), 96);
        EXPECT_EQ(canvas.font().pixelSize(), 13); // 10 pt at 96 ppi
        EXPECT_EQ(region, QRegion(0, 0, 40, 30));
        EXPECT_EQ(PixelAt(sender.BackBuffer(), 39, 29), 0x00C0FFu);
        canvas.fillRect(ToQRect(Rect(5, 5, 10, 10)), ToQColor(clRed));
    });
    const QImage image = Keep(testsupport::RenderWidget(panel), "panel");
    ExpectPixels(image, clRed, { { 5, 5 }, { 9, 9 } });
    ExpectPixels(image, 0x00C0FF, { { 10, 10 }, { 39, 29 } }); // opaque: every pixel painted
}

// Only the region asked for is painted; a scroll moves the pixels (the back
// buffer's too) and asks for the uncovered strip alone.
TEST_F(CanvasPanelTest, PaintsOnlyWhatNeedsPaintingAndScrollsItsPixels)
{
    ShowPanel();
    panel.SetOnPaint([](TCanvasPanel &, QPainter &canvas, const QRegion &) {
        canvas.fillRect(0, 0, 20, 30, ToQColor(clRed));
        canvas.fillRect(20, 0, 20, 30, ToQColor(clLime));
    });
    panel.repaint();
    PaintAllIn(clBlue);
    panel.repaint(QRect(0, 0, 5, 5));
    EXPECT_PIXEL(panel.BackBuffer(), 4, 4, clBlue);
    EXPECT_PIXEL(panel.BackBuffer(), 5, 5, clRed);
    panel.ScrollClient(-10, 0);
    QApplication::processEvents();
    EXPECT_EQ(regions, std::vector<QRegion>({ QRegion(0, 0, 5, 5), QRegion(30, 0, 10, 30) }));
    const QImage &buffer = Keep(panel.BackBuffer(), "scrolled");
    EXPECT_PIXEL(buffer, 9, 15, clRed);
    ExpectPixels(buffer, clLime, { { 10, 15 }, { 29, 15 } });
    EXPECT_PIXEL(buffer, 30, 15, clBlue);
}

TEST_F(CanvasPanelTest, ReportsMouseAndKeysToItsHandlers)
{
    ShowPanel(); // may bring an enter event of its own
    QStringList seen;
    panel.SetOnMouseEnter([&](TCanvasPanel &) { seen << "enter"; });
    panel.SetOnMouseLeave([&](TCanvasPanel &) { seen << "leave"; });
    panel.SetOnMouseDown(
        [&](TCanvasPanel &, QMouseEvent &e) { seen << QStringLiteral("down %1").arg(e.position().x()); });
    panel.SetOnMouseUp(
        [&](TCanvasPanel &, QMouseEvent &e) { seen << QStringLiteral("up %1").arg(e.position().y()); });
    panel.SetOnMouseWheel(
        [&](TCanvasPanel &, QWheelEvent &e) { seen << QString::number(e.angleDelta().y()); });
    panel.SetOnKeyDown([&](TCanvasPanel &, QKeyEvent &e) { seen << QKeySequence(e.key()).toString(); });

    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(&panel, &enter);
    QTest::mouseClick(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(7, 8));
    QWheelEvent wheel(QPointF(5, 5), panel.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&panel, &wheel);
    QTest::keyClick(&panel, Qt::Key_Escape);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&panel, &leave);
    EXPECT_EQ(seen.join(", "), "enter, down 7, up 8, -120, Esc, leave");
}

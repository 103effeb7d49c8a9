// The pixel-test harness of the chart tests: widgets and painters rendered into
// images, pixels compared as 0x00BBGGRR values with readable failure messages,
// and every image a test keeps saved as a PNG in the build folder when the test
// fails (or always, with ZELTRANO_KEEP_PIXELS set, for a person to look at).
#pragma once

#include "platform/gui/Color.h"
#include "tests/support/PixelTest.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>
#include <vector>

namespace testsupport {

// What an image holds where nothing painted it: a colour no chart routine uses.
inline constexpr TColor Unpainted = 0xFF00FF;

// The widget as it paints itself (through its own paint event), on an image of its
// size that starts out Unpainted.
inline QImage RenderWidget(QWidget &widget)
{
    QImage image = MakeCanvas(widget.width(), widget.height(), Unpainted);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline ::testing::AssertionResult PixelIs(const char *imageText, const char *xText, const char *yText,
    const char *colorText, const QImage &image, int x, int y, TColor expected)
{
    if (!image.rect().contains(x, y))
        return ::testing::AssertionFailure() << "(" << x << ", " << y << ") lies outside " << imageText;
    const TColor actual = PixelAt(image, x, y);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    const auto hex
        = [](TColor c) { return QStringLiteral("0x%1").arg(c, 6, 16, QLatin1Char('0')).toStdString(); };
    return ::testing::AssertionFailure()
        << imageText << " at (" << xText << ", " << yText << ") = (" << x << ", " << y << ") is "
        << hex(actual) << ", expected " << colorText << " = " << hex(expected);
}

// `source` laid over `destination` with a constant alpha of 0..255, byte by byte
// as the blend routine computes it: floor((a * S + (256 - a) * D) / 256).
inline TColor Blend(TColor source, TColor destination, int alpha)
{
    TColor result = 0;
    for (int shift : { 0, 8, 16 }) {
        const int s = int(source >> shift) & 0xFF, d = int(destination >> shift) & 0xFF;
        result |= TColor((alpha * s + (256 - alpha) * d) / 256) << shift;
    }
    return result;
}

#define EXPECT_PIXEL(image, x, y, color) EXPECT_PRED_FORMAT4(::testsupport::PixelIs, image, x, y, color)

// Fixture: checks that the pinned font is there and saves kept images for a person
// to look at when the test fails.
class ChartPixelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFontDatabase::families().contains(QString::fromLatin1(TestFontFamily)))
            << "the font " << TestFontFamily << " is not installed";
    }

    void TearDown() override
    {
        if (!HasFailure() && qEnvironmentVariableIsEmpty("ZELTRANO_KEEP_PIXELS"))
            return;
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        for (const auto &[image, name] : m_kept) {
            const QString path
                = SavePng(image, QStringLiteral("%1_%2_%3").arg(info->test_suite_name(), info->name(), name));
            std::printf("saved %s\n", qPrintable(path));
        }
    }

    // Each of `points` shows `color`.
    static void ExpectPixels(const QImage &image, TColor color, std::initializer_list<QPoint> points)
    {
        for (const QPoint &p : points)
            EXPECT_PIXEL(image, p.x(), p.y(), color);
    }

    // Keeps a copy of `image` to save under `name`; returns the image.
    const QImage &Keep(const QImage &image, const QString &name)
    {
        m_kept.emplace_back(image, name);
        return image;
    }

private:
    std::vector<std::pair<QImage, QString>> m_kept;
};

} // namespace testsupport

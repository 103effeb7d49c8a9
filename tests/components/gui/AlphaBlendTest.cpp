#include "components/gui/AlphaBlend.h"

#include "components/GridTreeErrors.h"
#include "platform/gui/Color.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

// Pixels are written as the dword 0xAARRGGBB, i.e. the bytes B, G, R, A in memory.
QImage Filled(int width, int height, QRgb pixel, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(width, height, format);
    image.fill(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = pixel;
    return image;
}

QRgb At(const QImage &image, int x, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y))[x];
}

QRgb BlendOne(QRgb source, QRgb destination, TBlendMode mode, int alpha, int bias)
{
    const QImage s = Filled(1, 1, source);
    QImage d = Filled(1, 1, destination);
    AlphaBlend(s, d, Rect(0, 0, 1, 1), { 0, 0 }, mode, alpha, bias);
    return At(d, 0, 0);
}

} // namespace

TEST(AlphaBlend, ConstantAlphaFollowsTheFormulaPerByte)
{
    // Source bytes B 255, G 0, R 100, A 200 over B 0, G 255, R 50, A 10 with a = 128:
    // B (128 * 255) >> 8 = 127; G (128 * -255 + 256 * 255) >> 8 = 127;
    // R (128 * 50 + 256 * 50) >> 8 = 75; A (128 * 190 + 2560) >> 8 = 105.
    EXPECT_EQ(BlendOne(0xC864'00FF, 0x0A32'FF00, bmConstantAlpha, 128, 0), 0x694B'7F7Fu);
    // a = 255 does not give the source: floor((255 * 255 + 0) / 256) = 254.
    EXPECT_EQ(BlendOne(0xFFFF'FFFF, 0, bmConstantAlpha, 255, 0), 0xFEFE'FEFEu);
    // a = 0 keeps the destination.
    EXPECT_EQ(BlendOne(0xFFFF'FFFF, 0x1234'5678, bmConstantAlpha, 0, 0), 0x1234'5678u);
    // Alpha outside 0..255 is taken to its limit.
    EXPECT_EQ(BlendOne(0xFFFF'FFFF, 0, bmConstantAlpha, 300, 0), 0xFEFE'FEFEu);
    EXPECT_EQ(BlendOne(0xFFFF'FFFF, 0x1234'5678, bmConstantAlpha, -5, 0), 0x1234'5678u);
}

TEST(AlphaBlend, BiasIsAddedAndClamped)
{
    // a = 0 leaves t = D: 250 + 10 clamps to 255, 5 - 10 to 0, 100 + 10 is 110.
    EXPECT_EQ(BlendOne(0, 0xFA05'64FA, bmConstantAlpha, 0, 10), 0xFF0F'6EFFu);
    EXPECT_EQ(BlendOne(0, 0xFA05'64FA, bmConstantAlpha, 0, -10), 0xF000'5AF0u);
    // Bias beyond -128..127 counts as its limit: 0 + 127, 200 - 128.
    EXPECT_EQ(BlendOne(0, 0x0000'00C8, bmConstantAlpha, 0, 300), 0x7F7F'7FFFu);
    EXPECT_EQ(BlendOne(0, 0x0000'00C8, bmConstantAlpha, 0, -300), 0x0000'0048u);
}

TEST(AlphaBlend, PerPixelAndMasterAlphaTakeTheSourceAlpha)
{
    // a = 64: B (64 * 100 + 25600) >> 8 = 125; G 25600 >> 8 = 100;
    // R (64 * -100 + 25600) >> 8 = 75; A (64 * -191 + 65280) >> 8 = 207.
    EXPECT_EQ(BlendOne(0x4000'64C8, 0xFF64'6464, bmPerPixelAlpha, 0, 0), 0xCF4B'647Du);
    // The constant alpha plays no part.
    EXPECT_EQ(BlendOne(0x4000'64C8, 0xFF64'6464, bmPerPixelAlpha, 255, 0), 0xCF4B'647Du);
    // Master: a = floor(200 * 128 / 256) = 100; B floor(100 * 255 / 256) = 99,
    // A floor(100 * 200 / 256) = 78, G and R stay 0.
    EXPECT_EQ(BlendOne(0xC800'00FF, 0, bmMasterAlpha, 128, 0), 0x4E00'0063u);
    // With the bias: 99 + 20, 78 + 20, 0 + 20.
    EXPECT_EQ(BlendOne(0xC800'00FF, 0, bmMasterAlpha, 128, 20), 0x6214'1477u);
}

TEST(AlphaBlend, ColorModeTintsTheDestinationOnly)
{
    // Red (0x0000FF) at a = 128 over B, G, R 100, A 255: B and G floor(100 * 128 / 256) = 50,
    // R floor((100 * 128 + 255 * 128) / 256) = 177, A floor(255 * 128 / 256) = 127.
    QImage d = Filled(3, 2, 0xFF64'6464);
    AlphaBlend(QImage(), d, Rect(1, 0, 3, 1), { 99, 99 }, bmConstantAlphaAndColor, 128, 0x0000FF);
    EXPECT_EQ(At(d, 0, 0), 0xFF64'6464u);
    EXPECT_EQ(At(d, 1, 0), 0x7FB1'3232u);
    EXPECT_EQ(At(d, 2, 0), 0x7FB1'3232u);
    EXPECT_EQ(At(d, 1, 1), 0xFF64'6464u);
    // a = 0 changes nothing.
    QImage e = Filled(2, 2, 0x8040'2010);
    AlphaBlend(QImage(), e, Rect(0, 0, 2, 2), {}, bmConstantAlphaAndColor, 0, 0xFFFFFF);
    EXPECT_EQ(At(e, 1, 1), 0x8040'2010u);
}

TEST(AlphaBlend, RectangleGoesToTheTargetAndIsClippedToBothImages)
{
    // Source 4 x 4 of 0xFF (every byte), destination 6 x 3 of 0; a = 128 makes 0x7F.
    const QImage source = Filled(4, 4, 0xFFFF'FFFF);
    const auto changed = [&](TRect r, QPoint target) {
        QImage d = Filled(6, 3, 0);
        AlphaBlend(source, d, r, target, bmConstantAlpha, 128, 0);
        QString marks;
        for (int y = 0; y < d.height(); ++y) {
            for (int x = 0; x < d.width(); ++x)
                marks += At(d, x, y) == 0 ? u'.' : At(d, x, y) == 0x7F7F'7F7F ? u'#' : u'?';
            marks += u'|';
        }
        return marks;
    };
    EXPECT_EQ(changed(Rect(1, 1, 3, 3), { 3, 0 }), QStringLiteral("...##.|...##.|......|"));
    // R reaches above and left of the source: only its part inside is blended, at
    // the place it would have had.
    EXPECT_EQ(changed(Rect(-1, -1, 2, 2), { 0, 0 }), QStringLiteral("......|.##...|.##...|"));
    // The target reaches past the destination's left, right and bottom edges.
    EXPECT_EQ(changed(Rect(0, 0, 3, 2), { -1, 0 }), QStringLiteral("##....|##....|......|"));
    EXPECT_EQ(changed(Rect(0, 0, 4, 4), { 4, 1 }), QStringLiteral("......|....##|....##|"));
    // Empty, inverted and wholly outside rectangles do nothing.
    EXPECT_EQ(changed(Rect(2, 2, 2, 4), { 0, 0 }), QStringLiteral("......|......|......|"));
    EXPECT_EQ(changed(Rect(3, 3, 1, 1), { 0, 0 }), QStringLiteral("......|......|......|"));
    EXPECT_EQ(changed(Rect(0, 0, 4, 4), { 6, 0 }), QStringLiteral("......|......|......|"));
    EXPECT_EQ(changed(Rect(10, 10, 14, 14), { 0, 0 }), QStringLiteral("......|......|......|"));
}

TEST(AlphaBlend, ImagesWithoutPixelsOrOfAnotherLayoutAreRefused)
{
    QImage d = Filled(2, 2, 0);
    const QImage s = Filled(2, 2, 0);
    QImage none;
    const auto message = [](auto call) {
        try {
            call();
        } catch (const EGridTreeAssertion &e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message([&] { AlphaBlend(s, none, Rect(0, 0, 1, 1), {}, bmConstantAlpha, 1, 0); }),
        "Alpha blending DC error: no bitmap available.");
    EXPECT_EQ(message([&] { AlphaBlend(QImage(), d, Rect(0, 0, 1, 1), {}, bmPerPixelAlpha, 1, 0); }),
        "Alpha blending DC error: no bitmap available.");
    QImage rgb16(2, 2, QImage::Format_RGB16);
    EXPECT_EQ(message([&] { AlphaBlend(s, rgb16, Rect(0, 0, 1, 1), {}, bmConstantAlpha, 1, 0); }),
        "Alpha blending error: bitmap must use 32 bpp.");
    const QImage rgba = s.convertToFormat(QImage::Format_RGBA8888);
    EXPECT_EQ(message([&] { AlphaBlend(rgba, d, Rect(0, 0, 1, 1), {}, bmConstantAlpha, 1, 0); }),
        "Alpha blending error: bitmap must use 32 bpp.");
    // The colour mode needs no source.
    EXPECT_EQ(
        message([&] { AlphaBlend(QImage(), d, Rect(0, 0, 1, 1), {}, bmConstantAlphaAndColor, 1, 0); }), "");
}

namespace {

// The blend as written down, one channel and one pixel at a time.
int ReferenceChannel(int s, int d, int a, int bias)
{
    return std::clamp((a * s + (256 - a) * d) / 256 + bias, 0, 255);
}

QImage ReferenceBlend(const QImage &source, const QImage &destination, TRect r, QPoint target,
    TBlendMode mode, int constant, int bias)
{
    QImage out = destination.copy();
    constant = std::clamp(constant, 0, 255);
    const TColor color = TColor(bias);
    bias = std::clamp(bias, -128, 127);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb d = At(destination, x, y);
            QRgb s = 0;
            int a = constant;
            int b = bias;
            if (mode == bmConstantAlphaAndColor) {
                if (!r.Contains({ x, y }))
                    continue;
                s = qRgba(GetRValue(color), GetGValue(color), GetBValue(color), 0);
                b = 0;
            } else {
                const QPoint from(x - target.x() + r.Left, y - target.y() + r.Top);
                if (!r.Contains(from) || from.x() >= source.width() || from.y() >= source.height()
                    || from.x() < 0 || from.y() < 0)
                    continue;
                s = At(source, from.x(), from.y());
                if (mode == bmPerPixelAlpha)
                    a = qAlpha(s);
                else if (mode == bmMasterAlpha)
                    a = qAlpha(s) * constant / 256;
            }
            QRgb result = 0;
            for (int shift = 0; shift < 32; shift += 8)
                result |= QRgb(ReferenceChannel(int((s >> shift) & 0xFF), int((d >> shift) & 0xFF), a, b))
                    << shift;
            reinterpret_cast<QRgb *>(out.scanLine(y))[x] = result;
        }
    }
    return out;
}

QImage RandomImage(std::mt19937 &rng, int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = QRgb(rng());
    return image;
}

} // namespace

TEST(AlphaBlend, MatchesAPlainPerChannelBlendOnRandomImages)
{
    std::mt19937 rng(20240611);
    const auto pick
        = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    for (int round = 0; round < 400; ++round) {
        const QImage source = RandomImage(rng, pick(1, 23), pick(1, 9));
        const QImage destination = RandomImage(rng, pick(1, 23), pick(1, 9));
        const TRect r = Rect(pick(-4, 20), pick(-4, 8), pick(-4, 28), pick(-4, 12));
        const QPoint target(pick(-6, 24), pick(-6, 10));
        const auto mode = TBlendMode(pick(0, 3));
        const int alpha = pick(-20, 280);
        const int bias = mode == bmConstantAlphaAndColor ? int(rng() & 0xFFFFFF) : pick(-200, 200);
        QImage actual = destination.copy();
        AlphaBlend(source, actual, r, target, mode, alpha, bias);
        const QImage expected = ReferenceBlend(source, destination, r, target, mode, alpha, bias);
        ASSERT_EQ(actual, expected) << "round " << round << " mode " << mode << " alpha " << alpha << " bias "
                                    << bias;
    }
}

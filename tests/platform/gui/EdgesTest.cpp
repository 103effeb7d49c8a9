// Edges drawn on a 10 x 10 square over a fill no edge colour has, read pixel by pixel.
#include "platform/gui/Edges.h"

#include "tests/support/PixelTest.h"

#include <QPainter>
#include <gtest/gtest.h>

using testsupport::MakeCanvas;
using testsupport::PixelAt;

namespace {

constexpr TColor Fill = 0x123456;

QImage Draw(unsigned edge, unsigned sides, TRect r = Rect(0, 0, 10, 10), TRect *inner = nullptr)
{
    QImage image = MakeCanvas(10, 10, Fill);
    QPainter painter(&image);
    const TRect result = DrawEdge(painter, r, edge, sides);
    if (inner)
        *inner = result;
    return image;
}

} // namespace

TEST(Edges, RaisedHasTwoRingsAndTheDarkSidesOwnTheirCorners)
{
    TRect inner;
    const QImage image = Draw(EDGE_RAISED, BF_RECT, Rect(0, 0, 10, 10), &inner);
    EXPECT_EQ(inner, Rect(2, 2, 8, 8));
    EXPECT_EQ(PixelAt(image, 0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(PixelAt(image, 1, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(image, 9, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(image, 0, 9), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(image, 8, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(image, 5, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(image, 2, 2), Fill);
}

TEST(Edges, SingleRingsSitOnTheBorderAndSidesAreChosen)
{
    QImage image = Draw(BDR_RAISEDINNER, BF_RECT);
    EXPECT_EQ(PixelAt(image, 0, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(image, 5, 9), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(image, 1, 5), Fill);
    image = Draw(EDGE_SUNKEN, BF_LEFT | BF_BOTTOM);
    EXPECT_EQ(PixelAt(image, 1, 5), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(image, 5, 9), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(image, 9, 5), Fill);
    EXPECT_EQ(PixelAt(image, 5, 0), Fill);
    // Etched along the top of an empty rectangle: a groove two pixels high.
    image = Draw(EDGE_ETCHED, BF_TOP, Rect(2, 5, 8, 5));
    EXPECT_EQ(PixelAt(image, 2, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(image, 7, 6), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(image, 8, 5), Fill);
    EXPECT_EQ(PixelAt(image, 5, 7), Fill);
}

#include "timechart/BarTextLayout.h"

#include <gtest/gtest.h>

namespace {

// Every character 6 pixels wide.
int SixEach(const QString &text)
{
    return int(text.size()) * 6;
}

std::vector<TBarTextDraw> Layout(
    TRect r, const char *left, const char *centre, const char *right, bool full = false)
{
    return LayoutBarTextLine(
        r, QString::fromUtf8(left), QString::fromUtf8(centre), QString::fromUtf8(right), full, SixEach);
}

TBarTextDraw Draw(TRect r, unsigned align, const char *text)
{
    return { r, align, QString::fromUtf8(text) };
}

} // namespace

TEST(BarTextLayout, ALineThatFitsKeepsLeftRightAndCentreInTheirPlaces)
{
    // "abcdef" = 36 < 100 - 8: left from 0, right up to 100, the centre between
    // 0 + 12 + 4 and 100 - 6 - 4.
    EXPECT_EQ(Layout(Rect(0, 0, 100, 20), "ab", "cde", "f"),
        (std::vector { Draw(Rect(0, 0, 100, 20), DT_LEFT, "ab"), Draw(Rect(16, 0, 100, 20), DT_RIGHT, "f"),
            Draw(Rect(16, 0, 90, 20), DT_CENTER, "cde") }));
    // The centre alone is centred in the whole line; empty texts draw nothing.
    EXPECT_EQ(Layout(Rect(5, 0, 105, 20), "", "cde", ""),
        (std::vector { Draw(Rect(5, 0, 105, 20), DT_CENTER, "cde") }));
    EXPECT_TRUE(Layout(Rect(0, 0, 100, 20), "", "", "").empty());
}

TEST(BarTextLayout, ANarrowBarKeepsTheShorterOfLeftAndRightWholeWhileItFitsHalf)
{
    // 60 pixels, half 30: "ab" (2 characters, 12 pixels) is shorter than the
    // right text and narrower than 28, so it stays and the right text follows it.
    EXPECT_EQ(Layout(Rect(10, 0, 70, 20), "ab", "", "klmnopqrst"),
        (std::vector {
            Draw(Rect(10, 0, 70, 20), DT_LEFT, "ab"), Draw(Rect(26, 0, 70, 20), DT_LEFT, "klmnopqrst") }));
    // "abcde" (30 pixels) does not fit half: each text gets its half, 2 pixels off the middle.
    EXPECT_EQ(Layout(Rect(10, 0, 70, 20), "abcde", "", "klmnopqrst"),
        (std::vector {
            Draw(Rect(42, 0, 70, 20), DT_LEFT, "klmnopqrst"), Draw(Rect(10, 0, 38, 20), DT_LEFT, "abcde") }));
    // The mirror: a short right text stays at the right, the left text takes the rest.
    EXPECT_EQ(Layout(Rect(10, 0, 70, 20), "abcdefghij", "", "xy"),
        (std::vector {
            Draw(Rect(10, 0, 70, 20), DT_RIGHT, "xy"), Draw(Rect(10, 0, 54, 20), DT_LEFT, "abcdefghij") }));
    // Texts of equal length count as the mirror case.
    EXPECT_EQ(Layout(Rect(0, 0, 40, 20), "abcd", "", "wxyz"),
        (std::vector {
            Draw(Rect(22, 0, 40, 20), DT_LEFT, "wxyz"), Draw(Rect(0, 0, 18, 20), DT_LEFT, "abcd") }));
}

TEST(BarTextLayout, ACentreTextTooLongForTheLineKeepsItsStart)
{
    // 66 pixels of centre in a bar of 60: left-aligned, and the side texts go.
    EXPECT_EQ(Layout(Rect(0, 0, 60, 20), "ab", "cdefghijklm", "no"),
        (std::vector { Draw(Rect(0, 0, 60, 20), DT_LEFT, "cdefghijklm") }));
    // A centre that fits where the whole line does not: the side texts end 4 pixels
    // before and start 4 after it (centred from 12 to 48).
    EXPECT_EQ(Layout(Rect(0, 0, 60, 20), "ab", "cdefgh", "ij"),
        (std::vector { Draw(Rect(0, 0, 60, 20), DT_CENTER, "cdefgh"), Draw(Rect(0, 0, 8, 20), DT_LEFT, "ab"),
            Draw(Rect(52, 0, 60, 20), DT_LEFT, "ij") }));
}

TEST(BarTextLayout, FullTextRunsPastTheBarsEnd)
{
    // 48 pixels of text in a bar of 30: the line grows to 48 + 8.
    EXPECT_EQ(Layout(Rect(0, 0, 30, 20), "", "abcdefgh", "", true),
        (std::vector { Draw(Rect(0, 0, 56, 20), DT_CENTER, "abcdefgh") }));
    // Grown to exactly 8 more than the texts, the line still counts as too long:
    // the shorter right text keeps its place at the new right end.
    EXPECT_EQ(Layout(Rect(0, 0, 20, 20), "abc", "", "de", true),
        (std::vector { Draw(Rect(0, 0, 38, 20), DT_RIGHT, "de"), Draw(Rect(0, 0, 22, 20), DT_LEFT, "abc") }));
    // A line that fits is not grown.
    EXPECT_EQ(Layout(Rect(0, 0, 100, 20), "", "abc", "", true),
        (std::vector { Draw(Rect(0, 0, 100, 20), DT_CENTER, "abc") }));
}

#include "mainwindow/RowFonts.h"

#include <gtest/gtest.h>
#include <random>

// The kept fonts are the ones a copy of the base changed at each cell gives,
// resolve mask included, over bases that come and go, equal ones among them.
TEST(RowFonts, StyledFontsEqualTheBaseChangedInPlace)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> pick(0, 7);
    TRowFonts fonts;
    for (int i = 0; i < 400; ++i) {
        const int shape = pick(random);
        QFont base(QStringLiteral("Liberation Sans"));
        base.setPixelSize(shape % 2 ? 12 : 15);
        if (shape & 2)
            base.setBold(true);
        if (shape & 4)
            base.setItalic(true);
        // The same look with kerning set explicitly: another resolve mask.
        if (pick(random) % 2)
            base.setKerning(base.kerning());
        const bool italic = pick(random) % 2;
        const bool bold = pick(random) % 2;
        QFont expected = base;
        expected.setItalic(base.italic() || italic);
        expected.setBold(base.bold() || bold);
        const QFont &styled = fonts.Styled(base, italic, bold);
        ASSERT_TRUE(styled == expected) << i;
        ASSERT_EQ(styled.resolveMask(), expected.resolveMask()) << i;
    }
}

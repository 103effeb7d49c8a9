#include "platform/Windows1252.h"

#include <gtest/gtest.h>

TEST(Windows1252, RoundTripsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = platform::decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0xE4], QChar(0x00E4));
    EXPECT_EQ(platform::encodeWindows1252(text), all);
}

TEST(Windows1252, OutsideCharactersAndUtf8Detection)
{
    EXPECT_EQ(platform::windows1252ByteOf(u'\u0100'), -1);
    EXPECT_EQ(platform::encodeWindows1252(u"a\u4E2Db"), QByteArray("a?b"));
    EXPECT_EQ(platform::decodeUtf8OrWindows1252("K\xC3\xA4se"), QString::fromUtf8("K\xC3\xA4se"));
    EXPECT_EQ(platform::decodeUtf8OrWindows1252("K\xE4se"), QString::fromUtf8("K\xC3\xA4se"));
    EXPECT_EQ(platform::decodeUtf8OrWindows1252("\xEF\xBB\xBFx"), QString("x"));
}

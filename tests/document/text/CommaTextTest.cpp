#include "document/text/CommaText.h"

#include <gtest/gtest.h>
#include <random>

TEST(CommaText, QuotingOnWrite)
{
    EXPECT_EQ(ToCommaText({ "a", "b c", "d,e", "f\"g", "", "h" }), "a,\"b c\",\"d,e\",\"f\"\"g\",,h");
    EXPECT_EQ(ToCommaText({ "line\nbreak", "tab\tx" }), "\"line\nbreak\",\"tab\tx\"");
    EXPECT_EQ(ToCommaText({}), "");
    EXPECT_EQ(ToCommaText({ "" }), "\"\""); // else it would read back as no item at all
    EXPECT_EQ(ToCommaText({ "", "" }), ",");
    EXPECT_EQ(ToCommaText({ "a", "" }), "a,");
}

TEST(CommaText, ReadingSplitsAtCommasAndBlanks)
{
    EXPECT_EQ(ParseCommaText("a b, c"), QStringList({ "a", "b", "c" }));
    EXPECT_EQ(ParseCommaText("a,,b"), QStringList({ "a", "", "b" }));
    EXPECT_EQ(ParseCommaText("a,"), QStringList({ "a", "" }));
    EXPECT_EQ(ParseCommaText(",a"), QStringList({ "", "a" }));
    EXPECT_EQ(ParseCommaText("  \"x y\" , z  "), QStringList({ "x y", "z" }));
    EXPECT_EQ(ParseCommaText("\"a\"\"b\",\"\""), QStringList({ "a\"b", "" }));
    EXPECT_EQ(ParseCommaText("\"a\"b"), QStringList({ "a", "b" }));
    EXPECT_EQ(ParseCommaText("\"unterminated, rest"), QStringList({ "unterminated, rest" }));
    EXPECT_EQ(ParseCommaText(""), QStringList());
    EXPECT_EQ(ParseCommaText("   "), QStringList());
    EXPECT_EQ(ParseCommaText("\"\""), QStringList({ "" }));
}

TEST(CommaText, EveryListSurvivesWriteAndRead)
{
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("ab ,\"\n\t\x00e4");
    for (int round = 0; round < 5000; ++round) {
        QStringList items;
        const int count = std::uniform_int_distribution<int>(0, 5)(rng);
        for (int i = 0; i < count; ++i) {
            QString item;
            const int len = std::uniform_int_distribution<int>(0, 6)(rng);
            for (int c = 0; c < len; ++c)
                item += alphabet[std::uniform_int_distribution<int>(0, int(alphabet.size()) - 1)(rng)];
            items << item;
        }
        ASSERT_EQ(ParseCommaText(ToCommaText(items)), items) << ToCommaText(items).toStdString();
    }
}

TEST(CommaText, ItemsOutOfRangeAndSetItemPadding)
{
    TCommaText list(QStringLiteral("a,b,c"));
    EXPECT_EQ(list.Item(5), "");
    EXPECT_EQ(list.Item(-1), "");
    list.SetItem(5, "f");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.AsString(), "a,b,c,,,f");
    list.SetItem(-1, "never");
    list.SetItem(-1, 0, "never");
    list.SetItem(0, -2, "never");
    list.SetItem(0, 0, -3, "never");
    EXPECT_EQ(list.AsString(), "a,b,c,,,f");

    EXPECT_EQ(list.IndexOf("C"), 2);
    EXPECT_EQ(list.IndexOf("x"), -1);
    list.Delete(0);
    list.Delete(99);
    list.Insert(99, "end");
    list.Insert(-5, "start");
    EXPECT_EQ(list.AsString(), "start,b,c,,,f,end");
    EXPECT_EQ(AddToCommaText("x,\"y z\"", "w v"), "x,\"y z\",\"w v\"");
}

TEST(CommaText, NestedListsThreeLevelsDeep)
{
    // A position item: name, week string, row count.
    TCommaText position(QStringLiteral("Press"));
    position.SetItem(1, "0,420,945");
    position.SetItem(2, "3");
    EXPECT_EQ(position.AsString(), "Press,\"0,420,945\",3");
    EXPECT_EQ(position.Count(1), 3);
    EXPECT_EQ(position.Item(1, 2), "945");

    TCommaText list;
    list.SetItem(1, 2, 1, "deep \"value\"");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Count(1), 3);
    EXPECT_EQ(list.Count(1, 2), 2);
    EXPECT_EQ(list.Item(1, 2, 1), "deep \"value\"");
    EXPECT_EQ(list.Item(1, 2, 0), "");
    EXPECT_EQ(list.Item(1, 5, 0), "");

    // Changing an inner item keeps its siblings at every level.
    list.SetItem(1, 0, "first");
    list.SetItem(1, 2, 0, "zero");
    EXPECT_EQ(list.Item(1, 0), "first");
    EXPECT_EQ(list.Item(1, 2, 0), "zero");
    EXPECT_EQ(list.Item(1, 2, 1), "deep \"value\"");

    const TCommaText reread(list.AsString());
    EXPECT_EQ(reread, list);
}

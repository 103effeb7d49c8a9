// The dialogs' side of the setup state: position descriptions and reasons as
// pulldown items.
#include "dialogs/setup/SetupState.h"

#include "document/text/CommaText.h"

#include <gtest/gtest.h>

// Renaming a position to another's name gives "Name 1", in the list and as the
// first line of its description, so its cells can tell the two apart. Only
// commas separate lines: a name with blanks is one line, written as it is.
TEST(SetupState, APositionsUniqueCaptionIsTheFirstLineOfItsDescription)
{
    TSetupPositions positions;
    positions.positions = { { R"(Press,"1,0,0")", 0 }, { R"(Saw,"1,0,0",2)", 1 } };
    positions.SetDescription(1, { "Press", "second press" });
    EXPECT_EQ(positions.Captions(), QStringList({ "Press", "Press 1" }));
    const TCommaText item(positions.positions[1].item);
    EXPECT_EQ(item.Item(0), R"("Press 1","second press")");
    EXPECT_EQ(item.Item(1), "1,0,0");
    EXPECT_EQ(item.Item(2), "2");
    positions.SetDescription(0, { "Press" }); // an unchanged name keeps itself
    EXPECT_EQ(positions.Captions(), QStringList({ "Press", "Press 1" }));

    EXPECT_EQ(DescriptionLines("Position 2"), QStringList({ "Position 2" }));
    EXPECT_EQ(DescriptionText({ "Position 2" }), "Position 2");
    EXPECT_EQ(
        DescriptionLines(R"(Press, "more, and ""this""")"), QStringList({ "Press", "more, and \"this\"" }));
    for (const QStringList &lines : { QStringList { "Smith, John" }, QStringList { " padded" },
             QStringList { "\"quoted\"" }, QStringList { "a", "", "b c" } })
        EXPECT_EQ(DescriptionLines(DescriptionText(lines)), lines);
    // A new position's item: a description of two lines, no week, no rows.
    TCommaText fresh;
    fresh.Add(DescriptionText({ "New Resource", "additional information" }));
    EXPECT_EQ(fresh.AsString(), R"("""New Resource"",""additional information""")");
}

TEST(SetupState, MemoLinesStayOneFieldThroughTwoLevelsOfCommaText)
{
    const QStringList items = MemoLinesToItems({ "Holiday", "", "Sick, long", "Say \"hi\"", " padded " });
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[1], R"("Sick, long")");
    EXPECT_EQ(ItemValues(ParseCommaText(ToCommaText(items))),
        QStringList({ "Holiday", "Sick, long", "Say \"hi\"", " padded " }));
}

// The dialogs' side of the setup state: unique captions, position names,
// reasons as items, and the lengths of a unit change.
#include "dialogs/setup/SetupState.h"

#include "dialogs/setup/MinUnitChange.h"
#include "document/text/CommaText.h"

#include <gtest/gtest.h>

TEST(SetupState, CaptionsAreMadeUniqueWithTheFirstFreeNumber)
{
    EXPECT_EQ(CheckCaption({ "Start", "End" }, "Length"), "Length");
    EXPECT_EQ(CheckCaption({ "Start", "End" }, "Start"), "Start 1");
    EXPECT_EQ(CheckCaption({ "New Column", "New Column 1", "New Column 3" }, "New Column"), "New Column 2");
}

// Renaming a position to another's name gives "Name 1", in the list and as the
// first line of its description, so its cells can tell the two apart.
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
    // An unchanged name keeps itself.
    positions.SetDescription(0, { "Press" });
    EXPECT_EQ(positions.Captions(), QStringList({ "Press", "Press 1" }));
    positions.SetDescription(0, {});
    EXPECT_EQ(PositionCaption(positions.positions[0].item), "");
}

// A description's lines are separated by commas only: a name with blanks is one
// line and is written as it is, so the cells show it plainly.
TEST(SetupState, DescriptionsKeepNamesWithBlanksOnOneLine)
{
    EXPECT_EQ(DescriptionLines("Position 2"), QStringList({ "Position 2" }));
    EXPECT_EQ(DescriptionText({ "Position 2" }), "Position 2");
    EXPECT_EQ(DescriptionLines(R"("New Resource","additional information")"),
        QStringList({ "New Resource", "additional information" }));
    EXPECT_EQ(
        DescriptionLines(R"(Press, "more, and ""this""")"), QStringList({ "Press", "more, and \"this\"" }));
    EXPECT_EQ(DescriptionLines(""), QStringList({ "" }));
    for (const QStringList &lines : { QStringList { "Smith, John" }, QStringList { " padded" },
             QStringList { "\"quoted\"" }, QStringList { "a", "", "b c" } })
        EXPECT_EQ(DescriptionLines(DescriptionText(lines)), lines);
    // A new position's item: a description of two lines, no week, no rows.
    TCommaText item;
    item.Add(DescriptionText({ "New Resource", "additional information" }));
    EXPECT_EQ(item.AsString(), R"("""New Resource"",""additional information""")");
}

TEST(SetupState, MemoLinesStayOneFieldThroughTwoLevelsOfCommaText)
{
    const QStringList lines { "Holiday", "", "Sick, long", "Say \"hi\"", " padded " };
    const QStringList items = MemoLinesToItems(lines);
    EXPECT_EQ(items.size(), 4);
    // A line without a quote: three quotes on each side in the list's text.
    EXPECT_EQ(ToCommaText(items.mid(0, 1)), R"("""Holiday""")");
    EXPECT_EQ(items[1], R"("Sick, long")");
    EXPECT_EQ(ItemValues(ParseCommaText(ToCommaText(items))),
        QStringList({ "Holiday", "Sick, long", "Say \"hi\"", " padded " }));
}

TEST(SetupState, LengthsReadInTheOldUnitAsWorkingMinutes)
{
    EXPECT_EQ(LengthMinutes("2", muDay), 960);
    EXPECT_EQ(LengthMinutes(" 3 ", muDay), 1440);
    EXPECT_EQ(LengthMinutes("2,30", muMinute), 150);
    EXPECT_EQ(LengthMinutes("16", muMinute), 960);
    for (const QString text : { "", "abc", "1,5x", "x,5", "99999999999" })
        EXPECT_FALSE(LengthMinutes(text, muMinute).has_value()) << text.toStdString();
    EXPECT_FALSE(LengthMinutes("2,30", muDay).has_value());

    EXPECT_EQ(MinutesToDays(960), 2);
    EXPECT_EQ(MinutesToDays(1200), 2); // 2.5 rounds to even
    EXPECT_EQ(MinutesToDays(1680), 4); // 3.5 rounds to even
    EXPECT_EQ(MinutesToDays(1), 1);
    EXPECT_EQ(MinutesToDays(0), 0);
}

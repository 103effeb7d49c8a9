// Shown rows find their positions by text without regard to case, for plain and
// accented letters alike; the first row of a text wins.
#include "document/ChartRows.h"

#include <gtest/gtest.h>

TEST(ChartRowsMatch, RowsFindTheirPositionsIgnoringCase)
{
    TChartRows rows;
    rows.SetPositions({ "Drill", QStringLiteral("Äxte"), "Press,,2", "saw-7" }, true);
    // Positions: Drill, Äxte, Press, Press (1), saw-7.
    rows.SetShownRows({ "PRESS,,2", QStringLiteral("äXTE"), "drill", "Drill", "SAW-7", "Bench" });
    EXPECT_EQ(rows.PositionInPositionGroup(), (std::vector<int> { 2, 1, 0, -2, 4 }));
    EXPECT_EQ(rows.FirstPositionOfRow(3), -1); // the second "drill" shows nothing
    EXPECT_EQ(rows.FirstPositionOfRow(5), -1);
    EXPECT_EQ(rows.RowCount(), 6);
}

TEST(ChartRowsMatch, EveryPositionShownIsItsOwnRowUnlessItsTextCameBefore)
{
    TChartRows rows;
    rows.SetPositions({ "Saw", QStringLiteral("ÖFEN"), "SAW", QStringLiteral("öfen"), "Lathe" }, true);
    rows.SetShownRows(rows.AllPositions());
    EXPECT_EQ(rows.PositionInPositionGroup(), (std::vector<int> { 0, 1, 0, 1, 4 }));
    // The same rows under other cases map alike.
    rows.SetShownRows({ "saw", QStringLiteral("Öfen"), "x", "y", "LATHE" });
    EXPECT_EQ(rows.PositionInPositionGroup(), (std::vector<int> { 0, 1, 0, 1, 4 }));
}

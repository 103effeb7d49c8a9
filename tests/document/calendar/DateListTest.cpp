#include "document/calendar/DateList.h"

#include <gtest/gtest.h>

TEST(DateList, SortsByStartThenEnd)
{
    tDateList list;
    list.Add(10, 12, 0, nullptr, "c");
    list.Add(5, 9, 1, nullptr, "b");
    list.Add(5, 6, -9, nullptr, "a");
    list.SortDate();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0].name, "a");
    EXPECT_EQ(list[1].name, "b");
    EXPECT_EQ(list[2].name, "c");
    EXPECT_EQ(list[0].value, 0);
    list.Delete(7);
    list.Delete(0);
    EXPECT_EQ(list[0].name, "b");
}

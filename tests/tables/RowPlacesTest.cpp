// The flat row -> place table against a plain map, through random inserts,
// moves and removals that crowd it (removals in the middle of probe runs).
#include "tables/RowPlaces.h"

#include "document/DocumentTypes.h"

#include <gtest/gtest.h>
#include <random>
#include <unordered_map>
#include <vector>

TEST(RowPlaces, RandomChangesAnswerAsAPlainMap)
{
    std::vector<TNodeData> rows(3000);
    std::unordered_map<const TNodeData *, std::size_t> plain;
    TRowPlaces places;
    std::mt19937 random(7);
    auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
    for (int step = 0; step < 60000; ++step) {
        const TNodeData *row = &rows[pick(rows.size())];
        switch (pick(7)) {
        case 0:
        case 1:
        case 2: {
            const std::size_t place = pick(100000);
            if (pick(2)) {
                places.Insert(row, place);
                plain[row] = place;
            } else {
                ASSERT_EQ(places.Add(row, place), plain.emplace(row, place).second) << step;
            }
            break;
        }
        case 3:
        case 4:
            places.Remove(row);
            plain.erase(row);
            break;
        case 5:
            if (pick(500) == 0) {
                places.Clear();
                plain.clear();
            }
            break;
        default:
            places.Reserve(plain.size() + pick(4000));
            break;
        }
        ASSERT_EQ(places.Size(), plain.size()) << step;
        // The row just changed, and a few others, found as the map finds them.
        const TNodeData *others[] = { row, &rows[pick(rows.size())], &rows[pick(rows.size())] };
        for (const TNodeData *asked : others) {
            std::size_t place = ~std::size_t(0);
            const auto it = plain.find(asked);
            ASSERT_EQ(places.Find(asked, place), it != plain.end()) << step;
            if (it != plain.end()) {
                ASSERT_EQ(place, it->second) << step;
            }
        }
    }
    for (const TNodeData &row : rows) {
        std::size_t place = 0;
        const auto it = plain.find(&row);
        ASSERT_EQ(places.Find(&row, place), it != plain.end());
        if (it != plain.end()) {
            EXPECT_EQ(place, it->second);
        }
    }
    EXPECT_FALSE(places.Contains(nullptr));
}

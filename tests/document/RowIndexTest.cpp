#include "document/RowIndex.h"

#include "document/DocumentTypes.h"

#include <QHash>
#include <deque>
#include <gtest/gtest.h>
#include <random>

// Against a plain hash by ID with the same rules (a later row takes the ID over; a
// row leaves only when it is the one indexed): random inserts, removals of indexed
// and unindexed rows, and clears, over few IDs so that probes collide and wrap.
TEST(RowIndex, MatchesAPlainHashByID)
{
    std::mt19937 random(11);
    std::deque<TNodeData> rows;
    std::vector<TNodeData *> made;
    TRowIndex index;
    QHash<QString, TNodeData *> reference;
    const auto idOf = [&] { return QStringLiteral("pc.%1").arg(random() % 400); };
    for (int step = 0; step < 20000; ++step) {
        const unsigned what = random() % 100;
        if (what < 55 || made.empty()) {
            TNodeData &row = rows.emplace_back();
            row.ID = idOf();
            made.push_back(&row);
            index.Insert(&row);
            reference.insert(row.ID, &row);
        } else if (what < 98) {
            TNodeData *row = made[random() % made.size()];
            index.Remove(row);
            if (reference.value(row->ID) == row)
                reference.remove(row->ID);
        } else if (what < 99) {
            index.Clear();
            reference.clear();
        }
        ASSERT_EQ(index.Count(), std::size_t(reference.size())) << step;
        const QString probe = idOf();
        ASSERT_EQ(index.Find(probe), reference.value(probe)) << step << " " << probe.toStdString();
    }
    for (auto it = reference.cbegin(); it != reference.cend(); ++it)
        EXPECT_EQ(index.Find(it.key()), it.value());
    EXPECT_EQ(index.Find(QStringLiteral("absent")), nullptr);
}

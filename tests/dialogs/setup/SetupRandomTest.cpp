// Random edits of the positions, applied one after the other on one document,
// against a plain model of where each Position cell must go.
#include "tests/dialogs/setup/SetupTestSupport.h"

#include <algorithm>
#include <random>

namespace {

// The chart rows of a position list as cells name them, with each row's
// position and sub-row.
struct RowNames {
    QStringList names;
    std::vector<int> owner, subRow, first, rows;
    explicit RowNames(const QStringList &items)
    {
        for (int p = 0; p < items.size(); ++p) {
            const TCommaText item(items[p]);
            first.push_back(int(names.size()));
            rows.push_back(std::max(1, item.Item(2).toInt()));
            for (int r = 0; r < rows.back(); ++r) {
                names << (r == 0 ? item.Item(0) : item.Item(0) + " (" + QString::number(r) + ")");
                owner.push_back(p);
                subRow.push_back(r);
            }
        }
    }
};

} // namespace

// Each round renames, deletes, moves and adds positions and changes row counts.
// A Position cell must name the same row of what its position became (its last
// row when it has fewer), be emptied when the position went, and stay when it
// named no position or all of them. Each changed cell is shared once.
TEST_F(SetupTest, PositionCellsFollowRandomEditsOfThePositions)
{
    std::mt19937 random(20240611);
    auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    setPositions({ positionItem("A", 2), positionItem("B"), positionItem("C", 3), positionItem("D") });
    auto randomCell = [&] {
        const QStringList names = RowNames(positions()).names + QStringList { "*", "Nobody", "", "A (9)" };
        return names[below(int(names.size()))];
    };
    for (int i = 0; i < 40; ++i)
        addTask("t" + QString::number(i), randomCell(), "04.03.2024", "1");
    for (int i = 0; i < 12; ++i)
        addAbsence("a" + QString::number(i), randomCell(), "04.03.2024", "1");

    std::size_t changedCells = 0, emptied = 0;
    for (int round = 0; round < 30; ++round) {
        const RowNames before(positions());
        const QStringList tasks = column(tbTable, 0), absences = column(tbExclude, 0);

        fill();
        std::vector<TSetupPosition> &list = state.positions.positions;
        std::erase_if(list, [&](const TSetupPosition &) { return below(5) == 0; });
        std::shuffle(list.begin(), list.end(), random);
        for (int n = list.empty() ? 1 : below(3); n > 0 && list.size() < 7; --n)
            list.insert(list.begin() + below(int(list.size()) + 1), { positionItem("?"), -1 });
        for (std::size_t j = 0; j < list.size(); ++j) {
            TCommaText item(list[j].item);
            if (list[j].origin < 0 || below(3) == 0) // a name of no other position, old or new
                item.SetItem(0, QString("R%1.%2").arg(round).arg(j));
            if (below(3) == 0)
                item.SetItem(2, QString::number(1 + below(3)));
            list[j].item = item.AsString();
        }
        QStringList items;
        std::vector<int> origins;
        for (const TSetupPosition &p : list) {
            items << p.item;
            origins.push_back(p.origin);
        }
        const RowNames after(items);
        auto expected = [&](const QString &cell) {
            const int k = before.names.indexOf(cell);
            if (cell == "*" || k < 0)
                return cell;
            const auto j = std::find(origins.begin(), origins.end(), before.owner[std::size_t(k)]);
            if (j == origins.end())
                return QString();
            const std::size_t n = std::size_t(j - origins.begin());
            return after.names[after.first[n] + std::min(after.rows[n] - 1, before.subRow[std::size_t(k)])];
        };
        const auto records = sink.records.size();
        ASSERT_TRUE(ok(TSetupSection::Positions)) << "round " << round;

        ASSERT_EQ(positions(), items);
        std::size_t changed = 0;
        for (const auto &[table, cells] :
            { std::pair { tbTable, tasks }, std::pair { tbExclude, absences } }) {
            const QStringList now = column(table, 0);
            for (int r = 0; r < cells.size(); ++r) {
                ASSERT_EQ(now[r], expected(cells[r]))
                    << "round " << round << " cell " << cells[r].toStdString();
                changed += now[r] != cells[r] ? 1 : 0;
                emptied += now[r].isEmpty() && !cells[r].isEmpty() ? 1 : 0;
            }
        }
        EXPECT_EQ(sink.records.size() - records, changed) << "round " << round;
        changedCells += changed;
    }
    // The rounds did move cells, and emptied some.
    EXPECT_GT(changedCells, 50u);
    EXPECT_GT(emptied, 10u);
}

// Random column layouts and position edits, applied one after the other on one
// document, against plain reference models of what each should do.
#include "document/ChartRows.h"
#include "tests/dialogs/setup/SetupTestSupport.h"

#include <algorithm>
#include <random>

namespace {

class SetupRandom : public SetupTest {
protected:
    std::mt19937 random { 20240611 };

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    QList<QStringList> cells(TWhichTable table) const
    {
        QList<QStringList> rows;
        const DocumentTable &t = doc->GetTable(table);
        for (const TNodeData *row = t.First(); row; row = t.Next(row))
            rows << row->StringList;
        return rows;
    }
};

// The chart rows of a position list as the cells name them, with each row's
// position and sub-row.
struct RowNames {
    QStringList names;
    std::vector<int> owner, subRow, first, rows;
    explicit RowNames(const QStringList &items)
    {
        for (int p = 0; p < items.size(); ++p) {
            first.push_back(int(names.size()));
            const TCommaText item(items[p]);
            bool ok = false;
            const int n = std::max(1, item.Item(2).toInt(&ok));
            rows.push_back(ok ? n : 1);
            for (int r = 0; r < rows.back(); ++r) {
                names << (r == 0 ? item.Item(0) : item.Item(0) + " (" + QString::number(r) + ")");
                owner.push_back(p);
                subRow.push_back(r);
            }
        }
    }
};

} // namespace

TEST_F(SetupRandom, ColumnsLaidOutAtRandomKeepEveryCellDefinitionAndRoleWithItsColumn)
{
    doc->ResizeTable(tbTable, 10);
    for (int c = 0; c < 10; ++c) {
        doc->SetColumnCaption(tbTable, c, "C" + QString::number(c));
        doc->GetHeader(tbTable, c)->Filter.Text1 = "C" + QString::number(c);
    }
    doc->SetConnection(tbTable, cnTextRightBottom, 8);
    doc->SetConnection(tbTable, cnInterval, 9);
    for (int r = 0; r < 12; ++r) {
        TNodeData *row = doc->AddNode("r" + QString::number(r), tbTable, false);
        for (int c = 0; c < 10; ++c)
            doc->DoSetData(row, c, QString("r%1c%2").arg(r).arg(c), false);
    }
    int added = 0;
    for (int round = 0; round < 40; ++round) {
        const QList<QStringList> before = cells(tbTable);
        std::vector<int> rolesBefore;
        for (int role = cnPosition; role < kConnectionCount; ++role)
            rolesBefore.push_back(doc->GetConnection(tbTable, TConnection(role)));
        const QStringList tagsBefore = [&] {
            QStringList tags;
            for (int c = 0; c < doc->GetTableColCount(tbTable); ++c)
                tags << doc->GetHeader(tbTable, c)->Filter.Text1;
            return tags;
        }();

        fill();
        // Columns bound to a required role stay; any other may go. Some are added.
        std::vector<TSetupColumn> &columns = state.table.columns;
        const std::vector<int> required { doc->GetConnection(tbTable, cnPosition),
            doc->GetConnection(tbTable, cnStart), doc->GetConnection(tbTable, cnEnd),
            doc->GetConnection(tbTable, cnLength), doc->GetConnection(tbTable, cnColor) };
        std::erase_if(columns, [&](const TSetupColumn &c) {
            return std::find(required.begin(), required.end(), c.origin) == required.end() && chance(0.15);
        });
        std::shuffle(columns.begin(), columns.end(), random);
        for (int n = below(3); n > 0; --n) {
            const int at = below(int(columns.size()) + 1);
            columns.insert(columns.begin() + at, { "New " + QString::number(++added), ctText, "", -1 });
        }
        std::vector<int> origin;
        for (const TSetupColumn &c : columns)
            origin.push_back(c.origin);
        ASSERT_TRUE(ok(TSetupSection::Table)) << "round " << round;

        const QList<QStringList> after = cells(tbTable);
        ASSERT_EQ(after.size(), before.size());
        for (int r = 0; r < after.size(); ++r) {
            QStringList expected;
            for (int o : origin)
                expected << (o >= 0 ? before[r][o] : QString());
            ASSERT_EQ(after[r], expected) << "round " << round << " row " << r;
        }
        for (std::size_t i = 0; i < origin.size(); ++i)
            EXPECT_EQ(doc->GetHeader(tbTable, int(i))->Filter.Text1,
                origin[i] >= 0 ? tagsBefore[origin[i]] : QString());
        for (int role = cnPosition; role < kConnectionCount; ++role) {
            const int old = rolesBefore[std::size_t(role - cnPosition)];
            const auto at = std::find(origin.begin(), origin.end(), old);
            const int expected = old >= 0 && at != origin.end() ? int(at - origin.begin()) : -1;
            EXPECT_EQ(doc->GetConnection(tbTable, TConnection(role)), expected) << "role " << role;
        }
        ASSERT_EQ(transferHost.relaid.back(), origin);
    }
}

// Each round renames, deletes, moves and adds positions and changes row counts.
// A Position cell names a position's row; it must name the same row of what
// that position became (its last row when it has fewer), be emptied when the
// position went, and stay when it named no position or all of them.
TEST_F(SetupRandom, PositionCellsFollowRandomEditsOfThePositions)
{
    QStringList pool;
    for (char c = 'A'; c <= 'T'; ++c)
        pool << QString(QChar(c));
    QStringList items;
    for (int p = 0; p < 5; ++p)
        items << positionItem(pool[p], 1 + below(3));
    setPositions(items);
    auto randomCell = [&] {
        const RowNames rows(positions());
        const int pick = below(int(rows.names.size()) + 4);
        if (pick < rows.names.size())
            return rows.names[pick];
        return QStringList({ "*", "Nobody", "", "A (9)" })[pick - int(rows.names.size())];
    };
    for (int i = 0; i < 40; ++i)
        addTask("t" + QString::number(i), randomCell(), "04.03.2024", "1");
    for (int i = 0; i < 12; ++i)
        addAbsence("a" + QString::number(i), randomCell(), "04.03.2024", "1");

    std::size_t changedCells = 0, emptied = 0;
    for (int round = 0; round < 30; ++round) {
        const QStringList oldItems = positions();
        const RowNames before(oldItems);
        const QList<QStringList> tasksBefore = cells(tbTable), absentBefore = cells(tbExclude);

        fill();
        std::vector<TSetupPosition> &list = state.positions.positions;
        std::erase_if(list, [&](const TSetupPosition &) { return chance(0.2); });
        std::shuffle(list.begin(), list.end(), random);
        for (int n = list.empty() ? 1 : below(3); n > 0 && list.size() < 7; --n)
            list.insert(list.begin() + below(int(list.size()) + 1), { positionItem("?"), -1 });
        // Names and row counts from the pool, each name used once.
        QStringList free = pool;
        std::shuffle(free.begin(), free.end(), random);
        for (TSetupPosition &p : list) {
            TCommaText item(p.item);
            if (p.origin < 0 || chance(0.3))
                item.SetItem(0, free.takeFirst());
            else
                free.removeAll(item.Item(0));
            if (chance(0.3))
                item.SetItem(2, QString::number(1 + below(3)));
            p.item = item.AsString();
        }
        for (TSetupPosition &p : list) { // names taken by a rename may be doubled now
            QStringList others;
            for (const TSetupPosition &q : list)
                if (&q != &p)
                    others << TCommaText(q.item).Item(0);
            if (others.contains(TCommaText(p.item).Item(0))) {
                TCommaText item(p.item);
                item.SetItem(0, free.takeFirst());
                p.item = item.AsString();
            }
        }
        QStringList newItems;
        std::vector<int> origins;
        for (const TSetupPosition &p : list) {
            newItems << p.item;
            origins.push_back(p.origin);
        }
        const RowNames after(newItems);
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

        ASSERT_EQ(positions(), newItems);
        std::size_t changed = 0;
        for (const auto &[table, rows] :
            { std::pair { tbTable, tasksBefore }, std::pair { tbExclude, absentBefore } }) {
            const QStringList now = column(table, 0);
            for (int r = 0; r < rows.size(); ++r) {
                ASSERT_EQ(now[r], expected(rows[r][0]))
                    << "round " << round << " cell " << rows[r][0].toStdString();
                changed += now[r] != rows[r][0] ? 1 : 0;
                emptied += now[r].isEmpty() && !rows[r][0].isEmpty() ? 1 : 0;
            }
        }
        EXPECT_EQ(sink.records.size() - records, changed) << "round " << round;
        changedCells += changed;
    }
    // The rounds did move cells, and emptied some.
    EXPECT_GT(changedCells, 100u);
    EXPECT_GT(emptied, 10u);
}

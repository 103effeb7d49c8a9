// Task ends over working time on a large plan (100,000 tasks of about five working
// days on 1,000 positions, 10,000 absent rows, a year of public holidays), beside
// numpy's busday_offset on the same starts and lengths, with the same week and
// holidays and one calendar per position for its absent days (run in a python3
// child each time, timed there). The bare floor (start + days) is shown too: no
// walk over a calendar comes near it.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "document/calendar/WorkingTime.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace {

struct Plan {
    Document doc;
    std::vector<TNodeData *> tasks;
};

Plan &plan()
{
    static Plan *p = [] {
        auto *made = new Plan;
        GeneratorOptions o;
        o.tasks = 100000;
        o.absentRows = 10000;
        o.positions = 1000;
        GenerateDocument(made->doc, o);
        made->doc.ForEach(tbTable, feAll, [made](TNodeData &row) { made->tasks.push_back(&row); });
        return made;
    }();
    return *p;
}

// The walk alone: every end derived again from start, length, week, holidays and
// the position's absent days.
void BM_WalkEveryEnd(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.CalcEndOf(*row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// The floor: start + days for the same rows.
void BM_FloorAddDays(benchmark::State &state)
{
    Plan &p = plan();
    std::vector<TDateTime> ends(p.tasks.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < p.tasks.size(); ++i)
            ends[i] = p.tasks[i]->nodeStart + p.tasks[i]->nodeLength / 480;
        benchmark::DoNotOptimize(ends.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// After an absent row changed: the absent days of every position are gathered
// again on the next walk.
void BM_WalkEveryEndAfterAbsentChange(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        p.doc.AbsentDaysChanged();
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.CalcEndOf(*row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// The whole road of a recomputed end: the walk, then the End cell written and the
// row validated again.
void BM_GetEndOfEveryRow(benchmark::State &state)
{
    Plan &p = plan();
    for (auto _ : state) {
        for (TNodeData *row : p.tasks)
            row->RecalcEndOf = true;
        for (TNodeData *row : p.tasks)
            benchmark::DoNotOptimize(p.doc.GetEndOf(row));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(p.tasks.size()));
}

// Days between 1899-12-30 (our day 0) and 1970-01-01 (numpy's day 0).
constexpr std::int64_t kNumpyEpoch = 25569;

// Times busday_offset over every position's tasks with that position's calendar
// (prepared beforehand), and the same with the calendars made inside the timing:
// the median of several rounds, in seconds, printed as "offsets S" and
// "calendars_and_offsets S".
const char *const kPeerScript = R"(
import sys, time, statistics
import numpy as np
folder = sys.argv[1]
starts = np.fromfile(folder + '/starts', dtype=np.int64).astype('datetime64[D]')
offsets = np.fromfile(folder + '/offsets', dtype=np.int64)
positions = np.fromfile(folder + '/positions', dtype=np.int64)
calendars = {}
for line in open(folder + '/calendars'):
    fields = line.split()
    days = np.array([int(d) for d in fields[2:]], dtype=np.int64).astype('datetime64[D]')
    calendars[int(fields[0])] = (fields[1], days)
order = np.argsort(positions, kind='stable')
bounds = np.flatnonzero(np.diff(positions[order])) + 1
groups = [(int(positions[g[0]]), starts[g].copy(), offsets[g].copy()) for g in np.split(order, bounds)]
made = {p: np.busdaycalendar(weekmask=m, holidays=h) for p, (m, h) in calendars.items()}
def offsets_only():
    for p, s, n in groups:
        np.busday_offset(s, n, roll='forward', busdaycal=made[p])
def with_calendars():
    for p, s, n in groups:
        m, h = calendars[p]
        np.busday_offset(s, n, roll='forward', busdaycal=np.busdaycalendar(weekmask=m, holidays=h))
def median(run, rounds=9):
    times = []
    for _ in range(rounds):
        t = time.perf_counter()
        run()
        times.append(time.perf_counter() - t)
    return statistics.median(times)
print('offsets', median(offsets_only))
print('calendars_and_offsets', median(with_calendars))
)";

// The plan's tasks and calendars in the peer's terms: whole working days from a
// start day, a week mask from Monday on, the holidays and the position's absent
// days (and those of everybody) as days off.
bool WritePeerInput(Document &doc, const QString &folder)
{
    std::vector<std::int64_t> starts, offsets, positions;
    std::set<int> used;
    for (TNodeData *row : plan().tasks) {
        if (row->nodePosition < 0 || row->nodeLength <= 0 || row->nodeStart <= 0)
            continue;
        starts.push_back(std::int64_t(std::floor(row->nodeStart)) - kNumpyEpoch);
        // The end is the last of the task's working days: that many minus one on.
        offsets.push_back((std::int64_t(row->nodeLength) + 479) / 480 - 1);
        positions.push_back(row->nodePosition);
        used.insert(row->nodePosition);
    }
    std::map<int, std::set<std::int64_t>> absent;
    std::int64_t first = LLONG_MAX, last = LLONG_MIN;
    doc.ForEach(tbExclude, feAll, [&](TNodeData &row) {
        const TDateTime end = doc.GetEndOf(&row);
        if (!row.nodeValid)
            return;
        for (auto day = std::int64_t(std::ceil(row.nodeStart)); day <= std::int64_t(std::floor(end)); ++day)
            absent[row.nodePosition].insert(day);
    });
    for (const std::int64_t start : starts) {
        first = std::min(first, start + kNumpyEpoch);
        last = std::max(last, start + kNumpyEpoch);
    }
    HolidayCalendar holidays;
    holidays.SetHolidays(doc.Setup().FHolidayList);
    holidays.Cover(first - 30, last + 400);
    QByteArray calendars;
    for (const int position : used) {
        const TWorkWeek week = PrepareWorkWeek(doc.GetWeekInfoOfPosition(position));
        QByteArray mask;
        for (int d = 1; d <= 7; ++d) // numpy's week starts on Monday, ours on Sunday
            mask += week.days[d % 7].arrivalWorks ? '1' : '0';
        std::set<std::int64_t> off = absent[position];
        off.insert(absent[kAllPositions].begin(), absent[kAllPositions].end());
        for (const DaySpan &span : holidays.Spans())
            for (std::int64_t day = span.first; day < span.end; ++day)
                off.insert(day);
        calendars += QByteArray::number(position) + ' ' + mask;
        for (const std::int64_t day : off)
            calendars += ' ' + QByteArray::number(day - kNumpyEpoch);
        calendars += '\n';
    }
    auto write = [&folder](const char *name, const QByteArray &bytes) {
        QFile file(folder + '/' + name);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    auto raw = [](const std::vector<std::int64_t> &values) {
        return QByteArray(reinterpret_cast<const char *>(values.data()), qsizetype(values.size() * 8));
    };
    return write("starts", raw(starts)) && write("offsets", raw(offsets))
        && write("positions", raw(positions)) && write("calendars", calendars)
        && write("peer.py", kPeerScript);
}

// Runs the peer and records its two times; false when python or numpy is missing.
bool MeasurePeer(bench::FigureReporter &reporter)
{
    QTemporaryDir folder;
    if (!WritePeerInput(plan().doc, folder.path()))
        return false;
    QProcess python;
    python.start(QString::fromUtf8(ZELTRANO_SYSTEM_PYTHON), { folder.filePath("peer.py"), folder.path() });
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::printf("numpy peer FAILED: %s\n", python.readAllStandardError().constData());
        return false;
    }
    const QByteArray out = python.readAllStandardOutput();
    std::printf("numpy peer: %s", out.constData());
    for (const QByteArray &line : out.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            reporter.Record(fields[0] == "offsets" ? "Numpy_BusdayOffset" : "Numpy_CalendarsAndBusdayOffset",
                fields[1].toDouble());
    }
    return true;
}

} // namespace

BENCHMARK(BM_WalkEveryEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorAddDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkEveryEndAfterAbsentChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEndOfEveryRow)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    return bench::runWithFigures(argc, argv,
        { { "dates.walk_every_end/numpy", "BM_WalkEveryEnd", "Numpy_BusdayOffset", "<=", 0.2 },
            { "dates.walk_after_absent_change/numpy", "BM_WalkEveryEndAfterAbsentChange",
                "Numpy_CalendarsAndBusdayOffset", "<=", 0.2 },
            { "dates.recompute_every_end/numpy", "BM_GetEndOfEveryRow", "Numpy_BusdayOffset", "<=", 0.2 },
            { "dates.walk_every_end/floor", "BM_WalkEveryEnd", "BM_FloorAddDays", "", 0 },
            { "dates.walk_after_absent_change/floor", "BM_WalkEveryEndAfterAbsentChange", "BM_FloorAddDays",
                "", 0 },
            { "dates.recompute_every_end/floor", "BM_GetEndOfEveryRow", "BM_FloorAddDays", "", 0 } },
        [](bench::FigureReporter &reporter) { MeasurePeer(reporter); });
}

// The absence report over a plan of about 2,000 chart rows and 50,000 absent-day
// rows, beside its floor: one pass reading every absent row's dates, position and
// reason.
#include "bench/BenchSupport.h"
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/stats/HolidayDialog.h"

#include <QGuiApplication>

namespace {

// 1,820 positions, every tenth of two rows: 2,002 chart rows.
constexpr int Positions = 1820;

Document &Plan()
{
    static Document *doc = [] {
        auto *plan = new Document; // lives until the process ends
        GeneratorOptions options;
        options.tasks = 1000;
        options.absentRows = 50000;
        options.positions = Positions;
        GenerateDocument(*plan, options);
        // Ends derived, as a loaded document has them.
        plan->ForEach(feAll, [plan](TNodeData &row) { plan->GetEndOf(&row); });
        return plan;
    }();
    return *doc;
}

const TDateTime From = EncodeDate(2024, 1, 1);
const TDateTime Till = EncodeDate(2024, 12, 31);

void Report(benchmark::State &state)
{
    Document &doc = Plan();
    qsizetype lines = 0;
    for (auto _ : state) {
        const QStringList report = AbsenceReport(doc, From, Till);
        lines = report.size();
        benchmark::DoNotOptimize(report.constData());
    }
    state.counters["lines"] = double(lines);
}

void ReadEveryAbsentRow(benchmark::State &state)
{
    Document &doc = Plan();
    for (auto _ : state) {
        double sum = 0;
        doc.ForEach(tbExclude, feAll, [&](TNodeData &row) {
            sum += doc.GetStartOf(&row) + doc.GetEndOf(&row) + doc.GetPositionOf(&row)
                + doc.GetDataIndex_(&row, cnColor);
        });
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(Report)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadEveryAbsentRow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::printf("chart rows %d, absent rows %d\n", Plan().GetRowCount(), Plan().TotalCount(tbExclude));
    return bench::runWithFigures(argc, argv,
        { { "absence.report/read_every_absent_row", "Report", "ReadEveryAbsentRow", "<=", 3.0 } });
}

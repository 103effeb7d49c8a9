#pragma once

// Shared by the benchmarks: document-like input and a reporter that prints each figure
// (a time relative to its peer or floor measured in the same run) with its goal.

#include "document/xml/XMLTree.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// The bytes of a document of about `size` bytes in the writer's layout: rows of task
// cells with dates, positions, lengths and free texts, as documents hold them.
inline QByteArray documentLikeBytes(qsizetype size)
{
    std::mt19937 rng(20240521);
    const char *positions[] = { "Machine 1", "Machine 2", "Assembly", "Paint shop", "Müller", "Weiß" };
    const char *states[] = { "planned", "started", "done", "on hold" };
    const char *words[]
        = { "order", "customer", "frame", "revision", "urgent", "parts", "check", "Ölwechsel" };
    // No declaration: the writer's self-closing form of it is no well-formed XML, and the
    // peer parsers would stop there.
    TXMLTree tree;
    TXMLNode *document = tree.AddNode(THashedString("document"));
    TXMLNode *setup = document->AddNode(THashedString("setup"));
    for (const char *p : positions)
        setup->AddNode(THashedString("Position"), QString::fromUtf8(p) + ",0,1");
    TXMLNode *data = document->AddNode(THashedString("data"));
    qsizetype estimate = 0;
    for (int row = 0; estimate < size; ++row) {
        TXMLNode *r = data->AddNode(THashedString("row"));
        r->AddAttribute(THashedString("id"), QStringLiteral("PC-%1.user.%2").arg(rng() % 5).arg(row));
        r->AddAttribute(THashedString("table"), row % 10 ? "tbTable" : "tbExclude");
        const int day = int(rng() % 28) + 1;
        r->AddNode(THashedString("Position"), QString::fromUtf8(positions[rng() % 6]));
        r->AddNode(THashedString("Start"),
            QStringLiteral("2024-%1-%2 00:00:00")
                .arg(rng() % 12 + 1, 2, 10, QChar('0'))
                .arg(day, 2, 10, QChar('0')));
        r->AddNode(THashedString("End"),
            QStringLiteral("2024-%1-%2 00:00:00")
                .arg(rng() % 12 + 1, 2, 10, QChar('0'))
                .arg(day, 2, 10, QChar('0')));
        r->AddNode(THashedString("Length"), QString::number((rng() % 20 + 1) * 480));
        r->AddNode(THashedString("State"), states[rng() % 4]);
        QString text;
        for (int w = int(rng() % 6) + 1; w > 0; --w)
            text += QString::fromUtf8(words[rng() % 8]) + u' ';
        text += QString::number(rng() % 100000);
        r->AddNode(THashedString("Text"), text);
        r->AddNode(THashedString("Done"), rng() % 2 ? "Ja" : "Nein");
        estimate += 330;
    }
    return tree.SaveToBytes(false);
}

// One figure a benchmark is judged by: the time of one measurement divided by the
// time of another (its peer or floor) from the same run, or, with no divisor, a
// counter or value recorded under `numerator`. `op` and `goal` say what is asked
// ("<=" or ">="); an empty `op` prints the figure without a goal.
struct Figure {
    std::string name;
    std::string numerator;
    std::string denominator;
    std::string op;
    double goal = 0;
    // The value is multiplied by this before it is printed and judged (1000:
    // seconds shown as milliseconds).
    double scale = 1;
    // When given, the value is divided by this second ratio: a growth judged
    // against the growth of a floor (each a ratio of two sizes of one plan).
    std::string divisorNumerator = {};
    std::string divisorDenominator = {};
};

// Prints, after the usual table, one line per figure that bench/run collects:
//   FIGURE <name> <value> <op> <goal> <ok|MISSED>      or      FIGURE <name> <value> - - -
inline void printFigure(const std::string &name, double value, const std::string &op, double goal)
{
    if (op.empty()) {
        std::printf("FIGURE %s %.4g - - -\n", name.c_str(), value);
        return;
    }
    const bool met = op == "<=" ? value <= goal : value >= goal;
    std::printf("FIGURE %s %.4g %s %g %s\n", name.c_str(), value, op.c_str(), goal, met ? "ok" : "MISSED");
}

class FigureReporter : public benchmark::ConsoleReporter {
public:
    explicit FigureReporter(std::vector<Figure> figures)
        : FFigures(std::move(figures))
    { }

    // A value that is no benchmark time (memory, say), for figures without divisor.
    void Record(const std::string &name, double value) { FValues[name] = value; }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            // The median when a benchmark runs repeatedly (--benchmark_repetitions=N),
            // else its one run.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || (!median && (run.run_type != Run::RT_Iteration || run.repetitions > 1)))
                continue;
            // Seconds per iteration, whatever unit the table shows.
            const std::string name = run.run_name.function_name;
            FValues[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto &[counter, value] : run.counters)
                FValues[name + "/" + counter] = value.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n");
        for (const Figure &figure : FFigures) {
            const std::optional<double> value = Ratio(figure.numerator, figure.denominator);
            const std::optional<double> divisor = figure.divisorNumerator.empty()
                ? std::optional<double>(1)
                : Ratio(figure.divisorNumerator, figure.divisorDenominator);
            if (!value || !divisor || *divisor <= 0) {
                // A benchmark that failed its own check (or did not run) misses its goal.
                if (figure.op.empty())
                    std::printf("FIGURE %s missing - - -\n", figure.name.c_str());
                else
                    std::printf("FIGURE %s missing %s %g MISSED\n", figure.name.c_str(), figure.op.c_str(),
                        figure.goal);
                continue;
            }
            printFigure(figure.name, figure.scale * *value / *divisor, figure.op, figure.goal);
        }
    }

private:
    // numerator / denominator (or the numerator alone without a denominator);
    // nothing when a value is missing or the divisor is not positive.
    std::optional<double> Ratio(const std::string &numerator, const std::string &denominator) const
    {
        const auto a = FValues.find(numerator);
        if (a == FValues.end())
            return std::nullopt;
        if (denominator.empty())
            return a->second;
        const auto b = FValues.find(denominator);
        if (b == FValues.end() || b->second <= 0)
            return std::nullopt;
        return a->second / b->second;
    }

    std::vector<Figure> FFigures;
    std::map<std::string, double> FValues;
};

// Runs the benchmarks and prints the figures. `before` may record extra values.
inline int runWithFigures(int argc, char **argv, std::vector<Figure> figures,
    const std::function<void(FigureReporter &)> &before = {})
{
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter(std::move(figures));
    if (before)
        before(reporter);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// runWithFigures over the medians of Repetitions rounds run in random order,
// so that the rounds compared meet the same load of a shared machine (flags
// given on the command line win).
inline int runMediansWithFigures(int argc, char **argv, int Repetitions, std::vector<Figure> figures)
{
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(Repetitions);
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    std::vector<char *> args(argv, argv + argc);
    args.insert(args.begin() + 1, { repetitions.data(), interleaving, aggregates });
    return runWithFigures(int(args.size()), args.data(), std::move(figures));
}

} // namespace bench

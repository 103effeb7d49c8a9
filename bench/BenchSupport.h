#pragma once

// Shared by the benchmarks: document-like input and a reporter that prints the speed of
// each measurement relative to its peer measured in the same run.

#include "document/XMLTree.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
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

// Prints, after the usual table, each measurement's speed as a multiple of its peer's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Pairs of (ours, peer) benchmark names.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : FPairs(std::move(pairs))
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                FTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nSpeed relative to the peer (higher is better):\n");
        for (const auto &[ours, peer] : FPairs) {
            const auto a = FTimes.find(ours);
            const auto b = FTimes.find(peer);
            if (a != FTimes.end() && b != FTimes.end())
                std::printf("  %-28s %6.2fx %s\n", ours.c_str(), b->second / a->second, peer.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> FPairs;
    std::map<std::string, double> FTimes;
};

inline int runWithRatios(int argc, char **argv, std::vector<std::pair<std::string, std::string>> pairs)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench

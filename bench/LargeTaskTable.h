#pragma once

// The task table the table benchmarks work on: 100,000 tasks on 20 positions,
// 10 columns (Position, Start, End, Length, State, Comment "Order <n>", and
// text columns "value <n>/<column>"), made once per process.
#include "bench/generator/DocumentGenerator.h"

namespace bench {

constexpr int kLargeTableRows = 100000;
constexpr int kLargeTableColumns = 10;

inline Document &largeTaskTable()
{
    static Document doc;
    static bool filled = false;
    if (!filled) {
        GeneratorOptions o;
        o.tasks = kLargeTableRows;
        o.absentRows = 0;
        o.positions = 20;
        o.columns = kLargeTableColumns;
        GenerateDocument(doc, o);
        filled = true;
    }
    return doc;
}

} // namespace bench

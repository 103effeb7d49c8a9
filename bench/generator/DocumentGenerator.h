#pragma once

#include "document/Document.h"

#include <QString>

// Fills documents of any size for benchmarks and load tests: N tasks of a few
// working days on P positions, M absent-day rows, a set of public holidays, and
// extra text columns up to the wanted column count. Deterministic for a seed; the
// options beyond the first six only add to what those give, so a document made
// with them holds the same tasks and absent days as one made without.
struct GeneratorOptions {
    int tasks = 1000;
    int absentRows = 100;
    int positions = 20;
    int columns = 6; // task-table columns; extra ones are text columns
    bool holidays = true;
    unsigned seed = 1;

    // Tasks and absent days start within this many days from 1 January 2024.
    int spanDays = 365;
    // Tasks the chart of the span does not show: after the span (a year later), or
    // on positions added after the first `positions` ("Machine P", ...).
    enum class TExtraPlace { AfterSpan, FurtherPositions };
    int extraTasks = 0;
    TExtraPlace extraPlace = TExtraPlace::AfterSpan;
    // A deadline column: every task gets a deadline between 3 days before and 12
    // days after its start.
    bool deadlines = false;
    // All nine bar text spots bound to columns and filled, and every task coloured
    // by one of the three items of its colour column.
    bool barTexts = false;

    // A plan as a planner keeps one, for pictures of the chart: the tasks of each
    // position follow each other with small gaps (a few overlap), one caption per
    // bar, deadlines mostly kept (a few overdue), absences on some positions, and
    // from 18 March 2024 on, so Easter and May Day lie in view. Only `tasks`,
    // `absentRows`, `positions`, `holidays`, `seed`, `spanDays` and `deadlines`
    // count; tests and benchmarks keep the full preset (false).
    bool realistic = false;

    // A small plan for pictures: some 60 tasks on 8 positions over two months.
    static GeneratorOptions Picture();
    // A plan as a planner keeps one, of any size, over four months: what
    // zeltrano_generate writes and the whole-program benchmark opens.
    static GeneratorOptions Plan(int tasks, int absentRows, int positions);
};

void GenerateDocument(Document &doc, const GeneratorOptions &options);

// Generates a document as GenerateDocument does and writes it to fileName with
// SaveTo, plain or compressed. False (and error set) when the write failed.
bool WriteGeneratedDocument(
    const QString &fileName, const GeneratorOptions &options, bool compressed, QString *error = nullptr);

#pragma once

#include "document/Document.h"

#include <QString>

// Fills documents of any size for benchmarks and load tests: N tasks of a few
// working days on P positions, M absent-day rows, a set of public holidays, and
// extra text columns up to the wanted column count. Deterministic for a seed.
struct GeneratorOptions {
    int tasks = 1000;
    int absentRows = 100;
    int positions = 20;
    int columns = 6; // task-table columns; extra ones are text columns
    bool holidays = true;
    unsigned seed = 1;
};

void GenerateDocument(Document &doc, const GeneratorOptions &options);

// Generates a document as GenerateDocument does and writes it to fileName with
// SaveTo, plain or compressed. False (and error set) when the write failed.
bool WriteGeneratedDocument(
    const QString &fileName, const GeneratorOptions &options, bool compressed, QString *error = nullptr);

// Writes a generated document, for looking at the program with a plan of some size:
//
//   zeltrano_generate OUT.kez [TASKS [ABSENT_ROWS [POSITIONS [SEED]]]]
#include "bench/generator/DocumentGenerator.h"

#include <QCoreApplication>
#include <QStringList>
#include <array>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.size() > 5) {
        std::fprintf(stderr, "usage: zeltrano_generate OUT.kez [TASKS [ABSENT_ROWS [POSITIONS [SEED]]]]\n");
        return 1;
    }
    // The plan looks like a real one: tasks following each other, few overlaps.
    GeneratorOptions options = GeneratorOptions::Plan(300, 30, 12);
    const std::array<int *, 3> counts { &options.tasks, &options.absentRows, &options.positions };
    for (qsizetype i = 1; i < args.size() && i <= 3; ++i) {
        bool ok = false;
        *counts[std::size_t(i - 1)] = args[i].toInt(&ok);
        if (!ok || *counts[std::size_t(i - 1)] < 0) {
            std::fprintf(stderr, "zeltrano_generate: %s is no count\n", qPrintable(args[i]));
            return 1;
        }
    }
    if (args.size() == 5)
        options.seed = args[4].toUInt();
    QString error;
    if (!WriteGeneratedDocument(args[0], options, true, &error)) {
        std::fprintf(stderr, "zeltrano_generate: %s\n", qPrintable(error));
        return 2;
    }
    return 0;
}

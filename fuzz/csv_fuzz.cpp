// Reads arbitrary bytes as an autofill table and runs every look-up over it.
#include "document/text/CSVData.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TCSVData csv;
    csv.LoadFromBytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const int rows = csv.GetRows();
    const int cols = csv.GetCols();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols + 1; ++c)
            (void)csv.GetCell(c, r);
    }
    if (rows > 0 && cols > 0) {
        if (csv.FindCol(csv.GetCell(cols - 1, 0)) < 0)
            std::abort();
        bool ambiguous = false;
        const QString value = csv.GetCell(0, rows - 1);
        (void)csv.FindRow(0, value);
        const int found = csv.FindRowRelaxed(0, value, ambiguous);
        if (rows > 1 && found < 1)
            std::abort();
        (void)csv.HasUniqueRows(cols - 1);
    }
    return 0;
}

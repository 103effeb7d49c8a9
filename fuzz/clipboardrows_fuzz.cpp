// Reads arbitrary bytes as pasted rows. Every accepted paste, copied again,
// reads back to the same rows and copies to the same text.
#include "tables/ClipboardRows.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the table's column count.
    const int fields = data[0] % 12 + 1;
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const TClipboardRows pasted = ReadClipboardRows(text, fields);
    if (!pasted.Accepted()) {
        if (!pasted.rows.isEmpty())
            std::abort();
        return 0;
    }
    for (const QStringList &row : pasted.rows) {
        if (row.size() != fields)
            std::abort();
    }
    const QString copied = ClipboardText(pasted.rows);
    const TClipboardRows again = ReadClipboardRows(copied, fields);
    if (!again.Accepted() || again.rows != pasted.rows || ClipboardText(again.rows) != copied)
        std::abort();
    return 0;
}

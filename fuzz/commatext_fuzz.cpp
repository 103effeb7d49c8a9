// Reads arbitrary text as a comma text: the items must survive writing and
// reading, and the nested accessors must stay in bounds.
#include "document/text/CommaText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TCommaText list(text);
    if (TCommaText(list.AsString()) != list)
        std::abort();
    const int count = list.Count();
    for (int i = -1; i <= count && i < 8; ++i) {
        for (int j = -1; j <= list.Count(i) && j < 8; ++j) {
            (void)list.Count(i, j);
            (void)list.Item(i, j, 0);
        }
    }
    TCommaText copy = list;
    copy.SetItem(count % 4, 1, 2, text.left(16));
    if (copy.Item(count % 4, 1, 2) != text.left(16))
        std::abort();
    return 0;
}

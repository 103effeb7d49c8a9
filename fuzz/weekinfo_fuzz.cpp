// Reads arbitrary text as a week string; whatever it reads must write and read
// back unchanged.
#include "document/calendar/WeekInfo.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString written = WeekInfo2String(String2WeekInfo(text));
    if (WeekInfo2String(String2WeekInfo(written)) != written)
        std::abort();
    return 0;
}

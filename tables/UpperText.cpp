#include "tables/UpperText.h"

#include <array>
#include <memory>

namespace {

// Per UTF-16 unit its upper case when that is one unit, or 0 when the unit
// needs the whole-text conversion (a longer upper case, a surrogate).
const std::array<char16_t, 0x10000> &upperTable()
{
    static const std::unique_ptr<std::array<char16_t, 0x10000>> table = [] {
        auto t = std::make_unique<std::array<char16_t, 0x10000>>();
        for (unsigned c = 1; c < 0x10000; ++c) {
            const QChar ch { char16_t(c) };
            if (ch.isSurrogate())
                continue;
            const QString upper = QString(ch).toUpper();
            (*t)[c] = upper.size() == 1 ? upper[0].unicode() : char16_t(0);
        }
        return t;
    }();
    return *table;
}

} // namespace

QStringView TUpperText::Of(QStringView text)
{
    const auto &table = upperTable();
    FBuffer.resize(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t u = c == 0 ? c : table[c];
        if (u == 0) {
            FLong = text.toString().toUpper();
            return FLong;
        }
        FBuffer[std::size_t(i)] = u;
    }
    return QStringView(FBuffer.data(), text.size());
}

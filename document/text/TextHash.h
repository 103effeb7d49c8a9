#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <cstring>

// A hash of a text's UTF-16 units for the document's own tables (shared cell
// texts, row IDs, item names). The library's string hash is SipHash on machines
// without AES instructions and costs more per cell than the rest of loading it;
// this one mixes 16 bytes per multiply. It is seeded per process like the
// library's, so texts in a file cannot be made to collide on purpose.
inline std::size_t TextHash(QStringView text)
{
    constexpr std::uint64_t k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull,
                            k2 = 0x8ebc6af09c88c6e3ull;
    static const std::uint64_t seed = std::uint64_t(QHashSeed::globalSeed()) ^ k2;
    const auto mix = [](std::uint64_t a, std::uint64_t b) {
        const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
        return std::uint64_t(r) ^ std::uint64_t(r >> 64);
    };
    const auto *p = reinterpret_cast<const unsigned char *>(text.utf16());
    std::size_t n = std::size_t(text.size()) * sizeof(char16_t);
    std::uint64_t h = mix(seed ^ n, k1);
    for (; n > 16; n -= 16, p += 16) {
        std::uint64_t a, b;
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + 8, 8);
        h = mix(a ^ k0 ^ h, b ^ k1);
    }
    std::uint64_t a = 0, b = 0;
    if (n > 8) { // the last 16 bytes or fewer: two words, overlapping
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + n - 8, 8);
    } else if (n > 0) {
        std::memcpy(&a, p, n);
    }
    return std::size_t(mix(mix(a ^ k0 ^ h, b ^ k1), k2 ^ n));
}

// Whether two texts are equal, inline: the library's equality is a call into its
// general comparison for every look-up. Shared texts compare by their storage.
inline bool SameText(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    if (pa == pb)
        return true;
    // Most cells and IDs are a few dozen bytes: word by word, the last word read
    // overlapping the one before, rather than a library call.
    const std::size_t bytes = std::size_t(n) * sizeof(QChar);
    if (bytes < 8 || bytes > 64)
        return std::memcmp(pa, pb, bytes) == 0;
    const auto *p = reinterpret_cast<const unsigned char *>(pa);
    const auto *q = reinterpret_cast<const unsigned char *>(pb);
    const auto word = [](const unsigned char *at) {
        std::uint64_t w;
        std::memcpy(&w, at, 8);
        return w;
    };
    for (std::size_t i = 0; i + 8 < bytes; i += 8) {
        if (word(p + i) != word(q + i))
            return false;
    }
    return word(p + bytes - 8) == word(q + bytes - 8);
}

// For the standard containers.
struct TTextHasher {
    using is_transparent = void;
    std::size_t operator()(const QString &text) const { return TextHash(text); }
    std::size_t operator()(QStringView text) const { return TextHash(text); }
};

struct TTextEqual {
    bool operator()(const QString &a, const QString &b) const { return SameText(a, b); }
};

#pragma once

// Character-level helpers of the XML reader. They read either UTF-16 text or the file's
// Windows-1252 bytes directly, so that a file is parsed without first being converted
// as a whole.

#include "platform/Windows1252.h"

#include <QString>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>

namespace xml {

using Bytes = std::basic_string_view<uchar>;
using Units = std::u16string_view;

inline const std::array<char16_t, 256> &windows1252Units()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t {};
        char all[256];
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString decoded = platform::decodeWindows1252(QByteArrayView(all, 256));
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = decoded[i].unicode();
        return t;
    }();
    return table;
}

inline char16_t unitOf(char16_t c)
{
    return c;
}
inline char16_t unitOf(uchar c)
{
    return windows1252Units()[c];
}

// The position of the ASCII character c at or after from, or -1.
inline qsizetype find(Bytes text, qsizetype from, char c)
{
    if (from >= qsizetype(text.size()))
        return -1;
    const void *hit = std::memchr(text.data() + from, c, text.size() - size_t(from));
    return hit ? static_cast<const uchar *>(hit) - text.data() : -1;
}

inline qsizetype find(Units text, qsizetype from, char c)
{
    if (from >= qsizetype(text.size()))
        return -1;
    const qsizetype hit = QStringView(text.data() + from, qsizetype(text.size()) - from).indexOf(QChar(c));
    return hit < 0 ? -1 : hit + from;
}

// As find, for a character that usually follows within a few dozen bytes: a word-wise
// look first, as the library search costs more to start than such a short scan.
inline qsizetype findNear(Bytes text, qsizetype from, char c)
{
    constexpr quint64 ones = 0x0101010101010101ull;
    const quint64 pattern = ones * uchar(c);
    const uchar *p = text.data();
    size_t i = size_t(from);
    const size_t stop = std::min(text.size(), i + 64);
    while (i + 8 <= stop) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        const quint64 x = w ^ pattern;
        // The lowest flagged byte is the first equal one (a borrow only flags bytes above it).
        const quint64 hit = (x - ones) & ~x & (ones * 0x80);
        if (hit != 0)
            return qsizetype(i + size_t(std::countr_zero(hit) / 8));
        i += 8;
    }
    return find(text, qsizetype(i), c);
}

inline qsizetype findNear(Units text, qsizetype from, char c)
{
    return find(text, from, c);
}

// Word-wise byte classes: one high bit per byte of the class. For the tests that compare
// by subtraction a borrow may flag bytes above a flagged one, never below, so the lowest
// flag of any mix of tests is exact.
namespace bytes {
constexpr quint64 ones = 0x0101010101010101ull;
constexpr quint64 highs = ones * 0x80;

inline quint64 load(const uchar *p)
{
    quint64 w;
    std::memcpy(&w, p, 8);
    return w;
}
inline quint64 equal(quint64 w, uchar c)
{
    const quint64 x = w ^ (ones * c);
    return (x - ones) & ~x & highs;
}
// Bytes below c (c <= 128).
inline quint64 below(quint64 w, uchar c)
{
    return (w - ones * c) & ~w & highs;
}
// Bytes above 32, exactly.
inline quint64 aboveBlank(quint64 w)
{
    return (((w & ~highs) + ones * (127 - 32)) | w) & highs;
}
// The lowest flag alone.
inline quint64 lowest(quint64 mask)
{
    return mask & (~mask + 1);
}
inline size_t first(quint64 mask)
{
    return size_t(std::countr_zero(mask) / 8);
}
} // namespace bytes

// Strips characters up to and including the blank from both ends. Bytes and units agree
// here: every byte above 32 decodes to a unit above 32.
template <typename Ch> std::basic_string_view<Ch> trim(std::basic_string_view<Ch> text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] <= 32)
        ++begin;
    while (end > begin && text[end - 1] <= 32)
        --end;
    return text.substr(begin, end - begin);
}

// Writes text's units to out (room for text.size()); returns how many.
template <typename Ch> size_t decodeInto(std::basic_string_view<Ch> text, char16_t *out)
{
    for (size_t i = 0; i < text.size(); ++i)
        out[i] = unitOf(text[i]);
    return text.size();
}

// Writes the units of text from `from` up to the first "&" (or the end) to out; returns
// where it stopped.
inline size_t decodePlainInto(Units text, size_t from, char16_t *out)
{
    const qsizetype amp = find(text, qsizetype(from), '&');
    const size_t end = amp < 0 ? text.size() : size_t(amp);
    if (end > from)
        std::memcpy(out, text.data() + from, (end - from) * sizeof(char16_t));
    return end;
}

inline size_t decodePlainInto(Bytes text, size_t from, char16_t *out)
{
    // ASCII decodes to itself: eight bytes at a time while none is "&" or above 127.
    constexpr quint64 ones = 0x0101010101010101ull;
    constexpr quint64 highs = ones * 0x80;
    const uchar *p = text.data();
    const size_t n = text.size();
    size_t i = from;
    while (i + 8 <= n) {
        quint64 w;
        std::memcpy(&w, p + i, 8);
        const quint64 amps = w ^ (ones * '&');
        if (((w & highs) | ((amps - ones) & ~amps & highs)) != 0)
            break;
        for (int k = 0; k < 8; ++k)
            out[k] = char16_t(uchar(w >> (8 * k)));
        out += 8;
        i += 8;
    }
    const std::array<char16_t, 256> &units = windows1252Units();
    for (; i < n && p[i] != '&'; ++i)
        *out++ = units[p[i]];
    return i;
}

template <typename Ch> QString decode(std::basic_string_view<Ch> text)
{
    QString out(qsizetype(text.size()), Qt::Uninitialized);
    decodeInto(text, reinterpret_cast<char16_t *>(out.data()));
    return out;
}

template <typename Ch> bool startsWithAt(std::basic_string_view<Ch> text, size_t pos, const char *what)
{
    const size_t n = std::strlen(what);
    if (text.size() - pos < n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (text[pos + i] != Ch(uchar(what[i])))
            return false;
    }
    return true;
}

// Decodes text and its entities: "&amp;" "&lt;" "&gt;" "&quot;" "&nbsp;" and decimal
// references "&#N;" with N up to 65535. Any other text after "&" is a format error, and
// then the whole text is returned as it stood. Writes to out (room for text.size(): the
// result is never longer than the text); returns the number of units.
template <typename Ch> size_t unescapeInto(std::basic_string_view<Ch> text, char16_t *out)
{
    char16_t *d = out;
    const size_t n = text.size();
    size_t i = 0;
    for (;;) {
        const size_t plainEnd = decodePlainInto(text, i, d);
        d += plainEnd - i;
        if (plainEnd == n)
            break;
        const size_t at = plainEnd + 1;
        if (startsWithAt(text, at, "amp;")) {
            *d++ = u'&';
            i = at + 4;
        } else if (startsWithAt(text, at, "lt;")) {
            *d++ = u'<';
            i = at + 3;
        } else if (startsWithAt(text, at, "gt;")) {
            *d++ = u'>';
            i = at + 3;
        } else if (startsWithAt(text, at, "quot;")) {
            *d++ = u'"';
            i = at + 5;
        } else if (startsWithAt(text, at, "nbsp;")) {
            *d++ = u' ';
            i = at + 5;
        } else if (at < n && text[at] == Ch('#')) {
            size_t k = at + 1;
            quint32 code = 0;
            while (k < n && text[k] >= Ch('0') && text[k] <= Ch('9') && code <= 0xFFFF) {
                code = code * 10 + quint32(text[k] - Ch('0'));
                ++k;
            }
            if (k == at + 1 || k >= n || text[k] != Ch(';') || code > 0xFFFF)
                return decodeInto(text, out);
            *d++ = char16_t(code);
            i = k + 1;
        } else {
            return decodeInto(text, out);
        }
    }
    return size_t(d - out);
}

template <typename Ch> QString unescape(std::basic_string_view<Ch> text)
{
    QString out(qsizetype(text.size()), Qt::Uninitialized);
    out.truncate(qsizetype(unescapeInto(text, reinterpret_cast<char16_t *>(out.data()))));
    return out;
}

} // namespace xml

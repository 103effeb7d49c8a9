#include "document/LZR.h"

#include <QIODevice>
#include <bit>
#include <cstring>

namespace {

// Word-wise match lengths count the first differing byte from the low end.
static_assert(std::endian::native == std::endian::little);

constexpr int HashSize = 4096;
constexpr quint16 EmptySlot = 0xFFFF;
constexpr int MaxOffset = 4095;
constexpr int MinCopy = 3;
constexpr int MaxCopy = 18;
constexpr int MinRun = 16;
constexpr int MaxRun = 4095;
constexpr uchar FlagStored = 0x80;
constexpr uchar FlagCompressed = 0x40;

quint32 readLE32(const uchar *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void writeLE32(uchar *p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
    p[2] = uchar(v >> 16);
    p[3] = uchar(v >> 24);
}

// QIODevice::read may deliver less than asked on sequential devices before the end.
qint64 readFully(QIODevice &source, uchar *buffer, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const qint64 got = source.read(reinterpret_cast<char *>(buffer) + total, size - total);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool Check(qint64 actual, qint64 expected)
{
    return actual == expected;
}

bool writeAll(QIODevice &dest, const uchar *data, qint64 size)
{
    return Check(dest.write(reinterpret_cast<const char *>(data), size), size);
}

// The copy candidate for position i of a block of n bytes (i + 3 <= n): the table entry
// for the hash of the next three bytes, whose slot then records i. Returns the match
// length, 0 when below 3.
inline int GetMatch(const uchar *block, quint16 *table, int i, int n, int &offset)
{
    const quint32 key = ((((quint32(block[i]) << 4) ^ block[i + 1]) << 4) ^ block[i + 2]);
    const quint32 hash = ((key * 40543u) >> 4) & 0x0FFF;
    const int p = table[hash];
    table[hash] = quint16(i);
    if (p == EmptySlot || i - p > MaxOffset)
        return 0;
    const int limit = qMin(MaxCopy, n - i);
    int len = 0;
    // Eight bytes at a time while both stay inside the block (p < i, so i bounds both).
    while (len + 8 <= limit) {
        quint64 a;
        quint64 b;
        std::memcpy(&a, block + i + len, 8);
        std::memcpy(&b, block + p + len, 8);
        if (a != b) {
            len += std::countr_zero(a ^ b) / 8;
            break;
        }
        len += 8;
    }
    if (len + 8 > limit) {
        while (len < limit && block[i + len] == block[p + len])
            ++len;
    }
    if (len < MinCopy)
        return 0;
    offset = i - p;
    return len;
}

} // namespace

TLZR::TLZR()
    : FInBuffer(new uchar[MaxBlockData])
    , FOutBuffer(new uchar[qMax(CompressionRoom, DecompressionRoom)])
    , FHashTable(new quint16[HashSize])
{ }

TLZR::~TLZR() = default;

int TLZR::Compression(const uchar *source, uchar *dest, int size)
{
    const int n = size;
    // A local table pointer: stores through the byte pointers could otherwise alias it.
    quint16 *const table = FHashTable.get();
    std::fill_n(table, HashSize, EmptySlot);
    dest[0] = FlagCompressed;
    int controlPos = 1;
    int out = 3;
    quint32 control = 0;
    int bits = 0;
    int i = 0;
    while (i < n) {
        if (out > n)
            break;
        if (bits > 15) {
            dest[controlPos] = uchar(control >> 8);
            dest[controlPos + 1] = uchar(control);
            controlPos = out;
            out += 2;
            bits = 0;
        }
        const uchar b = source[i];
        int run = 1;
        while (run < MaxRun && i + run < n && source[i + run] == b)
            ++run;
        int offset = 0;
        int len = 0;
        if (run >= MinRun) {
            const int stored = run - MinRun;
            dest[out] = 0;
            dest[out + 1] = uchar(stored >> 8);
            dest[out + 2] = uchar(stored);
            dest[out + 3] = b;
            out += 4;
            i += run;
            control = (control << 1) | 1;
        } else if (i + MinCopy <= n && (len = GetMatch(source, table, i, n, offset)) != 0) {
            // Positions closer than three bytes to the block end can never copy, so they
            // skip the look-up (whose hash would read past the block).
            dest[out] = uchar(offset >> 4);
            dest[out + 1] = uchar(((offset & 15) << 4) | (len - MinCopy));
            out += 2;
            i += len;
            control = (control << 1) | 1;
        } else {
            dest[out++] = b;
            ++i;
            control <<= 1;
        }
        ++bits;
    }
    control <<= (16 - bits);
    dest[controlPos] = uchar(control >> 8);
    dest[controlPos + 1] = uchar(control);
    if (out > n) {
        dest[0] = FlagStored;
        if (n > 0)
            std::memcpy(dest + 1, source, size_t(n));
        return n + 1;
    }
    return out;
}

int TLZR::Decompression(const uchar *source, uchar *dest, int size)
{
    if (size <= 0)
        return 0;
    if (source[0] == FlagStored) {
        const int n = size - 1;
        if (n > BlockSize)
            return -1;
        if (n > 0)
            std::memcpy(dest, source + 1, size_t(n));
        return n;
    }
    if (size < 4)
        return 0;
    int in = 3;
    int out = 0;
    quint32 control = quint32(source[1]) << 8 | source[2];
    int bits = 16;
    while (in < size) {
        if (bits == 0) {
            // A control word is only written when another item follows it.
            if (in + 3 > size)
                return -1;
            control = quint32(source[in]) << 8 | source[in + 1];
            in += 2;
            bits = 16;
        }
        if (!(control & 0x8000)) {
            // A run of literals: the zero bits at the top of the control word, bounded by
            // the bits left in it and by the block end (the last word is padded with zeros).
            const int zeros = control == 0 ? 16 : std::countl_zero(quint16(control));
            const int count = qMin(qMin(zeros, bits), size - in);
            if (count > BlockSize - out)
                return -1;
            const uchar *s = source + in;
            uchar *d = dest + out;
            for (int k = 0; k < count; ++k)
                d[k] = s[k];
            in += count;
            out += count;
            control = (control << count) & 0xFFFF;
            bits -= count;
            continue;
        }
        control = (control << 1) & 0xFFFF;
        --bits;
        if (in + 2 > size)
            return -1;
        const int b0 = source[in];
        const int b1 = source[in + 1];
        const int offset = (b0 << 4) | (b1 >> 4);
        if (offset == 0) {
            if (in + 4 > size)
                return -1;
            const int len = (b1 << 8) + source[in + 2] + MinRun;
            if (len > BlockSize - out)
                return -1;
            std::memset(dest + out, source[in + 3], size_t(len));
            out += len;
            in += 4;
            continue;
        }
        const int len = (b1 & 15) + MinCopy;
        if (offset > out || len > BlockSize - out)
            return -1;
        uchar *d = dest + out;
        const uchar *s = d - offset;
        if (offset >= 8) {
            // Whole words: each reads only bytes already written (offset >= 8) and the
            // overshoot stays inside the destination's spare room.
            for (int k = 0; k < len; k += 8)
                std::memcpy(d + k, s + k, 8);
        } else {
            // Overlapping copies repeat the most recent bytes.
            for (int k = 0; k < len; ++k)
                d[k] = s[k];
        }
        out += len;
        in += 2;
    }
    return out;
}

bool TLZR::HasMagic(QIODevice &source)
{
    const QByteArray head = source.peek(4);
    return head.size() == 4 && readLE32(reinterpret_cast<const uchar *>(head.constData())) == Magic;
}

bool TLZR::Compress(QIODevice &source, QIODevice &dest)
{
    const qint64 length = source.size() - source.pos();
    if (length < 0 || length > qint64(0xFFFFFFFFu))
        return false;
    uchar header[8];
    writeLE32(header, Magic);
    writeLE32(header + 4, quint32(length));
    if (!writeAll(dest, header, 8))
        return false;
    qint64 total = 0;
    for (;;) {
        const qint64 got = readFully(source, FInBuffer.get(), BlockSize);
        if (got < 0)
            return false;
        total += got;
        const int blockLength = Compression(FInBuffer.get(), FOutBuffer.get(), int(got));
        const uchar lengthBytes[2] = { uchar(blockLength), uchar(blockLength >> 8) };
        if (!writeAll(dest, lengthBytes, 2) || !writeAll(dest, FOutBuffer.get(), blockLength))
            return false;
        if (got < BlockSize)
            break;
    }
    // A source that grew or shrank while being read would leave a wrong header length.
    return total == length;
}

bool TLZR::DeCompress(QIODevice &source, QIODevice &dest, bool checkHeader)
{
    if (checkHeader) {
        if (!HasMagic(source))
            return false;
        source.skip(4);
    }
    uchar lengthBytes[4];
    if (!Check(readFully(source, lengthBytes, 4), 4))
        return false;
    const quint64 expected = readLE32(lengthBytes);
    quint64 total = 0;
    for (;;) {
        uchar blockHeader[2];
        if (!Check(readFully(source, blockHeader, 2), 2))
            return false;
        const int blockLength = blockHeader[0] | blockHeader[1] << 8;
        if (blockLength > MaxBlockData)
            return false;
        if (!Check(readFully(source, FInBuffer.get(), blockLength), blockLength))
            return false;
        const int n = Decompression(FInBuffer.get(), FOutBuffer.get(), blockLength);
        if (n < 0 || total + quint64(n) > expected)
            return false;
        if (!writeAll(dest, FOutBuffer.get(), n))
            return false;
        total += quint64(n);
        if (n < BlockSize)
            break;
    }
    return total == expected;
}

#include "document/xml/LZR.h"

#include <QBuffer>
#include <QIODevice>
#include <bit>
#include <cstring>

namespace {

// Word-wise match lengths count the first differing byte from the low end.
static_assert(std::endian::native == std::endian::little);

constexpr int HashSize = 4096;
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

quint64 load64(const uchar *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

quint16 load16(const uchar *p)
{
    quint16 v;
    std::memcpy(&v, p, 2);
    return v;
}

// The hash table holds position + HashBias, and 0 for an empty slot, so that one
// distance test rejects both empty slots and candidates too far back.
constexpr int HashBias = MaxOffset + 1;
static_assert(TLZR::BlockSize + HashBias <= 0xFFFF);

inline quint32 hashOf(quint32 b0, quint32 b1, quint32 b2)
{
    const quint32 key = (((b0 << 4) ^ b1) << 4) ^ b2;
    return ((key * 40543u) >> 4) & 0x0FFF;
}

// Codes one block. Each position that starts an item is tried as a run of 16 or more
// equal bytes, then as a copy of the table's candidate for the hash of its next three
// bytes (the slot then records the position), else it is a literal. Away from the block
// end whole words decide; the last 17 positions go byte by byte, and the last two never
// look up a candidate (their hash would read past the block).
class BlockCoder {
public:
    BlockCoder(const uchar *source, uchar *dest, quint16 *table, int size)
        : FSource(source)
        , FDest(dest)
        , FTable(table)
        , FSize(size)
    {
        std::memset(table, 0, HashSize * sizeof(quint16));
        dest[0] = FlagCompressed;
    }

    // True while the next item starts far enough from the block end for whole words and
    // the output has not yet outgrown the input.
    bool inWordZone() const { return FSize - FPos >= MaxCopy && FOut <= FSize; }

    // The next item, in the word zone.
    void wordItem()
    {
        startItem();
        const uchar *s = FSource + FPos;
        const quint64 w = load64(s);
        const uchar b = uchar(w);
        const quint64 same = quint64(b) * 0x0101010101010101ull;
        if (w == same && load64(s + 8) == same) [[unlikely]] {
            int run = 16;
            while (run < MaxRun && FPos + run < FSize && s[run] == b)
                ++run;
            putRun(run, b);
            return;
        }
        const quint32 hash = hashOf(b, quint32(w >> 8) & 0xFF, quint32(w >> 16) & 0xFF);
        const int distance = FPos + HashBias - FTable[hash];
        FTable[hash] = quint16(FPos + HashBias);
        if (distance <= MaxOffset) {
            const uchar *p = s - distance;
            int len;
            if (const quint64 x = w ^ load64(p))
                len = std::countr_zero(x) >> 3;
            else if (const quint64 y = load64(s + 8) ^ load64(p + 8))
                len = 8 + (std::countr_zero(y) >> 3);
            else
                len = 16 + (std::countr_zero(quint16(load16(s + 16) ^ load16(p + 16))) >> 3);
            if (len >= MinCopy) {
                emitCopy(distance, len);
                return;
            }
        }
        emitLiteral(b);
    }

    // One copy item: 12 bits of distance, 4 bits of length beyond the minimum.
    void emitCopy(int distance, int len)
    {
        FDest[FOut] = uchar(distance >> 4);
        FDest[FOut + 1] = uchar(((distance & 15) << 4) | (len - MinCopy));
        FOut += 2;
        FPos += len;
        FControl = (FControl << 1) | 1;
    }

    void emitLiteral(uchar b)
    {
        FDest[FOut++] = b;
        ++FPos;
        FControl <<= 1;
    }

    // Codes the rest of the block; returns the block length.
    int finish()
    {
        while (FPos < FSize && FOut <= FSize) {
            if (FSize - FPos >= MaxCopy)
                wordItem();
            else
                byteItem();
        }
        FControl <<= (16 - FBits);
        FDest[FControlPos] = uchar(FControl >> 8);
        FDest[FControlPos + 1] = uchar(FControl);
        if (FOut > FSize) {
            FDest[0] = FlagStored;
            if (FSize > 0)
                std::memcpy(FDest + 1, FSource, size_t(FSize));
            return FSize + 1;
        }
        return FOut;
    }

private:
    // Places a new control word before the 17th item of the current one.
    void startItem()
    {
        if (FBits > 15) {
            FDest[FControlPos] = uchar(FControl >> 8);
            FDest[FControlPos + 1] = uchar(FControl);
            FControlPos = FOut;
            FOut += 2;
            FBits = 0;
        }
        ++FBits;
    }

    void putRun(int run, uchar b)
    {
        const int stored = run - MinRun;
        FDest[FOut] = 0;
        FDest[FOut + 1] = uchar(stored >> 8);
        FDest[FOut + 2] = uchar(stored);
        FDest[FOut + 3] = b;
        FOut += 4;
        FPos += run;
        FControl = (FControl << 1) | 1;
    }

    void byteItem()
    {
        startItem();
        const uchar *s = FSource + FPos;
        const uchar b = s[0];
        const int left = FSize - FPos;
        int run = 1;
        while (run < left && s[run] == b)
            ++run;
        if (run >= MinRun) {
            putRun(run, b);
            return;
        }
        if (left >= MinCopy) {
            const quint32 hash = hashOf(b, s[1], s[2]);
            const int distance = FPos + HashBias - FTable[hash];
            FTable[hash] = quint16(FPos + HashBias);
            if (distance <= MaxOffset) {
                const uchar *p = s - distance;
                int len = 0;
                while (len < left && s[len] == p[len])
                    ++len;
                if (len >= MinCopy) {
                    emitCopy(distance, len);
                    return;
                }
            }
        }
        emitLiteral(b);
    }

    const uchar *FSource;
    uchar *FDest;
    quint16 *FTable;
    int FSize;
    int FPos = 0;
    int FOut = 3;
    int FControlPos = 1;
    int FBits = 0;
    quint32 FControl = 0;
};

} // namespace

TLZR::TLZR()
    : FInBuffer(new uchar[MaxBlockData])
    , FOutBuffer(new uchar[qMax(CompressionRoom, DecompressionRoom)])
    , FHashTable(new quint16[HashSize])
{ }

TLZR::~TLZR() = default;

int TLZR::Compression(const uchar *source, uchar *dest, int size)
{
    return BlockCoder(source, dest, FHashTable.get(), size).finish();
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
            if (size - in >= 16) {
                // At most 16 literals: one fixed-size copy, whose spare bytes the next
                // items overwrite (or that stay in the destination's spare room).
                std::memcpy(d, s, 16);
            } else {
                for (int k = 0; k < count; ++k)
                    d[k] = s[k];
            }
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
        if (offset >= 16) {
            // Two fixed-size pieces cover the longest copy: each reads only bytes already
            // written (offset >= 16), and the overshoot stays inside the spare room.
            std::memcpy(d, s, 16);
            std::memcpy(d + 16, s + 16, 16);
        } else if (offset >= 8) {
            std::memcpy(d, s, 8);
            std::memcpy(d + 8, s + 8, 8);
            std::memcpy(d + 16, s + 16, 8);
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

bool TLZR::CompressBytes(const QByteArray &in, QByteArray &out)
{
    QByteArray text = in;
    QBuffer source(&text);
    source.open(QIODevice::ReadOnly);
    QByteArray packed;
    QBuffer dest(&packed);
    dest.open(QIODevice::WriteOnly);
    if (!TLZR().Compress(source, dest))
        return false;
    out = packed;
    return true;
}

bool TLZR::DecompressBytes(const QByteArray &in, QByteArray &out)
{
    QByteArray bytes = in;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    if (!HasMagic(source))
        return false;
    QByteArray decoded;
    QBuffer dest(&decoded);
    dest.open(QIODevice::WriteOnly);
    if (!TLZR().DeCompress(source, dest, true))
        return false;
    out = decoded;
    return true;
}

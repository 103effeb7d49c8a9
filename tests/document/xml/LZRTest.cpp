#include "document/xml/LZR.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// "zip\0" and the little-endian length.
QByteArray header(quint32 length)
{
    return bytes({ 0x7A, 0x69, 0x70, 0x00, int(length & 0xFF), int((length >> 8) & 0xFF),
        int((length >> 16) & 0xFF), int(length >> 24) });
}

QByteArray blockLength(int length)
{
    return bytes({ length & 0xFF, length >> 8 });
}

struct Decoded {
    bool ok;
    QByteArray data;
};

// Packs a whole buffer, or unpacks it checking the length the header names.
Decoded code(QByteArray input, bool pack)
{
    QBuffer source(&input);
    source.open(QIODevice::ReadOnly);
    QByteArray out;
    QBuffer dest(&out);
    dest.open(QIODevice::WriteOnly);
    const bool ok = pack ? TLZR().Compress(source, dest) : TLZR().DeCompress(source, dest, true);
    return { ok, out };
}

QByteArray compress(const QByteArray &input)
{
    const Decoded packed = code(input, true);
    EXPECT_TRUE(packed.ok);
    return packed.data;
}

Decoded decompress(const QByteArray &stream)
{
    return code(stream, false);
}

// Accepts only the first `limit` bytes written to it, like a full disk.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 limit)
        : FLimit(limit)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        const qint64 n = qMin(len, FLimit - FWritten);
        FWritten += n;
        return n;
    }

private:
    qint64 FLimit;
    qint64 FWritten = 0;
};

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char(rng());
    return out;
}

} // namespace

TEST(LZR, EncodesTheDocumentedEdgeCasesByteForByte)
{
    // Empty input: header with length 0 and one stored block holding only its flag.
    EXPECT_EQ(compress({}), header(0) + bytes({ 0x01, 0x00, 0x80 }));

    // A block that does not shrink is stored, with length n + 1.
    EXPECT_EQ(compress("abc"), header(3) + bytes({ 0x04, 0x00, 0x80, 'a', 'b', 'c' }));

    // 4095 equal bytes: one run item (length - 16 = 0x0FEF), control word 1000...
    EXPECT_EQ(compress(QByteArray(4095, 'a')),
        header(4095) + bytes({ 0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x0F, 0xEF, 'a' }));

    // 4096 equal bytes: the longest run, then a literal.
    EXPECT_EQ(compress(QByteArray(4096, 'a')),
        header(4096) + bytes({ 0x08, 0x00, 0x40, 0x80, 0x00, 0x00, 0x0F, 0xEF, 'a', 'a' }));

    // Four literals, then an overlapping copy of 12 bytes at offset 4.
    EXPECT_EQ(compress("abcdabcdabcdabcd"),
        header(16) + bytes({ 0x09, 0x00, 0x40, 0x08, 0x00, 'a', 'b', 'c', 'd', 0x00, 0x49 }));

    // The 17th item gets a new control word placed right before it; the last one is padded.
    QByteArray seventeen;
    for (int i = 1; i <= 16; ++i)
        seventeen.append(char(i));
    seventeen.append(QByteArray(20, 'z'));
    QByteArray expected = header(36) + bytes({ 0x19, 0x00, 0x40, 0x00, 0x00 });
    expected += seventeen.first(16);
    expected += bytes({ 0x80, 0x00, 0x00, 0x00, 0x04, 'z' });
    EXPECT_EQ(compress(seventeen), expected);

    // A full block that does not shrink is followed by an empty stored block.
    const QByteArray full = randomBytes(32768, 1);
    EXPECT_EQ(
        compress(full), header(32768) + bytes({ 0x01, 0x80, 0x80 }) + full + bytes({ 0x01, 0x00, 0x80 }));
}

TEST(LZR, RoundTripsDataOfManySizesAndKinds)
{
    std::mt19937 rng(7);
    const int sizes[] = { 0, 1, 2, 3, 17, 4095, 4096, 32767, 32768, 32769, 65536, 100003 };
    for (int size : sizes) {
        QByteArray random = randomBytes(size, unsigned(size));
        // Document-like: words from a small vocabulary, runs of blanks, repeated lines.
        QByteArray text;
        const char *words[] = { "<task>", "</task>", "2024-01-0", "Ja", "Nein", "&nbsp;", "Position" };
        while (text.size() < size) {
            text += words[rng() % 7];
            if (rng() % 9 == 0)
                text += QByteArray(int(rng() % 40), ' ');
            text += char('0' + rng() % 10);
        }
        text.truncate(size);
        for (const QByteArray &input : { random, text, QByteArray(size, '\0') }) {
            const Decoded back = decompress(compress(input));
            ASSERT_TRUE(back.ok) << "size " << size;
            ASSERT_EQ(back.data, input) << "size " << size;
        }
    }
}

TEST(LZR, WithoutMagicTheStreamStaysWhereItWas)
{
    QByteArray text = "xx<document />";
    QBuffer source(&text);
    source.open(QIODevice::ReadOnly);
    source.seek(2);
    QByteArray out;
    QBuffer dest(&out);
    dest.open(QIODevice::WriteOnly);
    EXPECT_FALSE(TLZR().DeCompress(source, dest, true));
    EXPECT_EQ(source.pos(), 2);
    EXPECT_TRUE(out.isEmpty());

    QByteArray shortText = "zi";
    QBuffer shortSource(&shortText);
    shortSource.open(QIODevice::ReadOnly);
    EXPECT_FALSE(TLZR::HasMagic(shortSource));
    EXPECT_FALSE(TLZR().DeCompress(shortSource, dest, true));
    EXPECT_EQ(shortSource.pos(), 0);
}

TEST(LZR, RejectsCorruptStreamsWithoutWritingBeyondThem)
{
    // A copy reaching before the start of the block.
    EXPECT_FALSE(decompress(header(3) + blockLength(5) + bytes({ 0x40, 0x80, 0x00, 0x00, 0x10 })).ok);

    // Output past 32768 bytes: nine runs of 4095.
    QByteArray nineRuns = bytes({ 0x40, 0xFF, 0x80 });
    for (int i = 0; i < 9; ++i)
        nineRuns += bytes({ 0x00, 0x0F, 0xEF, 'a' });
    EXPECT_FALSE(decompress(header(0xFFFFFFFF) + blockLength(int(nineRuns.size())) + nineRuns).ok);

    // An item cut off by the block end; a control word with no item after it.
    EXPECT_FALSE(decompress(header(4095) + blockLength(5) + bytes({ 0x40, 0x80, 0x00, 0x00, 0x0F })).ok);
    QByteArray sixteenLiterals = bytes({ 0x40, 0x00, 0x00 }) + QByteArray(16, 'q') + bytes({ 0x00, 0x00 });
    EXPECT_FALSE(decompress(header(16) + blockLength(int(sixteenLiterals.size())) + sixteenLiterals).ok);

    // A block longer than any valid one, and a stored block longer than 32768 bytes.
    EXPECT_FALSE(decompress(header(10) + blockLength(40000) + QByteArray(40000, 'x')).ok);

    // The header's length is exceeded: stop before writing that block.
    const Decoded tooLong
        = decompress(header(10) + blockLength(7) + bytes({ 0x40, 0x80, 0x00, 0x00, 0x0F, 0xEF, 'a' }));
    EXPECT_FALSE(tooLong.ok);
    EXPECT_TRUE(tooLong.data.isEmpty());

    // Fewer bytes than the header claims; a stream cut short at every position.
    EXPECT_FALSE(decompress(header(5) + bytes({ 0x04, 0x00, 0x80, 'a', 'b', 'c' })).ok);
    const QByteArray good = compress(QByteArray("some text, some text, some text") + randomBytes(40000, 3));
    for (int cut = 4; cut < good.size(); cut += (cut < 64 ? 1 : 997))
        EXPECT_FALSE(decompress(good.first(cut)).ok) << "cut at " << cut;
}

TEST(LZR, CompressReportsShortWritesIncludingTheHeader)
{
    const QByteArray input = randomBytes(1000, 5);
    for (qint64 limit : { 0, 7, 8, 9, 500 }) {
        QByteArray in = input;
        QBuffer source(&in);
        source.open(QIODevice::ReadOnly);
        FullDevice dest(limit);
        EXPECT_FALSE(TLZR().Compress(source, dest)) << "limit " << limit;
    }
}

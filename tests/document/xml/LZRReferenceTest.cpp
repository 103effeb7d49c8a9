// The block coder against a plain, unhurried transcription of the LZRW1/KH algorithm kept
// here: the fast coder must choose exactly the same items, and the decoder must accept,
// reject and produce exactly what the plain one does.
#include "document/xml/LZR.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

namespace {

using Block = std::vector<uchar>;

// One block, position by position: a run of 16 or more, else the hash candidate when it
// matches for 3 bytes or more, else a literal. The hash of the last two positions would
// read past the block; they are never looked up.
Block referenceCompression(const Block &in)
{
    const int n = int(in.size());
    std::vector<int> table(4096, -1);
    Block out { 0x40, 0, 0 };
    size_t controlPos = 1;
    unsigned control = 0;
    int bits = 0;
    int i = 0;
    while (i < n && int(out.size()) <= n) {
        if (bits == 16) {
            out[controlPos] = uchar(control >> 8);
            out[controlPos + 1] = uchar(control);
            controlPos = out.size();
            out.push_back(0);
            out.push_back(0);
            bits = 0;
            control = 0;
        }
        int run = 1;
        while (run < 4095 && i + run < n && in[size_t(i + run)] == in[size_t(i)])
            ++run;
        int len = 0;
        int offset = 0;
        if (run < 16 && i + 3 <= n) {
            const unsigned key
                = ((unsigned(in[size_t(i)]) << 4 ^ in[size_t(i + 1)]) << 4) ^ in[size_t(i + 2)];
            const unsigned hash = ((key * 40543u) >> 4) & 0xFFF;
            const int p = table[hash];
            table[hash] = i;
            if (p >= 0 && i - p < 4096) {
                while (len < 18 && i + len < n && in[size_t(i + len)] == in[size_t(p + len)])
                    ++len;
                offset = i - p;
            }
        }
        control <<= 1;
        if (run >= 16) {
            out.insert(out.end(), { 0, uchar((run - 16) >> 8), uchar(run - 16), in[size_t(i)] });
            control |= 1;
            i += run;
        } else if (len >= 3) {
            out.insert(out.end(), { uchar(offset >> 4), uchar((offset & 15) << 4 | (len - 3)) });
            control |= 1;
            i += len;
        } else {
            out.push_back(in[size_t(i++)]);
        }
        ++bits;
    }
    control <<= 16 - bits;
    out[controlPos] = uchar(control >> 8);
    out[controlPos + 1] = uchar(control);
    if (int(out.size()) > n) {
        out.assign({ 0x80 });
        out.insert(out.end(), in.begin(), in.end());
    }
    return out;
}

// Decodes item by item and byte by byte; empty optional-like result (ok = false) for any
// block the format does not allow.
struct Decoded {
    bool ok = true;
    Block data;
};

Decoded referenceDecompression(const Block &in)
{
    Decoded result;
    const int size = int(in.size());
    if (size == 0)
        return result;
    if (in[0] == 0x80) {
        result.ok = size - 1 <= 32768;
        if (result.ok)
            result.data.assign(in.begin() + 1, in.end());
        return result;
    }
    if (size < 4)
        return result;
    Block &out = result.data;
    int pos = 3;
    unsigned control = unsigned(in[1]) << 8 | in[2];
    int bits = 16;
    auto fail = [&result] {
        result.ok = false;
        result.data.clear();
        return result;
    };
    while (pos < size) {
        if (bits == 0) {
            if (pos + 3 > size)
                return fail();
            control = unsigned(in[size_t(pos)]) << 8 | in[size_t(pos + 1)];
            pos += 2;
            bits = 16;
        }
        const bool item = control & 0x8000;
        control = (control << 1) & 0xFFFF;
        --bits;
        if (!item) {
            if (out.size() >= 32768)
                return fail();
            out.push_back(in[size_t(pos++)]);
            continue;
        }
        if (pos + 2 > size)
            return fail();
        const int offset = in[size_t(pos)] << 4 | in[size_t(pos + 1)] >> 4;
        if (offset == 0) {
            if (pos + 4 > size)
                return fail();
            const int len = (in[size_t(pos + 1)] << 8) + in[size_t(pos + 2)] + 16;
            if (int(out.size()) + len > 32768)
                return fail();
            out.insert(out.end(), size_t(len), in[size_t(pos + 3)]);
            pos += 4;
            continue;
        }
        const int len = (in[size_t(pos + 1)] & 15) + 3;
        if (offset > int(out.size()) || int(out.size()) + len > 32768)
            return fail();
        for (int k = 0; k < len; ++k)
            out.push_back(out[out.size() - size_t(offset)]);
        pos += 2;
    }
    return result;
}

Block fastCompression(TLZR &lzr, const Block &in)
{
    Block out(TLZR::CompressionRoom);
    out.resize(size_t(lzr.Compression(in.data(), out.data(), int(in.size()))));
    return out;
}

Decoded fastDecompression(const Block &in)
{
    // The input sits at the very end of its allocation, so that the sanitizer catches
    // any read past it.
    const std::unique_ptr<uchar[]> source(new uchar[in.size() + 1]);
    uchar *const start = source.get() + 1;
    std::copy(in.begin(), in.end(), start);
    Block out(TLZR::DecompressionRoom);
    const int n = TLZR::Decompression(start, out.data(), int(in.size()));
    Decoded result;
    result.ok = n >= 0;
    if (result.ok)
        result.data.assign(out.begin(), out.begin() + n);
    return result;
}

// Inputs that exercise every branch: random bytes, text of a small vocabulary with runs
// of blanks of every length, long runs, periodic data with short and long periods, and
// all of it cut to sizes around the word and block limits.
std::vector<Block> sampleInputs()
{
    std::mt19937 rng(11);
    std::vector<Block> inputs;
    const int sizes[] = { 0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 18, 19, 20, 23, 24, 25, 31, 33, 100, 1000,
        4097, 20000, 32767, 32768 };
    const char *words[]
        = { "<row id=\"", "</Text>", "2024-01-0", "Ja", "Nein", "&nbsp;", "\r\n", "Position" };
    for (int size : sizes) {
        Block random(static_cast<size_t>(size));
        for (uchar &b : random)
            b = uchar(rng());
        inputs.push_back(random);

        Block text;
        while (int(text.size()) < size) {
            const char *w = words[rng() % 8];
            text.insert(text.end(), w, w + std::strlen(w));
            if (rng() % 4 == 0)
                text.insert(text.end(), rng() % 40, uchar(rng() % 3 ? ' ' : 'x'));
            text.push_back(uchar('0' + rng() % 10));
        }
        text.resize(size_t(size));
        inputs.push_back(text);

        for (int period : { 1, 2, 3, 5, 8, 13, 19, 4000, 4100 }) {
            Block periodic(static_cast<size_t>(size));
            for (int k = 0; k < size; ++k)
                periodic[size_t(k)] = uchar(k % period * 37 + (k / 5000));
            inputs.push_back(periodic);
        }
    }
    // Runs right up to the block end and just short of it, and the longest run plus a bit.
    for (int tail : { 14, 15, 16, 17, 18, 19, 4095, 4096, 4112 }) {
        Block b(300, 'a');
        for (size_t k = 0; k < b.size(); ++k)
            b[k] = uchar('a' + k % 7);
        b.insert(b.end(), size_t(tail), 'q');
        inputs.push_back(b);
    }
    return inputs;
}

} // namespace

TEST(LZRReference, CompressionChoosesTheSameItemsAsThePlainAlgorithm)
{
    TLZR lzr;
    for (const Block &input : sampleInputs()) {
        const Block expected = referenceCompression(input);
        ASSERT_EQ(fastCompression(lzr, input), expected) << "input of " << input.size() << " bytes";
        ASSERT_EQ(fastDecompression(expected).data, input);
    }
}

TEST(LZRReference, DecompressionAcceptsAndRejectsAsThePlainDecoder)
{
    TLZR lzr;
    std::mt19937 rng(5);
    int rejected = 0;
    for (const Block &input : sampleInputs()) {
        const Block packed = referenceCompression(input);
        if (packed.empty() || packed[0] != 0x40)
            continue;
        // Damage the block in one or a few places, or cut it short.
        for (int trial = 0; trial < 12; ++trial) {
            Block damaged = packed;
            if (trial % 4 == 3) {
                damaged.resize(rng() % damaged.size());
            } else {
                for (int k = 0; k <= trial % 3; ++k)
                    damaged[1 + rng() % (damaged.size() - 1)] = uchar(rng());
            }
            const Decoded expected = referenceDecompression(damaged);
            const Decoded actual = fastDecompression(damaged);
            ASSERT_EQ(actual.ok, expected.ok) << "block of " << damaged.size() << " bytes";
            if (expected.ok) {
                ASSERT_EQ(actual.data, expected.data);
            }
            rejected += expected.ok ? 0 : 1;
        }
    }
    // The damage must reach the rejecting paths, not only produce other valid blocks.
    EXPECT_GT(rejected, 100);
}

#pragma once

#include <QArrayData>
#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <memory>
#include <vector>

// Sharing builds QString data by hand: the reference count and the data
// pointer of Qt 6's QArrayData/QStringPrivate, whose layout Qt keeps within a
// major version.
#if QT_VERSION >= QT_VERSION_CHECK(6, 2, 0) && QT_VERSION < QT_VERSION_CHECK(7, 0, 0)
#define ZELTRANO_SHARED_TEXT_BLOCKS 1
#else
#define ZELTRANO_SHARED_TEXT_BLOCKS 0
#endif

namespace xml {

// A text written into the blocks; it becomes a QString by TTextBlocks::take, as
// often as needed.
struct TTextRef {
    std::size_t block = 0;
    const char16_t *data = nullptr;
    qsizetype length = 0;
};

// The texts of one parse, written one after another into large blocks.
//
// Shared: each text taken is a QString of its own that refers to its block
// (counted like any shared string), so that the block goes when its last text
// does, and a parse makes one allocation per many texts. The references are
// bought in bulk, one atomic addition per thousands of texts; those not handed
// out are given back on release. This reaches into how Qt 6 lays out a string's
// data, so it is built only for the Qt versions it was written and tested for.
// Copied: each text taken is a copy; the blocks are the parse's scratch only.
class TTextBlocks {
public:
    enum class TMode { Shared, Copied };
    // Whether this build can share blocks (the Qt version is one it knows).
    static bool CanShare();
    // Shared where it can, else copied.
    static TMode BestMode() { return CanShare() ? TMode::Shared : TMode::Copied; }

    explicit TTextBlocks(TMode mode = BestMode());
    TTextBlocks(const TTextBlocks &) = delete;
    TTextBlocks &operator=(const TTextBlocks &) = delete;
    ~TTextBlocks() { release(); }

    TMode mode() const { return FMode; }
    // Room for a text of up to `units` UTF-16 units; write it there and call
    // commit with its final length (at most `units`) before the next reserve.
    char16_t *reserve(qsizetype units);
    TTextRef commit(qsizetype length);
    QString take(const TTextRef &text);
    // Gives the blocks up; shared texts taken keep theirs alive.
    void release();

private:
    struct Block {
        QArrayData *shared = nullptr; // one reference is the blocks' own
        std::unique_ptr<char16_t[]> copied;
        int unpaid = 0; // further references bought and not yet handed out
    };
    static constexpr qsizetype BlockUnits = 8192;
    char16_t *allocate(qsizetype units);

    TMode FMode;
    std::vector<Block> FBlocks;
    std::size_t FFilling = 0; // the block being filled, when FLeft > 0
    char16_t *FNext = nullptr;
    qsizetype FLeft = 0;
    bool FLong = false; // the last reserve made a block of its own here
    char16_t *FLongData = nullptr;
};

inline char16_t *TTextBlocks::reserve(qsizetype units)
{
    const qsizetype needed = units + 1; // and the terminating zero every QString has
    FLong = needed > BlockUnits / 4;
    if (!FLong && needed <= FLeft)
        return FNext;
    char16_t *data = allocate(FLong ? needed : BlockUnits);
    if (FLong) {
        FLongData = data;
        return data;
    }
    FFilling = FBlocks.size() - 1;
    FNext = data;
    FLeft = BlockUnits;
    return FNext;
}

inline TTextRef TTextBlocks::commit(qsizetype length)
{
    if (FLong) {
        FLongData[length] = 0;
        return { FBlocks.size() - 1, FLongData, length };
    }
    char16_t *data = FNext;
    data[length] = 0;
    FNext += length + 1;
    FLeft -= length + 1;
    return { FFilling, data, length };
}

inline QString TTextBlocks::take(const TTextRef &text)
{
    if (text.length == 0)
        return QString(qsizetype(0), Qt::Uninitialized);
#if ZELTRANO_SHARED_TEXT_BLOCKS
    if (FMode == TMode::Shared) {
        Block &block = FBlocks[text.block];
        if (block.unpaid == 0) {
            constexpr int Batch = 4096;
            block.shared->ref_.fetchAndAddRelaxed(Batch);
            block.unpaid = Batch;
        }
        --block.unpaid;
        return QString(QStringPrivate(static_cast<QTypedArrayData<char16_t> *>(block.shared),
            const_cast<char16_t *>(text.data), text.length));
    }
#endif
    return QString(reinterpret_cast<const QChar *>(text.data), text.length);
}

} // namespace xml

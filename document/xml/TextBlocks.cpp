#include "document/xml/TextBlocks.h"

#include <QArrayData>

namespace xml {

namespace {
#if ZELTRANO_SHARED_TEXT_BLOCKS
using TextData = QTypedArrayData<char16_t>;
#endif
} // namespace

bool TTextBlocks::CanShare()
{
    return ZELTRANO_SHARED_TEXT_BLOCKS != 0;
}

TTextBlocks::TTextBlocks(TMode mode)
    : FMode(CanShare() ? mode : TMode::Copied)
{ }

char16_t *TTextBlocks::allocate(qsizetype units)
{
    Block block;
#if ZELTRANO_SHARED_TEXT_BLOCKS
    if (FMode == TMode::Shared) {
        auto [header, data] = TextData::allocate(units);
        Q_CHECK_PTR(data);
        block.shared = header;
        FBlocks.push_back(std::move(block));
        return data;
    }
#endif
    block.copied = std::make_unique<char16_t[]>(std::size_t(units));
    char16_t *data = block.copied.get();
    FBlocks.push_back(std::move(block));
    return data;
}

void TTextBlocks::release()
{
#if ZELTRANO_SHARED_TEXT_BLOCKS
    for (const Block &block : FBlocks) {
        if (!block.shared)
            continue;
        const int held = block.unpaid + 1;
        if (block.shared->ref_.fetchAndSubOrdered(held) == held)
            TextData::deallocate(block.shared);
    }
#endif
    FBlocks.clear();
    FNext = nullptr;
    FLeft = 0;
}

} // namespace xml

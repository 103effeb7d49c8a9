#include "components/NodeAllocator.h"

#include <cassert>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define GRIDTREE_PLAIN_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIDTREE_PLAIN_BLOCKS 1
#endif
#endif

namespace gridtree {

namespace {
constexpr std::size_t MaxChunkBlocks = 16384;
}

NodeAllocator::~NodeAllocator()
{
    releaseChunks();
}

void NodeAllocator::setBlockSize(std::size_t size)
{
    assert(live_ == 0);
    size = (size + 7) & ~std::size_t(7);
    if (size == blockSize_)
        return;
    releaseChunks();
    blockSize_ = size;
}

void *NodeAllocator::allocate()
{
#ifdef GRIDTREE_PLAIN_BLOCKS
    void *block = ::operator new(blockSize_);
#else
    void *block;
    if (freeList_) {
        block = freeList_;
        freeList_ = *static_cast<void **>(freeList_);
    } else {
        if (chunkCursor_ == chunkEnd_) {
            // Chunks grow so that small trees stay small and big ones need few chunks.
            const std::size_t bytes = nextChunkBlocks_ * blockSize_;
            chunkCursor_ = static_cast<char *>(::operator new(bytes));
            chunkEnd_ = chunkCursor_ + bytes;
            chunks_.push_back(chunkCursor_);
            if (nextChunkBlocks_ < MaxChunkBlocks)
                nextChunkBlocks_ *= 2;
        }
        block = chunkCursor_;
        chunkCursor_ += blockSize_;
    }
#endif
    std::memset(block, 0, blockSize_);
    ++live_;
    return block;
}

void NodeAllocator::release(void *block)
{
    --live_;
#ifdef GRIDTREE_PLAIN_BLOCKS
    ::operator delete(block);
#else
    *static_cast<void **>(block) = freeList_;
    freeList_ = block;
    if (live_ == 0)
        releaseChunks();
#endif
}

void NodeAllocator::releaseChunks()
{
    for (char *chunk : chunks_)
        ::operator delete(chunk);
    chunks_.clear();
    freeList_ = nullptr;
    chunkCursor_ = chunkEnd_ = nullptr;
    nextChunkBlocks_ = 64;
}

} // namespace gridtree

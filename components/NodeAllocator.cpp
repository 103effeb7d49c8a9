#include "components/NodeAllocator.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace gridtree {

namespace {
constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t MappedChunkBytes = std::size_t(4) << 20;
} // namespace

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

void *NodeAllocator::allocatePlain()
{
    void *block = ::operator new(blockSize_);
    std::memset(block, 0, blockSize_);
    ++live_;
    return block;
}

void NodeAllocator::releasePlain(void *block)
{
    --live_;
    ::operator delete(block);
}

void NodeAllocator::newChunk()
{
    // Chunks grow so that small trees stay small and big ones need few chunks.
    std::size_t bytes = nextChunkBlocks_ * blockSize_;
    if (bytes < HugePage || blockSize_ > MappedChunkBytes) {
        chunkCursor_ = static_cast<char *>(::operator new(bytes));
        chunks_.push_back({ chunkCursor_, bytes, false });
        chunkZeroed_ = false;
        nextChunkBlocks_ *= 2;
    } else {
        // Map a little more, keep a huge-page aligned window, give back the rest.
        bytes = MappedChunkBytes;
        void *mapped
            = mmap(nullptr, bytes + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        char *raw = static_cast<char *>(mapped);
        char *aligned = reinterpret_cast<char *>(
            (reinterpret_cast<std::uintptr_t>(raw) + HugePage - 1) & ~(std::uintptr_t(HugePage) - 1));
        if (aligned > raw)
            munmap(raw, std::size_t(aligned - raw));
        const std::size_t tail = std::size_t(raw + bytes + HugePage - (aligned + bytes));
        if (tail > 0)
            munmap(aligned + bytes, tail);
        madvise(aligned, bytes, MADV_HUGEPAGE);
        chunkCursor_ = aligned;
        chunks_.push_back({ aligned, bytes, true });
        chunkZeroed_ = true;
    }
    chunkEnd_ = chunkCursor_ + bytes;
}

void NodeAllocator::releaseChunks()
{
    for (const Chunk &chunk : chunks_) {
        if (chunk.mapped)
            munmap(chunk.memory, chunk.bytes);
        else
            ::operator delete(chunk.memory);
    }
    chunks_.clear();
    freeList_ = nullptr;
    chunkCursor_ = chunkEnd_ = nullptr;
    chunkZeroed_ = false;
    nextChunkBlocks_ = 64;
}

} // namespace gridtree

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
    assert(FLive == 0);
    size = (size + 7) & ~std::size_t(7);
    if (size == FBlockSize)
        return;
    releaseChunks();
    FBlockSize = size;
}

void *NodeAllocator::allocatePlain()
{
    void *block = ::operator new(FBlockSize);
    std::memset(block, 0, FBlockSize);
    ++FLive;
    return block;
}

void NodeAllocator::releasePlain(void *block)
{
    --FLive;
    ::operator delete(block);
}

void NodeAllocator::newChunk()
{
    // Chunks grow so that small trees stay small and big ones need few chunks.
    std::size_t bytes = FNextChunkBlocks * FBlockSize;
    if (bytes < HugePage || FBlockSize > MappedChunkBytes) {
        FChunkCursor = static_cast<char *>(::operator new(bytes));
        FChunks.push_back({ FChunkCursor, bytes, false });
        FChunkZeroed = false;
        FNextChunkBlocks *= 2;
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
        FChunkCursor = aligned;
        FChunks.push_back({ aligned, bytes, true });
        FChunkZeroed = true;
    }
    FChunkEnd = FChunkCursor + bytes;
}

void NodeAllocator::releaseChunks()
{
    for (const Chunk &chunk : FChunks) {
        if (chunk.mapped)
            munmap(chunk.memory, chunk.bytes);
        else
            ::operator delete(chunk.memory);
    }
    FChunks.clear();
    FFreeList = nullptr;
    FChunkCursor = FChunkEnd = nullptr;
    FChunkZeroed = false;
    FNextChunkBlocks = 64;
}

} // namespace gridtree

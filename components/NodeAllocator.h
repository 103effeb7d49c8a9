#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define GRIDTREE_PLAIN_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIDTREE_PLAIN_BLOCKS 1
#endif
#endif

namespace gridtree {

// Fixed-size, zero-filled blocks for the nodes of one tree. Blocks come from
// chunks and return to a free list; the chunks go back to the system when the
// last block is freed. Big trees get their chunks as fresh zeroed mappings on
// huge pages, which spares most page faults and the clearing of each block.
// Under AddressSanitizer every block is a heap block of its own so that use
// after free is caught.
class NodeAllocator {
public:
    NodeAllocator() = default;
    ~NodeAllocator();
    NodeAllocator(const NodeAllocator &) = delete;
    NodeAllocator &operator=(const NodeAllocator &) = delete;

    // Only while no block is handed out.
    void setBlockSize(std::size_t size);
    std::size_t blockSize() const { return FBlockSize; }

    // Inline: a tree makes and frees its nodes one by one, a million at a time.
    void *allocate()
    {
#ifdef GRIDTREE_PLAIN_BLOCKS
        return allocatePlain();
#else
        void *block;
        if (FFreeList) {
            block = FFreeList;
            FFreeList = *static_cast<void **>(FFreeList);
            std::memset(block, 0, FBlockSize);
        } else {
            if (std::size_t(FChunkEnd - FChunkCursor) < FBlockSize)
                newChunk();
            block = FChunkCursor;
            FChunkCursor += FBlockSize;
            if (!FChunkZeroed)
                std::memset(block, 0, FBlockSize);
        }
        ++FLive;
        return block;
#endif
    }
    void release(void *block)
    {
#ifdef GRIDTREE_PLAIN_BLOCKS
        releasePlain(block);
#else
        --FLive;
        *static_cast<void **>(block) = FFreeList;
        FFreeList = block;
        if (FLive == 0)
            releaseChunks();
#endif
    }
    std::size_t liveCount() const
    {
        return FLive;
    }

private:
    void releaseChunks();
    void newChunk();
    void *allocatePlain();
    void releasePlain(void *block);

    struct Chunk {
        char *memory;
        std::size_t bytes;
        bool mapped;
    };

    std::size_t FBlockSize = 0;
    std::size_t FLive = 0;
    void *FFreeList = nullptr;
    char *FChunkCursor = nullptr;
    char *FChunkEnd = nullptr;
    bool FChunkZeroed = false;
    std::size_t FNextChunkBlocks = 64;
    std::vector<Chunk> FChunks;
};

} // namespace gridtree

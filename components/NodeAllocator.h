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
    std::size_t blockSize() const { return blockSize_; }

    // Inline: a tree makes and frees its nodes one by one, a million at a time.
    void *allocate()
    {
#ifdef GRIDTREE_PLAIN_BLOCKS
        return allocatePlain();
#else
        void *block;
        if (freeList_) {
            block = freeList_;
            freeList_ = *static_cast<void **>(freeList_);
            std::memset(block, 0, blockSize_);
        } else {
            if (std::size_t(chunkEnd_ - chunkCursor_) < blockSize_)
                newChunk();
            block = chunkCursor_;
            chunkCursor_ += blockSize_;
            if (!chunkZeroed_)
                std::memset(block, 0, blockSize_);
        }
        ++live_;
        return block;
#endif
    }
    void release(void *block)
    {
#ifdef GRIDTREE_PLAIN_BLOCKS
        releasePlain(block);
#else
        --live_;
        *static_cast<void **>(block) = freeList_;
        freeList_ = block;
        if (live_ == 0)
            releaseChunks();
#endif
    }
    std::size_t liveCount() const
    {
        return live_;
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

    std::size_t blockSize_ = 0;
    std::size_t live_ = 0;
    void *freeList_ = nullptr;
    char *chunkCursor_ = nullptr;
    char *chunkEnd_ = nullptr;
    bool chunkZeroed_ = false;
    std::size_t nextChunkBlocks_ = 64;
    std::vector<Chunk> chunks_;
};

} // namespace gridtree

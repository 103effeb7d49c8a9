#pragma once

#include <cstddef>
#include <vector>

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

    void *allocate();
    void release(void *block);
    std::size_t liveCount() const { return live_; }

private:
    void releaseChunks();
    void newChunk();

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

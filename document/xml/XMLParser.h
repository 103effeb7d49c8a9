#pragma once

#include "document/xml/HashedString.h"
#include "document/xml/TextBlocks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <memory_resource>
#include <vector>

class TXMLAttribute;
class TXMLNode;

// The lenient parser behind TXMLTree and TXMLNode::AddNodeEx.
namespace xml {

// Memory for the nodes, attributes and their lists of one parsed tree, taken in large
// chunks. Pooled attributes are destroyed by their owners (PoolDeleter); pooled nodes by
// the pool itself on reset, in the order they were made (a parent before its children,
// which it may still look at), with one pass over their memory instead of a walk
// through the tree. The tree calls reset once nothing outside the pool holds them.
class NodePool {
public:
    NodePool();
    ~NodePool();
    NodePool(const NodePool &) = delete;
    NodePool &operator=(const NodePool &) = delete;

    // The node points to `name`, which the pool keeps (keepName).
    TXMLNode *makeNode(const THashedString *name, TXMLNode *parent);
    const THashedString *keepName(THashedString &&name);
    TXMLAttribute *makeAttribute(THashedString &&name, QString &&value);
    void reset();
    // The parse is over: each text block lives on only as long as the texts taken
    // from it, so that freeing nodes frees their texts' blocks too.
    void parsed();
    // Frees the subtrees of `parent`'s children before `count` (their places in its
    // list hold nothing then), and the pool's memory that held nothing else. One
    // parent per parse, its children freed from the first on; false (nothing freed)
    // for any other, or for a parent that was changed since the parse.
    bool releaseChildren(TXMLNode &parent, int count);

    // Memory for the lists of pooled nodes.
    std::pmr::memory_resource &resource() { return FResource; }

    // A text written into the pool's string blocks; it becomes a QString by takeText,
    // as often as needed.
    using TextRef = TTextRef;

    // Room for a text of up to `units` UTF-16 units; write it there and call
    // commitText with its final length (at most `units`) before the next reserveText.
    char16_t *reserveText(qsizetype units);
    TextRef commitText(qsizetype length);
    QString takeText(const TextRef &text);

private:
    // Chunks of one fixed size below the allocator's mapping threshold, so that freed
    // chunks are reused rather than mapped (and faulted in) again.
    // Each chunk notes the node count of its first and last allocation: one that
    // served only nodes being freed goes with them.
    class Chunks : public std::pmr::memory_resource {
    public:
        explicit Chunks(const std::size_t &clock)
            : FClock(clock)
        { }
        void release();
        // Frees the chunks all of whose allocations came at node counts in [from, to].
        void releaseWithin(std::size_t from, std::size_t to);

    private:
        struct Chunk {
            std::unique_ptr<std::byte[]> memory;
            std::size_t first;
            std::size_t last;
        };
        void *do_allocate(std::size_t bytes, std::size_t alignment) override;
        void do_deallocate(void *, std::size_t, std::size_t) override { }
        bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override
        {
            return this == &other;
        }

        const std::size_t &FClock;
        std::vector<Chunk> FChunks;
        std::size_t FCurrent = 0; // the chunk FNext points into
        std::size_t FScan = 0; // chunks before it are freed or never will be
        std::byte *FNext = nullptr;
        std::size_t FLeft = 0;
    };

    // The pool's place of `node` at or after `from`; FNodeCount when it is none of its.
    std::size_t indexOf(const TXMLNode *node, std::size_t from) const;

    static constexpr std::size_t NodesPerBlock = 256;
    struct NodeBlock;

    std::size_t FNodeCount = 0;
    Chunks FResource { FNodeCount };
    TTextBlocks FTexts;
    std::vector<std::unique_ptr<NodeBlock>> FNodeBlocks;
    std::deque<THashedString> FNames; // the nodes' names, each kept once (mostly)
    // releaseChildren's parent, how many of its children are gone, and the places
    // of the nodes freed with them (reset skips those).
    const TXMLNode *FReleasedParent = nullptr;
    int FReleasedChildren = 0;
    std::size_t FDeadFrom = 0;
    std::size_t FDeadTo = 0;
};

// Appends to parent the element described by the inside of a tag: the name before the
// first blank, then name="value" pairs; names and values unescaped.
TXMLNode *addNodeFromTag(TXMLNode &parent, QStringView tagText, const QString &value);

struct ParseOutcome {
    bool ok = true;
    int nodeCount = 0; // elements opened, not self-closed
    bool complete = true; // every opened element was closed
    QString error;
};

// How far the parses of one thread have come through their text, for another
// thread that shows progress: each parse stores how many units it has passed and
// how many its text holds, every megabyte or so. Read with relaxed loads.
struct ParseProgress {
    std::atomic<qint64> done { 0 };
    std::atomic<qint64> total { 0 };
};

// Makes the calling thread's parses report to `progress` while it lives.
class ParseProgressScope {
public:
    explicit ParseProgressScope(ParseProgress *progress);
    ~ParseProgressScope();
    ParseProgressScope(const ParseProgressScope &) = delete;
    ParseProgressScope &operator=(const ParseProgressScope &) = delete;

private:
    ParseProgress *FPrevious;
};

// Parse text, or the bytes of a file in Windows-1252, into root (which the caller has
// emptied), taking nodes from pool.
ParseOutcome parse(TXMLNode &root, QStringView text, int maxDepth, NodePool &pool);
ParseOutcome parse(TXMLNode &root, QByteArrayView bytes, int maxDepth, NodePool &pool);
// As parse of bytes the caller has no use for afterwards: the memory of the pages the
// parse has passed goes back to the system on the way (they read as zeros then), so
// that a large text is not held whole beside its whole tree. Bytes shared with another
// QByteArray are only read.
ParseOutcome parseSpending(TXMLNode &root, QByteArray &bytes, int maxDepth, NodePool &pool);

} // namespace xml

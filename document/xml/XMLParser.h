#pragma once

#include "document/xml/HashedString.h"
#include "document/xml/TextBlocks.h"

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
    class Chunks : public std::pmr::memory_resource {
    public:
        void release();

    private:
        void *do_allocate(std::size_t bytes, std::size_t alignment) override;
        void do_deallocate(void *, std::size_t, std::size_t) override { }
        bool do_is_equal(const std::pmr::memory_resource &other) const noexcept override
        {
            return this == &other;
        }

        std::vector<std::unique_ptr<std::byte[]>> FChunks;
        std::byte *FNext = nullptr;
        std::size_t FLeft = 0;
    };

    static constexpr std::size_t NodesPerBlock = 256;
    struct NodeBlock;

    Chunks FResource;
    TTextBlocks FTexts;
    std::vector<std::unique_ptr<NodeBlock>> FNodeBlocks;
    std::deque<THashedString> FNames; // the nodes' names, each kept once (mostly)
    std::size_t FNodeCount = 0;
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

} // namespace xml

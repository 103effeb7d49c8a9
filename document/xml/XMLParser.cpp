#include "document/xml/XMLParser.h"

#include "document/xml/XMLEscape.h"
#include "document/xml/XMLNode.h"
#include "document/xml/XMLText.h"
#include "platform/MemoryTrim.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace xml {

namespace {
thread_local ParseProgress *tProgress = nullptr;
// Units of text between two reports: rare enough to cost nothing.
constexpr qsizetype kReportStep = qsizetype(1) << 20;
// Bytes passed between two hand-backs of a spent text's memory: each one costs the
// caches their entries, so not too often.
constexpr qsizetype kSpendStep = qsizetype(4) << 20;
} // namespace

ParseProgressScope::ParseProgressScope(ParseProgress *progress)
    : FPrevious(std::exchange(tProgress, progress))
{ }

ParseProgressScope::~ParseProgressScope()
{
    tProgress = FPrevious;
}

using NodePtr = std::unique_ptr<TXMLNode, PoolDeleter>;
using AttributePtr = std::unique_ptr<TXMLAttribute, PoolDeleter>;

// The parser's access to the insides of nodes: pooled objects and lists filled at once.
struct NodeAccess {
    static TXMLNode *construct(void *memory, const THashedString *name, TXMLNode *parent)
    {
        TXMLNode *node = new (memory) TXMLNode(name, parent);
        node->FPooled = true;
        return node;
    }
    static void destroy(TXMLNode *node)
    {
        if (node->FHasOwnChildren || node->FOwnNodeList || node->FOwnAttributeList || node->FOwnName) {
            // Changed since the parse: the full destructor, which leaves pooled children
            // alone and frees the rest.
            node->TXMLNode::~TXMLNode();
            return;
        }
        // As the parser made it: its children are the pool's and its lists live in the
        // pool's memory and its name is the pool's, so only its value and attributes need
        // freeing. The node's memory goes with the pool; nothing depends on the rest of
        // its destructor.
        if (node->FAttributes) {
            for (auto &attribute : *node->FAttributes)
                PoolDeleter()(attribute.release());
        }
        std::destroy_at(&node->FValue);
    }
    // A node as the parser made it, with a list of children from the pool.
    static bool asParsed(const TXMLNode &node)
    {
        return node.FPooled && node.FNodes && !node.FHasOwnChildren && !node.FOwnNodeList;
    }
    // Empties the places [from, to) of the node's list; their nodes are the pool's.
    static void forgetChildren(TXMLNode &node, std::size_t from, std::size_t to)
    {
        for (std::size_t i = from; i < to; ++i)
            (void)(*node.FNodes)[i].release();
    }
    static TXMLAttribute *construct(void *memory, THashedString &&name, QString &&value)
    {
        TXMLAttribute *attribute = new (memory) TXMLAttribute(std::move(name), std::move(value));
        attribute->FPooled = true;
        return attribute;
    }
    static void setValue(TXMLNode &node, QString &&value, TXMLValueType type)
    {
        node.FValue = std::move(value);
        node.FValueType = type;
    }
    // Moves the scratch items into the list, which is made in the pool's memory when
    // there is none yet.
    template <typename List, typename Scratch>
    static void fill(List *&target, Scratch &source, std::pmr::memory_resource &resource)
    {
        if (source.empty())
            return;
        if (!target)
            target = new (resource.allocate(sizeof(List), alignof(List))) List(&resource);
        target->reserve(target->size() + source.size());
        for (auto &item : source)
            target->push_back(std::move(item));
        source.clear();
    }
    static void adoptChildren(
        TXMLNode &node, std::vector<NodePtr> &children, std::pmr::memory_resource &resource)
    {
        // The tree itself is no pooled node: its list is its own.
        if (!node.FNodes && !node.FPooled)
            node.nodes();
        fill(node.FNodes, children, resource);
    }
    static void adoptAttributes(
        TXMLNode &node, std::vector<AttributePtr> &attributes, std::pmr::memory_resource &resource)
    {
        fill(node.FAttributes, attributes, resource);
    }
};

struct NodePool::NodeBlock {
    alignas(TXMLNode) std::byte memory[NodesPerBlock * sizeof(TXMLNode)];

    TXMLNode *at(std::size_t index)
    {
        return reinterpret_cast<TXMLNode *>(memory + index * sizeof(TXMLNode));
    }
};

NodePool::NodePool() = default;

NodePool::~NodePool()
{
    reset();
}

inline char16_t *NodePool::reserveText(qsizetype units)
{
    return FTexts.reserve(units);
}

inline NodePool::TextRef NodePool::commitText(qsizetype length)
{
    return FTexts.commit(length);
}

inline QString NodePool::takeText(const TextRef &text)
{
    return FTexts.take(text);
}

void NodePool::reset()
{
    for (std::size_t i = 0; i < FNodeCount; ++i) {
        if (i == FDeadFrom && FDeadTo > FDeadFrom)
            i = FDeadTo;
        if (i < FNodeCount)
            NodeAccess::destroy(FNodeBlocks[i / NodesPerBlock]->at(i % NodesPerBlock));
    }
    FReleasedParent = nullptr;
    FReleasedChildren = 0;
    FDeadFrom = FDeadTo = 0;
    FNodeCount = 0;
    FNodeBlocks.clear();
    FNames.clear();
    FResource.release();
    FTexts.release();
}

void NodePool::parsed()
{
    FTexts.release();
}

std::size_t NodePool::indexOf(const TXMLNode *node, std::size_t from) const
{
    const auto at = reinterpret_cast<std::uintptr_t>(node);
    for (std::size_t b = from / NodesPerBlock; b < FNodeBlocks.size(); ++b) {
        if (!FNodeBlocks[b])
            continue;
        const auto start = reinterpret_cast<std::uintptr_t>(FNodeBlocks[b]->memory);
        if (at >= start && at < start + sizeof(NodeBlock::memory))
            return b * NodesPerBlock + (at - start) / sizeof(TXMLNode);
    }
    return FNodeCount;
}

bool NodePool::releaseChildren(TXMLNode &parent, int count)
{
    if ((FReleasedParent && FReleasedParent != &parent) || !NodeAccess::asParsed(parent))
        return false;
    const TXMLNode::NodeList &children = parent.Nodes();
    count = std::min(count, int(children.size()));
    if (count <= FReleasedChildren)
        return true;
    if (!FReleasedParent) {
        FDeadFrom = FDeadTo = indexOf(children.front().get(), 0);
        if (FDeadFrom >= FNodeCount)
            return false;
        FReleasedParent = &parent;
    }
    // A parse makes each child's subtree right after the child: the nodes freed
    // end where the next child, or the last one's last descendant, is.
    std::size_t end = FNodeCount;
    if (count < int(children.size())) {
        end = indexOf(children[std::size_t(count)].get(), FDeadTo);
    } else {
        const TXMLNode *last = children.back().get();
        while (last->Count() > 0)
            last = last->Node(last->Count() - 1);
        const std::size_t at = indexOf(last, FDeadTo);
        end = at < FNodeCount ? at + 1 : FNodeCount + 1;
    }
    // A node added by hand is none of the pool's places: nothing is freed then.
    if (end <= FDeadTo || end > FNodeCount)
        return false;
    for (std::size_t i = FDeadTo; i < end; ++i)
        NodeAccess::destroy(FNodeBlocks[i / NodesPerBlock]->at(i % NodesPerBlock));
    NodeAccess::forgetChildren(parent, std::size_t(FReleasedChildren), std::size_t(count));
    // Blocks wholly within the freed places; the first one may hold the parent.
    for (std::size_t b = (FDeadFrom + NodesPerBlock - 1) / NodesPerBlock; (b + 1) * NodesPerBlock <= end; ++b)
        FNodeBlocks[b].reset();
    // A node's attributes and list come after the node itself, at counts past its
    // place; the parent's list may come as the last child ends, so that count stays.
    FResource.releaseWithin(FDeadFrom + 1, end - 1);
    FDeadTo = end;
    FReleasedChildren = count;
    return true;
}

void NodePool::Chunks::releaseWithin(std::size_t from, std::size_t to)
{
    for (std::size_t k = FScan; k < FChunks.size(); ++k) {
        Chunk &chunk = FChunks[k];
        if (chunk.first > to)
            break;
        if (chunk.memory && chunk.first >= from && chunk.last <= to && k != FCurrent)
            chunk.memory.reset();
        if (k == FScan && (!chunk.memory || chunk.first < from))
            ++FScan;
    }
}

void *NodePool::Chunks::do_allocate(std::size_t bytes, std::size_t alignment)
{
    constexpr std::size_t chunkSize = 64 * 1024;
    // new[] aligns for every fundamental type; nothing pooled asks for more.
    constexpr std::size_t maxAlign = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
    Q_ASSERT(alignment <= maxAlign);
    bytes = (bytes + maxAlign - 1) / maxAlign * maxAlign;
    if (bytes > chunkSize / 4) {
        // A long child list gets a block of its own.
        FChunks.push_back({ std::unique_ptr<std::byte[]>(new std::byte[bytes]), FClock, FClock });
        return FChunks.back().memory.get();
    }
    if (FLeft < bytes) {
        FChunks.push_back({ std::unique_ptr<std::byte[]>(new std::byte[chunkSize]), FClock, FClock });
        FCurrent = FChunks.size() - 1;
        FNext = FChunks.back().memory.get();
        FLeft = chunkSize;
    }
    FChunks[FCurrent].last = FClock;
    void *p = FNext;
    FNext += bytes;
    FLeft -= bytes;
    return p;
}

void NodePool::Chunks::release()
{
    FChunks.clear();
    FCurrent = FScan = 0;
    FNext = nullptr;
    FLeft = 0;
}

inline const THashedString *NodePool::keepName(THashedString &&name)
{
    return &FNames.emplace_back(std::move(name));
}

inline TXMLNode *NodePool::makeNode(const THashedString *name, TXMLNode *parent)
{
    const std::size_t slot = FNodeCount % NodesPerBlock;
    if (slot == 0)
        FNodeBlocks.push_back(std::make_unique_for_overwrite<NodeBlock>());
    TXMLNode *node = NodeAccess::construct(FNodeBlocks.back()->at(slot), name, parent);
    ++FNodeCount;
    return node;
}

TXMLAttribute *NodePool::makeAttribute(THashedString &&name, QString &&value)
{
    return NodeAccess::construct(
        FResource.allocate(sizeof(TXMLAttribute), alignof(TXMLAttribute)), std::move(name), std::move(value));
}

namespace {

template <typename Ch> using View = std::basic_string_view<Ch>;

quint64 load64(const uchar *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

quint32 load32(const uchar *p)
{
    quint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

// A quick hash of a short raw text, eight bytes at a time; the last (partial) word is read
// overlapping the one before, so that no read leaves the text.
template <typename Ch> quint64 rawHash(View<Ch> text)
{
    const size_t bytes = text.size() * sizeof(Ch);
    const uchar *p = reinterpret_cast<const uchar *>(text.data());
    constexpr quint64 k = 0x9E3779B97F4A7C15ull;
    quint64 h = bytes * k;
    if (bytes >= 8) {
        for (size_t i = 0; i + 8 < bytes; i += 8)
            h = (h ^ load64(p + i)) * k;
        h = (h ^ load64(p + bytes - 8)) * k;
    } else if (bytes >= 4) {
        h = (h ^ (load32(p) | quint64(load32(p + bytes - 4)) << 32)) * k;
    } else if (bytes > 0) {
        h = (h ^ (quint64(p[0]) | quint64(p[bytes / 2]) << 8 | quint64(p[bytes - 1]) << 16)) * k;
    }
    return h;
}

// Short texts compare word by word, the last word overlapping the one before.
template <typename Ch> bool sameRaw(View<Ch> a, View<Ch> b)
{
    if (a.size() != b.size())
        return false;
    const size_t bytes = a.size() * sizeof(Ch);
    const uchar *p = reinterpret_cast<const uchar *>(a.data());
    const uchar *q = reinterpret_cast<const uchar *>(b.data());
    if (bytes < 8)
        return std::memcmp(p, q, bytes) == 0;
    for (size_t i = 0; i + 8 < bytes; i += 8) {
        if (load64(p + i) != load64(q + i))
            return false;
    }
    return load64(p + bytes - 8) == load64(q + bytes - 8);
}

// Documents repeat a few names thousands of times, and cell values repeat a lot too
// (positions, states, check boxes, dates, lengths). Short texts are shared per distinct
// raw text within one parse, which saves an allocation and a free for most of them. The
// keys point into the text being parsed, so that a hit costs one compare.
template <typename Ch, typename Result> class RawCache {
public:
    static constexpr size_t MaxLength = 32;

    template <typename Make> Result get(View<Ch> raw, Make make)
    {
        if (raw.size() > MaxLength)
            return make(raw);
        const quint64 hash = rawHash(raw);
        // The high bits of a multiplicative hash are its well mixed ones.
        Slot &slot = FSlots[hash >> (64 - SlotBits)];
        if (!slot.used || slot.hash != hash || !sameRaw(slot.raw, raw)) {
            slot.used = true;
            slot.hash = hash;
            slot.raw = raw;
            slot.value = make(raw);
        }
        return slot.value;
    }

    // Forgets every entry (their keys point into text about to go).
    void clear() { FSlots.fill(Slot {}); }

private:
    struct Slot {
        bool used = false;
        quint64 hash = 0;
        View<Ch> raw;
        Result value {};
    };
    static constexpr int SlotBits = 8;
    std::array<Slot, 1 << SlotBits> FSlots;
};

template <typename Ch> class Parser {
public:
    Parser(TXMLNode &root, View<Ch> text, int maxDepth, NodePool &pool, bool spend = false)
        : FRoot(root)
        , FText(text)
        , FMaxDepth(maxDepth)
        , FPool(pool)
        , FSpend(spend)
    { }

    ParseOutcome run()
    {
        FCurrent = &FRoot;
        FLevels.resize(1);
        const qsizetype n = qsizetype(FText.size());
        qsizetype pos = 0;
        bool noMoreTagEnds = false;
        ParseProgress *const progress = tProgress;
        qsizetype nextReport = 0;
        if (progress) {
            progress->done.store(0, std::memory_order_relaxed);
            progress->total.store(n, std::memory_order_relaxed);
        }
        while (pos < n) {
            if (progress && pos >= nextReport) {
                progress->done.store(pos, std::memory_order_relaxed);
                nextReport = pos + kReportStep;
            }
            if (FSpend && pos - FSpent >= kSpendStep)
                spendBefore(pos);
            qsizetype lt = -1;
            if constexpr (sizeof(Ch) == 1)
                lt = plainText(pos);
            if (lt < 0) {
                lt = findNear(FText, pos, '<');
                if (lt < 0) {
                    setTextValue(FText.substr(size_t(pos)));
                    break;
                }
                if (lt > pos)
                    setTextValue(FText.substr(size_t(pos), size_t(lt - pos)));
            }
            if (isCDataStart(lt)) {
                // An unclosed section takes the rest of the text.
                const qsizetype end = findCDataEnd(lt + 9);
                const qsizetype contentEnd = end < 0 ? n : end;
                NodeAccess::setValue(*FCurrent,
                    cdataValue(FText.substr(size_t(lt + 9), size_t(contentEnd - lt - 9))), xvtCDATA);
                pos = end < 0 ? n : end + 3;
                continue;
            }
            if (isCommentStart(lt)) {
                // A comment holds nothing the document uses; it may hold "<" and ">", and
                // an unclosed one takes the rest of the text.
                const qsizetype end = findCommentEnd(lt + 4);
                pos = end < 0 ? n : end + 3;
                continue;
            }
            // A tag without blanks, TABs or line ends, such as most are, needs no cleaning.
            qsizetype gt = -1;
            bool plain = false;
            if constexpr (sizeof(Ch) == 1) {
                if (!noMoreTagEnds) {
                    gt = plainTagEnd(lt + 1);
                    plain = gt >= 0;
                }
            }
            // Once no ">" follows, none will: remembering it keeps a text full of "<"
            // linear.
            if (!plain)
                gt = noMoreTagEnds ? -1 : findNear(FText, lt + 1, '>');
            if (gt < 0) {
                noMoreTagEnds = true;
                pos = lt + 1;
                continue;
            }
            const View<Ch> inside = FText.substr(size_t(lt + 1), size_t(gt - lt - 1));
            pos = gt + 1;
            if (!inside.empty() && inside.front() == Ch('/')) {
                // Closing tags do not compare names; one at the top level has nothing to close.
                if (FDepth > 0)
                    close();
                continue;
            }
            if (FDepth + 1 > FMaxDepth) {
                closeAll();
                FOutcome.ok = false;
                FOutcome.error = QStringLiteral("XML nested deeper than %1 levels at character %2")
                                     .arg(FMaxDepth)
                                     .arg(lt);
                return FOutcome;
            }
            const View<Ch> tag = plain ? inside : clean(inside);
            if (!inside.empty() && (inside.back() == Ch('?') || inside.back() == Ch('/'))) {
                // "< />" is what an element with an empty name looks like when empty.
                add(tag.size() == 1 && tag[0] == Ch('/') ? View<Ch>() : tag);
            } else {
                FCurrent = add(tag);
                ++FDepth;
                if (FLevels.size() <= size_t(FDepth))
                    FLevels.resize(size_t(FDepth) + 1);
                ++FOutcome.nodeCount;
            }
        }
        FOutcome.complete = FDepth == 0;
        closeAll();
        return FOutcome;
    }

private:
    // Nothing before pos is read again but through the caches' keys: they go, and the
    // memory of the whole pages there goes back to the system.
    void spendBefore(qsizetype pos)
    {
        FNames.clear();
        FValues.clear();
        auto *from = const_cast<Ch *>(FText.data() + FSpent);
        FSpent
            += qsizetype(platform::discardWholePages(from, size_t(pos - FSpent) * sizeof(Ch)) / sizeof(Ch));
    }

    // For file bytes, the common text between tags, in one word-wise pass: blanks only,
    // or (after leading blanks) a text without TAB or line end, which so needs no cleaning.
    // Its value is set here, and the position of the "<" that ends it returned; -1 when
    // the text is not of that kind (or reaches the end), and nothing was done.
    qsizetype plainText(qsizetype from)
    {
        const uchar *p = reinterpret_cast<const uchar *>(FText.data());
        const size_t n = FText.size();
        size_t i = size_t(from);
        // Leading blanks (and control characters). Which kind of byte stopped a scan is
        // read off the masks, not loaded again.
        for (;;) {
            if (i + 8 > n)
                return -1;
            const quint64 w = bytes::load(p + i);
            if (const quint64 m = bytes::aboveBlank(w)) {
                i += bytes::first(m);
                if (bytes::equal(w, '<') & bytes::lowest(m))
                    return qsizetype(i);
                break;
            }
            i += 8;
        }
        const size_t start = i;
        for (;;) {
            if (i + 8 > n)
                return -1;
            const quint64 w = bytes::load(p + i);
            const quint64 less = bytes::equal(w, '<');
            if (const quint64 m = less | bytes::below(w, 14)) {
                if (!(less & bytes::lowest(m)))
                    return -1;
                i += bytes::first(m);
                break;
            }
            i += 8;
        }
        size_t end = i;
        while (p[end - 1] <= 32)
            --end;
        NodeAccess::setValue(*FCurrent, valueOf(FText.substr(start, end - start)), xvtString);
        return qsizetype(i);
    }

    // For file bytes: the ">" ending a tag that starts at from when no blank, TAB or line
    // end comes before it; otherwise -1.
    qsizetype plainTagEnd(qsizetype from) const
    {
        const uchar *p = reinterpret_cast<const uchar *>(FText.data());
        const size_t n = FText.size();
        for (size_t i = size_t(from); i + 8 <= n; i += 8) {
            const quint64 w = bytes::load(p + i);
            const quint64 greater = bytes::equal(w, '>');
            if (const quint64 m = greater | bytes::below(w, 33)) {
                const size_t at = i + bytes::first(m);
                return (greater & bytes::lowest(m)) && at > size_t(from) ? qsizetype(at) : -1;
            }
        }
        return -1;
    }

    bool isCDataStart(qsizetype lt) const
    {
        static const char marker[] = "<![CDATA[";
        if (qsizetype(FText.size()) - lt < 9 || FText[size_t(lt + 1)] != Ch('!'))
            return false;
        for (int i = 0; i < 9; ++i) {
            const char16_t c = unitOf(FText[size_t(lt + i)]);
            const char16_t upper = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
            if (upper != char16_t(marker[i]))
                return false;
        }
        return true;
    }

    bool isCommentStart(qsizetype lt) const
    {
        return qsizetype(FText.size()) - lt >= 4 && FText[size_t(lt + 1)] == Ch('!')
            && FText[size_t(lt + 2)] == Ch('-') && FText[size_t(lt + 3)] == Ch('-');
    }

    qsizetype findCommentEnd(qsizetype from) const
    {
        for (qsizetype k = find(FText, from, '-'); k >= 0; k = find(FText, k + 1, '-')) {
            if (startsWithAt(FText, size_t(k), "-->"))
                return k;
        }
        return -1;
    }

    qsizetype findCDataEnd(qsizetype from) const
    {
        for (qsizetype k = find(FText, from, ']'); k >= 0; k = find(FText, k + 1, ']')) {
            if (startsWithAt(FText, size_t(k), "]]>"))
                return k;
        }
        return -1;
    }

    // How many leading characters are certainly neither TAB nor CR: for bytes, eight at a
    // time while no byte in the word is below 14.
    static size_t skipPlain(View<Ch> text)
    {
        size_t i = 0;
        if constexpr (sizeof(Ch) == 1) {
            constexpr quint64 ones = 0x0101010101010101ull;
            while (i + 8 <= text.size()) {
                const quint64 w = load64(text.data() + i);
                if (((w - ones * 14) & ~w & ones * 0x80) != 0)
                    break;
                i += 8;
            }
        }
        return i;
    }

    // Text and tag insides lose their line structure: every CR LF pair and every TAB
    // becomes a blank, and the result is trimmed.
    View<Ch> clean(View<Ch> text)
    {
        text = trim(text);
        const size_t n = text.size();
        size_t i = skipPlain(text);
        while (i < n && text[i] != Ch('\t') && !(text[i] == Ch('\r') && i + 1 < n && text[i + 1] == Ch('\n')))
            ++i;
        if (i == n)
            return text;
        FScratch.assign(text.substr(0, i));
        while (i < n) {
            if (text[i] == Ch('\t')) {
                FScratch += Ch(' ');
                ++i;
            } else if (text[i] == Ch('\r') && i + 1 < n && text[i + 1] == Ch('\n')) {
                FScratch += Ch(' ');
                i += 2;
            } else {
                FScratch += text[i++];
            }
        }
        return trim(View<Ch>(FScratch));
    }

    // CDATA keeps its line structure as markers: CR LF becomes backslash-n-blank and TAB
    // backslash-t-blank (the writer turns them back).
    QString cdataValue(View<Ch> content)
    {
        FScratch.clear();
        const size_t n = content.size();
        for (size_t i = 0; i < n; ++i) {
            if (content[i] == Ch('\r') && i + 1 < n && content[i + 1] == Ch('\n')) {
                FScratch += Ch('\\');
                FScratch += Ch('n');
                FScratch += Ch(' ');
                ++i;
            } else if (content[i] == Ch('\t')) {
                FScratch += Ch('\\');
                FScratch += Ch('t');
                FScratch += Ch(' ');
            } else {
                FScratch += content[i];
            }
        }
        return valueOf(View<Ch>(FScratch));
    }

    void setTextValue(View<Ch> text)
    {
        text = trim(text);
        if (text.empty())
            return;
        NodeAccess::setValue(*FCurrent, valueOf(clean(text)), xvtString);
    }

    // A cleaned text may live in the scratch buffer, which a cache must not point to.
    bool inText(View<Ch> raw) const
    {
        return raw.data() >= FText.data() && raw.data() <= FText.data() + FText.size();
    }

    NodePool::TextRef makeText(View<Ch> raw)
    {
        char16_t *out = FPool.reserveText(qsizetype(raw.size()));
        return FPool.commitText(qsizetype(unescapeInto(raw, out)));
    }

    const THashedString *makeName(View<Ch> raw)
    {
        const NodePool::TextRef text = makeText(raw);
        const quint32 hash = THashedString::HashOf(QStringView(text.data, text.length));
        return FPool.keepName(THashedString(FPool.takeText(text), hash));
    }

    QString valueOf(View<Ch> raw)
    {
        // Cells repeat a few values (positions, states, lengths, dates) row after
        // row: an equal short value seen lately is shared rather than written again.
        if (inText(raw)) {
            auto make = [this](View<Ch> r) { return FPool.takeText(makeText(r)); };
            return FValues.get(raw, make);
        }
        return FPool.takeText(makeText(raw));
    }
    // The pool's name for raw; nodes share it.
    const THashedString *nameOf(View<Ch> raw)
    {
        auto make = [this](View<Ch> r) { return makeName(r); };
        return inText(raw) ? FNames.get(raw, make) : makeName(raw);
    }

    TXMLNode *add(View<Ch> tagText)
    {
        const size_t blank = tagText.find(Ch(' '));
        TXMLNode *node = FPool.makeNode(nameOf(tagText.substr(0, blank)), FCurrent);
        FLevels[size_t(FDepth)].emplace_back(node);
        if (blank == View<Ch>::npos)
            return node;
        size_t pos = blank + 1;
        for (;;) {
            const size_t eq = tagText.find(Ch('='), pos);
            if (eq == View<Ch>::npos)
                break;
            const size_t open = tagText.find(Ch('"'), eq + 1);
            if (open == View<Ch>::npos)
                break;
            const size_t close = tagText.find(Ch('"'), open + 1);
            if (close == View<Ch>::npos)
                break;
            FAttributes.emplace_back(
                FPool.makeAttribute(THashedString(*nameOf(trim(tagText.substr(pos, eq - pos)))),
                    valueOf(tagText.substr(open + 1, close - open - 1))));
            pos = close + 1;
        }
        NodeAccess::adoptAttributes(*node, FAttributes, FPool.resource());
        return node;
    }

    void close()
    {
        NodeAccess::adoptChildren(*FCurrent, FLevels[size_t(FDepth)], FPool.resource());
        FCurrent = FCurrent->parentNode();
        --FDepth;
    }

    void closeAll()
    {
        while (FDepth > 0)
            close();
        NodeAccess::adoptChildren(FRoot, FLevels[0], FPool.resource());
    }

    TXMLNode &FRoot;
    View<Ch> FText;
    int FMaxDepth;
    NodePool &FPool;
    // Whether the text is the parse's to spend, and how much of it is spent.
    bool FSpend;
    qsizetype FSpent = 0;
    TXMLNode *FCurrent = nullptr;
    int FDepth = 0;
    // Children of each open element, handed over when it closes, so that every list is
    // allocated once at its final size.
    std::vector<std::vector<NodePtr>> FLevels;
    std::vector<AttributePtr> FAttributes;
    std::basic_string<Ch> FScratch;
    RawCache<Ch, const THashedString *> FNames;
    RawCache<Ch, QString> FValues;
    ParseOutcome FOutcome;
};

} // namespace

TXMLNode *addNodeFromTag(TXMLNode &parent, QStringView tagText, const QString &value)
{
    const qsizetype blank = tagText.indexOf(u' ');
    if (blank < 0)
        return parent.AddNode(XMLUnescape(tagText), value);
    TXMLNode *node = parent.AddNode(XMLUnescape(tagText.first(blank)), value);
    qsizetype pos = blank + 1;
    for (;;) {
        const qsizetype eq = tagText.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const qsizetype open = tagText.indexOf(u'"', eq + 1);
        if (open < 0)
            break;
        const qsizetype close = tagText.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        node->AddAttribute(XMLUnescape(trimControls(tagText.sliced(pos, eq - pos))),
            XMLUnescape(tagText.sliced(open + 1, close - open - 1)));
        pos = close + 1;
    }
    return node;
}

ParseOutcome parse(TXMLNode &root, QStringView text, int maxDepth, NodePool &pool)
{
    return Parser<char16_t>(root, Units(text.utf16(), size_t(text.size())), maxDepth, pool).run();
}

ParseOutcome parse(TXMLNode &root, QByteArrayView bytes, int maxDepth, NodePool &pool)
{
    return Parser<uchar>(
        root, Bytes(reinterpret_cast<const uchar *>(bytes.data()), size_t(bytes.size())), maxDepth, pool)
        .run();
}

ParseOutcome parseSpending(TXMLNode &root, QByteArray &bytes, int maxDepth, NodePool &pool)
{
    // Bytes shared with anyone else (or not allocated at all) are only read.
    const bool own = bytes.isDetached();
    const char *data = own ? bytes.data() : bytes.constData();
    return Parser<uchar>(
        root, Bytes(reinterpret_cast<const uchar *>(data), size_t(bytes.size())), maxDepth, pool, own)
        .run();
}

} // namespace xml

// The tree stream: bytes worked out from the record layout, random trees there
// and back, damaged and cut streams, and moving nodes between two trees.
#include "components/BaseGridTree.h"
#include "components/StreamIO.h"
#include "tests/support/GridTreeCheck.h"
#include "tests/support/OwnerBytesTree.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

QByteArray raw(std::initializer_list<uint8_t> b)
{
    return QByteArray(reinterpret_cast<const char *>(b.begin()), qsizetype(b.size()));
}
QByteArray le32(uint32_t v)
{
    return raw({ uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24) });
}
QByteArray le16(uint16_t v)
{
    return raw({ uint8_t(v), uint8_t(v >> 8) });
}
QByteArray chunk(int32_t type, const QByteArray &body)
{
    return le32(uint32_t(type)) + le32(uint32_t(body.size())) + body;
}
// U+2045 "V" "T" version " " U+2046, then the record count.
QByteArray streamHeader(uint16_t version, int count = -1)
{
    QByteArray h = le16(0x2045) + le16('V') + le16('T') + le16(version) + le16(' ') + le16(0x2046);
    return count < 0 ? h : h + le32(uint32_t(count));
}

// A node as the stream describes it.
struct Ref {
    uint16_t states = 0x81; // initialised, visible
    uint32_t height = 18;
    uint8_t align = 50, checkState = 0, checkType = 0;
    QByteArray user;
    std::vector<Ref> children;
};

QByteArray record(const Ref &n)
{
    QByteArray kids;
    for (const Ref &c : n.children)
        kids += record(c);
    QByteArray body = le32(uint32_t(n.children.size())) + le32(n.height) + le16(n.states)
        + raw({ n.align, n.checkState, n.checkType }) + le32(0) + kids;
    return chunk(1, chunk(2, body) + (n.user.isEmpty() ? QByteArray() : chunk(4, n.user)));
}

QByteArray stream(const std::vector<Ref> &top)
{
    QByteArray s = streamHeader(2, int(top.size()));
    for (const Ref &n : top)
        s += record(n);
    return s;
}

// With Selected some nodes are stored as selected.
Ref randomRef(std::mt19937 &rng, int depth, bool Selected = false)
{
    const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    Ref n;
    // Any of initialised, disabled, expanded, visible, multiline, hidden.
    for (int bit : { 0, 3, 5, 7, 12, 15 })
        if (pick(3) > 0)
            n.states |= uint16_t(1u << bit);
    if (Selected && pick(2))
        n.states |= 1u << vsSelected;
    n.states &= uint16_t(pick(4) ? 0xFFFF : ~0x80);
    n.height = uint32_t(pick(5) ? pick(60) : 65535);
    n.align = uint8_t(pick(256));
    n.checkState = uint8_t(pick(6));
    n.checkType = uint8_t(pick(5));
    if (pick(2))
        n.user = QByteArray(pick(6) + 1, char('a' + pick(26)));
    const int children = depth < 4 && pick(3) == 0 ? pick(5) : 0;
    bool anyShown = false;
    for (int i = 0; i < children; ++i) {
        n.children.push_back(randomRef(rng, depth + 1, Selected));
        const uint16_t s = n.children.back().states;
        anyShown |= (s & 0x80) && !(s & 0x8000);
    }
    // Initialised with children; the store keeps leaves flagged as having no
    // visible children.
    if (children == 0 || !anyShown)
        n.states |= 0x400;
    if (children > 0)
        n.states |= 0x41;
    return n;
}

// Without initialising nodes on saving: they are saved as they are.
struct Tree : testsupport::TOwnerBytesTree {
    Tree()
        : TOwnerBytesTree(false)
    { }
    using TBaseGridTree::InternalAddFromStream;
};

template <class F> EGridTreeError caught(F f)
{
    try {
        f();
    } catch (const EGridTreeError &e) {
        return e;
    }
    throw std::logic_error("nothing thrown");
}

void ExpectConsistent(TBaseGridTree &tree)
{
    EXPECT_EQ(testsupport::GridTreeInconsistency(tree), "");
}

} // namespace

TEST(GridTreeStream, SmallTreeBytesFollowTheRecordLayout)
{
    Tree empty;
    EXPECT_EQ(empty.Saved().toHex(' '), "45 20 56 00 54 00 02 00 20 00 46 20 00 00 00 00");

    Tree tree;
    tree.SetMiscOptions(tree.MiscOptions() + TGTMiscOptions { toInitOnSave });
    TGridNode *a = tree.AddChild(nullptr);
    TGridNode *b = tree.AddChild(a);
    tree.ToggleNode(a);
    tree.SetNodeHeight(b, 20);
    *tree.GetNodeData<QByteArray>(a) = "xy";
    const QByteArray expected = QByteArray::fromHex("4520 5600 5400 0200 2000 4620" // header, version 2
                                                    "01000000" // one top-level record
                                                    "01000000 44000000" // A's record, 68 bytes
                                                    "02000000 32000000" // its base chunk: 17 + 33 bytes
                                                    "01000000 12000000 e100 32 00 00 00000000"
                                                    "01000000 19000000" // B's record, 25 bytes
                                                    "02000000 11000000" // B's base chunk
                                                    "00000000 14000000 8100 32 00 00 00000000"
                                                    "04000000 02000000 7879"); // A's owner bytes "xy"
    EXPECT_EQ(tree.Saved().toHex(' '), expected.toHex(' '));
    // Initialised while being saved.
    EXPECT_TRUE(b->Has(vsInitialized));
    // A node alone makes a stream of one record.
    EXPECT_EQ(tree.Saved(b), streamHeader(2, 1) + expected.mid(49, 33));
}

TEST(GridTreeStream, RandomTreesLoadAsDescribedAndSaveTheSameBytes)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        std::vector<Ref> top(rng() % 8);
        for (Ref &r : top)
            r = randomRef(rng, 0);
        const QByteArray bytes = stream(top);
        // The nodes save what they were read with: every field came through.
        Tree tree, copy;
        tree.Load(bytes);
        ExpectConsistent(tree);
        ASSERT_EQ(tree.RootNodeCount(), top.size());
        ASSERT_EQ(tree.Saved(), bytes);
        copy.Load(tree.Saved());
        ASSERT_EQ(copy.Saved(), bytes);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST(GridTreeStream, StoredStatesAreMaskedAndUnknownChunksSkipped)
{
    Ref all;
    all.states = 0xFFFF;
    all.height = 100000;
    QByteArray bytes = stream({ all, Ref() });
    // A chunk of a kind this tree does not know, between base and owner chunk.
    const QByteArray unknown = chunk(9, "future");
    const int firstBase = 16 + 8 + 8 + 17;
    bytes.insert(firstBase, unknown);
    bytes.replace(16 + 4, 4, le32(8 + 17 + unknown.size()));
    Tree tree;
    tree.Load(bytes);
    ExpectConsistent(tree);
    ASSERT_EQ(tree.RootNodeCount(), 2u);
    TGridNode *n = tree.RootNode()->FirstChild();
    // Left: initialised, disabled, expanded, has children, visible, multiline and
    // hidden. Gone: what marks running operations, the selection (no list keeps
    // it) and the hidden-children flag, which children still to come clear.
    EXPECT_EQ(n->States().bits(), 0x90E9);
    // The height is clamped to 16 bits.
    EXPECT_EQ(n->NodeHeight(), 65535u);
}

// A descendant's chunk after the owner's: a caption as UTF-16 code units.
struct CaptionTree : Tree {
    std::map<TGridNode *, QString> captions;

protected:
    void WriteChunks(TStreamWriter &Stream, TGridNode *Node) override
    {
        Tree::WriteChunks(Stream, Node);
        if (captions[Node].isEmpty())
            return;
        const qint64 start = Stream.BeginChunk(CaptionChunk);
        Stream.WriteUtf16(captions[Node]);
        FinishChunkHeader(Stream, start, Stream.Position());
    }
    bool ReadChunk(TStreamReader &Stream, int Version, TGridNode *Node, int ChunkType, int ChunkSize) override
    {
        if (ChunkType != CaptionChunk)
            return Tree::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
        captions[Node] = Stream.ReadUtf16(ChunkSize / 2);
        return true;
    }
};

TEST(GridTreeStream, DescendantsAddChunksOfTheirOwn)
{
    CaptionTree tree;
    TGridNode *n = tree.AddChild(nullptr);
    *tree.GetNodeData<QByteArray>(n) = "u";
    tree.captions[n] = "Hi";
    // Not initialised, so not visible only; height 18, align 50.
    const QByteArray base = chunk(2, le32(0) + le32(18) + le16(0x80) + raw({ 50, 0, 0 }) + le32(0));
    const QByteArray bytes
        = streamHeader(2, 1) + chunk(1, base + chunk(4, "u") + chunk(3, QByteArray("H\0i\0", 4)));
    EXPECT_EQ(tree.Saved().toHex(' '), bytes.toHex(' '));

    CaptionTree copy;
    int copied = 0;
    copy.OnNodeCopied = [&](TBaseGridTree &, TGridNode *node) { copied += node == nullptr; };
    copy.Load(bytes);
    EXPECT_EQ(copied, 1);
    TGridNode *c = copy.RootNode()->FirstChild();
    EXPECT_EQ(copy.captions[c], "Hi");
    EXPECT_EQ(*copy.GetNodeData<QByteArray>(c), "u");
    // Half a code unit at the end of a caption is left alone.
    copy.Load(streamHeader(2, 1) + chunk(1, base + chunk(3, QByteArray("H\0i", 3))));
    EXPECT_EQ(copy.captions[copy.RootNode()->FirstChild()], "H");
}

TEST(GridTreeStream, VersionOneStreamsReadToTheirEnd)
{
    // Base chunk of version 1: child count, height, one state byte, align,
    // check state, check type; bit 7 of the states was the selection.
    const auto v1 = [](uint32_t children, uint8_t states, const QByteArray &kids) {
        const QByteArray body = le32(children) + le32(30) + raw({ states, 7, 2, 1 }) + kids;
        return chunk(1, chunk(2, body));
    };
    const QByteArray bytes
        = streamHeader(1) + v1(1, 0x61, v1(0, 0x00, {})) + v1(0, 0x01, {}) + v1(0, 0x81, {});
    Tree tree;
    tree.Load(bytes);
    ExpectConsistent(tree);
    ASSERT_EQ(tree.RootNodeCount(), 3u);
    TGridNode *a = tree.RootNode()->FirstChild();
    // Initialised, expanded, has children; visible always.
    EXPECT_EQ(a->States().bits(), 0xE1);
    EXPECT_EQ(a->FirstChild()->States().bits(), 0x80);
    EXPECT_EQ(a->NodeHeight(), 30u);
    EXPECT_EQ(a->Align(), 7);
    EXPECT_EQ(a->CheckState(), csCheckedNormal);
    EXPECT_EQ(a->CheckType(), TCheckType::ctTriStateCheckBox);
    EXPECT_EQ(tree.RootNode()->TotalHeight(), 18u + 4 * 30);
    // The selection keeps the node only where several may be selected.
    EXPECT_EQ(tree.SelectedCount(), 0);
    tree.SetSelectionOptions({ toMultiSelect });
    tree.Load(bytes);
    EXPECT_EQ(tree.GetFirstSelected(), tree.RootNode()->LastChild());
    EXPECT_EQ(tree.SelectedCount(), 1);
}

TEST(GridTreeStream, BadHeadersLeaveTreeAndDeviceAlone)
{
    struct Case {
        QByteArray bytes;
        const char *text;
        int help;
    };
    QByteArray wrongMagic = streamHeader(2, 0);
    wrongMagic[2] = 'W';
    const Case cases[] = {
        { streamHeader(2).left(11), "Unable to load tree structure, not enough data available.", 2004 },
        { streamHeader(2) + "\x01", "Unable to load tree structure, not enough data available.", 2004 },
        { wrongMagic, "Unable to load tree structure, the format is wrong.", 2002 },
        { streamHeader(0, 0), "Unable to load tree structure, the version is unknown.", 2003 },
        { streamHeader(3, 0), "Unable to load tree structure, the version is unknown.", 2003 },
    };
    Tree tree;
    Ref kept;
    kept.user = "kept";
    const QByteArray before = stream({ kept, kept });
    tree.Load(before);
    for (const Case &c : cases) {
        QBuffer device;
        device.setData("xx" + c.bytes);
        device.open(QIODevice::ReadOnly);
        device.seek(2);
        const EGridTreeError e = caught([&] { tree.LoadFromStream(device); });
        EXPECT_EQ(e.Message(), c.text);
        EXPECT_EQ(e.HelpContext(), c.help);
        EXPECT_EQ(device.pos(), 2);
        EXPECT_EQ(tree.Saved(), before);
    }
    // The space is not checked.
    QByteArray otherSpace = stream({ kept });
    otherSpace[8] = '_';
    tree.Load(otherSpace);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
}

TEST(GridTreeStream, CorruptRecordsNameTheirFaultAndKeepWhatCameBefore)
{
    const QByteArray good = record(Ref());
    QByteArray anchor = good;
    anchor[0] = 2;
    QByteArray negative = good, beyond = good, shortBase = good, badCheck = good, manyChildren = good;
    negative.replace(4, 4, le32(uint32_t(-1)));
    beyond.replace(4, 4, le32(34));
    shortBase.replace(12, 4, le32(16));
    badCheck[8 + 8 + 12] = 6;
    // Two children claimed where the bytes hold one.
    manyChildren = chunk(1, chunk(2, le32(2) + le32(18) + le16(0x41) + QByteArray(3, 0) + le32(0) + good));
    Ref deep;
    for (int i = 0; i < 1000; ++i)
        deep = Ref { 0xE1, 18, 50, 0, 0, {}, { deep } };
    const QByteArray tooDeep = record(deep);
    const QByteArray corrupt = "Stream data corrupt. Unexpected data after node's end position.";
    const QByteArray noAnchor = "Stream data corrupt. A node's anchor chunk is missing.";
    const struct {
        QByteArray bad;
        QByteArray text;
        int help;
    } cases[] = { { anchor, noAnchor, 2005 }, { manyChildren, noAnchor, 2005 },
        { good.left(5), noAnchor, 2005 }, { negative, corrupt, 2006 }, { beyond, corrupt, 2006 },
        { shortBase, corrupt, 2006 }, { badCheck, corrupt, 2006 },
        { good, "Unable to load tree structure, not enough data available.", 2004 },
        { tooDeep, "Stream data corrupt. Nodes are nested too deeply.", 2006 } };
    for (const auto &c : cases) {
        Tree tree;
        // The count claims one record more than there is.
        const EGridTreeError e = caught([&] { tree.Load(streamHeader(2, 3) + good + c.bad); });
        EXPECT_EQ(e.Message(), QString::fromLatin1(c.text));
        EXPECT_EQ(e.HelpContext(), c.help);
        ExpectConsistent(tree);
        EXPECT_EQ(tree.RootNodeCount(), c.bad == good ? 2u : 1u);
    }
    // 999 levels below a top-level node are fine.
    deep = deep.children.front();
    Tree tree;
    tree.Load(stream({ deep }));
    EXPECT_EQ(tree.RootNode()->TotalCount(), 1001u);
    Tree other;
    other.Load(tree.Saved());
    EXPECT_EQ(other.Saved(), tree.Saved());

    TStreamReader nothing(nullptr, nullptr, "", 0);
    EXPECT_THROW(tree.InternalAddFromStream(nothing, 2, tree.RootNode()), EGridTreeAssertion);
}

TEST(GridTreeStream, CutOrDamagedStreamsGiveErrorsAndConsistentTrees)
{
    std::mt19937 rng(7);
    std::vector<Ref> top(4);
    for (Ref &r : top)
        r = randomRef(rng, 2, true);
    const QByteArray bytes = stream(top);
    std::vector<int> ends { 16 };
    for (const Ref &r : top)
        ends.push_back(ends.back() + int(record(r).size()));
    for (int cut = 0; cut < bytes.size(); ++cut) {
        Tree tree;
        tree.SetSelectionOptions({ toMultiSelect });
        EXPECT_THROW(tree.Load(bytes.left(cut)), EGridTreeError) << cut;
        ExpectConsistent(tree);
        // Exactly the complete records are in.
        EXPECT_EQ(tree.RootNodeCount(), std::count_if(ends.begin() + 1, ends.end(), [&](int e) {
            return e <= cut;
        })) << cut;
    }
    for (int at = 16; at + 4 <= bytes.size(); ++at)
        for (uint32_t value : { 0u, 1u, 0x7FFFFFFFu, 0xFFFFFFFFu, uint32_t(bytes.size()) }) {
            QByteArray damaged = bytes;
            damaged.replace(at, 4, le32(value));
            Tree tree;
            tree.SetSelectionOptions({ toMultiSelect });
            try {
                tree.Load(damaged);
            } catch (const EGridTreeError &) { }
            ExpectConsistent(tree);
        }
}

TEST(GridTreeStream, LoadsFromFilesAndLeavesTheRestOfAStream)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("tree.bin");
    Ref a, b;
    a.user = "first";
    b.user = "second";
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stream({ a }) + stream({ b }));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    Tree tree;
    tree.LoadFromStream(file);
    EXPECT_EQ(*tree.GetNodeData<QByteArray>(tree.RootNode()->FirstChild()), "first");
    tree.LoadFromStream(file);
    EXPECT_EQ(*tree.GetNodeData<QByteArray>(tree.RootNode()->FirstChild()), "second");
    file.close();
    tree.LoadFromFile(name);
    EXPECT_EQ(tree.RootNodeCount(), 1u);
    const EGridTreeError e = caught([&] { tree.LoadFromFile(dir.filePath("missing.bin")); });
    EXPECT_TRUE(e.Message().startsWith("Unable to open the file \"" + dir.filePath("missing.bin") + "\": "));
}

TEST(GridTreeStream, MovingIntoAnotherTreeCarriesSubtreesAndOwnerBytes)
{
    Tree source, target;
    std::vector<QByteArray> moved;
    target.OnNodeMoved
        = [&](TBaseGridTree &t, TGridNode *n) { moved.push_back(*t.GetNodeData<QByteArray>(n)); };
    const auto names = [](Tree &t, TGridNode *parent) {
        QByteArray s;
        for (TGridNode *n = (parent ? parent : t.RootNode())->FirstChild(); n; n = n->NextSibling())
            s += *t.GetNodeData<QByteArray>(n) + ' ';
        return s.trimmed();
    };
    const auto add = [](Tree &t, TGridNode *parent, const QByteArray &name) {
        TGridNode *n = t.AddChild(parent);
        *t.GetNodeData<QByteArray>(n) = name;
        return n;
    };
    TGridNode *a = add(source, nullptr, "a");
    add(source, a, "a1");
    add(source, add(source, a, "a2"), "a21");
    add(source, nullptr, "b");
    source.ToggleNode(a);
    TGridNode *x = add(target, nullptr, "x");
    add(target, nullptr, "y");

    source.MoveTo(a, x, amInsertAfter, false);
    EXPECT_EQ(names(source, nullptr), "b");
    EXPECT_EQ(names(target, nullptr), "x a y");
    TGridNode *copy = x->NextSibling();
    EXPECT_EQ(names(target, copy), "a1 a2");
    EXPECT_EQ(names(target, copy->LastChild()), "a21");
    EXPECT_TRUE(copy->Has(vsExpanded));
    EXPECT_EQ(moved, std::vector<QByteArray> { "a" });

    // Children only, first in the target: their order stays.
    target.MoveTo(copy, nullptr, amAddChildFirst, true);
    EXPECT_EQ(names(target, nullptr), "a1 a2 x a y");
    source.MoveTo(source.RootNode()->FirstChild(), target.RootNode(), amInsertBefore, false);
    EXPECT_EQ(names(target, nullptr), "b a1 a2 x a y");
    EXPECT_EQ(source.RootNodeCount(), 0u);
    ExpectConsistent(source);
    ExpectConsistent(target);

    // A target that cannot take the nodes, or a refused move, changes neither tree.
    TGridNode *b = target.RootNode()->FirstChild();
    const QByteArray before = target.Saved() + source.Saved();
    source.OnLoadNode = [](TBaseGridTree &, TGridNode *, QIODevice &) { throw EGridTreeError("full"); };
    EXPECT_THROW(target.MoveTo(b, source.RootNode(), amAddChildLast, false), EGridTreeError);
    target.OnNodeMoving = [](TBaseGridTree &, TGridNode *, TGridNode *, bool &allowed) { allowed = false; };
    target.MoveTo(b, source.RootNode(), amAddChildLast, false);
    EXPECT_EQ(target.Saved() + source.Saved(), before);
    ExpectConsistent(source);
    ExpectConsistent(target);
}

// The tree stream: a 12-byte header, the number of top-level records, then one
// record per node whose base chunk holds the records of its children.
#include "components/BaseGridTree.h"
#include "components/StreamIO.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <utility>

using namespace GridTreeTexts;

namespace {

constexpr uint16_t StreamVersion = 2;
constexpr qint64 StreamHeaderSize = 12;
constexpr qint64 ChunkHeaderSize = 8;
// The base chunk's fields: since version 2, and in version 1.
constexpr qint64 BaseBodySize = 17;
constexpr qint64 BaseBodySizeV1 = 12;
// The node states that describe the node, not an operation running on it.
constexpr uint16_t StoredStates = 0xDDE9;
// Stored, but only ever set while the tree works on the node.
constexpr TGridNodeStates TransientStates { vsClearing, vsToggling };
constexpr uint32_t MaxNodeHeight = 0xFFFF;
// Deeper than trees are built, shallow enough for the store's recursive walks.
constexpr int MaxStreamNesting = 1000;
// A save hands its bytes on after a top-level record once this many wait.
constexpr qint64 FlushThreshold = qint64(1) << 16;

[[noreturn]] void Fail(const char *Text, int HelpContext)
{
    ShowError(QString::fromLatin1(Text), HelpContext);
}

// Readers of node records: running short of a record's bytes is corrupt data.
TStreamReader RecordReader(const char *Begin, const char *End)
{
    return TStreamReader(Begin, End, StreamPastNodeEnd, StreamPastNodeEndHelpContext);
}

// A record with no child, no owner data and no caption.
qint64 MinRecordSize(int Version)
{
    return 2 * ChunkHeaderSize + (Version == 1 ? BaseBodySizeV1 : BaseBodySize);
}

// The stream's format version, after checking its header.
int ReadStreamHeader(TStreamReader &Stream)
{
    if (Stream.BytesLeft() < StreamHeaderSize)
        Fail(StreamTooShort, StreamTooShortHelpContext);
    uint16_t units[6];
    for (uint16_t &unit : units)
        unit = Stream.ReadUInt16();
    // The fifth unit, a space, is not checked.
    if (units[0] != 0x2045 || units[1] != u'V' || units[2] != u'T' || units[5] != 0x2046)
        Fail(StreamWrongFormat, StreamWrongFormatHelpContext);
    if (units[3] == 0 || units[3] > StreamVersion)
        Fail(StreamWrongVersion, StreamWrongVersionHelpContext);
    return units[3];
}

// The bytes of the node record at Stream's position; Stream moves past them.
TStreamReader TakeNodeRecord(TStreamReader &Stream)
{
    if (Stream.BytesLeft() < ChunkHeaderSize || Stream.ReadInt32() != TBaseGridTree::NodeChunk)
        Fail(StreamNoAnchor, StreamNoAnchorHelpContext);
    return Stream.Take(Stream.ReadInt32());
}

} // namespace

// Devices over one node's owner bytes, kept for the tree's life.
struct TBaseGridTree::TUserDataDevices {
    QBuffer Writer;
    QBuffer Reader;
};

// What a record being read leaves for when it is complete.
struct TBaseGridTree::TStreamLoad {
    TNodeArray Selected;
    // The owner's chunks and the view's, in the order they were read.
    struct TUserData {
        TGridNode *Node;
        int Type;
        const char *Begin;
        const char *End;
    };
    std::vector<TUserData> UserData;
};

TBaseGridTree::TUserDataDevices &TBaseGridTree::UserDataDevices()
{
    if (!FUserDataDevices) {
        FUserDataDevices = std::make_shared<TUserDataDevices>();
        FUserDataDevices->Writer.open(QIODevice::WriteOnly);
    }
    return *FUserDataDevices;
}

// ---- events ------------------------------------------------------------------------------

void TBaseGridTree::DoSaveUserData(TGridNode *Node, QIODevice &Stream)
{
    if (OnSaveNode)
        OnSaveNode(*this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseGridTree::DoLoadUserData(TGridNode *Node, QIODevice &Stream)
{
    if (OnLoadNode)
        OnLoadNode(*this, Node == FRoot ? nullptr : Node, Stream);
}

bool TBaseGridTree::DoNodeCopying(TGridNode *Node, TGridNode *NewParent)
{
    bool allowed = true;
    if (OnNodeCopying)
        OnNodeCopying(*this, Node, NewParent == FRoot ? nullptr : NewParent, allowed);
    return allowed;
}

void TBaseGridTree::DoNodeCopied(TGridNode *Node)
{
    if (OnNodeCopied)
        OnNodeCopied(*this, Node);
}

// ---- writing ------------------------------------------------------------------------------

void TBaseGridTree::FinishChunkHeader(TStreamWriter &Stream, qint64 StartPos, qint64 EndPos)
{
    Stream.PatchInt32(StartPos + 4, int32_t(EndPos - StartPos - ChunkHeaderSize));
}

void TBaseGridTree::SaveToStream(QIODevice &Stream, TGridNode *Node)
{
    if (Node == FRoot)
        Node = nullptr;
    TStreamWriter writer(&Stream);
    for (const uint16_t unit :
        { uint16_t(0x2045), uint16_t(u'V'), uint16_t(u'T'), StreamVersion, uint16_t(u' '), uint16_t(0x2046) })
        writer.WriteUInt16(unit);
    if (Node) {
        writer.WriteUInt32(1);
        WriteNode(writer, Node);
    } else {
        // As many records as the count says, whatever initialising them does.
        const uint32_t count = FRoot->FChildCount;
        writer.WriteUInt32(count);
        uint32_t written = 0;
        for (TGridNode *child = FRoot->FFirstChild; child && written < count; child = child->FNextSibling) {
            WriteNode(writer, child);
            ++written;
            writer.Flush(FlushThreshold);
        }
    }
    writer.Flush();
}

void TBaseGridTree::WriteNode(TStreamWriter &Stream, TGridNode *Node)
{
    if (FMiscOptions.contains(toInitOnSave) && Node != FRoot) {
        if (!Node->FStates.contains(vsInitialized))
            InitNode(Node);
        if (Node->FStates.contains(vsHasChildren) && Node->FChildCount == 0)
            InitChildren(Node);
    }
    const qint64 start = Stream.BeginChunk(NodeChunk);
    WriteChunks(Stream, Node);
    FinishChunkHeader(Stream, start, Stream.Position());
}

void TBaseGridTree::WriteChunks(TStreamWriter &Stream, TGridNode *Node)
{
    const qint64 base = Stream.BeginChunk(BaseChunk);
    // The children of a node that is not initialised are left out, and so is
    // their number, which a reader would otherwise look for.
    const bool children = Node->FStates.contains(vsInitialized);
    Stream.WriteUInt32(children ? Node->FChildCount : 0);
    Stream.WriteUInt32(Node->FNodeHeight);
    Stream.WriteUInt16(Node->FStates.bits() & StoredStates);
    Stream.WriteUInt8(Node->FAlign);
    Stream.WriteUInt8(Node->FCheckState);
    Stream.WriteUInt8(uint8_t(Node->FCheckType));
    Stream.WriteUInt32(0);
    if (children)
        for (TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling)
            WriteNode(Stream, child);
    FinishChunkHeader(Stream, base, Stream.Position());

    // The owner's chunk only when the owner wrote something.
    QBuffer &device = UserDataDevices().Writer;
    DoSaveUserData(Node, device);
    QByteArray &bytes = device.buffer();
    if (!bytes.isEmpty()) {
        const qint64 user = Stream.BeginChunk(UserChunk);
        Stream.WriteBytes(bytes.constData(), bytes.size());
        FinishChunkHeader(Stream, user, Stream.Position());
        device.seek(0);
        bytes.resize(0);
    }
    if (FHooked)
        FHooks->WriteNodeChunks(Stream, Node);
}

// ---- reading ------------------------------------------------------------------------------

void TBaseGridTree::LoadFromFile(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        ShowError(QString::fromLatin1(FileNotOpened).arg(FileName, file.errorString()), 0);
    LoadFromStream(file);
}

void TBaseGridTree::LoadFromStream(QIODevice &Stream)
{
    if (FMiscOptions.contains(toReadOnly))
        return;
    TDeviceBytes bytes(Stream);
    int version = 0;
    uint32_t count = 0;
    TStreamReader header(bytes.Begin(), bytes.End(), StreamTooShort, StreamTooShortHelpContext);
    try {
        version = ReadStreamHeader(header);
        if (version > 1)
            count = header.ReadUInt32();
    } catch (...) {
        bytes.Restore();
        throw;
    }

    // The header is sound: the tree's nodes make way for the stream's.
    TStreamReader records = RecordReader(header.Current(), bytes.End());
    uint32_t loaded = 0;
    BeginUpdate();
    try {
        TValidationStop stop(*this);
        Clear();
        // A version 1 stream holds records up to its end.
        while (!records.AtEnd() && (version == 1 || loaded < count)) {
            TGridNode *node = MakeNewNode();
            InternalConnectNode(node, FRoot, amAddChildLast);
            try {
                InternalAddFromStream(records, version, node);
            } catch (...) {
                DeleteNode(node);
                throw;
            }
            ++loaded;
        }
        // A stream that ends before its count is cut.
        if (version > 1 && loaded < count)
            Fail(StreamTooShort, StreamTooShortHelpContext);
    } catch (...) {
        bytes.Consumed(records.Current() - bytes.Begin());
        StructureChange(nullptr, crChildAdded);
        EndUpdate();
        throw;
    }
    bytes.Consumed(records.Current() - bytes.Begin());
    StructureChange(nullptr, crChildAdded);
    DoNodeCopied(nullptr);
    EndUpdate();
}

void TBaseGridTree::SkipNode(TStreamReader &Stream)
{
    TakeNodeRecord(Stream);
}

void TBaseGridTree::ReadNode(TStreamReader &Stream, int Version, TGridNode *Node)
{
    struct Nesting {
        int &depth;
        ~Nesting() { --depth; }
    } nesting { ++FStreamNesting };
    if (FStreamNesting > MaxStreamNesting)
        Fail(StreamTooDeep, StreamPastNodeEndHelpContext);
    TStreamReader record = TakeNodeRecord(Stream);
    while (!record.AtEnd()) {
        const int32_t type = record.ReadInt32();
        const int32_t size = record.ReadInt32();
        TStreamReader chunk = record.Take(size);
        ReadChunk(chunk, Version, Node, type, size);
    }
}

bool TBaseGridTree::ReadChunk(
    TStreamReader &Stream, int Version, TGridNode *Node, int ChunkType, int ChunkSize)
{
    switch (ChunkType) {
    case BaseChunk:
        return ReadBaseChunk(Stream, Version, Node);
    case UserChunk:
        if (ChunkSize == 0)
            return true;
        if (FStreamLoad) {
            FStreamLoad->UserData.push_back(
                { Node, UserChunk, Stream.Current(), Stream.Current() + ChunkSize });
            return true;
        }
        return LoadUserData(Node, Stream.Current(), Stream.Current() + ChunkSize);
    default:
        // Perhaps the view's (a string tree's caption), handed over once the record is in.
        if (FHooked) {
            if (FStreamLoad)
                FStreamLoad->UserData.push_back(
                    { Node, ChunkType, Stream.Current(), Stream.Current() + ChunkSize });
            else
                FHooks->ReadNodeChunk(Node, ChunkType, Stream.Current(), Stream.Current() + ChunkSize);
        }
        return false;
    }
}

bool TBaseGridTree::ReadBaseChunk(TStreamReader &Stream, int Version, TGridNode *Node)
{
    const uint32_t childCount = Stream.ReadUInt32();
    const uint32_t height = Stream.ReadUInt32();
    TGridNodeStates states;
    if (Version == 1) {
        // Bit 7 was the selection; every node of those streams is visible.
        const uint8_t old = Stream.ReadUInt8();
        states = TGridNodeStates::fromBits(old & 0x7F);
        states.set(vsSelected, old & 0x80);
        states.include(vsVisible);
    } else {
        states = TGridNodeStates::fromBits(Stream.ReadUInt16() & StoredStates);
    }
    const uint8_t align = Stream.ReadUInt8();
    const uint8_t checkState = Stream.ReadUInt8();
    const uint8_t checkType = Stream.ReadUInt8();
    if (Version > 1)
        Stream.ReadUInt32(); // reserved
    if (checkState > csMixedPressed || checkType > uint8_t(TCheckType::ctButton))
        Fail(StreamPastNodeEnd, StreamPastNodeEndHelpContext);
    // Every child needs a record of its own: a count the bytes cannot hold is
    // refused before a node is made.
    if (childCount > Stream.BytesLeft() / MinRecordSize(Version))
        Fail(StreamNoAnchor, StreamNoAnchorHelpContext);

    // Whether the node is selected is the selection's to say: a node read as
    // selected is offered to it once its record is in.
    const bool selected = Node->FStates.contains(vsSelected);
    states = (states * TGridNodeStates::fromBits(StoredStates)) - TransientStates;
    if (states.contains(vsSelected) && !selected && FStreamLoad)
        FStreamLoad->Selected.push_back(Node);
    states.set(vsSelected, selected);
    Node->FStates = states;
    Node->FNodeHeight = uint16_t(std::min(height, MaxNodeHeight));
    Node->FAlign = align;
    Node->FCheckState = TCheckState(checkState);
    Node->FCheckType = TCheckType(checkType);

    // The node's counts and height come from its children once they are read,
    // or as far as they got when a record below fails.
    struct Settle {
        TBaseGridTree *tree;
        TGridNode *node;
        ~Settle() { tree->SettleStreamedNode(node); }
    } settle { this, Node };
    if (childCount == 0)
        return true;
    Node->FStates.include(vsHasChildren);
    NormalizeIndexes(Node);
    TGridNode *prev = Node->FLastChild;
    TGridNode *first = nullptr;
    for (uint32_t i = 0; i < childCount; ++i) {
        TGridNode *child = MakeNewNode();
        child->FParent = Node;
        child->FIndex = prev ? prev->FIndex + 1 : 0;
        child->FPrevSibling = prev;
        (prev ? prev->FNextSibling : Node->FFirstChild) = child;
        Node->FLastChild = child;
        ++FStructureStamp;
        ++Node->FChildCount;
        prev = child;
        if (first == nullptr)
            first = child;
    }
    for (TGridNode *child = first; child; child = child->FNextSibling)
        ReadNode(Stream, Version, child);
    return true;
}

void TBaseGridTree::SettleStreamedNode(TGridNode *Node)
{
    uint64_t count = 1;
    uint64_t height = Node->FNodeHeight;
    const bool expanded = Node->FStates.contains(vsExpanded);
    for (const TGridNode *child = Node->FFirstChild; child; child = child->FNextSibling) {
        count += child->FTotalCount;
        if (expanded && EffVisible(child))
            height += child->FTotalHeight;
    }
    Node->FTotalCount = uint32_t(count);
    Node->FTotalHeight = uint32_t(height);
    if (Node->FFirstChild) {
        Node->FStates.include(vsHasChildren);
        DetermineHiddenChildrenFlag(Node);
    }
}

bool TBaseGridTree::LoadUserData(TGridNode *Node, const char *Begin, const char *End)
{
    QBuffer &device = UserDataDevices().Reader;
    device.setData(QByteArray::fromRawData(Begin, End - Begin));
    device.open(QIODevice::ReadOnly);
    struct Close {
        QBuffer &device;
        ~Close()
        {
            // Nothing of the stream's bytes stays reachable after the event.
            device.close();
            device.setData(QByteArray());
        }
    } close { device };
    DoLoadUserData(Node, device);
    return device.pos() > 0;
}

void TBaseGridTree::AddStreamedSelection(const TNodeArray &Nodes)
{
    // Only where several nodes may be selected, in one go.
    if (FSelectionOptions.contains(toMultiSelect))
        AddToSelection(Nodes, int(Nodes.size()));
}

void TBaseGridTree::InternalAddFromStream(TStreamReader &Stream, int Version, TGridNode *Node)
{
    if (Node == nullptr || Node == FRoot)
        throw EGridTreeAssertion(RootFromStream);
    TValidationStop stop(*this);
    // What the node adds to its parent now, to be replaced by what it adds once read.
    TGridNode *parent = Node->FParent;
    const bool visibleBefore = EffVisible(Node);
    const int64_t heightBefore
        = visibleBefore && parent->FStates.contains(vsExpanded) ? int64_t(Node->FTotalHeight) : 0;
    const int64_t countBefore = Node->FTotalCount;
    const uint32_t rowsBefore = Displayed(Node) ? 1 + ShownRowsBelow(Node) : 0;
    const auto settle = [&] {
        AdjustTotalCount(parent, int64_t(Node->FTotalCount) - countBefore);
        const bool visible = EffVisible(Node);
        const int64_t height
            = visible && parent->FStates.contains(vsExpanded) ? int64_t(Node->FTotalHeight) : 0;
        if (height != heightBefore)
            AdjustTotalHeight(parent, height - heightBefore);
        FVisibleCount = FVisibleCount - rowsBefore + (Displayed(Node) ? 1 + ShownRowsBelow(Node) : 0);
        if (visible && !visibleBefore)
            parent->FStates.exclude(vsAllChildrenHidden);
        else if (!visible && visibleBefore) {
            if (Updating())
                DoStateChange({ tsUpdateHiddenChildrenNeeded });
            else
                HiddenFlagAfterLoss(parent, Node->FPrevSibling, Node->FNextSibling);
        }
        FHooks->InvalidateCache();
    };

    TStreamLoad load;
    TStreamLoad *outer = std::exchange(FStreamLoad, &load);
    try {
        ReadNode(Stream, Version, Node);
    } catch (...) {
        FStreamLoad = outer;
        settle();
        throw;
    }
    FStreamLoad = outer;
    settle();
    AddStreamedSelection(load.Selected);
    for (const TStreamLoad::TUserData &data : load.UserData) {
        if (data.Type == UserChunk)
            LoadUserData(data.Node, data.Begin, data.End);
        else
            FHooks->ReadNodeChunk(data.Node, data.Type, data.Begin, data.End);
    }
}

// ---- moving into another tree ---------------------------------------------------------------

void TBaseGridTree::MoveToTree(TGridNode *Source, TGridNode *Target, TGTAttachMode Mode, bool ChildrenOnly)
{
    TBaseGridTree &target = *TreeFromNode(Target);
    if (target.FMiscOptions.contains(toReadOnly))
        return;
    target.PrepareAttachTarget(Target, Mode);
    const bool allowed = DoNodeMoving(Source, Target->IsRoot() ? nullptr : Target);
    TValidationStop stop(*this);
    TValidationStop targetStop(target);
    if (allowed) {
        std::vector<TGridNode *> moving;
        if (ChildrenOnly)
            for (TGridNode *child = Source->FFirstChild; child; child = child->FNextSibling)
                moving.push_back(child);
        else
            moving.push_back(Source);
        TStreamWriter writer;
        for (TGridNode *node : moving)
            WriteNode(writer, node);
        const QByteArray bytes = writer.Bytes();

        // Into the target first: a failure there leaves both trees as they were.
        target.BeginUpdate();
        std::vector<TGridNode *> added;
        try {
            TStreamReader reader = RecordReader(bytes.constData(), bytes.constData() + bytes.size());
            TGridNode *place = Target;
            for (std::size_t i = 0; i < moving.size(); ++i) {
                TGridNode *node = target.MakeNewNode();
                target.InternalConnectNode(node, place, Mode);
                added.push_back(node);
                target.InternalAddFromStream(reader, StreamVersion, node);
                target.DoNodeMoved(node);
                // The next one after it keeps the order.
                place = node;
                Mode = amInsertAfter;
            }
        } catch (...) {
            for (auto it = added.rbegin(); it != added.rend(); ++it)
                target.DeleteNode(*it);
            target.EndUpdate();
            throw;
        }
        if (!added.empty())
            target.StructureChange(added.back(), crNodeMoved);
        target.EndUpdate();

        BeginUpdate();
        if (ChildrenOnly)
            DeleteChildren(Source);
        else
            DeleteNode(Source);
        EndUpdate();
    }
    FHooks->InvalidateCache();
    if (!Updating() && allowed) {
        RequestValidation();
        FHooks->UpdateScrollBars();
        FHooks->InvalidateTree();
        target.FHooks->InvalidateTree();
    }
    // A node that went to the other tree is gone from this one.
    StructureChange(ChildrenOnly ? Source : nullptr, crNodeMoved);
}

// ---- records for the clipboard and drag and drop ----------------------------------------------

void TBaseGridTree::PrepareAttachTarget(TGridNode *&Target, TGTAttachMode &Mode)
{
    if (Target == nullptr)
        Target = FRoot;
    if (Target == FRoot) {
        // The root has no siblings: its children's ends instead.
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
        return;
    }
    if (!Target->FStates.contains(vsInitialized))
        InitNode(Target);
    if (Target->FStates.contains(vsHasChildren) && Target->FChildCount == 0)
        InitChildren(Target);
}

void TBaseGridTree::SetCutCopyMark(TGridNode *Node, bool Value)
{
    if (Node && Node != FRoot)
        Node->FStates.set(vsCutOrCopy, Value);
}

QByteArray TBaseGridTree::WriteNodeBlock(const TNodeArray &Nodes)
{
    TStreamWriter writer;
    writer.WriteUInt32(0);
    for (TGridNode *node : Nodes)
        if (node && node != FRoot)
            WriteNode(writer, node);
    writer.PatchInt32(0, int32_t(writer.Position() - 4));
    return writer.Bytes();
}

TNodeArray TBaseGridTree::InsertNodeBlock(
    const QByteArray &Block, TGridNode *Target, TGTAttachMode Mode, TChangeReason Reason)
{
    TNodeArray kept;
    if (Mode == amNoWhere || FMiscOptions.contains(toReadOnly) || Block.isEmpty())
        return kept;
    // The length is checked against the block before anything changes.
    TStreamReader block(
        Block.constData(), Block.constData() + Block.size(), StreamTooShort, StreamTooShortHelpContext);
    const char *Begin = block.Take(block.ReadUInt32()).Current();
    const char *End = block.Current();
    if (Begin == End)
        return kept;
    PrepareAttachTarget(Target, Mode);
    TValidationStop stop(*this);
    BeginUpdate();
    TNodeArray added;
    try {
        TStreamReader reader = RecordReader(Begin, End);
        TGridNode *place = Target;
        while (!reader.AtEnd()) {
            TGridNode *node = MakeNewNode();
            InternalConnectNode(node, place, Mode);
            added.push_back(node);
            InternalAddFromStream(reader, StreamVersion, node);
            // The next one after it keeps the order.
            place = node;
            Mode = amInsertAfter;
        }
    } catch (...) {
        for (auto it = added.rbegin(); it != added.rend(); ++it)
            DeleteNode(*it);
        EndUpdate();
        throw;
    }
    try {
        for (TGridNode *node : added) {
            if (!DoNodeCopying(node, Target)) {
                DeleteNode(node);
                continue;
            }
            kept.push_back(node);
            DoNodeCopied(node);
            StructureChange(node, Reason);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return kept;
}

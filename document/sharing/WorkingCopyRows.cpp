#include "document/sharing/WorkingCopyRows.h"

#include "document/xml/XMLNode.h"

#include <QStringList>
#include <algorithm>
#include <map>

namespace {

// Uncompressed bytes per block: small enough that finding one row stays cheap,
// large enough to compress well.
constexpr qsizetype kBlockBytes = 64 * 1024;

void putCount(QByteArray &out, quint64 value)
{
    while (value >= 0x80) {
        out.append(char(quint8(value) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

// Latin-1 text (all a Windows-1252 file gives, mostly) takes one byte a
// character; any other is kept as UTF-16, so every text reads back exactly.
void putText(QByteArray &out, const QString &text)
{
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
    putCount(out, (quint64(text.size()) << 1) | (latin1 ? 0 : 1));
    if (latin1) {
        const qsizetype at = out.size();
        out.resize(at + text.size());
        char *to = out.data() + at;
        for (const QChar c : text)
            *to++ = char(c.unicode());
    } else
        out.append(reinterpret_cast<const char *>(text.utf16()), text.size() * qsizetype(sizeof(char16_t)));
}

// Name, value type, value, attributes, then the number of children; the
// children follow in document order, each encoded the same way.
void putNode(QByteArray &out, const TXMLNode &root)
{
    std::vector<const TXMLNode *> pending { &root };
    while (!pending.empty()) {
        const TXMLNode &node = *pending.back();
        pending.pop_back();
        putText(out, node.Name().Value());
        out.append(char(node.ValueType()));
        putText(out, node.Value());
        putCount(out, quint64(node.Attributes().size()));
        for (const auto &attribute : node.Attributes()) {
            putText(out, attribute->Name().Value());
            putText(out, attribute->Value());
        }
        putCount(out, quint64(node.Nodes().size()));
        for (auto child = node.Nodes().rbegin(); child != node.Nodes().rend(); ++child)
            pending.push_back(child->get());
    }
}

class TReader {
public:
    TReader(const QByteArray &bytes, qsizetype offset)
        : FNext(bytes.constData() + std::min(offset, bytes.size()))
        , FEnd(bytes.constData() + bytes.size())
    { }

    quint64 Count()
    {
        quint64 value = 0;
        for (int shift = 0; FNext < FEnd && shift < 64; shift += 7) {
            const quint8 byte = quint8(*FNext++);
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                break;
        }
        return value;
    }
    QString Text()
    {
        const quint64 header = Count();
        const qsizetype length = qsizetype(header >> 1);
        const qsizetype bytes = (header & 1) ? length * qsizetype(sizeof(char16_t)) : length;
        if (bytes < 0 || bytes > FEnd - FNext) {
            FNext = FEnd;
            return {};
        }
        const char *start = FNext;
        FNext += bytes;
        if (header & 1)
            return QString(reinterpret_cast<const QChar *>(start), length);
        return QString::fromLatin1(start, length);
    }
    char Byte() { return FNext < FEnd ? *FNext++ : char(0); }
    bool AtEnd() const { return FNext >= FEnd; }

private:
    const char *FNext;
    const char *FEnd;
};

TXMLNode *readNode(TReader &reader, TXMLNode &into)
{
    struct TOpen {
        TXMLNode *node;
        quint64 children;
    };
    TXMLNode *top = nullptr;
    std::vector<TOpen> open;
    TXMLNode *parent = &into;
    do {
        if (reader.AtEnd())
            break; // cannot happen with what the constructor wrote
        const QString name = reader.Text();
        const auto type = TXMLValueType(reader.Byte());
        TXMLNode *node = parent->AddNode(THashedString(name), reader.Text());
        node->SetValueType(type);
        for (quint64 attributes = reader.Count(); attributes > 0; --attributes) {
            const QString attributeName = reader.Text();
            node->AddAttribute(THashedString(attributeName), reader.Text());
        }
        if (!top)
            top = node;
        if (!open.empty())
            --open.back().children;
        open.push_back({ node, reader.Count() });
        while (!open.empty() && open.back().children == 0)
            open.pop_back();
        parent = open.empty() ? nullptr : open.back().node;
    } while (parent);
    return top;
}

} // namespace

// Packs the rows in file order into blocks and sorts the index once all are in.
class TWorkingCopyRows::TBuilder final : public TRowSink {
public:
    explicit TBuilder(TWorkingCopyRows &rows)
        : FRows(rows)
    { }

    // Encoded as putNode encodes the element a parse makes of it.
    void Add(const TFlatRow &row) override
    {
        static const QString idName(QStringLiteral("id"));
        ++FPosition;
        if (FBlock.size() >= kBlockBytes)
            Flush();
        FRows.FEntries.push_back(
            { THashedString::HashOf(row.id), FPosition, int(FRows.FBlocks.size()), int(FBlock.size()) });
        putText(FBlock, row.id);
        putText(FBlock, row.name);
        FBlock.append(char(xvtString));
        putText(FBlock, QString());
        putCount(FBlock, 1);
        putText(FBlock, idName);
        putText(FBlock, row.id);
        putCount(FBlock, quint64(row.children.size()));
        for (const auto &[name, text] : row.children) {
            putText(FBlock, *name);
            FBlock.append(char(xvtString));
            putText(FBlock, *text);
            putCount(FBlock, 0);
            putCount(FBlock, 0);
        }
    }

    void Add(const TXMLNode &row) override
    {
        static const THashedString idName(QStringLiteral("id"));
        ++FPosition;
        const TXMLAttribute *id = row.namedAttribute(idName);
        if (!id)
            return;
        if (FBlock.size() >= kBlockBytes)
            Flush();
        FRows.FEntries.push_back(
            { THashedString::HashOf(id->Value()), FPosition, int(FRows.FBlocks.size()), int(FBlock.size()) });
        putText(FBlock, id->Value());
        putNode(FBlock, row);
    }

    void Finish()
    {
        Flush();
        std::stable_sort(FRows.FEntries.begin(), FRows.FEntries.end(),
            [](const TEntry &a, const TEntry &b) { return a.hash < b.hash; });
        FRows.FEntries.shrink_to_fit();
    }

private:
    void Flush()
    {
        if (!FBlock.isEmpty()) {
            // qCompress leaves its result with room for the whole uncompressed
            // block: kept as it comes, each block would hold its rows' full size.
            FRows.FBlocks.push_back(qCompress(FBlock, 1));
            FRows.FBlocks.back().squeeze();
        }
        FBlock.clear();
    }

    TWorkingCopyRows &FRows;
    QByteArray FBlock;
    int FPosition = 0;
};

TWorkingCopyRows::TWorkingCopyRows(const TXMLNode &root, std::atomic<int> *passed)
{
    const TXMLNode *data = root.namedNode(QStringList { QStringLiteral("document"), QStringLiteral("data") });
    if (!data)
        return;
    TBuilder builder(*this);
    // Told now and then: each telling is a write another core reads.
    constexpr int kTellEvery = 1024;
    int done = 0;
    for (const auto &row : data->Nodes()) {
        builder.Add(*row);
        if (passed && (++done % kTellEvery) == 0)
            passed->store(done, std::memory_order_release);
    }
    if (passed)
        passed->store(data->Count(), std::memory_order_release);
    builder.Finish();
}

TWorkingCopyRows::TWorkingCopyRows(const TRowSource &rows)
{
    TBuilder builder(*this);
    rows(builder);
    builder.Finish();
}

std::vector<TWorkingCopyRows::TRow> TWorkingCopyRows::RowsOf(const QSet<QString> &ids, TXMLNode &into) const
{
    std::vector<TRow> rows;
    std::map<int, QByteArray> blocks;
    for (const QString &id : ids) {
        const quint32 hash = THashedString::HashOf(id);
        auto [from, to] = std::equal_range(FEntries.begin(), FEntries.end(), TEntry { hash, 0, 0, 0 },
            [](const TEntry &a, const TEntry &b) { return a.hash < b.hash; });
        for (; from != to; ++from) {
            auto block = blocks.find(from->block);
            if (block == blocks.end())
                block = blocks.emplace(from->block, qUncompress(FBlocks[std::size_t(from->block)])).first;
            TReader reader(block->second, from->offset);
            if (reader.Text() != id)
                continue; // another ID with the same hash
            rows.push_back({ from->position, readNode(reader, into) });
        }
    }
    std::sort(rows.begin(), rows.end(), [](const TRow &a, const TRow &b) { return a.position < b.position; });
    return rows;
}

qsizetype TWorkingCopyRows::ByteSize() const
{
    qsizetype bytes = qsizetype(FEntries.capacity() * sizeof(TEntry));
    for (const QByteArray &block : FBlocks)
        bytes += block.size();
    return bytes;
}

#include "document/xml/XMLTree.h"

#include "document/xml/LZR.h"
#include "document/xml/XMLParser.h"
#include "document/xml/XMLWriter.h"
#include "platform/Windows1252.h"

#include <QBuffer>
#include <QIODevice>

TXMLTree::TXMLTree()
    : TXMLNode(QStringLiteral("root"))
    , FPool(std::make_unique<xml::NodePool>())
{ }

// The pooled nodes must be gone before their pool.
TXMLTree::~TXMLTree()
{
    Clear();
}

void TXMLTree::reset()
{
    resetRoot(QStringLiteral("root"));
    FPool->reset();
    FNodeCount = 0;
    FComplete = true;
}

template <typename Input> bool TXMLTree::parseInput(Input input, QString *error)
{
    return parseWith([&] { return xml::parse(*this, input, MaxDepth, *FPool); }, error);
}

template <typename Parse> bool TXMLTree::parseWith(Parse parse, QString *error)
{
    reset();
    const xml::ParseOutcome outcome = parse();
    if (!outcome.ok) {
        // Half a tree is worth nothing to a caller that must keep what it had.
        reset();
        if (error)
            *error = outcome.error;
        return false;
    }
    FPool->parsed();
    FNodeCount = outcome.nodeCount;
    FComplete = outcome.complete;
    return true;
}

bool TXMLTree::ReleaseChildren(TXMLNode &parent, int count)
{
    return FPool->releaseChildren(parent, count);
}

QString TXMLTree::getText() const
{
    return platform::decodeWindows1252(xml::writeChildren(*this));
}

bool TXMLTree::setText(QStringView text, QString *error)
{
    return parseInput(text, error);
}

QByteArray TXMLTree::SaveToBytes(bool compress) const
{
    QByteArray text = xml::writeChildren(*this);
    if (!compress)
        return text;
    QByteArray packed;
    // Compression into memory fails only for texts beyond 4 GB; they stay plain.
    return TLZR::CompressBytes(text, packed) ? packed : text;
}

bool TXMLTree::SaveToStream(QIODevice &stream, bool compress, const Log &log) const
{
    const QByteArray bytes = SaveToBytes(compress);
    const qint64 written = stream.write(bytes);
    if (written == bytes.size())
        return true;
    if (log) {
        log(QStringLiteral("XML write failed after %1 of %2 bytes: %3")
                .arg(qMax<qint64>(written, 0))
                .arg(bytes.size())
                .arg(stream.errorString()));
    }
    return false;
}

TXMLLoadResult TXMLTree::LoadFromBytes(QByteArrayView bytes, QString *error)
{
    QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer source(&raw);
    source.open(QIODevice::ReadOnly);
    if (TLZR::HasMagic(source))
        return LoadFromStream(source, error);
    // Plain text is parsed straight from the bytes.
    return parseInput(bytes, error) ? TXMLLoadResult::Plain : TXMLLoadResult::Failed;
}

TXMLLoadResult TXMLTree::LoadSpending(QByteArray &&bytes, QString *error)
{
    QByteArray text = std::move(bytes);
    {
        QBuffer source(&text);
        source.open(QIODevice::ReadOnly);
        if (TLZR::HasMagic(source))
            return LoadFromStream(source, error);
    }
    return parseSpending(text, error) ? TXMLLoadResult::Plain : TXMLLoadResult::Failed;
}

bool TXMLTree::parseSpending(QByteArray &bytes, QString *error)
{
    return parseWith([&] { return xml::parseSpending(*this, bytes, MaxDepth, *FPool); }, error);
}

TXMLLoadResult TXMLTree::LoadFromStream(QIODevice &stream, QString *error)
{
    reset();
    bool compressed = false;
    QByteArray bytes;
    if (TLZR::HasMagic(stream)) {
        // Once the magic matched, the text is whatever the stream decodes to; half of it
        // must not be taken for a plain file.
        QBuffer dest(&bytes);
        dest.open(QIODevice::WriteOnly);
        if (!TLZR().DeCompress(stream, dest, true)) {
            if (error)
                *error = QStringLiteral("Compressed data is damaged or incomplete");
            return TXMLLoadResult::Failed;
        }
        compressed = true;
    } else {
        bytes = stream.readAll();
    }
    // The text read or unpacked here is nobody else's: it is spent as it is parsed.
    if (!parseSpending(bytes, error))
        return TXMLLoadResult::Failed;
    return compressed ? TXMLLoadResult::Compressed : TXMLLoadResult::Plain;
}

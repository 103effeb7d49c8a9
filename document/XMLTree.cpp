#include "document/XMLTree.h"

#include "document/LZR.h"
#include "document/XMLParser.h"
#include "document/XMLWriter.h"

#include <QBuffer>
#include <QIODevice>

#include <platform/Windows1252.h>

TXMLTree::TXMLTree()
    : TXMLNode(QStringLiteral("root"))
{
}

QString TXMLTree::getText() const { return platform::decodeWindows1252(xml::writeChildren(*this)); }

bool TXMLTree::setText(QStringView text, QString *error)
{
    resetRoot(QStringLiteral("root"));
    const xml::ParseOutcome outcome = xml::parse(*this, text, MaxDepth);
    FNodeCount = outcome.nodeCount;
    FComplete = outcome.complete;
    if (!outcome.ok) {
        // Half a tree is worth nothing to a caller that must keep what it had.
        resetRoot(QStringLiteral("root"));
        FNodeCount = 0;
        if (error)
            *error = outcome.error;
        return false;
    }
    return true;
}

QByteArray TXMLTree::SaveToBytes(bool compress) const
{
    QByteArray text = xml::writeChildren(*this);
    if (!compress)
        return text;
    QBuffer source(&text);
    source.open(QIODevice::ReadOnly);
    QByteArray packed;
    QBuffer dest(&packed);
    dest.open(QIODevice::WriteOnly);
    // Compression into memory fails only for texts beyond 4 GB; they stay plain.
    if (!TLZR().Compress(source, dest))
        return text;
    return packed;
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
    // Plain text needs no copy of the bytes.
    FNodeCount = 0;
    FComplete = true;
    if (!setText(platform::decodeWindows1252(bytes), error))
        return TXMLLoadResult::Failed;
    return TXMLLoadResult::Plain;
}

TXMLLoadResult TXMLTree::LoadFromStream(QIODevice &stream, QString *error)
{
    resetRoot(QStringLiteral("root"));
    FNodeCount = 0;
    FComplete = true;
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
    if (!setText(platform::decodeWindows1252(bytes), error))
        return TXMLLoadResult::Failed;
    return compressed ? TXMLLoadResult::Compressed : TXMLLoadResult::Plain;
}

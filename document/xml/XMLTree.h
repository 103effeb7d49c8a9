#pragma once

#include "document/xml/XMLNode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

class QIODevice;

namespace xml {
class NodePool;
}

// How a stream was read: plain text, LZRW1/KH-compressed, or not at all (a compressed
// stream that did not decode completely, or text nested too deeply).
enum class TXMLLoadResult { Plain, Compressed, Failed };

// A whole XML text as a tree: a node named "root" that is never written itself; its
// children are the top-level elements (the declaration element and the document
// element). Bytes are Windows-1252 whatever the declaration names.
class TXMLTree : public TXMLNode {
public:
    using Log = std::function<void(const QString &message)>;

    // Deeper nesting is a parse error.
    static constexpr int MaxDepth = 256;

    TXMLTree();
    ~TXMLTree();

    // The number of elements opened (not self-closed) by the last parse.
    int NodeCount() const { return FNodeCount; }
    // True when the last parse closed every element it opened.
    bool isComplete() const { return FComplete; }

    // The whole text in the writer's layout.
    QString getText() const;
    // Parses leniently; the tree is left empty and false returned only when the text is
    // nested deeper than MaxDepth.
    bool setText(QStringView text, QString *error = nullptr);

    // The file's bytes: the text in Windows-1252, LZRW1/KH-compressed when asked.
    QByteArray SaveToBytes(bool compress) const;
    // Writes SaveToBytes at the stream's position. A failed write is passed to log
    // (when given) and reported as false.
    bool SaveToStream(QIODevice &stream, bool compress, const Log &log = {}) const;

    // Reads a compressed stream when the bytes start with its magic, plain text otherwise.
    // On Failed the tree is empty and error says why.
    TXMLLoadResult LoadFromBytes(QByteArrayView bytes, QString *error = nullptr);
    // As LoadFromBytes, with bytes the caller hands over for good: the memory of a
    // plain text goes back to the system as the parse passes it, so that a large
    // file is never held whole beside its whole tree.
    TXMLLoadResult LoadSpending(QByteArray &&bytes, QString *error = nullptr);
    // Frees the first `count` children of `parent` (an element of this parse) and
    // their subtrees, once nothing reads them any more: their places in its list
    // hold nothing then. Later calls free further on from where the last one ended,
    // for the same parent only. A large table's rows go as they are read rather
    // than all at the end. False, and nothing freed, for a parent changed since the
    // parse or not the first one asked for.
    bool ReleaseChildren(TXMLNode &parent, int count);
    // Reads everything from the stream's position to its end, as LoadFromBytes.
    TXMLLoadResult LoadFromStream(QIODevice &stream, QString *error = nullptr);

private:
    void reset();
    template <typename Input> bool parseInput(Input input, QString *error);
    bool parseSpending(QByteArray &bytes, QString *error);
    template <typename Parse> bool parseWith(Parse parse, QString *error);

    std::unique_ptr<xml::NodePool> FPool;
    int FNodeCount = 0;
    bool FComplete = true;
};

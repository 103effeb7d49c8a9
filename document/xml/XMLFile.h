#pragma once

#include "document/xml/XMLTree.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// One XML file on disk, plain or LZRW1/KH-compressed, read whole and rewritten whole.
// Writes go through a temporary file that replaces the old one, so a reader never sees
// half a file.
class TXMLFile {
public:
    // Decides whether a freshly read tree is whole enough to be taken (a failure
    // with the reason otherwise).
    using Acceptor = std::function<platform::Status(const TXMLTree &tree)>;

    // The text a missing or empty file reads as.
    static QString DefaultText();

    // The most text a document or working copy may hold. A plan of about 1,000,000
    // tasks, the largest the program is measured at, writes some 0.5 GB of XML;
    // twice that leaves room. Larger files, and compressed streams whose header
    // states more, are refused before their text is read or unpacked.
    static constexpr qint64 DocumentTextLimit = qint64(1) << 30;
    // The largest file, plain or compressed, that holds at most `text` bytes of text
    // (-1, no limit, for a negative `text`).
    static qint64 FileLimitFor(qint64 text);

    // Nothing is read yet: the tree holds the default text.
    TXMLFile(const QString &fileName, bool readOnly);

    // Constructs and loads; fails (with the reason) when the file cannot be read.
    static platform::Result<std::unique_ptr<TXMLFile>> Create(
        const QString &fileName, bool readOnly, const Acceptor &accept = {});

    // Reads the file; a missing or empty one gives the default text. A file that cannot
    // be read, a damaged compressed stream, text nested too deeply, a text whose
    // elements are not all closed (a file cut short) or a tree that `accept` refuses
    // leave the tree as it was and fail with the reason.
    platform::Status Load(const Acceptor &accept = {});

    // Load with the file's bytes read already (by a caller that needs them for
    // more than the tree): the same limits, checks and digest as Load.
    platform::Status LoadBytes(const QByteArray &bytes, const Acceptor &accept = {});
    // The same with bytes handed over for good: the parse gives their memory back
    // as it passes them, so that a large file is never held whole beside its tree.
    platform::Status LoadBytes(QByteArray &&bytes, const Acceptor &accept = {});

    // Writes the whole tree, compressed when Compressed() is set. Fails (with the
    // reason) when the file is read-only or the write failed; the file then keeps its
    // old content.
    platform::Status Flush();

    // Replaced by a new tree on each successful Load: do not keep the reference across it.
    TXMLTree &xml() { return *Fxml; }
    const TXMLTree &xml() const { return *Fxml; }

    const QString &Filename() const { return FFilename; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    // Whether Flush compresses (default true).
    bool Compressed() const { return FCompressed; }
    void SetCompressed(bool value) { FCompressed = value; }
    // After reading a non-empty file: whether it was compressed (default true).
    bool WasCompressed() const { return FWasCompressed; }
    // How Load takes the file: a symbolic link in its place is refused unless
    // links are followed (default), and a file whose text (decompressed) would
    // be larger than `maxBytes` (>= 0; DocumentTextLimit by default) is refused
    // before it is read whole or unpacked. A pipe or other file that is not a
    // plain file is always refused.
    void SetReadPolicy(bool followLinks, qint64 maxBytes)
    {
        FFollowLinks = followLinks;
        FMaxBytes = maxBytes;
    }
    // A file of more than `maxElements` (>= 0) elements is refused before its tree is
    // built: each costs memory far beyond its text.
    void SetMaxElements(qint64 maxElements) { FMaxElements = maxElements; }
    // The last Load refused the file for its size or its number of elements.
    bool TooLarge() const { return FTooLarge; }
    // Whether Load keeps a digest of the bytes it read (default false): costs a
    // pass over them, and lets a reader tell later that another file holds
    // exactly these bytes without parsing it.
    void SetKeepDigest(bool value) { FKeepDigest = value; }
    // Of the bytes the last successful Load read (empty unless kept).
    const QByteArray &Digest() const { return FDigest; }
    static QByteArray DigestOf(const QByteArray &bytes);
    // The file's size when last read or written.
    qint64 LastSize() const { return FLastSize; }
    void SetLastSize(qint64 size) { FLastSize = size; }

private:
    platform::Status loadText(QByteArray bytes, const Acceptor &accept);

    QString FFilename;
    std::unique_ptr<TXMLTree> Fxml;
    bool FReadOnly;
    bool FCompressed = true;
    bool FWasCompressed = true;
    qint64 FLastSize = 0;
    bool FFollowLinks = true;
    qint64 FMaxBytes = DocumentTextLimit;
    qint64 FMaxElements = -1;
    bool FTooLarge = false;
    bool FKeepDigest = false;
    QByteArray FDigest;
};

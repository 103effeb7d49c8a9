#pragma once

#include "document/XMLTree.h"

#include <QString>
#include <memory>

// One XML file on disk, plain or LZRW1/KH-compressed, read whole and rewritten whole.
// Writes go through a temporary file that replaces the old one, so a reader never sees
// half a file.
class TXMLFile {
public:
    // The text a missing or empty file reads as.
    static QString DefaultText();

    // Nothing is read yet: the tree holds the default text.
    TXMLFile(const QString &fileName, bool readOnly);

    // Constructs and loads; null (and error set) when the file cannot be read.
    static std::unique_ptr<TXMLFile> Create(const QString &fileName, bool readOnly, QString *error = nullptr);

    // Reads the file; a missing or empty one gives the default text. A file that cannot
    // be read, a damaged compressed stream, text nested too deeply or a text whose
    // elements are not all closed (a file cut short) leave the tree as it was and
    // return false with a message in error.
    bool Load(QString *error = nullptr);

    // Writes the whole tree, compressed when Compressed() is set. False (and error set)
    // when the file is read-only or the write failed; the file then keeps its old content.
    bool Flush(QString *error = nullptr);

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
    // The file's size when last read or written.
    qint64 LastSize() const { return FLastSize; }

private:
    QString FFilename;
    std::unique_ptr<TXMLTree> Fxml;
    bool FReadOnly;
    bool FCompressed = true;
    bool FWasCompressed = true;
    qint64 FLastSize = 0;
};

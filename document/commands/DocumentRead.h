#pragma once

#include "document/xml/XMLParser.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class TWorkingCopyRows;
class TXMLFile;

// Reads a document file for opening on a thread of its own, so that the window
// stays painted meanwhile: the file's bytes once, with their digest; the working
// copy written from those bytes when the sharing folder starts anew, or else
// compared with them; and the parsed tree. Once the document was loaded from the
// tree, the rows the watcher keeps of the copy are made from the same tree, on a
// thread again (StartRows), while the main thread goes on.
class TDocumentRead {
public:
    // `copy`: the working copy's path (empty: none is looked at); `writeCopy`:
    // the copy is written from the file's bytes rather than compared with them.
    TDocumentRead(const QString &fileName, const QString &copy, bool writeCopy);
    ~TDocumentRead();
    TDocumentRead(const TDocumentRead &) = delete;
    TDocumentRead &operator=(const TDocumentRead &) = delete;

    // The reading and parsing ended (any thread may ask).
    bool Finished() const { return FFinished.load(std::memory_order_acquire); }
    // How far they came, 0 to 100.
    int Percent() const;
    void Wait();

    // After Wait: the file parsed as XML (its tree may still hold no document).
    bool Parsed() const { return FParsed; }
    const TXMLFile &File() const { return *FFile; }
    // The working copy holds the file's very bytes (or was written from them).
    bool CopyMatches() const { return FCopyMatches; }
    bool CopyWritten() const { return FCopyWritten; }
    // Why the copy could not be written, or why the file was not parsed.
    const QString &Error() const { return FError; }

    // Runs on the reading thread between reading the bytes and parsing them (tests
    // make a small plan take as long as a large one). Set it while no read runs.
    static void SetBeforeParse(std::function<void()> step);

    // Makes the watcher's rows from the tree on a thread; the tree must not change
    // meanwhile.
    void StartRows();
    // The document read the first `rows` rows of the tree's data element: they go
    // as soon as the watcher's rows were made of them too (or at once when none are
    // made), so that the tree and the document are not both whole at the end.
    void RowsRead(qint64 rows);
    // The tree is used no more: it is freed on a thread too, once the rows are
    // made (a large plan's tree takes a while to free). File() holds none then.
    void ReleaseTree();
    // The rows are made and the tree freed (any thread may ask).
    bool Released() const { return FReleased.load(std::memory_order_acquire); }
    // Waits for the rows (and the tree's release, when asked for).
    std::unique_ptr<const TWorkingCopyRows> TakeRows();
    // Of the file's bytes (TXMLFile::Digest), kept when the tree goes.
    const QByteArray &Digest() const { return FDigest; }

private:
    void Run();
    bool CopyHolds(const QByteArray &bytes);

    const QString FFileName;
    const QString FCopy;
    const bool FWriteCopy;
    std::unique_ptr<TXMLFile> FFile;
    xml::ParseProgress FProgress;
    std::atomic<bool> FRead { false };
    std::atomic<bool> FFinished { false };
    std::atomic<bool> FReleased { false };
    bool FParsed = false;
    bool FCopyMatches = false;
    bool FCopyWritten = false;
    QString FError;
    QByteArray FDigest;
    std::unique_ptr<const TWorkingCopyRows> FRows;
    // How many rows of the data element the watcher's rows passed.
    std::atomic<int> FRowsPassed { 0 };
    TXMLNode *FData = nullptr;
    qint64 FRowsTrimmed = 0; // rows freed when the freed memory was last given back
    std::thread FThread;
    std::thread FRowsThread;
    std::thread FReleaseThread;
};

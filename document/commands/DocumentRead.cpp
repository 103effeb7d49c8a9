#include "document/commands/DocumentRead.h"

#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLFile.h"
#include "platform/AtomicFile.h"
#include "platform/MemoryTrim.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <algorithm>
#include <exception>

namespace {

// Reading the bytes counts for this share of the bar, parsing them for the rest.
constexpr int kReadPercent = 10;
// Rows freed between two hand-backs of the freed tree's memory (some 25 MB of
// tree): each costs a pass over the allocator's free lists.
constexpr qint64 kRowsPerTrim = 1 << 14;

std::function<void()> &beforeParse()
{
    static std::function<void()> step;
    return step;
}

QString messageOf(const std::exception &e)
{
    const QString text = QString::fromLocal8Bit(e.what());
    return text.isEmpty() ? QStringLiteral("unknown failure") : text;
}

} // namespace

TDocumentRead::TDocumentRead(const QString &fileName, const QString &copy, bool writeCopy)
    : FFileName(fileName)
    , FCopy(copy)
    , FWriteCopy(writeCopy && !copy.isEmpty())
    , FFile(std::make_unique<TXMLFile>(fileName, true))
{
    FFile->SetKeepDigest(true);
    FThread = std::thread([this] {
        try {
            Run();
        } catch (const std::bad_alloc &) {
            FParsed = false;
            FError = QStringLiteral("there is not enough memory for it");
        } catch (const std::exception &e) {
            FParsed = false;
            FError = messageOf(e);
        } catch (...) {
            FParsed = false;
            FError = QStringLiteral("unknown failure");
        }
        FFinished.store(true, std::memory_order_release);
    });
}

TDocumentRead::~TDocumentRead()
{
    Wait();
    TakeRows();
}

void TDocumentRead::Wait()
{
    if (FThread.joinable())
        FThread.join();
}

int TDocumentRead::Percent() const
{
    if (Finished())
        return 100;
    if (!FRead.load(std::memory_order_acquire))
        return 0;
    const qint64 total = FProgress.total.load(std::memory_order_relaxed);
    const qint64 done = FProgress.done.load(std::memory_order_relaxed);
    if (total <= 0)
        return kReadPercent;
    return kReadPercent + int((100 - kReadPercent) * std::clamp(done, qint64(0), total) / total);
}

void TDocumentRead::Run()
{
    // As the document itself would read it: links to it followed (its name is
    // canonical already), never more than a document holds.
    platform::ReadResult read = platform::readRegularFile(
        FFileName, platform::Links::Follow, TXMLFile::FileLimitFor(TXMLFile::DocumentTextLimit));
    if (!read) {
        FError = read.reason();
        return;
    }
    FRead.store(true, std::memory_order_release);
    if (FWriteCopy) {
        // Through the held sharing folder: a link swapped in on the way is not followed.
        const platform::WriteResult written = platform::writeFileAtomically(FCopy, read.value());
        FCopyWritten = bool(written);
        FCopyMatches = FCopyWritten;
        if (!written)
            FError = written.reason();
    } else if (!FCopy.isEmpty()) {
        FCopyMatches = CopyHolds(read.value());
    }
    if (beforeParse())
        beforeParse()();
    const xml::ParseProgressScope report(&FProgress);
    // The bytes are spent as the parse passes them: the whole file beside the whole
    // tree would be the open's peak.
    const platform::Status parsed = FFile->LoadBytes(std::move(read).value());
    FParsed = parsed.ok();
    if (FParsed)
        FDigest = FFile->Digest();
    else
        FError = parsed.reason();
}

// Piece by piece: the copy is as large as the document, and is never held whole
// beside it.
bool TDocumentRead::CopyHolds(const QByteArray &bytes)
{
    QFile copy;
    if (!platform::openRegularFile(copy, FCopy, platform::Links::Refuse) || copy.size() != bytes.size())
        return false;
    constexpr qint64 kPiece = 1 << 20;
    for (qint64 at = 0; at < bytes.size(); at += kPiece) {
        const QByteArray piece = copy.read(std::min(kPiece, bytes.size() - at));
        if (piece.size() != std::min(kPiece, bytes.size() - at)
            || QByteArrayView(piece) != QByteArrayView(bytes).sliced(at, piece.size()))
            return false;
    }
    return copy.read(1).isEmpty() && copy.error() == QFileDevice::NoError;
}

void TDocumentRead::SetBeforeParse(std::function<void()> step)
{
    beforeParse() = std::move(step);
}

void TDocumentRead::StartRows()
{
    Wait();
    if (FRowsThread.joinable() || !FParsed)
        return;
    FRowsThread = std::thread([this] {
        try {
            FRows = std::make_unique<const TWorkingCopyRows>(FFile->xml(), &FRowsPassed);
        } catch (...) {
            // Without them the watcher parses the copy itself.
            FRows.reset();
        }
    });
}

void TDocumentRead::RowsRead(qint64 rows)
{
    if (!FParsed || !FFile)
        return;
    if (!FData) {
        FData = FFile->xml().namedNode(QStringList { QStringLiteral("document"), QStringLiteral("data") });
        if (!FData)
            return;
    }
    // The rows thread reads only the rows past those it told of.
    if (FRowsThread.joinable())
        rows = std::min(rows, qint64(FRowsPassed.load(std::memory_order_acquire)));
    if (rows <= 0)
        return;
    FFile->xml().ReleaseChildren(*FData, int(std::min(rows, qint64(FData->Count()))));
    // The tree was made on the reading thread, in memory the C library keeps for
    // that thread: what is freed here serves none of the document's rows made on
    // this one, and would stay resident beside them until the whole tree goes.
    if (rows - FRowsTrimmed >= kRowsPerTrim) {
        FRowsTrimmed = rows;
        platform::returnFreedMemory();
    }
}

void TDocumentRead::ReleaseTree()
{
    Wait();
    if (FReleaseThread.joinable())
        return;
    FParsed = false;
    FReleaseThread = std::thread([this] {
        if (FRowsThread.joinable())
            FRowsThread.join();
        FFile.reset();
        // The freed tree's many small blocks would otherwise stay resident.
        platform::returnFreedMemory();
        FReleased.store(true, std::memory_order_release);
    });
}

std::unique_ptr<const TWorkingCopyRows> TDocumentRead::TakeRows()
{
    // The release thread alone joins the rows thread once it runs.
    if (FReleaseThread.joinable())
        FReleaseThread.join();
    else if (FRowsThread.joinable())
        FRowsThread.join();
    return std::move(FRows);
}

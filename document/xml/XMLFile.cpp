#include "document/xml/XMLFile.h"

#include "document/xml/LZR.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QHashFunctions>
#include <QRandomGenerator>
#include <QtEndian>
#include <cstring>

namespace {

bool isCompressed(const QByteArray &bytes)
{
    return bytes.size() >= 8 && bytes.startsWith(QByteArrayView("zip\0", 4));
}

// A compressed stream states the length of its text in its header; a plain file
// is its text.
qint64 statedTextSize(const QByteArray &bytes)
{
    if (isCompressed(bytes))
        return qint64(qFromLittleEndian<quint32>(bytes.constData() + 4));
    return bytes.size();
}

// Whether the text opens more than `max` elements: every "<" that starts no end
// tag, declaration, comment or processing instruction. Text this program writes
// escapes "<", so the count is the tree's; a count over the limit stops there.
bool opensMoreElements(QByteArrayView text, qint64 max)
{
    qint64 count = 0;
    const char *p = text.data();
    const char *end = p + text.size();
    while ((p = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)))) != nullptr) {
        ++p;
        if (p < end && *p != '/' && *p != '?' && *p != '!' && ++count > max)
            return true;
    }
    return false;
}

} // namespace

qint64 TXMLFile::FileLimitFor(qint64 text)
{
    // A stored block costs three bytes more than its 32768 bytes of text, and the
    // header eight.
    return text < 0 ? -1 : text + (text / 32768 + 1) * 3 + 8;
}

QString TXMLFile::DefaultText()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                          "<document><setup /><data /><diff index=\"0\" /></document>");
}

TXMLFile::TXMLFile(const QString &fileName, bool readOnly)
    : FFilename(fileName)
    , Fxml(std::make_unique<TXMLTree>())
    , FReadOnly(readOnly)
{
    Fxml->setText(DefaultText());
}

platform::Result<std::unique_ptr<TXMLFile>> TXMLFile::Create(
    const QString &fileName, bool readOnly, const Acceptor &accept)
{
    auto file = std::make_unique<TXMLFile>(fileName, readOnly);
    if (platform::Status loaded = file->Load(accept); !loaded)
        return loaded;
    return file;
}

platform::Status TXMLFile::Load(const Acceptor &accept)
{
    platform::ReadResult read = platform::readRegularFile(
        FFilename, FFollowLinks ? platform::Links::Follow : platform::Links::Refuse, FileLimitFor(FMaxBytes));
    if (!read && read.code() != platform::ReadFailure::Missing) {
        FTooLarge = read.code() == platform::ReadFailure::TooLarge;
        return platform::Status::failure(read.reason());
    }
    // The bytes are this load's alone: the parse spends them as it goes.
    return LoadBytes(std::move(read).value(), accept);
}

platform::Status TXMLFile::LoadBytes(const QByteArray &bytes, const Acceptor &accept)
{
    // Shared with the caller's copy: the parse only reads them.
    return loadText(bytes, accept);
}

platform::Status TXMLFile::LoadBytes(QByteArray &&bytes, const Acceptor &accept)
{
    return loadText(std::move(bytes), accept);
}

platform::Status TXMLFile::loadText(QByteArray bytes, const Acceptor &accept)
{
    FTooLarge = false;
    if (FMaxBytes >= 0 && statedTextSize(bytes) > FMaxBytes) {
        FTooLarge = true;
        return platform::Status::failure(
            QStringLiteral("%1 holds more than %2 bytes of text").arg(FFilename).arg(FMaxBytes));
    }
    // With an element limit the text is unpacked here, counted, and only then parsed.
    QByteArray unpacked;
    const bool countElements = FMaxElements >= 0 && !bytes.isEmpty();
    if (countElements && isCompressed(bytes) && !TLZR::DecompressBytes(bytes, unpacked))
        return platform::Status::failure(
            QStringLiteral("Cannot read %1: Compressed data is damaged or incomplete").arg(FFilename));
    const bool unpackedHere = countElements && isCompressed(bytes);
    QByteArray &text = unpackedHere ? unpacked : bytes;
    if (countElements && opensMoreElements(text, FMaxElements)) {
        FTooLarge = true;
        return platform::Status::failure(
            QStringLiteral("%1 holds more than %2 elements").arg(FFilename).arg(FMaxElements));
    }

    // Taken before the parse, which may spend the bytes.
    const qint64 size = bytes.size();
    QByteArray digest = FKeepDigest ? DigestOf(bytes) : QByteArray();
    auto tree = std::make_unique<TXMLTree>();
    bool wasCompressed = FWasCompressed;
    if (bytes.isEmpty()) {
        tree->setText(DefaultText());
    } else {
        QString why;
        const TXMLLoadResult result = tree->LoadSpending(std::move(text), &why);
        if (result == TXMLLoadResult::Failed)
            return platform::Status::failure(QStringLiteral("Cannot read %1: %2").arg(FFilename, why));
        if (!tree->isComplete())
            return platform::Status::failure(
                QStringLiteral("Cannot read %1: the text ends inside an element").arg(FFilename));
        wasCompressed = unpackedHere || result == TXMLLoadResult::Compressed;
    }
    if (accept) {
        if (platform::Status accepted = accept(*tree); !accepted)
            return accepted;
    }
    Fxml = std::move(tree);
    FWasCompressed = wasCompressed;
    FLastSize = size;
    FDigest = std::move(digest);
    return {};
}

QByteArray TXMLFile::DigestOf(const QByteArray &bytes)
{
    // Digests are compared only within one run. A cryptographic hash takes a
    // large fraction of a parse; two fast hashes under seeds drawn for this run
    // cannot be steered into agreeing by whoever writes the files, and with the
    // size make equal digests of unequal bytes a matter of pure chance (2^-128).
    static const size_t seeds[2] = { size_t(QRandomGenerator::system()->generate64()),
        size_t(QRandomGenerator::system()->generate64()) };
    QByteArray digest = QByteArray::number(bytes.size());
    for (const size_t seed : seeds) {
        const quint64 hash = quint64(qHashBits(bytes.constData(), size_t(bytes.size()), seed));
        digest.append(reinterpret_cast<const char *>(&hash), sizeof hash);
    }
    return digest;
}

platform::Status TXMLFile::Flush()
{
    if (FReadOnly)
        return platform::Status::failure(QStringLiteral("Cannot write %1: opened read-only").arg(FFilename));
    const QByteArray bytes = Fxml->SaveToBytes(FCompressed);
    const platform::WriteResult written = platform::writeFileAtomically(FFilename, bytes);
    if (!written)
        return written;
    FLastSize = bytes.size();
    return {};
}

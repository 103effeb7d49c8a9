#include "document/xml/XMLFile.h"

#include "document/xml/LZR.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QHashFunctions>
#include <QRandomGenerator>
#include <QtEndian>
#include <cstring>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

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

std::unique_ptr<TXMLFile> TXMLFile::Create(
    const QString &fileName, bool readOnly, QString *error, const Acceptor &accept)
{
    auto file = std::make_unique<TXMLFile>(fileName, readOnly);
    if (!file->Load(error, accept))
        return nullptr;
    return file;
}

bool TXMLFile::Load(QString *error, const Acceptor &accept)
{
    const platform::ReadResult read = platform::readRegularFile(
        FFilename, FFollowLinks ? platform::Links::Follow : platform::Links::Refuse, FileLimitFor(FMaxBytes));
    if (!read && !read.missing) {
        FTooLarge = read.tooLarge;
        setError(error, read.error);
        return false;
    }
    return LoadBytes(read.bytes, error, accept);
}

bool TXMLFile::LoadBytes(const QByteArray &bytes, QString *error, const Acceptor &accept)
{
    FTooLarge = false;
    if (FMaxBytes >= 0 && statedTextSize(bytes) > FMaxBytes) {
        FTooLarge = true;
        setError(error, QStringLiteral("%1 holds more than %2 bytes of text").arg(FFilename).arg(FMaxBytes));
        return false;
    }
    // With an element limit the text is unpacked here, counted, and only then parsed.
    QByteArray unpacked;
    const bool countElements = FMaxElements >= 0 && !bytes.isEmpty();
    if (countElements && isCompressed(bytes) && !TLZR::DecompressBytes(bytes, unpacked)) {
        setError(
            error, QStringLiteral("Cannot read %1: Compressed data is damaged or incomplete").arg(FFilename));
        return false;
    }
    const bool unpackedHere = countElements && isCompressed(bytes);
    const QByteArray &text = unpackedHere ? unpacked : bytes;
    if (countElements && opensMoreElements(text, FMaxElements)) {
        FTooLarge = true;
        setError(error, QStringLiteral("%1 holds more than %2 elements").arg(FFilename).arg(FMaxElements));
        return false;
    }

    auto tree = std::make_unique<TXMLTree>();
    bool wasCompressed = FWasCompressed;
    if (bytes.isEmpty()) {
        tree->setText(DefaultText());
    } else {
        QString why;
        const TXMLLoadResult result = tree->LoadFromBytes(text, &why);
        if (result == TXMLLoadResult::Failed) {
            setError(error, QStringLiteral("Cannot read %1: %2").arg(FFilename, why));
            return false;
        }
        if (!tree->isComplete()) {
            setError(error, QStringLiteral("Cannot read %1: the text ends inside an element").arg(FFilename));
            return false;
        }
        wasCompressed = unpackedHere || result == TXMLLoadResult::Compressed;
    }
    if (accept && !accept(*tree, error))
        return false;
    Fxml = std::move(tree);
    FWasCompressed = wasCompressed;
    FLastSize = bytes.size();
    FDigest = FKeepDigest ? DigestOf(bytes) : QByteArray();
    return true;
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

bool TXMLFile::Flush(QString *error)
{
    if (FReadOnly) {
        setError(error, QStringLiteral("Cannot write %1: opened read-only").arg(FFilename));
        return false;
    }
    const QByteArray bytes = Fxml->SaveToBytes(FCompressed);
    const platform::WriteResult written = platform::writeFileAtomically(FFilename, bytes);
    if (!written) {
        setError(error, written.error);
        return false;
    }
    FLastSize = bytes.size();
    return true;
}

#include "document/xml/XMLFile.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QtEndian>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// A compressed stream states the length of its text in its header; a plain file
// is its text.
qint64 statedTextSize(const QByteArray &bytes)
{
    if (bytes.size() >= 8 && bytes.startsWith(QByteArrayView("zip\0", 4)))
        return qint64(qFromLittleEndian<quint32>(bytes.constData() + 4));
    return bytes.size();
}

// The most a file of `text` bytes of text takes on disk, compressed or not: a
// stored block costs three bytes more than its 32768 bytes of text.
qint64 statedLimit(qint64 text)
{
    return text < 0 ? -1 : text + (text / 32768 + 1) * 3 + 8;
}

} // namespace

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
    FTooLarge = false;
    const platform::ReadResult read = platform::readRegularFile(
        FFilename, FFollowLinks ? platform::Links::Follow : platform::Links::Refuse, statedLimit(FMaxBytes));
    FTooLarge = read.tooLarge;
    if (!read && !read.missing) {
        setError(error, read.error);
        return false;
    }
    const QByteArray &bytes = read.bytes;
    if (FMaxBytes >= 0 && statedTextSize(bytes) > FMaxBytes) {
        FTooLarge = true;
        setError(error, QStringLiteral("%1 holds more than %2 bytes of text").arg(FFilename).arg(FMaxBytes));
        return false;
    }

    auto tree = std::make_unique<TXMLTree>();
    bool wasCompressed = FWasCompressed;
    if (bytes.isEmpty()) {
        tree->setText(DefaultText());
    } else {
        QString why;
        const TXMLLoadResult result = tree->LoadFromBytes(bytes, &why);
        if (result == TXMLLoadResult::Failed) {
            setError(error, QStringLiteral("Cannot read %1: %2").arg(FFilename, why));
            return false;
        }
        if (!tree->isComplete()) {
            setError(error, QStringLiteral("Cannot read %1: the text ends inside an element").arg(FFilename));
            return false;
        }
        wasCompressed = result == TXMLLoadResult::Compressed;
    }
    if (accept && !accept(*tree, error))
        return false;
    Fxml = std::move(tree);
    FWasCompressed = wasCompressed;
    FLastSize = bytes.size();
    return true;
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

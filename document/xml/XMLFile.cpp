#include "document/xml/XMLFile.h"

#include "platform/AtomicFile.h"

#include <QFile>

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
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
    QFile file(FFilename);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            setError(error, QStringLiteral("Cannot read %1: %2").arg(FFilename, file.errorString()));
            return false;
        }
    } else if (QFile::exists(FFilename)) {
        setError(error, QStringLiteral("Cannot open %1: %2").arg(FFilename, file.errorString()));
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

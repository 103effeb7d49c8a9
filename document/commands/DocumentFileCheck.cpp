#include "document/commands/DocumentFileCheck.h"

#include "document/xml/LZR.h"
#include "document/xml/XMLFile.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QtEndian>

namespace {

TDocumentFileCheck refuse(TDocumentFileCheck::Verdict verdict, const QString &reason)
{
    return { verdict, reason };
}

// A document is XML, an old document an ini file; either may be a compressed
// stream. Their text starts, after an optional byte order mark and blanks, with
// "<", "[" or ";" (a comment); an empty file reads as an empty document.
bool startsLikeADocument(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    for (const char c : head) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c == '<' || c == '[' || c == ';';
    }
    return true;
}

} // namespace

TDocumentFileCheck CheckDocumentFile(const QString &fileName)
{
    using Verdict = TDocumentFileCheck::Verdict;
    QFile file;
    if (const platform::OpenStatus opened
        = platform::openRegularFile(file, fileName, platform::Links::Follow);
        !opened)
        return refuse(Verdict::Unreadable, opened.reason());
    const qint64 limit = TXMLFile::FileLimitFor(TXMLFile::DocumentTextLimit);
    if (file.size() > limit)
        return refuse(Verdict::TooLarge,
            QStringLiteral("%1 has %2 bytes, more than %3").arg(fileName).arg(file.size()).arg(limit));
    // Blanks before the first tag are rare; a few kilobytes of them end the look.
    const QByteArray head = file.read(4096);
    if (file.error() != QFileDevice::NoError)
        return refuse(Verdict::Unreadable, file.errorString());
    if (head.size() >= 8 && qFromLittleEndian<quint32>(head.constData()) == TLZR::Magic) {
        const qint64 stated = qFromLittleEndian<quint32>(head.constData() + 4);
        if (stated > TXMLFile::DocumentTextLimit)
            return refuse(Verdict::TooLarge,
                QStringLiteral("%1 states %2 bytes of text, more than %3")
                    .arg(fileName)
                    .arg(stated)
                    .arg(TXMLFile::DocumentTextLimit));
        return {};
    }
    if (!startsLikeADocument(head))
        return refuse(Verdict::NotADocument, QStringLiteral("%1 starts like no document").arg(fileName));
    return {};
}

// Opens arbitrary bytes as a language file and translates texts taken from them,
// plain and with "%s" arguments.
#include "document/program/Translation.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("lng_fuzz_%1.lng").arg(getpid()));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 0;
    }
    SetLanguagefile(path);
    const QString text = QString::fromLatin1(bytes);
    const QStringList pieces = text.split(QLatin1Char('=')).mid(0, 64);
    for (const QString &piece : pieces) {
        const QString once = Translate(piece);
        const QString formatted = Translate(piece, pieces);
        // An argument's own "%s" is never replaced, so nothing beyond the inserted
        // arguments can appear.
        qsizetype total = once.size();
        for (const QString &arg : pieces)
            total += arg.size();
        if (formatted.size() > total)
            abort();
    }
    CloseFile();
    QFile::remove(path);
    return 0;
}

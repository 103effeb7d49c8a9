#include "document/program/Translation.h"

#include "document/program/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <memory>
#include <mutex>

namespace {

const QString kSection = QStringLiteral("translated");

struct TranslationState {
    std::mutex lock;
    bool initialized = false;
    QString fileName;
    std::unique_ptr<TMemIniFile> store;
    QString languageFolder; // empty: "languages" beside the program
};

TranslationState &state()
{
    static TranslationState s;
    return s;
}

QString programFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

QString defaultFile()
{
    const QString folder = programFolder();
    return folder.isEmpty() ? QStringLiteral("default.lng")
                            : QDir(folder).filePath(QStringLiteral("default.lng"));
}

void openLocked(TranslationState &s, const QString &name)
{
    s.initialized = true;
    s.fileName = name.isEmpty() ? defaultFile() : name;
    s.store = std::make_unique<TMemIniFile>(s.fileName);
}

// The caller holds the lock.
QString lookupLocked(TranslationState &s, const QString &english)
{
    if (!s.initialized)
        openLocked(s, QString());
    return s.store ? s.store->ReadString(kSection, english, QString()) : QString();
}

} // namespace

void SetLanguagefile(const QString &Name)
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    s.store.reset();
    openLocked(s, Name);
}

void CloseFile()
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    s.initialized = true;
    s.store.reset();
    s.fileName.clear();
}

QString CurrentLanguagefile()
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    return s.fileName;
}

QString TranslationOf(const QString &English)
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    return lookupLocked(s, English);
}

QString Translate(const QString &Text)
{
    QString result = TranslationOf(Text);
    if (result.isEmpty())
        result = Text;
    result.replace(QLatin1String("\\n"), QLatin1String("\r"));
    return result;
}

QString Translate(const QString &Format, const QStringList &Args)
{
    QString result = Translate(Format);
    qsizetype from = 0;
    for (const QString &arg : Args) {
        const qsizetype at = result.indexOf(QLatin1String("%s"), from);
        if (at < 0)
            break;
        result.replace(at, 2, arg);
        from = at + arg.size();
    }
    return result;
}

QString LanguageFolder()
{
    {
        TranslationState &s = state();
        std::lock_guard guard(s.lock);
        if (!s.languageFolder.isEmpty())
            return s.languageFolder;
    }
    const QString folder = programFolder();
    return folder.isEmpty() ? QStringLiteral("languages")
                            : QDir(folder).filePath(QStringLiteral("languages"));
}

void SetLanguageFolder(const QString &Folder)
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    s.languageFolder = Folder;
}

QString LanguageFilePath(const QString &Language)
{
    if (Language.contains(QLatin1Char('/')) || Language.contains(QLatin1String("..")))
        return QString();
    return LanguageFolder() + QLatin1Char('/') + Language + QStringLiteral(".lng");
}

QString DisplayText(const QString &Text)
{
    QString result = Text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

#include "document/program/Translation.h"

#include "document/program/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QThread>
#include <QTranslator>
#include <memory>
#include <mutex>

namespace {

const QString kSection = QStringLiteral("translated");
// A language file may name the locale of its language ("locale=de" in section
// "language"), so that Qt's own texts (its file dialogs, its standard buttons)
// speak it too.
const QString kLanguageSection = QStringLiteral("language");
const QString kLocaleKey = QStringLiteral("locale");

struct TranslationState {
    std::mutex lock;
    bool initialized = false;
    QString fileName;
    std::unique_ptr<TMemIniFile> store;
    QString languageFolder; // empty: "languages" beside the program
    QString locale; // the locale the open file names, empty for none
    // Each translation met in a language file opened so far, to its English text.
    QHash<QString, QString> english;
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
    s.locale = s.store->ReadString(kLanguageSection, kLocaleKey, QString()).trimmed();
    QStringList keys;
    s.store->ReadSection(kSection, keys);
    for (const QString &key : keys) {
        const QString value = s.store->ReadString(kSection, key, QString());
        if (!value.isEmpty() && value != key)
            s.english.insert(value, key);
    }
}

// The caller holds the lock.
QString lookupLocked(TranslationState &s, const QString &english)
{
    if (!s.initialized)
        openLocked(s, QString());
    return s.store ? s.store->ReadString(kSection, english, QString()) : QString();
}

// Qt's translation of its own texts for `locale` ("de"), or none for an empty
// one. Only the application's thread may install translators; the install sends
// every widget a language-change event, so it runs without the state's lock.
void applyQtTranslation(const QString &locale)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    static std::unique_ptr<QTranslator> installed;
    static QString installedLocale;
    if (locale == installedLocale)
        return;
    if (installed)
        QCoreApplication::removeTranslator(installed.get());
    installed.reset();
    installedLocale = locale;
    if (locale.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator.get()))
        installed = std::move(translator);
}

} // namespace

void SetLanguagefile(const QString &Name)
{
    TranslationState &s = state();
    QString locale;
    {
        std::lock_guard guard(s.lock);
        s.store.reset();
        openLocked(s, Name);
        locale = s.locale;
    }
    applyQtTranslation(locale);
}

void CloseFile()
{
    TranslationState &s = state();
    {
        std::lock_guard guard(s.lock);
        s.initialized = true;
        s.store.reset();
        s.fileName.clear();
        s.locale.clear();
    }
    applyQtTranslation(QString());
}

QString CurrentLanguagefile()
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    return s.fileName;
}

QString LanguageLocale()
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    if (!s.initialized)
        openLocked(s, QString());
    return s.locale;
}

QString TranslationOf(const QString &English)
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    return lookupLocked(s, English);
}

QString EnglishOf(const QString &Shown)
{
    TranslationState &s = state();
    std::lock_guard guard(s.lock);
    if (!lookupLocked(s, Shown).isEmpty())
        return Shown;
    return s.english.value(Shown, Shown);
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

QString StartLanguage(const QString &Setting)
{
    if (Setting != QLatin1String("default"))
        return Setting;
    const QString german = QStringLiteral("Deutsch");
    if (QLocale().language() == QLocale::German && QFileInfo::exists(LanguageFilePath(german)))
        return german;
    return QStringLiteral("English");
}

QString DisplayText(const QString &Text)
{
    QString result = Text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

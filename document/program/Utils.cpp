#include "document/program/Utils.h"

#include "document/program/Version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

bool WildcardMatch(const QString &text, const QString &pattern, bool caseSensitive)
{
    const QString t = caseSensitive ? text : text.toUpper();
    const QString p = caseSensitive ? pattern : pattern.toUpper();
    const qsizetype n = t.size();
    const qsizetype m = p.size();
    qsizetype i = 0, j = 0;
    // The last "*" seen and the text position it currently stands for: on a
    // mismatch the star swallows one more character and matching resumes after it.
    // Only the last star needs revisiting: an earlier one can never let a later
    // part match where the last one cannot.
    qsizetype star = -1, starText = 0;
    while (i < n) {
        if (j < m && p[j] == u'*') {
            star = j++;
            starText = i;
        } else if (j < m && (p[j] == u'?' || p[j] == t[i])) {
            ++i;
            ++j;
        } else if (star >= 0) {
            j = star + 1;
            i = ++starText;
        } else {
            return false;
        }
    }
    while (j < m && p[j] == u'*')
        ++j;
    return j == m;
}

QString ChangeFileExt(const QString &path, const QString &extension)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString folder = path.left(path.size() - name.size());
    return folder + base + extension;
}

QString GetFileVersion()
{
    int major, minor, release, build, flags;
    if (!GetBuildInfo(QString(), major, minor, release, build, flags))
        return QString();
    QString text = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(release);
    if (flags & VersionFlagPrerelease)
        text += QStringLiteral(" prerelease");
    else if (flags & VersionFlagSpecialBuild)
        text += QStringLiteral(" RC");
    return text;
}

bool GetBuildInfo(const QString &fileName, int &major, int &minor, int &release, int &build, int &flags)
{
    if (!fileName.isEmpty()) {
        const QString self = QCoreApplication::instance()
            ? QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath()
            : QString();
        const QString asked = QFileInfo(fileName).canonicalFilePath();
        if (self.isEmpty() || asked != self)
            return false;
    }
    major = ZELTRANO_VERSION_MAJOR;
    minor = ZELTRANO_VERSION_MINOR;
    release = ZELTRANO_VERSION_RELEASE;
    build = ZELTRANO_VERSION_BUILD;
    flags = ZELTRANO_VERSION_FLAGS;
    return true;
}

bool IsNewerVersion(const QString &found, int major, int minor, int release)
{
    const QStringList parts = found.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 3)
        return false;
    const int own[] = { major, minor, release };
    int numbers[] = { 0, 0, 0 };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.isEmpty() || part.size() > 9)
            return false;
        for (const QChar c : part)
            if (c < u'0' || c > u'9')
                return false;
        numbers[i] = part.toInt();
    }
    for (int i = 0; i < 3; ++i)
        if (numbers[i] != own[i])
            return numbers[i] > own[i];
    return false;
}

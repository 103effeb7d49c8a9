#include "document/program/Identity.h"

#include <QCryptographicHash>
#include <climits>
#include <pwd.h>
#include <unistd.h>
#include <vector>

QString SanitizeFileNamePart(const QString &text)
{
    static const QString illegal = QStringLiteral("\\/:*?\"<>|");
    QString result = text;
    for (QChar &c : result) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || illegal.contains(c))
            c = QLatin1Char('_');
    }
    return result;
}

QString GetCompName()
{
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return QStringLiteral("unknown");
    QString name = QString::fromLocal8Bit(buffer);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return QStringLiteral("unknown");
    return SanitizeFileNamePart(name);
}

QString GetUser()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd entry {};
    passwd *found = nullptr;
    QString name;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        name = QString::fromLocal8Bit(found->pw_name);
    if (name.isEmpty()) {
        // Containers may run under a uid without a passwd entry.
        name = qEnvironmentVariable("USER");
    }
    if (name.isEmpty())
        name = QString::number(geteuid());
    return SanitizeFileNamePart(name);
}

QString SanitizeIdentity(const QString &identity)
{
    QString result = SanitizeFileNamePart(identity);
    // A name that starts with a dot is hidden: the other instances would never
    // read the files named after it.
    for (QChar &c : result) {
        if (c != QLatin1Char('.'))
            break;
        c = QLatin1Char('_');
    }
    return result;
}

QString BuildUserIdentity()
{
    const QString override = qEnvironmentVariable("ZELTRANO_IDENTITY");
    if (!override.isEmpty())
        return SanitizeIdentity(override);
    return SanitizeIdentity(GetCompName() + QLatin1Char('.') + GetUser());
}

const QString &UserIdentity()
{
    static const QString identity = BuildUserIdentity();
    return identity;
}

QString FileIdentityName(const QString &identity)
{
    // The longest file name the sharing folder gets from it is "<name>.999.diff"
    // written through ".<that>.<8 hex>.tmp~": 24 bytes more, well inside the 255
    // of common file systems and the 143 of encrypted ones.
    if (identity.toUtf8().size() <= kMaxFileIdentityBytes)
        return identity;
    const QByteArray hash = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256);
    const QString suffix = QLatin1Char('~') + QString::fromLatin1(hash.left(4).toHex());
    const qsizetype room = kMaxFileIdentityBytes - suffix.size();
    qsizetype length = 0;
    qsizetype bytes = 0;
    while (length < identity.size()) {
        // A surrogate pair is one character of four bytes and is never split.
        const bool pair = identity.at(length).isHighSurrogate() && length + 1 < identity.size()
            && identity.at(length + 1).isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const qsizetype size = identity.mid(length, units).toUtf8().size();
        if (bytes + size > room)
            break;
        bytes += size;
        length += units;
    }
    return identity.left(length) + suffix;
}

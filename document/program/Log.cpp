#include "document/program/Log.h"

#include "document/calendar/DateTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <mutex>

namespace {

std::mutex &logMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

QString LogFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/kez/kez.log");
}

void Log(const QString &text)
{
    const QByteArray line
        = (DateTimeToStr(Now()) + QStringLiteral(" - ") + text + QLatin1Char('\n')).toUtf8();
    std::lock_guard lock(logMutex());
    const QString path = LogFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line);
    file.close();
}

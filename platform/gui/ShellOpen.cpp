#include "platform/gui/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace {

// Files the desktop would run or install rather than show.
bool RunsWhenOpened(const QFileInfo &File)
{
    if (File.isDir())
        return false;
    const QString suffix = File.suffix().toLower();
    return File.isExecutable() || suffix == QStringLiteral("desktop") || suffix == QStringLiteral("sh")
        || suffix == QStringLiteral("jar") || suffix == QStringLiteral("appimage");
}

} // namespace

TShellTarget ShellTarget(const QString &Text)
{
    const QString text = Text.trimmed();
    TShellTarget target;
    if (text.isEmpty())
        return target;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.isValid() ? url.scheme().toLower() : QString();
    // One letter before a colon is a drive, not a scheme.
    if (scheme.size() > 1 && scheme != QStringLiteral("file")) {
        target.Url = url;
        target.Safe = scheme == QStringLiteral("http") || scheme == QStringLiteral("https")
            || scheme == QStringLiteral("mailto");
        return target;
    }
    const QFileInfo file(scheme == QStringLiteral("file") ? url.toLocalFile() : text);
    target.Url = QUrl::fromLocalFile(file.absoluteFilePath());
    target.Safe = file.exists() && !RunsWhenOpened(file);
    return target;
}

bool ShellOpen(const QUrl &Url)
{
    return !Url.isEmpty() && QDesktopServices::openUrl(Url);
}

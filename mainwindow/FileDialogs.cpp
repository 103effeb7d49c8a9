#include "mainwindow/FileDialogs.h"

#include "document/program/Translation.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString DocumentFilter()
{
    return Translate(QStringLiteral("KEZ Files")) + QStringLiteral(" (*.kez);;")
        + Translate(QStringLiteral("All Files")) + QStringLiteral(" (*)");
}

// The platform's save dialog; a chosen name without an extension gets `extension`.
bool ChooseSaveName(
    QWidget *parent, const QString &title, const QString &filter, const QString &extension, QString &fileName)
{
    const QString chosen = QFileDialog::getSaveFileName(
        parent, title, fileName, filter, nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    if (!extension.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        fileName += extension;
    return true;
}

} // namespace

QString StartingPlace(const QString &fileName)
{
    if (QFileInfo(fileName).isAbsolute())
        return fileName;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileName) + (fileName.isEmpty() ? QStringLiteral("/") : QString());
}

bool TFileDialogs::ChooseOpenFileName(QWidget *parent, QString &fileName)
{
    const QString chosen = QFileDialog::getOpenFileName(
        parent, Translate(QStringLiteral("Open")), QFileInfo(fileName).absolutePath(), DocumentFilter());
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    return true;
}

bool TFileDialogs::ChooseSaveFileName(QWidget *parent, QString &fileName)
{
    // The overwrite question is the document commands' own.
    return ChooseSaveName(
        parent, Translate(QStringLiteral("Save as")), DocumentFilter(), QStringLiteral(".kez"), fileName);
}

bool TFileDialogs::ChooseSavePictureName(QWidget *parent, QString &fileName)
{
    // The overwrite question is the command's own: it asks about the ".jpg" written.
    return ChooseSaveName(parent, Translate(QStringLiteral("Save Graphics")),
        QStringLiteral("JPEG (*.jpeg);;JPEG (*.jpg)"), QString(), fileName);
}

bool TFileDialogs::ChooseSavePdfName(QWidget *parent, QString &fileName)
{
    // The overwrite question is the printing's own.
    return ChooseSaveName(parent, Translate(QStringLiteral("Print to file")), QStringLiteral("PDF (*.pdf)"),
        QStringLiteral(".pdf"), fileName);
}

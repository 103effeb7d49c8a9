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
    const QString chosen = QFileDialog::getSaveFileName(parent, Translate(QStringLiteral("Save as")),
        fileName, DocumentFilter(), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".kez");
    return true;
}

bool TFileDialogs::ChooseSavePictureName(QWidget *parent, QString &fileName)
{
    // The overwrite question is the command's own: it asks about the ".jpg" written.
    const QString chosen = QFileDialog::getSaveFileName(parent, Translate(QStringLiteral("Save Graphics")),
        fileName, QStringLiteral("JPEG (*.jpeg);;JPEG (*.jpg)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    return true;
}

bool TFileDialogs::ChooseSavePdfName(QWidget *parent, QString &fileName)
{
    // The overwrite question is the printing's own.
    const QString chosen = QFileDialog::getSaveFileName(parent, Translate(QStringLiteral("Print to file")),
        fileName, QStringLiteral("PDF (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    return true;
}

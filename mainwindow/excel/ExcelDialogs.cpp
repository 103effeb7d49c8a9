#include "mainwindow/excel/ExcelDialogs.h"

#include "document/program/Translation.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

TExcelDialogs::TExcelDialogs(QWidget *parent, std::function<QString()> documentFileName)
    : FParent(parent)
    , FDocumentFileName(std::move(documentFileName))
{ }

bool TExcelDialogs::ChooseExportFileName(QString &fileName)
{
    QFileDialog dialog(FParent, Translate(QStringLiteral("Excel Export")), fileName,
        Translate(QStringLiteral("Excel workbook (*.xlsx)")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    return true;
}

bool TExcelDialogs::ChooseImportFileName(QString &fileName)
{
    const QString folder = fileName.isEmpty() ? QFileInfo(DocumentFileName()).path() : fileName;
    const QString chosen = QFileDialog::getOpenFileName(FParent, Translate(QStringLiteral("Excel Import")),
        folder, Translate(QStringLiteral("Excel workbooks (*.xlsx *.xls);;All files (*)")));
    if (chosen.isEmpty())
        return false;
    fileName = chosen;
    return true;
}

void TExcelDialogs::OpenWorkbook(const QString &fileName)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}

void TExcelDialogs::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

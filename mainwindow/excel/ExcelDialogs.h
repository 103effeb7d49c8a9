#pragma once

#include "mainwindow/excel/ExcelHost.h"

#include <functional>

class QWidget;

// The Excel commands' questions answered by the desktop: file dialogs over the
// main window, the desktop's program for the written workbook, the hourglass.
class TExcelDialogs : public IExcelHost {
public:
    TExcelDialogs(QWidget *parent, std::function<QString()> documentFileName);

    bool ChooseExportFileName(QString &fileName) override;
    bool ChooseImportFileName(QString &fileName) override;
    void OpenWorkbook(const QString &fileName) override;
    void SetBusy(bool busy) override;
    QString DocumentFileName() const override { return FDocumentFileName ? FDocumentFileName() : QString(); }

private:
    QWidget *FParent;
    std::function<QString()> FDocumentFileName;
};

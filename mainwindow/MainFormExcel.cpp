// The File menu's Excel export and import (their work is TExcelExchange's).
#include "document/commands/DocumentCommands.h"
#include "document/program/Translation.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/excel/ExcelDialogs.h"
#include "mainwindow/excel/ExcelExchange.h"

void TMainForm::SetExcelHost(std::unique_ptr<IExcelHost> host)
{
    FExcel.reset();
    FExcelHost = host ? std::move(host)
                      : std::make_unique<TExcelDialogs>(this, [this] { return FCommands->FileName(); });
    FExcel = std::make_unique<TExcelExchange>(*FDocument, *FExcelHost);
}

void TMainForm::Exportieren1Click()
{
    if (!FExcel)
        SetExcelHost(nullptr);
    const QString written = FExcel->Exportieren1Click();
    if (!written.isEmpty())
        ShowWritten(Translate(QStringLiteral("The workbook was written to %s."), { written }));
}

void TMainForm::ExcelImport1Click()
{
    if (!FExcel)
        SetExcelHost(nullptr);
    FExcel->ExcelImport1Click();
}

#include "dialogs/print/QtPrinterDevice.h"

#include "document/program/Translation.h"
#include "document/program/Utils.h"

#include <QPrinter>
#include <QPrinterInfo>

TDeviceCaps DeviceCapsOf(const QPrinter &printer)
{
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    TDeviceCaps caps;
    caps.HorzSize = printer.widthMM();
    caps.VertSize = printer.heightMM();
    caps.HorzRes = page.width();
    caps.VertRes = page.height();
    caps.LogPixelsX = printer.resolution();
    caps.LogPixelsY = printer.resolution();
    caps.PhysicalWidth = paper.width();
    caps.PhysicalHeight = paper.height();
    caps.PhysicalOffsetX = page.left() - paper.left();
    caps.PhysicalOffsetY = page.top() - paper.top();
    return caps;
}

TQtPrinterDevice::TQtPrinterDevice(QPrinter &printer)
    : FPrinter(printer)
{
    if (!PrinterInstalled())
        FPrinter.setOutputFormat(QPrinter::PdfFormat);
}

TQtPrinterDevice::~TQtPrinterDevice()
{
    Abort();
}

bool TQtPrinterDevice::PrinterInstalled()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void TQtPrinterDevice::SetDocumentFileName(const QString &fileName)
{
    if (FPrinter.outputFormat() != QPrinter::PdfFormat || fileName.isEmpty())
        return;
    const QString current = FPrinter.outputFileName();
    if (!current.isEmpty() && current != FDefaultOutput)
        return;
    FDefaultOutput = ChangeFileExt(fileName, QStringLiteral(".pdf"));
    FPrinter.setOutputFileName(FDefaultOutput);
}

TDeviceCaps TQtPrinterDevice::DeviceCaps() const
{
    return DeviceCapsOf(FPrinter);
}

QString TQtPrinterDevice::OutputFailure() const
{
    if (FPrinter.outputFormat() == QPrinter::PdfFormat)
        return Translate(
            QStringLiteral("The printout cannot be written to the file %s."), { FPrinter.outputFileName() });
    return Translate(QStringLiteral("The printer %s cannot be used."), { FPrinter.printerName() });
}

bool TQtPrinterDevice::BeginDoc(const QString &title)
{
    FError.clear();
    if (FPainter.isActive())
        return true;
    if (FPrinter.outputFormat() == QPrinter::PdfFormat && FOnChooseFile) {
        QString fileName = FPrinter.outputFileName();
        // A cancelled choice is no failure: nothing to tell.
        if (!FOnChooseFile(fileName))
            return false;
        FDefaultOutput = fileName;
        FPrinter.setOutputFileName(fileName);
    }
    if (FPrinter.outputFormat() == QPrinter::PdfFormat && FPrinter.outputFileName().isEmpty()) {
        FError = Translate(QStringLiteral("No file is set for the printout."));
        return false;
    }
    FPrinter.setDocName(title);
    if (!FPainter.begin(&FPrinter)) {
        FError = OutputFailure();
        return false;
    }
    return true;
}

QPainter *TQtPrinterDevice::Canvas()
{
    return FPainter.isActive() ? &FPainter : nullptr;
}

bool TQtPrinterDevice::NewPage()
{
    return FPainter.isActive() && FPrinter.newPage();
}

bool TQtPrinterDevice::EndDoc()
{
    if (!FPainter.isActive())
        return false;
    if (!FPainter.end() || FPrinter.printerState() == QPrinter::Error) {
        FError = OutputFailure();
        return false;
    }
    if (FOnPrinted)
        FOnPrinted(FPrinter.outputFormat() == QPrinter::PdfFormat
                ? Translate(QStringLiteral("The printout was written to %s."), { FPrinter.outputFileName() })
                : Translate(
                    QStringLiteral("The printout went to the printer %s."), { FPrinter.printerName() }));
    return true;
}

void TQtPrinterDevice::Abort()
{
    if (!FPainter.isActive())
        return;
    FPrinter.abort();
    FPainter.end();
}

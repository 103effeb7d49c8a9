#pragma once

#include "dialogs/print/PrinterDevice.h"

#include <QPainter>
#include <QString>
#include <functional>

class QPrinter;

// The printer values of `printer` as its current page layout and resolution give them.
TDeviceCaps DeviceCapsOf(const QPrinter &printer);

// A QPrinter as print device. Without an installed printer the output goes to a PDF
// file: the document's name with ".pdf" unless the printer setup chose another file.
class TQtPrinterDevice : public IPrinterDevice {
public:
    // `printer` is shared with the printer setup and outlives the device.
    explicit TQtPrinterDevice(QPrinter &printer);
    ~TQtPrinterDevice() override;
    TQtPrinterDevice(const TQtPrinterDevice &) = delete;
    TQtPrinterDevice &operator=(const TQtPrinterDevice &) = delete;

    static bool PrinterInstalled();

    // Names the PDF output after the document, unless the file was chosen in the
    // printer setup (it then differs from the name given last).
    void SetDocumentFileName(const QString &fileName);
    // Asked before each printout to a file, with the proposed name (the
    // document's, or the one chosen last): the file to write, false to cancel.
    // Without it the proposed file is written.
    void SetOnChooseFile(std::function<bool(QString &fileName)> chooser)
    {
        FOnChooseFile = std::move(chooser);
    }
    // Told after each printout what was written where.
    void SetOnPrinted(std::function<void(const QString &text)> handler) { FOnPrinted = std::move(handler); }
    QPrinter &Printer() const { return FPrinter; }

    TDeviceCaps DeviceCaps() const override;
    bool BeginDoc(const QString &title) override;
    QPainter *Canvas() override;
    bool NewPage() override;
    bool EndDoc() override;
    void Abort() override;
    bool Printing() const override { return FPainter.isActive(); }
    QString ErrorText() const override { return FError; }

private:
    QString OutputFailure() const;

    QPrinter &FPrinter;
    QPainter FPainter;
    QString FDefaultOutput;
    QString FError;
    std::function<bool(QString &)> FOnChooseFile;
    std::function<void(const QString &)> FOnPrinted;
};

#pragma once

#include "dialogs/print/QtPrinterDevice.h"

#include <QPrinter>

class QWidget;

// The printer every printout goes to: the installed default printer, or a PDF file
// when none is installed. The print dialogs and the main window's printer setup
// share it, so a printer, paper or file chosen once holds for every printout.
class TPrinterSetup {
public:
    TPrinterSetup();
    TPrinterSetup(const TPrinterSetup &) = delete;
    TPrinterSetup &operator=(const TPrinterSetup &) = delete;

    QPrinter &Printer() { return FPrinter; }
    TQtPrinterDevice &Device() { return FDevice; }

    // The printer setup: which printer (or which PDF file), paper, orientation and
    // margins. True when the user accepted it.
    bool Execute(QWidget *parent);

private:
    QPrinter FPrinter { QPrinter::HighResolution };
    TQtPrinterDevice FDevice { FPrinter };
};

#include "dialogs/print/PrinterSetup.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

TPrinterSetup::TPrinterSetup() = default;

bool TPrinterSetup::Execute(QWidget *parent)
{
    // The print dialog chooses the printer or the output file and, through its
    // properties, the page; what it offers for one printout (copies, page ranges)
    // is left out, and it is confirmed with OK since it prints nothing itself.
    QPrintDialog dialog(&FPrinter, parent);
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

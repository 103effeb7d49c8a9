// Shared by the printing benchmarks: the printer they record for, A4 at 600 pixels
// per inch with half-inch margins, its output thrown away.
#pragma once

#include "dialogs/print/QtPrinterDevice.h"

#include <QPageLayout>
#include <QPrinter>

namespace bench {

struct TPdfPrinter {
    explicit TPdfPrinter(QPageLayout::Orientation orientation = QPageLayout::Portrait)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(600);
        printer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), orientation, QMarginsF(36, 36, 36, 36), QPageLayout::Point));
        printer.setOutputFileName(QStringLiteral("/dev/null"));
    }
    QPrinter printer { QPrinter::HighResolution };
    TQtPrinterDevice device { printer };
};

} // namespace bench

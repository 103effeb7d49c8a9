#pragma once

#include "dialogs/print/PrintJob.h"

#include <QPointer>

class QWidget;
class TPrintPreviewForm;

// The program's printing component: a print job (recording, headers and footers,
// printing) with its preview window. Callers start a job, add pages, draw on them,
// stamp the header and footer lines and show the preview, which prints or drops the
// job.
class TPrintPreviewDialog : public TPrintJob {
public:
    // `owner` is the window the preview opens over.
    explicit TPrintPreviewDialog(IPrinterDevice &printer, QWidget *owner = nullptr);
    ~TPrintPreviewDialog() override;

    TPrintPreviewForm *Form() const;

    // Finishes recording and shows page 1 modally; 1 when the user printed, 2 when
    // the preview was cancelled or closed (the job is then dropped).
    int Preview();
    int ScrollBarPosition() const;
    void SetScrollBarPosition(int page);

private:
    QPointer<TPrintPreviewForm> FForm;
};

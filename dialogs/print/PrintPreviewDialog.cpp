#include "dialogs/print/PrintPreviewDialog.h"

#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewForm.h"

TPrintPreviewDialog::TPrintPreviewDialog(IPrinterDevice &printer, QWidget *owner)
    : TPrintJob(printer)
    , FForm(new TPrintPreviewForm(*this, owner))
{ }

TPrintPreviewDialog::~TPrintPreviewDialog()
{
    delete FForm.data();
}

TPrintPreviewForm *TPrintPreviewDialog::Form() const
{
    return FForm;
}

int TPrintPreviewDialog::Preview()
{
    DonePrinting();
    FForm->ShowJob();
    const int result = FForm->exec();
    Close();
    return result;
}

int TPrintPreviewDialog::ScrollBarPosition() const
{
    return FForm->Panel1()->Position();
}

void TPrintPreviewDialog::SetScrollBarPosition(int page)
{
    FForm->Panel1()->SetPosition(page);
}

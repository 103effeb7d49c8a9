#include "dialogs/setup/gui/SetupDialog.h"

#include <QShowEvent>

TSetupDialog::TSetupDialog(TSetupState &state, TSetupOk ok, TSetupSection section, QWidget *parent)
    : QDialog(parent)
    , FState(state)
    , FOk(std::move(ok))
    , FSection(section)
{ }

void TSetupDialog::showEvent(QShowEvent *event)
{
    // Only the dialog's own showing, not the return from a minimised window.
    if (!event->spontaneous())
        FormActivate();
    QDialog::showEvent(event);
}

void TSetupDialog::OkClick()
{
    StoreSection();
    FState.Activate(FSection);
    if (!FOk || FOk(FSection, FNested))
        accept();
}

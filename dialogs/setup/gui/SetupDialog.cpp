#include "dialogs/setup/gui/SetupDialog.h"

#include "document/program/MessageDialog.h"

#include <QApplication>
#include <QFontInfo>
#include <QShowEvent>
#include <algorithm>

TSetupDialog::TSetupDialog(TSetupState &state, TSetupOk ok, TSetupSection section, QWidget *parent)
    : QDialog(parent)
    , FState(state)
    , FOk(std::move(ok))
    , FSection(section)
{ }

void TSetupDialog::showEvent(QShowEvent *event)
{
    // Only the dialog's own showing, not the return from a minimised window.
    if (!event->spontaneous()) {
        if (!FDesignedSize.isValid())
            FDesignedSize = size();
        FormActivate();
        // The lists and their columns grow with the font; so does the dialog.
        resize(FontScaled(FDesignedSize).expandedTo(size()));
    }
    QDialog::showEvent(event);
}

QSize TSetupDialog::FontScaled(QSize designed) const
{
    const QFont program = QApplication::font();
    const double designedPixels
        = program.pixelSize() > 0 ? program.pixelSize() : program.pointSizeF() * 96.0 / 72.0;
    const double scale
        = designedPixels > 0 ? std::max(1.0, QFontInfo(font()).pixelSize() / designedPixels) : 1.0;
    return QSize(int(designed.width() * scale + 0.5), int(designed.height() * scale + 0.5));
}

void TSetupDialog::OkClick()
{
    if (const QString refusal = Refusal(); !refusal.isEmpty()) {
        MessageDlg(refusal, mtError, { mbOK });
        return;
    }
    StoreSection();
    FState.Activate(FSection);
    if (!FOk || FOk(FSection, FNested))
        accept();
}

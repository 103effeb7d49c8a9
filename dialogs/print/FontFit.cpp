#include "dialogs/print/FontFit.h"

#include <QApplication>
#include <QEvent>
#include <QFontInfo>
#include <QWidget>
#include <algorithm>

namespace {

// Watches its dialog's showing; it goes with the dialog.
class TFontFit : public QObject {
public:
    TFontFit(QWidget &dialog, QSize designed, bool fixed)
        : QObject(&dialog)
        , FDialog(dialog)
        , FDesigned(designed)
        , FFixed(fixed)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Only the dialog's own showing, not the return from a minimised window.
        if (watched == &FDialog && event->type() == QEvent::Show && !event->spontaneous())
            Fit();
        return false;
    }

private:
    void Fit()
    {
        const QSize wanted = FontScaled(FDialog, FDesigned).expandedTo(FDialog.sizeHint());
        if (FFixed)
            FDialog.setFixedSize(wanted);
        else
            FDialog.resize(wanted.expandedTo(FDialog.size()));
    }

    QWidget &FDialog;
    QSize FDesigned;
    bool FFixed;
};

} // namespace

QSize FontScaled(const QWidget &window, QSize designed)
{
    const QFont program = QApplication::font();
    const double designedPixels
        = program.pixelSize() > 0 ? program.pixelSize() : program.pointSizeF() * 96.0 / 72.0;
    const double scale
        = designedPixels > 0 ? std::max(1.0, QFontInfo(window.font()).pixelSize() / designedPixels) : 1.0;
    return QSize(int(designed.width() * scale + 0.5), int(designed.height() * scale + 0.5));
}

void GrowWithFont(QWidget &dialog, QSize designed, bool fixed)
{
    new TFontFit(dialog, designed, fixed);
}

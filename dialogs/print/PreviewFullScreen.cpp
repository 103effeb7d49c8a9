#include "dialogs/print/PreviewFullScreen.h"

#include "dialogs/print/PageView.h"
#include "dialogs/print/ZoomCursors.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

TPrintPreviewFullScreenDialog::TPrintPreviewFullScreenDialog(const TPrintJob &job, int page, QWidget *parent)
    : QDialog(parent)
    , FView(new TPageView(job, false, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FView);
    FView->PaintBox()->setCursor(ZoomCursor(TZoom::Out));
    connect(FView, &TPageView::pageChanged, this,
        [this](int shown) { setWindowTitle(PreviewCaption(shown, FView->PageCount())); });
    connect(FView->PaintBox(), &TPagePaintBox::clicked, this, &QDialog::accept);
    FView->CatchWheelOf(this);
    FView->ShowJob();
    FView->SetPosition(page);
    // The screen's size already before the window manager maximises it: a window
    // without size would not be shown at all.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
}

int TPrintPreviewFullScreenDialog::Position() const
{
    return FView->Position();
}

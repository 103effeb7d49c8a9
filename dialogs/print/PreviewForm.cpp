#include "dialogs/print/PreviewForm.h"

#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewFullScreen.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/ZoomCursors.h"
#include "document/program/MessageDialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace {

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text, int x, int width)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, 368, width, 25);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TPrintPreviewForm::TPrintPreviewForm(TPrintJob &job, QWidget *parent)
    : QDialog(parent)
    , FJob(job)
    , FButton1(MakeButton(this, "Button1", QStringLiteral("alles drucken"), 8, 89))
    , FButton2(MakeButton(this, "Button2", QStringLiteral("nur diese Seite drucken"), 104, 137))
    , FButton3(MakeButton(this, "Button3", QStringLiteral("Abbrechen"), 304, 75))
    , FPanel1(new TPageView(job, true, this))
{
    setWindowTitle(QStringLiteral("PrintPreviewDialog"));
    setFixedSize(385, 401);
    FPanel1->setObjectName(QStringLiteral("Panel1"));
    FPanel1->setGeometry(8, 8, 369, 353);
    PaintBox1()->setGeometry(72, 20, 210, 297);
    PaintBox1()->setCursor(ZoomCursor(TZoom::In));

    connect(FPanel1, &TPageView::pageChanged, this,
        [this](int page) { setWindowTitle(PreviewCaption(page, FPanel1->PageCount())); });
    connect(PaintBox1(), &TPagePaintBox::clicked, this, &TPrintPreviewForm::OpenFullScreen);
    // A failed printout keeps the window open: the user has been told and may cancel.
    connect(FButton1, &QPushButton::clicked, this, [this] {
        if (FJob.PrintAll())
            done(mrOk);
    });
    connect(FButton2, &QPushButton::clicked, this, [this] {
        if (FJob.PrintPage(FPanel1->Position()))
            done(mrOk);
    });
    connect(FButton3, &QPushButton::clicked, this, [this] { done(mrCancel); });
    FPanel1->CatchWheelOf(this);
}

TPagePaintBox *TPrintPreviewForm::PaintBox1() const
{
    return FPanel1->PaintBox();
}

QScrollBar *TPrintPreviewForm::ScrollBar() const
{
    return FPanel1->ScrollBar();
}

void TPrintPreviewForm::ShowJob()
{
    FPanel1->ShowJob();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TPrintPreviewForm::reject()
{
    done(mrCancel);
}

void TPrintPreviewForm::OpenFullScreen()
{
    TPrintPreviewFullScreenDialog view(FJob, FPanel1->Position(), this);
    view.exec();
    FPanel1->SetPosition(view.Position());
}

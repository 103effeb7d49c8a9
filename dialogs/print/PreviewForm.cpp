#include "dialogs/print/PreviewForm.h"

#include "dialogs/print/PageView.h"
#include "dialogs/print/PreviewFullScreen.h"
#include "dialogs/print/PrintJob.h"
#include "dialogs/print/ZoomCursors.h"
#include "document/program/MessageDialog.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

namespace {

// The window as drawn: the buttons' row, the gaps between and around them.
constexpr int ButtonTop = 368;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 7;
constexpr int Margin = 8;
constexpr QSize LeastSize(385, 401);
constexpr int CancelLeft = 304;
constexpr int RightMargin = 6;

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
    setFixedSize(LeastSize);
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

void TPrintPreviewForm::showEvent(QShowEvent *event)
{
    ArrangeButtons();
    QDialog::showEvent(event);
}

bool TPrintPreviewForm::event(QEvent *event)
{
    // A button's new text (a translation) asks its parent to lay it out again.
    if (event->type() == QEvent::LayoutRequest)
        ArrangeButtons();
    return QDialog::event(event);
}

void TPrintPreviewForm::ArrangeButtons()
{
    const int designed[] = { 89, 137, 75 };
    QPushButton *buttons[] = { FButton1, FButton2, FButton3 };
    int widths[3];
    int height = ButtonHeight;
    for (int i = 0; i < 3; ++i) {
        const QPushButton &button = *buttons[i];
        const QFontMetrics metrics(button.font());
        const int padding = 2
            * (button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button)
                + button.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button));
        widths[i] = std::max(designed[i], metrics.horizontalAdvance(button.text()) + padding);
        height = std::max(height, metrics.height() + padding / 2);
    }
    const int second = Margin + widths[0] + ButtonGap;
    const int third = std::max(CancelLeft, second + widths[1] + ButtonGap + Margin);
    const QSize size(std::max(LeastSize.width(), third + widths[2] + RightMargin),
        std::max(LeastSize.height(), ButtonTop + height + Margin));
    FButton1->setGeometry(Margin, ButtonTop, widths[0], height);
    FButton2->setGeometry(second, ButtonTop, widths[1], height);
    FButton3->setGeometry(third, ButtonTop, widths[2], height);
    if (size != this->size()) {
        setFixedSize(size);
        FPanel1->resize(size.width() - 2 * Margin, FPanel1->height());
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

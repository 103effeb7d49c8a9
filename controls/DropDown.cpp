#include "controls/DropDown.h"

#include "controls/ControlErrors.h"
#include "document/program/MessageDialog.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kGripSize = 10;
constexpr int kEdgeSize = 5;
constexpr int kMinimumSize = 2 * kGripSize;

TRect WorkAreaAt(QPoint Point, const QWidget &Fallback)
{
    const QScreen *screen = QGuiApplication::screenAt(Point);
    if (!screen)
        screen = Fallback.screen();
    return screen ? FromQRect(screen->availableGeometry()) : TRect {};
}

// The offscreen and minimal platforms (tests, headless runs) cannot mask windows
// and would say so at every step.
bool CanMaskWindows()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal");
}

Qt::CursorShape CursorFor(Qt::Edges Edges)
{
    if (Edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (Edges == (Qt::TopEdge | Qt::RightEdge))
        return Qt::SizeBDiagCursor;
    if (Edges == Qt::RightEdge)
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

} // namespace

// Covers the popup while it rolls in and shows the part of its picture that is
// uncovered so far; the window's mask hides the rest.
class TRollDownCurtain : public QWidget {
public:
    explicit TRollDownCurtain(QWidget *Parent)
        : QWidget(Parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void Start(const QImage &Image, bool Upward)
    {
        FImage = Image;
        FUpward = Upward;
        FRows = 0;
        setGeometry(0, 0, Image.width(), Image.height());
        raise();
        show();
    }
    // The uncovered strip: at the top for a popup below its point, growing
    // downwards with the picture's lower rows; at the bottom for one above.
    QRect SetRows(int Rows)
    {
        FRows = Rows;
        update();
        return FUpward ? QRect(0, height() - Rows, width(), Rows) : QRect(0, 0, width(), Rows);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, FUpward ? height() - FRows : FRows - height(), FImage);
    }

private:
    QImage FImage;
    bool FUpward = false;
    int FRows = 0;
};

TfmDropDown::TfmDropDown(QWidget *Owner)
    : QWidget(Owner, Qt::Popup | Qt::FramelessWindowHint)
    , FCurtain(new TRollDownCurtain(this))
{
    setContentsMargins(1, 1, 1, 1);
    setAutoFillBackground(true);
    setMouseTracking(true);
    connect(&FAnimationTimer, &QTimer::timeout, this, [this] {
        if (FAnimationStep >= FAnimationSteps)
            FinishAnimation();
        else
            AnimationStep();
    });
}

TfmDropDown::~TfmDropDown()
{
    // A popup destroyed while open lets its caller return.
    if (FLoop)
        FLoop->quit();
}

void TfmDropDown::SetAnimationResolution(int Steps)
{
    FAnimationResolution = std::max(1, Steps);
}

void TfmDropDown::RollDownForm(QWidget *ParentForm, int X, int Height, int Width, int Y)
{
    if (!ParentForm)
        throw EControlError(QStringLiteral("DropDownForm must have a parent form."));
    if (FLoop)
        return;
    // A reused popup must not report the result of its previous showing.
    FModalResult = mrNone;
    FRolledDownOnce = true;
    FDropDownState = ddsExpanding;
    // The parent's title bar needs no guarding here: a popup does not take the
    // activation from its parent window.

    const int width = Width < 0 ? this->width() : Width;
    const int height = Height < 0 ? this->height() : Height;
    const TRect area = WorkAreaAt(QPoint(X, Y), *ParentForm);
    TRect place = Bounds(X, Y, width, height);
    FDropDownPosition = ddpBelow;
    if (place.Bottom > area.Bottom) {
        place = Bounds(X, Y - height, width, height);
        if (place.Bottom > area.Bottom)
            place = Bounds(X, area.Bottom - height, width, height);
        FDropDownPosition = ddpAbove;
    }
    if (place.Right > area.Right)
        place = OffsetRect(place, area.Right - place.Right, 0);
    if (place.Left < area.Left)
        place = OffsetRect(place, area.Left - place.Left, 0);
    setGeometry(ToQRect(place));

    const QPointer<TfmDropDown> self(this);
    const QPointer<QWidget> parent(ParentForm);
    QEventLoop loop;
    FLoop = &loop;
    // Escape must reach the popup whichever of its controls has the keys.
    qApp->installEventFilter(this);
    AnimateForm(FDropDownPosition == ddpAbove);
    loop.exec();
    if (!self)
        return;
    EndLoop();
    if (parent)
        parent->activateWindow();
}

void TfmDropDown::EndLoop()
{
    FLoop = nullptr;
    qApp->removeEventFilter(this);
    FAnimationTimer.stop();
    FCurtain->hide();
    clearMask();
    hide();
    FDropDownState = ddsHidden;
    FLButtonDown = false;
    FOwnResize = false;
}

void TfmDropDown::CloseDropDown()
{
    if (FLoop)
        FLoop->quit();
}

void TfmDropDown::AnimateForm(bool Upward)
{
    if (!FAnimateDropDown || height() <= 0) {
        show();
        FinishAnimation();
        return;
    }
    FCurtain->hide();
    const QImage picture = grab().toImage();
    const double height = this->height();
    FAnimationStepPixels = std::max(1, int(std::nearbyint(height / FAnimationResolution)));
    FAnimationSteps = int(std::nearbyint(height / FAnimationStepPixels));
    FAnimationStep = 0;
    FAnimateUpward = Upward;
    FCurtain->Start(picture, Upward);
    AnimationStep();
    show();
    FAnimationTimer.start(FRollDownSpeed);
}

void TfmDropDown::AnimationStep()
{
    ++FAnimationStep;
    const int rows = std::min(height(), FAnimationStep * FAnimationStepPixels);
    FRolledIn = FCurtain->SetRows(rows);
    if (CanMaskWindows())
        setMask(FRolledIn);
}

void TfmDropDown::FinishAnimation()
{
    FAnimationTimer.stop();
    FCurtain->hide();
    clearMask();
    FDropDownState = ddsShown;
}

QRect TfmDropDown::RolledInRect() const
{
    return FDropDownState == ddsExpanding ? FRolledIn : rect();
}

void TfmDropDown::KeyEscape()
{
    CloseDropDown();
}

bool TfmDropDown::eventFilter(QObject *Watched, QEvent *Event)
{
    if (FLoop && Event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(Event)->key() == Qt::Key_Escape) {
        const auto *widget = qobject_cast<QWidget *>(Watched);
        if (widget && (widget == this || isAncestorOf(widget))) {
            KeyEscape();
            return true;
        }
    }
    return QWidget::eventFilter(Watched, Event);
}

void TfmDropDown::closeEvent(QCloseEvent *Event)
{
    CloseDropDown();
    QWidget::closeEvent(Event);
}

void TfmDropDown::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(ToQColor(clWindowFrame));
    // Qt's outline covers one pixel more than the rectangle to the right and below.
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

Qt::Edges TfmDropDown::ResizeZoneAt(QPoint Pos) const
{
    if (!FSizable)
        return {};
    const int right = width();
    const int bottom = height();
    if (FDropDownPosition == ddpBelow) {
        if (Pos.x() >= right - kGripSize && Pos.y() >= bottom - kGripSize)
            return Qt::BottomEdge | Qt::RightEdge;
        if (Pos.y() >= bottom - kEdgeSize)
            return Qt::BottomEdge;
    } else {
        if (Pos.x() >= right - kEdgeSize && Pos.y() < kEdgeSize)
            return Qt::TopEdge | Qt::RightEdge;
        if (Pos.y() < kEdgeSize)
            return Qt::TopEdge;
    }
    if (Pos.x() >= right - kEdgeSize)
        return Qt::RightEdge;
    return {};
}

void TfmDropDown::mousePressEvent(QMouseEvent *Event)
{
    // A press elsewhere closes the popup (Qt's popup handling), but not while the
    // left button still holds a resize drag.
    if (!rect().contains(Event->position().toPoint())) {
        if (!FLButtonDown)
            QWidget::mousePressEvent(Event);
        return;
    }
    if (Event->button() != Qt::LeftButton)
        return;
    FLButtonDown = true;
    FCurrentNCHitCode = ResizeZoneAt(Event->position().toPoint());
    if (!FCurrentNCHitCode)
        return;
    QWindow *window = windowHandle();
    if (window && window->startSystemResize(FCurrentNCHitCode))
        return;
    FOwnResize = true;
    FResizeStart = Event->globalPosition().toPoint();
    FResizeGeometry = FromQRect(geometry());
}

void TfmDropDown::mouseMoveEvent(QMouseEvent *Event)
{
    if (FOwnResize && (Event->buttons() & Qt::LeftButton)) {
        ResizeTo(Event->globalPosition().toPoint());
        return;
    }
    if (Event->buttons() == Qt::NoButton) {
        FLButtonDown = false;
        FOwnResize = false;
        FCurrentNCHitCode = ResizeZoneAt(Event->position().toPoint());
        if (FCurrentNCHitCode)
            setCursor(CursorFor(FCurrentNCHitCode));
        else
            unsetCursor();
    }
    QWidget::mouseMoveEvent(Event);
}

void TfmDropDown::mouseReleaseEvent(QMouseEvent *Event)
{
    if (Event->button() == Qt::LeftButton) {
        FLButtonDown = false;
        FOwnResize = false;
    }
    QWidget::mouseReleaseEvent(Event);
}

void TfmDropDown::ResizeTo(QPoint GlobalPos)
{
    const QPoint moved = GlobalPos - FResizeStart;
    TRect sized = FResizeGeometry;
    if (FCurrentNCHitCode & Qt::RightEdge)
        sized.Right = sized.Left + std::max(kMinimumSize, FResizeGeometry.Width() + moved.x());
    if (FCurrentNCHitCode & Qt::BottomEdge)
        sized.Bottom = sized.Top + std::max(kMinimumSize, FResizeGeometry.Height() + moved.y());
    if (FCurrentNCHitCode & Qt::TopEdge)
        sized.Top = std::min(sized.Bottom - kMinimumSize, FResizeGeometry.Top + moved.y());
    setGeometry(ToQRect(sized));
}

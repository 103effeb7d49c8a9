#include "controls/ColorPickerPopup.h"

#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "platform/gui/TextDraw.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace {

// The letter after a single "&" in a caption, upper case; none without one.
QChar AcceleratorOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toUpper();
        ++i;
    }
    return {};
}

std::optional<TPickerKey> ArrowOf(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return TPickerKey::Left;
    case Qt::Key_Right:
        return TPickerKey::Right;
    case Qt::Key_Up:
        return TPickerKey::Up;
    case Qt::Key_Down:
        return TPickerKey::Down;
    default:
        return std::nullopt;
    }
}

} // namespace

TColorPickerPopup::TColorPickerPopup(QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FCustomText = Translate(QStringLiteral("mix colour"));
    AdjustWindow();
    resize(FGeometry.WindowRect().Width(), FGeometry.WindowRect().Height());
}

TColorPickerPopup::~TColorPickerPopup()
{
    if (FLoop)
        FLoop->quit();
}

QFont TColorPickerPopup::PickerFont() const
{
    QFont font = QApplication::font();
    font.setPixelSize(11);
    return font;
}

void TColorPickerPopup::AdjustWindow()
{
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    painter.setFont(PickerFont());
    const auto measure = [&](const QString &text) -> std::optional<QSize> {
        if (text.isEmpty())
            return std::nullopt;
        TRect r;
        DrawTextEx(painter, text, r, DT_CALCRECT | DT_SINGLELINE);
        return QSize(r.Width(), r.Height());
    };
    FGeometry.AdjustWindow(FShowSysColors, measure(FDefaultText), measure(FCustomText));
}

void TColorPickerPopup::SetShowSysColors(bool show)
{
    FShowSysColors = show;
    AdjustWindow();
}

void TColorPickerPopup::SetSelectionColor(TColor color)
{
    const TColorPickerGeometry::TMatch match = FGeometry.FindColor(color);
    FSelectedIndex = match.Index;
    if (match.CustomIndex)
        FCustomIndex = *match.CustomIndex;
    FSelectionColor = color;
    update();
}

void TColorPickerPopup::FormActivate()
{
    FCustomText = Translate(QStringLiteral("mix colour"));
    AdjustWindow();
}

void TColorPickerPopup::ShowPopupAligned()
{
    const QSize size(FGeometry.WindowRect().Width(),
        FGeometry.PopupHeight(FSelectedIndex == TColorPickerGeometry::CustomCell));
    const QScreen *screen = QGuiApplication::screenAt(QPoint(DestRect.Left, DestRect.Bottom));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const TRect area = screen ? FromQRect(screen->geometry()) : Bounds(0, 0, size.width(), size.height());
    setGeometry(ToQRect(TColorPickerGeometry::PopupPlacement(DestRect, size, area)));
    update();
}

void TColorPickerPopup::Popup()
{
    // A reused popup starts without a result or a pointer state of its last pick.
    FModalResult = mrNone;
    FHoverIndex = TColorPickerGeometry::NoCell;
    FSelectionMode = smNone;
    FLeftButtonDown = false;
    FormActivate();
    ShowPopupAligned();
    show();
    setFocus(Qt::PopupFocusReason);
}

int TColorPickerPopup::ShowModal()
{
    if (FLoop)
        return mrCancel;
    Popup();
    QPointer<TColorPickerPopup> alive(this);
    if (FModalResult == mrNone) {
        QEventLoop loop;
        FLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        if (!alive)
            return mrCancel;
        FLoop = nullptr;
    }
    return FModalResult;
}

std::optional<TColor> TColorPickerPopup::Pick(TColor current, const TRect &screenRect)
{
    if (FLoop)
        return std::nullopt;
    SetDestRect(screenRect);
    SetSelectionColor(current);
    QPointer<TColorPickerPopup> alive(this);
    const int result = ShowModal();
    if (!alive || result != mrOk)
        return std::nullopt;
    return FSelectionColor;
}

void TColorPickerPopup::EndSelection(bool cancelled)
{
    if (cancelled) {
        FModalResult = mrCancel;
    } else {
        FModalResult = mrOk;
        if (FSelectedIndex >= 0)
            FSelectionColor = FGeometry.CellColor(FSelectedIndex);
        else if (FSelectedIndex == TColorPickerGeometry::CustomCell)
            FSelectionColor = FGeometry.CustomColor(FCustomIndex).value_or(FSelectionColor);
    }
    hide();
    if (FLoop)
        FLoop->quit();
}

void TColorPickerPopup::hideEvent(QHideEvent *event)
{
    // Closed by anything but a choice (the window system, another popup): a cancel.
    if (FModalResult == mrNone) {
        FModalResult = mrCancel;
        if (FLoop)
            FLoop->quit();
    }
    QWidget::hideEvent(event);
}

void TColorPickerPopup::InvalidateCell(int index)
{
    TRect r;
    if (FGeometry.GetCellRect(index, r))
        update(ToQRect(r));
}

void TColorPickerPopup::ChangeHoverSelection(int index)
{
    index = FGeometry.HoverIndexFor(index);
    if (index == FHoverIndex)
        return;
    InvalidateCell(FHoverIndex);
    FHoverIndex = index;
    InvalidateCell(FHoverIndex);
}

void TColorPickerPopup::ChangeSelection(int index)
{
    const bool mixWasShown = FSelectedIndex == TColorPickerGeometry::CustomCell;
    InvalidateCell(FSelectedIndex);
    FSelectedIndex = index;
    InvalidateCell(FSelectedIndex);
    if (mixWasShown != (index == TColorPickerGeometry::CustomCell))
        ShowPopupAligned();
}

void TColorPickerPopup::HandleCustomColors(QPoint p)
{
    if (FSelectedIndex != TColorPickerGeometry::CustomCell)
        return;
    update();
    if (FSelectionMode == smRamp || FGeometry.SliderRect().Contains(p)) {
        FSelectionMode = smRamp;
        FGeometry.SetCenterIntensity(FGeometry.IntensityAt(p.y()));
        return;
    }
    if (FGeometry.BWCombRect().Contains(p) && FSelectionMode != smColor) {
        FSelectionMode = smBW;
        FCustomIndex = -(FGeometry.FindBWArea(p.x(), p.y()) + 1);
        return;
    }
    if (FGeometry.ColorCombRect().Contains(p) && FSelectionMode != smBW) {
        FSelectionMode = smColor;
        FCustomIndex = FGeometry.FindColorArea(p.x(), p.y()) + 1;
        return;
    }
    FCustomIndex = 0;
}

void TColorPickerPopup::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    event->accept();
    if (!rect().contains(p)) {
        EndSelection(true);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    FLeftButtonDown = true;
    const int index = FGeometry.SelectionFromPoint(p);
    if (index != TColorPickerGeometry::NoCell) {
        ChangeHoverSelection(index);
        InvalidateCell(FHoverIndex);
    } else {
        HandleCustomColors(p);
    }
}

void TColorPickerPopup::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const int index = rect().contains(p) ? FGeometry.SelectionFromPoint(p) : TColorPickerGeometry::NoCell;
    ChangeHoverSelection(index);
    if (index == TColorPickerGeometry::NoCell && FLeftButtonDown && (event->buttons() & Qt::LeftButton)
        && rect().contains(p))
        HandleCustomColors(p);
}

void TColorPickerPopup::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const TSelectionMode mode = FSelectionMode;
    FLeftButtonDown = false;
    FSelectionMode = smNone;
    InvalidateCell(FHoverIndex);
    const int index = rect().contains(p) ? FGeometry.SelectionFromPoint(p) : TColorPickerGeometry::NoCell;
    if (index != TColorPickerGeometry::NoCell) {
        ChangeSelection(index);
        // The mix caption only opens the mix area.
        if (index != TColorPickerGeometry::CustomCell)
            EndSelection(false);
        return;
    }
    if ((mode == smColor || mode == smBW) && FCustomIndex != 0)
        EndSelection(false);
}

void TColorPickerPopup::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    if (event->modifiers() & Qt::AltModifier) {
        const QChar letter
            = event->key() >= 0x20 && event->key() < 0x7F ? QChar(event->key()).toUpper() : QChar();
        if (!letter.isNull() && letter == AcceleratorOf(FDefaultText)) {
            ChangeSelection(TColorPickerGeometry::DefaultCell);
            EndSelection(false);
        } else if (!letter.isNull() && letter == AcceleratorOf(FCustomText)) {
            ChangeSelection(TColorPickerGeometry::CustomCell);
        }
        return;
    }
    const int current = FHoverIndex != TColorPickerGeometry::NoCell ? FHoverIndex : FSelectedIndex;
    if (const auto arrow = ArrowOf(event->key())) {
        ChangeHoverSelection(FGeometry.MoveHover(current, *arrow));
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ChangeSelection(current);
        EndSelection(false);
        break;
    case Qt::Key_Escape:
        EndSelection(true);
        break;
    default:
        event->ignore();
        break;
    }
}

TColorPickerState TColorPickerPopup::State() const
{
    TColorPickerState state;
    state.DefaultText = FDefaultText;
    state.CustomText = FCustomText;
    state.SelectedIndex = FSelectedIndex;
    state.HoverIndex = FHoverIndex;
    state.CustomIndex = FCustomIndex;
    state.LeftButtonDown = FLeftButtonDown;
    return state;
}

void TColorPickerPopup::paintEvent(QPaintEvent *)
{
    if (FBackBuffer.size() != size())
        FBackBuffer = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&FBackBuffer);
        painter.setFont(PickerFont());
        PaintColorPicker(painter, FGeometry, State(), size());
    }
    QPainter(this).drawImage(0, 0, FBackBuffer);
}

#include "dialogs/menus/ControlSubClass.h"

#include "dialogs/menus/FlatMenu.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyleOptionSpinBox>
#include <QVariant>

namespace {

constexpr const char *RecordProperty = "FlatControlSubClass";

} // namespace

TControlSubClass::TControlSubClass(TFlatMenu *flatMenu, QWidget *control, TFlatControl kind)
    : QObject(flatMenu)
    , FControl(control)
    , FFlatMenu(flatMenu)
    , FKind(kind)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(control))
        FBorder = edit->hasFrame();
    else if (const auto *frame = qobject_cast<const QFrame *>(control))
        FBorder = frame->frameShape() != QFrame::NoFrame;
    control->setProperty(RecordProperty, QVariant::fromValue<QObject *>(this));
    control->installEventFilter(this);
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        connect(button, &QAbstractButton::toggled, this, &TControlSubClass::CheckChanged);
    connect(control, &QObject::destroyed, this, [this] {
        FEnded = true;
        FFlatMenu->ForgetSubClass(this);
        deleteLater();
    });
    flatMenu->ApplyStyle(control);
}

TControlSubClass::~TControlSubClass()
{
    if (!FEnded)
        End();
}

TControlSubClass *TControlSubClass::Of(const QWidget *control)
{
    return control ? qobject_cast<TControlSubClass *>(control->property(RecordProperty).value<QObject *>())
                   : nullptr;
}

bool TControlSubClass::IsFocused() const
{
    return FControl && FControl->hasFocus();
}

void TControlSubClass::End()
{
    if (FEnded)
        return;
    FEnded = true;
    FFlatMenu->ForgetSubClass(this);
    if (FControl) {
        FControl->removeEventFilter(this);
        disconnect(FControl, nullptr, this, nullptr);
        FControl->setProperty(RecordProperty, QVariant());
        FFlatMenu->RestoreStyle(FControl);
    }
    FControl = nullptr;
    deleteLater();
}

void TControlSubClass::MoveTo(TFlatMenu *flatMenu)
{
    if (FEnded || !FControl || flatMenu == FFlatMenu)
        return;
    FFlatMenu->RestoreStyle(FControl);
    FFlatMenu->ForgetSubClass(this);
    FFlatMenu = flatMenu;
    setParent(flatMenu);
    flatMenu->ApplyStyle(FControl);
}

void TControlSubClass::Paint()
{
    if (FControl)
        FControl->update();
}

void TControlSubClass::CheckChanged()
{
    FMouseInControl = false;
    Paint();
}

QRect TControlSubClass::UpDownButtonsRect(const QWidget &spinBox)
{
    const auto *spin = qobject_cast<const QAbstractSpinBox *>(&spinBox);
    if (!spin)
        return {};
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.frame = spin->hasFrame();
    option.buttonSymbols = spin->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame;
    const QStyle *style = spin->style();
    return style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin)
        .united(style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, spin));
}

int TControlSubClass::HotHalf() const
{
    if (!FControl || !FControl->isEnabled() || !FMouseInControl)
        return -1;
    const QRect buttons = UpDownButtonsRect(*FControl);
    if (buttons.isEmpty())
        return -1;
    const QPoint p = FControl->mapFromGlobal(QCursor::pos()) - buttons.topLeft();
    return p.y() < buttons.height() / 2 ? 0 : 1;
}

bool TControlSubClass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FControl || FEnded)
        return false;
    if (!FFlatMenu->Active()) {
        End();
        return false;
    }
    const bool enabled = FControl->isEnabled();
    switch (event->type()) {
    case QEvent::FocusIn:
        FMouseInControl = true;
        Paint();
        break;
    case QEvent::FocusOut:
        FMouseInControl = false;
        Paint();
        break;
    case QEvent::Enter:
        if (enabled) {
            FMouseInControl = true;
            FHotHalf = HotHalf();
            Paint();
        }
        break;
    case QEvent::Leave:
        if (enabled) {
            FMouseInControl = false;
            FHotHalf = -1;
            Paint();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            FLButtonBressed = true;
            Paint();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            FLButtonBressed = false;
            Paint();
        }
        break;
    case QEvent::MouseMove:
    case QEvent::HoverMove:
        // A spin box repaints only when the mouse crosses into the other half.
        if (FKind == xcUpDown && enabled && HotHalf() != FHotHalf) {
            FHotHalf = HotHalf();
            Paint();
        }
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space) {
            FBressed = true;
            if (!FIsKeyDown)
                Paint();
            FIsKeyDown = true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
            FBressed = false;
            FIsKeyDown = false;
            Paint();
        }
        break;
    }
    case QEvent::EnabledChange:
        if (!enabled) {
            FMouseInControl = false;
            Paint();
        }
        break;
    default:
        break;
    }
    return false;
}

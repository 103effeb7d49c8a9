#include "dialogs/menus/FlatMenuManager.h"

#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenu.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

namespace {

TFlatMenuManager *GManager = nullptr;
int GUsers = 0;

} // namespace

TFlatMenuManager::TFlatMenuManager()
{
    qApp->installEventFilter(this);
}

TFlatMenuManager::~TFlatMenuManager()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

TFlatMenuManager *TFlatMenuManager::Instance()
{
    return GManager;
}

void TFlatMenuManager::Acquire()
{
    if (GUsers++ == 0)
        GManager = new TFlatMenuManager;
}

void TFlatMenuManager::Release()
{
    if (--GUsers == 0) {
        delete GManager;
        GManager = nullptr;
    }
}

bool TFlatMenuManager::IsForm(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isWindow() && (type == Qt::Window || type == Qt::Dialog);
}

TFlatMenu *TFlatMenuManager::WorkingComponent() const
{
    return FWorking;
}

void TFlatMenuManager::Register(TFlatMenu *component)
{
    FComponents.append(component);
    if (!FWorking && component->Active())
        SetWorking(component);
}

void TFlatMenuManager::ActiveChanged(TFlatMenu *component)
{
    if (!FWorking && component->Active())
        SetWorking(component);
}

void TFlatMenuManager::SetWorking(TFlatMenu *component)
{
    FWorking = component;
    FHandled.clear();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (IsForm(widget))
            Collect(widget);
        if (IsForm(widget) && widget->isVisible())
            HookForm(widget);
    }
}

void TFlatMenuManager::Collect(QWidget *form)
{
    if (!FForms.contains(form))
        FForms.append(form);
}

void TFlatMenuManager::HookForm(QWidget *form)
{
    if (!FWorking || !FWorking->Active() || GetTag(form) == TagKeepOwnLook || FHandled.contains(form))
        return;
    FHandled.append(form);
    FWorking->InitItems(form, true, true);
}

void TFlatMenuManager::Unregister(TFlatMenu *component)
{
    FComponents.removeAll(component);
    FComponents.removeAll(nullptr);
    if (component != FWorking)
        return;
    FWorking = nullptr;
    TFlatMenu *next = nullptr;
    for (const QPointer<TFlatMenu> &c : std::as_const(FComponents)) {
        if (c && c->Active()) {
            next = c;
            break;
        }
    }
    QWidget *ownForm = component->Form();
    if (!next) {
        for (const QPointer<QWidget> &form : std::as_const(FForms)) {
            if (form && form != ownForm)
                EndTakeOvers(*component, form);
        }
        return;
    }
    for (TControlSubClass *record : component->SubClasses()) {
        if (record->Control() && record->Control()->window() != ownForm)
            next->AdoptSubClass(record);
    }
    // The new working component hooks again what the old one had hooked.
    const QList<QPointer<QWidget>> handled = FHandled;
    FWorking = next;
    FHandled.clear();
    for (const QPointer<QWidget> &form : handled) {
        if (form && form != ownForm)
            HookForm(form);
    }
}

void TFlatMenuManager::EndTakeOvers(const TFlatMenu &component, const QWidget *form)
{
    for (TControlSubClass *record : component.SubClasses()) {
        if (record->Control() && record->Control()->window() == form)
            record->End();
    }
}

void TFlatMenuManager::RemoveChildSubclassing(QWidget *form)
{
    if (FWorking && form)
        EndTakeOvers(*FWorking, form);
}

void TFlatMenuManager::ActivateMenuItem(QAction *item, bool recursive)
{
    if (GManager && GManager->FWorking && GManager->FWorking->Active())
        GManager->FWorking->ActivateMenuItem(item, recursive);
}

void TFlatMenuManager::HookPopup(QMenu *menu)
{
    if (!FWorking || !FWorking->Active())
        return;
    // A submenu is reached through the menu that holds it.
    if (qobject_cast<QMenu *>(menu->parentWidget()))
        return;
    for (const QWidget *w = menu->parentWidget(); w; w = w->parentWidget()) {
        if (GetTag(w) == TagKeepOwnLook)
            return;
    }
    FWorking->InitItem(menu, true, false);
}

bool TFlatMenuManager::eventFilter(QObject *watched, QEvent *event)
{
    // Menus made after their window was hooked (a date popup's month menu, made
    // when the popup first opens in a dialog) take the look before their first
    // showing measures them.
    if (event->type() == QEvent::Polish) {
        if (auto *menu = qobject_cast<QMenu *>(watched))
            HookPopup(menu);
    }
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (IsForm(widget)) {
            Collect(widget);
            HookForm(widget);
        }
    }
    return false;
}

// Hooking menus, menu items and controls to a flat-look component.
#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/menus/MenuItemOptions.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

// An item's draw and measure handlers: the object that paints (measures) it.
constexpr const char *DrawItemProperty = "OnDrawItem";
constexpr const char *MeasureItemProperty = "OnMeasureItem";

TFlatMenu *Handler(const QAction *item, const char *property)
{
    return item ? qobject_cast<TFlatMenu *>(item->property(property).value<QObject *>()) : nullptr;
}

bool IsMenuWidget(const QObject *object)
{
    return qobject_cast<const QMenu *>(object) || qobject_cast<const QMenuBar *>(object);
}

// The window a widget belongs to, a popup window counted as part of the window
// that holds it.
const QWidget *WindowOf(const QWidget *widget)
{
    const QWidget *window = widget->window();
    while (window->windowType() == Qt::Popup && window->parentWidget())
        window = window->parentWidget()->window();
    return window;
}

} // namespace

TFlatMenu *TFlatMenu::DrawItemHandler(const QAction *item)
{
    return Handler(item, DrawItemProperty);
}

TFlatMenu *TFlatMenu::MeasureItemHandler(const QAction *item)
{
    return Handler(item, MeasureItemProperty);
}

void TFlatMenu::Relayout(QWidget *menu)
{
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(menu, &change);
    menu->update();
}

void TFlatMenu::HookItem(QAction *item)
{
    if (GetTag(item) == TagKeepOwnLook)
        return;
    for (const char *property : { DrawItemProperty, MeasureItemProperty }) {
        const QObject *current = item->property(property).value<QObject *>();
        if (current && current != this && !FOverrideOwnerDraw)
            continue;
        item->setProperty(property, QVariant::fromValue<QObject *>(this));
    }
    // Menus rebuilt again and again must not leave their old items behind.
    if (!FHookedItems.contains(item)) {
        FHookedItems.insert(item);
        connect(item, &QObject::destroyed, this, [this, item] { FHookedItems.remove(item); });
    }
}

void TFlatMenu::UnhookItem(QAction *item)
{
    for (const char *property : { DrawItemProperty, MeasureItemProperty }) {
        if (item->property(property).value<QObject *>() == this)
            item->setProperty(property, QVariant());
    }
    if (FHookedItems.remove(item))
        disconnect(item, &QObject::destroyed, this, nullptr);
}

void TFlatMenu::ItrateMenu(QWidget *menu, bool enable, int depth)
{
    // Menus nest a few levels; a deeper chain can only be a cycle.
    if (depth > 16)
        return;
    const bool popup = qobject_cast<QMenu *>(menu) != nullptr;
    if (enable) {
        ApplyStyle(menu);
        if (popup)
            menu->installEventFilter(this);
    } else {
        RestoreStyle(menu);
        if (popup) {
            menu->removeEventFilter(this);
            if (!menu->mask().isEmpty())
                menu->clearMask();
        }
    }
    for (QAction *item : menu->actions()) {
        if (enable)
            HookItem(item);
        else
            UnhookItem(item);
        if (QMenu *sub = item->menu())
            ItrateMenu(sub, enable, depth + 1);
    }
    if (enable)
        Relayout(menu);
}

void TFlatMenu::ActivateMenuItem(QAction *item, bool recursive)
{
    if (!item)
        return;
    HookItem(item);
    for (QObject *object : item->associatedObjects()) {
        if (IsMenuWidget(object)) {
            auto *menu = static_cast<QWidget *>(object);
            ApplyStyle(menu);
            Relayout(menu);
        }
    }
    if (recursive && item->menu())
        ItrateMenu(item->menu(), true, 0);
}

void TFlatMenu::ForceComponent(QObject *component)
{
    // Every control kind, for this one call.
    struct TRestore {
        TFlatControls &Set;
        TFlatControls Saved;
        ~TRestore() { Set = Saved; }
    } restore { FFlatControls, FFlatControls };
    FFlatControls = TFlatControls::All();
    InitItem(component, true, true);
}

void TFlatMenu::InitItems(QWidget *form, bool enable, bool update)
{
    if (!form)
        return;
    const QList<QWidget *> children = form->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (auto *menu = qobject_cast<QMenu *>(child)) {
            // Submenus are reached through the menu that holds them; the menus of
            // the window's popups (a calendar's month menu) are the window's.
            const QWidget *parent = menu->parentWidget();
            if (parent && !IsMenuWidget(parent) && WindowOf(parent) == form)
                InitItem(menu, enable, update);
        } else if (child->window() == form) {
            InitItem(child, enable, update);
        }
    }
}

void TFlatMenu::InitItem(QObject *component, bool enable, bool update)
{
    auto *widget = qobject_cast<QWidget *>(component);
    if (!widget)
        return;
    if (auto *menu = qobject_cast<QMenu *>(widget)) {
        if (FFlatControls.Contains(OpensFromMenuBar(*menu) ? xcMainMenu : xcPopupMenu))
            ItrateMenu(menu, enable, 0);
    } else if (qobject_cast<QMenuBar *>(widget)) {
        if (FFlatControls.Contains(xcMainMenu))
            ItrateMenu(widget, enable, 0);
    } else if (widget->isWindow()) {
        InitItems(widget, enable, update);
    } else {
        InitControl(widget, enable, update);
    }
}

void TFlatMenu::InitControl(QWidget *control, bool enable, bool update)
{
    TFlatControl kind;
    TFlatContainer container;
    if (!ControlKindOf(control, kind) || !FFlatControls.Contains(kind))
        return;
    if (!ContainerKindOf(control->parentWidget(), container) || !FFlatContainers.Contains(container))
        return;
    if (enable && GetTag(control) != TagKeepOwnLook && GetTag(control->parentWidget()) != TagKeepOwnLook
        && !TControlSubClass::Of(control)) {
        FSubClasses.insert(control, new TControlSubClass(this, control, kind));
    }
    // Disabling ends the take-over at the control's next event.
    if (update)
        control->update();
}

TControlSubClass *TFlatMenu::SubClassOf(const QWidget *control) const
{
    return FSubClasses.value(control, nullptr);
}

QList<TControlSubClass *> TFlatMenu::SubClasses() const
{
    return FSubClasses.values();
}

void TFlatMenu::AdoptSubClass(TControlSubClass *record)
{
    if (!record || !record->Control())
        return;
    record->MoveTo(this);
    FSubClasses.insert(record->Control(), record);
}

void TFlatMenu::ForgetSubClass(TControlSubClass *record)
{
    for (auto it = FSubClasses.begin(); it != FSubClasses.end();) {
        if (it.value() == record)
            it = FSubClasses.erase(it);
        else
            ++it;
    }
}

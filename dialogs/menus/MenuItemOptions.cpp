#include "dialogs/menus/MenuItemOptions.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionMenuItem>

namespace {

QString CaptionOf(const QString &text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

} // namespace

bool OpensFromMenuBar(const QMenu &menu)
{
    const QMenu *current = &menu;
    for (int depth = 0; current && depth < 16; ++depth) {
        const QMenu *next = nullptr;
        for (const QObject *object : current->menuAction()->associatedObjects()) {
            if (qobject_cast<const QMenuBar *>(object))
                return true;
            if (const auto *parent = qobject_cast<const QMenu *>(object); parent && parent != current)
                next = parent;
        }
        current = next;
    }
    return false;
}

QAction *MenuItemAction(const QStyleOptionMenuItem &option, const QWidget *widget, bool painting)
{
    const auto *menu = qobject_cast<const QMenu *>(widget);
    const auto *bar = qobject_cast<const QMenuBar *>(widget);
    if (!menu && !bar)
        return nullptr;
    if (painting) {
        const QPoint centre = option.rect.center();
        QAction *atRect = menu ? menu->actionAt(centre) : bar->actionAt(centre);
        if (atRect && (menu ? menu->actionGeometry(atRect) : bar->actionGeometry(atRect)) == option.rect)
            return atRect;
    }
    const bool separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    const QString caption = CaptionOf(option.text);
    for (QAction *action : widget->actions()) {
        if (action->isVisible() && action->isSeparator() == separator && CaptionOf(action->text()) == caption)
            return action;
    }
    return nullptr;
}

QImage ItemImage(const QIcon &icon, const QVariant &ownBitmap)
{
    if (!icon.isNull()) {
        QImage image(MenuImageSize, MenuImageSize, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.drawPixmap(0, 0, icon.pixmap(MenuImageSize, MenuImageSize));
        return image;
    }
    QImage own = ownBitmap.canConvert<QImage>() ? ownBitmap.value<QImage>()
        : ownBitmap.canConvert<QPixmap>()       ? ownBitmap.value<QPixmap>().toImage()
                                                : QImage();
    if (own.isNull() || own.width() == 0)
        return {};
    const bool keyed = !own.hasAlphaChannel();
    own = own.convertToFormat(QImage::Format_ARGB32);
    if (keyed) {
        const QRgb key = own.pixel(0, own.height() - 1);
        for (int y = 0; y < own.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(own.scanLine(y));
            for (int x = 0; x < own.width(); ++x) {
                if (line[x] == key)
                    line[x] = qRgba(qRed(key), qGreen(key), qBlue(key), 0);
            }
        }
    }
    return own;
}

TMenuItemInfo MenuItemInfoOf(const QStyleOptionMenuItem &option, const QAction *action, const QWidget *widget)
{
    const auto *menu = qobject_cast<const QMenu *>(widget);
    TMenuItemInfo info;
    info.TopLevel = qobject_cast<const QMenuBar *>(widget) != nullptr;
    info.Separator
        = option.menuItemType == QStyleOptionMenuItem::Separator || (action && action->isSeparator());
    const qsizetype tab = option.text.indexOf(QLatin1Char('\t'));
    info.Caption = tab < 0 ? option.text : option.text.left(tab);
    info.ShortCut = tab < 0 ? QString() : option.text.mid(tab + 1);
    info.HasSubItems
        = action ? action->menu() != nullptr : option.menuItemType == QStyleOptionMenuItem::SubMenu;
    info.Checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    info.RadioItem = option.checkType == QStyleOptionMenuItem::Exclusive;
    info.Enabled = option.state & QStyle::State_Enabled;
    info.Default = option.menuItemType == QStyleOptionMenuItem::DefaultItem
        || (menu && action && menu->defaultAction() == action);
    info.RightToLeft = option.direction == Qt::RightToLeft;
    if (!info.Separator)
        info.Image = ItemImage(option.icon, action ? action->property("Bitmap") : QVariant());
    info.MenuWindow = widget;
    return info;
}

int ShortcutColumnWidth(const QMenu &menu)
{
    const bool context = !OpensFromMenuBar(menu);
    const QFontMetrics metrics = menu.fontMetrics();
    int width = 0;
    for (const QAction *action : menu.actions()) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            width = std::max(width, metrics.horizontalAdvance(text.mid(tab + 1)));
        } else if (!action->shortcut().isEmpty() && (action->isShortcutVisibleInContextMenu() || !context)) {
            width = std::max(
                width, metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
        }
    }
    return width;
}

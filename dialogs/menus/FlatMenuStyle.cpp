#include "dialogs/menus/FlatMenuStyle.h"

#include "dialogs/menus/ControlPainters.h"
#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenu.h"
#include "dialogs/menus/MenuItemOptions.h"
#include "dialogs/menus/PaintCanvas.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolButton>

namespace {

// Paints with a canvas and leaves the painter as it was.
template <typename Paint> void WithCanvas(QPainter &painter, Paint paint)
{
    painter.save();
    TPaintCanvas canvas(painter);
    paint(canvas);
    painter.restore();
}

QImage IconImage(const QIcon &icon, QSize size)
{
    return icon.isNull() ? QImage() : icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

TGlyphLayout LayoutOf(Qt::ToolButtonStyle style)
{
    return style == Qt::ToolButtonTextUnderIcon ? GlyphTop : GlyphLeft;
}

} // namespace

TFlatMenuStyle::TFlatMenuStyle(TFlatMenu &owner)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    , FOwner(owner)
{ }

TControlSubClass *TFlatMenuStyle::Record(const QWidget *widget) const
{
    TControlSubClass *record = TControlSubClass::Of(widget);
    return record && record->FlatMenu() == &FOwner && FOwner.Active() ? record : nullptr;
}

void TFlatMenuStyle::DrawRaisedMenuFrame(QPainter &painter, const QRect &rect) const
{
    // The platform's raised frame of a menu window that is not drawn flat.
    WithCanvas(painter, [&](TPaintCanvas &c) {
        TRect r = FromQRect(rect);
        Frame3D(c, r, cl3DLight, cl3DDkShadow, 1);
        Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    });
}

bool TFlatMenuStyle::DrawMenuElement(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (element == CE_MenuBarEmptyArea && qobject_cast<const QMenuBar *>(widget) && FOwner.Active()) {
        const TColor bar = FOwner.DrawMenuBar() ? FOwner.MenuBarColor() : FOwner.Colors().FFMenuBarColor;
        painter->fillRect(option->rect, ToQColor(bar));
        return true;
    }
    if (element == CE_MenuEmptyArea)
        return qobject_cast<const QMenu *>(widget) && FOwner.Active();
    if (element != CE_MenuItem && element != CE_MenuBarItem)
        return false;
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item || item->menuItemType == QStyleOptionMenuItem::Scroller
        || item->menuItemType == QStyleOptionMenuItem::TearOff
        || item->menuItemType == QStyleOptionMenuItem::EmptyArea)
        return false;
    const QAction *action = MenuItemAction(*item, widget, true);
    TFlatMenu *itemPainter = TFlatMenu::DrawItemHandler(action);
    if (!itemPainter || !itemPainter->Active())
        return false;
    const TMenuItemInfo info = MenuItemInfoOf(*item, action, widget);
    const TRect rect = FromQRect(item->rect);
    bool selected = item->state & State_Selected;
    if (info.TopLevel) {
        // A bar entry under the mouse is only hot; selected means opened or chosen by key.
        selected = (item->state & State_Sunken) || (selected && !TFlatMenu::IsMouseInRect(widget, rect));
    }
    itemPainter->DrawItem(*painter, info, rect, selected);
    return true;
}

bool TFlatMenuStyle::DrawControlElement(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    TControlSubClass *record = Record(widget);
    if (!record)
        return false;
    TControlState s = ControlStateOf(*record, *widget);
    switch (element) {
    case CE_PushButton: {
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        const auto *push = qobject_cast<const QPushButton *>(widget);
        if (!button || !push)
            return false;
        TButtonContent content;
        content.Caption = button->text;
        content.Glyph = IconImage(button->icon, button->iconSize);
        content.Default = push->isDefault();
        content.Font = &widget->font();
        content.FontColor = FromQColor(option->palette.color(QPalette::ButtonText));
        WithCanvas(*painter, [&](TPaintCanvas &c) {
            if (record->Kind() == xcBitBtn)
                PaintBitButn(FOwner, c, s, content);
            else
                PaintButton(FOwner, c, s, content);
        });
        return true;
    }
    case CE_CheckBox:
    case CE_RadioButton:
        QProxyStyle::drawControl(element, option, painter, widget);
        WithCanvas(*painter, [&](TPaintCanvas &c) {
            if (element == CE_CheckBox)
                PaintCheckBox(FOwner, c, s, option->state & State_On, option->state & State_NoChange);
            else
                PaintRadio(FOwner, c, s, option->state & State_On);
        });
        return true;
    case CE_ShapedFrame: {
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
        if (!frame)
            return false;
        s.R = FromQRect(option->rect);
        WithCanvas(*painter, [&](TPaintCanvas &c) {
            if (record->Kind() == xcMemo) {
                PaintEdit(FOwner, c, s);
            } else if (record->Kind() == xcListBox || record->Kind() == xcListView) {
                PaintNCWinControl(FOwner, c, s);
            } else if (record->Kind() == xcPanel) {
                const TPanelBevel bevel = frame->frameShape == QFrame::NoFrame ? BevelNone
                    : option->state & State_Sunken                             ? BevelLowered
                    : option->state & State_Raised                             ? BevelRaised
                                                                               : BevelNone;
                PaintPanel(c, s, bevel, std::max(1, frame->lineWidth));
            }
        });
        return record->Kind() == xcMemo || record->Kind() == xcListBox || record->Kind() == xcListView
            || record->Kind() == xcPanel;
    }
    case CE_ProgressBar:
        QProxyStyle::drawControl(element, option, painter, widget);
        WithCanvas(*painter, [&](TPaintCanvas &c) { PaintProgressBar(FOwner, c, s); });
        return true;
    default:
        return false;
    }
}

void TFlatMenuStyle::drawControl(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (DrawMenuElement(element, option, painter, widget)
        || DrawControlElement(element, option, painter, widget))
        return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TFlatMenuStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const bool menu = qobject_cast<const QMenu *>(widget) && FOwner.Active();
    const bool rightToLeft = option->direction == Qt::RightToLeft;
    if (element == PE_PanelMenu && menu) {
        FOwner.DrawMenuBackground(*painter, widget->size(), rightToLeft);
        return;
    }
    if (element == PE_FrameMenu && menu) {
        if (FOwner.FlatMenu())
            FOwner.DrawWindowBorder(*painter, widget->size(), rightToLeft);
        else
            DrawRaisedMenuFrame(*painter, option->rect);
        return;
    }
    if (element == PE_PanelMenuBar && qobject_cast<const QMenuBar *>(widget) && FOwner.Active())
        return;
    if (element == PE_PanelLineEdit || element == PE_FrameLineEdit) {
        if (TControlSubClass *record = Record(widget); record && record->Kind() == xcEdit) {
            if (element == PE_PanelLineEdit) {
                const TControlState s = ControlStateOf(*record, *widget);
                WithCanvas(*painter, [&](TPaintCanvas &c) {
                    c.FillRect(s.R, s.K);
                    PaintEdit(FOwner, c, s);
                });
            }
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TFlatMenuStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    TControlSubClass *record = Record(widget);
    if (!record) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    TControlState s = ControlStateOf(*record, *widget);
    switch (control) {
    case CC_ToolButton:
        if (const auto *tool = qstyleoption_cast<const QStyleOptionToolButton *>(option)) {
            TButtonContent content;
            if (tool->toolButtonStyle != Qt::ToolButtonIconOnly)
                content.Caption = tool->text;
            if (tool->toolButtonStyle != Qt::ToolButtonTextOnly)
                content.Glyph = IconImage(tool->icon, tool->iconSize);
            content.Layout = LayoutOf(tool->toolButtonStyle);
            content.Font = &widget->font();
            content.FontColor = FromQColor(option->palette.color(QPalette::ButtonText));
            const QPoint cursor = widget->mapFromGlobal(QCursor::pos());
            WithCanvas(*painter, [&](TPaintCanvas &c) {
                PaintSpeedButton(FOwner, c, s, content, option->state & State_On,
                    option->state & State_AutoRaise, !widget->autoFillBackground(), cursor);
            });
            return;
        }
        break;
    case CC_ComboBox:
        // The field in the control's own colour, as an input field looks.
        WithCanvas(*painter, [&](TPaintCanvas &c) {
            c.FillRect(s.R, s.K);
            PaintCombo(FOwner, c, s, option->state & State_On);
        });
        return;
    case CC_SpinBox: {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        const QRect buttons = subControlRect(control, option, SC_SpinBoxUp, widget)
                                  .united(subControlRect(control, option, SC_SpinBoxDown, widget));
        s.R = FromQRect(buttons);
        const int cursorY = widget->mapFromGlobal(QCursor::pos()).y() - buttons.top();
        WithCanvas(*painter, [&](TPaintCanvas &c) { PaintUpDownButton(FOwner, c, s, cursorY); });
        return;
    }
    case CC_GroupBox:
        if (const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option)) {
            WithCanvas(*painter, [&](TPaintCanvas &c) {
                PaintGroupBox(c, s, group->text, widget->font(),
                    FromQColor(option->palette.color(QPalette::WindowText)),
                    !(group->features & QStyleOptionFrame::Flat));
            });
            if (group->subControls & SC_GroupBoxCheckBox) {
                QStyleOptionButton box;
                box.QStyleOption::operator=(*group);
                box.rect = subControlRect(control, option, SC_GroupBoxCheckBox, widget);
                QProxyStyle::drawPrimitive(PE_IndicatorCheckBox, &box, painter, widget);
            }
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QSize TFlatMenuStyle::sizeFromContents(
    ContentsType type, const QStyleOption *option, const QSize &contentsSize, const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if ((type == CT_MenuItem || type == CT_MenuBarItem) && item) {
        const QAction *action = MenuItemAction(*item, widget, false);
        const TFlatMenu *measurer = TFlatMenu::MeasureItemHandler(action);
        if (measurer && measurer->Active()) {
            int width = 0, height = 0;
            measurer->MeasureItem(MenuItemInfoOf(*item, action, widget), width, height);
            width += MenuCheckMarkWidth;
            // A menu adds its shortcut column to every item; the measure has it already.
            if (const auto *menu = qobject_cast<const QMenu *>(widget))
                width -= ShortcutColumnWidth(*menu);
            return { std::max(1, width), height };
        }
    }
    return QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
}

int TFlatMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (FOwner.Active() && qobject_cast<const QMenu *>(widget)) {
        if (metric == PM_MenuPanelWidth)
            return MenuFrameWidth;
        if (metric == PM_MenuHMargin || metric == PM_MenuVMargin)
            return 0;
    }
    if (FOwner.Active() && qobject_cast<const QMenuBar *>(widget)) {
        if (metric == PM_MenuBarPanelWidth || metric == PM_MenuBarHMargin || metric == PM_MenuBarVMargin
            || metric == PM_MenuBarItemSpacing)
            return 0;
    }
    if (metric == PM_DefaultFrameWidth) {
        if (TControlSubClass *record = Record(widget)) {
            const TFlatControl kind = record->Kind();
            if (kind == xcEdit || kind == xcMemo || kind == xcListBox || kind == xcListView)
                return 1;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

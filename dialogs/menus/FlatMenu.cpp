#include "dialogs/menus/FlatMenu.h"

#include "dialogs/menus/ControlSubClass.h"
#include "dialogs/menus/FlatMenuManager.h"
#include "dialogs/menus/FlatMenuStyle.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <cmath>

TFlatMenu::TFlatMenu(QWidget *form)
    : QObject(form)
    , FForm(form)
    , FStyle(std::make_unique<TFlatMenuStyle>(*this))
{
    GetSystemMenuFont(FFont, FFontColor);
    FSelectFontColor = FFontColor;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        FIs16Bit = screen->depth() >= 16;
    TFlatMenuManager::Acquire();
}

TFlatMenu::~TFlatMenu()
{
    if (FLoaded)
        TFlatMenuManager::Instance()->Unregister(this);
    // Whatever was not handed to another component gets its own look back.
    for (TControlSubClass *record : SubClasses())
        record->End();
    const QList<QAction *> hooked = FHookedItems.values();
    for (QAction *item : hooked)
        UnhookItem(item);
    const QList<QWidget *> styled = FStyled.keys();
    for (QWidget *widget : styled)
        RestoreStyle(widget);
    TFlatMenuManager::Release();
}

void TFlatMenu::UseMainWindowSettings()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    FFont = font;
    FFontColor = clWindowText;
    FSelectFontColor = clWindowText;
    FFlatContainers = {};
    FFlatControls = { xcMainMenu, xcPopupMenu };
    ColorsChanged();
}

void TFlatMenu::Loaded()
{
    if (FLoaded)
        return;
    FLoaded = true;
    TFlatMenuManager::Instance()->Register(this);
}

QStyle *TFlatMenu::Style() const
{
    return FStyle.get();
}

void TFlatMenu::ColorsChanged()
{
    FColorsChanged = true;
}

void TFlatMenu::RedrawMenuBar() const
{
    auto *window = qobject_cast<QMainWindow *>(FForm.data());
    QMenuBar *bar = window ? window->menuBar() : (FForm ? FForm->findChild<QMenuBar *>() : nullptr);
    if (!bar)
        return;
    // The bar measures its items again.
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(bar, &change);
    bar->update();
}

void TFlatMenu::SetActive(bool value)
{
    if (FActive == value)
        return;
    FActive = value;
    if (FForm)
        InitItems(FForm, value, true);
    RedrawMenuBar();
    if (FLoaded)
        TFlatMenuManager::Instance()->ActiveChanged(this);
}

void TFlatMenu::SetFont(const QFont &value)
{
    FFont = value;
    RedrawMenuBar();
}

void TFlatMenu::SetFontColor(TColor value)
{
    FFontColor = value;
    ColorsChanged();
}

void TFlatMenu::SetColor(TColor value)
{
    FColor = value;
    ColorsChanged();
}

void TFlatMenu::SetIconBackColor(TColor value)
{
    FIconBackColor = value;
    ColorsChanged();
}

void TFlatMenu::SetMenuBarColor(TColor value)
{
    FMenuBarColor = value;
    ColorsChanged();
    RedrawMenuBar();
}

void TFlatMenu::SetSeparatorColor(TColor value)
{
    FSeparatorColor = value;
    ColorsChanged();
}

void TFlatMenu::SetSelectColor(TColor value)
{
    FSelectColor = value;
    ColorsChanged();
}

void TFlatMenu::SetSelectBorderColor(TColor value)
{
    FSelectBorderColor = value;
    ColorsChanged();
}

void TFlatMenu::SetCheckedColor(TColor value)
{
    FCheckedColor = value;
    ColorsChanged();
}

void TFlatMenu::SetSelectFontColor(TColor value)
{
    FSelectFontColor = value;
    ColorsChanged();
}

void TFlatMenu::SetDisabledColor(TColor value)
{
    FDisabledColor = value;
    ColorsChanged();
}

void TFlatMenu::SetIconWidth(int value)
{
    FIconWidth = value;
    RedrawMenuBar();
}

void TFlatMenu::SetDrawSelect(bool value)
{
    FDrawSelect = value;
}

void TFlatMenu::SetUseSystemColors(bool value)
{
    FUseSystemColors = value;
    ColorsChanged();
    RedrawMenuBar();
}

void TFlatMenu::SetUseDimColor(bool value)
{
    FUseDimColor = value;
    ColorsChanged();
}

void TFlatMenu::SetOverrideOwnerDraw(bool value)
{
    FOverrideOwnerDraw = value;
    if (FActive && FForm)
        InitItems(FForm, true, true);
}

void TFlatMenu::SetGradient(bool value)
{
    FGradient = value;
}

void TFlatMenu::SetFlatMenu(bool value)
{
    FFlatMenu = value;
}

void TFlatMenu::SetDrawMenuBar(bool value)
{
    FDrawMenuBar = value;
}

void TFlatMenu::SetDimLevel(int value)
{
    FDimLevel = value;
}

void TFlatMenu::SetGrayLevel(int value)
{
    FGrayLevel = value;
}

void TFlatMenu::SetIs16Bit(bool value)
{
    FIs16Bit = value;
    ColorsChanged();
}

void TFlatMenu::SetGlobalColor()
{
    TFlatMenuColors &k = FColors;
    k.FDimParentColor = 16;
    k.FDimParentColorSelect = 40;
    const TColor fontColor = ColorToRGB(FFontColor);
    if (!FUseSystemColors) {
        k.FFColor = ColorToRGB(FColor);
        k.FFIconBackColor = ColorToRGB(FIconBackColor);
        k.FFSelectColor = ColorToRGB(FSelectColor);
        k.FFSelectBorderColor = ColorToRGB(FSelectBorderColor);
        k.FFSelectFontColor = ColorToRGB(FSelectFontColor);
        k.FFCheckedColor = ColorToRGB(FCheckedColor);
        k.FFMenuBarColor = ColorToRGB(FMenuBarColor);
        k.FFDisabledColor = ColorToRGB(FDisabledColor);
        k.FFSeparatorColor = ColorToRGB(FSeparatorColor);
        if (FIs16Bit) {
            k.FCheckedAreaColor = FUseDimColor ? NewColor(FSelectColor, 68) : k.FFSelectColor;
            k.FCheckedAreaSelectColor = FUseDimColor ? NewColor(FSelectColor, 50) : k.FFSelectColor;
        } else {
            k.FCheckedAreaColor = clWhite;
            k.FCheckedAreaSelectColor = clSilver;
        }
    } else if (FIs16Bit) {
        k.FFColor = NewColor(clBtnFace, 86);
        k.FFIconBackColor = NewColor(clBtnFace, 16);
        k.FFSelectColor = NewColor(clHighlight, 68);
        k.FFSelectBorderColor = ColorToRGB(clHighlight);
        k.FFMenuBarColor = ColorToRGB(clBtnFace);
        k.FFDisabledColor = NewColor(clBtnShadow, 10);
        k.FFSeparatorColor = NewColor(clBtnShadow, 25);
        k.FFCheckedColor = ColorToRGB(clHighlight);
        k.FCheckedAreaColor = NewColor(clHighlight, 80);
        k.FCheckedAreaSelectColor = NewColor(clHighlight, 50);
        k.FFSelectFontColor = fontColor;
    } else {
        k.FFColor = clWhite;
        k.FFIconBackColor = ColorToRGB(clBtnFace);
        k.FFSelectColor = clWhite;
        k.FFSelectBorderColor = ColorToRGB(clHighlight);
        k.FFMenuBarColor = ColorToRGB(clBtnFace);
        k.FFDisabledColor = ColorToRGB(clBtnShadow);
        k.FFSeparatorColor = ColorToRGB(clBtnShadow);
        k.FFCheckedColor = ColorToRGB(clHighlight);
        k.FCheckedAreaColor = clWhite;
        k.FCheckedAreaSelectColor = clWhite;
        k.FFSelectFontColor = fontColor;
    }
    // The menu window's outline and drop shadow follow the colour depth only.
    k.FMenuBorderColor = FIs16Bit ? GetShadeColor(clBtnFace, 90) : ColorToRGB(clBtnShadow);
    k.FMenuShadowColor = FIs16Bit ? GetShadeColor(clBtnFace, 76) : ColorToRGB(clBtnShadow);
    FColorsChanged = false;
}

const TFlatMenuColors &TFlatMenu::Colors()
{
    if (FColorsChanged)
        SetGlobalColor();
    return FColors;
}

QSize TFlatMenu::GetImageExtent(const TMenuItemInfo &item, bool topMenu) const
{
    QSize size = item.Image.isNull() ? QSize(0, 0) : item.Image.size();
    if (!topMenu)
        size.setWidth(std::max(size.width(), FIconWidth));
    return size;
}

void TFlatMenu::MeasureItem(const TMenuItemInfo &item, int &width, int &height) const
{
    if (!FActive)
        return;
    const QFontMetrics metrics(FFont);
    QString text;
    if (!item.Separator)
        text = item.ShortCut.isEmpty() ? item.Caption : item.Caption + item.ShortCut + QStringLiteral("WWW");
    int w = metrics.horizontalAdvance(text) + 5;
    if (text.contains(QLatin1Char('&')))
        w -= metrics.horizontalAdvance(QLatin1Char('&'));
    if (!item.TopLevel && item.HasSubItems)
        w += 6;
    const QSize image = GetImageExtent(item, item.TopLevel);
    width = std::max(width, w + image.width());
    if (item.Separator) {
        height = 4;
        return;
    }
    const int textHeight = metrics.height();
    const int h = std::max(textHeight + int(std::nearbyint(0.75 * textHeight)), image.height() + 6);
    height = std::max(height, h);
}

bool TFlatMenu::IsMouseInRect(const QWidget *form, const TRect &rect)
{
    if (!form)
        return false;
    const QPoint p = form->mapFromGlobal(QCursor::pos());
    return rect.Left <= p.x() && p.x() <= rect.Right - 1 && rect.Top <= p.y() && p.y() <= rect.Bottom - 2;
}

void TFlatMenu::GetSystemMenuFont(QFont &font, TColor &color)
{
    font = QApplication::font("QMenu");
    color = clMenuText;
}

QRegion TFlatMenu::MenuWindowMask(QSize size) const
{
    if (!FActive || !FFlatMenu || FIsWXP)
        return {};
    const int w = size.width(), h = size.height();
    return QRegion(ToQRect(Rect(0, 0, w - 2, h - 2))).united(ToQRect(Rect(2, 2, w, h)));
}

bool TFlatMenu::eventFilter(QObject *watched, QEvent *event)
{
    // Items a hooked menu takes in later (menus filled as they open) get the look
    // of the items hooked with it.
    if (event->type() == QEvent::ActionAdded && FActive) {
        auto *menu = qobject_cast<QMenu *>(watched);
        QAction *item = static_cast<QActionEvent *>(event)->action();
        if (menu && item && menu->style() == FStyle.get()) {
            // The menu measures its items again itself.
            HookItem(item);
            if (item->menu())
                ItrateMenu(item->menu(), true, 1);
        }
    }
    // Hooked menu windows: the cut corners follow the window's size.
    if ((event->type() == QEvent::Show || event->type() == QEvent::Resize) && watched->isWidgetType()) {
        auto *menu = static_cast<QWidget *>(watched);
        if (menu->style() == FStyle.get()) {
            const QRegion mask = MenuWindowMask(menu->size());
            if (mask.isEmpty()) {
                if (!menu->mask().isEmpty())
                    menu->clearMask();
            } else if (menu->mask() != mask) {
                menu->setMask(mask);
            }
        }
    }
    return false;
}

void TFlatMenu::ApplyStyle(QWidget *widget)
{
    if (!FStyled.contains(widget)) {
        FStyled.insert(widget, widget->testAttribute(Qt::WA_SetStyle) ? widget->style() : nullptr);
        connect(widget, &QObject::destroyed, this, [this, widget] { FStyled.remove(widget); });
    }
    if (widget->style() != FStyle.get())
        widget->setStyle(FStyle.get());
}

void TFlatMenu::RestoreStyle(QWidget *widget)
{
    const auto it = FStyled.find(widget);
    if (it == FStyled.end())
        return;
    const QPointer<QStyle> own = it.value();
    FStyled.erase(it);
    disconnect(widget, &QObject::destroyed, this, nullptr);
    if (widget->style() == FStyle.get())
        widget->setStyle(own);
}

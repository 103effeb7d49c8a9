#pragma once

#include "dialogs/menus/ControlKinds.h"
#include "dialogs/menus/FlatColors.h"
#include "platform/gui/Rect.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QSet>
#include <QString>
#include <QWidget>
#include <memory>

class QAction;
class QPainter;
class QStyle;
class TControlSubClass;
class TFlatMenuStyle;
class TPaintCanvas;

// The colours the flat look paints with, derived from the component's properties
// or from the system colours by SetGlobalColor.
struct TFlatMenuColors {
    TColor FFColor = clWhite;
    TColor FFIconBackColor = clWhite;
    TColor FFSelectColor = clWhite;
    TColor FFSelectBorderColor = clBlack;
    TColor FFSelectFontColor = clBlack;
    TColor FFCheckedColor = clBlack;
    TColor FFMenuBarColor = clWhite;
    TColor FFDisabledColor = clGray;
    TColor FFSeparatorColor = clGray;
    TColor FCheckedAreaColor = clWhite;
    TColor FCheckedAreaSelectColor = clWhite;
    TColor FMenuBorderColor = clGray;
    TColor FMenuShadowColor = clGray;
    int FDimParentColor = 16;
    int FDimParentColorSelect = 40;
};

// The width of a menu window's border on every side: an outline and two pixels of
// icon column, top rows or drop shadow.
inline constexpr int MenuFrameWidth = 3;
// The room the platform adds to the width of every item the program measures
// itself (that of a check mark).
inline constexpr int MenuCheckMarkWidth = 12;
// The size images of an image list are shown in.
inline constexpr int MenuImageSize = 16;

// What one menu item shows, decided afresh for every paint and measure.
struct TMenuItemInfo {
    QString Caption; // "&" marks the access key
    QString ShortCut; // the shortcut's text; empty without one
    bool Separator = false;
    bool TopLevel = false; // an entry of the menu bar
    bool HasSubItems = false;
    bool Checked = false;
    bool RadioItem = false;
    bool Enabled = true;
    bool Default = false;
    bool RightToLeft = false;
    // The image shown in the icon column, transparent where it is not painted;
    // null without image.
    QImage Image;
    // The menu bar or menu that shows the item (for the cursor test of the bar).
    const QWidget *MenuWindow = nullptr;
};

// The flat look of a window's menus (an icon column, tinted selection and checks,
// thin separators) and, optionally, of its standard controls. One component lives
// on a window: create it, set its properties, then call Loaded(). Menu items made
// at run time are hooked with ActivateMenuItem.
class TFlatMenu : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(quint32 FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(quint32 IconBackColor READ IconBackColor WRITE SetIconBackColor)
    Q_PROPERTY(quint32 MenuBarColor READ MenuBarColor WRITE SetMenuBarColor)
    Q_PROPERTY(quint32 SeparatorColor READ SeparatorColor WRITE SetSeparatorColor)
    Q_PROPERTY(quint32 SelectColor READ SelectColor WRITE SetSelectColor)
    Q_PROPERTY(quint32 SelectBorderColor READ SelectBorderColor WRITE SetSelectBorderColor)
    Q_PROPERTY(quint32 CheckedColor READ CheckedColor WRITE SetCheckedColor)
    Q_PROPERTY(quint32 SelectFontColor READ SelectFontColor WRITE SetSelectFontColor)
    Q_PROPERTY(quint32 DisabledColor READ DisabledColor WRITE SetDisabledColor)
    Q_PROPERTY(int IconWidth READ IconWidth WRITE SetIconWidth)
    Q_PROPERTY(bool DrawSelect READ DrawSelect WRITE SetDrawSelect)
    Q_PROPERTY(bool UseSystemColors READ UseSystemColors WRITE SetUseSystemColors)
    Q_PROPERTY(bool UseDimColor READ UseDimColor WRITE SetUseDimColor)
    Q_PROPERTY(bool OverrideOwnerDraw READ OverrideOwnerDraw WRITE SetOverrideOwnerDraw)
    Q_PROPERTY(bool Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(bool FlatMenu READ FlatMenu WRITE SetFlatMenu)
    Q_PROPERTY(bool AutoDetect READ AutoDetect WRITE SetAutoDetect)
    Q_PROPERTY(bool DrawMenuBar READ DrawMenuBar WRITE SetDrawMenuBar)
    Q_PROPERTY(int DimLevel READ DimLevel WRITE SetDimLevel)
    Q_PROPERTY(int GrayLevel READ GrayLevel WRITE SetGrayLevel)

public:
    // Constructor defaults: the system menu font, every control kind in every
    // container. `form` owns the component.
    explicit TFlatMenu(QWidget *form);
    ~TFlatMenu() override;

    // The main window's settings: "Arial" 11 pixels in the window-text colour, and
    // only the main menu and popup menus taken over (no controls).
    void UseMainWindowSettings();
    // Registers the component once its properties are set; the first active one
    // then hooks the menus (and controls) of every window shown.
    void Loaded();

    QWidget *Form() const { return FForm; }
    QStyle *Style() const;

    bool Active() const { return FActive; }
    void SetActive(bool value);
    const QFont &Font() const { return FFont; }
    void SetFont(const QFont &value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TColor IconBackColor() const { return FIconBackColor; }
    void SetIconBackColor(TColor value);
    TColor MenuBarColor() const { return FMenuBarColor; }
    void SetMenuBarColor(TColor value);
    TColor SeparatorColor() const { return FSeparatorColor; }
    void SetSeparatorColor(TColor value);
    TColor SelectColor() const { return FSelectColor; }
    void SetSelectColor(TColor value);
    TColor SelectBorderColor() const { return FSelectBorderColor; }
    void SetSelectBorderColor(TColor value);
    TColor CheckedColor() const { return FCheckedColor; }
    void SetCheckedColor(TColor value);
    TColor SelectFontColor() const { return FSelectFontColor; }
    void SetSelectFontColor(TColor value);
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor value);
    int IconWidth() const { return FIconWidth; }
    void SetIconWidth(int value);
    bool DrawSelect() const { return FDrawSelect; }
    void SetDrawSelect(bool value);
    bool UseSystemColors() const { return FUseSystemColors; }
    void SetUseSystemColors(bool value);
    bool UseDimColor() const { return FUseDimColor; }
    void SetUseDimColor(bool value);
    bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
    void SetOverrideOwnerDraw(bool value);
    bool Gradient() const { return FGradient; }
    void SetGradient(bool value);
    bool FlatMenu() const { return FFlatMenu; }
    void SetFlatMenu(bool value);
    bool AutoDetect() const { return FAutoDetect; }
    void SetAutoDetect(bool value) { FAutoDetect = value; }
    bool DrawMenuBar() const { return FDrawMenuBar; }
    void SetDrawMenuBar(bool value);
    TFlatContainers FlatContainers() const { return FFlatContainers; }
    void SetFlatContainers(TFlatContainers value) { FFlatContainers = value; }
    TFlatControls FlatControls() const { return FFlatControls; }
    void SetFlatControls(TFlatControls value) { FFlatControls = value; }
    int DimLevel() const { return FDimLevel; }
    void SetDimLevel(int value);
    int GrayLevel() const { return FGrayLevel; }
    void SetGrayLevel(int value);

    // At least 16 bits per pixel (from the screen); the system family flags pick
    // the variants of the look. Settable so that every variant can be tried.
    bool Is16Bit() const { return FIs16Bit; }
    void SetIs16Bit(bool value);
    bool IsWNT() const { return FIsWNT; }
    void SetIsWNT(bool value) { FIsWNT = value; }
    bool IsWXP() const { return FIsWXP; }
    void SetIsWXP(bool value) { FIsWXP = value; }

    // Derived colours (recomputed first when a property changed them).
    void SetGlobalColor();
    const TFlatMenuColors &Colors();

    // Menus: hooking the items of menu bars and menus.
    void MeasureItem(const TMenuItemInfo &item, int &width, int &height) const;
    QSize GetImageExtent(const TMenuItemInfo &item, bool topMenu) const;
    void ForceComponent(QObject *component);
    void InitItems(QWidget *form, bool enable, bool update);
    void InitItem(QObject *component, bool enable, bool update);
    void ActivateMenuItem(QAction *item, bool recursive);
    // The component that paints (or measures) an item; null for an item that
    // keeps its own look.
    static TFlatMenu *DrawItemHandler(const QAction *item);
    static TFlatMenu *MeasureItemHandler(const QAction *item);

    // Item painting.
    void DrawItem(QPainter &canvas, const TMenuItemInfo &item, const TRect &rect, bool selected);
    void MenueDrawItem(QPainter &canvas, const TMenuItemInfo &item, const TRect &rect, bool selected);
    void DrawTopMenuItem(TPaintCanvas &canvas, const TRect &rect, TColor barColor, bool rightToLeft);
    void DrawCheckedItem(TPaintCanvas &canvas, const TMenuItemInfo &item, bool selected, bool enabled,
        bool hasImage, const TRect &rect);
    void DrawTheText(TPaintCanvas &canvas, const QString &text, const QString &shortCut, const TRect &rect,
        bool selected, bool enabled, bool isDefault, bool topLevel, bool rightToLeft, const QFont &font,
        TColor fontColor, unsigned format);
    // `menuItem` is false for the glyphs of buttons.
    void DrawIcon(TPaintCanvas &canvas, QImage image, const TRect &iconRect, bool hot, bool selected,
        bool enabled, bool checked, bool topLevel, bool rightToLeft, bool menuItem);
    void DrawBitmapShadow(TPaintCanvas &canvas, const QImage &image, int x, int y, TColor color) const;
    void DrawGradient(TPaintCanvas &canvas, const TRect &rect, bool rightToLeft);
    // The background of the menu window (every item row as it is before an item
    // paints), `size` being the window's.
    void DrawMenuBackground(QPainter &canvas, QSize size, bool rightToLeft);
    // The flat border of a menu window of `size`: outline, icon-column continuation,
    // top rows and shadow bands.
    void DrawWindowBorder(QPainter &canvas, QSize size, bool rightToLeft);
    // The shape of a menu window with its two corners cut; empty when the window
    // keeps its rectangle.
    QRegion MenuWindowMask(QSize size) const;

    // True when the cursor lies over `rect` given in `form`'s coordinates (its
    // right column and bottom two rows excluded).
    static bool IsMouseInRect(const QWidget *form, const TRect &rect);
    static void GetSystemMenuFont(QFont &font, TColor &color);

    // Controls taken over by this component.
    TControlSubClass *SubClassOf(const QWidget *control) const;
    QList<TControlSubClass *> SubClasses() const;
    // Moves a record (and its control) from another component to this one.
    void AdoptSubClass(TControlSubClass *record);
    void ForgetSubClass(TControlSubClass *record);
    // Gives `widget` this component's style, remembering the one it had; and back.
    void ApplyStyle(QWidget *widget);
    void RestoreStyle(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ColorsChanged();
    void RedrawMenuBar() const;
    // Has a menu or menu bar measure its items again.
    static void Relayout(QWidget *menu);
    void ItrateMenu(QWidget *menu, bool enable, int depth);
    void HookItem(QAction *item);
    void UnhookItem(QAction *item);
    void InitControl(QWidget *control, bool enable, bool update);
    void PaintItemBackground(TPaintCanvas &canvas, const TRect &r, int bitmapWidth, bool rightToLeft);
    void DrawSubMenuArrow(TPaintCanvas &canvas, const TRect &r, TColor color, bool rightToLeft) const;

    QPointer<QWidget> FForm;
    std::unique_ptr<TFlatMenuStyle> FStyle;
    bool FLoaded = false;

    bool FActive = true;
    QFont FFont;
    TColor FFontColor = clWindowText;
    TColor FColor = clBtnFace;
    TColor FIconBackColor = clBtnFace;
    TColor FMenuBarColor = clBtnFace;
    TColor FSeparatorColor = clBtnFace;
    TColor FSelectColor = clHighlight;
    TColor FSelectBorderColor = clHighlight;
    TColor FCheckedColor = clHighlight;
    TColor FSelectFontColor = clWindowText;
    TColor FDisabledColor = clInactiveCaption;
    int FIconWidth = 24;
    bool FDrawSelect = true;
    bool FUseSystemColors = true;
    bool FUseDimColor = false;
    bool FOverrideOwnerDraw = true;
    bool FGradient = false;
    bool FFlatMenu = false;
    bool FAutoDetect = false;
    bool FDrawMenuBar = true;
    TFlatContainers FFlatContainers = TFlatContainers::All();
    TFlatControls FFlatControls = TFlatControls::All();
    int FDimLevel = 30;
    int FGrayLevel = 10;

    bool FIs16Bit = true;
    bool FIsWNT = true;
    bool FIsWXP = false;
    bool FColorsChanged = true;
    TFlatMenuColors FColors;

    QImage FItemBitmap; // reused between item paints
    QHash<QWidget *, QPointer<QStyle>> FStyled; // widgets given the style, with their own
    QSet<QAction *> FHookedItems; // each leaves the set when it is destroyed
    QHash<const QWidget *, TControlSubClass *> FSubClasses;
};

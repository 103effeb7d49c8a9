#pragma once

#include <QProxyStyle>

class QMenu;
class TControlSubClass;
class TFlatMenu;

// The style a TFlatMenu gives the menus and controls it takes over. Menu items and
// controls it does not paint (a `Tag` of 999, another painter's items) and every
// other element go to the base style, Fusion.
class TFlatMenuStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit TFlatMenuStyle(TFlatMenu &owner);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
        const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;

private:
    // The record of a control this style's component has taken over; else null.
    TControlSubClass *Record(const QWidget *widget) const;
    bool DrawMenuElement(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool DrawControlElement(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void DrawRaisedMenuFrame(QPainter &painter, const QRect &rect) const;

    TFlatMenu &FOwner;
};

#pragma once

#include "document/DocumentTypes.h"
#include "platform/gui/Color.h"
#include "platform/gui/Rect.h"

#include <QStyledItemDelegate>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QPainter;
class QStyle;

// The small painted pieces of the editor's rows and the colours of its fields.

// Field colours: white for a value all selected rows share (or one the user
// typed), tinted for rows that differ (the field is then empty), the info-tip
// colour for number and check-box fields before their first refresh.
constexpr TColor kSharedFieldColor = 0xFFFFFF;
constexpr TColor kDifferingFieldColor = 0xF0E5CC;
enum class TFieldShade { Initial, Shared, Differing };
TColor FieldColor(TFieldShade Shade);
// Gives an input the colour: the base of edit boxes and editable lists, the
// button face of fixed lists, the background of check boxes.
void SetFieldColor(QWidget &Field, TColor Color);

// The frame behind a column's caption: its fill tells the column's role.
constexpr TColor kCaptionFramePen = 0x978762;
TColor CaptionFrameBrush(TConnection FirstRole);

// A rounded rectangle in a pen and a brush colour.
class TRoundRect : public QWidget {
    Q_OBJECT
public:
    explicit TRoundRect(QWidget *Parent = nullptr);

    TColor PenColor() const { return FPen; }
    TColor BrushColor() const { return FBrush; }
    void SetColors(TColor Pen, TColor Brush);

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    TColor FPen = clBlack;
    TColor FBrush = clWhite;
};

// The look of a date field's drop-down button.
enum class TDateButtonState { Normal, Hot, Disabled };
// Draws the combo box's drop-down button over Rect grown by one pixel, as the
// style draws a combo box's arrow part.
void PaintDateButton(QPainter &Painter, const TRect &Rect, TDateButtonState State, QStyle &Style);

// The items of a colour column's list: each with a swatch of its colour before
// its text. Colours are looked up by item index. Installed on a combo box, it
// draws the chosen item in the closed box the same way.
class TColorItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TColorItemDelegate(std::vector<std::uint32_t> Colors, QObject *Parent = nullptr);
    // Draws the combo box's items and its chosen one with their swatches.
    void Install(QComboBox &Combo);

    // The swatch of an item drawn into Rect: moved in by 2 on the left and top,
    // as wide as the rectangle is high less 4, and 2 shorter at the bottom.
    static TRect SwatchRect(const TRect &ItemRect);
    // Paints item Index with Text into Rect on a background already filled.
    void DrawItem(QPainter &Painter, const TRect &ItemRect, int Index, const QString &Text) const;

    void paint(
        QPainter *Painter, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    std::vector<std::uint32_t> FColors;
};

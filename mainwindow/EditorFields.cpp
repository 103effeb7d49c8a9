#include "mainwindow/EditorFields.h"

#include "platform/gui/Edges.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

TColor FieldColor(TFieldShade Shade)
{
    switch (Shade) {
    case TFieldShade::Initial:
        return clInfoBk;
    case TFieldShade::Differing:
        return kDifferingFieldColor;
    case TFieldShade::Shared:
        break;
    }
    return kSharedFieldColor;
}

void SetFieldColor(QWidget &Field, TColor Color)
{
    QPalette palette = Field.palette();
    const QColor color = ToQColor(Color);
    palette.setColor(QPalette::Base, color);
    const auto *combo = qobject_cast<QComboBox *>(&Field);
    if (combo && !combo->isEditable())
        palette.setColor(QPalette::Button, color);
    if (qobject_cast<QCheckBox *>(&Field)) {
        palette.setColor(QPalette::Window, color);
        Field.setAutoFillBackground(true);
    }
    if (palette != Field.palette())
        Field.setPalette(palette);
}

TColor CaptionFrameBrush(TConnection FirstRole)
{
    switch (FirstRole) {
    case cnPosition:
    case cnStart:
    case cnEnd:
    case cnLength:
        return 0xE0CA92;
    case cnTermin:
        return 0x7362D6;
    default:
        return 0xF0E5CC;
    }
}

TRoundRect::TRoundRect(QWidget *Parent)
    : QWidget(Parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TRoundRect::SetColors(TColor Pen, TColor Brush)
{
    FPen = Pen;
    FBrush = Brush;
    update();
}

void TRoundRect::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(ToQColor(FPen));
    painter.setBrush(ToQColor(FBrush));
    // The corners are a quarter of the shorter side across.
    const qreal corner = std::min(width(), height()) / 8.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
}

void PaintDateButton(QPainter &Painter, const TRect &Rect, TDateButtonState State, QStyle &Style)
{
    QStyleOptionComboBox option;
    option.rect = ToQRect(InflateRect(Rect, 1, 1));
    option.subControls = QStyle::SC_ComboBoxArrow;
    option.editable = true;
    option.frame = true;
    switch (State) {
    case TDateButtonState::Disabled:
        option.state = QStyle::State_None;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
        break;
    case TDateButtonState::Hot:
        option.state = QStyle::State_Enabled | QStyle::State_MouseOver;
        option.activeSubControls = QStyle::SC_ComboBoxArrow;
        break;
    case TDateButtonState::Normal:
        option.state = QStyle::State_Enabled;
        break;
    }
    Style.drawComplexControl(QStyle::CC_ComboBox, &option, &Painter);
}

TColorItemDelegate::TColorItemDelegate(std::vector<std::uint32_t> Colors, QObject *Parent)
    : QStyledItemDelegate(Parent)
    , FColors(std::move(Colors))
{ }

TRect TColorItemDelegate::SwatchRect(const TRect &ItemRect)
{
    const int swatch = ItemRect.Height() - 4;
    return Rect(ItemRect.Left + 2, ItemRect.Top + 2, ItemRect.Left + 2 + swatch, ItemRect.Bottom - 2);
}

void TColorItemDelegate::DrawItem(
    QPainter &Painter, const TRect &ItemRect, int Index, const QString &Text) const
{
    const int swatch = ItemRect.Height() - 4;
    Painter.drawText(ItemRect.Left + swatch + 4, ItemRect.Top + 1 + Painter.fontMetrics().ascent(), Text);
    if (Index < 0 || std::size_t(Index) >= FColors.size())
        return;
    const TRect box = SwatchRect(ItemRect);
    Painter.fillRect(ToQRect(box), ToQColor(FColors[std::size_t(Index)]));
    DrawEdge(Painter, box, BDR_RAISEDINNER, BF_RECT);
}

void TColorItemDelegate::paint(
    QPainter *Painter, const QStyleOptionViewItem &Option, const QModelIndex &Index) const
{
    const bool selected = Option.state & QStyle::State_Selected;
    const QPalette &palette = Option.palette;
    Painter->save();
    Painter->fillRect(Option.rect, selected ? palette.highlight() : palette.base());
    Painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    Painter->setFont(Option.font);
    DrawItem(*Painter, FromQRect(Option.rect), Index.row(), Index.data(Qt::DisplayRole).toString());
    Painter->restore();
}

void TColorItemDelegate::Install(QComboBox &Combo)
{
    Combo.setItemDelegate(this);
    Combo.installEventFilter(this);
}

bool TColorItemDelegate::eventFilter(QObject *Watched, QEvent *Event)
{
    auto *combo = qobject_cast<QComboBox *>(Watched);
    // The box is no editor of the delegate's: a delegate's own filter would commit
    // it to the box's list when it loses the focus (Qt warns of an editor not of
    // that view). Only its painting is taken here.
    if (!combo || Event->type() != QEvent::Paint)
        return false;
    // The box's frame and arrow as the style draws them, the chosen item in
    // the text's place.
    QPainter painter(combo);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    combo->style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, combo);
    const QRect field
        = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    painter.setPen(option.palette.text().color());
    if (combo->currentIndex() >= 0)
        DrawItem(painter, FromQRect(field), combo->currentIndex(), combo->currentText());
    else
        painter.drawText(field.adjusted(2, 0, 0, 0), Qt::AlignVCenter, combo->placeholderText());
    return true;
}

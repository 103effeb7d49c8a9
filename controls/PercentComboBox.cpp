#include "controls/PercentComboBox.h"

#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// A list item: filled, its text and "%" from one pixel inside its top-left corner.
class TPercentItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette &palette = option.palette;
        painter->save();
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            TPercentComboBox::Shown(index.data(Qt::DisplayRole).toString()));
        painter->restore();
    }
};

// The edit part: the typed number with "%" right behind it.
class TPercentEdit final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLineEdit::paintEvent(event);
        if (text().isEmpty())
            return;
        // The cursor's rectangle is centred on its place: from there to the end of the text.
        const QFontMetrics metrics(font());
        const QRect cursor = cursorRect();
        const int end = cursor.center().x() - metrics.horizontalAdvance(text().left(cursorPosition()))
            + metrics.horizontalAdvance(text());
        QPainter painter(this);
        painter.setPen(palette().text().color());
        painter.drawText(QRect(end, cursor.top(), width() - end, cursor.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("%"));
    }
};

} // namespace

TPercentComboBox::TPercentComboBox(const std::vector<int> &values, int maxLength, QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setLineEdit(new TPercentEdit(this));
    setInsertPolicy(QComboBox::NoInsert);
    setItemDelegate(new TPercentItemDelegate(this));
    if (maxLength > 0)
        lineEdit()->setMaxLength(maxLength);
    for (int value : values)
        addItem(QString::number(value));
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        FTyping = true;
        if (FOnChange)
            FOnChange();
        FTyping = false;
    });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { Show(FValue); });
    connect(this, &QComboBox::activated, this, [this] {
        if (FOnChange)
            FOnChange();
    });
}

int TPercentComboBox::Value(int fallback) const
{
    bool ok = false;
    const int value = currentText().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void TPercentComboBox::ShowValue(int percent)
{
    FValue = percent;
    if (!FTyping)
        Show(percent);
}

void TPercentComboBox::Show(int percent)
{
    if (Value(-1) == percent && !currentText().isEmpty())
        return;
    const QString text = QString::number(percent);
    const int item = findText(text);
    if (item >= 0)
        setCurrentIndex(item);
    setEditText(text);
}

#include "dialogs/misc/ReorderEntriesDialog.h"

#include "dialogs/misc/DialogParts.h"
#include "platform/gui/Color.h"
#include "platform/gui/Fonts.h"
#include "timechart/CanvasPanel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const TColor back = selected ? clHighlight : clWindow;
        painter->fillRect(option.rect, ToQColor(back));
        painter->setPen(ToQColor(selected ? clHighlightText : clWindowText));
        painter->setFont(option.font);
        TextOutTopLeft(*painter, option.rect.left() + 2, option.rect.top(), index.data().toString());
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return { option.rect.width(), option.fontMetrics.height() };
    }
};

TOwnerDrawList *NamedList(QWidget *parent, const char *name, int width)
{
    auto *list = new TOwnerDrawList(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->resize(width, list->height());
    return list;
}

} // namespace

TOwnerDrawList::TOwnerDrawList(QWidget *parent)
    : QListWidget(parent)
{
    setItemDelegate(new TOwnerDrawDelegate(this));
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, ToQColor(clWindow));
    setPalette(palette);
}

int TOwnerDrawList::ItemHeight() const
{
    return fontMetrics().height();
}

int TOwnerDrawList::TopIndex() const
{
    return std::max(0, indexAt(QPoint(0, 0)).row());
}

TReorderEntriesDialog::TReorderEntriesDialog(QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , FConnection(NamedList(this, "connection", 103))
    , FCanvas(new TCanvasPanel(this))
    , FSelected(NamedList(this, "selectedconnection", 133))
{
    setObjectName(QStringLiteral("ReorderEntriesDialog"));
    setWindowTitle(QStringLiteral("Einträge zuordnen"));
    FCanvas->setObjectName(QStringLiteral("CanvasPanel1"));
    FConnection->addItems({ QStringLiteral("Position"), QStringLiteral("Starttermin"),
        QStringLiteral("Länge"), QStringLiteral("Termin"), QStringLiteral("Farbe"),
        QStringLiteral("Text links oben"), QStringLiteral("Text links mitte"),
        QStringLiteral("Text links unten"), QStringLiteral("Text rechts oben"),
        QStringLiteral("Text rechts mitte"), QStringLiteral("Text rechts unten") });

    auto *panel2 = new QSplitter(Qt::Horizontal, this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setChildrenCollapsible(false);
    panel2->addWidget(FConnection);
    panel2->addWidget(FCanvas);
    panel2->addWidget(FSelected);
    panel2->setStretchFactor(1, 1);
    panel2->setSizes({ 103, 640 - 103 - 133, 133 });

    QPushButton *cancel = NamedButton(this, "Button1", "Abbrechen");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel2, 1);
    QHBoxLayout *panel1 = ButtonRow({ cancel });
    panel1->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(panel1);

    // Whatever moves a selected row repaints the line.
    for (TOwnerDrawList *list : { FConnection, FSelected }) {
        connect(list, &QListWidget::currentRowChanged, FCanvas, qOverload<>(&QWidget::update));
        connect(list->verticalScrollBar(), &QScrollBar::valueChanged, FCanvas, qOverload<>(&QWidget::update));
    }
    FCanvas->SetOnPaint(
        [this](TCanvasPanel &, QPainter &canvas, const QRegion &) { PaintBox1Paint(canvas); });
    resize(640, 480);
}

int TReorderEntriesDialog::RowMiddle(const TOwnerDrawList &list)
{
    return (list.ItemIndex() - list.TopIndex()) * list.ItemHeight() + list.ItemHeight() / 2;
}

void TReorderEntriesDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FormActivate();
    QDialog::showEvent(event);
}

void TReorderEntriesDialog::FormActivate()
{
    FConnection->setCurrentRow(0);
    FCanvas->update();
}

void TReorderEntriesDialog::PaintBox1Paint(QPainter &canvas)
{
    canvas.fillRect(FCanvas->rect(), ToQColor(clBtnFace));
    // Without a selected entry on both sides (an empty list has none) there is nothing
    // to join: a line to "row -1" would leave the panel.
    if (FConnection->ItemIndex() < 0 || FSelected->ItemIndex() < 0)
        return;
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setPen(QPen(ToQColor(clHighlight), 3, Qt::SolidLine, Qt::RoundCap));
    canvas.drawLine(0, RowMiddle(*FConnection), FCanvas->width(), RowMiddle(*FSelected));
}

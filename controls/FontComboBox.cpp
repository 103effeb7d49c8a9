#include "controls/FontComboBox.h"

#include "controls/FontPreview.h"
#include "platform/gui/Fonts.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {

const QString kDefaultPreviewText = QStringLiteral("AaBbYyZz");
constexpr int kControlPoints = 10;
constexpr int kDropDownCount = 12;
constexpr int kDefaultWidth = 200;

int ImageIndex(TFontType Type)
{
    switch (Type) {
    case ftTrueTypeAnsi:
        return 0;
    case ftTrueTypeSymbol:
        return 1;
    case ftRaster:
        return 2;
    }
    return 0;
}

// Lets the open list paint its items the way the box does.
class TFontItemDelegate : public QAbstractItemDelegate {
public:
    explicit TFontItemDelegate(TScFontComboBox *Combo)
        : QAbstractItemDelegate(Combo)
        , FCombo(Combo)
    { }

    void paint(QPainter *Painter, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override
    {
        FCombo->DrawItem(
            *Painter, Index.row(), FromQRect(Option.rect), Option.state & QStyle::State_Selected, true);
    }
    QSize sizeHint(const QStyleOptionViewItem &Option, const QModelIndex &) const override
    {
        return { Option.rect.width(), TScFontComboBox::ItemHeight };
    }

private:
    TScFontComboBox *FCombo;
};

} // namespace

TScFontComboBox::TScFontComboBox(QWidget *Parent)
    : QComboBox(Parent)
    , FPreview(new TFormExampleFont(this))
{
    QFont controlFont = font();
    SetFontPoints(controlFont, kControlPoints, DevicePpi(*this));
    setFont(controlFont);
    setMaxVisibleItems(kDropDownCount);
    for (TFontType type : { ftTrueTypeAnsi, ftTrueTypeSymbol, ftRaster })
        FImages[ImageIndex(type)] = FontTypeImage(type);
    setItemDelegate(new TFontItemDelegate(this));
    FListWindow = view()->window();
    FListWindow->installEventFilter(this);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!FDroppedDown && !FCloseUpPending && !FUpdating && currentIndex() >= 0)
            Click();
    });
    connect(this, &QComboBox::highlighted, this, [this](int Index) {
        if (FDroppedDown)
            ShowPreviewOf(Index);
    });
    GetFontNames();
}

TScFontComboBox::~TScFontComboBox()
{
    FListWindow->removeEventFilter(this);
}

void TScFontComboBox::GetFontNames()
{
    QScopedValueRollback<bool> updating(FUpdating, true);
    clear();
    FUsedCount = 0;
    for (const TFontFace &face : FontListItems(ScreenFontFaces(), FFontTypes))
        addItem(face.Name, int(face.Type));
    setCurrentIndex(IndexOfName(FStrFontName));
}

void TScFontComboBox::SetFontTypes(TFontTypes Types)
{
    FFontTypes = Types;
    GetFontNames();
}

int TScFontComboBox::IndexOfName(const QString &Name) const
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i) == Name)
            return i;
    }
    return -1;
}

TFontType TScFontComboBox::TypeOf(int Index) const
{
    return TFontType(itemData(Index).toInt());
}

QString TScFontComboBox::ItemFontType(int Index) const
{
    return Index >= 0 && Index < count() ? FontTypeText(TypeOf(Index)) : QString();
}

void TScFontComboBox::SetFontName(const QString &Name)
{
    const int index = IndexOfName(Name);
    {
        QScopedValueRollback<bool> updating(FUpdating, true);
        setCurrentIndex(index);
    }
    if (index < 0) {
        FStrFontName = Name;
        return;
    }
    ChooseFont();
}

void TScFontComboBox::ChooseFont()
{
    const int index = currentIndex();
    if (index < 0)
        return;
    FStrFontName = itemText(index);
    if (!FBlnMoveUsedToTop || index == 0)
        return;
    QScopedValueRollback<bool> updating(FUpdating, true);
    const int first = IndexOfName(FStrFontName);
    if (first < FUsedCount) {
        const QVariant type = itemData(first);
        removeItem(first);
        insertItem(0, FStrFontName, type);
    } else {
        insertItem(0, FStrFontName, itemData(index));
        ++FUsedCount;
    }
    if (FIntMaxUsed != 0 && FUsedCount > FIntMaxUsed) {
        removeItem(FIntMaxUsed);
        --FUsedCount;
    }
    setCurrentIndex(0);
}

void TScFontComboBox::Click()
{
    FStrFontName = itemText(currentIndex());
    emit Clicked();
}

void TScFontComboBox::CloseUp()
{
    FCloseUpPending = false;
    ChooseFont();
    emit Clicked();
}

void TScFontComboBox::showPopup()
{
    FDroppedDown = true;
    QComboBox::showPopup();
    if (FBlnShowPreview) {
        PlacePreview();
        ShowPreviewOf(currentIndex());
        FPreview->show();
    }
}

void TScFontComboBox::PlacePreview()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const TRect area = FromQRect(screen->geometry());
    const TRect box = FromQRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
    TRect preview
        = Bounds(box.Right, box.Bottom, TFormExampleFont::PreviewWidth, TFormExampleFont::PreviewHeight);
    if (preview.Right > area.Right)
        preview = OffsetRect(preview, box.Left - preview.Right, 0);
    if (preview.Bottom > area.Bottom)
        preview = OffsetRect(preview, 0, box.Top - preview.Bottom);
    FPreview->move(preview.TopLeft());
}

void TScFontComboBox::ShowPreviewOf(int Index)
{
    if (Index < 0 || Index >= count())
        return;
    FPreview->SetSample(itemText(Index), FStrPreviewText.isEmpty() ? kDefaultPreviewText : FStrPreviewText,
        FBlnShowPreviewFontName);
}

bool TScFontComboBox::eventFilter(QObject *Watched, QEvent *Event)
{
    // The list closes by a choice, Escape or a click elsewhere; a choice sets the
    // current item only after the list has gone, so it is applied afterwards.
    if (Watched == FListWindow && Event->type() == QEvent::Hide && FDroppedDown) {
        FDroppedDown = false;
        FPreview->hide();
        FCloseUpPending = true;
        QMetaObject::invokeMethod(this, &TScFontComboBox::CloseUp, Qt::QueuedConnection);
    }
    return QComboBox::eventFilter(Watched, Event);
}

void TScFontComboBox::DrawItem(
    QPainter &Painter, int Index, const TRect &Rect, bool Selected, bool InList) const
{
    if (Index < 0 || Index >= count())
        return;
    Painter.save();
    Painter.setClipRect(ToQRect(Rect));
    Painter.fillRect(ToQRect(Rect), ToQColor(Selected ? clHighlight : clWindow));
    const TFontType type = TypeOf(Index);
    int x = Rect.Left + 4;
    if (FBlnShowImagesFontType) {
        Painter.drawPixmap(Rect.Left + 2, Rect.Top + 1, FImages[ImageIndex(type)]);
        x = Rect.Left + 20;
    }
    const bool used = InList && Index < FUsedCount;
    Painter.setPen(ToQColor(Selected ? clHighlightText : used ? FColorUsed : clWindowText));
    QFont face = font();
    // A symbol face would show its name as symbols.
    if ((InList ? FBlnShowPreviewInList : FBlnShowPreviewInEdit) && type != ftTrueTypeSymbol)
        face.setFamily(itemText(Index));
    Painter.setFont(face);
    TextOutTopLeft(Painter, x, Rect.Top + 1, itemText(Index));
    if (used && Index == FUsedCount - 1) {
        Painter.setPen(ToQColor(clGrayText));
        Painter.drawLine(Rect.Left, Rect.Bottom - 1, Rect.Right - 1, Rect.Bottom - 1);
    }
    Painter.restore();
}

void TScFontComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect edit
        = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawItem(painter, currentIndex(), FromQRect(edit), hasFocus(), false);
}

QSize TScFontComboBox::sizeHint() const
{
    return { kDefaultWidth, QComboBox::sizeHint().height() };
}

#include "mainwindow/EditorScrollBox.h"

#include "controls/AutocompletingEdit.h"
#include "controls/CompletingComboBox.h"
#include "controls/DateTimePopup.h"
#include "document/ChartRows.h"
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/UndoGroup.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/text/CommaText.h"
#include "mainwindow/EditorAutofill.h"
#include "mainwindow/EditorValues.h"
#include "platform/gui/ShellOpen.h"
#include "tables/FilterPass.h"
#include "tables/TableCells.h"
#include "timechart/CanvasPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// The width of the buttons at the right end of a field.
constexpr int kButtonWidth = 15;
constexpr int kFrameHeight = 17;
constexpr int kCaptionHeight = 17;
constexpr int kFrameEditHeight = 21;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
// A pause in typing this long ends the field's undo step.
constexpr int kTypingPause = 1000;

// The sorted texts of a column: every cell of the table, and the autofill
// file's values of its caption.
QStringList CompletionItems(
    const Document &Doc, TWhichTable Table, int Column, const TEditorAutofill &Autofill)
{
    QSet<QString> distinct;
    const DocumentTable &rows = Doc.GetTable(Table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row))
        distinct.insert(CellOf(*row, Column));
    if (Doc.GetHeader(Table, Column)->HasAutofill) {
        for (const QString &value : Autofill.ColumnValues(Doc.GetColumnCaption(Table, Column)))
            distinct.insert(value);
    }
    return QStringList(distinct.cbegin(), distinct.cend());
}

QString CaptionText(const Document &Doc, TWhichTable Table, int Column)
{
    QString text = QStringLiteral("   ") + Doc.GetColumnCaption(Table, Column);
    if (Doc.GetConnection(Table, cnLength) == Column) {
        const bool hours = Doc.GetMinUnit() == muMinute && Table == tbTable;
        text += QLatin1Char(' ') + Translate(hours ? QStringLiteral("(h,min)") : QStringLiteral("(days)"));
    }
    if (Doc.GetHeader(Table, Column)->HasAutofill)
        text += QStringLiteral(" *");
    return text;
}

QToolButton *MakeButton(QWidget *Parent, const QString &Text)
{
    auto *button = new QToolButton(Parent);
    button->setText(Text);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// Focus that moves to another window or into a popup does not leave the field.
bool LeavesField(const QFocusEvent &Event)
{
    return Event.reason() != Qt::PopupFocusReason && Event.reason() != Qt::ActiveWindowFocusReason;
}

} // namespace

QWidget *TEditorRow::Input() const
{
    if (Date)
        return Date;
    if (Combo)
        return Combo;
    if (Number)
        return Number;
    if (Check)
        return Check;
    return Text;
}

QString TEditorRow::Value() const
{
    if (Date)
        return Date->text();
    if (Combo)
        return Combo->currentText();
    if (Number)
        return Number->text();
    if (Check)
        return Check->isChecked() ? QStringLiteral("Ja") : QStringLiteral("Nein");
    return Text ? Text->text() : QString();
}

TEditorScrollBox::TEditorScrollBox(
    Document &Doc, IEditorHost &Host, const TEditorAutofill &Autofill, QWidget *Parent)
    : QScrollArea(Parent)
    , FDoc(Doc)
    , FHost(Host)
    , FAutofill(Autofill)
    , FContent(new QWidget)
    , FPropertyName(new QWidget(FContent))
    , FPropertyValue(new QWidget(FContent))
    , FDateTimePopup(new TDateTimePopup(this))
{
    setObjectName(QStringLiteral("EditorScrollBox"));
    FPropertyName->setObjectName(QStringLiteral("PropertyName"));
    FPropertyValue->setObjectName(QStringLiteral("PropertyValue"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(FContent);
    FContent->installEventFilter(this);
    FPropertyName->installEventFilter(this);
    FPropertyValue->installEventFilter(this);
    FRowHeight = QLineEdit().sizeHint().height() + 6;
    FTypingPause.setSingleShot(true);
    FTypingPause.setInterval(kTypingPause);
    connect(&FTypingPause, &QTimer::timeout, this, &TEditorScrollBox::EndTyping);
}

TEditorScrollBox::~TEditorScrollBox()
{
    EndTyping();
    // A popup still open lets its loop end before the fields go.
    FDateTimePopup->CloseDropDown();
}

const TEditorRow *TEditorScrollBox::RowOf(int Column) const
{
    for (const auto &row : FRows) {
        if (row->Column == Column)
            return row.get();
    }
    return nullptr;
}

void TEditorScrollBox::ClearRows()
{
    EndTyping();
    ++FGeneration;
    FRowOf.clear();
    // The old controls may still be in one of their own handlers: they are cut
    // off from the editor at once and freed later.
    const QList<QWidget *> children = FPropertyName->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)
        + FPropertyValue->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        child->removeEventFilter(this);
        child->disconnect(this);
        child->hide();
        child->deleteLater();
        child->setParent(nullptr);
    }
    FRows.clear();
}

void TEditorScrollBox::Rebuild(TWhichTable Table)
{
    FTable = Table;
    ClearRows();
    FRowHeight = QLineEdit().sizeHint().height() + 6;
    for (int column = 0; column < FDoc.GetTableColCount(Table); ++column) {
        if (FHost.IsColumnVisible(Table, column))
            MakeRow(column);
    }
    FContent->setMinimumHeight(ScrollRange());
    LayOutRows();
}

void TEditorScrollBox::UpdateCaptions()
{
    for (const auto &row : FRows)
        row->Caption->setText(CaptionText(FDoc, FTable, row->Column));
}

void TEditorScrollBox::MakeRow(int Column)
{
    auto row = std::make_unique<TEditorRow>();
    row->Column = Column;
    row->Type = FDoc.GetColumnType(FTable, Column);
    row->Frame = new TRoundRect(FPropertyName);
    row->Frame->SetColors(kCaptionFramePen, CaptionFrameBrush(FDoc.GetColumnConnection(FTable, Column)));
    row->Caption = new QLabel(CaptionText(FDoc, FTable, Column), FPropertyName);
    row->Caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FRowOf.insert(row->Caption, row.get());
    row->Caption->installEventFilter(this);
    MakeInput(*row);
    for (QWidget *widget : { static_cast<QWidget *>(row->Frame), static_cast<QWidget *>(row->Caption) })
        widget->show();
    FRows.push_back(std::move(row));
}

void TEditorScrollBox::MakeInput(TEditorRow &Row)
{
    const int column = Row.Column;
    switch (Row.Type) {
    case ctDate: {
        Row.Date = new QLineEdit(FPropertyValue);
        Row.Date->setObjectName(QStringLiteral("__date%1").arg(column));
        connect(Row.Date, &QLineEdit::textEdited, this, [this, &Row] { EditChange(Row); });
        if (FDoc.GetConnection(FTable, cnEnd) == column) {
            Row.Date->setEnabled(false);
            Row.Date->setToolTip(Translate(QStringLiteral("Enddate cannot be edited")));
            break;
        }
        Row.Date->setTextMargins(0, 0, kButtonWidth, 0);
        Row.DateButton = new TCanvasPanel(FPropertyValue);
        Row.DateButton->setObjectName(QStringLiteral("__button%1").arg(column));
        Row.DateButton->SetOnPaint([this, &Row](TCanvasPanel &, QPainter &canvas, const QRegion &) {
            CanvasPanelPaint(Row, canvas);
        });
        Row.DateButton->SetOnMouseEnter([&Row](TCanvasPanel &sender) {
            Row.DateButtonHot = true;
            sender.update();
        });
        Row.DateButton->SetOnMouseLeave([&Row](TCanvasPanel &sender) {
            Row.DateButtonHot = false;
            sender.update();
        });
        Row.DateButton->SetOnMouseUp([this, &Row](TCanvasPanel &sender, QMouseEvent &event) {
            if (event.button() == Qt::LeftButton && sender.rect().contains(event.position().toPoint()))
                CanvasPanelClick(Row);
        });
        break;
    }
    case ctPulldown:
        MakeCombo(Row);
        break;
    case ctNumber:
        Row.Number = new QLineEdit(FPropertyValue);
        Row.Shade = TFieldShade::Initial;
        connect(Row.Number, &QLineEdit::textEdited, this, [this, &Row] { EditChange(Row); });
        break;
    case ctCheckBox:
        Row.Check = new QCheckBox(FPropertyValue);
        Row.Shade = TFieldShade::Initial;
        connect(Row.Check, &QCheckBox::clicked, this, [this, &Row] { EditChange(Row); });
        break;
    case ctText:
    case ctLink:
        Row.Text = new TAutocompletingEdit(FPropertyValue);
        // A start with a large table would otherwise collect every text
        // column's values before the window shows.
        Row.Text->SetItemsSource(
            [this, table = FTable, column] { return CompletionItems(FDoc, table, column, FAutofill); });
        connect(Row.Text, &TAutocompletingEdit::Edited, this, [this, &Row] { EditChange(Row); });
        if (Row.Type == ctLink) {
            Row.LinkButton = MakeButton(FPropertyValue, QStringLiteral("..."));
            Row.LinkButton->setObjectName(QStringLiteral("__button%1").arg(column));
            connect(Row.LinkButton, &QToolButton::clicked, this, [this, &Row] { LinkPanelClick(Row); });
        }
        break;
    }
    QWidget *input = Row.Input();
    if (Row.Type != ctDate)
        input->setObjectName(QStringLiteral("__edit%1").arg(column));
    SetFieldColor(*input, FieldColor(Row.Shade));
    Watch(*input, Row);
    if (FDoc.GetHeader(FTable, column)->HasUniqueAutofill) {
        Row.AutofillButton = MakeButton(FPropertyValue, QStringLiteral("A"));
        Row.AutofillButton->setObjectName(QStringLiteral("__autofill%1").arg(column));
        connect(Row.AutofillButton, &QToolButton::clicked, this, [this, &Row] { AutofillPanelClick(Row); });
    }
    for (QWidget *widget : { input, static_cast<QWidget *>(Row.DateButton),
             static_cast<QWidget *>(Row.LinkButton), static_cast<QWidget *>(Row.AutofillButton) }) {
        if (widget) {
            widget->show();
            widget->raise();
        }
    }
}

void TEditorScrollBox::MakeCombo(TEditorRow &Row)
{
    const int column = Row.Column;
    Row.Combo = new TCompletingComboBox(FPropertyValue);
    const bool colour = FDoc.GetConnection(FTable, cnColor) == column;
    const bool position = FDoc.GetConnection(FTable, cnPosition) == column;
    Row.Combo->setEditable(!colour && !position);
    Row.Combo->SetTextCompletion(true);
    Row.Combo->setMaxVisibleItems(16);
    FillComboItems(Row);
    if (colour) {
        const TDocumentSetup &setup = FDoc.Setup();
        auto *colors
            = new TColorItemDelegate(FTable == tbTable ? setup.FColors : setup.FHolidayColors, Row.Combo);
        colors->Install(*Row.Combo);
    }
    connect(Row.Combo, &TCompletingComboBox::Edited, this, [this, &Row] { EditChange(Row); });
}

QStringList TEditorScrollBox::ComboItemsSource(const TEditorRow &Row) const
{
    if (FDoc.GetConnection(FTable, cnPosition) == Row.Column)
        return FDoc.ChartRows().NoAutoGlobalPositionFilter();
    return FDoc.GetColumnStrings(FTable, Row.Column);
}

void TEditorScrollBox::FillComboItems(TEditorRow &Row)
{
    Row.ItemsSource = ComboItemsSource(Row);
    QStringList items;
    items.reserve(Row.ItemsSource.size() + 1);
    for (const QString &item : Row.ItemsSource)
        items.append(TCommaText(item).Item(0));
    if (FTable == tbExclude && FDoc.GetConnection(FTable, cnPosition) == Row.Column)
        items.append(QStringLiteral("*"));
    Row.Combo->clear();
    Row.Combo->addItems(items);
    Row.Combo->setCurrentIndex(-1);
}

void TEditorScrollBox::Watch(QWidget &Widget, TEditorRow &Row)
{
    FRowOf.insert(&Widget, &Row);
    Widget.installEventFilter(this);
}

void TEditorScrollBox::LayOutRows()
{
    const int h = FRowHeight;
    // The captions set the width of PropertyName (at least one pixel).
    int nameWidth = 1;
    for (const auto &row : FRows)
        nameWidth = std::max(nameWidth, row->Caption->sizeHint().width() + 11);
    const int contentHeight = std::max(FContent->height(), ScrollRange());
    FPropertyName->setGeometry(0, 0, nameWidth, contentHeight);
    const int valueWidth = std::max(0, FContent->width() - nameWidth);
    FPropertyValue->setGeometry(nameWidth, 0, valueWidth, contentHeight);

    for (std::size_t r = 0; r < FRows.size(); ++r) {
        const TEditorRow &row = *FRows[r];
        const int top = int(r) * h;
        row.Frame->setGeometry(4, top + (h - kFrameEditHeight) / 2, nameWidth - 9, kFrameHeight);
        row.Caption->setGeometry(0, top + (h - kCaptionHeight) / 2, row.Caption->sizeHint().width(), h);
        QWidget *input = row.Input();
        const int inputWidth = valueWidth - (row.AutofillButton ? kButtonWidth : 0);
        input->setGeometry(0, top + (row.Check ? 2 : 0), inputWidth, input->sizeHint().height());
        const int buttonLeft = valueWidth - kButtonWidth;
        if (row.DateButton)
            row.DateButton->setGeometry(buttonLeft, top - 1, kButtonWidth, h - 1);
        if (row.LinkButton)
            row.LinkButton->setGeometry(buttonLeft + 2, top + 2, kButtonWidth, h - 7);
        if (row.AutofillButton)
            row.AutofillButton->setGeometry(buttonLeft, top - 1, kButtonWidth, h - 1);
    }
}

void TEditorScrollBox::Refresh()
{
    const TEditorValues values = CollectEditorValues(FDoc, FTable);
    emit StatusTextChanged(
        Translate(QStringLiteral("%s items selected"), { QString::number(values.Selected) }));
    if (FUpdateEditor)
        return;
    FUpdateEditor = true;
    for (const auto &row : FRows) {
        // The pulldowns follow the setup (positions renamed or removed, items
        // edited, another group shown).
        if (row->Combo && ComboItemsSource(*row) != row->ItemsSource) {
            FillComboItems(*row);
            row->Combo->setPlaceholderText(QString());
        }
        if (std::size_t(row->Column) >= values.Columns.size())
            continue;
        const TEditorValue &value = values.Columns[std::size_t(row->Column)];
        row->Shade = value.Differs ? TFieldShade::Differing : TFieldShade::Shared;
        SetFieldColor(*row->Input(), FieldColor(row->Shade));
        if (!FMultiEditUpdate)
            ShowValue(*row, value.Value);
    }
    FUpdateEditor = false;
}

void TEditorScrollBox::ShowValue(TEditorRow &Row, const QString &Value)
{
    // Setting an unchanged text would move the caret of a field being typed in.
    auto setText = [&Value](QLineEdit &edit) {
        if (edit.text() != Value)
            edit.setText(Value);
    };
    if (Row.Date)
        setText(*Row.Date);
    else if (Row.Number)
        setText(*Row.Number);
    else if (Row.Text)
        setText(*Row.Text);
    else if (Row.Check)
        Row.Check->setChecked(Value == QStringLiteral("Ja"));
    else if (Row.Combo && Row.Combo->currentText() != Value) {
        const int index = Row.Combo->findText(Value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        Row.Combo->setCurrentIndex(index);
        // A value that is no item is shown as it stands.
        if (index < 0 && Row.Combo->isEditable())
            Row.Combo->setEditText(Value);
        else if (index < 0)
            Row.Combo->setPlaceholderText(Value);
    }
}

void TEditorScrollBox::EditChange(TEditorRow &Row)
{
    if (FUpdateEditor)
        return;
    const int selected = FDoc.SelectedCount(FTable);
    // A field of differing rows is written to all of them only once it holds a
    // text; a check box holds its state.
    FMultiEditUpdate = selected >= 2 && (Row.Check || !Row.Value().isEmpty());
    // A click on a check box is a step of its own; keystrokes go on the field's.
    if (Row.Check)
        EndTyping();
    {
        const TUndoGroup group(FDoc, Row.Check ? FDoc.UndoRedo().GetGroupIndex() : TypingGroup(Row));
        const RowBatch batch(FDoc);
        for (TNodeData *node : FDoc.GetTable(FTable).SelectedRows())
            CB_SetData(*node, Row);
    }
    FMultiEditUpdate = false;
    if (FTyping.Row == &Row) {
        FTyping.UndoCount = FDoc.UndoRedo().undoList().size();
        FTypingPause.start();
    }
}

int TEditorScrollBox::TypingGroup(const TEditorRow &Row)
{
    // Another step recorded since the last keystroke (an undo, a command) ends
    // the typing as leaving the field does.
    if (FTyping.Row != &Row || FDoc.UndoRedo().undoList().size() != FTyping.UndoCount) {
        EndTyping();
        FTyping.Row = &Row;
        FTyping.Group = FDoc.UndoRedo().GetGroupIndex();
        FTyping.Hold = std::make_unique<SharedRecordsHold>(FDoc);
    }
    return FTyping.Group;
}

void TEditorScrollBox::EndTyping()
{
    FTypingPause.stop();
    FTyping = {};
}

void TEditorScrollBox::CB_SetData(TNodeData &Node, TEditorRow &Row)
{
    if (Row.Shade == TFieldShade::Differing && !FMultiEditUpdate)
        return;
    FDoc.SetData(&Node, Row.Column, Row.Value());
    if (Row.Shade != TFieldShade::Shared) {
        Row.Shade = TFieldShade::Shared;
        SetFieldColor(*Row.Input(), FieldColor(Row.Shade));
    }
}

void TEditorScrollBox::EditorEnter()
{
    RefilterRows(FDoc, FTable, feSelected);
}

void TEditorScrollBox::EditorExit(TEditorRow &Row)
{
    if (Row.Text)
        Row.Text->AddItem(Row.Text->text());
}

void TEditorScrollBox::DateEditExit(TEditorRow &Row)
{
    const QString text = Row.Date->text();
    TDateTime date = 0;
    // A text that is no date stays as typed: the rows show it as incomplete.
    if (text.isEmpty() || !FDoc.TryStrToDateTime(text, date))
        return;
    const QString formatted = FDoc.FormatDateTime(date);
    if (formatted == text)
        return;
    Row.Date->setText(formatted);
    EditChange(Row);
}

void TEditorScrollBox::CanvasPanelPaint(const TEditorRow &Row, QPainter &Canvas) const
{
    TDateButtonState state = TDateButtonState::Normal;
    if (FPopupColumn == Row.Column)
        state = TDateButtonState::Disabled;
    else if (Row.DateButtonHot)
        state = TDateButtonState::Hot;
    PaintDateButton(Canvas, Row.DateButton->GetClientRect(), state, *Row.DateButton->style());
}

void TEditorScrollBox::CanvasPanelClick(TEditorRow &Row)
{
    if (FPopupColumn >= 0)
        return;
    TDateTimePopup &popup = *FDateTimePopup;
    popup.SetTag(Row.Column);
    FPopupColumn = Row.Column;
    Row.DateButton->update();

    TDateTime shown = 0;
    if (!FDoc.TryStrToDateTime(Row.Date->text(), shown))
        shown = Now();
    popup.SetDate(shown);

    // Below the field, else above it; kept inside the screen on the right.
    const QRect field(Row.Date->mapToGlobal(QPoint(0, 0)), Row.Date->size());
    const QScreen *screen = Row.Date->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    int left = field.left();
    int top = field.top() + field.height();
    if (top + popup.height() > area.bottom() + 1)
        top = field.top() - popup.height();
    if (left + popup.width() > area.right() + 1)
        left = area.right() + 1 - popup.width();

    const QPointer<TEditorScrollBox> self(this);
    const int generation = FGeneration;
    popup.RollDownForm(window(), left, -1, -1, top);
    if (!self)
        return;
    FPopupColumn = -1;
    // The fields may have been made anew while the popup was open.
    if (generation != FGeneration)
        return;
    Row.DateButtonHot = false;
    Row.DateButton->update();
    if (popup.ModalResult() == mrOk)
        DateTimePopupChange(Row);
}

void TEditorScrollBox::DateTimePopupChange(TEditorRow &Row)
{
    TDateTime old = 0;
    const TDateTime time = FDoc.TryStrToDateTime(Row.Date->text(), old) ? TimePart(old) : 0;
    Row.Date->setText(FDoc.FormatDateTime(DatePart(FDateTimePopup->GetDate()) + time));
    EditChange(Row);
}

void TEditorScrollBox::LinkPanelClick(const TEditorRow &Row)
{
    const TShellTarget target = ShellTarget(Row.Value());
    if (target.Url.isEmpty())
        return;
    if (!target.Safe
        && MessageDlg(Translate(QStringLiteral("Open %s?"), { target.Url.toDisplayString() }), mtConfirmation,
               { mbYes, mbNo })
            != mrYes)
        return;
    FHost.OpenLink(target.Url);
}

void TEditorScrollBox::AutofillPanelClick(const TEditorRow &Row)
{
    FAutofill.Autofill(
        FDoc, FTable, FDoc.GetColumnCaption(FTable, Row.Column), Row.Date ? QString() : Row.Value());
}

void TEditorScrollBox::ScrollBoxClick()
{
    if (QWidget *focused = window()->focusWidget())
        focused->clearFocus();
}

void TEditorScrollBox::WheelPage(QWheelEvent &Event)
{
    Event.accept();
    FWheelRest += Event.angleDelta().y();
    QScrollBar &bar = *verticalScrollBar();
    while (FWheelRest <= -kWheelNotch) {
        FWheelRest += kWheelNotch;
        bar.setValue(bar.value() + bar.pageStep());
    }
    while (FWheelRest >= kWheelNotch) {
        FWheelRest -= kWheelNotch;
        bar.setValue(bar.value() - bar.pageStep());
    }
}

void TEditorScrollBox::wheelEvent(QWheelEvent *Event)
{
    WheelPage(*Event);
}

bool TEditorScrollBox::eventFilter(QObject *Watched, QEvent *Event)
{
    switch (Event->type()) {
    case QEvent::Resize:
        if (Watched == FContent)
            LayOutRows();
        break;
    case QEvent::Wheel:
        // Over a list the wheel would change the value of every selected row.
        WheelPage(*static_cast<QWheelEvent *>(Event));
        return true;
    case QEvent::MouseButtonRelease: {
        const TEditorRow *row = FRowOf.value(Watched);
        if (Watched == FPropertyName || Watched == FPropertyValue || (row && row->Caption == Watched))
            ScrollBoxClick();
        break;
    }
    case QEvent::FocusIn:
        if (FRowOf.contains(Watched))
            EditorEnter();
        break;
    case QEvent::FocusOut: {
        TEditorRow *row = FRowOf.value(Watched);
        if (!row || !LeavesField(*static_cast<QFocusEvent *>(Event)))
            break;
        if (row->Date)
            DateEditExit(*row);
        else if (row->Text)
            EditorExit(*row);
        if (FTyping.Row == row)
            EndTyping();
        break;
    }
    case QEvent::KeyPress: {
        const auto &key = *static_cast<QKeyEvent *>(Event);
        const bool undo = key.matches(QKeySequence::Undo);
        if (!FRowOf.contains(Watched) || (!undo && !key.matches(QKeySequence::Redo)))
            break;
        EndTyping();
        FHost.EditorUndo(!undo);
        return true;
    }
    default:
        break;
    }
    return QScrollArea::eventFilter(Watched, Event);
}

#pragma once

#include "document/DocumentTypes.h"
#include "mainwindow/EditorFields.h"

#include <QHash>
#include <QScrollArea>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

class Document;
class SharedRecordsHold;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TAutocompletingEdit;
class TCanvasPanel;
class TCompletingComboBox;
class TDateTimePopup;
class TEditorAutofill;

// What the editor needs of the window around it.
class IEditorHost {
public:
    virtual ~IEditorHost() = default;
    // Whether the table's tree shows the column (its option "visible").
    virtual bool IsColumnVisible(TWhichTable Table, int Column) const = 0;
    // Opens an address with the desktop's handler.
    virtual void OpenLink(const QUrl &Url) = 0;
    // Undoes (or redoes) the document's last step: in a field the undo keys
    // mean the document's steps, not the field's own keystrokes.
    virtual void EditorUndo(bool Redo) = 0;
};

// The controls the editor makes for one visible column; the input is one of
// date, combo, number, check and text.
struct TEditorRow {
    int Column = -1; // the column index (the controls' tag)
    TColumnType Type = ctText;
    TRoundRect *Frame = nullptr;
    QLabel *Caption = nullptr;
    QLineEdit *Date = nullptr;
    TCanvasPanel *DateButton = nullptr;
    TCompletingComboBox *Combo = nullptr;
    QLineEdit *Number = nullptr;
    QCheckBox *Check = nullptr;
    TAutocompletingEdit *Text = nullptr;
    QToolButton *LinkButton = nullptr;
    QToolButton *AutofillButton = nullptr;
    // How the field is coloured: a differing field is written only once the
    // user typed a text into it.
    TFieldShade Shade = TFieldShade::Shared;
    bool DateButtonHot = false;
    // The list a pulldown's items were made from (the positions of the shown
    // group, or the column's pulldown items): they are made anew when it changes.
    QStringList ItemsSource;

    QWidget *Input() const;
    // The text the field would write into a cell ("Ja" or "Nein" for a check box).
    QString Value() const;
};

// Typing in one field: its keystrokes, from entering the field until leaving
// it or a pause, are one undo step, and their records are held back from the
// other instances until then (they get the typed value, not each keystroke).
struct TEditorTyping {
    const TEditorRow *Row = nullptr;
    int Group = -1; // the undo group of the keystrokes
    std::size_t UndoCount = 0; // the undo list's length after the last keystroke
    std::unique_ptr<SharedRecordsHold> Hold;
};

// The editor: one input per visible column of the active table, beside the
// column captions, for the selected rows; what the user enters is written to
// every selected row. The captions are on PropertyName, the inputs on
// PropertyValue.
class TEditorScrollBox : public QScrollArea {
    Q_OBJECT
public:
    TEditorScrollBox(
        Document &Doc, IEditorHost &Host, const TEditorAutofill &Autofill, QWidget *Parent = nullptr);
    ~TEditorScrollBox() override;

    // Makes the fields for the visible columns of the table anew.
    void Rebuild(TWhichTable Table);
    // The first field's input, or none: Tab from the table goes there.
    QWidget *FirstField() const { return FRows.empty() ? nullptr : FRows.front()->Input(); }
    // Sets the fields' captions anew (another language names their units anew).
    void UpdateCaptions();
    // Shows the selected rows' values in the fields.
    void Refresh();

    TWhichTable Table() const { return FTable; }
    // The height of one field row.
    int RowHeight() const { return FRowHeight; }
    // The scrolled height: one row more than there are fields.
    int ScrollRange() const { return (int(FRows.size()) + 1) * FRowHeight; }
    bool HasFields() const { return !FRows.empty(); }
    const std::vector<std::unique_ptr<TEditorRow>> &Rows() const { return FRows; }
    // The row of a column, or none when the column has no field.
    const TEditorRow *RowOf(int Column) const;
    QWidget *PropertyName() const { return FPropertyName; }
    QWidget *PropertyValue() const { return FPropertyValue; }
    TDateTimePopup &DateTimePopup() const { return *FDateTimePopup; }
    // Beside the tables the editor starts as wide as its window does.
    QSize sizeHint() const override { return QSize(300, 300); }

signals:
    // The editor window's status text.
    void StatusTextChanged(const QString &Text);

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;
    void wheelEvent(QWheelEvent *Event) override;

private:
    void ClearRows();
    void MakeRow(int Column);
    void MakeInput(TEditorRow &Row);
    void MakeCombo(TEditorRow &Row);
    // What a pulldown offers now: the list its items come from.
    QStringList ComboItemsSource(const TEditorRow &Row) const;
    void FillComboItems(TEditorRow &Row);
    void LayOutRows();
    void Watch(QWidget &Widget, TEditorRow &Row);
    void ShowValue(TEditorRow &Row, const QString &Value);

    void EditChange(TEditorRow &Row);
    // The undo group of a keystroke in the field: that of the typing going on
    // in it, or a new one when it begins.
    int TypingGroup(const TEditorRow &Row);
    void EndTyping();
    void CB_SetData(TNodeData &Node, TEditorRow &Row);
    void EditorEnter();
    void EditorExit(TEditorRow &Row);
    void DateEditExit(TEditorRow &Row);
    void CanvasPanelClick(TEditorRow &Row);
    void CanvasPanelPaint(const TEditorRow &Row, QPainter &Canvas) const;
    void DateTimePopupChange(TEditorRow &Row);
    void LinkPanelClick(const TEditorRow &Row);
    void AutofillPanelClick(const TEditorRow &Row);
    void ScrollBoxClick();
    // One page of the vertical scroll bar per wheel notch.
    void WheelPage(QWheelEvent &Event);

    Document &FDoc;
    IEditorHost &FHost;
    const TEditorAutofill &FAutofill;
    TWhichTable FTable = tbTable;
    QWidget *FContent;
    QWidget *FPropertyName;
    QWidget *FPropertyValue;
    TDateTimePopup *FDateTimePopup;
    std::vector<std::unique_ptr<TEditorRow>> FRows;
    QHash<QObject *, TEditorRow *> FRowOf;
    int FRowHeight = 0;
    // Set while the editor writes values into its fields.
    bool FUpdateEditor = false;
    // Set while a change is written to several rows.
    bool FMultiEditUpdate = false;
    // The column whose date popup is open, -1 for none.
    int FPopupColumn = -1;
    // Counts the rebuilds, so a popup's return can tell its fields are gone.
    int FGeneration = 0;
    int FWheelRest = 0;
    TEditorTyping FTyping;
    // A pause this long ends the typing in a field.
    QTimer FTypingPause;
};

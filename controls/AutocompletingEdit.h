#pragma once

#include <QCollator>
#include <QLineEdit>
#include <QStringList>
#include <functional>

// An edit box that completes the typed text from a sorted list: the completed rest
// is selected, so typing on replaces it. With LimitToList only list items (or the
// empty text) can be entered. Items compare case-sensitively in the user's locale.
class TAutocompletingEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TAutocompletingEdit(QWidget *Parent = nullptr);

    // The list stays sorted and holds every text once; setting it copies Items
    // (sorted when it is first needed: a list of a whole table's texts costs
    // nothing until the box is typed into).
    const QStringList &Items() const;
    void SetItems(const QStringList &Items);
    // The same, with the list read from Source when it is first needed (a
    // whole table's texts are collected only for a box that is used).
    void SetItemsSource(std::function<QStringList()> Source);
    // Adds Item at its sorted place (nothing when it is held already); its index.
    int AddItem(const QString &Item);

    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    bool LimitToList() const { return FLimitToList; }
    void SetLimitToList(bool Value) { FLimitToList = Value; }
    // The current text was completed by the control (cleared by the next key).
    bool AutoCompleted() const { return FAutoCompleted; }

    int ItemIndex() const { return FItemIndex; }
    // A valid index shows that item; any other value shows the empty text.
    void SetItemIndex(int Index);

    // Sets the text; with LimitToList it is matched against the list, so a text
    // that begins no item becomes empty.
    void SetText(const QString &Text);
    // Empties the text and the list.
    void Clear();

    // Completes Text from the list (see the key handling); true when the control
    // took over the text.
    bool SelectItem(QString Text);

signals:
    // Every change of the text, and once more when the control is left with a
    // completed text.
    void Change();
    // The same, but only for the user's changes: typing, a completion, and the
    // leaving with a completed text (never a text set by code).
    void Edited();

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void focusOutEvent(QFocusEvent *Event) override;

private:
    // The completion's part of a typed character; true when it consumed the key.
    bool KeyPress(const QString &Key);
    int FindInsertPlace(const QString &Item, bool &Found) const;
    void SortItems() const;

    mutable QStringList FItems;
    mutable std::function<QStringList()> FItemsSource;
    mutable bool FItemsSorted = true;
    QCollator FCollator;
    bool FAutoComplete = true;
    bool FAutoCompleted = false;
    bool FLimitToList = false;
    int FItemIndex = -1;
};

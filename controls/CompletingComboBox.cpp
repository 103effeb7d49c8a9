#include "controls/CompletingComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

TCompletingComboBox::TCompletingComboBox(QWidget *Parent)
    : QComboBox(Parent)
{
    // Enter takes the text as it is; the items are the caller's list.
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::activated, this, &TCompletingComboBox::Edited);
}

void TCompletingComboBox::WatchLineEdit()
{
    // The edit box comes and goes with the editable style; the user reaches it
    // only through the focused box, so it is watched from then on.
    QLineEdit *edit = lineEdit();
    if (!edit)
        return;
    // Qt gives every editable combo box a completer of its own, which would
    // complete before us and by other rules.
    if (edit->completer())
        setCompleter(nullptr);
    connect(edit, &QLineEdit::textEdited, this, &TCompletingComboBox::Edited, Qt::UniqueConnection);
}

void TCompletingComboBox::focusInEvent(QFocusEvent *Event)
{
    WatchLineEdit();
    QComboBox::focusInEvent(Event);
}

void TCompletingComboBox::keyPressEvent(QKeyEvent *Event)
{
    WatchLineEdit();
    QComboBox::keyPressEvent(Event);
}

bool TCompletingComboBox::CompleteText(const QKeyEvent &Event)
{
    if (!FTextCompletion || !lineEdit())
        return false;
    switch (Event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Shift:
        return false;
    default:
        break;
    }
    // Only a key that typed something completes: arrows, Enter and shortcuts keep
    // the chosen item, so an item that begins like an earlier one stays reachable.
    const QString typedKey = Event.text();
    if (typedKey.isEmpty() || !typedKey.at(0).isPrint()
        || (Event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const QString typed = lineEdit()->text();
    if (typed.isEmpty())
        return false;
    const int index = findText(typed, Qt::MatchStartsWith);
    if (index < 0)
        return false;
    const QString item = itemText(index);
    setCurrentIndex(index);
    lineEdit()->setText(item);
    lineEdit()->setSelection(typed.size(), item.size() - typed.size());
    return true;
}

void TCompletingComboBox::keyReleaseEvent(QKeyEvent *Event)
{
    if (CompleteText(*Event)) {
        Event->accept();
        emit Edited();
        return;
    }
    QComboBox::keyReleaseEvent(Event);
}

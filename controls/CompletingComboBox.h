#pragma once

#include <QComboBox>

// A combo box that completes the typed text from its items: after each typed
// character the first item beginning with the text (ignoring case) is chosen and
// its untyped rest selected. Its change event is currentTextChanged, which fires
// for typing, for a choice from the list and for a completion (and for texts set
// by code); Edited fires for the user's changes only.
class TCompletingComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TCompletingComboBox(QWidget *Parent = nullptr);

    bool TextCompletion() const { return FTextCompletion; }
    void SetTextCompletion(bool Value) { FTextCompletion = Value; }

signals:
    // The user typed, completed or chose an item.
    void Edited();

protected:
    void focusInEvent(QFocusEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    void keyReleaseEvent(QKeyEvent *Event) override;

private:
    void WatchLineEdit();
    bool CompleteText(const QKeyEvent &Event);

    bool FTextCompletion = false;
};

#pragma once

#include "dialogs/setup/SetupState.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Edit Column": a column's name, its type and, for a pulldown column, its
// items one per line. For the column bound to Position the items are the
// positions: instead of the lines it offers "Edit resources...".
class TEditTableColumnDialog : public QDialog {
    Q_OBJECT

public:
    explicit TEditTableColumnDialog(QWidget *parent = nullptr);

    // Shows the column modally; true on OK. `positions`: the column bound to
    // Position; `typeLocked`: a role fixes the column's type.
    bool Execute(const TSetupColumn &column, bool positions, bool typeLocked);
    // The types' names in the language chosen now, which may not be the one the
    // dialog was made in.
    void TranslateTypes();
    QString Name() const;
    TColumnType Type() const;
    // The item lines as the memo holds them.
    QStringList Lines() const;

    // "Edit resources..." was pressed.
    std::function<void()> OnEditResources;

    QLineEdit *Edit1() const { return FEdit1; }
    QComboBox *ComboBox1() const { return FComboBox1; }
    QPlainTextEdit *Memo1() const { return FMemo1; }
    QLabel *Label3() const { return FLabel3; }
    QPushButton *Button3() const { return FButton3; }
    QPushButton *ButtonOK() const { return FButtonOK; }

private:
    void ComboBox1Change();
    void ButtonOKClick();

    QLineEdit *FEdit1;
    QComboBox *FComboBox1;
    QLabel *FLabel3;
    QPlainTextEdit *FMemo1;
    // The raw comma text of the items, kept while the type shows no lines.
    QLineEdit *FEdit2;
    QPushButton *FButton3;
    QPushButton *FButtonOK;
};

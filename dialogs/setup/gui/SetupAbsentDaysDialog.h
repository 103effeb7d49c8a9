#pragma once

#include "dialogs/setup/gui/SetupDialog.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

// Edit Table "Absent days": the absence reasons, one per line, and what a new
// absent day starts with (its reason, and whether its length counts working
// days).
class TSetupAbsentDaysDialog : public TSetupDialog {
    Q_OBJECT

public:
    TSetupAbsentDaysDialog(TSetupState &state, TSetupOk ok, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1() const { return FMemo1; }
    QComboBox *ComboBox1() const { return FComboBox1; }
    QCheckBox *CheckBox1() const { return FCheckBox1; }
    QPushButton *Button1() const { return FButton1; }

protected:
    void FormActivate() override;
    void StoreSection() override;
    QString Refusal() override;

private:
    void Memo1Change();

    QPlainTextEdit *FMemo1;
    QComboBox *FComboBox1;
    QCheckBox *FCheckBox1;
    QPushButton *FButton1;
};

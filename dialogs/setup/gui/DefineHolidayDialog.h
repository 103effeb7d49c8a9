#pragma once

#include "dialogs/setup/gui/SetupDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TGridNode;
class TStringGridTree;

// A holiday as the holiday list keeps it in its rows; the row's check box is
// whether the holiday is enabled.
struct THolidayNodeData {
    QString name;
    int day = 1; // day of month, or days from Easter Sunday
    int month = 1; // 1..12, 0 for a day counted from Easter
    bool easter = false;
};

// "Setup Holiday": the public holidays, each a fixed day of a month or a day
// counted from Easter Sunday, each enabled or not. A name identifies a
// holiday: adding one under a name in the list adds nothing.
class TDefineHolidayDialog : public TSetupDialog {
    Q_OBJECT

public:
    TDefineHolidayDialog(TSetupState &state, TSetupOk ok, QWidget *parent = nullptr);

    // Adds a row unless one of that name exists; the row, or null.
    TGridNode *AddHoliday(const THolidayData &holiday);
    TGridNode *FindHoliday(const QString &name);
    int Count() const;
    // The holiday of row `index`, enabled as its check box says.
    THolidayData GetItem(int index) const;
    bool GetChecked(int index) const;
    TGridNode *GetSelected() const;
    void SetSelected(TGridNode *node);
    THolidayNodeData *HolidayNodeData(TGridNode *node) const;
    TGridNode *Node(int index) const;

    TStringGridTree *StringGridTree1() const { return FStringGridTree1; }
    QLineEdit *Edit3() const { return FEdit3; }
    QRadioButton *RadioButton3() const { return FRadioButton3; }
    QRadioButton *RadioButton4() const { return FRadioButton4; }
    QSpinBox *Edit1() const { return FEdit1; }
    QSpinBox *Edit2() const { return FEdit2; }
    QComboBox *ComboBox2() const { return FComboBox2; }
    QPushButton *Button(const char *name) const;

protected:
    void FormActivate() override;
    void StoreSection() override;
    QString Refusal() override;

private:
    void StringGridTree1Change();
    void Edit3Change();
    void Edit1Change();
    void Edit2Change();
    void DayChange(const QRadioButton *kind, const QSpinBox *edit, QSpinBox *other);
    void ComboBox2Change();
    void RadioButton3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void CheckAll(bool checked);
    void UpdateTranslation();
    // The columns as wide as the names and dates they show.
    void FitColumns();
    // The selected row's record, repainted after a change (null: none selected
    // or the editors are being filled).
    THolidayNodeData *Edited() const;
    void Repaint(TGridNode *node);

    TStringGridTree *FStringGridTree1;
    QLineEdit *FEdit3;
    QRadioButton *FRadioButton4;
    QRadioButton *FRadioButton3;
    QSpinBox *FEdit2;
    QComboBox *FComboBox2;
    QLabel *FLabel3;
    QSpinBox *FEdit1;
    QLabel *FLabel2;
    bool FLoading = false;
};

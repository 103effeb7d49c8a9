#pragma once

#include "dialogs/setup/gui/SetupDialog.h"

#include <array>
#include <memory>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QTreeWidget;
class TEditTimeDialog;
class TGridNode;
class TStringGridTree;

// "Edit resources...": the positions with their descriptions (the first line
// is the name), their working weeks (the days worked and, in minute planning,
// each day's hours and breaks) and their numbers of chart rows, and the
// document's smallest time unit.
class TSetupPositionsDialog : public TSetupDialog {
    Q_OBJECT

public:
    TSetupPositionsDialog(TSetupState &state, TSetupOk ok, QWidget *parent = nullptr);
    ~TSetupPositionsDialog() override;

    // Shown from the table dialog's column dialog: OK only keeps the edit for
    // the table dialog's OK, which applies both; Cancel drops it.
    void ExecNested();

    // The dialog's copy of the positions.
    const TSetupPositions &Positions() const { return FPositions; }
    int SelectedRow() const;
    // The weekday selected in the week's tree (0 Sunday), -1 for none.
    int SelectedDay() const;

    QTreeWidget *ListView1() const { return FListView1; }
    QPlainTextEdit *Memo1() const { return FMemo1; }
    QSpinBox *Edit1() const { return FEdit1; }
    TStringGridTree *StringGridTree1() const { return FStringGridTree1; }
    TGridNode *DayNode(int day) const;
    QComboBox *ComboBox1() const { return FComboBox1; }
    QPushButton *SpeedButton1() const { return FSpeedButton1; }
    QPushButton *SpeedButton2() const { return FSpeedButton2; }
    QToolButton *UpButton() const { return FUpButton; }
    QToolButton *DownButton() const { return FDownButton; }
    QPushButton *Button1() const { return FButton1; }
    QPushButton *Button3() const { return FButton3; }
    QPushButton *Button4() const { return FButton4; }
    QPushButton *Button5() const { return FButton5; }
    TEditTimeDialog &EditTimeDialog() const { return *FEditTimeDialog; }

protected:
    void FormActivate() override;
    void StoreSection() override;
    QString Refusal() override;

private:
    void FillList();
    void SelectRow(int row);
    void ListView1SelectItem();
    void Memo1Change();
    void UpDown2Change(int rows);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void MoveSelected(int direction);
    void StringGridTree1Click();
    void StringGridTree1Change();
    void ListView3DblClick();
    void Button5Click();
    void Button1Click();
    void ComboBox1Change();
    void SetWeek(const tWeekInfo &week);

    TSetupPositions FPositions;
    tWeekInfo FWeek {}; // of the selected position
    bool FLoading = false;
    QTreeWidget *FListView1;
    QPlainTextEdit *FMemo1;
    QSpinBox *FEdit1;
    TStringGridTree *FStringGridTree1;
    std::array<TGridNode *, 7> FDayNodes {};
    QComboBox *FComboBox1;
    QPushButton *FSpeedButton1;
    QPushButton *FSpeedButton2;
    QToolButton *FUpButton;
    QToolButton *FDownButton;
    QPushButton *FButton1;
    QPushButton *FButton3;
    QPushButton *FButton4;
    QPushButton *FButton5;
    std::unique_ptr<TEditTimeDialog> FEditTimeDialog;
};

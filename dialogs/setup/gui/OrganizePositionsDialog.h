#pragma once

#include "dialogs/setup/gui/SetupDialog.h"

class QLineEdit;
class QPushButton;
class QTabWidget;
class TColumnCheckList;

// "Group resources...": one page per position group with the group's name and
// a check box per position (checked: a member). Page 0 stands for the tab of
// all positions: it cannot be renamed, changed or deleted.
class TOrganizePositionsDialog : public TSetupDialog {
    Q_OBJECT

public:
    TOrganizePositionsDialog(TSetupState &state, TSetupOk ok, QWidget *parent = nullptr);

    // The dialog's copy of the groups.
    const TSetupGroups &Groups() const { return FGroups; }

    QTabWidget *PageControl1() const { return FPageControl1; }
    // A page's name edit and check list (null outside).
    QLineEdit *NameEdit(int page) const;
    TColumnCheckList *GetTree(int page) const;
    QPushButton *SpeedButton1() const { return FSpeedButton1; }
    QPushButton *SpeedButton2() const { return FSpeedButton2; }
    QPushButton *Button1() const { return FButton1; }

protected:
    void FormActivate() override;
    void StoreSection() override;
    QString Refusal() override;

private:
    // A page for group `page` of FGroups, made active.
    void AddGroup(int page);
    void ClearGroups();
    void Edit1Change(int page, const QString &text);
    void SpeedButton2Click();
    void PageControl1Change();

    TSetupGroups FGroups;
    QTabWidget *FPageControl1;
    QPushButton *FSpeedButton1;
    QPushButton *FSpeedButton2;
    QPushButton *FButton1;
};

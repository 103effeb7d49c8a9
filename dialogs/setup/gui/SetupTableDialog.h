#pragma once

#include "dialogs/setup/gui/SetupDialog.h"

#include <QTreeWidget>
#include <array>
#include <functional>

class QDrag;
class QMenu;
class QToolButton;
class QPushButton;
class TEditTableColumnDialog;
class TRoleLabel;
class TRoleShape;

// The list of the task table's columns: name, type and items per row. A drag
// started on a row is handed to its owner.
class TColumnListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit TColumnListView(QWidget *parent = nullptr);

    std::function<void()> OnStartDrag;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};

// Edit Table "Tasks": the task table's columns (added, renamed, retyped,
// deleted, moved) and which column plays each role of the bar: the roles are
// labels on a picture of a bar, bound by dragging a column from the list onto
// a label, from one label to another (which swaps them), or from a label's
// context menu. OK refuses a configuration that leaves a required role without
// a column or gives one column two of the roles that fix its type.
class TSetupTableDialog : public TSetupDialog {
    Q_OBJECT

public:
    TSetupTableDialog(TSetupState &state, TSetupOk ok, QWidget *parent = nullptr);
    ~TSetupTableDialog() override;

    // The dialog's copy of the columns and roles.
    const TSetupTable &Table() const { return FTable; }
    bool ValidConfiguration() const { return FValidConfiguration; }

    // "Edit resources..." in the column dialog of the Position column.
    std::function<void()> OnEditResources;
    // How a drag runs: the platform's drag by default. (A platform without
    // drag and drop, such as the headless one of the tests, has its drag
    // events delivered by whoever replaces this.)
    std::function<Qt::DropAction(QDrag &)> DragRunner;

    TColumnListView *ListView1() const { return FListView1; }
    TRoleLabel *Label(TConnection role) const;
    TRoleShape *Shape(TConnection role) const;
    QWidget *Image1() const { return FImage1; }
    QMenu *LabelPopupMenu() const { return FLabelPopupMenu; }
    QMenu *ListViewPopupMenu() const { return FListViewPopupMenu; }
    TEditTableColumnDialog &EditColumnDialog() const { return *FEditColumnDialog; }
    QPushButton *Button1() const { return FButton1; }
    QPushButton *Button2() const { return FButton2; }
    QToolButton *UpButton() const { return FUpButton; }
    QToolButton *DownButton() const { return FDownButton; }
    QAction *NewColumnAction() const { return FNewColumn; }
    QAction *DeleteColumnAction() const { return FDeleteColumn; }

protected:
    void FormActivate() override;
    void StoreSection() override;

private:
    void BuildPicture();
    int SelectedRow() const;
    void SelectRow(int row);
    // The list shows the dialog's columns anew; the selected row stays.
    void FillList();
    void UpdateColors();
    void ListView1Change();
    void ListView1DblClick();
    void MoveSelected(int direction);
    void neueSpalte1Click();
    void Spaltelschen1Click();
    void LabelContextPopup(TRoleLabel &label, QPoint globalPos);
    void ListView1StartDrag();
    void LabelStartDrag(TRoleLabel &label);
    bool LabelDragOver(TRoleLabel &label);
    void LabelDragDrop(TRoleLabel &label);
    void LabelEndDrag(TRoleLabel &label);
    Qt::DropAction RunDrag(QWidget &source);
    TSetupRoleLabel &Binding(const TRoleLabel &label);

    TSetupTable FTable;
    TColumnListView *FListView1;
    QWidget *FImage1;
    std::array<TRoleLabel *, kSetupRoles.size()> FLabels {};
    std::array<TRoleShape *, kSetupRoles.size()> FShapes {};
    QPushButton *FButton1;
    QPushButton *FButton2;
    QToolButton *FUpButton;
    QToolButton *FDownButton;
    QMenu *FLabelPopupMenu;
    QMenu *FListViewPopupMenu;
    QAction *FEditColumn;
    QAction *FNewColumn;
    QAction *FDeleteColumn;
    std::unique_ptr<TEditTableColumnDialog> FEditColumnDialog;

    TRoleLabel *FActiveLabel = nullptr;
    TColumnType FDragColumnType = ctText;
    QString FDragCaption;
    bool FDragging = false;
    bool FValidConfiguration = true;
};

#pragma once

#include "dialogs/print/PrintPreviewDialog.h"
#include "dialogs/print/RowChoice.h"
#include "dialogs/print/StringGrid.h"

#include <QDialog>
#include <functional>

class Document;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TColumnCheckList;
class TPrintOptionsBox;
struct TDocumentSettings;

// Prints the rows of the active table (all of the shown group, the filtered or the
// selected ones) as a ruled table of the columns the user checks, with the texts
// the table shows. Cancelling the preview leaves the dialog open.
class TPrintListDialog : public QDialog {
    Q_OBJECT
public:
    TPrintListDialog(Document &doc, IPrinterDevice &printer, QWidget *parent = nullptr);
    ~TPrintListDialog() override;

    TPrintPreviewDialog &PrintPreviewDialog1() { return FPreview; }
    QRadioButton *RadioButton1() const { return FRadioButton1; }
    QRadioButton *RadioButton2() const { return FRadioButton2; }
    QRadioButton *RadioButton3() const { return FRadioButton3; }
    QLineEdit *EditCount() const { return FEditCount; }
    TColumnCheckList *StringGridTree1() const { return FColumns; }
    TPrintOptionsBox *Options() const { return FOptions; }
    QPushButton *ButtonOK() const { return FButtonOK; }
    QPushButton *ButtonSetup() const { return FButtonSetup; }
    const TStringGrid &grid() const { return FGrid; }

    // The document's full file name, printed when "Print Filename" is checked.
    void SetFileName(const QString &fileName) { FFileName = fileName; }
    // Runs the printer setup (the main window's).
    void SetOnPrinterSetup(std::function<void(QWidget *)> setup) { FOnPrinterSetup = std::move(setup); }

    void LoadSettings(const TDocumentSettings &settings);
    void StoreSettings(TDocumentSettings &settings) const;

    void FormActivate();
    void UpdateCount();
    void ButtonOKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TRowChoice Choice() const;
    void CB_Add(const TNodeData &row);

    Document &FDoc;
    TPrintPreviewDialog FPreview;
    TStringGrid FGrid;
    QString FFileName;
    std::function<void(QWidget *)> FOnPrinterSetup;
    QRadioButton *FRadioButton1;
    QRadioButton *FRadioButton2;
    QRadioButton *FRadioButton3;
    QLineEdit *FEditCount;
    TColumnCheckList *FColumns;
    TPrintOptionsBox *FOptions;
    QPushButton *FButtonSetup;
    QPushButton *FButtonOK;
};

#pragma once

#include "document/calendar/DateTime.h"

#include <QDialog>
#include <functional>

class Document;
class QDateEdit;
class QLineEdit;
class QPushButton;
struct TNodeData;

// "Archiv Table": moves the tasks that ended by a cut-off day out of the document
// into its archive file, after saving the document. Archived tasks cannot be
// brought back with undo.
class TArchivDialog : public QDialog {
    Q_OBJECT
public:
    explicit TArchivDialog(Document &doc, QWidget *parent = nullptr);

    QDateEdit *DateTimePicker1() const { return FCutOff; }
    QDateEdit *DateTimePickerFrom() const { return FFrom; }
    QDateEdit *DateTimePickerTo() const { return FTo; }
    QLineEdit *Edit1() const { return FEdit1; }
    QPushButton *Button1() const { return FButton1; }
    int Fcount() const { return FCount; }
    int FTotal() const { return FTotalCount; }

    // The document's dates, shown for orientation.
    void SetRange(TDateTime from, TDateTime to);
    // The document's file name (the archive lies beside it) and whether it is saved
    // compressed (the archive is too).
    void SetDocumentFile(const QString &fileName, bool compressed);
    // The main window's save action; true when the document was saved.
    void SetOnSave(std::function<bool()> save) { FOnSave = std::move(save); }

    void DateTimePicker1Change();
    void Button1Click();

private:
    void CB_Count(TNodeData &row);

    Document &FDoc;
    QString FFileName;
    bool FCompressed = false;
    std::function<bool()> FOnSave;
    int FCount = 0;
    int FTotalCount = 0;
    QDateEdit *FCutOff;
    QDateEdit *FFrom;
    QDateEdit *FTo;
    QLineEdit *FEdit1;
    QPushButton *FButton1;
};

#pragma once

#include "dialogs/misc/Archive.h"

#include <QDialog>

class Document;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// "Restore from Archive": the reverse of archiving. It lists what the archive
// beside the document holds and brings back all of it, or what was archived on
// or after a chosen day, as new rows in one undo step; what came back leaves the
// archive. A damaged archive is reported and nothing changes.
class TUnarchiveDialog : public QDialog {
    Q_OBJECT
public:
    explicit TUnarchiveDialog(Document &doc, QWidget *parent = nullptr);

    // Reads the archive of the document `fileName` (written compressed when the
    // document is); false, after telling the user, when it cannot be read.
    bool SetDocumentFile(const QString &fileName, bool compressed);
    // Stores the rows brought back for the other users and a later open, before
    // their entries leave the archive.
    void SetOnStore(TStoreRows store) { FStore = std::move(store); }

    QTreeWidget *ListView1() const { return FList; }
    QRadioButton *RadioButton1() const { return FAll; }
    QRadioButton *RadioButton2() const { return FSince; }
    QDateEdit *DateTimePicker1() const { return FSinceDay; }
    QLabel *Label1() const { return FCountLabel; }
    QPushButton *Button1() const { return FButton1; }

    void ChoiceChange();
    void Button1Click();

private:
    // The entries the choice brings back.
    std::vector<TArchivedEntry> Chosen() const;

    Document &FDoc;
    QString FArchive;
    bool FCompressed = false;
    TStoreRows FStore;
    TArchiveContents FContents;
    QTreeWidget *FList;
    QRadioButton *FAll;
    QRadioButton *FSince;
    QDateEdit *FSinceDay;
    QLabel *FCountLabel;
    QPushButton *FButton1;
};

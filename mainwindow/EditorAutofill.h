#pragma once

#include "document/DocumentTypes.h"
#include "document/text/CSVData.h"

#include <QString>
#include <QStringList>

class Document;

// The autofill file beside a document: a table whose first row names task
// columns. A key typed into one column fills the other columns of the selected
// rows from the file row of that key.
class TEditorAutofill {
public:
    // The document's file name with its extension replaced by ".autofill";
    // empty for a document without a file name.
    static QString FileNameFor(const QString &DocumentFileName);

    // Reads the file of the document (an empty table when there is none) and
    // marks the task columns: HasAutofill when the file has a column of the
    // caption, HasUniqueAutofill when that column's values are unique too. A file
    // that cannot be read (a link, a pipe, too large) counts as none; the text for
    // the user that says so is returned the first time, empty otherwise.
    QString Load(Document &Doc, const QString &DocumentFileName);

    // The values below the header in the file's column of the caption.
    QStringList ColumnValues(const QString &Caption) const;

    // Fills the selected rows of the table from the file row whose cell in the
    // column of the caption is Key (else the one that contains it), as one undo
    // group. A key found nowhere, or contained in several rows, is reported
    // and fills nothing; an empty key does nothing.
    void Autofill(Document &Doc, TWhichTable Table, const QString &Caption, const QString &Key) const;
    // Writes each file column's cell of file row Row into the row's column of
    // the same caption; file columns without such a column are skipped.
    void CB_AutofillData(Document &Doc, TNodeData &Node, int Row) const;

    const TCSVData &Data() const { return FAutofill; }

private:
    TCSVData FAutofill;
    QString FReported; // the last file problem told to the user
};

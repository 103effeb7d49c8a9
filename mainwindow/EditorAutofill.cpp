#include "mainwindow/EditorAutofill.h"

#include "document/Document.h"
#include "document/UndoGroup.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The first column of the table whose caption is Caption, ignoring case as the
// file's own look-ups do.
int ColumnOfCaption(const Document &Doc, TWhichTable Table, const QString &Caption)
{
    for (int column = 0; column < Doc.GetTableColCount(Table); ++column) {
        if (Doc.GetColumnCaption(Table, column).compare(Caption, Qt::CaseInsensitive) == 0)
            return column;
    }
    return -1;
}

} // namespace

QString TEditorAutofill::FileNameFor(const QString &DocumentFileName)
{
    if (DocumentFileName.isEmpty())
        return QString();
    const QFileInfo file(DocumentFileName);
    const QString name = file.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    return file.dir().filePath(base + QStringLiteral(".autofill"));
}

QString TEditorAutofill::Load(Document &Doc, const QString &DocumentFileName)
{
    FAutofill = TCSVData();
    const QString fileName = FileNameFor(DocumentFileName);
    // A file that cannot be read counts as none: no column then has autofill.
    QString problem;
    if (const platform::OpenStatus read
        = fileName.isEmpty() ? platform::OpenStatus() : FAutofill.LoadFromFile(fileName);
        !read) {
        if (read.code() != platform::ReadFailure::Missing)
            problem = Translate(QStringLiteral("The autofill file is ignored: %s"), { read.reason() });
        FAutofill = TCSVData();
    }
    for (int column = 0; column < Doc.GetTableColCount(tbTable); ++column) {
        THeaderData *header = Doc.GetHeader(tbTable, column);
        const int fileColumn = FAutofill.FindCol(Doc.GetColumnCaption(tbTable, column));
        header->HasAutofill = fileColumn >= 0;
        header->HasUniqueAutofill = fileColumn >= 0 && FAutofill.HasUniqueRows(fileColumn);
    }
    // Loaded again at each change of the table page: the same problem is told once.
    if (problem == FReported)
        return QString();
    FReported = problem;
    return problem;
}

QStringList TEditorAutofill::ColumnValues(const QString &Caption) const
{
    QStringList values;
    const int column = FAutofill.FindCol(Caption);
    if (column < 0)
        return values;
    for (int row = 1; row < FAutofill.GetRows(); ++row)
        values.append(FAutofill.GetCell(column, row));
    return values;
}

void TEditorAutofill::Autofill(
    Document &Doc, TWhichTable Table, const QString &Caption, const QString &Key) const
{
    if (Key.isEmpty())
        return;
    const int column = FAutofill.FindCol(Caption);
    int row = column >= 0 ? FAutofill.FindRow(column, Key) : -1;
    bool ambiguous = false;
    if (row < 0 && column >= 0)
        row = FAutofill.FindRowRelaxed(column, Key, ambiguous);
    if (row < 0) {
        MessageDlg(Translate(QStringLiteral("Cannot autofill, key not found")), mtInformation, { mbOK });
        return;
    }
    if (ambiguous) {
        MessageDlg(Translate(QStringLiteral("Cannot autofill, key not unique")), mtInformation, { mbOK });
        return;
    }
    const TUndoGroup group(Doc);
    Doc.ForEach(Table, feSelected, [&](TNodeData &node) { CB_AutofillData(Doc, node, row); });
}

void TEditorAutofill::CB_AutofillData(Document &Doc, TNodeData &Node, int Row) const
{
    for (int fileColumn = 0; fileColumn < FAutofill.GetCols(); ++fileColumn) {
        const int column = ColumnOfCaption(Doc, Node.NodeTable, FAutofill.GetCell(fileColumn, 0));
        if (column >= 0)
            Doc.SetData(&Node, column, FAutofill.GetCell(fileColumn, Row));
    }
}

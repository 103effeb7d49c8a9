#include "dialogs/misc/ArchiveStep.h"

#include "document/Document.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"

TArchiveStep::TArchiveStep(
    Document &doc, const QString &fileName, bool compressed, const TStoreRows &store, int group)
    // The step names no single row: the replay's ID swap leaves it alone.
    : TUndoRedoEntry(QString(), group)
    , FDoc(doc)
    , FFileName(fileName)
    , FCompressed(compressed)
    , FStore(store)
{ }

std::unique_ptr<TArchiveStep> TArchiveStep::Restored(Document &doc, const QString &fileName, bool compressed,
    const TStoreRows &store, QStringList rowIDs, int group)
{
    std::unique_ptr<TArchiveStep> step(new TArchiveStep(doc, fileName, compressed, store, group));
    step->FRowIDs = std::move(rowIDs);
    return step;
}

std::unique_ptr<TArchiveStep> TArchiveStep::Archived(Document &doc, const QString &fileName, bool compressed,
    const TStoreRows &store, std::vector<TArchivedEntry> entries, int group)
{
    std::unique_ptr<TArchiveStep> step(new TArchiveStep(doc, fileName, compressed, store, group));
    step->FEntries = std::move(entries);
    return step;
}

void TArchiveStep::Undo(IUndoModel &)
{
    if (FEntries.empty())
        PutBack();
    else
        TakeOut();
}

QString TArchiveStep::Hint(const IUndoModel &) const
{
    return FEntries.empty() ? Translate(QStringLiteral("restore from archive"))
                            : Translate(QStringLiteral("archive tasks"));
}

void TArchiveStep::PutBack()
{
    // Rows deleted since (by another user) are no longer the document's to archive.
    std::vector<TNodeData *> rows;
    for (const QString &id : std::as_const(FRowIDs)) {
        if (TNodeData *row = FDoc.FindNode(id))
            rows.push_back(row);
    }
    if (rows.empty())
        return;
    std::vector<TArchivedEntry> entries;
    const TArchiveResult result = ArchiveRows(FDoc, rows, FFileName, FCompressed, &entries);
    if (!result.Ok) {
        MessageDlg(Translate(QStringLiteral("The archive %s could not be written: the entries brought back "
                                            "stay in the plan."),
                       { FFileName })
                + QLatin1Char('\n') + result.Error,
            mtWarning, { mbOK });
        return;
    }
    if (!entries.empty())
        FDoc.UndoRedo().Push(Archived(FDoc, FFileName, FCompressed, FStore, std::move(entries), FGroupIndex));
}

void TArchiveStep::TakeOut()
{
    const TArchiveContents contents = ReadArchive(FFileName);
    if (!contents.Ok) {
        MessageDlg(
            Translate(QStringLiteral("The archive %s cannot be read; nothing was changed."), { FFileName })
                + QLatin1Char('\n') + contents.Error,
            mtError, { mbOK });
        return;
    }
    // Entries another user restored meanwhile are no longer there to take.
    std::vector<TArchivedEntry> present;
    for (const TArchivedEntry &mine : FEntries) {
        for (const TArchivedEntry &entry : contents.Entries) {
            if (entry.Section == mine.Section && entry.Texts == mine.Texts) {
                present.push_back(entry);
                present.back().RowID = mine.RowID;
                break;
            }
        }
    }
    if (present.empty())
        return;
    const TRestoreResult result = TakeFromArchive(FDoc, present, FFileName, FCompressed, FStore);
    // Later undo entries that named the rows follow them to their new IDs.
    QStringList rowIDs;
    for (const auto &[id, former] : result.Rows) {
        if (!former.isEmpty())
            FDoc.UndoRedo().SwapID(former, id);
        rowIDs << id;
    }
    if (!result.Ok) {
        MessageDlg(
            Translate(QStringLiteral("The archive %s could not be written: the entries brought back are "
                                     "still in it too."),
                { FFileName })
                + QLatin1Char('\n') + result.Error,
            mtWarning, { mbOK });
        return;
    }
    if (!rowIDs.isEmpty())
        FDoc.UndoRedo().Push(Restored(FDoc, FFileName, FCompressed, FStore, std::move(rowIDs), FGroupIndex));
}

TRestoreResult RestoreEntries(Document &doc, const std::vector<TArchivedEntry> &entries,
    const QString &fileName, bool compressed, const TStoreRows &store)
{
    TRestoreResult result = TakeFromArchive(doc, entries, fileName, compressed, store);
    if (!result.Ok || result.Rows.empty())
        return result;
    QStringList rowIDs;
    for (const auto &row : result.Rows)
        rowIDs << row.first;
    doc.UndoRedo().Push(TArchiveStep::Restored(
        doc, fileName, compressed, store, std::move(rowIDs), doc.UndoRedo().GetGroupIndex()));
    return result;
}

#pragma once

#include "dialogs/misc/Archive.h"
#include "document/UndoRedo.h"

#include <memory>

class Document;

// A restore from the archive as one undo step. Undone, the restored rows are
// written back into the archive and then leave the document; redone, their
// entries come out of the archive as rows again. Each way writes the place a
// task goes to before it is taken from the place it leaves, so a failure or a
// crash in between leaves a task in both, never in neither. What cannot be
// written is reported and stays where it is; the step then ends there.
class TArchiveStep final : public TUndoRedoEntry {
public:
    // The rows `rowIDs` came out of the archive `fileName`: undoing puts them back.
    static std::unique_ptr<TArchiveStep> Restored(Document &doc, const QString &fileName, bool compressed,
        const TStoreRows &store, QStringList rowIDs, int group);
    // The entries went into the archive: undoing brings them out again.
    static std::unique_ptr<TArchiveStep> Archived(Document &doc, const QString &fileName, bool compressed,
        const TStoreRows &store, std::vector<TArchivedEntry> entries, int group);

    void Undo(IUndoModel &model) override;
    QString Hint(const IUndoModel &model) const override;
    // The rows it names are looked up by ID, their cells by caption.
    bool RefersToColumns() const override { return false; }

private:
    TArchiveStep(Document &doc, const QString &fileName, bool compressed, const TStoreRows &store, int group);
    void PutBack();
    void TakeOut();

    Document &FDoc;
    QString FFileName;
    bool FCompressed;
    TStoreRows FStore;
    QStringList FRowIDs; // rows in the document (undo puts them into the archive)
    std::vector<TArchivedEntry> FEntries; // entries in the archive (undo takes them out)
};

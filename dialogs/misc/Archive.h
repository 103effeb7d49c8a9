#pragma once

#include "document/DocumentTypes.h"
#include "document/calendar/DateTime.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class Document;
struct TNodeData;

// Moving finished tasks out of a document into its archive: an ini file beside the
// document, which keeps every archived row as a section "ArchivItemN" (one key per
// column caption, "__table", and "__archived", the time it was archived) and their
// number under "Archiv"/"count"; and bringing them back.

// The archive of a document: its name with the extension ".archiv".
QString ArchiveFileName(const QString &documentFileName);

// A task with an end on or before the cut-off day; a task without an end is not
// finished.
bool ArchiveQualifies(Document &doc, TNodeData &row, TDateTime cutOff);

struct TArchiveResult {
    int Archived = 0;
    // Tasks left in the table because a cell cannot be stored as an ini line.
    int Kept = 0;
    bool Ok = false;
    QString Error; // why the archive could not be written
};

// Appends the qualifying tasks to the archive `fileName` (compressed when asked)
// and, once the file is written completely, deletes them from the document, as
// changes shared with the other users and not undoable. When the file cannot be
// read or written nothing is deleted.
TArchiveResult ArchiveTasks(Document &doc, TDateTime cutOff, const QString &fileName, bool compressed);

// One row kept in an archive.
struct TArchivedEntry {
    QString Section; // "ArchivItemN"
    TWhichTable Table = tbTable;
    // When it was archived; 0 for rows archived before the archive kept the time.
    TDateTime Archived = 0;
    QStringList Captions; // the row's column captions, in the archive's order ...
    QStringList Texts; // ... and its cell texts
    // The row it was in the document when this run archived it (an undone
    // restore), so that a redo brings the row's later undo entries along.
    QString RowID;
};

// ArchiveTasks for the given rows of either table, without asking which qualify;
// `entries` receives what was written.
TArchiveResult ArchiveRows(Document &doc, const std::vector<TNodeData *> &rows, const QString &fileName,
    bool compressed, std::vector<TArchivedEntry> *entries = nullptr);

struct TArchiveContents {
    bool Ok = false;
    QString Error; // why the archive cannot be read
    std::vector<TArchivedEntry> Entries; // in the order they were archived
};

// What the archive `fileName` holds. An archive that cannot be read, or whose
// entries do not say their table, is damaged: not Ok, with the reason.
TArchiveContents ReadArchive(const QString &fileName);

struct TRestoreResult {
    int Restored = 0;
    // Entries left in the archive because a cell of theirs has no column in
    // their table any more.
    int Kept = 0;
    bool Ok = false;
    QString Error; // why the archive could not be written
    // The rows made: their IDs and the IDs the entries name (RowID).
    std::vector<std::pair<QString, QString>> Rows;
};

// Adds `entries` of the archive `fileName` to their tables as new rows, and then
// removes them from the archive (written compressed when asked). An entry with a
// cell whose column its table no longer has stays in the archive and out of the
// document. When the archive cannot be written afterwards, the rows stay in the
// document and the archive keeps them too (Ok false, with the reason). Records
// no undo.
//
// `store` (when given) stores the new rows' records where the other instances
// and a later open find them, before the entries leave the archive: a crash in
// between then leaves the tasks in both places. When it fails, the archive
// keeps the entries too.
using TStoreRows = std::function<bool()>;
TRestoreResult TakeFromArchive(Document &doc, const std::vector<TArchivedEntry> &entries,
    const QString &fileName, bool compressed, const TStoreRows &store = {});

// TakeFromArchive as one step that undo takes back: undone, the rows go back
// into the archive and then leave the document; redone, they come out of the
// archive again (ArchiveStep.h). A restore that left the entries in the archive
// too cannot be undone.
TRestoreResult RestoreEntries(Document &doc, const std::vector<TArchivedEntry> &entries,
    const QString &fileName, bool compressed, const TStoreRows &store = {});

#pragma once

#include "document/calendar/DateTime.h"

#include <QString>

class Document;
struct TNodeData;

// Moving finished tasks out of a document into its archive: an ini file beside the
// document, which keeps every archived row as a section "ArchivItemN" (one key per
// column caption, and "__table") and their number under "Archiv"/"count".

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

#pragma once

#include "document/calendar/DateTime.h"
#include "platform/Result.h"

#include <QString>

class Document;
class TCustomIniFile;
class TDirWatchThread;
class TMemIniFile;
struct TNodeData;

// Documents of the earlier, ini-based format: an ini file (plain or compressed)
// whose section "KEZ" holds `Version` and `SubVersion` and optionally `Offset`, a
// date in the user's short date format to which all dates are relative. Such a
// document is read into the model once and then saved in the present format under
// its own name.

// How an import ended.
enum class TImportResult {
    Imported, // read and saved in the present format
    NotOldDocument, // no version in section "KEZ": nothing was shown or changed
    Failed, // too old (the model is unchanged), malformed or not saved (a new document)
    Cancelled, // the user declined the conversion; the model is unchanged
};

// The version of an old document, compared as (version, subversion) pairs.
struct TOldDocumentVersion {
    int Version = -1;
    int SubVersion = -1;

    bool IsOldDocument() const { return Version >= 0 && SubVersion >= 0; }
    // Files before 2.3 cannot be converted.
    bool TooOld() const { return before(2, 3); }
    // Files before 2.5 keep date cells in the user's date format, later ones in
    // the storage form "yyyy-mm-dd hh:nn:ss".
    bool DatesInUserFormat() const { return before(2, 5); }

private:
    bool before(int version, int subversion) const
    {
        return Version < version || (Version == version && SubVersion < subversion);
    }
};

TOldDocumentVersion OldDocumentVersion(const TCustomIniFile &ini);

// What the import needs of the document commands around it. Every call but Save
// has a harmless default.
class IOldDocumentImportHost {
public:
    virtual ~IOldDocumentImportHost() = default;

    // The view and print settings the old document keeps in its section "Setup"
    // and its sections "Filter0", "Filter1", ... (laid out like the per-document
    // settings): follow them.
    virtual void ApplyViewSettings(const TCustomIniFile &ini) { }
    // After opening, overlapping bars are separated once.
    virtual void SetInitialDeOverlap() { }
    // Replaces the sharing watcher by one for `fileName`; nullptr when the document
    // is not shared.
    virtual TDirWatchThread *ReplaceWatcher(const QString &fileName) { return nullptr; }
    // Writes the document in the present format under `fileName`. False when it
    // was not written (the host has reported why); the file is then unchanged.
    virtual bool Save(const QString &fileName) = 0;
    // Empties the model to a new document (by default: Document::ResetDocument).
    virtual void Reset(Document &doc);
};

// Reads `fileName` as an old document into `doc` and saves it in the present
// format through the host (with no host: `Document::SaveTo`, unshared):
//   - no version in section "KEZ": NotOldDocument, nothing shown;
//   - before 2.3: "Version of file too old. ..." and Failed;
//   - "Import will convert the file to new fileformat!" answered with Cancel:
//     Cancelled, nothing changed;
//   - otherwise the model is emptied and filled, the old "transactions" folder of
//     the sharing folder is applied, and the result saved. A malformed file or a
//     failed save is logged ("importFrom() error:"), leaves a new document and
//     the file as it was, and gives Failed.
TImportResult ImportFrom(Document &doc, const QString &fileName, IOldDocumentImportHost *host = nullptr);

// The reading part alone (no question, no sharing, no save): empties `doc` and
// reads setup, public holidays and the rows of both tables, shifting the dates by
// the offset against `today`. Fails, with the reason, when the file is no old
// document or is malformed (or its reading threw); the model is then partly
// filled and must be reset.
platform::Status ReadOldDocument(
    Document &doc, const TMemIniFile &ini, TDateTime today = Today(), IOldDocumentImportHost *host = nullptr);

// Moves the start, and the deadline when the row's table has that role, `days`
// days later. Cells that hold no date stay as they are.
void CB_OffsetNode(Document &doc, TNodeData &node, int days);

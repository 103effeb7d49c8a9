#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <vector>

class TDirWatchThread;

// What the File menu offers from the document's sharing folder: the users seen
// working on the document in the last minute, and the saved versions it can be
// reverted to. The scan only reads the file system and gives plain values, so
// it runs on a worker thread; the menu items are made from them on the main thread.

// A saved version: a working folder retired by a save (it holds its lock file).
struct TRevertFile {
    QString filename; // the working folder's name
    TDateTime date = 0; // last write of the folder's lock file, local time
    bool autosave = false; // the folder's name ends in "~"
};

struct TRevertEntry {
    TRevertFile file;
    QString caption; // "-name-    date", " *" added for an autosave
    QString hint; // the folder's name
};

struct TClientEntry {
    QString caption; // the user's identity
    bool checked = false; // the own identity
};

struct TFileMenuItems {
    std::vector<TClientEntry> clients; // in the order found
    std::vector<TRevertEntry> reverts; // newest first
};

// What the scan needs, copied on the main thread so the worker shares nothing
// with the watcher (which may be replaced while the scan runs).
struct TFileMenuScanSource {
    QString sharingFolder; // ends in "/"; empty for an unnamed document
    QString lockFileName; // the name of the lock file inside a working folder
    QString identity; // as the own files are named by it
};

TFileMenuScanSource FileMenuScanSource(const TDirWatchThread &watcher);

// Users: the presence files ("<identity>.user") written less than 60 seconds
// before `nowMs` (milliseconds since 1970, UTC). Reverts: every folder of the
// sharing folder that holds its lock file.
TFileMenuItems ScanSharingFolder(const TFileMenuScanSource &source, qint64 nowMs);

QString RevertCaption(const TRevertFile &file);

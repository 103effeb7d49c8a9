#pragma once

#include "document/calendar/DateTime.h"

#include <QString>
#include <QStringList>
#include <vector>

// File-system services of the sharing folder. Nothing here holds a file open
// beyond the call, so other instances can always replace or delete the files.

// Last-write time in milliseconds since 1970 (UTC); -1 when the file is missing.
// Both look at the entry itself: a symbolic link is not followed.
qint64 GetFileTime(const QString &name);
// The size in bytes; -1 when the file is missing.
qint64 GetFileSize(const QString &name);

struct TFoundFile {
    QString name; // without the folder
    qint64 size = 0;
    TDateTime created = 0; // folders only: creation (or, where unknown, last-write) time, local
};

// The plain files of `dir` whose names match the wildcard `mask` (e.g. "*.diff"),
// sorted by name. A leading dot must be matched explicitly, so the temporary files
// of atomic writes (".name.xxxx.tmp~") never match such masks. Only files of the
// folder itself count: a symbolic link (or a pipe, a folder) of a matching name is
// passed over and logged.
std::vector<TFoundFile> ListFiles(const QString &dir, const QString &mask);
// The sub-folders of `dir` (without "." and ".."), sorted by name; a symbolic link
// to a folder elsewhere is passed over and logged.
std::vector<TFoundFile> ListDirectories(const QString &dir);

// The number of a working folder named `name`, or -1 when the name is no working
// folder: only the plain decimal form of 0 up to 2147483646 counts, so the next
// folder's number always exists too.
int WorkingFolderNumber(const QString &name);

// Sets the file's last-write time to now, or creates it empty when it is missing
// (or replaces what is no plain file, such as a symbolic link). A failure is logged.
void Touch(const QString &name);

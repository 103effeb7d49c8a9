#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

class QFile;

namespace platform {

// Reading files that others may have put in the way: a named pipe or a device
// would block a reader for ever, and a symbolic link in a shared folder leads
// wherever its maker wants. These look at the entry itself (lstat, O_NOFOLLOW),
// never at the path's text; below a folder held open (HeldFolder.h) no link is
// followed at all, on the way or at the end, whatever `links` says.

enum class Links { Follow, Refuse };

// The path of the entry itself in the file system's encoding (trailing "/" gone).
QByteArray entryName(const QString &path);
// The entry is a folder, not a link to one.
bool isRealFolder(const QString &path);
// The entry is a plain file (with Links::Follow: or a link to one).
bool isRegularFile(const QString &path, Links links);
// Nothing is there, or a plain file of its own (not a link): a file written by
// renaming over such an entry replaces only what was there.
bool isRegularFileOrMissing(const QString &path);

// Why a file could not be read, where its reader acts on the kind.
enum class ReadFailure {
    Unreadable, // any other reason
    Missing, // there is no such entry
    TooLarge, // larger than the limit
};
using OpenStatus = BasicStatus<ReadFailure>;
using ReadResult = Result<QByteArray, ReadFailure>;

// Opens a plain file for reading into `file` without waiting on a pipe or device.
// Fails (with the reason) when the entry is missing, is no plain file or, with
// Links::Refuse, is a symbolic link.
OpenStatus openRegularFile(QFile &file, const QString &path, Links links);

// Reads a whole plain file as openRegularFile opens it. A file larger than
// `maxBytes` (when >= 0) is refused before anything is read.
ReadResult readRegularFile(const QString &path, Links links, qint64 maxBytes = -1);

} // namespace platform

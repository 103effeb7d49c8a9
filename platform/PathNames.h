#pragma once

#include <QString>

namespace platform {

// Names of files as the program compares them: one document reached through a
// relative path, a linked folder or "..", is one document. Linux file systems
// tell case apart, and so do these.

// The canonical absolute form of a path: symbolic links resolved when the file
// exists, else the cleaned absolute path (relative paths against the working
// folder). Empty for an empty name.
QString canonicalPath(const QString &path);

// Whether two names lead to the same file, compared in their canonical forms.
// Two empty names are the same (no document); an empty and a given one are not.
bool samePath(const QString &a, const QString &b);

} // namespace platform

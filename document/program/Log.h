#pragma once

#include <QString>

// Appends one line "<date time> - <text>" to the program's log file,
// "kez/kez.log" under the user's local application-data folder, creating the
// folders and the file as needed. The file is opened, appended to and closed for
// each line, so the log stays complete whatever happens to the process later.
// Safe to call from any thread; a log that cannot be written is skipped silently
// (there is nowhere else to report it).
void Log(const QString &text);

// The log file's path.
QString LogFilePath();

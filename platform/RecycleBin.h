#pragma once

#include <QString>

namespace platform {

// Moves a file or a folder to the user's recycle bin (the desktop trash). False
// when the file system of the path has no trash the file can be moved to (typical
// on network shares) or the move failed; `error` then says why. Nothing is ever
// deleted by this call.
bool moveToRecycleBin(const QString &path, QString *error = nullptr);

// Makes every move to the recycle bin fail for the lifetime of the guard, as on a
// share without a trash (tests only).
class ScopedNoRecycleBin {
public:
    ScopedNoRecycleBin();
    ~ScopedNoRecycleBin();
    ScopedNoRecycleBin(const ScopedNoRecycleBin &) = delete;
    ScopedNoRecycleBin &operator=(const ScopedNoRecycleBin &) = delete;

private:
    bool FPrevious;
};

} // namespace platform

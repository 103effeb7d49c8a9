#pragma once

#include "platform/Result.h"

#include <QString>

namespace platform {

// Moves a file or a folder to the user's recycle bin (the desktop trash). Fails,
// saying why, when the file system of the path has no trash the file can be moved
// to (typical on network shares) or the move failed. Nothing is ever deleted by
// this call.
Status moveToRecycleBin(const QString &path);

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

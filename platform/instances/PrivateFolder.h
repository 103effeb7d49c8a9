#pragma once

#include <QString>

namespace platform {

// The folder where the running instances of this user keep their sockets:
// "zeltrano" in the user's runtime folder. Only its owner may enter it.
QString DefaultInstanceFolder();

// Makes `folder` (and missing parents) and leaves it a real folder owned by this
// user with mode 0700, tightening the mode of an own folder that is too open.
// False for a symbolic link or a folder of another user: nothing may be kept there.
bool EnsurePrivateFolder(const QString &folder);

} // namespace platform

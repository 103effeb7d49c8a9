#include "document/IniCompression.h"

// Until the compressed stream format is wired in, nothing reads as compressed and
// compression always declines, so every ini file is read and written as plain text.
namespace ini_compression {

bool tryDecompress(const QByteArray &, QByteArray &)
{
    return false;
}

bool tryCompress(const QByteArray &, QByteArray &)
{
    return false;
}

} // namespace ini_compression

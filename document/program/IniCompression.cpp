#include "document/program/IniCompression.h"

#include "document/xml/LZR.h"

namespace ini_compression {

bool tryDecompress(const QByteArray &in, QByteArray &out)
{
    return TLZR::DecompressBytes(in, out);
}

bool tryCompress(const QByteArray &in, QByteArray &out)
{
    return TLZR::CompressBytes(in, out);
}

} // namespace ini_compression

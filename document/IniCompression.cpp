#include "document/IniCompression.h"

#include "document/LZR.h"

#include <QBuffer>

namespace ini_compression {

bool tryDecompress(const QByteArray &in, QByteArray &out)
{
    QByteArray source = in;
    QBuffer src(&source);
    src.open(QIODevice::ReadOnly);
    if (!TLZR::HasMagic(src))
        return false;
    QByteArray decoded;
    QBuffer dst(&decoded);
    dst.open(QIODevice::WriteOnly);
    TLZR lzr;
    if (!lzr.DeCompress(src, dst, true))
        return false;
    out = decoded;
    return true;
}

bool tryCompress(const QByteArray &in, QByteArray &out)
{
    QByteArray source = in;
    QBuffer src(&source);
    src.open(QIODevice::ReadOnly);
    QByteArray encoded;
    QBuffer dst(&encoded);
    dst.open(QIODevice::WriteOnly);
    TLZR lzr;
    if (!lzr.Compress(src, dst))
        return false;
    out = encoded;
    return true;
}

} // namespace ini_compression

#include "document/program/IniCompression.h"

#include "document/xml/LZR.h"

#include <QtEndian>

namespace ini_compression {

bool tryDecompress(const QByteArray &in, QByteArray &out)
{
    return TLZR::DecompressBytes(in, out);
}

qint64 statedLength(const QByteArray &in)
{
    if (in.size() < 8 || qFromLittleEndian<quint32>(in.constData()) != TLZR::Magic)
        return -1;
    return qint64(qFromLittleEndian<quint32>(in.constData() + 4));
}

bool tryCompress(const QByteArray &in, QByteArray &out)
{
    return TLZR::CompressBytes(in, out);
}

} // namespace ini_compression

// Decodes arbitrary bytes as a compressed stream, and checks that the same bytes
// survive a compression round trip.
#include "document/xml/LZR.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    TLZR lzr;
    {
        QBuffer source(&input);
        source.open(QIODevice::ReadOnly);
        QByteArray out;
        QBuffer dest(&out);
        dest.open(QIODevice::WriteOnly);
        const bool magic = TLZR::HasMagic(source);
        if (!lzr.DeCompress(source, dest, true) && !magic && source.pos() != 0)
            std::abort(); // a stream without the magic must stay where it was
    }
    {
        QBuffer source(&input);
        source.open(QIODevice::ReadOnly);
        QByteArray packed;
        QBuffer dest(&packed);
        dest.open(QIODevice::WriteOnly);
        if (!lzr.Compress(source, dest))
            std::abort();
        dest.close();
        QBuffer packedSource(&packed);
        packedSource.open(QIODevice::ReadOnly);
        QByteArray back;
        QBuffer backDest(&back);
        backDest.open(QIODevice::WriteOnly);
        if (!lzr.DeCompress(packedSource, backDest, true) || back != input)
            std::abort();
    }
    return 0;
}

// Decodes arbitrary bytes as a JPEG picture (the logo drawn on the chart): a null
// image or one within the reader's bounds, never a crash or a runaway allocation.
#include "platform/gui/JpegReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QImage image = DecodeJpeg(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!image.isNull()
        && (image.width() > JpegReadMaxSide || image.height() > JpegReadMaxSide
            || qint64(image.width()) * image.height() > JpegReadMaxPixels))
        abort();
    return 0;
}

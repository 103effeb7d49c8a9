#pragma once

#include "platform/AtomicFile.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

// Writes a picture as a JPEG file without ever holding it whole: it is painted in
// bands of rows, and each band goes straight into the encoder (the encoder's
// default quality). The file appears under its name only when it is complete.

// The largest width and height written; a JPEG cannot say more than 65,535.
constexpr int JpegMaxSide = 65500;
constexpr int JpegBandRows = 256;

// Paints the part `band` of the picture (in picture coordinates). The painter is
// translated and clipped to the band; each band starts out white.
using TJpegBandPainter = std::function<void(QPainter &painter, const QRect &band)>;

bool JpegSizeAllowed(QSize size);

// Paints the picture of `size` band by band (at 96 pixels per inch) into the JPEG
// file `path`. A size JpegSizeAllowed refuses fails before anything is painted;
// any failure leaves no file behind and an existing one as it was.
platform::WriteResult WriteJpeg(
    const QString &path, QSize size, const TJpegBandPainter &paint, int bandRows = JpegBandRows);

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Reads small JPEG pictures (the logo drawn on the chart). Anything that is not a
// complete JPEG picture of at most JpegReadMaxSide pixels each way and
// JpegReadMaxPixels in all gives a null image: a broken or hostile file costs
// neither the process nor unbounded memory.

constexpr int JpegReadMaxSide = 8192;
constexpr qint64 JpegReadMaxPixels = 16 * 1024 * 1024;

// An RGB32 image at 96 pixels per inch, or a null image.
QImage DecodeJpeg(const QByteArray &bytes);
QImage ReadJpegFile(const QString &path);

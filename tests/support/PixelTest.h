// Shared by the pixel tests of every window folder: images to paint into, pixels
// read as 0x00BBGGRR colour values, and a PNG for a person when a check fails.
#pragma once

#include "platform/gui/Color.h"

#include <QDir>
#include <QImage>
#include <QString>

namespace testsupport {

// The family every test paints text with (installed by the setup script).
inline constexpr const char *TestFontFamily = "Liberation Sans";

// An opaque 32-bit image filled with `fill`, at the 96 pixels per inch that
// geometry is kept in.
inline QImage MakeCanvas(int width, int height, TColor fill = clWhite)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(ToQColor(fill));
    return image;
}

// The colour at (x, y) as 0x00BBGGRR.
inline TColor PixelAt(const QImage &image, int x, int y)
{
    return FromQRgb(image.pixel(x, y));
}

// Saves `image` as NAME.png under "pixels" in the test's working folder (the build
// folder) and returns the path, so that a failed check can be looked at.
inline QString SavePng(const QImage &image, const QString &name)
{
    QDir().mkpath(QStringLiteral("pixels"));
    const QString path = QDir(QStringLiteral("pixels")).absoluteFilePath(name + QStringLiteral(".png"));
    image.save(path);
    return path;
}

} // namespace testsupport

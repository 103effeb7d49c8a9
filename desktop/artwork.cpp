// Paints the program's mark and writes it as the files a desktop installation
// needs: the application icon in the sizes desktops look for, and "Logo.jpg",
// which printed and exported charts show in their top-left corner.
//
//   zeltrano_artwork OUTDIR
#include "platform/gui/JpegWriter.h"
#include "resources/ProgramMark.h"

#include <QDir>
#include <QPainter>
#include <cstdio>

namespace {

bool WriteIcon(const QString &path, int side)
{
    return ProgramMarkImage(side).save(path, "PNG");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zeltrano_artwork OUTDIR\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "zeltrano_artwork: cannot make %s\n", argv[1]);
        return 2;
    }
    for (int side : { 48, 128, 256 }) {
        if (!WriteIcon(out.filePath(QStringLiteral("zeltrano-%1.png").arg(side)), side)) {
            std::fprintf(stderr, "zeltrano_artwork: cannot write the %d-pixel icon\n", side);
            return 2;
        }
    }
    // The logo on white: a JPEG has no transparency.
    const QSize logo(240, 240);
    const auto result
        = WriteJpeg(out.filePath(QStringLiteral("Logo.jpg")), logo, [&](QPainter &p, const QRect &) {
              PaintProgramMark(p, QRectF(12, 12, logo.width() - 24, logo.height() - 24));
          });
    if (!result) {
        std::fprintf(stderr, "zeltrano_artwork: cannot write Logo.jpg\n");
        return 2;
    }
    return 0;
}

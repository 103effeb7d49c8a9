// JPEG files written band by band and read back.
#include "platform/gui/JpegReader.h"
#include "platform/gui/JpegWriter.h"
#include "tests/support/PixelTest.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <stdexcept>

namespace {

// A chart-like picture (fills, grid lines, a deadline arrow, an outlined shape,
// text) whose parts cross the band borders at 256 and 512.
void PaintPicture(QPainter &painter)
{
    painter.fillRect(QRect(20, 200, 100, 120), QColor(255, 0, 0));
    painter.fillRect(QRect(180, 480, 100, 100), QColor(0, 0, 255));
    painter.setPen(QPen(QColor(0, 128, 0), 0));
    painter.drawLine(QPoint(140, 0), QPoint(140, 699));
    painter.drawLine(QPoint(0, 400), QPoint(299, 400));
    painter.drawLine(QPoint(200, 240), QPoint(230, 270));
    painter.setBrush(QColor(255, 255, 0));
    painter.drawPolygon(QPolygon({ QPoint(10, 240), QPoint(60, 300), QPoint(5, 280) }));
    painter.drawEllipse(QRect(150, 220, 120, 70));
    QFont font(QString::fromLatin1(testsupport::TestFontFamily));
    font.setPixelSize(40);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(10, 530), QStringLiteral("Band 2/3"));
}

// The reference: the whole picture in one image, encoded by plain libjpeg from
// RGB rows with its defaults.
QByteArray EncodeWhole(const QImage &image)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(std::size_t(image.width()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            row[std::size_t(x) * 3] = static_cast<unsigned char>(qRed(pixel));
            row[std::size_t(x) * 3 + 1] = static_cast<unsigned char>(qGreen(pixel));
            row[std::size_t(x) * 3 + 2] = static_cast<unsigned char>(qBlue(pixel));
        }
        JSAMPROW rows[] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Within what JPEG keeps of a flat colour far from any edge.
void ExpectNear(const QImage &image, int x, int y, QColor expected)
{
    const QColor actual = image.pixelColor(x, y);
    EXPECT_NEAR(actual.red(), expected.red(), 6) << x << "," << y;
    EXPECT_NEAR(actual.green(), expected.green(), 6) << x << "," << y;
    EXPECT_NEAR(actual.blue(), expected.blue(), 6) << x << "," << y;
}

const TJpegBandPainter Picture = [](QPainter &painter, const QRect &) { PaintPicture(painter); };

} // namespace

TEST(Jpeg, BandsGiveExactlyTheFileOfTheWholePicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.jpg");
    std::vector<QRect> bands;
    const auto result = WriteJpeg(path, QSize(300, 700), [&](QPainter &painter, const QRect &band) {
        bands.push_back(band);
        PaintPicture(painter);
    });
    ASSERT_TRUE(result) << result.reason().toStdString();
    EXPECT_EQ(bands, (std::vector<QRect> { { 0, 0, 300, 256 }, { 0, 256, 300, 256 }, { 0, 512, 300, 188 } }));

    QImage whole = testsupport::MakeCanvas(300, 700, clWhite);
    {
        QPainter painter(&whole);
        PaintPicture(painter);
    }
    const QByteArray written = testsupport::readFile(path);
    const QImage decoded = DecodeJpeg(written);
    ASSERT_EQ(decoded.size(), QSize(300, 700));
    EXPECT_EQ(decoded, DecodeJpeg(EncodeWhole(whole)));
    EXPECT_EQ(written, EncodeWhole(whole));

    ExpectNear(decoded, 70, 250, QColor(255, 0, 0)); // just above the first border
    ExpectNear(decoded, 70, 262, QColor(255, 0, 0)); // just below it
    ExpectNear(decoded, 230, 500, QColor(0, 0, 255));
    ExpectNear(decoded, 230, 524, QColor(0, 0, 255));
    ExpectNear(decoded, 280, 40, QColor(255, 255, 255)); // each band starts white
    ExpectNear(decoded, 10, 680, QColor(255, 255, 255));
    EXPECT_EQ(FolderEntries(dir.path()), QStringList { "chart.jpg" });
}

TEST(Jpeg, AFailedWriteLeavesNoFileAndAnExistingOneAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(testsupport::writeFile(dir.filePath("plain"), "not a folder"));
    for (const QString &path : { dir.filePath("missing/chart.jpg"), dir.filePath("plain/chart.jpg") }) {
        const auto result = WriteJpeg(path, QSize(40, 30), Picture);
        EXPECT_FALSE(result) << path.toStdString();
        EXPECT_FALSE(result.reason().isEmpty());
    }

    // The disk fills up in the middle of the picture, or the finished file cannot
    // take the target's place.
    const QString path = dir.filePath("chart.jpg");
    ASSERT_TRUE(testsupport::writeFile(path, "old picture"));
    {
        platform::ScopedFileFaults faults({ [](const QString &, qint64 size) { return size / 2; }, {} });
        const auto result = WriteJpeg(path, QSize(300, 700), Picture);
        EXPECT_FALSE(result);
        EXPECT_NE(result.reason().indexOf(QLatin1String("cannot write")), -1)
            << result.reason().toStdString();
    }
    {
        platform::ScopedFileFaults faults({ {}, [](const QString &) { return true; } });
        EXPECT_FALSE(WriteJpeg(path, QSize(300, 700), Picture));
    }
    // The painting itself fails half way.
    const TJpegBandPainter failing = [](QPainter &, const QRect &band) {
        if (band.top() > 0)
            throw std::runtime_error("out of memory");
    };
    EXPECT_THROW(WriteJpeg(path, QSize(300, 700), failing), std::runtime_error);
    EXPECT_EQ(testsupport::readFile(path), "old picture");
    EXPECT_EQ(FolderEntries(dir.path()), (QStringList { "chart.jpg", "plain" }));
}

TEST(Jpeg, SidesOver65500PixelsAreRefusedBeforeAnythingIsPainted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.jpg");
    int painted = 0;
    const TJpegBandPainter count = [&](QPainter &, const QRect &) { ++painted; };
    for (const QSize size : { QSize(65501, 10), QSize(10, 65501), QSize(0, 10), QSize(10, -1) }) {
        const auto result = WriteJpeg(path, size, count);
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.reason().isEmpty());
    }
    EXPECT_EQ(painted, 0);
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(WriteJpeg(path, QSize(JpegMaxSide, 1), count));
    EXPECT_EQ(painted, 1);
    // The frame header: FF C0, length, precision, height and width (big-endian).
    const QByteArray bytes = testsupport::readFile(path);
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    EXPECT_EQ(bytes.mid(frame + 5, 4), QByteArray("\x00\x01\xFF\xDC", 4));
}

TEST(Jpeg, ReadingGivesANullImageForAnythingButACompletePicture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Logo.jpg");
    ASSERT_TRUE(WriteJpeg(path, QSize(300, 700), Picture));
    const QImage logo = ReadJpegFile(path);
    ASSERT_EQ(logo.size(), QSize(300, 700));
    EXPECT_EQ(logo.format(), QImage::Format_RGB32);

    const QByteArray bytes = testsupport::readFile(path);
    EXPECT_TRUE(DecodeJpeg(bytes.left(bytes.size() / 2)).isNull());
    EXPECT_TRUE(DecodeJpeg(bytes.left(2)).isNull());
    EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(DecodeJpeg("GIF89a and more").isNull());
    EXPECT_TRUE(ReadJpegFile(dir.filePath("missing.jpg")).isNull());

    // A header that claims more pixels than the reader takes.
    QByteArray large = bytes;
    const qsizetype frame = large.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    large[frame + 5] = char(0x7F); // height 0x7Fxx
    EXPECT_TRUE(DecodeJpeg(large).isNull());
}

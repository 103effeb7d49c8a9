#include "platform/gui/JpegReader.h"

#include "platform/gui/JpegErrors.h"

#include <QFile>
#include <QSysInfo>

namespace {

constexpr J_COLOR_SPACE PixelLayout
    = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
// A progressive file can hold any number of scans, each a pass over the whole
// picture; honest files use a dozen.
constexpr int MaxScans = 256;
// The compressed file of the largest picture read is far smaller.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

void CheckProgress(j_common_ptr object)
{
    auto *cinfo = reinterpret_cast<j_decompress_ptr>(object);
    if (cinfo->is_decompressor && cinfo->input_scan_number > MaxScans)
        JpegFail(object, "too many scans");
}

class TJpegDecoder {
public:
    TJpegDecoder()
    {
        m_cinfo.err = InstallJpegErrors(m_errors);
        m_created = JpegCall(m_errors, [this] { jpeg_create_decompress(&m_cinfo); });
        m_progress.progress_monitor = CheckProgress;
        m_cinfo.progress = &m_progress;
    }
    ~TJpegDecoder()
    {
        if (m_created)
            jpeg_destroy_decompress(&m_cinfo);
    }
    TJpegDecoder(const TJpegDecoder &) = delete;
    TJpegDecoder &operator=(const TJpegDecoder &) = delete;

    QImage Decode(const QByteArray &bytes)
    {
        if (!m_created || bytes.isEmpty())
            return {};
        const bool headerRead = JpegCall(m_errors, [this, &bytes] {
            jpeg_mem_src(&m_cinfo, reinterpret_cast<const unsigned char *>(bytes.constData()),
                static_cast<unsigned long>(bytes.size()));
            jpeg_read_header(&m_cinfo, TRUE);
        });
        const qint64 width = m_cinfo.image_width;
        const qint64 height = m_cinfo.image_height;
        if (!headerRead || width < 1 || height < 1 || width > JpegReadMaxSide || height > JpegReadMaxSide
            || width * height > JpegReadMaxPixels)
            return {};
        QImage image(int(width), int(height), QImage::Format_RGB32);
        if (image.isNull())
            return {};
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        const bool read = JpegCall(m_errors, [this, &image] {
            m_cinfo.out_color_space = PixelLayout;
            jpeg_start_decompress(&m_cinfo);
            while (m_cinfo.output_scanline < m_cinfo.output_height) {
                JSAMPROW row = image.scanLine(int(m_cinfo.output_scanline));
                jpeg_read_scanlines(&m_cinfo, &row, 1);
            }
            jpeg_finish_decompress(&m_cinfo);
        });
        return read && !m_errors.truncated ? image : QImage();
    }

private:
    jpeg_decompress_struct m_cinfo {};
    TJpegErrors m_errors {};
    jpeg_progress_mgr m_progress {};
    bool m_created = false;
};

} // namespace

QImage DecodeJpeg(const QByteArray &bytes)
{
    TJpegDecoder decoder;
    return decoder.Decode(bytes);
}

QImage ReadJpegFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return {};
    return DecodeJpeg(file.readAll());
}

#include "platform/gui/JpegWriter.h"

#include "platform/gui/JpegErrors.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <jerror.h>
#include <vector>

namespace {

// ARGB32 pixels as they lie in memory, fed to the encoder without conversion.
constexpr J_COLOR_SPACE PixelLayout
    = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The encoder's output goes through a buffer into the file.
struct TFileDestination {
    jpeg_destination_mgr pub;
    platform::AtomicFileWriter *file;
    std::array<JOCTET, 64 * 1024> buffer;
};

TFileDestination &DestinationOf(j_compress_ptr cinfo)
{
    return *reinterpret_cast<TFileDestination *>(cinfo->dest);
}

void InitDestination(j_compress_ptr cinfo)
{
    TFileDestination &dest = DestinationOf(cinfo);
    dest.pub.next_output_byte = dest.buffer.data();
    dest.pub.free_in_buffer = dest.buffer.size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    TFileDestination &dest = DestinationOf(cinfo);
    if (!dest.file->write(reinterpret_cast<const char *>(dest.buffer.data()), qint64(dest.buffer.size())))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    TFileDestination &dest = DestinationOf(cinfo);
    const auto size = qint64(dest.buffer.size() - dest.pub.free_in_buffer);
    if (!dest.file->write(reinterpret_cast<const char *>(dest.buffer.data()), size))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// One encoder writing into one file; destroyed with its object whatever happened.
class TJpegEncoder {
public:
    explicit TJpegEncoder(platform::AtomicFileWriter &file)
    {
        m_cinfo.err = InstallJpegErrors(m_errors);
        m_created = JpegCall(m_errors, [this] { jpeg_create_compress(&m_cinfo); });
        m_dest.file = &file;
        m_dest.pub.init_destination = InitDestination;
        m_dest.pub.empty_output_buffer = EmptyOutputBuffer;
        m_dest.pub.term_destination = TermDestination;
    }
    ~TJpegEncoder()
    {
        if (m_created)
            jpeg_destroy_compress(&m_cinfo);
    }
    TJpegEncoder(const TJpegEncoder &) = delete;
    TJpegEncoder &operator=(const TJpegEncoder &) = delete;

    bool Start(QSize size)
    {
        return m_created && JpegCall(m_errors, [this, size] {
            m_cinfo.dest = &m_dest.pub;
            m_cinfo.image_width = JDIMENSION(size.width());
            m_cinfo.image_height = JDIMENSION(size.height());
            m_cinfo.input_components = 4;
            m_cinfo.in_color_space = PixelLayout;
            jpeg_set_defaults(&m_cinfo);
            jpeg_start_compress(&m_cinfo, TRUE);
        });
    }

    bool WriteRows(JSAMPARRAY rows, int count)
    {
        return JpegCall(m_errors, [this, rows, count] {
            for (int done = 0; done < count;)
                done += int(jpeg_write_scanlines(&m_cinfo, rows + done, JDIMENSION(count - done)));
        });
    }

    bool Finish()
    {
        return JpegCall(m_errors, [this] { jpeg_finish_compress(&m_cinfo); });
    }

    QString ErrorText() const { return JpegErrorText(m_errors); }

private:
    jpeg_compress_struct m_cinfo {};
    TJpegErrors m_errors {};
    TFileDestination m_dest {};
    bool m_created = false;
};

platform::WriteResult Failed(const platform::AtomicFileWriter &file, const QString &encoderError)
{
    return { false, file.ok() ? encoderError : file.error() };
}

} // namespace

bool JpegSizeAllowed(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= JpegMaxSide
        && size.height() <= JpegMaxSide;
}

platform::WriteResult WriteJpeg(const QString &path, QSize size, const TJpegBandPainter &paint, int bandRows)
{
    if (!JpegSizeAllowed(size))
        return { false,
            QStringLiteral("An image of %1 x %2 pixels cannot be written; at most %3 x %3 can.")
                .arg(size.width())
                .arg(size.height())
                .arg(JpegMaxSide) };
    bandRows = std::clamp(bandRows, 1, size.height());
    platform::AtomicFileWriter file(path);
    if (!file.ok())
        return { false, file.error() };
    TJpegEncoder encoder(file);
    if (!encoder.Start(size))
        return Failed(file, encoder.ErrorText());

    QImage band(size.width(), bandRows, QImage::Format_ARGB32);
    band.setDotsPerMeterX(3780); // 96 pixels per inch
    band.setDotsPerMeterY(3780);
    std::vector<JSAMPROW> rows(std::size_t(bandRows), nullptr);
    for (int top = 0; top < size.height(); top += bandRows) {
        const QRect area(0, top, size.width(), std::min(bandRows, size.height() - top));
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            painter.setClipRect(area);
            paint(painter, area);
        }
        for (int y = 0; y < area.height(); ++y)
            rows[std::size_t(y)] = band.scanLine(y);
        if (!encoder.WriteRows(rows.data(), area.height()))
            return Failed(file, encoder.ErrorText());
    }
    if (!encoder.Finish())
        return Failed(file, encoder.ErrorText());
    return file.commit();
}

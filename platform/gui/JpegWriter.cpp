#include "platform/gui/JpegWriter.h"

#include "platform/gui/JpegErrors.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <jerror.h>
#include <mutex>
#include <thread>
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

// Compresses the painted bands on a thread of its own while the caller paints the
// next one; two band images take turns. The caller's painting stays on its thread.
class TBandQueue {
public:
    TBandQueue(TJpegEncoder &encoder, QSize size, int bandRows)
        : m_encoder(encoder)
    {
        for (std::size_t b = 0; b < m_bands.size(); ++b) {
            m_bands[b] = QImage(size.width(), bandRows, QImage::Format_ARGB32);
            if (m_bands[b].isNull())
                return; // no memory for it
            m_bands[b].setDotsPerMeterX(3780); // 96 pixels per inch
            m_bands[b].setDotsPerMeterY(3780);
            for (int y = 0; y < bandRows; ++y)
                m_lines[b].push_back(m_bands[b].scanLine(y));
        }
        m_worker = std::thread([this] { Run(); });
    }
    ~TBandQueue()
    {
        if (!m_worker.joinable())
            return;
        {
            const std::lock_guard lock(m_mutex);
            m_failed = true; // left early: no file will be made of it
        }
        m_changed.notify_all();
        m_worker.join();
    }
    TBandQueue(const TBandQueue &) = delete;
    TBandQueue &operator=(const TBandQueue &) = delete;

    // False when there was no memory for the bands.
    bool Ready() const { return m_worker.joinable(); }

    // The image to paint the next band into, once the compressor is done with it;
    // null after a failure.
    QImage *NextBand()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_rows[m_next] == 0 || m_failed; });
        return m_failed ? nullptr : &m_bands[m_next];
    }
    // Hands over the band just painted, with its number of rows.
    void Submit(int rows)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_rows[m_next] = rows;
            m_next ^= 1;
        }
        m_changed.notify_all();
    }
    // Waits for every band to be compressed and the file's end to be written.
    bool Finish()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
        m_worker.join();
        return !m_failed;
    }
    // What the compressing thread threw, if anything (read after Finish).
    const QString &Thrown() const { return m_thrown; }

private:
    void Run()
    {
        bool ok = true;
        try {
            for (std::size_t b = 0; ok; b ^= 1) {
                int rows = 0;
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait(lock, [&] { return m_rows[b] > 0 || m_closed || m_failed; });
                    if (m_failed)
                        return;
                    if (m_rows[b] == 0)
                        break; // closed, and every band is done
                    rows = m_rows[b];
                }
                ok = m_encoder.WriteRows(m_lines[b].data(), rows);
                Report(ok, &m_rows[b]);
            }
            ok = ok && m_encoder.Finish();
        } catch (const std::exception &e) {
            ok = false;
            m_thrown = platform::reasonOf(e);
        } catch (...) {
            ok = false;
            m_thrown = QStringLiteral("unknown failure while compressing");
        }
        Report(ok, nullptr);
    }

    // Frees the band whose `rows` were compressed for painting; a failure stops the painting.
    void Report(bool ok, int *rows)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (rows)
                *rows = 0;
            m_failed = m_failed || !ok;
        }
        m_changed.notify_all();
    }

    TJpegEncoder &m_encoder;
    std::array<QImage, 2> m_bands;
    std::array<std::vector<JSAMPROW>, 2> m_lines;
    std::array<int, 2> m_rows { 0, 0 }; // rows waiting in each band; 0: free to paint
    std::size_t m_next = 0; // the band painted next
    bool m_closed = false; // no more bands come
    bool m_failed = false;
    QString m_thrown; // written by the worker before it ends
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_worker;
};

platform::WriteResult Failed(const platform::AtomicFileWriter &file, const QString &encoderError)
{
    return platform::WriteResult::failure(file.ok() ? encoderError : file.error());
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
        return platform::WriteResult::failure(
            QStringLiteral("An image of %1 x %2 pixels cannot be written; at most %3 x %3 can.")
                .arg(size.width())
                .arg(size.height())
                .arg(JpegMaxSide));
    bandRows = std::clamp(bandRows, 1, size.height());
    platform::AtomicFileWriter file(path);
    if (!file.ok())
        return platform::WriteResult::failure(file.error());
    TJpegEncoder encoder(file);
    if (!encoder.Start(size))
        return Failed(file, encoder.ErrorText());

    {
        TBandQueue queue(encoder, size, bandRows);
        if (!queue.Ready())
            return platform::WriteResult::failure(
                QStringLiteral("Not enough memory for %1 rows of %2 pixels.")
                    .arg(bandRows)
                    .arg(size.width()));
        for (int top = 0; top < size.height(); top += bandRows) {
            QImage *band = queue.NextBand();
            if (!band)
                break;
            const QRect area(0, top, size.width(), std::min(bandRows, size.height() - top));
            band->fill(Qt::white);
            {
                QPainter painter(band);
                painter.translate(0, -top);
                painter.setClipRect(area);
                paint(painter, area);
            }
            queue.Submit(area.height());
        }
        if (!queue.Finish())
            return Failed(file, queue.Thrown().isEmpty() ? encoder.ErrorText() : queue.Thrown());
    }
    return file.commit();
}

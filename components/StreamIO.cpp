#include "components/StreamIO.h"

#include "components/GridTreeErrors.h"

#include <QBuffer>
#include <QIODevice>
#include <QSysInfo>
#include <algorithm>

// ---- TStreamReader ----------------------------------------------------------------------

QString TStreamReader::ReadUtf16(qint64 Units)
{
    if (Units < 0 || Units > BytesLeft() / 2)
        Short();
    QString text(qsizetype(Units), Qt::Uninitialized);
    std::memcpy(text.data(), FCurrent, std::size_t(Units) * 2);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian)
        for (QChar &c : text)
            c = QChar(qFromLittleEndian(c.unicode()));
    FCurrent += Units * 2;
    return text;
}

QString TStreamReader::ReadUtf8(qint64 Bytes)
{
    Need(Bytes);
    const QString text = QString::fromUtf8(FCurrent, qsizetype(Bytes));
    FCurrent += Bytes;
    return text;
}

void TStreamReader::Short() const
{
    ShowError(QString::fromLatin1(FShortText), FShortHelpContext);
}

// ---- TStreamWriter ----------------------------------------------------------------------

TStreamWriter::TStreamWriter(QIODevice *Device)
    : FDevice(Device)
{ }

void TStreamWriter::WriteBytes(const char *Data, qint64 Size)
{
    if (Size <= 0)
        return;
    if (FCapacity - FSize < Size)
        Grow(Size);
    std::memcpy(FData.get() + FSize, Data, std::size_t(Size));
    FSize += Size;
}

void TStreamWriter::PatchOutside()
{
    throw EGridTreeAssertion(GridTreeTexts::InvalidParameter);
}

void TStreamWriter::Grow(qint64 Bytes)
{
    const qint64 capacity = std::max({ FCapacity * 2, FSize + Bytes, qint64(4096) });
    std::unique_ptr<char[]> data(new char[std::size_t(capacity)]);
    if (FSize > 0)
        std::memcpy(data.get(), FData.get(), std::size_t(FSize));
    FData = std::move(data);
    FCapacity = capacity;
}

void TStreamWriter::HandOn()
{
    if (FDevice == nullptr)
        return;
    if (FDevice->write(FData.get(), FSize) != FSize)
        ShowError(QString::fromLatin1(GridTreeTexts::StreamNotWritten), 0);
    FFlushed += FSize;
    FSize = 0;
}

// ---- TDeviceBytes -----------------------------------------------------------------------

TDeviceBytes::TDeviceBytes(QIODevice &Device)
    : FDevice(Device)
    , FStart(Device.isSequential() ? 0 : Device.pos())
{
    if (!Device.isReadable())
        return;
    const QBuffer *buffer = qobject_cast<const QBuffer *>(&Device);
    if (buffer && FStart <= buffer->data().size()) {
        FBytes = buffer->data();
        FSkip = FStart;
        Device.seek(FBytes.size());
    } else {
        FBytes = Device.readAll();
    }
}

void TDeviceBytes::Consumed(qint64 Bytes)
{
    if (!FDevice.isSequential())
        FDevice.seek(FStart + Bytes);
}

#include "components/StreamIO.h"

#include "components/GridTreeErrors.h"

#include <QIODevice>
#include <QSysInfo>
#include <algorithm>

// ---- TStreamReader ----------------------------------------------------------------------

TStreamReader::TStreamReader(const char *Begin, const char *End, const char *ShortText, int ShortHelpContext)
    : FBegin(Begin)
    , FCurrent(Begin)
    , FEnd(End)
    , FShortText(ShortText)
    , FShortHelpContext(ShortHelpContext)
{ }

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

void TStreamReader::Skip(qint64 Bytes)
{
    Need(Bytes);
    FCurrent += Bytes;
}

TStreamReader TStreamReader::Take(qint64 Bytes)
{
    Need(Bytes);
    TStreamReader part(FCurrent, FCurrent + Bytes, FShortText, FShortHelpContext);
    part.FOffset = Position();
    FCurrent += Bytes;
    return part;
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

void TStreamWriter::PatchInt32(qint64 At, int32_t Value)
{
    const qint64 offset = At - FFlushed;
    if (offset < 0 || offset + 4 > FSize)
        throw EGridTreeAssertion(GridTreeTexts::InvalidParameter);
    qToLittleEndian(Value, FData.get() + offset);
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

void TStreamWriter::Flush(qint64 Threshold)
{
    if (FDevice == nullptr || FSize <= Threshold || FSize == 0)
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
    , FBytes(Device.isReadable() ? Device.readAll() : QByteArray())
{ }

void TDeviceBytes::Consumed(qint64 Bytes)
{
    if (!FDevice.isSequential())
        FDevice.seek(FStart + Bytes);
}

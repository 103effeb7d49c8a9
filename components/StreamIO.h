#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstdint>
#include <cstring>
#include <memory>

class QIODevice;

// Little-endian values read from bytes in memory. Every read is bounded by the
// bytes the reader covers: running short raises EGridTreeError with the text and
// help context the reader was made with, so a count or length read from the
// data can never reach past its end.
class TStreamReader {
public:
    TStreamReader(const char *Begin, const char *End, const char *ShortText, int ShortHelpContext)
        : FBegin(Begin)
        , FCurrent(Begin)
        , FEnd(End)
        , FShortText(ShortText)
        , FShortHelpContext(ShortHelpContext)
    { }

    // Bytes from the start of the outermost reader.
    qint64 Position() const { return FOffset + (FCurrent - FBegin); }
    qint64 BytesLeft() const { return FEnd - FCurrent; }
    bool AtEnd() const { return FCurrent == FEnd; }
    const char *Current() const { return FCurrent; }

    int32_t ReadInt32() { return Read<int32_t>(); }
    uint32_t ReadUInt32() { return Read<uint32_t>(); }
    uint16_t ReadUInt16() { return Read<uint16_t>(); }
    uint8_t ReadUInt8() { return Read<uint8_t>(); }
    // Units UTF-16 code units.
    QString ReadUtf16(qint64 Units);
    QString ReadUtf8(qint64 Bytes);
    void Skip(qint64 Bytes)
    {
        Need(Bytes);
        FCurrent += Bytes;
    }
    // The next Bytes as a reader of their own (running short the same way);
    // this one moves past them.
    TStreamReader Take(qint64 Bytes)
    {
        Need(Bytes);
        TStreamReader part(FCurrent, FCurrent + Bytes, FShortText, FShortHelpContext);
        part.FOffset = Position();
        FCurrent += Bytes;
        return part;
    }
    // Raises the reader's error.
    [[noreturn]] void Short() const;

private:
    template <typename T> T Read()
    {
        Need(qint64(sizeof(T)));
        const T value = qFromLittleEndian<T>(FCurrent);
        FCurrent += sizeof(T);
        return value;
    }
    void Need(qint64 Bytes) const
    {
        if (Bytes < 0 || Bytes > BytesLeft())
            Short();
    }

    const char *FBegin;
    const char *FCurrent;
    const char *FEnd;
    qint64 FOffset = 0;
    const char *FShortText;
    int FShortHelpContext;
};

// Little-endian values collected in memory and handed to a device in pieces.
// Positions count from where the writer started; a value may be patched as
// long as its bytes have not been handed on.
class TStreamWriter {
public:
    // Without a device everything stays in memory (Bytes).
    explicit TStreamWriter(QIODevice *Device = nullptr);

    qint64 Position() const { return FFlushed + FSize; }

    void WriteInt32(int32_t Value) { Write(Value); }
    void WriteUInt32(uint32_t Value) { Write(Value); }
    void WriteUInt16(uint16_t Value) { Write(Value); }
    void WriteUInt8(uint8_t Value) { Write(Value); }
    void WriteBytes(const char *Data, qint64 Size);
    // The text's code units, without a length.
    void WriteUtf16(const QString &Text)
    {
        WriteBytes(reinterpret_cast<const char *>(Text.constData()), Text.size() * 2);
    }
    void PatchInt32(qint64 At, int32_t Value)
    {
        const qint64 offset = At - FFlushed;
        if (offset < 0 || offset + 4 > FSize)
            PatchOutside();
        qToLittleEndian(Value, FData.get() + offset);
    }
    // A chunk header (type, size) with the size left open; returns its position.
    qint64 BeginChunk(int32_t Type)
    {
        const qint64 start = Position();
        Write(Type);
        Write(int32_t(0));
        return start;
    }

    // Hands what is collected to the device once more than Threshold bytes
    // wait. Raises EGridTreeError when the device takes less than it is given.
    void Flush(qint64 Threshold = 0)
    {
        if (FSize > Threshold && FSize > 0)
            HandOn();
    }
    // What is collected and not handed on.
    QByteArray Bytes() const { return QByteArray(FData.get(), FSize); }

private:
    template <typename T> void Write(T Value)
    {
        if (FCapacity - FSize < qint64(sizeof(T)))
            Grow(qint64(sizeof(T)));
        qToLittleEndian(Value, FData.get() + FSize);
        FSize += qint64(sizeof(T));
    }
    void Grow(qint64 Bytes);
    void HandOn();
    [[noreturn]] static void PatchOutside();

    QIODevice *FDevice;
    std::unique_ptr<char[]> FData;
    qint64 FSize = 0;
    qint64 FCapacity = 0;
    qint64 FFlushed = 0;
};

// Everything a device holds from its position on (a buffer's bytes are shared,
// not copied). A device that can seek is put back where it was by Restore, or
// just after the bytes a reader took by Consumed; from a sequential one
// everything is taken.
class TDeviceBytes {
public:
    explicit TDeviceBytes(QIODevice &Device);
    const char *Begin() const { return FBytes.constData() + FSkip; }
    const char *End() const { return FBytes.constData() + FBytes.size(); }
    void Restore() { Consumed(0); }
    void Consumed(qint64 Bytes);

private:
    QIODevice &FDevice;
    qint64 FStart;
    QByteArray FBytes;
    // Bytes of FBytes in front of the device's position.
    qint64 FSkip = 0;
};

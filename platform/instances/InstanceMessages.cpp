#include "platform/instances/InstanceMessages.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform::instances {

namespace {

bool knownType(char type)
{
    switch (TMessageType(type)) {
    case TMessageType::Query:
    case TMessageType::Info:
    case TMessageType::Announce:
    case TMessageType::Select:
    case TMessageType::Ack:
        return true;
    }
    return false;
}

unsigned readUInt16(const char *p)
{
    return unsigned(quint8(p[0])) << 8 | quint8(p[1]);
}

void appendUInt16(QByteArray &out, qsizetype value)
{
    out.append(char(value >> 8 & 0xFF));
    out.append(char(value & 0xFF));
}

// Reads one length-prefixed UTF-8 text at `pos`; false when it overruns the
// payload, is no valid UTF-8 or exceeds `maxUnits`.
bool readText(QByteArrayView payload, qsizetype &pos, qsizetype maxUnits, QString &out)
{
    if (payload.size() - pos < 2)
        return false;
    const qsizetype length = readUInt16(payload.data() + pos);
    pos += 2;
    if (payload.size() - pos < length)
        return false;
    // Stateless: a sequence cut at the end is an error, not kept for more input.
    // A leading byte-order mark is text like any other: keep it.
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    out = decoder.decode(payload.sliced(pos, length));
    pos += length;
    return !decoder.hasError() && out.size() <= maxUnits;
}

bool readInfo(QByteArrayView payload, TInstanceInfoData &info)
{
    if (payload.size() < 8)
        return false;
    quint64 started = 0;
    for (int i = 0; i < 8; ++i)
        started = started << 8 | quint8(payload[i]);
    info.started = qint64(started);
    qsizetype pos = 8;
    return readText(payload, pos, kMaxCaption, info.caption)
        && readText(payload, pos, kMaxFileName, info.fileName) && pos == payload.size();
}

void appendText(QByteArray &out, const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf8);
    const QByteArray bytes = encoder.encode(text);
    appendUInt16(out, bytes.size());
    out.append(bytes);
}

QByteArray frame(TMessageType type, const QByteArray &payload)
{
    QByteArray out;
    out.reserve(kHeaderSize + payload.size());
    out.append(char(type));
    appendUInt16(out, payload.size());
    out.append(payload);
    return out;
}

} // namespace

TReadResult ReadMessage(QByteArrayView bytes, TMessage &message, qsizetype &consumed)
{
    if (bytes.isEmpty())
        return TReadResult::Incomplete;
    if (!knownType(bytes[0]))
        return TReadResult::Invalid;
    if (bytes.size() < kHeaderSize)
        return TReadResult::Incomplete;
    const TMessageType type = TMessageType(bytes[0]);
    const qsizetype length = readUInt16(bytes.data() + 1);
    if (length > kMaxPayload || (type != TMessageType::Info && length != 0))
        return TReadResult::Invalid;
    if (bytes.size() < kHeaderSize + length)
        return TReadResult::Incomplete;
    TMessage read;
    read.type = type;
    if (type == TMessageType::Info && !readInfo(bytes.sliced(kHeaderSize, length), read.info))
        return TReadResult::Invalid;
    message = std::move(read);
    consumed = kHeaderSize + length;
    return TReadResult::Complete;
}

QByteArray WriteMessage(TMessageType type)
{
    return frame(type, QByteArray());
}

TInstanceInfoData Bounded(const TInstanceInfoData &info)
{
    TInstanceInfoData bounded { info.started, info.caption.left(kMaxCaption),
        info.fileName.size() <= kMaxFileName ? info.fileName : QString() };
    if (bounded.caption.size() == kMaxCaption && bounded.caption.back().isHighSurrogate())
        bounded.caption.chop(1);
    return bounded;
}

QByteArray WriteInfo(const TInstanceInfoData &info)
{
    const TInstanceInfoData bounded = Bounded(info);
    QByteArray payload;
    const quint64 started = quint64(bounded.started);
    for (int shift = 56; shift >= 0; shift -= 8)
        payload.append(char(started >> shift & 0xFF));
    appendText(payload, bounded.caption);
    appendText(payload, bounded.fileName);
    return frame(TMessageType::Info, payload);
}

} // namespace platform::instances

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The messages running instances exchange over their local sockets. Every
// message is one frame: a type byte, the payload length (2 bytes, big-endian)
// and the payload. The reader trusts nothing: it checks the type, bounds the
// length before waiting for the payload, and takes only well-formed payloads.
namespace platform::instances {

constexpr qsizetype kHeaderSize = 3;
constexpr qsizetype kMaxPayload = 16384;
constexpr qsizetype kMaxFrame = kHeaderSize + kMaxPayload;
// Bounds of the texts, in UTF-16 units.
constexpr qsizetype kMaxCaption = 255;
constexpr qsizetype kMaxFileName = 4096;

enum class TMessageType : char {
    Query = 'Q', // who are you? answered by Info
    Info = 'I', // start time, window caption and document file name
    Announce = 'A', // the list of instances changed: ask everyone again
    Select = 'S', // bring your window forward; answered by Ack
    Ack = 'K',
};

struct TInstanceInfoData {
    qint64 started = 0; // start of the instance on a clock shared by all processes
    QString caption;
    QString fileName;
    bool operator==(const TInstanceInfoData &) const = default;
};

struct TMessage {
    TMessageType type = TMessageType::Query;
    TInstanceInfoData info; // Info only
};

enum class TReadResult {
    Complete, // `message` holds the first frame, `consumed` its length
    Incomplete, // a valid beginning: wait for more bytes
    Invalid, // not a frame of ours: drop the connection
};

TReadResult ReadMessage(QByteArrayView bytes, TMessage &message, qsizetype &consumed);

// A frame without payload (all types but Info).
QByteArray WriteMessage(TMessageType type);
// The info as it travels: the caption cut to its bound (never inside a surrogate
// pair), a file name over its bound made empty (a cut one could name another file).
TInstanceInfoData Bounded(const TInstanceInfoData &info);
QByteArray WriteInfo(const TInstanceInfoData &info);

} // namespace platform::instances

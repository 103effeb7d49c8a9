#include "platform/instances/InstanceMessages.h"

#include <gtest/gtest.h>

using namespace platform::instances;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

TReadResult read(const QByteArray &data, TMessage *message = nullptr, qsizetype *consumed = nullptr)
{
    TMessage m;
    qsizetype used = -1;
    const TReadResult result = ReadMessage(data, m, used);
    if (message)
        *message = m;
    if (consumed)
        *consumed = used;
    return result;
}

// 'I', length 22; started 0x0102030405060708; caption "KEZ - ä" (8 bytes of
// UTF-8); file name "/x".
const QByteArray kInfoFrame = bytes(
    { 'I', 0, 22, 1, 2, 3, 4, 5, 6, 7, 8, 0, 8, 'K', 'E', 'Z', ' ', '-', ' ', 0xC3, 0xA4, 0, 2, '/', 'x' });

// An Info frame with the given caption and file name texts as raw bytes.
QByteArray infoWith(const QByteArray &caption, const QByteArray &fileName)
{
    QByteArray payload(8, '\0');
    for (const QByteArray &text : { caption, fileName }) {
        payload.append(char(text.size() >> 8));
        payload.append(char(text.size() & 0xFF));
        payload.append(text);
    }
    return bytes({ 'I', int(payload.size() >> 8), int(payload.size() & 0xFF) }) + payload;
}

} // namespace

TEST(InstanceMessages, FramesAreWrittenAndReadAsLaidOut)
{
    EXPECT_EQ(WriteMessage(TMessageType::Query), bytes({ 'Q', 0, 0 }));
    EXPECT_EQ(WriteMessage(TMessageType::Announce), bytes({ 'A', 0, 0 }));
    const TInstanceInfoData info { 0x0102030405060708, QStringLiteral("KEZ - ä"), QStringLiteral("/x") };
    EXPECT_EQ(WriteInfo(info), kInfoFrame);

    TMessage message;
    qsizetype consumed = 0;
    // Two frames back to back: the first is read, its length consumed.
    ASSERT_EQ(read(kInfoFrame + bytes({ 'K', 0, 0 }), &message, &consumed), TReadResult::Complete);
    EXPECT_EQ(consumed, kInfoFrame.size());
    EXPECT_EQ(message.type, TMessageType::Info);
    EXPECT_EQ(message.info, info);
    ASSERT_EQ(read(bytes({ 'S', 0, 0 }), &message, &consumed), TReadResult::Complete);
    EXPECT_EQ(message.type, TMessageType::Select);
    EXPECT_EQ(consumed, 3);

    // Every beginning of a frame waits for more.
    for (qsizetype n = 0; n < kInfoFrame.size(); ++n)
        EXPECT_EQ(read(kInfoFrame.left(n)), TReadResult::Incomplete) << n;
}

TEST(InstanceMessages, ReaderRefusesWhatIsNoFrameOfOurs)
{
    EXPECT_EQ(read("X"), TReadResult::Invalid); // unknown type, known at once
    EXPECT_EQ(read(bytes({ 'Q', 0, 1, 0 })), TReadResult::Invalid); // payload where none belongs
    // A length over the bound is refused before any payload arrives.
    EXPECT_EQ(read(bytes({ 'I', 0x40, 0x01 })), TReadResult::Invalid);
    EXPECT_EQ(read(bytes({ 'I', 0xFF, 0xFF })), TReadResult::Invalid);
    EXPECT_EQ(read(bytes({ 'I', 0, 7, 1, 2, 3, 4, 5, 6, 7 })), TReadResult::Invalid); // no room for texts

    QByteArray overrun = kInfoFrame;
    overrun[12] = 9; // caption length runs into the file name's length field
    EXPECT_EQ(read(overrun), TReadResult::Invalid);
    QByteArray trailing = infoWith("KEZ - a", "/x") + 'z';
    trailing[2] = char(trailing[2] + 1); // a byte after the file name inside the payload
    EXPECT_EQ(read(trailing), TReadResult::Invalid);

    EXPECT_EQ(read(infoWith("KEZ - \xC3\x28", "")), TReadResult::Invalid); // broken UTF-8
    EXPECT_EQ(read(infoWith("KEZ - \xC0\xAF", "")), TReadResult::Invalid); // overlong form of "/"
    EXPECT_EQ(read(infoWith("\xED\xA0\x80", "")), TReadResult::Invalid); // an encoded surrogate
    EXPECT_EQ(read(infoWith("KEZ - \xC3", "")), TReadResult::Invalid); // a sequence cut off

    // Texts are bounded in UTF-16 units: 255 for the caption, 4096 for the name.
    EXPECT_EQ(read(infoWith(QByteArray(255, 'c'), QByteArray(4096, 'f'))), TReadResult::Complete);
    EXPECT_EQ(read(infoWith(QByteArray(256, 'c'), "")), TReadResult::Invalid);
    EXPECT_EQ(read(infoWith("", QByteArray(4097, 'f'))), TReadResult::Invalid);
}

TEST(InstanceMessages, WriterKeepsTextsWithinTheirBounds)
{
    TInstanceInfoData info { -5, QString(300, u'c'), QString(4097, u'f') };
    TMessage message;
    ASSERT_EQ(read(WriteInfo(info), &message), TReadResult::Complete);
    EXPECT_EQ(message.info.started, -5);
    EXPECT_EQ(message.info.caption, QString(255, u'c'));
    EXPECT_EQ(message.info.fileName, QString()); // a cut name could name another file

    // A surrogate pair across the bound is left out whole.
    info.caption = QString(254, u'c') + QString::fromUtf8("\xF0\x9F\x98\x80");
    info.fileName = QStringLiteral("/plans/ä.kez");
    ASSERT_EQ(read(WriteInfo(info), &message), TReadResult::Complete);
    EXPECT_EQ(message.info.caption, QString(254, u'c'));
    EXPECT_EQ(message.info.fileName, info.fileName);
    EXPECT_EQ(Bounded(info), message.info);

    // A byte-order mark at the start is a character like any other.
    info.caption = QChar(0xFEFF) + QStringLiteral("KEZ - x");
    ASSERT_EQ(read(WriteInfo(info), &message), TReadResult::Complete);
    EXPECT_EQ(message.info.caption, info.caption);
}

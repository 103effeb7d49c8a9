#include "document/xml/XMLWriter.h"

#include "document/xml/XMLTree.h"
#include "platform/Windows1252.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// A value as the file holds it, one character at a time: the five entities, control
// characters and what the code page lacks as references, the rest as its byte.
QByteArray escapedOneByOne(QStringView text)
{
    QByteArray out;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        const int page = platform::windows1252ByteOf(c);
        if (c == u' ')
            out += "&nbsp;";
        else if (c == u'&')
            out += "&amp;";
        else if (c == u'<')
            out += "&lt;";
        else if (c == u'>')
            out += "&gt;";
        else if (c == u'"')
            out += "&quot;";
        else if (c < 32 || (c >= 128 && page < 0))
            out += "&#" + QByteArray::number(int(c)) + ';';
        else if (c < 128)
            out += char(c);
        else
            out += char(page);
    }
    return out;
}

// Texts of every length up to a few blocks of characters, mostly plain with an odd
// character at any place: the plain runs are copied in blocks and the rest one by one.
QString randomText(std::mt19937 &random)
{
    static const char16_t odd[] = { u' ', u'&', u'<', u'>', u'"', u'\t', u'\x01', u'\x1f', u'\x7f', u'\x80',
        u'\xa0', u'\xe9', u'\xff', u'\u20ac', u'\u0152', u'\u4e2d', u'\u0100', u'\xfffd', u'!', u'~', u'\'' };
    const int length = int(random() % 70);
    const int oddShare = int(random() % 4); // none, few, some, many
    QString text;
    for (int i = 0; i < length; ++i) {
        if (oddShare > 0 && int(random() % 16) < oddShare * oddShare)
            text += QChar(odd[random() % std::size(odd)]);
        else
            text += QChar(char16_t(33 + random() % 94));
    }
    return text;
}

} // namespace

TEST(XMLWriter, ValuesAreEscapedAsCharacterByCharacterWherePlainRunsStartAndEnd)
{
    std::mt19937 random(20261208);
    const xml::ElementName leafName(u"v");
    for (int round = 0; round < 3000; ++round) {
        const QString text = round == 0 ? QString() : randomText(random);
        const QByteArray expected
            = text.isEmpty() ? QByteArray("<v />\r\n") : "<v>" + escapedOneByOne(text) + "</v>\r\n";

        TXMLTree tree;
        const TXMLNode *node = tree.AddNode(THashedString("v"), text);
        ASSERT_EQ(xml::writeElement(*node, 0), expected) << qPrintable(text);

        // The same text written after others, so it starts at any place of the buffer.
        xml::StreamWriter stream(16);
        const QString before = randomText(random);
        stream.leaf(leafName, 0, before);
        const qsizetype start = stream.written().size();
        stream.leaf(leafName, 0, text);
        // And escaped ahead, as for values written many times.
        QByteArray ahead(text.size() * xml::StreamWriter::kWidest, '\0');
        ahead.truncate(xml::StreamWriter::escapeInto(ahead.data(), text) - ahead.data());
        stream.leafEscaped(leafName, 0, ahead);
        ASSERT_EQ(stream.take().mid(start), expected + expected) << qPrintable(text);
    }
}

TEST(XMLWriter, LongPlainRunsAndAttributeValuesEscapeAlike)
{
    // A run of every printable character, many blocks long, with one mark moved
    // through each place of it.
    QString plain;
    for (int i = 0; i < 5; ++i)
        for (char16_t c = 33; c < 128; ++c)
            if (c != u'&' && c != u'<' && c != u'>' && c != u'"')
                plain += QChar(c);
    for (qsizetype at = 0; at <= plain.size(); at += 7) {
        QString text = plain;
        text.insert(at, u'<');
        TXMLTree tree;
        TXMLNode *node = tree.AddNode(THashedString("v"));
        node->AddAttribute(THashedString("a"), text);
        ASSERT_EQ(xml::writeAttribute(*node->Attributes()[0]), " a=\"" + escapedOneByOne(text) + '"') << at;
    }
}

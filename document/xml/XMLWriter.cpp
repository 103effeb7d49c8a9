#include "document/xml/XMLWriter.h"

#include "document/xml/XMLNode.h"
#include "platform/Windows1252.h"

#include <array>
#include <cstring>
#include <vector>

namespace xml {

// Appends into one buffer that doubles when full, so writing stays linear.
class ByteSink {
public:
    explicit ByteSink(qsizetype initial) { grow(initial); }

    // Makes room for n more bytes; the caller writes them and then calls advance.
    char *room(qsizetype n)
    {
        if (FLength + n > FBuffer.size())
            grow(FLength + n);
        return FBuffer.data() + FLength;
    }
    void advance(qsizetype n) { FLength += n; }

    void put(char c)
    {
        *room(1) = c;
        ++FLength;
    }
    void put(const char *text, qsizetype n)
    {
        std::memcpy(room(n), text, size_t(n));
        FLength += n;
    }
    template <qsizetype N> void put(const char (&text)[N]) { put(text, N - 1); }
    void putBlanks(qsizetype n)
    {
        std::memset(room(n), ' ', size_t(n));
        FLength += n;
    }
    void putReference(char16_t code)
    {
        char digits[8];
        int k = 0;
        do {
            digits[k++] = char('0' + code % 10);
            code /= 10;
        } while (code != 0);
        char *d = room(8);
        *d++ = '&';
        *d++ = '#';
        while (k > 0)
            *d++ = digits[--k];
        *d++ = ';';
        FLength = d - FBuffer.data();
    }
    QByteArrayView written() const { return QByteArrayView(FBuffer.constData(), FLength); }
    QByteArray take()
    {
        FBuffer.truncate(FLength);
        return std::move(FBuffer);
    }

private:
    // Doubles by itself: the array's own growth on top would map twice the room.
    void grow(qsizetype atLeast)
    {
        const qsizetype size = qMax(atLeast, FBuffer.size() * 2);
        FBuffer.reserve(size);
        FBuffer.resize(size);
    }

    QByteArray FBuffer;
    qsizetype FLength = 0;
};

namespace {

// ASCII characters that need an entity or a reference in names and values: the five
// escaped ones, and control characters, which a reader would trim or turn into blanks.
constexpr std::array<bool, 128> kSpecial = [] {
    std::array<bool, 128> t {};
    for (int c = 0; c <= 32; ++c)
        t[size_t(c)] = true;
    t['&'] = t['<'] = t['>'] = t['"'] = true;
    return t;
}();

void putSpecial(ByteSink &out, char16_t c)
{
    switch (c) {
    case u' ':
        out.put("&nbsp;");
        break;
    case u'&':
        out.put("&amp;");
        break;
    case u'<':
        out.put("&lt;");
        break;
    case u'>':
        out.put("&gt;");
        break;
    case u'"':
        out.put("&quot;");
        break;
    default:
        out.putReference(c);
    }
}

// A character outside ASCII: its code-page byte, or a reference when the page lacks it.
void putWide(ByteSink &out, char16_t c)
{
    const int b = platform::windows1252ByteOf(c);
    if (b < 0)
        out.putReference(c);
    else
        out.put(char(b));
}

void putEscaped(ByteSink &out, QStringView text)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Runs of plain ASCII go straight into the buffer.
        char *d = out.room(n - i);
        qsizetype k = 0;
        while (i + k < n && s[i + k] < 128 && !kSpecial[s[i + k]]) {
            d[k] = char(s[i + k]);
            ++k;
        }
        out.advance(k);
        i += k;
        if (i >= n)
            break;
        if (s[i] < 128)
            putSpecial(out, s[i]);
        else
            putWide(out, s[i]);
        ++i;
    }
}

enum class NameKind { Element, Attribute };

bool startsWithCData(QStringView name)
{
    return name.startsWith(u"![CDATA[", Qt::CaseInsensitive);
}

// Names are escaped like values; in addition the characters that a reader would take
// for tag syntax become references: "/" first (a closing tag), "?" or "/" last (an empty
// element), "![CDATA[" first (a CDATA section) and "=" in attribute names.
void putName(ByteSink &out, QStringView name, NameKind kind)
{
    const qsizetype n = name.size();
    const bool tagSyntax = n > 0
        && (name[0] == u'/' || name[n - 1] == u'?' || name[n - 1] == u'/'
            || (kind == NameKind::Element && startsWithCData(name))
            || (kind == NameKind::Attribute && name.contains(u'=')));
    if (!tagSyntax) {
        putEscaped(out, name);
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name[i].unicode();
        const bool reference = (i == 0 && (c == u'/' || c == u'!'))
            || (i == n - 1 && (c == u'?' || c == u'/')) || (kind == NameKind::Attribute && c == u'=');
        if (reference)
            out.putReference(c);
        else
            putEscaped(out, name.sliced(i, 1));
    }
}

void putAttribute(ByteSink &out, const TXMLAttribute &attribute)
{
    out.put(' ');
    putName(out, attribute.Name().Value(), NameKind::Attribute);
    out.put("=\"");
    putEscaped(out, attribute.Value());
    out.put('"');
}

// CDATA is written raw except that backslash-n-blank becomes CR LF and backslash-t-blank
// a TAB (the reader's markers for them); only characters the code page lacks become
// references.
void putCData(ByteSink &out, QStringView value)
{
    out.put("<![CDATA[");
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value[i].unicode();
        if (c == u'\\' && i + 2 < n && value[i + 2] == u' '
            && (value[i + 1] == u'n' || value[i + 1] == u't')) {
            if (value[i + 1] == u'n')
                out.put("\r\n");
            else
                out.put('\t');
            i += 2;
        } else if (c < 128) {
            out.put(char(c));
        } else {
            putWide(out, c);
        }
    }
    out.put("]]>");
}

// Writes the start of an element; returns true when it has children and so still
// needs its closing tag.
bool putOpening(ByteSink &out, const TXMLNode &node, int level)
{
    out.putBlanks(2 * qsizetype(level));
    out.put('<');
    putName(out, node.Name().Value(), NameKind::Element);
    for (const auto &attribute : node.Attributes())
        putAttribute(out, *attribute);
    const bool hasChildren = node.Count() > 0;
    if (!hasChildren && node.Value().isEmpty()) {
        out.put(" />\r\n");
        return false;
    }
    if (hasChildren)
        out.put(">\r\n");
    else
        out.put('>');
    if (!node.Value().isEmpty()) {
        if (node.ValueType() == xvtCDATA)
            putCData(out, node.Value());
        else
            putEscaped(out, node.Value());
    }
    if (hasChildren)
        return true;
    out.put("</");
    putName(out, node.Name().Value(), NameKind::Element);
    out.put(">\r\n");
    return false;
}

void putClosing(ByteSink &out, const TXMLNode &node, int level)
{
    out.putBlanks(2 * qsizetype(level));
    out.put("</");
    putName(out, node.Name().Value(), NameKind::Element);
    out.put(">\r\n");
}

// Depth first without recursion, so that no tree is too deep to write.
void putSubtree(ByteSink &out, const TXMLNode &node, int level)
{
    struct Frame {
        const TXMLNode *node;
        int next;
        int level;
    };
    if (!putOpening(out, node, level))
        return;
    std::vector<Frame> stack { { &node, 0, level } };
    while (!stack.empty()) {
        Frame &top = stack.back();
        if (top.next < top.node->Count()) {
            const TXMLNode &child = *top.node->Node(top.next++);
            const int childLevel = top.level + 1;
            if (putOpening(out, child, childLevel))
                stack.push_back({ &child, 0, childLevel });
        } else {
            putClosing(out, *top.node, top.level);
            stack.pop_back();
        }
    }
}

} // namespace

QByteArray writeElement(const TXMLNode &node, int level)
{
    ByteSink out(64 * 1024);
    putSubtree(out, node, level);
    return out.take();
}

QByteArray writeChildren(const TXMLNode &root)
{
    ByteSink out(64 * 1024);
    for (const auto &child : root.Nodes())
        putSubtree(out, *child, 0);
    return out.take();
}

QByteArray writeAttribute(const TXMLAttribute &attribute)
{
    ByteSink out(64);
    putAttribute(out, attribute);
    return out.take();
}

ElementName::ElementName(QStringView name)
{
    ByteSink out(64);
    putName(out, name, NameKind::Element);
    const QByteArray escaped = out.take();
    FOpen = '<' + escaped + '>';
    FClose = "</" + escaped + ">\r\n";
    FEmpty = '<' + escaped + " />\r\n";
}

StreamWriter::StreamWriter(qsizetype initial)
    : FOut(std::make_unique<ByteSink>(initial))
{ }

StreamWriter::~StreamWriter() = default;

void StreamWriter::element(const TXMLNode &node, int level)
{
    putSubtree(*FOut, node, level);
}

void StreamWriter::open(const ElementName &name, int level)
{
    FOut->putBlanks(2 * qsizetype(level));
    FOut->put(name.FOpen.constData(), name.FOpen.size());
    FOut->put("\r\n");
}

void StreamWriter::open(const ElementName &name, int level, const QByteArray &attribute, QStringView value)
{
    FOut->putBlanks(2 * qsizetype(level));
    const QByteArray &tag = name.FOpen;
    FOut->put(tag.constData(), tag.size() - 1);
    FOut->put(attribute.constData(), attribute.size());
    putEscaped(*FOut, value);
    FOut->put("\">\r\n");
}

QByteArray StreamWriter::attributeStart(QStringView attribute)
{
    ByteSink out(64);
    out.put(' ');
    putName(out, attribute, NameKind::Attribute);
    out.put("=\"");
    return out.take();
}

void StreamWriter::leaf(const ElementName &name, int level, QStringView value)
{
    FOut->putBlanks(2 * qsizetype(level));
    if (value.isEmpty()) {
        FOut->put(name.FEmpty.constData(), name.FEmpty.size());
        return;
    }
    FOut->put(name.FOpen.constData(), name.FOpen.size());
    putEscaped(*FOut, value);
    FOut->put(name.FClose.constData(), name.FClose.size());
}

void StreamWriter::close(const ElementName &name, int level)
{
    FOut->putBlanks(2 * qsizetype(level));
    FOut->put(name.FClose.constData(), name.FClose.size());
}

QByteArrayView StreamWriter::written() const
{
    return FOut->written();
}

QByteArray StreamWriter::take()
{
    return FOut->take();
}

} // namespace xml

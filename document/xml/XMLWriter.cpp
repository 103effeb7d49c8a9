#include "document/xml/XMLWriter.h"

#include "document/xml/XMLNode.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xml {

namespace {

// The most bytes one character becomes: "&#65535;".
constexpr qsizetype kWidest = StreamWriter::kWidest;

// Writes "&#N;" at `d` and returns the end.
char *referenceInto(char *d, char16_t code)
{
    char digits[8];
    int k = 0;
    do {
        digits[k++] = char('0' + code % 10);
        code /= 10;
    } while (code != 0);
    *d++ = '&';
    *d++ = '#';
    while (k > 0)
        *d++ = digits[--k];
    *d++ = ';';
    return d;
}

} // namespace

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
        char *d = room(kWidest);
        FLength = referenceInto(d, code) - FBuffer.data();
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

template <size_t N> char *textInto(char *d, const char (&text)[N])
{
    std::memcpy(d, text, N - 1);
    return d + N - 1;
}

// A character that is not plain ASCII, escaped at `d`: an entity, a reference, or
// its code-page byte; returns the end.
char *specialInto(char *d, char16_t c)
{
    switch (c) {
    case u' ':
        return textInto(d, "&nbsp;");
    case u'&':
        return textInto(d, "&amp;");
    case u'<':
        return textInto(d, "&lt;");
    case u'>':
        return textInto(d, "&gt;");
    case u'"':
        return textInto(d, "&quot;");
    default:
        break;
    }
    if (c < 128)
        return referenceInto(d, c);
    const int b = platform::windows1252ByteOf(c);
    if (b < 0)
        return referenceInto(d, c);
    *d = char(b);
    return d + 1;
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

// How many characters from `s` on, up to `n`, are plain ASCII (neither special nor
// wide); they are copied to `d` (which has room for n bytes) as they are counted.
qsizetype copyPlain(const char16_t *s, qsizetype n, char *d)
{
    qsizetype k = 0;
#if defined(__SSE2__)
    // Eight characters at a time: plain ones lie in 33..127 and are none of the four
    // escaped marks. A block that is all plain is narrowed and stored whole; one that
    // is not is stored too, and only its plain start counts.
    const __m128i first = _mm_set1_epi16(33);
    const __m128i span = _mm_set1_epi16(127 - 33);
    const __m128i amp = _mm_set1_epi16('&');
    const __m128i lt = _mm_set1_epi16('<');
    const __m128i gt = _mm_set1_epi16('>');
    const __m128i quote = _mm_set1_epi16('"');
    const __m128i zero = _mm_setzero_si128();
    for (; k + 8 <= n; k += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + k));
        const __m128i inRange = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, first), span), zero);
        const __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, amp), _mm_cmpeq_epi16(v, lt)),
            _mm_or_si128(_mm_cmpeq_epi16(v, gt), _mm_cmpeq_epi16(v, quote)));
        const unsigned plain = unsigned(_mm_movemask_epi8(_mm_andnot_si128(marks, inRange)));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(d + k), _mm_packus_epi16(v, v));
        if (plain != 0xffff)
            return k + qsizetype(std::countr_one(plain) / 2);
    }
#endif
    while (k < n && s[k] < 128 && !kSpecial[s[k]]) {
        d[k] = char(s[k]);
        ++k;
    }
    return k;
}

// The n characters at `s` escaped at `d`, which has room for kWidest bytes each;
// returns the end.
char *escapedInto(char *d, const char16_t *s, qsizetype n)
{
    qsizetype i = 0;
    while (i < n) {
        // Runs of plain ASCII go straight into the buffer.
        const qsizetype k = copyPlain(s + i, n - i, d);
        d += k;
        i += k;
        if (i >= n)
            break;
        d = specialInto(d, s[i++]);
    }
    return d;
}

// Texts up to this long are written with their tags in one step.
constexpr qsizetype kShortText = 256;

char *bytesInto(char *d, QByteArrayView bytes)
{
    std::memcpy(d, bytes.data(), size_t(bytes.size()));
    return d + bytes.size();
}

char *blanksInto(char *d, qsizetype n)
{
    std::memset(d, ' ', size_t(n));
    return d + n;
}

void putEscaped(ByteSink &out, QStringView text)
{
    // In pieces, so that a huge text needs no room for its widest escaping at once.
    constexpr qsizetype kPiece = 4096;
    const char16_t *s = text.utf16();
    for (qsizetype at = 0, n = text.size(); at < n; at += kPiece) {
        const qsizetype piece = std::min(kPiece, n - at);
        char *d = out.room(piece * kWidest);
        out.advance(escapedInto(d, s + at, piece) - d);
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
    const qsizetype indent = 2 * qsizetype(level);
    const QByteArray &tag = name.FOpen;
    if (value.size() > kShortText) {
        FOut->putBlanks(indent);
        FOut->put(tag.constData(), tag.size() - 1);
        FOut->put(attribute.constData(), attribute.size());
        putEscaped(*FOut, value);
        FOut->put("\">\r\n");
        return;
    }
    char *const start = FOut->room(indent + tag.size() + attribute.size() + value.size() * kWidest + 4);
    char *d = blanksInto(start, indent);
    d = bytesInto(d, QByteArrayView(tag).chopped(1));
    d = bytesInto(d, attribute);
    d = escapedInto(d, value.utf16(), value.size());
    d = textInto(d, "\">\r\n");
    FOut->advance(d - start);
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
    const qsizetype indent = 2 * qsizetype(level);
    if (value.isEmpty()) {
        FOut->putBlanks(indent);
        FOut->put(name.FEmpty.constData(), name.FEmpty.size());
        return;
    }
    if (value.size() > kShortText) {
        FOut->putBlanks(indent);
        FOut->put(name.FOpen.constData(), name.FOpen.size());
        putEscaped(*FOut, value);
        FOut->put(name.FClose.constData(), name.FClose.size());
        return;
    }
    // A cell's text: the whole element in the room made once.
    char *const start = FOut->room(indent + name.size() + value.size() * kWidest);
    char *d = blanksInto(start, indent);
    d = bytesInto(d, name.FOpen);
    d = escapedInto(d, value.utf16(), value.size());
    d = bytesInto(d, name.FClose);
    FOut->advance(d - start);
}

void StreamWriter::leafEscaped(const ElementName &name, int level, QByteArrayView escaped)
{
    const qsizetype indent = 2 * qsizetype(level);
    if (escaped.isEmpty()) {
        FOut->putBlanks(indent);
        FOut->put(name.FEmpty.constData(), name.FEmpty.size());
        return;
    }
    char *const start = FOut->room(indent + name.size() + escaped.size());
    char *d = blanksInto(start, indent);
    d = bytesInto(d, name.FOpen);
    d = bytesInto(d, escaped);
    d = bytesInto(d, name.FClose);
    FOut->advance(d - start);
}

char *StreamWriter::escapeInto(char *out, QStringView value)
{
    return escapedInto(out, value.utf16(), value.size());
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

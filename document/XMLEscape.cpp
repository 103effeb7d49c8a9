#include "document/XMLEscape.h"

namespace {

bool startsWithAt(QStringView text, qsizetype pos, QStringView what)
{
    return text.size() - pos >= what.size() && text.sliced(pos, what.size()) == what;
}

} // namespace

QString XMLEscape(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        case u' ':
            out += u"&nbsp;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString XMLUnescape(QStringView text)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text.toString();
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    while (amp >= 0) {
        out += text.sliced(pos, amp - pos);
        const qsizetype at = amp + 1;
        qsizetype next = -1;
        if (startsWithAt(text, at, u"amp;")) {
            out += u'&';
            next = at + 4;
        } else if (startsWithAt(text, at, u"lt;")) {
            out += u'<';
            next = at + 3;
        } else if (startsWithAt(text, at, u"gt;")) {
            out += u'>';
            next = at + 3;
        } else if (startsWithAt(text, at, u"quot;")) {
            out += u'"';
            next = at + 5;
        } else if (startsWithAt(text, at, u"nbsp;")) {
            out += u' ';
            next = at + 5;
        } else if (at < text.size() && text[at] == u'#') {
            qsizetype k = at + 1;
            quint32 code = 0;
            while (k < text.size() && text[k] >= u'0' && text[k] <= u'9' && code <= 0xFFFF) {
                code = code * 10 + (text[k].unicode() - u'0');
                ++k;
            }
            if (k == at + 1 || k >= text.size() || text[k] != u';' || code > 0xFFFF)
                return text.toString();
            out += QChar(char16_t(code));
            next = k + 1;
        } else {
            return text.toString();
        }
        pos = next;
        amp = text.indexOf(u'&', pos);
    }
    out += text.sliced(pos);
    return out;
}

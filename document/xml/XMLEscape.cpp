#include "document/xml/XMLEscape.h"

#include "document/xml/XMLText.h"

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
    const xml::Units units(text.utf16(), size_t(text.size()));
    if (!text.contains(u'&'))
        return text.toString();
    return xml::unescape(units);
}

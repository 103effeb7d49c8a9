#include "platform/workbook/XmlPullReader.h"

#include <cstring>

namespace platform::workbook {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameEnd(char c)
{
    return isSpace(c) || c == '/' || c == '>' || c == '=';
}

bool onlySpace(std::string_view text)
{
    for (const char c : text) {
        if (!isSpace(c))
            return false;
    }
    return true;
}

bool appendCodePoint(unsigned code, QString &out)
{
    // Characters XML allows.
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE
        || code == 0xFFFF)
        return false;
    if (code < 0x20 && code != 0x9 && code != 0xA && code != 0xD)
        return false;
    const char32_t c = code;
    out.append(QString::fromUcs4(&c, 1));
    return true;
}

// One "&...;" reference at the start of `raw` (past the "&"); the length used, 0 when faulty.
size_t decodeReference(std::string_view raw, QString &out)
{
    const size_t semicolon = raw.find(';');
    if (semicolon == std::string_view::npos || semicolon > 10)
        return 0;
    const std::string_view name = raw.substr(0, semicolon);
    if (name == "lt")
        out += u'<';
    else if (name == "gt")
        out += u'>';
    else if (name == "amp")
        out += u'&';
    else if (name == "quot")
        out += u'"';
    else if (name == "apos")
        out += u'\'';
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        unsigned code = 0;
        size_t k = hex ? 2 : 1;
        if (k == name.size())
            return 0;
        for (; k < name.size(); ++k) {
            const char c = name[k];
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                return 0;
            code = code * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        }
        if (!appendCodePoint(code, out))
            return 0;
    } else {
        return 0;
    }
    return semicolon + 1;
}

} // namespace

XmlPullReader::XmlPullReader(std::string_view bytes)
    : bytes_(bytes)
{
    // A byte order mark before UTF-8 text.
    if (bytes_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
    stack_.reserve(MaxDepth);
}

std::string_view XmlPullReader::localName(std::string_view qualified)
{
    const size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

XmlPullReader::Token XmlPullReader::fail(const char *what)
{
    if (error_.isEmpty())
        error_ = QStringLiteral("%1 (at byte %2)").arg(QLatin1String(what)).arg(pos_);
    pos_ = bytes_.size();
    return Token::Invalid;
}

XmlPullReader::Token XmlPullReader::next()
{
    if (failed())
        return Token::Invalid;
    if (pendingEnd_) {
        pendingEnd_ = false;
        name_ = stack_.back();
        stack_.pop_back();
        rootClosed_ = stack_.empty();
        return Token::EndElement;
    }
    while (true) {
        if (rootClosed_)
            return Token::End;
        if (pos_ >= bytes_.size())
            return stack_.empty() ? fail("no root element") : fail("the text ends inside an element");
        if (bytes_[pos_] != '<') {
            const char *start = bytes_.data() + pos_;
            const void *lt = std::memchr(start, '<', bytes_.size() - pos_);
            const size_t end
                = lt ? static_cast<size_t>(static_cast<const char *>(lt) - bytes_.data()) : bytes_.size();
            text_ = bytes_.substr(pos_, end - pos_);
            pos_ = end;
            if (!stack_.empty())
                return Token::Characters;
            if (!onlySpace(text_))
                return fail("text outside the root element");
            continue;
        }
        const Token token = readMarkup();
        if (token != Token::End)
            return token;
    }
}

// Reads the markup at "<"; End stands for markup that yields no token.
XmlPullReader::Token XmlPullReader::readMarkup()
{
    const std::string_view rest = bytes_.substr(pos_);
    if (rest.substr(0, 2) == "</")
        return readEndTag();
    if (rest.substr(0, 2) == "<?")
        return skipPast("?>") ? Token::End : fail("unterminated processing instruction");
    if (rest.substr(0, 4) == "<!--")
        return skipPast("-->") ? Token::End : fail("unterminated comment");
    if (rest.substr(0, 9) == "<![CDATA[") {
        if (stack_.empty())
            return fail("character data outside the root element");
        const size_t close = rest.find("]]>", 9);
        if (close == std::string_view::npos)
            return fail("unterminated character data section");
        // Kept with its markup so that decode() knows to take it literally.
        text_ = rest.substr(0, close + 3);
        pos_ += close + 3;
        return Token::Characters;
    }
    if (rest.substr(0, 2) == "<!")
        return fail("document type declarations are not accepted");
    return readStartTag();
}

bool XmlPullReader::skipPast(std::string_view terminator)
{
    const size_t at = bytes_.find(terminator, pos_ + 2);
    if (at == std::string_view::npos)
        return false;
    pos_ = at + terminator.size();
    return true;
}

XmlPullReader::Token XmlPullReader::readStartTag()
{
    if (stack_.size() >= static_cast<size_t>(MaxDepth))
        return fail("elements nested too deeply");
    size_t p = pos_ + 1;
    const size_t size = bytes_.size();
    const size_t nameStart = p;
    while (p < size && !isNameEnd(bytes_[p]))
        ++p;
    if (p == nameStart || p >= size)
        return fail("faulty start tag");
    name_ = bytes_.substr(nameStart, p - nameStart);
    attributes_.clear();
    while (true) {
        while (p < size && isSpace(bytes_[p]))
            ++p;
        if (p >= size)
            return fail("unterminated start tag");
        if (bytes_[p] == '>') {
            ++p;
            break;
        }
        if (bytes_[p] == '/') {
            if (p + 1 >= size || bytes_[p + 1] != '>')
                return fail("faulty start tag");
            p += 2;
            pendingEnd_ = true;
            break;
        }
        const size_t attrStart = p;
        while (p < size && !isNameEnd(bytes_[p]))
            ++p;
        const std::string_view attrName = bytes_.substr(attrStart, p - attrStart);
        while (p < size && isSpace(bytes_[p]))
            ++p;
        if (attrName.empty() || p >= size || bytes_[p] != '=')
            return fail("faulty attribute");
        ++p;
        while (p < size && isSpace(bytes_[p]))
            ++p;
        if (p >= size || (bytes_[p] != '"' && bytes_[p] != '\''))
            return fail("attribute value without quotes");
        const char quote = bytes_[p++];
        const size_t close = bytes_.find(quote, p);
        if (close == std::string_view::npos)
            return fail("unterminated attribute value");
        const std::string_view value = bytes_.substr(p, close - p);
        if (value.find('<') != std::string_view::npos)
            return fail("\"<\" in an attribute value");
        attributes_.push_back({ attrName, value });
        p = close + 1;
        if (p < size && !isSpace(bytes_[p]) && bytes_[p] != '>' && bytes_[p] != '/')
            return fail("faulty start tag");
    }
    pos_ = p;
    stack_.push_back(name_);
    return Token::StartElement;
}

XmlPullReader::Token XmlPullReader::readEndTag()
{
    size_t p = pos_ + 2;
    const size_t nameStart = p;
    while (p < bytes_.size() && !isNameEnd(bytes_[p]))
        ++p;
    const std::string_view endName = bytes_.substr(nameStart, p - nameStart);
    while (p < bytes_.size() && isSpace(bytes_[p]))
        ++p;
    if (p >= bytes_.size() || bytes_[p] != '>')
        return fail("faulty end tag");
    if (stack_.empty() || stack_.back() != endName)
        return fail("end tag does not match its start tag");
    pos_ = p + 1;
    name_ = endName;
    stack_.pop_back();
    rootClosed_ = stack_.empty();
    return Token::EndElement;
}

std::optional<std::string_view> XmlPullReader::attribute(std::string_view wanted) const
{
    for (const Attribute &a : attributes_) {
        if (localName(a.name) == wanted)
            return a.value;
    }
    return std::nullopt;
}

QString XmlPullReader::attributeText(std::string_view wanted)
{
    QString out;
    const auto raw = attribute(wanted);
    if (raw && !decode(*raw, out)) {
        fail("faulty reference in an attribute");
        out.clear();
    }
    return out;
}

bool XmlPullReader::appendCharacters(QString &out)
{
    if (text_.substr(0, 9) == "<![CDATA[") {
        out += QString::fromUtf8(text_.data() + 9, static_cast<qsizetype>(text_.size() - 12));
        return true;
    }
    if (decode(text_, out))
        return true;
    fail("faulty character reference");
    return false;
}

bool XmlPullReader::decode(std::string_view raw, QString &out)
{
    // Text runs go over whole; references and line ends one by one (XML reads
    // every CR LF and lone CR as LF).
    while (!raw.empty()) {
        size_t special = 0;
        while (special < raw.size() && raw[special] != '&' && raw[special] != '\r')
            ++special;
        out += QString::fromUtf8(raw.data(), static_cast<qsizetype>(special));
        if (special == raw.size())
            break;
        if (raw[special] == '\r') {
            out += u'\n';
            raw.remove_prefix(special + (special + 1 < raw.size() && raw[special + 1] == '\n' ? 2 : 1));
            continue;
        }
        const size_t used = decodeReference(raw.substr(special + 1), out);
        if (used == 0)
            return false;
        raw.remove_prefix(special + 1 + used);
    }
    return true;
}

bool XmlPullReader::readText(QString &out, std::string_view textElement, std::string_view skipChild)
{
    const size_t depth = stack_.size();
    while (true) {
        switch (next()) {
        case Token::Characters:
            if (localName(stack_.back()) == textElement && !appendCharacters(out))
                return false;
            break;
        case Token::StartElement:
            if (!skipChild.empty() && name() == skipChild && !skipElement())
                return false;
            break;
        case Token::EndElement:
            if (stack_.size() < depth)
                return true;
            break;
        default:
            return false;
        }
    }
}

bool XmlPullReader::skipElement()
{
    const size_t depth = stack_.size();
    while (true) {
        const Token token = next();
        if (token == Token::End || token == Token::Invalid)
            return false;
        if (token == Token::EndElement && stack_.size() < depth)
            return true;
    }
}

} // namespace platform::workbook

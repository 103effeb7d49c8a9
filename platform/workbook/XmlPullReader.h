#pragma once

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::workbook {

// A small pull reader for the XML parts of a workbook: elements, attributes and
// character data of UTF-8 bytes held in memory. Names are matched by their local
// part (the prefix dropped), as workbook writers choose prefixes freely.
//
// It reads untrusted bytes: nesting is capped, end tags must match their start
// tags, document type declarations are refused (no entity can expand), and every
// fault ends the reading with an error instead of a guess.
class XmlPullReader {
public:
    enum class Token { StartElement, EndElement, Characters, End, Invalid };

    static constexpr int MaxDepth = 64;

    explicit XmlPullReader(std::string_view bytes);

    Token next();
    // The local name of the element just started or ended.
    std::string_view name() const { return localName(name_); }
    // A raw attribute value of the element just started (entities not resolved).
    std::optional<std::string_view> attribute(std::string_view localName) const;
    // An attribute value with entities resolved; empty when absent or faulty.
    QString attributeText(std::string_view localName);
    // Appends the character data just read, entities resolved; false on a
    // faulty reference (the reader then fails).
    bool appendCharacters(QString &out);
    // After a start tag: reads through the element's end tag, appending the
    // character data of the elements named `textElement` within it (itself
    // included) but not of those inside a child named `skipChild`.
    bool readText(QString &out, std::string_view textElement, std::string_view skipChild = {});
    // After a start tag: skips the element's content through its end tag.
    bool skipElement();
    int depth() const { return static_cast<int>(stack_.size()); }

    bool failed() const { return !error_.isEmpty(); }
    QString errorText() const { return error_; }

private:
    struct Attribute {
        std::string_view name;
        std::string_view value;
    };

    static std::string_view localName(std::string_view qualified);
    Token fail(const char *what);
    Token readMarkup();
    Token readStartTag();
    Token readEndTag();
    bool skipPast(std::string_view terminator);
    bool decode(std::string_view raw, QString &out);

    std::string_view bytes_;
    size_t pos_ = 0;
    std::string_view name_;
    std::string_view text_;
    std::vector<Attribute> attributes_;
    std::vector<std::string_view> stack_;
    bool pendingEnd_ = false;
    bool rootClosed_ = false;
    QString error_;
};

} // namespace platform::workbook

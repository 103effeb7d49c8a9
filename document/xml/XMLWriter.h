#pragma once

#include <QByteArray>
#include <QStringView>
#include <memory>

class TXMLAttribute;
class TXMLNode;

// The writer of the XML tree's fixed layout. It produces the file's bytes directly
// (Windows-1252) in one growing buffer: characters outside the code page and control
// characters are written as "&#N;", and name characters that would change the meaning
// of a tag ("/" first, "?" or "/" last, "=" in attribute names) are written as references
// too, so that every tree reads back as written.
namespace xml {

// One element and its subtree at the given indent level.
QByteArray writeElement(const TXMLNode &node, int level);

// Every child of `root` at level 0: the text of a whole document.
QByteArray writeChildren(const TXMLNode &root);

// A blank, the escaped name, "=" and the escaped value in double quotes.
QByteArray writeAttribute(const TXMLAttribute &attribute);

class ByteSink;

// An element name escaped once, as its start tag, end tag and empty-element tag, for
// writers that emit the same names many times.
class ElementName {
public:
    explicit ElementName(QStringView name);
    // The bytes of its start tag and its end tag with the line end.
    qsizetype size() const { return FOpen.size() + FClose.size(); }

private:
    friend class StreamWriter;
    QByteArray FOpen; // "<name>"
    QByteArray FClose; // "</name>" CR LF
    QByteArray FEmpty; // "<name />" CR LF
};

// Writes elements one at a time in exactly the layout writeElement gives the same tree,
// so a large document can be written without building its tree first. The caller keeps
// the nesting: an element opened here must have at least one child before its close
// (a childless element is a leaf or an element()).
class StreamWriter {
public:
    explicit StreamWriter(qsizetype initial = 64 * 1024);
    ~StreamWriter();
    StreamWriter(const StreamWriter &) = delete;
    StreamWriter &operator=(const StreamWriter &) = delete;

    // A whole subtree, as writeElement.
    void element(const TXMLNode &node, int level);
    // The start tag of an element whose children follow.
    void open(const ElementName &name, int level);
    // The same with one attribute, its blank, name and "=" made once by attributeStart.
    void open(const ElementName &name, int level, const QByteArray &attribute, QStringView value);
    static QByteArray attributeStart(QStringView attribute);
    // An element without children or attributes: its value, or the empty-element tag.
    void leaf(const ElementName &name, int level, QStringView value);
    // The same with the value escaped already (by escapeInto).
    void leafEscaped(const ElementName &name, int level, QByteArrayView escaped);

    // The most bytes one character of a value becomes.
    static constexpr qsizetype kWidest = 8;
    // Writes `value` escaped as leaf() does at `out`, which has room for kWidest bytes
    // per character; returns the end.
    static char *escapeInto(char *out, QStringView value);
    void close(const ElementName &name, int level);

    // The text so far: it only grows, so what was seen of it stays. Valid until
    // the next write.
    QByteArrayView written() const;
    QByteArray take();

private:
    std::unique_ptr<ByteSink> FOut;
};

} // namespace xml

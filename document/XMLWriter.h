#pragma once

#include <QByteArray>

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

} // namespace xml

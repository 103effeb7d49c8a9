#include "document/commands/SavedRows.h"

#include "document/StoredRows.h"
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLTree.h"
#include "document/xml/XMLWriter.h"

namespace {

// A value the writer puts as it is and the parser gives back unchanged:
// printable ASCII without markup characters and without blanks at its ends
// (a parse trims them and turns line breaks and tabs into blanks).
bool ValueReadsBackAsIs(const QString &text)
{
    if (text.isEmpty())
        return true;
    if (text.front() == u' ' || text.back() == u' ')
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e || u == u'&' || u == u'<' || u == u'>' || u == u'"' || u == u'\'')
            return false;
    }
    return true;
}

// A name a parse gives back as one word (a caption with blanks would read as a
// name followed by attributes).
bool NameReadsBackAsIs(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool word = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9')
            || u == u'_' || u == u'-' || u == u'.';
        if (!word)
            return false;
    }
    return true;
}

bool ReadsBackAsIs(const TXMLNode &node)
{
    if (!NameReadsBackAsIs(node.Name().Value()) || !ValueReadsBackAsIs(node.Value()))
        return false;
    for (const auto &attribute : node.Attributes()) {
        if (!NameReadsBackAsIs(attribute->Name().Value()) || !ValueReadsBackAsIs(attribute->Value()))
            return false;
    }
    for (const auto &child : node.Nodes()) {
        if (!ReadsBackAsIs(*child))
            return false;
    }
    return true;
}

} // namespace

std::unique_ptr<const TWorkingCopyRows> SavedRowsOf(const Document &doc)
{
    return std::make_unique<const TWorkingCopyRows>(
        [&doc](const std::function<void(const TXMLNode &row)> &take) {
            ForEachStoredRow(doc, [&take](const TXMLNode &row) {
                if (ReadsBackAsIs(row)) {
                    take(row);
                    return;
                }
                TXMLTree read;
                read.LoadFromBytes(xml::writeElement(row, 2));
                // Every row counts for the positions of those after it.
                take(read.Count() > 0 ? *read.Node(0) : row);
            });
        });
}

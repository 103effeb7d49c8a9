#include "document/commands/SavedRows.h"

#include "document/StoredRows.h"
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLTree.h"
#include "document/xml/XMLWriter.h"

#include <unordered_map>

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

// The children's names are the walk's own texts, the same few through a
// table: each is looked at once, known by where its characters are (the copy
// kept here keeps them there).
class TNameCheck {
public:
    bool ReadsBackAsIs(const TStoredChildren &children)
    {
        for (const auto &[name, text] : children) {
            if (!Known(*name) || !ValueReadsBackAsIs(*text))
                return false;
        }
        return true;
    }

private:
    bool Known(const QString &name)
    {
        auto it = FNames.find(name.constData());
        if (it == FNames.end())
            it = FNames.emplace(name.constData(), std::pair { name, NameReadsBackAsIs(name) }).first;
        return it->second.second;
    }

    std::unordered_map<const QChar *, std::pair<QString, bool>> FNames;
};

} // namespace

std::unique_ptr<const TWorkingCopyRows> SavedRowsOf(const Document &doc)
{
    static const THashedString rowName(QStringLiteral("new"));
    static const THashedString idName(QStringLiteral("id"));
    return std::make_unique<const TWorkingCopyRows>([&doc](TWorkingCopyRows::TRowSink &sink) {
        TNameCheck names;
        ForEachStoredRow(doc, [&](const QString &id, const TStoredChildren &children) {
            if (ValueReadsBackAsIs(id) && names.ReadsBackAsIs(children)) {
                sink.Add(TWorkingCopyRows::TFlatRow { rowName.Value(), id, children });
                return;
            }
            // Written and read back as the file is: the texts a parse gives.
            TXMLNode element(rowName);
            element.AddAttribute(idName, id);
            for (const auto &[name, text] : children)
                element.AddNode(THashedString(*name), *text);
            TXMLTree read;
            read.LoadFromBytes(xml::writeElement(element, 2));
            // Every row counts for the positions of those after it.
            sink.Add(read.Count() > 0 ? *read.Node(0) : element);
        });
    });
}

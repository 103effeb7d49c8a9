// Reads arbitrary bytes, plain or compressed, as a document file. A document that
// loads must save and load again to the same rows and cells.
#include "document/Document.h"
#include "document/DocumentTable.h"
#include "document/xml/XMLFile.h"
#include "fuzz/TemporaryHome.h"

#include <cstdlib>

namespace {

// The cells of every row. With `asStored`, a date cell as a save and a load give
// it back: a text that reads as a date comes back in the document's own form (day
// 0 as an empty cell), any other text as it stands.
QStringList cells(const Document &doc, TWhichTable table, bool asStored)
{
    QStringList out;
    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        QStringList texts = row->StringList;
        for (int c = 0; asStored && c < texts.size(); ++c) {
            TDateTime date = 0;
            if (doc.GetColumnType(table, c) == ctDate && doc.TryStrToDateTime(texts[c], date))
                texts[c] = date == 0 ? QString() : doc.FormatDateTime(date);
        }
        out << row->ID + QLatin1Char(':') + texts.join(QChar(0));
    }
    return out;
}

// Empty cells of columns without caption are not written (an element without name
// and value would read as a closing tag), so with two such columns a row's cells
// can no longer be told apart.
int uncaptioned(const Document &doc, TWhichTable table)
{
    int count = 0;
    for (int c = 0; c < doc.GetTableColCount(table); ++c)
        count += doc.GetColumnCaptionHack(table, c).isEmpty() ? 1 : 0;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TXMLTree tree;
    const TXMLLoadResult result = tree.LoadFromBytes(QByteArrayView(data, qsizetype(size)));
    if (result == TXMLLoadResult::Failed || !tree.isComplete())
        return 0;
    Document doc;
    doc.SetIdentity(QStringLiteral("fuzz.user"));
    if (!doc.LoadFromTree(tree, result == TXMLLoadResult::Compressed))
        return 0;

    TXMLTree saved;
    saved.setText(TXMLFile::DefaultText());
    doc.SaveToTree(saved);
    TXMLTree again;
    if (again.LoadFromBytes(saved.SaveToBytes(doc.Setup().FCompressedSave)) == TXMLLoadResult::Failed)
        std::abort();
    Document reloaded;
    reloaded.SetIdentity(QStringLiteral("fuzz.user"));
    if (!reloaded.LoadFromTree(again, doc.Setup().FCompressedSave))
        std::abort();
    for (TWhichTable table : { tbTable, tbExclude }) {
        if (cells(reloaded, table, false) != cells(doc, table, true) && uncaptioned(doc, table) < 2)
            std::abort();
    }
    return 0;
}

// Pastes arbitrary text into a small plan's tables as the paste command does
// (the rows read from the clipboard text, then added with their cells, perhaps
// at a point of the chart). Every accepted row becomes one new row, and one
// undo takes the whole paste back.
#include "bench/generator/DocumentGenerator.h"
#include "document/UndoRedo.h"
#include "fuzz/TemporaryHome.h"
#include "tables/ClipboardRows.h"
#include "tables/TableCommands.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 64 * 1024)
        return 0;
    static const GeneratorOptions options = [] {
        GeneratorOptions o;
        o.tasks = 4;
        o.absentRows = 2;
        o.positions = 3;
        return o;
    }();
    Document doc;
    GenerateDocument(doc, options);
    const TWhichTable table = data[0] & 1 ? tbExclude : tbTable;
    std::optional<TPastePoint> at;
    if (data[0] & 2)
        at = TPastePoint { 45300.0 + (data[0] >> 2), data[0] >> 4 };
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const TClipboardRows read = ReadClipboardRows(text, doc.GetTableColCount(table));
    if (!read.Accepted())
        return 0;
    const int before = doc.TotalCount(table);
    const std::vector<TNodeData *> pasted = PasteRows(doc, table, read.rows, at);
    if (pasted.size() != std::size_t(read.rows.size())
        || doc.TotalCount(table) != before + int(pasted.size()))
        std::abort();
    if (!pasted.empty()) {
        doc.UndoRedo().Undo();
        if (doc.TotalCount(table) != before)
            std::abort();
    }
    return 0;
}

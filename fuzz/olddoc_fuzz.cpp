// Reads arbitrary bytes, plain or compressed, as an old ini-based document into a
// fresh model (no question, no save). A document that reads has exactly the rows
// its tables name.
#include "document/Document.h"
#include "document/commands/OldDocumentImport.h"
#include "document/program/IniFile.h"
#include "fuzz/TemporaryHome.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMemIniFile ini;
    ini.LoadBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    Document doc;
    doc.SetIdentity(QStringLiteral("fuzz.user"));
    // A fixed day, so a run repeats.
    if (!ReadOldDocument(doc, ini, 45000))
        return 0;
    for (TWhichTable table : { tbTable, tbExclude }) {
        const int rows = std::max(0, ini.ReadInteger(TableName(table), QStringLiteral("RowCount"), 0));
        if (doc.TotalCount(table) != rows)
            std::abort();
    }
    return 0;
}

// Reads arbitrary bytes, plain or compressed, as an old ini-based document into a
// fresh model (no question, no save). A document that reads has exactly the rows
// its tables name.
#include "document/Document.h"
#include "document/commands/OldDocumentImport.h"
#include "document/program/IniFile.h"

#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Import problems are logged: keep the log out of the user's folder.
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMemIniFile ini;
    ini.LoadBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    Document doc;
    doc.SetIdentity(QStringLiteral("fuzz.user"));
    QString error;
    // A fixed day, so a run repeats.
    if (!ReadOldDocument(doc, ini, error, 45000))
        return 0;
    for (TWhichTable table : { tbTable, tbExclude }) {
        const int rows = std::max(0, ini.ReadInteger(TableName(table), QStringLiteral("RowCount"), 0));
        if (doc.TotalCount(table) != rows)
            std::abort();
    }
    return 0;
}

#include "dialogs/misc/Archive.h"

#include "document/Document.h"
#include "document/UndoRedo.h"
#include "document/program/IniFile.h"
#include "document/program/Utils.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

const QString ArchivSection = QStringLiteral("Archiv");
const QString CountKey = QStringLiteral("count");
const QString TableKey = QStringLiteral("__table");
const QString ItemPrefix = QStringLiteral("ArchivItem");

// The number of the first new entry: past the count the archive keeps and past
// every entry it holds, so that an archive whose count was lost or damaged never
// has earlier entries written over.
qint64 FirstFreeItem(const TMemIniFile &ini)
{
    qint64 first = std::max(0, ini.ReadInteger(ArchivSection, CountKey, 0));
    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &section : sections) {
        if (!section.startsWith(ItemPrefix, Qt::CaseInsensitive))
            continue;
        bool number = false;
        const qint64 n = section.mid(ItemPrefix.size()).toLongLong(&number);
        if (number && n >= first)
            first = n + 1;
    }
    return first;
}

} // namespace

QString ArchiveFileName(const QString &documentFileName)
{
    return ChangeFileExt(documentFileName, QStringLiteral(".archiv"));
}

bool ArchiveQualifies(Document &doc, TNodeData &row, TDateTime cutOff)
{
    if (!doc.GetNodeValid(&row))
        return false;
    const TDateTime end = doc.GetEndOf(&row);
    return doc.GetNodeValid(&row) && DatePart(end) <= DatePart(cutOff);
}

TArchiveResult ArchiveTasks(Document &doc, TDateTime cutOff, const QString &fileName, bool compressed)
{
    TArchiveResult result;
    TMemIniFile ini(fileName);
    if (!ini.LoadError().isEmpty()) {
        result.Error = ini.LoadError();
        return result;
    }
    const int columns = doc.GetTableColCount(tbTable);
    const qint64 first = FirstFreeItem(ini);
    std::vector<TNodeData *> archived;
    doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
        if (!ArchiveQualifies(doc, row, cutOff))
            return;
        const QString section = ItemPrefix + QString::number(first + qint64(archived.size()));
        bool storable = TMemIniFile::CanStore(section, TableKey, TableName(tbTable));
        for (int c = 0; c < columns && storable; ++c)
            storable = TMemIniFile::CanStore(section, doc.GetColumnCaption(tbTable, c), doc.GetData(&row, c));
        if (!storable) {
            ++result.Kept;
            return;
        }
        for (int c = 0; c < columns; ++c)
            ini.WriteString(section, doc.GetColumnCaption(tbTable, c), doc.GetData(&row, c));
        ini.WriteString(section, TableKey, TableName(tbTable));
        archived.push_back(&row);
    });
    if (archived.empty()) {
        result.Ok = true;
        return result;
    }
    const qint64 count = first + qint64(archived.size());
    if (count > std::numeric_limits<int>::max()) {
        result.Error = QStringLiteral("the archive cannot number more entries");
        return result;
    }
    ini.WriteInteger(ArchivSection, CountKey, int(count));
    if (const platform::WriteResult written = ini.UpdateFile(compressed); !written) {
        result.Error = written.error;
        return result;
    }
    {
        // What is in the archive cannot be brought back by undo.
        const UndoRecordingPause noUndo(doc.UndoRedo());
        const UpdateBracket bracket(doc, QString());
        for (TNodeData *row : archived)
            doc.DeleteNode(row, true);
    }
    result.Archived = int(archived.size());
    result.Ok = true;
    return result;
}

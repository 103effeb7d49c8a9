#include "dialogs/misc/Archive.h"

#include "document/Document.h"
#include "document/UndoRedo.h"
#include "document/program/IniFile.h"
#include "document/program/Utils.h"
#include "tables/TableCommands.h"

#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

const QString ArchivSection = QStringLiteral("Archiv");
const QString CountKey = QStringLiteral("count");
const QString TableKey = QStringLiteral("__table");
const QString ItemPrefix = QStringLiteral("ArchivItem");
const QString ArchivedKey = QStringLiteral("__archived");

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

// The archive lies beside the document, where anyone sharing the folder may put
// a link to a file of the user's own or a pipe: it is read and replaced only as a
// plain file (TMemIniFile with Links::Refuse), else left alone with an error.
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
    std::vector<TNodeData *> rows;
    doc.ForEach(tbTable, feAll, [&](TNodeData &row) {
        if (ArchiveQualifies(doc, row, cutOff))
            rows.push_back(&row);
    });
    return ArchiveRows(doc, rows, fileName, compressed);
}

TArchiveResult ArchiveRows(Document &doc, const std::vector<TNodeData *> &rows, const QString &fileName,
    bool compressed, std::vector<TArchivedEntry> *entries)
{
    TArchiveResult result;
    TMemIniFile ini(fileName, platform::Links::Refuse);
    if (!ini.Loaded()) {
        result.Error = ini.Loaded().reason();
        return result;
    }
    const qint64 first = FirstFreeItem(ini);
    const QString now = FormatDateTimeForStorage(Now());
    std::vector<TNodeData *> archived;
    std::vector<TArchivedEntry> written;
    for (TNodeData *row : rows) {
        const TWhichTable table = row->NodeTable;
        const int columns = doc.GetTableColCount(table);
        const QString section = ItemPrefix + QString::number(first + qint64(archived.size()));
        bool storable = TMemIniFile::CanStore(section, TableKey, TableName(table));
        for (int c = 0; c < columns && storable; ++c)
            storable = TMemIniFile::CanStore(section, doc.GetColumnCaption(table, c), doc.GetData(row, c));
        if (!storable) {
            ++result.Kept;
            continue;
        }
        TArchivedEntry entry { section, table, Now(), {}, {}, row->ID };
        for (int c = 0; c < columns; ++c) {
            ini.WriteString(section, doc.GetColumnCaption(table, c), doc.GetData(row, c));
            entry.Captions << doc.GetColumnCaption(table, c);
            entry.Texts << doc.GetData(row, c);
        }
        ini.WriteString(section, TableKey, TableName(table));
        ini.WriteString(section, ArchivedKey, now);
        archived.push_back(row);
        written.push_back(std::move(entry));
    }
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
    if (const platform::WriteResult stored = ini.UpdateFile(compressed); !stored) {
        result.Error = stored.reason();
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
    if (entries)
        *entries = std::move(written);
    return result;
}

TArchiveContents ReadArchive(const QString &fileName)
{
    TArchiveContents contents;
    TMemIniFile ini(fileName, platform::Links::Refuse);
    if (!ini.Loaded()) {
        contents.Error = ini.Loaded().reason();
        return contents;
    }
    QStringList sections;
    ini.ReadSections(sections);
    // What the archive writes always has its count; bytes that read as no
    // count at all are no archive (or a damaged compressed one).
    if (QFileInfo(fileName).size() > 0 && !ini.ValueExists(ArchivSection, CountKey)) {
        contents.Error = QStringLiteral("the file holds no archive");
        return contents;
    }
    for (const QString &section : sections) {
        if (!section.startsWith(ItemPrefix, Qt::CaseInsensitive))
            continue;
        TArchivedEntry entry;
        entry.Section = section;
        const QString table = ini.ReadString(section, TableKey, QString());
        if (table == TableName(tbTable))
            entry.Table = tbTable;
        else if (table == TableName(tbExclude))
            entry.Table = tbExclude;
        else {
            contents.Error = QStringLiteral("the entry %1 does not say its table").arg(section);
            return contents;
        }
        TryStrToDateTimeFromStorage(ini.ReadString(section, ArchivedKey, QString()), entry.Archived);
        QStringList keys;
        ini.ReadSection(section, keys);
        for (const QString &key : keys) {
            if (key == TableKey || key == ArchivedKey)
                continue;
            entry.Captions << key;
            entry.Texts << ini.ReadString(section, key, QString());
        }
        contents.Entries.push_back(std::move(entry));
    }
    contents.Ok = true;
    return contents;
}

TRestoreResult TakeFromArchive(Document &doc, const std::vector<TArchivedEntry> &entries,
    const QString &fileName, bool compressed, const TStoreRows &store)
{
    TRestoreResult result;
    TMemIniFile ini(fileName, platform::Links::Refuse);
    if (!ini.Loaded()) {
        result.Error = ini.Loaded().reason();
        return result;
    }
    // Each entry's cells by column; an entry with a cell its table has no column
    // for stays where it is.
    std::vector<std::pair<const TArchivedEntry *, std::vector<int>>> fitting;
    for (const TArchivedEntry &entry : entries) {
        std::vector<int> columns;
        for (const QString &caption : entry.Captions) {
            int found = -1;
            for (int c = 0; c < doc.GetTableColCount(entry.Table) && found < 0; ++c) {
                if (doc.GetColumnCaption(entry.Table, c).compare(caption, Qt::CaseInsensitive) == 0)
                    found = c;
            }
            columns.push_back(found);
        }
        bool fits = true;
        for (qsizetype k = 0; k < entry.Captions.size(); ++k)
            fits = fits && (columns[std::size_t(k)] >= 0 || entry.Texts[k].isEmpty());
        if (fits)
            fitting.emplace_back(&entry, std::move(columns));
        else
            ++result.Kept;
    }
    if (fitting.empty()) {
        result.Ok = true;
        return result;
    }
    {
        // The undo step of the restore is the caller's: it gives the entries back
        // to the archive, not just takes the rows away.
        const UndoRecordingPause noUndo(doc.UndoRedo());
        const UpdateBracket bracket(doc, QString());
        for (const auto &[entry, columns] : fitting) {
            TNodeData *row = doc.AddNode(doc.GetFreeID(), entry->Table, true);
            for (qsizetype k = 0; k < entry->Texts.size(); ++k) {
                if (columns[std::size_t(k)] >= 0 && !entry->Texts[k].isEmpty())
                    doc.SetData(row, columns[std::size_t(k)], entry->Texts[k]);
            }
            result.Rows.push_back({ row->ID, entry->RowID });
        }
    }
    result.Restored = int(fitting.size());
    if (store && !store()) {
        result.Error = QStringLiteral("the rows brought back could not be stored for the other users yet");
        return result;
    }
    // The document holds them now: only then do they leave the archive.
    for (const auto &[entry, columns] : fitting)
        ini.EraseSection(entry->Section);
    if (const platform::WriteResult written = ini.UpdateFile(compressed); !written) {
        result.Error = written.reason();
        return result;
    }
    result.Ok = true;
    return result;
}

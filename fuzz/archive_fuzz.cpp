// Archives the finished tasks of a small plan into an archive file that holds
// arbitrary bytes (plain or compressed). A file that cannot be read or written
// deletes no task; a successful run moves every archived task into sections of
// its own and leaves each entry that was in the archive before as it was.
#include "bench/generator/DocumentGenerator.h"
#include "dialogs/misc/Archive.h"
#include "document/program/IniFile.h"
#include "fuzz/TemporaryHome.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

using TEntries = std::map<QString, QStringList>; // section -> its "key=value" lines

TEntries ArchivedEntries(const QString &fileName)
{
    TEntries entries;
    const TMemIniFile ini(fileName);
    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &section : sections) {
        if (section.startsWith(QLatin1String("ArchivItem"), Qt::CaseInsensitive))
            ini.ReadSectionValues(section, entries[section.toLower()]);
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("Plan.archiv"));
    const QByteArray before(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    {
        QFile file(archive);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(before) != before.size())
            std::abort();
    }
    const TEntries earlier = ArchivedEntries(archive);

    static const GeneratorOptions options = [] {
        GeneratorOptions o;
        o.tasks = 6;
        o.absentRows = 1;
        o.positions = 2;
        return o;
    }();
    Document doc;
    GenerateDocument(doc, options);
    const int tasks = doc.TotalCount(tbTable);
    const TArchiveResult result = ArchiveTasks(doc, 80000, archive, data[0] & 1);

    if (!result.Ok) {
        QFile file(archive);
        if (doc.TotalCount(tbTable) != tasks || !file.open(QIODevice::ReadOnly) || file.readAll() != before)
            std::abort();
        return 0;
    }
    if (doc.TotalCount(tbTable) != tasks - result.Archived)
        std::abort();
    if (result.Archived == 0)
        return 0;
    const TEntries after = ArchivedEntries(archive);
    for (const auto &[section, lines] : earlier) {
        const auto kept = after.find(section);
        if (kept == after.end() || kept->second != lines)
            std::abort(); // an entry archived earlier was changed or lost
    }
    if (after.size() != earlier.size() + std::size_t(result.Archived))
        std::abort();
    return 0;
}

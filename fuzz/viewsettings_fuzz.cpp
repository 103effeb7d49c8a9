// Reads arbitrary bytes as a user's settings file of a document (the view and
// print settings with the stored column filters), gives each position-group
// tab's filters back to a small plan's columns and filters both tables with
// them, as opening the document and switching tabs does. The values read stay
// in their ranges, and the filters written back read the same again.
#include "bench/generator/DocumentGenerator.h"
#include "document/program/IniFile.h"
#include "document/program/Settings.h"
#include "fuzz/TemporaryHome.h"
#include "tables/ColumnFilters.h"
#include "tables/FilterPass.h"

#include <QSet>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TMemIniFile ini;
    ini.LoadBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    TDocumentSettings settings;
    LoadFileIni(ini, settings, 45000);
    if (settings.Zoom < 1 || settings.ColWidth < 1 || settings.FontSize < 1 || settings.Transparency < 0
        || settings.Transparency > 100 || settings.EditorWidth[0] < 0 || settings.EditorHeight[1] < 0
        || !std::isfinite(settings.LastTimeChartStart) || settings.Filters.size() > 1000)
        std::abort();

    TFilters filters;
    filters.FromSettings(settings.Filters);
    TFilters again;
    again.FromSettings(filters.ToSettings());
    if (again.ToSettings() != filters.ToSettings())
        std::abort();

    static const GeneratorOptions options = [] {
        GeneratorOptions o;
        o.tasks = 12;
        o.absentRows = 4;
        o.positions = 3;
        o.columns = 8;
        return o;
    }();
    Document doc;
    GenerateDocument(doc, options);
    QSet<QString> groups { QString() };
    for (const TFilter &f : filters.Items())
        groups.insert(f.group);
    int tabs = 0;
    for (const QString &group : groups) {
        if (++tabs > 8)
            break;
        filters.RestoreGroup(doc, group);
        for (TWhichTable table : { tbTable, tbExclude })
            RefilterRows(doc, table, feAll);
    }
    return 0;
}

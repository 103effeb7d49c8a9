// Reads arbitrary bytes as an ini file, writes the store out and reads that back:
// the second reading must give exactly the same sections and lines.
#include "document/program/IniFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TMemIniFile ini;
    ini.LoadBytes(bytes);

    QStringList sections;
    ini.ReadSections(sections);
    for (const QString &section : sections) {
        QStringList keys;
        ini.ReadSection(section, keys);
        for (const QString &key : keys) {
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadFloat(section, key, 0);
            (void)ini.ReadDateTime(section, key, 0);
        }
    }
    if (!sections.isEmpty()) {
        QStringList values;
        ini.ReadSectionValues(sections.first(), values);
        // Keys and values from the input, stored only when safe. The cut never splits a
        // surrogate pair (no caller does; a lone surrogate has no encoding to survive).
        for (const QString &line : values) {
            qsizetype cut = line.size() / 2;
            if (cut > 0 && line[cut].isLowSurrogate())
                --cut;
            ini.WriteString(sections.last(), line.left(cut), line.mid(cut));
        }
    }

    QStringList before, after;
    ini.GetStrings(before);
    TMemIniFile reread;
    reread.LoadBytes(ini.FileBytes());
    reread.GetStrings(after);
    if (before != after)
        abort();
    return 0;
}

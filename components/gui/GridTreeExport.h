#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Which nodes a content export or a text rendering walks, in tree order.
enum TGSTTextSourceType { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible };
// Which nodes the exports with node checks write (by their check state).
enum TGTExportMode { emAll, emChecked, emUnchecked };
// What an export event is part of.
enum TGTExportType { etRTF, etHTML, etText, etExcel, etWord, etCustom };

// Growing output buffers of the content export: 8-bit and 16-bit characters.
// Appending is amortised constant (the capacity doubles), so an export stays
// linear in its size.
class TBufferedAnsiString {
public:
    void Add(const QByteArray &Text) { FData.append(Text); }
    void Add(const char *Text) { FData.append(Text); }
    void Add(char Character) { FData.append(Character); }
    void AddNewLine() { FData.append("\r\n", 2); }
    const QByteArray &AsString() const { return FData; }

private:
    QByteArray FData;
};

class TWideBufferedString {
public:
    void Add(QStringView Text) { FData.append(Text); }
    void Add(QChar Character) { FData.append(Character); }
    void AddNewLine() { FData.append(QLatin1String("\r\n")); }
    const QString &AsString() const { return FData; }

private:
    QString FData;
};

// The HTML clipboard form of a UTF-8 fragment: a description of byte offsets
// ("Version:1.0" and four offsets of eight digits), then a whole document
// around the fragment. The offsets count bytes from the start of the result.
QByteArray MakeFragment(const QByteArray &Fragment);

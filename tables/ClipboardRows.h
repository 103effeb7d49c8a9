#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Rows as clipboard text, as spreadsheets exchange them: one line per row,
// lines separated by CR LF, cells separated by TAB.
//
// A cell holding a TAB, CR or LF, or starting with a double quote, is written
// in double quotes with its quotes doubled; so is the empty cell of a row that
// has only one (an empty line would be taken as no row). Every other cell is
// written as it is.

QString ClipboardCell(const QString &cell);
QString ClipboardLine(const QStringList &cells);
QString ClipboardText(const QList<QStringList> &rows);

// Longest clipboard text read, in UTF-16 units: far above any real paste,
// far below what could exhaust memory.
constexpr qsizetype kMaxClipboardText = qsizetype(1) << 26;

// Reads clipboard text into rows of `fieldCount` cells. Lines end at CR LF, LF
// or CR; a line end after the last line is no further row. A field that opens
// with a double quote and closes with one just before a TAB, a line end or the
// end of the text is unquoted (doubled quotes become one, TAB and line breaks
// inside it are kept); any other field is taken as it stands. The text is
// refused whole, with no rows, when a line has another number of fields, when
// it holds no line, or when it is longer than kMaxClipboardText.
struct TClipboardRows {
    enum TRefusal { crNone, crEmpty, crFieldCount, crTooLong };
    QList<QStringList> rows;
    TRefusal refusal = crNone;
    qsizetype badLine = -1; // the first line (from 0) with another field count
    bool Accepted() const { return refusal == crNone; }
};
TClipboardRows ReadClipboardRows(QStringView text, int fieldCount);

#pragma once

#include "platform/RegularFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A table read from a semicolon-separated text file (the autofill file); row 0
// is the header.
//
// Cells are separated by ";" and rows by a line feed, with or without a carriage
// return before it (the carriage return is dropped). A double quote toggles
// quoting; inside quotes ";" and line breaks belong to the cell, and a quote that
// reopens quoting right after a closing one stands for one quote character.
// After reading, every row is padded with empty cells to the widest row. The
// bytes are read as UTF-8 when they are valid UTF-8, else as Windows-1252.
class TCSVData {
public:
    // The largest file read: an autofill table holds lookup values, a few thousand
    // rows of a few columns; 64 MiB is far beyond that and still cheap to hold.
    static constexpr qint64 MaxFileBytes = qint64(64) << 20;

    // Fails, with the reason, when the file cannot be read; the table is then
    // empty. The file lies beside a document, where others may put things: only a
    // plain file of its own (no link, no pipe or device) of at most MaxFileBytes
    // is read. The code ReadFailure::Missing tells that there was no file at all.
    platform::OpenStatus LoadFromFile(const QString &fileName);
    void LoadFromBytes(const QByteArray &bytes);
    void LoadFromText(const QString &text);

    // Rows including the header; cells of the header row (0 without rows).
    int GetRows() const;
    int GetCols() const;
    // The cell text, empty out of range.
    QString GetCell(int col, int row) const;

    // The first header cell equal to `name` ignoring case, else -1.
    int FindCol(const QString &name) const;
    // The first row from 1 on whose cell equals `value` ignoring case, else -1.
    int FindRow(int col, const QString &value) const;
    // The last row from 1 on whose cell contains `value` ignoring case, else -1;
    // `ambiguous` tells whether more than one row matched.
    int FindRowRelaxed(int col, const QString &value, bool &ambiguous) const;
    // No non-empty value occurs twice in the column below the header.
    bool HasUniqueRows(int col) const;

private:
    static constexpr char16_t FDelim = u';';
    static constexpr char16_t FQuote = u'"';

    std::vector<QStringList> FData;
};

#pragma once

#include "document/text/TextHash.h"

#include <QString>
#include <unordered_map>

class Document;

// The stored form of a date cell: "yyyy-mm-dd hh:nn:ss", day 0 for an empty cell.
// A text the document cannot read as a date is stored as it stands, so that it
// reads back as the user wrote it (and the row stays invalid) instead of
// turning into day 0, which reads back as an empty cell.
QString StoredDateText(const Document &doc, const QString &cellText);

// Stored dates ("yyyy-mm-dd hh:nn:ss", day 0 for an empty cell) turned into the
// document's cell texts, for the readers of documents. Plans repeat the same few
// hundred dates, so each distinct text is parsed once. A text that is no stored
// date is logged (the first ones each, the rest as a count when the reader is
// done) and then, as the reader decides, left out or kept as it stands.
class TStoredDateCells {
public:
    enum class TBadDate {
        LeaveEmpty, // the cell stays empty
        KeepText, // the text is a date as the user wrote it (old documents, and
                  // dates the document could not read when it was saved)
    };

    // `reader` opens the log lines ("loadFrom()").
    TStoredDateCells(const Document &doc, TBadDate policy, QString reader);
    ~TStoredDateCells();
    TStoredDateCells(const TStoredDateCells &) = delete;
    TStoredDateCells &operator=(const TStoredDateCells &) = delete;

    // The cell text of `stored`; the row and column name the cell in the log. The
    // text lives as long as this object and `stored` do.
    const QString &CellText(const QString &stored, const QString &rowID, const QString &column);

private:
    const Document &FDoc;
    const TBadDate FPolicy;
    const QString FReader;
    std::unordered_map<QString, QString, TTextHasher, TTextEqual> FCells;
    const QString FNone;
    int FBadDates = 0;
};

#include "document/StoredDateCells.h"

#include "document/Document.h"
#include "document/program/Log.h"

namespace {

// Cells with a text that is no stored date are logged one by one up to this many.
constexpr int kLoggedBadDates = 20;

} // namespace

QString StoredDateText(const Document &doc, const QString &cellText)
{
    TDateTime date = 0;
    if (cellText.isEmpty() || doc.TryStrToDateTime(cellText, date))
        return FormatDateTimeForStorage(date);
    return cellText;
}

TStoredDateCells::TStoredDateCells(const Document &doc, TBadDate policy, QString reader)
    : FDoc(doc)
    , FPolicy(policy)
    , FReader(std::move(reader))
{ }

TStoredDateCells::~TStoredDateCells()
{
    if (FBadDates > kLoggedBadDates)
        Log(QStringLiteral("%1: %2 more cells held no stored date and were %3")
                .arg(FReader)
                .arg(FBadDates - kLoggedBadDates)
                .arg(FPolicy == TBadDate::LeaveEmpty ? QStringLiteral("left empty")
                                                     : QStringLiteral("kept as they stand")));
}

const QString &TStoredDateCells::CellText(const QString &stored, const QString &rowID, const QString &column)
{
    if (stored.isEmpty())
        return FNone;
    auto it = FCells.find(stored);
    if (it == FCells.end()) {
        TDateTime date = 0;
        if (!TryStrToDateTimeFromStorage(stored, date)) {
            const bool keep = FPolicy == TBadDate::KeepText;
            if (++FBadDates <= kLoggedBadDates)
                Log(QStringLiteral("%1: row %2, column %3: \"%4\" is no stored date, %5")
                        .arg(FReader, rowID, column, stored,
                            keep ? QStringLiteral("kept as it stands")
                                 : QStringLiteral("the cell is left empty")));
            return keep ? stored : FNone;
        }
        it = FCells.emplace(stored, date == 0 ? QString() : FDoc.FormatDateTime(date)).first;
    }
    return it->second;
}

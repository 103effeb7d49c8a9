#include "document/text/CSVData.h"

#include "platform/RegularFile.h"
#include "platform/Windows1252.h"

#include <QSet>

platform::OpenStatus TCSVData::LoadFromFile(const QString &fileName)
{
    FData.clear();
    const platform::ReadResult read
        = platform::readRegularFile(fileName, platform::Links::Refuse, MaxFileBytes);
    if (!read)
        return read.status();
    LoadFromBytes(read.value());
    return {};
}

void TCSVData::LoadFromBytes(const QByteArray &bytes)
{
    LoadFromText(platform::decodeUtf8OrWindows1252(bytes));
}

void TCSVData::LoadFromText(const QString &text)
{
    FData.clear();
    QStringList row;
    QString cell;
    bool quoted = false;
    bool justClosed = false; // the previous character closed quoting
    bool pending = false; // something was read since the last row ended

    for (const QChar c : text) {
        const bool wasJustClosed = justClosed;
        justClosed = false;
        if (c == FQuote) {
            pending = true;
            if (quoted) {
                quoted = false;
                justClosed = true;
            } else {
                if (wasJustClosed)
                    cell += FQuote;
                quoted = true;
            }
        } else if (quoted) {
            cell += c;
        } else if (c == FDelim) {
            pending = true;
            row.append(cell);
            cell.clear();
        } else if (c == u'\n') {
            row.append(cell);
            cell.clear();
            FData.push_back(row);
            row.clear();
            pending = false;
        } else if (c == u'\r') {
            // Dropped outside quotes: rows end at the line feed.
        } else {
            pending = true;
            cell += c;
        }
    }
    if (pending) {
        row.append(cell);
        FData.push_back(row);
    }

    qsizetype width = 0;
    for (const QStringList &r : FData)
        width = std::max(width, r.size());
    for (QStringList &r : FData) {
        while (r.size() < width)
            r.append(QString());
    }
}

int TCSVData::GetRows() const
{
    return static_cast<int>(FData.size());
}

int TCSVData::GetCols() const
{
    return FData.empty() ? 0 : static_cast<int>(FData.front().size());
}

QString TCSVData::GetCell(int col, int row) const
{
    if (row < 0 || row >= GetRows())
        return QString();
    const QStringList &r = FData[static_cast<size_t>(row)];
    return col >= 0 && col < r.size() ? r[col] : QString();
}

int TCSVData::FindCol(const QString &name) const
{
    for (int col = 0; col < GetCols(); ++col) {
        if (GetCell(col, 0).compare(name, Qt::CaseInsensitive) == 0)
            return col;
    }
    return -1;
}

int TCSVData::FindRow(int col, const QString &value) const
{
    if (col < 0 || col >= GetCols())
        return -1;
    for (int row = 1; row < GetRows(); ++row) {
        if (GetCell(col, row).compare(value, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

int TCSVData::FindRowRelaxed(int col, const QString &value, bool &ambiguous) const
{
    ambiguous = false;
    const QString wanted = value.toUpper();
    int found = -1;
    for (int row = 1; row < GetRows(); ++row) {
        if (GetCell(col, row).toUpper().contains(wanted)) {
            if (found >= 0)
                ambiguous = true;
            found = row;
        }
    }
    return found;
}

bool TCSVData::HasUniqueRows(int col) const
{
    QSet<QString> seen;
    for (int row = 1; row < GetRows(); ++row) {
        const QString cell = GetCell(col, row);
        if (cell.isEmpty())
            continue;
        if (seen.contains(cell))
            return false;
        seen.insert(cell);
    }
    return true;
}

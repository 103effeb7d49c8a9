#include "tables/ClipboardRows.h"

namespace {

bool endsField(QChar c)
{
    return c == u'\t' || c == u'\r' || c == u'\n';
}

// The field starting at `at`: its text and the position after it.
struct TField {
    QString text;
    qsizetype next = 0;
};

// A quoted field: the quotes must close right before a TAB, a line end or the
// end of the text. The scan stops at the first quote that is not doubled.
bool readQuoted(QStringView text, qsizetype at, TField &field)
{
    QString out;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (text[i] != u'"') {
            out.append(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'"') {
            out.append(u'"');
            ++i;
            continue;
        }
        if (i + 1 < text.size() && !endsField(text[i + 1]))
            return false;
        field = { out, i + 1 };
        return true;
    }
    return false;
}

TField readField(QStringView text, qsizetype at)
{
    TField field;
    if (at < text.size() && text[at] == u'"' && readQuoted(text, at, field))
        return field;
    qsizetype end = at;
    while (end < text.size() && !endsField(text[end]))
        ++end;
    return { text.sliced(at, end - at).toString(), end };
}

} // namespace

QString ClipboardCell(const QString &cell)
{
    const bool quote
        = cell.startsWith(u'"') || cell.contains(u'\t') || cell.contains(u'\r') || cell.contains(u'\n');
    if (!quote)
        return cell;
    QString escaped = cell;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString ClipboardLine(const QStringList &cells)
{
    if (cells.size() == 1 && cells.front().isEmpty())
        return QStringLiteral("\"\"");
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += u'\t';
        line += ClipboardCell(cells[i]);
    }
    return line;
}

QString ClipboardText(const QList<QStringList> &rows)
{
    QStringList lines;
    lines.reserve(rows.size());
    for (const QStringList &row : rows)
        lines.append(ClipboardLine(row));
    return lines.join(QStringLiteral("\r\n"));
}

TClipboardRows ReadClipboardRows(QStringView text, int fieldCount)
{
    // Rows beyond this many are refused like an overlong text: each costs far
    // more memory than the few characters it may take.
    constexpr qsizetype kMaxRows = qsizetype(1) << 20;
    TClipboardRows result;
    auto refuse = [&result](TClipboardRows::TRefusal why) {
        result.rows.clear();
        result.refusal = why;
        return result;
    };
    if (text.size() > kMaxClipboardText)
        return refuse(TClipboardRows::crTooLong);
    qsizetype at = 0;
    while (at < text.size()) {
        QStringList cells;
        for (;;) {
            TField field = readField(text, at);
            cells.append(std::move(field.text));
            at = field.next;
            const QChar c = at < text.size() ? text[at] : QChar();
            if (c == u'\t' && cells.size() <= fieldCount) {
                ++at;
                continue;
            }
            if (c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n')
                at += 2;
            else if (c == u'\r' || c == u'\n')
                ++at;
            break;
        }
        if (cells.size() != fieldCount) {
            result.badLine = result.rows.size();
            return refuse(TClipboardRows::crFieldCount);
        }
        if (result.rows.size() >= kMaxRows)
            return refuse(TClipboardRows::crTooLong);
        result.rows.append(std::move(cells));
    }
    if (result.rows.isEmpty())
        return refuse(TClipboardRows::crEmpty);
    return result;
}

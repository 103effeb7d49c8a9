#include "document/text/CommaText.h"

#include <algorithm>

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kDelimiter = u',';

// Blanks and control characters separate items outside quotes.
bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool needsQuotes(const QString &item)
{
    for (const QChar c : item) {
        if (isBlank(c) || c == kQuote || c == kDelimiter)
            return true;
    }
    return false;
}

QString quoted(const QString &item)
{
    QString result;
    result.reserve(item.size() + 2);
    result += kQuote;
    for (const QChar c : item) {
        result += c;
        if (c == kQuote)
            result += kQuote;
    }
    result += kQuote;
    return result;
}

// Reads a quoted item starting at the opening quote at `pos`; leaves `pos` after
// the closing quote. A missing closing quote takes the rest of the text.
QString readQuoted(const QString &text, qsizetype &pos)
{
    QString item;
    ++pos;
    // Whole runs between quotes at once: long items (working weeks) are common.
    for (;;) {
        const qsizetype quote = text.indexOf(QChar(kQuote), pos);
        item += QStringView(text).mid(pos, quote < 0 ? -1 : quote - pos);
        if (quote < 0) {
            pos = text.size();
            return item;
        }
        pos = quote + 1;
        if (pos >= text.size() || text[pos] != kQuote)
            return item;
        item += kQuote;
        ++pos;
    }
}

} // namespace

QString ToCommaText(const QStringList &items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QString result;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            result += kDelimiter;
        result += needsQuotes(items[i]) ? quoted(items[i]) : items[i];
    }
    return result;
}

QStringList ParseCommaText(const QString &text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n && isBlank(text[pos]))
        ++pos;
    while (pos < n) {
        if (text[pos] == kQuote) {
            items.append(readQuoted(text, pos));
        } else {
            const qsizetype start = pos;
            while (pos < n && !isBlank(text[pos]) && text[pos] != kDelimiter)
                ++pos;
            items.append(text.mid(start, pos - start));
        }
        while (pos < n && isBlank(text[pos]))
            ++pos;
        if (pos < n && text[pos] == kDelimiter) {
            if (pos + 1 == n)
                items.append(QString());
            ++pos;
            while (pos < n && isBlank(text[pos]))
                ++pos;
        }
    }
    return items;
}

QString AddToCommaText(const QString &commaText, const QString &item)
{
    QStringList items = ParseCommaText(commaText);
    items.append(item);
    return ToCommaText(items);
}

TCommaText::TCommaText(const QStringList &items)
    : FStringList(items)
{ }

TCommaText::TCommaText(const QString &commaText)
    : FStringList(ParseCommaText(commaText))
{ }

int TCommaText::Count() const
{
    return static_cast<int>(FStringList.size());
}

int TCommaText::Count(int i) const
{
    return TCommaText(Item(i)).Count();
}

int TCommaText::Count(int i, int j) const
{
    return TCommaText(Item(i, j)).Count();
}

int TCommaText::IndexOf(const QString &text) const
{
    for (qsizetype i = 0; i < FStringList.size(); ++i) {
        if (FStringList[i].compare(text, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString TCommaText::Item(int i) const
{
    return i >= 0 && i < FStringList.size() ? FStringList[i] : QString();
}

QString TCommaText::Item(int i, int j) const
{
    return TCommaText(Item(i)).Item(j);
}

QString TCommaText::Item(int i, int j, int k) const
{
    return TCommaText(Item(i, j)).Item(k);
}

void TCommaText::Add(const QString &text)
{
    FStringList.append(text);
}

void TCommaText::Insert(int i, const QString &text)
{
    FStringList.insert(std::clamp<qsizetype>(i, 0, FStringList.size()), text);
}

void TCommaText::Delete(int i)
{
    if (i >= 0 && i < FStringList.size())
        FStringList.removeAt(i);
}

void TCommaText::SetItem(int i, const QString &value)
{
    if (i < 0)
        return;
    while (FStringList.size() <= i)
        FStringList.append(QString());
    FStringList[i] = value;
}

void TCommaText::SetItem(int i, int j, const QString &value)
{
    if (i < 0 || j < 0)
        return;
    TCommaText inner(Item(i));
    inner.SetItem(j, value);
    SetItem(i, inner.AsString());
}

void TCommaText::SetItem(int i, int j, int k, const QString &value)
{
    if (i < 0 || j < 0 || k < 0)
        return;
    TCommaText inner(Item(i, j));
    inner.SetItem(k, value);
    SetItem(i, j, inner.AsString());
}

QString TCommaText::AsString() const
{
    return ToCommaText(FStringList);
}

void TCommaText::Clear()
{
    FStringList.clear();
}

void TCommaText::FromStrings(const QStringList &items)
{
    FStringList = items;
}

void TCommaText::FromCommaText(const QString &commaText)
{
    FStringList = ParseCommaText(commaText);
}

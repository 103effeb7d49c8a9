#pragma once

#include <QString>
#include <QStringList>
#include <memory>

// A list of texts in comma form, as list-valued cells and column items store it.
//
// Writing: items are joined by ","; an item holding a blank, a control character,
// a comma or a double quote is enclosed in double quotes with inner quotes
// doubled. A list of one empty item is written as two quotes, so it reads back as
// one item. Reading: items are separated by ",", and outside quotes also by blanks
// and control characters; a comma at the very end adds an empty last item.
//
// Nested lists are comma texts stored as items; the accessors with two and three
// indices reach one and two levels down.
class TCommaText {
public:
    TCommaText() = default;
    explicit TCommaText(const QStringList &items);
    explicit TCommaText(const QString &commaText);

    // Number of items; of the list in item i; of the list in item j of item i.
    int Count() const;
    int Count(int i) const;
    int Count(int i, int j) const;

    // First item equal to `text` ignoring case, or -1.
    int IndexOf(const QString &text) const;

    // Items; an empty text for any index out of range, at every level.
    QString Item(int i) const;
    QString Item(int i, int j) const;
    QString Item(int i, int j, int k) const;

    void Add(const QString &text);
    // Inserts before item i; an index beyond the ends inserts at that end.
    void Insert(int i, const QString &text);
    // Removes item i; nothing for an index out of range.
    void Delete(int i);

    // Appends empty items until item i exists, then sets it. The nested forms
    // rebuild the inner lists from the inside out the same way. A negative index
    // at any level changes nothing.
    void SetItem(int i, const QString &value);
    void SetItem(int i, int j, const QString &value);
    void SetItem(int i, int j, int k, const QString &value);

    QString AsString() const;
    void Clear();

    void FromArray(const QStringList &items) { FromStrings(items); }
    void FromStrings(const QStringList &items);
    void FromCommaText(const QString &commaText);

    const QStringList &Strings() const { return FStringList; }

    bool operator==(const TCommaText &) const = default;

private:
    QStringList FStringList;
};

// A comma text shared between holders that hand one list around.
using ICommaText = std::shared_ptr<TCommaText>;
inline ICommaText NewCommaText(const QString &commaText = QString())
{
    return std::make_shared<TCommaText>(commaText);
}

// The comma form of `items`, and the items of a comma text.
QString ToCommaText(const QStringList &items);
QStringList ParseCommaText(const QString &commaText);

// `commaText` with `item` appended.
QString AddToCommaText(const QString &commaText, const QString &item);

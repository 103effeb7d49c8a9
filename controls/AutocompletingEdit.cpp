#include "controls/AutocompletingEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace {

const QChar kBackspace(0x08);
const QChar kTab(0x09);
const QChar kEscape(0x1B);

// The text a key adds, or an empty text for keys that add none (arrows, Enter,
// shortcuts): those keep their usual meaning in the edit box.
QString CharacterOf(const QKeyEvent &Event)
{
    switch (Event.key()) {
    case Qt::Key_Backspace:
        return QString(kBackspace);
    case Qt::Key_Escape:
        return QString(kEscape);
    default:
        break;
    }
    if (Event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = Event.text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return {};
    return text;
}

// The caret one character to the left of Pos, a surrogate pair counting as one.
int CharacterLeftOf(const QString &Text, int Pos)
{
    if (Pos <= 0)
        return 0;
    if (Pos >= 2 && Text.at(Pos - 1).isLowSurrogate() && Text.at(Pos - 2).isHighSurrogate())
        return Pos - 2;
    return Pos - 1;
}

} // namespace

TAutocompletingEdit::TAutocompletingEdit(QWidget *Parent)
    : QLineEdit(Parent)
    , FCollator(QLocale())
{
    FCollator.setCaseSensitivity(Qt::CaseSensitive);
    connect(this, &QLineEdit::textChanged, this, &TAutocompletingEdit::Change);
    connect(this, &QLineEdit::textEdited, this, &TAutocompletingEdit::Edited);
}

int TAutocompletingEdit::FindInsertPlace(const QString &Item, bool &Found) const
{
    SortItems();
    const auto place = std::lower_bound(FItems.cbegin(), FItems.cend(), Item,
        [this](const QString &a, const QString &b) { return FCollator.compare(a, b) < 0; });
    Found = place != FItems.cend() && FCollator.compare(*place, Item) == 0;
    return int(place - FItems.cbegin());
}

int TAutocompletingEdit::AddItem(const QString &Item)
{
    bool found = false;
    const int place = FindInsertPlace(Item, found);
    if (!found)
        FItems.insert(place, Item);
    return place;
}

void TAutocompletingEdit::SetItems(const QStringList &Items)
{
    FItemsSource = nullptr;
    FItems = Items;
    FItemsSorted = false;
}

void TAutocompletingEdit::SetItemsSource(std::function<QStringList()> Source)
{
    FItems.clear();
    FItemsSource = std::move(Source);
    FItemsSorted = !FItemsSource;
}

const QStringList &TAutocompletingEdit::Items() const
{
    SortItems();
    return FItems;
}

void TAutocompletingEdit::SortItems() const
{
    if (FItemsSource)
        FItems = std::exchange(FItemsSource, nullptr)();
    if (FItemsSorted)
        return;
    FItemsSorted = true;
    // One sort key per item, then one sort.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(std::size_t(FItems.size()));
    for (const QString &item : std::as_const(FItems))
        keys.push_back(FCollator.sortKey(item));
    std::vector<int> order(std::size_t(FItems.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&keys](int a, int b) { return keys[std::size_t(a)].compare(keys[std::size_t(b)]) < 0; });
    QStringList sorted;
    sorted.reserve(FItems.size());
    const QCollatorSortKey *last = nullptr;
    for (int index : order) {
        const QCollatorSortKey &key = keys[std::size_t(index)];
        if (last && last->compare(key) == 0)
            continue;
        sorted.append(FItems.at(index));
        last = &key;
    }
    FItems = std::move(sorted);
}

void TAutocompletingEdit::SetItemIndex(int Index)
{
    SortItems();
    if (Index >= 0 && Index < FItems.size()) {
        FItemIndex = Index;
        setText(FItems.at(Index));
    } else {
        FItemIndex = -1;
        setText(QString());
    }
}

void TAutocompletingEdit::SetText(const QString &Text)
{
    setText(Text);
    if (FLimitToList)
        KeyPress(QString(QChar(0)));
}

void TAutocompletingEdit::Clear()
{
    clear();
    FItemsSource = nullptr;
    FItems.clear();
    FItemsSorted = true;
}

bool TAutocompletingEdit::SelectItem(QString Text)
{
    const int nul = Text.indexOf(QChar(0));
    if (nul >= 0)
        Text.remove(nul, 1);
    if (Text.isEmpty()) {
        SetItemIndex(-1);
        return false;
    }
    // The list is sorted, so the walk ends at the first item beyond the text.
    SortItems();
    int found = -1;
    for (int i = 0; i < FItems.size(); ++i) {
        const int order = FCollator.compare(QStringView(FItems.at(i)).left(Text.size()), Text);
        if (order == 0)
            found = i;
        if (order >= 0)
            break;
    }
    if (found < 0 && !FLimitToList)
        return false;
    SetItemIndex(found);
    FAutoCompleted = true;
    const int typed = std::min<int>(Text.size(), text().size());
    setSelection(typed, text().size() - typed);
    return true;
}

bool TAutocompletingEdit::KeyPress(const QString &Key)
{
    FAutoCompleted = false;
    if (!FAutoComplete)
        return false;
    if (Key == kBackspace) {
        if (!FLimitToList)
            return false;
        // Stepping back over a completion keeps the text a list item: the rest
        // from the caret on stays selected for the next key.
        if (hasSelectedText())
            del();
        const int start = CharacterLeftOf(text(), cursorPosition());
        setSelection(start, text().size() - start);
        return true;
    }
    if (Key == kTab || Key == kEscape)
        return false;
    const QString before = hasSelectedText() ? text().left(selectionStart()) : text();
    return SelectItem(before + Key);
}

void TAutocompletingEdit::keyPressEvent(QKeyEvent *Event)
{
    const QString key = CharacterOf(*Event);
    if (!key.isEmpty() && KeyPress(key)) {
        Event->accept();
        // A completion sets the text as code does: the user typed it all the same.
        if (FAutoCompleted)
            emit Edited();
        return;
    }
    QLineEdit::keyPressEvent(Event);
}

void TAutocompletingEdit::focusOutEvent(QFocusEvent *Event)
{
    QLineEdit::focusOutEvent(Event);
    // A context menu of the box does not leave it.
    if (Event->reason() == Qt::PopupFocusReason)
        return;
    if (FAutoCompleted) {
        FAutoCompleted = false;
        emit Change();
        emit Edited();
    }
}

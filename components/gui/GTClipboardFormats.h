#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

struct QMetaObject;
class TGridTreeView;

// The clipboard formats trees can render. A format is a number: 1 to 16 are
// the standard formats, numbers from 0xC000 on are handed out for names
// registered at run time (the same name, in any case, gets the same number).
// Each format travels as one MIME type.
using TClipFormat = uint16_t;
inline constexpr TClipFormat CF_TEXT = 1;
inline constexpr TClipFormat CF_UNICODETEXT = 13;

// The names of the tree's own formats and of the text renderings.
inline constexpr const char *CFSTR_GRIDTREE = "Dedevev Azev Data";
inline constexpr const char *CFSTR_GRIDTREE_REFERENCE = "Dedevev Azev Reference";
inline constexpr const char *CFSTR_HTML = "HTML Format";
inline constexpr const char *CFSTR_RTF = "Rich Text Format";
inline constexpr const char *CFSTR_RTFNOOBJS = "Rich Text Format Without Objects";
inline constexpr const char *CFSTR_CSV = "CSV";

// The number of a registered name (registering it on first use).
TClipFormat RegisterClipboardFormat(const QString &Name);
// The name of a format: the standard formats' descriptions, a registered
// format's name; empty for an unknown number.
QString ClipboardFormatName(TClipFormat Format);
// The MIME type a format travels as.
QString ClipboardFormatMimeType(TClipFormat Format);

// One format of the registry: the tree class that can render it (that class
// and every class derived from it) and its priority (smaller comes first).
struct TClipboardFormatEntry {
    QString Description;
    const QMetaObject *TreeClass = nullptr;
    uint32_t Priority = 0;
    TClipFormat Format = 0;
    QString MimeType;
};
using TFormatList = std::vector<TClipboardFormatEntry>;

// The MIME types a format's data is offered under: its own and the names
// other programs ask for the same data by. Text is also "text/plain", which
// Qt offers at an X display as the selection targets UTF8_STRING, STRING and
// TEXT as well.
QStringList OfferedMimeTypes(const TClipboardFormatEntry &Format);

// Registers a format by name (giving it a number) or by an existing number;
// the registry stays sorted by priority. Returns the format's number.
TClipFormat RegisterGTClipboardFormat(
    const QString &Description, const QMetaObject *TreeClass, uint32_t Priority);
void RegisterGTClipboardFormat(TClipFormat Format, const QMetaObject *TreeClass, uint32_t Priority);
// Every registry entry, in priority order, whose tree class TreeClass derives
// from and, when AllowedFormats is given, whose description it names.
void EnumerateFormats(
    const QMetaObject *TreeClass, TFormatList &Formats, const QStringList *AllowedFormats = nullptr);
// The tree class of the last entry named Description (in any case), nil when
// there is none; Format gets its number.
const QMetaObject *FindFormat(const QString &Description, TClipFormat &Format);
// The whole registry, in priority order.
const TFormatList &ClipboardFormatRegistry();

// The names of the formats a tree offers: a sorted list without duplicates
// that takes only names registered for the tree's class or one it derives from.
class TClipboardFormats {
public:
    explicit TClipboardFormats(const TGridTreeView &Owner)
        : FOwner(Owner)
    { }

    // The index of the name, or -1 when it is not taken.
    int Add(const QString &S);
    // A sorted list has no places: the same as Add.
    int Insert(int Index, const QString &S);
    void Clear() { FItems.clear(); }
    void Delete(int Index) { FItems.removeAt(Index); }
    int Count() const { return int(FItems.size()); }
    int IndexOf(const QString &S) const;
    const QString &operator[](int Index) const { return FItems.at(Index); }
    const QStringList &Items() const { return FItems; }
    // Clears the list and adds every name.
    void Assign(const QStringList &Names);

private:
    const TGridTreeView &FOwner;
    QStringList FItems;
};

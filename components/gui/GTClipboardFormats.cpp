#include "components/gui/GTClipboardFormats.h"

#include "components/gui/GridTreeView.h"
#include "components/gui/StringGridTree.h"

#include <QMetaObject>
#include <algorithm>
#include <array>

namespace {

constexpr TClipFormat FirstRegisteredFormat = 0xC000;

// The standard formats' descriptions, by number from 1.
constexpr std::array<const char *, 16> StandardFormatNames { "Plain text", "Windows bitmap",
    "Windows metafile", "Symbolic link", "Data interchange format", "Tiff image", "OEM text", "DIB image",
    "Palette data", "Pen data", "Riff audio data", "Wav audio data", "Unicode text",
    "Enhanced metafile image", "File name(s)", "Locale descriptor" };

const QString TextMime = QStringLiteral("text/plain;charset=utf-8");

QString StandardMimeType(TClipFormat Format)
{
    switch (Format) {
    case 1:
    case 7:
    case 13:
        return TextMime;
    case 2:
    case 8:
        return QStringLiteral("image/bmp");
    case 6:
        return QStringLiteral("image/tiff");
    case 12:
        return QStringLiteral("audio/wav");
    case 15:
        return QStringLiteral("text/uri-list");
    default:
        return QStringLiteral("application/x-zeltrano-format-%1").arg(Format);
    }
}

// A registered name's MIME type: the well-known ones, else one of ours made
// from the name.
QString RegisteredMimeType(const QString &Name)
{
    if (Name.compare(QLatin1String(CFSTR_HTML), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/html");
    if (Name.compare(QLatin1String(CFSTR_RTF), Qt::CaseInsensitive) == 0
        || Name.compare(QLatin1String(CFSTR_RTFNOOBJS), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/rtf");
    if (Name.compare(QLatin1String(CFSTR_CSV), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/csv");
    if (Name.compare(QLatin1String(CFSTR_GRIDTREE), Qt::CaseInsensitive) == 0)
        return QStringLiteral("application/x-zeltrano-tree-data");
    if (Name.compare(QLatin1String(CFSTR_GRIDTREE_REFERENCE), Qt::CaseInsensitive) == 0)
        return QStringLiteral("application/x-zeltrano-tree-reference");
    QString mime = QStringLiteral("application/x-zeltrano-");
    for (const QChar c : Name.toLower())
        mime += c.isLetterOrNumber() && c.unicode() < 128 ? c : QChar(u'-');
    return mime;
}

struct TRegisteredName {
    QString Name;
    QString MimeType;
};

std::vector<TRegisteredName> &RegisteredNames()
{
    static std::vector<TRegisteredName> names;
    return names;
}

bool Derives(const QMetaObject *Class, const QMetaObject *Base)
{
    return Class && Base && Class->inherits(Base);
}

TFormatList &Registry()
{
    static TFormatList registry;
    // The standard entries go in on the first use (registering them comes back here).
    static bool initialised = false;
    if (!initialised) {
        initialised = true;
        const QMetaObject *base = &TGridTreeView::staticMetaObject;
        const QMetaObject *strings = &TCustomStringGridTree::staticMetaObject;
        RegisterGTClipboardFormat(QLatin1String(CFSTR_GRIDTREE), base, 50);
        RegisterGTClipboardFormat(QLatin1String(CFSTR_HTML), strings, 80);
        RegisterGTClipboardFormat(QLatin1String(CFSTR_RTFNOOBJS), strings, 84);
        RegisterGTClipboardFormat(QLatin1String(CFSTR_RTF), strings, 85);
        RegisterGTClipboardFormat(QLatin1String(CFSTR_CSV), strings, 90);
        RegisterGTClipboardFormat(CF_UNICODETEXT, strings, 95);
        RegisterGTClipboardFormat(CF_TEXT, strings, 100);
        // Known by number, not offered by any tree.
        RegisterClipboardFormat(QLatin1String(CFSTR_GRIDTREE_REFERENCE));
    }
    return registry;
}

void AddEntry(TClipboardFormatEntry Entry)
{
    TFormatList &registry = Registry();
    registry.push_back(std::move(Entry));
    std::stable_sort(
        registry.begin(), registry.end(), [](const TClipboardFormatEntry &A, const TClipboardFormatEntry &B) {
            return A.Priority < B.Priority;
        });
}

} // namespace

TClipFormat RegisterClipboardFormat(const QString &Name)
{
    std::vector<TRegisteredName> &names = RegisteredNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].Name.compare(Name, Qt::CaseInsensitive) == 0)
            return TClipFormat(FirstRegisteredFormat + i);
    names.push_back({ Name, RegisteredMimeType(Name) });
    return TClipFormat(FirstRegisteredFormat + names.size() - 1);
}

QString ClipboardFormatName(TClipFormat Format)
{
    if (Format >= 1 && Format <= StandardFormatNames.size())
        return QLatin1String(StandardFormatNames[Format - 1]);
    const std::vector<TRegisteredName> &names = RegisteredNames();
    if (Format >= FirstRegisteredFormat && std::size_t(Format - FirstRegisteredFormat) < names.size())
        return names[Format - FirstRegisteredFormat].Name;
    return {};
}

QString ClipboardFormatMimeType(TClipFormat Format)
{
    if (Format >= 1 && Format <= StandardFormatNames.size())
        return StandardMimeType(Format);
    const std::vector<TRegisteredName> &names = RegisteredNames();
    if (Format >= FirstRegisteredFormat && std::size_t(Format - FirstRegisteredFormat) < names.size())
        return names[Format - FirstRegisteredFormat].MimeType;
    return {};
}

QStringList OfferedMimeTypes(const TClipboardFormatEntry &Format)
{
    if (Format.MimeType.isEmpty())
        return {};
    if (Format.MimeType == TextMime)
        return { TextMime, QStringLiteral("text/plain") };
    return { Format.MimeType };
}

TClipFormat RegisterGTClipboardFormat(
    const QString &Description, const QMetaObject *TreeClass, uint32_t Priority)
{
    const TClipFormat format = RegisterClipboardFormat(Description);
    AddEntry({ Description, TreeClass, Priority, format, ClipboardFormatMimeType(format) });
    return format;
}

void RegisterGTClipboardFormat(TClipFormat Format, const QMetaObject *TreeClass, uint32_t Priority)
{
    AddEntry({ ClipboardFormatName(Format), TreeClass, Priority, Format, ClipboardFormatMimeType(Format) });
}

const TFormatList &ClipboardFormatRegistry()
{
    return Registry();
}

void EnumerateFormats(const QMetaObject *TreeClass, TFormatList &Formats, const QStringList *AllowedFormats)
{
    for (const TClipboardFormatEntry &entry : Registry()) {
        if (!Derives(TreeClass, entry.TreeClass))
            continue;
        if (AllowedFormats && !AllowedFormats->contains(entry.Description, Qt::CaseInsensitive))
            continue;
        Formats.push_back(entry);
    }
}

const QMetaObject *FindFormat(const QString &Description, TClipFormat &Format)
{
    const TFormatList &registry = Registry();
    for (auto it = registry.rbegin(); it != registry.rend(); ++it) {
        if (it->Description.compare(Description, Qt::CaseInsensitive) == 0) {
            Format = it->Format;
            return it->TreeClass;
        }
    }
    return nullptr;
}

// ---- the tree's list --------------------------------------------------------------------------

int TClipboardFormats::IndexOf(const QString &S) const
{
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].compare(S, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TClipboardFormats::Add(const QString &S)
{
    TClipFormat format = 0;
    const QMetaObject *treeClass = FindFormat(S, format);
    if (!Derives(FOwner.metaObject(), treeClass))
        return -1;
    const int existing = IndexOf(S);
    if (existing >= 0)
        return existing;
    const auto place = std::lower_bound(FItems.begin(), FItems.end(), S,
        [](const QString &A, const QString &B) { return A.compare(B, Qt::CaseInsensitive) < 0; });
    const int index = int(place - FItems.begin());
    FItems.insert(index, S);
    return index;
}

int TClipboardFormats::Insert(int, const QString &S)
{
    return Add(S);
}

void TClipboardFormats::Assign(const QStringList &Names)
{
    Clear();
    for (const QString &name : Names)
        Add(name);
}

// The document file: the setup, the public holidays and the rows of both tables
// as one XML tree, written plain or compressed.
#include "document/Document.h"
#include "document/DocumentLoadCheck.h"
#include "document/DocumentTable.h"
#include "document/StoredDateCells.h"
#include "document/StoredRows.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/program/Utils.h"
#include "document/text/CommaText.h"
#include "document/xml/LZR.h"
#include "document/xml/XMLFile.h"
#include "document/xml/XMLWriter.h"
#include "platform/AtomicFile.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <unordered_map>

namespace {

// Element and attribute names, hashed once.
const THashedString kDocument(QStringLiteral("document"));
const THashedString kSetup(QStringLiteral("setup"));
const THashedString kData(QStringLiteral("data"));
const THashedString kVersion(QStringLiteral("Version"));
const THashedString kSubVersion(QStringLiteral("SubVersion"));
const THashedString kAusgabe(QStringLiteral("Ausgabe"));
const THashedString kBuild(QStringLiteral("Build"));
const THashedString kMinUnit(QStringLiteral("MinUnit"));
const THashedString kMaxHistoryFiles(QStringLiteral("MaxHistoryFiles"));
const THashedString kDefaultHolidayReason(QStringLiteral("DefaultHolidayReason"));
const THashedString kDefaultCalcWorkdays(QStringLiteral("DefaultCalcWorkdays"));
const THashedString kConnections(QStringLiteral("Connections"));
const THashedString kHeaders(QStringLiteral("Headers"));
const THashedString kCaption(QStringLiteral("Caption"));
const THashedString kType(QStringLiteral("Type"));
const THashedString kStrings(QStringLiteral("Strings"));
const THashedString kColor(QStringLiteral("Color"));
const THashedString kHolidayColor(QStringLiteral("HolidayColor"));
const THashedString kHolidayReason(QStringLiteral("HolidayReason"));
const THashedString kPositionGroup(QStringLiteral("PositionGroup"));
const THashedString kName(QStringLiteral("Name"));
const THashedString kFilter(QStringLiteral("Filter"));
const THashedString kRowHeight(QStringLiteral("RowHeight"));
const THashedString kColWidth(QStringLiteral("ColWidth"));
const THashedString kZoom(QStringLiteral("Zoom"));
const THashedString kRowSet(QStringLiteral("RowSet"));
const THashedString kPublicHoliday(QStringLiteral("Public Holiday"));
const THashedString kDay(QStringLiteral("Day"));
const THashedString kMonth(QStringLiteral("Month"));
const THashedString kEnabled(QStringLiteral("Enabled"));
const THashedString kEaster(QStringLiteral("Easter"));
const THashedString kNew(QStringLiteral("new"));
const THashedString kId(QStringLiteral("id"));
const THashedString kTableMarker(QStringLiteral("__table__"));

const QString kLoadError = QStringLiteral("loadFrom() error:");

// Rows times columns a load may create beyond what the file's cells account for: a
// small file must not make the model allocate without bound.
constexpr qint64 kFreeCells = qint64(1) << 22;

THashedString numbered(int number)
{
    return THashedString(QString::number(number));
}

QString number(qint64 value)
{
    return QString::number(value);
}

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString colorText(std::uint32_t color)
{
    return QStringLiteral("0x") + QString::number(color, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

const TXMLNode *child(const TXMLNode *parent, const THashedString &name)
{
    return parent ? parent->namedNode(name) : nullptr;
}

TXMLNode *findOrAdd(TXMLNode &parent, const THashedString &name)
{
    TXMLNode *node = parent.namedNode(name);
    return node ? node : parent.AddNode(name);
}

// The children named "0", "1", ...: found by position when they stand in the
// writer's order, else by name (first of that name), so a file with many of them
// never costs a scan per look-up.
class NumberedChildren {
public:
    explicit NumberedChildren(const TXMLNode *parent)
        : FParent(parent)
    { }

    const TXMLNode *Get(int index) const
    {
        if (!FParent)
            return nullptr;
        const QString name = QString::number(index);
        if (index < FParent->Count() && FParent->Node(index)->Name().StrEquals(name))
            return FParent->Node(index);
        if (!FBuilt) {
            for (const auto &node : FParent->Nodes()) {
                if (!FByName.contains(node->Name().Value()))
                    FByName.insert(node->Name().Value(), node.get());
            }
            FBuilt = true;
        }
        return FByName.value(name, nullptr);
    }

private:
    const TXMLNode *FParent;
    mutable QHash<QString, const TXMLNode *> FByName;
    mutable bool FBuilt = false;
};

// A stored colour: "0x" or "$" and hexadecimal digits, or a decimal number. The
// high byte (a system colour's mark) is dropped: the model holds plain RGB values.
bool parseColor(const QString &text, std::uint32_t &color)
{
    const QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    if (!ok)
        return false;
    color = std::uint32_t(value) & 0x00FFFFFFu;
    return true;
}

std::vector<std::uint32_t> loadColors(const TXMLNode *list)
{
    std::vector<std::uint32_t> colors;
    if (!list)
        return colors;
    colors.reserve(size_t(list->Count()));
    for (const auto &node : list->Nodes()) {
        std::uint32_t color = 0;
        if (parseColor(node->Value(), color))
            colors.push_back(color);
        else // the first colour of the fill-up cycle
            Document::FillUpColors(colors, int(colors.size()) + 1);
    }
    return colors;
}

// ---------------------------------------------------------------- writing

void SaveSetup(const Document &doc, TXMLNode &setup)
{
    const TDocumentSetup &values = doc.Setup();
    int major = 0, minor = 0, release = 0, build = 0, flags = 0;
    GetBuildInfo(QString(), major, minor, release, build, flags);
    setup.AddNode(kVersion, number(major));
    setup.AddNode(kSubVersion, number(minor));
    setup.AddNode(kAusgabe, number(release));
    setup.AddNode(kBuild, number(build));

    setup.AddNode(kMinUnit, number(doc.GetMinUnit()));
    setup.AddNode(kMaxHistoryFiles, number(values.FMaxHistoryFiles));
    setup.AddNode(kDefaultHolidayReason, values.FDefaultHolidayReason);
    setup.AddNode(kDefaultCalcWorkdays, boolText(values.FDefaultCalcWorkdays));

    TXMLNode *connections = setup.AddNode(kConnections);
    for (int role = cnPosition; role <= cnInterval; ++role)
        connections->AddNode(THashedString(ConnectionName(TConnection(role))),
            number(doc.GetConnection(tbTable, TConnection(role))));

    TXMLNode *headers = setup.AddNode(kHeaders);
    for (int i = 0; i < doc.GetTableColCount(tbTable); ++i) {
        TXMLNode *header = headers->AddNode(numbered(i));
        header->AddNode(kCaption, doc.GetColumnCaption(tbTable, i));
        header->AddNode(kType, number(doc.GetColumnType(tbTable, i)));
        header->AddNode(kStrings, ToCommaText(doc.GetColumnStrings(tbTable, i)));
    }

    TXMLNode *colors = setup.AddNode(kColor);
    for (size_t i = 0; i < values.FColors.size(); ++i)
        colors->AddNode(numbered(int(i)), colorText(values.FColors[i]));
    TXMLNode *holidayColors = setup.AddNode(kHolidayColor);
    for (size_t i = 0; i < values.FHolidayColors.size(); ++i)
        holidayColors->AddNode(numbered(int(i)), colorText(values.FHolidayColors[i]));
    setup.AddNode(kHolidayReason, ToCommaText(values.FHolidayReasons));

    // The first tab shows all positions and is not stored.
    TXMLNode *groups = setup.AddNode(kPositionGroup);
    for (int g = 1; g < values.FPositionGroup.size(); ++g) {
        TXMLNode *group = groups->AddNode(numbered(g));
        group->AddNode(kName, values.FPositionGroupNames.value(g));
        group->AddNode(kFilter, values.FPositionGroup[g]);
    }

    setup.AddNode(kRowHeight, number(doc.StoredRowHeight()));
    setup.AddNode(kColWidth, number(values.FTimeChartColWidth));
    setup.AddNode(kZoom, number(values.FZoom));

    TXMLNode *rowSets = setup.AddNode(kRowSet);
    for (size_t i = 0; i < values.FRowSets.size(); ++i)
        rowSets->AddNode(numbered(int(i)), number(values.FRowSets[i]));

    TXMLNode *holidays = setup.AddNode(kPublicHoliday);
    for (size_t i = 0; i < values.FHolidayList.size(); ++i) {
        const THolidayData &h = values.FHolidayList[i];
        TXMLNode *holiday = holidays->AddNode(numbered(int(i)));
        holiday->AddNode(kName, h.name);
        holiday->AddNode(kDay, number(h.day));
        holiday->AddNode(kMonth, number(h.month));
        holiday->AddNode(kEnabled, boolText(h.enabled));
        holiday->AddNode(kEaster, boolText(h.easter));
    }
}

// One table's rows as the file stores them, one at a time in file order: the ID
// and the children of its element (the table marker, then the cells, dates in
// their stored form), each a name and a text.
void MakeRows(const Document &doc, TWhichTable table, const TStoredRowTaker &take)
{
    const int columns = doc.GetTableColCount(table);
    std::vector<QString> names;
    std::vector<bool> isDate;
    for (int c = 0; c < columns; ++c) {
        names.push_back(doc.GetColumnCaptionHack(table, c));
        isDate.push_back(doc.GetColumnType(table, c) == ctDate);
    }
    const QString tableName = TableName(table);
    const QString &markerName = kTableMarker.Value();
    const QString none;
    // Plans repeat the same few hundred dates: each distinct cell text is parsed
    // once (a node map: the texts stay where they are as it grows).
    std::unordered_map<QString, QString> storedDates;
    TStoredChildren children;

    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        children.clear();
        children.emplace_back(&markerName, &tableName);
        const qsizetype cells = row->StringList.size();
        for (int c = 0; c < columns; ++c) {
            const QString *text = c < cells ? &row->StringList[c] : &none;
            if (isDate[size_t(c)]) {
                auto it = storedDates.find(*text);
                if (it == storedDates.end())
                    it = storedDates.emplace(*text, StoredDateText(doc, *text)).first;
                text = &it->second;
            }
            // An element without name and value would read as a closing tag; an
            // empty cell needs no element to read back empty.
            if (names[size_t(c)].isEmpty() && text->isEmpty())
                continue;
            children.emplace_back(&names[size_t(c)], text);
        }
        take(row->ID, children);
    }
}

void SaveRows(const Document &doc, TXMLNode &data, TWhichTable table)
{
    MakeRows(doc, table, [&data](const QString &id, const TStoredChildren &children) {
        TXMLNode *element = data.AddNode(kNew);
        element->AddAttribute(kId, id);
        for (const auto &[name, text] : children)
            element->AddNode(THashedString(*name), *text);
    });
}

// The rows of one table written straight to bytes, in the layout SaveRows' tree is
// written in: a large document need not be built as a tree first.
// How many rows were written so far, told every few thousand rows.
struct RowsWritten {
    const std::function<void(qint64 rows)> &tell;
    const std::function<void(QByteArrayView bytes)> &grown;
    const xml::StreamWriter *out = nullptr;
    qint64 rows = 0;
    void Count()
    {
        if ((++rows & 0xfff) != 0)
            return;
        if (tell)
            tell(rows);
        if (grown && out)
            grown(out->written());
    }
};

// A text escaped for the file, in a byte array of its own.
QByteArray Escaped(QStringView text)
{
    QByteArray bytes(text.size() * xml::StreamWriter::kWidest, Qt::Uninitialized);
    bytes.truncate(xml::StreamWriter::escapeInto(bytes.data(), text) - bytes.data());
    return bytes;
}

// The stored form of date cells, escaped for the file. Equal cell texts mostly
// share their characters, so a text is first looked up by where its characters
// lie (no hashing, no comparing); the rows stay as they are while a save reads
// them, so equal places hold equal texts.
class StoredDates {
public:
    explicit StoredDates(const Document &doc)
        : FDoc(doc)
    { }

    QByteArrayView Of(const QString &cell)
    {
        const QChar *at = cell.constData();
        Seen &seen = FSeen[(quintptr(at) >> 3 ^ quintptr(at) >> 13) % FSeen.size()];
        if (seen.at == at && seen.size == cell.size())
            return *seen.stored;
        auto it = FByText.find(cell);
        if (it == FByText.end())
            it = FByText.emplace(cell, Escaped(StoredDateText(FDoc, cell))).first;
        seen = { at, cell.size(), &it->second };
        return it->second;
    }

private:
    struct Seen {
        const QChar *at = nullptr;
        qsizetype size = -1;
        const QByteArray *stored = nullptr;
    };
    const Document &FDoc;
    // A node map: the stored texts stay where they are as it grows.
    std::unordered_map<QString, QByteArray> FByText;
    std::array<Seen, 1021> FSeen {};
};

// Short cell texts that several cells hold (a list item, a length, a position),
// escaped once and found again by where their characters lie.
class EscapedCells {
public:
    // Whether `text` is one to keep: short and held by more than one cell.
    static bool Kept(const QString &text) { return text.size() <= kLongest && !text.isDetached(); }

    // The escaped form of a kept text; valid until the next call.
    QByteArrayView Of(const QString &text)
    {
        const QChar *at = text.constData();
        Slot &slot = FSlots[(quintptr(at) >> 3 ^ quintptr(at) >> 13) % FSlots.size()];
        if (slot.at == at && slot.size == text.size())
            return QByteArrayView(slot.bytes, slot.length);
        char *end = xml::StreamWriter::escapeInto(FScratch.data(), text);
        const qsizetype length = end - FScratch.data();
        if (length > qsizetype(sizeof(slot.bytes)))
            return QByteArrayView(FScratch.data(), length);
        std::memcpy(slot.bytes, FScratch.data(), size_t(length));
        slot.at = at;
        slot.size = qint32(text.size());
        slot.length = qint32(length);
        return QByteArrayView(slot.bytes, length);
    }

private:
    static constexpr qsizetype kLongest = 48;
    // One cache line each.
    struct Slot {
        const QChar *at = nullptr;
        qint32 size = -1;
        qint32 length = 0;
        char bytes[48];
    };
    std::vector<Slot> FSlots = std::vector<Slot>(2048);
    std::array<char, kLongest * xml::StreamWriter::kWidest> FScratch;
};

const xml::ElementName &RowName()
{
    static const xml::ElementName name(kNew.Value());
    return name;
}
const xml::ElementName &MarkerName()
{
    static const xml::ElementName name(kTableMarker.Value());
    return name;
}
const QByteArray &IdAttribute()
{
    static const QByteArray start = xml::StreamWriter::attributeStart(kId.Value());
    return start;
}

// About the size of one table's rows as StreamRows writes them, told by its first
// rows: a little more unless later rows hold longer texts or many characters need
// references, so the buffer seldom grows. The rows are not all read for it: that
// would cost nearly as much as writing them.
qsizetype RowsSize(const Document &doc, TWhichTable table, int level)
{
    constexpr qint64 kSampled = 512;
    const int columns = doc.GetTableColCount(table);
    std::vector<qsizetype> cellSize; // indent, tags and line end of each cell
    std::vector<qsizetype> leastText;
    // Two indents, the tags, the ID's attribute and its end; the table marker.
    const qsizetype rowSize = 4 * level + RowName().size() + IdAttribute().size() + 3 + 2 * (level + 1)
        + MarkerName().size() + TableName(table).size();
    for (int c = 0; c < columns; ++c) {
        cellSize.push_back(2 * (level + 1) + xml::ElementName(doc.GetColumnCaptionHack(table, c)).size());
        // A stored date is longer than most shown ones.
        leastText.push_back(doc.GetColumnType(table, c) == ctDate ? 19 : 0);
    }
    qint64 sampled = 0;
    qint64 size = 0;
    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row && sampled < kSampled; row = rows.Next(row), ++sampled) {
        size += rowSize + row->ID.size();
        const qsizetype cells = std::min<qsizetype>(row->StringList.size(), columns);
        for (int c = 0; c < columns; ++c)
            size += cellSize[size_t(c)]
                + std::max(c < cells ? row->StringList[c].size() : 0, leastText[size_t(c)]);
    }
    if (sampled == 0)
        return 0;
    const qint64 all = std::max<qint64>(sampled, doc.TotalCount(table));
    // A few long first rows do not make the room for all of them huge: past a
    // few hundred bytes a cell the buffer grows as it fills.
    const qint64 most = all * (64 + 256 * qint64(columns)) + size;
    return qsizetype(std::min(size * all / sampled * 9 / 8, most));
}

void StreamRows(
    const Document &doc, xml::StreamWriter &out, TWhichTable table, int level, RowsWritten &written)
{
    const xml::ElementName &rowName = RowName();
    const xml::ElementName &markerName = MarkerName();
    const QByteArray &idAttribute = IdAttribute();

    const int columns = doc.GetTableColCount(table);
    std::vector<xml::ElementName> names;
    std::vector<bool> isDate;
    std::vector<bool> unnamed;
    names.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const QString name = doc.GetColumnCaptionHack(table, c);
        names.emplace_back(name);
        unnamed.push_back(name.isEmpty());
        isDate.push_back(doc.GetColumnType(table, c) == ctDate);
    }
    const QString tableName = TableName(table);
    StoredDates storedDates(doc);
    EscapedCells escapedCells;
    const QString none;

    const DocumentTable &rows = doc.GetTable(table);
    for (const TNodeData *row = rows.First(); row; row = rows.Next(row)) {
        out.open(rowName, level, idAttribute, row->ID);
        out.leaf(markerName, level + 1, tableName);
        const qsizetype cells = row->StringList.size();
        for (int c = 0; c < columns; ++c) {
            const QString &text = c < cells ? row->StringList[c] : none;
            const xml::ElementName &name = names[size_t(c)];
            if (isDate[size_t(c)]) {
                const QByteArrayView stored = storedDates.Of(text);
                if (!unnamed[size_t(c)] || !stored.isEmpty())
                    out.leafEscaped(name, level + 1, stored);
            } else if (!unnamed[size_t(c)] || !text.isEmpty()) {
                if (EscapedCells::Kept(text))
                    out.leafEscaped(name, level + 1, escapedCells.Of(text));
                else
                    out.leaf(name, level + 1, text);
            }
        }
        out.close(rowName, level);
        written.Count();
    }
}

// The whole file's text: the tree (setup and the rest of the template) with the rows
// of both tables streamed in as the children of its data element.
QByteArray WriteDocument(const Document &doc, const TXMLTree &tree, const TXMLNode *data,
    const std::function<void(qint64 rows)> &progress, const std::function<void(QByteArrayView bytes)> &grown)
{
    RowsWritten written { progress, grown };
    const bool hasRows = doc.GetTable(tbTable).First() || doc.GetTable(tbExclude).First();
    // Room for the whole text up front: a doubling copies what was made and
    // touches fresh memory for it again.
    qsizetype estimate = 64 * 1024;
    if (hasRows)
        estimate += RowsSize(doc, tbTable, 2) + RowsSize(doc, tbExclude, 2);
    xml::StreamWriter out(estimate);
    written.out = &out;
    for (const auto &top : tree.Nodes()) {
        if (!hasRows || data->Count() > 0 || top.get() != data->parentNode()) {
            out.element(*top, 0);
            continue;
        }
        const xml::ElementName documentName(top->Name().Value());
        out.open(documentName, 0);
        for (const auto &element : top->Nodes()) {
            if (element.get() != data) {
                out.element(*element, 1);
                continue;
            }
            const xml::ElementName dataName(data->Name().Value());
            out.open(dataName, 1);
            StreamRows(doc, out, tbTable, 2, written);
            StreamRows(doc, out, tbExclude, 2, written);
            out.close(dataName, 1);
        }
        out.close(documentName, 0);
    }
    return out.take();
}

QByteArray Compressed(const QByteArray &text)
{
    QByteArray packed;
    // Compression into memory fails only for texts beyond 4 GB; they stay plain.
    return TLZR::CompressBytes(text, packed) ? packed : text;
}

// ---------------------------------------------------------------- reading

// The setup values of a document file; the chart view state (never read back)
// stays as in `present`.
TDocumentSetup ReadSetup(const TXMLNode &setup, bool wasCompressed, const TDocumentSetup &present)
{
    TDocumentSetup values = present;
    values.FMinUnit = TMinUnit(ToInt(setup.namedNode(kMinUnit), 0));
    values.FMaxHistoryFiles = std::max(0, ToInt(setup.namedNode(kMaxHistoryFiles), 30));
    values.FDefaultHolidayReason = GetValue(setup.namedNode(kDefaultHolidayReason));
    values.FDefaultCalcWorkdays = ToBool(setup.namedNode(kDefaultCalcWorkdays), true);
    values.FCompressedSave = wasCompressed;
    values.FColors = loadColors(setup.namedNode(kColor));
    values.FHolidayColors = loadColors(setup.namedNode(kHolidayColor));
    values.FHolidayReasons = ParseCommaText(GetValue(setup.namedNode(kHolidayReason)));

    values.FPositionGroup = QStringList { QString() };
    values.FPositionGroupNames = QStringList { QString() };
    const NumberedChildren groups(setup.namedNode(kPositionGroup));
    for (int g = 1;; ++g) {
        const TXMLNode *group = groups.Get(g);
        if (!group)
            break;
        values.FPositionGroupNames.append(GetValue(child(group, kName)));
        values.FPositionGroup.append(GetValue(child(group, kFilter)));
    }

    values.FRowSets.clear();
    if (const TXMLNode *rowSets = setup.namedNode(kRowSet)) {
        for (const auto &node : rowSets->Nodes())
            values.FRowSets.push_back(std::clamp(node->ToInt(0), int(rsTopMiddleBottom), int(rsTop)));
    }

    values.FHolidayList.clear();
    if (const TXMLNode *holidays = setup.namedNode(kPublicHoliday)) {
        for (const auto &node : holidays->Nodes()) {
            values.FHolidayList.push_back(THolidayData { GetValue(node->namedNode(kName)),
                ToInt(node->namedNode(kDay), 0), ToInt(node->namedNode(kMonth), 0),
                ToBool(node->namedNode(kEnabled), false), ToBool(node->namedNode(kEaster), false) });
        }
    }
    return values;
}

// The task table's columns and roles, then the rest of the setup.
// `pause` runs between its steps: with many positions each takes a while.
void LoadSetup(
    Document &doc, const TXMLNode &setup, bool wasCompressed, const std::function<void()> &pause = {})
{
    const auto step = [&pause] {
        if (pause)
            pause();
    };
    const TXMLNode *headers = setup.namedNode(kHeaders);
    const int columns = headers ? headers->Count() : 0;
    doc.SetTableColCount(tbTable, columns);
    doc.ColumnLayoutChanged();
    // Roles the file does not name, or names with a column it lacks, stay unbound.
    // Unbound before the columns are read: the positions are derived once, when
    // their role is bound, not from each list they pass through on the way.
    doc.ResetConnections(tbTable);
    step();
    const NumberedChildren header(headers);
    for (int i = 0; i < columns; ++i) {
        const TXMLNode *h = header.Get(i);
        doc.SetColumnCaption(tbTable, i, GetValue(child(h, kCaption)));
        doc.SetColumnType(tbTable, i, ColumnTypeFromOrdinal(ToInt(child(h, kType), 0)));
        doc.SetColumnStrings(tbTable, i, ParseCommaText(GetValue(child(h, kStrings))));
        step();
    }

    const TXMLNode *connections = setup.namedNode(kConnections);
    for (int role = cnPosition; role <= cnInterval; ++role) {
        const THashedString name(ConnectionName(TConnection(role)));
        doc.SetConnection(tbTable, TConnection(role), ToInt(child(connections, name), -1));
    }
    step();

    doc.SetSetup(ReadSetup(setup, wasCompressed, doc.Setup()));
    step();
    doc.SetRowSet(rsTopMiddleBottom);
    doc.SetShownGroup(0);
}

// Reads the rows of `data`: finds the column of each cell element and turns stored
// dates back into cell texts.
class TableReader {
public:
    TableReader(Document &doc, const Document::TLoadProgress &progress)
        : FDoc(doc)
        , FProgress(progress)
    {
        for (int t = 0; t < kTableCount; ++t)
            FColumns[t] = columnsOf(TWhichTable(t));
    }

    TableReader(const TableReader &) = delete;
    TableReader &operator=(const TableReader &) = delete;

    // Whether the rows of `data` fit the columns `doc` has (its setup read):
    // a few bytes must not stand for millions of empty cells.
    static bool CellsFit(const Document &doc, const TXMLNode &data, QString &error)
    {
        qint64 elements = 0;
        for (const auto &row : data.Nodes())
            elements += row->Count();
        const qint64 rows = data.Count();
        const qint64 widest = std::max(doc.GetTableColCount(tbTable), doc.GetTableColCount(tbExclude));
        if (rows * widest > std::max(4 * elements, kFreeCells)) {
            error = QStringLiteral("%1 rows of %2 columns, but the file holds only %3 cells")
                        .arg(rows)
                        .arg(widest)
                        .arg(elements);
            return false;
        }
        return true;
    }

    bool LoadTable(const TXMLNode &data, QString &error)
    {
        if (!CellsFit(FDoc, data, error))
            return false;
        const qint64 rows = data.Count();
        // The walks ahead of the rows take a while on a large plan too.
        if (FProgress)
            FProgress(0, rows);
        std::array<int, kTableCount> counts {};
        qint64 counted = 0;
        for (const auto &element : data.Nodes()) {
            ++counts[tableOf(*element)];
            if (FProgress && (++counted & (kProgressRows - 1)) == 0)
                FProgress(0, rows);
        }
        for (int t = 0; t < kTableCount; ++t)
            FDoc.ReserveRows(TWhichTable(t), counts[t]);
        if (FProgress)
            FProgress(0, rows);
        // A new task row starts with the first colour, given as its first cell.
        const int colorColumn = FDoc.GetConnection(tbTable, cnColor);
        const QString firstColor = FDoc.ItemTextOf(tbTable, colorColumn, 0);
        qint64 done = 0;
        for (const auto &element : data.Nodes()) {
            if (FProgress && (done++ & (kProgressRows - 1)) == 0)
                FProgress(done - 1, rows);
            const TXMLNode *marker = markerOf(*element);
            const TWhichTable table = tableOf(marker);
            const TXMLAttribute *id = element->namedAttribute(kId);
            bool added = false;
            TNodeData *row = FDoc.AddLoadedNode(id ? id->Value() : QString(), table, &added);
            FCells.clear();
            if (added && table == tbTable && colorColumn >= 0)
                FCells.push_back({ colorColumn, &firstColor });
            SetNodeData(row, *element, marker);
            FDoc.DoSetLoadedCells(row, FCells);
        }
        return true;
    }

private:
    struct Columns {
        std::vector<THashedString> names;
        std::vector<bool> isDate;
        // Every column of each name, in order: the k-th element of a name in a row
        // fills the k-th column of that caption.
        QHash<QString, QList<int>> byName;
        bool duplicates = false;
    };

    Columns columnsOf(TWhichTable table) const
    {
        Columns columns;
        for (int c = 0; c < FDoc.GetTableColCount(table); ++c) {
            const QString name = FDoc.GetColumnCaptionHack(table, c);
            columns.names.emplace_back(name);
            columns.isDate.push_back(FDoc.GetColumnType(table, c) == ctDate);
            QList<int> &same = columns.byName[name];
            same.append(c);
            columns.duplicates = columns.duplicates || same.size() > 1;
        }
        return columns;
    }

    static const TXMLNode *markerOf(const TXMLNode &element)
    {
        return element.Count() > 0 && element.Node(0)->Name().HashEquals(kTableMarker)
            ? element.Node(0)
            : element.namedNode(kTableMarker);
    }

    static TWhichTable tableOf(const TXMLNode *marker)
    {
        return marker && marker->Value() == QLatin1String("tbTable") ? tbTable : tbExclude;
    }

    static TWhichTable tableOf(const TXMLNode &element) { return tableOf(markerOf(element)); }

    int columnOf(
        const Columns &columns, const THashedString &name, int expected, QHash<QString, int> &seen) const
    {
        if (!columns.duplicates && expected < int(columns.names.size())
            && columns.names[size_t(expected)].HashEquals(name))
            return expected;
        const auto it = columns.byName.constFind(name.Value());
        if (it == columns.byName.constEnd())
            return -1;
        if (!columns.duplicates)
            return it->first();
        const int k = seen[name.Value()]++;
        return k < it->size() ? it->at(k) : it->first();
    }

    // The table marker is skipped explicitly, so a column captioned like it still
    // gets its own cell.
    void SetNodeData(TNodeData *row, const TXMLNode &element, const TXMLNode *marker)
    {
        const Columns &columns = FColumns[row->NodeTable];
        QHash<QString, int> seen;
        int expected = 0;
        for (const auto &cell : element.Nodes()) {
            if (cell.get() == marker)
                continue;
            const int column = columnOf(columns, cell->Name(), expected, seen);
            if (column < 0)
                continue;
            expected = column + 1;
            if (columns.isDate[size_t(column)])
                FCells.push_back({ column, &FDates.CellText(cell->Value(), row->ID, cell->Name().Value()) });
            else
                FCells.push_back({ column, &cell->Value() });
        }
    }

    // Rows between two progress reports (a power of two).
    static constexpr qint64 kProgressRows = 2048;

    Document &FDoc;
    const Document::TLoadProgress &FProgress;
    std::array<Columns, kTableCount> FColumns;
    // The cells of the row being read.
    std::vector<Document::TLoadedCell> FCells;
    TStoredDateCells FDates { FDoc, TStoredDateCells::TBadDate::KeepText, QStringLiteral("loadFrom()") };
};

} // namespace

void Document::RecalcFlaggedEnds()
{
    // Inside an update bracket the rows are parsed again when it closes; until
    // then their parsed values may be stale.
    if (IsUpdating())
        return;
    for (TWhichTable table : { tbExclude, tbTable }) {
        ForEach(table, feAll, [this](TNodeData &node) {
            if (node.RecalcEndOf && node.nodeValid)
                GetEndOf(&node);
        });
    }
}

void Document::SaveToTree(TXMLTree &tree)
{
    RecalcFlaggedEnds();
    TXMLNode *document = findOrAdd(tree, kDocument);
    SaveSetup(*this, *findOrAdd(*document, kSetup));
    TXMLNode *data = findOrAdd(*document, kData);
    SaveRows(*this, *data, tbTable);
    SaveRows(*this, *data, tbExclude);
}

void ForEachStoredRow(const Document &doc, const TStoredRowTaker &take)
{
    MakeRows(doc, tbTable, take);
    MakeRows(doc, tbExclude, take);
}

platform::Status Document::SaveTo(const QString &fileName)
{
    platform::AtomicFileWriter file(fileName);
    // Fault hooks (tests) are told the whole size in one write.
    if (!file.unhooked()) {
        const QByteArray bytes = FileBytes();
        file.write(bytes.constData(), bytes.size());
        return file.commit();
    }
    // The bytes made so far go to the file while the rest is made, and the disk
    // starts on them: the flush at the end finds little left.
    qsizetype streamed = 0;
    const auto stream = [&file, &streamed](QByteArrayView made) {
        if (made.size() > streamed && file.write(made.data() + streamed, made.size() - streamed))
            file.startWriteback();
        streamed = made.size();
    };
    stream(FileBytes({}, stream));
    return file.commit();
}

QByteArray Document::FileBytes(
    const std::function<void(qint64 rows)> &progress, const std::function<void(QByteArrayView bytes)> &grown)
{
    RecalcFlaggedEnds();
    // Built from the empty template, never merged into what the old file holds. The
    // rows go straight into the text: the same bytes as SaveToTree's tree gives.
    TXMLTree tree;
    tree.setText(TXMLFile::DefaultText());
    TXMLNode *document = findOrAdd(tree, kDocument);
    SaveSetup(*this, *findOrAdd(*document, kSetup));
    const TXMLNode *data = findOrAdd(*document, kData);
    // Compressed bytes are made from the whole text: nothing of them is known early.
    QByteArray bytes = WriteDocument(
        *this, tree, data, progress, FSetup.FCompressedSave ? std::function<void(QByteArrayView)>() : grown);
    if (FSetup.FCompressedSave)
        bytes = Compressed(std::move(bytes));
    return bytes;
}

bool Document::LoadFrom(const QString &fileName, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (!QFileInfo::exists(fileName)) {
        Log(kLoadError + QStringLiteral("file not found: ") + fileName);
        return false;
    }
    const platform::Result<std::unique_ptr<TXMLFile>> file = TXMLFile::Create(fileName, true);
    if (!file) {
        Log(kLoadError + file.reason());
        return false;
    }
    return LoadFromTree(file.value()->xml(), file.value()->WasCompressed(), cancelled);
}

bool Document::HoldsDocument(const TXMLTree &tree)
{
    return child(tree.namedNode(kDocument), kSetup) != nullptr;
}

namespace {

// Only a newer file may hold what this version cannot show; older and
// unversioned files open without asking. False when the user declines.
bool AcceptVersion(const TXMLNode &setup)
{
    int major = 0, minor = 0, release = 0, build = 0, flags = 0;
    GetBuildInfo(QString(), major, minor, release, build, flags);
    const int fileVersion = ToInt(setup.namedNode(kVersion), -1);
    const int fileSubVersion = ToInt(setup.namedNode(kSubVersion), -1);
    if (fileVersion > major || (fileVersion == major && fileSubVersion > minor)) {
        const QString question = Translate(
            QStringLiteral(
                "The file was created with a newer KEZ version.\\nKEZ version: %s\\nFile-version: %s\\n"
                "Open file anyway?"),
            { number(major) + QLatin1Char('.') + number(minor),
                number(fileVersion) + QLatin1Char('.') + number(fileSubVersion) });
        return MessageDlg(question, mtConfirmation, { mbOK, mbCancel }) == mrOk;
    }
    return true;
}

} // namespace

bool CanLoadDocumentTree(const TXMLTree &tree, bool wasCompressed, bool *cancelled, QString *reason)
{
    if (cancelled)
        *cancelled = false;
    const TXMLNode *document = tree.namedNode(kDocument);
    const TXMLNode *setup = child(document, kSetup);
    if (!setup) {
        if (reason)
            *reason = QStringLiteral("no document");
        return false;
    }
    if (!AcceptVersion(*setup)) {
        if (cancelled)
            *cancelled = true;
        if (reason)
            *reason = QStringLiteral("the user declined to open it");
        return false;
    }
    QString error;
    try {
        // The setup decides the columns the rows are checked against; it is read
        // into a document of its own, the rows are not read at all.
        Document scratch;
        UndoRecordingPause noUndo(scratch.UndoRedo());
        {
            UpdateBracket bracket(scratch, QString());
            LoadSetup(scratch, *setup, wasCompressed);
        }
        if (const TXMLNode *data = child(document, kData))
            TableReader::CellsFit(scratch, *data, error);
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
        if (error.isEmpty())
            error = QStringLiteral("unknown failure");
    }
    if (reason)
        *reason = error;
    return error.isEmpty();
}

bool Document::LoadFromTree(
    const TXMLTree &tree, bool wasCompressed, bool *cancelled, const TLoadProgress &progress)
{
    if (cancelled)
        *cancelled = false;
    const TXMLNode *document = tree.namedNode(kDocument);
    const TXMLNode *setup = child(document, kSetup);
    if (!setup) {
        Log(kLoadError + QStringLiteral("root node not found in xml"));
        return false;
    }
    if (!AcceptVersion(*setup)) {
        if (cancelled)
            *cancelled = true;
        return false;
    }

    UndoRecordingPause noUndo(FUndoRedo);
    QString error;
    try {
        // Validation and the derived ends run once, when the bracket closes.
        UpdateBracket bracket(*this, QString());
        const TXMLNode *data = child(document, kData);
        // The window may paint between the setup's steps and before the rows.
        const auto pause = [&progress, data] {
            if (progress && data)
                progress(0, data->Count());
        };
        LoadSetup(*this, *setup, wasCompressed, pause);
        pause();
        if (data) {
            TableReader reader(*this, progress);
            reader.LoadTable(*data, error);
        }
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
        if (error.isEmpty())
            error = QStringLiteral("unknown failure");
    }
    if (error.isEmpty())
        return true;
    Log(kLoadError + error);
    // Half a document is worse than none: the caller tries other readers next.
    ResetDocument();
    return false;
}

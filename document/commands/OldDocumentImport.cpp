// Import of documents of the earlier ini-based format.
#include "document/commands/OldDocumentImport.h"

#include "document/Document.h"
#include "document/StoredDateCells.h"
#include "document/program/IniFile.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "document/text/CommaText.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

const QString kImportError = QStringLiteral("importFrom() error:");
const QString kKEZ = QStringLiteral("KEZ");
const QString kSetup = QStringLiteral("Setup");
const QString kHeaderSection = QStringLiteral("tbTableHeader");
const QString kConnections = QStringLiteral("tbTableConnections");
const QString kPositionGroup = QStringLiteral("PositionGroup");
const QString kPublicHoliday = QStringLiteral("Public Holiday");

// Columns a file may name beyond the header keys it holds, and rows times columns
// beyond what its lines account for: a small file must not make the model
// allocate without bound.
constexpr qint64 kFreeColumns = 64;
constexpr qint64 kFreeCells = qint64(1) << 22;
// 0001-01-01 and 9999-12-31: a date moved outside them could not be shown.
constexpr TDateTime kFirstDate = -693593;
constexpr TDateTime kLastDate = 2958465;

class OldDocumentError : public std::runtime_error {
public:
    explicit OldDocumentError(const QString &text)
        : std::runtime_error(text.toStdString())
    { }
};

QString num(qint64 value)
{
    return QString::number(value);
}

qsizetype lineCount(const TCustomIniFile &ini, const QString &section)
{
    QStringList lines;
    ini.ReadSectionValues(section, lines);
    return lines.size();
}

// The keys of one section, for presence tests (the store only answers values).
class SectionKeys {
public:
    SectionKeys(const TCustomIniFile &ini, const QString &section)
    {
        QStringList keys;
        ini.ReadSection(section, keys);
        for (const QString &key : keys)
            FKeys.insert(key.toCaseFolded());
    }
    bool Has(const QString &key) const { return FKeys.contains(key.toCaseFolded()); }

private:
    QSet<QString> FKeys;
};

// How much the file holds, to bound the counts it names.
struct FileShape {
    qsizetype sections = 0;
    qsizetype lines = 0;
};

FileShape shapeOf(const TCustomIniFile &ini)
{
    FileShape shape;
    QStringList names;
    ini.ReadSections(names);
    shape.sections = names.size();
    for (const QString &name : names)
        shape.lines += lineCount(ini, name);
    return shape;
}

int rowCountOf(const TCustomIniFile &ini, TWhichTable table)
{
    return std::max(0, ini.ReadInteger(TableName(table), QStringLiteral("RowCount"), 0));
}

// Why the file cannot be read as a whole, or nothing. Every row has its own
// section, every task column its header keys, so counts beyond those are no
// genuine document.
QString shapeError(const TCustomIniFile &ini, int excludeColumns)
{
    const int columns = ini.ReadInteger(TableName(tbTable), QStringLiteral("ColCount"), -1);
    if (columns < 0)
        return QStringLiteral("the file names no column count");
    const qsizetype headerLines = lineCount(ini, kHeaderSection);
    if (columns > std::max<qint64>(headerLines, kFreeColumns))
        return QStringLiteral("%1 columns, but the file describes only %2 header keys")
            .arg(columns)
            .arg(headerLines);
    const FileShape shape = shapeOf(ini);
    for (TWhichTable table : { tbTable, tbExclude }) {
        const qint64 rows = rowCountOf(ini, table);
        const qint64 width = std::max(1, table == tbTable ? columns : excludeColumns);
        if (rows > shape.sections || rows * width > std::max(4 * qint64(shape.lines), kFreeCells))
            return QStringLiteral("%1 rows of %2 columns in %3, but the file holds only %4 sections")
                .arg(rows)
                .arg(width)
                .arg(TableName(table))
                .arg(shape.sections);
    }
    return QString();
}

// `Count` colours `Color0`, `Color1`, ...; one that is missing or no number takes
// the first colour of the fill-up cycle. The high byte (a system colour's mark)
// is dropped: the model holds plain RGB values.
std::vector<std::uint32_t> readColors(const TCustomIniFile &ini, const QString &section)
{
    std::vector<std::uint32_t> colors;
    const qsizetype count = std::clamp<qsizetype>(
        ini.ReadInteger(section, QStringLiteral("Count"), 0), 0, lineCount(ini, section));
    for (qsizetype i = 0; i < count; ++i) {
        const QString key = QStringLiteral("Color") + num(i);
        // Two defaults tell a stored value from a missing one.
        const int a = ini.ReadInteger(section, key, 0);
        if (a == ini.ReadInteger(section, key, 1))
            colors.push_back(std::uint32_t(a) & 0x00FFFFFFu);
        else
            Document::FillUpColors(colors, int(colors.size()) + 1);
    }
    return colors;
}

// Reads one old document into an emptied model.
class OldDocumentReader {
public:
    OldDocumentReader(Document &doc, const TCustomIniFile &ini, const TOldDocumentVersion &version)
        : FDoc(doc)
        , FIni(ini)
        , FDatesStored(!version.DatesInUserFormat())
    { }

    OldDocumentReader(const OldDocumentReader &) = delete;
    OldDocumentReader &operator=(const OldDocumentReader &) = delete;

    void LoadSetup(IOldDocumentImportHost *host)
    {
        TDocumentSetup values = FDoc.Setup();
        values.FMinUnit = TMinUnit(FIni.ReadInteger(kSetup, QStringLiteral("MinUnit"), 0));
        values.FDefaultHolidayReason
            = FIni.ReadString(kSetup, QStringLiteral("DefaultHolidayReason"), QString());
        values.FDefaultCalcWorkdays = FIni.ReadBool(kSetup, QStringLiteral("DefaultCalcWorkdays"), true);
        values.FCompressedSave = FIni.ReadBool(kSetup, QStringLiteral("Komprimiert"), true);

        const int columns = FIni.ReadInteger(TableName(tbTable), QStringLiteral("ColCount"), -1);
        if (columns < 0) // checked before; a bare table would hide the fault
            throw OldDocumentError(QStringLiteral("the file names no column count"));
        FDoc.SetTableColCount(tbTable, columns);
        FDoc.ColumnLayoutChanged();
        for (int i = 0; i < columns; ++i) {
            FDoc.SetColumnCaption(
                tbTable, i, FIni.ReadString(kHeaderSection, QStringLiteral("Caption") + num(i), {}));
            FDoc.SetColumnType(tbTable, i,
                ColumnTypeFromOrdinal(FIni.ReadInteger(kHeaderSection, QStringLiteral("Type") + num(i), 0)));
            FDoc.SetColumnStrings(tbTable, i,
                ParseCommaText(FIni.ReadString(kHeaderSection, QStringLiteral("Strings") + num(i), {})));
        }
        // Roles the file does not name, or names with a column it lacks, stay unbound.
        FDoc.ResetConnections(tbTable);
        for (int role = cnPosition; role <= cnInterval; ++role)
            FDoc.SetConnection(tbTable, TConnection(role),
                FIni.ReadInteger(kConnections, ConnectionName(TConnection(role)), -1));

        values.FColors = readColors(FIni, QStringLiteral("Color"));
        values.FHolidayColors = readColors(FIni, QStringLiteral("HolidayColor"));
        const QString reasons = ToCommaText({ Translate(QStringLiteral("Holiday")),
            Translate(QStringLiteral("Sick")), Translate(QStringLiteral("Other")) });
        values.FHolidayReasons = ParseCommaText(
            FIni.ReadString(QStringLiteral("Header"), QStringLiteral("HolidayReason"), reasons));

        // The tabs after the first, numbered from 1, as long as they go on.
        values.FPositionGroup = QStringList { QString() };
        values.FPositionGroupNames = QStringList { QString() };
        const SectionKeys groupKeys(FIni, kPositionGroup);
        for (int g = 1;; ++g) {
            const QString name = QStringLiteral("name") + num(g);
            const QString filter = QStringLiteral("filter") + num(g);
            if (!groupKeys.Has(name) && !groupKeys.Has(filter))
                break;
            values.FPositionGroupNames.append(FIni.ReadString(kPositionGroup, name, {}));
            values.FPositionGroup.append(FIni.ReadString(kPositionGroup, filter, {}));
        }

        values.FRowSets.clear();
        const qsizetype rowSets = std::clamp<qsizetype>(
            FIni.ReadInteger(kSetup, QStringLiteral("RowSetCount"), 0), 0, lineCount(FIni, kSetup));
        for (qsizetype i = 0; i < rowSets; ++i)
            values.FRowSets.push_back(
                std::clamp(FIni.ReadInteger(kSetup, QStringLiteral("RowSet") + num(i), 0),
                    int(rsTopMiddleBottom), int(rsTop)));

        values.FTimeChartColWidth
            = std::clamp(FIni.ReadInteger(kSetup, QStringLiteral("ColWidth"), 8), 1, 1000);
        values.FZoom = std::clamp(FIni.ReadInteger(kSetup, QStringLiteral("Zoom"), 100), 1, 10000);
        values.FHolidayList = ReadPublicHolidays();
        FDoc.SetSetup(std::move(values));
        FDoc.SetRowSet(rsTopMiddleBottom);
        FDoc.SetShownGroup(0);
        if (host)
            host->ApplyViewSettings(FIni);
    }

    std::vector<THolidayData> ReadPublicHolidays() const
    {
        std::vector<THolidayData> holidays;
        const qsizetype count = std::clamp<qsizetype>(
            FIni.ReadInteger(kPublicHoliday, QStringLiteral("Count"), 0), 0, lineCount(FIni, kPublicHoliday));
        for (qsizetype i = 0; i < count; ++i) {
            const QString item = QStringLiteral("Item") + num(i);
            holidays.push_back(
                THolidayData { FIni.ReadString(kPublicHoliday, item + QStringLiteral("name"), {}),
                    FIni.ReadInteger(kPublicHoliday, item + QStringLiteral("day"), 0),
                    FIni.ReadInteger(kPublicHoliday, item + QStringLiteral("month"), 0),
                    FIni.ReadBool(kPublicHoliday, item + QStringLiteral("enabled"), false),
                    FIni.ReadBool(kPublicHoliday, item + QStringLiteral("easter"), false) });
        }
        return holidays;
    }

    // Every row gets a new ID; cell c comes from key "c" of the row's section
    // (a missing key is an empty cell).
    void LoadTable(TWhichTable table)
    {
        const int columns = FDoc.GetTableColCount(table);
        std::vector<bool> isDate;
        for (int c = 0; c < columns; ++c)
            isDate.push_back(FDatesStored && FDoc.GetColumnType(table, c) == ctDate);
        const QString prefix = TableName(table) + QStringLiteral("Item");
        const int rows = rowCountOf(FIni, table);
        std::vector<QString> cells(static_cast<size_t>(columns));
        std::vector<bool> found(static_cast<size_t>(columns), false);
        QStringList lines;
        for (int r = 0; r < rows; ++r) {
            TNodeData *row = FDoc.AddNode(QString(), table, false);
            std::fill(cells.begin(), cells.end(), QString());
            std::fill(found.begin(), found.end(), false);
            // The section's lines at once: one look-up per row, not one per cell.
            FIni.ReadSectionValues(prefix + num(r), lines);
            for (const QString &line : lines) {
                const qsizetype eq = line.indexOf(QLatin1Char('='));
                const int c = eq < 0 ? -1 : columnOfKey(QStringView(line).left(eq), columns);
                if (c >= 0 && !found[size_t(c)]) { // the first line of a key counts, as in the store
                    found[size_t(c)] = true;
                    cells[size_t(c)] = line.mid(eq + 1);
                }
            }
            for (int c = 0; c < columns; ++c) {
                const QString &text = cells[size_t(c)];
                FDoc.DoSetData(row, c,
                    isDate[size_t(c)] ? FDates.CellText(text, row->ID, QString::number(c)) : text, false);
            }
        }
    }

private:
    // "0", "1", ... exactly as the keys are written; -1 for any other key.
    static int columnOfKey(QStringView key, int columns)
    {
        if (key.isEmpty() || key.size() > 9 || (key.size() > 1 && key[0] == QLatin1Char('0')))
            return -1;
        int value = 0;
        for (const QChar ch : key) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
                return -1;
            value = value * 10 + (ch.unicode() - '0');
        }
        return value < columns ? value : -1;
    }

    Document &FDoc;
    const TCustomIniFile &FIni;
    const bool FDatesStored;
    TStoredDateCells FDates { FDoc, TStoredDateCells::TBadDate::KeepText, QStringLiteral("importFrom()") };
};

// Saves unshared, straight to the file.
class PlainImportHost final : public IOldDocumentImportHost {
public:
    explicit PlainImportHost(Document &doc)
        : FDoc(doc)
    { }
    bool Save(const QString &fileName) override
    {
        const platform::Status saved = FDoc.SaveTo(fileName);
        if (!saved)
            Log(QStringLiteral("save() error:") + saved.reason());
        return saved.ok();
    }

private:
    Document &FDoc;
};

bool shiftedDate(const Document &doc, const QString &text, int days, TDateTime &out)
{
    const TDateTime date = text.isEmpty() ? 0 : doc.StrToDateTime(text);
    if (date == 0)
        return false;
    out = date + days;
    return out >= kFirstDate && out < kLastDate + 1;
}

QString exceptionText(const std::exception &e)
{
    const QString text = QString::fromUtf8(e.what());
    return text.isEmpty() ? QStringLiteral("unknown failure") : text;
}

} // namespace

TOldDocumentVersion OldDocumentVersion(const TCustomIniFile &ini)
{
    TOldDocumentVersion version;
    version.Version = ini.ReadInteger(kKEZ, QStringLiteral("Version"), -1);
    version.SubVersion = ini.ReadInteger(kKEZ, QStringLiteral("SubVersion"), -1);
    return version;
}

void IOldDocumentImportHost::Reset(Document &doc)
{
    doc.ResetDocument();
}

void CB_OffsetNode(Document &doc, TNodeData &node, int days)
{
    // The cells are read, not the parsed values: inside an update bracket those
    // are not parsed yet, and an empty cell must stay empty.
    TDateTime date = 0;
    if (shiftedDate(doc, doc.GetData_(&node, cnStart), days, date))
        doc.DoSetStartOf(&node, date, false);
    if (doc.GetConnection(node.NodeTable, cnTermin) >= 0
        && shiftedDate(doc, doc.GetData_(&node, cnTermin), days, date))
        doc.DoSetData_(&node, cnTermin, doc.FormatDateTime(date), false);
}

platform::Status ReadOldDocument(
    Document &doc, const TMemIniFile &ini, TDateTime today, IOldDocumentImportHost *host)
{
    const TOldDocumentVersion version = OldDocumentVersion(ini);
    if (!version.IsOldDocument())
        return platform::Status::failure(QStringLiteral("no version in section KEZ"));
    QString error;
    try {
        UndoRecordingPause noUndo(doc.UndoRedo());
        // Validation and the derived ends run once, when the bracket closes.
        UpdateBracket bracket(doc, QString());
        doc.ResetDocument();
        error = shapeError(ini, doc.GetTableColCount(tbExclude));
        if (!error.isEmpty())
            return platform::Status::failure(error);
        OldDocumentReader reader(doc, ini, version);
        reader.LoadSetup(host);
        reader.LoadTable(tbTable);
        reader.LoadTable(tbExclude);

        const QString offsetText = ini.ReadString(kKEZ, QStringLiteral("Offset"), QString());
        if (!offsetText.isEmpty()) {
            TDateTime offset = 0;
            if (TryStrToDate(offsetText, offset)) {
                // Both lie within the calendar, so the difference fits.
                const int days = int(std::nearbyint(today - offset));
                if (days != 0)
                    doc.ForEach(feAll, [&doc, days](TNodeData &node) { CB_OffsetNode(doc, node, days); });
            } else {
                Log(QStringLiteral("importFrom(): the offset \"%1\" is no date, the dates stay as they are")
                        .arg(offsetText));
            }
        }
    } catch (const std::exception &e) {
        error = exceptionText(e);
    }
    return error.isEmpty() ? platform::Status() : platform::Status::failure(error);
}

TImportResult ImportFrom(Document &doc, const QString &fileName, IOldDocumentImportHost *host)
{
    const TMemIniFile ini(fileName);
    if (!ini.Loaded())
        return TImportResult::NotOldDocument;
    const TOldDocumentVersion version = OldDocumentVersion(ini);
    if (!version.IsOldDocument())
        return TImportResult::NotOldDocument;

    PlainImportHost plainHost(doc);
    IOldDocumentImportHost &h = host ? *host : plainHost;
    if (version.TooOld()) {
        MessageDlg(QStringLiteral(
                       "Version of file too old. Please contact morvane-software support for instructions."),
            mtInformation, { mbOK });
        return TImportResult::Failed;
    }
    // A file that cannot be read whole is reported before asking to convert it.
    QString error = shapeError(ini, doc.GetTableColCount(tbExclude));
    if (error.isEmpty()) {
        if (MessageDlg(QStringLiteral("Import will convert the file to new fileformat!"), mtInformation,
                { mbOK, mbCancel })
            != mrOk)
            return TImportResult::Cancelled;
        try {
            const platform::Status read = ReadOldDocument(doc, ini, Today(), &h);
            error = read.reason();
            if (read) {
                h.SetInitialDeOverlap();
                // Records written beside the old document are part of it: they go
                // into the converted file.
                if (TDirWatchThread *watcher = h.ReplaceWatcher(fileName))
                    watcher->ForceLoadTransactionsFrom(
                        watcher->GetTmpDirectory() + QStringLiteral("transactions/"));
                if (!h.Save(fileName))
                    error = QStringLiteral("the converted document could not be saved");
            }
        } catch (const std::exception &e) {
            error = exceptionText(e);
        }
    }
    if (error.isEmpty())
        return TImportResult::Imported;
    Log(kImportError + error);
    h.Reset(doc);
    return TImportResult::Failed;
}

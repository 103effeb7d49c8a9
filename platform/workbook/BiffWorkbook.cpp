#include "platform/workbook/BiffWorkbook.h"

#include "platform/Windows1252.h"
#include "platform/workbook/BiffRecords.h"
#include "platform/workbook/WorkbookLimits.h"

#include <cmath>
#include <cstring>
#include <map>

namespace platform::workbook {

namespace {

using biff::Record;
using biff::RecordReader;
using biff::RecordStream;

constexpr uint16_t Biff8 = 0x0600, Biff5 = 0x0500;
constexpr uint16_t GlobalsPart = 0x0005, WorksheetPart = 0x0010;

// The error codes of cells and formula results as a spreadsheet shows them.
QString errorText(uint8_t code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#N/A");
    }
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// A compressed number: 30 bits of an integer or of a double's high bits, maybe
// to be divided by 100.
double rkValue(uint32_t rk)
{
    double value = 0;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 0x01 ? value / 100 : value;
}

bool knownCodePage(int codePage)
{
    // Western code pages; others would need tables this program does not carry.
    return codePage == 1252 || codePage == 0x8001 || codePage == 367 || codePage == 20127 || codePage == 28591
        || codePage == 65001;
}

QString decodeCodePage(const std::string &bytes, int codePage)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (codePage == 28591)
        return QString::fromLatin1(view);
    if (codePage == 65001)
        return QString::fromUtf8(view);
    return decodeWindows1252(view);
}

// The header every cell record starts with: row, column and cell format.
struct CellPlace {
    uint16_t row = 0;
    uint16_t column = 0;
    uint16_t xf = 0;
};

// The record that opens a workbook's or a sheet's records: format version and kind.
bool readBof(RecordStream &records, uint16_t &version, uint16_t &part)
{
    Record record;
    if (!records.next(record, false) || record.type != biff::Bof)
        return false;
    RecordReader in(record);
    return in.u16(version) && in.u16(part);
}

bool readPlace(RecordReader &in, CellPlace &place)
{
    return in.u16(place.row) && in.u16(place.column) && in.u16(place.xf);
}

} // namespace

BiffWorkbook::BiffWorkbook(CellForms forms)
    : FForms(std::move(forms))
{ }

QStringList BiffWorkbook::sheetNames() const
{
    QStringList names;
    for (const SheetEntry &e : FEntries)
        names << e.name;
    return names;
}

bool BiffWorkbook::readText(RecordReader &in, QString &out, int lengthBytes)
{
    if (!FOldFormat)
        return lengthBytes == 1 ? in.shortUnicodeText(out) : in.unicodeText(out);
    std::string bytes;
    if (!in.byteText(bytes, lengthBytes))
        return false;
    out = decodeCodePage(bytes, FCodePage);
    return true;
}

bool BiffWorkbook::read(std::string_view stream, QString &error)
{
    FSheets.clear();
    if (!readGlobals(stream, error)) {
        FEntries.clear();
        return false;
    }
    FSheets.resize(FEntries.size());
    // In a sound workbook every sheet has records of its own; sheets said to
    // share them would make a small file cost its size many times over.
    std::map<size_t, size_t> walkedRanges;
    const auto overlaps = [&](size_t start, size_t end) {
        const auto next = walkedRanges.lower_bound(start);
        if (next != walkedRanges.end() && next->first < end)
            return true;
        return next != walkedRanges.begin() && std::prev(next)->second > start;
    };
    for (size_t k = 0; k < FEntries.size(); ++k) {
        FSheets[k].reset(FEntries[k].name);
        if (!FEntries[k].worksheet)
            continue;
        const size_t start = FEntries[k].offset;
        QString problem;
        size_t walked = 0;
        if (overlaps(start, start + 1)
            || (readSheet(stream, FEntries[k], FSheets[k], walked, problem)
                && overlaps(start, start + walked)))
            problem = QStringLiteral("its records are those of other sheets too");
        walkedRanges[start] = start + walked;
        if (!problem.isEmpty()) {
            error = QStringLiteral("sheet %1: %2").arg(FEntries[k].name, problem);
            FSheets.clear();
            FEntries.clear();
            return false;
        }
        FSheets[k].finish();
    }
    return true;
}

bool BiffWorkbook::readSharedTexts(const Record &record, QString &error)
{
    RecordReader in(record);
    uint32_t total = 0;
    uint32_t unique = 0;
    if (!in.u32(total) || !in.u32(unique)) {
        error = QStringLiteral("its list of shared texts is cut short");
        return false;
    }
    // Each text takes at least three bytes: a count larger than that is a lie.
    FSharedTexts.reserve(std::min<size_t>(unique, in.left() / 3));
    for (uint32_t k = 0; k < unique && in.left() > 0; ++k) {
        QString text;
        if (!in.unicodeText(text)) {
            error = QStringLiteral("its shared text %1 is cut short").arg(k + 1);
            return false;
        }
        FSharedTexts.push_back(std::move(text));
    }
    return true;
}

bool BiffWorkbook::readGlobals(std::string_view stream, QString &error)
{
    RecordStream records(stream);
    Record record;
    uint16_t version = 0;
    uint16_t part = 0;
    if (!readBof(records, version, part) || part != GlobalsPart) {
        error = QStringLiteral("the file holds no workbook (its data does not begin as a workbook's)");
        return false;
    }
    if (version != Biff8 && version != Biff5) {
        error = QStringLiteral("the workbook is in a format older than Excel 5, which cannot be read");
        return false;
    }
    FOldFormat = version == Biff5;
    while (records.next(record, true)) {
        RecordReader in(record);
        switch (record.type) {
        case biff::Eof: {
            for (const int id : FCellFormatIds) {
                QString code;
                for (const auto &[own, text] : FFormatCodes) {
                    if (own == id)
                        code = text;
                }
                FFormats.emplace_back(id, code);
            }
            return true;
        }
        case biff::Filepass:
            error = QStringLiteral("the workbook is protected by a password");
            return false;
        case biff::Codepage: {
            uint16_t page = 0;
            if (in.u16(page))
                FCodePage = page;
            if (FOldFormat && !knownCodePage(FCodePage)) {
                error = QStringLiteral("its texts are in code page %1, which cannot be read").arg(FCodePage);
                return false;
            }
            break;
        }
        case biff::Datemode: {
            uint16_t mode = 0;
            if (in.u16(mode))
                FDate1904 = mode == 1;
            break;
        }
        case biff::Format: {
            uint16_t id = 0;
            QString code;
            if (in.u16(id) && readText(in, code, FOldFormat ? 1 : 2))
                FFormatCodes.emplace_back(id, code);
            break;
        }
        case biff::Xf: {
            uint16_t font = 0;
            uint16_t format = 0;
            if (in.u16(font) && in.u16(format))
                FCellFormatIds.push_back(format);
            break;
        }
        case biff::Boundsheet: {
            uint32_t offset = 0;
            uint8_t state = 0;
            uint8_t type = 0;
            QString name;
            if (!in.u32(offset) || !in.u8(state) || !in.u8(type) || !readText(in, name, 1)) {
                error = QStringLiteral("its list of sheets is damaged");
                return false;
            }
            FEntries.push_back({ name, offset, type == 0 });
            break;
        }
        case biff::Sst:
            if (!readSharedTexts(record, error))
                return false;
            break;
        default:
            break;
        }
    }
    error = QStringLiteral("the workbook's data is cut short");
    return false;
}

QString BiffWorkbook::numberCell(uint16_t xf, double value) const
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (xf < FFormats.size())
        return FFormats[xf].text(value, FDate1904, FForms);
    return numberText(value, FForms.decimalSeparator);
}

bool BiffWorkbook::readSheet(
    std::string_view stream, const SheetEntry &entry, Sheet &sheet, size_t &walked, QString &error)
{
    if (entry.offset >= stream.size()) {
        error = QStringLiteral("its data lies outside the file");
        return false;
    }
    RecordStream records(stream, entry.offset);
    uint16_t version = 0;
    uint16_t part = 0;
    if (!readBof(records, version, part)) {
        error = QStringLiteral("its data does not begin where the workbook says");
        return false;
    }
    if (part != WorksheetPart)
        return true; // a chart, macro or module sheet: no cells to read
    Record record;
    const auto add = [&](const CellPlace &place, QString text) {
        if (place.column >= MaxColumns) {
            error = QStringLiteral("a cell lies outside the workbook's columns");
            return false;
        }
        sheet.addCell(place.row + 1, place.column + 1, std::move(text));
        return true;
    };
    // Embedded charts are whole record streams of their own inside the sheet's.
    int depth = 0;
    // A formula whose text result follows in a record of its own. A flag beside a plain place
    // rather than an optional: GCC 12 at -O2 takes the optional's payload for unset.
    CellPlace pendingText;
    bool hasPendingText = false;
    const QString cutShort = QStringLiteral("a cell's record is cut short");
    while (records.next(record, true)) {
        if (record.type == biff::Bof) {
            ++depth;
            continue;
        }
        if (record.type == biff::Eof) {
            if (depth-- == 0) {
                walked = records.position() - entry.offset;
                return true;
            }
            continue;
        }
        if (depth > 0)
            continue;
        RecordReader in(record);
        CellPlace place;
        switch (record.type) {
        case biff::Number: {
            double value = 0;
            if (!readPlace(in, place) || !in.f64(value)) {
                error = cutShort;
                return false;
            }
            if (!add(place, numberCell(place.xf, value)))
                return false;
            break;
        }
        case biff::Rk: {
            uint32_t rk = 0;
            if (!readPlace(in, place) || !in.u32(rk)) {
                error = cutShort;
                return false;
            }
            if (!add(place, numberCell(place.xf, rkValue(rk))))
                return false;
            break;
        }
        case biff::Mulrk: {
            if (!in.u16(place.row) || !in.u16(place.column)) {
                error = cutShort;
                return false;
            }
            // (cell format, number) pairs, then the last column.
            for (size_t count = in.left() >= 2 ? (in.left() - 2) / 6 : 0; count > 0; --count) {
                uint32_t rk = 0;
                if (!in.u16(place.xf) || !in.u32(rk)) {
                    error = cutShort;
                    return false;
                }
                if (!add(place, numberCell(place.xf, rkValue(rk))))
                    return false;
                ++place.column;
            }
            break;
        }
        case biff::Labelsst: {
            uint32_t index = 0;
            if (!readPlace(in, place) || !in.u32(index)) {
                error = cutShort;
                return false;
            }
            if (index >= FSharedTexts.size()) {
                error = QStringLiteral("a cell refers to a shared text that does not exist");
                return false;
            }
            if (!add(place, FSharedTexts[index]))
                return false;
            break;
        }
        case biff::Label:
        case biff::Rstring: {
            QString text;
            if (!readPlace(in, place) || !readText(in, text, 2)) {
                error = cutShort;
                return false;
            }
            if (!add(place, std::move(text)))
                return false;
            break;
        }
        case biff::Boolerr: {
            uint8_t value = 0;
            uint8_t isError = 0;
            if (!readPlace(in, place) || !in.u8(value) || !in.u8(isError)) {
                error = cutShort;
                return false;
            }
            if (!add(place, isError ? errorText(value) : booleanText(value != 0)))
                return false;
            break;
        }
        case biff::Formula: {
            unsigned char result[8];
            if (!readPlace(in, place)) {
                error = cutShort;
                return false;
            }
            for (unsigned char &b : result) {
                uint8_t v = 0;
                if (!in.u8(v)) {
                    error = cutShort;
                    return false;
                }
                b = v;
            }
            hasPendingText = false;
            if (result[6] != 0xFF || result[7] != 0xFF) {
                double value = 0;
                uint64_t bits = 0;
                for (int k = 7; k >= 0; --k)
                    bits = (bits << 8) | result[k];
                std::memcpy(&value, &bits, sizeof value);
                if (!add(place, numberCell(place.xf, value)))
                    return false;
            } else if (result[0] == 0) {
                pendingText = place;
                hasPendingText = true;
            } else if (result[0] == 1) {
                if (!add(place, booleanText(result[2] != 0)))
                    return false;
            } else if (result[0] == 2) {
                if (!add(place, errorText(result[2])))
                    return false;
            }
            continue; // the text result may follow
        }
        case biff::String: {
            QString text;
            if (!readText(in, text, 2)) {
                error = QStringLiteral("a formula's text result is cut short");
                return false;
            }
            if (hasPendingText && !add(pendingText, std::move(text)))
                return false;
            break;
        }
        default:
            // Shared and array formulas sit between a formula and its text result.
            if (record.type == 0x04BC || record.type == 0x0221 || record.type == 0x0236)
                continue;
            break;
        }
        hasPendingText = false;
    }
    error = records.truncated() ? QStringLiteral("its data is cut short")
                                : QStringLiteral("its data ends without the sheet's end");
    return false;
}

} // namespace platform::workbook

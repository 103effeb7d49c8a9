#include "platform/workbook/XlsxReader.h"

#include "platform/workbook/NumberFormats.h"
#include "platform/workbook/WorkbookLimits.h"
#include "platform/workbook/XmlPullReader.h"

#include <charconv>
#include <cmath>
#include <map>

namespace platform::workbook {

namespace {

using Token = XmlPullReader::Token;

std::string_view lastSegment(std::string_view uri)
{
    const size_t slash = uri.rfind('/');
    return slash == std::string_view::npos ? uri : uri.substr(slash + 1);
}

// A whole unsigned number of at most nine digits, else -1.
int parseIndex(std::string_view text)
{
    int value = 0;
    if (text.empty() || text.size() > 9)
        return -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : -1;
}

int parseIndex(const QString &text)
{
    return text.size() > 9 ? -1 : parseIndex(std::string_view(text.toLatin1().constData(), text.size()));
}

// "B12" to column 2 and row 12; a reference without digits leaves `row` alone.
bool parseReference(std::string_view ref, int &row, int &column)
{
    size_t p = 0;
    long long col = 0;
    while (p < ref.size() && p < 4 && ref[p] >= 'A' && ref[p] <= 'Z')
        col = col * 26 + (ref[p++] - 'A' + 1);
    if (col < 1 || col > MaxColumns)
        return false;
    column = static_cast<int>(col);
    if (p == ref.size())
        return true;
    const int r = parseIndex(ref.substr(p));
    if (r < 1 || r > MaxRows)
        return false;
    row = r;
    return true;
}

QString columnName(int column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar(u'A' + (column - 1) % 26));
    return name;
}

bool partIsSound(const std::string &part, const XmlPullReader &xml, QString &error)
{
    if (!xml.failed())
        return true;
    error = QStringLiteral("%1: %2").arg(QString::fromStdString(part), xml.errorText());
    return false;
}

bool isTrue(std::string_view value)
{
    return value == "1" || value == "true";
}

} // namespace

XlsxReader::XlsxReader(CellForms forms)
    : forms_(std::move(forms))
{ }

// A part the package names must be there: read as empty it would be taken for a
// damaged part ("no root element") instead.
bool XlsxReader::readXmlPart(const std::string &name, std::string &bytes, QString &error)
{
    switch (zip_.readPart(name, bytes, error)) {
    case ZipPackage::Read::Ok:
        return true;
    case ZipPackage::Read::Missing:
        error = QStringLiteral("the workbook lacks its part %1").arg(QString::fromStdString(name));
        return false;
    case ZipPackage::Read::Failed:
        break;
    }
    return false;
}

Status XlsxReader::open(const QString &path)
{
    QString error;
    if (!zip_.open(path, error))
        return Status::failure(error);
    // Every Office Open XML package has its relationships at this name; an
    // OpenDocument spreadsheet or any other archive has not.
    std::string bytes;
    if (zip_.readPart("_rels/.rels", bytes, error) == ZipPackage::Read::Missing) {
        const bool openDocument = zip_.readPart("mimetype", bytes, error) == ZipPackage::Read::Ok
            && bytes.find("opendocument.spreadsheet") != std::string::npos;
        return Status::failure(openDocument
                ? QStringLiteral("it is an OpenDocument spreadsheet (.ods), not an Excel workbook "
                                 "(.xlsx or .xls); saved as .xlsx it can be imported")
                : QStringLiteral("it is an archive, not an Excel workbook (.xlsx or .xls)"));
    }
    std::vector<Relationship> packageRels;
    if (!readRelationships("", packageRels, error))
        return Status::failure(error);
    std::string workbookPart;
    for (const Relationship &r : packageRels) {
        if (r.type == "officeDocument")
            workbookPart = r.target;
        if (r.type == "extended-properties")
            readWriter(r.target);
    }
    if (workbookPart.empty())
        return Status::failure(QStringLiteral("the archive holds no workbook"));
    if (workbookPart.size() < 4 || workbookPart.compare(workbookPart.size() - 4, 4, ".xml") != 0)
        return Status::failure(
            QStringLiteral("the workbook is stored in a binary form (.xlsb) that cannot be read"));
    std::vector<Relationship> workbookRels;
    if (!readRelationships(workbookPart, workbookRels, error))
        return Status::failure(error);
    for (const Relationship &r : workbookRels) {
        if (r.type == "styles" && !readStyles(r.target, error))
            return Status::failure(error);
        if (r.type == "sharedStrings" && !readSharedStrings(r.target, error))
            return Status::failure(error);
    }
    if (!readWorkbookPart(workbookPart, workbookRels, error))
        return Status::failure(error);
    return {};
}

bool XlsxReader::readRelationships(const std::string &part, std::vector<Relationship> &out, QString &error)
{
    const std::string relsPart = part.empty() ? "_rels/.rels" : ZipPackage::relationshipsOf(part);
    std::string bytes;
    if (!readXmlPart(relsPart, bytes, error))
        return false;
    XmlPullReader xml(bytes);
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t != Token::StartElement || xml.name() != "Relationship")
            continue;
        if (xml.attribute("TargetMode").value_or("") == "External")
            continue;
        const QByteArray target = xml.attributeText("Target").toUtf8();
        out.push_back({ xml.attributeText("Id").toStdString(),
            std::string(lastSegment(xml.attribute("Type").value_or(""))),
            ZipPackage::resolve(
                part, std::string_view(target.constData(), static_cast<size_t>(target.size()))) });
    }
    if (!partIsSound(relsPart, xml, error))
        return false;
    return true;
}

bool XlsxReader::readWorkbookPart(
    const std::string &part, const std::vector<Relationship> &rels, QString &error)
{
    std::string bytes;
    if (!readXmlPart(part, bytes, error))
        return false;
    XmlPullReader xml(bytes);
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t != Token::StartElement)
            continue;
        if (xml.name() == "workbookPr") {
            date1904_ = isTrue(xml.attribute("date1904").value_or(""));
        } else if (xml.name() == "sheet") {
            SheetEntry entry { xml.attributeText("name"), {} };
            const std::string id = xml.attributeText("id").toStdString();
            for (const Relationship &r : rels) {
                if (r.id != id)
                    continue;
                entry.referenced = true;
                if (r.type == "worksheet")
                    entry.part = r.target;
            }
            sheets_.push_back(std::move(entry));
        }
    }
    if (!partIsSound(part, xml, error))
        return false;
    return true;
}

// The program that wrote the workbook decides what its date serials mean; the
// properties saying so are optional and a fault in them costs nothing.
void XlsxReader::readWriter(const std::string &part)
{
    std::string bytes;
    QString ignored;
    if (zip_.readPart(part, bytes, ignored) != ZipPackage::Read::Ok)
        return;
    XmlPullReader xml(bytes);
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t != Token::StartElement || xml.name() != "Application")
            continue;
        QString application;
        if (xml.readText(application, "Application"))
            excelLeapDay_ = !application.startsWith(QLatin1String("LibreOffice"), Qt::CaseInsensitive)
                && !application.startsWith(QLatin1String("OpenOffice"), Qt::CaseInsensitive);
        return;
    }
}

bool XlsxReader::readStyles(const std::string &part, QString &error)
{
    std::string bytes;
    if (!readXmlPart(part, bytes, error))
        return false;
    std::map<int, QString> codes;
    std::vector<int> formatIds;
    bool inCellFormats = false;
    XmlPullReader xml(bytes);
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t == Token::EndElement && xml.name() == "cellXfs")
            inCellFormats = false;
        if (t != Token::StartElement)
            continue;
        if (xml.name() == "numFmt") {
            const int id = parseIndex(xml.attribute("numFmtId").value_or(""));
            if (id >= 0)
                codes[id] = xml.attributeText("formatCode");
        } else if (xml.name() == "cellXfs") {
            inCellFormats = true;
        } else if (inCellFormats && xml.name() == "xf") {
            formatIds.push_back(parseIndex(xml.attribute("numFmtId").value_or("0")));
        }
    }
    if (!partIsSound(part, xml, error))
        return false;
    for (const int id : formatIds) {
        const auto code = codes.find(id);
        formats_.emplace_back(id, code == codes.end() ? QString() : code->second);
    }
    return true;
}

bool XlsxReader::readSharedStrings(const std::string &part, QString &error)
{
    std::string bytes;
    if (!readXmlPart(part, bytes, error))
        return false;
    XmlPullReader xml(bytes);
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t != Token::StartElement || xml.name() != "si")
            continue;
        // Plain text in one "t", rich text in runs; phonetic runs are no part of the text.
        QString text;
        if (!xml.readText(text, "t", "rPh"))
            break;
        decodeEscapes(text);
        sharedStrings_.push_back(std::move(text));
    }
    if (!partIsSound(part, xml, error))
        return false;
    return true;
}

QStringList XlsxReader::sheetNames() const
{
    QStringList names;
    for (const SheetEntry &s : sheets_)
        names << s.name;
    return names;
}

bool XlsxReader::readCell(XmlPullReader &xml, CellRecord &cell)
{
    const int depth = xml.depth();
    while (true) {
        const Token t = xml.next();
        if (t == Token::EndElement && xml.depth() < depth)
            return true;
        if (t == Token::End || t == Token::Invalid)
            return false;
        if (t != Token::StartElement)
            continue;
        if (xml.name() == "v") {
            cell.hasValue = true;
            if (!xml.readText(cell.value, "v"))
                return false;
        } else if (xml.name() == "is") {
            cell.hasValue = true;
            if (!xml.readText(cell.value, "t", "rPh"))
                return false;
        } else if (!xml.skipElement()) {
            return false;
        }
    }
}

bool XlsxReader::cellText(const CellRecord &cell, QString &text, QString &error) const
{
    if (!cell.hasValue || cell.value.isEmpty()) {
        text.clear();
        return true;
    }
    const std::string_view type = cell.type;
    if (type == "s") {
        const int index = parseIndex(cell.value);
        if (index < 0 || static_cast<size_t>(index) >= sharedStrings_.size()) {
            error = QStringLiteral("refers to a shared text that does not exist");
            return false;
        }
        text = sharedStrings_[static_cast<size_t>(index)];
    } else if (type == "inlineStr" || type == "str") {
        text = cell.value;
        decodeEscapes(text);
    } else if (type == "e") {
        text = cell.value;
    } else if (type == "b") {
        text
            = cell.value == u"0" || cell.value == u"false" ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    } else if (type == "d") {
        double value = 0;
        DateParts parts {};
        const QByteArray iso = cell.value.toLatin1();
        if (!parseIsoDate(std::string_view(iso.constData(), static_cast<size_t>(iso.size())), value, parts)) {
            error = QStringLiteral("holds no date");
            return false;
        }
        text = forms_.dateText ? forms_.dateText(value, parts) : cell.value;
    } else if (type.empty() || type == "n") {
        const QByteArray digits = cell.value.trimmed().toLatin1();
        double number = 0;
        const auto [end, ec]
            = std::from_chars(digits.constData(), digits.constData() + digits.size(), number);
        if (ec != std::errc() || end != digits.constData() + digits.size() || !std::isfinite(number)) {
            error = QStringLiteral("holds no number");
            return false;
        }
        const bool styled = cell.style >= 0 && static_cast<size_t>(cell.style) < formats_.size();
        text = styled
            ? formats_[static_cast<size_t>(cell.style)].text(number, date1904_, forms_, excelLeapDay_)
            : numberText(number, forms_.decimalSeparator);
    } else {
        error = QStringLiteral("has an unknown type");
        return false;
    }
    return true;
}

Status XlsxReader::readSheet(int index, Sheet &sheet)
{
    QString error;
    if (index < 0 || index >= static_cast<int>(sheets_.size()))
        return Status::failure(QStringLiteral("the workbook has no sheet %1").arg(index + 1));
    const SheetEntry &entry = sheets_[static_cast<size_t>(index)];
    sheet.reset(entry.name);
    if (!entry.referenced) {
        // Its cells are somewhere the workbook no longer says: read as empty, the
        // sheet would pass for one with a wrong header.
        return Status::failure(
            QStringLiteral("the file is damaged (the sheet \"%1\" refers to no part of it)").arg(entry.name));
    }
    // A chart sheet holds no cells.
    if (entry.part.empty())
        return {};
    std::string bytes;
    if (!readXmlPart(entry.part, bytes, error))
        return Status::failure(error);
    XmlPullReader xml(bytes);
    bool inData = false;
    int row = 0;
    int column = 0;
    CellRecord cell;
    QString text;
    for (Token t = xml.next(); t != Token::End && t != Token::Invalid; t = xml.next()) {
        if (t == Token::EndElement && xml.name() == "sheetData")
            inData = false;
        if (t != Token::StartElement)
            continue;
        const std::string_view name = xml.name();
        if (name == "sheetData") {
            inData = true;
        } else if (inData && name == "row") {
            const auto r = xml.attribute("r");
            row = r ? parseIndex(*r) : row + 1;
            if (row < 1 || row > MaxRows)
                return Status::failure(
                    QStringLiteral("sheet %1: a row number lies outside the workbook's rows")
                        .arg(entry.name));
            column = 0;
        } else if (inData && name == "c") {
            int cellRow = std::max(row, 1);
            const auto r = xml.attribute("r");
            if (r ? !parseReference(*r, cellRow, column) : ++column > MaxColumns)
                return Status::failure(
                    QStringLiteral("sheet %1: a cell lies outside the workbook's rows and columns")
                        .arg(entry.name));
            cell.type = xml.attribute("t").value_or("");
            cell.style = parseIndex(xml.attribute("s").value_or("0"));
            cell.value.clear();
            cell.hasValue = false;
            if (!readCell(xml, cell))
                break;
            QString problem;
            if (!cellText(cell, text, problem))
                return Status::failure(
                    QStringLiteral("sheet %1, cell %2 %3")
                        .arg(entry.name, columnName(column) + QString::number(cellRow), problem));
            sheet.addCell(cellRow, column, std::move(text));
            text = QString();
        }
    }
    if (xml.failed())
        return Status::failure(QStringLiteral("sheet %1: %2").arg(entry.name, xml.errorText()));
    sheet.finish();
    return {};
}

} // namespace platform::workbook

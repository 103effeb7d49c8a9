// Reads arbitrary bytes as a workbook file, arbitrary XML parts packed into a
// sound archive (so that the XML reading is reached past the archive's checks),
// and arbitrary record streams of old binary workbooks (so that the record
// reading is reached past the compound file's checks, in this process).
//
// First byte odd: the rest holds the parts workbook.xml, its relationships,
// styles.xml, sharedStrings.xml and one sheet, separated by "\n#part\n".
// First byte's low bits 10 (2, 6, ...): the rest is an .xls workbook's record stream.
// Otherwise: the rest is the file as it stands (.xlsx, .xls or anything).
#include "platform/workbook/BiffWorkbook.h"
#include "platform/workbook/WorkbookReader.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <cstdint>
#include <unistd.h>
#include <zip.h>

namespace {

const char *const PartNames[] = { "xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/styles.xml",
    "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml" };

const char PackageRels[]
    = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
      "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";

bool addPart(zip_t *archive, const char *name, const QByteArray &bytes)
{
    zip_source_t *source
        = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    return true;
}

QList<QByteArray> splitParts(const QByteArray &input)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    while (parts.size() < 5) {
        const qsizetype at = input.indexOf("\n#part\n", start);
        parts << input.mid(start, at < 0 ? -1 : at - start);
        if (at < 0)
            break;
        start = at + 7;
    }
    return parts;
}

bool writePackage(const QString &path, const QByteArray &input)
{
    const QList<QByteArray> parts = splitParts(input);
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    // The sources point into these bytes until zip_close.
    const QByteArray rels(PackageRels);
    bool ok = addPart(archive, "_rels/.rels", rels);
    for (qsizetype k = 0; ok && k < parts.size(); ++k)
        ok = addPart(archive, PartNames[k], parts[k]);
    if (!ok) {
        zip_discard(archive);
        return false;
    }
    return zip_close(archive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    platform::workbook::CellForms forms;
    forms.dateText = [](double value, platform::workbook::DateParts) { return QString::number(value); };
    if ((data[0] & 3) == 2) {
        platform::workbook::BiffWorkbook book(forms);
        QString error;
        if (book.read(std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1), error)) {
            for (const platform::workbook::Sheet &sheet : book.sheets())
                (void)sheet.cell(sheet.lastRow(), 1);
        }
        return 0;
    }
    static const QString path = QStringLiteral("/tmp/workbook_fuzz.%1.input").arg(::getpid());
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    if (data[0] & 1) {
        if (!writePackage(path, rest))
            return 0;
    } else {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rest) != rest.size())
            return 0;
    }
    platform::workbook::WorkbookReader reader(forms);
    if (reader.open(path)) {
        platform::workbook::Sheet sheet;
        for (int i = 0; i < reader.sheetNames().size(); ++i) {
            if (reader.readSheet(i, sheet))
                (void)sheet.cell(sheet.lastRow(), 1);
        }
    }
    return 0;
}

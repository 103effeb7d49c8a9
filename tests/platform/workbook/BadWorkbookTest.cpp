// Files that are no sound workbook end in a clear error, never in a crash or a
// guess.
#include "platform/workbook/WorkbookReader.h"
#include "platform/workbook/WorkbookWriter.h"
#include "tests/platform/workbook/WorkbookTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::workbook::Sheet;
using platform::workbook::WorkbookReader;
using platform::workbook::WorkbookWriter;

namespace {

// From a sound workbook (argv[1]) and a sound .xls (written here), damaged ones in argv[2].
const QByteArray DamageScript = R"PY(
import os, struct, sys, zipfile, xlwt
sound, folder = sys.argv[1], sys.argv[2]
def out(name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
data = open(sound, "rb").read()
out("text.xlsx", b"Name;Start\nA;01.02.2024\n")
out("text.xls", b"Name\tStart\n")
out("empty.xlsx", b"")
out("truncated.xlsx", data[: len(data) // 2])
with zipfile.ZipFile(sound) as z:
    info = z.getinfo("xl/worksheets/sheet1.xml")
    names = [i.filename for i in z.infolist()]
    parts = {n: z.read(n) for n in names}
extra = struct.unpack("<H", data[info.header_offset + 28:info.header_offset + 30])[0]
start = info.header_offset + 30 + len(info.filename) + extra
middle = start + info.compress_size // 2
corrupt = bytearray(data)
for k in range(middle, middle + 16):
    corrupt[k] ^= 0x5A
out("corrupt.xlsx", bytes(corrupt))

def package(name, sheet, replace=None):
    with zipfile.ZipFile(os.path.join(folder, name), "w", zipfile.ZIP_DEFLATED) as z:
        for n in names:
            if n == "xl/worksheets/sheet1.xml":
                if callable(sheet):
                    with z.open(n, "w") as f:
                        sheet(f)
                else:
                    z.writestr(n, sheet)
            else:
                z.writestr(n, parts[n])
def bomb(f):
    f.write(b'<worksheet><sheetData>')
    block = b' ' * (1 << 20)
    for _ in range(257):
        f.write(block)
    f.write(b'</sheetData></worksheet>')
package("bomb.xlsx", bomb)
with zipfile.ZipFile(os.path.join(folder, "binary.xlsb"), "w") as z:
    z.writestr("_rels/.rels", parts["_rels/.rels"].replace(b"xl/workbook.xml", b"xl/workbook.bin"))
    z.writestr("xl/workbook.bin", b"\x83\x01\x00")
with zipfile.ZipFile(os.path.join(folder, "sheet.ods"), "w") as z:
    z.writestr("mimetype", "application/vnd.oasis.opendocument.spreadsheet")
    z.writestr("content.xml", "<office:document-content/>")
head = '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
tail = '</sheetData></worksheet>'
package("deep.xlsx", head + '<row r="1">' + '<x>' * 100 + '</x>' * 100 + '</row>' + tail)
package("index.xlsx", head + '<row r="1"><c r="A1" t="s"><v>0</v></c></row>' + tail)
package("negative.xlsx", head + '<row r="1"><c r="A1" t="s"><v>-1</v></c></row>' + tail)
package("row.xlsx", head + '<row r="1048577"><c t="inlineStr"><is><t>x</t></is></c></row>' + tail)
package("column.xlsx", head + '<row r="1"><c r="XFE1" t="inlineStr"><is><t>x</t></is></c></row>' + tail)
package("number.xlsx", head + '<row r="1"><c r="A1"><v>12abc</v></c></row>' + tail)
package("doctype.xlsx", '<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa">]>' + head + '<row r="1"><c r="A1" t="inlineStr"><is><t>&a;</t></is></c></row>' + tail)
package("entity.xlsx", head + '<row r="1"><c r="A1" t="inlineStr"><is><t>&nbsp;</t></is></c></row>' + tail)
package("unclosed.xlsx", head + '<row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c>' + tail)
package("liar.xlsx", head + '<row r="1"><c r="A1" t="inlineStr"><is><t>' + 'y' * 100000 + '</t></is></c></row>' + tail)
# The sheet's claimed size, in its local header and in the central directory, made far too small.
liar = bytearray(open(os.path.join(folder, "liar.xlsx"), "rb").read())
with zipfile.ZipFile(os.path.join(folder, "liar.xlsx")) as z:
    info = z.getinfo("xl/worksheets/sheet1.xml")
struct.pack_into("<I", liar, info.header_offset + 22, 100)
at = liar.find(b"xl/worksheets/sheet1.xml", liar.find(b"PK\x01\x02"))
while at >= 0 and liar[at - 46:at - 42] != b"PK\x01\x02":
    at = liar.find(b"xl/worksheets/sheet1.xml", at + 1)
struct.pack_into("<I", liar, at - 46 + 24, 100)
out("liar.xlsx", bytes(liar))

book = xlwt.Workbook()
book.add_sheet("One").write(0, 0, "text")
book.save(os.path.join(folder, "sound.xls"))
xls = open(os.path.join(folder, "sound.xls"), "rb").read()
out("truncated.xls", xls[: len(xls) // 2])
junk = bytearray(xls)
for k in range(512, len(junk), 7):
    junk[k] = (junk[k] * 31 + 7) & 0xFF
out("junk.xls", bytes(junk))
# A header stating 2^28 allocation table sectors in a file of a few sectors.
huge = bytearray(xls)
struct.pack_into("<I", huge, 0x2C, 1 << 28)
out("huge.xls", bytes(huge))
with zipfile.ZipFile(os.path.join(folder, "archive.xlsx"), "w") as z:
    z.writestr("notes.txt", "no workbook here")
# Parts the workbook's relationships name but the archive lacks.
strings = b'<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
for part in ("xl/styles.xml", "xl/sharedStrings.xml"):
    with zipfile.ZipFile(os.path.join(folder, "without-" + part[3:-4] + ".xlsx"), "w") as z:
        for n in names:
            if n == "xl/_rels/workbook.xml.rels" and b"sharedStrings" not in parts[n]:
                z.writestr(n, parts[n].replace(b"</Relationships>", strings + b"</Relationships>"))
            elif n != part:
                z.writestr(n, parts[n])
)PY";

// Opens and reads every sheet; the first error met.
// The reason the reading failed with (empty when it did not); the reader's
// errorText() says the same.
QString readAll(const QString &path)
{
    WorkbookReader reader;
    platform::Status read = reader.open(path);
    Sheet sheet;
    for (int i = 0; read && i < reader.sheetNames().size(); ++i)
        read = reader.readSheet(i, sheet);
    EXPECT_EQ(read.reason(), reader.errorText());
    return read.reason();
}

} // namespace

TEST(BadWorkbook, EveryDamageEndsInAClearError)
{
    QTemporaryDir dir;
    const QString sound = dir.filePath("sound.xlsx");
    {
        WorkbookWriter writer(sound);
        ASSERT_TRUE(writer.addSheet("KEZ Table"));
        for (int r = 1; r <= 200; ++r) {
            for (int c = 1; c <= 5; ++c)
                writer.writeText(r, c, QStringLiteral("row %1 column %2").arg(r).arg(c));
        }
        ASSERT_TRUE(writer.finish());
    }
    ASSERT_EQ(readAll(sound), "");
    workbooktest::runPython(DamageScript, { sound, dir.path() });
    ASSERT_EQ(readAll(dir.filePath("sound.xls")), "");

    const std::vector<std::pair<const char *, const char *>> cases {
        { "text.xlsx", "is no Excel workbook" },
        { "text.xls", "is no Excel workbook" },
        { "empty.xlsx", "is no Excel workbook" },
        { "missing.xlsx", "cannot be opened" },
        { "truncated.xlsx", "damaged" },
        { "corrupt.xlsx", "damaged" },
        { "bomb.xlsx", "expands to more than 256 MiB" },
        { "deep.xlsx", "nested too deeply" },
        { "index.xlsx", "shared text that does not exist" },
        { "negative.xlsx", "shared text that does not exist" },
        { "row.xlsx", "outside the workbook's rows" },
        { "column.xlsx", "outside the workbook's rows and columns" },
        { "number.xlsx", "holds no number" },
        { "doctype.xlsx", "document type declarations are not accepted" },
        { "entity.xlsx", "faulty character reference" },
        { "unclosed.xlsx", "end tag does not match" },
        { "liar.xlsx", "more than its header says" },
        { "truncated.xls", "its container (a compound file) is damaged" },
        { "junk.xls", "its container (a compound file) is damaged" },
        { "huge.xls", "its container (a compound file) is damaged" },
        { "sheet.ods", "it is an OpenDocument spreadsheet (.ods), not an Excel workbook (.xlsx or .xls)" },
        { "archive.xlsx", "it is an archive, not an Excel workbook (.xlsx or .xls)" },
        { "without-styles.xlsx", "the workbook lacks its part xl/styles.xml" },
        { "without-sharedStrings.xlsx", "the workbook lacks its part xl/sharedStrings.xml" },
    };
    for (const auto &[name, reason] : cases) {
        const QString error = readAll(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(error.contains(QLatin1String(reason)))
            << name << ": expected \"" << reason << "\", got \"" << error.toStdString() << "\"";
    }
}

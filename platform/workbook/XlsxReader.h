#pragma once

#include "platform/workbook/CellText.h"
#include "platform/workbook/NumberFormats.h"
#include "platform/workbook/WorkbookBackend.h"
#include "platform/workbook/ZipPackage.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::workbook {

class XmlPullReader;

// An .xlsx workbook: the package's relationships lead to the workbook part with
// its sheet list, the shared strings, the styles (for dates) and the sheets.
class XlsxReader : public WorkbookBackend {
public:
    explicit XlsxReader(CellForms forms);

    Status open(const QString &path) override;
    QStringList sheetNames() const override;
    Status readSheet(int index, Sheet &sheet) override;

private:
    struct Relationship {
        std::string id;
        std::string type; // the last segment of the type URI
        std::string target;
    };
    struct SheetEntry {
        QString name;
        std::string part; // empty for a sheet that is no worksheet (a chart)
        bool referenced = false; // its reference leads to a part of the package
    };
    struct CellRecord {
        std::string_view type;
        int style = -1;
        QString value;
        bool hasValue = false;
    };

    bool readXmlPart(const std::string &name, std::string &bytes, QString &error);
    bool readRelationships(const std::string &part, std::vector<Relationship> &out, QString &error);
    bool readWorkbookPart(const std::string &part, const std::vector<Relationship> &rels, QString &error);
    bool readStyles(const std::string &part, QString &error);
    bool readSharedStrings(const std::string &part, QString &error);
    void readWriter(const std::string &part);
    bool readCell(XmlPullReader &xml, CellRecord &cell);
    bool cellText(const CellRecord &cell, QString &text, QString &error) const;

    CellForms forms_;
    ZipPackage zip_;
    bool date1904_ = false;
    // Whether the writer counts Excel's 29 February 1900 (all but LibreOffice).
    bool excelLeapDay_ = true;
    std::vector<SheetEntry> sheets_;
    std::vector<QString> sharedStrings_;
    // Per cell format (the cell's "s"): what its number format shows.
    std::vector<NumberFormat> formats_;
};

} // namespace platform::workbook

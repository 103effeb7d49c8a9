#pragma once

#include <QString>
#include <string>
#include <string_view>

struct zip;

namespace platform::workbook {

// The archive of an .xlsx workbook, read part by part. Everything it hands out
// is bounded: the parts read from one archive may expand to at most
// MaxExpandedBytes together, whatever their headers claim.
class ZipPackage {
public:
    static constexpr long long MaxExpandedBytes = 256ll << 20;

    ZipPackage() = default;
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    bool open(const QString &path, QString &error);

    enum class Read { Ok, Missing, Failed };
    // The whole part `name` (a path inside the archive, no leading "/").
    Read readPart(const std::string &name, std::string &out, QString &error);

    // Part names for relationships: the part holding the relationships of
    // `part`, and a relationship target seen from `part` made absolute.
    static std::string relationshipsOf(const std::string &part);
    static std::string resolve(const std::string &part, std::string_view target);

private:
    struct zip *archive_ = nullptr;
    long long expanded_ = 0;
};

} // namespace platform::workbook

#include "platform/workbook/ZipPackage.h"

#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>
#include <zip.h>

namespace platform::workbook {

namespace {

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// Closes an entry of the archive on every path.
struct EntryCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

} // namespace

ZipPackage::~ZipPackage()
{
    if (archive_)
        zip_discard(archive_);
}

bool ZipPackage::open(const QString &path, QString &error)
{
    int code = 0;
    archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive_) {
        error = QStringLiteral("the archive is damaged (%1)").arg(zipErrorText(code));
        return false;
    }
    return true;
}

ZipPackage::Read ZipPackage::readPart(const std::string &name, std::string &out, QString &error)
{
    out.clear();
    // Part names ignore letter case.
    const zip_int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0)
        return Read::Missing;
    const QString part = QString::fromStdString(name);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE)) {
        error = QStringLiteral("the archive's entry %1 is damaged").arg(part);
        return Read::Failed;
    }
    const long long budget = MaxExpandedBytes - expanded_;
    if (stat.size > static_cast<zip_uint64_t>(budget)) {
        error = QStringLiteral("the archive expands to more than %1 MiB").arg(MaxExpandedBytes >> 20);
        return Read::Failed;
    }
    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0));
    if (!file) {
        error = QStringLiteral("the archive's entry %1 cannot be read (%2)")
                    .arg(part, QString::fromLocal8Bit(zip_strerror(archive_)));
        return Read::Failed;
    }
    // Grown as the bytes come, never to what the header merely claims; one byte
    // past the claimed size shows a header that lies.
    const size_t expected = static_cast<size_t>(stat.size);
    // Deflate expands at most about 1032-fold.
    if (stat.valid & ZIP_STAT_COMP_SIZE)
        out.reserve(static_cast<size_t>(std::min<zip_uint64_t>(stat.size, stat.comp_size * 1032 + 4096)));
    std::vector<char> chunk(1 << 16);
    while (true) {
        const zip_int64_t n = zip_fread(file.get(), chunk.data(), chunk.size());
        if (n < 0) {
            error = QStringLiteral("the archive's entry %1 is damaged (%2)")
                        .arg(part, QString::fromLocal8Bit(zip_file_strerror(file.get())));
            return Read::Failed;
        }
        if (n == 0)
            break;
        if (out.size() + static_cast<size_t>(n) > expected) {
            error = QStringLiteral("the archive's entry %1 holds more than its header says").arg(part);
            return Read::Failed;
        }
        out.append(chunk.data(), static_cast<size_t>(n));
    }
    if (out.size() != expected) {
        error = QStringLiteral("the archive's entry %1 is incomplete").arg(part);
        return Read::Failed;
    }
    expanded_ += static_cast<long long>(expected);
    return Read::Ok;
}

std::string ZipPackage::relationshipsOf(const std::string &part)
{
    const size_t slash = part.rfind('/');
    if (slash == std::string::npos)
        return "_rels/" + part + ".rels";
    return part.substr(0, slash) + "/_rels/" + part.substr(slash + 1) + ".rels";
}

std::string ZipPackage::resolve(const std::string &part, std::string_view target)
{
    std::string joined;
    if (!target.empty() && target.front() == '/') {
        joined = std::string(target.substr(1));
    } else {
        const size_t slash = part.rfind('/');
        joined
            = (slash == std::string::npos ? std::string() : part.substr(0, slash + 1)) + std::string(target);
    }
    // Drop "." and empty segments; ".." goes up one folder (never above the root).
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string &segment : segments)
        resolved += (resolved.empty() ? "" : "/") + segment;
    return resolved;
}

} // namespace platform::workbook

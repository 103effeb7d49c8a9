#include "platform/workbook/XlsChild.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libolecf.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::workbook {

namespace {

bool writeAll(int fd, const char *p, size_t left)
{
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool writeMessage(int fd, char kind, const std::string &payload)
{
    std::string message(1, kind);
    const auto length = static_cast<uint32_t>(payload.size());
    message.append(reinterpret_cast<const char *>(&length), sizeof length);
    message += payload;
    return writeAll(fd, message.data(), message.size());
}

// Frees what the library hands out on every path.
struct OlecfError {
    libolecf_error_t *error = nullptr;
    ~OlecfError() { libolecf_error_free(&error); }
};
struct OlecfItem {
    libolecf_item_t *item = nullptr;
    ~OlecfItem() { libolecf_item_free(&item, nullptr); }
};
struct OlecfFile {
    libolecf_file_t *file = nullptr;
    bool open = false;
    ~OlecfFile()
    {
        if (open)
            libolecf_file_close(file, nullptr);
        libolecf_file_free(&file, nullptr);
    }
};

bool nameIs(libolecf_item_t *item, const char *wanted)
{
    size_t size = 0;
    if (libolecf_item_get_utf8_name_size(item, &size, nullptr) != 1 || size == 0 || size > 64)
        return false;
    uint8_t name[64];
    if (libolecf_item_get_utf8_name(item, name, size, nullptr) != 1)
        return false;
    // Writers differ in the letter case of the stream's name.
    return ::strncasecmp(reinterpret_cast<const char *>(name), wanted, size) == 0
        && std::strlen(wanted) + 1 == size;
}

// The workbook stream ("Workbook" since Excel 97, "Book" before) or the reason
// there is none.
std::string findStream(libolecf_item_t *root, OlecfItem &stream)
{
    int count = 0;
    if (libolecf_item_get_number_of_sub_items(root, &count, nullptr) != 1)
        return "its container (a compound file) is damaged";
    bool encrypted = false;
    for (const char *wanted : { "Workbook", "Book" }) {
        for (int i = 0; i < count; ++i) {
            OlecfItem item;
            if (libolecf_item_get_sub_item(root, i, &item.item, nullptr) != 1)
                return "its container (a compound file) is damaged";
            encrypted = encrypted || nameIs(item.item, "EncryptedPackage");
            if (nameIs(item.item, wanted)) {
                std::swap(stream.item, item.item);
                return {};
            }
        }
    }
    // A password-protected .xlsx travels inside a compound file too.
    return encrypted ? "the workbook is protected by a password" : "the file holds no workbook";
}

uint32_t headerWord(const unsigned char *header, int at)
{
    return uint32_t(header[at]) | uint32_t(header[at + 1]) << 8 | uint32_t(header[at + 2]) << 16
        | uint32_t(header[at + 3]) << 24;
}

// The library sizes its tables from the counts the compound file's header states,
// before it reads a sector: a 1 KB file stating 2^28 table sectors makes it ask for
// gigabytes. Every table sector is a sector of the file, so no count (nor their sum)
// can exceed the file's sectors; a header that says otherwise is damaged.
bool tablesFitTheFile(const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // the library names the reason it cannot open the file
    unsigned char header[512];
    struct stat status = {};
    const bool read = ::fstat(fd, &status) == 0 && ::pread(fd, header, sizeof header, 0) == sizeof header;
    ::close(fd);
    if (!read || !S_ISREG(status.st_mode))
        return false;
    const unsigned shift = header[0x1E] | header[0x1F] << 8;
    if (shift != 9 && shift != 12)
        return false;
    const uint64_t sectors = (uint64_t(status.st_size) >> shift) + 1;
    const uint64_t directory = headerWord(header, 0x28), allocation = headerWord(header, 0x2C),
                   mini = headerWord(header, 0x40), extension = headerWord(header, 0x48);
    return directory + allocation + mini + extension <= sectors;
}

std::string readStream(const char *path, uint32_t maxBytes, std::string &bytes)
{
    if (!tablesFitTheFile(path))
        return "its container (a compound file) is damaged";
    OlecfFile file;
    OlecfError error;
    if (libolecf_file_initialize(&file.file, &error.error) != 1)
        return "not enough memory";
    if (libolecf_file_open(file.file, path, LIBOLECF_OPEN_READ, &error.error) != 1)
        return "its container (a compound file) is damaged";
    file.open = true;
    OlecfItem root;
    if (libolecf_file_get_root_item(file.file, &root.item, &error.error) != 1)
        return "its container (a compound file) is damaged";
    OlecfItem stream;
    std::string problem = findStream(root.item, stream);
    if (!problem.empty())
        return problem;
    uint32_t size = 0;
    if (libolecf_item_get_size(stream.item, &size, &error.error) != 1)
        return "its container (a compound file) is damaged";
    if (size > maxBytes)
        return "its workbook data is larger than " + std::to_string(maxBytes >> 20) + " MiB";
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = libolecf_stream_read_buffer(
            stream.item, reinterpret_cast<uint8_t *>(bytes.data() + done), size - done, &error.error);
        if (n <= 0)
            return "its workbook data cannot be read (the container is damaged)";
        done += static_cast<size_t>(n);
    }
    return {};
}

} // namespace

int writeXlsStream(const char *path, int fd, uint32_t maxBytes)
{
    std::string bytes;
    const std::string problem = readStream(path, maxBytes, bytes);
    if (!problem.empty())
        return writeMessage(fd, xlsrecord::Error, problem) ? 0 : 1;
    return writeMessage(fd, xlsrecord::Stream, bytes) && writeAll(fd, &xlsrecord::End, 1) ? 0 : 1;
}

} // namespace platform::workbook

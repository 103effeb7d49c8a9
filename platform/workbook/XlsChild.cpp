#include "platform/workbook/XlsChild.h"

#include "platform/workbook/WorkbookLimits.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <freexl.h>
#include <unistd.h>

namespace platform::workbook {

namespace {

// Collects records and hands them to the pipe in large writes.
class RecordWriter {
public:
    explicit RecordWriter(int fd)
        : fd_(fd)
    { }

    template <typename T> void put(T value)
    {
        buffer_.append(reinterpret_cast<const char *>(&value), sizeof value);
        if (buffer_.size() >= (1u << 16))
            flush();
    }
    void putText(const char *text)
    {
        const auto length = static_cast<uint32_t>(std::strlen(text));
        put(length);
        buffer_.append(text, length);
    }
    bool flush()
    {
        const char *p = buffer_.data();
        size_t left = buffer_.size();
        while (left > 0 && ok_) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            ok_ = n > 0;
            p += std::max<ssize_t>(n, 0);
            left -= static_cast<size_t>(std::max<ssize_t>(n, 0));
        }
        buffer_.clear();
        return ok_;
    }

private:
    int fd_;
    bool ok_ = true;
    std::string buffer_;
};

char cellType(unsigned char type)
{
    switch (type) {
    case FREEXL_CELL_INT:
        return xlsrecord::Int;
    case FREEXL_CELL_DOUBLE:
        return xlsrecord::Double;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return xlsrecord::Text;
    case FREEXL_CELL_DATE:
        return xlsrecord::Date;
    case FREEXL_CELL_TIME:
        return xlsrecord::Time;
    case FREEXL_CELL_DATETIME:
        return xlsrecord::DateTime;
    default:
        return 0;
    }
}

int writeSheets(const void *handle, RecordWriter &out)
{
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED)
        return FREEXL_BIFF_OBFUSCATED;
    unsigned int count = 0;
    int rc = freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    if (rc != FREEXL_OK)
        return rc;
    count = std::min(count, 65535u);
    out.put(xlsrecord::Names);
    out.put(static_cast<uint32_t>(count));
    for (unsigned int i = 0; i < count; ++i) {
        const char *name = nullptr;
        rc = freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name);
        if (rc != FREEXL_OK)
            return rc;
        out.putText(name ? name : "");
    }
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int rows = 0;
        unsigned short columns = 0;
        rc = freexl_select_active_worksheet(handle, static_cast<unsigned short>(i));
        if (rc == FREEXL_OK)
            rc = freexl_worksheet_dimensions(handle, &rows, &columns);
        if (rc != FREEXL_OK)
            return rc;
        out.put(xlsrecord::Sheet);
        out.put(static_cast<uint32_t>(i));
        rows = std::min<unsigned int>(rows, MaxRows);
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                rc = freexl_get_cell_value(handle, r, c, &value);
                if (rc != FREEXL_OK)
                    return rc;
                const char type = cellType(value.type);
                if (!type)
                    continue;
                out.put(xlsrecord::Cell);
                out.put(static_cast<uint32_t>(r));
                out.put(static_cast<uint16_t>(c));
                out.put(type);
                if (type == xlsrecord::Int)
                    out.put(static_cast<int32_t>(value.value.int_value));
                else if (type == xlsrecord::Double)
                    out.put(value.value.double_value);
                else
                    out.putText(value.value.text_value ? value.value.text_value : "");
            }
        }
    }
    return FREEXL_OK;
}

} // namespace

int writeXlsRecords(const char *path, int fd)
{
    RecordWriter out(fd);
    const void *handle = nullptr;
    int rc = freexl_open(path, &handle);
    if (rc == FREEXL_OK)
        rc = writeSheets(handle, out);
    if (handle)
        freexl_close(handle);
    if (rc != FREEXL_OK) {
        out.put(xlsrecord::Error);
        out.put(static_cast<int32_t>(rc));
    } else {
        out.put(xlsrecord::End);
    }
    return out.flush() ? 0 : 1;
}

} // namespace platform::workbook

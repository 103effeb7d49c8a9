#pragma once

#include <cstdint>

namespace platform::workbook {

// What the child process reading an .xls file sends back (numbers in the
// machine's own byte order):
//   'W' u32 length + bytes      the workbook's record stream, then 'Z'
//   'E' u32 length + UTF-8      what failed, in words
namespace xlsrecord {
constexpr char Stream = 'W', Error = 'E', End = 'Z';
} // namespace xlsrecord

// Runs in the child: takes the workbook's record stream out of the compound
// file at `path` through libolecf and writes it to `fd`; streams longer than
// `maxBytes` are refused. Returns the child's exit code.
int writeXlsStream(const char *path, int fd, uint32_t maxBytes);

} // namespace platform::workbook

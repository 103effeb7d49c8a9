#pragma once

#include <cstdint>
#include <string>

namespace platform::workbook {

// What the child process reading an .xls file sends back, record by record
// (numbers in the machine's own byte order):
//   'N' u32 count, then count times u32 length + UTF-8 name     the sheets
//   'S' u32 index                                               a sheet's cells follow
//   'C' u32 row u16 column u8 type + value                      one cell (from 0)
//        type 'i': i32, 'd': f64, 't' text, 'D' date, 'T' time, 'X' date and time:
//        u32 length + UTF-8 (dates as "yyyy-mm-dd hh:mm:ss")
//   'E' i32 code                                                the library's error
//   'Z'                                                         the end
namespace xlsrecord {
constexpr char Names = 'N', Sheet = 'S', Cell = 'C', Error = 'E', End = 'Z';
constexpr char Int = 'i', Double = 'd', Text = 't', Date = 'D', Time = 'T', DateTime = 'X';
} // namespace xlsrecord

// Runs in the child: reads the workbook at `path` through the library and writes
// the records to `fd`. Returns the child's exit code.
int writeXlsRecords(const char *path, int fd);

} // namespace platform::workbook

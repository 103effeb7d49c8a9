// Reads arbitrary bytes as the header's record: an error that leaves the
// device where it was, or a record that writes and reads back the same and
// that the columns take without an overflow.
#include "components/gui/GridTreeColumns.h"
#include "components/gui/HeaderStream.h"
#include "tests/support/FakeColumnsHost.h"

#include <QBuffer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer in;
    in.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    in.open(QIODevice::ReadOnly);
    THeaderRecord record;
    try {
        record = ReadHeaderRecord(in);
    } catch (const EGridTreeError &) {
        if (in.pos() != 0)
            abort();
        return 0;
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    WriteHeaderRecord(out, record);
    out.close();
    out.open(QIODevice::ReadOnly);
    record.Version = HeaderRecordVersion;
    if (!(ReadHeaderRecord(out) == record))
        abort();

    testsupport::TFakeHost host;
    TGridTreeColumns columns(host);
    columns.LoadFromBlock(record.Columns);
    if (!(columns.SaveToBlock().Positions == record.Columns.Positions))
        abort();
    for (int x = -1; x < columns.TotalWidth() + 2; x += std::max(1, columns.TotalWidth() / 16))
        columns.ColumnFromPosition(QPoint(x, 0));
    columns.GetScrollWidth();
    return 0;
}

#pragma once

#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::workbook {

// The record stream of an old binary workbook (the "Workbook" or "Book" stream
// of its compound file): records of a 16-bit type and a 16-bit length, little
// endian. Nothing here trusts a length: every read stops at the bytes present.
namespace biff {

constexpr uint16_t Formula = 0x0006, Eof = 0x000A, Filepass = 0x002F, Continue = 0x003C, Codepage = 0x0042,
                   Datemode = 0x0022, Boundsheet = 0x0085, Mulrk = 0x00BD, Rstring = 0x00D6, Xf = 0x00E0,
                   Sst = 0x00FC, Labelsst = 0x00FD, Number = 0x0203, Label = 0x0204, Boolerr = 0x0205,
                   String = 0x0207, Rk = 0x027E, Format = 0x041E, Bof = 0x0809;

// One record with the CONTINUE records that carry the rest of its data.
struct Record {
    uint16_t type = 0;
    size_t offset = 0; // of its header in the stream
    std::vector<std::string_view> pieces; // its data, then each continuation's
};

// Walks the records of a stream from an offset.
class RecordStream {
public:
    explicit RecordStream(std::string_view bytes, size_t offset = 0)
        : FBytes(bytes)
        , FPos(offset)
    { }

    // The next record, its continuations joined on when `joinContinues`; false
    // at the end of the stream or at a header cut short (then truncated() is set).
    bool next(Record &record, bool joinContinues);
    bool truncated() const { return FTruncated; }
    size_t position() const { return FPos; }

private:
    bool header(uint16_t &type, std::string_view &data);

    std::string_view FBytes;
    size_t FPos;
    bool FTruncated = false;
};

// Reads the data of a record across its pieces. A text whose characters run
// on into a continuation starts there again with its flags byte (compressed
// 8-bit or 16-bit characters), as the format lays such texts out.
class RecordReader {
public:
    explicit RecordReader(const Record &record)
        : FPieces(record.pieces)
    { }

    bool u8(uint8_t &v);
    bool u16(uint16_t &v);
    bool u32(uint32_t &v);
    bool f64(double &v);
    bool skip(size_t count);
    // How many bytes are left in the record.
    size_t left() const;

    // A text of 16-bit length with its flags byte (compressed or 16-bit
    // characters, rich-text runs, phonetic data): the workbook's usual texts.
    bool unicodeText(QString &out) { return unicodeText(out, 2); }
    // The same with an 8-bit length (sheet names).
    bool shortUnicodeText(QString &out) { return unicodeText(out, 1); }
    // A text of the older format: an 8- or 16-bit length, then bytes of the
    // workbook's code page (decoded by the caller's table).
    bool byteText(std::string &out, int lengthBytes);

private:
    bool unicodeText(QString &out, int lengthBytes);
    // A text's length of 8 or 16 bits.
    bool length(int lengthBytes, uint32_t &count);
    bool characters(uint32_t count, bool wide, QString &out);
    bool raw(void *out, size_t count);
    // Moves to the next piece when this one is used up; false at the end.
    bool nextPiece();

    const std::vector<std::string_view> &FPieces;
    size_t FPiece = 0;
    size_t FPos = 0;
};

} // namespace biff

} // namespace platform::workbook

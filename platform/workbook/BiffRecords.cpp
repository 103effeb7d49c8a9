#include "platform/workbook/BiffRecords.h"

#include <algorithm>
#include <cstring>

namespace platform::workbook::biff {

bool RecordStream::header(uint16_t &type, std::string_view &data)
{
    if (FPos >= FBytes.size())
        return false;
    if (FBytes.size() - FPos < 4) {
        FTruncated = true;
        return false;
    }
    const auto *p = reinterpret_cast<const unsigned char *>(FBytes.data() + FPos);
    type = static_cast<uint16_t>(p[0] | (p[1] << 8));
    const size_t length = static_cast<size_t>(p[2] | (p[3] << 8));
    if (FBytes.size() - FPos - 4 < length) {
        FTruncated = true;
        return false;
    }
    data = FBytes.substr(FPos + 4, length);
    FPos += 4 + length;
    return true;
}

bool RecordStream::next(Record &record, bool joinContinues)
{
    record.pieces.clear();
    record.offset = FPos;
    std::string_view data;
    if (!header(record.type, data))
        return false;
    record.pieces.push_back(data);
    while (joinContinues && FBytes.size() - FPos >= 4) {
        const auto *p = reinterpret_cast<const unsigned char *>(FBytes.data() + FPos);
        if ((p[0] | (p[1] << 8)) != Continue)
            break;
        uint16_t type = 0;
        if (!header(type, data))
            break;
        record.pieces.push_back(data);
    }
    return true;
}

bool RecordReader::nextPiece()
{
    while (FPiece < FPieces.size() && FPos >= FPieces[FPiece].size()) {
        ++FPiece;
        FPos = 0;
        if (FPiece < FPieces.size() && !FPieces[FPiece].empty())
            return true;
    }
    return FPiece < FPieces.size();
}

bool RecordReader::raw(void *out, size_t count)
{
    auto *target = static_cast<char *>(out);
    while (count > 0) {
        if (FPiece >= FPieces.size() || (FPos >= FPieces[FPiece].size() && !nextPiece()))
            return false;
        const std::string_view piece = FPieces[FPiece];
        const size_t n = std::min(count, piece.size() - FPos);
        std::memcpy(target, piece.data() + FPos, n);
        target += n;
        FPos += n;
        count -= n;
    }
    return true;
}

bool RecordReader::u8(uint8_t &v)
{
    return raw(&v, 1);
}

bool RecordReader::u16(uint16_t &v)
{
    unsigned char b[2];
    if (!raw(b, 2))
        return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool RecordReader::u32(uint32_t &v)
{
    unsigned char b[4];
    if (!raw(b, 4))
        return false;
    v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return true;
}

bool RecordReader::f64(double &v)
{
    unsigned char b[8];
    if (!raw(b, 8))
        return false;
    uint64_t bits = 0;
    for (int k = 7; k >= 0; --k)
        bits = (bits << 8) | b[k];
    std::memcpy(&v, &bits, sizeof v);
    return true;
}

bool RecordReader::skip(size_t count)
{
    while (count > 0) {
        if (FPiece >= FPieces.size() || (FPos >= FPieces[FPiece].size() && !nextPiece()))
            return false;
        const size_t n = std::min(count, FPieces[FPiece].size() - FPos);
        FPos += n;
        count -= n;
    }
    return true;
}

size_t RecordReader::left() const
{
    size_t n = 0;
    for (size_t k = FPiece; k < FPieces.size(); ++k)
        n += FPieces[k].size() - (k == FPiece ? std::min(FPos, FPieces[k].size()) : 0);
    return n;
}

bool RecordReader::length(int lengthBytes, uint32_t &count)
{
    if (lengthBytes == 1) {
        uint8_t n = 0;
        const bool ok = u8(n);
        count = n;
        return ok;
    }
    uint16_t n = 0;
    const bool ok = u16(n);
    count = n;
    return ok;
}

bool RecordReader::characters(uint32_t count, bool wide, QString &out)
{
    // Never more characters than bytes are left: a length cannot make us allocate.
    out.reserve(static_cast<qsizetype>(std::min<size_t>(count, left())));
    while (count > 0) {
        if (FPiece >= FPieces.size())
            return false;
        if (FPos >= FPieces[FPiece].size()) {
            // The characters go on in the next continuation, behind a new flags byte.
            if (!nextPiece())
                return false;
            uint8_t flags = 0;
            if (!u8(flags))
                return false;
            wide = flags & 0x01;
            continue;
        }
        const std::string_view piece = FPieces[FPiece];
        const auto *p = reinterpret_cast<const unsigned char *>(piece.data() + FPos);
        const size_t available = (piece.size() - FPos) / (wide ? 2 : 1);
        if (available == 0)
            return false; // half a 16-bit character at the end of a piece
        const size_t n = std::min<size_t>(count, available);
        for (size_t k = 0; k < n; ++k)
            out += QChar(static_cast<char16_t>(wide ? p[2 * k] | (p[2 * k + 1] << 8) : p[k]));
        FPos += n * (wide ? 2 : 1);
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

bool RecordReader::unicodeText(QString &out, int lengthBytes)
{
    out.clear();
    uint32_t count = 0;
    if (!length(lengthBytes, count))
        return false;
    uint8_t flags = 0;
    if (!u8(flags))
        return false;
    uint16_t runs = 0;
    uint32_t phonetic = 0;
    if ((flags & 0x08) && !u16(runs))
        return false;
    if ((flags & 0x04) && !u32(phonetic))
        return false;
    return characters(count, flags & 0x01, out) && skip(size_t(runs) * 4) && skip(phonetic);
}

bool RecordReader::byteText(std::string &out, int lengthBytes)
{
    uint32_t count = 0;
    if (!length(lengthBytes, count))
        return false;
    if (count > left())
        return false;
    out.resize(count);
    return raw(out.data(), count);
}

} // namespace platform::workbook::biff

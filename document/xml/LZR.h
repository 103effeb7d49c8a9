#pragma once

#include <QtGlobal>
#include <memory>

class QIODevice;

// LZRW1/KH compression of whole streams, in the stream format that documents,
// transaction files and ini files use when stored compressed:
//
//   offset 0  4 bytes  magic 0x0070697A ("zip" and a zero byte), little-endian
//   offset 4  4 bytes  length of the uncompressed data, little-endian
//   offset 8  blocks   2-byte little-endian block length L, then L bytes of block data
//
// The input is cut into blocks of 32768 bytes; the stream ends after the first block
// that decodes to fewer than 32768 bytes (an empty one when the input length is a
// multiple of 32768). Block data starts with 0x80 (stored: the rest is the input
// unchanged) or 0x40 (compressed: 16-bit control words, high byte first, whose bits
// from bit 15 down mark the next 16 items as literal (0) or copy/run (1)).
class TLZR {
public:
    static constexpr quint32 Magic = 0x0070697A;
    static constexpr int BlockSize = 32768;
    // Longest valid block data: the stored form of a full block.
    static constexpr int MaxBlockData = BlockSize + 1;
    // Room a caller of Compression must give its destination: a compressed block may
    // overshoot its input by up to 6 bytes before the coder gives up and stores it.
    static constexpr int CompressionRoom = BlockSize + 8;
    // Room a caller of Decompression must give its destination: copies and literals are
    // done in fixed-size pieces that may write up to 29 bytes past their end.
    static constexpr int DecompressionRoom = BlockSize + 32;

    TLZR();
    ~TLZR();
    TLZR(const TLZR &) = delete;
    TLZR &operator=(const TLZR &) = delete;

    // Writes the header and the blocks of everything from source's position to its end.
    // False when a read or a write comes up short (the header included), or when the
    // source delivered a different number of bytes than its size announced.
    bool Compress(QIODevice &source, QIODevice &dest);

    // Decodes one stream into dest. With checkHeader the magic is read first; when it
    // does not match, source is left where it was and the result is false. Without
    // checkHeader source must stand at the length field. True exactly when the blocks
    // decoded to the header's length; a corrupt block, a short read or write, or output
    // beyond the header's length stops with false (what was written stays in dest).
    bool DeCompress(QIODevice &source, QIODevice &dest, bool checkHeader);

    // Whole byte arrays. CompressBytes writes the stream with its header; it fails
    // only for texts beyond 4 GB. DecompressBytes is true (and sets out) only for a
    // complete stream whose magic matched.
    static bool CompressBytes(const QByteArray &in, QByteArray &out);
    static bool DecompressBytes(const QByteArray &in, QByteArray &out);

    // True when the next four bytes of source are the magic; the position is unchanged.
    static bool HasMagic(QIODevice &source);

    // Codes one block of `size` (<= BlockSize) bytes into dest, which must have room for
    // CompressionRoom bytes; returns the block length (size + 1 when stored).
    int Compression(const uchar *source, uchar *dest, int size);

    // Decodes one block of `size` bytes into dest (room for DecompressionRoom bytes); returns the
    // number of bytes decoded, or -1 when the block is corrupt (a copy reaching before the
    // block start, output beyond BlockSize, an item cut off by the block end).
    static int Decompression(const uchar *source, uchar *dest, int size);

private:
    std::unique_ptr<uchar[]> FInBuffer;
    std::unique_ptr<uchar[]> FOutBuffer;
    std::unique_ptr<quint16[]> FHashTable;
};

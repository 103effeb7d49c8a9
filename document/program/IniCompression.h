#pragma once

#include <QByteArray>

// The seam between the ini store and the compressed stream format. The store only
// needs "is this a compressed stream, and what does it hold" and "compress these
// bytes"; keeping that behind two functions lets the store be tested on its own.
namespace ini_compression {

// True and `out` set to the decompressed bytes when `in` is a complete, valid
// compressed stream (magic checked); false otherwise, `out` untouched.
bool tryDecompress(const QByteArray &in, QByteArray &out);

// The text length a compressed stream's header states; -1 when `in` is no
// compressed stream.
qint64 statedLength(const QByteArray &in);

// True and `out` set to the compressed stream (with its magic); false when the
// bytes could not be compressed, in which case the caller writes plain text.
bool tryCompress(const QByteArray &in, QByteArray &out);

} // namespace ini_compression

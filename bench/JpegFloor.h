// The floor of the JPEG benchmarks: libjpeg compressing a picture of `size` from
// memory, one band of raw RGB rows fed over and over until the picture's height,
// into a destination that drops the bytes.
#pragma once

#include <QImage>
#include <QSize>
#include <array>
#include <cstdio>
#include <jpeglib.h>

namespace bench {

struct TNullDestination {
    jpeg_destination_mgr pub;
    std::array<JOCTET, 64 * 1024> buffer;
};

inline void ResetBuffer(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TNullDestination *>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer.data();
    dest->pub.free_in_buffer = dest->buffer.size();
}

inline boolean DropBuffer(j_compress_ptr cinfo)
{
    ResetBuffer(cinfo);
    return TRUE;
}

// `band` is converted to RGB first, outside what is measured by the caller.
inline void CompressFromMemory(const QImage &rgbBand, QSize size)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    TNullDestination dest {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = ResetBuffer;
    dest.pub.empty_output_buffer = DropBuffer;
    dest.pub.term_destination = [](j_compress_ptr) {};
    cinfo.dest = &dest.pub;
    cinfo.image_width = JDIMENSION(size.width());
    cinfo.image_height = JDIMENSION(size.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row
            = const_cast<JSAMPROW>(rgbBand.constScanLine(int(cinfo.next_scanline % rgbBand.height())));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

} // namespace bench

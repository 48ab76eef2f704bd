#include "image/rowdecode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

[[noreturn]] void escape(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->escape, 1);
}

// Warnings about damaged data pass as with Qt's decoder; a file that ends early does not,
// since the decoder would make up the missing rows.
void onMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        escape(info);
}

void silent(j_common_ptr) {}

// Everything the decoding touches lives here, outside the frame that longjmp unwinds.
struct JpegRead {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    std::FILE *file = nullptr;
    dib picture;
};

std::int32_t perMeter(const jpeg_decompress_struct &info, UINT16 density)
{
    // The same rounding as Qt's decoder, so that both paths give a picture the same resolution.
    if (info.density_unit == 1)
        return static_cast<std::int32_t>(100. * density / 2.54);
    if (info.density_unit == 2)
        return static_cast<std::int32_t>(100. * density);
    return 0;
}

RowDecode decode(JpegRead &r)
{
    jpeg_decompress_struct &info = r.info;
    if (setjmp(r.errors.escape))
        return RowDecode::Refused;
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, r.file);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return RowDecode::Refused;

    int bits = 0;
    if (info.num_components == 3 && (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB)) {
        info.out_color_space = JCS_EXT_BGR;
        bits = 24;
    } else if (info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE) {
        info.out_color_space = JCS_GRAYSCALE;
        bits = 8;
    } else {
        return RowDecode::NotHandled;
    }
    jpeg_calc_output_dimensions(&info);
    const JDIMENSION w = info.output_width;
    const JDIMENSION h = info.output_height;
    if (!decodedSizeAccepted(w, h, bits))
        return RowDecode::Refused;

    RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        grey[i] = RGBQUAD{v, v, v, 0};
    }
    alignas(BITMAPINFO) unsigned char header[sizeof(BITMAPINFOHEADER) + sizeof grey] = {};
    std::copy_n(reinterpret_cast<const unsigned char *>(grey), sizeof grey, header + sizeof(BITMAPINFOHEADER));
    if (!newdib(r.picture, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), bits,
                bits == 8 ? reinterpret_cast<const BITMAPINFO *>(header) : nullptr, bits == 8 ? 256 : 0))
        return RowDecode::Refused;
    adviseHugePages(r.picture.poi, std::int64_t(r.picture.bytew) * h);

    jpeg_start_decompress(&info);
    // The record stores the bottom row first, so the decoder's rows go in from the top down.
    JSAMPROW rows[16];
    while (info.output_scanline < h) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(16, h - first);
        for (JDIMENSION k = 0; k < count; ++k)
            rows[k] = dibRow(r.picture, static_cast<std::int32_t>(h - 1 - first - k));
        if (jpeg_read_scanlines(&info, rows, count) == 0)
            return RowDecode::Refused;
    }
    jpeg_finish_decompress(&info);
    keepStatedResolution(r.picture, perMeter(info, info.X_density), perMeter(info, info.Y_density));
    return RowDecode::Decoded;
}

} // namespace

RowDecode decodeJpegRows(dib &d, const QString &fileName)
{
    d.poi = nullptr;
    JpegRead r;
    r.file = openForDecoding(fileName);
    if (!r.file)
        return RowDecode::Refused;
    r.info.err = jpeg_std_error(&r.errors.manager);
    r.errors.manager.error_exit = escape;
    r.errors.manager.emit_message = onMessage;
    r.errors.manager.output_message = silent;
    const RowDecode result = decode(r);
    jpeg_destroy_decompress(&r.info);
    std::fclose(r.file);
    return keepDecoded(result, d, r.picture);
}

#include "image/rowdecode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <png.h>

namespace {

[[noreturn]] void escape(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// The kinds of PNG read here, each with the depth Qt's decoder leads to: palettes of two colours
// per pixel bit stay at 1 bit, other palettes become 4 or 8 bits by their size, grey stays
// 8 bits, colour becomes 24 bits with any alpha laid over white. Interlaced, 16-bit and
// grey-with-alpha files, and those whose transparency is a single colour, are left to Qt.
enum class Kind { Palette1, Palette4, Palette8, Grey, Rgb, Rgba };

// Everything the decoding touches lives here, outside the frame that longjmp unwinds.
struct PngRead {
    std::FILE *file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    dib picture;
    std::uint8_t *scratch = nullptr;
};

struct PaletteInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// Index rows unpacked to a byte per pixel, packed two to a byte. Indices beyond the colour table
// only occur in damaged files; they take entry 0.
void packNibbles(std::uint8_t *out, const std::uint8_t *in, std::uint32_t w, int colors)
{
    for (std::uint32_t x = 0; x < w; ++x) {
        const int index = in[x] < colors ? in[x] : 0;
        if (x & 1)
            out[x >> 1] |= static_cast<std::uint8_t>(index);
        else
            out[x >> 1] = static_cast<std::uint8_t>(index << 4);
    }
}

void blendOverWhite(std::uint8_t *out, const std::uint8_t *in, std::uint32_t w)
{
    for (std::uint32_t x = 0; x < w; ++x, in += 4, out += 3) {
        const int a = in[3];
        if (a == 255) {
            std::memcpy(out, in, 3);
        } else {
            out[0] = overWhite(in[0], a);
            out[1] = overWhite(in[1], a);
            out[2] = overWhite(in[2], a);
        }
    }
}

RowDecode decode(PngRead &r)
{
    if (setjmp(png_jmpbuf(r.png)))
        return RowDecode::Refused;
    png_init_io(r.png, r.file);
    png_read_info(r.png, r.info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(r.png, r.info, &w, &h, &depth, &colorType, &interlace, nullptr, nullptr);
    const bool singleTransparent = png_get_valid(r.png, r.info, PNG_INFO_tRNS) && colorType != PNG_COLOR_TYPE_PALETTE;
    if (interlace != PNG_INTERLACE_NONE || singleTransparent)
        return RowDecode::NotHandled;

    png_colorp palette = nullptr;
    int paletteSize = 0;
    Kind kind;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        if (!png_get_PLTE(r.png, r.info, &palette, &paletteSize) || paletteSize <= 0 || paletteSize > 256)
            return RowDecode::NotHandled;
        kind = depth == 1 ? Kind::Palette1 : paletteSize <= 16 ? Kind::Palette4 : Kind::Palette8;
        if (depth < 8 && depth > 1)
            png_set_packing(r.png);
    } else if (depth != 8) {
        return RowDecode::NotHandled;
    } else if (colorType == PNG_COLOR_TYPE_GRAY) {
        kind = Kind::Grey;
    } else if (colorType == PNG_COLOR_TYPE_RGB) {
        kind = Kind::Rgb;
    } else if (colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
        kind = Kind::Rgba;
    } else {
        return RowDecode::NotHandled;
    }
    const int bits = kind == Kind::Palette1 ? 1 : kind == Kind::Palette4 ? 4 : kind == Kind::Rgb || kind == Kind::Rgba ? 24 : 8;
    if (!decodedSizeAccepted(w, h, bits))
        return RowDecode::Refused;
    png_set_bgr(r.png);
    png_read_update_info(r.png, r.info);
    const std::size_t pixelBytes = kind == Kind::Rgba ? 4 : kind == Kind::Rgb ? 3 : 1;
    const std::size_t expectedRow = kind == Kind::Palette1 ? (w + 7) / 8 : w * pixelBytes;
    if (png_get_rowbytes(r.png, r.info) != expectedRow)
        return RowDecode::NotHandled;

    PaletteInfo table{};
    int colors = 256;
    if (palette) {
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (!png_get_tRNS(r.png, r.info, &alpha, &alphaCount, nullptr))
            alphaCount = 0;
        for (int i = 0; i < paletteSize; ++i) {
            const int a = i < alphaCount ? alpha[i] : 255;
            table.colors[i] = RGBQUAD{overWhite(palette[i].blue, a), overWhite(palette[i].green, a),
                                      overWhite(palette[i].red, a), 0};
        }
        colors = paletteSize;
    } else if (kind == Kind::Grey) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            table.colors[i] = RGBQUAD{v, v, v, 0};
        }
    }
    const int tableSize = bits <= 8 ? 1 << bits : 0;
    if (!newdib(r.picture, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), bits,
                tableSize ? reinterpret_cast<const BITMAPINFO *>(&table) : nullptr, tableSize))
        return RowDecode::Refused;
    adviseHugePages(r.picture.poi, std::int64_t(r.picture.bytew) * h);
    const bool throughScratch = kind == Kind::Palette4 || kind == Kind::Rgba;
    if (throughScratch && !(r.scratch = static_cast<std::uint8_t *>(std::malloc(expectedRow))))
        return RowDecode::Refused;

    // The record stores the bottom row first, so the file's rows go in from the top down.
    for (png_uint_32 y = 0; y < h; ++y) {
        std::uint8_t *out = dibRow(r.picture, static_cast<std::int32_t>(h - 1 - y));
        png_read_row(r.png, throughScratch ? r.scratch : out, nullptr);
        if (kind == Kind::Palette4)
            packNibbles(out, r.scratch, w, std::min(colors, 16));
        else if (kind == Kind::Rgba)
            blendOverWhite(out, r.scratch, w);
        else if (kind == Kind::Palette1 && w % 8)
            out[expectedRow - 1] &= static_cast<std::uint8_t>(0xFF00u >> (w % 8));
    }
    keepStatedResolution(r.picture, static_cast<std::int32_t>(png_get_x_pixels_per_meter(r.png, r.info)),
                         static_cast<std::int32_t>(png_get_y_pixels_per_meter(r.png, r.info)));
    png_read_end(r.png, nullptr);
    return RowDecode::Decoded;
}

} // namespace

RowDecode decodePngRows(dib &d, const QString &fileName)
{
    d.poi = nullptr;
    PngRead r;
    r.file = openForDecoding(fileName);
    if (!r.file)
        return RowDecode::Refused;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, escape, ignoreWarning);
    r.info = r.png ? png_create_info_struct(r.png) : nullptr;
    const RowDecode result = r.info ? decode(r) : RowDecode::Refused;
    png_destroy_read_struct(&r.png, &r.info, nullptr);
    std::fclose(r.file);
    std::free(r.scratch);
    return keepDecoded(result, d, r.picture);
}

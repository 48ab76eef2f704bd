#include "image/drawdib.h"

#include <cstring>
#include <vector>

namespace {

// Index k of n evenly spread over first .. first + extent - 1, ends included; a single
// destination index takes the first source index.
std::int32_t spread(std::int32_t first, std::int32_t extent, std::int32_t k, std::int32_t n)
{
    if (n <= 1)
        return first;
    return static_cast<std::int32_t>(first + std::int64_t(extent - 1) * k / (n - 1));
}

} // namespace

bool ResampleDib(dib &out, const dib &src, int sx, int sy, int sw, int sh, int dw, int dh)
{
    out.poi = nullptr;
    const std::int32_t width = DibWidth(src);
    const std::int32_t height = DibHeight(src);
    const int bits = DibBitCount(src);
    if (!src.poi || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || sx < 0 || sy < 0
        || std::int64_t(sx) + sw > width || std::int64_t(sy) + sh > height)
        return false;
    const std::int64_t colors = DibColorCount(src);
    if (!newdib(out, dw, dh, bits, src.pmi, colors > 256 ? 0 : static_cast<int>(colors)))
        return false;

    std::vector<std::int32_t> cols(static_cast<std::size_t>(dw));
    for (std::int32_t i = 0; i < dw; ++i)
        cols[static_cast<std::size_t>(i)] = spread(sx, sw, i, dw);
    const int bytesPerPixel = bits / 8;
    for (std::int32_t j = 0; j < dh; ++j) {
        const std::int32_t r = spread(sy, sh, j, dh);
        const std::uint8_t *in = dibRow(src, r);
        std::uint8_t *o = dibRow(out, j);
        for (std::int32_t i = 0; i < dw; ++i) {
            const std::int32_t c = cols[static_cast<std::size_t>(i)];
            if (bits == 1) {
                setpixel(out, i, j, getpixel(src, c, r));
            } else if (bits == 4) {
                const std::uint8_t nibble = (c & 1) ? in[c >> 1] & 0x0F : in[c >> 1] >> 4;
                o[i >> 1] |= static_cast<std::uint8_t>((i & 1) ? nibble : nibble << 4);
            } else {
                std::memcpy(o + std::ptrdiff_t(i) * bytesPerPixel, in + std::ptrdiff_t(c) * bytesPerPixel,
                            static_cast<std::size_t>(bytesPerPixel));
            }
        }
    }
    return true;
}

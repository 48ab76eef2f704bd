#include "image/velumo.h"

namespace {

struct CubeInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// Levels 0, 51, ..., 255 per channel; entry r * 36 + g * 6 + b, the last 40 entries black.
const CubeInfo &cubeInfo()
{
    static const CubeInfo info = [] {
        CubeInfo c{};
        c.header.biSize = sizeof(BITMAPINFOHEADER);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    c.colors[r * 36 + g * 6 + b] = RGBQUAD{static_cast<std::uint8_t>(b * 51),
                                                           static_cast<std::uint8_t>(g * 51),
                                                           static_cast<std::uint8_t>(r * 51), 0};
        return c;
    }();
    return info;
}

constexpr int bayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// The cube level of channel value v: v * 5 / 255 plus a threshold in (0, 1), truncated, so
// the exact levels stay unchanged and values between them mix in proportion.
int level(int v, int threshold)
{
    return (v * 5 * 128 + threshold * 255) / (255 * 128);
}

} // namespace

bool DIBHalftoneDIBXY(dib &out, const dib &src, int w, int h)
{
    out.poi = nullptr;
    const std::int32_t sw = DibWidth(src);
    const std::int32_t sh = DibHeight(src);
    if (!src.poi || sw <= 0 || sh <= 0 || w <= 0 || h <= 0)
        return false;
    if (!newdib(out, w, h, 8, reinterpret_cast<const BITMAPINFO *>(&cubeInfo()), 256))
        return false;
    out.pmi->bmiHeader.biXPelsPerMeter = src.pmi->bmiHeader.biXPelsPerMeter;
    out.pmi->bmiHeader.biYPelsPerMeter = src.pmi->bmiHeader.biYPelsPerMeter;
    for (std::int32_t y = 0; y < h; ++y) {
        const auto sy = static_cast<std::int32_t>(std::int64_t(y) * sh / h);
        std::uint8_t *row = dibRow(out, y);
        const std::uint8_t *in = dibRow(src, sy);
        const bool direct = DibBitCount(src) == 24;
        for (std::int32_t x = 0; x < w; ++x) {
            const auto sx = static_cast<std::int32_t>(std::int64_t(x) * sw / w);
            QRgb c;
            if (direct) {
                const std::uint8_t *p = in + 3 * static_cast<std::ptrdiff_t>(sx);
                c = qRgb(p[2], p[1], p[0]);
            } else {
                c = dibPixelColor(src, sx, sy);
            }
            const int t = bayer8[y & 7][x & 7] * 2 + 1;
            row[x] = static_cast<std::uint8_t>(level(qRed(c), t) * 36 + level(qGreen(c), t) * 6 + level(qBlue(c), t));
        }
    }
    return true;
}

bool DIBHalftoneDIB(dib &out, const dib &src)
{
    return DIBHalftoneDIBXY(out, src, DibWidth(src), DibHeight(src));
}

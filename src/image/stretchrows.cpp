#include "image/drawdib.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr QRgb Black = 0xFF000000u;

bool isRowsBuffer(const QImage &buffer)
{
    switch (buffer.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

// The visible part [first, last) of destination indices 0 .. extent - 1 starting at origin,
// within [low, high).
void visibleRange(std::int64_t origin, std::int64_t extent, std::int64_t low, std::int64_t high, std::int64_t &first,
                  std::int64_t &last)
{
    first = std::max<std::int64_t>(0, low - origin);
    last = std::min<std::int64_t>(extent, high - origin);
}

// Converts the noted source columns of one row into 32-bit pixels. A pixel is read as four bytes
// (blue, green, red and one byte beyond) where those lie within the row's bytew bytes; only the
// last pixels of a row without padding are read byte by byte.
struct Row24 {
    std::int32_t lastWide; // largest offset that can be read as four bytes
    void operator()(QRgb *out, const std::uint8_t *row, const std::int32_t *cols, std::int64_t n) const
    {
        std::int64_t wide = n;
        while (wide > 0 && cols[wide - 1] > lastWide)
            --wide;
        for (std::int64_t i = 0; i < wide; ++i) {
            std::uint32_t v;
            std::memcpy(&v, row + cols[i], sizeof v);
            out[i] = Black | qFromLittleEndian(v);
        }
        for (std::int64_t i = wide; i < n; ++i) {
            const std::uint8_t *p = row + cols[i];
            out[i] = Black | QRgb(p[2]) << 16 | QRgb(p[1]) << 8 | p[0];
        }
    }
};

struct Row8 {
    const QRgb *lut;
    void operator()(QRgb *out, const std::uint8_t *row, const std::int32_t *cols, std::int64_t n) const
    {
        for (std::int64_t i = 0; i < n; ++i)
            out[i] = lut[row[cols[i]]];
    }
};

// One column table for the visible destination columns (byte offsets into a source row); each
// source row is converted straight into its first destination row, and the following rows that
// map to the same source row copy that row. Pixels whose source is outside the image are black.
template <typename ConvertRow>
bool stretchRows(QImage &buffer, int x, int y, int dw, int dh, const dib &d, int sx, int top, int sw, int sh,
                 const QRect &clip, int bytesPerPixel, const ConvertRow &convert)
{
    if (!d.poi || !isRowsBuffer(buffer) || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return false;
    QRect bounds = buffer.rect();
    if (!clip.isNull())
        bounds &= clip;
    if (bounds.isEmpty())
        return true;

    std::int64_t i0, i1, j0, j1;
    visibleRange(x, dw, bounds.left(), std::int64_t(bounds.right()) + 1, i0, i1);
    visibleRange(y, dh, bounds.top(), std::int64_t(bounds.bottom()) + 1, j0, j1);
    if (i0 >= i1 || j0 >= j1)
        return true;

    const std::int32_t width = DibWidth(d);
    const std::int32_t height = DibHeight(d);
    const std::int64_t n = i1 - i0;
    std::vector<std::int32_t> cols(static_cast<std::size_t>(n));
    std::int64_t first = n, last = -1;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t column = sx + std::int64_t(sw) * (i0 + k) / dw;
        if (column >= 0 && column < width) {
            cols[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(column * bytesPerPixel);
            first = std::min(first, k);
            last = k;
        }
    }

    uchar *bits = buffer.bits();
    const qsizetype stride = buffer.bytesPerLine();
    const std::int64_t dx = x + i0;
    std::int64_t lastSource = -1;
    for (std::int64_t j = j0; j < j1; ++j) {
        auto *out = reinterpret_cast<QRgb *>(bits + (y + j) * stride) + dx;
        const std::int64_t r = top + std::int64_t(sh) * j / dh;
        if (r < 0 || r >= height) {
            std::fill(out, out + n, Black);
            lastSource = -1;
            continue;
        }
        if (r == lastSource) {
            std::memcpy(out, reinterpret_cast<const uchar *>(out) - stride, static_cast<std::size_t>(n) * sizeof(QRgb));
            continue;
        }
        lastSource = r;
        if (last < 0) {
            std::fill(out, out + n, Black);
            continue;
        }
        std::fill(out, out + first, Black);
        convert(out + first, dibRow(d, static_cast<std::int32_t>(height - 1 - r)), cols.data() + first, last - first + 1);
        std::fill(out + last + 1, out + n, Black);
    }
    return true;
}

} // namespace

bool StretchDibRows24(QImage &buffer, int x, int y, int dw, int dh, const dib &d, int sx, int top, int sw, int sh,
                      const QRect &clip)
{
    if (DibBitCount(d) != 24)
        return false;
    return stretchRows(buffer, x, y, dw, dh, d, sx, top, sw, sh, clip, 3, Row24{d.bytew - 4});
}

bool StretchDibRows8(QImage &buffer, int x, int y, int dw, int dh, const dib &d, int sx, int top, int sw, int sh,
                     const QRect &clip)
{
    if (DibBitCount(d) != 8)
        return false;
    // The table behind the header holds 256 entries for every 8-bit image.
    const RGBQUAD *table = d.pmi->bmiColors;
    QRgb lut[256];
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD &q = table[i];
        lut[i] = Black | QRgb(q.rgbRed) << 16 | QRgb(q.rgbGreen) << 8 | q.rgbBlue;
    }
    return stretchRows(buffer, x, y, dw, dh, d, sx, top, sw, sh, clip, 1, Row8{lut});
}

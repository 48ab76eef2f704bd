#include "render/directpixels.h"

#include "render/drawlist.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

// x * a / 255 on all four channels at once, rounded as the paint engine rounds.
inline QRgb byteMul(QRgb x, uint a)
{
    uint t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// (x * a + y * b) / 255 on all four channels at once, a + b = 255, rounded as the paint engine
// rounds.
inline QRgb interpolate(QRgb x, uint a, QRgb y, uint b)
{
    uint t = (x & 0xff00ff) * a + (y & 0xff00ff) * b;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a + ((y >> 8) & 0xff00ff) * b;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

// A premultiplied colour at coverage c over the destination pixel; coverage 0 leaves it as it is.
// An opaque colour is mixed with the pixel in one step, as the paint engine draws text.
template <bool Opaque>
inline QRgb over(QRgb colour, uint c, QRgb dst)
{
    if constexpr (Opaque)
        return interpolate(colour, c, dst, 255 - c);
    const QRgb src = byteMul(colour, c);
    return src + byteMul(dst, 255 - qAlpha(src));
}

#if defined(__SSE2__)
// The same arithmetic on four pixels at once, channel by channel in 16-bit lanes: a branch per
// pixel mispredicts on antialiased text.
inline __m128i div255(__m128i t)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(0x80)), 8);
}

// Two pixels' channels: the colour at the coverage in each pixel's four lanes over dst.
template <bool Opaque>
inline __m128i over2(__m128i colour, __m128i coverage, __m128i dst)
{
    const __m128i full = _mm_set1_epi16(255);
    if constexpr (Opaque)
        return div255(_mm_add_epi16(_mm_mullo_epi16(colour, coverage),
                                    _mm_mullo_epi16(dst, _mm_sub_epi16(full, coverage))));
    const __m128i src = div255(_mm_mullo_epi16(colour, coverage));
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(src, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    return _mm_add_epi16(src, div255(_mm_mullo_epi16(dst, _mm_sub_epi16(full, alpha))));
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define TESSELON_BLEND_AVX2 1
// div255 on sixteen 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i div255x8(__m256i t)
{
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), _mm256_set1_epi16(0x80)), 8);
}

template <bool Opaque>
__attribute__((target("avx2"))) inline __m256i over4(__m256i colour, __m256i coverage, __m256i dst)
{
    const __m256i full = _mm256_set1_epi16(255);
    if constexpr (Opaque)
        return div255x8(_mm256_add_epi16(_mm256_mullo_epi16(colour, coverage),
                                         _mm256_mullo_epi16(dst, _mm256_sub_epi16(full, coverage))));
    const __m256i src = div255x8(_mm256_mullo_epi16(colour, coverage));
    const __m256i alpha =
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(src, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    return _mm256_add_epi16(src, div255x8(_mm256_mullo_epi16(dst, _mm256_sub_epi16(full, alpha))));
}

// Eight pixels at once where the processor has the wider registers, with the arithmetic of
// over2 lane for lane, so that the pixels come out the same. Returns how many pixels it did.
template <bool Opaque>
__attribute__((target("avx2"))) int blendEights(QRgb *dst, const uchar *mask, int n, QRgb colour)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i c16 = _mm256_cvtepu8_epi16(_mm_set1_epi32(static_cast<int>(colour)));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, mask + i, 8);
        if (!eight)
            continue;
        // Each pixel's coverage in both halves of its 32-bit lane, then paired up as the
        // unpacked pixels lie: pixels 0, 1 | 4, 5 and 2, 3 | 6, 7.
        const __m256i c32 = _mm256_mullo_epi32(
            _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(eight))), _mm256_set1_epi32(0x10001));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(dst + i));
        const __m256i lo = over4<Opaque>(c16, _mm256_unpacklo_epi32(c32, c32), _mm256_unpacklo_epi8(d, zero));
        const __m256i hi = over4<Opaque>(c16, _mm256_unpackhi_epi32(c32, c32), _mm256_unpackhi_epi8(d, zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst + i), _mm256_packus_epi16(lo, hi));
    }
    return i;
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

template <bool Opaque>
void blendRow(QRgb *dst, const uchar *mask, int n, QRgb colour)
{
    int i = 0;
#if defined(TESSELON_BLEND_AVX2)
    if (n >= 8 && hasAvx2())
        i = blendEights<Opaque>(dst, mask, n, colour);
#endif
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(colour)), zero);
    const __m128i colour2 = _mm_unpacklo_epi64(one, one);
    for (; i + 4 <= n; i += 4) {
        std::uint32_t four;
        std::memcpy(&four, mask + i, 4);
        if (!four)
            continue;
        const __m128i c16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
        const __m128i c32 = _mm_unpacklo_epi16(c16, c16);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + i));
        const __m128i lo = over2<Opaque>(colour2, _mm_unpacklo_epi32(c32, c32), _mm_unpacklo_epi8(d, zero));
        const __m128i hi = over2<Opaque>(colour2, _mm_unpackhi_epi32(c32, c32), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i)
        dst[i] = over<Opaque>(colour, mask[i], dst[i]);
}

void blendRow(QRgb *dst, const uchar *mask, int n, QRgb colour)
{
    if (qAlpha(colour) == 255)
        blendRow<true>(dst, mask, n, colour);
    else
        blendRow<false>(dst, mask, n, colour);
}

// Eight coverage bytes of the text and its outline at once, as one word that is zero where
// neither covers anything.
inline std::uint64_t eightInked(const uchar *m, const uchar *o, int c)
{
    std::uint64_t a;
    std::memcpy(&a, m + c, 8);
    if (o) {
        std::uint64_t b;
        std::memcpy(&b, o + c, 8);
        a |= b;
    }
    return a;
}

// The rows [first, last) of an image height rows high whose centre y + 0.5 lies in (top, bottom].
std::pair<int, int> rowsWithin(double top, double bottom, int height)
{
    return {static_cast<int>(std::max(0.0, std::floor(top - 0.5) + 1)),
            static_cast<int>(std::min(static_cast<double>(height), std::floor(bottom - 0.5) + 1))};
}

// The first column of a row from which text or outline covers anything; n when none does. Most
// of a rasterised label's box is empty, so the rows are searched a word at a time.
int firstInked(const uchar *m, const uchar *o, int n)
{
    int c = 0;
    for (; c + 8 <= n; c += 8)
        if (const std::uint64_t a = eightInked(m, o, c))
            return c + (std::endian::native == std::endian::little ? std::countr_zero(a) : std::countl_zero(a)) / 8;
    for (; c < n; ++c)
        if (m[c] != 0 || (o && o[c] != 0))
            return c;
    return n;
}

// One past the last column of a row that holds coverage, knowing column first does.
int lastInked(const uchar *m, const uchar *o, int first, int n)
{
    int c = n;
    for (; c - 8 >= first; c -= 8)
        if (const std::uint64_t a = eightInked(m, o, c - 8))
            return c - (std::endian::native == std::endian::little ? std::countl_zero(a) : std::countr_zero(a)) / 8;
    for (; c > first; --c)
        if (m[c - 1] != 0 || (o && o[c - 1] != 0))
            return c;
    return first + 1;
}

// Where the row at height cy crosses the edges of a polygon of n corners: the leftmost and
// rightmost crossing, an edge counting from below its top end down to its bottom one. False when it
// crosses fewer than two.
bool crossing(const double *xs, const double *ys, int n, double cy, double &left, double &right)
{
    int found = 0;
    for (int k = 0; k < n; ++k) {
        const double ya = ys[k];
        const double yb = ys[(k + 1) % n];
        if (ya == yb || cy <= std::min(ya, yb) || cy > std::max(ya, yb))
            continue;
        const double xa = xs[k];
        const double x = xa + (cy - ya) * (xs[(k + 1) % n] - xa) / (yb - ya);
        left = found == 0 ? x : std::min(left, x);
        right = found == 0 ? x : std::max(right, x);
        ++found;
    }
    return found >= 2;
}

bool wholePixels(qreal v)
{
    return std::abs(v) < (1 << 30) && v == std::floor(v);
}

}

DirectPixels::DirectPixels(QPainter &p, DrawList *list)
{
    if (!p.isActive() || !p.device() || p.device()->devType() != QInternal::Image)
        return;
    auto *image = static_cast<QImage *>(p.device());
    if ((image->format() != QImage::Format_RGB32 && image->format() != QImage::Format_ARGB32_Premultiplied) ||
        image->devicePixelRatio() != 1.0 || p.hasClipping() || p.opacity() != 1.0 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return;
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || !wholePixels(t.dx()) || !wholePixels(t.dy()))
        return;
    // The painter already holds the only reference, so this does not copy.
    bits = image->bits();
    if (!bits)
        return;
    stride = image->bytesPerLine();
    width = image->width();
    height = image->height();
    dx = static_cast<int>(t.dx());
    dy = static_cast<int>(t.dy());
    recorder = list;
}

bool DirectPixels::touches(int x, int y, long long r) const
{
    const long long cx = static_cast<long long>(x) + dx;
    const long long cy = static_cast<long long>(y) + dy;
    return cx + r >= 0 && cx - r < width && cy + r >= 0 && cy - r < height;
}

bool DirectPixels::touchesBox(QPoint a, QPoint b, long long r) const
{
    if (!bits)
        return true;
    const long long x0 = static_cast<long long>(std::min(a.x(), b.x())) + dx - r;
    const long long x1 = static_cast<long long>(std::max(a.x(), b.x())) + dx + r;
    const long long y0 = static_cast<long long>(std::min(a.y(), b.y())) + dy - r;
    const long long y1 = static_cast<long long>(std::max(a.y(), b.y())) + dy + r;
    return x1 >= 0 && x0 < width && y1 >= 0 && y0 < height;
}

void DirectPixels::fill(int x0, int y0, int x1, int y1, QRgb opaque) const
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width);
    y1 = std::min(y1, height);
    if (x0 >= x1)
        return;
    for (int y = y0; y < y1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(bits + y * stride);
        std::fill(row + x0, row + x1, opaque);
    }
}

void DirectPixels::squareOutline(int x, int y, int r, QRgb opaque) const
{
    if (!touches(x, y, r))
        return;
    if (recorder)
        recorder->squareOutline(x, y, r, opaque);
    else
        outline(x, y, r, opaque);
}

void DirectPixels::outline(int x, int y, int r, QRgb opaque) const
{
    x += dx;
    y += dy;
    fill(x - r, y - r, x + r + 1, y - r + 1, opaque);
    fill(x - r, y + r, x + r + 1, y + r + 1, opaque);
    fill(x - r, y - r + 1, x - r + 1, y + r, opaque);
    fill(x + r, y - r + 1, x + r + 1, y + r, opaque);
}

void DirectPixels::line(QPoint a, QPoint b, QRgb opaque) const
{
    if (recorder)
        recorder->line(a, b, opaque);
    else
        drawLine(a, b, opaque);
}

void DirectPixels::drawLine(QPoint a, QPoint b, QRgb opaque) const
{
    long long x0 = static_cast<long long>(a.x()) + dx;
    long long y0 = static_cast<long long>(a.y()) + dy;
    long long x1 = static_cast<long long>(b.x()) + dx;
    long long y1 = static_cast<long long>(b.y()) + dy;
    const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
    // Walked along its longer axis, called "along", with "across" the other.
    if (steep) {
        std::swap(x0, y0);
        std::swap(x1, y1);
    }
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const long long alongSize = steep ? height : width;
    const long long acrossSize = steep ? width : height;
    const long long first = std::max<long long>(x0, 0);
    const long long last = std::min<long long>(x1, alongSize - 1);
    if (first > last)
        return;
    const long long run = x1 - x0;
    const long long rise = y1 - y0;
    // The pixel across at step k is y0 + floor((2 k rise + run) / (2 run)): the exact line
    // rounded, half up. The quotient and its remainder are carried from step to step.
    // Far off-screen ends make the first product wider than 64 bits.
    const long long twoRun = 2 * std::max<long long>(run, 1);
    __extension__ using Wide = __int128;
    const Wide start = static_cast<Wide>(2 * (first - x0)) * rise + std::max<long long>(run, 1);
    long long q = static_cast<long long>(start / twoRun);
    long long r = static_cast<long long>(start % twoRun);
    if (r < 0) {
        r += twoRun;
        --q;
    }
    long long across = y0 + q;
    const long long step = 2 * rise;
    for (long long along = first; along <= last; ++along) {
        if (across >= 0 && across < acrossSize) {
            const long long x = steep ? across : along;
            const long long y = steep ? along : across;
            reinterpret_cast<QRgb *>(bits + y * stride)[x] = opaque;
        }
        r += step;
        if (r >= twoRun) {
            r -= twoRun;
            ++across;
        } else if (r < 0) {
            r += twoRun;
            --across;
        }
    }
}

void DirectPixels::triangle(QPoint a, QPoint b, QPoint c, QRgb opaque) const
{
    if (recorder)
        recorder->triangle(a, b, c, opaque);
    else
        drawTriangle(a, b, c, opaque);
}

void DirectPixels::drawTriangle(QPoint a, QPoint b, QPoint c, QRgb opaque) const
{
    const double xs[3] = {static_cast<double>(a.x()) + dx, static_cast<double>(b.x()) + dx,
                          static_cast<double>(c.x()) + dx};
    const double ys[3] = {static_cast<double>(a.y()) + dy, static_cast<double>(b.y()) + dy,
                          static_cast<double>(c.y()) + dy};
    const double top = std::min({ys[0], ys[1], ys[2]});
    const double bottom = std::max({ys[0], ys[1], ys[2]});
    const auto [row0, row1] = rowsWithin(top, bottom, height);
    for (int y = row0; y < row1; ++y) {
        double left = 0;
        double right = 0;
        if (crossing(xs, ys, 3, y + 0.5, left, right))
            span(y, left, right, opaque);
    }
}

void DirectPixels::span(int y, double left, double right, QRgb opaque) const
{
    const double from = std::max(0.0, std::floor(left - 0.5) + 1);
    const double to = std::min(static_cast<double>(width), std::floor(right - 0.5) + 1);
    if (from < to) {
        auto *row = reinterpret_cast<QRgb *>(bits + y * stride);
        std::fill(row + static_cast<int>(from), row + static_cast<int>(to), opaque);
    }
}

void DirectPixels::wideLine(QPoint a, QPoint b, int width, QRgb opaque) const
{
    if (recorder)
        recorder->wideLine(a, b, width, opaque);
    else
        drawWideLine(a, b, width, opaque);
}

void DirectPixels::drawWideLine(QPoint a, QPoint b, int penWidth, QRgb opaque) const
{
    // The paint engine leaves a wide line without length out, ends and all.
    if (a == b)
        return;
    // The pen's centre runs through the pixel centres of the points, as a one-pixel line's does.
    const double ax = static_cast<double>(a.x()) + dx;
    const double ay = static_cast<double>(a.y()) + dy;
    const double bx = static_cast<double>(b.x()) + dx;
    const double by = static_cast<double>(b.y()) + dy;
    const double r = penWidth / 2.0;
    // The band along the line between the two round ends, as a quadrilateral.
    const double length = std::hypot(bx - ax, by - ay);
    const double nx = -(by - ay) / length * r;
    const double ny = (bx - ax) / length * r;
    const double qx[4] = {ax + nx, bx + nx, bx - nx, ax - nx};
    const double qy[4] = {ay + ny, by + ny, by - ny, ay - ny};
    const double top = std::min(ay, by) - r;
    const double bottom = std::max(ay, by) + r;
    const auto [row0, row1] = rowsWithin(top, bottom, height);
    for (int y = row0; y < row1; ++y) {
        const double cy = y + 0.5;
        double left = 0;
        double right = 0;
        bool any = crossing(qx, qy, 4, cy, left, right);
        for (const auto &[px, py] : {std::pair{ax, ay}, std::pair{bx, by}}) {
            const double up = cy - py;
            if (std::abs(up) > r)
                continue;
            const double half = std::sqrt(r * r - up * up);
            left = any ? std::min(left, px - half) : px - half;
            right = any ? std::max(right, px + half) : px + half;
            any = true;
        }
        if (any)
            span(y, left, right, opaque);
    }
}

void DirectPixels::blend(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour) const
{
    if (recorder)
        recorder->blend(x, y, mask, colour, outlineColour);
    else
        drawMask(x, y, mask, colour, outlineColour);
}

void DirectPixels::settle() const
{
    if (recorder)
        recorder->flush();
}

DirectPixels DirectPixels::band(int top, int bottom) const
{
    DirectPixels b = *this;
    b.recorder = nullptr;
    b.bits = bits + top * stride;
    b.height = bottom - top;
    b.dy = dy - top;
    return b;
}

void DirectPixels::drawMask(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour) const
{
    const long long left = static_cast<long long>(x) + dx - mask.corner.x();
    const long long top = static_cast<long long>(y) + dy - mask.corner.y();
    if (mask.runs == 0 || left >= width || top >= height || left + mask.width <= 0 || top + mask.height <= 0)
        return;
    const std::uint32_t *runs = mask.block.data();
    const auto *coverage = reinterpret_cast<const uchar *>(runs + 3 * mask.runs);
    const int c0 = static_cast<int>(std::max<long long>(0, -left));
    const int c1 = static_cast<int>(std::min<long long>(mask.width, width - left));
    // The rows lie a whole buffer line apart, each most likely out of the cache: asking for all of
    // them first lets their loads overlap instead of waiting for one after the other.
    for (int k = 0; k < mask.runs; ++k) {
        const long long row = top + runs[3 * k];
        if (row >= 0 && row < height) {
            const uchar *line = bits + row * stride;
            __builtin_prefetch(line + (left + runs[3 * k + 1]) * 4, 1);
            __builtin_prefetch(line + (left + runs[3 * k + 1] + runs[3 * k + 2] - 1) * 4, 1);
        }
    }
    const int perRun = mask.hasOutline ? 2 : 1;
    for (int k = 0; k < mask.runs; ++k) {
        const long long row = top + runs[3 * k];
        const int first = static_cast<int>(runs[3 * k + 1]);
        const int count = static_cast<int>(runs[3 * k + 2]);
        const uchar *text = coverage;
        coverage += perRun * count;
        const int from = std::max(first, c0);
        const int to = std::min(first + count, c1);
        if (row < 0 || row >= height || from >= to)
            continue;
        QRgb *dst = reinterpret_cast<QRgb *>(bits + row * stride) + (left + from);
        if (mask.hasOutline)
            blendRow(dst, text + count + (from - first), to - from, outlineColour);
        blendRow(dst, text + (from - first), to - from, colour);
    }
}

CoverageMask::CoverageMask(const QImage &mask, const QImage *outline, QPoint origin)
    : width(mask.width()), height(mask.height()), corner(origin), hasOutline(outline != nullptr)
{
    struct Run {
        int row;
        int first;
        int count;
    };
    std::vector<Run> found;
    std::size_t coverageBytes = 0;
    for (int r = 0; r < height; ++r) {
        const uchar *m = mask.constScanLine(r);
        const uchar *o = outline ? outline->constScanLine(r) : nullptr;
        int first = firstInked(m, o, width);
        if (first == width)
            continue;
        int last = lastInked(m, o, first, width);
        // Whole groups of four, which blend at once; the extra columns carry no coverage.
        const int padded = (last - first + 3) / 4 * 4;
        if (padded <= width) {
            last = first + padded;
            if (last > width) {
                first = width - padded;
                last = width;
            }
        }
        found.push_back(Run{r, first, last - first});
        coverageBytes += static_cast<std::size_t>(last - first) * (outline ? 2 : 1);
    }
    runs = static_cast<int>(found.size());
    block.assign(3 * found.size() + (coverageBytes + 3) / 4, 0);
    auto *coverage = reinterpret_cast<uchar *>(block.data() + 3 * found.size());
    for (std::size_t k = 0; k < found.size(); ++k) {
        const Run &run = found[k];
        block[3 * k] = static_cast<std::uint32_t>(run.row);
        block[3 * k + 1] = static_cast<std::uint32_t>(run.first);
        block[3 * k + 2] = static_cast<std::uint32_t>(run.count);
        std::memcpy(coverage, mask.constScanLine(run.row) + run.first, static_cast<std::size_t>(run.count));
        coverage += run.count;
        if (outline) {
            std::memcpy(coverage, outline->constScanLine(run.row) + run.first, static_cast<std::size_t>(run.count));
            coverage += run.count;
        }
    }
}

#include "render/turnedtext.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace {

// The columns [first, last) of a row at which start + x * step lies within (low, high).
void within(double start, double step, double low, double high, long long &first, long long &last)
{
    if (step == 0) {
        if (!(start > low && start < high))
            last = first;
        return;
    }
    double a = (low - start) / step;
    double b = (high - start) / step;
    if (a > b)
        std::swap(a, b);
    first = std::max(first, static_cast<long long>(std::floor(a)) + 1);
    last = std::min(last, static_cast<long long>(std::ceil(b)));
}

// Positions in the level in 65536ths of a pixel.
constexpr int Shift = 16;
constexpr double One = 1 << Shift;

}

std::vector<unsigned char> turnCoverage(const QImage &level, QPoint levelOrigin, double angle, QSize size,
                                        QPoint origin)
{
    const int w = size.width();
    const int h = size.height();
    std::vector<unsigned char> out(static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)));
    if (w <= 0 || h <= 0 || level.isNull())
        return out;
    // Only the inked part of the level is turned, copied with a border of empty pixels so that
    // every pixel read beside it lies in memory.
    const int lw = level.width();
    const int lh = level.height();
    int left = lw;
    int right = 0;
    int top = lh;
    int bottom = 0;
    for (int y = 0; y < lh; ++y) {
        const uchar *row = level.constScanLine(y);
        int first = 0;
        while (first < lw && row[first] == 0)
            ++first;
        if (first == lw)
            continue;
        int last = lw;
        while (row[last - 1] == 0)
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y + 1;
    }
    if (left >= right)
        return out;
    const int pw = right - left + 2;
    const int ph = bottom - top + 2;
    std::vector<unsigned char> ink(static_cast<std::size_t>(pw) * static_cast<std::size_t>(ph));
    for (int y = top; y < bottom; ++y)
        std::memcpy(ink.data() + static_cast<std::size_t>(y - top + 1) * static_cast<std::size_t>(pw) + 1,
                    level.constScanLine(y) + left, static_cast<std::size_t>(right - left));

    const double turn = angle * std::numbers::pi / 180;
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    // A pixel centre p of the result lies at q = turned back (p - origin) from the text's corner;
    // the centres of the copied pixels at whole positions of levelOrigin + q - 0.5 less the
    // copy's corner.
    const double cornerX = levelOrigin.x() - 0.5 - (left - 1);
    const double cornerY = levelOrigin.y() - 0.5 - (top - 1);
    const auto du = static_cast<std::int32_t>(std::lround(c * One));
    const auto dv = static_cast<std::int32_t>(std::lround(-s * One));
    for (int y = 0; y < h; ++y) {
        const double py = y + 0.5 - origin.y();
        const double px = 0.5 - origin.x();
        const double u0 = c * px + s * py + cornerX;
        const double v0 = -s * px + c * py + cornerY;
        // Stepping one column along the row moves (c, -s) in the level; the rounding of the step
        // stays far below a pixel over the few hundred columns of a label.
        long long first = 0;
        long long last = w;
        // Kept off the copy's edge by more than the steps' rounding can add up to along the row.
        const double slack = 1e-3 + 1e-5 * w;
        within(u0, c, slack, pw - 1 - slack, first, last);
        within(v0, -s, slack, ph - 1 - slack, first, last);
        if (first >= last)
            continue;
        auto u = static_cast<std::int32_t>(std::lround((u0 + c * static_cast<double>(first)) * One));
        auto v = static_cast<std::int32_t>(std::lround((v0 - s * static_cast<double>(first)) * One));
        unsigned char *row = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (long long x = first; x < last; ++x, u += du, v += dv) {
            const int i = u >> Shift;
            const int j = v >> Shift;
            const int fx = (u & ((1 << Shift) - 1)) >> 8;
            const int fy = (v & ((1 << Shift) - 1)) >> 8;
            const unsigned char *p = ink.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(pw) + i;
            const int upper = p[0] * 256 + (p[1] - p[0]) * fx;
            const int lower = p[pw] * 256 + (p[pw + 1] - p[pw]) * fx;
            const int value = upper * 256 + (lower - upper) * fy;
            row[x] = static_cast<unsigned char>((value + (1 << 15)) >> 16);
        }
    }
    return out;
}

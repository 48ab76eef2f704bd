#include "render/reachindex.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// Few enough cells that the table stays small, many enough that a screen meets a few dozen.
constexpr int MaxCellsPerSide = 512;
constexpr double SmallestCell = 256;
// An element that spans more cells than this is cheaper to list everywhere.
constexpr long long MaxCellsPerBox = 256;

bool finite(const ReachIndex::Box &b)
{
    return std::isfinite(b.minX) && std::isfinite(b.maxX) && std::isfinite(b.minY) && std::isfinite(b.maxY);
}

}

void ReachIndex::clear()
{
    ready = false;
    count = 0;
    columns = rows = 0;
    firstInCell.clear();
    members.clear();
    everywhere.clear();
    seen.clear();
}

int ReachIndex::column(double x) const
{
    return static_cast<int>(std::clamp(std::floor((x - left) / cell), 0.0, double(columns - 1)));
}

int ReachIndex::row(double y) const
{
    return static_cast<int>(std::clamp(std::floor((y - top) / cell), 0.0, double(rows - 1)));
}

void ReachIndex::build(const std::vector<Box> &boxes)
{
    clear();
    count = static_cast<int>(boxes.size());
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    double sides = 0;
    int sized = 0;
    bool any = false;
    for (const Box &b : boxes) {
        if (b.empty() || !finite(b))
            continue;
        sides += (b.maxX - b.minX) + (b.maxY - b.minY);
        sized += 2;
        minX = any ? std::min(minX, b.minX) : b.minX;
        maxX = any ? std::max(maxX, b.maxX) : b.maxX;
        minY = any ? std::min(minY, b.minY) : b.minY;
        maxY = any ? std::max(maxY, b.maxY) : b.maxY;
        any = true;
    }
    left = minX;
    top = minY;
    // A cell about as large as the average reach, which grows with the zoom, so that an element
    // lies in a few cells.
    const double typical = sized > 0 ? sides / sized : 0;
    cell = std::max({SmallestCell, typical, (maxX - minX) / MaxCellsPerSide, (maxY - minY) / MaxCellsPerSide});
    columns = std::clamp(static_cast<int>(std::ceil((maxX - minX) / cell)) + 1, 1, MaxCellsPerSide + 1);
    rows = std::clamp(static_cast<int>(std::ceil((maxY - minY) / cell)) + 1, 1, MaxCellsPerSide + 1);

    // Two passes: count the members of every cell, then place them.
    const auto cells = [&](const Box &b, auto &&visit) {
        const int c0 = column(b.minX), c1 = column(b.maxX), r0 = row(b.minY), r1 = row(b.maxY);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                visit(r * columns + c);
    };
    const auto listedEverywhere = [&](const Box &b) {
        if (!finite(b))
            return true;
        const long long spanned = (static_cast<long long>(column(b.maxX)) - column(b.minX) + 1) *
                                  (static_cast<long long>(row(b.maxY)) - row(b.minY) + 1);
        return spanned > MaxCellsPerBox;
    };
    firstInCell.assign(static_cast<std::size_t>(columns) * rows + 1, 0);
    for (int i = 0; i < count; ++i) {
        const Box &b = boxes[static_cast<std::size_t>(i)];
        if (b.empty())
            continue;
        if (listedEverywhere(b))
            everywhere.push_back(i);
        else
            cells(b, [&](int k) { ++firstInCell[static_cast<std::size_t>(k) + 1]; });
    }
    for (std::size_t k = 1; k < firstInCell.size(); ++k)
        firstInCell[k] += firstInCell[k - 1];
    members.resize(static_cast<std::size_t>(firstInCell.back()));
    std::vector<int> next(firstInCell.begin(), firstInCell.end() - 1);
    for (int i = 0; i < count; ++i) {
        const Box &b = boxes[static_cast<std::size_t>(i)];
        if (!b.empty() && !listedEverywhere(b))
            cells(b, [&](int k) { members[static_cast<std::size_t>(next[static_cast<std::size_t>(k)]++)] = i; });
    }
    seen.assign((static_cast<std::size_t>(count) + 63) / 64, 0);
    ready = true;
}

void ReachIndex::find(double minX, double maxX, double minY, double maxY, std::vector<int> &found)
{
    found.clear();
    const auto mark = [&](int i) { seen[static_cast<std::size_t>(i) >> 6] |= std::uint64_t(1) << (i & 63); };
    for (const int i : everywhere)
        mark(i);
    // A region that is not finite asks for every cell. A region beside the grid meets none of
    // its cells, but a clamped one would.
    const bool all = !std::isfinite(minX + maxX + minY + maxY);
    const bool meets =
        all || (maxX >= left && maxY >= top && minX <= left + columns * cell && minY <= top + rows * cell);
    if (meets && columns > 0) {
        const int c0 = all ? 0 : column(minX), c1 = all ? columns - 1 : column(maxX);
        const int r0 = all ? 0 : row(minY), r1 = all ? rows - 1 : row(maxY);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::size_t k = static_cast<std::size_t>(r) * columns + c;
                for (int m = firstInCell[k]; m < firstInCell[k + 1]; ++m)
                    mark(members[static_cast<std::size_t>(m)]);
            }
    }
    // Read back in ascending order, clearing the marks for the next find.
    for (std::size_t w = 0; w < seen.size(); ++w) {
        std::uint64_t bits = seen[w];
        seen[w] = 0;
        while (bits) {
            found.push_back(static_cast<int>(w * 64 + std::countr_zero(bits)));
            bits &= bits - 1;
        }
    }
}

#include "core/dib.h"

#include <cstdlib>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#endif

std::int64_t dibRowBytes(std::int64_t width, int bitCount)
{
    if (width < 0 || bitCount <= 0 || width > MaxDibSide)
        return 0;
    return ((width * bitCount + 31) / 32) * 4;
}

int dibPaletteSize(int bitCount)
{
    return bitCount >= 1 && bitCount <= 8 ? 1 << bitCount : 0;
}

namespace {

// Bytes per row for a valid shape of image, else 0.
std::int64_t shapeRowBytes(std::int32_t width, std::int32_t height, int bitCount)
{
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return 0;
    }
    if (width <= 0 || height <= 0 || width > MaxDibSide || height > MaxDibSide)
        return 0;
    const std::int64_t bytew = dibRowBytes(width, bitCount);
    return bytew > 0 && bytew * height <= MaxDibBytes ? bytew : 0;
}

BITMAPINFO *newHeader(std::int32_t width, std::int32_t height, int bitCount, std::int64_t imageBytes,
                      const BITMAPINFO *info, int colorCount)
{
    const int tableEntries = dibPaletteSize(bitCount);
    if (colorCount < 0 || colorCount > tableEntries)
        colorCount = tableEntries;
    const std::size_t headerBytes = sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<std::size_t>(tableEntries);
    auto *bmi = static_cast<BITMAPINFO *>(std::calloc(1, headerBytes));
    if (!bmi)
        return nullptr;
    BITMAPINFOHEADER &h = bmi->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    h.biCompression = 0;
    h.biSizeImage = static_cast<std::uint32_t>(imageBytes);
    h.biClrUsed = static_cast<std::uint32_t>(tableEntries);
    if (info && colorCount > 0) {
        std::memcpy(reinterpret_cast<char *>(bmi) + sizeof(BITMAPINFOHEADER),
                    reinterpret_cast<const char *>(info) + sizeof(BITMAPINFOHEADER),
                    sizeof(RGBQUAD) * static_cast<std::size_t>(colorCount));
        h.biXPelsPerMeter = info->bmiHeader.biXPelsPerMeter;
        h.biYPelsPerMeter = info->bmiHeader.biYPelsPerMeter;
    }
    return bmi;
}

void fill(dib &d, BITMAPINFO *header, void *pixels, std::int64_t bytew)
{
    d.pmih = header;
    d.pmi = header;
    d.poih = pixels;
    d.poi = static_cast<std::uint8_t *>(pixels);
    d.bytew = static_cast<std::int32_t>(bytew);
}

} // namespace

bool newdib(dib &d, std::int32_t width, std::int32_t height, int bitCount, const BITMAPINFO *info,
            int colorCount)
{
    d.poi = nullptr;
    const std::int64_t bytew = shapeRowBytes(width, height, bitCount);
    if (bytew == 0)
        return false;
    const std::int64_t imageBytes = bytew * height;
    BITMAPINFO *header = newHeader(width, height, bitCount, imageBytes, info, colorCount);
    void *pixels = header ? std::calloc(1, static_cast<std::size_t>(imageBytes)) : nullptr;
    if (!pixels) {
        std::free(header);
        return false;
    }
    fill(d, header, pixels, bytew);
    return true;
}

bool newdibAround(dib &d, std::int32_t width, std::int32_t height, int bitCount, void *pixels)
{
    d.poi = nullptr;
    const std::int64_t bytew = shapeRowBytes(width, height, bitCount);
    if (bytew == 0 || !pixels)
        return false;
    BITMAPINFO *header = newHeader(width, height, bitCount, bytew * height, nullptr, 0);
    if (!header)
        return false;
    fill(d, header, pixels, bytew);
    return true;
}

void adviseHugePages([[maybe_unused]] void *block, [[maybe_unused]] std::int64_t bytes)
{
#ifdef __linux__
    constexpr std::uintptr_t Huge = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + Huge - 1) & ~(Huge - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + std::uintptr_t(bytes)) & ~(Huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void FreeDib(dib &d)
{
    if (d.poih != d.pmih && d.poih)
        std::free(d.poih);
    if (d.pmih)
        std::free(d.pmih);
    d.pmih = nullptr;
    d.pmi = nullptr;
    d.poih = nullptr;
    d.poi = nullptr;
}

void deldib(dib &d)
{
    FreeDib(d);
    d.bytew = 0;
}

std::int32_t DibWidth(const dib &d)
{
    return d.pmi ? d.pmi->bmiHeader.biWidth : 0;
}

std::int32_t DibHeight(const dib &d)
{
    return d.pmi ? d.pmi->bmiHeader.biHeight : 0;
}

int DibBitCount(const dib &d)
{
    return d.pmi ? d.pmi->bmiHeader.biBitCount : 0;
}

std::int64_t DibColorCount(const dib &d)
{
    const int bits = DibBitCount(d);
    return bits >= 63 ? 0 : std::int64_t(1) << bits;
}

std::uint32_t getpixel(const dib &d, std::int32_t x, std::int32_t y)
{
    if (!d.poi || x < 0 || y < 0 || x >= DibWidth(d) || y >= DibHeight(d))
        return 0;
    const std::uint8_t *row = dibRow(d, y);
    switch (DibBitCount(d)) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    case 8:
        return row[x];
    case 16:
        return std::uint32_t(row[2 * x]) | std::uint32_t(row[2 * x + 1]) << 8;
    case 24: {
        const std::uint8_t *p = row + 3 * static_cast<std::ptrdiff_t>(x);
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    }
    case 32: {
        const std::uint8_t *p = row + 4 * static_cast<std::ptrdiff_t>(x);
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    }
    default:
        return 0;
    }
}

void setpixel(dib &d, std::int32_t x, std::int32_t y, std::uint32_t value)
{
    if (!d.poi || x < 0 || y < 0 || x >= DibWidth(d) || y >= DibHeight(d))
        return;
    std::uint8_t *row = dibRow(d, y);
    switch (DibBitCount(d)) {
    case 1: {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = (value & 1u) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? static_cast<std::uint8_t>((row[x >> 1] & 0xF0u) | (value & 0x0Fu))
                              : static_cast<std::uint8_t>((row[x >> 1] & 0x0Fu) | ((value & 0x0Fu) << 4));
        break;
    case 8:
        row[x] = static_cast<std::uint8_t>(value);
        break;
    case 16:
        row[2 * x] = static_cast<std::uint8_t>(value);
        row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        break;
    case 24: {
        std::uint8_t *p = row + 3 * static_cast<std::ptrdiff_t>(x);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        break;
    }
    case 32: {
        std::uint8_t *p = row + 4 * static_cast<std::ptrdiff_t>(x);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        p[3] = static_cast<std::uint8_t>(value >> 24);
        break;
    }
    default:
        break;
    }
}

#pragma once

#include <cstddef>
#include <cstdint>

// The image record as plain data: a bitmap information header with its colour table, and the
// pixel rows stored bottom row first, bytew bytes apart (each row padded to 4 bytes).

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

// The header followed by its colour table; the table holds as many entries as were allocated.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct LPAL {
    std::uint16_t ver;
    std::uint16_t num;
    std::uint32_t entries[256];
};
#pragma pack(pop)

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(LPAL) == 1028);

struct dib {
    BITMAPINFO *pmi = nullptr;   // header and colour table, inside the block pmih
    void *poih = nullptr;        // block of the pixel rows
    void *pmih = nullptr;        // block of the header (may equal poih)
    std::uint8_t *poi = nullptr; // the pixel rows; nullptr: the record holds no image
    std::int32_t bytew = 0;
    std::uint8_t ispal = 0;
    LPAL pal{};
    void *NOTUSEDINFIXEDMEMlp = nullptr;
    std::int32_t zoom = 0, scx = 0, scy = 0, mx1 = 0, my1 = 0, mx2 = 0, my2 = 0;
};

// Bytes per stored row for a width and bit count, padded to 4 bytes; 0 when it would overflow.
std::int64_t dibRowBytes(std::int64_t width, int bitCount);

// Largest image the program accepts, in pixels per side and in bytes of pixel rows.
inline constexpr std::int32_t MaxDibSide = 1 << 17;
inline constexpr std::int64_t MaxDibBytes = std::int64_t(1) << 36;

// A blank image with zero-filled pixels; the first colorCount colour table entries are copied
// from info (when given). Returns false, with poi left nullptr, for bad arguments or when the
// memory cannot be had. Replaces nothing: the caller passes an empty record.
bool newdib(dib &d, std::int32_t width, std::int32_t height, int bitCount, const BITMAPINFO *info,
            int colorCount);
// A record around a pixel block from malloc that already holds the rows in this layout (no colour
// table, so above 8 bits per pixel); the record owns the block from then on. False for bad
// arguments or short memory, the block then staying with the caller.
bool newdibAround(dib &d, std::int32_t width, std::int32_t height, int bitCount, void *pixels);
// A large block that is still untouched is faulted in a few hundred times in huge pages instead
// of once per 4 KiB; asks for that where the system offers it.
void adviseHugePages(void *block, std::int64_t bytes);
// Releases an image made by newdib (or any record owning its blocks) and empties the record.
void deldib(dib &d);
// The program's release of its main image.
void FreeDib(dib &d);

// y counts stored rows from the bottom. Coordinates outside the image read 0 and write nothing.
std::uint32_t getpixel(const dib &d, std::int32_t x, std::int32_t y);
void setpixel(dib &d, std::int32_t x, std::int32_t y, std::uint32_t value);

std::int32_t DibWidth(const dib &d);
std::int32_t DibHeight(const dib &d);
int DibBitCount(const dib &d);
std::int64_t DibColorCount(const dib &d);
// Colour table entries allocated behind the header (0 above 8 bits per pixel).
int dibPaletteSize(int bitCount);
// Pointer to stored row y (0 = bottom row).
inline std::uint8_t *dibRow(const dib &d, std::int32_t y)
{
    return d.poi + static_cast<std::ptrdiff_t>(y) * d.bytew;
}

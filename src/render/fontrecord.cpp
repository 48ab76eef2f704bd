#include "render/fontrecord.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int DefaultPixelsPerInch = 96;
// Beyond this a damaged record would only make Qt build enormous glyphs.
constexpr int MaxPixelSize = 2048;
constexpr std::uint8_t KnownStyleBits =
    FontRecord::Bold | FontRecord::Italic | FontRecord::Underline | FontRecord::StrikeOut;

// a x b / c rounded half away from zero, in 64 bits so that no stored value overflows.
std::int64_t mulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    const std::int64_t product = a * b;
    const std::int64_t q = (std::llabs(product) + c / 2) / c;
    return product < 0 ? -q : q;
}

int pixelsPerInch(const FontRecord &record)
{
    return record.pixelsPerInch > 0 ? record.pixelsPerInch : DefaultPixelsPerInch;
}

// The font's character height in pixels as set, whether it was given in pixels or in points.
int pixelSizeOf(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return std::max(1, static_cast<int>(mulDiv(std::llround(font.pointSizeF() * 64), DefaultPixelsPerInch, 72 * 64)));
}

std::uint8_t styleBits(const QFont &font)
{
    return static_cast<std::uint8_t>((font.bold() ? FontRecord::Bold : 0) | (font.italic() ? FontRecord::Italic : 0)
                                     | (font.underline() ? FontRecord::Underline : 0)
                                     | (font.strikeOut() ? FontRecord::StrikeOut : 0));
}

} // namespace

int fontRecordPixelSize(const FontRecord &record)
{
    const std::int64_t pixels = std::llabs(mulDiv(record.size, pixelsPerInch(record), 72));
    return static_cast<int>(std::clamp<std::int64_t>(pixels, 1, MaxPixelSize));
}

QFont fontFromRecord(const FontRecord &record)
{
    QFont font(record.name);
    font.setPixelSize(fontRecordPixelSize(record));
    font.setBold(record.style & FontRecord::Bold);
    font.setItalic(record.style & FontRecord::Italic);
    font.setUnderline(record.style & FontRecord::Underline);
    font.setStrikeOut(record.style & FontRecord::StrikeOut);
    if (record.pitch == FontRecord::FixedPitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    return font;
}

FontRecord recordFromFont(const QFont &font, const QColor &colour, const FontRecord *original)
{
    FontRecord record = original ? *original : FontRecord();
    const QFont loaded = fontFromRecord(record);

    if (!original || font.family() != loaded.family())
        record.name = font.family();

    const int pixels = pixelSizeOf(font);
    if (!original || pixels != loaded.pixelSize()) {
        // Points at the record's pixels per inch when they give the height exactly, else points
        // at 72 pixels per inch, where one point is one pixel.
        record.pixelsPerInch = pixelsPerInch(record);
        record.size = static_cast<std::int32_t>(mulDiv(pixels, 72, record.pixelsPerInch));
        if (mulDiv(record.size, record.pixelsPerInch, 72) != pixels) {
            record.pixelsPerInch = 72;
            record.size = pixels;
        }
    }

    const std::uint8_t bits = styleBits(font);
    if (!original || bits != styleBits(loaded))
        record.style = static_cast<std::uint8_t>((record.style & ~KnownStyleBits) | bits);

    if (!original || font.fixedPitch() != loaded.fixedPitch())
        record.pitch = font.fixedPitch() ? FontRecord::FixedPitch : FontRecord::DefaultPitch;

    if (!original || colour.rgb() != colorFromRef(record.colour).rgb())
        record.colour = colorRef(colour);
    return record;
}

QColor colorFromRef(std::int32_t ref)
{
    const auto value = static_cast<std::uint32_t>(ref);
    if ((value >> 24) == 0xFF)
        return QColor(0, 0, 0);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::int32_t colorRef(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8
                                     | static_cast<std::uint32_t>(rgb.blue()) << 16);
}

#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Level text laid out glyph by glyph and put together from glyph images: for texts whose glyphs
// the shaper takes one by one, at their own advances (most label texts), the same pixels as the
// font engine draws, at a small part of its cost, since shaping a text costs more than drawing
// it. What is learnt of a font is kept for the whole program and shared by the threads: which
// characters and pairs of characters the shaper leaves alone, at which pen offsets within a pixel
// the raster engine draws a glyph alike, and the glyphs' images as it draws them there. For one
// thread, with a font of its own.
class GlyphText
{
public:
    explicit GlyphText(const QFont &font);
    ~GlyphText();
    GlyphText(const GlyphText &) = delete;
    GlyphText &operator=(const GlyphText &) = delete;

    // Lays text out glyph by glyph; false when the shaper might lay it out otherwise (characters
    // outside the Latin ones, missing from the font, or a pair it joins or moves): the text is
    // then for the font engine.
    bool layOut(const QString &text);
    // The advance width of the text laid out, rounded as the font metrics round it.
    int width() const { return static_cast<int>((advance + 32) >> 6); }
    // Adds the coverage of the text laid out, its pen starting at (x, baseline), to the rows of
    // a width x height coverage image (stride bytes apart), clipped to it, as the raster engine
    // draws the text there.
    void draw(unsigned char *pixels, int width, int height, qsizetype stride, int x, int baseline);

private:
    struct Image {
        std::vector<unsigned char> coverage;
        int left = 0; // from the pen's whole pixel
        int top = 0;  // from the baseline
        int width = 0;
        int height = 0;
        bool operator==(const Image &) const = default;
    };
    struct Pairs;
    struct Font;

    bool alone(char16_t first, char16_t second);
    bool check(const QString &chars);
    Image render(std::uint32_t glyph, int offset) const;
    const Image &image(std::uint32_t glyph, int offset);
    void findOffsets();

    QRawFont raw;
    std::shared_ptr<Font> known;
    // The images this thread has looked up, so that it takes the shared lock once for each.
    QHash<std::uint64_t, const Image *> seen;
    std::array<std::uint8_t, 64> drawnAt{};
    bool offsetsRead = false;
    QFont reference;
    QRawFont referenceRaw;
    bool referenceMade = false;
    QList<std::uint32_t> glyphs;
    std::vector<std::int64_t> pens; // in 64ths of a pixel
    std::int64_t advance = 0;
};

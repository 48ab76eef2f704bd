#include "render/glyphtext.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

// The characters checked: Basic Latin to Latin Extended-B, without the controls and the soft
// hyphen, which the shaper handles apart. Anything else goes to the font engine.
constexpr int Checked = 0x250;

bool checkable(char16_t c)
{
    return c >= 0x20 && c < Checked && !(c >= 0x7F && c < 0xA0) && c != 0xAD;
}

// The size the shaper is asked at: large enough that any kerning of a pair moves it by at least
// a 64th of a pixel.
constexpr int ReferencePixels = 128;

enum Verdict : std::uint8_t { Unknown = 0, Alone = 1, Shaped = 2 };

std::int64_t sixtyFourths(double v)
{
    return std::llround(v * 64);
}

}

// What the shaper does with single characters and pairs of one font, whatever its size; each
// verdict is found once (two threads finding the same one agree).
struct GlyphText::Pairs {
    std::unique_ptr<std::atomic<std::uint8_t>[]> verdicts{new std::atomic<std::uint8_t>[Checked * Checked + Checked]()};

    std::atomic<std::uint8_t> &pair(char16_t a, char16_t b) { return verdicts[a * Checked + b]; }
    std::atomic<std::uint8_t> &single(char16_t a) { return verdicts[Checked * Checked + a]; }
};

// What is known of one font at one size.
struct GlyphText::Font {
    std::shared_ptr<Pairs> pairs;
    std::mutex lock;
    // For each 64th of a pixel the pen can lie past its whole pixel, the 64th the engine draws
    // a glyph at alike: the first of the offsets it draws the same.
    std::array<std::uint8_t, 64> drawnAt{};
    bool offsetsKnown = false;
    // By glyph and offset; the images stay where they are while the font is known.
    std::unordered_map<std::uint64_t, std::unique_ptr<const Image>> images;
};

namespace {

// The fonts last laid out with, so that zooming back and forth finds its glyphs again.
constexpr std::size_t KeptFonts = 12;

template<typename T>
std::shared_ptr<T> lookUp(std::vector<std::pair<QString, std::shared_ptr<T>>> &known, const QString &key)
{
    const auto it = std::find_if(known.begin(), known.end(), [&](const auto &k) { return k.first == key; });
    if (it != known.end()) {
        std::rotate(known.begin(), it, it + 1);
        return known.front().second;
    }
    if (known.size() >= KeptFonts)
        known.pop_back();
    known.insert(known.begin(), {key, std::make_shared<T>()});
    return known.front().second;
}

}

GlyphText::GlyphText(const QFont &font) : raw(QRawFont::fromFont(font)), reference(font)
{
    reference.setPixelSize(ReferencePixels);
    static std::mutex lock;
    static std::vector<std::pair<QString, std::shared_ptr<Font>>> fonts;
    static std::vector<std::pair<QString, std::shared_ptr<Pairs>>> families;
    const std::lock_guard<std::mutex> hold(lock);
    known = lookUp(fonts, font.key());
    if (!known->pairs)
        known->pairs = lookUp(families, reference.key());
}

GlyphText::~GlyphText() = default;

bool GlyphText::check(const QString &chars)
{
    if (!referenceMade) {
        referenceRaw = QRawFont::fromFont(reference);
        referenceMade = true;
    }
    const QList<std::uint32_t> ids = referenceRaw.glyphIndexesForString(chars);
    if (ids.size() != chars.size() || ids.contains(0))
        return false;
    const QList<QPointF> advances = referenceRaw.advancesForGlyphIndexes(ids, QRawFont::KernedAdvances);
    QTextLayout layout(chars, reference);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs[0].glyphIndexes() != ids || runs[0].rawFont() != referenceRaw)
        return false;
    const QList<QPointF> at = runs[0].positions();
    double pen = at[0].x();
    for (qsizetype k = 0; k < ids.size(); ++k) {
        if (sixtyFourths(at[k].x()) != sixtyFourths(pen) || at[k].y() != at[0].y())
            return false;
        pen += advances[k].x();
    }
    return sixtyFourths(QFontMetricsF(reference).horizontalAdvance(chars)) == sixtyFourths(pen - at[0].x());
}

bool GlyphText::alone(char16_t first, char16_t second)
{
    std::atomic<std::uint8_t> &verdict = second ? known->pairs->pair(first, second) : known->pairs->single(first);
    std::uint8_t v = verdict.load(std::memory_order_relaxed);
    if (v == Unknown) {
        const QChar chars[2] = {QChar(first), QChar(second)};
        v = check(QString(chars, second ? 2 : 1)) ? Alone : Shaped;
        verdict.store(v, std::memory_order_relaxed);
    }
    return v == Alone;
}

bool GlyphText::layOut(const QString &text)
{
    const qsizetype n = text.size();
    if (n == 0 || !raw.isValid())
        return false;
    const auto *c = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype k = 0; k < n; ++k)
        if (!checkable(c[k]) || !alone(c[k], 0) || (k > 0 && !alone(c[k - 1], c[k])))
            return false;
    glyphs = raw.glyphIndexesForString(text);
    if (glyphs.size() != n || glyphs.contains(0))
        return false;
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    pens.resize(static_cast<std::size_t>(n));
    advance = 0;
    for (qsizetype k = 0; k < n; ++k) {
        pens[static_cast<std::size_t>(k)] = advance;
        advance += sixtyFourths(advances[k].x());
    }
    return true;
}

GlyphText::Image GlyphText::render(std::uint32_t glyph, int offset) const
{
    // Drawn with room around its outline for hinting and the antialiased edge, then cut to its ink.
    const QRectF bounds = raw.boundingRect(glyph);
    const int pad = 4 + static_cast<int>(std::ceil(raw.pixelSize() / 4));
    const int originX = pad - static_cast<int>(std::floor(bounds.left()));
    const int originY = pad - static_cast<int>(std::floor(bounds.top()));
    QImage scratch(static_cast<int>(std::ceil(bounds.width())) + 2 * pad + 2,
                   static_cast<int>(std::ceil(bounds.height())) + 2 * pad + 2, QImage::Format_Alpha8);
    Image out;
    if (scratch.isNull())
        return out;
    scratch.fill(0);
    {
        QPainter p(&scratch);
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes({glyph});
        run.setPositions({QPointF(originX + offset / 64.0, originY)});
        p.drawGlyphRun(QPointF(), run);
    }
    int left = scratch.width();
    int right = 0;
    int top = scratch.height();
    int bottom = 0;
    for (int y = 0; y < scratch.height(); ++y) {
        const uchar *row = scratch.constScanLine(y);
        for (int x = 0; x < scratch.width(); ++x)
            if (row[x]) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = y + 1;
            }
    }
    if (left >= right)
        return out;
    out.left = left - originX;
    out.top = top - originY;
    out.width = right - left;
    out.height = bottom - top;
    out.coverage.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    for (int y = top; y < bottom; ++y)
        std::copy_n(scratch.constScanLine(y) + left, out.width,
                    out.coverage.begin() + static_cast<std::ptrdiff_t>(y - top) * out.width);
    return out;
}

void GlyphText::findOffsets()
{
    // The engine sorts the pen's offset within its pixel into a few steps, the offsets of one
    // step side by side; which share a step shows in round glyphs drawn at them.
    std::vector<std::uint32_t> probes;
    for (const QChar c : {QChar(u'o'), QChar(u'0')})
        if (const QList<std::uint32_t> ids = raw.glyphIndexesForString(QString(c)); ids.size() == 1 && ids[0] != 0)
            probes.push_back(ids[0]);
    std::vector<std::vector<std::optional<Image>>> drawn(probes.size(), std::vector<std::optional<Image>>(64));
    const auto same = [&](int a, int b) {
        for (std::size_t g = 0; g < probes.size(); ++g) {
            for (const int k : {a, b})
                if (!drawn[g][static_cast<std::size_t>(k)])
                    drawn[g][static_cast<std::size_t>(k)] = render(probes[g], k);
            if (drawn[g][static_cast<std::size_t>(a)] != drawn[g][static_cast<std::size_t>(b)])
                return false;
        }
        return true;
    };
    for (int first = 0; first < 64;) {
        // The last offset drawn as first: without a probe, every offset stands alone.
        int last = first;
        for (int high = probes.empty() ? first : 63; last < high;) {
            const int mid = (last + high + 1) / 2;
            if (same(first, mid))
                last = mid;
            else
                high = mid - 1;
        }
        for (int k = first; k <= last; ++k)
            known->drawnAt[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(first);
        first = last + 1;
    }
    known->offsetsKnown = true;
}

const GlyphText::Image &GlyphText::image(std::uint32_t glyph, int offset)
{
    const std::uint64_t key = (static_cast<std::uint64_t>(glyph) << 6) | static_cast<std::uint64_t>(offset);
    if (const Image *found = seen.value(key))
        return *found;
    {
        const std::lock_guard<std::mutex> hold(known->lock);
        const auto it = known->images.find(key);
        if (it != known->images.end())
            return *seen.insert(key, it->second.get()).value();
    }
    auto made = std::make_unique<const Image>(render(glyph, offset));
    const std::lock_guard<std::mutex> hold(known->lock);
    // Another thread may have drawn it meanwhile; its image is the same.
    const auto it = known->images.try_emplace(key, std::move(made)).first;
    return *seen.insert(key, it->second.get()).value();
}

void GlyphText::draw(unsigned char *pixels, int width, int height, qsizetype stride, int x, int baseline)
{
    if (!offsetsRead) {
        const std::lock_guard<std::mutex> hold(known->lock);
        if (!known->offsetsKnown)
            findOffsets();
        drawnAt = known->drawnAt;
        offsetsRead = true;
    }
    for (std::size_t k = 0; k < pens.size(); ++k) {
        const std::int64_t pen = static_cast<std::int64_t>(x) * 64 + pens[k];
        const int offset = drawnAt[static_cast<std::size_t>(pen & 63)];
        const Image &g = image(glyphs[static_cast<qsizetype>(k)], offset);
        const std::int64_t left = (pen >> 6) + g.left;
        const std::int64_t top = static_cast<std::int64_t>(baseline) + g.top;
        const std::int64_t fromX = std::max<std::int64_t>(left, 0);
        const std::int64_t toX = std::min<std::int64_t>(left + g.width, width);
        const std::int64_t fromY = std::max<std::int64_t>(top, 0);
        const std::int64_t toY = std::min<std::int64_t>(top + g.height, height);
        for (std::int64_t y = fromY; y < toY; ++y) {
            const unsigned char *src = g.coverage.data() + (y - top) * g.width + (fromX - left);
            unsigned char *dst = pixels + y * stride + fromX;
            for (std::int64_t i = 0; i < toX - fromX; ++i) {
                // As the engine lays coverage over coverage, rounded as it rounds.
                const int c = src[i];
                const int v = c * 255 + dst[i] * (255 - c);
                dst[i] = static_cast<unsigned char>((v + (v >> 8) + 0x80) >> 8);
            }
        }
    }
}

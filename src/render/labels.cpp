#include "render/labels.h"

#include "core/elements.h"
#include "core/numberformat.h"
#include "core/translate.h"
#include "render/directpixels.h"
#include "render/glyphtext.h"
#include "render/labelcache.h"
#include "render/labelcanvas.h"
#include "render/turnedtext.h"
#include "render/viewstate.h"

#include <QFontInfo>
#include <QPainter>
#include <QThreadPool>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <numbers>
#include <vector>

namespace {

// Message numbers of the two words in value texts.
constexpr int MessageInclination = 6;
constexpr int MessageScaleMark = 12;

const QString Squared = QStringLiteral("\u00B2");
const QString Degree = QStringLiteral("\u00B0");

// The largest label image a text drawn without the label cache is turned on; a larger one is
// drawn by the font engine.
constexpr qsizetype DirectTextBytes = qsizetype(32) << 20;

void drawTextAt(QPainter &p, int x, int y, int ascent, const QString &text, double angle, double aspect = 1.0)
{
    if (angle == 0 && aspect == 1.0) {
        p.drawText(x, y + ascent, text);
        return;
    }
    const QTransform base = p.worldTransform();
    QTransform t;
    t.translate(x, y);
    if (aspect != 1.0) {
        // Narrower by the aspect, the text comes out as wide as high on paper, turned to the
        // direction its baseline takes there: (aspect cos, sin) in image pixels down.
        const double turn = angle * std::numbers::pi / 180;
        angle = std::atan2(std::sin(turn), aspect * std::cos(turn)) * 180 / std::numbers::pi;
        t.scale(1 / aspect, 1);
    }
    t.rotate(angle);
    p.setWorldTransform(t, true);
    p.drawText(0, ascent, text);
    p.setWorldTransform(base);
}

}

QString valueText(const Telemente &e, const NumberSettings &n, const ValueUncertainty *u)
{
    const QString unit = QStringLiteral(" ") + n.unit;
    const bool plusMinus = u && n.withUncertainty;
    // The value with d decimals, or those its uncertainty warrants, and the uncertainty after it.
    const auto number = [&](double value, double uncertainty, int d) {
        if (u && n.fitDecimals)
            d = decimalsForUncertainty(uncertainty, d);
        return plusMinus ? valueWithUncertainty(value, uncertainty, d) : F(value, d);
    };
    const ValueUncertainty none;
    const ValueUncertainty &v = u ? *u : none;
    switch (e.typ) {
    case TypRectangle:
    case TypEllipse:
    case TypPolygon:
        return number(e.flaeche, v.flaeche, n.areaDecimals) + unit + Squared;
    case TypPolyline:
        return number(e.lang, v.lang, n.areaDecimals) + unit;
    case TypAngle: {
        const int d = u && n.fitDecimals ? decimalsForUncertainty(v.winkel, n.areaDecimals) : n.areaDecimals;
        const QString spread = plusMinus ? QStringLiteral(" ± ") + F(v.winkel, d) + Degree : QString();
        return F(e.winkel, d) + Degree + spread + QStringLiteral(" / ") + F(360 - e.winkel, d) + QStringLiteral(" ")
               + Degree;
    }
    case TypDistance:
        if (e.x4 != 0)
            return number(e.lang, v.lang, n.lengthDecimals) + unit + QStringLiteral(" (") + F(e.x4, n.lengthDecimals) + Degree
                   + QStringLiteral(" ") + Message(MessageInclination) + QStringLiteral(")");
        return number(e.lang, v.lang, n.lengthDecimals) + unit;
    case TypScaleLine:
        return Message(MessageScaleMark) + QStringLiteral(": ") + F(e.lang, n.lengthDecimals) + unit;
    default:
        return QString();
    }
}

QString sideLabelText(double length, const NumberSettings &n, const double *u)
{
    const int d = u && n.fitDecimals ? decimalsForUncertainty(*u, n.lengthDecimals) : n.lengthDecimals;
    const QString number = u && n.withUncertainty ? valueWithUncertainty(length, *u, d) : F(length, d);
    return number + QStringLiteral(" ") + n.unit;
}

QString valueTextKey(const NumberSettings &n)
{
    QString key = n.unit + QLatin1Char('|') + QString::number(n.lengthDecimals) + QLatin1Char('|')
                  + QString::number(n.areaDecimals) + QLatin1Char('|') + Message(MessageInclination) + QLatin1Char('|')
                  + Message(MessageScaleMark);
    if (n.withUncertainty || n.fitDecimals) {
        const ScaleCovariance &c = n.scaleCovariance;
        key += QStringLiteral("|u%1%2|%3|%4|%5")
                   .arg(int(n.withUncertainty))
                   .arg(int(n.fitDecimals))
                   .arg(c.xx, 0, 'g', 17)
                   .arg(c.yy, 0, 'g', 17)
                   .arg(c.xy, 0, 'g', 17);
    }
    return key;
}

int scaledFontHeight(int height, double zoom)
{
    const long double h = std::rint(static_cast<long double>(zoom) * height / 100.0L);
    const int v = static_cast<int>(std::clamp<long double>(h, -100000, 100000));
    return v == 0 ? 1 : v;
}

QFont defaultLabelQFont()
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(15);
    return f;
}

int LabelFont::pixelHeight() const
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

QFont labelQFont(const LabelFont &font, double zoom)
{
    QFont f = font.font;
    f.setPixelSize(std::abs(scaledFontHeight(font.pixelHeight(), zoom)));
    return f;
}

QFont rotatedLabelQFont(const LabelFont &font, double zoom)
{
    QFont f(font.font.family());
    f.setWeight(font.font.bold() ? QFont::Bold : QFont::Normal);
    f.setItalic(font.font.italic());
    f.setPixelSize(std::abs(scaledFontHeight(font.pixelHeight(), zoom)));
    return f;
}

TextStyle makeTextStyle(const LabelFont &font, double zoom, bool outline)
{
    const QFont f = labelQFont(font, zoom);
    return TextStyle{f, QFontMetrics(f), font.color, outline};
}

TextStyle makeRotatedTextStyle(const LabelFont &font, double zoom, bool outline)
{
    const QFont f = rotatedLabelQFont(font, zoom);
    return TextStyle{f, QFontMetrics(f), font.color, outline};
}

QColor outlineColor(const QColor &text)
{
    const int brightness = (text.red() + text.green() + text.blue()) / 3;
    return brightness >= 128 ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

namespace {

void drawTextDirect(QPainter &p, const TextStyle &style, int X, int Y, const QString &text, double angle)
{
    p.setFont(style.font);
    p.setBrush(Qt::NoBrush);
    p.setBackgroundMode(Qt::TransparentMode);
    if (style.outline) {
        p.setPen(outlineColor(style.color));
        for (int i = -3; i <= 3; ++i)
            for (int j = -3; j <= 3; ++j)
                drawTextAt(p, X + i, Y + j, style.ascent, text, angle, style.paperAspect);
    }
    p.setPen(style.color);
    drawTextAt(p, X, Y, style.ascent, text, angle, style.paperAspect);
}

// Whether a text at this angle is rasterised level and turned (see turnCoverage) wherever it
// goes straight into the pixels. Outlined texts stay with the font engine: their outline is the
// turned text moved about along the screen's axes, which the level text cannot give.
bool turnedFromLevel(const TextStyle &style, int tenths)
{
    return !style.outline && tenths % 900 != 0;
}

// The style's glyph-by-glyph layout with text laid out; nullptr when the text is for the font
// engine.
GlyphText *laidOutIn(const TextStyle &style, const QString &text)
{
    return style.glyphs && style.glyphs->layOut(text) ? style.glyphs : nullptr;
}

// How far from its top-left corner a text of this advance width can put ink, turned any way,
// with antialiased edges, overhangs and the outline.
long long textReach(const TextStyle &style, int width)
{
    return std::abs(static_cast<long long>(width)) + 3LL * std::abs(style.height) + 10;
}

// The text drawn exactly as directly at a whole-pixel position: how much of each pixel the text
// covers (and the outline, when on), rasterised in font on the canvases clipped to a box that
// holds the turned text with room for overhangs, antialiased edges and its outline. False for a
// text whose canvas would take more than maxBytes. The box is made from the advance width and
// the line height alone, which the text's layout gives. With laidOut (the text laid out there),
// a level or turned text that is not outlined is put together from its glyphs, without the
// shaper.
bool rasteriseMask(const TextStyle &style, const QFont &font, const QString &text, int width, int tenths,
                   qsizetype maxBytes, LabelCanvas &textCanvas, LabelCanvas &outlineCanvas, CoverageMask &mask,
                   GlyphText *laidOut)
{
    const double h = std::abs(style.height) + 2.0;
    const QRectF box = QRectF(0, 0, std::max(width, 0), std::abs(style.height)).adjusted(-h, -h, h, h);
    const double angle = tenths / 10.0;
    QTransform turn;
    turn.rotate(angle);
    const int margin = style.outline ? 3 : 0;
    const QRect bounds = turn.mapRect(box).toAlignedRect().adjusted(-margin, -margin, margin, margin);
    const long double bytes = static_cast<long double>(bounds.width()) * bounds.height() * (style.outline ? 2 : 1);
    if (bounds.isEmpty() || bytes > maxBytes)
        return false;
    const QPoint origin = -bounds.topLeft();
    const QRect level = box.toAlignedRect();
    // The level text's coverage, its corner at -level.topLeft(), turned into the mask.
    const auto turnLevel = [&](const QImage &levelImage) {
        std::vector<unsigned char> turned = turnCoverage(levelImage, -level.topLeft(), angle, bounds.size(), origin);
        mask = CoverageMask(QImage(turned.data(), bounds.width(), bounds.height(), bounds.width(), QImage::Format_Alpha8),
                            nullptr, origin);
    };
    if (laidOut && !style.outline && (tenths == 0 || turnedFromLevel(style, tenths))) {
        std::vector<unsigned char> pixels(static_cast<std::size_t>(level.width()) * static_cast<std::size_t>(level.height()));
        laidOut->draw(pixels.data(), level.width(), level.height(), level.width(), -level.left(),
                      style.ascent - level.top());
        const QImage levelImage(pixels.data(), level.width(), level.height(), level.width(), QImage::Format_Alpha8);
        if (tenths == 0)
            mask = CoverageMask(levelImage, nullptr, origin);
        else
            turnLevel(levelImage);
        return true;
    }
    if (turnedFromLevel(style, tenths)) {
        QPainter *p = textCanvas.begin(level.size());
        if (!p)
            return false;
        p->setFont(font);
        drawTextAt(*p, -level.left(), -level.top(), style.ascent, text, 0);
        turnLevel(textCanvas.part());
        textCanvas.end();
        return true;
    }

    const auto draw = [&](LabelCanvas &canvas, bool outline) {
        QPainter *p = canvas.begin(bounds.size());
        if (!p)
            return false;
        p->setFont(font);
        if (outline) {
            for (int i = -3; i <= 3; ++i)
                for (int j = -3; j <= 3; ++j)
                    drawTextAt(*p, origin.x() + i, origin.y() + j, style.ascent, text, angle);
        } else {
            drawTextAt(*p, origin.x(), origin.y(), style.ascent, text, angle);
        }
        return true;
    };
    const bool drawn = draw(textCanvas, false) && (!style.outline || draw(outlineCanvas, true));
    if (drawn) {
        const QImage outline = style.outline ? outlineCanvas.part() : QImage();
        mask = CoverageMask(textCanvas.part(), style.outline ? &outline : nullptr, origin);
    }
    textCanvas.end();
    outlineCanvas.end();
    return drawn;
}

// The same kept in the cache; nothing for a text whose mask the cache does not take: it is
// drawn as text instead.
LabelCache::Kept *rasterise(const TextStyle &style, const QString &text, int width, int tenths, LabelCache &cache)
{
    CoverageMask mask;
    if (!rasteriseMask(style, style.font, text, width, tenths, cache.maxBytes(), cache.canvas(false), cache.canvas(true),
                       mask, laidOutIn(style, text)))
        return nullptr;
    return cache.insert(style.cacheSlot, text, tenths, std::move(mask));
}

// The sprite of a text at a rotation: the one held by the text while the cache has not dropped
// any since, else looked up, else made and kept, unless the cache puts it off (deferred).
LabelCache::Kept *spriteFor(const TextStyle &style, LabelCache::Text &t, int tenths, bool &deferred)
{
    LabelCache &cache = *style.cache;
    deferred = false;
    if (t.sprite && t.rotation == tenths && t.generation == cache.generation()) {
        cache.touch(*t.sprite);
        return t.sprite;
    }
    LabelCache::Kept *sprite = cache.find(style.cacheSlot, t.text, tenths);
    if (!sprite) {
        const int width = textWidth(style, t);
        deferred = cache.defer(style, t.text, width, tenths);
        if (!deferred)
            sprite = rasterise(style, t.text, width, tenths, cache);
    }
    t.sprite = sprite;
    t.rotation = tenths;
    t.generation = cache.generation();
    return sprite;
}

}

void rasteriseDeferred(LabelCache &cache)
{
    // Every repaint of the screen passes here, almost always with nothing put off.
    if (!cache.hasDeferred())
        return;
    std::vector<LabelCache::Deferred> work = cache.takeDeferred();
    std::vector<CoverageMask> masks(work.size());
    std::vector<char> made(work.size(), 0);
    std::atomic<std::size_t> next{0};
    const qsizetype maxBytes = cache.maxBytes();
    // Each thread takes the next text until none is left; fonts[k] is the font of the k-th
    // style in styles, for the thread's use alone.
    std::vector<const TextStyle *> styles;
    for (const LabelCache::Deferred &d : work)
        if (std::find(styles.begin(), styles.end(), d.style) == styles.end())
            styles.push_back(d.style);
    const auto rasteriseSome = [&](const std::vector<QFont> &fonts, LabelCanvas &text, LabelCanvas &outline) {
        std::vector<std::unique_ptr<GlyphText>> glyphs(fonts.size());
        for (std::size_t k = next++; k < work.size(); k = next++) {
            const LabelCache::Deferred &d = work[k];
            const auto s = static_cast<std::size_t>(std::find(styles.begin(), styles.end(), d.style) - styles.begin());
            if (!glyphs[s])
                glyphs[s] = std::make_unique<GlyphText>(fonts[s]);
            const bool laidOut = glyphs[s]->layOut(d.text);
            made[k] = rasteriseMask(*d.style, fonts[s], d.text, d.width, d.rotation, maxBytes, text, outline, masks[k],
                                    laidOut ? glyphs[s].get() : nullptr);
        }
    };
    // A font shares its resolved engine among its copies, which is not for two threads at once:
    // each helper gets copies of its own, made here before it starts.
    std::vector<QFont> ownFonts;
    for (const TextStyle *style : styles)
        ownFonts.push_back(style->font);
    QThreadPool &pool = cache.workers();
    const int helpers = std::min(pool.maxThreadCount(), static_cast<int>(work.size() / 8));
    std::vector<std::vector<QFont>> helperFonts(static_cast<std::size_t>(std::max(helpers, 0)));
    for (std::vector<QFont> &fonts : helperFonts)
        for (const TextStyle *style : styles) {
            QFont own = style->font;
            if (own.pixelSize() > 0)
                own.setPixelSize(own.pixelSize());
            else
                own.setPointSizeF(own.pointSizeF());
            fonts.push_back(own);
        }
    // Waited for by count rather than by the pool's waitForDone, which ends the pool's threads: a
    // new thread loads every font afresh, which costs more than its share of the texts. A helper
    // tells it under the lock, so that it is done with everything here once the lock is free.
    std::mutex lock;
    std::condition_variable finished;
    std::size_t running = helperFonts.size();
    for (const std::vector<QFont> &fonts : helperFonts)
        pool.start([&rasteriseSome, &fonts, &lock, &finished, &running] {
            {
                LabelCanvas text;
                LabelCanvas outline;
                rasteriseSome(fonts, text, outline);
            }
            const std::lock_guard<std::mutex> held(lock);
            if (--running == 0)
                finished.notify_all();
        });
    rasteriseSome(ownFonts, cache.canvas(false), cache.canvas(true));
    {
        std::unique_lock<std::mutex> held(lock);
        finished.wait(held, [&running] { return running == 0; });
    }
    for (std::size_t k = 0; k < work.size(); ++k) {
        if (made[k])
            cache.insert(work[k].style->cacheSlot, work[k].text, work[k].rotation, std::move(masks[k]));
    }
}

int textWidth(const TextStyle &style, const QString &text)
{
    int w = 0;
    if (style.cache && style.cache->width(style.cacheSlot, text, w))
        return w;
    const GlyphText *glyphs = laidOutIn(style, text);
    w = glyphs ? glyphs->width() : style.metrics.horizontalAdvance(text);
    if (style.cache)
        style.cache->setWidth(style.cacheSlot, text, w);
    return w;
}

int textWidth(const TextStyle &style, LabelCache::Text &text)
{
    if (text.width < 0)
        text.width = textWidth(style, text.text);
    return text.width;
}

void mytextout(QPainter &p, const TextStyle &style, int X, int Y, const QString &text, double angle)
{
    LabelCache::Text t{text};
    mytextout(p, DirectPixels(p), style, X, Y, t, angle);
}

void mytextout(QPainter &p, const DirectPixels &pixels, const TextStyle &style, int X, int Y, LabelCache::Text &text,
               double angle)
{
    if (text.text.isEmpty())
        return;
    // Sprites are square in the drawing's pixels, which the paper aspect does not allow.
    if (pixels.usable() && style.paperAspect == 1.0) {
        if (!pixels.touches(X, Y, textReach(style, textWidth(style, text))))
            return;
        if (style.cache) {
            bool deferred = false;
            if (const LabelCache::Kept *sprite =
                    spriteFor(style, text, static_cast<int>(std::lround(angle * 10)), deferred)) {
                pixels.blend(X, Y, sprite->mask, style.fill, style.ring);
                return;
            }
            // Drawn when the repaint is made again with its sprite.
            if (deferred)
                return;
        } else if (const int tenths = static_cast<int>(std::lround(angle * 10)); turnedFromLevel(style, tenths)) {
            // As the screen's label images show it.
            LabelCanvas textCanvas;
            LabelCanvas outlineCanvas;
            CoverageMask mask;
            const int width = textWidth(style, text);
            if (rasteriseMask(style, style.font, text.text, width, tenths, DirectTextBytes, textCanvas, outlineCanvas,
                              mask, laidOutIn(style, text.text))) {
                pixels.settle();
                DirectPixels(p).blend(X, Y, mask, style.fill, style.ring);
                return;
            }
        }
    }
    pixels.settle();
    drawTextDirect(p, style, X, Y, text.text, angle);
}

namespace {

// Whether a stored name reads as the text, in one pass over both: every element's name is
// checked at every repaint.
bool sameName(const char16_t *name, const QString &text)
{
    const qsizetype n = text.size();
    if (!name)
        return n == 0;
    const char16_t *t = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype k = 0; k < n; ++k)
        if (name[k] != t[k] || name[k] == 0)
            return false;
    return name[n] == 0;
}

}

void refreshLabelTexts(LabelCache::ElementTexts &texts, const Telemente &e, const NumberSettings &n,
                       const ValueUncertainty *u)
{
    const std::int32_t typ = e.typ;
    const double lang = e.lang;
    const double flaeche = e.flaeche;
    const double winkel = e.winkel;
    const double x4 = e.x4;
    const auto same = [](double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); };
    if (!texts.made || texts.typ != typ || !same(texts.lang, lang) || !same(texts.flaeche, flaeche) ||
        !same(texts.winkel, winkel) || !same(texts.x4, x4)) {
        // Widths and sprites belong to the font of the type's label, so the name starts afresh too.
        const bool sameType = texts.made && texts.typ == typ;
        texts.made = true;
        texts.typ = typ;
        texts.lang = lang;
        texts.flaeche = flaeche;
        texts.winkel = winkel;
        texts.x4 = x4;
        texts.value = LabelCache::Text{valueText(e, n, u)};
        if (!sameType)
            texts.name = LabelCache::Text{};
    } else if (u) {
        // The uncertainty also follows the zoom a point was last dragged at, which a drag back to
        // the same place leaves the values unchanged by.
        QString text = valueText(e, n, u);
        if (text != texts.value.text)
            texts.value = LabelCache::Text{std::move(text)};
    }
    if (!sameName(e.name, texts.name.text))
        texts.name = LabelCache::Text{nameText(e.name)};
}

void ScreenBox::add(QPoint p)
{
    minX = std::min(minX, p.x());
    maxX = std::max(maxX, p.x());
    minY = std::min(minY, p.y());
    maxY = std::max(maxY, p.y());
}

HorizontalLabel horizontalLabelLayout(const ScreenBox &box, int valueWidth, int nameWidth, int valueHeight)
{
    const long double span = static_cast<long double>(box.maxX) - box.minX;
    const int cx = roundScreen(span / 2 + box.minX);
    return {QPoint(cx - valueWidth / 2, box.maxY), QPoint(cx - nameWidth / 2, box.maxY + valueHeight)};
}

LabelDirection labelDirection(double dx, double dy)
{
    LabelDirection d;
    d.alpha = std::atan2(dy, dx) * 180 / std::numbers::pi;
    if (d.alpha < -75) {
        d.alpha += 180;
        d.flipped = true;
    }
    if (d.alpha > 105) {
        d.alpha -= 180;
        d.flipped = true;
    }
    return d;
}

RotatedLabel rotatedLabelLayout(QPointF p1, QPointF p2, QPointF offset, double W, double zoom, int valueWidth,
                                int valueHeight, int nameWidth)
{
    const double dx = p2.x() - p1.x();
    const double dy = p2.y() - p1.y();
    double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0)
        len = 1;
    const LabelDirection dir = labelDirection(dx, dy);
    const QPointF mid(dx / 2 + p1.x(), dy / 2 + p1.y());

    const auto shift = [&](double h, double g) {
        if (dir.flipped)
            return QPointF(-dx * h / len - dy * g / len, -dy * h / len + dx * g / len);
        return QPointF(dx * h / len + dy * g / len, dy * h / len - dx * g / len);
    };

    RotatedLabel r;
    // The font's escapement is whole tenths of a degree, counter-clockwise.
    const double escapement = std::rint(-dir.alpha * 10);
    r.rotation = -escapement / 10;
    r.flipped = dir.flipped;
    r.value = mid + offset - shift(valueWidth * 100 / zoom / 2, zoom * W / 100);
    r.name = mid + offset - shift(nameWidth * 100 / zoom / 2, valueHeight * 100 / zoom + zoom * W / 100);
    return r;
}

void drawTextLabel(QPainter &p, Telemente &e, const ViewState &view, const TextStyle &style)
{
    LabelCache::Text text{Document::name(e)};
    drawTextLabel(p, DirectPixels(p), e, view, style, text);
}

void drawTextLabel(QPainter &p, const DirectPixels &pixels, Telemente &e, const ViewState &view,
                   const TextStyle &style, LabelCache::Text &text)
{
    const int width = textWidth(style, text);
    const int height = style.height;
    const QPoint anchor = view.screen(e.x1, e.y1);
    mytextout(p, pixels, style, anchor.x(), anchor.y() - height, text);
    e.x2 = e.x1 + width * 100 / view.zoom();
    e.y2 = e.y1 - height * 100 / view.zoom();
}

void drawHorizontalLabel(QPainter &p, const TextStyle &style, const ScreenBox &box, const QString &value,
                         const QString &name)
{
    LabelCache::Text v{value};
    LabelCache::Text n{name};
    drawHorizontalLabel(p, DirectPixels(p), style, box, v, n);
}

void drawHorizontalLabel(QPainter &p, const DirectPixels &pixels, const TextStyle &style, const ScreenBox &box,
                         LabelCache::Text &value, LabelCache::Text &name)
{
    const HorizontalLabel at =
        horizontalLabelLayout(box, textWidth(style, value), textWidth(style, name), style.height);
    mytextout(p, pixels, style, at.value.x(), at.value.y(), value);
    mytextout(p, pixels, style, at.name.x(), at.name.y(), name);
}

void drawRotatedLabel(QPainter &p, const ViewState &view, const TextStyle &style, QPointF p1, QPointF p2,
                      QPointF offset, double W, const QString &value, const QString &name)
{
    LabelCache::Text v{value};
    LabelCache::Text n{name};
    drawRotatedLabel(p, DirectPixels(p), view, style, p1, p2, offset, W, v, n);
}

void drawRotatedLabel(QPainter &p, const DirectPixels &pixels, const ViewState &view, const TextStyle &style,
                      QPointF p1, QPointF p2, QPointF offset, double W, LabelCache::Text &value,
                      LabelCache::Text &name)
{
    const RotatedLabel at = rotatedLabelLayout(p1, p2, offset, W, view.zoom(), textWidth(style, value),
                                               style.height, textWidth(style, name));
    const QPoint v = view.screen(at.value);
    mytextout(p, pixels, style, v.x(), v.y(), value, at.rotation);
    if (!name.text.isEmpty()) {
        const QPoint n = view.screen(at.name);
        mytextout(p, pixels, style, n.x(), n.y(), name, at.rotation);
    }
}

#include "render/labelcache.h"

#include "render/glyphtext.h"
#include "render/labels.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <utility>

namespace {

// Widths are a few bytes each; past this many the table starts afresh.
constexpr qsizetype MaxWidths = 50000;

// Missing sprites a repaint makes on the spot before it puts the rest off: a few new texts (a
// value changing under a drag) cost less than a second pass over the drawing.
constexpr int MadeOnTheSpot = 48;

}

LabelCache::LabelCache(qsizetype maxBytes) : budget(maxBytes) {}

LabelCache::~LabelCache() = default;

void LabelCache::allowDeferring(bool on)
{
    deferring = on;
    putOff = false;
    madeOnTheSpot = 0;
    deferred.clear();
    deferredKeys.clear();
}

bool LabelCache::defer(const TextStyle &style, const QString &text, int width, int rotationTenths)
{
    if (!deferring)
        return false;
    // An empty cache (a new zoom or font) misses every label on screen: all go side by side.
    if (madeOnTheSpot < MadeOnTheSpot && !sprites.empty()) {
        ++madeOnTheSpot;
        return false;
    }
    if (deferredKeys.insert(Key{text, rotationTenths, style.cacheSlot}).second)
        deferred.push_back(Deferred{&style, text, width, rotationTenths});
    putOff = true;
    return true;
}

std::vector<LabelCache::Deferred> LabelCache::takeDeferred()
{
    deferredKeys.clear();
    return std::exchange(deferred, {});
}

QThreadPool &LabelCache::workers()
{
    if (!pool) {
        pool = std::make_unique<QThreadPool>();
        // The painting thread rasterises too.
        pool->setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 7));
    }
    return *pool;
}

GlyphText &LabelCache::glyphs(int slot, const QFont &font)
{
    const auto s = static_cast<std::size_t>(std::max(slot, 0));
    if (ownGlyphs.size() <= s)
        ownGlyphs.resize(s + 1);
    auto &[key, glyphs] = ownGlyphs[s];
    if (QString fontKey = font.key(); !glyphs || key != fontKey) {
        key = std::move(fontKey);
        glyphs = std::make_unique<GlyphText>(font);
    }
    return *glyphs;
}

void LabelCache::setStyle(const QString &key)
{
    if (key == style)
        return;
    clear();
    style = key;
}

void LabelCache::setNumbers(const QString &key)
{
    if (key == numbers)
        return;
    elements.clear();
    reachesValid = false;
    numbers = key;
}

void LabelCache::clear()
{
    sprites.clear();
    used = 0;
    ++dropped;
    widths.clear();
    elements.clear();
    reachesValid = false;
}

bool LabelCache::reachesKnown(const ReachKey &key, int count)
{
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    if (reachesValid && key == reachKey && reaches.size() == n)
        return true;
    reaches.assign(n, Reach{});
    index.clear();
    reachKey = key;
    reachesValid = true;
    return false;
}

void LabelCache::startPass(int count)
{
    ++pass;
    elements.resize(static_cast<std::size_t>(std::max(count, 0)));
}

LabelCache::Kept *LabelCache::find(int slot, const QString &text, int rotationTenths)
{
    const auto it = sprites.find(Key{text, rotationTenths, slot});
    if (it == sprites.end())
        return nullptr;
    touch(it->second);
    return &it->second;
}

qsizetype LabelCache::cost(const Kept &s)
{
    return std::max<qsizetype>(1, s.mask.bytes());
}

void LabelCache::makeRoom(qsizetype need)
{
    if (used + need <= budget)
        return;
    std::vector<std::pair<std::uint64_t, const Key *>> old;
    for (const auto &[key, sprite] : sprites)
        if (sprite.lastPass < pass)
            old.emplace_back(sprite.lastPass, &key);
    std::sort(old.begin(), old.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    // Down to three quarters, so that a full cache does not sort at every new text.
    const qsizetype target = std::min(budget - need, budget / 4 * 3);
    for (const auto &[lastPass, key] : old) {
        if (used <= target)
            break;
        const auto it = sprites.find(*key);
        used -= cost(it->second);
        sprites.erase(it);
        ++dropped;
    }
}

LabelCache::Kept *LabelCache::insert(int slot, const QString &text, int rotationTenths, const Sprite &sprite)
{
    const auto alpha = [](const QImage &image) {
        return image.format() == QImage::Format_Alpha8 ? image : image.convertToFormat(QImage::Format_Alpha8);
    };
    const QImage image = alpha(sprite.image);
    const QImage outline = sprite.outline.isNull() ? QImage() : alpha(sprite.outline);
    if (image.isNull() || (!sprite.outline.isNull() && outline.size() != image.size()))
        return nullptr;
    return insert(slot, text, rotationTenths, CoverageMask(image, outline.isNull() ? nullptr : &outline, sprite.origin));
}

LabelCache::Kept *LabelCache::insert(int slot, const QString &text, int rotationTenths, CoverageMask mask)
{
    Kept kept{std::move(mask), pass};
    const qsizetype need = cost(kept);
    if (need > budget / 4)
        return nullptr;
    makeRoom(need);
    if (used + need > budget)
        return nullptr;
    const Key key{text, rotationTenths, slot};
    const auto it = sprites.find(key);
    if (it != sprites.end()) {
        used -= cost(it->second);
        sprites.erase(it);
        ++dropped;
    }
    used += need;
    return &sprites.emplace(key, std::move(kept)).first->second;
}

bool LabelCache::width(int slot, const QString &text, int &w) const
{
    const auto it = widths.constFind(Key{text, 0, slot});
    if (it == widths.constEnd())
        return false;
    w = *it;
    return true;
}

void LabelCache::setWidth(int slot, const QString &text, int w)
{
    if (widths.size() >= MaxWidths)
        widths.clear();
    widths.insert(Key{text, 0, slot}, w);
}

#include "render/labelcache.h"

#include <algorithm>
#include <utility>

namespace {

// Widths are a few bytes each; past this many the table starts afresh.
constexpr qsizetype MaxWidths = 50000;

}

LabelCache::LabelCache(qsizetype maxBytes) : sprites(maxBytes) {}

void LabelCache::setStyle(const QString &key)
{
    if (key == style)
        return;
    clear();
    style = key;
}

void LabelCache::clear()
{
    sprites.clear();
    widths.clear();
}

LabelCache::Sprite *LabelCache::find(int slot, const QString &text, int rotationTenths)
{
    return sprites.object(Key{text, rotationTenths, slot});
}

LabelCache::Sprite *LabelCache::insert(int slot, const QString &text, int rotationTenths, Sprite sprite)
{
    const Key key{text, rotationTenths, slot};
    const qsizetype cost = std::max<qsizetype>(1, sprite.image.sizeInBytes());
    if (!sprites.insert(key, new Sprite(std::move(sprite)), cost))
        return nullptr;
    return sprites.object(key);
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

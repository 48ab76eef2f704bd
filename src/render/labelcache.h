#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>

// Label texts already rasterised at their rotation. The font engine keeps no glyphs for the
// many angles of labels along lines, and shaping every text again costs more than the picture,
// so a repaint of an unchanged drawing puts each label on the back buffer as one small image.
// The screen's owner keeps one for its back buffer; printing and the vector exports draw their
// texts as text and use none.
class LabelCache
{
public:
    // The image of one text and the position of the text's top-left corner inside it.
    struct Sprite {
        QImage image;
        QPoint origin;
    };

    explicit LabelCache(qsizetype maxBytes = qsizetype(32) << 20);

    // Forgets every text when the label font, colour, outline or zoom changed since the last use.
    void setStyle(const QString &key);
    void clear();

    // Styles are told apart by slot (the horizontal and the rotated label font).
    Sprite *find(int slot, const QString &text, int rotationTenths);
    // Takes the sprite; nullptr when it is larger than the whole cache.
    Sprite *insert(int slot, const QString &text, int rotationTenths, Sprite sprite);

    // Cached text advance widths.
    bool width(int slot, const QString &text, int &w) const;
    void setWidth(int slot, const QString &text, int w);

private:
    struct Key {
        QString text;
        int rotation = 0;
        int slot = 0;
        bool operator==(const Key &o) const = default;
    };
    friend size_t qHash(const Key &k, size_t seed = 0) { return qHashMulti(seed, k.text, k.rotation, k.slot); }

    QCache<Key, Sprite> sprites;
    QHash<Key, int> widths;
    QString style;
};

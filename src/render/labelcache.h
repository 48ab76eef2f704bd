#pragma once

#include "render/directpixels.h"
#include "render/labelcanvas.h"
#include "render/reachindex.h"

#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class GlyphText;
class QFont;
class QThreadPool;
struct Telemente;
struct TextStyle;

// Label texts already rasterised at their rotation. The font engine keeps no glyphs for the
// many angles of labels along lines, and shaping every text again costs more than the picture,
// so a repaint of an unchanged drawing puts each label on the back buffer as one small coverage
// mask in the label colour. Beside the masks it remembers each element's label texts by
// document index, so an element whose values did not change neither formats nor looks up its
// texts again. The screen's owner keeps one for its back buffer; printing and the vector
// exports draw their texts as text and use none.
class LabelCache
{
public:
    // One text rasterised at one rotation: how much of each pixel the text covers (and, for
    // outlined styles, its outline covers), and where the text's top-left corner lies in it.
    struct Sprite {
        QImage image;
        QPoint origin;
        QImage outline{};
    };
    // A sprite as kept, packed, with the last repaint that drew it.
    struct Kept {
        CoverageMask mask;
        std::uint64_t lastPass = 0;
    };

    explicit LabelCache(qsizetype maxBytes = qsizetype(32) << 20);
    ~LabelCache();

    // Forgets everything when the label font, colour, outline or zoom changed since the last use.
    void setStyle(const QString &key);
    // Forgets the element texts when the unit, the decimals or the words in the texts changed.
    void setNumbers(const QString &key);
    void clear();
    // Begins a repaint of count elements. Sprites drawn during a repaint stay until it ends.
    void startPass(int count);

    // Styles are told apart by slot (the horizontal and the rotated label font).
    Kept *find(int slot, const QString &text, int rotationTenths);
    // Takes the sprite (an image of another format counts by its alpha); nullptr when it does not
    // fit beside the sprites of the current repaint, or would take more than a quarter of the
    // room and so push out many others.
    Kept *insert(int slot, const QString &text, int rotationTenths, const Sprite &sprite);
    // The same for a mask already packed.
    Kept *insert(int slot, const QString &text, int rotationTenths, CoverageMask mask);
    // Marks a sprite held from an earlier find as drawn in this repaint.
    void touch(Kept &sprite) const { sprite.lastPass = pass; }
    // Changes whenever a sprite is dropped, so a held sprite is still there while it is the same.
    std::uint64_t generation() const { return dropped; }
    qsizetype maxBytes() const { return budget; }

    // The canvas texts (or, with outline, their outlines) are rasterised on before they are kept.
    LabelCanvas &canvas(bool outline) { return outline ? outlineCanvas : textCanvas; }

    // A text whose sprite a repaint put off, to be rasterised with the others after it.
    struct Deferred {
        const TextStyle *style = nullptr;
        QString text;
        int width = 0;
        int rotation = 0;
    };
    // While on, a repaint that has rasterised a few texts itself puts the sprites of the rest
    // off instead of drawing them (many new texts after a zoom or font change), so that they can
    // be rasterised side by side and the repaint made again from them; off again, every missing
    // sprite is made on the spot as before.
    void allowDeferring(bool on);
    // Whether the sprite of a missing text is put off: recorded once, and then not to be drawn.
    bool defer(const TextStyle &style, const QString &text, int width, int rotationTenths);
    bool hasDeferred() const { return !deferred.empty(); }
    // Whether a sprite was put off since deferring was last allowed or stopped: what was drawn
    // since lacks those labels.
    bool putOffAny() const { return putOff; }
    std::vector<Deferred> takeDeferred();
    // The threads that rasterise put-off texts beside the one that paints; this cache's own.
    QThreadPool &workers();
    // The painting thread's glyph-by-glyph layout of texts in the font of a slot.
    GlyphText &glyphs(int slot, const QFont &font);

    // Cached text advance widths.
    bool width(int slot, const QString &text, int &w) const;
    void setWidth(int slot, const QString &text, int w);

    // A text with what is known of it: its advance width (negative until measured) and the
    // sprite last drawn for it at a rotation, good while the generation is unchanged.
    struct Text {
        QString text;
        int width = -1;
        Kept *sprite = nullptr;
        int rotation = 0;
        std::uint64_t generation = 0;
    };
    // The label texts of one element and the stored values they were made from.
    struct ElementTexts {
        bool made = false;
        std::int32_t typ = 0;
        double lang = 0;
        double flaeche = 0;
        double winkel = 0;
        double x4 = 0;
        Text value;
        Text name;
    };
    // The texts of element index; index must be below the count of the current repaint.
    ElementTexts &element(int index) { return elements[static_cast<std::size_t>(index)]; }

    // How far the drawing of one element can reach, as a repaint worked it out: the box of its
    // points times the zoom factor, the screen pixels around that, and the chain it closes.
    struct Reach {
        double minX = 0;
        double maxX = 0;
        double minY = 0;
        double maxY = 0;
        double around = 0;
        int chainStart = -1; // the last chain start up to and including this element
        bool drawable = false;
        bool closed = false;
    };
    // Everything besides the label style and numbers that the reaches follow: the document's
    // revision, the zoom, the scale, the reach of lines and labels, bit for bit.
    using ReachKey = std::array<std::uint64_t, 9>;
    // Whether the reaches of the count elements of this repaint were worked out under key, so
    // that a repaint of an unchanged drawing can pass over elements far off screen without
    // reading them. If not, this repaint is to work them out afresh for key.
    bool reachesKnown(const ReachKey &key, int count);
    Reach &reach(int index) { return reaches[static_cast<std::size_t>(index)]; }
    // The elements bucketed by their reaches, built by the repaint that worked them out and
    // dropped with them.
    ReachIndex &reachIndex() { return index; }

private:
    struct Key {
        QString text;
        int rotation = 0;
        int slot = 0;
        bool operator==(const Key &o) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key &k) const { return qHashMulti(0, k.text, k.rotation, k.slot); }
    };
    friend size_t qHash(const Key &k, size_t seed = 0) { return qHashMulti(seed, k.text, k.rotation, k.slot); }

    static qsizetype cost(const Kept &s);
    // Drops sprites of earlier repaints, least recently drawn first, until need more bytes fit.
    void makeRoom(qsizetype need);

    std::unordered_map<Key, Kept, KeyHash> sprites;
    qsizetype budget;
    qsizetype used = 0;
    std::uint64_t pass = 1;
    std::uint64_t dropped = 1;
    QHash<Key, int> widths;
    std::vector<ElementTexts> elements;
    std::vector<Reach> reaches;
    ReachIndex index;
    ReachKey reachKey{};
    bool reachesValid = false;
    QString style;
    QString numbers;
    LabelCanvas textCanvas;
    LabelCanvas outlineCanvas;
    bool deferring = false;
    bool putOff = false;
    int madeOnTheSpot = 0;
    std::vector<Deferred> deferred;
    std::unordered_set<Key, KeyHash> deferredKeys;
    std::unique_ptr<QThreadPool> pool;
    std::vector<std::pair<QString, std::unique_ptr<GlyphText>>> ownGlyphs;
};

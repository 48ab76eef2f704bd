#pragma once

#include "core/uncertainty.h"
#include "render/labelcache.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <functional>

class QPainter;
struct Telemente;
struct ViewState;

// The label font as the font dialog gives it: face and style, with the character height in
// pixels that applies at zoom 100, and the text colour.
QFont defaultLabelQFont();
struct LabelFont {
    QFont font = defaultLabelQFont();
    QColor color = QColor(255, 0, 0);
    // Character height in pixels at zoom 100, also for a font sized in points.
    int pixelHeight() const;
};

// Number settings of the value texts: unit, decimals for distances and for everything else.
struct NumberSettings {
    QString unit;
    int lengthDecimals = 2;
    int areaDecimals = 4;
    // Labels as "7.50 ± 0.03 m", the uncertainty from the placement of the points and from
    // scaleCovariance; with fitDecimals every value gets the decimals its uncertainty warrants.
    bool withUncertainty = false;
    bool fitDecimals = false;
    ScaleCovariance scaleCovariance;
    // Every side of a polyline or polygon labelled with its length in a smaller font.
    bool sideLabels = false;
};

// Turns the work's number settings into those its labels are drawn with (the label options the
// user chose), so that printouts and exports show the labels the screen shows.
using LabelNumbers = std::function<NumberSettings(NumberSettings)>;

// The value text of an element from its stored values; empty for types that show none. With u,
// the value's uncertainty follows it where the settings ask for it.
QString valueText(const Telemente &e, const NumberSettings &n, const ValueUncertainty *u = nullptr);
// The label of one side of a polyline or polygon: its length with the decimals of distances and,
// with u, its uncertainty where the settings ask for it.
QString sideLabelText(double length, const NumberSettings &n, const double *u = nullptr);
// Everything besides the element's own fields that its value text depends on, as one key.
QString valueTextKey(const NumberSettings &n);

// Round(zoom * height / 100), and 1 when that gives 0: a font always has a size.
int scaledFontHeight(int height, double zoom);
// The label font scaled by the zoom with all of its style, for horizontal texts.
QFont labelQFont(const LabelFont &font, double zoom);
// The font of labels along a line: face, weight and italic of the label font, scaled by the
// zoom, without underline or strike-out.
QFont rotatedLabelQFont(const LabelFont &font, double zoom);

// Black around light text and white around dark text.
QColor outlineColor(const QColor &text);

// Everything a label needs of its font, made once per repaint. With a cache, texts are drawn
// from (and rasterised into) it while the painter does not scale or rotate.
struct TextStyle {
    QFont font;
    QFontMetrics metrics;
    QColor color;
    bool outline = false;
    LabelCache *cache = nullptr;
    int cacheSlot = 0;
    // With the cache, the painting thread's glyph-by-glyph layout of texts in the font.
    GlyphText *glyphs = nullptr;
    int ascent = metrics.ascent();
    int height = metrics.height();
    // The text and outline colours, premultiplied, as the label images are put on the picture.
    QRgb fill = qPremultiply(color.rgba());
    QRgb ring = qPremultiply(outlineColor(color).rgba());
    // The output's paper aspect (see RenderInputs): texts are drawn narrower by it about their
    // top-left corner and turned by the angle that lies along their line on paper.
    double paperAspect = 1.0;
};
TextStyle makeTextStyle(const LabelFont &font, double zoom, bool outline);
TextStyle makeRotatedTextStyle(const LabelFont &font, double zoom, bool outline);

// TextWidth: the advance width of a text in the style's font.
int textWidth(const TextStyle &style, const QString &text);
// The same, measured once per text and style.
int textWidth(const TextStyle &style, LabelCache::Text &text);


// Rasterises the texts whose sprites the cache put off during the pass over the elements, on the
// cache's worker threads and this one, and keeps them in the cache; called before the text styles
// of that pass are gone.
void rasteriseDeferred(LabelCache &cache);

// Draws text with its top-left corner at (X, Y), turned clockwise by angle degrees about that
// corner; with the outline on, first 49 times in the outline colour at every offset of up to
// 3 pixels.
void mytextout(QPainter &p, const TextStyle &style, int X, int Y, const QString &text, double angle = 0);
// The same for the renderer, which finds the painter's pixels once per repaint and keeps what it
// learns about each text. A text that cannot reach the pixels is not drawn at all.
void mytextout(QPainter &p, const DirectPixels &pixels, const TextStyle &style, int X, int Y, LabelCache::Text &text,
               double angle = 0);

// The screen bounding box of an element's points.
struct ScreenBox {
    int minX = 0;
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    void start(QPoint p) { minX = maxX = p.x(); minY = maxY = p.y(); }
    void add(QPoint p);
};

// Top-left corners of the value text and of the name under a bounding box, centred.
struct HorizontalLabel {
    QPoint value;
    QPoint name;
};
HorizontalLabel horizontalLabelLayout(const ScreenBox &box, int valueWidth, int nameWidth, int valueHeight);

// Direction of a label along a segment, folded into -75..105 degrees so it never reads upside
// down; flipped tells that it was folded.
struct LabelDirection {
    double alpha = 0;
    bool flipped = false;
};
LabelDirection labelDirection(double dx, double dy);

// A label along the segment p1 -> p2 shifted by offset: the screen rotation of the text (in
// whole tenths of a degree, clockwise) and the top-left corners of value and name in image units.
struct RotatedLabel {
    double rotation = 0;
    bool flipped = false;
    QPointF value;
    QPointF name;
};
RotatedLabel rotatedLabelLayout(QPointF p1, QPointF p2, QPointF offset, double W, double zoom, int valueWidth,
                                int valueHeight, int nameWidth);

// The texts of an element's label made afresh unless the element's type, stored values and name
// are those they were made from.
void refreshLabelTexts(LabelCache::ElementTexts &texts, const Telemente &e, const NumberSettings &n,
                       const ValueUncertainty *u = nullptr);

// The text label: its text with the lower-left corner at P1; stores the text box's top-right
// corner in P2.
void drawTextLabel(QPainter &p, Telemente &e, const ViewState &view, const TextStyle &style);
void drawTextLabel(QPainter &p, const DirectPixels &pixels, Telemente &e, const ViewState &view,
                   const TextStyle &style, LabelCache::Text &text);
// Value and name centred under the bounding box.
void drawHorizontalLabel(QPainter &p, const TextStyle &style, const ScreenBox &box, const QString &value,
                         const QString &name);
void drawHorizontalLabel(QPainter &p, const DirectPixels &pixels, const TextStyle &style, const ScreenBox &box,
                         LabelCache::Text &value, LabelCache::Text &name);
// Value and name along the segment p1 -> p2.
void drawRotatedLabel(QPainter &p, const ViewState &view, const TextStyle &style, QPointF p1, QPointF p2,
                      QPointF offset, double W, const QString &value, const QString &name);
void drawRotatedLabel(QPainter &p, const DirectPixels &pixels, const ViewState &view, const TextStyle &style,
                      QPointF p1, QPointF p2, QPointF offset, double W, LabelCache::Text &value,
                      LabelCache::Text &name);

#include "core/elements.h"
#include "core/elementvalues.h"
#include "render/dimension.h"
#include "render/directpixels.h"
#include "render/drawlist.h"
#include "render/labelcache.h"
#include "render/pointmark.h"
#include "render/reachindex.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace {

// The slot of the side labels' glyph layout in the label cache, after the two label fonts.
constexpr int SideLabelGlyphs = 2;

// One pass over the document: the painter, the settings and what is derived from them once.
class ElementPainter
{
public:
    ElementPainter(QPainter &painter, Document &document, const RenderInputs &inputs, DrawList *list)
        : p(painter), doc(document), in(inputs), view(inputs.view), settings(inputs.settings),
          style(cached(makeTextStyle(settings.labelFont, view.zoom(), settings.outlineText), 0)),
          rotatedStyle(cached(makeRotatedTextStyle(settings.labelFont, view.zoom(), settings.outlineText), 1)),
          elementPen(settings.elementColor, elementPenWidth(view, settings), Qt::SolidLine, Qt::RoundCap,
                     Qt::RoundJoin),
          arrowBrush(settings.elementColor), W(arrowHalfWidth(settings.arrowLength)), marks(inputs.pass.pointMarksShown()),
          list(list), pixels(painter, list), reach(elementPen.width() + 2), culling(inputs.labelCache && pixels.usable()),
          area(pixels.area()), unit(view.zoom() / 100),
          direct(pixels.usable() && settings.elementColor.alpha() == 255),
          ink(settings.elementColor.rgba())
    {
        if (in.numbers.sideLabels) {
            LabelFont small = settings.labelFont;
            small.font.setPixelSize(std::max(1, std::abs(small.pixelHeight()) * 3 / 4));
            sideStyle.emplace(makeRotatedTextStyle(small, view.zoom(), settings.outlineText));
            sideStyle->paperAspect = in.paperAspect;
            // Side labels are not kept as images, but are put together from their glyphs.
            if (in.labelCache)
                sideStyle->glyphs = &in.labelCache->glyphs(SideLabelGlyphs, sideStyle->font);
        }
        // How far beyond the points of its element a drawing can reach, in screen pixels: the
        // pen, the point marks, and the arrow heads and ticks, which grow with the zoom.
        const double L = std::abs(settings.arrowLength) + std::abs(W);
        lineReach = reach + 8 + L * (1 + unit) * (1 + unit) * unit;
        // A label lies within its width and a few line heights of its anchor, and a label along
        // a line is pushed off it by a distance that grows with the zoom.
        const double lineHeight = std::max(std::abs(style.height), std::abs(rotatedStyle.height));
        labelReach = 6 * lineHeight + std::abs(W) * (1 + unit) * unit + 24;
    }

    void run()
    {
        if (in.labelCache)
            in.labelCache->setStyle(style.font.key() + QLatin1Char('|') + rotatedStyle.font.key() + QLatin1Char('|')
                                    + style.color.name(QColor::HexArgb) + (style.outline ? u'o' : u'-'));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBackgroundMode(Qt::TransparentMode);
        int chainStart = -1;
        const int count = doc.count();
        if (in.labelCache) {
            in.labelCache->setNumbers(valueTextKey(in.numbers));
            in.labelCache->startPass(count);
        }
        const bool known = culling && in.labelCache->reachesKnown(reachKey(), count);
        ReachIndex *index = culling ? &in.labelCache->reachIndex() : nullptr;
        if (known && index->built()) {
            // Only the elements that may reach the buffer are read at all.
            index->find(area.left() - view.ox(), area.right() + 1.0 - view.ox(), area.top() - view.oy(),
                        area.bottom() + 1.0 - view.oy(), candidates);
            // They lie scattered over a large document: what each needs is asked for a few
            // elements ahead, so that the waits for memory overlap.
            constexpr std::size_t Ahead = 4;
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                if (k + Ahead < candidates.size()) {
                    const int next = candidates[k + Ahead];
                    __builtin_prefetch(&in.labelCache->reach(next));
                    __builtin_prefetch(doc.element(next));
                    __builtin_prefetch(&in.labelCache->element(next));
                }
                visitKnown(candidates[k]);
                noteDraft();
            }
            return;
        }
        if (culling && !known)
            boxes.assign(static_cast<std::size_t>(count), ReachIndex::Box{});
        for (int i = 0; i < count; ++i) {
            noteDraft();
            if (known) {
                visitKnown(i);
                continue;
            }
            LabelCache::Reach *reach = culling ? &in.labelCache->reach(i) : nullptr;
            Telemente &e = *doc.element(i);
            if (e.nr == 0)
                chainStart = i;
            if (!culling || shown(i, e, reach))
                draw(i, e);
            if (reach) {
                reach->chainStart = chainStart;
                reach->closed = e.closed;
                boxes[static_cast<std::size_t>(i)] = reachBox(*reach, e, chainStart);
            }
            if (e.closed && chainStart >= 0)
                closeChain(e, *doc.element(chainStart));
        }
        if (culling && !known)
            index->build(boxes);
    }

private:
    // Once a label is put off, this repaint is made again from the labels' images: what it
    // draws until then is all it needs to draw.
    void noteDraft()
    {
        if (list && !draft && in.labelCache->putOffAny()) {
            draft = true;
            list->abandon();
        }
    }

    // One element of a repaint whose reaches are known: the same decision shown() would come
    // to, from what it worked out before.
    void visitKnown(int i)
    {
        const LabelCache::Reach &reach = in.labelCache->reach(i);
        const int chainStart = reach.chainStart;
        if (!reach.drawable || !seenScaled(reach.minX, reach.maxX, reach.minY, reach.maxY, reach.around)) {
            if (reach.closed && chainStart >= 0)
                closeChain(*doc.element(i), *doc.element(chainStart));
            return;
        }
        Telemente &e = *doc.element(i);
        draw(i, e);
        if (e.closed && chainStart >= 0)
            closeChain(e, *doc.element(chainStart));
    }

    // Where element i's drawing, and the line closing its chain, can reach, in the terms of
    // seenScaled and of the line's culling, without the scroll offset.
    ReachIndex::Box reachBox(const LabelCache::Reach &r, const Telemente &e, int chainStart) const
    {
        ReachIndex::Box box;
        const double around = r.around + 2;
        if (r.drawable)
            box = {r.minX - around, r.maxX + around, r.minY - around, r.maxY + around};
        if (e.closed && chainStart >= 0) {
            const Telemente &first = *doc.element(chainStart);
            // The screen mapping rounds by half a pixel at most.
            const double grow = static_cast<double>(reach) + 2;
            // By value: the packed record's fields may not be referenced.
            const double x2 = e.x2, y2 = e.y2, x1 = first.x1, y1 = first.y1;
            const ReachIndex::Box line{std::min(x2, x1) * unit - grow, std::max(x2, x1) * unit + grow,
                                       std::min(y2, y1) * unit - grow, std::max(y2, y1) * unit + grow};
            if (box.empty())
                box = line;
            else
                box = {std::min(box.minX, line.minX), std::max(box.maxX, line.maxX), std::min(box.minY, line.minY),
                       std::max(box.maxY, line.maxY)};
        }
        return box;
    }

    TextStyle cached(TextStyle s, int slot) const
    {
        s.cache = in.labelCache;
        s.cacheSlot = slot;
        if (in.labelCache)
            s.glyphs = &in.labelCache->glyphs(slot, s.font);
        s.paperAspect = in.paperAspect;
        return s;
    }

    QPoint S(double x, double y) const { return view.screen(x, y); }
    QPoint S(QPointF pt) const { return view.screen(pt); }

    // Before the painter draws itself, what was gathered for the pixels goes first.
    void usePen()
    {
        pixels.settle();
        p.setPen(elementPen);
        p.setBrush(Qt::NoBrush);
    }

    // Whether a drawing spanning these screen points can change a pixel of the back buffer; one
    // that cannot is left out, so a repaint costs what lies on screen, not the whole document.
    bool reaches(QPoint a, QPoint b) const { return pixels.touchesBox(a, b, reach); }
    bool reaches(const ScreenBox &box) const
    {
        return reaches(QPoint(box.minX, box.minY), QPoint(box.maxX, box.maxY));
    }

    // The element pen's lines and arrow heads in an opaque colour, the most common by far, go
    // straight into the pixels, where the paint engine's set-up would cost more than the few
    // hundred pixels of an element.
    void stroke(QPoint a, QPoint b)
    {
        const int width = elementPen.width();
        if (width == 1)
            pixels.line(a, b, ink);
        else
            pixels.wideLine(a, b, width, ink);
    }

    void line(QPoint a, QPoint b)
    {
        if (!reaches(a, b))
            return;
        if (direct) {
            stroke(a, b);
            return;
        }
        usePen();
        p.drawLine(a, b);
    }

    // The ellipse in the box of corners a and b. Drawn directly, it goes in as short chords, each
    // within a fifth of a pixel of the curve, their ends rounded to whole pixels.
    void ellipse(QPoint a, QPoint b)
    {
        const double cx = (static_cast<double>(a.x()) + b.x()) / 2;
        const double cy = (static_cast<double>(a.y()) + b.y()) / 2;
        const double rx = std::abs(static_cast<double>(b.x()) - a.x()) / 2;
        const double ry = std::abs(static_cast<double>(b.y()) - a.y()) / 2;
        constexpr double Far = 1 << 24;
        if (!direct || std::max(rx, ry) > Far || std::abs(cx) > Far || std::abs(cy) > Far) {
            usePen();
            p.drawEllipse(QRectF(QPointF(a), QPointF(b)).normalized());
            return;
        }
        // A chord of length s strays s * s / (8 r) from a circle of radius r.
        const int n = std::clamp(static_cast<int>(std::ceil(2 * std::numbers::pi * std::sqrt(std::max(rx, ry) / 1.6))),
                                 12, 8192);
        QPoint previous(static_cast<int>(std::lround(cx + rx)), static_cast<int>(std::lround(cy)));
        for (int k = 1; k <= n; ++k) {
            const double t = 2 * std::numbers::pi * k / n;
            const QPoint next(static_cast<int>(std::lround(cx + rx * std::cos(t))),
                              static_cast<int>(std::lround(cy + ry * std::sin(t))));
            stroke(previous, next);
            previous = next;
        }
    }

    void polyline(const QPoint *pts, int n)
    {
        if (direct) {
            for (int k = 0; k + 1 < n; ++k)
                stroke(pts[k], pts[k + 1]);
            return;
        }
        usePen();
        p.drawPolyline(pts, n);
    }

    void mark(double x, double y)
    {
        if (marks)
            endpunkt(p, pixels, view.screenX(x), view.screenY(y));
    }

    // The element's label texts: kept from the last repaint in the label cache while the element's
    // values and name stay the same, made afresh without one.
    LabelCache::ElementTexts &texts(int i, const Telemente &e)
    {
        LabelCache::ElementTexts &t = in.labelCache ? in.labelCache->element(i) : scratch;
        if (!in.labelCache)
            t = LabelCache::ElementTexts{};
        if (in.numbers.withUncertainty || in.numbers.fitDecimals) {
            const ValueUncertainty u =
                valueUncertainty(shapeOf(e), doc.placementZoom(i), in.scale, in.numbers.scaleCovariance);
            refreshLabelTexts(t, e, in.numbers, &u);
        } else {
            refreshLabelTexts(t, e, in.numbers);
        }
        return t;
    }

    // The bounding box of an element's points in image units, grown by grow.
    struct ImageBox {
        double minX = 0;
        double minY = 0;
        double maxX = 0;
        double maxY = 0;
        void start(double x, double y)
        {
            minX = maxX = x;
            minY = maxY = y;
        }
        void add(double x, double y)
        {
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    };

    // What the reaches of this repaint's elements follow besides the label style and numbers.
    LabelCache::ReachKey reachKey() const
    {
        const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
        const std::array<std::uint64_t, 5> scale = scaleBits(in.scale);
        return {doc.revision(), bits(unit), bits(lineReach), bits(labelReach), scale[0], scale[1], scale[2], scale[3],
                scale[4]};
    }

    // Whether anything of a drawing within the box, grown by r screen pixels, can land on the
    // back buffer. Worked out in plain floating point: the slack covers the rounding of the
    // screen mapping, and a box with an infinite or undefined side always counts as seen.
    bool seen(const ImageBox &b, double r) const
    {
        return seenScaled(b.minX * unit, b.maxX * unit, b.minY * unit, b.maxY * unit, r);
    }
    // The same for a box already multiplied by the zoom factor.
    bool seenScaled(double minX, double maxX, double minY, double maxY, double r) const
    {
        const double x0 = minX + view.ox();
        const double x1 = maxX + view.ox();
        const double y0 = minY + view.oy();
        const double y1 = maxY + view.oy();
        if (!std::isfinite(x0 + x1 + y0 + y1 + r))
            return true;
        r += 2;
        return x1 + r >= area.left() && x0 - r <= area.right() + 1 && y1 + r >= area.top() &&
               y0 - r <= area.bottom() + 1;
    }

    // Label reach around the element's points for its value and name in this style.
    double labelsReach(int i, const Telemente &e, const TextStyle &s)
    {
        LabelCache::ElementTexts &t = texts(i, e);
        const int widest = std::max(std::abs(textWidth(s, t.value)), std::abs(textWidth(s, t.name)));
        return 2.0 * widest + labelReach;
    }

    // Whether the element can change a pixel of the back buffer; an element that cannot is left
    // out before any of its drawing is worked out, so that a repaint costs what lies on screen
    // rather than the whole document. A text label left out still stores its text box. What
    // was worked out goes into reach when given.
    bool shown(int i, Telemente &e, LabelCache::Reach *reach)
    {
        ImageBox box;
        double r = 0;
        int textWidthShown = 0;
        if (!extent(i, e, box, r, textWidthShown))
            return false;
        if (reach) {
            reach->drawable = true;
            reach->minX = box.minX * unit;
            reach->maxX = box.maxX * unit;
            reach->minY = box.minY * unit;
            reach->maxY = box.maxY * unit;
            reach->around = r;
        }
        if (seen(box, r))
            return true;
        if (e.typ == TypText) {
            // Written again at every repaint that passes over it, so that it follows the zoom; a
            // repaint that leaves it out unread finds it as this one left it.
            e.x2 = e.x1 + textWidthShown * 100 / view.zoom();
            e.y2 = e.y1 - style.height * 100 / view.zoom();
        }
        return false;
    }

    // The box of the element's points and the screen pixels r around it that its drawing can
    // reach, with a text label's width; false for an element of which nothing is drawn.
    bool extent(int i, Telemente &e, ImageBox &box, double &r, int &width)
    {
        r = lineReach;
        switch (e.typ) {
        case TypText:
            width = textWidth(style, texts(i, e).name);
            box.start(e.x1, e.y1);
            r = 2.0 * std::abs(width) + labelReach;
            return true;
        case TypRectangle:
        case TypEllipse:
            box.start(e.x1, e.y1);
            box.add(e.x2, e.y2);
            r += labelsReach(i, e, style);
            break;
        case TypDistance:
        case TypScaleLine: {
            // The dimension line runs through p3 parallel to p1 -> p2, so no farther from p1 and
            // p2 than p3 lies from p1.
            const double far = std::abs(e.x3 - e.x1) + std::abs(e.y3 - e.y1);
            box.start(e.x1, e.y1);
            box.add(e.x2, e.y2);
            box.minX -= far;
            box.minY -= far;
            box.maxX += far;
            box.maxY += far;
            r += far * unit * 0.01 + 1 + labelsReach(i, e, rotatedStyle);
            break;
        }
        case TypPolygon:
        case TypPolyline:
        case TypAngle: {
            const int n = Document::vertexCount(e);
            if (n == 0)
                return false;
            const auto *v = static_cast<const Tvertex *>(e.vert->block());
            box.start(v[0].x, v[0].y);
            for (int k = 1; k < n; ++k)
                box.add(v[k].x, v[k].y);
            r += labelsReach(i, e, e.typ == TypPolygon ? style : rotatedStyle);
            break;
        }
        case TypLine:
            box.start(e.x1, e.y1);
            box.add(e.x2, e.y2);
            break;
        case TypQuadCurve:
        case TypCubicCurve:
            box.start(e.x1, e.y1);
            box.add(e.x2, e.y2);
            box.add(e.x3, e.y3);
            box.add(e.x4, e.y4);
            break;
        default:
            return false;
        }
        return true;
    }

    void draw(int i, Telemente &e)
    {
        switch (e.typ) {
        case TypText:
            drawTextLabel(p, pixels, e, view, style, texts(i, e).name);
            if (e.selected)
                mark(e.x1, e.y1);
            break;
        case TypRectangle:
        case TypEllipse:
            drawBox(i, e);
            break;
        case TypDistance:
            drawDistance(i, e);
            break;
        case TypScaleLine:
            if (settings.showScaleLine)
                drawDistance(i, e);
            break;
        case TypPolygon:
        case TypPolyline:
        case TypAngle:
            drawVertexElement(i, e);
            break;
        case TypLine:
            if (e.nr == 0)
                mark(e.x1, e.y1);
            mark(e.x2, e.y2);
            line(S(e.x1, e.y1), S(e.x2, e.y2));
            break;
        case TypQuadCurve:
        case TypCubicCurve:
            drawCurve(e);
            break;
        default:
            break;
        }
    }

    void drawBox(int i, Telemente &e)
    {
        if (e.selected) {
            mark(e.x1, e.y1);
            mark(e.x2, e.y2);
        }
        const QPoint a = S(e.x1, e.y1);
        const QPoint b = S(e.x2, e.y2);
        if (reaches(a, b) && e.typ == TypRectangle) {
            const QPoint corners[5] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()), a};
            polyline(corners, 5);
        } else if (reaches(a, b)) {
            ellipse(a, b);
        }
        ScreenBox box;
        box.start(a);
        box.add(b);
        LabelCache::ElementTexts &t = texts(i, e);
        drawHorizontalLabel(p, pixels, style, box, t.value, t.name);
    }

    void fillArrow(const ArrowHead &drawn)
    {
        const ArrowHead head = in.paperAspect == 1.0 ? drawn : uprightArrow(drawn, in.paperAspect);
        const QPoint pts[3] = {S(head[0]), S(head[1]), S(head[2])};
        ScreenBox box;
        box.start(pts[0]);
        box.add(pts[1]);
        box.add(pts[2]);
        if (!reaches(box))
            return;
        if (direct) {
            pixels.triangle(pts[0], pts[1], pts[2], ink);
            return;
        }
        pixels.settle();
        p.setPen(noPen);
        p.setBrush(arrowBrush);
        p.drawPolygon(pts, 3);
    }

    void drawDistance(int i, Telemente &e)
    {
        const QPointF p1(e.x1, e.y1);
        const QPointF p2(e.x2, e.y2);
        const DimensionGeometry g = distanceDimension(p1, p2, QPointF(e.x3, e.y3), settings.arrowLength);
        line(S(g.dimensionLine.p1()), S(g.dimensionLine.p2()));
        line(S(g.extension1.p1()), S(g.extension1.p2()));
        line(S(g.extension2.p1()), S(g.extension2.p2()));
        fillArrow(g.start);
        fillArrow(g.end);
        LabelCache::ElementTexts &t = texts(i, e);
        drawRotatedLabel(p, pixels, view, rotatedStyle, p1, p2, g.offset, W, t.value, t.name);
        if (e.selected) {
            mark(e.x1, e.y1);
            mark(e.x2, e.y2);
            mark(e.x3, e.y3);
        }
    }

    void drawVertexElement(int i, Telemente &e)
    {
        const int n = Document::vertexCount(e);
        const auto *v = n > 0 ? static_cast<const Tvertex *>(e.vert->block()) : nullptr;
        ScreenBox box;
        points.clear();
        for (int k = 0; k < n; ++k) {
            points.push_back(S(v[k].x, v[k].y));
            if (k == 0)
                box.start(points.back());
            else
                box.add(points.back());
        }
        if (n >= 2 && reaches(box))
            polyline(points.data(), n);
        if (e.selected)
            for (int k = 0; k < n; ++k)
                mark(v[k].x, v[k].y);

        if (sideStyle && (e.typ == TypPolygon || e.typ == TypPolyline))
            drawSideLabels(i, e, v, n);
        if (e.typ == TypPolygon) {
            if (n > 0) {
                LabelCache::ElementTexts &t = texts(i, e);
                drawHorizontalLabel(p, pixels, style, box, t.value, t.name);
            }
            return;
        }
        // Arrow heads, ticks and the label along the last segment need a segment.
        if (n < 2)
            return;
        const bool arrows = e.typ == TypPolyline;
        const QPointF first(v[0].x, v[0].y);
        const QPointF second(v[1].x, v[1].y);
        if (arrows) {
            const SegmentEnd start = polylineStart(first, second, settings.arrowLength, view.zoom());
            line(S(start.tick.p1()), S(start.tick.p2()));
            fillArrow(start.arrow);
        }
        const QPointF before(v[n - 2].x, v[n - 2].y);
        const QPointF last(v[n - 1].x, v[n - 1].y);
        if (arrows) {
            const SegmentEnd finish = polylineFinish(before, last, settings.arrowLength, view.zoom());
            line(S(finish.tick.p1()), S(finish.tick.p2()));
            fillArrow(finish.arrow);
        }
        LabelCache::ElementTexts &t = texts(i, e);
        drawRotatedLabel(p, pixels, view, rotatedStyle, before, last, QPointF(0, 0), W, t.value, t.name);
    }

    // Each side's length beside it, across the side from where a polyline's own label sits, so
    // that the last side shows both. A polyline of one side has its length in its own label.
    void drawSideLabels(int i, const Telemente &e, const Tvertex *v, int n)
    {
        if (n < 2 || (e.typ == TypPolyline && n == 2))
            return;
        const Shape shape = shapeOf(e);
        const bool withUncertainty = in.numbers.withUncertainty || in.numbers.fitDecimals;
        const double zoomPlaced = doc.placementZoom(i);
        const double gap = view.zoom() * W / 100;
        const double height = sideStyle->height * 100 / view.zoom();
        for (int k = 0; k + 1 < n; ++k) {
            const QPointF a(v[k].x, v[k].y);
            const QPointF b(v[k + 1].x, v[k + 1].y);
            if (!reaches(S(a), S(b)))
                continue;
            const std::size_t side = static_cast<std::size_t>(k);
            double u = 0;
            if (withUncertainty)
                u = segmentUncertainty(shape, side, zoomPlaced, in.scale, in.numbers.scaleCovariance).lang;
            LabelCache::Text value{
                sideLabelText(segmentValue(shape, side, in.scale).length, in.numbers, withUncertainty ? &u : nullptr)};
            LabelCache::Text none;
            const double dx = b.x() - a.x();
            const double dy = b.y() - a.y();
            const double length = std::max(std::hypot(dx, dy), 1e-12);
            const QPointF labelSide =
                labelDirection(dx, dy).flipped ? QPointF(dy, -dx) / length : QPointF(-dy, dx) / length;
            drawRotatedLabel(p, pixels, view, *sideStyle, a, b, -labelSide * (2 * gap + height), W, value, none);
        }
    }

    void handle(const QPoint *pts, int n)
    {
        pixels.settle();
        p.setBrush(Qt::NoBrush);
        p.setPen(handleUnder);
        p.drawPolyline(pts, n);
        p.setPen(handleOver);
        p.drawPolyline(pts, n);
    }

    void drawCurve(const Telemente &e)
    {
        const QPointF p1(e.x1, e.y1);
        const QPointF p2(e.x2, e.y2);
        const QPointF p3(e.x3, e.y3);
        const QPointF p4(e.x4, e.y4);
        const bool quadratic = e.typ == TypQuadCurve;
        // The curve and its handles stay inside the box of its points.
        ScreenBox box;
        box.start(S(p1));
        box.add(S(p2));
        box.add(S(p3));
        box.add(S(p4));
        const bool seen = reaches(box);
        if (seen && !in.pass.withoutMarks) {
            if (quadratic) {
                const QPoint h[3] = {S(p1), S(p3), S(p2)};
                handle(h, 3);
            } else {
                const QPoint h1[2] = {S(p1), S(p3)};
                const QPoint h2[2] = {S(p4), S(p2)};
                handle(h1, 2);
                handle(h2, 2);
            }
        }
        if (e.nr == 0)
            mark(e.x1, e.y1);
        mark(e.x2, e.y2);
        mark(e.x3, e.y3);
        if (!quadratic)
            mark(e.x4, e.y4);

        const QPointF c1 = quadratic ? p1 + 2.0 / 3.0 * (p3 - p1) : p3;
        const QPointF c2 = quadratic ? p3 + 1.0 / 3.0 * (p2 - p3) : p4;
        QPainterPath path(QPointF(S(p1)));
        path.cubicTo(QPointF(S(c1)), QPointF(S(c2)), QPointF(S(p2)));
        usePen();
        if (seen)
            p.drawPath(path);
    }

    void closeChain(const Telemente &e, const Telemente &first)
    {
        line(S(e.x2, e.y2), S(first.x1, first.y1));
    }

    QPainter &p;
    Document &doc;
    const RenderInputs &in;
    const ViewState &view;
    const DrawingSettings &settings;
    const TextStyle style;
    const TextStyle rotatedStyle;
    const QPen elementPen;
    const QBrush arrowBrush;
    const QPen noPen{Qt::NoPen};
    const QPen handleUnder{QColor(0, 0, 0), 3};
    const QPen handleOver{QColor(255, 255, 255), 1};
    const double W;
    const bool marks;
    DrawList *const list;
    bool draft = false;
    const DirectPixels pixels;
    const long long reach;
    const bool culling;
    const QRect area;
    const double unit;
    const bool direct;
    const QRgb ink;
    double lineReach = 0;
    double labelReach = 0;
    std::vector<QPoint> points;
    std::vector<int> candidates;
    std::vector<ReachIndex::Box> boxes;
    LabelCache::ElementTexts scratch;
    std::optional<TextStyle> sideStyle;
};

}

int elementPenWidth(const ViewState &view, const DrawingSettings &settings)
{
    const long long w = view.scaledRound(settings.lineWidth);
    return w <= 0 ? 1 : static_cast<int>(std::min<long long>(w, 1 << 20));
}

void drawElements(QPainter &p, Document &doc, const RenderInputs &in, DrawList *list)
{
    if (in.valueCache)
        in.valueCache->refresh(doc, in.scale, in.settings.showScaleLine);
    else
        refreshElementValues(doc, in.scale, in.settings.showScaleLine);
    ElementPainter painter(p, doc, in, list);
    painter.run();
    // The second thread goes back to the pool, where the put-off texts need it.
    if (list)
        list->finish();
    // While the pass's text styles last, which the put-off texts refer to.
    if (in.labelCache)
        rasteriseDeferred(*in.labelCache);
    // Text boxes follow the zoom of the last pass; one for another view (a printout, an export)
    // leaves them where the screen's records of the document do not expect them.
    if (!in.labelCache)
        doc.touch();
}

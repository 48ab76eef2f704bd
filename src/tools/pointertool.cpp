#include "tools/pointertool.h"

#include "core/elements.h"
#include "tools/hittest.h"
#include "tools/toolcontext.h"
#include "tools/toolhost.h"

#include <vector>

void shiftElement(Telemente &e, double dx, double dy)
{
    e.x1 += dx;
    e.y1 += dy;
    e.x2 += dx;
    e.y2 += dy;
    e.x3 += dx;
    e.y3 += dy;
    for (int i = 0; i < Document::vertexCount(e); ++i) {
        Tvertex *v = Document::vertex(e.vert, i);
        v->x += dx;
        v->y += dy;
    }
}

void unselectall(Document &doc)
{
    for (int i = 0; i < doc.count(); ++i)
        doc.element(i)->selected = false;
}

namespace {

bool isVertexType(int typ)
{
    return typ == TypAngle || typ == TypPolygon || typ == TypPolyline;
}

// How many of points 1 to 4 the pointer can grab on an element of this type.
int grabbablePoints(int typ)
{
    switch (typ) {
    case TypRectangle:
    case TypEllipse:
    case TypText:
        return 2;
    case TypDistance:
    case TypScaleLine:
        return 3;
    default:
        return 0;
    }
}

} // namespace

void PointerTool::press(QPoint pos)
{
    Document &doc = ctx.document();
    pointDrag = false;
    for (int i = 0; i < doc.count(); ++i) {
        Telemente &e = *doc.element(i);
        e.dragvert = e.dragit1 = e.dragit2 = e.dragit3 = e.dragit4 = false;
    }
    const QPointF p = ctx.host.screenToImage(pos);
    pressX = p.x();
    pressY = p.y();
    if (!grabPoints(pos)) {
        unselectall(doc);
        selectByOutline(pos);
    }
    ctx.host.repaint();
}

bool PointerTool::grabPoints(QPoint pos)
{
    Document &doc = ctx.document();
    const QPoint scroll = ctx.host.scrollPosition();
    const int x = pos.x() + scroll.x();
    const int y = pos.y() + scroll.y();
    const double zoom = ctx.host.zoom();
    for (int i = 0; i < doc.count(); ++i) {
        Telemente &e = *doc.element(i);
        if (!e.selected)
            continue;
        if (isVertexType(e.typ)) {
            for (int k = 0; k < Document::vertexCount(e); ++k) {
                const Tvertex v = *Document::vertex(e.vert, k);
                if (!clickonpunkt(x, y, v.x, v.y, zoom))
                    continue;
                pointDrag = true;
                e.dragvert = true;
                e.dragvertnr = k;
                e.ox1 = v.x;
                e.oy1 = v.y;
            }
            continue;
        }
        const int points = grabbablePoints(e.typ);
        if (points >= 1 && clickonpunkt(x, y, e.x1, e.y1, zoom)) {
            pointDrag = e.dragit1 = true;
            e.ox1 = e.x1;
            e.oy1 = e.y1;
        }
        if (points >= 2 && clickonpunkt(x, y, e.x2, e.y2, zoom)) {
            pointDrag = e.dragit2 = true;
            e.ox2 = e.x2;
            e.oy2 = e.y2;
        }
        if (points >= 3 && clickonpunkt(x, y, e.x3, e.y3, zoom)) {
            pointDrag = e.dragit3 = true;
            e.ox3 = e.x3;
            e.oy3 = e.y3;
        }
    }
    return pointDrag;
}

void PointerTool::selectByOutline(QPoint pos)
{
    Document &doc = ctx.document();
    ToolHost &host = ctx.host;
    const ImageToScreen toScreen = [&host](double x, double y) { return host.imageToScreen(x, y); };
    for (int i = 0; i < doc.count(); ++i) {
        Telemente &e = *doc.element(i);
        const QSize extent = e.typ == TypText ? host.labelTextExtent(Document::name(e)) : QSize();
        if (!outlineHit(e, pos, toScreen, extent))
            continue;
        e.selected = true;
        elementMove = true;
        movePressX = pos.x();
        movePressY = pos.y();
        movedIndex = i;
        return;
    }
}

void PointerTool::move(QPoint pos)
{
    if (elementMove)
        previewMove(pos);
    else if (pointDrag)
        dragPoints(pos);
}

void PointerTool::dragPoints(QPoint pos)
{
    Document &doc = ctx.document();
    const QPointF p = ctx.host.screenToImage(pos);
    sx = p.x() - pressX;
    sy = p.y() - pressY;
    for (int i = 0; i < doc.count(); ++i) {
        Telemente &e = *doc.element(i);
        const int vertices = Document::vertexCount(e);
        if (e.dragvert && e.dragvertnr >= 0 && e.dragvertnr < vertices) {
            const double x = e.ox1 + sx;
            const double y = e.oy1 + sy;
            *Document::vertex(e.vert, e.dragvertnr) = {x, y};
            // The closing copy of a polygon's first vertex keeps the outline closed.
            if (e.typ == TypPolygon) {
                if (e.dragvertnr == 0)
                    *Document::vertex(e.vert, vertices - 1) = {x, y};
                else if (e.dragvertnr == vertices - 1)
                    *Document::vertex(e.vert, 0) = {x, y};
            }
        }
        if (e.dragit1) {
            e.x1 = e.ox1 + sx;
            e.y1 = e.oy1 + sy;
        }
        if (e.dragit2) {
            e.x2 = e.ox2 + sx;
            e.y2 = e.oy2 + sy;
        }
        if (e.dragit3) {
            e.x3 = e.ox3 + sx;
            e.y3 = e.oy3 + sy;
        }
        if (e.dragit4) {
            e.x4 = e.ox4 + sx;
            e.y4 = e.oy4 + sy;
        }
    }
    ctx.host.repaint();
}

QPointF PointerTool::moveShift(QPoint pos) const
{
    const double zoom = ctx.host.zoom();
    return {(pos.x() - movePressX) * 100.0 / zoom, (pos.y() - movePressY) * 100.0 / zoom};
}

void PointerTool::previewMove(QPoint pos)
{
    Document &doc = ctx.document();
    if (movedIndex < 0 || movedIndex >= doc.count()) {
        cancel();
        return;
    }
    // The stored element stays put until the release; it is restored from a copy rather than
    // shifted back, so repeated moves cannot let rounding creep into it.
    Telemente &e = *doc.element(movedIndex);
    const Telemente saved = e;
    std::vector<Tvertex> vertices;
    for (int i = 0; i < Document::vertexCount(e); ++i)
        vertices.push_back(*Document::vertex(e.vert, i));
    const QPointF shift = moveShift(pos);
    shiftElement(e, shift.x(), shift.y());
    ctx.host.repaint();
    Telemente &shown = *doc.element(movedIndex);
    shown.x1 = saved.x1;
    shown.y1 = saved.y1;
    shown.x2 = saved.x2;
    shown.y2 = saved.y2;
    shown.x3 = saved.x3;
    shown.y3 = saved.y3;
    const int count = Document::vertexCount(shown);
    for (int i = 0; i < count && i < static_cast<int>(vertices.size()); ++i)
        *Document::vertex(shown.vert, i) = vertices[static_cast<std::size_t>(i)];
    doc.touch();
}

void PointerTool::release(QPoint pos)
{
    if (elementMove) {
        elementMove = false;
        Document &doc = ctx.document();
        if (movedIndex >= 0 && movedIndex < doc.count()) {
            const QPointF shift = moveShift(pos);
            shiftElement(*doc.element(movedIndex), shift.x(), shift.y());
        }
        return;
    }
    if (pointDrag) {
        pointDrag = false;
        Document &doc = ctx.document();
        for (int i = 0; i < doc.count(); ++i) {
            const Telemente &e = *doc.element(i);
            if (e.dragvert || e.dragit1 || e.dragit2)
                doc.notePlacementZoom(i, ctx.host.zoom());
        }
        ctx.host.repaint();
    }
}

void PointerTool::cancel()
{
    elementMove = false;
    pointDrag = false;
    movedIndex = -1;
}

void PointerTool::putBack()
{
    // A move changes the stored element only on its release, so only dragged points go back.
    if (pointDrag) {
        Document &doc = ctx.document();
        for (int i = 0; i < doc.count(); ++i) {
            Telemente &e = *doc.element(i);
            const int vertices = Document::vertexCount(e);
            if (e.dragvert && e.dragvertnr >= 0 && e.dragvertnr < vertices) {
                *Document::vertex(e.vert, e.dragvertnr) = {e.ox1, e.oy1};
                if (e.typ == TypPolygon) {
                    if (e.dragvertnr == 0)
                        *Document::vertex(e.vert, vertices - 1) = {e.ox1, e.oy1};
                    else if (e.dragvertnr == vertices - 1)
                        *Document::vertex(e.vert, 0) = {e.ox1, e.oy1};
                }
            }
            if (e.dragit1) {
                e.x1 = e.ox1;
                e.y1 = e.oy1;
            }
            if (e.dragit2) {
                e.x2 = e.ox2;
                e.y2 = e.oy2;
            }
            if (e.dragit3) {
                e.x3 = e.ox3;
                e.y3 = e.oy3;
            }
            if (e.dragit4) {
                e.x4 = e.ox4;
                e.y4 = e.oy4;
            }
            e.dragvert = e.dragit1 = e.dragit2 = e.dragit3 = e.dragit4 = false;
        }
    }
    cancel();
}

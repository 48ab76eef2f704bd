#include "tools/measuringtool.h"

#include "core/elements.h"
#include "tools/toolcontext.h"

#include <cmath>

void MeasuringTool::press(QPoint pos)
{
    if (ctx.construction.constructing)
        nextPress(pos);
    else
        firstPress(pos);
}

void MeasuringTool::firstPress(QPoint pos)
{
    QPointF start = ctx.host.screenToImage(pos);
    ctx.snap(pos, start);
    Construction &c = ctx.construction;
    c.constructing = true;
    c.placedSegments = 0;
    c.startx = start.x();
    c.starty = start.y();
}

QPointF MeasuringTool::candidate(QPoint pos)
{
    QPointF t = ctx.host.screenToImage(pos);
    if (!ctx.host.anyCtrl())
        ctx.snap(pos, t);
    constrain(ctx.construction.start(), t);
    ctx.construction.candidateX = t.x();
    ctx.construction.candidateY = t.y();
    return t;
}

void MeasuringTool::nextPress(QPoint pos)
{
    Construction &c = ctx.construction;
    const QPointF end = candidate(pos);
    c.endx = end.x();
    c.endy = end.y();
    beforePlace();
    double createdLength = -1;
    if (!extendOpenElement(end)) {
        if (!appendElement(end)) {
            // Out of memory (already reported): nothing half-built is left to continue.
            c.constructing = false;
            ctx.host.repaint();
            return;
        }
        createdLength = std::hypot(end.x() - c.startx, end.y() - c.starty);
    }
    ctx.document().notePlacementZoom(ctx.document().count() - 1, ctx.host.zoom());
    c.startx = end.x();
    c.starty = end.y();
    afterPlace(createdLength);
}

bool MeasuringTool::appendElement(QPointF end)
{
    Document &doc = ctx.document();
    Construction &c = ctx.construction;
    Telemente *e = doc.appendElement();
    if (!e)
        return false;
    e->typ = elementType();
    e->nr = c.placedSegments;
    e->closed = false;
    e->x1 = c.startx;
    e->y1 = c.starty;
    e->x2 = e->x3 = end.x();
    e->y2 = e->y3 = end.y();
    e->x4 = e->y4 = 0;
    if (hasVertices()
        && !(Document::appendVertex(e->vert, c.startx, c.starty) && Document::appendVertex(e->vert, end.x(), end.y()))) {
        doc.deleteElement(doc.count() - 1);
        return false;
    }
    ++c.placedSegments;
    return true;
}

void MeasuringTool::move(QPoint pos)
{
    ToolHost &host = ctx.host;
    host.renderWithoutShowing();
    const QPointF t = candidate(pos);
    const QPointF s = ctx.construction.start();
    host.drawRubberBand({rubberShape(), host.imageToScreen(s.x(), s.y()), host.imageToScreen(t.x(), t.y())});
    host.showBackBuffer();
}

void MeasuringTool::finishElement()
{
    ctx.construction.constructing = false;
    ctx.host.repaint();
    ctx.askNameOfLast();
    ctx.returnToPointer();
}

int ChainLineTool::elementType() const
{
    return TypLine;
}

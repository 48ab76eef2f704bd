#include "tools/distancetools.h"

#include "core/elements.h"
#include "core/geometry.h"
#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void DistanceLikeTool::constrain(QPointF start, QPointF &t) const
{
    double x = t.x();
    double y = t.y();
    axisConstraint(start.x(), start.y(), x, y, ctx.host.anyCtrl(), ctx.host.alt());
    t = QPointF(x, y);
}

int DistanceTool::elementType() const
{
    return TypDistance;
}

void DistanceTool::move(QPoint pos)
{
    Telemente *last = ctx.lastElement();
    if (ctx.construction.placedSegments < 1 || !last) {
        DistanceLikeTool::move(pos);
        return;
    }
    const QPointF p = ctx.host.screenToImage(pos);
    last->x3 = p.x();
    last->y3 = p.y();
    ctx.host.repaint();
}

bool DistanceTool::extendOpenElement(QPointF end)
{
    Telemente *last = ctx.lastElement();
    if (ctx.construction.placedSegments <= 0 || !last)
        return false;
    last->x3 = end.x();
    last->y3 = end.y();
    ++ctx.construction.placedSegments;
    return true;
}

void DistanceTool::afterPlace(double)
{
    ctx.host.repaint();
    if (ctx.construction.placedSegments <= 1)
        return;
    ctx.construction.constructing = false;
    if (Telemente *last = ctx.lastElement()) {
        last->x4 = 0;
        askInclination(ctx.document().count() - 1);
    }
    ctx.askNameOfLast();
    ctx.returnToPointer();
}

void InclinedDistanceTool::askInclination(int index)
{
    double degrees = 0;
    if (!ctx.host.askInclination(degrees))
        return;
    Document &doc = ctx.document();
    if (index >= doc.count())
        return;
    doc.element(index)->x4 = degrees;
    // The length shown divides by the cosine of the inclination; show it at once.
    ctx.host.repaint();
}

int ScaleLineTool::elementType() const
{
    return TypScaleLine;
}

void ScaleLineTool::beforePlace()
{
    Document &doc = ctx.document();
    for (int i = doc.count() - 1; i >= 0; --i)
        if (doc.element(i)->typ == TypScaleLine)
            doc.deleteElement(i);
}

void ScaleLineTool::afterPlace(double createdLength)
{
    ctx.construction.constructing = false;
    if (createdLength >= 0) {
        ctx.host.setScale(createdLength, createdLength);
        ctx.host.runNumericScaleCommand();
    }
    ctx.returnToPointer();
}

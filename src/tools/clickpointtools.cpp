#include "tools/clickpointtools.h"

#include "core/elements.h"
#include "core/geometry.h"
#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void ClickPointTool::constrain(QPointF start, QPointF &t) const
{
    double x = t.x();
    double y = t.y();
    axisConstraint(start.x(), start.y(), x, y, ctx.host.anyCtrl(), ctx.host.alt());
    t = QPointF(x, y);
}

bool ClickPointTool::extendOpenElement(QPointF end)
{
    Telemente *last = ctx.lastElement();
    if (ctx.construction.placedSegments <= 0 || !last)
        return false;
    if (last->vert && Document::appendVertex(last->vert, end.x(), end.y()))
        vertexAppended(ctx.document().count() - 1);
    return true;
}

int PolygonTool::elementType() const
{
    return TypPolygon;
}

int PolylineTool::elementType() const
{
    return TypPolyline;
}

int AngleTool::elementType() const
{
    return TypAngle;
}

void AngleTool::vertexAppended(int index)
{
    Telemente &e = *ctx.document().element(index);
    if (Document::vertexCount(e) != 3)
        return;
    const Tvertex a = *Document::vertex(e.vert, 0);
    const Tvertex apex = *Document::vertex(e.vert, 1);
    const Tvertex b = *Document::vertex(e.vert, 2);
    e.winkel = apexAngle(a.x, a.y, apex.x, apex.y, b.x, b.y);
    finishElement();
}

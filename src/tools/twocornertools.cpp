#include "tools/twocornertools.h"

#include "core/elements.h"
#include "core/geometry.h"
#include "tools/toolcontext.h"
#include "tools/toolhost.h"

void TwoCornerTool::constrain(QPointF start, QPointF &t) const
{
    if (!ctx.host.leftCtrl())
        return;
    double x = t.x();
    double y = t.y();
    squareConstraint(start.x(), start.y(), x, y);
    t = QPointF(x, y);
}

void TwoCornerTool::afterPlace(double)
{
    finishElement();
}

int RectangleTool::elementType() const
{
    return TypRectangle;
}

int EllipseTool::elementType() const
{
    return TypEllipse;
}

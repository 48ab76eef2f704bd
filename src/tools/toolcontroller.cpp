#include "tools/toolcontroller.h"

#include "core/elements.h"
#include "tools/toolhost.h"

ToolController::ToolController(ToolHost &host) : ctx(host) {}

void ToolController::setTool(ToolId id)
{
    ctx.current = id;
}

MeasuringTool *ToolController::measuringTool()
{
    switch (ctx.current) {
    case ToolId::Distance:
        return &distance;
    case ToolId::Polyline:
        return &polyline;
    case ToolId::Polygon:
        return &polygon;
    case ToolId::Rectangle:
        return &rectangle;
    case ToolId::Ellipse:
        return &ellipse;
    case ToolId::Inclined:
        return &inclined;
    case ToolId::Scale:
        return &scaleLine;
    case ToolId::Angle:
        return &angle;
    default:
        return nullptr;
    }
}

void ToolController::mousePress(Qt::MouseButton button, QPoint pos)
{
    if (button == Qt::RightButton) {
        rightPress();
        return;
    }
    if (ctx.current == ToolId::Pointer) {
        pointerTool.press(pos);
        return;
    }
    if (ctx.current == ToolId::Hand) {
        handTool.press(pos);
        return;
    }
    MeasuringTool *measuring = measuringTool();
    if (ctx.construction.inlinie && !measuring)
        chainLine.press(pos);
    else if (ctx.current == ToolId::Text)
        textTool.press(pos);
    else if (measuring)
        measuring->press(pos);
}

void ToolController::rightPress()
{
    Construction &c = ctx.construction;
    // Only the polygon this construction made is closed: closing an earlier, finished polygon
    // again would put a second closing vertex into it.
    const bool polygonOpen = c.inlinie && c.lastnr > 0;
    c.inlinie = false;
    Telemente *last = ctx.lastElement();
    if (ctx.current == ToolId::Polygon && polygonOpen && last && last->typ == TypPolygon
        && Document::vertexCount(*last) > 0) {
        const Tvertex first = *Document::vertex(last->vert, 0);
        Document::appendVertex(last->vert, first.x, first.y);
    }
    ctx.host.repaint();
    ctx.askNameOfLast();
    ctx.returnToPointer();
}

void ToolController::mouseMove(QPoint pos)
{
    if (pointerTool.moving()) {
        pointerTool.move(pos);
    } else if (handTool.panning()) {
        handTool.move(pos);
    } else if (ctx.current == ToolId::Text) {
        textTool.move(pos);
    } else if (pointerTool.draggingPoint()) {
        pointerTool.move(pos);
    } else if (ctx.construction.inlinie) {
        MeasuringTool *measuring = measuringTool();
        (measuring ? measuring : &chainLine)->move(pos);
    }
}

void ToolController::mouseRelease(QPoint pos)
{
    if (pointerTool.moving())
        pointerTool.release(pos);
    else if (handTool.panning())
        handTool.release(pos);
    else if (pointerTool.draggingPoint())
        pointerTool.release(pos);
}

void ToolController::elementsRemoved()
{
    ctx.construction.inlinie = false;
    ctx.construction.lastnr = 0;
    pointerTool.cancel();
}

#include "tools/toolcontroller.h"

#include "core/elements.h"
#include "tools/toolhost.h"

namespace {

// Segments an open element needs before Esc keeps it as a finished polygon or polyline.
constexpr int KeptSegments = 2;

} // namespace

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
    if (ctx.construction.constructing && !measuring)
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
    const bool polygonOpen = c.constructing && c.placedSegments > 0;
    c.constructing = false;
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
    } else if (ctx.construction.constructing) {
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
    ctx.construction.constructing = false;
    ctx.construction.placedSegments = 0;
    pointerTool.cancel();
}

void ToolController::mouseDoubleClick(Qt::MouseButton button, QPoint pos)
{
    if (button == Qt::LeftButton && openVertexChain()) {
        rightPress();
        return;
    }
    mousePress(button, pos);
}

Telemente *ToolController::openVertexChain()
{
    const Construction &c = ctx.construction;
    Telemente *last = ctx.lastElement();
    if (!c.constructing || c.placedSegments <= 0 || !last)
        return nullptr;
    return last->typ == TypPolygon || last->typ == TypPolyline ? last : nullptr;
}

bool ToolController::finishConstruction()
{
    if (!openVertexChain())
        return false;
    rightPress();
    return true;
}

bool ToolController::cancel()
{
    if (pointerTool.moving() || pointerTool.draggingPoint()) {
        pointerTool.putBack();
        ctx.host.repaint();
        return true;
    }
    Construction &c = ctx.construction;
    if (c.constructing) {
        if (Telemente *chain = openVertexChain(); chain && Document::vertexCount(*chain) - 1 >= KeptSegments) {
            rightPress();
            return true;
        }
        Telemente *last = ctx.lastElement();
        // A line of a chain is finished once placed; every other element the construction
        // made is still missing a press.
        if (c.placedSegments > 0 && last && last->typ != TypLine)
            ctx.document().deleteElement(ctx.document().count() - 1);
        c.constructing = false;
        c.placedSegments = 0;
        ctx.host.repaint();
        return true;
    }
    Document &doc = ctx.document();
    bool selected = false;
    for (int i = 0; i < doc.count() && !selected; ++i)
        selected = doc.element(i)->selected;
    if (!selected)
        return false;
    unselectall(doc);
    ctx.host.repaint();
    return true;
}

std::optional<QPointF> ToolController::snapTarget(QPoint pos)
{
    // Ctrl turns snapping off for every press but a construction's first.
    if (ctx.construction.constructing && ctx.host.anyCtrl())
        return std::nullopt;
    QPointF point;
    if (!ctx.snap(pos, point))
        return std::nullopt;
    return point;
}

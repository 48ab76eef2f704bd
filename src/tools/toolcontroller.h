#pragma once

#include "tools/clickpointtools.h"
#include "tools/distancetools.h"
#include "tools/handtool.h"
#include "tools/measuringtool.h"
#include "tools/pointertool.h"
#include "tools/texttool.h"
#include "tools/toolcontext.h"
#include "tools/twocornertools.h"

#include <QPointF>
#include <Qt>

#include <optional>

class ToolHost;

// Owns the tools and the construction state and routes the drawing surface's mouse events:
// the surface only forwards them.
class ToolController
{
public:
    explicit ToolController(ToolHost &host);

    // A tool button was pressed: its tool becomes current. Does not end a construction.
    void setTool(ToolId id);
    ToolId tool() const { return ctx.current; }

    void mousePress(Qt::MouseButton button, QPoint pos);
    void mouseMove(QPoint pos);
    void mouseRelease(QPoint pos);
    // A double click's second press: it finishes an open polygon or polyline as the right press
    // does (its first press already placed the last vertex); elsewhere it is an ordinary press.
    void mouseDoubleClick(Qt::MouseButton button, QPoint pos);

    // Esc: an open construction ends (an unfinished element is removed, a polygon or polyline of
    // two or more segments is finished as by the right press); a point drag or a whole-element
    // move puts the element back; otherwise the selection is cleared. True when anything changed.
    bool cancel();
    // Enter: finishes an open polygon or polyline as the right press does. True when it did.
    bool finishConstruction();

    // Called by every command that removes elements: the construction and a pointer gesture
    // refer to elements by position, so both end.
    void elementsRemoved();

    // A tool that places points is down.
    bool measuringToolDown() { return measuringTool() != nullptr; }
    // The element point a press at pos would snap to with the keys held now, if any.
    std::optional<QPointF> snapTarget(QPoint pos);

    const Construction &construction() const { return ctx.construction; }
    const PointerTool &pointer() const { return pointerTool; }
    bool panning() const { return handTool.panning(); }

private:
    void rightPress();
    // The polygon or polyline that the open construction is building, or nullptr.
    Telemente *openVertexChain();
    // The measuring tool that is down, or nullptr.
    MeasuringTool *measuringTool();

    ToolContext ctx;
    PointerTool pointerTool{ctx};
    HandTool handTool{ctx};
    TextTool textTool{ctx};
    ChainLineTool chainLine{ctx};
    DistanceTool distance{ctx};
    PolylineTool polyline{ctx};
    PolygonTool polygon{ctx};
    RectangleTool rectangle{ctx};
    EllipseTool ellipse{ctx};
    InclinedDistanceTool inclined{ctx};
    ScaleLineTool scaleLine{ctx};
    AngleTool angle{ctx};
};

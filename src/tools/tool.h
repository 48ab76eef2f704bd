#pragma once

#include <QPoint>

class ToolContext;

// The eleven tool buttons; None until the user picks one.
enum class ToolId {
    None,
    Pointer,   // ZeigerBtn
    Hand,      // HandBtn
    Distance,  // DimensionBtn
    Polyline,  // StreckeBtn
    Polygon,   // PolygonBtn
    Rectangle, // RectBtn
    Ellipse,   // CircleBtn
    Inclined,  // SchraegBtn
    Scale,     // massstabBtn
    Text,      // TextBtn
    Angle,     // AngleBtn
};

// Every tool has the same three hooks; the controller decides which tool gets an event.
class Tool
{
public:
    explicit Tool(ToolContext &context) : ctx(context) {}
    virtual ~Tool() = default;
    Tool(const Tool &) = delete;
    Tool &operator=(const Tool &) = delete;

    virtual void press(QPoint pos) = 0;
    virtual void move(QPoint pos) = 0;
    virtual void release(QPoint pos) = 0;

protected:
    ToolContext &ctx;
};

#pragma once

#include "tools/tool.h"

#include <QPoint>
#include <QPointF>

class Document;
class ToolHost;
struct Telemente;

// The state of the element under construction, shared by all measuring tools: changing the
// tool does not end a construction.
struct Construction {
    bool constructing = false; // an element is under construction
    int placedSegments = 0;    // placed segments; becomes the nr of the next element
    double startx = 0;         // the last placed point
    double starty = 0;
    double endx = 0;           // the point placed by the current press
    double endy = 0;
    double candidateX = 0;     // the candidate point of the current press or of the cursor
    double candidateY = 0;

    QPointF start() const { return {startx, starty}; }
};

// What every tool shares: the host, the construction, the current tool and the steps that
// several tools end with.
class ToolContext
{
public:
    explicit ToolContext(ToolHost &h) : host(h) {}

    ToolHost &host;
    Construction construction;
    ToolId current = ToolId::None;

    Document &document();
    // The last element of the document, or nullptr for an empty document.
    Telemente *lastElement();

    // Replaces point by the first element point within 3 screen pixels of the mouse position:
    // points 1 and 2 of every element, point 3 when typ > 0, point 4 when typ > 1, in document
    // order. Vertices are no snap targets.
    bool snap(QPoint mouse, QPointF &point);

    // When the option is on and the document has an element, the name dialog names the last
    // element, then the surface is repainted.
    void askNameOfLast();
    // When the option is on, the pointer tool becomes the current tool.
    void returnToPointer();
};

#pragma once

#include "tools/tool.h"

struct Telemente;

// Selecting, dragging points of the selected elements, and moving a whole element.
// A press first tries to grab points of selected elements; failing that it selects the first
// element whose outline it hits and starts moving it.
class PointerTool final : public Tool
{
public:
    using Tool::Tool;

    void press(QPoint pos) override;
    // Serves a whole-element move or a point drag, whichever is in progress.
    void move(QPoint pos) override;
    // Ends a whole-element move (applying its shift) or a point drag.
    void release(QPoint pos) override;

    bool moving() const { return inmove; }
    bool draggingPoint() const { return dragpoint; }
    int movedElement() const { return moveobj; }
    // Drops a gesture whose element may be gone.
    void cancel();
    // Ends the gesture in progress with its element where it was before the press.
    void putBack();

private:
    bool grabPoints(QPoint pos);
    void selectByOutline(QPoint pos);
    void dragPoints(QPoint pos);
    void previewMove(QPoint pos);
    QPointF moveShift(QPoint pos) const;

    bool dragpoint = false; // a point drag is in progress
    double dragx = 0;       // image position of the press that began the gesture
    double dragy = 0;
    double sx = 0;          // cursor displacement from (dragx, dragy) during a point drag
    double sy = 0;
    bool inmove = false;    // a whole-element move is in progress
    int movex = 0;          // paint-box position of the press that began the move
    int movey = 0;
    int moveobj = -1;       // index of the element being moved
};

// Shifts points 1 to 3 and every vertex of an element; point 4 holds no position to move.
void shiftElement(Telemente &e, double dx, double dy);
// Clears the selection of every element.
void unselectall(class Document &doc);

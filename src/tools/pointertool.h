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

    bool moving() const { return elementMove; }
    bool draggingPoint() const { return pointDrag; }
    int movedElement() const { return movedIndex; }
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

    bool pointDrag = false;   // a point drag is in progress
    double pressX = 0;        // image position of the press that began the gesture
    double pressY = 0;
    double sx = 0;            // cursor displacement from (pressX, pressY) during a point drag
    double sy = 0;
    bool elementMove = false; // a whole-element move is in progress
    int movePressX = 0;       // paint-box position of the press that began the move
    int movePressY = 0;
    int movedIndex = -1;      // index of the element being moved
};

// Shifts points 1 to 3 and every vertex of an element; point 4 holds no position to move.
void shiftElement(Telemente &e, double dx, double dy);
// Clears the selection of every element.
void unselectall(class Document &doc);

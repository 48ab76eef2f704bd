#pragma once

#include "tools/tool.h"
#include "tools/toolhost.h"

#include <QPointF>

// A tool that builds an element press by press. The first press only remembers the start; every
// later press goes through nextPress: its point is placed (snapped unless Ctrl is held, then
// constrained by the tool), a segment either extends the open element or becomes a new one, and
// the tool decides whether the construction ends.
class MeasuringTool : public Tool
{
public:
    using Tool::Tool;

    void press(QPoint pos) final;
    // The rubber band from the last placed point to the candidate point.
    void move(QPoint pos) override;
    void release(QPoint) final {}

protected:
    virtual int elementType() const = 0;
    // Vertex-list elements get the start and end point as their first two vertices.
    virtual bool hasVertices() const { return false; }
    // Adjusts the candidate point t relative to the start point by the held modifier keys.
    virtual void constrain(QPointF, QPointF &) const {}
    virtual RubberBand::Shape rubberShape() const { return RubberBand::Line; }
    // Runs after the point is placed and before it is used.
    virtual void beforePlace() {}
    // Adds the point to the element under construction; false when a new element is due.
    virtual bool extendOpenElement(QPointF) { return false; }
    // Runs once the start point has moved on; createdLength is the pixel length of a new
    // element's segment, or -1 when the press extended the open element.
    virtual void afterPlace(double createdLength) = 0;

    // The candidate point of a mouse position, snapped unless Ctrl is held, then constrained.
    QPointF candidate(QPoint pos);
    // Ends the construction: repaint, ask for the name, return to the pointer tool.
    void finishElement();

private:
    void firstPress(QPoint pos);
    void nextPress(QPoint pos);
    bool appendElement(QPointF end);
};

// The straight lines of type 0 that a construction chains when a press arrives while no
// measuring tool is down.
class ChainLineTool final : public MeasuringTool
{
public:
    using MeasuringTool::MeasuringTool;

protected:
    int elementType() const override;
    void afterPlace(double) override {}
};

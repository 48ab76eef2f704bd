#pragma once

#include "tools/measuringtool.h"

// Tools that collect vertices press by press, each segment optionally held horizontal (Ctrl)
// or vertical (Alt).
class ClickPointTool : public MeasuringTool
{
public:
    using MeasuringTool::MeasuringTool;

protected:
    bool hasVertices() const override { return true; }
    void constrain(QPointF start, QPointF &t) const override;
    bool extendOpenElement(QPointF end) override;
    void afterPlace(double) override {}
    // Runs after a vertex was appended to the element at index.
    virtual void vertexAppended(int) {}
};

// Ends with a right press, which closes the outline.
class PolygonTool final : public ClickPointTool
{
public:
    using ClickPointTool::ClickPointTool;

protected:
    int elementType() const override;
};

// Ends with a right press.
class PolylineTool final : public ClickPointTool
{
public:
    using ClickPointTool::ClickPointTool;

protected:
    int elementType() const override;
};

// First arm end, apex, second arm end; the third vertex ends it.
class AngleTool final : public ClickPointTool
{
public:
    using ClickPointTool::ClickPointTool;

protected:
    int elementType() const override;
    void vertexAppended(int index) override;
};

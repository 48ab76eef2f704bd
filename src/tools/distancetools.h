#pragma once

#include "tools/measuringtool.h"

// Tools whose second press makes a two-point line and whose segments may be held horizontal
// (Ctrl) or vertical (Alt).
class DistanceLikeTool : public MeasuringTool
{
public:
    using MeasuringTool::MeasuringTool;

protected:
    void constrain(QPointF start, QPointF &t) const override;
};

// Press 1 start, press 2 creates the distance, moves drag its dimension line through point 3,
// press 3 places it.
class DistanceTool : public DistanceLikeTool
{
public:
    using DistanceLikeTool::DistanceLikeTool;
    void move(QPoint pos) override;

protected:
    int elementType() const override;
    bool extendOpenElement(QPointF end) override;
    void afterPlace(double createdLength) override;
    // Sets the inclination of the finished element; a plain distance has none.
    virtual void askInclination(int) {}
};

// A distance on an inclined plane: once placed, the inclination dialog gives its angle.
class InclinedDistanceTool final : public DistanceTool
{
public:
    using DistanceTool::DistanceTool;

protected:
    void askInclination(int index) override;
};

// The graphic scale: the new line replaces the old scale line and calibrates the scale.
class ScaleLineTool final : public DistanceLikeTool
{
public:
    using DistanceLikeTool::DistanceLikeTool;

protected:
    int elementType() const override;
    void beforePlace() override;
    void afterPlace(double createdLength) override;
};

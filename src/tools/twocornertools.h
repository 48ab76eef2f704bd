#pragma once

#include "tools/measuringtool.h"

// Tools that make an axis-parallel shape from two opposite corners; left Ctrl makes it a
// square or a circle.
class TwoCornerTool : public MeasuringTool
{
public:
    using MeasuringTool::MeasuringTool;

protected:
    void constrain(QPointF start, QPointF &t) const override;
    void afterPlace(double) override;
};

class RectangleTool final : public TwoCornerTool
{
public:
    using TwoCornerTool::TwoCornerTool;

protected:
    int elementType() const override;
    RubberBand::Shape rubberShape() const override { return RubberBand::Rectangle; }
};

class EllipseTool final : public TwoCornerTool
{
public:
    using TwoCornerTool::TwoCornerTool;

protected:
    int elementType() const override;
    RubberBand::Shape rubberShape() const override { return RubberBand::Ellipse; }
};

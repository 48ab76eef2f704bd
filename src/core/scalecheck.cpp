#include "core/scalecheck.h"

#include "core/geometry.h"

#include <cmath>

double ReferenceLine::pixelLength() const
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

std::optional<AxisFactors> solveAxisFactors(const ReferenceLine &first, const ReferenceLine &second)
{
    // Linear in the squared factors: a·X + b·Y = r² for each line, X = fx², Y = fy².
    const double a1 = std::pow(first.b.x - first.a.x, 2);
    const double b1 = std::pow(first.b.y - first.a.y, 2);
    const double r1 = first.realLength * first.realLength;
    const double a2 = std::pow(second.b.x - second.a.x, 2);
    const double b2 = std::pow(second.b.y - second.a.y, 2);
    const double r2 = second.realLength * second.realLength;
    const double det = a1 * b2 - a2 * b1;
    // Relative to the size of the terms, so the test does not depend on the picture's size.
    if (!(std::fabs(det) > 1e-9 * (a1 + b1) * (a2 + b2)) || first.realLength <= 0 || second.realLength <= 0)
        return std::nullopt;
    const double x2 = (r1 * b2 - r2 * b1) / det;
    const double y2 = (a1 * r2 - a2 * r1) / det;
    if (!(x2 > 0) || !(y2 > 0) || !std::isfinite(x2) || !std::isfinite(y2))
        return std::nullopt;
    return AxisFactors{std::sqrt(x2), std::sqrt(y2)};
}

std::optional<Scale> separateScale(const ReferenceLine &first, const ReferenceLine &second)
{
    const std::optional<AxisFactors> f = solveAxisFactors(first, second);
    if (!f)
        return std::nullopt;
    Scale s;
    s.pixelLength = 1.0;
    s.realLength = f->x;
    s.separateAxes = true;
    s.yPixelLength = 1.0;
    s.yRealLength = f->y;
    return s;
}

std::optional<ScaleCheckFigures> checkFigures(const ReferenceLine &line, const Scale &scale)
{
    const double pixels = line.pixelLength();
    if (pixels == 0.0 || line.realLength == 0.0 || !std::isfinite(pixels) || !std::isfinite(line.realLength))
        return std::nullopt;
    Shape shape;
    shape.typ = 0;
    shape.points = {line.a, line.b};
    ScaleCheckFigures f;
    f.valueByScale = segmentValue(shape, 0, scale).length;
    f.deviationPercent = (f.valueByScale - line.realLength) / line.realLength * 100.0;
    f.factorAlone = line.realLength / pixels;
    return f;
}

Scale scaleFromCheck(const ReferenceLine &line)
{
    Scale s;
    s.pixelLength = line.pixelLength();
    s.realLength = line.realLength;
    return s;
}

Scale meanScale(const Scale &current, const ReferenceLine &line)
{
    const double alone = line.realLength / line.pixelLength();
    Scale s = current;
    s.realLength = (current.xFactor() + alone) / 2.0 * current.pixelLength;
    if (current.separateAxes)
        s.yRealLength = (current.yFactor() + alone) / 2.0 * current.yPixelLength;
    return s;
}

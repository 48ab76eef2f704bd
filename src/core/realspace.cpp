#include "core/realspace.h"

#include "core/elements.h"
#include "core/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

bool isVertexType(int typ)
{
    return typ == TypAngle || typ == TypPolygon || typ == TypPolyline;
}

double pathLength(const std::vector<PicturePoint> &p, AxisFactors f)
{
    double sum = 0.0;
    for (std::size_t i = 1; i < p.size(); ++i)
        sum += std::hypot((p[i].x - p[i - 1].x) * f.x, (p[i].y - p[i - 1].y) * f.y);
    return sum;
}

// The vertex-list area as the element values define it: the figure from the minimum corner
// through every vertex and back, which for a closed polygon is its area.
double vertexArea(const std::vector<PicturePoint> &p)
{
    if (p.empty())
        return 0.0;
    double minX = p[0].x;
    double minY = p[0].y;
    for (const PicturePoint &v : p) {
        minX = std::min(minX, v.x);
        minY = std::min(minY, v.y);
    }
    double sum = 0.0;
    for (std::size_t i = 1; i < p.size(); ++i)
        sum += (p[i - 1].x - minX) * (p[i].y - minY) - (p[i].x - minX) * (p[i - 1].y - minY);
    return std::fabs(sum * 0.5);
}

} // namespace

AxisFactors axisFactors(const Scale &scale)
{
    return {scale.xFactor(), scale.yFactor()};
}

Shape shapeOf(const Telemente &e)
{
    Shape s;
    s.typ = e.typ;
    if (isVertexType(e.typ)) {
        const int n = Document::vertexCount(e);
        s.points.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const Tvertex *v = Document::vertex(e.vert, i);
            s.points.push_back({v->x, v->y});
        }
        s.closingCopy = e.typ == TypPolygon && n > 2 && s.points.front().x == s.points.back().x &&
                        s.points.front().y == s.points.back().y;
    } else {
        s.points = {{e.x1, e.y1}, {e.x2, e.y2}};
        if (e.typ == TypDistance || e.typ == TypScaleLine)
            s.inclination = e.x4;
    }
    return s;
}

RealValues realSpaceValues(const Shape &shape, AxisFactors f, bool *hasWinkel)
{
    RealValues r;
    if (hasWinkel)
        *hasWinkel = true;
    const std::vector<PicturePoint> &p = shape.points;
    const double fx = std::fabs(f.x);
    const double fy = std::fabs(f.y);
    if (isVertexType(shape.typ)) {
        r.lang = pathLength(p, {fx, fy});
        r.flaeche = vertexArea(p) * fx * fy;
        if (shape.typ == TypAngle) {
            if (p.size() == 3)
                r.winkel = apexAngle(p[0].x * fx, p[0].y * fy, p[1].x * fx, p[1].y * fy, p[2].x * fx, p[2].y * fy);
            else if (hasWinkel)
                *hasWinkel = false;
        }
        return r;
    }
    if (p.size() < 2)
        return r;
    const double dx = (p[1].x - p[0].x) * fx;
    const double dy = (p[1].y - p[0].y) * fy;
    switch (shape.typ) {
    case TypRectangle:
        r.lang = 2.0 * std::fabs(dx) + 2.0 * std::fabs(dy);
        r.flaeche = std::fabs(dx) * std::fabs(dy);
        break;
    case TypEllipse:
        r.lang = ellipseumfang(std::fabs(dx) / 2.0, std::fabs(dy) / 2.0);
        r.flaeche = (std::fabs(dx) * pi / 2.0) * std::fabs(dy) / 2.0;
        break;
    case TypDistance:
    case TypScaleLine: {
        r.lang = std::hypot(dx, dy);
        const double c = std::cos(shape.inclination * pi / 180.0);
        if (c != 0.0)
            r.lang /= c;
        r.winkel = std::atan2(dy, dx) * 180.0 / pi;
        break;
    }
    default:
        break;
    }
    return r;
}

void computeRealSpaceValues(Telemente &e, const Scale &scale)
{
    switch (e.typ) {
    case TypRectangle:
    case TypEllipse:
    case TypDistance:
    case TypScaleLine:
    case TypAngle:
    case TypPolygon:
    case TypPolyline:
        break;
    default:
        return;
    }
    bool hasWinkel = true;
    const RealValues r = realSpaceValues(shapeOf(e), axisFactors(scale), &hasWinkel);
    e.lang = r.lang;
    e.flaeche = r.flaeche;
    if (hasWinkel)
        e.winkel = r.winkel;
}

SegmentValue segmentValue(const Shape &shape, std::size_t i, const Scale &scale)
{
    const PicturePoint a = shape.points[i];
    const PicturePoint b = shape.points[i + 1];
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    SegmentValue s;
    if (!scale.anisotropic()) {
        s.length = scale.length(std::sqrt(dx * dx + dy * dy));
        s.direction = std::atan2(dy, dx) * 180.0 / pi;
        return s;
    }
    const double rx = dx * std::fabs(scale.xFactor());
    const double ry = dy * std::fabs(scale.yFactor());
    s.length = std::hypot(rx, ry);
    s.direction = std::atan2(ry, rx) * 180.0 / pi;
    return s;
}

std::vector<SegmentValue> segmentValues(const Telemente &e, const Scale &scale)
{
    std::vector<SegmentValue> out;
    if (e.typ != TypPolygon && e.typ != TypPolyline)
        return out;
    const Shape shape = shapeOf(e);
    for (std::size_t i = 0; i + 1 < shape.points.size(); ++i)
        out.push_back(segmentValue(shape, i, scale));
    return out;
}

#include "render/dimension.h"

#include "core/geometry.h"

#include <cmath>

namespace {

// Segment direction and its length, the length replaced by 1 for coincident points so that
// the shapes stay finite.
struct Segment {
    double dx;
    double dy;
    double len;
};

Segment segment(QPointF a, QPointF b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0)
        len = 1;
    return {dx, dy, len};
}

PointF32 toF32(QPointF p)
{
    return {static_cast<float>(p.x()), static_cast<float>(p.y())};
}

}

double arrowHalfWidth(double L)
{
    return L * 7 / 30;
}

ArrowVectors distanceArrowVectors(QPointF a, QPointF b, double L)
{
    const double W = arrowHalfWidth(L);
    const auto [dx, dy, len] = segment(a, b);
    if (2 * L + 2 * W > len) {
        const double k = std::abs(len * W / L / 3);
        const double m = std::abs(len / 3);
        return {QPointF(-dy * k / len, dx * k / len), QPointF(dx * m / len, dy * m / len)};
    }
    return {QPointF(-dy * W / len, dx * W / len), QPointF(dx * L / len, dy * L / len)};
}

ArrowVectors polylineArrowVectors(QPointF a, QPointF b, double L, double zoom)
{
    const double W = arrowHalfWidth(L);
    const auto [dx, dy, len] = segment(a, b);
    if (zoom * (2 * L + 2 * W) / 100 > len) {
        const double k = std::abs(len * W / L / 3);
        const double m = std::abs(len / 3);
        return {QPointF(-dy * k * zoom / 100 / len, dx * k * zoom / 100 / len),
                QPointF(dx * m * zoom / 100 / len, dy * m * zoom / 100 / len)};
    }
    return {QPointF(zoom * (-dy * W) / 100 / len, zoom * (dx * W) / 100 / len),
            QPointF(zoom * (dx * L) / 100 / len, zoom * (dy * L) / 100 / len)};
}

ArrowHead startArrow(QPointF tip, const ArrowVectors &v)
{
    return {tip, tip + v.p + v.q, tip - v.p + v.q};
}

ArrowHead endArrow(QPointF tip, const ArrowVectors &v)
{
    return {tip, tip + v.p - v.q, tip - v.p - v.q};
}

ArrowHead uprightArrow(const ArrowHead &head, double aspect)
{
    const QPointF tip = head[0];
    const QPointF along = (head[1] + head[2]) / 2 - tip;
    const QPointF across = (head[1] - head[2]) / 2;
    // On paper, in units of one image pixel down, x counts aspect times.
    const QPointF direction(along.x() * aspect, along.y());
    const double norm = std::hypot(direction.x(), direction.y());
    if (!(norm > 0) || !std::isfinite(norm))
        return head;
    const QPointF unit = direction / norm;
    const double side = along.x() * across.y() - along.y() * across.x() < 0 ? -1.0 : 1.0;
    const QPointF base = unit * std::hypot(along.x(), along.y());
    const QPointF half = QPointF(-unit.y(), unit.x()) * (side * std::hypot(across.x(), across.y()));
    const auto toDrawing = [aspect](QPointF v) { return QPointF(v.x() / aspect, v.y()); };
    const QPointF middle = tip + toDrawing(base);
    return {tip, middle + toDrawing(half), middle - toDrawing(half)};
}

DimensionGeometry distanceDimension(QPointF p1, QPointF p2, QPointF p3, double L)
{
    const double W = arrowHalfWidth(L);
    const ArrowVectors v = distanceArrowVectors(p1, p2, L);

    QPointF n(p1.y() - p2.y(), p2.x() - p1.x());
    double nlen = std::sqrt(n.x() * n.x() + n.y() * n.y());
    if (nlen == 0)
        nlen = 1;
    n /= nlen;

    const double s = linienabstand(toF32(p1), toF32(p2), toF32(p3));
    const QPointF o = n * s;
    const double r = std::sqrt(o.x() * o.x() + o.y() * o.y());

    QPointF e = v.p;
    QPointF back = v.p;
    if (r != 0) {
        e = o * W / r;
        back = std::abs(e.x()) > std::abs(o.x()) ? e : QPointF(0, 0);
    }

    DimensionGeometry g;
    g.offset = o;
    g.dimensionLine = QLineF(p1 + o, p2 + o);
    g.extension1 = QLineF(p1 - back, p1 + o + e);
    g.extension2 = QLineF(p2 - back, p2 + o + e);
    g.start = startArrow(p1 + o, v);
    g.end = endArrow(p2 + o, v);
    return g;
}

SegmentEnd polylineStart(QPointF a, QPointF b, double L, double zoom)
{
    const ArrowVectors v = polylineArrowVectors(a, b, L, zoom);
    return {QLineF(a - v.p, a + v.p), startArrow(a, v)};
}

SegmentEnd polylineFinish(QPointF a, QPointF b, double L, double zoom)
{
    const ArrowVectors v = polylineArrowVectors(a, b, L, zoom);
    return {QLineF(b - v.p, b + v.p), endArrow(b, v)};
}

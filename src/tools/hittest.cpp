#include "tools/hittest.h"

#include "core/elements.h"

#include <cmath>
#include <numbers>

namespace {

PointF32 f32(QPoint p)
{
    return {static_cast<float>(p.x()), static_cast<float>(p.y())};
}

float distance(PointF32 a, PointF32 b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool segmentHit(const ImageToScreen &toScreen, double ax, double ay, double bx, double by, PointF32 p)
{
    return ClickOnline(f32(toScreen(ax, ay)), f32(toScreen(bx, by)), p);
}

bool rectangleHit(const Telemente &e, const ImageToScreen &s, PointF32 p)
{
    return segmentHit(s, e.x1, e.y1, e.x2, e.y1, p) || segmentHit(s, e.x1, e.y2, e.x2, e.y2, p)
        || segmentHit(s, e.x1, e.y1, e.x1, e.y2, p) || segmentHit(s, e.x2, e.y1, e.x2, e.y2, p);
}

bool ellipseHit(const Telemente &e, const ImageToScreen &s, PointF32 p)
{
    constexpr int chords = 50;
    const double cx = e.x1 + (e.x2 - e.x1) / 2;
    const double cy = e.y1 + (e.y2 - e.y1) / 2;
    const double rx = (e.x2 - e.x1) / 2;
    const double ry = (e.y2 - e.y1) / 2;
    QPoint previous = s(cx, cy + ry);
    for (int k = 1; k <= chords; ++k) {
        const double t = 2.0 * k * std::numbers::pi / chords;
        const QPoint next = s(cx + rx * std::sin(t), cy + ry * std::cos(t));
        if (ClickOnline(f32(previous), f32(next), p))
            return true;
        previous = next;
    }
    return false;
}

bool distanceHit(const Telemente &e, const ImageToScreen &s, PointF32 p)
{
    const float d = linienabstand({static_cast<float>(e.x1), static_cast<float>(e.y1)},
                                  {static_cast<float>(e.x2), static_cast<float>(e.y2)},
                                  {static_cast<float>(e.x3), static_cast<float>(e.y3)});
    double nx = e.y1 - e.y2;
    double ny = e.x2 - e.x1;
    double len = std::sqrt(nx * nx + ny * ny);
    if (len == 0)
        len = 1;
    nx /= len;
    ny /= len;
    const double ox = nx * d;
    const double oy = ny * d;
    return segmentHit(s, e.x1 + ox, e.y1 + oy, e.x2 + ox, e.y2 + oy, p)
        || segmentHit(s, e.x1, e.y1, e.x1 + ox, e.y1 + oy, p)
        || segmentHit(s, e.x2, e.y2, e.x2 + ox, e.y2 + oy, p);
}

bool vertexPathHit(const Telemente &e, const ImageToScreen &s, PointF32 p)
{
    const int n = Document::vertexCount(e);
    if (n < 2)
        return false;
    const auto *v = static_cast<const Tvertex *>(e.vert->block());
    for (int i = 1; i < n; ++i)
        if (segmentHit(s, v[i - 1].x, v[i - 1].y, v[i].x, v[i].y, p))
            return true;
    return false;
}

bool textHit(const Telemente &e, const ImageToScreen &s, QPoint press, QSize extent)
{
    const QPoint anchor = s(e.x1, e.y1);
    return press.x() >= anchor.x() && press.x() <= anchor.x() + extent.width()
        && press.y() <= anchor.y() && press.y() >= anchor.y() - extent.height();
}

} // namespace

bool clickonpunkt(int x, int y, double px, double py, double zoom)
{
    const double bx = zoom * px / 100;
    const double by = zoom * py / 100;
    return bx - PointTolerance <= x && x <= bx + PointTolerance && by - PointTolerance <= y && y <= by + PointTolerance;
}

bool ClickOnline(PointF32 A, PointF32 B, PointF32 P, float tolerance)
{
    const float d = linienabstand(A, B, P);
    if (!std::isfinite(d) || std::fabs(d) >= tolerance)
        return false;
    const float length = distance(A, B);
    const float fromA = distance(A, P);
    const float fromB = distance(B, P);
    if (!std::isfinite(length) || !std::isfinite(fromA) || !std::isfinite(fromB))
        return false;
    return fromA <= length + tolerance && fromB <= length + tolerance;
}

bool outlineHit(const Telemente &e, QPoint press, const ImageToScreen &toScreen, QSize textExtent)
{
    const PointF32 p = f32(press);
    switch (e.typ) {
    case TypRectangle:
        return rectangleHit(e, toScreen, p);
    case TypEllipse:
        return ellipseHit(e, toScreen, p);
    case TypDistance:
    case TypScaleLine:
        return distanceHit(e, toScreen, p);
    case TypAngle:
    case TypPolygon:
    case TypPolyline:
        return vertexPathHit(e, toScreen, p);
    case TypText:
        return textHit(e, toScreen, press, textExtent);
    default:
        return false;
    }
}

#include "core/geometry.h"

#include "core/elements.h"
#include "core/realspace.h"

#include <algorithm>
#include <cmath>
#include <numbers>

VertexMeasure CalcMeasure(Document &doc, int nr)
{
    VertexMeasure result;
    if (nr < 0 || nr >= doc.count())
        return result;
    TDynaArray *list = doc.element(nr)->vert;
    if (!list || list->Count() == 0)
        return result;

    float minX = 0.0f;
    float minY = 0.0f;
    list->First();
    while (list->WhileNext()) {
        const float x = static_cast<float>(doc.avert()->x);
        const float y = static_cast<float>(doc.avert()->y);
        if (list->cursor() == 1) {
            minX = x;
            minY = y;
        } else {
            minX = std::min(minX, x);
            minY = std::min(minY, y);
        }
    }

    float area = 0.0f;
    float length = 0.0f;
    float px = 0.0f;
    float py = 0.0f;
    list->First();
    while (list->WhileNext()) {
        const float vx = static_cast<float>(doc.avert()->x);
        const float vy = static_cast<float>(doc.avert()->y);
        if (list->cursor() > 1) {
            const float ex = px - vx;
            const float ey = py - vy;
            length += std::sqrt(ex * ex + ey * ey);
            area += (px - minX) * (vy - minY) - (vx - minX) * (py - minY);
        }
        px = vx;
        py = vy;
    }
    result.calcsum = std::fabs(area * 0.5f);
    result.calcabst = length;
    return result;
}

double ellipseumfang(double a, double b)
{
    // Two presses on one point give 0 / 0 below; the geometric limit is a perimeter of 0.
    if (a + b == 0.0)
        return 0.0;
    const long double sum = static_cast<long double>(a) + b;
    const long double diff = static_cast<long double>(a) - b;
    const double h = static_cast<double>(diff * diff / (sum * sum));
    const double t = static_cast<double>(3.0L * h);
    const long double perimeter = (t / (std::sqrt(4.0L - t) + 10.0L) + 1.0L) * sum * std::numbers::pi_v<long double>;
    return static_cast<double>(perimeter);
}

float linienabstand(PointF32 A, PointF32 B, PointF32 P)
{
    constexpr float fault = 1000.0f;
    const float nx = A.y - B.y;
    const float ny = B.x - A.x;
    const float len = std::sqrt(nx * nx + ny * ny);
    if (len == 0.0f || !std::isfinite(len))
        return fault;
    const float d = (P.x - A.x) * nx / len + (P.y - A.y) * ny / len;
    return std::isfinite(d) ? d : fault;
}

double apexAngle(double x0, double y0, double x1, double y1, double x2, double y2)
{
    const double ux = x0 - x1;
    const double uy = y0 - y1;
    const double wx = x2 - x1;
    const double wy = y2 - y1;
    const double lengths = std::sqrt(ux * ux + uy * uy) * std::sqrt(wx * wx + wy * wy);
    if (lengths == 0.0 || !std::isfinite(lengths))
        return 0.0;
    // Rounding can carry the cosine of a straight or null angle just beyond +-1.
    const double c = std::clamp((ux * wx + uy * wy) / lengths, -1.0, 1.0);
    return std::acos(c) * 180.0 / std::numbers::pi;
}

void computeElementValues(Document &doc, int nr, const Scale &scale)
{
    if (nr < 0 || nr >= doc.count())
        return;
    if (scale.anisotropic()) {
        computeRealSpaceValues(*doc.element(nr), scale);
        return;
    }
    Telemente *e = doc.element(nr);
    const double dx = e->x2 - e->x1;
    const double dy = e->y2 - e->y1;
    constexpr double pi = std::numbers::pi;

    switch (e->typ) {
    case TypRectangle:
        e->lang = scale.length(2.0 * std::fabs(dx) + 2.0 * std::fabs(dy));
        e->flaeche = scale.area(std::fabs(dx) * std::fabs(dy));
        e->winkel = 0.0;
        break;
    case TypEllipse:
        e->lang = scale.length(ellipseumfang(std::fabs(dx) / 2.0, std::fabs(dy) / 2.0));
        e->flaeche = scale.area((std::fabs(dx) * pi / 2.0) * std::fabs(dy) / 2.0);
        e->winkel = 0.0;
        break;
    case TypDistance:
    case TypScaleLine: {
        e->lang = scale.length(std::sqrt(dx * dx + dy * dy));
        // The image shows the projection of an inclined length. cos(90 degrees) is a tiny
        // non-zero number in binary, so 90 gives a huge length rather than a division by zero.
        const double c = std::cos(e->x4 * pi / 180.0);
        if (c != 0.0)
            e->lang /= c;
        e->flaeche = 0.0;
        e->winkel = std::atan2(dy, dx) * 180.0 / pi;
        break;
    }
    case TypAngle: {
        const VertexMeasure m = CalcMeasure(doc, nr);
        e->lang = scale.length(m.calcabst);
        e->flaeche = scale.area(m.calcsum);
        if (Document::vertexCount(*e) == 3) {
            const Tvertex v0 = *Document::vertex(e->vert, 0);
            const Tvertex v1 = *Document::vertex(e->vert, 1);
            const Tvertex v2 = *Document::vertex(e->vert, 2);
            e->winkel = apexAngle(v0.x, v0.y, v1.x, v1.y, v2.x, v2.y);
        }
        break;
    }
    case TypPolygon:
    case TypPolyline: {
        const VertexMeasure m = CalcMeasure(doc, nr);
        e->lang = scale.length(m.calcabst);
        e->flaeche = scale.area(m.calcsum);
        e->winkel = 0.0;
        break;
    }
    default:
        break;
    }
}

void squareConstraint(double sx, double sy, double &tx, double &ty)
{
    const double dx = std::fabs(tx - sx);
    const double dy = std::fabs(ty - sy);
    if (dx > dy)
        tx = tx > sx ? sx + dy : sx - dy;
    else
        ty = ty > sy ? sy + dx : sy - dx;
}

void axisConstraint(double sx, double sy, double &tx, double &ty, bool ctrl, bool alt)
{
    if (ctrl)
        ty = sy;
    if (alt)
        tx = sx;
}

#include "tools/livevalue.h"

#include "core/elements.h"
#include "core/geometry.h"
#include "core/numberformat.h"
#include "core/translate.h"
#include "tools/toolcontext.h"

#include <QList>
#include <QPointF>

#include <cmath>

namespace {

const QString Squared = QStringLiteral("\u00B2");
const QString Degree = QStringLiteral("\u00B0");

// The vertices the construction has placed in its open element, then the cursor's candidate.
QList<QPointF> outlineToCursor(const Construction &c, Document &doc, int typ)
{
    QList<QPointF> points;
    Telemente *last = doc.count() > 0 ? doc.element(doc.count() - 1) : nullptr;
    if (c.placedSegments > 0 && last && last->typ == typ) {
        for (int i = 0; i < Document::vertexCount(*last); ++i) {
            const Tvertex v = *Document::vertex(last->vert, i);
            points.append(QPointF(v.x, v.y));
        }
    } else {
        points.append(c.start());
    }
    points.append(QPointF(c.candidateX, c.candidateY));
    return points;
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(b.x() - a.x(), b.y() - a.y());
}

QString length(double pixels, const Scale &scale, int decimals, const LiveValueFormat &n)
{
    return F(scale.length(pixels), decimals) + QLatin1Char(' ') + n.unit;
}

QString polylineValue(const QList<QPointF> &points, const Scale &scale, const LiveValueFormat &n)
{
    double total = 0;
    for (qsizetype i = 1; i < points.size(); ++i)
        total += distance(points[i - 1], points[i]);
    const double segment = distance(points[points.size() - 2], points.back());
    return Translate(QStringLiteral("Segment")) + QStringLiteral(": ") + length(segment, scale, n.areaDecimals, n)
           + QStringLiteral(", ") + Translate(QStringLiteral("gesamt")) + QStringLiteral(": ")
           + length(total, scale, n.areaDecimals, n);
}

QString polygonValue(const QList<QPointF> &points, const Scale &scale, const LiveValueFormat &n)
{
    double twice = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF a = points[i];
        const QPointF b = points[(i + 1) % points.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return Translate(QStringLiteral("Fläche")) + QStringLiteral(": ")
           + F(scale.area(std::fabs(twice) / 2), n.areaDecimals) + QLatin1Char(' ') + n.unit + Squared;
}

QString angleValue(const QList<QPointF> &points, const LiveValueFormat &n)
{
    if (points.size() < 3)
        return QString();
    const QPointF a = points[0];
    const QPointF apex = points[1];
    const QPointF b = points[2];
    const double angle = apexAngle(a.x(), a.y(), apex.x(), apex.y(), b.x(), b.y());
    return F(angle, n.areaDecimals) + Degree + QStringLiteral(" / ") + F(360 - angle, n.areaDecimals) + QLatin1Char(' ')
           + Degree;
}

QString cornersValue(const Construction &c, const Scale &scale, const LiveValueFormat &n)
{
    const double width = std::fabs(c.candidateX - c.startx);
    const double height = std::fabs(c.candidateY - c.starty);
    return F(scale.length(width), n.areaDecimals) + QStringLiteral(" \u00D7 ") + length(height, scale, n.areaDecimals, n);
}

// A distance follows the cursor to its second press, then its dimension line to the third.
QString distanceValue(const Construction &c, Document &doc, const Scale &scale, const LiveValueFormat &n)
{
    Telemente *last = doc.count() > 0 ? doc.element(doc.count() - 1) : nullptr;
    if (c.placedSegments > 0 && last && last->typ == TypDistance)
        return length(std::hypot(last->x2 - last->x1, last->y2 - last->y1), scale, n.lengthDecimals, n);
    return length(distance(c.start(), QPointF(c.candidateX, c.candidateY)), scale, n.lengthDecimals, n);
}

} // namespace

QString liveValue(const Construction &c, ToolId tool, Document &doc, const Scale &scale, const LiveValueFormat &n)
{
    if (!c.constructing)
        return QString();
    switch (tool) {
    case ToolId::Polyline:
        return polylineValue(outlineToCursor(c, doc, TypPolyline), scale, n);
    case ToolId::Polygon:
        return polygonValue(outlineToCursor(c, doc, TypPolygon), scale, n);
    case ToolId::Angle:
        return angleValue(outlineToCursor(c, doc, TypAngle), n);
    case ToolId::Rectangle:
    case ToolId::Ellipse:
        return cornersValue(c, scale, n);
    case ToolId::Distance:
    case ToolId::Inclined:
        return distanceValue(c, doc, scale, n);
    case ToolId::Scale:
        return length(distance(c.start(), QPointF(c.candidateX, c.candidateY)), scale, n.lengthDecimals, n);
    default:
        return QString();
    }
}

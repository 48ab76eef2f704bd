#pragma once

#include <QLineF>
#include <QPointF>
#include <QPolygonF>

#include <array>

// Geometry of dimension lines, ticks and arrow heads in image units. Nothing here is rounded:
// the caller maps every point to the screen on its own, so the shapes are tested without pixels.

// The arrow's half-width for arrow length L: the base is 14/30 of the length.
double arrowHalfWidth(double L);

// Across (p) and along (q) vectors of an arrow head on the segment a -> b.
struct ArrowVectors {
    QPointF p;
    QPointF q;
};

// For a distance: full-size arrows, or on a segment shorter than 2L + 2W arrows shrunk to a
// third of the segment, keeping their proportions.
ArrowVectors distanceArrowVectors(QPointF a, QPointF b, double L);
// For a polyline: the same, but the arrows scale with zoom / 100 in image units.
ArrowVectors polylineArrowVectors(QPointF a, QPointF b, double L, double zoom);

// A filled arrow head: tip, then its two base corners. A start arrow's base lies towards the
// segment's end, an end arrow's towards its start.
using ArrowHead = std::array<QPointF, 3>;
ArrowHead startArrow(QPointF tip, const ArrowVectors &v);
ArrowHead endArrow(QPointF tip, const ArrowVectors &v);

// The arrow head as it must be drawn where one image pixel comes out aspect times as wide as
// high: the same tip, pointing along the drawn segment on paper, with its length and base width
// measured in image pixels down, so that it keeps its shape there.
ArrowHead uprightArrow(const ArrowHead &head, double aspect);

// The dimension of a distance or scale reference line measured from p1 to p2 and drawn through
// p3: the dimension line, two extension lines and two arrow heads, plus the offset o that the
// label along the line reuses.
struct DimensionGeometry {
    QLineF dimensionLine;
    QLineF extension1;
    QLineF extension2;
    ArrowHead start;
    ArrowHead end;
    QPointF offset;
};
DimensionGeometry distanceDimension(QPointF p1, QPointF p2, QPointF p3, double L);

// Tick and arrow at one end of a polyline segment a -> b.
struct SegmentEnd {
    QLineF tick;
    ArrowHead arrow;
};
// The start end sits at a with a start arrow; the finish end sits at b with an end arrow.
SegmentEnd polylineStart(QPointF a, QPointF b, double L, double zoom);
SegmentEnd polylineFinish(QPointF a, QPointF b, double L, double zoom);

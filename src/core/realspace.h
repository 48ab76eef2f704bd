#pragma once

#include <vector>

struct Scale;
struct Telemente;

// Real units per picture pixel along x and along y.
struct AxisFactors {
    double x = 1.0;
    double y = 1.0;
};

AxisFactors axisFactors(const Scale &scale);

struct PicturePoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PicturePoint &) const = default;
};

// The points an element's values depend on: the two corners or end points of a rectangle,
// ellipse, distance or scale line, the vertices of an angle, polygon or polyline.
struct Shape {
    int typ = 0;
    std::vector<PicturePoint> points;
    double inclination = 0.0; // degrees, distances only
    // The last vertex is the closing copy of the first: one placed point, not two.
    bool closingCopy = false;
};

Shape shapeOf(const Telemente &e);

struct RealValues {
    double lang = 0.0;
    double flaeche = 0.0;
    double winkel = 0.0;
};

// The element's values computed from real-space coordinates (x times the x factor, y times the
// y factor), in double precision: lengths from the real-space differences, areas times both
// factors, angles and directions from real-space vectors, ellipse perimeters from real-space
// half-axes. hasWinkel is false for an angle element without exactly three vertices.
RealValues realSpaceValues(const Shape &shape, AxisFactors f, bool *hasWinkel = nullptr);

// Refreshes lang, flaeche and winkel of e from realSpaceValues (an angle element without three
// vertices keeps its winkel); used while the two axes have different factors.
void computeRealSpaceValues(Telemente &e, const Scale &scale);

// One side of a polyline or polygon: its real length and its direction in degrees (atan2 with
// y downwards, as a distance's, from the real-space vector).
struct SegmentValue {
    double length = 0.0;
    double direction = 0.0;
};

// The sides of a polyline or polygon in drawing order; a closed polygon's last side is its
// closing side. Empty for every other element type.
std::vector<SegmentValue> segmentValues(const Telemente &e, const Scale &scale);
// The value of segment i of shape (points i and i + 1).
SegmentValue segmentValue(const Shape &shape, std::size_t i, const Scale &scale);

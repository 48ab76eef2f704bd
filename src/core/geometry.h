#pragma once

#include <QString>

class Document;
struct Telemente;

// The scale: pixelLength image pixels correspond to realLength units of the unit.
struct Scale {
    double pixelLength = 1.0;
    double realLength = 1.0;
    // A pixel length in real units: multiplied by realLength first, then divided by pixelLength.
    double length(double pixels) const { return pixels * realLength / pixelLength; }
    // A pixel area in real units: x realLength, / pixelLength, x realLength, / pixelLength, in that order.
    double area(double squarePixels) const { return squarePixels * realLength / pixelLength * realLength / pixelLength; }

    // Set by "Maßstab X/Y getrennt": pixelLength/realLength then hold the x axis and yPixelLength/yRealLength the y axis,
    // and every value is computed from real-space coordinates (core/realspace.h).
    bool separateAxes = false;
    double yPixelLength = 1.0;
    double yRealLength = 1.0;
    double xFactor() const { return realLength / pixelLength; }
    double yFactor() const { return separateAxes ? yRealLength / yPixelLength : realLength / pixelLength; }
    // Equal factors keep the single-factor formulas, so their results stay bit for bit the same.
    bool anisotropic() const { return separateAxes && xFactor() != yFactor(); }
};

// Results of the vertex-list measure: area in square pixels and length in pixels.
struct VertexMeasure {
    double calcsum = 0.0;
    double calcabst = 0.0;
};

struct PointF32 {
    float x;
    float y;
};

// Area and length of element nr's vertex list in 32-bit working values. Makes element nr
// current and walks its vertex list, so both cursors move.
VertexMeasure CalcMeasure(Document &doc, int nr);
// Perimeter of an ellipse with semi-axes a and b; 0 for two zero semi-axes.
double ellipseumfang(double a, double b);
// Signed perpendicular distance of P from the line through A and B; 1000 for a degenerate line
// or a floating-point fault.
float linienabstand(PointF32 A, PointF32 B, PointF32 P);
// Angle at the apex V1 in degrees (0..180); 0 when an arm has zero length.
double apexAngle(double x0, double y0, double x1, double y1, double x2, double y2);
// Refreshes lang, flaeche and winkel of element nr from its geometry and the scale.
void computeElementValues(Document &doc, int nr, const Scale &scale);

// Constraints on a point T placed relative to the previous point S.
void squareConstraint(double sx, double sy, double &tx, double &ty);
void axisConstraint(double sx, double sy, double &tx, double &ty, bool ctrl, bool alt);

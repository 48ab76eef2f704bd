#pragma once

#include <QString>

class Document;
struct Telemente;

// The scale: mas1 image pixels correspond to mas2 units of einh.
struct Scale {
    double mas1 = 1.0;
    double mas2 = 1.0;
    // A pixel length in real units: multiplied by mas2 first, then divided by mas1.
    double length(double pixels) const { return pixels * mas2 / mas1; }
    // A pixel area in real units: x mas2, / mas1, x mas2, / mas1, in that order.
    double area(double squarePixels) const { return squarePixels * mas2 / mas1 * mas2 / mas1; }

    // Set by "Maßstab X/Y getrennt": mas1/mas2 then hold the x axis and ymas1/ymas2 the y axis,
    // and every value is computed from real-space coordinates (core/realspace.h).
    bool separateAxes = false;
    double ymas1 = 1.0;
    double ymas2 = 1.0;
    double xFactor() const { return mas2 / mas1; }
    double yFactor() const { return separateAxes ? ymas2 / ymas1 : mas2 / mas1; }
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

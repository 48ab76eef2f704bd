#pragma once

#include <QByteArray>
#include <QString>

class Document;
class QIODevice;
struct Telemente;

// Pieces per curve offered by the DXF export dialog.
inline constexpr int DxfMinPieces = 1;
inline constexpr int DxfMaxPieces = 20;
inline constexpr int DxfDefaultPieces = 4;

// A point in drawing units: 72 image pixels are one unit and y points up. Kept in extended
// precision so that bulges and coordinates come out exact at 15 significant digits.
struct DxfPoint {
    long double x = 0;
    long double y = 0;
};

DxfPoint dxfPointFromImage(long double x, long double y);

// The shortest text with at most 15 significant digits: fixed-point for magnitudes from 0.00001
// with at most 15 integer digits, otherwise mantissa "E" exponent (1E-6, -2.5E20). "." always.
QByteArray dxfnumber(long double v);

// Writes the line work of a document as POLYLINEs of straight segments and arcs (bulges).
// Lines end with CR LF. Output is buffered; ok() turns false at the first failed device write.
class DxfWriter
{
public:
    explicit DxfWriter(QIODevice &device);
    DxfWriter(const DxfWriter &) = delete;
    DxfWriter &operator=(const DxfWriter &) = delete;

    void header();
    // Closes an open POLYLINE, ends the file and flushes the buffer.
    void trailer();

    // One segment from p0 to p1; both end points are written with the bulge. A segment that
    // starts exactly where the previous one ended continues the open POLYLINE.
    void dxfsegment(DxfPoint p0, DxfPoint p1, long double bulge);
    // A cubic Bézier curve cut into `pieces` pieces, each written as its best-fitting arc.
    void bezierarcs(DxfPoint p0, DxfPoint p1, DxfPoint p2, DxfPoint p3, int pieces);
    // Writes the arc from s to e whose middle comes nearest to m; false when only the straight
    // segment fits (nothing is written then).
    bool fitarc(DxfPoint s, DxfPoint m, DxfPoint e);
    // Writes the arc from s through s + qFromS to e; false (nothing written) when the three
    // points are too close to one line. Q is given relative to s so that a point close to a
    // short chord far from the origin keeps its precision.
    bool arcthrough3(DxfPoint s, DxfPoint qFromS, DxfPoint e);
    // The ellipse inscribed in the rectangle of points 1 and 2 as 16 quadratic sectors.
    void ellipsearcs(const Telemente &element, int pieces);

    // The whole export: header, the curves and lines (types 0, 1, 2), the ellipses, trailer.
    void writeDocument(Document &doc, int pieces);

    bool ok() const { return !failed; }

private:
    void line(const char *text);
    void line(const QByteArray &text);
    void vertex(DxfPoint p, long double bulge);
    void flush();

    QIODevice &out;
    QByteArray buffer;
    bool failed = false;
    bool polylineOpen = false;
    DxfPoint lastEnd;
};

// Cubic Bézier coordinate at t with exact integer powers, so t = 0 and t = 1 give the end points.
long double bezierpoint(long double t, long double p0, long double p1, long double p2, long double p3);

// The DXF file of a document. `pieces` (pieces per curve) is clamped to 0..DxfMaxPieces;
// with fewer than 1 piece curves and ellipses write nothing.
QByteArray dxfText(Document &doc, int pieces);
bool writeDxf(QIODevice &device, Document &doc, int pieces);
// Writes the file through the safe-write helper, so a failed export leaves an existing file untouched.
// On failure returns false with message 17 and the file name (the file cannot be created) or
// the system's error report (a write error) in *error.
bool exportDxf(const QString &path, Document &doc, int pieces, QString *error);

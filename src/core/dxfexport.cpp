#include "core/dxfexport.h"

#include "core/elements.h"
#include "core/safewrite.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;
constexpr long double PixelsPerUnit = 72;
constexpr qsizetype FlushThreshold = 64 * 1024;

bool finite(long double v)
{
    return std::isfinite(v);
}

// Sine of an angle in degrees with the multiples of 90° exact, so that the ellipse's points at
// 0°, 90°, 180° and 270° are exactly the middles of the rectangle's sides.
long double sinDegrees(long double degrees)
{
    long double reduced = std::fmod(degrees, 360.0L);
    if (reduced < 0)
        reduced += 360;
    const int quadrant = static_cast<int>(reduced / 90);
    const long double rest = reduced - quadrant * 90.0L;
    const long double radians = rest * Pi / 180;
    const long double s = rest == 0 ? 0.0L : std::sin(radians);
    const long double c = rest == 0 ? 1.0L : std::cos(radians);
    switch (quadrant) {
    case 0:
        return s;
    case 1:
        return c;
    case 2:
        return -s;
    default:
        return -c;
    }
}

long double cosDegrees(long double degrees)
{
    return sinDegrees(degrees + 90);
}

DxfPoint bezierPoint2(long double t, DxfPoint p0, DxfPoint p1, DxfPoint p2, DxfPoint p3)
{
    return {bezierpoint(t, p0.x, p1.x, p2.x, p3.x), bezierpoint(t, p0.y, p1.y, p2.y, p3.y)};
}

// The two inner control points of the cubic curve equal to the quadratic one with control k.
void quadraticControls(DxfPoint a, DxfPoint k, DxfPoint b, DxfPoint &c1, DxfPoint &c2)
{
    c1 = {a.x + (k.x - a.x) * 2 / 3, a.y + (k.y - a.y) * 2 / 3};
    c2 = {k.x + (b.x - k.x) / 3, k.y + (b.y - k.y) / 3};
}

} // namespace

DxfPoint dxfPointFromImage(long double x, long double y)
{
    return {x / PixelsPerUnit, -y / PixelsPerUnit};
}

QByteArray dxfnumber(long double v)
{
    if (v == 0 || !finite(v))
        return QByteArrayLiteral("0");

    // 15 significant digits, correctly rounded: "d.dddddddddddddde[+-]x".
    char text[64];
    std::snprintf(text, sizeof text, "%.14Le", v);
    const char *p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    QByteArray digits;
    while (*p && *p != 'e') {
        if (*p >= '0' && *p <= '9')
            digits.append(*p);
        ++p;
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);

    QByteArray out;
    if (negative)
        out.append('-');
    if (exponent >= -5 && exponent <= 14) {
        if (exponent >= 0) {
            const qsizetype integerDigits = exponent + 1;
            if (digits.size() <= integerDigits) {
                out.append(digits);
                out.append(QByteArray(integerDigits - digits.size(), '0'));
            } else {
                out.append(digits.left(integerDigits));
                out.append('.');
                out.append(digits.mid(integerDigits));
            }
        } else {
            out.append("0.");
            out.append(QByteArray(-exponent - 1, '0'));
            out.append(digits);
        }
    } else {
        out.append(digits.at(0));
        if (digits.size() > 1) {
            out.append('.');
            out.append(digits.mid(1));
        }
        out.append('E');
        out.append(QByteArray::number(exponent));
    }
    return out;
}

long double bezierpoint(long double t, long double p0, long double p1, long double p2, long double p3)
{
    const long double u = 1 - t;
    return u * u * u * p0 + 3 * t * u * u * p1 + 3 * t * t * u * p2 + t * t * t * p3;
}

DxfWriter::DxfWriter(QIODevice &device) : out(device) {}

void DxfWriter::line(const char *text)
{
    buffer.append(text);
    buffer.append("\r\n", 2);
    if (buffer.size() >= FlushThreshold)
        flush();
}

void DxfWriter::line(const QByteArray &text)
{
    buffer.append(text);
    buffer.append("\r\n", 2);
    if (buffer.size() >= FlushThreshold)
        flush();
}

void DxfWriter::flush()
{
    if (!failed && !buffer.isEmpty() && out.write(buffer) != buffer.size())
        failed = true;
    buffer.clear();
}

void DxfWriter::header()
{
    static const char *const lines[] = {
        " 0", "SECTION", "  2", "TABLES",
        " 0", "TABLE", " 2", "LTYPE",
        "70", "1",
        "0", "LTYPE", "2", "AUSGEZOGEN",
        "70", "0", "3", "Ausgezogenen Linie",
        "72", "65", "73", "0",
        "40", "0.0",
        "0", "ENDTAB",
        " 0", "TABLE", " 2", "LAYER",
        "70", "1",
        "0", "LAYER", "2", "0",
        "70", "0", "62", "7", "6", "AUSGEZOGEN",
        " 0", "ENDTAB",
        " 0", "ENDSEC",
        " 0", "SECTION", "  2", "ENTITIES",
    };
    static_assert(std::size(lines) == 50);
    for (const char *text : lines)
        line(text);
    polylineOpen = false;
    lastEnd = {};
}

void DxfWriter::trailer()
{
    if (polylineOpen) {
        line("0");
        line("SEQEND");
    }
    polylineOpen = false;
    line("  0");
    line("ENDSEC");
    line("  0");
    line("EOF");
    flush();
}

void DxfWriter::vertex(DxfPoint p, long double bulge)
{
    line("0");
    line("VERTEX");
    line("8");
    line("0");
    line("10");
    line(dxfnumber(p.x));
    line("20");
    line(dxfnumber(p.y));
    line("42");
    line(dxfnumber(bulge));
}

void DxfWriter::dxfsegment(DxfPoint p0, DxfPoint p1, long double bulge)
{
    const bool continues = polylineOpen && p0.x == lastEnd.x && p0.y == lastEnd.y;
    if (polylineOpen && !continues) {
        line("0");
        line("SEQEND");
    }
    if (!continues) {
        for (const char *text : {"0", "POLYLINE", "8", "0", "66", "1"})
            line(text);
        polylineOpen = true;
    }
    vertex(p0, bulge);
    vertex(p1, bulge);
    lastEnd = p1;
}

void DxfWriter::bezierarcs(DxfPoint p0, DxfPoint p1, DxfPoint p2, DxfPoint p3, int pieces)
{
    for (int j = 1; j <= pieces; ++j) {
        const DxfPoint s = bezierPoint2(static_cast<long double>(j - 1) / pieces, p0, p1, p2, p3);
        const DxfPoint m = bezierPoint2((j - 0.5L) / pieces, p0, p1, p2, p3);
        const DxfPoint e = bezierPoint2(static_cast<long double>(j) / pieces, p0, p1, p2, p3);
        if (!fitarc(s, m, e))
            dxfsegment(s, e, 0);
    }
}

bool DxfWriter::fitarc(DxfPoint s, DxfPoint m, DxfPoint e)
{
    // Everything relative to s: the candidates then sit at exact fractions of the half chord
    // however far the piece lies from the origin.
    const long double hx = (e.x - s.x) / 2;
    const long double hy = (e.y - s.y) / 2;
    const long double mx = m.x - s.x;
    const long double my = m.y - s.y;
    bool found = false;
    long double best = 0;
    DxfPoint bestQ;
    for (int k = 999; k >= -999; --k) {
        const DxfPoint q{hx + k * hy / 1000, hy - k * hx / 1000};
        const long double dx = q.x - mx;
        const long double dy = q.y - my;
        const long double distance = dx * dx + dy * dy;
        if (!finite(distance))
            continue;
        if (!found || distance < best) {
            found = true;
            best = distance;
            bestQ = q;
        }
    }
    return found && arcthrough3(s, bestQ, e);
}

bool DxfWriter::arcthrough3(DxfPoint s, DxfPoint qFromS, DxfPoint e)
{
    const long double qx = qFromS.x;
    const long double qy = qFromS.y;
    const long double ex = e.x - s.x;
    const long double ey = e.y - s.y;
    // Twice the signed area of the triangle; with s at the origin four of its six terms vanish.
    const long double d = qx * ey - qy * ex;
    if (!(std::fabs(d) > 1e-8L))
        return false;

    const long double q2 = qx * qx + qy * qy;
    const long double e2 = ex * ex + ey * ey;
    const long double ox = (q2 * ey - e2 * qy) / (2 * d);
    const long double oy = (e2 * qx - q2 * ex) / (2 * d);
    const long double radius = std::hypot(ox, oy);
    const long double aS = std::atan2(-oy, -ox);
    const long double aE = std::atan2(ey - oy, ex - ox);
    const long double sweep = aE > aS ? aE - aS : 2 * Pi - aS + aE;

    // tan(arcsin(c / 2R) / 2), written as (c / 2) / (R + D) with D the centre's distance from the
    // chord's middle: the same value, but without arcsin's loss of precision near half circles.
    const long double chord = std::hypot(ex, ey);
    const long double centreToChord = std::hypot(ox - ex / 2, oy - ey / 2);
    const long double magnitude = (chord / 2) / (radius + centreToChord);
    if (!finite(magnitude) || !finite(sweep))
        return false;

    dxfsegment(s, e, sweep < Pi ? magnitude : -magnitude);
    return true;
}

void DxfWriter::ellipsearcs(const Telemente &element, int pieces)
{
    if (!finite(element.x1) || !finite(element.y1) || !finite(element.x2) || !finite(element.y2))
        return;
    // A rectangle without width has no ellipse to follow.
    if (element.x1 == element.x2)
        return;
    const DxfPoint p1 = dxfPointFromImage(element.x1, element.y1);
    const DxfPoint p2 = dxfPointFromImage(element.x2, element.y2);
    const DxfPoint c{(p2.x - p1.x) / 2 + p1.x, (p2.y - p1.y) / 2 + p1.y};
    const auto point = [&](long double degrees) {
        return DxfPoint{c.x + (p2.x - c.x) * sinDegrees(degrees), c.y + (p1.y - c.y) * cosDegrees(degrees)};
    };
    const auto control = [&](long double degrees) {
        const long double sectorMiddle = degrees - 11.25L;
        return DxfPoint{c.x + 1.02L * (p2.x - c.x) * sinDegrees(sectorMiddle),
                        c.y + 1.02L * (p1.y - c.y) * cosDegrees(sectorMiddle)};
    };
    for (int i = 1; i <= 16; ++i) {
        const long double alpha = i * 22.5L;
        const DxfPoint a = point(alpha - 22.5L);
        const DxfPoint b = point(alpha);
        DxfPoint c1;
        DxfPoint c2;
        quadraticControls(a, control(alpha), b, c1, c2);
        bezierarcs(a, c1, c2, b, pieces);
    }
}

void DxfWriter::writeDocument(Document &doc, int pieces)
{
    pieces = std::clamp(pieces, 0, DxfMaxPieces);
    header();
    const int count = doc.count();
    for (int i = 0; i < count; ++i) {
        const Telemente &e = *doc.element(i);
        const bool ends = finite(e.x1) && finite(e.y1) && finite(e.x2) && finite(e.y2);
        switch (e.typ) {
        case TypLine:
            if (ends)
                dxfsegment(dxfPointFromImage(e.x1, e.y1), dxfPointFromImage(e.x2, e.y2), 0);
            break;
        case TypQuadCurve: {
            if (!ends || !finite(e.x3) || !finite(e.y3))
                break;
            // The cubic control points are taken in image pixels, then converted.
            const long double x1 = e.x1, y1 = e.y1, x2 = e.x2, y2 = e.y2, x3 = e.x3, y3 = e.y3;
            bezierarcs(dxfPointFromImage(x1, y1),
                       dxfPointFromImage(x1 + (x3 - x1) * 2 / 3, y1 + (y3 - y1) * 2 / 3),
                       dxfPointFromImage(x3 + (x2 - x3) / 3, y3 + (y2 - y3) / 3),
                       dxfPointFromImage(x2, y2), pieces);
            break;
        }
        case TypCubicCurve:
            if (!ends || !finite(e.x3) || !finite(e.y3) || !finite(e.x4) || !finite(e.y4))
                break;
            bezierarcs(dxfPointFromImage(e.x1, e.y1), dxfPointFromImage(e.x3, e.y3),
                       dxfPointFromImage(e.x4, e.y4), dxfPointFromImage(e.x2, e.y2), pieces);
            break;
        default:
            break;
        }
    }
    for (int i = 0; i < count; ++i) {
        const Telemente &e = *doc.element(i);
        if (e.typ == TypEllipse)
            ellipsearcs(e, pieces);
    }
    trailer();
}

bool writeDxf(QIODevice &device, Document &doc, int pieces)
{
    DxfWriter writer(device);
    writer.writeDocument(doc, pieces);
    return writer.ok();
}

QByteArray dxfText(Document &doc, int pieces)
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    writeDxf(buffer, doc, pieces);
    return text;
}

bool exportDxf(const QString &path, Document &doc, int pieces, QString *error)
{
    return writeFileSafely(path, [&doc, pieces](QIODevice &file, QString *) { return writeDxf(file, doc, pieces); }, error);
}

#include "image/rectify.h"

#include "image/velumo.h"

#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <thread>
#include <vector>

namespace {

double cross(QPointF a, QPointF b, QPointF c)
{
    return (b.x() - a.x()) * (c.y() - b.y()) - (b.y() - a.y()) * (c.x() - b.x());
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

bool finitePositive(double v)
{
    return std::isfinite(v) && v > 0;
}

// Boundary samples per picture edge for finding where the picture lands.
constexpr int EdgeSamples = 512;

// The picture as 24 or 32 bits per pixel, so that every depth is sampled by one loop; pictures
// already at those depths are used as they are.
bool trueColorSource(const dib &src, dib &copy, const dib *&use)
{
    const int bits = DibBitCount(src);
    if (bits == 24 || bits == 32) {
        use = &src;
        return true;
    }
    const std::int32_t w = DibWidth(src);
    const std::int32_t h = DibHeight(src);
    if (!newdib(copy, w, h, 24, nullptr, 0))
        return false;
    for (std::int32_t y = 0; y < h; ++y) {
        std::uint8_t *o = dibRow(copy, y);
        for (std::int32_t x = 0; x < w; ++x, o += 3) {
            const QRgb c = dibPixelColor(src, x, y);
            o[0] = static_cast<std::uint8_t>(qBlue(c));
            o[1] = static_cast<std::uint8_t>(qGreen(c));
            o[2] = static_cast<std::uint8_t>(qRed(c));
        }
    }
    use = &copy;
    return true;
}

// Output rows first .. last - 1 (counted from the top). Each output pixel centre goes back
// through the inverse transform, incrementally along the row, and takes the bilinear mix of the
// four source pixels around it; outside the picture the paper is white.
template <int Bytes>
void resampleRows(dib &out, const dib &src, const QTransform &inverse, int first, int last)
{
    const int outHeight = DibHeight(out);
    const int outWidth = DibWidth(out);
    const int w = DibWidth(src);
    const int h = DibHeight(src);
    const double maxX = w - 0.5;
    const double maxY = h - 0.5;
    const std::ptrdiff_t stride = src.bytew;
    // Source row r from the top is stored row h - 1 - r: going down the picture is going back
    // in memory.
    const std::uint8_t *top = dibRow(src, h - 1);
    for (int j = first; j < last; ++j) {
        std::uint8_t *o = dibRow(out, outHeight - 1 - j);
        const double v = j + 0.5;
        double X = inverse.m11() * 0.5 + inverse.m21() * v + inverse.dx();
        double Y = inverse.m12() * 0.5 + inverse.m22() * v + inverse.dy();
        double W = inverse.m13() * 0.5 + inverse.m23() * v + inverse.m33();
        for (int i = 0; i < outWidth; ++i, o += 3, X += inverse.m11(), Y += inverse.m12(), W += inverse.m13()) {
            const double r = 1.0 / W;
            const double sx = X * r;
            const double sy = Y * r;
            if (!(W > 0) || !(sx >= -0.5 && sx <= maxX && sy >= -0.5 && sy <= maxY)) {
                o[0] = o[1] = o[2] = 255;
                continue;
            }
            // Pixel centres sit at i + 0.5; the border half-pixel repeats the edge pixels.
            const double fx = std::clamp(sx - 0.5, 0.0, double(w - 1));
            const double fy = std::clamp(sy - 0.5, 0.0, double(h - 1));
            const int x0 = static_cast<int>(fx);
            const int y0 = static_cast<int>(fy);
            const int x1 = std::min(x0 + 1, w - 1);
            const int dy = y0 + 1 < h ? 1 : 0;
            const int ax = static_cast<int>((fx - x0) * 256.0);
            const int ay = static_cast<int>((fy - y0) * 256.0);
            const std::uint8_t *row0 = top - std::ptrdiff_t(y0) * stride;
            const std::uint8_t *row1 = row0 - dy * stride;
            const std::uint8_t *p00 = row0 + x0 * Bytes;
            const std::uint8_t *p01 = row0 + x1 * Bytes;
            const std::uint8_t *p10 = row1 + x0 * Bytes;
            const std::uint8_t *p11 = row1 + x1 * Bytes;
            for (int c = 0; c < 3; ++c) {
                const int upper = p00[c] * (256 - ax) + p01[c] * ax;
                const int lower = p10[c] * (256 - ax) + p11[c] * ax;
                o[c] = static_cast<std::uint8_t>((upper * (256 - ay) + lower * ay + (1 << 15)) >> 16);
            }
        }
    }
}

} // namespace

QString rectifyProblemText(RectifyProblem problem)
{
    switch (problem) {
    case RectifyProblem::None:
        return QString();
    case RectifyProblem::NotConvex:
        return QStringLiteral("Die vier Punkte bilden kein konvexes Viereck. Bitte die vier Ecken eines Rechtecks anklicken.");
    case RectifyProblem::ZeroSize:
        return QStringLiteral("Breite, Höhe und Dichte müssen größer als null sein.");
    case RectifyProblem::TooSmall:
        return QStringLiteral("Bei dieser Dichte wäre das Rechteck kleiner als ein Pixel.");
    case RectifyProblem::TooLarge:
        return QStringLiteral("Das entzerrte Bild würde größer, als das Programm Bilder annimmt. Bitte eine kleinere Dichte wählen.");
    case RectifyProblem::OutOfMemory:
        return QStringLiteral("Für das Bild reicht der Speicher nicht.");
    case RectifyProblem::NoPicture:
        return QStringLiteral("Es ist kein Bild geladen.");
    }
    return QString();
}

bool orderCorners(const Quad &clicked, Quad &ordered)
{
    QPointF centre;
    for (const QPointF &p : clicked) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return false;
        centre += p / 4.0;
    }
    Quad sorted = clicked;
    // Image rows grow downwards, so rising angles go clockwise on the screen.
    std::sort(sorted.begin(), sorted.end(), [centre](QPointF a, QPointF b) {
        return std::atan2(a.y() - centre.y(), a.x() - centre.x()) < std::atan2(b.y() - centre.y(), b.x() - centre.x());
    });
    double perimeter = 0;
    for (int k = 0; k < 4; ++k)
        perimeter += distance(sorted[k], sorted[(k + 1) % 4]);
    // A turn much smaller than the quadrilateral is a straight line at clicking precision.
    const double minimumTurn = 1e-4 * perimeter * perimeter;
    for (int k = 0; k < 4; ++k)
        if (!(cross(sorted[k], sorted[(k + 1) % 4], sorted[(k + 2) % 4]) > minimumTurn))
            return false;
    int start = 0;
    for (int k = 1; k < 4; ++k)
        if (sorted[k].x() + sorted[k].y() < sorted[start].x() + sorted[start].y())
            start = k;
    for (int k = 0; k < 4; ++k)
        ordered[k] = sorted[(start + k) % 4];
    return true;
}

double defaultDensity(const Quad &ordered, double realWidth, double realHeight)
{
    if (!finitePositive(realWidth) || !finitePositive(realHeight))
        return 0;
    if (realWidth >= realHeight)
        return (distance(ordered[0], ordered[1]) + distance(ordered[3], ordered[2])) / 2 / realWidth;
    return (distance(ordered[1], ordered[2]) + distance(ordered[0], ordered[3])) / 2 / realHeight;
}

RectifyProblem planRectification(const QSize &pictureSize, const Quad &clicked, double realWidth, double realHeight,
                                 double density, RectifyPlan &plan)
{
    if (pictureSize.isEmpty())
        return RectifyProblem::NoPicture;
    Quad corners;
    if (!orderCorners(clicked, corners))
        return RectifyProblem::NotConvex;
    if (!finitePositive(realWidth) || !finitePositive(realHeight) || !finitePositive(density))
        return RectifyProblem::ZeroSize;
    const double rectWidth = realWidth * density;
    const double rectHeight = realHeight * density;
    if (!std::isfinite(rectWidth) || !std::isfinite(rectHeight) || rectWidth > MaxDibSide || rectHeight > MaxDibSide)
        return RectifyProblem::TooLarge;
    if (rectWidth < 1 || rectHeight < 1)
        return RectifyProblem::TooSmall;

    QTransform toRectangle;
    const QPolygonF from{QList<QPointF>(corners.begin(), corners.end())};
    const QPolygonF to({QPointF(0, 0), QPointF(rectWidth, 0), QPointF(rectWidth, rectHeight), QPointF(0, rectHeight)});
    if (!QTransform::quadToQuad(from, to, toRectangle))
        return RectifyProblem::NotConvex;

    // Only points in front of the vanishing line land on the picture; which side that is, the
    // rectangle's own centre tells.
    const QPointF centre = (corners[0] + corners[1] + corners[2] + corners[3]) / 4.0;
    const double side = toRectangle.m13() * centre.x() + toRectangle.m23() * centre.y() + toRectangle.m33();
    const double pw = pictureSize.width();
    const double ph = pictureSize.height();
    double left = 0, top = 0, right = rectWidth, bottom = rectHeight;
    for (int edge = 0; edge < 4; ++edge)
        for (int k = 0; k <= EdgeSamples; ++k) {
            const double t = double(k) / EdgeSamples;
            const QPointF p = edge == 0 ? QPointF(t * pw, 0)
                            : edge == 1 ? QPointF(pw, t * ph)
                            : edge == 2 ? QPointF((1 - t) * pw, ph)
                                        : QPointF(0, (1 - t) * ph);
            const double w = toRectangle.m13() * p.x() + toRectangle.m23() * p.y() + toRectangle.m33();
            if (!(w * side > 0))
                continue;
            const double x = (toRectangle.m11() * p.x() + toRectangle.m21() * p.y() + toRectangle.dx()) / w;
            const double y = (toRectangle.m12() * p.x() + toRectangle.m22() * p.y() + toRectangle.dy()) / w;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    const double reach = std::max({2 * std::max(pw, ph), rectWidth, rectHeight}) / 2;
    const double cx = rectWidth / 2;
    const double cy = rectHeight / 2;
    left = std::floor(std::max(left, cx - reach));
    right = std::ceil(std::min(right, cx + reach));
    top = std::floor(std::max(top, cy - reach));
    bottom = std::ceil(std::min(bottom, cy + reach));
    const double width = right - left;
    const double height = bottom - top;
    if (width > MaxDibSide || height > MaxDibSide
        || dibRowBytes(static_cast<std::int64_t>(width), 24) * static_cast<std::int64_t>(height) > MaxDecodedPictureBytes)
        return RectifyProblem::TooLarge;

    plan.transform = toRectangle * QTransform::fromTranslate(-left, -top);
    plan.size = QSize(static_cast<int>(width), static_cast<int>(height));
    plan.rectangleTopLeft = QPointF(-left, -top);
    plan.rectangleWidth = rectWidth;
    plan.rectangleHeight = rectHeight;
    return RectifyProblem::None;
}

bool rectifyDib(dib &out, const dib &src, const RectifyPlan &plan)
{
    out.poi = nullptr;
    if (!src.poi || plan.size.isEmpty())
        return false;
    bool invertible = false;
    QTransform inverse = plan.transform.inverted(&invertible);
    if (!invertible)
        return false;
    // The picture's side of the vanishing line gets positive weights, so that one test tells
    // the points behind it.
    const double centreW = inverse.m13() * plan.size.width() / 2 + inverse.m23() * plan.size.height() / 2 + inverse.m33();
    if (centreW < 0)
        inverse = QTransform(-inverse.m11(), -inverse.m12(), -inverse.m13(), -inverse.m21(), -inverse.m22(),
                             -inverse.m23(), -inverse.dx(), -inverse.dy(), -inverse.m33());

    dib copy;
    const dib *source = nullptr;
    if (!trueColorSource(src, copy, source))
        return false;
    dib result;
    if (!newdib(result, plan.size.width(), plan.size.height(), 24, nullptr, 0)) {
        deldib(copy);
        return false;
    }
    const int rows = plan.size.height();
    const int bytes = DibBitCount(*source) / 8;
    const auto run = [&](int first, int last) {
        if (bytes == 4)
            resampleRows<4>(result, *source, inverse, first, last);
        else
            resampleRows<3>(result, *source, inverse, first, last);
    };
    // Rows are independent: the other cores take a share each.
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    std::vector<std::thread> helpers;
    const int share = (rows + workers - 1) / workers;
    for (int k = 1; k < workers && k * share < rows; ++k)
        helpers.emplace_back(run, k * share, std::min(rows, (k + 1) * share));
    run(0, std::min(rows, share));
    for (std::thread &t : helpers)
        t.join();
    deldib(copy);
    out = result;
    return true;
}

void mapElements(Document &doc, const QTransform &transform)
{
    // The record is packed, so its coordinates are copied out and back rather than referenced:
    // x1..y4 and then ox1..oy4, sixteen doubles in a row.
    static_assert(offsetof(Telemente, ox1) == offsetof(Telemente, x1) + 8 * sizeof(double));
    constexpr std::size_t first = offsetof(Telemente, x1);
    for (int i = 0; i < doc.count(); ++i) {
        Telemente &e = *doc.element(i);
        double c[16];
        std::memcpy(c, reinterpret_cast<const char *>(&e) + first, sizeof c);
        const bool curve = e.typ == TypQuadCurve || e.typ == TypCubicCurve;
        const bool third = curve || e.typ == TypDistance || e.typ == TypScaleLine;
        for (int k = 0; k < 8; ++k) {
            const int point = k % 4;
            if ((point == 2 && !third) || (point == 3 && !curve))
                continue;
            const QPointF p = transform.map(QPointF(c[2 * k], c[2 * k + 1]));
            c[2 * k] = p.x();
            c[2 * k + 1] = p.y();
        }
        std::memcpy(reinterpret_cast<char *>(&e) + first, c, sizeof c);
        const int n = Document::vertexCount(e);
        for (int k = 0; k < n; ++k) {
            Tvertex *v = Document::vertex(e.vert, k);
            const QPointF p = transform.map(QPointF(v->x, v->y));
            v->x = p.x();
            v->y = p.y();
        }
    }
}

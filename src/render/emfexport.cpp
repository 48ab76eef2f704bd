#include "render/emfexport.h"

#include "core/elements.h"
#include "core/safewrite.h"
#include "core/translate.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QPoint>
#include <QPointF>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

// libEMF brings the GDI declarations with their macros; it comes last so that they reach no
// other header.
#define NOMINMAX
#include <emf.h>

namespace {

// Offsets in the metafile's header record.
constexpr qsizetype HeaderBounds = 8;
constexpr qsizetype HeaderFrame = 24;
constexpr qsizetype HeaderSignature = 40;
constexpr qsizetype HeaderBytes = 48;
constexpr qsizetype HeaderDevice = 72;
constexpr qsizetype HeaderMillimeters = 80;
constexpr qsizetype HeaderMinimum = 88;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"

// The rectangle covered by what was drawn, in device pixels, both edges included.
class Bounds
{
public:
    void add(double x, double y, int penWidth)
    {
        const double half = penWidth / 2;
        addPoint(std::floor(x - half), std::floor(y - half));
        addPoint(std::ceil(x + half), std::ceil(y + half));
    }

    // A cubic Bézier curve: its end points and the extremes between them.
    void addBezier(QPoint p0, QPoint p1, QPoint p2, QPoint p3, int penWidth)
    {
        add(p0.x(), p0.y(), penWidth);
        add(p3.x(), p3.y(), penWidth);
        for (const double t : extremes(p0.x(), p1.x(), p2.x(), p3.x()))
            addCurvePoint(t, p0, p1, p2, p3, penWidth);
        for (const double t : extremes(p0.y(), p1.y(), p2.y(), p3.y()))
            addCurvePoint(t, p0, p1, p2, p3, penWidth);
    }

    bool empty() const { return !any; }
    double left() const { return minX; }
    double top() const { return minY; }
    double right() const { return maxX; }
    double bottom() const { return maxY; }

private:
    void addPoint(double x, double y)
    {
        if (!any) {
            minX = maxX = x;
            minY = maxY = y;
            any = true;
            return;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }

    void addCurvePoint(double t, QPoint p0, QPoint p1, QPoint p2, QPoint p3, int penWidth)
    {
        const double s = 1 - t;
        const double a = s * s * s, b = 3 * t * s * s, c = 3 * t * t * s, d = t * t * t;
        add(a * p0.x() + b * p1.x() + c * p2.x() + d * p3.x(), a * p0.y() + b * p1.y() + c * p2.y() + d * p3.y(),
            penWidth);
    }

    // Parameters in (0, 1) where one coordinate of the curve turns.
    static std::array<double, 2> extremes(double v0, double v1, double v2, double v3)
    {
        // The derivative divided by 3: a t^2 + b t + c.
        const double a = -v0 + 3 * v1 - 3 * v2 + v3;
        const double b = 2 * (v0 - 2 * v1 + v2);
        const double c = v1 - v0;
        std::array<double, 2> roots{0.0, 0.0};
        if (std::abs(a) < 1e-12) {
            if (std::abs(b) > 1e-12)
                roots[0] = std::clamp(-c / b, 0.0, 1.0);
            return roots;
        }
        const double disc = b * b - 4 * a * c;
        if (disc < 0)
            return roots;
        const double root = std::sqrt(disc);
        roots[0] = std::clamp((-b + root) / (2 * a), 0.0, 1.0);
        roots[1] = std::clamp((-b - root) / (2 * a), 0.0, 1.0);
        return roots;
    }

    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// A recording canvas on libEMF writing into memory: the pen of the element, lines, curves and
// ellipses, each adding to the bounds of the picture.
class EmfCanvas
{
public:
    EmfCanvas()
    {
        stream = open_memstream(&buffer, &length);
        if (stream)
            dc = CreateEnhMetaFileWithFILEA(0, stream, nullptr, nullptr);
    }
    ~EmfCanvas()
    {
        if (dc)
            DeleteEnhMetaFile(CloseEnhMetaFileWithFILE(dc));
        if (stream)
            std::fclose(stream);
        std::free(buffer);
    }
    EmfCanvas(const EmfCanvas &) = delete;
    EmfCanvas &operator=(const EmfCanvas &) = delete;

    bool valid() const { return dc != 0; }

    void setPen(COLORREF colour, int width)
    {
        HPEN fresh = CreatePen(PS_SOLID, width, colour);
        if (!fresh) {
            failed = true;
            return;
        }
        SelectObject(dc, fresh);
        if (pen)
            DeleteObject(pen);
        pen = fresh;
        penWidth = width;
    }

    void moveTo(QPoint p) { MoveToEx(dc, p.x(), p.y(), nullptr); current = p; }

    void lineTo(QPoint p)
    {
        bounds.add(current.x(), current.y(), penWidth);
        bounds.add(p.x(), p.y(), penWidth);
        LineTo(dc, p.x(), p.y());
        current = p;
    }

    void bezierTo(QPoint c1, QPoint c2, QPoint end)
    {
        bounds.addBezier(current, c1, c2, end, penWidth);
        const POINT points[3] = {{c1.x(), c1.y()}, {c2.x(), c2.y()}, {end.x(), end.y()}};
        PolyBezierTo(dc, points, 3);
        current = end;
    }

    void ellipse(QPoint a, QPoint b)
    {
        if (!clearBrush) {
            SelectObject(dc, GetStockObject(NULL_BRUSH));
            clearBrush = true;
        }
        bounds.add(a.x(), a.y(), penWidth);
        bounds.add(b.x(), b.y(), penWidth);
        Ellipse(dc, a.x(), a.y(), b.x(), b.y());
    }

    // Completes the recording and returns the file's bytes with the bounds of what was drawn.
    QByteArray finish(QString *error)
    {
        if (pen) {
            SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(pen);
            pen = 0;
        }
        HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
        dc = 0;
        if (metafile)
            DeleteEnhMetaFile(metafile);
        const bool flushed = std::fclose(stream) == 0;
        stream = nullptr;
        QByteArray bytes;
        if (!failed && metafile && flushed && buffer)
            bytes = QByteArray(buffer, static_cast<qsizetype>(length));
        if (!headerValid(bytes)) {
            if (error)
                *error = Translate(QStringLiteral("Die Metadatei konnte nicht erstellt werden."));
            return {};
        }
        writeBounds(bytes);
        return bytes;
    }

private:
    static qint32 readInt(const QByteArray &bytes, qsizetype offset)
    {
        return qFromLittleEndian<qint32>(bytes.constData() + offset);
    }
    static void writeInt(QByteArray &bytes, qsizetype offset, qint32 value)
    {
        qToLittleEndian<qint32>(value, bytes.data() + offset);
    }

    static bool headerValid(const QByteArray &bytes)
    {
        return bytes.size() >= HeaderMinimum && readInt(bytes, 0) == 1 && readInt(bytes, 4) >= HeaderMinimum
            && static_cast<quint32>(readInt(bytes, HeaderSignature)) == EmfSignature
            && readInt(bytes, HeaderBytes) == bytes.size() && readInt(bytes, HeaderDevice) > 0
            && readInt(bytes, HeaderDevice + 4) > 0 && readInt(bytes, HeaderMillimeters) > 0
            && readInt(bytes, HeaderMillimeters + 4) > 0;
    }

    // The bounds in device pixels and the frame in hundredths of a millimetre of the reference
    // device; an empty picture has the empty rectangle (0, 0, -1, -1) for both.
    void writeBounds(QByteArray &bytes) const
    {
        std::array<qint32, 4> pixels{0, 0, -1, -1};
        std::array<qint32, 4> frame{0, 0, -1, -1};
        if (!bounds.empty()) {
            const auto clampInt = [](double v) {
                return static_cast<qint32>(std::clamp(v, -2147483648.0, 2147483647.0));
            };
            pixels = {clampInt(bounds.left()), clampInt(bounds.top()), clampInt(bounds.right()),
                      clampInt(bounds.bottom())};
            const double perPixelX =
                100.0 * readInt(bytes, HeaderMillimeters) / static_cast<double>(readInt(bytes, HeaderDevice));
            const double perPixelY =
                100.0 * readInt(bytes, HeaderMillimeters + 4) / static_cast<double>(readInt(bytes, HeaderDevice + 4));
            frame = {clampInt(std::floor(bounds.left() * perPixelX)), clampInt(std::floor(bounds.top() * perPixelY)),
                     clampInt(std::ceil(bounds.right() * perPixelX)), clampInt(std::ceil(bounds.bottom() * perPixelY))};
        }
        for (int i = 0; i < 4; ++i) {
            writeInt(bytes, HeaderBounds + 4 * i, pixels[static_cast<std::size_t>(i)]);
            writeInt(bytes, HeaderFrame + 4 * i, frame[static_cast<std::size_t>(i)]);
        }
    }

    char *buffer = nullptr;
    std::size_t length = 0;
    FILE *stream = nullptr;
    HDC dc = 0;
    HPEN pen = 0;
    int penWidth = 1;
    bool clearBrush = false;
    bool failed = false;
    QPoint current;
    Bounds bounds;
};

COLORREF colorRefOf(const QColor &c)
{
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace

QByteArray emfBytes(Document &doc, const ViewState &view, const DrawingSettings &settings, QString *error)
{
    // The picture starts at the image origin whatever the scroll position.
    const ViewState at = view.atOrigin();
    const auto T = [&at](double x, double y) { return at.screen(x, y); };

    EmfCanvas canvas;
    if (!canvas.valid()) {
        if (error)
            *error = Translate(QStringLiteral("Die Metadatei konnte nicht erstellt werden."));
        return {};
    }
    const COLORREF colour = colorRefOf(settings.elementColor);
    const int width = elementPenWidth(at, settings);

    int chainStart = -1;
    const int count = doc.count();
    for (int i = 0; i < count; ++i) {
        const Telemente &e = *doc.element(i);
        // The first segment of a chain is the nearest element with nr 0 at or before this one.
        if (e.nr == 0)
            chainStart = i;
        canvas.setPen(colour, width);
        canvas.moveTo(T(e.x1, e.y1));
        switch (e.typ) {
        case TypLine:
            canvas.lineTo(T(e.x2, e.y2));
            break;
        case TypQuadCurve:
            canvas.bezierTo(T(e.x1 + (e.x3 - e.x1) * 2 / 3, e.y1 + (e.y3 - e.y1) * 2 / 3),
                            T(e.x3 + (e.x2 - e.x3) / 3, e.y3 + (e.y2 - e.y3) / 3), T(e.x2, e.y2));
            break;
        case TypCubicCurve:
            canvas.bezierTo(T(e.x3, e.y3), T(e.x4, e.y4), T(e.x2, e.y2));
            break;
        case TypEllipse:
            canvas.ellipse(T(e.x1, e.y1), T(e.x2, e.y2));
            break;
        default:
            break;
        }
        if (e.closed) {
            canvas.moveTo(T(e.x2, e.y2));
            if (chainStart >= 0) {
                const Telemente &first = *doc.element(chainStart);
                canvas.setPen(colour, width);
                canvas.lineTo(T(first.x1, first.y1));
            }
        }
    }
    return canvas.finish(error);
}

bool saveasemf(const QString &path, Document &doc, const ViewState &view, const DrawingSettings &settings,
               QString *error)
{
    const QByteArray bytes = emfBytes(doc, view, settings, error);
    if (bytes.isEmpty())
        return false;
    return writeFileSafely(path, bytes, error);
}

#include "image/drawdib.h"

#include "image/velumo.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

int &screenBitsOverride()
{
    static int bits = 0;
    return bits;
}

DrawFailureHandler &failureHandler()
{
    static DrawFailureHandler handler;
    return handler;
}

// d * s / oldS with the product in integers and the quotient rounded to nearest, halves to even.
int proportional(std::int64_t d, std::int64_t s, std::int64_t oldS)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(d * s) / static_cast<double>(oldS)));
}

bool isPrinter(const QPainter &p)
{
    const QPaintDevice *device = p.device();
    const QPaintEngine *engine = p.paintEngine();
    return (device && device->devType() == QInternal::Printer) || (engine && engine->type() == QPaintEngine::Pdf);
}

// The back buffer the row stretchers may write into, and the painter's clip (null: none).
QImage *rowsBuffer(const QPainter &p, QRect *clip = nullptr)
{
    QPaintDevice *device = p.device();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto *buffer = static_cast<QImage *>(device);
    switch (buffer->format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        return nullptr;
    }
    if (buffer->devicePixelRatio() != 1.0 || !p.deviceTransform().isIdentity())
        return nullptr;
    QRect clipRect;
    if (p.hasClipping()) {
        const QRegion region = p.clipRegion();
        if (region.rectCount() > 1)
            return nullptr;
        clipRect = region.boundingRect();
    }
    if (clip)
        *clip = clipRect;
    return buffer;
}

void paintImage(QPainter &p, const QRect &target, const QImage &img)
{
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, img, img.rect());
    p.restore();
}

bool fillFromDib(QImage &full, const dib &d)
{
    switch (DibBitCount(d)) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    const std::int32_t height = DibHeight(d);
    for (int y = 0; y < full.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(full.scanLine(y));
        for (int x = 0; x < full.width(); ++x)
            out[x] = dibPixelColor(d, x, height - 1 - y);
    }
    return true;
}

// The painter's own stretch, then a copy resampled to the destination size, then the whole
// image as one bitmap; only the last reports its failures.
void deviceStretch(QPainter &p, const DibBlit &b, const dib &d)
{
    const std::int32_t width = DibWidth(d);
    const std::int32_t height = DibHeight(d);
    const QRect part(b.sx, height - b.sy - b.sh, b.sw, b.sh);
    const QRect target(b.x, b.y, b.dw, b.dh);
    if (p.isActive()) {
        const QImage img = dibToQImage(d, part);
        if (!img.isNull()) {
            paintImage(p, target, img);
            return;
        }
        dib resampled;
        if (ResampleDib(resampled, d, b.sx, b.sy, b.sw, b.sh, b.dw, b.dh)) {
            const QImage copy = dibToQImage(resampled);
            deldib(resampled);
            if (!copy.isNull()) {
                paintImage(p, target, copy);
                return;
            }
        }
    }
    QImage full(width, height, QImage::Format_RGB32);
    if (full.isNull()) {
        reportDrawFailure(QStringLiteral("Could not create bitmap."));
        return;
    }
    if (!fillFromDib(full, d)) {
        reportDrawFailure(QStringLiteral("The device does not support the Funtkion setdibits!"));
        return;
    }
    if (!p.isActive()) {
        reportDrawFailure(QStringLiteral("The device does not support the function StretchBlt!"));
        return;
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, full, part);
    p.restore();
}

// On a screen of at most 256 colours a 24-bit image is dithered first; when it is drawn smaller
// the dithering is done at the destination size, so that the pattern is not thinned out.
void drawHalftoned(QPainter &p, const DibBlit &b, const dib &d)
{
    const std::int32_t width = DibWidth(d);
    const std::int32_t height = DibHeight(d);
    dib copy;
    DibBlit from = b;
    if (b.dw < b.sw || b.dh < b.sh) {
        const int cw = std::max(1, proportional(width, b.dw, b.sw));
        const int ch = std::max(1, proportional(height, b.dh, b.sh));
        if (!DIBHalftoneDIBXY(copy, d, cw, ch))
            return;
        from.sx = proportional(cw, b.sx, width);
        from.sy = proportional(ch, b.sy, height);
        from.sw = b.dw;
        from.sh = b.dh;
    } else if (!DIBHalftoneDIB(copy, d)) {
        return;
    }
    if (clipDibBlit(from, DibWidth(copy), DibHeight(copy)))
        deviceStretch(p, from, copy);
    deldib(copy);
}

} // namespace

int ScreenBitsPerPixel()
{
    if (screenBitsOverride() > 0)
        return screenBitsOverride();
    if (!qGuiApp)
        return 24;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

void setScreenBitsPerPixelOverride(int bits)
{
    screenBitsOverride() = bits > 0 ? bits : 0;
}

bool clipDibBlit(DibBlit &b, std::int32_t width, std::int32_t height)
{
    if (b.dw <= 0 || b.dh <= 0 || b.sw <= 0 || b.sh <= 0 || width <= 0 || height <= 0)
        return false;
    if (std::int64_t(b.sx) + b.sw > width) {
        const std::int64_t sw = std::int64_t(width) - b.sx;
        if (sw <= 0)
            return false;
        b.dw = proportional(b.dw, sw, b.sw);
        b.sw = static_cast<int>(sw);
    }
    if (b.sy < 0) {
        const std::int64_t sh = std::int64_t(b.sh) + b.sy;
        if (sh <= 0)
            return false;
        b.dh = proportional(b.dh, sh, b.sh);
        b.sh = static_cast<int>(sh);
        b.sy = 0;
    }
    if (std::int64_t(b.sy) + b.sh > height) {
        const std::int64_t sh = std::int64_t(height) - b.sy;
        if (sh <= 0)
            return false;
        const int dh = proportional(b.dh, sh, b.sh);
        b.y += b.dh - dh;
        b.dh = dh;
        b.sh = static_cast<int>(sh);
    }
    if (b.sx < 0) {
        const std::int64_t sw = std::int64_t(b.sw) + b.sx;
        if (sw <= 0)
            return false;
        const int dw = proportional(b.dw, sw, b.sw);
        b.x += b.dw - dw;
        b.dw = dw;
        b.sw = static_cast<int>(sw);
        b.sx = 0;
    }
    return b.dw > 0 && b.dh > 0;
}

DrawDibPath chooseDrawDibPath(const QPainter &p, const dib &d, bool halftoneAllowed)
{
    const int bits = DibBitCount(d);
    if (bits == 24 && halftoneAllowed && ScreenBitsPerPixel() <= 8)
        return DrawDibPath::Halftone;
    if (isPrinter(p) || !rowsBuffer(p))
        return DrawDibPath::DeviceStretch;
    if (bits == 24)
        return DrawDibPath::Rows24;
    if (bits == 8)
        return DrawDibPath::Rows8;
    return DrawDibPath::DeviceStretch;
}

RowStretch rowStretch(QPainter &p, int x, int y, int dw, int dh, const dib &d, int sx, int sy, int sw, int sh,
                      bool halftoneAllowed)
{
    if (!d.pmi || !d.poi)
        return {};
    DibBlit b{x, y, dw, dh, sx, sy, sw, sh};
    if (!clipDibBlit(b, DibWidth(d), DibHeight(d)))
        return {};
    const DrawDibPath path = chooseDrawDibPath(p, d, halftoneAllowed);
    if (path != DrawDibPath::Rows24 && path != DrawDibPath::Rows8)
        return {};
    QRect clip;
    QImage *buffer = rowsBuffer(p, &clip);
    if (p.hasClipping() && clip.isEmpty())
        return [](int, int) {};
    // The stretch writes through an image of its own, made where it runs, onto the same pixels:
    // the painter's image counts its detaches, which another thread may do meanwhile.
    uchar *bits = buffer->bits();
    const QSize size = buffer->size();
    const qsizetype stride = buffer->bytesPerLine();
    const QImage::Format format = buffer->format();
    const int top = DibHeight(d) - b.sy - b.sh;
    if (clip.isNull())
        clip = QRect(QPoint(0, 0), size);
    return [=, &d, rows24 = path == DrawDibPath::Rows24](int first, int end) {
        const QRect rows = clip & QRect(0, first, size.width(), std::min(end, size.height()) - first);
        if (rows.isEmpty())
            return;
        QImage pixels(bits, size.width(), size.height(), stride, format);
        if (rows24)
            StretchDibRows24(pixels, b.x, b.y, b.dw, b.dh, d, b.sx, top, b.sw, b.sh, rows);
        else
            StretchDibRows8(pixels, b.x, b.y, b.dw, b.dh, d, b.sx, top, b.sw, b.sh, rows);
    };
}

void DrawDib(QPainter &p, int x, int y, int dw, int dh, const dib &d, int sx, int sy, int sw, int sh,
             bool halftoneAllowed)
{
    if (const RowStretch stretch = rowStretch(p, x, y, dw, dh, d, sx, sy, sw, sh, halftoneAllowed)) {
        stretch(0, std::numeric_limits<int>::max());
        return;
    }
    if (!d.pmi || !d.poi)
        return;
    DibBlit b{x, y, dw, dh, sx, sy, sw, sh};
    if (!clipDibBlit(b, DibWidth(d), DibHeight(d)))
        return;
    if (chooseDrawDibPath(p, d, halftoneAllowed) == DrawDibPath::Halftone)
        drawHalftoned(p, b, d);
    else
        deviceStretch(p, b, d);
}

void setDrawFailureHandler(DrawFailureHandler handler)
{
    failureHandler() = std::move(handler);
}

void reportDrawFailure(const QString &message)
{
    if (failureHandler())
        failureHandler()(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

#include "render/pointmark.h"

#include "render/directpixels.h"

#include <QPainter>
#include <QPen>
#include <QPoint>

namespace {

void square(QPainter &p, int X, int Y, int r)
{
    const QPoint corners[5] = {QPoint(X - r, Y - r), QPoint(X + r, Y - r), QPoint(X + r, Y + r), QPoint(X - r, Y + r),
                               QPoint(X - r, Y - r)};
    p.drawPolyline(corners, 5);
}

}

void endpunkt(QPainter &p, int X, int Y)
{
    endpunkt(p, DirectPixels(p), X, Y);
}

void endpunkt(QPainter &p, const DirectPixels &pixels, int X, int Y)
{
    // A mark wholly off the buffer changes no pixel; the painter would only find that out after
    // two pen changes and two clipped outlines.
    if (pixels.usable() && !pixels.touches(X, Y, 5))
        return;
    if (pixels.usable() && pixels.holds(X, Y, 4)) {
        pixels.squareOutline(X, Y, 3, qRgb(255, 255, 255));
        pixels.squareOutline(X, Y, 4, qRgb(0, 0, 0));
        return;
    }
    pixels.settle();
    const QPen before = p.pen();
    QPen pen(QColor(255, 255, 255), 1);
    p.setPen(pen);
    square(p, X, Y, 3);
    pen.setColor(QColor(0, 0, 0));
    p.setPen(pen);
    square(p, X, Y, 4);
    p.setPen(before);
}

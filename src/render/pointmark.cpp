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
    // Straight into the pixels, where the paint engine would cost two pen changes and two
    // outlines; a mark cut by the edge shows the part of the whole mark that lies on the buffer,
    // as it does once scrolled fully into view.
    if (pixels.usable()) {
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

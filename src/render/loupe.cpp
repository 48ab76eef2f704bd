#include "render/loupe.h"

#include "core/dib.h"
#include "image/velumo.h"

#include <QPainter>

#include <algorithm>

#include <cmath>

namespace {

const QRgb Beyond = qRgb(128, 128, 128);
const QColor CrossColor(255, 0, 255);
const QColor SnapColor(0, 160, 255);

// The on-screen square of a picture pixel inside the loupe.
QRect pixelSquare(QPoint pixel, QPoint origin)
{
    return QRect((pixel.x() - origin.x()) * LoupeFactor, (pixel.y() - origin.y()) * LoupeFactor, LoupeFactor,
                 LoupeFactor);
}

// Each picture pixel is read once and copied into its LoupeFactor rows.
void fillPicture(QImage &out, const dib &picture, QPoint origin)
{
    const int width = picture.poi ? DibWidth(picture) : 0;
    const int height = picture.poi ? DibHeight(picture) : 0;
    for (int row = 0; row < LoupeSpan; ++row) {
        const int y = origin.y() + row;
        auto *first = reinterpret_cast<QRgb *>(out.scanLine(row * LoupeFactor));
        for (int column = 0; column < LoupeSpan; ++column) {
            const int x = origin.x() + column;
            const bool inside = x >= 0 && x < width && y >= 0 && y < height;
            // Stored rows count from the bottom.
            const QRgb colour = inside ? dibPixelColor(picture, x, height - 1 - y) : Beyond;
            for (int k = 0; k < LoupeFactor; ++k)
                first[column * LoupeFactor + k] = colour;
        }
        for (int k = 1; k < LoupeFactor; ++k)
            std::copy_n(first, LoupeSide, reinterpret_cast<QRgb *>(out.scanLine(row * LoupeFactor + k)));
    }
}

} // namespace

QPoint loupePixel(QPointF point)
{
    return QPoint(static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
}

QPoint loupeOrigin(QPointF point)
{
    return loupePixel(point) - QPoint(LoupeSpan / 2, LoupeSpan / 2);
}

bool renderLoupe(QImage &out, const dib &picture, QPointF point, std::optional<QPointF> snapTarget)
{
    if (out.size() != QSize(LoupeSide, LoupeSide) || out.format() != QImage::Format_RGB32)
        out = QImage(LoupeSide, LoupeSide, QImage::Format_RGB32);
    if (out.isNull())
        return false;
    const QPoint origin = loupeOrigin(point);
    fillPicture(out, picture, origin);

    QPainter p(&out);
    const QRect target = pixelSquare(loupePixel(point), origin);
    p.setPen(QPen(CrossColor, 1));
    // The arms stop short of the pixel so that its colour stays visible.
    const int cx = target.center().x();
    const int cy = target.center().y();
    p.drawLine(cx, 0, cx, target.top() - 2);
    p.drawLine(cx, target.bottom() + 2, cx, LoupeSide - 1);
    p.drawLine(0, cy, target.left() - 2, cy);
    p.drawLine(target.right() + 2, cy, LoupeSide - 1, cy);
    p.drawRect(target.adjusted(-1, -1, 0, 0));
    if (snapTarget) {
        const QRect snapped = pixelSquare(loupePixel(*snapTarget), origin);
        if (snapped.intersects(out.rect())) {
            p.setPen(QPen(SnapColor, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(snapped.adjusted(-4, -4, 4, 4));
        }
    }
    return true;
}

#pragma once

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QtGlobal>

#include <cstdint>
#include <vector>

class DrawList;
class QImage;
class QPainter;

// A text's coverage masks reduced to the part of each row that holds any coverage, packed into
// one block: putting a label on the picture then reads a few hundred bytes instead of every
// pixel of the turned text's box.
class CoverageMask
{
public:
    CoverageMask() = default;
    // mask (and outline, when given, of the same size) in Format_Alpha8; origin is the text's
    // top-left corner in them.
    CoverageMask(const QImage &mask, const QImage *outline, QPoint origin);

    QPoint origin() const { return corner; }
    bool outlined() const { return hasOutline; }
    qsizetype bytes() const { return static_cast<qsizetype>(block.size() * sizeof(std::uint32_t)); }

private:
    friend class DirectPixels;
    friend class DrawList;
    // Per row with coverage: the row, its first column and the column count; then the coverage
    // bytes of every run one after the other, a run's outline coverage right after its own.
    std::vector<std::uint32_t> block;
    int runs = 0;
    int width = 0;
    int height = 0;
    QPoint corner;
    bool hasOutline = false;
};

// The pixels under a painter that draws into a 32-bit image with no more than a whole-pixel
// shift; a view onto them, as a span is onto memory. The back buffer's many small drawings of
// one kind (label images, point marks) are written there directly: a trip through the paint
// engine costs more than the pixels.
class DirectPixels
{
public:
    // Usable only while the painter draws into an RGB32 or premultiplied ARGB32 image at device
    // pixel ratio 1, unclipped, fully opaque, composing source-over, shifted by whole pixels at
    // most; otherwise usable() is false and the painter has to do the drawing.
    // With a recorder, the drawings below are gathered there instead, to be drawn at its next
    // flush; settle() is to be called before the painter draws anything itself.
    explicit DirectPixels(QPainter &p, DrawList *recorder = nullptr);

    bool usable() const { return bits != nullptr; }
    // The image's pixels in painter positions; empty when the pixels are not usable.
    QRect area() const { return bits ? QRect(-dx, -dy, width, height) : QRect(); }

    // Whether anything of the square of half side r around painter position (x, y) lands on the
    // image.
    bool touches(int x, int y, long long r) const;

    // Whether anything of the box spanned by painter positions a and b, grown by r on every side,
    // lands on the image; true when the pixels are not usable, as nothing can be told then.
    bool touchesBox(QPoint a, QPoint b, long long r) const;

    // The outline of the square from (x - r, y - r) to (x + r, y + r) in an opaque colour,
    // exactly the pixels a 1-pixel pen draws around it when it lies wholly on the image; cut by
    // the image's edge, the part of those pixels on it (where the paint engine leaves out
    // some corners).
    void squareOutline(int x, int y, int r, QRgb opaque) const;

    // A line one pixel wide from painter position a to b, both ends included: one pixel on each
    // column of a flat line (each row of a steep one), the nearest to the exact line, ties going
    // down or right. The pixels depend only on the ends, not on how much of the line the image
    // shows, so that a repaint of part of the screen matches the whole.
    void line(QPoint a, QPoint b, QRgb opaque) const;

    // A triangle filled with an opaque colour: the pixels whose centres lie inside it, a centre on
    // its left edge counting as outside, on its right edge as inside, as the paint engine fills.
    void triangle(QPoint a, QPoint b, QPoint c, QRgb opaque) const;

    // A line of a pen width pixels wide with round ends: the pixels whose centres lie within
    // half the width of the line from a to b, as the paint engine fills such a stroke; nothing
    // when a and b are the same point. Lines of one chain meet in round joins.
    void wideLine(QPoint a, QPoint b, int width, QRgb opaque) const;

    // Puts a colour through a coverage mask whose text corner lands on painter position (x, y),
    // composing source-over as the paint engine does; an outlined mask first puts the outline
    // colour through its outline coverage. Colours are premultiplied.
    void blend(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour) const;

    // Puts what the recorder gathered into the pixels.
    void settle() const;

private:
    friend class DrawList;
    // The rows [top, bottom) of the image alone, drawing at once.
    DirectPixels band(int top, int bottom) const;
    void fill(int x0, int y0, int x1, int y1, QRgb opaque) const;
    void outline(int x, int y, int r, QRgb opaque) const;
    void drawLine(QPoint a, QPoint b, QRgb opaque) const;
    void drawTriangle(QPoint a, QPoint b, QPoint c, QRgb opaque) const;
    void drawWideLine(QPoint a, QPoint b, int width, QRgb opaque) const;
    // The columns whose centres lie in (left, right] of row y.
    void span(int y, double left, double right, QRgb opaque) const;
    void drawMask(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour) const;

    uchar *bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;
    int dx = 0;
    int dy = 0;
    DrawList *recorder = nullptr;
};

#pragma once

#include "render/directpixels.h"

#include <QPoint>
#include <QRgb>
#include <QSemaphore>

#include <functional>
#include <vector>

class QThreadPool;

// The direct drawings of one screen repaint, gathered while the repaint works out its elements
// and then put into the pixels by two threads, each on its own half of the rows. Every drawing
// lands on the same pixels whatever part of the image a thread holds, and the halves do not
// meet, so the result is the one drawing them in order gives. Meanwhile a worker can lay what
// lies under them (the picture).
class DrawList
{
public:
    // pixels: the back buffer as the repaint's painter sees it; workers: where the second thread
    // comes from.
    DrawList(const DirectPixels &pixels, QThreadPool &workers);
    ~DrawList();
    DrawList(const DrawList &) = delete;
    DrawList &operator=(const DrawList &) = delete;

    // Only with two processors, and on pixels that can be written directly, does it pay.
    bool usable() const;

    // Starts work on a worker that lays what the gathered drawings go over; it must touch
    // nothing but the pixels. flush() waits for it first.
    void startUnder(std::function<void()> work);

    void line(QPoint a, QPoint b, QRgb opaque);
    void triangle(QPoint a, QPoint b, QPoint c, QRgb opaque);
    void wideLine(QPoint a, QPoint b, int width, QRgb opaque);
    // A square outline already known to lie wholly on the image.
    void squareOutline(int x, int y, int r, QRgb opaque);
    // The mask must stay unchanged until the next flush.
    void blend(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour);

    // Puts what was gathered into the pixels, after the work under it; before the painter draws
    // anything itself and when the repaint ends.
    void flush();

private:
    enum class Kind : unsigned char { Line, Triangle, WideLine, Outline, Blend };
    struct Drawing {
        Kind kind;
        QPoint a;
        QPoint b;
        QPoint c;
        QRgb colour;
        QRgb outlineColour;
        const CoverageMask *mask;
        int top = 0;
        int bottom = 0;
    };
    void add(Drawing d, long long top, long long bottom);
    void drawBand(int top, int bottom) const;

    DirectPixels target;
    QThreadPool &pool;
    std::vector<Drawing> drawings;
    QSemaphore done;
    bool underRunning = false;
};

#pragma once

#include "render/directpixels.h"

#include <QPoint>
#include <QRgb>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QThreadPool;

// The direct drawings of one screen repaint, put into the pixels by a second thread while the
// repaint works out the rest. The image is cut into bands of rows. The second thread first lays
// what lies under the drawings (the picture), band by band, and then puts each batch of drawings
// into each band as soon as the repaint hands the batch over; once the repaint has gathered
// everything, it joins in band by band. Every drawing lands on the same pixels whatever band a
// thread holds, and each band takes the batches in order, so the result is the one drawing them
// in order gives.
class DrawList
{
public:
    // pixels: the back buffer as the repaint's painter sees it; workers: where the second thread
    // comes from.
    DrawList(const DirectPixels &pixels, QThreadPool &workers);
    // Lets the second thread finish what it holds.
    ~DrawList();
    DrawList(const DrawList &) = delete;
    DrawList &operator=(const DrawList &) = delete;

    // Only with two processors, and on pixels that can be written directly, does it pay.
    bool usable() const;

    // Starts the second thread. layUnder, when given, lays rows [top, bottom) of what the
    // drawings go over and must touch nothing but the pixels.
    void start(std::function<void(int top, int bottom)> layUnder);

    void line(QPoint a, QPoint b, QRgb opaque);
    void triangle(QPoint a, QPoint b, QPoint c, QRgb opaque);
    void wideLine(QPoint a, QPoint b, int width, QRgb opaque);
    // A square outline, the part of it on the image.
    void squareOutline(int x, int y, int r, QRgb opaque);
    // The mask must stay unchanged until the next flush.
    void blend(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour);

    // Everything this repaint draws is to be drawn again (labels were put off): what is
    // gathered from now on is dropped, and the second thread stops laying and drawing.
    void abandon();

    // Returns when what lies under and every drawing gathered so far are in the pixels and the
    // second thread leaves them alone: before the painter draws anything itself.
    void flush();
    // The same, and lets the second thread go; what is gathered afterwards is drawn at once.
    void finish();

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
    using Batch = std::vector<Drawing>;
    struct Band {
        int top = 0;
        int bottom = 0;
        bool busy = false;
        std::size_t drawn = 0; // batches put into the band
    };

    void add(Drawing d, long long top, long long bottom);
    void handOver();
    void work();
    // Takes a band that has batches to draw, searching from the top or the bottom; null if none.
    Band *claim(bool fromTop);
    // Draws the band's waiting batches with the lock released meanwhile.
    void drawClaimed(std::unique_lock<std::mutex> &lock, Band &band);
    bool allDrawn() const;
    void drawBatch(const Batch &batch, const DirectPixels &pixels, int top, int bottom) const;

    DirectPixels target;
    QThreadPool &pool;
    Batch gathering;
    bool dropping = false;

    // Shared with the second thread, under the lock.
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Band> bands;
    std::vector<std::unique_ptr<Batch>> batches;
    std::function<void(int, int)> under;
    std::size_t nextToLay = 0;
    bool closing = false;
    bool workerWaits = false;
    bool painterWaits = false;
    bool gone = false;
    bool abandoned = false;

    bool running = false;
};

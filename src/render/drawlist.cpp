#include "render/drawlist.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <utility>

DrawList::DrawList(const DirectPixels &pixels, QThreadPool &workers) : target(pixels), pool(workers)
{
    target.recorder = nullptr;
}

DrawList::~DrawList()
{
    // A repaint left early still has to let the work under it finish with the pixels.
    if (underRunning)
        done.acquire();
}

bool DrawList::usable() const
{
    static const bool twoProcessors = QThread::idealThreadCount() >= 2;
    return twoProcessors && target.usable() && target.height >= 2;
}

void DrawList::startUnder(std::function<void()> work)
{
    underRunning = true;
    pool.start([this, work = std::move(work)] {
        work();
        done.release();
    });
}

void DrawList::add(Drawing d, long long top, long long bottom)
{
    // Rows wholly off the image need no thread; the rest are told apart by the rows they span
    // on it.
    if (bottom < 0 || top >= target.height)
        return;
    d.top = static_cast<int>(std::max(top, 0LL));
    d.bottom = static_cast<int>(std::min<long long>(bottom, target.height - 1));
    drawings.push_back(d);
}

void DrawList::line(QPoint a, QPoint b, QRgb opaque)
{
    const long long dy = target.dy;
    add({Kind::Line, a, b, {}, opaque, 0, nullptr}, std::min(a.y(), b.y()) + dy, std::max(a.y(), b.y()) + dy);
}

void DrawList::triangle(QPoint a, QPoint b, QPoint c, QRgb opaque)
{
    const long long dy = target.dy;
    add({Kind::Triangle, a, b, c, opaque, 0, nullptr}, std::min({a.y(), b.y(), c.y()}) + dy,
        std::max({a.y(), b.y(), c.y()}) + dy);
}

void DrawList::wideLine(QPoint a, QPoint b, int width, QRgb opaque)
{
    const long long dy = target.dy;
    add({Kind::WideLine, a, b, QPoint(width, 0), opaque, 0, nullptr}, std::min(a.y(), b.y()) + dy - width,
        std::max(a.y(), b.y()) + dy + width);
}

void DrawList::squareOutline(int x, int y, int r, QRgb opaque)
{
    const long long row = static_cast<long long>(y) + target.dy;
    add({Kind::Outline, QPoint(x, y), QPoint(r, 0), {}, opaque, 0, nullptr}, row - r, row + r);
}

void DrawList::blend(int x, int y, const CoverageMask &mask, QRgb colour, QRgb outlineColour)
{
    if (mask.runs == 0)
        return;
    const long long top = static_cast<long long>(y) + target.dy - mask.corner.y();
    add({Kind::Blend, QPoint(x, y), {}, {}, colour, outlineColour, &mask}, top, top + mask.height - 1);
}

void DrawList::drawBand(int top, int bottom) const
{
    const DirectPixels pixels = target.band(top, bottom);
    for (const Drawing &d : drawings) {
        if (d.bottom < top || d.top >= bottom)
            continue;
        switch (d.kind) {
        case Kind::Line:
            pixels.drawLine(d.a, d.b, d.colour);
            break;
        case Kind::Triangle:
            pixels.drawTriangle(d.a, d.b, d.c, d.colour);
            break;
        case Kind::WideLine:
            pixels.drawWideLine(d.a, d.b, d.c.x(), d.colour);
            break;
        case Kind::Outline:
            pixels.outline(d.a.x(), d.a.y(), d.b.x(), d.colour);
            break;
        case Kind::Blend:
            pixels.drawMask(d.a.x(), d.a.y(), *d.mask, d.colour, d.outlineColour);
            break;
        }
    }
}

void DrawList::flush()
{
    if (underRunning) {
        done.acquire();
        underRunning = false;
    }
    // A few drawings, gathered before the painter drew something itself, do not pay for a
    // second thread.
    constexpr std::size_t Few = 64;
    if (drawings.size() < Few) {
        drawBand(0, target.height);
        drawings.clear();
        return;
    }
    const int middle = target.height / 2;
    pool.start([this, middle] {
        drawBand(middle, target.height);
        done.release();
    });
    drawBand(0, middle);
    done.acquire();
    drawings.clear();
}

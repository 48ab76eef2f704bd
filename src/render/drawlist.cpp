#include "render/drawlist.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Drawings handed over at once: few enough that the second thread starts early, enough that
// handing over costs nothing beside them.
constexpr std::size_t BatchSize = 512;

// Bands of rows: each drawing is looked at once per band, so a few suffice for two threads to
// share the rows and for the drawing to follow the picture down the image.
constexpr int MostBands = 8;
constexpr int LeastRows = 32;

}

DrawList::DrawList(const DirectPixels &pixels, QThreadPool &workers) : target(pixels), pool(workers)
{
    target.recorder = nullptr;
    gathering.reserve(BatchSize);
}

DrawList::~DrawList()
{
    // A repaint left early still has to let the second thread finish with the pixels.
    finish();
}

bool DrawList::usable() const
{
    static const bool twoProcessors = QThread::idealThreadCount() >= 2;
    return twoProcessors && target.usable() && target.height >= 2;
}

void DrawList::start(std::function<void(int top, int bottom)> layUnder)
{
    const int count = std::clamp(target.height / LeastRows, 1, MostBands);
    bands.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        Band &band = bands[static_cast<std::size_t>(k)];
        band.top = static_cast<int>(static_cast<long long>(target.height) * k / count);
        band.bottom = static_cast<int>(static_cast<long long>(target.height) * (k + 1) / count);
    }
    under = std::move(layUnder);
    nextToLay = under ? 0 : bands.size();
    running = true;
    pool.start([this] { work(); });
}

void DrawList::add(Drawing d, long long top, long long bottom)
{
    // Rows wholly off the image need no thread; the rest are told apart by the rows they span
    // on it.
    if (bottom < 0 || top >= target.height || dropping)
        return;
    d.top = static_cast<int>(std::max(top, 0LL));
    d.bottom = static_cast<int>(std::min<long long>(bottom, target.height - 1));
    gathering.push_back(d);
    if (running && gathering.size() >= BatchSize)
        handOver();
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

void DrawList::handOver()
{
    auto batch = std::make_unique<Batch>(std::move(gathering));
    gathering = Batch();
    gathering.reserve(BatchSize);
    const std::lock_guard<std::mutex> held(lock);
    batches.push_back(std::move(batch));
    if (workerWaits)
        changed.notify_all();
}

void DrawList::work()
{
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        // The picture goes first, top to bottom, so that the painting thread can draw into the
        // upper bands while the lower ones are still being laid.
        if (nextToLay < bands.size() && abandoned) {
            nextToLay = bands.size();
            if (painterWaits)
                changed.notify_all();
            continue;
        }
        if (nextToLay < bands.size()) {
            Band &band = bands[nextToLay];
            held.unlock();
            under(band.top, band.bottom);
            held.lock();
            ++nextToLay;
            if (painterWaits)
                changed.notify_all();
            continue;
        }
        if (Band *band = claim(false)) {
            drawClaimed(held, *band);
            continue;
        }
        if (closing) {
            // The last this thread does with the list: once told, the list may go.
            gone = true;
            changed.notify_all();
            return;
        }
        workerWaits = true;
        changed.wait(held);
        workerWaits = false;
    }
}

DrawList::Band *DrawList::claim(bool fromTop)
{
    if (abandoned)
        return nullptr;
    const std::size_t n = bands.size();
    for (std::size_t k = 0; k < n; ++k) {
        // The bands are laid in order: those before nextToLay are.
        const std::size_t index = fromTop ? k : n - 1 - k;
        Band &band = bands[index];
        if (index < nextToLay && !band.busy && band.drawn < batches.size()) {
            band.busy = true;
            return &band;
        }
    }
    return nullptr;
}

void DrawList::drawClaimed(std::unique_lock<std::mutex> &held, Band &band)
{
    // The batches are taken a few at a time: the list of them may grow while the lock is off.
    std::array<const Batch *, 8> taken{};
    const std::size_t count = std::min(taken.size(), batches.size() - band.drawn);
    for (std::size_t k = 0; k < count; ++k)
        taken[k] = batches[band.drawn + k].get();
    held.unlock();
    const DirectPixels pixels = target.band(band.top, band.bottom);
    for (std::size_t k = 0; k < count; ++k)
        drawBatch(*taken[k], pixels, band.top, band.bottom);
    held.lock();
    band.drawn += count;
    band.busy = false;
    if (painterWaits || workerWaits)
        changed.notify_all();
}

bool DrawList::allDrawn() const
{
    if (nextToLay < bands.size())
        return false;
    return std::all_of(bands.begin(), bands.end(), [this](const Band &band) {
        return !band.busy && (abandoned || band.drawn == batches.size());
    });
}

void DrawList::drawBatch(const Batch &batch, const DirectPixels &pixels, int top, int bottom) const
{
    for (const Drawing &d : batch) {
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

void DrawList::abandon()
{
    dropping = true;
    gathering.clear();
    if (!running)
        return;
    const std::lock_guard<std::mutex> held(lock);
    abandoned = true;
}

void DrawList::flush()
{
    if (!running) {
        drawBatch(gathering, target, 0, target.height);
        gathering.clear();
        return;
    }
    if (!gathering.empty())
        handOver();
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        if (Band *band = claim(true)) {
            drawClaimed(held, *band);
            continue;
        }
        if (allDrawn())
            break;
        painterWaits = true;
        changed.wait(held);
        painterWaits = false;
    }
    batches.clear();
    for (Band &band : bands)
        band.drawn = 0;
}

void DrawList::finish()
{
    flush();
    if (!running)
        return;
    std::unique_lock<std::mutex> held(lock);
    closing = true;
    changed.notify_all();
    changed.wait(held, [this] { return gone; });
    running = false;
}

// The loupe's cost per mouse move against the rubber band's repaint of the same move: the back
// buffer rendered again (picture and 100 elements with their labels, at zoom 100) and the band
// drawn over it.

#include "core/dib.h"
#include "core/elements.h"
#include "render/labelcache.h"
#include "render/loupe.h"
#include "render/renderer.h"
#include "render/viewstate.h"
#include "noisepicture.h"
#include "offscreenmain.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int ImageWidth = 2560;
constexpr int ImageHeight = 1600;
const QSize Surface(1280, 800);

dib &picture()
{
    static dib d = noisePicture(ImageWidth, ImageHeight);
    return d;
}

// Distances and rectangles in a grid over the visible part, every one labelled.
void fillDocument(Document &doc)
{
    for (int i = 0; i < 100; ++i) {
        Telemente *e = doc.appendElement();
        if (!e)
            std::abort();
        const double x = 40 + (i % 10) * 120;
        const double y = 40 + (i / 10) * 75;
        e->typ = i % 2 ? TypDistance : TypRectangle;
        e->x1 = x;
        e->y1 = y;
        e->x2 = x + 90;
        e->y2 = y + 50;
        e->x3 = x + 45;
        e->y3 = y - 10;
    }
}

// The cursor wanders over the surface so that no move repeats the last one.
QPoint cursor(int step)
{
    return QPoint(200 + (step * 37) % 800, 150 + (step * 53) % 500);
}

void BM_LoupePerMove(benchmark::State &state)
{
    ViewState view;
    QImage loupe;
    int step = 0;
    for (auto _ : state) {
        const QPoint at = cursor(++step);
        if (!renderLoupe(loupe, picture(), view.image(at), QPointF(at) + QPointF(2, 1)))
            std::abort();
        benchmark::DoNotOptimize(loupe.constBits());
    }
}

void BM_LoupePerMove_BaselineRubberBand(benchmark::State &state)
{
    Document doc;
    fillDocument(doc);
    ViewState view;
    DrawingSettings settings;
    LabelCache labels;
    const RenderInputs in{view, settings, Scale{}, NumberSettings{QStringLiteral("mm"), 2, 4}, &labels};
    QImage bit;
    if (!renderBackBuffer(bit, Surface, doc, picture(), in))
        std::abort();
    int step = 0;
    for (auto _ : state) {
        if (!renderBackBuffer(bit, Surface, doc, picture(), in))
            std::abort();
        QPainter p(&bit);
        p.setPen(QPen(settings.elementColor, elementPenWidth(view, settings)));
        p.drawLine(QPoint(100, 100), cursor(++step));
        p.end();
        benchmark::DoNotOptimize(bit.constBits());
    }
}

BENCHMARK(BM_LoupePerMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoupePerMove_BaselineRubberBand)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}

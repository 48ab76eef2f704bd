// Repaint costs: a full repaint of the back buffer (picture and 1,000 mixed elements with their
// labels) against the picture alone, a repaint of 100,000 elements of which about 1 % lie on
// screen against the picture alone and against that full repaint, and the results list rebuild
// for 10,000 elements against that full repaint.

#include "core/dib.h"
#include "core/elements.h"
#include "core/elementvalues.h"
#include "core/resultsmodel.h"
#include "render/labelcache.h"
#include "render/renderer.h"
#include "render/viewstate.h"
#include "noisepicture.h"
#include "offscreenmain.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>

namespace {

constexpr int ImageWidth = 2560;
constexpr int ImageHeight = 1600;
const QSize Surface(1280, 800);

dib &picture()
{
    static dib d = noisePicture(ImageWidth, ImageHeight);
    return d;
}

// A mixed document spread over the whole picture (or over spread times its width and height):
// every measuring type with its label, names on every third element, text labels and line chains.
void fillDocument(Document &doc, int count, int spread = 1)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> X(50, ImageWidth * spread - 150);
    std::uniform_real_distribution<double> Y(50, ImageHeight * spread - 150);
    std::uniform_real_distribution<double> D(20, 140);
    const int types[] = {TypRectangle, TypEllipse, TypDistance, TypPolygon, TypPolyline, TypAngle, TypText, TypLine};
    // One block for all records: grown step by step, a document of 100,000 takes minutes to set up.
    doc.elemente.buffersize = static_cast<std::uint32_t>(std::max(count, 100));
    for (int i = 0; i < count; ++i) {
        Telemente *e = doc.appendElement();
        if (!e)
            std::abort();
        const double x = X(rng);
        const double y = Y(rng);
        e->typ = types[i % 8];
        e->x1 = x;
        e->y1 = y;
        e->x2 = x + D(rng);
        e->y2 = y + D(rng);
        e->x3 = (e->x1 + e->x2) / 2;
        e->y3 = e->y1 - 20;
        switch (e->typ) {
        case TypPolygon:
            doc.appendVertex(x, y);
            doc.appendVertex(x + D(rng), y);
            doc.appendVertex(x + D(rng), y + D(rng));
            doc.appendVertex(x, y + D(rng));
            doc.appendVertex(x, y);
            break;
        case TypPolyline:
        case TypAngle:
            doc.appendVertex(x, y);
            doc.appendVertex(x + D(rng), y + D(rng));
            doc.appendVertex(x + D(rng), y - D(rng));
            break;
        case TypText:
            Document::setName(*e, QStringLiteral("Beschriftung %1").arg(i));
            break;
        default:
            break;
        }
        if (e->typ != TypText && i % 3 == 0)
            Document::setName(*e, QStringLiteral("Element %1").arg(i));
    }
}

struct Scene {
    Document doc;
    ViewState view;
    DrawingSettings settings;
    LabelCache labels;
    ElementValueCache values;
    QImage bit;
    explicit Scene(int elements, bool showPicture = true, int spread = 1)
    {
        view.setZoom(50);
        settings.showPicture = showPicture;
        fillDocument(doc, elements, spread);
    }
    void repaint()
    {
        const RenderInputs in{view, settings, Scale{}, NumberSettings{QStringLiteral("mm"), 2, 4},
                              &labels, &values};
        if (!renderBackBuffer(bit, Surface, doc, picture(), in))
            std::abort();
        benchmark::DoNotOptimize(bit.constBits());
    }
};

// The screen repaints a drawing it has shown before and that has not changed since: its label
// cache already holds the labels and the values are in place, so the figures start from a
// repaint made before the timing.
void run(benchmark::State &state, Scene &scene)
{
    scene.repaint();
    for (auto _ : state)
        scene.repaint();
}

void imageOnly(benchmark::State &state)
{
    Scene scene(0);
    run(state, scene);
}

void fullRepaint(benchmark::State &state)
{
    Scene scene(1000);
    run(state, scene);
}

// The screen's repaint: picture and 1,000 elements, labels from the screen's label cache.
void BM_RepaintFull(benchmark::State &state) { fullRepaint(state); }
void BM_RepaintFull_BaselineImageOnly(benchmark::State &state) { imageOnly(state); }
BENCHMARK(BM_RepaintFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintFull_BaselineImageOnly)->Unit(benchmark::kMillisecond);

// What the elements cost on their own (picture hidden) against the picture alone.
void BM_RepaintElementsOnly(benchmark::State &state)
{
    Scene scene(1000, false);
    run(state, scene);
}
void BM_RepaintElementsOnly_BaselineImageOnly(benchmark::State &state) { imageOnly(state); }
BENCHMARK(BM_RepaintElementsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintElementsOnly_BaselineImageOnly)->Unit(benchmark::kMillisecond);

// The first repaint after a zoom or font change: the screen's label cache starts empty, as a new
// label font size empties it, so every label is shaped and rasterised afresh.
void BM_RepaintFullUncached(benchmark::State &state)
{
    Scene scene(1000);
    for (auto _ : state) {
        scene.labels.clear();
        scene.repaint();
    }
}
void BM_RepaintFullUncached_BaselineImageOnly(benchmark::State &state) { imageOnly(state); }
BENCHMARK(BM_RepaintFullUncached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintFullUncached_BaselineImageOnly)->Unit(benchmark::kMillisecond);

// 100,000 elements, labelled as in the full repaint, over ten times the picture's width and
// height, so that the screen, which shows the whole picture, holds about 1 % of them: about as
// many as the full repaint shows. Against the picture alone, and against that full repaint of
// 1,000, which tells whether the cost follows the screen rather than the document.
void BM_RepaintSparse(benchmark::State &state)
{
    Scene scene(100000, true, 10);
    run(state, scene);
}
void BM_RepaintSparse_BaselineImageOnly(benchmark::State &state) { imageOnly(state); }
void BM_RepaintSparse_BaselineRepaintFull(benchmark::State &state) { fullRepaint(state); }
BENCHMARK(BM_RepaintSparse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintSparse_BaselineImageOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintSparse_BaselineRepaintFull)->Unit(benchmark::kMillisecond);

// The results list rebuilt for 10,000 elements against the full repaint of 1,000.
void BM_ResultsList10000(benchmark::State &state)
{
    Document doc;
    fillDocument(doc, 10000);
    ResultsModel model;
    for (auto _ : state) {
        model.ListObjekte(doc, 4);
        benchmark::DoNotOptimize(model.rowCount());
    }
}
void BM_ResultsList10000_BaselineRepaintFull(benchmark::State &state) { fullRepaint(state); }
BENCHMARK(BM_ResultsList10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultsList10000_BaselineRepaintFull)->Unit(benchmark::kMillisecond);

}

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}

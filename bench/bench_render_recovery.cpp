// The time the user-interface thread spends on one write of the recovery copy's document part,
// with a 12000 x 9000 picture and 1,000 elements, against one full repaint of that drawing on a
// 1280 x 800 surface at zoom 100 (labels from the screen's cache). The picture part is written
// once beforehand; the worker thread's own writing is left out of the timing, as it is off the
// user-interface thread.

#include "core/dib.h"
#include "core/elements.h"
#include "core/recoverystore.h"
#include "render/labelcache.h"
#include "render/renderer.h"
#include "render/viewstate.h"
#include "noisepicture.h"
#include "offscreenmain.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

namespace {

constexpr int ImageWidth = 12000;
constexpr int ImageHeight = 9000;
const QSize Surface(1280, 800);

// Shared by both figures; the repaint reads it, the recovery store holds it.
SharedPicture &picture()
{
    static SharedPicture p = [] {
        dib d = noisePicture(ImageWidth, ImageHeight);
        return sharePicture(d);
    }();
    return p;
}

// 1,000 elements of every measuring kind within the surface's view of the picture, names on
// every third.
void fillDocument(Document &doc)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> X(20, Surface.width() - 160);
    std::uniform_real_distribution<double> Y(20, Surface.height() - 160);
    std::uniform_real_distribution<double> D(20, 140);
    const int types[] = {TypRectangle, TypEllipse, TypDistance, TypPolygon, TypPolyline, TypAngle, TypText, TypLine};
    for (int i = 0; i < 1000; ++i) {
        Telemente *e = doc.appendElement();
        if (!e)
            std::abort();
        e->typ = types[i % 8];
        e->x1 = X(rng);
        e->y1 = Y(rng);
        e->x2 = e->x1 + D(rng);
        e->y2 = e->y1 + D(rng);
        e->x3 = (e->x1 + e->x2) / 2;
        e->y3 = e->y1 - 20;
        if (e->typ == TypPolygon || e->typ == TypPolyline || e->typ == TypAngle) {
            for (int v = 0; v < 5; ++v)
                doc.appendVertex(e->x1 + D(rng), e->y1 + D(rng));
        }
        if (e->typ == TypText || i % 3 == 0)
            Document::setName(*e, QStringLiteral("Element %1").arg(i));
    }
}

Document &document()
{
    static Document doc;
    if (doc.count() == 0)
        fillDocument(doc);
    return doc;
}

void BM_RecoveryDocumentWrite(benchmark::State &state)
{
    QTemporaryDir folder;
    qputenv("XDG_STATE_HOME", folder.path().toLocal8Bit());
    RecoveryStore store;
    if (!store.start())
        std::abort();
    store.writePicture(picture());
    store.waitForWrites();
    ProjectSettings settings;
    settings.extension.setScale({100, 2.5, QStringLiteral("m")});
    for (auto _ : state) {
        if (!store.writeDocument(document(), settings, QStringLiteral("/plans/plan.ver")))
            std::abort();
        // The worker writes while the user works on; here it must not share the timed thread's core.
        state.PauseTiming();
        store.waitForWrites();
        state.ResumeTiming();
    }
    store.clear();
}

void BM_RecoveryDocumentWrite_BaselineRepaintFull(benchmark::State &state)
{
    ViewState view;
    view.setZoom(100);
    DrawingSettings settings;
    LabelCache labels;
    QImage bit;
    Document &doc = document();
    const RenderInputs in{view, settings, Scale{}, NumberSettings{QStringLiteral("m"), 2, 4}, &labels};
    if (!renderBackBuffer(bit, Surface, doc, *picture(), in))
        std::abort();
    for (auto _ : state) {
        if (!renderBackBuffer(bit, Surface, doc, *picture(), in))
            std::abort();
        benchmark::DoNotOptimize(bit.constBits());
    }
}

BENCHMARK(BM_RecoveryDocumentWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryDocumentWrite_BaselineRepaintFull)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks(argc, argv);
}

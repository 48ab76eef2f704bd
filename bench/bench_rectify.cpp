// Straightening a 24-megapixel photograph (6000 x 4000, 24 bits) through a perspective transform,
// bilinear, into the image record, against QImage::transformed with the same transform and smooth
// transformation from a 32-bit copy of the same pixels.

#include "image/rectify.h"
#include "image/velumo.h"
#include "noisepicture.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

const dib &photo()
{
    static const dib d = noisePicture(Width, Height);
    return d;
}

// A façade seen from below and to the left: the whole picture stays in front of the vanishing
// line, so both sides produce all of it.
const RectifyPlan &plan()
{
    static const RectifyPlan p = [] {
        const Quad corners{QPointF(1200, 900), QPointF(4700, 700), QPointF(4900, 3300), QPointF(1000, 3000)};
        Quad ordered;
        orderCorners(corners, ordered);
        const double density = defaultDensity(ordered, 3.0, 2.0);
        RectifyPlan made;
        if (planRectification(QSize(Width, Height), corners, 3.0, 2.0, density, made) != RectifyProblem::None)
            std::abort();
        return made;
    }();
    return p;
}

void BM_Rectify(benchmark::State &state)
{
    for (auto _ : state) {
        dib out;
        if (!rectifyDib(out, photo(), plan()))
            std::abort();
        benchmark::DoNotOptimize(out.poi);
        deldib(out);
    }
    state.counters["pixels"] = plan().size.width() * double(plan().size.height());
}

void BM_Rectify_BaselineTransformed(benchmark::State &state)
{
    static const QImage source = dibToQImage(photo()).convertToFormat(QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage out = source.transformed(plan().transform, Qt::SmoothTransformation);
        if (out.isNull())
            std::abort();
        benchmark::DoNotOptimize(out.constBits());
    }
}

} // namespace

BENCHMARK(BM_Rectify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rectify_BaselineTransformed)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// DrawDib of an 8000 x 6000 24-bit picture into a 1280 x 800 back buffer at several zooms,
// against QPainter::drawImage of the same source rectangle without smooth transformation, from
// the same pixels (24 bits) and from a 32-bit copy, and against copying the buffer with memcpy.

#include "image/drawdib.h"
#include "image/velumo.h"
#include "noisepicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int ImageWidth = 8000;
constexpr int ImageHeight = 6000;
constexpr int BufferWidth = 1280;
constexpr int BufferHeight = 800;

const dib &picture()
{
    static const dib d = noisePicture(ImageWidth, ImageHeight);
    return d;
}

const QImage &pictureImage24()
{
    static const QImage img = dibToQImage(picture());
    return img;
}

const QImage &pictureImage32()
{
    static const QImage img = pictureImage24().convertToFormat(QImage::Format_RGB32);
    return img;
}

QImage backBuffer()
{
    QImage buf(BufferWidth, BufferHeight, QImage::Format_RGB32);
    buf.fill(Qt::white);
    return buf;
}

QRect destination(int zoom)
{
    return QRect(0, 0, ImageWidth * zoom / 100, ImageHeight * zoom / 100);
}

void BM_DrawDib(benchmark::State &state)
{
    const dib &d = picture();
    const QRect dest = destination(static_cast<int>(state.range(0)));
    QImage buf = backBuffer();
    QPainter p(&buf);
    for (auto _ : state) {
        DrawDib(p, dest.x(), dest.y(), dest.width(), dest.height(), d, 0, 0, ImageWidth, ImageHeight, false);
        benchmark::ClobberMemory();
    }
}

void drawImageLoop(benchmark::State &state, const QImage &img)
{
    const QRect dest = destination(static_cast<int>(state.range(0)));
    QImage buf = backBuffer();
    QPainter p(&buf);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (auto _ : state) {
        p.drawImage(dest, img, img.rect());
        benchmark::ClobberMemory();
    }
}

void BM_DrawDib_Baseline(benchmark::State &state)
{
    drawImageLoop(state, pictureImage24());
}

void BM_DrawDib_BaselineRgb32(benchmark::State &state)
{
    drawImageLoop(state, pictureImage32());
}

void BM_DrawDib_BaselineMemcpy(benchmark::State &state)
{
    QImage from = backBuffer();
    QImage to = backBuffer();
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), std::size_t(BufferWidth) * BufferHeight * 4);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_DrawDib)->Arg(10)->Arg(50)->Arg(100)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawDib_Baseline)->Arg(10)->Arg(50)->Arg(100)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawDib_BaselineRgb32)->Arg(10)->Arg(50)->Arg(100)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawDib_BaselineMemcpy)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    picture();
    pictureImage32();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

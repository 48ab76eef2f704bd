// Rendering an A3 plan page of a few thousand lines and labels at 300 dpi into the image record,
// against Poppler's own render call for the whole page at the same resolution and render hints
// (which leaves a 32-bit QImage and nothing more), and against Poppler rendering the same bands
// the record is made from, without turning them into the record.

#include "image/pdfpages.h"

#include <poppler-qt6.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr double Dpi = 300.0;

// A plan: a grid of walls, dimension lines and room labels.
QByteArray planPdf()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A3));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setResolution(600);
    QPainter p(&writer);
    const QRect page = p.viewport();
    std::uint32_t seed = 7;
    const auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    };
    p.setPen(QPen(Qt::black, 6));
    for (int i = 0; i < 1500; ++i) {
        const QPoint a(next(page.width()), next(page.height()));
        p.drawLine(a, a + QPoint(next(1200) - 600, next(1200) - 600));
    }
    p.setPen(QPen(Qt::darkGray, 2));
    for (int i = 0; i < 1500; ++i) {
        const QPoint a(next(page.width()), next(page.height()));
        p.drawLine(a, a + QPoint(next(400), 0));
    }
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int i = 0; i < 300; ++i)
        p.drawText(QPoint(next(page.width()), next(page.height())), QStringLiteral("Raum %1: 12.5 m²").arg(i));
    p.end();
    return bytes;
}

const QByteArray &plan()
{
    static const QByteArray bytes = planPdf();
    return bytes;
}

void BM_PdfRender(benchmark::State &state)
{
    for (auto _ : state) {
        dib d;
        if (renderPdfPage(d, plan(), 0, Dpi) != PdfProblem::None)
            std::abort();
        benchmark::DoNotOptimize(d.poi);
        deldib(d);
    }
}

std::unique_ptr<Poppler::Document> popplerPlan()
{
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(plan());
    doc->setRenderBackend(Poppler::Document::SplashBackend);
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    return doc;
}

void BM_PdfRender_BaselinePoppler(benchmark::State &state)
{
    for (auto _ : state) {
        const std::unique_ptr<Poppler::Document> doc = popplerPlan();
        const std::unique_ptr<Poppler::Page> page = doc->page(0);
        QImage img = page->renderToImage(Dpi, Dpi);
        if (img.isNull())
            std::abort();
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_PdfRender_BaselinePopplerBands(benchmark::State &state)
{
    for (auto _ : state) {
        const std::unique_ptr<Poppler::Document> doc = popplerPlan();
        const std::unique_ptr<Poppler::Page> page = doc->page(0);
        const QSize size = pdfPictureSize(page->pageSizeF(), Dpi);
        const int rows = pdfBandRows(size.width());
        for (int top = 0; top < size.height(); top += rows) {
            QImage band = page->renderToImage(Dpi, Dpi, 0, top, size.width(), std::min(rows, size.height() - top));
            if (band.isNull())
                std::abort();
            benchmark::DoNotOptimize(band.constBits());
        }
    }
}

} // namespace

BENCHMARK(BM_PdfRender)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfRender_BaselinePoppler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfRender_BaselinePopplerBands)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

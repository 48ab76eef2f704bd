// Saving and then opening a project with a 12000 x 9000 24-bit picture and 1000 elements,
// against copying a file of the same size with QFile::copy. The open also reports how far the
// resident memory rose above the finished picture's size (PeakOverPicture, 1.0 = the picture alone).

#include "core/projectfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int ImageWidth = 12000;
constexpr int ImageHeight = 9000;
constexpr int Elements = 1000;

struct Fixture {
    QTemporaryDir dir;
    Document doc;
    dib image;
    ProjectSettings settings;
    QString project;
    QString copySource;

    Fixture()
    {
        if (!dir.isValid() || !newdib(image, ImageWidth, ImageHeight, 24, nullptr, 0))
            std::abort();
        std::uint32_t seed = 2024;
        for (int y = 0; y < ImageHeight; ++y) {
            std::uint8_t *row = dibRow(image, y);
            for (int x = 0; x < image.bytew; ++x) {
                seed = seed * 1664525u + 1013904223u;
                row[x] = static_cast<std::uint8_t>(seed >> 24);
            }
        }
        const std::int32_t types[] = {TypRectangle, TypEllipse, TypDistance, TypPolygon, TypPolyline, TypText};
        for (int i = 0; i < Elements; ++i) {
            Telemente *e = doc.appendElement();
            e->typ = types[i % 6];
            e->x1 = i;
            e->y1 = i * 0.5;
            e->x2 = i + 40;
            e->y2 = i * 0.5 + 30;
            if (e->typ == TypPolygon || e->typ == TypPolyline) {
                for (int v = 0; v < 8; ++v)
                    doc.appendVertex(i + v * 3.0, v * 7.0);
            }
            Document::setName(*e, QStringLiteral("Element %1").arg(i));
        }
        project = dir.filePath(QStringLiteral("bench.ver"));
        copySource = dir.filePath(QStringLiteral("source.bin"));
        if (!saveProject(project, doc, image, settings) || !QFile::copy(project, copySource))
            std::abort();
        // One untimed open, so that neither figure pays for the first touch of this much memory.
        Document warmDoc;
        dib warmImage;
        ProjectSettings warmSettings;
        if (!loadProject(project, warmDoc, warmImage, warmSettings))
            std::abort();
        deldib(warmImage);
    }
    ~Fixture() { deldib(image); }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

long statusKilobytes(const char *field)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0) {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return value;
}

// Lets VmHWM start again from the present resident size.
bool resetPeak()
{
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// Each open replaces the document and picture of the one before, as in the program; the old
// picture is released inside the timing. Both figures write to a name that does not exist yet.
void BM_ProjectSaveOpen(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("saved.ver"));
    Document doc;
    dib image;
    ProjectSettings settings;
    double peakOverPicture = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        // The first open starts from nothing, so the memory it adds is the new picture's alone.
        const bool measure = !image.poi && resetPeak();
        state.ResumeTiming();
        if (!saveProject(target, f.doc, f.image, f.settings))
            state.SkipWithError("save failed");
        const long before = measure ? statusKilobytes("VmRSS:") : 0;
        if (!loadProject(target, doc, image, settings))
            state.SkipWithError("open failed");
        if (measure) {
            const double picture = double(image.bytew) * ImageHeight;
            peakOverPicture = double(statusKilobytes("VmHWM:") - before) * 1024.0 / picture;
        }
    }
    state.counters["PeakOverPicture"] = peakOverPicture;
    state.SetBytesProcessed(state.iterations() * QFileInfo(target).size());
    deldib(image);
}

void BM_ProjectSaveOpen_Baseline(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString target = f.dir.filePath(QStringLiteral("copy.bin"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
        if (!QFile::copy(f.copySource, target))
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(target).size());
}

} // namespace

BENCHMARK(BM_ProjectSaveOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_ProjectSaveOpen_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

BENCHMARK_MAIN();

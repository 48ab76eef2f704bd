// Opening an 8000 x 6000 picture into the image record, as JPEG (quality 90), uncompressed TIFF
// and PNG, against QImageReader::read alone on the same file. The open also reports how far the
// process's memory high-water mark rose while opening, over the record's pixel bytes
// (PeakOverPicture, 1.0 = the picture alone).

#include "core/dib.h"
#include "image/velumo.h"
#include "offscreenmain.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int ImageWidth = 8000;
constexpr int ImageHeight = 6000;

struct Format {
    const char *suffix;
    const char *format;
    int quality;
    int compression;
};
constexpr Format Formats[] = {{"jpg", "jpeg", 90, -1}, {"tif", "tiff", -1, 0}, {"png", "png", -1, -1}};

// A photograph's kind of content: smooth gradients with fine grain, so that neither the
// compressed formats nor the decoders meet a trivial case.
QImage photoLike()
{
    QImage img(ImageWidth, ImageHeight, QImage::Format_RGB888);
    if (img.isNull())
        std::abort();
    std::uint32_t seed = 1;
    for (int y = 0; y < ImageHeight; ++y) {
        uchar *row = img.scanLine(y);
        for (int x = 0; x < ImageWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28);
            row[3 * x] = static_cast<uchar>((x * 255 / ImageWidth + grain) & 255);
            row[3 * x + 1] = static_cast<uchar>((y * 255 / ImageHeight + grain) & 255);
            row[3 * x + 2] = static_cast<uchar>(((x + y) / 50 + grain) & 255);
        }
    }
    return img;
}

struct Files {
    QTemporaryDir dir;
    QString paths[3];
    Files()
    {
        const QImage img = photoLike();
        for (int i = 0; i < 3; ++i) {
            paths[i] = dir.filePath(QStringLiteral("picture.") + QLatin1String(Formats[i].suffix));
            QImageWriter writer(paths[i], Formats[i].format);
            if (Formats[i].quality >= 0)
                writer.setQuality(Formats[i].quality);
            if (Formats[i].compression >= 0)
                writer.setCompression(Formats[i].compression);
            if (!dir.isValid() || !writer.write(img))
                std::abort();
        }
    }
};

const QString &file(benchmark::State &state)
{
    static Files files;
    return files.paths[state.range(0)];
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

// The high-water mark of one untimed open, measured before the timed ones.
double peakOverPicture(const QString &path)
{
    dib d;
    if (!resetPeak())
        return 0;
    const long before = statusKilobytes("VmRSS:");
    if (!OpenDib(d, path))
        return 0;
    const double peak = double(statusKilobytes("VmHWM:") - before) * 1024.0;
    const double picture = double(d.bytew) * DibHeight(d);
    deldib(d);
    return peak / picture;
}

void BM_OpenPicture(benchmark::State &state)
{
    const QString &path = file(state);
    state.counters["PeakOverPicture"] = peakOverPicture(path);
    for (auto _ : state) {
        dib d;
        if (!OpenDib(d, path))
            state.SkipWithError("open failed");
        deldib(d);
    }
    state.SetLabel(Formats[state.range(0)].format);
}

void BM_OpenPicture_BaselineDecoder(benchmark::State &state)
{
    const QString &path = file(state);
    for (auto _ : state) {
        QImageReader reader(path);
        QImage img;
        if (!reader.read(&img))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(img.constBits());
    }
    state.SetLabel(Formats[state.range(0)].format);
}

} // namespace

BENCHMARK(BM_OpenPicture)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OpenPicture_BaselineDecoder)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char **argv)
{
    QImageReader::setAllocationLimit(4096);
    return runOffscreenBenchmarks(argc, argv);
}

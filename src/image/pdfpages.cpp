#include "image/pdfpages.h"

#include "image/velumo.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QVariant>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Rendering goes in bands, so that a page of any allowed size needs only its image record and one
// band, and progress can be told between bands. Poppler reads the whole page again for each band,
// so a band is as large as can be while staying below the size (32 MiB) from which the C library
// maps every block afresh: the next band then reuses memory that is already faulted in, which
// saves far more than the reading costs.
constexpr std::int64_t BandBytes = std::int64_t(24) << 20;

std::unique_ptr<Poppler::Document> loadDocument(const QByteArray &bytes, PdfProblem &problem)
{
    // The reader's remarks on damaged files would reach the terminal; the user gets the
    // problem as a message instead.
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(bytes);
    if (!doc) {
        problem = PdfProblem::Unreadable;
        return nullptr;
    }
    if (doc->isLocked()) {
        problem = PdfProblem::Encrypted;
        return nullptr;
    }
    if (doc->numPages() <= 0) {
        problem = PdfProblem::NoPages;
        return nullptr;
    }
    doc->setRenderBackend(Poppler::Document::SplashBackend);
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    doc->setPaperColor(Qt::white);
    problem = PdfProblem::None;
    return doc;
}

bool cancelRequested(const QVariant &payload)
{
    const auto *cancel = reinterpret_cast<const std::atomic<bool> *>(payload.value<quintptr>());
    return cancel && cancel->load(std::memory_order_relaxed);
}

// The record is far larger than the caches and is not read again while it is being made: its
// words go straight to memory, which also spares reading each line before filling it. out is
// 4-byte aligned.
void storeWord(std::uint8_t *out, std::uint32_t word)
{
#ifdef __SSE2__
    _mm_stream_si32(reinterpret_cast<int *>(out), static_cast<int>(word));
#else
    std::memcpy(out, &word, sizeof word);
#endif
}

// Makes the words stored straight to memory visible to other threads before they are told.
void finishStores()
{
#ifdef __SSE2__
    _mm_sfence();
#endif
}

// Pages on paper are opaque: their pixels only lose the unused byte, four pixels making three
// words where the byte order allows. out is 4-byte aligned.
void packOpaqueRow(std::uint8_t *out, const QRgb *in, int width)
{
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= width; x += 4, out += 12) {
            storeWord(out, (in[x] & 0xFFFFFFu) | in[x + 1] << 24);
            storeWord(out + 4, (in[x + 1] >> 8 & 0xFFFFu) | in[x + 2] << 16);
            storeWord(out + 8, (in[x + 2] >> 16 & 0xFFu) | in[x + 3] << 8);
        }
    }
    for (; x < width; ++x, out += 3) {
        out[0] = static_cast<std::uint8_t>(qBlue(in[x]));
        out[1] = static_cast<std::uint8_t>(qGreen(in[x]));
        out[2] = static_cast<std::uint8_t>(qRed(in[x]));
    }
}

// Pixels with alpha laid over the white paper.
void blendRow(std::uint8_t *out, const QRgb *in, int width, bool premultiplied)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const QRgb c = in[x];
        const int a = qAlpha(c);
        if (a == 255) {
            out[0] = static_cast<std::uint8_t>(qBlue(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qRed(c));
        } else if (premultiplied) {
            out[0] = static_cast<std::uint8_t>(std::min(255, qBlue(c) + 255 - a));
            out[1] = static_cast<std::uint8_t>(std::min(255, qGreen(c) + 255 - a));
            out[2] = static_cast<std::uint8_t>(std::min(255, qRed(c) + 255 - a));
        } else {
            out[0] = static_cast<std::uint8_t>((qBlue(c) * a + 255 * (255 - a) + 127) / 255);
            out[1] = static_cast<std::uint8_t>((qGreen(c) * a + 255 * (255 - a) + 127) / 255);
            out[2] = static_cast<std::uint8_t>((qRed(c) * a + 255 * (255 - a) + 127) / 255);
        }
    }
}

// Rows first .. last - 1 of a rendered band (32 bits per pixel) into the record; the band's top
// row is picture row top.
void copyBandRows(dib &out, const QImage &band, int top, int first, int last)
{
    const int height = DibHeight(out);
    const int width = std::min(band.width(), DibWidth(out));
    const bool opaque = band.format() == QImage::Format_RGB32;
    const bool premultiplied = band.format() == QImage::Format_ARGB32_Premultiplied;
    for (int y = first; y < last && top + y < height; ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(band.constScanLine(y));
        std::uint8_t *row = dibRow(out, height - 1 - (top + y));
        if (opaque)
            packOpaqueRow(row, in, width);
        else
            blendRow(row, in, width, premultiplied);
    }
    finishStores();
}

// The rows are independent: the other cores take a share each.
void copyBand(dib &out, const QImage &band, int top)
{
    const int rows = band.height();
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    const int share = (rows + workers - 1) / workers;
    std::vector<std::jthread> helpers;
    for (int k = 1; k < workers && k * share < rows; ++k) {
        try {
            helpers.emplace_back(copyBandRows, std::ref(out), std::cref(band), top, k * share,
                                 std::min(rows, (k + 1) * share));
        } catch (const std::system_error &) {
            copyBandRows(out, band, top, k * share, std::min(rows, (k + 1) * share));
        }
    }
    copyBandRows(out, band, top, 0, std::min(rows, share));
}

struct PaperSize {
    const char *name;
    double shortSide;
    double longSide;
};

constexpr PaperSize Papers[] = {
    {"A0", 841, 1189}, {"A1", 594, 841}, {"A2", 420, 594},   {"A3", 297, 420},
    {"A4", 210, 297},  {"A5", 148, 210}, {"A6", 105, 148},   {"B4", 250, 353},
    {"B5", 176, 250},  {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}, {"Tabloid", 279.4, 431.8},
};

} // namespace

QString pdfProblemText(PdfProblem problem)
{
    switch (problem) {
    case PdfProblem::None:
        return QString();
    case PdfProblem::Unreadable:
        return QStringLiteral("Die PDF-Datei kann nicht gelesen werden; sie ist beschädigt oder keine PDF-Datei.");
    case PdfProblem::Encrypted:
        return QStringLiteral("Die PDF-Datei ist verschlüsselt und kann ohne Kennwort nicht geöffnet werden.");
    case PdfProblem::NoPages:
        return QStringLiteral("Die PDF-Datei enthält keine Seiten.");
    case PdfProblem::PageOutOfRange:
        return QStringLiteral("Diese Seite gibt es in der PDF-Datei nicht.");
    case PdfProblem::TooLarge:
        return QStringLiteral("Bei dieser Auflösung würde das Bild größer, als das Programm Bilder annimmt.");
    case PdfProblem::OutOfMemory:
        return QStringLiteral("Für das Bild reicht der Speicher nicht.");
    case PdfProblem::Canceled:
        return QStringLiteral("Abgebrochen.");
    case PdfProblem::RenderFailed:
        return QStringLiteral("Die PDF-Seite konnte nicht gezeichnet werden.");
    }
    return QString();
}

bool looksLikePdf(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // Readers accept the signature within the first kilobyte.
    return f.read(1024).contains("%PDF-");
}

QSize pdfPictureSize(const QSizeF &pagePoints, double dpi)
{
    const double w = std::round(pagePoints.width() * dpi / 72.0);
    const double h = std::round(pagePoints.height() * dpi / 72.0);
    const double limit = double(MaxDibSide) + 1;
    return QSize(static_cast<int>(std::clamp(w, 0.0, limit)), static_cast<int>(std::clamp(h, 0.0, limit)));
}

std::int64_t pdfPictureBytes(const QSize &pixels)
{
    if (pixels.width() > MaxDibSide || pixels.height() > MaxDibSide)
        return -1;
    return dibRowBytes(pixels.width(), 24) * pixels.height();
}

PdfProblem pdfPictureProblem(const QSizeF &pagePoints, double dpi)
{
    if (!std::isfinite(dpi) || dpi < MinPdfDpi || dpi > MaxPdfDpi)
        return PdfProblem::TooLarge;
    const QSize size = pdfPictureSize(pagePoints, dpi);
    const std::int64_t bytes = pdfPictureBytes(size);
    if (size.isEmpty() || bytes <= 0 || bytes > MaxDecodedPictureBytes)
        return PdfProblem::TooLarge;
    return PdfProblem::None;
}

PdfPlan::~PdfPlan() = default;

std::unique_ptr<PdfPlan> PdfPlan::open(const QString &fileName, PdfProblem &problem)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        problem = PdfProblem::Unreadable;
        return nullptr;
    }
    std::unique_ptr<PdfPlan> plan(new PdfPlan);
    plan->data = f.readAll();
    plan->document = loadDocument(plan->data, problem);
    if (!plan->document)
        return nullptr;
    return plan;
}

int PdfPlan::pageCount() const
{
    return document->numPages();
}

QSizeF PdfPlan::pageSizePoints(int page) const
{
    if (page < 0 || page >= pageCount())
        return QSizeF();
    const std::unique_ptr<Poppler::Page> p = document->page(page);
    return p ? p->pageSizeF() : QSizeF();
}

QImage PdfPlan::thumbnail(int page, int longSide) const
{
    const QSizeF points = pageSizePoints(page);
    const double side = std::max(points.width(), points.height());
    if (side <= 0 || longSide <= 0)
        return QImage();
    const std::unique_ptr<Poppler::Page> p = document->page(page);
    const double dpi = 72.0 * longSide / side;
    return p ? p->renderToImage(dpi, dpi) : QImage();
}

int pdfBandRows(int width)
{
    return static_cast<int>(std::clamp<std::int64_t>(BandBytes / (std::int64_t(std::max(width, 1)) * 4), 1, MaxDibSide));
}

PdfProblem renderPdfPage(dib &out, const QByteArray &bytes, int page, double dpi, const PdfRenderControl &control)
{
    out.poi = nullptr;
    PdfProblem problem = PdfProblem::None;
    const std::unique_ptr<Poppler::Document> doc = loadDocument(bytes, problem);
    if (!doc)
        return problem;
    if (page < 0 || page >= doc->numPages())
        return PdfProblem::PageOutOfRange;
    const std::unique_ptr<Poppler::Page> p = doc->page(page);
    if (!p)
        return PdfProblem::RenderFailed;
    if (pdfPictureProblem(p->pageSizeF(), dpi) != PdfProblem::None)
        return PdfProblem::TooLarge;
    const QSize size = pdfPictureSize(p->pageSizeF(), dpi);

    dib result;
    if (!newdib(result, size.width(), size.height(), 24, nullptr, 0))
        return PdfProblem::OutOfMemory;
    adviseHugePages(result.poi, std::int64_t(result.bytew) * size.height());
    const auto dotsPerMeter = static_cast<std::int32_t>(std::lround(dpi / 0.0254));
    result.pmi->bmiHeader.biXPelsPerMeter = dotsPerMeter;
    result.pmi->bmiHeader.biYPelsPerMeter = dotsPerMeter;

    const int bandRows = std::min(pdfBandRows(size.width()), size.height());
    const QVariant payload = QVariant::fromValue(reinterpret_cast<quintptr>(control.cancel));
    for (int top = 0; top < size.height(); top += bandRows) {
        if (control.cancel && control.cancel->load()) {
            deldib(result);
            return PdfProblem::Canceled;
        }
        const int rows = std::min(bandRows, size.height() - top);
        const QImage band = p->renderToImage(dpi, dpi, 0, top, size.width(), rows, Poppler::Page::Rotate0, nullptr,
                                             nullptr, cancelRequested, payload);
        if (control.cancel && control.cancel->load()) {
            deldib(result);
            return PdfProblem::Canceled;
        }
        if (band.isNull()) {
            deldib(result);
            return PdfProblem::RenderFailed;
        }
        if (band.format() == QImage::Format_RGB32 || band.format() == QImage::Format_ARGB32
            || band.format() == QImage::Format_ARGB32_Premultiplied)
            copyBand(result, band, top);
        else
            copyBand(result, band.convertToFormat(QImage::Format_ARGB32_Premultiplied), top);
        if (control.progress)
            control.progress(top + rows, size.height());
    }
    out = result;
    return PdfProblem::None;
}

PaperFormat paperFormat(const QSizeF &sizeMm)
{
    const double shortSide = std::min(sizeMm.width(), sizeMm.height());
    const double longSide = std::max(sizeMm.width(), sizeMm.height());
    PaperFormat format;
    format.landscape = sizeMm.width() > sizeMm.height();
    for (const PaperSize &paper : Papers)
        if (std::abs(shortSide - paper.shortSide) <= 2.0 && std::abs(longSide - paper.longSide) <= 2.0) {
            format.name = QString::fromLatin1(paper.name);
            break;
        }
    return format;
}

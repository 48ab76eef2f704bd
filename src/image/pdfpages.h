#pragma once

#include "core/dib.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// PDF plans as pictures: a document is read once into memory, its pages are described and shown
// as small thumbnails on demand, and the page the user chose is rendered into the image record.

namespace Poppler {
class Document;
}

enum class PdfProblem {
    None,
    Unreadable,   // missing, not a PDF or damaged
    Encrypted,    // needs a password
    NoPages,
    PageOutOfRange,
    TooLarge,     // the picture would exceed the program's picture limits
    OutOfMemory,
    Canceled,
    RenderFailed,
};

// The German message for a problem, to be translated by the caller.
QString pdfProblemText(PdfProblem problem);

// Whether the file starts like a PDF, whatever its suffix.
bool looksLikePdf(const QString &fileName);

// Picture size of a page rendered at a resolution: the size Poppler renders it at.
QSize pdfPictureSize(const QSizeF &pagePoints, double dpi);
// Bytes of the 24-bit image record of that size; -1 when a side exceeds the record's limit.
std::int64_t pdfPictureBytes(const QSize &pixels);
// None, or TooLarge when the picture exceeds the side limit or the program's decoding budget.
PdfProblem pdfPictureProblem(const QSizeF &pagePoints, double dpi);

inline constexpr double MinPdfDpi = 10.0;
inline constexpr double MaxPdfDpi = 2400.0;
inline constexpr double DefaultPdfDpi = 200.0;

class PdfPlan
{
public:
    ~PdfPlan();
    PdfPlan(const PdfPlan &) = delete;
    PdfPlan &operator=(const PdfPlan &) = delete;

    // Reads the file; nullptr with problem set when it is no usable PDF (damaged, encrypted, no
    // pages).
    static std::unique_ptr<PdfPlan> open(const QString &fileName, PdfProblem &problem);

    int pageCount() const;
    // Page size in points (1/72 inch) as shown, after the page's own rotation; index from 0.
    QSizeF pageSizePoints(int page) const;
    // The page at a resolution that fits it into a square of that many pixels.
    QImage thumbnail(int page, int longSide) const;
    const QByteArray &bytes() const { return data; }

private:
    PdfPlan() = default;
    QByteArray data;
    std::unique_ptr<Poppler::Document> document;
};

// Progress and cancelling for a render that may take seconds; both may be left empty. progress is
// called from the rendering thread with the rows done and the rows in all.
struct PdfRenderControl {
    const std::atomic<bool> *cancel = nullptr;
    std::function<void(int done, int total)> progress;
};

// Rows of one rendered band for a picture of that width: the page is rendered band by band.
int pdfBandRows(int width);

// Renders page (from 0) of the PDF held in bytes at dpi into out, which must be an empty record:
// 24 bits, antialiased, on white paper, with the resolution in the header. Safe to call from any
// thread: it opens its own document. Leaves out empty and returns the problem otherwise.
PdfProblem renderPdfPage(dib &out, const QByteArray &bytes, int page, double dpi,
                         const PdfRenderControl &control = {});

// A paper format the page matches within 2 mm: "A3", "Letter", ...; empty when none.
// landscape tells whether the page is wider than high.
struct PaperFormat {
    QString name;
    bool landscape = false;
};
PaperFormat paperFormat(const QSizeF &sizeMm);

inline QSizeF pointsToMm(const QSizeF &points)
{
    return points * (25.4 / 72.0);
}

#include "render/pdfexport.h"

#include "core/dib.h"
#include "core/safewrite.h"
#include "core/translate.h"
#include "image/drawdib.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {

// The largest page side PDF readers are held to, in points.
constexpr double MaxPageSide = 14400.0;

} // namespace

bool exportPdf(const QString &path, Document &doc, const dib &image, const RenderInputs &in, bool withPicture,
               QString *error)
{
    const ViewState view = in.view.atOrigin();
    const RenderInputs pageInputs{.view = view, .settings = in.settings,
                                  .scale = in.scale, .numbers = in.numbers, .pass = ExportPass};
    const int width = image.poi ? DibWidth(image) : 1;
    const int height = image.poi ? DibHeight(image) : 1;
    const QSize zoomed = view.zoomedImageSize(width, height).expandedTo(QSize(1, 1));
    const double shrink = std::min(1.0, MaxPageSide / std::max(width, height));
    const QSizeF page(width * shrink, height * shrink);

    const auto write = [&](QIODevice &file, QString *writeError) {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Tesselon"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setResolution(72);
        writer.setPageSize(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p;
        if (!p.begin(&writer)) {
            *writeError = Translate(QStringLiteral("Die PDF-Datei konnte nicht erstellt werden.")) + QLatin1Char(' ') + path;
            return false;
        }
        // The drawing is laid out in pixels of the zoomed picture and fills the page.
        p.scale(page.width() / zoomed.width(), page.height() / zoomed.height());
        if (withPicture && image.poi)
            DrawDib(p, 0, 0, zoomed.width(), zoomed.height(), image, 0, 0, width, height, false);
        drawElements(p, doc, pageInputs);
        return p.end();
    };
    return writeFileSafely(path, write, error);
}

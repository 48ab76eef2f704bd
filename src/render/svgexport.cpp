#include "render/svgexport.h"

#include "core/safewrite.h"
#include "core/translate.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

QByteArray svgBytes(Document &doc, QSize imageSize, const RenderInputs &in)
{
    const QSize size = imageSize.expandedTo(QSize(1, 1));
    ViewState view;
    view.zoomPercent = 100;
    // Texts are written as text, never as the screen's rasterised copies.
    const RenderInputs svgInputs{.view = view, .settings = in.settings,
                                 .scale = in.scale, .numbers = in.numbers, .pass = ExportPass};

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    // One image pixel is one CSS pixel, so renderers show the drawing at the image's size.
    generator.setResolution(96);
    generator.setTitle(QStringLiteral("Tesselon"));
    QPainter p;
    if (!p.begin(&generator))
        return {};
    drawElements(p, doc, svgInputs);
    p.end();
    return buffer.data();
}

bool exportSvg(const QString &path, Document &doc, QSize imageSize, const RenderInputs &in, QString *error)
{
    const QByteArray bytes = svgBytes(doc, imageSize, in);
    if (bytes.isEmpty()) {
        if (error)
            *error = Translate(QStringLiteral("Die SVG-Zeichnung konnte nicht erstellt werden."));
        return false;
    }
    return writeFileSafely(path, bytes, error);
}

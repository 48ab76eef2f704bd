#include "render/pictureexport.h"

#include "core/dib.h"
#include "core/safewrite.h"
#include "core/translate.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QFileInfo>
#include <QImageWriter>

namespace {

// A picture of more pixels would take more than a gigabyte before it is even encoded, and the
// system may promise that memory only to take it away while the picture is drawn.
constexpr qint64 MaxPicturePixels = qint64(1) << 28;

} // namespace

QByteArray pictureFormatForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return QByteArrayLiteral("png");
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return QByteArrayLiteral("jpeg");
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        return QByteArrayLiteral("tiff");
    return QByteArrayLiteral("bmp");
}

bool renderPicture(QImage &out, Document &doc, const dib &image, const RenderInputs &in, bool withPicture)
{
    const ViewState view = in.view.atOrigin();
    if (image.poi) {
        const QSize size = view.zoomedImageSize(DibWidth(image), DibHeight(image));
        if (static_cast<qint64>(size.width()) * size.height() > MaxPicturePixels)
            return false;
    }
    DrawingSettings settings = in.settings;
    settings.showPicture = withPicture;
    // The screen's rasterised label texts are made for its own repaints; an export draws its own.
    const RenderInputs exportInputs{.view = view, .settings = settings,
                                    .scale = in.scale, .numbers = in.numbers, .pass = ExportPass};
    return renderBackBuffer(out, QSize(), doc, image, exportInputs);
}

bool savePicture(const QString &path, const QByteArray &format, Document &doc, const dib &image,
                 const RenderInputs &in, bool withPicture, QString *error)
{
    QImage picture;
    if (!renderPicture(picture, doc, image, in, withPicture)) {
        if (error)
            *error = Translate(QStringLiteral("Für ein Bild dieser Größe reicht der Speicher nicht. Bitte wählen Sie einen kleineren Zoom."));
        return false;
    }
    const auto write = [&](QIODevice &file, QString *writeError) {
        QImageWriter writer(&file, format);
        if (format == "jpeg")
            writer.setQuality(95);
        if (writer.write(picture))
            return true;
        *writeError = Translate(QStringLiteral("Konnte das Bild nicht speichern.")) + QLatin1Char(' ') + path
            + QStringLiteral(": ") + writer.errorString();
        return false;
    };
    return writeFileSafely(path, write, error);
}

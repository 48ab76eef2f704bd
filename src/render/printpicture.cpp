#include "render/printpicture.h"

#include "core/dib.h"
#include "render/printjob.h"
#include "render/viewstate.h"

#include <QImage>

#include <algorithm>
#include <cstring>

int printPictureZoom(QSize picture)
{
    const int side = std::max(picture.width(), picture.height());
    if (side <= PrintPictureSide)
        return 100;
    return std::max(ViewState::ZoomMin, static_cast<int>(100LL * PrintPictureSide / side));
}

bool renderPrintPicture(dib &out, PrintSource &src, bool withPicture)
{
    if (!src.image.poi)
        return false;
    ViewState view;
    view.zoomPercent = printPictureZoom(QSize(DibWidth(src.image), DibHeight(src.image)));
    DrawingSettings settings = src.settings;
    settings.showPicture = withPicture;
    const RenderInputs in{.view = view, .settings = settings,
                          .scale = src.scale, .numbers = src.numbers, .pass = ExportPass};
    QImage buffer;
    if (!renderBackBuffer(buffer, QSize(), src.doc, src.image, in))
        return false;
    if (!newdib(out, buffer.width(), buffer.height(), 24, nullptr, 0))
        return false;
    const std::int32_t height = buffer.height();
    for (std::int32_t y = 0; y < height; ++y) {
        const auto *in32 = reinterpret_cast<const QRgb *>(buffer.constScanLine(y));
        std::uint8_t *row = dibRow(out, height - 1 - y);
        for (int x = 0; x < buffer.width(); ++x) {
            row[3 * x] = static_cast<std::uint8_t>(qBlue(in32[x]));
            row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in32[x]));
            row[3 * x + 2] = static_cast<std::uint8_t>(qRed(in32[x]));
        }
    }
    return true;
}

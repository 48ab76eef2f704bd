#include "render/renderer.h"

#include "core/dib.h"
#include "image/drawdib.h"
#include "render/directpixels.h"
#include "render/drawlist.h"
#include "render/labelcache.h"
#include "render/viewstate.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <utility>

bool renderBackBuffer(QImage &bit, QSize surface, Document &doc, const dib &di, const RenderInputs &in)
{
    const ViewState &view = in.view;
    const int imageWidth = di.poi ? DibWidth(di) : 0;
    const int imageHeight = di.poi ? DibHeight(di) : 0;
    // Even a collapsed surface gets a pixel, so the pass still refreshes every stored value.
    const QSize size =
        (in.pass.wholeImage ? view.zoomedImageSize(imageWidth, imageHeight) : surface).expandedTo(QSize(1, 1));
    // The buffer is kept from one repaint to the next; only a new size costs an allocation.
    if (bit.size() != size || bit.format() != QImage::Format_RGB32) {
        QImage fresh(size, QImage::Format_RGB32);
        if (fresh.isNull())
            return false;
        bit = std::move(fresh);
    }
    // Many labels new to the cache (after a zoom or font change) are rasterised side by side
    // after a first pass, and the buffer painted again from them.
    if (in.labelCache)
        in.labelCache->allowDeferring(true);
    uchar *const rows = bit.bits();
    const qsizetype stride = bit.bytesPerLine();
    const int width = bit.width();
    const auto clear = [rows, stride, width](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            std::fill_n(reinterpret_cast<QRgb *>(rows + y * stride), width, qRgb(255, 255, 255));
    };
    for (;;) {
        QPainter p(&bit);
        // The screen's repaint clears the buffer and lays the picture on a second thread while
        // it works out what to draw over them, and draws that as the rows come ready.
        std::optional<DrawList> list;
        if (in.labelCache) {
            list.emplace(DirectPixels(p), in.labelCache->workers());
            if (!list->usable())
                list.reset();
        }
        const bool picture = in.settings.showPicture && di.poi;
        const QSize zoomed = view.zoomedImageSize(imageWidth, imageHeight);
        RowStretch stretch;
        if (picture && list)
            stretch = rowStretch(p, view.ox(), view.oy(), zoomed.width(), zoomed.height(), di, 0, 0, imageWidth,
                                 imageHeight, false);
        if (list && (stretch || !picture)) {
            list->start([&clear, stretch = std::move(stretch)](int top, int bottom) {
                clear(top, bottom);
                if (stretch)
                    stretch(top, bottom);
            });
        } else {
            clear(0, bit.height());
            if (picture)
                DrawDib(p, view.ox(), view.oy(), zoomed.width(), zoomed.height(), di, 0, 0, imageWidth, imageHeight,
                        false);
            if (list)
                list->start({});
        }
        drawElements(p, doc, in, list ? &*list : nullptr);
        p.end();
        if (!in.labelCache || !in.labelCache->putOffAny())
            break;
        in.labelCache->allowDeferring(false);
    }
    if (in.labelCache)
        in.labelCache->allowDeferring(false);
    return true;
}

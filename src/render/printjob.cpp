#include "render/printjob.h"

#include "core/dib.h"
#include "image/drawdib.h"
#include "render/printlayout.h"
#include "render/viewstate.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QSize imageSize(const dib &d)
{
    return d.poi ? QSize(DibWidth(d), DibHeight(d)) : QSize();
}

// The device position of image coordinate u: every tile of the picture and the elements meet
// on the same whole device pixels.
int devicePosition(double origin, double factor, double u)
{
    return static_cast<int>(std::llround(origin + u * factor));
}

// The image columns (or rows) [first, last) whose pixels reach into the device span
// [low, high), for a picture of side pixels.
void visibleSpan(double origin, double factor, int low, int high, int side, int &first, int &last)
{
    first = static_cast<int>(std::clamp(std::floor((low - origin) / factor), 0.0, double(side)));
    last = static_cast<int>(std::clamp(std::ceil((high - origin) / factor), 0.0, double(side)));
}

void paintPicture(QPainter &p, QPointF origin, double fx, double fy, const QRect &clip, const dib &image)
{
    const QSize size = imageSize(image);
    if (size.isEmpty() || !(fx > 0.0) || !(fy > 0.0))
        return;
    int u0 = 0;
    int u1 = 0;
    int v0 = 0;
    int v1 = 0;
    visibleSpan(origin.x(), fx, clip.left(), clip.left() + clip.width(), size.width(), u0, u1);
    visibleSpan(origin.y(), fy, clip.top(), clip.top() + clip.height(), size.height(), v0, v1);
    if (u1 <= u0 || v1 <= v0)
        return;
    const int x = devicePosition(origin.x(), fx, u0);
    const int y = devicePosition(origin.y(), fy, v0);
    const int dw = devicePosition(origin.x(), fx, u1) - x;
    const int dh = devicePosition(origin.y(), fy, v1) - y;
    // Source rows of DrawDib count from the bottom of the picture.
    DrawDib(p, x, y, dw, dh, image, u0, size.height() - v1, u1 - u0, v1 - v0, true);
}

} // namespace

QSize printablePage(const QPaintDevice &device)
{
    return QSize(device.width(), device.height());
}

int printZoom(double factor)
{
    const double percent = factor * 100.0;
    if (!(percent >= ViewState::ZoomMin))
        return ViewState::ZoomMin;
    if (percent >= ViewState::ZoomMax)
        return ViewState::ZoomMax;
    return static_cast<int>(std::lround(percent));
}

void paintDrawing(QPainter &p, QPointF origin, double factorX, double factorY, const QRect &clip,
                  PrintSource &src, bool withPicture, double paperAspect)
{
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    if (withPicture)
        paintPicture(p, origin, factorX, factorY, clip, src.image);

    ViewState view;
    view.zoomPercent = printZoom(std::min(factorX, factorY));
    // The zoom is a whole percentage; the painter takes the rest of the factor, which is close
    // to 1, so the element drawing's own rounding happens at nearly device resolution.
    p.translate(origin);
    p.scale(factorX * 100.0 / view.zoomPercent, factorY * 100.0 / view.zoomPercent);
    RenderInputs in{view, src.settings, src.scale, src.numbers, nullptr};
    in.paperAspect = paperAspect;
    in.pass = ExportPass;
    drawElements(p, src.doc, in);
    p.restore();
}

bool printFitted(QPagedPaintDevice &device, const PrintSizeChoice &choice, PrintSource &src, bool withPicture)
{
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QSize page = printablePage(device);
    const QSize image = imageSize(src.image);
    if (!image.isEmpty()) {
        const QRect target = picturePlacement(previewPageRect(page, page), image, choice);
        paintDrawing(p, target.topLeft(), double(target.width()) / image.width(),
                     double(target.height()) / image.height(), QRect(QPoint(0, 0), page), src, withPicture);
    }
    return p.end();
}

std::optional<RealSizeLayout> realSizeLayoutFor(const QPaintDevice &device, QSize image, PaperPixel mmPerPixel)
{
    return realSizeLayout(image, mmPerPixel, device.logicalDpiX(), device.logicalDpiY(), printablePage(device));
}

bool printRealSize(QPagedPaintDevice &device, const RealSizeLayout &layout, PrintSource &src, bool withPicture)
{
    if (!(layout.pages() >= 1.0 && layout.pages() <= MaxRealSizePages))
        return false;
    QPainter p;
    if (!p.begin(&device))
        return false;
    const int columns = static_cast<int>(layout.columns);
    const int rows = static_cast<int>(layout.rows);
    const QRect page(QPoint(0, 0), layout.page);
    bool ok = true;
    for (int r = 0; r < rows && ok; ++r) {
        for (int c = 0; c < columns && ok; ++c) {
            if ((r > 0 || c > 0) && !device.newPage()) {
                ok = false;
                continue;
            }
            const QPointF origin(-double(c) * layout.page.width(), -double(r) * layout.page.height());
            paintDrawing(p, origin, layout.factorX, layout.factorY, page, src, withPicture, layout.paperAspect);
        }
    }
    return p.end() && ok;
}

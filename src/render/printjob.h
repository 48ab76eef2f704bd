#pragma once

#include "core/geometry.h"
#include "render/labels.h"
#include "render/realsize.h"
#include "render/renderer.h"

#include <QPointF>
#include <QRect>
#include <QSize>

class Document;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
struct PrintSizeChoice;
struct ViewState;
struct dib;

// What a printout draws: the screen's document over its picture, with the screen's drawing
// settings, scale and number settings. Printing refreshes the elements' stored values as a
// repaint does.
struct PrintSource {
    Document &doc;
    const dib &image;
    DrawingSettings settings;
    Scale scale;
    NumberSettings numbers;
};

// The printable page of a device in its own pixels: the printer's page without its margins.
QSize printablePage(const QPaintDevice &device);

// The zoom (percent) of the element drawing at factor device pixels per image pixel, held in
// the zoom field's range; the painter scales by whatever is left.
int printZoom(double factor);

// Draws the drawing with the image's top-left corner at origin, at factorX x factorY device
// pixels per image pixel: the picture (when withPicture) with DrawDib, halftoning allowed, and
// every element with its dimension lines, arrow heads and labels as on the screen at that zoom,
// without point marks. Only what lies inside clip is drawn; for the picture only the rows and
// columns that reach into it are sent to the device. Where the factors stand for separate X and
// Y scales on paper, paperAspect (paper width of an image pixel over its height) keeps the labels
// and arrow heads in their shape there.
void paintDrawing(QPainter &p, QPointF origin, double factorX, double factorY, const QRect &clip,
                  PrintSource &src, bool withPicture, double paperAspect = 1.0);

// Prints the drawing on one page, at the place and size the print dialog's choices give on the
// device's printable page. False when the device cannot be painted on.
bool printFitted(QPagedPaintDevice &device, const PrintSizeChoice &choice, PrintSource &src, bool withPicture);

// The layout of the drawing at the set scale on the device, from its resolution and printable
// page. None for a picture or page without size.
std::optional<RealSizeLayout> realSizeLayoutFor(const QPaintDevice &device, QSize image, PaperPixel mmPerPixel);

// Prints the drawing at real size, page by page (rows from the top, each from the left), from
// the image's top-left corner at the top-left of the first page. False when the device cannot be
// painted on or refuses a new page.
bool printRealSize(QPagedPaintDevice &device, const RealSizeLayout &layout, PrintSource &src, bool withPicture);

#pragma once

#include "core/dib.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;

// Putting a rectangle of an image onto a painter at any size, nearest-neighbour.
//
// Source rectangles of DrawDib count sy in stored rows, from the bottom edge of the image up;
// the row stretchers take the first source row counted from the top instead. Destinations are
// in the painter's coordinates.

// Bits per pixel of the primary screen; 24 when there is no screen.
int ScreenBitsPerPixel();
// Makes ScreenBitsPerPixel answer bits (a screen of another depth in tests); 0 asks the screen.
void setScreenBitsPerPixelOverride(int bits);

// Nearest-neighbour copies of the source rectangle (sx, top, sw, sh) of a 24-bit or 8-bit image
// into the destination rectangle of a 32-bit buffer (RGB32, ARGB32 or ARGB32_Premultiplied),
// one destination row at a time; a source row is converted once and reused by the following
// destination rows that map to it. Destination pixels whose source lies outside the image are
// black. Only destination pixels inside the buffer and inside clip (when clip is not null) are
// written. Return false, writing nothing, for a buffer or image they cannot handle.
bool StretchDibRows24(QImage &buffer, int x, int y, int dw, int dh, const dib &d, int sx, int top, int sw, int sh,
                      const QRect &clip = QRect());
bool StretchDibRows8(QImage &buffer, int x, int y, int dw, int dh, const dib &d, int sx, int top, int sw, int sh,
                     const QRect &clip = QRect());

// A destination rectangle and the source rectangle (sy counting stored rows) drawn into it.
struct DibBlit {
    int x, y, dw, dh;
    int sx, sy, sw, sh;
};

// Cuts the source rectangle to a width x height image on the right, bottom, top and left, in
// that order, shrinking the destination in proportion (halves rounded to even); the top cut moves
// the destination down, the left cut moves it right. False when nothing is left to draw.
bool clipDibBlit(DibBlit &b, std::int32_t width, std::int32_t height);

// A dw x dh copy of the source rectangle (sy counting stored rows) at the source's depth and
// palette: the first and last destination pixels take the first and last source pixels; a
// destination one pixel wide or high takes the first source column or row. Fills an empty record.
bool ResampleDib(dib &out, const dib &src, int sx, int sy, int sw, int sh, int dw, int dh);

enum class DrawDibPath { Halftone, Rows24, Rows8, DeviceStretch };

// The way DrawDib takes for this painter and image: halftoned for a 24-bit image when allowed and
// the screen has at most 8 bits per pixel; the row stretchers for 24-bit and 8-bit images on a
// 32-bit QImage that is painted without transformation or a clip of more than one rectangle;
// otherwise the painter's own stretch (other depths, printers, PDF and other devices).
DrawDibPath chooseDrawDibPath(const QPainter &p, const dib &d, bool halftoneAllowed);

// The drawing DrawDib makes when it takes the row stretchers, as work that touches nothing but
// the pixels of the painter's image, so that another thread can do it while the painter goes on;
// empty when DrawDib would take another way or draw nothing. Called with rows [top, bottom) of
// the image, it draws those rows alone, as the whole drawing would; the image and d must
// outlive it.
using RowStretch = std::function<void(int top, int bottom)>;
RowStretch rowStretch(QPainter &p, int x, int y, int dw, int dh, const dib &d, int sx, int sy, int sw, int sh,
                      bool halftoneAllowed);

// Draws the source rectangle of d into the destination rectangle. Nothing is drawn for a record
// without pixels or a rectangle that lies outside the image.
void DrawDib(QPainter &p, int x, int y, int dw, int dh, const dib &d, int sx, int sy, int sw, int sh,
             bool halftoneAllowed);

// Receives the text of a drawing failure of the last fallback ("Could not create bitmap." ...).
// The user interface installs a handler that shows it; without one the text goes to stderr.
using DrawFailureHandler = std::function<void(const QString &message)>;
void setDrawFailureHandler(DrawFailureHandler handler);
void reportDrawFailure(const QString &message);

#pragma once

#include "core/geometry.h"

#include <QSize>
#include <QString>

#include <optional>

// Printing at the set scale: one unit on paper is one unit measured.

// Millimetres in one unit of the unit list ("mm", "cm", "dm", "m", "km", "Fuß", "Yard", "Inch",
// "Meilen", "Seemeilen", "µm", "nm", "pm"), given by its German name or by its name in the current
// language; blanks around the text do not count. None for any other text, such as "Pixel".
std::optional<double> unitMillimetres(const QString &unit);

// Paper millimetres of one image pixel, across and down.
struct PaperPixel {
    double across = 0;
    double down = 0;
};

// Paper millimetres of one image pixel at the scale: |realLength / pixelLength| units of the unit across and,
// with separate axes, |yRealLength / yPixelLength| down. None for an unknown unit or a scale that gives no
// finite, positive size.
std::optional<PaperPixel> paperMillimetresPerImagePixel(const Scale &scale, const QString &unit);

// A drawing at real size spread over pages of page.width() x page.height() printer pixels,
// row by row from the top-left page. Columns and rows are whole numbers held as doubles, so that
// a drawing far beyond any sensible printout can still be counted.
struct RealSizeLayout {
    double factorX = 0; // printer pixels per image pixel, across
    double factorY = 0; // and down
    double paperAspect = 1; // paper width of an image pixel over its height
    QSize page;
    double columns = 0;
    double rows = 0;
    double pages() const { return columns * rows; }
};

// No printout is spread over more pages than this.
inline constexpr int MaxRealSizePages = 1000;

// The layout of an image of image's size at mmPerPixel paper millimetres per image pixel on a
// device of dpiX x dpiY; a drawing too large to count has infinitely many pages. None when a size
// is missing or a value is not finite and positive.
std::optional<RealSizeLayout> realSizeLayout(QSize image, PaperPixel mmPerPixel, double dpiX, double dpiY,
                                             QSize page);

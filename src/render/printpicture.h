#pragma once

#include <QSize>

struct PrintSource;
struct dib;

// Longest side of the picture the print dialog previews; larger drawings are rendered smaller,
// since the preview never shows more than a few hundred pixels.
inline constexpr int PrintPictureSide = 2048;

// The drawing as the print dialog previews it: the picture (when withPicture) and every element
// without point marks, on white, as a 24-bit image record. Up to PrintPictureSide pixels per side
// it has the picture's size (zoom 100); larger drawings are rendered at a smaller zoom. Fills an
// empty record; false, leaving it without pixels, when the drawing has no size or memory is short.
bool renderPrintPicture(dib &out, PrintSource &src, bool withPicture);

// The zoom (percent) of that rendering for a picture of this size.
int printPictureZoom(QSize picture);

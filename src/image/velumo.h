#pragma once

#include "core/dib.h"

#include <QImage>
#include <QRect>
#include <QString>

// The image library: decoding picture files into the image record, the open dialog's filter,
// halftoned copies, and the image record seen as a QImage for painting.

// The most memory one decoded picture may take; pictures made by the program (PDF pages,
// straightened photographs) stay within the same budget.
inline constexpr std::int64_t MaxDecodedPictureBytes = std::int64_t(4096) << 20;

// Decodes the first image of a file into d, which must be an empty record. The depth follows
// the picture: two-colour images stay at 1 bit, palettes of up to 16 colours become 4 bits,
// larger palettes and grey images 8 bits, everything else 24 bits; transparency is laid over
// white. Returns false, leaving d without pixels, when the file cannot be read or decoded or
// claims a size the program does not accept.
bool OpenDib(dib &d, const QString &fileName);

// The open dialog's filter: every picture format Qt reads here and PDF, first all of them together,
// then one entry per format, then all files.
QString GetDIBOpenFilter();

// An 8-bit copy of src on a fixed 6 x 6 x 6 colour cube, dithered with an ordered 8 x 8
// threshold matrix; the XY variant resizes to w x h by nearest neighbour on the way.
// Both fill an empty record and return false, leaving it without pixels, on failure.
bool DIBHalftoneDIB(dib &out, const dib &src);
bool DIBHalftoneDIBXY(dib &out, const dib &src, int w, int h);

// The image (or the part of it given in top-down image coordinates, cut to the image) as a
// QImage with its palette applied; a null QImage when the record holds no pixels, the part
// is empty or memory is short. The pixels are copied, so the result outlives d.
QImage dibToQImage(const dib &d);
QImage dibToQImage(const dib &d, const QRect &part);

// The colour of pixel (x, stored row y) as 0xffRRGGBB, whatever the depth; 16-bit pixels are
// read as 5-5-5. Outside the image: black.
QRgb dibPixelColor(const dib &d, std::int32_t x, std::int32_t y);

#pragma once

#include "core/dib.h"
#include "core/elements.h"

#include <QPointF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <array>

// Straightening a photograph: four points that are the corners of a rectangle in reality are
// mapped onto a true rectangle of the real size at a chosen pixel density, by one projective
// transform that resamples the whole picture and moves the elements along with it.
// Coordinates are the image coordinates of the elements: pixel (i, j) covers [i, i + 1) x [j, j + 1),
// rows counted from the top.

using Quad = std::array<QPointF, 4>;

enum class RectifyProblem {
    None,
    NotConvex,   // the four points are no convex quadrilateral
    ZeroSize,    // a real side or the density is zero, negative or no number
    TooSmall,    // the rectangle would be less than a pixel wide or high
    TooLarge,    // the straightened picture would exceed the program's picture limits
    OutOfMemory,
    NoPicture,
};

// The German message for a problem, to be translated by the caller.
QString rectifyProblemText(RectifyProblem problem);

// The corners in any order put in order around the quadrilateral, starting at the one nearest
// the picture's top left and going clockwise on the screen: top left, top right, bottom right,
// bottom left. False when they form no convex quadrilateral (three in a line, one inside the
// others' triangle, two on one spot).
bool orderCorners(const Quad &clicked, Quad &ordered);

// Pixels per real unit that keep the rectangle's longer real side at its present length in
// pixels (the mean of the two edges that show it); 0 when the input is unusable.
double defaultDensity(const Quad &ordered, double realWidth, double realHeight);

struct RectifyPlan {
    QTransform transform; // picture coordinates -> straightened picture coordinates
    QSize size;           // of the straightened picture
    QPointF rectangleTopLeft; // where the rectangle lands in the straightened picture
    double rectangleWidth = 0;  // its sides in pixels
    double rectangleHeight = 0;
};

// Where and how large the straightened picture of a picture of pictureSize becomes. The whole
// picture is kept, except what the transform throws far away (towards a vanishing line): the
// result is held within a square around the rectangle of twice the picture's longer side.
RectifyProblem planRectification(const QSize &pictureSize, const Quad &clicked, double realWidth, double realHeight,
                                 double density, RectifyPlan &plan);

// Resamples src bilinearly through plan into out (an empty record; 24 bits, white outside the
// picture, no stated resolution). Returns false, leaving out empty, when memory is short.
bool rectifyDib(dib &out, const dib &src, const RectifyPlan &plan);

// Moves every point of every element through the transform.
void mapElements(Document &doc, const QTransform &transform);

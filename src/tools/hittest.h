#pragma once

#include "core/geometry.h"

#include <QPoint>
#include <QSize>

#include <functional>

struct Telemente;

// Tolerances in screen pixels: a square of +-3 around a point, 5 beside a line.
inline constexpr int PointTolerance = 3;
inline constexpr float LineTolerance = 5.0f;

// x, y: the mouse position plus the scroll positions; (px, py) an image point. True when the
// unrounded screen position of the point lies within +-3 pixels in both axes, edges included.
bool clickonpunkt(int x, int y, double px, double py, double zoom);

// P within the tolerance of the segment A-B (paint-box pixels). A segment of length 0 is never
// hit; a floating-point fault gives false.
bool ClickOnline(PointF32 A, PointF32 B, PointF32 P, float tolerance = LineTolerance);

// The view mapping the outline test draws its segments with (rounded screen positions).
using ImageToScreen = std::function<QPoint(double x, double y)>;

// The outline test of one element against the press position: rectangle edges, the 50 chords
// of an ellipse, a distance's dimension and extension lines, the segments of a vertex list, the
// box of a text label (textExtent: the label's text measured in the label font at the current
// zoom). Line chains and curves are never hit. The element is not changed.
bool outlineHit(const Telemente &e, QPoint press, const ImageToScreen &toScreen, QSize textExtent);

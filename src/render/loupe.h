#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>

#include <optional>

struct dib;

// The loupe shows LoupeSpan x LoupeSpan picture pixels around the cursor, each as a square of
// LoupeFactor x LoupeFactor screen pixels.
inline constexpr int LoupeSpan = 40;
inline constexpr int LoupeFactor = 6;
inline constexpr int LoupeSide = LoupeSpan * LoupeFactor;

// The picture pixel that holds an image point: the pixel a press at that point takes.
QPoint loupePixel(QPointF point);
// The picture pixel shown at the top-left corner of the loupe around point; the pixel of point
// sits in the middle.
QPoint loupeOrigin(QPointF point);

// Renders the loupe around the image point into out, which is (re)allocated only when it is not
// a LoupeSide square already: the picture enlarged without smoothing (grey beyond its edges),
// a cross hair framing the pixel of point, and the pixel of snapTarget ringed when a press
// would snap to it. False when the loupe's memory cannot be had.
bool renderLoupe(QImage &out, const dib &picture, QPointF point, std::optional<QPointF> snapTarget);

#pragma once

#include "core/realspace.h"

#include <optional>

struct Scale;

// A line the user drew over a known length: its end points in picture pixels, the real length
// entered for it and the zoom in percent it was drawn at (0 where none was recorded).
struct ReferenceLine {
    PicturePoint a;
    PicturePoint b;
    double realLength = 0.0;
    double zoom = 0.0;
    double pixelLength() const;
    bool operator==(const ReferenceLine &) const = default;
};

// Both axis factors from two lines of known length, solving
// realLength² = (fx·dx)² + (fy·dy)² for both lines at once. None when the lines give no unique
// positive solution: nearly parallel lines, lines at the same angle to the axes, a zero length,
// or lengths that no stretch of the picture can produce.
std::optional<AxisFactors> solveAxisFactors(const ReferenceLine &first, const ReferenceLine &second);

// A scale with separate axes from two such lines; none as for solveAxisFactors.
std::optional<Scale> separateScale(const ReferenceLine &first, const ReferenceLine &second);

// What a check line over a second known length says about the current scale.
struct ScaleCheckFigures {
    double valueByScale = 0.0;     // the line's real length by the current scale
    double deviationPercent = 0.0; // (valueByScale - realLength) / realLength x 100
    double factorAlone = 0.0;      // real units per pixel from this line alone
};

// A deviation beyond this (in per cent, either way) is shown as a warning.
inline constexpr double ScaleCheckWarningPercent = 1.0;

// None for a line of zero pixel length or a real length of 0.
std::optional<ScaleCheckFigures> checkFigures(const ReferenceLine &line, const Scale &scale);

// The scale this check line alone gives (one factor for both axes).
Scale scaleFromCheck(const ReferenceLine &line);
// The mean of the current scale and the check line's: each axis factor averaged with the
// line's, the current pixel sides kept.
Scale meanScale(const Scale &current, const ReferenceLine &line);

#pragma once

#include "core/realspace.h"
#include "core/scalecheck.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

class Document;
struct Scale;

// Standard uncertainty of one coordinate of a point placed by a click at zoomPercent: the true
// position lies anywhere within half a screen pixel of the click, a rectangular distribution of
// half-width 0.5 screen pixel, which is 0.5 / sqrt(3) screen pixels or that divided by the zoom
// factor in picture pixels. A zoom of 0 (not recorded) counts as 100 %.
double placementSigma(double zoomPercent);

// Where the current scale came from, as far as its uncertainty is concerned.
struct ScaleBasis {
    // The line a single-factor scale was measured on; none for a scale typed in, which counts
    // as exact.
    std::optional<ReferenceLine> reference;
    // The two lines of a scale with separate axes.
    std::optional<std::array<ReferenceLine, 2>> axes;
    // The lines of "Maßstab prüfen...".
    std::vector<ReferenceLine> checks;
};

// The scale reference line of doc (type 88) when its pixel length is pixelLength as the scale dialog
// rounds it (within half a pixel); its real length is realLength.
std::optional<ReferenceLine> referenceLineOf(Document &doc, const Scale &scale);

// Covariance of the two axis factors (real units per picture pixel, squared).
struct ScaleCovariance {
    double xx = 0.0;
    double yy = 0.0;
    double xy = 0.0;
};

// The relative spread of the scale checks: the sample standard deviation of their relative
// deviations from the current scale together with the current scale's own deviation of 0.
// 0 without checks.
double checkSpread(const std::vector<ReferenceLine> &checks, const Scale &scale);

// From the reference line's end points (or the two axis lines' end points, through the solution
// for both factors) and from the spread of the checks, which scales both factors alike.
ScaleCovariance scaleCovariance(const Scale &scale, const ScaleBasis &basis);

// Standard uncertainties of lang, flaeche and winkel, in their units, by first-order propagation
// of every placed point's coordinates (each with placementSigma(zoomPercent)) and of the scale.
struct ValueUncertainty {
    double lang = 0.0;
    double flaeche = 0.0;
    double winkel = 0.0;
};
ValueUncertainty valueUncertainty(const Shape &shape, double zoomPercent, const Scale &scale,
                                  const ScaleCovariance &cov);

// Length and direction uncertainties of segment i of a polyline or polygon shape.
ValueUncertainty segmentUncertainty(const Shape &shape, std::size_t i, double zoomPercent, const Scale &scale,
                                    const ScaleCovariance &cov);

// Decimals that show an uncertainty u with one significant digit, and its value to the same
// place ("Nachkommastellen passend zur Genauigkeit"); fallback when u is 0 or not finite.
int decimalsForUncertainty(double u, int fallback);

// "7.50 ± 0.03": the value and its uncertainty with the same number of decimals.
QString valueWithUncertainty(double value, double u, int decimals);

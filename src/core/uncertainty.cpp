#include "core/uncertainty.h"

#include "core/elements.h"
#include "core/geometry.h"
#include "core/numberformat.h"

#include <algorithm>
#include <cmath>

namespace {

// Steps of the central differences: small against any length a user measures, large enough that
// rounding of coordinates in the thousands stays far below the differences.
constexpr double PointStep = 1e-3;
constexpr double FactorStep = 1e-6;

// The difference of two values of the same quantity; directions wrap at +-180 degrees.
RealValues difference(const RealValues &plus, const RealValues &minus)
{
    return {plus.lang - minus.lang, plus.flaeche - minus.flaeche, std::remainder(plus.winkel - minus.winkel, 360.0)};
}

AxisFactors magnitudes(const Scale &scale)
{
    return {std::fabs(scale.xFactor()), std::fabs(scale.yFactor())};
}

} // namespace

double placementSigma(double zoomPercent)
{
    const double screenPixels = 0.5 / std::sqrt(3.0);
    return zoomPercent > 0 && std::isfinite(zoomPercent) ? screenPixels * 100.0 / zoomPercent : screenPixels;
}

std::optional<ReferenceLine> referenceLineOf(Document &doc, const Scale &scale)
{
    if (scale.separateAxes)
        return std::nullopt;
    for (int i = doc.count() - 1; i >= 0; --i) {
        const Telemente &e = *doc.element(i);
        if (e.typ != TypScaleLine)
            continue;
        ReferenceLine line{{e.x1, e.y1}, {e.x2, e.y2}, scale.realLength, doc.placementZoom(i)};
        if (std::fabs(line.pixelLength() - scale.pixelLength) <= 0.5)
            return line;
        return std::nullopt;
    }
    return std::nullopt;
}

double checkSpread(const std::vector<ReferenceLine> &checks, const Scale &scale)
{
    std::vector<double> deviations{0.0};
    for (const ReferenceLine &line : checks)
        if (const std::optional<ScaleCheckFigures> f = checkFigures(line, scale))
            deviations.push_back(f->deviationPercent / 100.0);
    if (deviations.size() < 2)
        return 0.0;
    double mean = 0.0;
    for (const double d : deviations)
        mean += d;
    mean /= static_cast<double>(deviations.size());
    double sum = 0.0;
    for (const double d : deviations)
        sum += (d - mean) * (d - mean);
    return std::sqrt(sum / static_cast<double>(deviations.size() - 1));
}

ScaleCovariance scaleCovariance(const Scale &scale, const ScaleBasis &basis)
{
    ScaleCovariance c;
    const double fx = scale.xFactor();
    const double fy = scale.yFactor();
    if (scale.separateAxes && basis.axes) {
        std::array<ReferenceLine, 2> lines = *basis.axes;
        for (ReferenceLine &line : lines) {
            const double sigma = placementSigma(line.zoom);
            for (double *coordinate : {&line.a.x, &line.a.y, &line.b.x, &line.b.y}) {
                const double kept = *coordinate;
                *coordinate = kept + PointStep;
                const std::optional<AxisFactors> plus = solveAxisFactors(lines[0], lines[1]);
                *coordinate = kept - PointStep;
                const std::optional<AxisFactors> minus = solveAxisFactors(lines[0], lines[1]);
                *coordinate = kept;
                if (!plus || !minus)
                    continue;
                const double jx = (plus->x - minus->x) / (2 * PointStep);
                const double jy = (plus->y - minus->y) / (2 * PointStep);
                c.xx += jx * jx * sigma * sigma;
                c.yy += jy * jy * sigma * sigma;
                c.xy += jx * jy * sigma * sigma;
            }
        }
    } else if (!scale.separateAxes && basis.reference) {
        const double length = basis.reference->pixelLength();
        if (length > 0) {
            // The pixel side of the scale is the line's length; each end point moves it along the line.
            const double sigma = placementSigma(basis.reference->zoom);
            const double relative2 = 2 * sigma * sigma / (length * length);
            c.xx += fx * fx * relative2;
            c.yy += fy * fy * relative2;
            c.xy += fx * fy * relative2;
        }
    }
    const double spread = checkSpread(basis.checks, scale);
    c.xx += spread * spread * fx * fx;
    c.yy += spread * spread * fy * fy;
    c.xy += spread * spread * fx * fy;
    return c;
}

ValueUncertainty valueUncertainty(const Shape &shape, double zoomPercent, const Scale &scale,
                                  const ScaleCovariance &cov)
{
    const AxisFactors factors = magnitudes(scale);
    const double sigma = placementSigma(zoomPercent);
    ValueUncertainty variance;
    const auto add = [&variance](const RealValues &g, double weight) {
        variance.lang += g.lang * g.lang * weight;
        variance.flaeche += g.flaeche * g.flaeche * weight;
        variance.winkel += g.winkel * g.winkel * weight;
    };

    // The axes are walked by member pointers, not by assigning to a conditional lvalue
    // (a ? x : y) = {...}: GCC 12 with its integer checks (-fsanitize=undefined) wrote such an
    // assignment here into the wrong variable.
    constexpr double PicturePoint::*Coordinates[2] = {&PicturePoint::x, &PicturePoint::y};
    constexpr double AxisFactors::*Factors[2] = {&AxisFactors::x, &AxisFactors::y};

    Shape moved = shape;
    const std::size_t n = shape.points.size();
    const std::size_t placed = shape.closingCopy ? n - 1 : n;
    for (std::size_t j = 0; j < placed; ++j) {
        for (double PicturePoint::*coordinate : Coordinates) {
            const auto shift = [&](double by) {
                const double c = shape.points[j].*coordinate + by;
                moved.points[j].*coordinate = c;
                if (j == 0 && shape.closingCopy)
                    moved.points[n - 1].*coordinate = c;
            };
            shift(PointStep);
            const RealValues plus = realSpaceValues(moved, factors);
            shift(-PointStep);
            const RealValues minus = realSpaceValues(moved, factors);
            shift(0.0);
            RealValues g = difference(plus, minus);
            g = {g.lang / (2 * PointStep), g.flaeche / (2 * PointStep), g.winkel / (2 * PointStep)};
            add(g, sigma * sigma);
        }
    }

    // Derivatives by the signed factors, which the covariance is of.
    RealValues byFactor[2];
    const double signedFactors[2] = {scale.xFactor(), scale.yFactor()};
    for (int axis = 0; axis < 2; ++axis) {
        const double f = factors.*Factors[axis];
        if (f == 0.0)
            continue;
        AxisFactors plus = factors;
        AxisFactors minus = factors;
        plus.*Factors[axis] = f * (1 + FactorStep);
        minus.*Factors[axis] = f * (1 - FactorStep);
        const RealValues g = difference(realSpaceValues(shape, plus), realSpaceValues(shape, minus));
        const double sign = std::signbit(signedFactors[axis]) ? -1.0 : 1.0;
        const double step = 2 * f * FactorStep * sign;
        byFactor[axis] = {g.lang / step, g.flaeche / step, g.winkel / step};
    }
    const RealValues &gx = byFactor[0];
    const RealValues &gy = byFactor[1];
    variance.lang += gx.lang * gx.lang * cov.xx + gy.lang * gy.lang * cov.yy + 2 * gx.lang * gy.lang * cov.xy;
    variance.flaeche +=
        gx.flaeche * gx.flaeche * cov.xx + gy.flaeche * gy.flaeche * cov.yy + 2 * gx.flaeche * gy.flaeche * cov.xy;
    variance.winkel +=
        gx.winkel * gx.winkel * cov.xx + gy.winkel * gy.winkel * cov.yy + 2 * gx.winkel * gy.winkel * cov.xy;

    // Rounding can leave a sum of squares a hair below zero when the terms cancel.
    return {std::sqrt(std::max(variance.lang, 0.0)), std::sqrt(std::max(variance.flaeche, 0.0)),
            std::sqrt(std::max(variance.winkel, 0.0))};
}

ValueUncertainty segmentUncertainty(const Shape &shape, std::size_t i, double zoomPercent, const Scale &scale,
                                    const ScaleCovariance &cov)
{
    Shape side;
    side.typ = TypDistance;
    side.points = {shape.points[i], shape.points[i + 1]};
    ValueUncertainty u = valueUncertainty(side, zoomPercent, scale, cov);
    u.flaeche = 0.0;
    return u;
}

int decimalsForUncertainty(double u, int fallback)
{
    if (!(u > 0) || !std::isfinite(u))
        return fallback;
    return std::clamp(static_cast<int>(-std::floor(std::log10(u))), 0, 18);
}

QString valueWithUncertainty(double value, double u, int decimals)
{
    return F(value, decimals) + QStringLiteral(" ± ") + F(u, decimals);
}

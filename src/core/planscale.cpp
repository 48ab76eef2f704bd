#include "core/planscale.h"

#include "core/numberformat.h"

#include <cmath>

namespace {

struct Unit {
    const char *symbol;
    double metres;
};

constexpr Unit Units[] = {
    {"mm", 0.001}, {"cm", 0.01}, {"m", 1.0}, {"km", 1000.0}, {"in", 0.0254}, {"ft", 0.3048},
};

} // namespace

QStringList planScaleUnits()
{
    QStringList symbols;
    for (const Unit &u : Units)
        symbols.append(QString::fromLatin1(u.symbol));
    return symbols;
}

double metresPerUnit(const QString &unit)
{
    for (const Unit &u : Units)
        if (unit == QLatin1String(u.symbol))
            return u.metres;
    return 0;
}

bool planScale(std::int32_t dotsPerMeterX, std::int32_t dotsPerMeterY, double ratio, const QString &unit, Scale &scale)
{
    const double metres = metresPerUnit(unit);
    if (dotsPerMeterX <= 0 || dotsPerMeterY <= 0 || metres <= 0 || !std::isfinite(ratio) || ratio <= 0)
        return false;
    // Pixels that are not square measure with their mean size.
    scale.pixelLength = (double(dotsPerMeterX) + double(dotsPerMeterY)) / 2;
    scale.realLength = ratio / metres;
    return true;
}

bool parsePlanRatio(const QString &text, double &ratio)
{
    QString n = text.trimmed();
    const qsizetype colon = n.indexOf(u':');
    if (colon >= 0) {
        double one = 0;
        if (!parseNumber(n.left(colon).trimmed(), one) || one != 1)
            return false;
        n = n.mid(colon + 1).trimmed();
    }
    double value = 0;
    if (!parseNumber(n, value) || !std::isfinite(value) || value <= 0)
        return false;
    ratio = value;
    return true;
}

#pragma once

#include "core/geometry.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The scale of a plan from its picture's resolution: a length of p pixels at d dots per metre
// is p / d metres on the paper and n times that in reality, for a plan drawn at 1:n.

// The units a plan scale can be given in, as their symbols: mm, cm, m, km, in, ft.
QStringList planScaleUnits();
// Metres per unit for one of those symbols; 0 for any other text.
double metresPerUnit(const QString &unit);

// The scale for a picture of dotsPerMeter (horizontal and vertical; 0 or less: not stated) and a
// plan ratio of 1:ratio in unit. False when the resolution is not stated, the ratio is not a
// positive number or the unit is unknown.
bool planScale(std::int32_t dotsPerMeterX, std::int32_t dotsPerMeterY, double ratio, const QString &unit, Scale &scale);

// "1:100", "1 : 100" or "100" as the ratio's n; false when it is no positive number.
bool parsePlanRatio(const QString &text, double &ratio);

#pragma once

#include <QString>

// The number text of every measured value: fixed notation with exactly d decimals after rounding
// to at most 15 significant digits, "." as separator whatever the locale; scientific notation
// when the integer part needs more than 15 digits. d is clamped to 0..18.
QString F(double v, int d);

// Reads a number written with "." (surrounding blanks allowed); false when the text is not one.
bool parseNumber(const QString &text, double &value);

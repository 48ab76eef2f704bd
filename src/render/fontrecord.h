#pragma once

#include "core/projectfile.h"

#include <QColor>
#include <QFont>

// The label font between the project file's record and Qt. The record keeps sizes in points
// with the pixels per inch they were meant for; the QFont gets the character height in pixels
// those give (the size at zoom 100), so a project draws the same on any screen.

// Character height in pixels of a record: size x pixels per inch / 72, rounded half away from
// zero, at least 1.
int fontRecordPixelSize(const FontRecord &record);

// Face, pixel size, pitch and style of a record. A face that is not installed keeps its name in
// the QFont; Qt draws with a substitute.
QFont fontFromRecord(const FontRecord &record);

// The record of a font and its colour. Given the record the font was loaded from, every stored
// value whose QFont counterpart is unchanged is kept exactly as it was, the face name above all;
// what changed is taken from the font.
FontRecord recordFromFont(const QFont &font, const QColor &colour, const FontRecord *original = nullptr);

// Colour values of the files, 0x00BBGGRR. Values marked as system colours read as black.
QColor colorFromRef(std::int32_t ref);
std::int32_t colorRef(const QColor &colour);

#pragma once

#include "core/geometry.h"

#include <array>
#include <cstdint>

class Document;

// Everything a rendering pass shows of the document, computed once before it: every element's
// values for the scale, and for a polyline or an angle of two or more vertices its last segment
// in x1..y2, which its label and the hit test follow. Rendering itself then only reads the
// document. A scale reference line that is hidden (scaleLinesShown false) is not refreshed.
void refreshElementValues(Document &doc, const Scale &scale, bool scaleLinesShown = true);

// Every field of the scale bit for bit, so that a scale whose values would differ in as much as
// a zero's sign counts as another.
std::array<std::uint64_t, 5> scaleBits(const Scale &scale);

// The screen's record of the values it last refreshed: a repaint of a document that has not
// changed since (same revision, same scale, scale lines shown or not as before) finds its values
// still in place and skips the walk over every element, so that it costs what lies on screen.
class ElementValueCache
{
public:
    void refresh(Document &doc, const Scale &scale, bool scaleLinesShown);

private:
    bool valid = false;
    std::uint64_t revision = 0;
    std::array<std::uint64_t, 5> scale{};
    bool scaleLines = true;
};

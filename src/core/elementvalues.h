#pragma once

#include "core/geometry.h"

class Document;

// Everything a rendering pass shows of the document, computed once before it: every element's
// values for the scale, and for a polyline or an angle of two or more vertices its last segment
// in x1..y2, which its label and the hit test follow. Rendering itself then only reads the
// document. A scale reference line that is hidden (scaleLinesShown false) is not refreshed.
void refreshElementValues(Document &doc, const Scale &scale, bool scaleLinesShown = true);

#pragma once

#include "tools/tool.h"

#include <QString>

class Document;
struct Construction;
struct Scale;

// The unit text and the decimal places of the labels: lengthDecimals for distances, areaDecimals
// for everything else.
struct LiveValueFormat {
    QString unit;
    int lengthDecimals = 2;
    int areaDecimals = 4;
};

// The value of what is being drawn, up to the cursor, in the words and number format of the
// labels: the current segment and the total of a polyline, the area so far of a polygon, the
// angle of an angle, width x height of a rectangle or an ellipse, the length of a distance or a
// scale line. Empty while no construction is open or nothing can be measured yet.
QString liveValue(const Construction &construction, ToolId tool, Document &doc, const Scale &scale,
                  const LiveValueFormat &numbers);

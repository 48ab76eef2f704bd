#pragma once

#include "core/geometry.h"

#include <QPointF>
#include <QString>

#include <optional>

// What the status bar StatusBar1 reports while the user works.
struct StatusInputs {
    std::optional<QPointF> cursor; // image point under the mouse; none when it is off the drawing
    Scale scale;
    QString unit;
    int lengthDecimals = 2;
    int zoom = 100;
    QString zoomCaption; // the zoom field's caption, in the user's language
    QString liveValue; // of the open construction
};

// A scale is set once it maps pixels to anything else than pixels.
bool scaleIsSet(const Scale &scale, const QString &unit);

// The cursor's picture pixel and, with a scale, its position in the scale's unit; the zoom; the
// live value. Parts are separated by wide gaps.
QString statusText(const StatusInputs &in);

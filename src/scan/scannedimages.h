#pragma once

#include "core/dib.h"

#include <QtGlobal>

class QObject;

// Scanned pictures waiting for their window to collect them, each under its own identifier.
// Keeps the picture until it is taken; pictures whose window went away are released with the
// next one stored, and all at the end of the program.
quintptr storeScannedImage(const dib &image, const QObject *receiver);
// Moves the picture stored under id into out; false, with out untouched, for an unknown id.
bool takeScannedImage(quintptr id, dib &out);
void discardScannedImages();

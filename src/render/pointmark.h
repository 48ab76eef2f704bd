#pragma once

class DirectPixels;
class QPainter;

// A point mark: a white 7-pixel square inside a black 9-pixel square, drawn with a 1-pixel pen
// around screen position (X, Y). The painter's pen is left as it was.
void endpunkt(QPainter &p, int X, int Y);
// The same, written straight into the pixels when they are usable.
void endpunkt(QPainter &p, const DirectPixels &pixels, int X, int Y);

#pragma once

class QPainter;

// A point mark: a white 7-pixel square inside a black 9-pixel square, drawn with a 1-pixel pen
// around screen position (X, Y). The painter's pen is left as it was.
void endpunkt(QPainter &p, int X, int Y);

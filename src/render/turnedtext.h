#pragma once

#include <QPoint>
#include <QSize>

#include <vector>

class QImage;

// A level text's coverage turned clockwise by angle degrees about the text's top-left corner, as
// the font engine would draw the text turned. The font engine keeps the glyphs of level text, but
// rasterises every glyph afresh at every new angle, which the labels along lines all have; turning
// the level coverage costs a small part of that. level: Format_Alpha8, with the text's corner at
// levelOrigin; the result has size pixels (row after row) with the corner at origin. Each pixel
// takes the coverage under its centre, interpolated between the level pixels around it.
std::vector<unsigned char> turnCoverage(const QImage &level, QPoint levelOrigin, double angle, QSize size,
                                        QPoint origin);

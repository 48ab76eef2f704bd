#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

class Document;
struct RenderInputs;

// The whole drawing as SVG in image pixels (viewBox = the image's size): every element as the
// screen shows it at zoom 100, without point marks, in the element colour and line width, labels
// as text. The picture itself is left out. in.view is not used: the drawing is always laid out at
// zoom 100 from the image origin. Drawing refreshes the elements' values as a repaint does.
QByteArray svgBytes(Document &doc, QSize imageSize, const RenderInputs &in);

// Writes the SVG through the safe-write helper, so a failed export leaves an existing file untouched. On
// failure returns false with message 17 and the file name (the file cannot be created) or the
// system's error report in *error.
bool exportSvg(const QString &path, Document &doc, QSize imageSize, const RenderInputs &in, QString *error = nullptr);

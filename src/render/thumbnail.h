#pragma once

#include <QImage>

class Document;
struct RenderInputs;
struct dib;

// A project's preview for file managers: the picture with its elements as the picture export
// draws them (no point marks), at most maxSide pixels on its longer side and never enlarged.
// The view's zoom is replaced; the rest of the inputs is used as given. A null image when the
// project has no picture, maxSide is below 1 or memory is short.
QImage renderThumbnail(Document &doc, const dib &image, const RenderInputs &in, int maxSide);

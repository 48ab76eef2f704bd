#pragma once

#include <QString>

class Document;
struct RenderInputs;
struct dib;

// The whole drawing on one PDF page, as the picture export renders it at the view's zoom (without
// point marks, with or without the image) but as vectors and text. One image pixel is one point
// on the page; a page beyond 200 inches on a side is scaled down to that size. Written through
// the safe-write helper; false with a German text in *error.
bool exportPdf(const QString &path, Document &doc, const dib &image, const RenderInputs &in, bool withPicture,
               QString *error = nullptr);

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class Document;
struct RenderInputs;
struct dib;

// The picture format for a file name's extension: "png", "jpeg" (.jpg, .jpeg), "tiff" (.tif,
// .tiff), otherwise "bmp".
QByteArray pictureFormatForPath(const QString &path);

// The whole drawing at the view's zoom from the image origin, without point marks, with or without
// the picture, as a repaint draws it (the elements' values are refreshed). False when the picture
// would have more than 2^28 pixels or memory is short; the document is then untouched.
bool renderPicture(QImage &out, Document &doc, const dib &image, const RenderInputs &in, bool withPicture);

// Renders the drawing and writes it in the given format (see pictureFormatForPath) through the
// safe-write helper, so a failure leaves an existing file untouched; false with a German text in *error.
bool savePicture(const QString &path, const QByteArray &format, Document &doc, const dib &image,
                 const RenderInputs &in, bool withPicture, QString *error = nullptr);

#pragma once

#include <QByteArray>
#include <QString>

class Document;
struct DrawingSettings;
struct ViewState;

// The line work (lines, curves, ellipses and chain closings) as an enhanced metafile, drawn as on
// the screen at the view's zoom but without its offset, in the element colour and line width.
// The picture's bounds are those of what was drawn; a document without line work gives an empty
// picture. Empty QByteArray with a German text in *error when the metafile cannot be made.
QByteArray emfBytes(Document &doc, const ViewState &view, const DrawingSettings &settings, QString *error = nullptr);

// Writes the metafile through the safe-write helper, so a failed export leaves an existing file untouched.
// On failure returns false with message 17 and the file name (the file cannot be created) or the
// system's error report in *error.
bool saveasemf(const QString &path, Document &doc, const ViewState &view, const DrawingSettings &settings,
               QString *error = nullptr);

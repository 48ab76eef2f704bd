#pragma once

#include <QByteArray>
#include <QString>

// The project file's content as JSON, exactly as the file holds it (nothing is recomputed):
// "elements" (every field of the element record by its name, "vertices" as [x, y] pairs,
// "name"), "image" (width, height, bitcount, headersize, colors and rows_sha256, the SHA-256 of
// the pixel rows as they lie in the file), "settings" (color, linewidth, arrowlength, the six
// flags in file order, zoom), "font", and when the file has an extension block "extension" (id
// and byte count of every chunk in file order) and, when it keeps one, "scale" (mas1, mas2,
// einh), "axis_scale" (the two lines of a separate X/Y scale and the factors they give),
// "scale_checks" and "placement_zoom" (one zoom per element). Numbers are written so that they read back as the same
// double; values that JSON has no number for are the strings "NaN", "Infinity" and "-Infinity".
// False with a German text naming the file in *error when it is not a readable project; a
// damaged extension block is left out and described in *warning.
bool projectJson(const QString &path, QByteArray &json, QString *error, QString *warning = nullptr);

#pragma once

#include <QByteArray>
#include <QString>

// The project file's content as JSON, exactly as the file holds it (nothing is recomputed):
// "elements" (every field of the element record by its name, "vertices" as [x, y] pairs,
// "name"), "image" (width, height, bitcount, headersize, colors and rows_sha256, the SHA-256 of
// the pixel rows as they lie in the file), "settings" (color, linewidth, arrowlength, the six
// flags in file order, zoom) and "font". Numbers are written so that they read back as the same
// double; values that JSON has no number for are the strings "NaN", "Infinity" and "-Infinity".
// False with a German text naming the file in *error when it is not a readable project.
bool projectJson(const QString &path, QByteArray &json, QString *error);

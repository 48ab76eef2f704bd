#pragma once

#include <QString>

class QTextStream;

// The headless demonstration: loads the picture, lays a small measured document over the sample
// plan's rooms, calibrated on the plan's scale bar, and prints the results list. Given a project
// file name, it also saves the document over the picture there. Returns the process exit code: 0,
// or 1 when the picture cannot be loaded or the project cannot be saved.
int runDemo(const QString &imageFile, QTextStream &out, QTextStream &err, const QString &projectFile = QString());

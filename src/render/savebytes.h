#pragma once

#include <QByteArray>
#include <QString>

// Writes a finished export through QSaveFile, so a failed write leaves an existing file
// untouched. On failure returns false with message 17 and the file name (the file cannot be
// created) or the system's error report (a write error) in *error.
bool saveBytes(const QString &path, const QByteArray &bytes, QString *error);

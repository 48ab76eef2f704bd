#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Every file the program writes goes through here: the content is written to a temporary file
// beside the target (QSaveFile) and renamed over it only when all of it was written, so a failed
// or interrupted write leaves an existing file untouched. write gets the open device; it returns
// false on failure, with its own German text in its error argument or none, and then the
// system's report is used. On failure returns false with a German text in *error: message 17
// and the file name when the file cannot be created, else the writer's text or the file name and
// the system's error report.
bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &, QString *)> &write,
                     QString *error);

// The common case: bytes that are already complete.
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error);

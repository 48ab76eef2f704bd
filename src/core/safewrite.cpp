#include "core/safewrite.h"

#include "core/translate.h"

#include <QSaveFile>

bool writeFileSafely(const QString &path, const std::function<bool(QIODevice &, QString *)> &write,
                     QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = Message(17) + QLatin1Char(' ') + path;
        return false;
    }
    QString writeError;
    if (!write(file, &writeError)) {
        if (error)
            *error = writeError.isEmpty() ? path + QStringLiteral(": ") + file.errorString() : writeError;
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeFileSafely(
        path, [&bytes](QIODevice &device, QString *) { return device.write(bytes) == bytes.size(); }, error);
}

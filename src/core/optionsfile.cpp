#include "core/optionsfile.h"

#include "core/kovrant.h"
#include "core/translate.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

namespace {

// Four string records of at least their count each.
constexpr qint64 MinScaleBytes = 4 * 4;

bool writeInt32(QIODevice &out, qint32 v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    return out.write(raw, 4) == 4;
}

bool readInt32(QIODevice &in, qint32 &v)
{
    char raw[4];
    if (in.read(raw, 4) != 4)
        return false;
    v = qFromLittleEndian<qint32>(raw);
    return true;
}

bool readOptions(QIODevice &in, const QString &file, Options &options, QString *error)
{
    Options read;
    qint32 count = 0;
    bool ok = readInt32(in, read.language) && readInt32(in, count) && count >= 0
              && count <= (in.size() - in.pos()) / MinScaleBytes;
    for (qint32 i = 0; ok && i < count; ++i) {
        SavedScale scale;
        ok = readfilestring(in, scale.name) && readfilestring(in, scale.pixel) && readfilestring(in, scale.value)
             && readfilestring(in, scale.unit);
        if (ok)
            read.scales.append(scale);
    }
    if (!ok) {
        if (error)
            *error = Translate(QStringLiteral("Die Optionsdatei %1 ist beschädigt.")).arg(file);
        return false;
    }
    if (read.language < 0 || read.language > MaxLanguage)
        read.language = Options().language;
    options = std::move(read);
    return true;
}

} // namespace

QString settingsFolder(bool create)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        return QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString folder = config + QStringLiteral("/Kovrant/Tesselon/");
    if (create)
        QDir().mkpath(folder);
    return folder;
}

QString optionsFilePath()
{
    return settingsFolder() + QStringLiteral("options.dat");
}

bool SaveOptions(const QString &path, const Options &options)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    bool ok = writeInt32(out, options.language) && writeInt32(out, static_cast<qint32>(options.scales.size()));
    for (const SavedScale &scale : options.scales) {
        ok = ok && writefilestring(out, scale.name) && writefilestring(out, scale.pixel)
             && writefilestring(out, scale.value) && writefilestring(out, scale.unit);
    }
    if (!ok) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool LoadOptions(const QString &path, Options &options, QString *error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        // A first start, or a file that cannot be read: the defaults, with no message.
        options = Options();
        return true;
    }
    return readOptions(in, QDir::toNativeSeparators(path), options, error);
}

bool loadOptionsFromBytes(const QByteArray &bytes, Options &options, QString *error)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return readOptions(in, QStringLiteral("(Speicher)"), options, error);
}

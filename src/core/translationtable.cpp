#include "core/translationtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtEndian>

#include <cstdio>

namespace {

TranslationCorruptionHandler &corruptionHandler()
{
    static TranslationCorruptionHandler handler;
    return handler;
}

void reportCorruption()
{
    const QString message = translationCorruptedMessage();
    if (corruptionHandler())
        corruptionHandler()(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

bool isTrimmed(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace();
}

QString trimmedText(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && isTrimmed(s.at(from)))
        ++from;
    while (to > from && isTrimmed(s.at(to - 1)))
        --to;
    return s.mid(from, to - from);
}

// Reads the little-endian Int32 at pos; the caller has checked that four bytes remain.
qint32 int32At(const QByteArray &bytes, qsizetype pos)
{
    return qFromLittleEndian<qint32>(bytes.constData() + pos);
}

void appendInt32(QByteArray &out, qint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    out.append(raw, 4);
}

} // namespace

void setTranslationCorruptionHandler(TranslationCorruptionHandler handler)
{
    corruptionHandler() = std::move(handler);
}

QString translationCorruptedMessage()
{
    return QStringLiteral("The file translate.dat has been corrupted.");
}

TranslationTable::TranslationTable(std::uint32_t rowStep) : rows(sizeof(Row), &arow)
{
    rows.buffersize = rowStep > 0 ? rowStep : RowStep;
    for (auto &bucket : index)
        bucket.emplace(static_cast<std::uint32_t>(sizeof(Entry)), &aentry);
}

TranslationTable::~TranslationTable()
{
    clear();
}

void TranslationTable::setPaths(const QString &programFile, const QString &settingsFile)
{
    programPath = programFile;
    settingsPath = settingsFile;
}

// Without an application object there is no program folder to speak of (a fuzz target, a
// benchmark): the table then stays in memory rather than writing into the working folder or a
// user's settings.
QString TranslationTable::programFile() const
{
    if (!programPath.isEmpty())
        return programPath;
    if (!QCoreApplication::instance())
        return QString();
    const QDir programFolder(QCoreApplication::applicationDirPath());
    const QString beside = programFolder.filePath(QStringLiteral("translate.dat"));
    // An installed program keeps its shipped table in its data folder, not beside itself.
    const QString installed =
        QDir::cleanPath(programFolder.filePath(QStringLiteral(TESSELON_DATA_FROM_PROGRAM "/translate.dat")));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString TranslationTable::settingsFile() const
{
    if (!settingsPath.isEmpty())
        return settingsPath;
    if (!QCoreApplication::instance())
        return QString();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Kovrant/Tesselon/translate.dat");
}

bool TranslationTable::programFolderWritable() const
{
    const QString program = programFile();
    if (program.isEmpty())
        return false;
    const QFileInfo folder(QFileInfo(program).absolutePath());
    return folder.isDir() && folder.isWritable();
}

QString TranslationTable::loadPath() const
{
    const QString program = programFile();
    const QString settings = settingsFile();
    if ((!programFolderWritable() || !QFileInfo::exists(program)) && QFileInfo::exists(settings))
        return settings;
    return program;
}

TranslationTable::Row *TranslationTable::rowAt(int row) const
{
    return static_cast<Row *>(rows.GetObject(static_cast<std::uint32_t>(row)));
}

TranslationTable::Entry *TranslationTable::entryAt(int bucket, int entry) const
{
    return static_cast<Entry *>(index[static_cast<std::size_t>(bucket)]->GetObject(static_cast<std::uint32_t>(entry)));
}

int TranslationTable::bucketOf(QStringView key)
{
    return key.isEmpty() ? 0 : key.at(0).unicode() & 0xff;
}

void TranslationTable::releaseRow(Row *row)
{
    for (QString *&text : row->text) {
        delete text;
        text = nullptr;
    }
}

void TranslationTable::clear()
{
    for (int r = rowCount() - 1; r >= 0; --r)
        releaseRow(rowAt(r));
    rows.Clear();
    for (auto &bucket : index) {
        for (std::uint32_t e = 0; e < bucket->Count(); ++e)
            delete static_cast<Entry *>(bucket->GetObject(e))->key;
        bucket->Clear();
    }
}

bool TranslationTable::addIndexEntry(const QString &key, int row)
{
    if (key.isEmpty())
        return true;
    auto *entry = static_cast<Entry *>(index[static_cast<std::size_t>(bucketOf(key))]->Add());
    if (!entry)
        return false;
    entry->key = new QString(key);
    entry->row = row;
    return true;
}

void TranslationTable::removeIndexEntry(int row)
{
    for (auto &bucket : index) {
        for (int e = static_cast<int>(bucket->Count()) - 1; e >= 0; --e) {
            auto *entry = static_cast<Entry *>(bucket->GetObject(static_cast<std::uint32_t>(e)));
            if (entry->row == row) {
                delete entry->key;
                bucket->Delete(e);
            }
        }
    }
}

bool TranslationTable::appendRow(QString (&texts)[Columns])
{
    auto *row = static_cast<Row *>(rows.Add());
    if (!row)
        return false;
    for (int c = 0; c < Columns; ++c)
        if (!texts[c].isEmpty())
            row->text[c] = new QString(std::move(texts[c]));
    const int number = rowCount() - 1;
    if (!addIndexEntry(row->text[0] ? *row->text[0] : QString(), number)) {
        releaseRow(rowAt(number));
        rows.Delete(number);
        return false;
    }
    return true;
}

bool TranslationTable::parse(const QByteArray &bytes)
{
    const qsizetype size = bytes.size();
    if (size < 8)
        return false;
    const qint32 columns = int32At(bytes, 0);
    const qint32 rowCount = int32At(bytes, 4);
    if (columns < 0 || rowCount < 0)
        return false;
    // Rows without columns take no bytes, so their count could not be checked against the file.
    if (columns == 0 && rowCount > 0)
        return false;
    qsizetype pos = 8;
    for (qint32 r = 0; r < rowCount; ++r) {
        // Every string takes at least its four count bytes.
        if (qint64(columns) * 4 > size - pos)
            return false;
        QString texts[Columns];
        for (qint32 c = 0; c < columns; ++c) {
            if (size - pos < 4)
                return false;
            const qint32 units = int32At(bytes, pos);
            pos += 4;
            if (units < 0 || qint64(units) * 2 > size - pos)
                return false;
            if (c < Columns && units > 0) {
                QString &text = texts[c];
                text.resize(units);
                for (qint32 i = 0; i < units; ++i)
                    text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + pos + 2 * qsizetype(i)));
            }
            pos += qsizetype(units) * 2;
        }
        if (!appendRow(texts))
            return true;
    }
    return true;
}

bool TranslationTable::loadFromBytes(const QByteArray &bytes)
{
    clear();
    loaded = true;
    if (parse(bytes))
        return true;
    reportCorruption();
    return false;
}

namespace {

enum class ReadResult { Missing, Read, Failed };

ReadResult readWhole(const QString &path, QByteArray &bytes)
{
    if (path.isEmpty())
        return ReadResult::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::Missing;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? ReadResult::Read : ReadResult::Failed;
}

} // namespace

bool TranslationTable::load()
{
    const QString path = loadPath();
    QByteArray bytes;
    bool ok = true;
    switch (readWhole(path, bytes)) {
    case ReadResult::Missing:
        clear();
        loaded = true;
        break;
    case ReadResult::Read:
        ok = loadFromBytes(bytes);
        break;
    case ReadResult::Failed:
        clear();
        loaded = true;
        reportCorruption();
        ok = false;
        break;
    }
    if (path != programFile())
        ok = mergeProgramCopy() && ok;
    return ok;
}

bool TranslationTable::mergeProgramCopy()
{
    QByteArray bytes;
    switch (readWhole(programFile(), bytes)) {
    case ReadResult::Missing:
        return true;
    case ReadResult::Read:
        return mergeFromBytes(bytes);
    case ReadResult::Failed:
        break;
    }
    reportCorruption();
    return false;
}

bool TranslationTable::mergeFromBytes(const QByteArray &bytes)
{
    TranslationTable other(rows.buffersize);
    const bool ok = other.loadFromBytes(bytes);
    for (int r = 0; r < other.rowCount(); ++r) {
        const QString key = other.text(r, 0);
        if (key.isEmpty())
            continue;
        int row = find(key);
        if (row < 0 && (row = addRow(key)) < 0)
            break;
        for (int c = 1; c < Columns; ++c)
            if (text(row, c).isEmpty())
                setText(row, c, other.text(r, c));
    }
    return ok;
}

void TranslationTable::ensureLoaded()
{
    if (!loaded)
        load();
}

QByteArray TranslationTable::toBytes() const
{
    QByteArray out;
    appendInt32(out, Columns);
    appendInt32(out, rowCount());
    for (int r = 0; r < rowCount(); ++r) {
        const Row *row = rowAt(r);
        for (const QString *text : row->text) {
            const qsizetype units = text ? text->size() : 0;
            appendInt32(out, static_cast<qint32>(units));
            for (qsizetype i = 0; i < units; ++i) {
                char raw[2];
                qToLittleEndian<quint16>(text->at(i).unicode(), raw);
                out.append(raw, 2);
            }
        }
    }
    return out;
}

namespace {

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

bool TranslationTable::save()
{
    const QByteArray bytes = toBytes();
    if (programFolderWritable() && writeWhole(programFile(), bytes))
        return true;
    const QString settings = settingsFile();
    if (settings.isEmpty() || !QDir().mkpath(QFileInfo(settings).absolutePath()))
        return false;
    return writeWhole(settings, bytes);
}

int TranslationTable::find(QStringView key) const
{
    if (key.isEmpty())
        return -1;
    const TDynaArray &bucket = *index[static_cast<std::size_t>(bucketOf(key))];
    for (int e = 0; e < static_cast<int>(bucket.Count()); ++e) {
        const Entry *entry = entryAt(bucketOf(key), e);
        if (*entry->key == key)
            return entry->row;
    }
    return -1;
}

QString TranslationTable::translate(const QString &german, int column)
{
    if (german.isEmpty())
        return german;
    qsizetype leading = 0;
    while (leading < german.size() && german.at(leading) == u' ')
        ++leading;
    if (leading == german.size())
        return german;
    qsizetype trailing = 0;
    while (german.at(german.size() - 1 - trailing) == u' ')
        ++trailing;
    const QString key = german.mid(leading, german.size() - leading - trailing);

    const int row = find(key);
    if (row < 0) {
        if (addRow(key) >= 0)
            save();
        return german;
    }
    // German is the key itself; a column no table has cannot translate.
    if (column <= 0 || column >= Columns)
        return german;
    const QString *text = rowAt(row)->text[column];
    if (!text || text->isEmpty())
        return german;
    const QString core = trimmedText(*text);
    return QString(leading, u' ') + core + QString(trailing, u' ');
}

QString TranslationTable::text(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= Columns)
        return QString();
    const QString *value = rowAt(row)->text[column];
    return value ? *value : QString();
}

void TranslationTable::setText(int row, int column, const QString &value)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= Columns)
        return;
    Row *target = rowAt(row);
    const bool keyChanged = column == 0 && text(row, 0) != value;
    delete target->text[column];
    target->text[column] = value.isEmpty() ? nullptr : new QString(value);
    if (keyChanged) {
        removeIndexEntry(row);
        addIndexEntry(value, row);
    }
}

int TranslationTable::addRow(const QString &german)
{
    QString texts[Columns];
    texts[0] = german;
    return appendRow(texts) ? rowCount() - 1 : -1;
}

bool TranslationTable::deleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    releaseRow(rowAt(row));
    rows.Delete(row);
    removeIndexEntry(row);
    // The rows behind the removed one moved up by one place.
    for (auto &bucket : index) {
        for (std::uint32_t e = 0; e < bucket->Count(); ++e) {
            auto *entry = static_cast<Entry *>(bucket->GetObject(e));
            if (entry->row > row)
                --entry->row;
        }
    }
    return true;
}

int TranslationTable::bucketSize(int bucket) const
{
    if (bucket < 0 || bucket >= Buckets)
        return 0;
    return static_cast<int>(index[static_cast<std::size_t>(bucket)]->Count());
}

QString TranslationTable::bucketKey(int bucket, int entry) const
{
    if (entry < 0 || entry >= bucketSize(bucket))
        return QString();
    return *entryAt(bucket, entry)->key;
}

int TranslationTable::bucketRow(int bucket, int entry) const
{
    if (entry < 0 || entry >= bucketSize(bucket))
        return -1;
    return entryAt(bucket, entry)->row;
}

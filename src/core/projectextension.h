#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The extension block of a project file: the data the original layout has no room for, appended
// after the font record as chunks of a four-character id, a 32-bit length and a payload. The
// layout and the rules for adding chunks are in docs/project-file-extension.md.

// A reader refuses larger blocks instead of holding them in memory.
inline constexpr qint64 MaxExtensionBlockBytes = qint64(256) << 20;

// Ids of the chunks this program reads; every other chunk is kept as it was read.
namespace ChunkId {
inline constexpr QByteArrayView Scale("SCAL");
}

struct ExtensionChunk {
    QByteArray id;      // four printable ASCII characters
    QByteArray payload; // as stored, at most 2^32 - 1 bytes

    bool operator==(const ExtensionChunk &) const = default;
};

// The scale a project keeps: pixelLength image pixels are realLength units of the unit.
struct ProjectScale {
    double pixelLength = 1.0;
    double realLength = 1.0;
    QString unit;

    bool operator==(const ProjectScale &) const = default;
};

class ProjectExtension
{
public:
    // In file order, unknown chunks included, so that saving writes them back unchanged.
    QList<ExtensionChunk> chunks;

    bool isEmpty() const { return chunks.isEmpty(); }
    static bool isValidId(QByteArrayView id);

    // The payload of the first chunk with this id, or nullptr.
    const QByteArray *chunk(QByteArrayView id) const;
    // Replaces the payload of the first chunk with this id where it stands and drops later ones
    // of the same id; appends a chunk when there is none. The id must be valid.
    void setChunk(QByteArrayView id, const QByteArray &payload);
    void removeChunk(QByteArrayView id);
    // Sets every chunk of other into this one, keeping the chunks other does not have.
    void update(const ProjectExtension &other);

    // The stored scale; nothing when the chunk is missing or does not hold a usable scale
    // (pixelLength finite and not 0, realLength finite).
    std::optional<ProjectScale> scale() const;
    void setScale(const ProjectScale &scale);

    bool operator==(const ProjectExtension &) const = default;
};

// Builds and reads chunk payloads in the project file's conventions: little-endian Int32, Int64,
// Float64 and string records (Int32 count of UTF-16 code units, then the units).
class PayloadWriter
{
public:
    PayloadWriter &int32(std::int32_t v);
    PayloadWriter &int64(std::int64_t v);
    PayloadWriter &float64(double v);
    PayloadWriter &string(const QString &s);
    const QByteArray &bytes() const { return data; }

private:
    QByteArray data;
};

// Every read checks the bytes that remain; after a failed read the reader stays failed.
class PayloadReader
{
public:
    explicit PayloadReader(QByteArrayView payload) : data(payload) {}
    bool int32(std::int32_t &v);
    bool int64(std::int64_t &v);
    bool float64(double &v);
    bool string(QString &s);
    // True when every read so far succeeded and every byte was read.
    bool finished() const { return good && at == data.size(); }

private:
    bool take(void *target, qsizetype n);

    QByteArrayView data;
    qsizetype at = 0;
    bool good = true;
};

// The block as it follows the font record; empty for an extension without chunks, so such a
// project is written exactly as before the block existed.
QByteArray encodeExtensionBlock(const ProjectExtension &extension);

// Reads everything that follows the font record. No bytes at all is no block. Anything else
// must be one whole block whose every length fits the bytes that remain; otherwise extension is
// left empty and reason receives a German text saying what is wrong.
bool decodeExtensionBlock(QByteArrayView tail, ProjectExtension &extension, QString *reason);

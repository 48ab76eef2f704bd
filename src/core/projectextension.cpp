#include "core/projectextension.h"

#include "core/translate.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr QByteArrayView Magic("TSXB");
constexpr std::uint16_t Version = 1;
// Magic, version and the length of the chunks that follow.
constexpr qsizetype BlockHeaderBytes = 4 + 2 + 4;
constexpr qsizetype ChunkHeaderBytes = 4 + 4;

void appendUInt32(QByteArray &out, std::uint32_t v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    out.append(raw, 4);
}

std::uint32_t uint32At(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(bytes.data() + at);
}

bool refuse(QString *reason, const char *text)
{
    if (reason)
        *reason = Translate(QString::fromUtf8(text));
    return false;
}

} // namespace

bool ProjectExtension::isValidId(QByteArrayView id)
{
    if (id.size() != 4)
        return false;
    for (char c : id) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

const QByteArray *ProjectExtension::chunk(QByteArrayView id) const
{
    for (const ExtensionChunk &c : chunks) {
        if (c.id == id)
            return &c.payload;
    }
    return nullptr;
}

void ProjectExtension::setChunk(QByteArrayView id, const QByteArray &payload)
{
    Q_ASSERT(isValidId(id));
    bool placed = false;
    for (qsizetype i = 0; i < chunks.size();) {
        if (chunks[i].id != id) {
            ++i;
        } else if (!placed) {
            chunks[i].payload = payload;
            placed = true;
            ++i;
        } else {
            chunks.removeAt(i);
        }
    }
    if (!placed)
        chunks.append({id.toByteArray(), payload});
}

void ProjectExtension::removeChunk(QByteArrayView id)
{
    chunks.removeIf([id](const ExtensionChunk &c) { return c.id == id; });
}

void ProjectExtension::update(const ProjectExtension &other)
{
    for (const ExtensionChunk &c : other.chunks)
        setChunk(c.id, c.payload);
}

std::optional<ProjectScale> ProjectExtension::scale() const
{
    const QByteArray *payload = chunk(ChunkId::Scale);
    if (!payload)
        return std::nullopt;
    ProjectScale s;
    PayloadReader in(*payload);
    if (!in.float64(s.pixelLength) || !in.float64(s.realLength) || !in.string(s.unit) || !in.finished())
        return std::nullopt;
    // pixelLength divides every value.
    if (!std::isfinite(s.pixelLength) || s.pixelLength == 0 || !std::isfinite(s.realLength))
        return std::nullopt;
    return s;
}

void ProjectExtension::setScale(const ProjectScale &scale)
{
    setChunk(ChunkId::Scale, PayloadWriter().float64(scale.pixelLength).float64(scale.realLength).string(scale.unit).bytes());
}

PayloadWriter &PayloadWriter::int32(std::int32_t v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    data.append(raw, 4);
    return *this;
}

PayloadWriter &PayloadWriter::int64(std::int64_t v)
{
    char raw[8];
    qToLittleEndian(v, raw);
    data.append(raw, 8);
    return *this;
}

PayloadWriter &PayloadWriter::float64(double v)
{
    char raw[8];
    std::memcpy(raw, &v, 8);
    data.append(raw, 8);
    return *this;
}

PayloadWriter &PayloadWriter::string(const QString &s)
{
    int32(static_cast<std::int32_t>(s.size()));
    data.append(reinterpret_cast<const char *>(s.utf16()), 2 * s.size());
    return *this;
}

bool PayloadReader::take(void *target, qsizetype n)
{
    if (!good || n < 0 || n > data.size() - at) {
        good = false;
        return false;
    }
    std::memcpy(target, data.data() + at, std::size_t(n));
    at += n;
    return true;
}

bool PayloadReader::int32(std::int32_t &v)
{
    char raw[4];
    if (!take(raw, 4))
        return false;
    v = qFromLittleEndian<std::int32_t>(raw);
    return true;
}

bool PayloadReader::int64(std::int64_t &v)
{
    char raw[8];
    if (!take(raw, 8))
        return false;
    v = qFromLittleEndian<std::int64_t>(raw);
    return true;
}

bool PayloadReader::float64(double &v)
{
    return take(&v, 8);
}

bool PayloadReader::string(QString &s)
{
    std::int32_t units = 0;
    if (!int32(units) || units < 0 || units > (data.size() - at) / 2) {
        good = false;
        return false;
    }
    QString text(units, Qt::Uninitialized);
    if (!take(text.data(), 2 * qsizetype(units)))
        return false;
    s = text;
    return true;
}

QByteArray encodeExtensionBlock(const ProjectExtension &extension)
{
    if (extension.isEmpty())
        return {};
    qint64 length = 0;
    for (const ExtensionChunk &c : extension.chunks)
        length += ChunkHeaderBytes + c.payload.size();
    Q_ASSERT(length <= std::numeric_limits<std::uint32_t>::max());
    QByteArray out;
    out.reserve(BlockHeaderBytes + length);
    out.append(Magic.data(), Magic.size());
    char version[2];
    qToLittleEndian(Version, version);
    out.append(version, 2);
    appendUInt32(out, static_cast<std::uint32_t>(length));
    for (const ExtensionChunk &c : extension.chunks) {
        Q_ASSERT(ProjectExtension::isValidId(c.id));
        out.append(c.id);
        appendUInt32(out, static_cast<std::uint32_t>(c.payload.size()));
        out.append(c.payload);
    }
    return out;
}

bool decodeExtensionBlock(QByteArrayView tail, ProjectExtension &extension, QString *reason)
{
    extension = ProjectExtension();
    if (tail.isEmpty())
        return true;
    if (!tail.startsWith(Magic.first(std::min(Magic.size(), tail.size()))))
        return refuse(reason, "Die Kennung des Zusatzblocks fehlt.");
    if (tail.size() < BlockHeaderBytes)
        return refuse(reason, "Der Zusatzblock ist unvollständig.");
    if (qFromLittleEndian<std::uint16_t>(tail.data() + 4) != Version)
        return refuse(reason, "Der Zusatzblock hat eine unbekannte Version.");
    const qint64 length = uint32At(tail, 6);
    const qint64 remaining = tail.size() - BlockHeaderBytes;
    if (length > remaining)
        return refuse(reason, "Der Zusatzblock ist unvollständig.");
    if (length < remaining)
        return refuse(reason, "Nach dem Zusatzblock folgen unbekannte Daten.");

    ProjectExtension read;
    for (qsizetype at = BlockHeaderBytes; at < tail.size();) {
        if (tail.size() - at < ChunkHeaderBytes)
            return refuse(reason, "Eine Abschnittslänge im Zusatzblock passt nicht zu den Daten.");
        const QByteArrayView id = tail.sliced(at, 4);
        if (!ProjectExtension::isValidId(id))
            return refuse(reason, "Ein Abschnitt des Zusatzblocks hat eine ungültige Kennung.");
        const qint64 size = uint32At(tail, at + 4);
        at += ChunkHeaderBytes;
        if (size > tail.size() - at)
            return refuse(reason, "Eine Abschnittslänge im Zusatzblock passt nicht zu den Daten.");
        read.chunks.append({id.toByteArray(), tail.sliced(at, qsizetype(size)).toByteArray()});
        at += qsizetype(size);
    }
    extension = std::move(read);
    return true;
}

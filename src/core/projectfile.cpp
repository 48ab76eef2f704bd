#include "core/projectfile.h"

#include "core/transferprogress.h"
#include "core/translate.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <utility>

// Element records and vertices are copied between memory and file as they lie.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);

namespace {

constexpr qint64 VertexBytes = sizeof(Tvertex);
constexpr qint64 MinElementBlock = ElementFileRecordSize + 4 + 4;
constexpr qint64 HeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr qint64 MaxHeaderBytes = HeaderBytes + 4 * 256;
// Element colour, line width, arrow length, six flags and zoom.
constexpr qint64 SettingsBytes = 4 + 8 + 8 + 6 + 8;
constexpr qint64 MinTailBytes = SettingsBytes + fontRecordSize(0);
constexpr int MaxFaceNameUnits = 255;

QString shownName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString damaged(const QString &file, const char *reason)
{
    return Translate(QStringLiteral("Die Datei %1 ist kein gültiges Projekt: %2"))
        .arg(file, Translate(QString::fromUtf8(reason)));
}

// ---------------------------------------------------------------------------------------------
// Writing

class Writer
{
public:
    explicit Writer(QIODevice &dev) : dev(dev) {}

    bool ok() const { return good; }

    void bytes(const void *p, qint64 n)
    {
        if (!good || n == 0)
            return;
        const char *c = static_cast<const char *>(p);
        // The pixel rows go out in large pieces straight from the image memory.
        while (n > 0) {
            const qint64 piece = std::min<qint64>(n, qint64(1) << 28);
            if (dev.write(c, piece) != piece) {
                good = false;
                return;
            }
            c += piece;
            n -= piece;
        }
    }
    void int32(std::int32_t v)
    {
        char raw[4];
        qToLittleEndian(v, raw);
        bytes(raw, 4);
    }
    void float64(double v)
    {
        char raw[8];
        std::memcpy(raw, &v, 8);
        bytes(raw, 8);
    }
    void byte(std::uint8_t v) { bytes(&v, 1); }
    void boolean(bool v) { byte(v ? 1 : 0); }
    void string(const QString &s)
    {
        int32(static_cast<std::int32_t>(s.size()));
        bytes(s.utf16(), 2 * qint64(s.size()));
    }

private:
    QIODevice &dev;
    bool good = true;
};

void writefont(Writer &w, const FontRecord &f)
{
    // The length is a single byte; face names never come near it, and a longer one is cut
    // rather than leaving units the length does not count.
    const QString name = f.name.left(MaxFaceNameUnits);
    w.byte(f.charset);
    w.int32(f.colour);
    w.byte(static_cast<std::uint8_t>(name.size()));
    w.bytes(name.utf16(), 2 * qint64(name.size()));
    w.byte(f.pitch);
    w.int32(f.pixelsPerInch);
    w.int32(f.size);
    w.byte(f.style);
}

void writeElements(Writer &w, const Document &doc)
{
    const std::uint32_t n = doc.elemente.Count();
    w.int32(static_cast<std::int32_t>(n));
    // Read through the block rather than the cursor, so that saving leaves aele and avert alone.
    const char *base = static_cast<const char *>(doc.elemente.block());
    const std::size_t stride = doc.elemente.recordSize();
    const std::array<char, ElementFileRecordSize - ElementFileFixedPart> unused{};
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto &e = *reinterpret_cast<const Telemente *>(base + i * stride);
        w.bytes(&e, ElementFileFixedPart);
        w.bytes(unused.data(), unused.size());
        const std::uint32_t m = e.vert ? e.vert->Count() : 0;
        w.int32(static_cast<std::int32_t>(m));
        if (m > 0)
            w.bytes(e.vert->block(), qint64(m) * VertexBytes);
        w.string(nameText(e.name));
    }
}

bool imageWritable(const dib &image)
{
    if (!image.poi || !image.pmi)
        return false;
    const BITMAPINFOHEADER &h = image.pmi->bmiHeader;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    return h.biWidth > 0 && h.biHeight > 0 && image.bytew == dibRowBytes(h.biWidth, h.biBitCount);
}

void writeImage(Writer &w, const dib &image)
{
    const BITMAPINFOHEADER &h = image.pmi->bmiHeader;
    const int colours = dibPaletteSize(h.biBitCount);
    w.int32(static_cast<std::int32_t>(HeaderBytes + 4 * colours));
    w.int32(colours);
    w.bytes(image.pmi, HeaderBytes + 4 * colours);
    // Stored row 0 is the bottom row and the rows lie bytew apart, exactly as the file wants them.
    w.bytes(image.poi, qint64(image.bytew) * h.biHeight);
}

void writeSettings(Writer &w, const ProjectSettings &s)
{
    w.int32(s.colour);
    w.float64(s.linewidth);
    w.float64(s.arrowlength);
    w.boolean(s.showScaleLine);
    w.boolean(s.showResults);
    w.boolean(s.outlineText);
    w.boolean(s.pointerAfterMeasuring);
    w.boolean(s.askName);
    w.boolean(s.adaptToImage);
    w.float64(s.zoom);
    writefont(w, s.font);
}

// ---------------------------------------------------------------------------------------------
// Reading

class Reader
{
public:
    Reader(QIODevice &dev) : dev(dev), total(dev.size()) {}

    qint64 remaining() const { return total - pos; }

    bool bytes(void *p, qint64 n)
    {
        if (n < 0 || n > remaining())
            return false;
        char *c = static_cast<char *>(p);
        while (n > 0) {
            const qint64 got = dev.read(c, std::min<qint64>(n, qint64(1) << 28));
            if (got <= 0) {
                ioError = got < 0;
                return false;
            }
            c += got;
            n -= got;
            pos += got;
        }
        return true;
    }
    bool int32(std::int32_t &v)
    {
        char raw[4];
        if (!bytes(raw, 4))
            return false;
        v = qFromLittleEndian<std::int32_t>(raw);
        return true;
    }
    bool float64(double &v)
    {
        char raw[8];
        if (!bytes(raw, 8))
            return false;
        std::memcpy(&v, raw, 8);
        return true;
    }
    bool byte(std::uint8_t &v) { return bytes(&v, 1); }
    bool boolean(bool &v)
    {
        std::uint8_t b = 0;
        if (!byte(b))
            return false;
        v = b != 0;
        return true;
    }
    // Reads a count of UTF-16 code units, refusing negative counts and counts the rest of the data
    // cannot hold, then the units.
    bool units(qint64 n, QString &s)
    {
        if (n < 0 || 2 * n > remaining())
            return false;
        s = QString(n, Qt::Uninitialized);
        return bytes(s.data(), 2 * n);
    }

    bool ioError = false;

private:
    QIODevice &dev;
    qint64 total;
    qint64 pos = 0;
};

// Bool fields of the record hold 0 or 1 in memory, whatever byte a damaged file carries.
void normaliseFlags(Telemente &e)
{
    unsigned char *raw = reinterpret_cast<unsigned char *>(&e);
    for (std::size_t off = offsetof(Telemente, closed); off <= offsetof(Telemente, dragit4); ++off)
        raw[off] = raw[off] != 0;
}

class ProjectReader
{
public:
    ProjectReader(QIODevice &dev, const QString &file, Document &target) : in(dev), file(file), target(target) {}

    ~ProjectReader() { deldib(image); }

    bool read()
    {
        return readElements() && readImage() && readSettings() && readfont(settings.font) && readExtension();
    }

    QString error;
    QString warning;
    Document doc;
    dib image;
    ProjectSettings settings;

private:
    bool fail(const char *reason)
    {
        error = in.ioError ? Translate(QStringLiteral("Fehler beim Lesen der Datei %1.")).arg(file)
                           : damaged(file, reason);
        return false;
    }

    bool readElements()
    {
        std::int32_t n = 0;
        if (!in.int32(n) || n < 0 || n > (in.remaining() - MinTailBytes) / MinElementBlock)
            return fail("Die Anzahl der Elemente ist ungültig.");
        for (std::int32_t i = 0; i < n; ++i) {
            if (!readElement())
                return false;
        }
        return true;
    }

    bool readElement()
    {
        std::array<char, ElementFileRecordSize> record;
        if (!in.bytes(record.data(), record.size()))
            return fail("Ein Element ist unvollständig.");
        std::int32_t m = 0;
        if (!in.int32(m) || m < 0 || m > (in.remaining() - 4) / VertexBytes)
            return fail("Die Punktanzahl eines Elements ist ungültig.");
        auto *e = static_cast<Telemente *>(doc.elemente.Add());
        if (!e)
            return outOfMemory();
        std::memcpy(e, record.data(), ElementFileFixedPart);
        normaliseFlags(*e);
        // The lists publish into the target's avert, which they will belong to; the caller puts
        // its value back should reading fail.
        e->vert = target.newVertexList();
        std::array<Tvertex, 256> chunk;
        for (std::int32_t done = 0; done < m;) {
            const std::int32_t take = std::min<std::int32_t>(m - done, chunk.size());
            if (!in.bytes(chunk.data(), take * VertexBytes))
                return fail("Die Punkte eines Elements sind unvollständig.");
            for (std::int32_t k = 0; k < take; ++k) {
                if (!Document::appendVertex(e->vert, chunk[k].x, chunk[k].y))
                    return outOfMemory();
            }
            done += take;
        }
        std::int32_t length = 0;
        QString name;
        if (!in.int32(length) || !in.units(length, name))
            return fail("Die Länge eines Namens ist ungültig.");
        if (!Document::setName(*e, name))
            return outOfMemory();
        return true;
    }

    bool readImage()
    {
        std::int32_t headerSize = 0;
        std::int32_t colours = 0;
        if (!in.int32(headerSize) || headerSize < HeaderBytes || headerSize > MaxHeaderBytes
            || headerSize > in.remaining() - 4 - MinTailBytes)
            return fail("Die Größe des Bildkopfs ist ungültig.");
        if (!in.int32(colours) || colours < 0 || colours > 256 || HeaderBytes + 4 * colours > headerSize)
            return fail("Die Farbanzahl des Bildes ist ungültig.");
        alignas(BITMAPINFO) std::array<char, MaxHeaderBytes> header{};
        if (!in.bytes(header.data(), headerSize))
            return fail("Der Bildkopf ist unvollständig.");
        BITMAPINFOHEADER h;
        std::memcpy(&h, header.data(), sizeof h);

        const int bits = h.biBitCount;
        switch (bits) {
        case 1: case 4: case 8: case 16: case 24: case 32:
            break;
        default:
            return fail("Die Farbtiefe des Bildes wird nicht unterstützt.");
        }
        if (colours > dibPaletteSize(bits))
            return fail("Die Farbanzahl passt nicht zur Farbtiefe des Bildes.");
        const bool topDown = h.biHeight < 0;
        const qint64 height = topDown ? -qint64(h.biHeight) : qint64(h.biHeight);
        if (h.biWidth <= 0 || h.biWidth > MaxDibSide || height == 0 || height > MaxDibSide)
            return fail("Die Bildgröße ist ungültig.");
        const qint64 rowBytes = dibRowBytes(h.biWidth, bits);
        if (rowBytes <= 0 || height > (in.remaining() - MinTailBytes) / rowBytes)
            return fail("Die Bilddaten sind unvollständig.");

        if (!newdib(image, h.biWidth, static_cast<std::int32_t>(height), bits,
                    reinterpret_cast<const BITMAPINFO *>(header.data()), colours)
            || image.bytew != rowBytes) {
            error = Translate(QStringLiteral("Für das Bild der Datei %1 reicht der Speicher nicht.")).arg(file);
            return false;
        }
        BITMAPINFOHEADER &made = image.pmi->bmiHeader;
        made.biXPelsPerMeter = h.biXPelsPerMeter;
        made.biYPelsPerMeter = h.biYPelsPerMeter;
        if (h.biClrUsed <= static_cast<std::uint32_t>(dibPaletteSize(bits)))
            made.biClrUsed = h.biClrUsed;

        adviseHugePages(image.poi, rowBytes * height);
        if (!in.bytes(image.poi, rowBytes * height))
            return fail("Die Bilddaten sind unvollständig.");
        if (topDown)
            flipRows(height, rowBytes);
        return true;
    }

    void flipRows(qint64 height, qint64 rowBytes)
    {
        std::uint8_t *top = image.poi;
        std::uint8_t *bottom = image.poi + (height - 1) * rowBytes;
        for (; top < bottom; top += rowBytes, bottom -= rowBytes)
            std::swap_ranges(top, top + rowBytes, bottom);
    }

    bool readSettings()
    {
        ProjectSettings &s = settings;
        if (in.int32(s.colour) && in.float64(s.linewidth) && in.float64(s.arrowlength) && in.boolean(s.showScaleLine)
            && in.boolean(s.showResults) && in.boolean(s.outlineText) && in.boolean(s.pointerAfterMeasuring)
            && in.boolean(s.askName) && in.boolean(s.adaptToImage) && in.float64(s.zoom))
            return true;
        return fail("Die Einstellungen sind unvollständig.");
    }

    bool readfont(FontRecord &f)
    {
        std::uint8_t length = 0;
        if (in.byte(f.charset) && in.int32(f.colour) && in.byte(length) && in.units(length, f.name) && in.byte(f.pitch)
            && in.int32(f.pixelsPerInch) && in.int32(f.size) && in.byte(f.style))
            return true;
        return fail("Die Schriftangaben sind unvollständig.");
    }

    bool readExtension()
    {
        const qint64 rest = in.remaining();
        QString reason;
        if (rest > MaxExtensionBlockBytes) {
            reason = Translate(QStringLiteral("Der Zusatzblock ist größer als erlaubt."));
        } else {
            QByteArray tail(rest, Qt::Uninitialized);
            if (!in.bytes(tail.data(), rest))
                return fail("Die Zusatzdaten sind unvollständig.");
            decodeExtensionBlock(tail, settings.extension, &reason);
        }
        if (!reason.isEmpty())
            warning = Translate(QStringLiteral("Die Zusatzdaten der Datei %1 sind beschädigt und wurden nicht gelesen: %2"))
                          .arg(file, reason);
        return true;
    }

    bool outOfMemory()
    {
        error = Translate(QStringLiteral("Für die Elemente der Datei %1 reicht der Speicher nicht.")).arg(file);
        return false;
    }

    Reader in;
    QString file;
    Document &target;
};

bool readProject(QIODevice &dev, const QString &file, Document &doc, dib &image, ProjectSettings &s, QString *error,
                 QString *warning)
{
    void *const avert = *doc.avertVariable();
    ProjectReader reader(dev, file, doc);
    if (!reader.read()) {
        *doc.avertVariable() = avert;
        if (error)
            *error = reader.error;
        return false;
    }
    // The old elements move into the reader's document and are released with it.
    doc.elemente.swap(reader.doc.elemente);
    doc.touch();
    std::swap(image.pmi, reader.image.pmi);
    std::swap(image.poih, reader.image.poih);
    std::swap(image.pmih, reader.image.pmih);
    std::swap(image.poi, reader.image.poi);
    std::swap(image.bytew, reader.image.bytew);
    s = std::move(reader.settings);
    if (warning)
        *warning = reader.warning;
    return true;
}

} // namespace

bool writeProject(QIODevice &out, const Document &doc, const dib &image, const ProjectSettings &s)
{
    // Readers refuse larger blocks, so such a file would not open again as it was saved.
    const QByteArray block = encodeExtensionBlock(s.extension);
    if (!imageWritable(image) || block.size() > MaxExtensionBlockBytes)
        return false;
    Writer w(out);
    writeElements(w, doc);
    writeImage(w, image);
    writeSettings(w, s);
    w.bytes(block.constData(), block.size());
    return w.ok();
}

bool saveProject(const QString &path, const Document &doc, const dib &image, const ProjectSettings &s, QString *error,
                 TransferProgress *progress)
{
    const QString file = shownName(path);
    if (!imageWritable(image)) {
        if (error)
            *error = Translate(QStringLiteral("Die Datei %1 wurde nicht geschrieben: kein Bild vorhanden.")).arg(file);
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = Translate(QStringLiteral("Die Datei %1 kann nicht erzeugt werden: %2")).arg(file, out.errorString());
        return false;
    }
    bool written = false;
    if (progress) {
        progress->total = qint64(image.bytew) * DibHeight(image);
        ProgressDevice counted(out, *progress);
        written = writeProject(counted, doc, image, s);
    } else {
        written = writeProject(out, doc, image, s);
    }
    if (!written || !out.commit()) {
        if (error)
            *error = Translate(QStringLiteral("Die Datei %1 konnte nicht vollständig geschrieben werden: %2"))
                         .arg(file, out.errorString());
        out.cancelWriting();
        return false;
    }
    return true;
}

bool loadProject(const QString &path, Document &doc, dib &image, ProjectSettings &s, QString *error,
                 QString *warning, TransferProgress *progress)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Translate(QStringLiteral("Die Datei %1 kann nicht geöffnet werden: %2"))
                         .arg(shownName(path), in.errorString());
        return false;
    }
    if (!progress)
        return readProject(in, shownName(path), doc, image, s, error, warning);
    progress->total = in.size();
    ProgressDevice counted(in, *progress);
    return readProject(counted, shownName(path), doc, image, s, error, warning);
}

bool loadProjectFromBytes(const QByteArray &bytes, Document &doc, dib &image, ProjectSettings &s, QString *error,
                          QString *warning)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return readProject(in, QStringLiteral("(Speicher)"), doc, image, s, error, warning);
}

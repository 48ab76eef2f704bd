#include "dumpjson.h"

#include "core/dib.h"
#include "core/elements.h"
#include "core/measurementchunks.h"
#include "core/projectfile.h"
#include "core/translate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// Where the image lies in a project file whose elements have been read.
struct ImageLayout {
    std::int32_t headerSize = 0;
    std::int32_t colours = 0;
    BITMAPINFOHEADER header{};
    QByteArrayView rows;
};

// Walks the element blocks of a file that the project reader has accepted, to find the image
// exactly as it is stored. Every step is checked against the bytes that remain all the same.
bool locateImage(const QByteArray &file, ImageLayout &layout)
{
    const qint64 size = file.size();
    qint64 at = 0;
    const auto int32 = [&](std::int32_t &v) {
        if (size - at < 4)
            return false;
        v = qFromLittleEndian<std::int32_t>(file.constData() + at);
        at += 4;
        return true;
    };
    const auto skip = [&](qint64 bytes) {
        if (bytes < 0 || size - at < bytes)
            return false;
        at += bytes;
        return true;
    };
    std::int32_t count = 0;
    if (!int32(count) || count < 0)
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t vertices = 0;
        std::int32_t nameUnits = 0;
        if (!skip(qint64(ElementFileRecordSize)) || !int32(vertices) || !skip(qint64(vertices) * 16)
            || !int32(nameUnits) || !skip(qint64(nameUnits) * 2))
            return false;
    }
    if (!int32(layout.headerSize) || !int32(layout.colours) || layout.headerSize < qint32(sizeof(BITMAPINFOHEADER))
        || size - at < layout.headerSize)
        return false;
    std::memcpy(&layout.header, file.constData() + at, sizeof layout.header);
    at += layout.headerSize;
    const qint64 rowBytes = dibRowBytes(layout.header.biWidth, layout.header.biBitCount);
    const qint64 height = std::abs(qint64(layout.header.biHeight));
    if (rowBytes <= 0 || (height > 0 && rowBytes > (size - at) / height))
        return false;
    layout.rows = QByteArrayView(file.constData() + at, rowBytes * height);
    return true;
}

class JsonWriter
{
public:
    QByteArray text;

    void number(double v)
    {
        if (std::isnan(v)) {
            text += "\"NaN\"";
            return;
        }
        if (std::isinf(v)) {
            text += v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
            return;
        }
        // "-0" would read back as the integer 0 in many readers.
        if (v == 0 && std::signbit(v)) {
            text += "-0.0";
            return;
        }
        std::array<char, 32> buffer{};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
        text.append(buffer.data(), result.ptr - buffer.data());
    }

    void integer(qint64 v) { text += QByteArray::number(v); }
    void boolean(bool v) { text += v ? "true" : "false"; }

    void string(const QString &s)
    {
        text += '"';
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s.at(i);
            const char16_t u = c.unicode();
            if (u == u'"') {
                text += "\\\"";
            } else if (u == u'\\') {
                text += "\\\\";
            } else if (u < 0x20) {
                escape(u);
            } else if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
                text += s.mid(i, 2).toUtf8();
                ++i;
            } else if (c.isSurrogate()) {
                // A lone half of a pair has no UTF-8 form; the escape keeps it exactly.
                escape(u);
            } else {
                text += QString(c).toUtf8();
            }
        }
        text += '"';
    }

    void key(const char *name)
    {
        text += '"';
        text += name;
        text += "\": ";
    }

private:
    void escape(char16_t u)
    {
        text += "\\u";
        text += QByteArray::number(u, 16).rightJustified(4, '0');
    }
};

// A flag byte of the record as stored: anything but 0 is set.
bool flagAt(const Telemente &e, std::size_t offset)
{
    std::uint8_t byte = 0;
    std::memcpy(&byte, reinterpret_cast<const char *>(&e) + offset, 1);
    return byte != 0;
}

// The members of one JSON object, each on a line of its own at the given indentation.
class JsonObject
{
public:
    JsonObject(JsonWriter &writer, const char *indentation) : w(writer), indent(indentation) { w.text += '{'; }
    ~JsonObject()
    {
        w.text += '\n';
        w.text += QByteArray(indent).chopped(2);
        w.text += '}';
    }
    JsonObject(const JsonObject &) = delete;
    JsonObject &operator=(const JsonObject &) = delete;

    JsonWriter &member(const char *name)
    {
        w.text += first ? "\n" : ",\n";
        first = false;
        w.text += indent;
        w.key(name);
        return w;
    }

private:
    JsonWriter &w;
    const char *indent;
    bool first = true;
};

// A line of known length on one line: {"from": [x, y], "to": [x, y], "real": r, "zoom": z}.
void writeReferenceLine(JsonWriter &w, const ReferenceLine &line)
{
    w.text += "{\"from\": [";
    w.number(line.a.x);
    w.text += ", ";
    w.number(line.a.y);
    w.text += "], \"to\": [";
    w.number(line.b.x);
    w.text += ", ";
    w.number(line.b.y);
    w.text += "], ";
    w.key("real");
    w.number(line.realLength);
    w.text += ", ";
    w.key("zoom");
    w.number(line.zoom);
    w.text += '}';
}

// The scale checks, the separate X/Y scale and the placement zooms the extension block holds.
void writeMeasurementChunks(JsonObject &root, const ProjectExtension &extension, Document &doc)
{
    if (const auto lines = axisLines(extension)) {
        const AxisFactors f = *solveAxisFactors((*lines)[0], (*lines)[1]);
        JsonObject o(root.member("axis_scale"), "    ");
        writeReferenceLine(o.member("x_line"), (*lines)[0]);
        writeReferenceLine(o.member("y_line"), (*lines)[1]);
        o.member("x_factor").number(f.x);
        o.member("y_factor").number(f.y);
        o.member("ratio").number(f.y / f.x);
    }
    const std::vector<ReferenceLine> checks = scaleChecks(extension);
    if (!checks.empty()) {
        JsonWriter &w = root.member("scale_checks");
        w.text += '[';
        for (std::size_t i = 0; i < checks.size(); ++i) {
            w.text += i > 0 ? ",\n    " : "\n    ";
            writeReferenceLine(w, checks[i]);
        }
        w.text += "\n  ]";
    }
    if (applyPlacementZooms(extension, doc)) {
        JsonWriter &w = root.member("placement_zoom");
        w.text += '[';
        for (int i = 0; i < doc.count(); ++i) {
            if (i > 0)
                w.text += ", ";
            w.number(doc.placementZoom(i));
        }
        w.text += ']';
    }
}

void writeElement(JsonWriter &w, const Telemente &e)
{
    bool first = true;
    const auto sep = [&] {
        if (!first)
            w.text += ", ";
        first = false;
    };
    const auto integer = [&](const char *name, std::int32_t v) { sep(); w.key(name); w.integer(v); };
    const auto number = [&](const char *name, double v) { sep(); w.key(name); w.number(v); };
    const auto boolean = [&](const char *name, bool v) { sep(); w.key(name); w.boolean(v); };

    w.text += '{';
    integer("dragvertnr", e.dragvertnr);
    integer("nr", e.nr);
    integer("typ", e.typ);
    number("lang", e.lang);
    number("flaeche", e.flaeche);
    number("winkel", e.winkel);
    // Copies, not references: the record is packed and its doubles may be misaligned.
    const std::array<std::pair<const char *, double>, 16> points{{
        {"x1", double(e.x1)}, {"y1", double(e.y1)}, {"x2", double(e.x2)}, {"y2", double(e.y2)}, {"x3", double(e.x3)}, {"y3", double(e.y3)}, {"x4", double(e.x4)},
        {"y4", double(e.y4)}, {"ox1", double(e.ox1)}, {"oy1", double(e.oy1)}, {"ox2", double(e.ox2)}, {"oy2", double(e.oy2)}, {"ox3", double(e.ox3)},
        {"oy3", double(e.oy3)}, {"ox4", double(e.ox4)}, {"oy4", double(e.oy4)},
    }};
    for (const auto &[name, value] : points)
        number(name, value);
    boolean("closed", flagAt(e, offsetof(Telemente, closed)));
    boolean("dragvert", flagAt(e, offsetof(Telemente, dragvert)));
    boolean("selected", flagAt(e, offsetof(Telemente, selected)));
    boolean("dragit1", flagAt(e, offsetof(Telemente, dragit1)));
    boolean("dragit2", flagAt(e, offsetof(Telemente, dragit2)));
    boolean("dragit3", flagAt(e, offsetof(Telemente, dragit3)));
    boolean("dragit4", flagAt(e, offsetof(Telemente, dragit4)));
    sep();
    w.key("vertices");
    w.text += '[';
    const int count = Document::vertexCount(e);
    for (int i = 0; i < count; ++i) {
        const Tvertex *v = Document::vertex(e.vert, i);
        if (i > 0)
            w.text += ", ";
        w.text += '[';
        w.number(v->x);
        w.text += ", ";
        w.number(v->y);
        w.text += ']';
    }
    w.text += ']';
    sep();
    w.key("name");
    w.string(Document::name(e));
    w.text += '}';
}

} // namespace

bool projectJson(const QString &path, QByteArray &json, QString *error, QString *warning)
{
    Document doc;
    dib image;
    ProjectSettings settings;
    const bool loaded = loadProject(path, doc, image, settings, error, warning);
    deldib(image);
    if (!loaded)
        return false;
    // The image exactly as stored: its header sizes and rows are read from the file itself.
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    ImageLayout layout;
    if (file.error() != QFileDevice::NoError || !locateImage(bytes, layout)) {
        if (error)
            *error = Translate(QStringLiteral("Fehler beim Lesen der Datei %1.")).arg(path);
        return false;
    }

    JsonWriter w;
    {
        JsonObject root(w, "  ");
        JsonWriter &elements = root.member("elements");
        elements.text += '[';
        for (int i = 0; i < doc.count(); ++i) {
            elements.text += i > 0 ? ",\n    " : "\n    ";
            writeElement(elements, *doc.element(i));
        }
        elements.text += doc.count() > 0 ? "\n  ]" : "]";
        {
            JsonObject o(root.member("image"), "    ");
            o.member("width").integer(layout.header.biWidth);
            o.member("height").integer(layout.header.biHeight);
            o.member("bitcount").integer(layout.header.biBitCount);
            o.member("headersize").integer(layout.headerSize);
            o.member("colors").integer(layout.colours);
            o.member("rows_sha256")
                .string(QString::fromLatin1(QCryptographicHash::hash(layout.rows, QCryptographicHash::Sha256).toHex()));
        }
        {
            JsonObject o(root.member("settings"), "    ");
            o.member("color").integer(settings.colour);
            o.member("linewidth").number(settings.linewidth);
            o.member("arrowlength").number(settings.arrowlength);
            JsonWriter &flags = o.member("flags");
            const std::array<bool, 6> values{settings.showScaleLine, settings.showResults, settings.outlineText,
                                             settings.pointerAfterMeasuring, settings.askName, settings.adaptToImage};
            flags.text += '[';
            for (std::size_t i = 0; i < values.size(); ++i) {
                if (i > 0)
                    flags.text += ", ";
                flags.boolean(values[i]);
            }
            flags.text += ']';
            o.member("zoom").number(settings.zoom);
        }
        {
            const FontRecord &f = settings.font;
            JsonObject o(root.member("font"), "    ");
            o.member("charset").integer(f.charset);
            o.member("color").integer(f.colour);
            o.member("name").string(f.name);
            o.member("pitch").integer(f.pitch);
            o.member("ppi").integer(f.pixelsPerInch);
            o.member("size").integer(f.size);
            o.member("style").integer(f.style);
        }
        if (!settings.extension.isEmpty()) {
            JsonWriter &chunks = root.member("extension");
            chunks.text += '[';
            for (qsizetype i = 0; i < settings.extension.chunks.size(); ++i) {
                const ExtensionChunk &c = settings.extension.chunks.at(i);
                chunks.text += i > 0 ? ", {" : "{";
                chunks.key("id");
                chunks.string(QString::fromLatin1(c.id));
                chunks.text += ", ";
                chunks.key("bytes");
                chunks.integer(c.payload.size());
                chunks.text += '}';
            }
            chunks.text += ']';
        }
        if (const std::optional<ProjectScale> scale = settings.extension.scale()) {
            JsonObject o(root.member("scale"), "    ");
            o.member("mas1").number(scale->pixelLength);
            o.member("mas2").number(scale->realLength);
            o.member("einh").string(scale->unit);
        }
        writeMeasurementChunks(root, settings.extension, doc);
    }
    w.text += '\n';
    json = w.text;
    return true;
}

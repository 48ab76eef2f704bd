#include "core/projectfile.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "support/documentcompare.h"
#include "support/testfiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <vector>

namespace {

struct Image {
    dib d;
    Image() = default;
    Image(const Image &) = delete;
    ~Image() { deldib(d); }
};

// An image whose every pixel, palette entry and header field the round trip has to keep.
void makeImage(dib &d, int bits, int width, int height)
{
    std::vector<char> info(sizeof(BITMAPINFOHEADER) + 4 * 256, 0);
    auto *palette = reinterpret_cast<RGBQUAD *>(info.data() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7), 0};
    reinterpret_cast<BITMAPINFOHEADER *>(info.data())->biXPelsPerMeter = 3780;
    reinterpret_cast<BITMAPINFOHEADER *>(info.data())->biYPelsPerMeter = 2835;
    QVERIFY(newdib(d, width, height, bits, reinterpret_cast<BITMAPINFO *>(info.data()), dibPaletteSize(bits)));
    d.pmi->bmiHeader.biXPelsPerMeter = 3780;
    d.pmi->bmiHeader.biYPelsPerMeter = 2835;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, std::uint32_t(x * 2654435761u + y * 40503u + 17u));
}

void addElement(Document &doc, std::int32_t typ, int index, const QString *name, int vertices)
{
    Telemente *e = doc.appendElement();
    QVERIFY(e);
    e->typ = typ;
    e->nr = typ <= 2 ? index % 3 : 0;
    e->dragvertnr = index;
    // lang .. oy4 are 19 doubles in a row, closed .. dragit4 seven flags (the record is packed).
    auto *raw = reinterpret_cast<unsigned char *>(e);
    for (int k = 0; k < 19; ++k) {
        const double value = index * 100.25 + k * 0.5 - 7;
        std::memcpy(raw + offsetof(Telemente, lang) + 8 * k, &value, 8);
    }
    for (int k = 0; k < 7; ++k)
        raw[offsetof(Telemente, closed) + k] = ((index + k) % 3) == 0;
    for (int v = 0; v < vertices; ++v)
        QVERIFY(doc.appendVertex(v * 1.5 + index, -v * 2.25));
    if (name)
        QVERIFY(Document::setName(*e, *name));
}

// Every element type, vertex lists of several lengths, names with text outside Latin-1 (and a
// surrogate pair), empty names and no name at all.
void makeDocument(Document &doc)
{
    const QString names[] = {QStringLiteral("Fläche Süd"), QString::fromUtf8("Площадь 面積 \xF0\x9F\x93\x90"),
                             QString(), QStringLiteral("x")};
    const std::int32_t types[] = {TypLine, TypLine, TypQuadCurve, TypCubicCurve, TypRectangle, TypEllipse,
                                  TypDistance, TypScaleLine, TypAngle, TypPolygon, TypPolyline, TypText};
    int index = 0;
    for (std::int32_t typ : types) {
        const bool vertexType = typ == TypAngle || typ == TypPolygon || typ == TypPolyline;
        const int vertices = vertexType ? 3 + index : 0;
        addElement(doc, typ, index, index % 5 == 4 ? nullptr : &names[index % 4], vertices);
        ++index;
    }
    addElement(doc, TypPolyline, index, &names[0], 250);
}

qint32 int32At(const QByteArray &b, qint64 at)
{
    return qFromLittleEndian<qint32>(b.constData() + at);
}

void setInt32At(QByteArray &b, qint64 at, qint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

void compareImages(const dib &a, const dib &b)
{
    QVERIFY(b.poi);
    QCOMPARE(b.bytew, a.bytew);
    const int entries = dibPaletteSize(DibBitCount(a));
    QVERIFY(std::memcmp(a.pmi, b.pmi, sizeof(BITMAPINFOHEADER) + 4 * entries) == 0);
    QVERIFY(std::memcmp(a.poi, b.poi, std::size_t(a.bytew) * DibHeight(a)) == 0);
}

// Offsets of the sections of a saved project, found by walking it.
struct Sections {
    qint64 headerSize = 0;
    qint64 header = 0;
    qint64 rows = 0;
    qint64 settings = 0;
    qint64 font = 0;
};

Sections sectionsOf(const QByteArray &b)
{
    Sections s;
    qint64 at = 4;
    for (qint32 n = int32At(b, 0); n > 0; --n) {
        at += ElementFileRecordSize;
        at += 4 + 16 * qint64(int32At(b, at));
        at += 4 + 2 * qint64(int32At(b, at));
    }
    s.headerSize = at;
    s.header = at + 8;
    const qint64 h = int32At(b, at);
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, b.constData() + s.header, sizeof bih);
    s.rows = s.header + h;
    s.settings = s.rows + dibRowBytes(bih.biWidth, bih.biBitCount) * qAbs(qint64(bih.biHeight));
    s.font = s.settings + 34;
    return s;
}

ProjectSettings unusualSettings()
{
    ProjectSettings s;
    s.colour = 0x00336699;
    s.linewidth = 3.75;
    s.arrowlength = 12.5;
    s.showScaleLine = false;
    s.showResults = false;
    s.outlineText = true;
    s.pointerAfterMeasuring = true;
    s.askName = false;
    s.adaptToImage = false;
    s.zoom = 237.5;
    s.font.name = QStringLiteral("Kein Solcher Font");
    s.font.charset = 238;
    s.font.colour = 0x00102030;
    s.font.pitch = FontRecord::FixedPitch;
    s.font.pixelsPerInch = 120;
    s.font.size = 14;
    s.font.style = FontRecord::Bold | FontRecord::StrikeOut;
    return s;
}

// The six flags in the order the file stores them.
constexpr bool ProjectSettings::*fileFlags[6] = {
    &ProjectSettings::showScaleLine, &ProjectSettings::showResults,           &ProjectSettings::outlineText,
    &ProjectSettings::pointerAfterMeasuring, &ProjectSettings::askName, &ProjectSettings::adaptToImage,
};

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // A target holding a document, an image and settings of its own, to prove that a refused
    // file leaves every part of it alone.
    struct Target {
        Document doc;
        Image image;
        ProjectSettings settings = unusualSettings();
        QByteArray saved;
        void *aele = nullptr;
        void *avert = nullptr;
        std::uint8_t *pixels = nullptr;
    };
    void prepareTarget(Target &t)
    {
        addElement(t.doc, TypPolygon, 1, nullptr, 4);
        const QString n = QStringLiteral("alt");
        addElement(t.doc, TypText, 2, &n, 0);
        makeImage(t.image.d, 24, 5, 3);
        t.aele = *t.doc.aeleVariable();
        t.avert = *t.doc.avertVariable();
        t.pixels = t.image.d.poi;
        QVERIFY(saveProject(path("target.ver"), t.doc, t.image.d, t.settings));
        t.saved = fileBytes(path("target.ver"));
    }
    void verifyUnchanged(Target &t)
    {
        QCOMPARE(*t.doc.aeleVariable(), t.aele);
        QCOMPARE(*t.doc.avertVariable(), t.avert);
        QCOMPARE(t.image.d.poi, t.pixels);
        QCOMPARE(t.settings, unusualSettings());
        QVERIFY(saveProject(path("target.ver"), t.doc, t.image.d, t.settings));
        QCOMPARE(fileBytes(path("target.ver")), t.saved);
    }
    void verifyRefused(const QByteArray &bytes)
    {
        Target t;
        prepareTarget(t);
        QString error;
        QVERIFY(!loadProjectFromBytes(bytes, t.doc, t.image.d, t.settings, &error));
        QVERIFY(!error.isEmpty());
        verifyUnchanged(t);
    }
    QByteArray smallProject()
    {
        Document doc;
        const QString n = QStringLiteral("Ab");
        addElement(doc, TypPolyline, 0, &n, 2);
        addElement(doc, TypRectangle, 1, nullptr, 0);
        Image img;
        makeImage(img.d, 8, 3, 2);
        if (!saveProject(path("small.ver"), doc, img.d, ProjectSettings()))
            return QByteArray();
        return fileBytes(path("small.ver"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        translationTable().setPaths(path("translate.dat"), path("settings-translate.dat"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("flag");
        const int sizes[][2] = {{1, 1}, {13, 7}, {32, 3}};
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (const auto &size : sizes)
                for (int flag = -1; flag < 6; flag += 3)
                    QTest::addRow("%d bit %dx%d flag %d", bits, size[0], size[1], flag)
                        << bits << size[0] << size[1] << flag;
        for (int flag = 0; flag < 6; ++flag)
            QTest::addRow("only flag %d", flag) << 24 << 5 << 5 << flag;
    }

    void roundTrip()
    {
        QFETCH(int, bits);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, flag);
        Document doc;
        makeDocument(doc);
        Image img;
        makeImage(img.d, bits, width, height);
        ProjectSettings settings = unusualSettings();
        for (int k = 0; k < 6; ++k)
            settings.*fileFlags[k] = k == flag;

        QString error;
        QVERIFY2(saveProject(path("a.ver"), doc, img.d, settings, &error), qPrintable(error));
        Document doc2;
        Image img2;
        ProjectSettings settings2;
        QVERIFY2(loadProject(path("a.ver"), doc2, img2.d, settings2, &error), qPrintable(error));
        compareDocuments(doc, doc2);
        compareImages(img.d, img2.d);
        QCOMPARE(settings2, settings);
        QVERIFY(saveProject(path("b.ver"), doc2, img2.d, settings2, &error));
        QCOMPARE(fileBytes(path("b.ver")), fileBytes(path("a.ver")));
    }

    void loadReplacesEverything()
    {
        Document doc;
        makeDocument(doc);
        Image img;
        makeImage(img.d, 4, 9, 9);
        QVERIFY(saveProject(path("replace.ver"), doc, img.d, ProjectSettings()));

        Target t;
        prepareTarget(t);
        QVERIFY(loadProject(path("replace.ver"), t.doc, t.image.d, t.settings));
        compareDocuments(doc, t.doc);
        compareImages(img.d, t.image.d);
        QCOMPARE(t.settings, ProjectSettings());
        // Vertex lists of loaded elements publish into the document's current vertex.
        Telemente *e = t.doc.element(t.doc.count() - 1);
        e->vert->First();
        QCOMPARE(static_cast<void *>(t.doc.avert()), e->vert->block());
    }

    void startImageLayout()
    {
        Document doc;
        Image img;
        QVERIFY(newdib(img.d, 320, 320, 24, nullptr, 0));
        QVERIFY(saveProject(path("start.ver"), doc, img.d, ProjectSettings()));
        const QByteArray b = fileBytes(path("start.ver"));
        QCOMPARE(b.size(), 4 + 4 + 4 + 40 + 320 * 960 + 4 + 8 + 8 + 6 + 8 + fontRecordSize(6));
        QCOMPARE(int32At(b, 0), 0);
        QCOMPARE(int32At(b, 4), 40);
        QCOMPARE(int32At(b, 8), 0);
        QCOMPARE(int32At(b, 12), 40);      // biSize
        QCOMPARE(int32At(b, 16), 320);     // biWidth
        QCOMPARE(int32At(b, 20), 320);     // biHeight

        // Element colour, line width, arrow length, the six flags, zoom, then the font record.
        const qint64 at = 12 + 40 + 320 * 960;
        QCOMPARE(int32At(b, at), 0x0000FF);
        double v;
        std::memcpy(&v, b.constData() + at + 4, 8);
        QCOMPARE(v, 2.0);
        std::memcpy(&v, b.constData() + at + 12, 8);
        QCOMPARE(v, 30.0);
        QCOMPARE(b.mid(at + 20, 6), QByteArray("\x01\x01\x00\x00\x01\x01", 6));
        std::memcpy(&v, b.constData() + at + 26, 8);
        QCOMPARE(v, 100.0);
        const QByteArray font = b.mid(at + 34);
        QCOMPARE(quint8(font[0]), quint8(1));
        QCOMPARE(int32At(font, 1), 0x0000FF);
        QCOMPARE(quint8(font[5]), quint8(6));
        QCOMPARE(font.mid(6, 12), QByteArray("T\0a\0h\0o\0m\0a\0", 12));
        QCOMPARE(quint8(font[18]), quint8(0));
        QCOMPARE(int32At(font, 19), 96);
        QCOMPARE(int32At(font, 23), 11);
        QCOMPARE(quint8(font[27]), quint8(0));
    }

    void flagOrder_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("Anzeigen") << 0;
        QTest::newRow("Ergebnisliste anzeigen") << 1;
        QTest::newRow("Schrift umranden") << 2;
        QTest::newRow("Zeiger nach Messung") << 3;
        QTest::newRow("Bezeichnung abfragen") << 4;
        QTest::newRow("Pfeillänge und Schriftgröße anpassen") << 5;
    }

    void flagOrder()
    {
        QFETCH(int, position);
        ProjectSettings s;
        for (int k = 0; k < 6; ++k)
            s.*fileFlags[k] = k == position;
        Document doc;
        Image img;
        makeImage(img.d, 24, 2, 2);
        QVERIFY(saveProject(path("flags.ver"), doc, img.d, s));
        const QByteArray b = fileBytes(path("flags.ver"));
        const qint64 at = sectionsOf(b).settings + 20;
        for (int k = 0; k < 6; ++k)
            QCOMPARE(int(b[at + k]), k == position ? 1 : 0);
    }

    void headerSizes_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("headerSize");
        QTest::addColumn<int>("colours");
        QTest::newRow("1 bit") << 1 << 48 << 2;
        QTest::newRow("4 bit") << 4 << 104 << 16;
        QTest::newRow("8 bit") << 8 << 1064 << 256;
        QTest::newRow("16 bit") << 16 << 40 << 0;
        QTest::newRow("24 bit") << 24 << 40 << 0;
        QTest::newRow("32 bit") << 32 << 40 << 0;
    }

    void headerSizes()
    {
        QFETCH(int, bits);
        QFETCH(int, headerSize);
        QFETCH(int, colours);
        Document doc;
        Image img;
        makeImage(img.d, bits, 7, 3);
        QVERIFY(saveProject(path("header.ver"), doc, img.d, ProjectSettings()));
        const QByteArray b = fileBytes(path("header.ver"));
        QCOMPARE(int32At(b, 4), headerSize);
        QCOMPARE(int32At(b, 8), colours);
        QCOMPARE(b.size(), 12 + headerSize + 3 * dibRowBytes(7, bits) + 34 + fontRecordSize(6));
    }

    void elementBlocks()
    {
        Document doc;
        addElement(doc, TypRectangle, 0, nullptr, 0);
        const QString n = QStringLiteral("Ü5");
        addElement(doc, TypPolygon, 1, &n, 5);
        Image img;
        makeImage(img.d, 24, 1, 1);
        QVERIFY(saveProject(path("blocks.ver"), doc, img.d, ProjectSettings()));
        const QByteArray b = fileBytes(path("blocks.ver"));
        QCOMPARE(int32At(b, 0), 2);
        QCOMPARE(b.mid(4, ElementFileFixedPart),
                 QByteArray(reinterpret_cast<const char *>(doc.element(0)), ElementFileFixedPart));
        QCOMPARE(int32At(b, 4 + 179), 0);
        QCOMPARE(int32At(b, 4 + 183), 0);
        const qint64 second = 4 + 187;
        QCOMPARE(int32At(b, second + 8), qint32(TypPolygon));
        QCOMPARE(int32At(b, second + 179), 5);
        double x;
        std::memcpy(&x, b.constData() + second + 183 + 4 * 16, 8);
        QCOMPARE(x, 4 * 1.5 + 1);
        const qint64 name = second + 179 + 4 + 80;
        QCOMPARE(int32At(b, name), 2);
        QCOMPARE(b.mid(name + 4, 4), QByteArray("\xDC\x00\x35\x00", 4));
        QCOMPARE(sectionsOf(b).headerSize, name + 8);

        Document back;
        Image img2;
        ProjectSettings s;
        QVERIFY(loadProject(path("blocks.ver"), back, img2.d, s));
        QVERIFY(back.element(0)->name);
        QCOMPARE(Document::name(*back.element(0)), QString());
        QCOMPARE(Document::vertexCount(*back.element(0)), 0);
        QVERIFY(back.element(0)->vert);
    }

    void longFaceNameIsCut()
    {
        ProjectSettings s;
        s.font.name = QString(300, QLatin1Char('F'));
        Document doc;
        Image img;
        makeImage(img.d, 24, 1, 1);
        QVERIFY(saveProject(path("face.ver"), doc, img.d, s));
        Document doc2;
        Image img2;
        ProjectSettings s2;
        QVERIFY(loadProject(path("face.ver"), doc2, img2.d, s2));
        QCOMPARE(s2.font.name, QString(255, QLatin1Char('F')));
    }

    void topDownRows_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("height");
        QTest::newRow("24 bit, odd height") << 24 << 5;
        QTest::newRow("8 bit, even height") << 8 << 4;
        QTest::newRow("1 bit, one row") << 1 << 1;
    }

    void topDownRows()
    {
        QFETCH(int, bits);
        QFETCH(int, height);
        Document doc;
        Image img;
        makeImage(img.d, bits, 11, height);
        QVERIFY(saveProject(path("bottomup.ver"), doc, img.d, ProjectSettings()));
        const QByteArray bottomUp = fileBytes(path("bottomup.ver"));

        // The same picture as a writer storing the top row first would give it.
        QByteArray topDown = bottomUp;
        const Sections s = sectionsOf(bottomUp);
        setInt32At(topDown, s.header + 8, -height);
        const qint64 row = img.d.bytew;
        for (int y = 0; y < height; ++y)
            std::memcpy(topDown.data() + s.rows + y * row, bottomUp.constData() + s.rows + (height - 1 - y) * row,
                        row);
        QVERIFY(writeBytes(path("topdown.ver"), topDown));

        Document doc2;
        Image img2;
        ProjectSettings s2;
        QString error;
        QVERIFY2(loadProject(path("topdown.ver"), doc2, img2.d, s2, &error), qPrintable(error));
        QCOMPARE(DibHeight(img2.d), height);
        QCOMPARE(getpixel(img2.d, 3, 0), getpixel(img.d, 3, 0));
        QCOMPARE(getpixel(img2.d, 10, height - 1), getpixel(img.d, 10, height - 1));
        QVERIFY(saveProject(path("again.ver"), doc2, img2.d, s2));
        QCOMPARE(fileBytes(path("again.ver")), bottomUp);
    }

    void everyTruncationIsRefused()
    {
        const QByteArray whole = smallProject();
        QVERIFY(!whole.isEmpty());
        Target t;
        prepareTarget(t);
        for (qsizetype length = 0; length < whole.size(); ++length) {
            QString error;
            QVERIFY2(!loadProjectFromBytes(whole.left(length), t.doc, t.image.d, t.settings, &error),
                     qPrintable(QString::number(length)));
            QVERIFY(!error.isEmpty());
        }
        verifyUnchanged(t);
    }

    void truncatedFiles_data()
    {
        QTest::addColumn<int>("length");
        const QByteArray b = smallProject();
        const Sections s = sectionsOf(b);
        const qint64 secondElement = 4 + ElementFileRecordSize + 4 + 2 * 16 + 4 + 4;
        const struct {
            const char *name;
            qint64 at;
        } cuts[] = {
            {"empty", 0},
            {"in the element count", 2},
            {"after the element count", 4},
            {"in a record", 4 + 90},
            {"before a vertex count", 4 + 179},
            {"in the vertices", 4 + 183 + 20},
            {"before a name", 4 + 183 + 32},
            {"in a name", 4 + 183 + 32 + 6},
            {"between elements", secondElement},
            {"before the header size", s.headerSize},
            {"before the colour count", s.headerSize + 4},
            {"before the header", s.header},
            {"in the palette", s.header + 300},
            {"before the rows", s.rows},
            {"in the rows", s.rows + 5},
            {"before the settings", s.settings},
            {"in the settings", s.settings + 17},
            {"before the font", s.font},
            {"in the face name", s.font + 9},
            {"before the style", qint64(b.size()) - 1},
        };
        for (const auto &cut : cuts)
            QTest::newRow(cut.name) << int(cut.at);
    }

    void truncatedFiles()
    {
        QFETCH(int, length);
        const QByteArray whole = smallProject();
        QVERIFY(writeBytes(path("cut.ver"), whole.left(length)));
        Target t;
        prepareTarget(t);
        QString error;
        QVERIFY(!loadProject(path("cut.ver"), t.doc, t.image.d, t.settings, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path("cut.ver"))), qPrintable(error));
        verifyUnchanged(t);
    }

    void hostileCounts_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint32>("value");
        const qint32 big = 0x7FFFFFFF;
        for (const char *field : {"elements", "vertices", "name", "headerSize", "colours"}) {
            QTest::addRow("%s 2^31-1", field) << QString::fromLatin1(field) << big;
            QTest::addRow("%s -1", field) << QString::fromLatin1(field) << -1;
            QTest::addRow("%s min", field) << QString::fromLatin1(field) << qint32(-big - 1);
        }
        QTest::newRow("header size 39") << QStringLiteral("headerSize") << 39;
        QTest::newRow("header size 100000") << QStringLiteral("headerSize") << 100000;
        QTest::newRow("colour count 257") << QStringLiteral("colours") << 257;
        QTest::newRow("width 0") << QStringLiteral("width") << 0;
        QTest::newRow("width -3") << QStringLiteral("width") << -3;
        QTest::newRow("width 2^31-1") << QStringLiteral("width") << big;
        QTest::newRow("height 0") << QStringLiteral("height") << 0;
        QTest::newRow("height min") << QStringLiteral("height") << qint32(-big - 1);
        QTest::newRow("height 100000") << QStringLiteral("height") << 100000;
        QTest::newRow("bit count 0") << QStringLiteral("bits") << 0;
        QTest::newRow("bit count 3") << QStringLiteral("bits") << 3;
        QTest::newRow("bit count 24 with a palette") << QStringLiteral("bits") << 24;
    }

    void hostileCounts()
    {
        QFETCH(QString, field);
        QFETCH(qint32, value);
        QByteArray b = smallProject();
        const Sections s = sectionsOf(b);
        const qint64 firstVertexCount = 4 + ElementFileRecordSize;
        const QHash<QString, qint64> at = {
            {QStringLiteral("elements"), 0},
            {QStringLiteral("vertices"), firstVertexCount},
            {QStringLiteral("name"), firstVertexCount + 4 + 32},
            {QStringLiteral("headerSize"), s.headerSize},
            {QStringLiteral("colours"), s.headerSize + 4},
            {QStringLiteral("width"), s.header + 4},
            {QStringLiteral("height"), s.header + 8},
        };
        if (field == QLatin1String("bits"))
            qToLittleEndian<quint16>(quint16(value), b.data() + s.header + 14);
        else
            setInt32At(b, at.value(field), value);
        verifyRefused(b);
    }

    void hugeHeaderOnSmallFile()
    {
        Document doc;
        Image img;
        makeImage(img.d, 24, 4, 4);
        QVERIFY(saveProject(path("huge.ver"), doc, img.d, ProjectSettings()));
        QByteArray b = fileBytes(path("huge.ver"));
        setInt32At(b, 16, 100000);
        setInt32At(b, 20, 100000);
        QVERIFY(writeBytes(path("huge.ver"), b));
        Target t;
        prepareTarget(t);
        QString error;
        QVERIFY(!loadProject(path("huge.ver"), t.doc, t.image.d, t.settings, &error));
        QVERIFY(!error.isEmpty());
        verifyUnchanged(t);
    }

    void randomBytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<quint32>("seed");
        for (int size : {1, 3, 50, 187, 1000, 65536})
            for (quint32 seed : {1u, 2u, 3u})
                QTest::addRow("%d bytes, seed %u", size, seed) << size << seed;
    }

    void randomBytes()
    {
        QFETCH(int, size);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        QByteArray b(size, Qt::Uninitialized);
        for (char &c : b)
            c = char(random.bounded(256));
        verifyRefused(b);
    }

    void emptyAndMissingFiles()
    {
        QVERIFY(writeBytes(path("empty.ver"), QByteArray()));
        Target t;
        prepareTarget(t);
        QString error;
        QVERIFY(!loadProject(path("empty.ver"), t.doc, t.image.d, t.settings, &error));
        QVERIFY(error.contains(QStringLiteral("empty.ver")));
        error.clear();
        QVERIFY(!loadProject(path("missing.ver"), t.doc, t.image.d, t.settings, &error));
        QVERIFY(error.contains(QStringLiteral("missing.ver")));
        verifyUnchanged(t);
    }

    void unwritableFolder_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("parent is a file") << QStringLiteral("plain/project.ver");
        QTest::newRow("proc") << QStringLiteral("/proc/tesselon-project.ver");
        QTest::newRow("a folder") << QStringLiteral(".");
    }

    void unwritableFolder()
    {
        QFETCH(QString, target);
        QVERIFY(writeBytes(path("plain"), "x"));
        const QString file = target.startsWith(QLatin1Char('/')) ? target : path(target);
        Document doc;
        Image img;
        makeImage(img.d, 24, 2, 2);
        QString error;
        QVERIFY(!saveProject(file, doc, img.d, ProjectSettings(), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(path("plain")), QByteArray("x"));
    }

    void fullDiskKeepsOldFile()
    {
        Document doc;
        Image small;
        makeImage(small.d, 24, 2, 2);
        QVERIFY(saveProject(path("keep.ver"), doc, small.d, ProjectSettings()));
        const QByteArray old = fileBytes(path("keep.ver"));

        makeDocument(doc);
        Image big;
        makeImage(big.d, 24, 300, 300);
        rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 64 * 1024;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QString error;
        const bool ok = saveProject(path("keep.ver"), doc, big.d, ProjectSettings(), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!ok);
        QVERIFY2(error.contains(QStringLiteral("keep.ver")), qPrintable(error));
        QCOMPARE(fileBytes(path("keep.ver")), old);
        const QStringList left = QDir(dir.path()).entryList({QStringLiteral("keep.ver*")}, QDir::Files);
        QCOMPARE(left, QStringList{QStringLiteral("keep.ver")});
    }

    void noImageIsNotSaved()
    {
        Document doc;
        dib none;
        QString error;
        QVERIFY(!saveProject(path("none.ver"), doc, none, ProjectSettings(), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path("none.ver")));
    }

    // A file put together field by field from the layout, not by our writer.
    void handBuiltFile()
    {
        auto i32 = [](qint32 v) {
            QByteArray b(4, Qt::Uninitialized);
            qToLittleEndian(v, b.data());
            return b;
        };
        auto f64 = [](double v) { return QByteArray(reinterpret_cast<const char *>(&v), 8); };
        QByteArray record(ElementFileRecordSize, '\0');
        setInt32At(record, 8, TypAngle);
        std::memcpy(record.data() + 36, "\0\0\0\0\0\0\x24\x40", 8); // x1 = 10
        record[166] = 1;                                           // selected
        std::memset(record.data() + 171, 0x5A, 8);                 // references of the writer
        const QString name = QStringLiteral("Winkel α");
        QByteArray b = i32(1) + record + i32(3) + f64(1) + f64(2) + f64(3) + f64(4) + f64(5) + f64(6) + i32(name.size())
                       + QByteArray(reinterpret_cast<const char *>(name.utf16()), 2 * name.size());
        b += i32(48) + i32(2);
        QByteArray header(40, '\0');
        setInt32At(header, 0, 40);
        setInt32At(header, 4, 9);  // width: 9 bits, padded to 4 bytes a row
        setInt32At(header, 8, 2);
        header[12] = 1;
        header[14] = 1;
        setInt32At(header, 20, 8);
        setInt32At(header, 32, 2);
        b += header + QByteArray("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
        b += QByteArray("\x80\x00\x00\x00\x00\x80\x00\x00", 8); // bottom row: x = 0 set; top row: x = 8 set
        b += i32(0x00FF00) + f64(1.5) + f64(20) + QByteArray("\x00\x01\x01\x00\x01\x00", 6) + f64(50);
        b += QByteArray("\x00", 1) + i32(0x123456) + QByteArray("\x05", 1)
             + QByteArray("A\0r\0i\0a\0l\0", 10) + QByteArray("\x01", 1) + i32(120) + i32(9) + QByteArray("\x03", 1);
        QVERIFY(writeBytes(path("hand.ver"), b));

        Document doc;
        Image img;
        ProjectSettings s;
        QString error;
        QVERIFY2(loadProject(path("hand.ver"), doc, img.d, s, &error), qPrintable(error));
        QCOMPARE(doc.count(), 1);
        const Telemente &e = *doc.element(0);
        const qint32 typ = e.typ;
        const double x1 = e.x1; // the record is packed: compare copies, not references into it
        QCOMPARE(typ, qint32(TypAngle));
        QCOMPARE(x1, 10.0);
        QVERIFY(e.selected);
        QCOMPARE(Document::vertexCount(e), 3);
        QCOMPARE(Document::vertex(e.vert, 2)->y, 6.0);
        QCOMPARE(Document::name(e), name);
        QCOMPARE(DibWidth(img.d), 9);
        QCOMPARE(DibHeight(img.d), 2);
        QCOMPARE(getpixel(img.d, 0, 0), 1u);
        QCOMPARE(getpixel(img.d, 8, 0), 0u);
        QCOMPARE(getpixel(img.d, 8, 1), 1u);
        QCOMPARE(img.d.pmi->bmiColors[1].rgbRed, quint8(0xFF));
        QCOMPARE(s.colour, 0x00FF00);
        QCOMPARE(s.linewidth, 1.5);
        QCOMPARE(s.arrowlength, 20.0);
        QVERIFY(!s.showScaleLine && s.showResults && s.outlineText && !s.pointerAfterMeasuring && s.askName
                && !s.adaptToImage);
        QCOMPARE(s.zoom, 50.0);
        FontRecord f;
        f.charset = 0;
        f.colour = 0x123456;
        f.name = QStringLiteral("Arial");
        f.pitch = 1;
        f.pixelsPerInch = 120;
        f.size = 9;
        f.style = FontRecord::Bold | FontRecord::Italic;
        QCOMPARE(s.font, f);

        // Written back, only the eight bytes of the writer's references may differ.
        QVERIFY(saveProject(path("hand2.ver"), doc, img.d, s));
        QByteArray again = fileBytes(path("hand2.ver"));
        QCOMPARE(again.size(), b.size());
        std::memset(again.data() + 4 + 171, 0x5A, 8);
        QCOMPARE(again, b);
    }

    void flagBytesAreNormalised()
    {
        QByteArray b = smallProject();
        b[4 + offsetof(Telemente, selected)] = char(7);
        b[sectionsOf(b).settings + 21] = char(0x80);
        Document doc;
        Image img;
        ProjectSettings s;
        QVERIFY(loadProjectFromBytes(b, doc, img.d, s));
        const unsigned char raw = reinterpret_cast<const unsigned char *>(doc.element(0))[offsetof(Telemente, selected)];
        QCOMPARE(int(raw), 1);
        QVERIFY(s.showResults);
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"

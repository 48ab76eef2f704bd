#include "headlessrun.h"
#include "support/xlsxreader.h"
#include "core/csvexport.h"
#include "core/measurementchunks.h"
#include "core/dib.h"
#include "core/elements.h"
#include "core/projectfile.h"
#include "support/testfiles.h"

#include <QCryptographicHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

namespace {

// The picture of the generated project: one colour, stored blue, green, red.
const QRgb Picture = qRgb(180, 220, 200);
const QString RoomName = QStringLiteral("Küche, \"groß\"\nNord");

using Run = HeadlessRun;

Run tesselon(const QStringList &arguments)
{
    return runHeadless(arguments);
}

Telemente *add(Document &doc, int typ, QPointF p1, QPointF p2, QPointF p3 = {}, QPointF p4 = {})
{
    Telemente *e = doc.appendElement();
    e->typ = typ;
    e->x1 = p1.x();
    e->y1 = p1.y();
    e->x2 = p2.x();
    e->y2 = p2.y();
    e->x3 = p3.x();
    e->y3 = p3.y();
    e->x4 = p4.x();
    e->y4 = p4.y();
    return e;
}

// A 200 x 150 picture with a closed chain of lines, a curve, an ellipse, a named rectangle, a
// distance and a polygon, drawn in blue at zoom 200.
bool writeProject(const QString &path, dib &image, ProjectSettings &settings)
{
    if (!newdib(image, 200, 150, 24, nullptr, 0))
        return false;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            std::uint8_t *px = dibRow(image, y) + 3 * x;
            px[0] = static_cast<std::uint8_t>(qBlue(Picture));
            px[1] = static_cast<std::uint8_t>(qGreen(Picture));
            px[2] = static_cast<std::uint8_t>(qRed(Picture));
        }
    Document doc;
    add(doc, TypLine, {10, 20}, {60, 20});
    add(doc, TypLine, {60, 20}, {60, 50})->nr = 1;
    Telemente *last = add(doc, TypLine, {60, 50}, {10, 50});
    last->nr = 2;
    last->closed = true;
    add(doc, TypQuadCurve, {80, 20}, {140, 20}, {110, 50});
    add(doc, TypEllipse, {150, 10}, {190, 40});
    Telemente *room = add(doc, TypRectangle, {10, 70}, {40, 90});
    Document::setName(*room, RoomName);
    add(doc, TypDistance, {60, 80}, {180, 80}, {120, 70});
    Telemente *polygon = add(doc, TypPolygon, {100, 100}, {100, 100});
    for (const QPointF p : {QPointF(100, 100), QPointF(140, 100), QPointF(140, 140), QPointF(100, 100)})
        doc.appendVertex(p.x(), p.y());
    // Doubles that a short decimal text would change.
    polygon->ox1 = 0.1 + 0.2;
    polygon->oy1 = 5e-324;
    polygon->ox2 = std::numeric_limits<double>::max();
    polygon->oy2 = -0.0;
    settings.colour = 0xFF0000; // blue as 0x00BBGGRR
    settings.linewidth = 3;
    settings.zoom = 200;
    settings.showResults = false;
    return saveProject(path, doc, image, settings);
}

QColor pixelOf(const QImage &image, int x, int y) { return image.pixelColor(x, y); }
bool isBlue(const QColor &c) { return c.blue() > 200 && c.red() < 70 && c.green() < 70; }
bool isPicture(const QColor &c)
{
    return qAbs(c.red() - qRed(Picture)) < 12 && qAbs(c.green() - qGreen(Picture)) < 12
        && qAbs(c.blue() - qBlue(Picture)) < 12;
}
bool isWhite(const QColor &c) { return c.red() > 240 && c.green() > 240 && c.blue() > 240; }

bool runTool(const QString &tool, const QStringList &arguments, QByteArray *out = nullptr)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << tool << process.readAllStandardError();
        return false;
    }
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void help();
    void version();
    void usageErrors_data();
    void usageErrors();
    void unreadableInput_data();
    void unreadableInput();
    void unwritableOutput_data();
    void unwritableOutput();
    void dumpFields();
    void dumpNumbersReadBackExactly();
    void exportVerKeepsTheProject();
    void exportCsv();
    void storedScale();
    void measurementChunks();
    void negativeScale();
    void exportCsvWithSemicolon();
    void exportXlsx();
    void exportDxf();
    void exportEmf();
    void exportSvg();
    void exportPng_data();
    void exportPng();
    void exportPdf();
    void thumbnail_data();
    void thumbnail();
    void sampleProjectOfTheDemonstration();

private:
    QString out(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString project;
    dib image;
    ProjectSettings settings;
};

void TestCommandLine::initTestCase()
{
    QVERIFY2(QFileInfo::exists(program), qPrintable(program + QStringLiteral(" has not been built")));
    QVERIFY(dir.isValid());
    project = out(QStringLiteral("plan.ver"));
    QVERIFY(writeProject(project, image, settings));
}

void TestCommandLine::cleanupTestCase()
{
    deldib(image);
}

void TestCommandLine::help()
{
    const Run run = tesselon({QStringLiteral("--help"), QStringLiteral("--language"), QStringLiteral("1")});
    QCOMPARE(run.exitCode, 0);
    for (const char *part : {"--dump", "--export", "--pieces", "--scale", "--decimals", "--language", "--no-image"})
        QVERIFY2(run.out.contains(part), part);
}

void TestCommandLine::version()
{
    const Run run = tesselon({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^tesselon \\d+\\.\\d+\\S*\n$")).match(QString::fromUtf8(run.out)).hasMatch(),
             run.out.constData());
}

void TestCommandLine::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QString p = QStringLiteral("PROJECT");
    const QString o = QStringLiteral("OUT");
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
    QTest::newRow("no command") << QStringList{"--pieces", "4"};
    QTest::newRow("unknown format") << QStringList{"--export", "gif", p, o};
    QTest::newRow("format missing") << QStringList{"--export"};
    QTest::newRow("output missing") << QStringList{"--export", "csv", p};
    QTest::newRow("too many files") << QStringList{"--export", "csv", p, o, o};
    QTest::newRow("dump without file") << QStringList{"--dump"};
    QTest::newRow("dump and export") << QStringList{"--dump", p, "--export", "csv", p, o};
    QTest::newRow("pieces 0") << QStringList{"--export", "dxf", p, o, "--pieces", "0"};
    QTest::newRow("pieces 21") << QStringList{"--export", "dxf", p, o, "--pieces", "21"};
    QTest::newRow("pieces not a number") << QStringList{"--export", "dxf", p, o, "--pieces", "four"};
    QTest::newRow("pieces without value") << QStringList{"--export", "dxf", p, o, "--pieces"};
    QTest::newRow("scale of 0 pixels") << QStringList{"--export", "csv", p, o, "--scale", "0", "1", "m"};
    QTest::newRow("scale with comma") << QStringList{"--export", "csv", p, o, "--scale", "1,5", "1", "m"};
    QTest::newRow("scale short") << QStringList{"--export", "csv", p, o, "--scale", "1", "1"};
    QTest::newRow("decimals short") << QStringList{"--export", "csv", p, o, "--decimals", "2"};
    QTest::newRow("language 99") << QStringList{"--export", "csv", p, o, "--language", "99"};
    QTest::newRow("unknown csv style") << QStringList{"--export", "csv", p, o, "--csv-style", "tab"};
    QTest::newRow("thumbnail without size") << QStringList{"--thumbnail", p, o};
    QTest::newRow("thumbnail of size 0") << QStringList{"--thumbnail", p, o, "0"};
}

void TestCommandLine::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Run run = tesselon(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(QStringLiteral("--export")), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("OUT")));
}

void TestCommandLine::unreadableInput_data()
{
    QTest::addColumn<QString>("format");
    for (const char *format : {"csv", "dxf", "emf", "svg", "png", "pdf", "ver"})
        QTest::newRow(format) << QString::fromLatin1(format);
    QTest::newRow("dump") << QString();
}

void TestCommandLine::unreadableInput()
{
    QFETCH(QString, format);
    QFile original(project);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    const QString damaged = out(QStringLiteral("damaged.ver"));
    QFile cut(damaged);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();

    for (const QString &input : {damaged, out(QStringLiteral("missing.ver")), dir.path()}) {
        const QString target = out(QStringLiteral("result.") + (format.isEmpty() ? QStringLiteral("json") : format));
        const Run run = format.isEmpty() ? tesselon({QStringLiteral("--dump"), input})
                                         : tesselon({QStringLiteral("--export"), format, input, target});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        // One line naming the file.
        QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY2(run.err.contains(input), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(target));
    }
}

void TestCommandLine::unwritableOutput_data()
{
    QTest::addColumn<QString>("format");
    for (const char *format : {"csv", "dxf", "emf", "svg", "png", "pdf", "ver"})
        QTest::newRow(format) << QString::fromLatin1(format);
}

void TestCommandLine::unwritableOutput()
{
    QFETCH(QString, format);
    const QString inMissingFolder = out(QStringLiteral("no/such/folder/out.") + format);
    const QString aFolder = out(QStringLiteral("folder.") + format);
    QVERIFY(QDir().mkpath(aFolder));
    for (const QString &target : {inMissingFolder, aFolder}) {
        const Run run = tesselon({QStringLiteral("--export"), format, project, target});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY2(run.err.contains(target), qPrintable(run.err));
    }
    QVERIFY(!QFileInfo::exists(inMissingFolder));
    QVERIFY(QFileInfo(aFolder).isDir());
    // Nothing half-written is left beside the targets.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp"), QStringLiteral("*.*.*")}, QDir::Files),
             QStringList());
}

void TestCommandLine::dumpFields()
{
    const Run run = tesselon({QStringLiteral("--dump"), project});
    QCOMPARE(run.exitCode, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    const QJsonArray elements = json[QStringLiteral("elements")].toArray();
    QCOMPARE(elements.size(), 8);
    const QJsonObject room = elements[5].toObject();
    QCOMPARE(room[QStringLiteral("typ")].toInt(), 55);
    QCOMPARE(room[QStringLiteral("name")].toString(), RoomName);
    QCOMPARE(room[QStringLiteral("x2")].toDouble(), 40.0);
    // Stored values as the file holds them: this project was never repainted.
    QCOMPARE(room[QStringLiteral("lang")].toDouble(), 0.0);
    const QStringList fields = {"dragvertnr", "nr", "typ", "lang", "flaeche", "winkel", "x1", "y1", "x2", "y2",
                                "x3", "y3", "x4", "y4", "ox1", "oy1", "ox2", "oy2", "ox3", "oy3", "ox4", "oy4",
                                "closed", "dragvert", "selected", "dragit1", "dragit2", "dragit3", "dragit4",
                                "vertices", "name"};
    QCOMPARE(QStringList(room.keys()).size(), fields.size());
    for (const QString &field : fields)
        QVERIFY2(room.contains(field), qPrintable(field));
    QCOMPARE(elements[2].toObject()[QStringLiteral("closed")].toBool(), true);
    QCOMPARE(elements[2].toObject()[QStringLiteral("nr")].toInt(), 2);
    const QJsonArray vertices = elements[7].toObject()[QStringLiteral("vertices")].toArray();
    QCOMPARE(vertices.size(), 4);
    QCOMPARE(vertices[1].toArray(), (QJsonArray{140, 100}));

    const QJsonObject img = json[QStringLiteral("image")].toObject();
    QCOMPARE(img[QStringLiteral("width")].toInt(), 200);
    QCOMPARE(img[QStringLiteral("height")].toInt(), 150);
    QCOMPARE(img[QStringLiteral("bitcount")].toInt(), 24);
    QCOMPARE(img[QStringLiteral("headersize")].toInt(), 40);
    QCOMPARE(img[QStringLiteral("colors")].toInt(), 0);
    const QByteArray rows(reinterpret_cast<const char *>(image.poi), qsizetype(image.bytew) * 150);
    QCOMPARE(img[QStringLiteral("rows_sha256")].toString(),
             QString::fromLatin1(QCryptographicHash::hash(rows, QCryptographicHash::Sha256).toHex()));

    const QJsonObject s = json[QStringLiteral("settings")].toObject();
    QCOMPARE(s[QStringLiteral("color")].toInt(), 0xFF0000);
    QCOMPARE(s[QStringLiteral("linewidth")].toDouble(), 3.0);
    QCOMPARE(s[QStringLiteral("arrowlength")].toDouble(), 30.0);
    QCOMPARE(s[QStringLiteral("flags")].toArray(), (QJsonArray{true, false, false, false, true, true}));
    QCOMPARE(s[QStringLiteral("zoom")].toDouble(), 200.0);

    const QJsonObject font = json[QStringLiteral("font")].toObject();
    QCOMPARE(font[QStringLiteral("name")].toString(), settings.font.name);
    QCOMPARE(font[QStringLiteral("size")].toInt(), settings.font.size);
    QCOMPARE(font[QStringLiteral("ppi")].toInt(), settings.font.pixelsPerInch);
    QCOMPARE(font[QStringLiteral("charset")].toInt(), settings.font.charset);
    QCOMPARE(font[QStringLiteral("color")].toInt(), settings.font.colour);
    QCOMPARE(font[QStringLiteral("pitch")].toInt(), settings.font.pitch);
    QCOMPARE(font[QStringLiteral("style")].toInt(), settings.font.style);
}

void TestCommandLine::dumpNumbersReadBackExactly()
{
    const Run run = tesselon({QStringLiteral("--dump"), project});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject polygon = QJsonDocument::fromJson(run.out).object()[QStringLiteral("elements")][7].toObject();
    QCOMPARE(polygon[QStringLiteral("ox1")].toDouble(), 0.1 + 0.2);
    QCOMPARE(polygon[QStringLiteral("oy1")].toDouble(), 5e-324);
    QCOMPARE(polygon[QStringLiteral("ox2")].toDouble(), std::numeric_limits<double>::max());
    // Qt's reader keeps no sign of zero; Python's does, when it is there.
    QVERIFY(run.out.contains("\"oy2\": -0.0"));
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        return;
    const QString dumpFile = out(QStringLiteral("dump.json"));
    QFile file(dumpFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(run.out);
    file.close();
    QByteArray printed;
    QVERIFY(runTool(python, {QStringLiteral("-c"),
                             QStringLiteral("import json,sys; e=json.load(open(sys.argv[1]))['elements'][7]; "
                                            "print(repr(e['ox1']), repr(e['oy1']), repr(e['oy2']))"),
                             dumpFile},
                    &printed));
    QCOMPARE(printed.trimmed(), QByteArray("0.30000000000000004 5e-324 -0.0"));
}

void TestCommandLine::exportVerKeepsTheProject()
{
    const QString copy = out(QStringLiteral("copy.ver"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("ver"), project, copy}).exitCode, 0);
    const Run before = tesselon({QStringLiteral("--dump"), project});
    const Run after = tesselon({QStringLiteral("--dump"), copy});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out, before.out);
    // A project without an extension block stays without one.
    QCOMPARE(fileBytes(copy), fileBytes(project));
}

void TestCommandLine::exportCsv()
{
    const QString csv = out(QStringLiteral("results.csv"));
    const Run run = tesselon({QStringLiteral("--export"), QStringLiteral("csv"), project, csv, QStringLiteral("--scale"),
                              QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("--decimals"),
                              QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--language"), QStringLiteral("0")});
    QCOMPARE(run.exitCode, 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> rows;
    QString error;
    QVERIFY2(readCsv(file.readAll(), rows, &error), qPrintable(error));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0], (QStringList{"Typ", "Bezeichnung", "Länge/Umfang", "Flächeninhalt", "Winkel", "Einheit"}));
    QCOMPARE(rows[1].first(), QStringLiteral("Ellipse"));
    // The rectangle of 30 x 20 pixels at 2 pixels per metre, computed as a repaint would.
    QCOMPARE(rows[2], (QStringList{"Rechteck", RoomName, "50.000", "150.000", "", "m"}));
    QCOMPARE(rows[3].mid(0, 3), (QStringList{"Abstand", "", "60.000"}));
    QCOMPARE(rows[4].first(), QStringLiteral("Polygon"));
}

void TestCommandLine::storedScale()
{
    const QString scaled = out(QStringLiteral("scaled.ver"));
    dib picture;
    ProjectSettings stored;
    stored.extension.setScale({2, 1, QStringLiteral("m")});
    QVERIFY(writeProject(scaled, picture, stored));
    deldib(picture);

    const Run dump = tesselon({QStringLiteral("--dump"), scaled});
    QCOMPARE(dump.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(dump.out).object();
    QCOMPARE(json[QStringLiteral("scale")].toObject(),
             (QJsonObject{{"mas1", 2}, {"mas2", 1}, {"einh", "m"}}));
    QVERIFY(!QJsonDocument::fromJson(tesselon({QStringLiteral("--dump"), project}).out).object().contains("scale"));

    // The same rows as with "--scale 2 1 m".
    const QString csv = out(QStringLiteral("stored.csv"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("csv"), scaled, csv, QStringLiteral("--decimals"),
                       QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--language"), QStringLiteral("0")})
                 .exitCode,
             0);
    QList<QStringList> rows;
    QVERIFY(readCsv(fileBytes(csv), rows, nullptr));
    QCOMPARE(rows[2], (QStringList{"Rechteck", RoomName, "50.000", "150.000", "", "m"}));

    const QString copy = out(QStringLiteral("scaled-copy.ver"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("ver"), scaled, copy}).exitCode, 0);
    QCOMPARE(fileBytes(copy), fileBytes(scaled));
    // An explicit scale is kept in the written project.
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("ver"), project, copy, QStringLiteral("--scale"),
                       QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("cm")})
                 .exitCode,
             0);
    const QJsonObject rescaled = QJsonDocument::fromJson(tesselon({QStringLiteral("--dump"), copy}).out).object();
    QCOMPARE(rescaled[QStringLiteral("scale")].toObject(), (QJsonObject{{"mas1", 3}, {"mas2", 4}, {"einh", "cm"}}));
}

// A separate X/Y scale of 0.5 m per pixel across and 0.25 m down, one scale check and the zoom
// of every element: the dump lists them, the CSV uses the scale and adds sides and "±" on request.
void TestCommandLine::measurementChunks()
{
    const QString stretched = out(QStringLiteral("stretched.ver"));
    dib picture;
    ProjectSettings stored;
    stored.extension.setScale({1, 0.5, QStringLiteral("m")});
    setAxisLines(stored.extension, std::array<ReferenceLine, 2>{ReferenceLine{{0, 0}, {100, 0}, 50, 100},
                                                                ReferenceLine{{0, 0}, {0, 100}, 25, 200}});
    setScaleChecks(stored.extension, {ReferenceLine{{10, 10}, {110, 10}, 50.5, 400}});
    PayloadWriter zooms;
    zooms.int32(8);
    for (int i = 0; i < 8; ++i)
        zooms.float64(i == 7 ? 400 : 0);
    stored.extension.setChunk(ChunkId::PlacementZoom, zooms.bytes());
    QVERIFY(writeProject(stretched, picture, stored));
    deldib(picture);

    const Run dump = tesselon({QStringLiteral("--dump"), stretched});
    QCOMPARE(dump.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(dump.out).object();
    const QJsonObject axes = json[QStringLiteral("axis_scale")].toObject();
    QCOMPARE(axes[QStringLiteral("x_factor")].toDouble(), 0.5);
    QCOMPARE(axes[QStringLiteral("y_factor")].toDouble(), 0.25);
    QCOMPARE(axes[QStringLiteral("y_line")].toObject()[QStringLiteral("zoom")].toDouble(), 200.0);
    QCOMPARE(json[QStringLiteral("scale_checks")].toArray().at(0).toObject()[QStringLiteral("real")].toDouble(), 50.5);
    QCOMPARE(json[QStringLiteral("placement_zoom")].toArray().at(7).toDouble(), 400.0);

    const QString csv = out(QStringLiteral("stretched.csv"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("csv"), stretched, csv, QStringLiteral("--segments"),
                       QStringLiteral("--uncertainty"), QStringLiteral("--decimals"), QStringLiteral("0"),
                       QStringLiteral("3"), QStringLiteral("--language"), QStringLiteral("0")})
                 .exitCode,
             0);
    QList<QStringList> rows;
    QVERIFY(readCsv(fileBytes(csv), rows, nullptr));
    QCOMPARE(rows[0].mid(5), (QStringList{"Einheit", "± Länge/Umfang", "± Flächeninhalt", "± Winkel"}));
    // 30 x 20 pixels are 15 m x 5 m.
    QCOMPARE(rows[2].mid(0, 6), (QStringList{"Rechteck", RoomName, "40.000", "75.000", "", "m"}));
    QCOMPARE(rows.size(), 1 + 4 + 3);
    QCOMPARE(rows[4].first(), QStringLiteral("Polygon"));
    QCOMPARE(rows[5].mid(0, 3), (QStringList{"Segment 1", "", "20.000"}));
    QCOMPARE(rows[6].mid(2, 3), (QStringList{"10.000", "", "90.000"}));
    QCOMPARE(rows[7].at(2), QStringLiteral("22.361"));
    bool numeric = false;
    QVERIFY(rows[5].at(6).toDouble(&numeric) > 0 && numeric);

    // Without the options the table is as before.
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("csv"), stretched, csv}).exitCode, 0);
    QVERIFY(readCsv(fileBytes(csv), rows, nullptr));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0].size(), 6);
}

void TestCommandLine::negativeScale()
{
    const QString csv = out(QStringLiteral("negative.csv"));
    const Run run = tesselon({QStringLiteral("--export"), QStringLiteral("csv"), project, csv, QStringLiteral("--scale"),
                              QStringLiteral("0.75"), QStringLiteral("-2.5"), QStringLiteral("Fuß"),
                              QStringLiteral("--decimals"), QStringLiteral("-1"), QStringLiteral("2")});
    QCOMPARE(run.exitCode, 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> rows;
    QVERIFY(readCsv(file.readAll(), rows, nullptr));
    // 100 pixels of perimeter x -2.5 / 0.75; the area's factor is squared.
    QCOMPARE(rows[2].at(2), QStringLiteral("-333.33"));
    QCOMPARE(rows[2].at(3), QStringLiteral("6666.67"));
    QCOMPARE(rows[2].at(5), QStringLiteral("Fuß"));
}

void TestCommandLine::exportCsvWithSemicolon()
{
    const QString csv = out(QStringLiteral("semicolon.csv"));
    const Run run = tesselon({QStringLiteral("--export"), QStringLiteral("csv"), project, csv, QStringLiteral("--scale"),
                              QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("--decimals"),
                              QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--language"), QStringLiteral("0"),
                              QStringLiteral("--csv-style"), QStringLiteral("semicolon")});
    QCOMPARE(run.exitCode, 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> rows;
    QVERIFY(readCsv(file.readAll(), rows, nullptr, CsvStyle::Semicolon));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[2], (QStringList{"Rechteck", RoomName, "50,000", "150,000", "", "m"}));
}

void TestCommandLine::exportXlsx()
{
    const QString xlsx = out(QStringLiteral("results.xlsx"));
    const Run run = tesselon({QStringLiteral("--export"), QStringLiteral("xlsx"), project, xlsx, QStringLiteral("--scale"),
                              QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("m"), QStringLiteral("--decimals"),
                              QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("--language"), QStringLiteral("1")});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject book = readXlsx(xlsx);
    if (book.isEmpty())
        QSKIP("python3 cannot read the workbook here");
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray(), (QJsonArray{"Results", "Project"}));
    const QJsonObject cells = book.value(QStringLiteral("Results")).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(cells.value(QStringLiteral("A1")).toArray(), (QJsonArray{"s", "Type", "General", true}));
    QCOMPARE(cells.value(QStringLiteral("C3")).toArray(), (QJsonArray{"n", "50", "0.000", false}));
    const QJsonObject source = book.value(QStringLiteral("Project")).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(source.value(QStringLiteral("B1")).toArray().at(1).toString(), QStringLiteral("plan.ver"));
    QCOMPARE(source.value(QStringLiteral("B2")).toArray().at(1).toString(), QStringLiteral("2 Pixels = 1 m"));
}

void TestCommandLine::exportDxf()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    for (const int pieces : {1, 4}) {
        const QString dxf = out(QStringLiteral("lines%1.dxf").arg(pieces));
        const Run run = tesselon({QStringLiteral("--export"), QStringLiteral("dxf"), project, dxf,
                                  QStringLiteral("--pieces"), QString::number(pieces)});
        QCOMPARE(run.exitCode, 0);
        QFile file(dxf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith(" 0\r\nSECTION\r\n"));
        QVERIFY(text.endsWith("  0\r\nENDSEC\r\n  0\r\nEOF\r\n"));
        // The chain (three segments, six vertices), the curve (pieces x 2) and the ellipse
        // (16 x pieces x 2).
        QCOMPARE(text.count("\r\nVERTEX\r\n"), 6 + 2 * pieces + 32 * pieces);
        if (python.isEmpty())
            continue;
        QByteArray printed;
        const bool read = runTool(python,
                                  {QStringLiteral("-c"),
                                   QStringLiteral("import ezdxf,sys; d=ezdxf.readfile(sys.argv[1]); "
                                                  "print(sum(len(list(p.vertices)) for p in d.modelspace().query('POLYLINE')))"),
                                   dxf},
                                  &printed);
        if (!read)
            QSKIP("python3 cannot read DXF here (is python3-ezdxf installed?)");
        QCOMPARE(printed.trimmed().toInt(), 6 + 2 * pieces + 32 * pieces);
    }
}

void TestCommandLine::exportEmf()
{
    const QString emf = out(QStringLiteral("lines.emf"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("emf"), project, emf}).exitCode, 0);
    QFile file(emf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 88);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData()), 1u);
    QCOMPARE(bytes.mid(40, 4), QByteArray(" EMF"));
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 48), bytes.size());
    // At the project's zoom of 200 the chain starts at (20, 40); the pen is 6 wide.
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 8), 17);
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 12), 17);
}

void TestCommandLine::exportSvg()
{
    const QString svg = out(QStringLiteral("lines.svg"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("svg"), project, svg}).exitCode, 0);
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("viewBox=\"0 0 200 150\""));
    const QString rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed");
    const QString png = out(QStringLiteral("svg.png"));
    QVERIFY(runTool(rsvg, {QStringLiteral("-w"), QStringLiteral("200"), QStringLiteral("-h"), QStringLiteral("150"),
                           QStringLiteral("-b"), QStringLiteral("white"), QStringLiteral("-o"), png, svg}));
    const QImage picture(png);
    QVERIFY(isBlue(pixelOf(picture, 35, 20)));
    // The chain closing runs up the left side.
    QVERIFY(isBlue(pixelOf(picture, 10, 35)));
    // No picture in the SVG.
    QVERIFY(isWhite(pixelOf(picture, 100, 5)));
}

void TestCommandLine::exportPng_data()
{
    QTest::addColumn<bool>("withImage");
    QTest::newRow("with the picture") << true;
    QTest::newRow("--no-image") << false;
}

void TestCommandLine::exportPng()
{
    QFETCH(bool, withImage);
    const QString png = out(withImage ? QStringLiteral("with.png") : QStringLiteral("without.png"));
    QStringList arguments{QStringLiteral("--export"), QStringLiteral("png"), project, png};
    if (!withImage)
        arguments.append(QStringLiteral("--no-image"));
    QCOMPARE(tesselon(arguments).exitCode, 0);
    QImage picture;
    QVERIFY(picture.load(png, "png"));
    // The project's zoom of 200.
    QCOMPARE(picture.size(), QSize(400, 300));
    QVERIFY(isBlue(pixelOf(picture, 70, 40)));
    const QColor background = pixelOf(picture, 200, 5);
    QVERIFY2(withImage ? isPicture(background) : isWhite(background), qPrintable(background.name()));
    // No point mark where the chain starts.
    const QColor mark = pixelOf(picture, 16, 36);
    QVERIFY2(withImage ? isPicture(mark) : isWhite(mark), qPrintable(mark.name()));
}

void TestCommandLine::exportPdf()
{
    for (const bool withImage : {true, false}) {
        const QString pdf = out(withImage ? QStringLiteral("with.pdf") : QStringLiteral("without.pdf"));
        QStringList arguments{QStringLiteral("--export"), QStringLiteral("pdf"), project, pdf};
        if (!withImage)
            arguments.append(QStringLiteral("--no-image"));
        QCOMPARE(tesselon(arguments).exitCode, 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF-"));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm is not installed");
        // One image pixel is one point: at 72 dots per inch the page is the picture's size.
        const QString prefix = out(withImage ? QStringLiteral("pdfwith") : QStringLiteral("pdfwithout"));
        QVERIFY(runTool(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                   QStringLiteral("-singlefile"), pdf, prefix}));
        const QImage page(prefix + QStringLiteral(".png"));
        QCOMPARE(page.size(), QSize(200, 150));
        QVERIFY2(isBlue(pixelOf(page, 35, 20)), qPrintable(pixelOf(page, 35, 20).name()));
        const QColor background = pixelOf(page, 100, 5);
        QVERIFY2(withImage ? isPicture(background) : isWhite(background), qPrintable(background.name()));
    }
}

void TestCommandLine::thumbnail_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("reduced to the size") << "100" << QSize(100, 75);
    QTest::newRow("never enlarged") << "1000" << QSize(200, 150);
    QTest::newRow("below one percent") << "1" << QSize(1, 1);
}

void TestCommandLine::thumbnail()
{
    QFETCH(QString, size);
    QFETCH(QSize, expected);
    const QString png = out(QStringLiteral("thumbnail%1.png").arg(size));
    const Run run = tesselon({QStringLiteral("--thumbnail"), project, png, size});
    QCOMPARE(run.exitCode, 0);
    QImage picture;
    QVERIFY(picture.load(png, "png"));
    QCOMPARE(picture.size(), expected);
    if (expected.width() < 100)
        return;
    // The picture with the chain's blue top line from (10, 20) to (60, 20), in proportion.
    const double f = expected.width() / 200.0;
    QVERIFY(isPicture(pixelOf(picture, qRound(180 * f), qRound(120 * f))));
    QVERIFY(isBlue(pixelOf(picture, qRound(30 * f), qRound(20 * f))));
}

void TestCommandLine::sampleProjectOfTheDemonstration()
{
    const QString samplePlan = QStringLiteral(TESSELON_BINARY_DIR "/resources/sample-plan.png");
    if (!QFileInfo::exists(samplePlan))
        QSKIP("the sample plan has not been drawn");
    const QString sample = out(QStringLiteral("sample.ver"));
    QCOMPARE(tesselon({QStringLiteral("--demo"), samplePlan, sample}).exitCode, 0);
    const Run dump = tesselon({QStringLiteral("--dump"), sample});
    QCOMPARE(dump.exitCode, 0);
    const QJsonObject json = QJsonDocument::fromJson(dump.out).object();
    QCOMPARE(json[QStringLiteral("image")][QStringLiteral("width")].toInt(), 2000);
    QVERIFY(json[QStringLiteral("elements")].toArray().size() > 3);
    const QString csv = out(QStringLiteral("sample.csv"));
    QCOMPARE(tesselon({QStringLiteral("--export"), QStringLiteral("csv"), sample, csv, QStringLiteral("--scale"),
                       QStringLiteral("750"), QStringLiteral("5"), QStringLiteral("m"), QStringLiteral("--language"),
                       QStringLiteral("0")})
                 .exitCode,
             0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> rows;
    QVERIFY(readCsv(file.readAll(), rows, nullptr));
    // The building's width of 1650 pixels at 150 pixels per metre.
    bool found = false;
    for (const QStringList &row : rows)
        found = found || (row.value(0) == QStringLiteral("Abstand") && row.value(2) == QStringLiteral("11.0000"));
    QVERIFY(found);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"

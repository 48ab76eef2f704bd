#include "core/dxfexport.h"
#include "core/elements.h"
#include "core/translate.h"
#include "support/elementbuilder.h"

#include <QBuffer>
#include <QByteArrayList>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QByteArrayList HeaderLines = {
    " 0", "SECTION", "  2", "TABLES", " 0", "TABLE", " 2", "LTYPE", "70", "1",
    "0", "LTYPE", "2", "AUSGEZOGEN", "70", "0", "3", "Ausgezogenen Linie", "72", "65",
    "73", "0", "40", "0.0", "0", "ENDTAB", " 0", "TABLE", " 2", "LAYER",
    "70", "1", "0", "LAYER", "2", "0", "70", "0", "62", "7",
    "6", "AUSGEZOGEN", " 0", "ENDTAB", " 0", "ENDSEC", " 0", "SECTION", "  2", "ENTITIES",
};
const QByteArrayList TrailerLines = {"  0", "ENDSEC", "  0", "EOF"};
const QByteArrayList PolylineStart = {"0", "POLYLINE", "8", "0", "66", "1"};

struct Vertex {
    QByteArray x;
    QByteArray y;
    QByteArray bulge;
};
using Polyline = QList<Vertex>;

QByteArrayList lines(const QByteArray &text)
{
    QByteArrayList result = text.split('\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    for (QByteArray &line : result) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

// The entity section as polylines of vertex texts; fails the test on any unexpected line.
QList<Polyline> polylines(const QByteArray &text)
{
    const QByteArrayList all = lines(text);
    QList<Polyline> result;
    if (all.mid(0, HeaderLines.size()) != HeaderLines || all.mid(all.size() - TrailerLines.size()) != TrailerLines) {
        qWarning("header or trailer differ");
        return {};
    }
    const QByteArrayList body = all.mid(HeaderLines.size(), all.size() - HeaderLines.size() - TrailerLines.size());
    qsizetype i = 0;
    while (i < body.size()) {
        if (body.mid(i, PolylineStart.size()) != PolylineStart) {
            qWarning("expected POLYLINE at body line %lld", static_cast<long long>(i));
            return {};
        }
        i += PolylineStart.size();
        Polyline p;
        while (i + 1 < body.size() && body[i] == "0" && body[i + 1] == "VERTEX") {
            if (i + 10 > body.size() || body[i + 2] != "8" || body[i + 3] != "0" || body[i + 4] != "10" ||
                body[i + 6] != "20" || body[i + 8] != "42") {
                qWarning("malformed VERTEX");
                return {};
            }
            p.append({body[i + 5], body[i + 7], body[i + 9]});
            i += 10;
        }
        if (body.mid(i, 2) != QByteArrayList{"0", "SEQEND"}) {
            qWarning("expected SEQEND");
            return {};
        }
        i += 2;
        result.append(p);
    }
    return result;
}

const char *ReaderScript = R"(
import json, sys
import ezdxf
from ezdxf import recover
doc, auditor = recover.readfile(sys.argv[1])
strict = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
out = {
    "errors": [str(e.message) for e in auditor.errors],
    "fixes": len(auditor.fixes),
    "entities": len(msp),
    "strict_entities": len(strict.modelspace()),
    "linetype": doc.layers.get("0").dxf.linetype,
    "polylines": [[[v.dxf.location.x, v.dxf.location.y, v.dxf.bulge] for v in p.vertices]
                  for p in msp.query("POLYLINE")],
}
print(json.dumps(out))
)";

bool readerAvailable()
{
    static const bool available = [] {
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
            return false;
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import ezdxf")});
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }();
    return available;
}

// Reads the DXF text with a real DXF reader and checks that it reports no error and finds the
// same polylines, vertex by vertex, as the text holds. Called last in a test, as it may skip.
void checkWithReader(const QByteArray &text)
{
    if (!readerAvailable())
        QSKIP("/usr/bin/python3 with ezdxf is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("check.dxf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(text), text.size());
    file.close();

    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(ReaderScript), path});
    QVERIFY(p.waitForFinished(120000));
    const QByteArray err = p.readAllStandardError();
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, err.constData());
    QJsonParseError parseError;
    const QJsonObject result = QJsonDocument::fromJson(p.readAllStandardOutput(), &parseError).object();
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    QVERIFY2(result.value(QStringLiteral("errors")).toArray().isEmpty(),
             QJsonDocument(result.value(QStringLiteral("errors")).toArray()).toJson().constData());
    QCOMPARE(result.value(QStringLiteral("linetype")).toString(), QStringLiteral("AUSGEZOGEN"));

    const QList<Polyline> expected = polylines(text);
    const QJsonArray read = result.value(QStringLiteral("polylines")).toArray();
    QCOMPARE(result.value(QStringLiteral("entities")).toInt(), expected.size());
    QCOMPARE(result.value(QStringLiteral("strict_entities")).toInt(), expected.size());
    QCOMPARE(read.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QJsonArray vertices = read.at(i).toArray();
        QCOMPARE(vertices.size(), expected.at(i).size());
        for (qsizetype j = 0; j < vertices.size(); ++j) {
            const QJsonArray v = vertices.at(j).toArray();
            QCOMPARE(v.at(0).toDouble(), expected.at(i).at(j).x.toDouble());
            QCOMPARE(v.at(1).toDouble(), expected.at(i).at(j).y.toDouble());
            QCOMPARE(v.at(2).toDouble(), expected.at(i).at(j).bulge.toDouble());
        }
    }
}

// Writes one segment through fitarc and returns its bulge text, or "none" for a straight piece.
QByteArray fittedBulge(DxfPoint s, DxfPoint m, DxfPoint e)
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    DxfWriter writer(buffer);
    writer.header();
    const bool fitted = writer.fitarc(s, m, e);
    writer.trailer();
    if (!fitted)
        return text.contains("VERTEX") ? QByteArrayLiteral("wrote although it failed") : QByteArrayLiteral("none");
    const QByteArrayList all = lines(text);
    const qsizetype at = all.indexOf("42");
    return at >= 0 && at + 1 < all.size() ? all.at(at + 1) : QByteArray();
}

} // namespace

class TestDxfExport : public QObject
{
    Q_OBJECT

private slots:
    void numberText_data();
    void numberText();
    void emptyDocumentIsHeaderAndTrailer();
    void everyLineEndsWithCrLf();
    void lineExample();
    void joinedAndSeparateLines();
    void circleExample_data();
    void circleExample();
    void ellipseSidesAreExact();
    void straightCubicGivesStraightPieces();
    void quadraticEqualsItsCubic();
    void curveContinuesItsLine();
    void ellipsesFollowTheLines();
    void bulgeIsExactFraction_data();
    void bulgeIsExactFraction();
    void arcThroughCollinearPointsFails();
    void pieceCountLimits();
    void unsoundGeometryIsSkipped();
    void exportWritesFile();
    void exportReportsUncreatableFile();
};

void TestDxfExport::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("negative zero") << -0.0 << QByteArray("0");
    QTest::newRow("one") << 1.0 << QByteArray("1");
    QTest::newRow("minus two") << -2.0 << QByteArray("-2");
    QTest::newRow("half") << 0.5 << QByteArray("0.5");
    QTest::newRow("100/72") << 100.0 / 72 << QByteArray("1.38888888888889");
    QTest::newRow("0.1+0.2") << 0.1 + 0.2 << QByteArray("0.3");
    QTest::newRow("1e-6") << 1e-6 << QByteArray("1E-6");
    QTest::newRow("smallest fixed") << 0.00001 << QByteArray("0.00001");
    QTest::newRow("just fixed") << 0.0000123 << QByteArray("0.0000123");
    QTest::newRow("below fixed") << 0.00000123 << QByteArray("1.23E-6");
    QTest::newRow("rounds up to fixed") << 0.0000099999999999999999 << QByteArray("0.00001");
    QTest::newRow("15 integer digits") << 999999999999999.0 << QByteArray("999999999999999");
    QTest::newRow("16 integer digits") << 1e15 << QByteArray("1E15");
    QTest::newRow("rounds to 16 digits") << 999999999999999.9 << QByteArray("1E15");
    QTest::newRow("negative large") << -1.5e20 << QByteArray("-1.5E20");
    QTest::newRow("15 significant") << 1.23456789012345678 << QByteArray("1.23456789012346");
    QTest::newRow("trailing zeros") << 120.5 << QByteArray("120.5");
    QTest::newRow("negative small") << -3.25e-9 << QByteArray("-3.25E-9");
}

void TestDxfExport::numberText()
{
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QCOMPARE(dxfnumber(value), text);
}

void TestDxfExport::emptyDocumentIsHeaderAndTrailer()
{
    Document doc;
    // Measuring elements and labels are not line work.
    add(doc, TypRectangle, {0, 0}, {10, 10});
    add(doc, TypDistance, {0, 0}, {10, 10}, {5, 5});
    add(doc, TypPolygon, {0, 0}, {10, 10});
    add(doc, TypPolyline, {0, 0}, {10, 10});
    add(doc, TypAngle, {0, 0}, {10, 10});
    add(doc, TypScaleLine, {0, 0}, {10, 10});
    add(doc, TypText, {0, 0}, {10, 10});
    const QByteArray text = dxfText(doc, 4);
    QCOMPARE(lines(text), HeaderLines + TrailerLines);
    checkWithReader(text);
}

void TestDxfExport::everyLineEndsWithCrLf()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 144});
    add(doc, TypEllipse, {0, 0}, {144, 100});
    const QByteArray text = dxfText(doc, 2);
    QVERIFY(text.endsWith("EOF\r\n"));
    QCOMPARE(text.count('\n'), text.count("\r\n"));
    QCOMPARE(text.count('\r'), text.count("\r\n"));
    for (const char c : text)
        QVERIFY(static_cast<unsigned char>(c) < 0x80);
}

void TestDxfExport::lineExample()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 144});
    const QByteArray text = dxfText(doc, 4);
    const QByteArrayList entities = {
        "0", "POLYLINE", "8", "0", "66", "1",
        "0", "VERTEX", "8", "0", "10", "0", "20", "0", "42", "0",
        "0", "VERTEX", "8", "0", "10", "1", "20", "-2", "42", "0",
        "0", "SEQEND",
    };
    QCOMPARE(lines(text), HeaderLines + entities + TrailerLines);
    checkWithReader(text);
}

void TestDxfExport::joinedAndSeparateLines()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 0});
    add(doc, TypLine, {72, 0}, {72, 72});
    add(doc, TypLine, {100, 72}, {0, 0});
    const QByteArray text = dxfText(doc, 4);
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 2);
    QCOMPARE(p[0].size(), 4);
    // The shared point is written twice in a row.
    QCOMPARE(p[0][1].x, QByteArray("1"));
    QCOMPARE(p[0][2].x, QByteArray("1"));
    QCOMPARE(p[0][2].y, QByteArray("0"));
    QCOMPARE(p[0][3].y, QByteArray("-1"));
    QCOMPARE(p[1].size(), 2);
    QCOMPARE(p[1][0].x, QByteArray("1.38888888888889"));
    QCOMPARE(p[1][0].y, QByteArray("-1"));
    checkWithReader(text);
}

void TestDxfExport::circleExample_data()
{
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QByteArray>("bulge");
    QTest::newRow("N=1") << 1 << QByteArray("-0.101");
    QTest::newRow("N=4") << 4 << QByteArray("-0.025");
}

void TestDxfExport::circleExample()
{
    QFETCH(int, pieces);
    QFETCH(QByteArray, bulge);
    Document doc;
    add(doc, TypEllipse, {0, 0}, {144, 144});
    const QByteArray text = dxfText(doc, pieces);
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 32 * pieces);
    QCOMPARE(p[0].first().x, QByteArray("1"));
    QCOMPARE(p[0].first().y, QByteArray("0"));
    QCOMPARE(p[0].last().x, QByteArray("1"));
    QCOMPARE(p[0].last().y, QByteArray("0"));
    for (const Vertex &v : p[0])
        QCOMPARE(v.bulge, bulge);
    checkWithReader(text);
}

void TestDxfExport::ellipseSidesAreExact()
{
    Document doc;
    add(doc, TypEllipse, {288, 144}, {0, 0});
    const QList<Polyline> p = polylines(dxfText(doc, 1));
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 32);
    // Segment i ends in its second vertex at E(i × 22.5°); the rectangle runs from (4, -2) to (0, 0).
    const auto end = [&](int segment) { return p[0].at(2 * segment - 1); };
    QCOMPARE(end(4).x, QByteArray("0"));
    QCOMPARE(end(4).y, QByteArray("-1"));
    QCOMPARE(end(8).x, QByteArray("2"));
    QCOMPARE(end(8).y, QByteArray("0"));
    QCOMPARE(end(12).x, QByteArray("4"));
    QCOMPARE(end(12).y, QByteArray("-1"));
    QCOMPARE(end(16).x, QByteArray("2"));
    QCOMPARE(end(16).y, QByteArray("-2"));
}

void TestDxfExport::straightCubicGivesStraightPieces()
{
    Document doc;
    add(doc, TypCubicCurve, {0, 0}, {300, 150}, {10, 5}, {250, 125});
    const QByteArray text = dxfText(doc, 4);
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 8);
    for (const Vertex &v : p[0])
        QCOMPARE(v.bulge, QByteArray("0"));
    checkWithReader(text);
}

void TestDxfExport::quadraticEqualsItsCubic()
{
    Document quadratic;
    add(quadratic, TypQuadCurve, {0, 0}, {144, 0}, {72, 144});
    Document cubic;
    add(cubic, TypCubicCurve, {0, 0}, {144, 0}, {48, 96}, {96, 96});
    const QByteArray text = dxfText(quadratic, 3);
    QCOMPARE(text, dxfText(cubic, 3));
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 6);
    // Bending to image-down, the curve turns left in drawing units: counter-clockwise.
    for (const Vertex &v : p[0])
        QVERIFY(v.bulge.toDouble() > 0);
    QCOMPARE(p[0].last().x, QByteArray("2"));
    checkWithReader(text);
}

void TestDxfExport::curveContinuesItsLine()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 144});
    add(doc, TypCubicCurve, {72, 144}, {500, 30}, {200, 400}, {350, -100});
    const QByteArray text = dxfText(doc, 4);
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 2 + 8);
    QCOMPARE(p[0][2].x, QByteArray("1"));
    QCOMPARE(p[0][2].y, QByteArray("-2"));
    QCOMPARE(p[0].last().x, QByteArray("6.94444444444444"));
    QCOMPARE(p[0].last().y, QByteArray("-0.416666666666667"));
    checkWithReader(text);
}

void TestDxfExport::ellipsesFollowTheLines()
{
    Document doc;
    add(doc, TypEllipse, {0, 0}, {144, 72});
    add(doc, TypLine, {720, 720}, {792, 720});
    const QByteArray text = dxfText(doc, 2);
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 2);
    QCOMPARE(p[0].size(), 2);
    QCOMPARE(p[0][0].x, QByteArray("10"));
    QCOMPARE(p[1].size(), 64);
    checkWithReader(text);
}

void TestDxfExport::bulgeIsExactFraction_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::addColumn<double>("ex");
    QTest::addColumn<double>("ey");
    QTest::newRow("unit chord at origin") << 0.0 << 0.0 << 1.0 << 0.0;
    QTest::newRow("oblique chord") << 1.0 << 2.0 << 1.7 << -0.3;
    QTest::newRow("short chord far out") << 97.2222222222222 << -69.4444444444444 << 97.2311 << -69.4377;
    QTest::newRow("long chord") << -500.0 << 300.0 << 700.0 << -900.0;
}

void TestDxfExport::bulgeIsExactFraction()
{
    QFETCH(double, sx);
    QFETCH(double, sy);
    QFETCH(double, ex);
    QFETCH(double, ey);
    const long double hx = (static_cast<long double>(ex) - sx) / 2;
    const long double hy = (static_cast<long double>(ey) - sy) / 2;
    for (int k = -999; k <= 999; ++k) {
        // The curve's middle placed on candidate k: the arc through it has bulge k / 1000.
        const DxfPoint m{sx + hx + k * hy / 1000, sy + hy - k * hx / 1000};
        const bool tooFlat = std::fabs(k / 500.0L * (hx * hx + hy * hy)) <= 1e-8L;
        const QByteArray expected = tooFlat ? QByteArray("none") : dxfnumber(k / 1000.0L);
        const QByteArray actual = fittedBulge({sx, sy}, m, {ex, ey});
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("k = %1: %2 instead of %3")
                                 .arg(k)
                                 .arg(QString::fromLatin1(actual), QString::fromLatin1(expected))));
    }
}

void TestDxfExport::arcThroughCollinearPointsFails()
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    DxfWriter writer(buffer);
    writer.header();
    QVERIFY(!writer.arcthrough3({1, 1}, {1, 1}, {3, 3}));
    QVERIFY(!writer.arcthrough3({1, 1}, {0, 0}, {1, 1}));
    // Pieces so short that the triangle's area is below 1e-8 are straight.
    QCOMPARE(fittedBulge({5, 5}, {5.00005L, 5.00004L}, {5.0001L, 5}), QByteArray("none"));
    QVERIFY(writer.arcthrough3({0, 0}, {1, -0.5L}, {2, 0}));
    writer.trailer();
    const QList<Polyline> p = polylines(text);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 2);
    QCOMPARE(p[0][0].bulge, QByteArray("0.5"));
    QCOMPARE(p[0][1].x, QByteArray("2"));
}

void TestDxfExport::pieceCountLimits()
{
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 0});
    add(doc, TypCubicCurve, {0, 72}, {144, 72}, {0, 0}, {144, 0});
    add(doc, TypEllipse, {0, 0}, {144, 144});

    // No pieces: only the straight line remains.
    QList<Polyline> p = polylines(dxfText(doc, 0));
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 2);
    QCOMPARE(dxfText(doc, -3), dxfText(doc, 0));

    const QByteArray twenty = dxfText(doc, 20);
    QCOMPARE(dxfText(doc, 1000), twenty);
    p = polylines(twenty);
    QCOMPARE(p.size(), 3);
    QCOMPARE(p[1].size(), 40);
    QCOMPARE(p[2].size(), 16 * 20 * 2);
    checkWithReader(twenty);
}

void TestDxfExport::unsoundGeometryIsSkipped()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Document doc;
    add(doc, TypLine, {nan, 0}, {72, 0});
    add(doc, TypQuadCurve, {0, 0}, {72, 0}, {inf, 0});
    add(doc, TypCubicCurve, {0, 0}, {72, 0}, {10, 10}, {20, -nan});
    add(doc, TypEllipse, {0, 0}, {-inf, 10});
    // A rectangle without width has no ellipse.
    add(doc, TypEllipse, {36, 0}, {36, 144});
    const QByteArray text = dxfText(doc, 4);
    QCOMPARE(lines(text), HeaderLines + TrailerLines);

    // A flat rectangle gives straight pieces along its middle line.
    Document flat;
    add(flat, TypEllipse, {0, 72}, {144, 72});
    const QByteArray flatText = dxfText(flat, 2);
    const QList<Polyline> p = polylines(flatText);
    QCOMPARE(p.size(), 1);
    QCOMPARE(p[0].size(), 64);
    for (const Vertex &v : p[0]) {
        QCOMPARE(v.bulge, QByteArray("0"));
        QCOMPARE(v.y, QByteArray("-1"));
    }
    checkWithReader(flatText);
}

void TestDxfExport::exportWritesFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("lines.dxf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older, longer file that must be replaced completely");
    }
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 144});
    add(doc, TypEllipse, {0, 0}, {144, 144});
    QString error;
    QVERIFY(exportDxf(path, doc, 4, &error));
    QVERIFY(error.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QCOMPARE(text, dxfText(doc, 4));
    checkWithReader(text);
}

void TestDxfExport::exportReportsUncreatableFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing folder/lines.dxf"));
    Document doc;
    add(doc, TypLine, {0, 0}, {72, 144});
    QString error;
    QVERIFY(!exportDxf(path, doc, 4, &error));
    QCOMPARE(error, Message(17) + QLatin1Char(' ') + path);
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestDxfExport)
#include "tst_dxfexport.moc"

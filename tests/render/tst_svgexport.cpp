#include "core/elements.h"
#include "render/renderer.h"
#include "render/svgexport.h"
#include "render/viewstate.h"
#include "support/elementbuilder.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <initializer_list>

namespace {

const QSize ImageSize(200, 150);
const QColor Blue(0, 0, 255);

void addVertices(Document &doc, int typ, std::initializer_list<Pt> vertices)
{
    add(doc, typ, *vertices.begin(), *vertices.begin());
    for (const Pt &v : vertices)
        doc.appendVertex(v.x, v.y);
}

DrawingSettings blueSettings(double lineWidth = 4)
{
    DrawingSettings s;
    s.elementColor = Blue;
    s.lineWidth = lineWidth;
    s.labelFont.color = QColor(0, 128, 0);
    return s;
}

// Renders the SVG at the image's size; a null image when rsvg-convert fails.
QImage rasterise(const QByteArray &svg, const QString &folder)
{
    const QString in = folder + QStringLiteral("/drawing.svg");
    const QString out = folder + QStringLiteral("/drawing.png");
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size())
        return {};
    file.close();
    QProcess rsvg;
    rsvg.start(QStringLiteral("rsvg-convert"),
               {QStringLiteral("-w"), QString::number(ImageSize.width()), QStringLiteral("-h"),
                QString::number(ImageSize.height()), QStringLiteral("-b"), QStringLiteral("white"),
                QStringLiteral("-o"), out, in});
    if (!rsvg.waitForFinished(30000) || rsvg.exitCode() != 0) {
        qWarning() << rsvg.readAllStandardError();
        return {};
    }
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

bool isBlue(QRgb c) { return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60; }
bool isWhite(QRgb c) { return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240; }

} // namespace

class TestSvgExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void elementsInTheirColour_data();
    void elementsInTheirColour();
    void noPointMarks();
    void labelsAreText();
    void sizeIsTheImage();
    void lineWidthInImagePixels();
    void unwritableTargetLeavesNoFile();

private:
    QString rsvg;
};

void TestSvgExport::initTestCase()
{
    rsvg = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
}

void TestSvgExport::elementsInTheirColour_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    // Each element alone; one point on its outline, one that must stay white.
    QTest::newRow("line") << int(TypLine) << QPoint(100, 50) << QPoint(100, 60);
    QTest::newRow("rectangle outline") << int(TypRectangle) << QPoint(20, 80) << QPoint(100, 80);
    QTest::newRow("ellipse outline") << int(TypEllipse) << QPoint(100, 50) << QPoint(100, 80);
    QTest::newRow("quadratic curve") << int(TypQuadCurve) << QPoint(100, 70) << QPoint(100, 90);
    QTest::newRow("polygon") << int(TypPolygon) << QPoint(30, 30) << QPoint(100, 100);
    QTest::newRow("chain closing") << int(TypCubicCurve) << QPoint(20, 120) << QPoint(100, 100);
}

void TestSvgExport::elementsInTheirColour()
{
    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed");
    QFETCH(int, typ);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    Document doc;
    switch (typ) {
    case TypLine:
        add(doc, TypLine, {20, 50}, {180, 50});
        break;
    case TypRectangle:
        add(doc, TypRectangle, {20, 50}, {180, 110});
        break;
    case TypEllipse:
        add(doc, TypEllipse, {20, 50}, {180, 110});
        break;
    case TypQuadCurve:
        // Its middle lies halfway between the chord at y = 40 and the control point at y = 100.
        add(doc, TypQuadCurve, {20, 40}, {180, 40}, {100, 100});
        break;
    case TypPolygon:
        addVertices(doc, TypPolygon, {{30, 20}, {170, 20}, {170, 130}, {30, 130}, {30, 20}});
        break;
    case TypCubicCurve: {
        // A chain of a line and a curve; the closing line runs down the left side.
        add(doc, TypLine, {20, 20}, {180, 20});
        Telemente *curve = add(doc, TypCubicCurve, {180, 20}, {20, 140}, {180, 140}, {20, 140});
        curve->nr = 1;
        curve->closed = true;
        break;
    }
    default:
        break;
    }
    DrawingSettings settings = blueSettings();
    ViewState view;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    QTemporaryDir dir;
    const QImage picture = rasterise(svgBytes(doc, ImageSize, in), dir.path());
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), ImageSize);
    QVERIFY2(isBlue(picture.pixel(inside)), qPrintable(QColor(picture.pixel(inside)).name()));
    QVERIFY2(isWhite(picture.pixel(outside)), qPrintable(QColor(picture.pixel(outside)).name()));
}

void TestSvgExport::noPointMarks()
{
    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed");
    Document doc;
    // On the screen a line shows black and white squares of 9 pixels at both ends.
    add(doc, TypLine, {50, 75}, {150, 75});
    DrawingSettings settings = blueSettings(2);
    ViewState view;
    view.zoomPercent = 400; // the view's zoom does not matter
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    QTemporaryDir dir;
    const QImage picture = rasterise(svgBytes(doc, ImageSize, in), dir.path());
    QVERIFY(!picture.isNull());
    for (const QPoint corner : {QPoint(46, 71), QPoint(54, 79), QPoint(146, 79), QPoint(154, 71)})
        QVERIFY2(isWhite(picture.pixel(corner)), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    QVERIFY(isBlue(picture.pixel(100, 75)));
}

void TestSvgExport::labelsAreText()
{
    Document doc;
    Telemente *text = add(doc, TypText, {20, 100}, {0, 0});
    Document::setName(*text, QStringLiteral("Küche & Flur"));
    Telemente *distance = add(doc, TypDistance, {20, 30}, {180, 30}, {100, 20});
    Document::setName(*distance, QStringLiteral("Breite"));
    DrawingSettings settings = blueSettings(2);
    ViewState view;
    NumberSettings numbers;
    numbers.unit = QStringLiteral("m");
    Scale scale;
    scale.pixelLength = 16;
    scale.realLength = 1;
    const RenderInputs in{view, settings, scale, numbers};
    const QByteArray svg = svgBytes(doc, ImageSize, in);
    QVERIFY(svg.contains("<text"));
    QVERIFY(svg.contains("K\xC3\xBC" "che &amp; Flur"));
    QVERIFY(svg.contains("Breite"));
    // The distance's value, computed while drawing as a repaint would: 160 pixels are 10 m.
    QVERIFY2(svg.contains("10.00 m"), svg.constData());
    const double lang = doc.element(1)->lang;
    QCOMPARE(lang, 10.0);

    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed");
    QTemporaryDir dir;
    const QImage picture = rasterise(svg, dir.path());
    QVERIFY(!picture.isNull());
    // Some pixels of the label text above its base line at y = 100 take the font colour.
    int green = 0;
    for (int y = 80; y < 100; ++y)
        for (int x = 20; x < 120; ++x) {
            const QRgb c = picture.pixel(x, y);
            if (qGreen(c) > 80 && qRed(c) < 100 && qBlue(c) < 100)
                ++green;
        }
    QVERIFY(green > 10);
}

void TestSvgExport::sizeIsTheImage()
{
    Document doc;
    DrawingSettings settings;
    ViewState view;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    const QByteArray svg = svgBytes(doc, QSize(640, 480), in);
    QVERIFY2(svg.contains("viewBox=\"0 0 640 480\""), svg.constData());
}

void TestSvgExport::lineWidthInImagePixels()
{
    if (rsvg.isEmpty())
        QSKIP("rsvg-convert is not installed");
    Document doc;
    add(doc, TypLine, {0, 75}, {200, 75});
    DrawingSettings settings = blueSettings(10);
    ViewState view;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    QTemporaryDir dir;
    const QImage picture = rasterise(svgBytes(doc, ImageSize, in), dir.path());
    QVERIFY(!picture.isNull());
    QVERIFY(isBlue(picture.pixel(100, 71)));
    QVERIFY(isBlue(picture.pixel(100, 78)));
    QVERIFY(isWhite(picture.pixel(100, 68)));
    QVERIFY(isWhite(picture.pixel(100, 82)));
}

void TestSvgExport::unwritableTargetLeavesNoFile()
{
    QTemporaryDir dir;
    Document doc;
    add(doc, TypLine, {0, 75}, {200, 75});
    DrawingSettings settings;
    ViewState view;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    const QString target = dir.filePath(QStringLiteral("no/such/folder/lines.svg"));
    QString error;
    QVERIFY(!exportSvg(target, doc, ImageSize, in, &error));
    QVERIFY(error.contains(target));
    QVERIFY(!QFileInfo::exists(target));

    const QString good = dir.filePath(QStringLiteral("lines.svg"));
    QVERIFY2(exportSvg(good, doc, ImageSize, in, &error), qPrintable(error));
    QFile file(good);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<svg"));
}

QTEST_MAIN(TestSvgExport)
#include "tst_svgexport.moc"

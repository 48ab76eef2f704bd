#include "core/dib.h"
#include "core/elements.h"
#include "render/pictureexport.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The picture: one colour, stored blue, green, red.
const QRgb Picture = qRgb(180, 220, 200);
const QRgb White = qRgb(255, 255, 255);
const QRgb Red = qRgb(255, 0, 0);

dib makePicture(int width, int height)
{
    dib d;
    if (!newdib(d, width, height, 24, nullptr, 0))
        return d;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t *px = dibRow(d, y) + 3 * x;
            px[0] = static_cast<std::uint8_t>(qBlue(Picture));
            px[1] = static_cast<std::uint8_t>(qGreen(Picture));
            px[2] = static_cast<std::uint8_t>(qRed(Picture));
        }
    return d;
}

Telemente *addLine(Document &doc, double x1, double y1, double x2, double y2)
{
    Telemente *e = doc.appendElement();
    e->typ = TypLine;
    e->x1 = x1;
    e->y1 = y1;
    e->x2 = x2;
    e->y2 = y2;
    return e;
}

} // namespace

class TestPictureExport : public QObject
{
    Q_OBJECT

private slots:
    void formatFromExtension_data();
    void formatFromExtension();
    void wholeDrawingAtTheZoom_data();
    void wholeDrawingAtTheZoom();
    void savesInTheFormat_data();
    void savesInTheFormat();
    void failureLeavesNoFile();
};

void TestPictureExport::formatFromExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bmp") << "a/plan.bmp" << QByteArray("bmp");
    QTest::newRow("no extension") << "plan" << QByteArray("bmp");
    QTest::newRow("unknown") << "plan.xyz" << QByteArray("bmp");
    QTest::newRow("png") << "plan.PNG" << QByteArray("png");
    QTest::newRow("jpg") << "plan.jpg" << QByteArray("jpeg");
    QTest::newRow("jpeg") << "plan.jpeg" << QByteArray("jpeg");
    QTest::newRow("tif") << "plan.tif" << QByteArray("tiff");
    QTest::newRow("tiff") << "plan.Tiff" << QByteArray("tiff");
}

void TestPictureExport::formatFromExtension()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QCOMPARE(pictureFormatForPath(path), format);
}

void TestPictureExport::wholeDrawingAtTheZoom_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("with the picture") << true;
    QTest::newRow("lines only") << false;
}

void TestPictureExport::wholeDrawingAtTheZoom()
{
    QFETCH(bool, withPicture);
    dib image = makePicture(100, 80);
    QVERIFY(image.poi);
    Document doc;
    addLine(doc, 10, 40, 90, 40);
    ViewState view;
    view.zoomPercent = 200;
    // Scrolled and with the hand tool up: neither moves the export or adds marks.
    view.scrollX = 50;
    view.scrollY = 30;
    DrawingSettings settings;
    settings.lineWidth = 2;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    QImage out;
    QVERIFY(renderPicture(out, doc, image, in, withPicture));
    QCOMPARE(out.size(), QSize(200, 160));
    QCOMPARE(out.pixel(100, 80), Red);
    // Where the screen shows a point mark at the line's start (20, 80): nothing but the background.
    const QRgb background = withPicture ? Picture : White;
    QCOMPARE(out.pixel(16, 76), background);
    QCOMPARE(out.pixel(16, 84), background);
    QCOMPARE(out.pixel(100, 20), background);
    deldib(image);
}

void TestPictureExport::savesInTheFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bmp") << "plan.bmp" << QByteArray("bmp");
    QTest::newRow("png") << "plan.png" << QByteArray("png");
    QTest::newRow("jpeg") << "plan.jpg" << QByteArray("jpeg");
    QTest::newRow("tiff") << "plan.tif" << QByteArray("tiff");
}

void TestPictureExport::savesInTheFormat()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    if (!QImageWriter::supportedImageFormats().contains(format))
        QSKIP("this Qt has no writer for the format");
    QTemporaryDir dir;
    dib image = makePicture(120, 90);
    Document doc;
    addLine(doc, 0, 45, 120, 45);
    ViewState view;
    DrawingSettings settings;
    settings.lineWidth = 6;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    const QString path = dir.filePath(name);
    QString error;
    QVERIFY2(savePicture(path, pictureFormatForPath(path), doc, image, in, true, &error), qPrintable(error));
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage back = reader.read();
    QCOMPARE(back.size(), QSize(120, 90));
    const QColor line = back.pixelColor(60, 45);
    const QColor picture = back.pixelColor(60, 10);
    // JPEG is lossy: colours within a few steps.
    QVERIFY2(line.red() > 230 && line.green() < 30 && line.blue() < 30, qPrintable(line.name()));
    QVERIFY2(qAbs(picture.red() - qRed(Picture)) < 8 && qAbs(picture.green() - qGreen(Picture)) < 8,
             qPrintable(picture.name()));
    deldib(image);
}

void TestPictureExport::failureLeavesNoFile()
{
    QTemporaryDir dir;
    dib image = makePicture(50, 50);
    Document doc;
    ViewState view;
    DrawingSettings settings;
    const RenderInputs in{view, settings, Scale(), NumberSettings()};
    QString error;
    const QString missingFolder = dir.filePath(QStringLiteral("missing/plan.png"));
    QVERIFY(!savePicture(missingFolder, "png", doc, image, in, true, &error));
    QVERIFY(error.contains(missingFolder));
    QVERIFY(!QFileInfo::exists(missingFolder));

    // A picture too large for memory is refused before any file is made.
    dib huge = makePicture(20000, 1);
    ViewState zoomed;
    zoomed.zoomPercent = ViewState::ZoomMax;
    const RenderInputs big{zoomed, settings, Scale(), NumberSettings()};
    const QString target = dir.filePath(QStringLiteral("huge.bmp"));
    QVERIFY(!savePicture(target, "bmp", doc, huge, big, true, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(target));
    deldib(huge);
    deldib(image);
}

QTEST_MAIN(TestPictureExport)
#include "tst_pictureexport.moc"

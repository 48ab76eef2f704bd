#include "image/rowdecode.h"
#include "image/velumo.h"

#include <QDataStream>
#include <QImageReader>
#include <QImageWriter>
#include <QtTest>

#include <iterator>

namespace {

// Colours that cover opaque, half and fully transparent pixels and both ends of every channel.
QRgb sample(int x, int y)
{
    return qRgba((x * 37 + y * 11) & 255, (x * 5 + y * 53) & 255, (x * y * 7) & 255, (x * 29 + y * 3) % 256);
}

QImage sampleImage(QImage::Format format, int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, sample(x, y));
    return img.convertToFormat(format);
}

QImage indexedImage(int colors, int w, int h)
{
    QImage img(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colors; ++i)
        table.append(qRgba(i * 255 / colors, 255 - i * 7 % 256, i * 91 % 256, i % 3 == 0 ? 255 : i * 40 % 256));
    img.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, static_cast<uint>((x * 3 + y) % colors));
    return img;
}

RowDecode decodeRows(dib &d, const QString &path)
{
    if (path.endsWith(QLatin1String(".png")))
        return decodePngRows(d, path);
    return path.endsWith(QLatin1String(".tif")) ? decodeTiffRows(d, path) : decodeJpegRows(d, path);
}

// An uncompressed 8-bit grey TIFF whose directory comes before its single strip, so that
// cutting the file leaves the directory intact and the strip short.
QByteArray greyTiffDirectoryFirst(quint32 w, quint32 h)
{
    const quint32 entries[][3] = {{256, 4, w}, {257, 4, h},   {258, 3, 8},       {259, 3, 1}, {262, 3, 1},
                                  {273, 4, 122}, {277, 3, 1}, {278, 4, h}, {279, 4, w * h}};
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('I') << quint8('I') << quint16(42) << quint32(8) << quint16(std::size(entries));
    for (const auto &e : entries)
        out << quint16(e[0]) << quint16(e[1]) << quint32(1) << e[2]; // a SHORT sits in the low half
    out << quint32(0);
    for (quint32 i = 0; i < w * h; ++i)
        out << quint8(i * 7);
    return bytes;
}

QRgb overWhiteRgb(QRgb c)
{
    const int a = qAlpha(c);
    return qRgb(overWhite(qRed(c), a), overWhite(qGreen(c), a), overWhite(qBlue(c), a));
}

} // namespace

class tst_RowDecode : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void decodesLikeQt_data();
    void decodesLikeQt();
    void refusesTruncated_data();
    void refusesTruncated();

private:
    QString write(const QString &name, const QImage &img, const QByteArray &format, int quality = -1);
    QTemporaryDir dir;
};

QString tst_RowDecode::write(const QString &name, const QImage &img, const QByteArray &format, int quality)
{
    const QString path = dir.filePath(name);
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (!writer.write(img))
        qFatal("cannot write %s", qPrintable(name));
    return path;
}

void tst_RowDecode::decodesLikeQt_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("bits");

    // Odd sizes, so that row padding and the last partial byte of packed rows are exercised.
    QImage rgb = sampleImage(QImage::Format_RGB32, 61, 37);
    rgb.setDotsPerMeterX(11811);
    rgb.setDotsPerMeterY(5906);
    QTest::newRow("PNG grey") << write("grey.png", sampleImage(QImage::Format_Grayscale8, 61, 37), "png") << 8;
    QTest::newRow("PNG RGB") << write("rgb.png", rgb, "png") << 24;
    QTest::newRow("PNG RGBA") << write("rgba.png", sampleImage(QImage::Format_ARGB32, 61, 37), "png") << 24;
    QTest::newRow("PNG palette 200") << write("pal200.png", indexedImage(200, 61, 37), "png") << 8;
    QTest::newRow("PNG palette 11") << write("pal11.png", indexedImage(11, 61, 37), "png") << 4;
    QImage mono(61, 37, QImage::Format_Mono);
    mono.setColorTable({qRgba(200, 0, 90, 100), qRgb(10, 250, 30)});
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, (x * y + x) % 3 == 0 ? 1 : 0);
    QTest::newRow("PNG two colours") << write("mono.png", mono, "png") << 1;
    QTest::newRow("JPEG") << write("rgb.jpg", rgb, "jpeg", 90) << 24;
    QTest::newRow("JPEG grey") << write("grey.jpg", sampleImage(QImage::Format_Grayscale8, 61, 37), "jpeg", 90) << 8;
    QTest::newRow("TIFF RGB") << write("rgb.tif", rgb, "tiff") << 24;
    QTest::newRow("TIFF grey") << write("grey.tif", sampleImage(QImage::Format_Grayscale8, 61, 37), "tiff") << 8;
    QImage whiteIsZero = sampleImage(QImage::Format_Grayscale8, 61, 37).convertToFormat(QImage::Format_Indexed8);
    QList<QRgb> falling;
    for (int i = 0; i < 256; ++i)
        falling.append(qRgb(255 - i, 255 - i, 255 - i));
    whiteIsZero.setColorTable(falling);
    QTest::newRow("TIFF grey, white as 0") << write("white0.tif", whiteIsZero, "tiff") << 8;
}

void tst_RowDecode::decodesLikeQt()
{
    QFETCH(QString, path);
    QFETCH(int, bits);

    dib d;
    QCOMPARE(decodeRows(d, path), RowDecode::Decoded);
    const QImage qt = QImageReader(path).read();
    QVERIFY(!qt.isNull());
    QCOMPARE(DibBitCount(d), bits);
    QCOMPARE(DibWidth(d), qt.width());
    QCOMPARE(DibHeight(d), qt.height());
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x) {
            const QRgb want = overWhiteRgb(qt.pixel(x, y));
            const QRgb got = dibPixelColor(d, x, qt.height() - 1 - y);
            if (got != want)
                QFAIL(qPrintable(QStringLiteral("(%1, %2): %3 instead of %4").arg(x).arg(y).arg(got, 0, 16).arg(want, 0, 16)));
        }
    if (path.contains(QLatin1String("rgb."))) {
        QCOMPARE(d.pmi->bmiHeader.biXPelsPerMeter, qt.dotsPerMeterX());
        QCOMPARE(d.pmi->bmiHeader.biYPelsPerMeter, qt.dotsPerMeterY());
    }
    deldib(d);
}

void tst_RowDecode::refusesTruncated_data()
{
    QTest::addColumn<QString>("path");

    const auto cut = [this](const QString &name, const QImage &img, const QByteArray &format, qsizetype dropped) {
        QFile f(write(name, img, format));
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read back %s", qPrintable(name));
        const QByteArray all = f.readAll();
        const QString path = dir.filePath(QStringLiteral("cut-") + name);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(all.left(all.size() - dropped)) != all.size() - dropped)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    };
    const QImage photo = sampleImage(QImage::Format_RGB32, 300, 200);
    // The JPEG completeness walk is bypassed here: the decoder itself must notice the end.
    QTest::newRow("JPEG in the pixel data") << cut("photo.jpg", photo, "jpeg", 4000);
    QTest::newRow("JPEG without its end marker") << cut("end.jpg", photo, "jpeg", 2);
    QTest::newRow("PNG in the pixel data") << cut("photo.png", photo, "png", 40000);
    QTest::newRow("PNG without its end chunk") << cut("end.png", photo, "png", 12);
    QTest::newRow("TIFF without its directory") << cut("photo.tif", photo, "tiff", 100);
    const QString shortStrip = dir.filePath(QStringLiteral("strip.tif"));
    QFile strip(shortStrip);
    const QByteArray grey = greyTiffDirectoryFirst(300, 200);
    if (!strip.open(QIODevice::WriteOnly) || strip.write(grey.left(grey.size() - 20000)) != grey.size() - 20000)
        qFatal("cannot write %s", qPrintable(shortStrip));
    QTest::newRow("TIFF in the pixel data") << shortStrip;
}

void tst_RowDecode::refusesTruncated()
{
    QFETCH(QString, path);
    dib d;
    QCOMPARE(decodeRows(d, path), RowDecode::Refused);
    QVERIFY(!d.poi);
    QVERIFY(!d.pmi);
}

QTEST_MAIN(tst_RowDecode)
#include "tst_rowdecode.moc"

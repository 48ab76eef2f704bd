#include "image/velumo.h"

#include <QImageWriter>
#include <QtTest>

#include <functional>

namespace {

struct Probe {
    QPoint at; // top-down image coordinates
    QRgb color;
};

QRgb gradient(int x, int y)
{
    return qRgb(x * 6, y * 8, 255 - x * 6);
}

QImage gradientImage()
{
    QImage img(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, gradient(x, y));
    return img;
}

QList<Probe> gradientProbes()
{
    QList<Probe> probes;
    for (const QPoint &p : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 29), QPoint(39, 29), QPoint(17, 11)})
        probes.append({p, gradient(p.x(), p.y())});
    return probes;
}

void putLe(QByteArray &b, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A BMP file with an information header of 40 bytes and rows bottom up. Qt writes neither 4-bit
// nor 32-bit BMPs, and hostile headers need a writer that does what it is told.
QByteArray bmpFile(int w, int h, int bits, const QList<QRgb> &palette, const std::function<std::uint32_t(int, int)> &pixel,
                   int rowsToWrite = -1)
{
    const int stride = (w * bits + 31) / 32 * 4;
    const int offset = 14 + 40 + 4 * static_cast<int>(palette.size());
    QByteArray b("BM");
    putLe(b, static_cast<std::uint32_t>(offset + std::int64_t(stride) * std::max(0, h)), 4);
    putLe(b, 0, 4);
    putLe(b, static_cast<std::uint32_t>(offset), 4);
    putLe(b, 40, 4);
    putLe(b, static_cast<std::uint32_t>(w), 4);
    putLe(b, static_cast<std::uint32_t>(h), 4);
    putLe(b, 1, 2);
    putLe(b, static_cast<std::uint32_t>(bits), 2);
    putLe(b, 0, 4);
    putLe(b, 0, 4);
    putLe(b, 2835, 4);
    putLe(b, 2835, 4);
    putLe(b, static_cast<std::uint32_t>(palette.size()), 4);
    putLe(b, 0, 4);
    for (QRgb c : palette) {
        b.append(static_cast<char>(qBlue(c)));
        b.append(static_cast<char>(qGreen(c)));
        b.append(static_cast<char>(qRed(c)));
        b.append('\0');
    }
    const int rows = rowsToWrite < 0 ? h : rowsToWrite;
    for (int stored = 0; stored < rows; ++stored) {
        QByteArray row(stride, '\0');
        const int y = h - 1 - stored;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = pixel(x, y);
            if (bits == 4)
                row[x / 2] = static_cast<char>(row[x / 2] | ((x & 1) ? v : v << 4));
            else
                for (int k = 0; k < bits / 8; ++k)
                    row[x * bits / 8 + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
        }
        b.append(row);
    }
    return b;
}

// A GIF with a four-colour table and index 3 transparent. Each code is preceded by a clear
// code, so the code size stays at 3 bits and no compression is needed.
QByteArray gifFile(int w, int h, const std::function<int(int, int)> &index)
{
    QByteArray b("GIF89a");
    putLe(b, static_cast<std::uint32_t>(w), 2);
    putLe(b, static_cast<std::uint32_t>(h), 2);
    b.append(static_cast<char>(0x91));
    b.append('\0');
    b.append('\0');
    for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)}) {
        b.append(static_cast<char>(qRed(c)));
        b.append(static_cast<char>(qGreen(c)));
        b.append(static_cast<char>(qBlue(c)));
    }
    b.append(QByteArray::fromHex("21f904010000" "03" "00"));
    b.append(static_cast<char>(0x2C));
    putLe(b, 0, 4);
    putLe(b, static_cast<std::uint32_t>(w), 2);
    putLe(b, static_cast<std::uint32_t>(h), 2);
    b.append('\0');
    b.append(static_cast<char>(2));
    QByteArray data;
    std::uint32_t acc = 0;
    int nbits = 0;
    auto put = [&](std::uint32_t code) {
        acc |= code << nbits;
        nbits += 3;
        while (nbits >= 8) {
            data.append(static_cast<char>(acc & 0xFF));
            acc >>= 8;
            nbits -= 8;
        }
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            put(4);
            put(static_cast<std::uint32_t>(index(x, y)));
        }
    put(5);
    if (nbits > 0)
        data.append(static_cast<char>(acc & 0xFF));
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        b.append(static_cast<char>(block.size()));
        b.append(block);
    }
    b.append('\0');
    b.append(';');
    return b;
}

std::uint32_t crc32(const QByteArray &data)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= static_cast<std::uint8_t>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngHeaderOnly(std::uint32_t w, std::uint32_t h)
{
    QByteArray chunk("IHDR");
    for (std::uint32_t v : {w, h})
        for (int i = 3; i >= 0; --i)
            chunk.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    chunk.append(QByteArray::fromHex("0802000000"));
    QByteArray b = QByteArray::fromHex("89504e470d0a1a0a0000000d");
    b.append(chunk);
    const std::uint32_t crc = crc32(chunk);
    for (int i = 3; i >= 0; --i)
        b.append(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return b;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString hex(QRgb c)
{
    return QString::number(c & 0xFFFFFFu, 16).rightJustified(6, QLatin1Char('0'));
}

} // namespace

class tst_OpenDib : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void opensFormats_data();
    void opensFormats();
    void keepsResolution();
    void opensBeyondQtsDefaultLimit();
    void rejectsBadFiles_data();
    void rejectsBadFiles();
    void filterListsFormats();

private:
    QString write(const QString &name, const QImage &img, const QByteArray &format, int quality = -1);
    QString writeBytes(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
};

QString tst_OpenDib::write(const QString &name, const QImage &img, const QByteArray &format, int quality)
{
    const QString path = dir.filePath(name);
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(img))
        qFatal("cannot write %s: %s", qPrintable(name), qPrintable(writer.errorString()));
    return path;
}

QString tst_OpenDib::writeBytes(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return path;
}

void tst_OpenDib::initTestCase()
{
    QVERIFY(dir.isValid());
}

void tst_OpenDib::opensFormats_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<Probe>>("probes");
    QTest::addColumn<int>("tolerance");

    const QImage rgb = gradientImage();
    const QList<Probe> probes = gradientProbes();
    const QSize size(40, 30);

    QImage mono(size, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 128), qRgb(255, 255, 0)});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            mono.setPixel(x, y, (x + 2 * y) % 3 == 0 ? 1 : 0);
    const QList<Probe> monoProbes{{{0, 0}, qRgb(255, 255, 0)}, {{1, 0}, qRgb(0, 0, 128)},
                                  {{39, 29}, qRgb(0, 0, 128)}, {{1, 1}, qRgb(255, 255, 0)}};
    QTest::newRow("BMP 1 bit") << write("mono.bmp", mono, "bmp") << 1 << size << monoProbes << 0;
    QTest::newRow("PNG 1 bit") << write("mono.png", mono, "png") << 1 << size << monoProbes << 0;

    QList<QRgb> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.append(qRgb(i * 16, 255 - i * 16, i * 5));
    const auto nibble = [](int x, int y) { return std::uint32_t((x + y) % 16); };
    QTest::newRow("BMP 4 bit") << writeBytes("four.bmp", bmpFile(37, 21, 4, sixteen, nibble)) << 4 << QSize(37, 21)
                               << QList<Probe>{{{0, 0}, sixteen[0]}, {{36, 0}, sixteen[36 % 16]},
                                               {{5, 20}, sixteen[25 % 16]}, {{36, 20}, sixteen[56 % 16]}}
                               << 0;

    QImage five(size, QImage::Format_Indexed8);
    five.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 99, 199)});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            five.setPixel(x, y, static_cast<uint>((x / 8 + y) % 5));
    QTest::newRow("PNG 5 colours") << write("five.png", five, "png") << 4 << size
                                   << QList<Probe>{{{0, 0}, qRgb(0, 0, 0)}, {{39, 0}, qRgb(9, 99, 199)},
                                                   {{8, 28}, qRgb(9, 99, 199)}, {{0, 3}, qRgb(0, 0, 255)}}
                                   << 0;

    QImage indexed(size, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 200; ++i)
        table.append(qRgb(i, 200 - i, (i * 7) % 256));
    indexed.setColorTable(table);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            indexed.setPixel(x, y, static_cast<uint>((x * 5 + y) % 200));
    const QList<Probe> indexedProbes{{{0, 0}, table[0]}, {{39, 0}, table[195]}, {{39, 29}, table[24]}, {{3, 7}, table[22]}};
    QTest::newRow("BMP 8 bit") << write("indexed.bmp", indexed, "bmp") << 8 << size << indexedProbes << 0;
    QTest::newRow("PNG palette") << write("indexed.png", indexed, "png") << 8 << size << indexedProbes << 0;
    QTest::newRow("TIFF palette") << write("indexed.tif", indexed, "tiff") << 8 << size << indexedProbes << 0;

    const QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
    QList<Probe> greyProbes;
    for (const Probe &p : probes) {
        const int v = qGray(grey.pixel(p.at));
        greyProbes.append({p.at, qRgb(v, v, v)});
    }
    QTest::newRow("PNG grey") << write("grey.png", grey, "png") << 8 << size << greyProbes << 0;
    QTest::newRow("PNG grey 16 bit") << write("grey16.png", rgb.convertToFormat(QImage::Format_Grayscale16), "png") << 8
                                     << size << greyProbes << 1;
    QTest::newRow("JPEG grey") << write("grey.jpg", grey, "jpeg", 95) << 8 << size << greyProbes << 6;

    QTest::newRow("BMP 24 bit") << write("rgb.bmp", rgb, "bmp") << 24 << size << probes << 0;
    const auto argbPixel = [](int x, int y) { return std::uint32_t(gradient(x, y) & 0xFFFFFFu); };
    QTest::newRow("BMP 32 bit") << writeBytes("rgb32.bmp", bmpFile(40, 30, 32, {}, argbPixel)) << 24 << size << probes << 0;
    QTest::newRow("PNG RGB") << write("rgb.png", rgb, "png") << 24 << size << probes << 0;
    QTest::newRow("PNG RGB 16 bit") << write("rgb64.png", rgb.convertToFormat(QImage::Format_RGBX64), "png") << 24 << size
                                    << probes << 0;
    QTest::newRow("JPEG") << write("rgb.jpg", rgb, "jpeg", 95) << 24 << size << probes << 24;
    QTest::newRow("TIFF") << write("rgb.tif", rgb, "tiff") << 24 << size << probes << 0;
    QTest::newRow("WebP") << write("rgb.webp", rgb, "webp", 100) << 24 << size << probes << 0;

    QImage argb(size, QImage::Format_ARGB32);
    argb.fill(qRgba(255, 0, 0, 128));
    argb.setPixel(1, 1, qRgba(0, 0, 255, 0));
    argb.setPixel(2, 2, qRgba(0, 100, 0, 255));
    const QList<Probe> alphaProbes{{{0, 0}, qRgb(255, 127, 127)}, {{1, 1}, qRgb(255, 255, 255)}, {{2, 2}, qRgb(0, 100, 0)}};
    QTest::newRow("PNG RGBA") << write("argb.png", argb, "png") << 24 << size << alphaProbes << 1;
    QTest::newRow("WebP RGBA") << write("argb.webp", argb, "webp", 100) << 24 << size << alphaProbes << 1;

    const auto gifIndex = [](int x, int y) { return (x + y) % 4; };
    QTest::newRow("GIF") << writeBytes("four.gif", gifFile(13, 7, gifIndex)) << 4 << QSize(13, 7)
                         << QList<Probe>{{{0, 0}, qRgb(255, 0, 0)}, {{1, 0}, qRgb(0, 128, 0)}, {{2, 0}, qRgb(0, 0, 255)},
                                         {{3, 0}, qRgb(255, 255, 255)}, {{12, 6}, qRgb(0, 0, 255)}}
                         << 0;
}

void tst_OpenDib::opensFormats()
{
    QFETCH(QString, path);
    QFETCH(int, bits);
    QFETCH(QSize, size);
    QFETCH(QList<Probe>, probes);
    QFETCH(int, tolerance);

    dib d;
    QVERIFY(OpenDib(d, path));
    QVERIFY(d.poi);
    QCOMPARE(DibBitCount(d), bits);
    QCOMPARE(DibWidth(d), size.width());
    QCOMPARE(DibHeight(d), size.height());
    QCOMPARE(std::int64_t(d.bytew), dibRowBytes(size.width(), bits));
    for (const Probe &p : probes) {
        const QRgb got = dibPixelColor(d, p.at.x(), size.height() - 1 - p.at.y());
        QVERIFY2(near(got, p.color, tolerance),
                 qPrintable(QStringLiteral("(%1, %2): %3 instead of %4")
                                .arg(p.at.x()).arg(p.at.y()).arg(hex(got), hex(p.color))));
    }
    if (bits == 8 && QTest::currentDataTag() == QByteArray("PNG grey")) {
        const RGBQUAD *table = d.pmi->bmiColors;
        QCOMPARE(table[100].rgbRed, std::uint8_t(100));
        QCOMPARE(table[255].rgbBlue, std::uint8_t(255));
    }
    deldib(d);
}

void tst_OpenDib::keepsResolution()
{
    QImage img = gradientImage();
    img.setDotsPerMeterX(11811);
    img.setDotsPerMeterY(5906);
    dib d;
    QVERIFY(OpenDib(d, write("dpi.png", img, "png")));
    QCOMPARE(d.pmi->bmiHeader.biXPelsPerMeter, 11811);
    QCOMPARE(d.pmi->bmiHeader.biYPelsPerMeter, 5906);
    deldib(d);
}

// Qt refuses images above 256 MB unless the program lifts its limit.
void tst_OpenDib::opensBeyondQtsDefaultLimit()
{
    QImage big(8400, 8400, QImage::Format_RGB32);
    QVERIFY(!big.isNull());
    big.fill(Qt::white);
    big.setPixel(8399, 0, qRgb(255, 0, 0));
    const QString path = write("big.png", big, "png");
    big = QImage();
    dib d;
    QVERIFY(OpenDib(d, path));
    QCOMPARE(DibWidth(d), 8400);
    QCOMPARE(dibPixelColor(d, 8399, 8399), qRgb(255, 0, 0));
    QCOMPARE(dibPixelColor(d, 0, 0), qRgb(255, 255, 255));
    deldib(d);
}

void tst_OpenDib::rejectsBadFiles_data()
{
    QTest::addColumn<QString>("path");

    const auto cut = [this](const QString &name, const QImage &img, const QByteArray &format, double keep) {
        QFile f(write(name, img, format));
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read back %s", qPrintable(name));
        const QByteArray all = f.readAll();
        return writeBytes(QStringLiteral("cut-") + name, all.left(static_cast<qsizetype>(all.size() * keep)));
    };
    QImage photo(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x, (x * y) % 256, y));

    QTest::newRow("missing file") << dir.filePath("nothing-here.png");
    QTest::newRow("folder") << dir.path();
    QTest::newRow("empty") << writeBytes("empty.png", {});
    QTest::newRow("text named png") << writeBytes("text.png", "This is not a picture.\n");
    QTest::newRow("text named bmp") << writeBytes("text.bmp", "BM but nothing else");
    QTest::newRow("random bytes") << writeBytes("noise.jpg", QByteArray::fromHex("ffd8ffe000104a46494600deadbeef"));
    QTest::newRow("truncated PNG") << cut("photo.png", photo, "png", 0.6);
    QTest::newRow("truncated BMP") << cut("photo.bmp", photo, "bmp", 0.6);
    QTest::newRow("truncated JPEG") << cut("photo.jpg", photo, "jpeg", 0.7);
    QTest::newRow("truncated TIFF") << cut("photo.tif", photo, "tiff", 0.9);
    QTest::newRow("truncated WebP") << cut("photo.webp", photo, "webp", 0.5);
    const auto zero = [](int, int) { return 0u; };
    QTest::newRow("BMP 100000 x 100000") << writeBytes("huge.bmp", bmpFile(100000, 100000, 24, {}, zero, 0));
    QTest::newRow("BMP 30000 x 30000 without rows") << writeBytes("large.bmp", bmpFile(30000, 30000, 24, {}, zero, 0));
    QTest::newRow("BMP 0 x 10") << writeBytes("zero.bmp", bmpFile(0, 10, 24, {}, zero));
    QTest::newRow("PNG 100000 x 100000") << writeBytes("huge.png", pngHeaderOnly(100000, 100000));
    QTest::newRow("PNG 2^31 - 1 wide") << writeBytes("wide.png", pngHeaderOnly(0x7FFFFFFF, 1));
}

void tst_OpenDib::rejectsBadFiles()
{
    QFETCH(QString, path);
    dib d;
    QVERIFY(!OpenDib(d, path));
    QVERIFY(!d.poi);
    QVERIFY(!d.pmi);
}

void tst_OpenDib::filterListsFormats()
{
    const QString filter = GetDIBOpenFilter();
    const QStringList entries = filter.split(QStringLiteral(";;"));
    QVERIFY(entries.size() >= 3);
    QVERIFY(entries.first().startsWith(QStringLiteral("Bilder (")));
    QCOMPARE(entries.last(), QStringLiteral("Alle Dateien (*)"));
    for (const char *pattern : {"*.png", "*.jpg", "*.jpeg", "*.bmp", "*.tif", "*.tiff", "*.webp", "*.gif"}) {
        QVERIFY2(entries.first().contains(QLatin1String(pattern)), pattern);
        // In the all-pictures entry and in exactly one format entry.
        const QRegularExpression listed(QStringLiteral("[( ]") + QRegularExpression::escape(QLatin1String(pattern))
                                        + QStringLiteral("[ )]"));
        QCOMPARE(std::count_if(entries.cbegin(), entries.cend(), [&](const QString &e) { return listed.match(e).hasMatch(); }),
                 2);
    }
    QVERIFY(entries.contains(QStringLiteral("JPEG (*.jpeg *.jpg)")) || entries.contains(QStringLiteral("JPEG (*.jpg *.jpeg)")));
}

QTEST_MAIN(tst_OpenDib)
#include "tst_opendib.moc"

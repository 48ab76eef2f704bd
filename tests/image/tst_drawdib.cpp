#include "image/drawdib.h"
#include "image/velumo.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

namespace {

constexpr QRgb Sentinel = 0xFF123456u;

// Every pixel distinct, so a sampled pixel tells which source pixel it came from.
QRgb sourceColor(int x, int yFromTop)
{
    return qRgb(x * 2, yFromTop * 3, (x + yFromTop) % 256);
}

// A 24-bit image whose pixel (x, y counted from the top) is sourceColor(x, y).
dib make24(int w, int h)
{
    dib d;
    if (!newdib(d, w, h, 24, nullptr, 0))
        qFatal("newdib failed");
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setpixel(d, x, h - 1 - y, sourceColor(x, y) & 0xFFFFFFu);
    return d;
}

QRgb paletteEntry(int i)
{
    return qRgb(i, 255 - i, (i * 7) % 256);
}

// An image of 1, 4 or 8 bits whose pixel (x, y from the top) holds index (x + 3 * y) mod 2^bits.
dib makeIndexed(int w, int h, int bits)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    for (int i = 0; i < 256; ++i) {
        const QRgb c = paletteEntry(i);
        info.colors[i] = RGBQUAD{static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qGreen(c)),
                                 static_cast<std::uint8_t>(qRed(c)), 0};
    }
    dib d;
    if (!newdib(d, w, h, bits, reinterpret_cast<const BITMAPINFO *>(&info), 1 << bits))
        qFatal("newdib failed");
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            setpixel(d, x, h - 1 - y, static_cast<std::uint32_t>((x + 3 * y) % (1 << bits)));
    return d;
}

QRgb indexedColor(int x, int y, int bits)
{
    return paletteEntry((x + 3 * y) % (1 << bits));
}

QImage buffer(int w = 64, int h = 48)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Sentinel);
    return img;
}

QString describe(QRgb c)
{
    return QString::number(c, 16);
}

} // namespace

class tst_DrawDib : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void rowStretchSamples_data();
    void rowStretchSamples();
    void blocksAndColumns();
    void clipping_data();
    void clipping();
    void topAndLeftCutsMoveDestination();
    void outsideBufferNeverWritten_data();
    void outsideBufferNeverWritten();
    void painterClipRespected();
    void deviceStretchOtherDepths_data();
    void deviceStretchOtherDepths();
    void transformedPainterUsesDeviceStretch();
    void pathChoice_data();
    void pathChoice();
    void halftonedPixelsOnCube();
    void resampleMapsEnds_data();
    void resampleMapsEnds();
    void inactivePainterReportsFailure();
};

void tst_DrawDib::cleanup()
{
    setScreenBitsPerPixelOverride(0);
    setDrawFailureHandler(nullptr);
}

void tst_DrawDib::rowStretchSamples_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QRect>("dest");
    QTest::addColumn<QRect>("source"); // top-down
    for (int bits : {24, 8}) {
        const QByteArray b = QByteArray::number(bits) + " bit ";
        QTest::newRow(b + "100%") << bits << QRect(3, 2, 20, 15) << QRect(0, 0, 20, 15);
        QTest::newRow(b + "200%") << bits << QRect(0, 0, 40, 30) << QRect(0, 0, 20, 15);
        QTest::newRow(b + "50%") << bits << QRect(5, 5, 10, 7) << QRect(0, 0, 20, 15);
        QTest::newRow(b + "part at 300%") << bits << QRect(1, 1, 18, 12) << QRect(4, 3, 6, 4);
        QTest::newRow(b + "odd ratio") << bits << QRect(0, 0, 31, 23) << QRect(2, 1, 17, 13);
    }
}

// Destination pixel (i, j) shows source column sx + sw * i / dw and row top + sh * j / dh.
void tst_DrawDib::rowStretchSamples()
{
    QFETCH(int, bits);
    QFETCH(QRect, dest);
    QFETCH(QRect, source);
    dib d = bits == 24 ? make24(20, 15) : makeIndexed(20, 15, 8);
    QImage buf = buffer();
    const bool drawn = bits == 24
        ? StretchDibRows24(buf, dest.x(), dest.y(), dest.width(), dest.height(), d, source.x(), source.y(),
                           source.width(), source.height())
        : StretchDibRows8(buf, dest.x(), dest.y(), dest.width(), dest.height(), d, source.x(), source.y(),
                          source.width(), source.height());
    QVERIFY(drawn);
    for (int j = 0; j < dest.height(); ++j)
        for (int i = 0; i < dest.width(); ++i) {
            const int sx = source.x() + source.width() * i / dest.width();
            const int sy = source.y() + source.height() * j / dest.height();
            const QRgb want = bits == 24 ? sourceColor(sx, sy) : indexedColor(sx, sy, 8);
            QCOMPARE(describe(buf.pixel(dest.x() + i, dest.y() + j)), describe(want));
        }
    for (const QPoint &p : {dest.topLeft() - QPoint(1, 0), dest.topLeft() - QPoint(0, 1),
                            dest.bottomRight() + QPoint(1, 0), dest.bottomRight() + QPoint(0, 1)})
        if (buf.rect().contains(p))
            QCOMPARE(describe(buf.pixel(p)), describe(Sentinel));
    deldib(d);
}

void tst_DrawDib::blocksAndColumns()
{
    dib d = make24(20, 15);
    QImage buf = buffer();
    {
        QPainter p(&buf);
        DrawDib(p, 0, 0, 40, 30, d, 0, 0, 20, 15, false);
    }
    for (const QPoint &s : {QPoint(0, 0), QPoint(7, 4), QPoint(19, 14)})
        for (const QPoint &offset : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            QCOMPARE(describe(buf.pixel(2 * s + offset)), describe(sourceColor(s.x(), s.y())));

    buf = buffer();
    {
        QPainter p(&buf);
        DrawDib(p, 0, 0, 10, 8, d, 0, 0, 20, 15, false);
    }
    for (int i = 0; i < 10; ++i)
        QCOMPARE(describe(buf.pixel(i, 0)), describe(sourceColor(2 * i, 0)));
    QCOMPARE(describe(buf.pixel(0, 1)), describe(sourceColor(0, 1)));
    QCOMPARE(describe(buf.pixel(3, 7)), describe(sourceColor(6, 13)));
    deldib(d);
}

void tst_DrawDib::clipping_data()
{
    QTest::addColumn<DibBlit>("in");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<DibBlit>("out");
    // Image 100 x 80.
    QTest::newRow("inside") << DibBlit{5, 6, 200, 160, 0, 0, 100, 80} << true << DibBlit{5, 6, 200, 160, 0, 0, 100, 80};
    QTest::newRow("right") << DibBlit{0, 0, 200, 20, 50, 0, 100, 10} << true << DibBlit{0, 0, 100, 20, 50, 0, 50, 10};
    QTest::newRow("right, half rounds down to even") << DibBlit{0, 0, 5, 1, 99, 0, 2, 1} << true << DibBlit{0, 0, 2, 1, 99, 0, 1, 1};
    QTest::newRow("right, half rounds up to even") << DibBlit{0, 0, 7, 1, 99, 0, 2, 1} << true << DibBlit{0, 0, 4, 1, 99, 0, 1, 1};
    QTest::newRow("bottom") << DibBlit{0, 0, 10, 100, 0, -10, 10, 50} << true << DibBlit{0, 0, 10, 80, 0, 0, 10, 40};
    QTest::newRow("top moves down") << DibBlit{0, 0, 10, 100, 0, 60, 10, 40} << true << DibBlit{0, 50, 10, 50, 0, 60, 10, 20};
    QTest::newRow("left moves right") << DibBlit{0, 0, 120, 10, -20, 0, 60, 10} << true << DibBlit{40, 0, 80, 10, 0, 0, 40, 10};
    QTest::newRow("all four") << DibBlit{0, 0, 400, 400, -50, -50, 200, 200} << true << DibBlit{100, 140, 200, 160, 0, 0, 100, 80};
    QTest::newRow("right of image") << DibBlit{0, 0, 10, 10, 100, 0, 5, 5} << false << DibBlit{};
    QTest::newRow("below image") << DibBlit{0, 0, 10, 10, 0, -5, 5, 5} << false << DibBlit{};
    QTest::newRow("above image") << DibBlit{0, 0, 10, 10, 0, 80, 5, 5} << false << DibBlit{};
    QTest::newRow("left of image") << DibBlit{0, 0, 10, 10, -5, 0, 5, 5} << false << DibBlit{};
    QTest::newRow("shrinks to nothing") << DibBlit{0, 0, 1, 1, 99, 0, 4, 1} << false << DibBlit{};
    QTest::newRow("empty destination") << DibBlit{0, 0, 0, 10, 0, 0, 5, 5} << false << DibBlit{};
    QTest::newRow("huge extents") << DibBlit{0, 0, 2000000000, 10, 0, 0, 200, 80} << true << DibBlit{0, 0, 1000000000, 10, 0, 0, 100, 80};
}

void tst_DrawDib::clipping()
{
    QFETCH(DibBlit, in);
    QFETCH(bool, visible);
    QFETCH(DibBlit, out);
    DibBlit b = in;
    QCOMPARE(clipDibBlit(b, 100, 80), visible);
    if (!visible)
        return;
    QCOMPARE(QRect(b.x, b.y, b.dw, b.dh), QRect(out.x, out.y, out.dw, out.dh));
    QCOMPARE(QRect(b.sx, b.sy, b.sw, b.sh), QRect(out.sx, out.sy, out.sw, out.sh));
}

// The source reaches past the top and the left edge: the destination keeps its scale and
// starts lower and further right, showing the image's top-left pixel there.
void tst_DrawDib::topAndLeftCutsMoveDestination()
{
    dib d = make24(20, 15);
    QImage buf = buffer();
    {
        QPainter p(&buf);
        DrawDib(p, 0, 0, 50, 40, d, -5, 0, 25, 20, false);
    }
    QCOMPARE(describe(buf.pixel(9, 9)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(10, 9)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(9, 10)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(10, 10)), describe(sourceColor(0, 0)));
    QCOMPARE(describe(buf.pixel(49, 39)), describe(sourceColor(19, 14)));
    QCOMPARE(describe(buf.pixel(50, 39)), describe(Sentinel));
    deldib(d);
}

void tst_DrawDib::outsideBufferNeverWritten_data()
{
    QTest::addColumn<QRect>("dest");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QPoint>("sourcePixel");
    const int big = 20 * 3000; // 3000 % zoom of the 20 x 15 image
    QTest::newRow("negative offset") << QRect(-30, -20, 40, 30) << QPoint(0, 0) << QPoint(15, 10);
    QTest::newRow("3000 % zoom, far inside") << QRect(-31000, -22000, big, 15 * 3000) << QPoint(0, 0) << QPoint(10, 7);
    QTest::newRow("right of buffer") << QRect(64, 0, 40, 30) << QPoint(-1, -1) << QPoint();
    QTest::newRow("below buffer") << QRect(0, 48, 40, 30) << QPoint(-1, -1) << QPoint();
    QTest::newRow("far left") << QRect(-2000000000, 0, 40, 30) << QPoint(-1, -1) << QPoint();
    QTest::newRow("near int max") << QRect(2147483000, 2147483000, 600, 600) << QPoint(-1, -1) << QPoint();
    QTest::newRow("over the whole buffer") << QRect(-1000000, -1000000, 2000000, 2000000) << QPoint(32, 24) << QPoint(10, 7);
}

// Under the address sanitizer a write outside the buffer fails the test run.
void tst_DrawDib::outsideBufferNeverWritten()
{
    QFETCH(QRect, dest);
    QFETCH(QPoint, probe);
    QFETCH(QPoint, sourcePixel);
    dib d = make24(20, 15);
    QImage buf = buffer();
    QImage untouched = buf.copy();
    {
        QPainter p(&buf);
        DrawDib(p, dest.x(), dest.y(), dest.width(), dest.height(), d, 0, 0, 20, 15, false);
    }
    if (probe.x() < 0)
        QVERIFY(buf == untouched);
    else
        QCOMPARE(describe(buf.pixel(probe)), describe(sourceColor(sourcePixel.x(), sourcePixel.y())));
    deldib(d);
}

void tst_DrawDib::painterClipRespected()
{
    dib d = make24(20, 15);
    QImage buf = buffer();
    {
        QPainter p(&buf);
        p.setClipRect(QRect(10, 5, 4, 3));
        QCOMPARE(chooseDrawDibPath(p, d, false), DrawDibPath::Rows24);
        DrawDib(p, 0, 0, 40, 30, d, 0, 0, 20, 15, false);
    }
    QCOMPARE(describe(buf.pixel(10, 5)), describe(sourceColor(5, 2)));
    QCOMPARE(describe(buf.pixel(13, 7)), describe(sourceColor(6, 3)));
    QCOMPARE(describe(buf.pixel(9, 5)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(14, 7)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(10, 8)), describe(Sentinel));
    deldib(d);
}

void tst_DrawDib::deviceStretchOtherDepths_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("zoom");
    for (int bits : {1, 4, 16, 32})
        for (int zoom : {100, 200}) {
            const QByteArray tag = QByteArray::number(bits) + " bit at " + QByteArray::number(zoom) + "%";
            QTest::newRow(tag.constData()) << bits << zoom;
        }
}

void tst_DrawDib::deviceStretchOtherDepths()
{
    QFETCH(int, bits);
    QFETCH(int, zoom);
    dib d;
    if (bits <= 8) {
        d = makeIndexed(20, 15, bits);
    } else {
        QVERIFY(newdib(d, 20, 15, bits, nullptr, 0));
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 20; ++x) {
                const QRgb c = sourceColor(x, y);
                const std::uint32_t v = bits == 32 ? (c & 0xFFFFFFu)
                                                   : std::uint32_t(qRed(c) >> 3 << 10 | qGreen(c) >> 3 << 5 | qBlue(c) >> 3);
                setpixel(d, x, 14 - y, v);
            }
    }
    const auto expected = [&](int x, int y) {
        if (bits <= 8)
            return indexedColor(x, y, bits);
        return dibPixelColor(d, x, 14 - y);
    };
    QImage buf = buffer();
    {
        QPainter p(&buf);
        QCOMPARE(chooseDrawDibPath(p, d, false), DrawDibPath::DeviceStretch);
        DrawDib(p, 2, 3, 20 * zoom / 100, 15 * zoom / 100, d, 0, 0, 20, 15, false);
    }
    const int z = zoom / 100;
    for (const QPoint &s : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 14), QPoint(19, 14), QPoint(7, 9)})
        for (const QPoint &offset : {QPoint(0, 0), QPoint(z - 1, z - 1)})
            QCOMPARE(describe(buf.pixel(QPoint(2, 3) + z * s + offset)), describe(expected(s.x(), s.y())));
    QCOMPARE(describe(buf.pixel(1, 3)), describe(Sentinel));
    QCOMPARE(describe(buf.pixel(2 + 20 * z, 3)), describe(Sentinel));
    deldib(d);
}

void tst_DrawDib::transformedPainterUsesDeviceStretch()
{
    dib d = make24(20, 15);
    QImage buf = buffer();
    {
        QPainter p(&buf);
        p.translate(10, 5);
        QCOMPARE(chooseDrawDibPath(p, d, false), DrawDibPath::DeviceStretch);
        DrawDib(p, 0, 0, 20, 15, d, 0, 0, 20, 15, false);
    }
    QCOMPARE(describe(buf.pixel(10, 5)), describe(sourceColor(0, 0)));
    QCOMPARE(describe(buf.pixel(29, 19)), describe(sourceColor(19, 14)));
    QCOMPARE(describe(buf.pixel(9, 5)), describe(Sentinel));
    deldib(d);
}

void tst_DrawDib::pathChoice_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("screenBits");
    QTest::addColumn<bool>("halftoneAllowed");
    QTest::addColumn<DrawDibPath>("path");
    const QString rgb32 = QStringLiteral("RGB32"), pdf = QStringLiteral("PDF"), rgb888 = QStringLiteral("RGB888");
    QTest::newRow("24 bit, 8-bit screen, preview") << rgb32 << 24 << 8 << true << DrawDibPath::Halftone;
    QTest::newRow("24 bit, 4-bit screen, preview") << rgb32 << 24 << 4 << true << DrawDibPath::Halftone;
    QTest::newRow("24 bit, 8-bit screen, surface") << rgb32 << 24 << 8 << false << DrawDibPath::Rows24;
    QTest::newRow("24 bit, 32-bit screen, preview") << rgb32 << 24 << 32 << true << DrawDibPath::Rows24;
    QTest::newRow("24 bit, 16-bit screen, preview") << rgb32 << 24 << 16 << true << DrawDibPath::Rows24;
    QTest::newRow("8 bit, 8-bit screen, preview") << rgb32 << 8 << 8 << true << DrawDibPath::Rows8;
    QTest::newRow("24 bit on a printer") << pdf << 24 << 32 << false << DrawDibPath::DeviceStretch;
    QTest::newRow("8 bit on a printer") << pdf << 8 << 32 << false << DrawDibPath::DeviceStretch;
    QTest::newRow("24 bit on a printer, 8-bit screen, preview") << pdf << 24 << 8 << true << DrawDibPath::Halftone;
    QTest::newRow("24 bit on a 24-bit buffer") << rgb888 << 24 << 32 << false << DrawDibPath::DeviceStretch;
    QTest::newRow("4 bit") << rgb32 << 4 << 32 << false << DrawDibPath::DeviceStretch;
}

void tst_DrawDib::pathChoice()
{
    QFETCH(QString, device);
    QFETCH(int, bits);
    QFETCH(int, screenBits);
    QFETCH(bool, halftoneAllowed);
    QFETCH(DrawDibPath, path);
    setScreenBitsPerPixelOverride(screenBits);
    QCOMPARE(ScreenBitsPerPixel(), screenBits);
    dib d;
    QVERIFY(newdib(d, 4, 4, bits, nullptr, 0));
    QBuffer pdfBytes;
    pdfBytes.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdfBytes);
    QImage image(8, 8, device == QStringLiteral("RGB888") ? QImage::Format_RGB888 : QImage::Format_RGB32);
    QPainter p;
    QVERIFY(device == QStringLiteral("PDF") ? p.begin(&writer) : p.begin(&image));
    QCOMPARE(chooseDrawDibPath(p, d, halftoneAllowed), path);
    DrawDib(p, 0, 0, 8, 8, d, 0, 0, 4, 4, halftoneAllowed);
    p.end();
    deldib(d);
}

// A mid grey on an 8-bit screen becomes a pattern of the cube's two nearest greys, also when
// drawn smaller; without halftoning the grey is copied as it is.
void tst_DrawDib::halftonedPixelsOnCube()
{
    dib d;
    QVERIFY(newdib(d, 32, 32, 24, nullptr, 0));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            setpixel(d, x, y, 0x646464u);
    setScreenBitsPerPixelOverride(8);
    for (int size : {32, 16}) {
        QImage buf = buffer();
        {
            QPainter p(&buf);
            DrawDib(p, 1, 1, size, size, d, 0, 0, 32, 32, true);
        }
        QSet<QRgb> seen;
        for (int y = 1; y <= size; ++y)
            for (int x = 1; x <= size; ++x)
                seen.insert(buf.pixel(x, y));
        QCOMPARE(seen, (QSet<QRgb>{qRgb(51, 51, 51), qRgb(102, 102, 102)}));
        QCOMPARE(describe(buf.pixel(0, 0)), describe(Sentinel));
        QCOMPARE(describe(buf.pixel(size + 1, size + 1)), describe(Sentinel));
    }
    QImage plain = buffer();
    {
        QPainter p(&plain);
        DrawDib(p, 1, 1, 32, 32, d, 0, 0, 32, 32, false);
    }
    QCOMPARE(describe(plain.pixel(5, 5)), describe(qRgb(100, 100, 100)));
    deldib(d);
}

void tst_DrawDib::resampleMapsEnds_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QRect>("source"); // sy in stored rows
    QTest::addColumn<QSize>("size");
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        const QByteArray b = QByteArray::number(bits) + " bit ";
        QTest::newRow(b + "shrink") << bits << QRect(0, 0, 10, 7) << QSize(4, 3);
        QTest::newRow(b + "enlarge part") << bits << QRect(3, 2, 5, 4) << QSize(11, 9);
        QTest::newRow(b + "one pixel") << bits << QRect(2, 1, 6, 5) << QSize(1, 1);
        QTest::newRow(b + "one row") << bits << QRect(1, 3, 8, 2) << QSize(5, 1);
    }
}

// Destination pixel (i, j) takes source column sx + (sw - 1) * i / (dw - 1), likewise for rows;
// a single pixel takes the first source pixel.
void tst_DrawDib::resampleMapsEnds()
{
    QFETCH(int, bits);
    QFETCH(QRect, source);
    QFETCH(QSize, size);
    dib src;
    QVERIFY(newdib(src, 10, 7, bits, nullptr, 0));
    const std::uint32_t mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            setpixel(src, x, y, std::uint32_t(x * 37 + y * 101 + 5) & mask);
    dib out;
    QVERIFY(ResampleDib(out, src, source.x(), source.y(), source.width(), source.height(), size.width(), size.height()));
    QCOMPARE(DibBitCount(out), bits);
    const auto spread = [](int first, int extent, int k, int n) { return n == 1 ? first : first + (extent - 1) * k / (n - 1); };
    for (int j = 0; j < size.height(); ++j)
        for (int i = 0; i < size.width(); ++i)
            QCOMPARE(getpixel(out, i, j), getpixel(src, spread(source.x(), source.width(), i, size.width()),
                                                  spread(source.y(), source.height(), j, size.height())));
    QCOMPARE(getpixel(out, 0, 0), getpixel(src, source.x(), source.y()));
    deldib(out);
    QVERIFY(!ResampleDib(out, src, 5, 0, 6, 7, 3, 3));
    QVERIFY(!out.poi);
    deldib(src);
}

void tst_DrawDib::inactivePainterReportsFailure()
{
    QStringList messages;
    setDrawFailureHandler([&](const QString &m) { messages.append(m); });
    dib d = make24(4, 4);
    QPainter p;
    DrawDib(p, 0, 0, 4, 4, d, 0, 0, 4, 4, false);
    QCOMPARE(messages, QStringList{QStringLiteral("The device does not support the function StretchBlt!")});
    deldib(d);
}

QTEST_MAIN(tst_DrawDib)
#include "tst_drawdib.moc"

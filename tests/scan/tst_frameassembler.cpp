#include "scan/frameassembler.h"

#include <QTest>

#include <cstring>
#include <vector>

// Data rows hold frame lists, so the type must be known to the meta-type system before its first use.
Q_DECLARE_METATYPE(SANE_Parameters)

// Frames as a backend would deliver them, turned into image records. Rows are checked from the
// top of the picture, which is the last stored row.

namespace {

SANE_Parameters frame(SANE_Frame format, int depth, int width, int lines, int bytesPerLine, bool last = true)
{
    SANE_Parameters p{};
    p.format = format;
    p.depth = depth;
    p.pixels_per_line = width;
    p.lines = lines;
    p.bytes_per_line = bytesPerLine;
    p.last_frame = last ? SANE_TRUE : SANE_FALSE;
    return p;
}

SANE_Status feed(FrameAssembler &a, const std::vector<std::uint8_t> &bytes)
{
    return a.append(bytes.data(), bytes.size());
}

// The colour of pixel (x, y), y counted from the top, through the colour table where there is one.
QRgb colorAt(const dib &d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, DibHeight(d) - 1 - y);
    if (DibBitCount(d) <= 8) {
        const RGBQUAD &q = d.pmi->bmiColors[v];
        return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    return qRgb(int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF);
}

} // namespace

class TestFrameAssembler : public QObject
{
    Q_OBJECT
private slots:
    void grayWithPaddedLines();
    void sixteenBitTakesHighByte();
    void lineArtKeepsBlackBlack();
    void rgbFrame();
    void threePassInAnyOrder_data();
    void threePassInAnyOrder();
    void unknownLengthGrowsAndDropsPartialLine();
    void refusedFrames_data();
    void refusedFrames();
    void noCompleteLineIsAnError();
    void extraDataIsIgnored();
};

void TestFrameAssembler::grayWithPaddedLines()
{
    // Two lines of three pixels, each line padded to five bytes by the device.
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_GRAY, 8, 3, 2, 5)), SANE_STATUS_GOOD);
    QCOMPARE(a.expectedBytes(), 10);
    QCOMPARE(feed(a, {10, 20, 30, 99, 99, 40, 50, 60, 99, 99}), SANE_STATUS_GOOD);
    dib d;
    QCOMPARE(a.finish(d, 300.0, 150.0), SANE_STATUS_GOOD);
    QCOMPARE(DibWidth(d), 3);
    QCOMPARE(DibHeight(d), 2);
    QCOMPARE(DibBitCount(d), 8);
    QCOMPARE(d.bytew, 4);
    QCOMPARE(colorAt(d, 0, 0), qRgb(10, 10, 10));
    QCOMPARE(colorAt(d, 2, 0), qRgb(30, 30, 30));
    QCOMPARE(colorAt(d, 1, 1), qRgb(50, 50, 50));
    QCOMPARE(d.pmi->bmiColors[255].rgbGreen, 255);
    QCOMPARE(d.pmi->bmiHeader.biXPelsPerMeter, 11811);
    QCOMPARE(d.pmi->bmiHeader.biYPelsPerMeter, 5906);
    FreeDib(d);
}

void TestFrameAssembler::sixteenBitTakesHighByte()
{
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_RGB, 16, 1, 1, 6)), SANE_STATUS_GOOD);
    const std::uint16_t samples[3] = {0x12FF, 0x3400, 0xAB01};
    std::vector<std::uint8_t> bytes(6);
    std::memcpy(bytes.data(), samples, 6);
    QCOMPARE(feed(a, bytes), SANE_STATUS_GOOD);
    dib d;
    QCOMPARE(a.finish(d, 0.0, 0.0), SANE_STATUS_GOOD);
    QCOMPARE(DibBitCount(d), 24);
    QCOMPARE(colorAt(d, 0, 0), qRgb(0x12, 0x34, 0xAB));
    QCOMPARE(d.pmi->bmiHeader.biXPelsPerMeter, 0);
    FreeDib(d);
}

void TestFrameAssembler::lineArtKeepsBlackBlack()
{
    // Ten pixels: SANE's 1 is black. Second line all white.
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_GRAY, 1, 10, 2, 2)), SANE_STATUS_GOOD);
    QCOMPARE(feed(a, {0b10100000, 0b01000000, 0, 0}), SANE_STATUS_GOOD);
    dib d;
    QCOMPARE(a.finish(d, 100.0, 100.0), SANE_STATUS_GOOD);
    QCOMPARE(DibBitCount(d), 1);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    QCOMPARE(colorAt(d, 0, 0), black);
    QCOMPARE(colorAt(d, 1, 0), white);
    QCOMPARE(colorAt(d, 2, 0), black);
    QCOMPARE(colorAt(d, 8, 0), white);
    QCOMPARE(colorAt(d, 9, 0), black);
    QCOMPARE(colorAt(d, 0, 1), white);
    QCOMPARE(colorAt(d, 9, 1), white);
    FreeDib(d);
}

void TestFrameAssembler::rgbFrame()
{
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_RGB, 8, 2, 2, 6)), SANE_STATUS_GOOD);
    QCOMPARE(feed(a, {255, 0, 0, 0, 255, 0}), SANE_STATUS_GOOD);
    QCOMPARE(feed(a, {0, 0, 255, 1, 2, 3}), SANE_STATUS_GOOD);
    dib d;
    QCOMPARE(a.finish(d, 50.0, 50.0), SANE_STATUS_GOOD);
    QCOMPARE(colorAt(d, 0, 0), qRgb(255, 0, 0));
    QCOMPARE(colorAt(d, 1, 0), qRgb(0, 255, 0));
    QCOMPARE(colorAt(d, 0, 1), qRgb(0, 0, 255));
    QCOMPARE(colorAt(d, 1, 1), qRgb(1, 2, 3));
    FreeDib(d);
}

void TestFrameAssembler::threePassInAnyOrder_data()
{
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("RGB") << QList<int>{SANE_FRAME_RED, SANE_FRAME_GREEN, SANE_FRAME_BLUE};
    QTest::newRow("BGR") << QList<int>{SANE_FRAME_BLUE, SANE_FRAME_GREEN, SANE_FRAME_RED};
    QTest::newRow("GBR") << QList<int>{SANE_FRAME_GREEN, SANE_FRAME_BLUE, SANE_FRAME_RED};
}

void TestFrameAssembler::threePassInAnyOrder()
{
    QFETCH(QList<int>, order);
    FrameAssembler a;
    for (int i = 0; i < 3; ++i) {
        const auto format = static_cast<SANE_Frame>(order[i]);
        QCOMPARE(a.beginFrame(frame(format, 8, 2, 1, 2, i == 2)), SANE_STATUS_GOOD);
        QCOMPARE(a.expectedBytes(), 6);
        const std::uint8_t base = format == SANE_FRAME_RED ? 10 : format == SANE_FRAME_GREEN ? 20 : 30;
        QCOMPARE(feed(a, {base, std::uint8_t(base + 1)}), SANE_STATUS_GOOD);
    }
    dib d;
    QCOMPARE(a.finish(d, 75.0, 75.0), SANE_STATUS_GOOD);
    QCOMPARE(DibBitCount(d), 24);
    QCOMPARE(colorAt(d, 0, 0), qRgb(10, 20, 30));
    QCOMPARE(colorAt(d, 1, 0), qRgb(11, 21, 31));
    FreeDib(d);
}

void TestFrameAssembler::unknownLengthGrowsAndDropsPartialLine()
{
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_GRAY, 8, 4, -1, 4)), SANE_STATUS_GOOD);
    QCOMPARE(a.expectedBytes(), 0);
    for (int line = 0; line < 1000; ++line) {
        const auto v = static_cast<std::uint8_t>(line);
        QCOMPARE(feed(a, {v, v, v, v}), SANE_STATUS_GOOD);
    }
    QCOMPARE(feed(a, {7, 7}), SANE_STATUS_GOOD);
    QCOMPARE(a.receivedBytes(), 4002);
    dib d;
    QCOMPARE(a.finish(d, 0.0, 0.0), SANE_STATUS_GOOD);
    QCOMPARE(DibHeight(d), 1000);
    QCOMPARE(colorAt(d, 3, 0), qRgb(0, 0, 0));
    QCOMPARE(colorAt(d, 0, 999), qRgb(231, 231, 231));
    FreeDib(d);
}

void TestFrameAssembler::refusedFrames_data()
{
    QTest::addColumn<QList<SANE_Parameters>>("frames");
    QTest::addColumn<int>("status");
    using L = QList<SANE_Parameters>;
    QTest::newRow("depth 4") << L{frame(SANE_FRAME_GRAY, 4, 4, 1, 2)} << int(SANE_STATUS_UNSUPPORTED);
    QTest::newRow("unknown format") << L{frame(SANE_Frame(7), 8, 4, 1, 4)} << int(SANE_STATUS_UNSUPPORTED);
    QTest::newRow("no pixels") << L{frame(SANE_FRAME_GRAY, 8, 0, 1, 4)} << int(SANE_STATUS_INVAL);
    QTest::newRow("no lines") << L{frame(SANE_FRAME_GRAY, 8, 4, 0, 4)} << int(SANE_STATUS_INVAL);
    QTest::newRow("negative lines") << L{frame(SANE_FRAME_GRAY, 8, 4, -2, 4)} << int(SANE_STATUS_INVAL);
    QTest::newRow("line too short") << L{frame(SANE_FRAME_RGB, 8, 4, 1, 11)} << int(SANE_STATUS_INVAL);
    QTest::newRow("too wide") << L{frame(SANE_FRAME_GRAY, 8, MaxDibSide + 1, 1, MaxDibSide + 1)}
                              << int(SANE_STATUS_INVAL);
    QTest::newRow("grey after red") << L{frame(SANE_FRAME_RED, 8, 4, 1, 4, false), frame(SANE_FRAME_GRAY, 8, 4, 1, 4)}
                                    << int(SANE_STATUS_INVAL);
    QTest::newRow("red twice") << L{frame(SANE_FRAME_RED, 8, 4, 1, 4, false), frame(SANE_FRAME_RED, 8, 4, 1, 4)}
                               << int(SANE_STATUS_INVAL);
    QTest::newRow("green narrower") << L{frame(SANE_FRAME_RED, 8, 4, 1, 4, false), frame(SANE_FRAME_GREEN, 8, 3, 1, 4)}
                                    << int(SANE_STATUS_INVAL);
    QTest::newRow("second grey") << L{frame(SANE_FRAME_GRAY, 8, 4, 1, 4, false), frame(SANE_FRAME_GRAY, 8, 4, 1, 4)}
                                 << int(SANE_STATUS_INVAL);
    QTest::newRow("more than memory") << L{frame(SANE_FRAME_RGB, 8, 1, MaxDibSide, 0x7FFFFFF0)}
                                      << int(SANE_STATUS_NO_MEM);
}

void TestFrameAssembler::refusedFrames()
{
    QFETCH(QList<SANE_Parameters>, frames);
    QFETCH(int, status);
    FrameAssembler a;
    for (int i = 0; i + 1 < frames.size(); ++i)
        QCOMPARE(a.beginFrame(frames[i]), SANE_STATUS_GOOD);
    QCOMPARE(int(a.beginFrame(frames.last())), status);
}

void TestFrameAssembler::noCompleteLineIsAnError()
{
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_GRAY, 8, 4, 3, 4)), SANE_STATUS_GOOD);
    QCOMPARE(feed(a, {1, 2, 3}), SANE_STATUS_GOOD);
    dib d;
    QCOMPARE(a.finish(d, 0.0, 0.0), SANE_STATUS_IO_ERROR);
    QVERIFY(!d.poi);
    FrameAssembler none;
    QCOMPARE(none.finish(d, 0.0, 0.0), SANE_STATUS_INVAL);
    QCOMPARE(none.append(reinterpret_cast<const std::uint8_t *>("x"), 1), SANE_STATUS_INVAL);
}

void TestFrameAssembler::extraDataIsIgnored()
{
    FrameAssembler a;
    QCOMPARE(a.beginFrame(frame(SANE_FRAME_GRAY, 8, 2, 1, 2)), SANE_STATUS_GOOD);
    QCOMPARE(feed(a, {5, 6, 7, 8, 9}), SANE_STATUS_GOOD);
    QCOMPARE(a.receivedBytes(), 2);
    dib d;
    QCOMPARE(a.finish(d, 0.0, 0.0), SANE_STATUS_GOOD);
    QCOMPARE(DibHeight(d), 1);
    QCOMPARE(colorAt(d, 1, 0), qRgb(6, 6, 6));
    FreeDib(d);
}

QTEST_GUILESS_MAIN(TestFrameAssembler)
#include "tst_frameassembler.moc"

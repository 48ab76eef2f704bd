#include "core/dib.h"

#include <QtTest>

class tst_Dib : public QObject {
    Q_OBJECT

private slots:
    void newdibLayout_data();
    void newdibLayout();
    void pixelsPerDepth_data();
    void pixelsPerDepth();
    void outsideReadsZeroAndWritesNothing();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void paletteAndResolutionCopied();
    void freeDibEmptiesRecord();
    void accessorsWithoutHeader();
};

void tst_Dib::newdibLayout_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bytew");
    QTest::addColumn<int>("tableEntries");
    QTest::newRow("1 bit, 33 wide") << 1 << 33 << 8 << 2;
    QTest::newRow("4 bit, 9 wide") << 4 << 9 << 8 << 16;
    QTest::newRow("8 bit, 5 wide") << 8 << 5 << 8 << 256;
    QTest::newRow("16 bit, 3 wide") << 16 << 3 << 8 << 0;
    QTest::newRow("24 bit, 5 wide") << 24 << 5 << 16 << 0;
    QTest::newRow("32 bit, 3 wide") << 32 << 3 << 12 << 0;
}

void tst_Dib::newdibLayout()
{
    QFETCH(int, bits);
    QFETCH(int, width);
    QFETCH(int, bytew);
    QFETCH(int, tableEntries);
    dib d;
    QVERIFY(newdib(d, width, 7, bits, nullptr, 0));
    QCOMPARE(d.bytew, bytew);
    QCOMPARE(DibWidth(d), width);
    QCOMPARE(DibHeight(d), 7);
    QCOMPARE(DibBitCount(d), bits);
    QCOMPARE(DibColorCount(d), std::int64_t(1) << bits);
    QCOMPARE(dibPaletteSize(bits), tableEntries);
    QCOMPARE(d.pmi->bmiHeader.biSize, 40u);
    QCOMPARE(d.pmi->bmiHeader.biSizeImage, std::uint32_t(bytew * 7));
    for (int i = 0; i < bytew * 7; ++i)
        QCOMPARE(d.poi[i], std::uint8_t(0));
    deldib(d);
    QVERIFY(!d.poi);
}

void tst_Dib::pixelsPerDepth_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<quint32>("value");
    QTest::newRow("1") << 1 << 1u;
    QTest::newRow("4") << 4 << 0xAu;
    QTest::newRow("8") << 8 << 0xC3u;
    QTest::newRow("16") << 16 << 0x7A5Bu;
    QTest::newRow("24") << 24 << 0x123456u;
    QTest::newRow("32") << 32 << 0x89ABCDEFu;
}

// Neighbours must keep their values: packed depths share bytes between pixels.
void tst_Dib::pixelsPerDepth()
{
    QFETCH(int, bits);
    QFETCH(quint32, value);
    dib d;
    QVERIFY(newdib(d, 11, 3, bits, nullptr, 0));
    setpixel(d, 5, 1, value);
    QCOMPARE(getpixel(d, 5, 1), value);
    QCOMPARE(getpixel(d, 4, 1), 0u);
    QCOMPARE(getpixel(d, 6, 1), 0u);
    QCOMPARE(getpixel(d, 5, 0), 0u);
    setpixel(d, 4, 1, value);
    setpixel(d, 5, 1, 0);
    QCOMPARE(getpixel(d, 4, 1), value);
    QCOMPARE(getpixel(d, 5, 1), 0u);
    setpixel(d, 10, 2, value);
    QCOMPARE(getpixel(d, 10, 2), value);
    deldib(d);
}

void tst_Dib::outsideReadsZeroAndWritesNothing()
{
    dib d;
    QVERIFY(newdib(d, 4, 4, 8, nullptr, 0));
    std::memset(d.poi, 0x55, static_cast<std::size_t>(d.bytew) * 4);
    for (const QPoint &p : {QPoint(-1, 0), QPoint(0, -1), QPoint(4, 0), QPoint(0, 4)}) {
        QCOMPARE(getpixel(d, p.x(), p.y()), 0u);
        setpixel(d, p.x(), p.y(), 0xFF);
    }
    for (int i = 0; i < d.bytew * 4; ++i)
        QCOMPARE(d.poi[i], std::uint8_t(0x55));
    deldib(d);
}

void tst_Dib::refusesBadArguments_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bits");
    QTest::newRow("zero width") << 0 << 10 << 24;
    QTest::newRow("negative height") << 10 << -1 << 24;
    QTest::newRow("depth 2") << 10 << 10 << 2;
    QTest::newRow("depth 0") << 10 << 10 << 0;
    QTest::newRow("side too long") << MaxDibSide + 1 << 1 << 8;
    QTest::newRow("int max") << std::numeric_limits<int>::max() << std::numeric_limits<int>::max() << 24;
}

void tst_Dib::refusesBadArguments()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bits);
    dib d;
    QVERIFY(!newdib(d, width, height, bits, nullptr, 0));
    QVERIFY(!d.poi);
    QVERIFY(!d.pmi);
}

void tst_Dib::paletteAndResolutionCopied()
{
    dib src;
    QVERIFY(newdib(src, 2, 2, 8, nullptr, 0));
    src.pmi->bmiHeader.biXPelsPerMeter = 3937;
    src.pmi->bmiHeader.biYPelsPerMeter = 2000;
    RGBQUAD *table = src.pmi->bmiColors;
    table[0] = RGBQUAD{1, 2, 3, 0};
    table[255] = RGBQUAD{250, 251, 252, 0};
    dib copy;
    QVERIFY(newdib(copy, 5, 5, 8, src.pmi, 256));
    const RGBQUAD *copied = copy.pmi->bmiColors;
    QCOMPARE(copied[0].rgbRed, std::uint8_t(3));
    QCOMPARE(copied[255].rgbBlue, std::uint8_t(250));
    QCOMPARE(copy.pmi->bmiHeader.biXPelsPerMeter, 3937);
    QCOMPARE(copy.pmi->bmiHeader.biYPelsPerMeter, 2000);
    dib partial;
    QVERIFY(newdib(partial, 5, 5, 8, src.pmi, 1));
    const RGBQUAD *partialTable = partial.pmi->bmiColors;
    QCOMPARE(partialTable[0].rgbGreen, std::uint8_t(2));
    QCOMPARE(partialTable[255].rgbBlue, std::uint8_t(0));
    deldib(src);
    deldib(copy);
    deldib(partial);
}

void tst_Dib::freeDibEmptiesRecord()
{
    dib d;
    QVERIFY(newdib(d, 3, 3, 24, nullptr, 0));
    FreeDib(d);
    QVERIFY(!d.pmi && !d.pmih && !d.poih && !d.poi);
    FreeDib(d);

    // One block holding header and rows: released once.
    void *block = std::calloc(1, 64);
    d.pmih = block;
    d.poih = block;
    d.pmi = static_cast<BITMAPINFO *>(block);
    FreeDib(d);
    QVERIFY(!d.pmih && !d.poih);
}

void tst_Dib::accessorsWithoutHeader()
{
    const dib d;
    QCOMPARE(DibWidth(d), 0);
    QCOMPARE(DibHeight(d), 0);
    QCOMPARE(DibBitCount(d), 0);
    QCOMPARE(DibColorCount(d), std::int64_t(1));
    QCOMPARE(getpixel(d, 0, 0), 0u);
}

QTEST_APPLESS_MAIN(tst_Dib)
#include "tst_dib.moc"

#include "render/viewstate.h"

#include "render/renderer.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <random>

class TestViewState : public QObject
{
    Q_OBJECT

private slots:
    void imageToScreen_data();
    void imageToScreen();
    void screenToImage_data();
    void screenToImage();
    void exportIgnoresScrollBars();
    void hugeValuesSaturate();
    void roundsAsExtendedPrecision();
    void zoomIsHeldInRange_data();
    void zoomIsHeldInRange();
    void wheel();
    void handDrag();
    void handDragStopsAtLimitAndComesBack();
    void handDragNeedsPress();
    void pointMarksHidden();
};

void TestViewState::imageToScreen_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("scroll1");
    QTest::addColumn<int>("scroll2");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("X");
    QTest::addColumn<int>("Y");

    QTest::newRow("ties to even") << 100 << 0 << 0 << 12.5 << 7.5 << 12 << 8;
    QTest::newRow("offset after rounding") << 100 << -1 << -1 << 2.5 << 3.5 << 3 << 5;
    QTest::newRow("zoom 50, scrolled") << 50 << 20 << 0 << 3.0 << 0.0 << -18 << 0;
    QTest::newRow("negative tie") << 100 << 0 << 0 << -2.5 << -3.5 << -2 << -4;
    // 250 * 0.2 / 100 is a hair above 0.5 in extended precision, exactly 0.5 in doubles.
    QTest::newRow("extended precision up") << 250 << 0 << 0 << 0.2 << 1.8 << 1 << 5;
    QTest::newRow("extended precision down") << 250 << 0 << 0 << 0.6 << 1.4 << 1 << 3;
    QTest::newRow("vertical position at the minimum") << 100 << 0 << -10000 << 0.0 << 0.0 << 0 << 10000;
    QTest::newRow("minimum zoom") << 10 << 0 << 0 << 25.0 << 35.0 << 2 << 4;
    QTest::newRow("maximum zoom") << 30000 << 0 << 0 << 1.5 << 0.01 << 450 << 3;
}

void TestViewState::imageToScreen()
{
    QFETCH(int, zoom);
    QFETCH(int, scroll1);
    QFETCH(int, scroll2);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, X);
    QFETCH(int, Y);
    ViewState v;
    QVERIFY(v.setZoom(zoom) || zoom == 100);
    v.setScrollX(scroll1);
    v.setScrollY(scroll2);
    QCOMPARE(v.screen(x, y), QPoint(X, Y));
}

void TestViewState::screenToImage_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("scroll1");
    QTest::addColumn<int>("X");
    QTest::addColumn<double>("x");

    QTest::newRow("zoom 100") << 100 << 0 << 12 << 12.0;
    QTest::newRow("not an exact inverse") << 50 << 20 << -18 << 4.0;
    QTest::newRow("unrounded") << 30 << 0 << 1 << 100.0 / 30.0;
    QTest::newRow("minimum zoom") << 10 << 0 << 7 << 70.0;
}

void TestViewState::screenToImage()
{
    QFETCH(int, zoom);
    QFETCH(int, scroll1);
    QFETCH(int, X);
    QFETCH(double, x);
    ViewState v;
    v.setZoom(zoom);
    v.setScrollX(scroll1);
    v.setScrollY(scroll1);
    QCOMPARE(v.imageX(X), x);
    QCOMPARE(v.imageY(X), x);
}

void TestViewState::exportIgnoresScrollBars()
{
    ViewState v;
    v.setZoom(200);
    v.setScrollX(300);
    v.setScrollY(-40);
    QCOMPARE(v.screen(10, 10), QPoint(-280, 60));
    QCOMPARE(v.atOrigin().screen(10, 10), QPoint(20, 20));
    QCOMPARE(v.zoomedImageSize(101, 7), QSize(202, 14));
    v.setZoom(50);
    QCOMPARE(v.zoomedImageSize(5, 3), QSize(2, 2));
}

void TestViewState::hugeValuesSaturate()
{
    ViewState v;
    v.setZoom(ViewState::ZoomMax);
    QCOMPARE(v.screenX(1e12), ScreenLimit);
    QCOMPARE(v.screenX(-1e12), -ScreenLimit);
    v.setScrollX(ViewState::ScrollMin);
    QCOMPARE(v.screenX(1e12), ScreenLimit);
    QCOMPARE(v.screenX(std::numeric_limits<double>::quiet_NaN()), v.ox());
}

// The screen mapping's quick path gives what rounding the extended-precision product gives, ties
// and values beside them included.
void TestViewState::roundsAsExtendedPrecision()
{
    const auto expected = [](int zoom, double v, int offset) {
        const long double scaled = std::rint(static_cast<long double>(zoom) * static_cast<long double>(v) / 100.0L);
        return static_cast<int>(std::clamp(std::clamp(scaled, -(1.0L * ScreenLimit), 1.0L * ScreenLimit) + offset,
                                           -(1.0L * ScreenLimit), 1.0L * ScreenLimit));
    };
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    for (const int zoom : {10, 33, 50, 70, 100, 150, 333, 1000, 30000}) {
        ViewState v;
        v.setZoom(zoom);
        v.setScrollX(-77);
        for (int k = 0; k < 2000; ++k) {
            // Every other value is a tie at this zoom, or one ulp beside it.
            double x = spread(rng);
            if (k % 2)
                x = std::nextafter((std::floor(x * zoom / 100) + 0.5) * 100 / zoom, k % 4 == 1 ? 1e300 : -1e300);
            if (k % 6 == 3)
                x = (std::floor(x) + 0.5) * 100 / zoom;
            QCOMPARE(v.screenX(x), expected(zoom, x, v.ox()));
        }
    }
}

void TestViewState::zoomIsHeldInRange_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("held");
    QTest::newRow("below") << 5 << 10;
    QTest::newRow("zero") << 0 << 10;
    QTest::newRow("minimum") << 10 << 10;
    QTest::newRow("maximum") << 30000 << 30000;
    QTest::newRow("above") << 40000 << 30000;
}

void TestViewState::zoomIsHeldInRange()
{
    QFETCH(int, value);
    QFETCH(int, held);
    ViewState v;
    v.setZoom(value);
    QCOMPARE(v.zoomPercent, held);
    QVERIFY(std::isfinite(v.imageX(12345)));
}

void TestViewState::wheel()
{
    ViewState v;
    v.setScrollY(9990);
    QVERIFY(v.wheel(true));
    QCOMPARE(v.scrollY, 10000);
    QVERIFY(!v.wheel(true));
    QCOMPARE(v.scrollY, 10000);
    QVERIFY(v.wheel(false));
    QCOMPARE(v.scrollY, 9980);
    QCOMPARE(v.scrollX, 0);
    QVERIFY(v.wheel(false));
    QCOMPARE(v.scrollY, 9960);
}

void TestViewState::handDrag()
{
    ViewState v;
    HandDrag hand;
    hand.press(QPoint(100, 100), v);
    QVERIFY(hand.active());
    QVERIFY(hand.moveTo(QPoint(70, 100), v));
    QCOMPARE(v.scrollX, 30);
    QCOMPARE(v.screenX(0), -30);
    // A purely vertical move still asks for its repaint.
    QVERIFY(hand.moveTo(QPoint(70, 60), v));
    QCOMPARE(v.scrollY, 40);
    QVERIFY(!hand.moveTo(QPoint(70, 60), v));
    hand.release();
    QVERIFY(!hand.active());
    QVERIFY(!hand.moveTo(QPoint(0, 0), v));
    QCOMPARE(v.scrollX, 30);
}

void TestViewState::handDragStopsAtLimitAndComesBack()
{
    ViewState v;
    HandDrag hand;
    v.setScrollX(9990);
    hand.press(QPoint(500, 0), v);
    QVERIFY(hand.moveTo(QPoint(400, 0), v));
    QCOMPARE(v.scrollX, 10000);
    QVERIFY(!hand.moveTo(QPoint(300, 0), v));
    QVERIFY(hand.moveTo(QPoint(495, 0), v));
    QCOMPARE(v.scrollX, 9995);
    QVERIFY(hand.moveTo(QPoint(std::numeric_limits<int>::max(), 0), v));
    QCOMPARE(v.scrollX, -10000);
}

void TestViewState::handDragNeedsPress()
{
    ViewState v;
    const HandDrag hand;
    QVERIFY(!hand.active());
    QVERIFY(!hand.moveTo(QPoint(0, 0), v));
    QCOMPARE(v.scrollX, 0);
}

void TestViewState::pointMarksHidden()
{
    RenderPass pass;
    QVERIFY(pass.pointMarksShown());
    pass.handToolDown = true;
    QVERIFY(!pass.pointMarksShown());
    pass.handToolDown = false;
    pass.withoutMarks = true;
    QVERIFY(!pass.pointMarksShown());
}

QTEST_APPLESS_MAIN(TestViewState)
#include "tst_viewstate.moc"

#include "render/viewstate.h"

#include <QtTest>

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
    void zoomIsHeldInRange_data();
    void zoomIsHeldInRange();
    void wheel();
    void handDrag();
    void handDragStopsAtLimitAndComesBack();
    void handDragNeedsHandToolAndNotRightButton();
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
    v.setScrollBar1(scroll1);
    v.setScrollBar2(scroll2);
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
    v.setScrollBar1(scroll1);
    v.setScrollBar2(scroll1);
    QCOMPARE(v.imageX(X), x);
    QCOMPARE(v.imageY(X), x);
}

void TestViewState::exportIgnoresScrollBars()
{
    ViewState v;
    v.setZoom(200);
    v.setScrollBar1(300);
    v.setScrollBar2(-40);
    QCOMPARE(v.screen(10, 10), QPoint(-280, 60));
    v.paintforexport = true;
    QCOMPARE(v.screen(10, 10), QPoint(20, 20));
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
    v.setScrollBar1(ViewState::ScrollMin);
    QCOMPARE(v.screenX(1e12), ScreenLimit);
    QCOMPARE(v.screenX(std::numeric_limits<double>::quiet_NaN()), v.ox());
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
    QCOMPARE(v.zoomed, held);
    QVERIFY(std::isfinite(v.imageX(12345)));
}

void TestViewState::wheel()
{
    ViewState v;
    v.setScrollBar2(9990);
    QVERIFY(v.wheel(true));
    QCOMPARE(v.scrollBar2, 10000);
    QVERIFY(!v.wheel(true));
    QCOMPARE(v.scrollBar2, 10000);
    QVERIFY(v.wheel(false));
    QCOMPARE(v.scrollBar2, 9980);
    QCOMPARE(v.scrollBar1, 0);
    v.donotpaintnow = true;
    QVERIFY(!v.wheel(false));
    QCOMPARE(v.scrollBar2, 9960);
}

void TestViewState::handDrag()
{
    ViewState v;
    v.handBtn = true;
    v.handPress(100, 100, false);
    QVERIFY(v.inhand);
    QVERIFY(v.handMove(70, 100));
    QCOMPARE(v.scrollBar1, 30);
    QCOMPARE(v.screenX(0), -30);
    // A purely vertical move still asks for its repaint.
    QVERIFY(v.handMove(70, 60));
    QCOMPARE(v.scrollBar2, 40);
    QVERIFY(!v.handMove(70, 60));
    QVERIFY(!v.donotpaintnow);
    v.handRelease();
    QVERIFY(!v.inhand);
    QVERIFY(!v.handMove(0, 0));
    QCOMPARE(v.scrollBar1, 30);
}

void TestViewState::handDragStopsAtLimitAndComesBack()
{
    ViewState v;
    v.handBtn = true;
    v.setScrollBar1(9990);
    v.handPress(500, 0, false);
    QVERIFY(v.handMove(400, 0));
    QCOMPARE(v.scrollBar1, 10000);
    QVERIFY(!v.handMove(300, 0));
    QVERIFY(v.handMove(495, 0));
    QCOMPARE(v.scrollBar1, 9995);
    QVERIFY(v.handMove(std::numeric_limits<int>::max(), 0));
    QCOMPARE(v.scrollBar1, -10000);
}

void TestViewState::handDragNeedsHandToolAndNotRightButton()
{
    ViewState v;
    v.handPress(10, 10, false);
    QVERIFY(!v.inhand);
    v.handBtn = true;
    v.handPress(10, 10, true);
    QVERIFY(!v.inhand);
    QVERIFY(!v.handMove(0, 0));
    QCOMPARE(v.scrollBar1, 0);
}

void TestViewState::pointMarksHidden()
{
    ViewState v;
    QVERIFY(v.pointMarksShown());
    v.handBtn = true;
    QVERIFY(!v.pointMarksShown());
    v.handBtn = false;
    v.noendpunkte = true;
    QVERIFY(!v.pointMarksShown());
}

QTEST_APPLESS_MAIN(TestViewState)
#include "tst_viewstate.moc"

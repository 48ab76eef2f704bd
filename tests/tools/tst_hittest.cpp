#include "core/elements.h"
#include "tools/hittest.h"

#include <QTest>

#include <cmath>

namespace {

// The drawing surface's mapping: Round(zoom * v / 100), ties to even, minus the scroll position.
ImageToScreen mapping(double zoom, QPoint scroll)
{
    return [zoom, scroll](double x, double y) {
        return QPoint(static_cast<int>(std::nearbyint(zoom * x / 100)) - scroll.x(),
                      static_cast<int>(std::nearbyint(zoom * y / 100)) - scroll.y());
    };
}

} // namespace

class TestHitTest : public QObject
{
    Q_OBJECT

private slots:
    void pointTolerance_data();
    void pointTolerance();
    void segment_data();
    void segment();
    void outline_data();
    void outline();
    void outlineLeavesElementUnchanged();
};

void TestHitTest::pointTolerance_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("hit");

    QTest::newRow("on the point") << 100.0 << QPoint(10, 10) << QPointF(10, 10) << true;
    QTest::newRow("3 right, 3 up") << 100.0 << QPoint(13, 7) << QPointF(10, 10) << true;
    QTest::newRow("4 right") << 100.0 << QPoint(14, 10) << QPointF(10, 10) << false;
    QTest::newRow("4 down") << 100.0 << QPoint(10, 14) << QPointF(10, 10) << false;
    // The point's screen position is not rounded: 1.5 + 3 = 4.5 takes 4, not 5.
    QTest::newRow("zoom 150, inside the unrounded edge") << 150.0 << QPoint(4, -1) << QPointF(1, 1) << true;
    QTest::newRow("zoom 150, beyond the unrounded edge") << 150.0 << QPoint(5, 1) << QPointF(1, 1) << false;
    QTest::newRow("zoom 150, below the lower edge") << 150.0 << QPoint(-2, 1) << QPointF(1, 1) << false;
}

void TestHitTest::pointTolerance()
{
    QFETCH(double, zoom);
    QFETCH(QPoint, mouse);
    QFETCH(QPointF, point);
    QFETCH(bool, hit);
    QCOMPARE(clickonpunkt(mouse.x(), mouse.y(), point.x(), point.y(), zoom), hit);
}

void TestHitTest::segment_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("p");
    QTest::addColumn<bool>("hit");

    const QPointF a(0, 0);
    const QPointF b(100, 0);
    QTest::newRow("on the segment") << a << b << QPointF(50, 0) << true;
    QTest::newRow("4.9 beside") << a << b << QPointF(50, -4.9) << true;
    QTest::newRow("5 beside") << a << b << QPointF(50, 5) << false;
    QTest::newRow("4 beyond the end") << a << b << QPointF(104, 0) << true;
    QTest::newRow("6 beyond the end") << a << b << QPointF(106, 0) << false;
    QTest::newRow("6 before the start") << a << b << QPointF(-6, 0) << false;
    QTest::newRow("diagonal") << QPointF(0, 0) << QPointF(30, 40) << QPointF(15, 20) << true;
    QTest::newRow("zero length") << QPointF(10, 10) << QPointF(10, 10) << QPointF(10, 10) << false;
}

void TestHitTest::segment()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, p);
    QFETCH(bool, hit);
    auto f = [](QPointF q) { return PointF32{static_cast<float>(q.x()), static_cast<float>(q.y())}; };
    QCOMPARE(ClickOnline(f(a), f(b), f(p)), hit);
}

void TestHitTest::outline_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QList<QPointF>>("points");   // points 1 to 3
    QTest::addColumn<QList<QPointF>>("vertices");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<bool>("hit");

    const QList<QPointF> none;
    const QList<QPointF> rect{{10, 10}, {60, 40}, {60, 40}};
    QTest::newRow("rectangle top edge") << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(30, 10) << true;
    QTest::newRow("rectangle 4 below the top edge")
        << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(30, 14) << true;
    QTest::newRow("rectangle 5 below the top edge")
        << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(30, 15) << false;
    QTest::newRow("rectangle left edge") << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(12, 30) << true;
    QTest::newRow("rectangle right edge") << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(57, 25) << true;
    QTest::newRow("rectangle bottom edge") << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(45, 43) << true;
    QTest::newRow("rectangle inside") << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(30, 25) << false;
    QTest::newRow("rectangle edge extension 4 beyond the corner")
        << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(64, 10) << true;
    QTest::newRow("rectangle edge extension 6 beyond the corner")
        << int(TypRectangle) << rect << none << 100.0 << QPoint() << QPoint(66, 10) << false;
    QTest::newRow("rectangle zoomed and scrolled")
        << int(TypRectangle) << rect << none << 200.0 << QPoint(10, 10) << QPoint(60, 74) << true;
    QTest::newRow("rectangle zoomed, 5 off") << int(TypRectangle) << rect << none << 200.0 << QPoint(10, 10)
                                             << QPoint(60, 75) << false;

    const QList<QPointF> ellipse{{0, 0}, {100, 60}, {100, 60}};
    QTest::newRow("ellipse bottom") << int(TypEllipse) << ellipse << none << 100.0 << QPoint() << QPoint(50, 58) << true;
    QTest::newRow("ellipse right") << int(TypEllipse) << ellipse << none << 100.0 << QPoint() << QPoint(98, 30) << true;
    QTest::newRow("ellipse top") << int(TypEllipse) << ellipse << none << 100.0 << QPoint() << QPoint(50, 3) << true;
    QTest::newRow("ellipse centre") << int(TypEllipse) << ellipse << none << 100.0 << QPoint() << QPoint(50, 30) << false;
    QTest::newRow("ellipse bounding box corner")
        << int(TypEllipse) << ellipse << none << 100.0 << QPoint() << QPoint(99, 59) << false;

    const QList<QPointF> dist{{0, 0}, {100, 0}, {50, 20}};
    QTest::newRow("distance dimension line") << int(TypDistance) << dist << none << 100.0 << QPoint() << QPoint(50, 22) << true;
    QTest::newRow("distance first extension line")
        << int(TypDistance) << dist << none << 100.0 << QPoint() << QPoint(2, 10) << true;
    QTest::newRow("distance second extension line")
        << int(TypDistance) << dist << none << 100.0 << QPoint() << QPoint(101, 15) << true;
    QTest::newRow("distance measured line is no outline")
        << int(TypDistance) << dist << none << 100.0 << QPoint() << QPoint(50, 0) << false;
    QTest::newRow("distance with point 3 on the line")
        << int(TypDistance) << QList<QPointF>{{0, 0}, {100, 0}, {100, 0}} << none << 100.0 << QPoint() << QPoint(50, 3)
        << true;
    QTest::newRow("distance with both points at one place")
        << int(TypDistance) << QList<QPointF>{{40, 40}, {40, 40}, {40, 60}} << none << 100.0 << QPoint()
        << QPoint(40, 40) << false;
    QTest::newRow("scale line dimension line")
        << int(TypScaleLine) << QList<QPointF>{{0, 50}, {0, 150}, {-30, 100}} << none << 100.0 << QPoint()
        << QPoint(-29, 120) << true;
    QTest::newRow("scale line beside") << int(TypScaleLine) << QList<QPointF>{{0, 50}, {0, 150}, {-30, 100}} << none
                                       << 100.0 << QPoint() << QPoint(-15, 100) << false;

    const QList<QPointF> path{{0, 0}, {50, 0}, {50, 50}};
    QTest::newRow("polyline first segment") << int(TypPolyline) << none << path << 100.0 << QPoint() << QPoint(25, 2) << true;
    QTest::newRow("polyline last segment") << int(TypPolyline) << none << path << 100.0 << QPoint() << QPoint(52, 25) << true;
    QTest::newRow("polyline has no closing segment")
        << int(TypPolyline) << none << path << 100.0 << QPoint() << QPoint(25, 25) << false;
    QTest::newRow("open polygon has no closing segment")
        << int(TypPolygon) << none << path << 100.0 << QPoint() << QPoint(25, 25) << false;
    QTest::newRow("closed polygon closing segment")
        << int(TypPolygon) << none << QList<QPointF>{{0, 0}, {50, 0}, {50, 50}, {0, 0}} << 100.0 << QPoint()
        << QPoint(25, 25) << true;
    QTest::newRow("angle arm") << int(TypAngle) << none << path << 100.0 << QPoint() << QPoint(48, 40) << true;
    QTest::newRow("single vertex") << int(TypPolyline) << none << QList<QPointF>{{5, 5}} << 100.0 << QPoint()
                                   << QPoint(5, 5) << false;

    // Text anchored at (10, 50), 24 x 15 pixels: the box spans x 10..34 and y 35..50.
    const QList<QPointF> text{{10, 50}, {34, 35}, {0, 0}};
    QTest::newRow("text lower-left corner") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(10, 50) << true;
    QTest::newRow("text upper-right corner") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(34, 35) << true;
    QTest::newRow("text between letters") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(20, 42) << true;
    QTest::newRow("text right of the box") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(35, 40) << false;
    QTest::newRow("text below the anchor") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(20, 51) << false;
    QTest::newRow("text above the box") << int(TypText) << text << none << 100.0 << QPoint() << QPoint(20, 34) << false;

    QTest::newRow("line of a chain") << int(TypLine) << QList<QPointF>{{0, 0}, {100, 0}, {0, 0}} << none << 100.0
                                     << QPoint() << QPoint(50, 0) << false;
    QTest::newRow("cubic curve") << int(TypCubicCurve) << QList<QPointF>{{0, 0}, {100, 0}, {30, 0}} << none << 100.0
                                 << QPoint() << QPoint(50, 0) << false;
}

void TestHitTest::outline()
{
    QFETCH(int, typ);
    QFETCH(QList<QPointF>, points);
    QFETCH(QList<QPointF>, vertices);
    QFETCH(double, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, press);
    QFETCH(bool, hit);

    Document doc;
    Telemente *e = doc.appendElement();
    e->typ = typ;
    if (!points.isEmpty()) {
        e->x1 = points[0].x();
        e->y1 = points[0].y();
        e->x2 = points[1].x();
        e->y2 = points[1].y();
        e->x3 = points[2].x();
        e->y3 = points[2].y();
    }
    for (const QPointF &v : vertices)
        Document::appendVertex(e->vert, v.x(), v.y());
    QCOMPARE(outlineHit(*e, press, mapping(zoom, scroll), QSize(24, 15)), hit);
}

void TestHitTest::outlineLeavesElementUnchanged()
{
    Document doc;
    Telemente *e = doc.appendElement();
    e->typ = TypPolyline;
    for (const QPointF &v : {QPointF(0, 0), QPointF(50, 0), QPointF(50, 50)})
        Document::appendVertex(e->vert, v.x(), v.y());
    e->x1 = 7;
    e->x2 = 9;
    QVERIFY(!outlineHit(*e, QPoint(200, 200), mapping(100, QPoint()), QSize()));
    QCOMPARE(double(e->x1), 7.0);
    QCOMPARE(double(e->x2), 9.0);
}

QTEST_GUILESS_MAIN(TestHitTest)
#include "tst_hittest.moc"

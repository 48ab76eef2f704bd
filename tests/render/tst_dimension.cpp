#include "render/dimension.h"

#include <QtTest>

namespace {

bool near(QPointF a, QPointF b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

QString text(QPointF p)
{
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'g', 17).arg(p.y(), 0, 'g', 17);
}

#define COMPARE_POINT(actual, expected)                                                                              \
    QVERIFY2(near((actual), (expected)), qPrintable(text(actual) + QStringLiteral(" != ") + text(expected)))

}

class TestDimension : public QObject
{
    Q_OBJECT

private slots:
    void distanceArrows_data();
    void distanceArrows();
    void arrowHeadCorners();
    void dimension_data();
    void dimension();
    void coincidentPointsCollapse();
    void polylineArrows_data();
    void polylineArrows();
    void polylineEnds();
    void uprightArrows_data();
    void uprightArrows();
};

void TestDimension::distanceArrows_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("p");
    QTest::addColumn<QPointF>("q");

    QTest::newRow("full size") << QPointF(0, 0) << QPointF(100, 0) << QPointF(0, 7) << QPointF(30, 0);
    QTest::newRow("short, a third") << QPointF(0, 0) << QPointF(60, 0) << QPointF(0, 14.0 / 3) << QPointF(20, 0);
    QTest::newRow("exactly 2L + 2W is full") << QPointF(0, 0) << QPointF(0, 74) << QPointF(-7, 0) << QPointF(0, 30);
    QTest::newRow("right to left") << QPointF(100, 0) << QPointF(0, 0) << QPointF(0, -7) << QPointF(-30, 0);
    QTest::newRow("diagonal") << QPointF(0, 0) << QPointF(60, 80) << QPointF(-5.6, 4.2) << QPointF(18, 24);
}

void TestDimension::distanceArrows()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, p);
    QFETCH(QPointF, q);
    const ArrowVectors v = distanceArrowVectors(a, b, 30);
    COMPARE_POINT(v.p, p);
    COMPARE_POINT(v.q, q);
}

void TestDimension::arrowHeadCorners()
{
    const ArrowVectors v = distanceArrowVectors(QPointF(0, 0), QPointF(100, 0), 30);
    const ArrowHead s = startArrow(QPointF(0, 0), v);
    COMPARE_POINT(s[0], QPointF(0, 0));
    COMPARE_POINT(s[1], QPointF(30, 7));
    COMPARE_POINT(s[2], QPointF(30, -7));
    const ArrowHead e = endArrow(QPointF(100, 0), v);
    COMPARE_POINT(e[0], QPointF(100, 0));
    COMPARE_POINT(e[1], QPointF(70, 7));
    COMPARE_POINT(e[2], QPointF(70, -7));
}

void TestDimension::dimension_data()
{
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::addColumn<QPointF>("p3");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QLineF>("ext1");
    QTest::addColumn<QLineF>("ext2");

    QTest::newRow("horizontal, below") << QPointF(0, 0) << QPointF(100, 0) << QPointF(50, 5) << QPointF(0, 5)
                                       << QLineF(0, 0, 0, 12) << QLineF(100, 0, 100, 12);
    QTest::newRow("horizontal, above") << QPointF(0, 0) << QPointF(100, 0) << QPointF(20, -40) << QPointF(0, -40)
                                       << QLineF(0, 0, 0, -47) << QLineF(100, 0, 100, -47);
    // The back shift compares the x components only: 7 > 5 shifts the start back by e.
    QTest::newRow("vertical, back shift") << QPointF(0, 0) << QPointF(0, 100) << QPointF(5, 50) << QPointF(5, 0)
                                          << QLineF(-7, 0, 12, 0) << QLineF(-7, 100, 12, 100);
    QTest::newRow("vertical, far") << QPointF(0, 0) << QPointF(0, 100) << QPointF(20, 50) << QPointF(20, 0)
                                   << QLineF(0, 0, 27, 0) << QLineF(0, 100, 27, 100);
    // P3 on the measured line: the extension lines become ticks across both ends.
    QTest::newRow("on the line") << QPointF(0, 0) << QPointF(100, 0) << QPointF(100, 0) << QPointF(0, 0)
                                 << QLineF(0, -7, 0, 7) << QLineF(100, -7, 100, 7);
}

void TestDimension::dimension()
{
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    QFETCH(QPointF, p3);
    QFETCH(QPointF, offset);
    QFETCH(QLineF, ext1);
    QFETCH(QLineF, ext2);
    const DimensionGeometry g = distanceDimension(p1, p2, p3, 30);
    COMPARE_POINT(g.offset, offset);
    COMPARE_POINT(g.dimensionLine.p1(), p1 + offset);
    COMPARE_POINT(g.dimensionLine.p2(), p2 + offset);
    COMPARE_POINT(g.extension1.p1(), ext1.p1());
    COMPARE_POINT(g.extension1.p2(), ext1.p2());
    COMPARE_POINT(g.extension2.p1(), ext2.p1());
    COMPARE_POINT(g.extension2.p2(), ext2.p2());
    COMPARE_POINT(g.start[0], p1 + offset);
    COMPARE_POINT(g.end[0], p2 + offset);
}

void TestDimension::coincidentPointsCollapse()
{
    const QPointF p(40, 25);
    const DimensionGeometry g = distanceDimension(p, p, QPointF(90, 90), 30);
    COMPARE_POINT(g.offset, QPointF(0, 0));
    for (const QLineF &l : {g.dimensionLine, g.extension1, g.extension2}) {
        COMPARE_POINT(l.p1(), p);
        COMPARE_POINT(l.p2(), p);
    }
    for (const QPointF &c : g.start)
        COMPARE_POINT(c, p);
    for (const QPointF &c : g.end)
        COMPARE_POINT(c, p);
}

void TestDimension::polylineArrows_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("length");
    QTest::addColumn<QPointF>("p");
    QTest::addColumn<QPointF>("q");

    QTest::newRow("zoom 100") << 100.0 << 100.0 << QPointF(0, 7) << QPointF(30, 0);
    QTest::newRow("zoom 200, long segment") << 200.0 << 150.0 << QPointF(0, 14) << QPointF(60, 0);
    // 2 x 74 = 148 > 100: shrunk to a third of the segment, then scaled by the zoom.
    QTest::newRow("zoom 200, short segment") << 200.0 << 100.0 << QPointF(0, 2 * 70.0 / 9) << QPointF(200.0 / 3, 0);
    QTest::newRow("zoom 50, short at 100 is full") << 50.0 << 40.0 << QPointF(0, 3.5) << QPointF(15, 0);
}

void TestDimension::polylineArrows()
{
    QFETCH(double, zoom);
    QFETCH(double, length);
    QFETCH(QPointF, p);
    QFETCH(QPointF, q);
    const ArrowVectors v = polylineArrowVectors(QPointF(10, 10), QPointF(10 + length, 10), 30, zoom);
    COMPARE_POINT(v.p, p);
    COMPARE_POINT(v.q, q);
}

void TestDimension::polylineEnds()
{
    const SegmentEnd s = polylineStart(QPointF(0, 0), QPointF(0, 200), 30, 100);
    COMPARE_POINT(s.tick.p1(), QPointF(7, 0));
    COMPARE_POINT(s.tick.p2(), QPointF(-7, 0));
    COMPARE_POINT(s.arrow[0], QPointF(0, 0));
    COMPARE_POINT(s.arrow[1], QPointF(-7, 30));

    const SegmentEnd f = polylineFinish(QPointF(0, 0), QPointF(0, 200), 30, 100);
    COMPARE_POINT(f.tick.p1(), QPointF(7, 200));
    COMPARE_POINT(f.tick.p2(), QPointF(-7, 200));
    COMPARE_POINT(f.arrow[0], QPointF(0, 200));
    COMPARE_POINT(f.arrow[1], QPointF(-7, 170));
    COMPARE_POINT(f.arrow[2], QPointF(7, 170));
}

void TestDimension::uprightArrows_data()
{
    QTest::addColumn<double>("aspect");
    QTest::addColumn<QPolygonF>("head");
    QTest::addColumn<QPolygonF>("expected");
    const QPolygonF diagonal{QPointF(0, 0), QPointF(12.4, 28.2), QPointF(23.6, 19.8)};
    QTest::newRow("one scale") << 1.0 << diagonal << diagonal;
    // Twice as wide on paper: a horizontal arrow half as long in the drawing, a vertical one
    // half as wide.
    QTest::newRow("horizontal")
        << 2.0 << QPolygonF{QPointF(100, 0), QPointF(70, 7), QPointF(70, -7)}
        << QPolygonF{QPointF(100, 0), QPointF(85, 7), QPointF(85, -7)};
    QTest::newRow("vertical")
        << 2.0 << QPolygonF{QPointF(0, 0), QPointF(-7, 30), QPointF(7, 30)}
        << QPolygonF{QPointF(0, 0), QPointF(-3.5, 30), QPointF(3.5, 30)};
    // Along (18, 24) in the drawing, 45 degrees on paper: 30 long and 14 wide there.
    const double r = std::sqrt(0.5);
    QTest::newRow("diagonal") << 4.0 / 3 << diagonal
                              << QPolygonF{QPointF(0, 0), QPointF(17.25 * r, 37 * r), QPointF(27.75 * r, 23 * r)};
}

void TestDimension::uprightArrows()
{
    QFETCH(double, aspect);
    QFETCH(QPolygonF, head);
    QFETCH(QPolygonF, expected);
    const ArrowHead upright = uprightArrow({head[0], head[1], head[2]}, aspect);
    for (int k = 0; k < 3; ++k)
        COMPARE_POINT(upright[k], expected[k]);
}

QTEST_APPLESS_MAIN(TestDimension)
#include "tst_dimension.moc"

#include "fakehost.h"

#include "tools/toolcontroller.h"

#include <QTest>

#include <cmath>

namespace {

struct Bench {
    FakeHost host;
    ToolController tools{host};

    Bench() { tools.setTool(ToolId::Pointer); }
    void press(QPoint p) { tools.mousePress(Qt::LeftButton, p); }
    void move(QPoint p) { tools.mouseMove(p); }
    void release(QPoint p) { tools.mouseRelease(p); }
    QList<int> selected()
    {
        QList<int> out;
        for (int i = 0; i < host.doc.count(); ++i)
            if (host.element(i).selected)
                out.append(i);
        return out;
    }
};

} // namespace

class TestPointerTool : public QObject
{
    Q_OBJECT

private slots:
    void selectByOutline_data();
    void selectByOutline();
    void earlierElementWins();
    void cornerGrab_data();
    void cornerGrab();
    void coincidingPointsMoveTogether();
    void closedPolygonKeepsClosed();
    void polylineVertexDrag();
    void wholeElementMove();
    void moveWithoutShiftLeavesElementExactly();
    void distanceMoveCarriesDimensionLine();
    void releaseWithoutGesture();
};

void TestPointerTool::selectByOutline_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<QList<QPointF>>("vertices");
    QTest::addColumn<QPointF>("on");  // image point on the outline
    QTest::addColumn<QPointF>("off"); // image point off it

    const QList<QPointF> none;
    QTest::newRow("rectangle") << int(TypRectangle) << QList<QPointF>{{10, 10}, {60, 40}, {60, 40}} << none
                               << QPointF(30, 40) << QPointF(30, 25);
    QTest::newRow("ellipse") << int(TypEllipse) << QList<QPointF>{{0, 0}, {100, 60}, {100, 60}} << none
                             << QPointF(0, 30) << QPointF(50, 30);
    QTest::newRow("distance") << int(TypDistance) << QList<QPointF>{{0, 0}, {100, 0}, {50, 30}} << none
                              << QPointF(70, 30) << QPointF(70, 0);
    QTest::newRow("scale line") << int(TypScaleLine) << QList<QPointF>{{0, 0}, {100, 0}, {50, 0}} << none
                                << QPointF(70, 1) << QPointF(70, 10);
    QTest::newRow("angle") << int(TypAngle) << none << QList<QPointF>{{60, 0}, {0, 0}, {0, 60}} << QPointF(0, 30)
                           << QPointF(30, 30);
    QTest::newRow("polygon") << int(TypPolygon) << none << QList<QPointF>{{0, 0}, {60, 0}, {60, 60}, {0, 0}}
                             << QPointF(30, 30) << QPointF(45, 15);
    QTest::newRow("polyline") << int(TypPolyline) << none << QList<QPointF>{{0, 0}, {60, 0}, {60, 60}}
                              << QPointF(60, 45) << QPointF(30, 30);
    // "Wand" measures 32 x 15 image pixels in the fake host's font: its box spans x 20..52, y 35..50.
    QTest::newRow("text") << int(TypText) << QList<QPointF>{{20, 50}, {0, 0}, {0, 0}} << none << QPointF(40, 40)
                          << QPointF(55, 40);
}

void TestPointerTool::selectByOutline()
{
    QFETCH(int, typ);
    QFETCH(QList<QPointF>, points);
    QFETCH(QList<QPointF>, vertices);
    QFETCH(QPointF, on);
    QFETCH(QPointF, off);

    Bench b;
    b.host.zoomValue = 200;
    b.host.scroll = QPoint(-40, 30);
    const int i = vertices.isEmpty() ? b.host.addElement(typ, points[0].x(), points[0].y(), points[1].x(),
                                                         points[1].y(), points[2].x(), points[2].y())
                                     : b.host.addVertexElement(typ, vertices);
    if (typ == TypText)
        Document::setName(b.host.element(i), QStringLiteral("Wand"));

    b.press(b.host.at(on.x(), on.y()));
    QCOMPARE(b.selected(), QList<int>{i});
    QVERIFY(b.tools.pointer().moving());
    QCOMPARE(b.tools.pointer().movedElement(), i);
    b.release(b.host.at(on.x(), on.y()));

    const int repaints = b.host.repaints;
    b.press(b.host.at(off.x(), off.y()));
    QVERIFY(b.selected().isEmpty());
    QVERIFY(!b.tools.pointer().moving());
    QCOMPARE(b.host.repaints, repaints + 1);
}

void TestPointerTool::earlierElementWins()
{
    Bench b;
    b.host.addElement(TypRectangle, 0, 0, 50, 50, 50, 50);
    b.host.addElement(TypRectangle, 0, 0, 80, 80, 80, 80);
    b.host.element(1).selected = true;
    b.press(QPoint(20, 0));
    QCOMPARE(b.selected(), QList<int>{0});
}

void TestPointerTool::cornerGrab_data()
{
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("grabs");

    QTest::newRow("3 pixels right of the corner") << QPoint(3, 0) << true;
    QTest::newRow("3 pixels off diagonally") << QPoint(-3, 3) << true;
    QTest::newRow("4 pixels right of the corner") << QPoint(4, 0) << false;
}

void TestPointerTool::cornerGrab()
{
    QFETCH(QPoint, offset);
    QFETCH(bool, grabs);

    Bench b;
    b.host.zoomValue = 200;
    b.host.addElement(TypRectangle, 10, 10, 60, 40, 60, 40);
    b.host.element(0).selected = true;

    const QPoint start = b.host.at(60, 40) + offset;
    b.press(start);
    QCOMPARE(b.tools.pointer().draggingPoint(), grabs);
    QCOMPARE(b.tools.pointer().moving(), !grabs); // the edge's extension is still its outline
    QCOMPARE(bool(b.host.element(0).dragit2), grabs);
    QVERIFY(!b.host.element(0).dragit1);
    QVERIFY(b.host.element(0).selected);

    const int repaints = b.host.repaints;
    b.move(start + QPoint(20, 10));
    QCOMPARE(b.host.repaints, repaints + 1);
    b.release(start + QPoint(20, 10));
    const Telemente &e = b.host.element(0);
    if (grabs) {
        QCOMPARE(QPointF(e.x1, e.y1), QPointF(10, 10));
        QCOMPARE(QPointF(e.x2, e.y2), QPointF(70, 45));
        QCOMPARE(b.host.repaints, repaints + 2);
        QVERIFY(!b.tools.pointer().draggingPoint());
    } else {
        QCOMPARE(QPointF(e.x1, e.y1), QPointF(20, 15));
        QCOMPARE(QPointF(e.x2, e.y2), QPointF(70, 45));
        QCOMPARE(b.host.repaints, repaints + 1);
    }
}

void TestPointerTool::coincidingPointsMoveTogether()
{
    // A distance just made has point 3 on point 2: a press there grabs both.
    Bench b;
    b.host.addElement(TypDistance, 0, 0, 100, 0, 100, 0);
    b.host.element(0).selected = true;
    b.press(QPoint(101, 1));
    b.move(QPoint(111, 21));
    const Telemente &e = b.host.element(0);
    QCOMPARE(QPointF(e.x1, e.y1), QPointF(0, 0));
    QCOMPARE(QPointF(e.x2, e.y2), QPointF(110, 20));
    QCOMPARE(QPointF(e.x3, e.y3), QPointF(110, 20));
}

void TestPointerTool::closedPolygonKeepsClosed()
{
    Bench b;
    b.host.addVertexElement(TypPolygon, {{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}});
    b.host.element(0).selected = true;
    b.host.repaint();
    QCOMPARE(field(b.host.element(0).flaeche), 1600.0);

    b.press(QPoint(1, 1));
    QVERIFY(b.tools.pointer().draggingPoint());
    // The closing copy is the last vertex hit in list order.
    QCOMPARE(field(b.host.element(0).dragvertnr), 4);
    b.move(QPoint(-19, 1));
    b.release(QPoint(-19, 1));
    QCOMPARE(b.host.vertices(0), (QList<QPointF>{{-20, 0}, {40, 0}, {40, 40}, {0, 40}, {-20, 0}}));
    QCOMPARE(field(b.host.element(0).flaeche), 1600.0 + 400.0);
}

void TestPointerTool::polylineVertexDrag()
{
    Bench b;
    b.host.zoomValue = 50;
    b.host.addVertexElement(TypPolyline, {{0, 0}, {100, 0}, {100, 100}, {0, 0}});
    b.host.element(0).selected = true;
    b.press(b.host.at(100, 100));
    QCOMPARE(field(b.host.element(0).dragvertnr), 2);
    b.move(b.host.at(100, 100) + QPoint(5, -5));
    QCOMPARE(b.host.vertices(0), (QList<QPointF>{{0, 0}, {100, 0}, {110, 90}, {0, 0}}));

    // Only a polygon ties its first and last vertex together.
    b.release(QPoint());
    QCOMPARE(b.host.doc.placementZoom(0), 50.0);
    b.press(b.host.at(0, 0));
    QCOMPARE(field(b.host.element(0).dragvertnr), 3);
    b.move(b.host.at(0, 0) + QPoint(0, 10));
    QCOMPARE(b.host.vertices(0), (QList<QPointF>{{0, 0}, {100, 0}, {110, 90}, {0, 20}}));
}

void TestPointerTool::wholeElementMove()
{
    Bench b;
    b.host.zoomValue = 200;
    b.host.addElement(TypRectangle, 10, 10, 60, 40, 60, 40);
    b.host.addVertexElement(TypPolygon, {{100, 100}, {140, 100}, {140, 140}, {100, 100}});
    QList<QPointF> shown;
    b.host.onRepaint = [&shown](FakeHost &h) {
        shown.append(QPointF(h.element(1).x1, h.element(1).y1));
        shown.append(h.vertices(1).value(2));
    };

    const QPoint start = b.host.at(120, 100);
    b.press(start);
    QCOMPARE(b.tools.pointer().movedElement(), 1);
    shown.clear();
    b.move(start + QPoint(20, 10));
    // The picture shows the shift, the document keeps the element where it was.
    QCOMPARE(shown, (QList<QPointF>{{110, 105}, {150, 145}}));
    QCOMPARE(b.host.vertices(1), (QList<QPointF>{{100, 100}, {140, 100}, {140, 140}, {100, 100}}));
    QCOMPARE(field(b.host.element(1).x1), 100.0);

    const int repaints = b.host.repaints;
    b.release(start + QPoint(30, -20));
    QCOMPARE(b.host.repaints, repaints);
    QVERIFY(!b.tools.pointer().moving());
    QCOMPARE(b.host.vertices(1), (QList<QPointF>{{115, 90}, {155, 90}, {155, 130}, {115, 90}}));
    QCOMPARE(QPointF(b.host.element(0).x1, b.host.element(0).y1), QPointF(10, 10));
}

void TestPointerTool::moveWithoutShiftLeavesElementExactly()
{
    Bench b;
    b.host.zoomValue = 30;
    b.host.addElement(TypEllipse, 0.1, 0.7, 300.3, 200.9, 300.3, 200.9);
    const QPoint start = b.host.at(150.2, 0.7);
    b.press(start);
    QVERIFY(b.tools.pointer().moving());
    for (int i = 1; i < 20; ++i)
        b.move(start + QPoint(i * 7, -i * 3));
    b.release(start);
    const Telemente &e = b.host.element(0);
    QCOMPARE(field(e.x1), 0.1);
    QCOMPARE(field(e.y1), 0.7);
    QCOMPARE(field(e.x2), 300.3);
    QCOMPARE(field(e.y2), 200.9);
}

void TestPointerTool::distanceMoveCarriesDimensionLine()
{
    Bench b;
    b.host.addElement(TypDistance, 0, 0, 100, 0, 50, 20);
    b.host.element(0).x4 = 30;
    b.host.element(0).y4 = 0;
    b.press(QPoint(50, 20));
    b.move(QPoint(60, 40));
    b.release(QPoint(60, 40));
    const Telemente &e = b.host.element(0);
    QCOMPARE(QPointF(e.x1, e.y1), QPointF(10, 20));
    QCOMPARE(QPointF(e.x2, e.y2), QPointF(110, 20));
    QCOMPARE(QPointF(e.x3, e.y3), QPointF(60, 40));
    QCOMPARE(field(e.x4), 30.0);
    QCOMPARE(field(e.y4), 0.0);
}

void TestPointerTool::releaseWithoutGesture()
{
    Bench b;
    b.host.addElement(TypRectangle, 0, 0, 10, 10, 10, 10);
    b.release(QPoint(5, 5));
    b.move(QPoint(0, 0));
    QCOMPARE(b.host.repaints, 0);
    QCOMPARE(field(b.host.element(0).x1), 0.0);
}

QTEST_GUILESS_MAIN(TestPointerTool)
#include "tst_pointertool.moc"

#include "fakehost.h"

#include "tools/toolcontroller.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(ToolId)

namespace {

struct Bench {
    FakeHost host;
    ToolController tools{host};

    explicit Bench(ToolId id) { tools.setTool(id); }
    void press(double x, double y) { tools.mousePress(Qt::LeftButton, host.at(x, y)); }
    void pressScreen(QPoint p) { tools.mousePress(Qt::LeftButton, p); }
    void right() { tools.mousePress(Qt::RightButton, QPoint(0, 0)); }
    void move(double x, double y) { tools.mouseMove(host.at(x, y)); }
};

bool near(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

} // namespace

class TestToolController : public QObject
{
    Q_OBJECT

private slots:
    void gestures_data();
    void gestures();
    void firstPressCreatesNothing();
    void noToolDoesNothing();
    void snapping_data();
    void snapping();
    void squareConstraint_data();
    void squareConstraint();
    void axisConstraint_data();
    void axisConstraint();
    void rubberBand_data();
    void rubberBand();
    void distanceDragsDimensionLine();
    void inclinedDistance_data();
    void inclinedDistance();
    void graphicScale();
    void rightPressClosesOnlyTheOpenPolygon();
    void rightPressOnRectangleAddsNoVertex();
    void rightPressPolylineAsksName();
    void rightPressEmptyDocumentAsksNothing();
    void nameQuestion_data();
    void nameQuestion();
    void returnToPointer_data();
    void returnToPointer();
    void chainOfLines();
    void textTool_data();
    void textTool();
    void textPreview();
    void handTool();
    void changingToolKeepsConstruction();
};

void TestToolController::gestures_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QList<QPointF>>("presses");
    QTest::addColumn<bool>("rightPress");
    QTest::addColumn<int>("typ");
    QTest::addColumn<QList<QPointF>>("points");   // points 1 to 3 of a two-point element
    QTest::addColumn<QList<QPointF>>("vertices"); // of a vertex element
    QTest::addColumn<bool>("named");

    QTest::newRow("rectangle") << ToolId::Rectangle << 100.0 << QPoint() << QList<QPointF>{{10, 10}, {60, 40}} << false
                               << int(TypRectangle) << QList<QPointF>{{10, 10}, {60, 40}, {60, 40}} << QList<QPointF>{}
                               << true;
    QTest::newRow("ellipse zoomed and scrolled")
        << ToolId::Ellipse << 200.0 << QPoint(10, 20) << QList<QPointF>{{20, 30}, {80, 70}} << false << int(TypEllipse)
        << QList<QPointF>{{20, 30}, {80, 70}, {80, 70}} << QList<QPointF>{} << true;
    QTest::newRow("distance") << ToolId::Distance << 100.0 << QPoint() << QList<QPointF>{{10, 10}, {110, 10}, {60, 30}}
                              << false << int(TypDistance) << QList<QPointF>{{10, 10}, {110, 10}, {60, 30}}
                              << QList<QPointF>{} << true;
    QTest::newRow("distance at zoom 50")
        << ToolId::Distance << 50.0 << QPoint(-30, 0) << QList<QPointF>{{10, 10}, {110, 10}, {60, 30}} << false
        << int(TypDistance) << QList<QPointF>{{10, 10}, {110, 10}, {60, 30}} << QList<QPointF>{} << true;
    QTest::newRow("graphic scale") << ToolId::Scale << 100.0 << QPoint() << QList<QPointF>{{20, 20}, {100, 80}} << false
                                   << int(TypScaleLine) << QList<QPointF>{{20, 20}, {100, 80}, {100, 80}}
                                   << QList<QPointF>{} << false;
    QTest::newRow("angle") << ToolId::Angle << 100.0 << QPoint() << QList<QPointF>{{100, 20}, {20, 20}, {20, 100}}
                           << false << int(TypAngle) << QList<QPointF>{}
                           << QList<QPointF>{{100, 20}, {20, 20}, {20, 100}} << true;
    QTest::newRow("polygon closed by a right press")
        << ToolId::Polygon << 100.0 << QPoint() << QList<QPointF>{{10, 10}, {110, 10}, {110, 90}, {10, 90}} << true
        << int(TypPolygon) << QList<QPointF>{} << QList<QPointF>{{10, 10}, {110, 10}, {110, 90}, {10, 90}, {10, 10}}
        << true;
    QTest::newRow("polyline") << ToolId::Polyline << 100.0 << QPoint() << QList<QPointF>{{10, 10}, {60, 10}, {60, 80}}
                              << true << int(TypPolyline) << QList<QPointF>{}
                              << QList<QPointF>{{10, 10}, {60, 10}, {60, 80}} << true;
}

void TestToolController::gestures()
{
    QFETCH(ToolId, tool);
    QFETCH(double, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(QList<QPointF>, presses);
    QFETCH(bool, rightPress);
    QFETCH(int, typ);
    QFETCH(QList<QPointF>, points);
    QFETCH(QList<QPointF>, vertices);
    QFETCH(bool, named);

    Bench b(tool);
    b.host.zoomValue = zoom;
    b.host.scroll = scroll;
    b.host.nameAnswers.push_back(QStringLiteral("Raum"));
    for (const QPointF &p : presses)
        b.press(p.x(), p.y());
    if (rightPress)
        b.right();

    QCOMPARE(b.host.doc.count(), 1);
    QVERIFY(!b.tools.construction().constructing);
    Telemente &e = b.host.element(0);
    QCOMPARE(field(e.typ), typ);
    QCOMPARE(field(e.nr), 0);
    QVERIFY(!e.closed);
    QVERIFY(!e.selected);
    if (!points.isEmpty()) {
        QCOMPARE(QPointF(e.x1, e.y1), points[0]);
        QCOMPARE(QPointF(e.x2, e.y2), points[1]);
        QCOMPARE(QPointF(e.x3, e.y3), points[2]);
        QCOMPARE(field(e.x4), 0.0);
        QCOMPARE(field(e.y4), 0.0);
        QCOMPARE(Document::vertexCount(e), 0);
    }
    QCOMPARE(b.host.vertices(0), vertices);
    QCOMPARE(b.host.namePresets.size(), named ? 1 : 0);
    QCOMPARE(Document::name(e), named ? QStringLiteral("Raum") : QString());
    QVERIFY(b.host.repaints > 0);
    if (typ == TypAngle)
        QVERIFY(near(e.winkel, 90));
    if (typ == TypScaleLine)
        QCOMPARE(b.host.scaleShown, (QList<double>{100, 100}));
}

void TestToolController::firstPressCreatesNothing()
{
    Bench b(ToolId::Distance);
    b.press(10, 20);
    QCOMPARE(b.host.doc.count(), 0);
    QCOMPARE(b.host.repaints, 0);
    QVERIFY(b.tools.construction().constructing);
    QCOMPARE(b.tools.construction().placedSegments, 0);
    QCOMPARE(b.tools.construction().start(), QPointF(10, 20));
}

void TestToolController::noToolDoesNothing()
{
    Bench b(ToolId::None);
    b.press(10, 10);
    b.press(50, 50);
    b.move(60, 60);
    QCOMPARE(b.host.doc.count(), 0);
    QVERIFY(!b.tools.construction().constructing);
    QCOMPARE(b.host.repaints + b.host.renders, 0);
}

void TestToolController::snapping_data()
{
    QTest::addColumn<bool>("firstPress");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QPointF>("target");
    QTest::addColumn<QPoint>("offset"); // screen pixels from the target
    QTest::addColumn<bool>("snaps");

    const QPointF corner(50, 40);
    QTest::newRow("second press on the corner") << false << false << corner << QPoint(0, 0) << true;
    QTest::newRow("second press 3 pixels off") << false << false << corner << QPoint(3, -3) << true;
    QTest::newRow("second press 4 pixels off") << false << false << corner << QPoint(4, 0) << false;
    QTest::newRow("second press with Ctrl") << false << true << corner << QPoint(1, 1) << false;
    QTest::newRow("first press with Ctrl still snaps") << true << true << corner << QPoint(2, -2) << true;
    QTest::newRow("first press 4 pixels off") << true << false << corner << QPoint(0, -4) << false;
    QTest::newRow("point 4 of a rectangle") << false << false << QPointF(0, 0) << QPoint(2, 3) << true;
    QTest::newRow("vertices are no targets") << false << false << QPointF(180, 60) << QPoint(0, 0) << false;
}

void TestToolController::snapping()
{
    QFETCH(bool, firstPress);
    QFETCH(bool, ctrl);
    QFETCH(QPointF, target);
    QFETCH(QPoint, offset);
    QFETCH(bool, snaps);

    // Right Ctrl counts as Ctrl but does not square the rectangle.
    Bench b(ToolId::Rectangle);
    b.host.zoomValue = 200;
    b.host.scroll = QPoint(-20, -20);
    b.host.addElement(TypRectangle, 50, 40, 90, 80, 90, 80);
    b.host.addVertexElement(TypPolygon, {{150, 20}, {180, 20}, {180, 60}});
    b.host.rightCtrlDown = ctrl;
    b.host.askNames = false;

    const QPoint on = b.host.at(target.x(), target.y()) + offset;
    const QPoint away = b.host.at(300, 250);
    b.pressScreen(firstPress ? on : away);
    b.pressScreen(firstPress ? away : on);

    QCOMPARE(b.host.doc.count(), 3);
    const Telemente &e = b.host.element(2);
    const QPointF placed = firstPress ? QPointF(e.x1, e.y1) : QPointF(e.x2, e.y2);
    QCOMPARE(placed, snaps ? target : b.host.screenToImage(on));
}

void TestToolController::squareConstraint_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<bool>("leftCtrl");
    QTest::addColumn<bool>("rightCtrl");
    QTest::addColumn<QPointF>("pressed");
    QTest::addColumn<QPointF>("corner");

    QTest::newRow("rectangle, left Ctrl") << ToolId::Rectangle << true << false << QPointF(10, -4) << QPointF(4, -4);
    QTest::newRow("rectangle, right Ctrl") << ToolId::Rectangle << false << true << QPointF(10, -4) << QPointF(10, -4);
    QTest::newRow("rectangle, no key") << ToolId::Rectangle << false << false << QPointF(10, -4) << QPointF(10, -4);
    QTest::newRow("rectangle, taller") << ToolId::Rectangle << true << false << QPointF(-3, 12) << QPointF(-3, 3);
    QTest::newRow("circle, left Ctrl") << ToolId::Ellipse << true << false << QPointF(-20, -8) << QPointF(-8, -8);
    QTest::newRow("ellipse, right Ctrl") << ToolId::Ellipse << false << true << QPointF(-20, -8) << QPointF(-20, -8);
}

void TestToolController::squareConstraint()
{
    QFETCH(ToolId, tool);
    QFETCH(bool, leftCtrl);
    QFETCH(bool, rightCtrl);
    QFETCH(QPointF, pressed);
    QFETCH(QPointF, corner);

    Bench b(tool);
    b.host.scroll = QPoint(-100, -100);
    b.host.askNames = false;
    b.press(0, 0);
    b.host.leftCtrlDown = leftCtrl;
    b.host.rightCtrlDown = rightCtrl;

    b.move(pressed.x(), pressed.y());
    QCOMPARE(b.host.bands.size(), 1);
    QCOMPARE(b.host.bands[0].shape, tool == ToolId::Rectangle ? RubberBand::Rectangle : RubberBand::Ellipse);
    QCOMPARE(b.host.bands[0].from, b.host.at(0, 0));
    QCOMPARE(b.host.bands[0].to, b.host.at(corner.x(), corner.y()));

    b.press(pressed.x(), pressed.y());
    const Telemente &e = b.host.element(0);
    QCOMPARE(QPointF(e.x1, e.y1), QPointF(0, 0));
    QCOMPARE(QPointF(e.x2, e.y2), corner);
}

void TestToolController::axisConstraint_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<QPointF>("end");

    const struct {
        const char *name;
        ToolId id;
    } tools[] = {{"distance", ToolId::Distance}, {"inclined", ToolId::Inclined}, {"scale", ToolId::Scale},
                 {"polygon", ToolId::Polygon},   {"polyline", ToolId::Polyline}, {"angle", ToolId::Angle}};
    for (const auto &t : tools) {
        QTest::addRow("%s, Ctrl", t.name) << t.id << true << false << QPointF(70, 20);
        QTest::addRow("%s, Alt", t.name) << t.id << false << true << QPointF(20, 45);
        QTest::addRow("%s, no key", t.name) << t.id << false << false << QPointF(70, 45);
    }
    QTest::newRow("distance, Ctrl and Alt") << ToolId::Distance << true << true << QPointF(20, 20);
}

void TestToolController::axisConstraint()
{
    QFETCH(ToolId, tool);
    QFETCH(bool, ctrl);
    QFETCH(bool, alt);
    QFETCH(QPointF, end);

    Bench b(tool);
    b.host.askNames = false;
    b.press(20, 20);
    b.host.leftCtrlDown = ctrl;
    b.host.altDown = alt;
    b.move(70, 45);
    QCOMPARE(b.host.bands.value(0).to, b.host.at(end.x(), end.y()));
    b.press(70, 45);

    const Telemente &e = b.host.element(0);
    if (Document::vertexCount(e) > 0)
        QCOMPARE(b.host.vertices(0).value(1), end);
    else
        QCOMPARE(QPointF(e.x2, e.y2), end);
}

void TestToolController::rubberBand_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<int>("shape");

    QTest::newRow("rectangle") << ToolId::Rectangle << int(RubberBand::Rectangle);
    QTest::newRow("ellipse") << ToolId::Ellipse << int(RubberBand::Ellipse);
    QTest::newRow("distance") << ToolId::Distance << int(RubberBand::Line);
    QTest::newRow("polygon") << ToolId::Polygon << int(RubberBand::Line);
    QTest::newRow("angle") << ToolId::Angle << int(RubberBand::Line);
}

void TestToolController::rubberBand()
{
    QFETCH(ToolId, tool);
    QFETCH(int, shape);

    Bench b(tool);
    b.host.zoomValue = 200;
    b.move(30, 30);
    QCOMPARE(b.host.renders, 0); // nothing under construction yet
    b.press(10, 10);
    b.move(40, 25);
    b.move(45, 30);
    QCOMPARE(b.host.renders, 2);
    QCOMPARE(b.host.shows, 2);
    QCOMPARE(b.host.repaints, 0);
    QCOMPARE(int(b.host.bands.last().shape), shape);
    QCOMPARE(b.host.bands.last().from, b.host.at(10, 10));
    QCOMPARE(b.host.bands.last().to, b.host.at(45, 30));
    QCOMPARE(b.host.doc.count(), 0);
}

void TestToolController::distanceDragsDimensionLine()
{
    Bench b(ToolId::Distance);
    b.host.askNames = false;
    b.press(10, 10);
    b.press(110, 10);
    const Telemente &e = b.host.element(0);
    QCOMPARE(QPointF(e.x3, e.y3), QPointF(110, 10));
    QCOMPARE(b.tools.construction().placedSegments, 1);

    const int before = b.host.repaints;
    b.move(60, 40);
    QCOMPARE(QPointF(b.host.element(0).x3, b.host.element(0).y3), QPointF(60, 40));
    QCOMPARE(b.host.repaints, before + 1);
    QVERIFY(b.host.bands.isEmpty());

    b.press(60, 35);
    QCOMPARE(QPointF(b.host.element(0).x3, b.host.element(0).y3), QPointF(60, 35));
    QVERIFY(!b.tools.construction().constructing);
    QCOMPARE(b.host.doc.count(), 1);
    QVERIFY(near(b.host.element(0).lang, 100));
    QCOMPARE(b.host.inclinationPresets.size(), 0);
    // The zoom the end points were placed at sets their uncertainty.
    QCOMPARE(b.host.doc.placementZoom(0), 100.0);
}

void TestToolController::inclinedDistance_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("x4");
    QTest::addColumn<double>("lang");

    QTest::newRow("answered OK") << true << 60.0 << 200.0;
    QTest::newRow("cancelled") << false << 0.0 << 100.0;
}

void TestToolController::inclinedDistance()
{
    QFETCH(bool, ok);
    QFETCH(double, x4);
    QFETCH(double, lang);

    Bench b(ToolId::Inclined);
    if (ok)
        b.host.inclinationAnswer = 60.0;
    b.host.nameAnswers.push_back(QStringLiteral("Dach"));
    b.press(0, 50);
    b.press(100, 50);
    QCOMPARE(b.host.inclinationPresets.size(), 0);
    b.press(50, 70);

    QCOMPARE(b.host.inclinationPresets, QList<double>{0.0});
    const Telemente &e = b.host.element(0);
    QCOMPARE(field(e.typ), int(TypDistance));
    QCOMPARE(field(e.x4), x4);
    QCOMPARE(field(e.y4), 0.0);
    QVERIFY2(std::fabs(e.lang - lang) < 1e-9, qPrintable(QString::number(e.lang)));
    QCOMPARE(Document::name(e), QStringLiteral("Dach"));
}

void TestToolController::graphicScale()
{
    Bench b(ToolId::Scale);
    b.host.backToPointer = true;
    b.host.addElement(TypScaleLine, 0, 0, 300, 0, 300, 0);
    b.host.addElement(TypRectangle, 200, 200, 240, 220, 240, 220);
    b.host.addElement(TypScaleLine, 0, 300, 300, 300, 300, 300);
    b.host.scaleDialog = [](FakeHost &h) { h.realLength = 20; };

    b.press(20, 100);
    b.press(100, 100);

    QCOMPARE(b.host.doc.count(), 2);
    QCOMPARE(field(b.host.element(0).typ), int(TypRectangle));
    const Telemente &line = b.host.element(1);
    QCOMPARE(field(line.typ), int(TypScaleLine));
    QCOMPARE(QPointF(line.x1, line.y1), QPointF(20, 100));
    QCOMPARE(QPointF(line.x2, line.y2), QPointF(100, 100));
    QCOMPARE(field(line.x4), 0.0);
    QCOMPARE(b.host.scaleShown, (QList<double>{80, 80}));
    QCOMPARE(b.host.pixelLength, 80.0);
    QVERIFY(near(line.lang, 20));
    QVERIFY(near(b.host.element(0).lang, (80 + 40) * 0.25));
    QVERIFY(b.host.namePresets.isEmpty());
    QVERIFY(!b.tools.construction().constructing);
    QCOMPARE(b.tools.tool(), ToolId::Pointer);
}

void TestToolController::rightPressClosesOnlyTheOpenPolygon()
{
    Bench b(ToolId::Polygon);
    b.host.askNames = false;
    b.press(10, 10);
    b.press(100, 10);
    b.press(100, 80);
    b.right();
    QCOMPARE(b.host.vertices(0), (QList<QPointF>{{10, 10}, {100, 10}, {100, 80}, {10, 10}}));
    QVERIFY(near(b.host.element(0).flaeche, 90 * 70 / 2.0));

    // A finished polygon is not closed a second time.
    b.right();
    QCOMPARE(b.host.vertices(0).size(), 4);
    // Neither is it by a new construction that has not made its own polygon yet.
    b.press(200, 200);
    b.right();
    QCOMPARE(b.host.vertices(0).size(), 4);
}

void TestToolController::rightPressOnRectangleAddsNoVertex()
{
    Bench b(ToolId::Rectangle);
    b.host.askNames = false;
    b.press(10, 10);
    b.press(50, 50);
    b.tools.setTool(ToolId::Polygon);
    b.press(70, 70);
    b.right();
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(Document::vertexCount(b.host.element(0)), 0);
}

void TestToolController::rightPressPolylineAsksName()
{
    Bench b(ToolId::Polyline);
    b.host.nameAnswers.push_back(QStringLiteral("Zaun"));
    b.press(10, 10);
    b.press(60, 10);
    const int before = b.host.repaints;
    b.right();
    QCOMPARE(b.host.vertices(0).size(), 2);
    QCOMPARE(b.host.namePresets, QList<QString>{QString()});
    QCOMPARE(Document::name(b.host.element(0)), QStringLiteral("Zaun"));
    QVERIFY(b.host.repaints >= before + 2); // after the press and after the name
}

void TestToolController::rightPressEmptyDocumentAsksNothing()
{
    Bench b(ToolId::Polygon);
    b.press(10, 10);
    b.right();
    QVERIFY(!b.tools.construction().constructing);
    QVERIFY(b.host.namePresets.isEmpty());
    QCOMPARE(b.host.repaints, 1);
}

void TestToolController::nameQuestion_data()
{
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("hasName");

    QTest::newRow("option on, OK") << true << true << 1 << true;
    QTest::newRow("option on, cancelled") << true << false << 1 << false;
    QTest::newRow("option off") << false << true << 0 << false;
}

void TestToolController::nameQuestion()
{
    QFETCH(bool, option);
    QFETCH(bool, answered);
    QFETCH(int, questions);
    QFETCH(bool, hasName);

    Bench b(ToolId::Ellipse);
    b.host.askNames = option;
    if (answered)
        b.host.nameAnswers.push_back(QStringLiteral("Säule"));
    b.press(10, 10);
    b.press(30, 30);
    QCOMPARE(b.host.namePresets.size(), questions);
    QCOMPARE(b.host.element(0).name != nullptr, hasName);
    if (hasName)
        QCOMPARE(Document::name(b.host.element(0)), QStringLiteral("Säule"));
}

void TestToolController::returnToPointer_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<bool>("option");
    QTest::addColumn<int>("presses");

    QTest::newRow("rectangle, option on") << ToolId::Rectangle << true << 2;
    QTest::newRow("rectangle, option off") << ToolId::Rectangle << false << 2;
    QTest::newRow("distance, option on") << ToolId::Distance << true << 3;
    QTest::newRow("angle, option on") << ToolId::Angle << true << 3;
    QTest::newRow("text, option on") << ToolId::Text << true << 1;
}

void TestToolController::returnToPointer()
{
    QFETCH(ToolId, tool);
    QFETCH(bool, option);
    QFETCH(int, presses);

    Bench b(tool);
    b.host.askNames = false;
    b.host.backToPointer = option;
    b.host.nameAnswers.push_back(QStringLiteral("T"));
    for (int i = 0; i < presses; ++i) {
        QCOMPARE(b.tools.tool(), tool);
        b.press(10 + 40 * i, 10 + 30 * (i % 2));
    }
    QCOMPARE(b.tools.tool(), option ? ToolId::Pointer : tool);
    QCOMPARE(b.host.pointerDowns, option ? 1 : 0);
}

void TestToolController::chainOfLines()
{
    Bench b(ToolId::Polyline);
    b.host.askNames = false;
    b.press(10, 10);
    b.tools.setTool(ToolId::Text);

    b.move(30, 30);
    QCOMPARE(b.host.previews.size(), 1); // the text preview wins over the rubber band
    QVERIFY(b.host.bands.isEmpty());

    b.press(50, 10);
    b.press(50, 50);
    b.press(10, 50);
    QVERIFY(b.host.namePresets.isEmpty()); // no text label while the construction is open
    QCOMPARE(b.host.doc.count(), 3);
    const QList<QPointF> ends{{10, 10}, {50, 10}, {50, 50}, {10, 50}};
    for (int i = 0; i < 3; ++i) {
        const Telemente &e = b.host.element(i);
        QCOMPARE(field(e.typ), int(TypLine));
        QCOMPARE(field(e.nr), i);
        QVERIFY(!e.closed);
        QCOMPARE(QPointF(e.x1, e.y1), ends[i]);
        QCOMPARE(QPointF(e.x2, e.y2), ends[i + 1]);
    }

    // With the pointer tool down a move still shows a plain line from the last point.
    b.tools.setTool(ToolId::Pointer);
    b.move(0, 0);
    QCOMPARE(b.host.bands.size(), 1);
    QCOMPARE(int(b.host.bands[0].shape), int(RubberBand::Line));
    QCOMPARE(b.host.bands[0].from, b.host.at(10, 50));

    b.right();
    QVERIFY(!b.tools.construction().constructing);
    b.tools.setTool(ToolId::Text);
    b.host.nameAnswers.push_back(QStringLiteral("Notiz"));
    b.press(80, 80);
    QCOMPARE(b.host.doc.count(), 4);
    QCOMPARE(field(b.host.element(3).typ), int(TypText));
}

void TestToolController::textTool_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text");

    QTest::newRow("text") << true << QStringLiteral("Küche");
    QTest::newRow("empty text") << true << QString();
    QTest::newRow("cancelled") << false << QString();
}

void TestToolController::textTool()
{
    QFETCH(bool, ok);
    QFETCH(QString, text);

    Bench b(ToolId::Text);
    b.host.askNames = false; // the text tool asks whatever the option says
    b.host.backToPointer = true;
    b.host.zoomValue = 200;
    b.host.addElement(TypRectangle, 20, 20, 40, 40, 40, 40);
    if (ok)
        b.host.nameAnswers.push_back(text);
    const QPoint pos = b.host.at(20, 20) + QPoint(2, 2);
    b.pressScreen(pos);

    QCOMPARE(b.host.namePresets, QList<QString>{QString()});
    QCOMPARE(b.host.repaints, 1);
    QCOMPARE(b.tools.tool(), ToolId::Pointer);
    QCOMPARE(b.host.doc.count(), ok ? 2 : 1);
    QVERIFY(!b.tools.construction().constructing);
    if (!ok)
        return;
    const Telemente &e = b.host.element(1);
    QCOMPARE(field(e.typ), int(TypText));
    QCOMPARE(field(e.nr), 0);
    // Not snapped to the rectangle's corner.
    QCOMPARE(QPointF(e.x1, e.y1), b.host.screenToImage(pos));
    QVERIFY(e.name != nullptr);
    QCOMPARE(Document::name(e), text);
}

void TestToolController::textPreview()
{
    Bench b(ToolId::Text);
    b.tools.mouseMove(QPoint(33, 44));
    QCOMPARE(b.host.renders, 1);
    QCOMPARE(b.host.previews, QList<QPoint>{QPoint(33, 44)});
    QCOMPARE(b.host.shows, 1);
    QCOMPARE(b.host.repaints, 0);
}

void TestToolController::handTool()
{
    Bench b(ToolId::Hand);
    b.host.addElement(TypRectangle, 10, 10, 50, 50, 50, 50);
    b.tools.mousePress(Qt::LeftButton, QPoint(100, 100));
    QVERIFY(b.tools.panning());
    b.tools.mouseMove(QPoint(70, 110));
    b.tools.mouseRelease(QPoint(70, 110));
    QVERIFY(!b.tools.panning());
    b.tools.mouseMove(QPoint(10, 10));
    QCOMPARE(b.host.pans, (QList<QPoint>{{100, 100}, {70, 110}}));
    QCOMPARE(b.host.panStarts, 1);
    QCOMPARE(b.host.panEnds, 1);
    QVERIFY(!b.host.element(0).selected);
    QVERIFY(!b.tools.construction().constructing);
}

void TestToolController::changingToolKeepsConstruction()
{
    // A construction begun with one tool is continued by the tool that is down at the press.
    Bench b(ToolId::Distance);
    b.host.askNames = false;
    b.press(10, 10);
    b.tools.setTool(ToolId::Rectangle);
    QVERIFY(b.tools.construction().constructing);
    b.press(40, 30);
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(field(b.host.element(0).typ), int(TypRectangle));
    QCOMPARE(QPointF(b.host.element(0).x1, b.host.element(0).y1), QPointF(10, 10));
}

QTEST_GUILESS_MAIN(TestToolController)
#include "tst_toolcontroller.moc"

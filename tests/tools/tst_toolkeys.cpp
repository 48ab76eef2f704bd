#include "fakehost.h"

#include "core/translate.h"
#include "core/translationtable.h"
#include "tools/livevalue.h"
#include "tools/toolcontroller.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ToolId)

// Esc, Enter and the double click on the tools, and the live value of an open construction.

namespace {

struct Bench {
    FakeHost host;
    ToolController tools{host};

    explicit Bench(ToolId id) { tools.setTool(id); }
    void press(QPointF p) { tools.mousePress(Qt::LeftButton, host.at(p.x(), p.y())); }
    void move(QPointF p) { tools.mouseMove(host.at(p.x(), p.y())); }
    void release(QPointF p) { tools.mouseRelease(host.at(p.x(), p.y())); }
};

// A finished rectangle that every case starts with, so that only the open element may go.
constexpr double Left = 10;
constexpr double Top = 10;
constexpr double Right = 60;
constexpr double Bottom = 40;

} // namespace

class TestToolKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void escape_data();
    void escape();
    void finishing_data();
    void finishing();
    void enterLeavesOtherConstructionsOpen();
    void doubleClickElsewhereIsAPress();
    void liveValue_data();
    void liveValue();

private:
    QTemporaryDir folder;
};

void TestToolKeys::initTestCase()
{
    QVERIFY(folder.isValid());
    translationTable().setPaths(folder.filePath(QStringLiteral("translate.dat")),
                                folder.filePath(QStringLiteral("settings-translate.dat")));
}

void TestToolKeys::escape_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<QList<QPointF>>("presses");
    QTest::addColumn<QList<QPointF>>("moves"); // with the button held after the last press
    QTest::addColumn<int>("count");            // elements left after Esc
    QTest::addColumn<int>("vertices");         // of the last element
    QTest::addColumn<QPointF>("corner");       // the rectangle's second corner after Esc
    QTest::addColumn<bool>("selected");        // the rectangle after Esc

    const QPointF corner(Right, Bottom);
    using P = QList<QPointF>;
    QTest::newRow("nothing in progress clears the selection") << ToolId::Pointer << P{} << P{} << 1 << 0 << corner << false;
    QTest::newRow("point drag goes back") << ToolId::Pointer << P{corner} << P{{80, 70}, {90, 75}} << 1 << 0 << corner << true;
    QTest::newRow("whole move goes back") << ToolId::Pointer << P{{35, Top}} << P{{35, 30}} << 1 << 0 << corner << true;
    QTest::newRow("distance before its second press") << ToolId::Distance << P{{100, 100}} << P{{150, 100}} << 1 << 0 << corner << true;
    QTest::newRow("distance before its third press") << ToolId::Distance << P{{100, 100}, {150, 100}} << P{{120, 80}} << 1 << 0 << corner << true;
    QTest::newRow("inclined distance before its third press") << ToolId::Inclined << P{{100, 100}, {150, 100}} << P{} << 1 << 0 << corner << true;
    QTest::newRow("angle before its third press") << ToolId::Angle << P{{100, 100}, {150, 100}} << P{{150, 150}} << 1 << 0 << corner << true;
    QTest::newRow("rectangle after its first corner") << ToolId::Rectangle << P{{100, 100}} << P{{150, 150}} << 1 << 0 << corner << true;
    QTest::newRow("polyline of one segment") << ToolId::Polyline << P{{100, 100}, {150, 100}} << P{} << 1 << 0 << corner << true;
    QTest::newRow("polygon of one segment") << ToolId::Polygon << P{{100, 100}, {150, 100}} << P{} << 1 << 0 << corner << true;
    QTest::newRow("polyline of two segments is kept") << ToolId::Polyline << P{{100, 100}, {150, 100}, {150, 150}} << P{{90, 160}} << 2 << 3 << corner << true;
    QTest::newRow("polygon of two segments is closed") << ToolId::Polygon << P{{100, 100}, {150, 100}, {150, 150}} << P{{90, 160}} << 2 << 4 << corner << true;
}

void TestToolKeys::escape()
{
    QFETCH(ToolId, tool);
    QFETCH(QList<QPointF>, presses);
    QFETCH(QList<QPointF>, moves);
    QFETCH(int, count);
    QFETCH(int, vertices);
    QFETCH(QPointF, corner);
    QFETCH(bool, selected);

    Bench b(tool);
    b.host.addElement(TypRectangle, Left, Top, Right, Bottom);
    b.host.element(0).selected = true;
    for (const QPointF &p : presses)
        b.press(p);
    for (const QPointF &p : moves)
        b.move(p);
    const int repaints = b.host.repaints;

    QVERIFY(b.tools.cancel());
    QVERIFY(b.host.repaints > repaints);
    QVERIFY(!b.tools.construction().constructing);
    // The user lets the button go only after Esc: the gesture is over and changes nothing.
    if (!moves.isEmpty())
        b.release(moves.back());

    QCOMPARE(b.host.doc.count(), count);
    QCOMPARE(b.host.vertices(count - 1).size(), vertices);
    QCOMPARE(QPointF(field(b.host.element(0).x1), field(b.host.element(0).y1)), QPointF(Left, Top));
    QCOMPARE(QPointF(field(b.host.element(0).x2), field(b.host.element(0).y2)), corner);
    QCOMPARE(field(b.host.element(0).selected), selected);
    if (vertices == 4)
        QCOMPARE(b.host.vertices(1).back(), QPointF(100, 100));
    // A second Esc has nothing left to end but the selection.
    QCOMPARE(b.tools.cancel(), selected);
    QVERIFY(!b.tools.cancel());
}

void TestToolKeys::finishing_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QList<QPointF>>("vertices");

    const QList<QPointF> open{{10, 10}, {60, 10}, {60, 50}};
    const QList<QPointF> closed{{10, 10}, {60, 10}, {60, 50}, {10, 10}};
    for (const char *gesture : {"right press", "Enter", "double click"}) {
        QTest::addRow("polyline, %s", gesture) << ToolId::Polyline << QString::fromLatin1(gesture) << open;
        QTest::addRow("polygon, %s", gesture) << ToolId::Polygon << QString::fromLatin1(gesture) << closed;
    }
}

void TestToolKeys::finishing()
{
    QFETCH(ToolId, tool);
    QFETCH(QString, gesture);
    QFETCH(QList<QPointF>, vertices);

    Bench b(tool);
    b.host.nameAnswers.push_back(QStringLiteral("Zaun"));
    b.press({10, 10});
    b.press({60, 10});
    const QPoint last = b.host.at(60, 50);
    if (gesture == QLatin1String("double click")) {
        // The first click of the double click places the last vertex, its second press ends.
        b.tools.mousePress(Qt::LeftButton, last);
        b.tools.mouseRelease(last);
        b.tools.mouseDoubleClick(Qt::LeftButton, last);
        b.tools.mouseRelease(last);
    } else {
        b.press({60, 50});
        if (gesture == QLatin1String("Enter"))
            QVERIFY(b.tools.finishConstruction());
        else
            b.tools.mousePress(Qt::RightButton, last);
    }

    QVERIFY(!b.tools.construction().constructing);
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(b.host.vertices(0), vertices);
    QCOMPARE(b.host.namePresets.size(), 1);
    QCOMPARE(Document::name(b.host.element(0)), QStringLiteral("Zaun"));
}

void TestToolKeys::enterLeavesOtherConstructionsOpen()
{
    Bench b(ToolId::Distance);
    b.press({10, 10});
    b.press({60, 10});
    QVERIFY(!b.tools.finishConstruction());
    QVERIFY(b.tools.construction().constructing);
    QVERIFY(b.host.namePresets.isEmpty());
}

void TestToolKeys::doubleClickElsewhereIsAPress()
{
    // The rectangle tool's double click is its two corner presses at one spot, as before.
    Bench b(ToolId::Rectangle);
    const QPoint at = b.host.at(20, 20);
    b.tools.mousePress(Qt::LeftButton, at);
    b.tools.mouseRelease(at);
    b.tools.mouseDoubleClick(Qt::LeftButton, at);
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(field(b.host.element(0).typ), int(TypRectangle));
}

void TestToolKeys::liveValue_data()
{
    QTest::addColumn<ToolId>("tool");
    QTest::addColumn<QList<QPointF>>("presses");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<double>("realLength"); // real units per image pixel
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("value");

    using P = QList<QPointF>;
    QTest::newRow("nothing open") << ToolId::Polyline << P{} << QPointF(30, 40) << 1.0 << QString() << QString();
    QTest::newRow("polyline, first segment") << ToolId::Polyline << P{{0, 0}} << QPointF(30, 40) << 1.0 << QString()
                                             << QStringLiteral("Segment: 50.0000 , gesamt: 50.0000 ");
    QTest::newRow("polyline, third segment, scaled")
        << ToolId::Polyline << P{{0, 0}, {30, 40}, {30, 100}} << QPointF(30, 110) << 0.5 << QStringLiteral("m")
        << QStringLiteral("Segment: 5.0000 m, gesamt: 60.0000 m");
    QTest::newRow("polygon, area so far") << ToolId::Polygon << P{{0, 0}, {40, 0}} << QPointF(40, 30) << 0.5
                                          << QStringLiteral("m") << QStringLiteral("Fläche: 150.0000 m\u00B2");
    QTest::newRow("polygon, one point") << ToolId::Polygon << P{{0, 0}} << QPointF(40, 30) << 1.0 << QString()
                                        << QStringLiteral("Fläche: 0.0000 \u00B2");
    QTest::newRow("angle, arms placed") << ToolId::Angle << P{{50, 0}, {0, 0}} << QPointF(0, 50) << 1.0 << QString()
                                        << QStringLiteral("90.0000\u00B0 / 270.0000 \u00B0");
    QTest::newRow("angle, first arm") << ToolId::Angle << P{{50, 0}} << QPointF(0, 50) << 1.0 << QString() << QString();
    QTest::newRow("rectangle") << ToolId::Rectangle << P{{10, 50}} << QPointF(40, 10) << 0.5 << QStringLiteral("m")
                               << QStringLiteral("15.0000 \u00D7 20.0000 m");
    QTest::newRow("ellipse") << ToolId::Ellipse << P{{10, 10}} << QPointF(50, 20) << 1.0 << QStringLiteral("cm")
                             << QStringLiteral("40.0000 \u00D7 10.0000 cm");
    QTest::newRow("distance") << ToolId::Distance << P{{0, 0}} << QPointF(0, 25) << 2.0 << QStringLiteral("mm")
                              << QStringLiteral("50.00 mm");
    QTest::newRow("distance, dimension line") << ToolId::Distance << P{{0, 0}, {0, 25}} << QPointF(30, 10) << 2.0
                                              << QStringLiteral("mm") << QStringLiteral("50.00 mm");
}

void TestToolKeys::liveValue()
{
    QFETCH(ToolId, tool);
    QFETCH(QList<QPointF>, presses);
    QFETCH(QPointF, cursor);
    QFETCH(double, realLength);
    QFETCH(QString, unit);
    QFETCH(QString, value);

    Bench b(tool);
    for (const QPointF &p : presses)
        b.press(p);
    b.move(cursor);
    const LiveValueFormat numbers{unit, 2, 4};
    QCOMPARE(::liveValue(b.tools.construction(), b.tools.tool(), b.host.doc, Scale{1, realLength}, numbers), value);
}

QTEST_GUILESS_MAIN(TestToolKeys)
#include "tst_toolkeys.moc"

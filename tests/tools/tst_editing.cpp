#include "fakehost.h"

#include "tools/editcommands.h"
#include "tools/toolcontroller.h"

#include <QTest>

namespace {

struct Bench {
    FakeHost host;
    ToolController tools{host};
    EditCommands edit{host, tools};

    void press(double x, double y) { tools.mousePress(Qt::LeftButton, host.at(x, y)); }
    int addNamed(int typ, double x1, double y1, double x2, double y2, const QString &name)
    {
        const int i = host.addElement(typ, x1, y1, x2, y2, x2, y2);
        Document::setName(host.element(i), name);
        return i;
    }
    QList<QString> names()
    {
        QList<QString> out;
        for (int i = 0; i < host.doc.count(); ++i)
            out.append(Document::name(host.element(i)));
        return out;
    }
};

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void deleteSelected();
    void deleteNothingOnlyRepaints();
    void copyNothingLeavesBuffer();
    void copyDeletePaste_data();
    void copyDeletePaste();
    void pasteBeforeCopyDoesNothing();
    void pasteTwiceAndSelection();
    void copyTakesFirstSelected();
    void copyOwnsItsParts();
    void pastedDistanceKeepsPoint3();
    void rename_data();
    void rename();
    void renameRunsFromLastToFirst();
    void newDocumentKeepsBuffer();
    void deleteEndsOpenConstruction();
    void newEndsOpenConstruction();
    void deleteDuringMoveEndsIt();
};

void TestEditing::deleteSelected()
{
    Bench b;
    for (const QString &n : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")})
        b.addNamed(TypRectangle, 0, 0, 10, 10, n);
    b.host.element(1).selected = true;
    b.host.element(3).selected = true;
    b.edit.deleteSelected();
    QCOMPARE(b.names(), (QList<QString>{"a", "c"}));
    QCOMPARE(b.host.repaints, 1);
}

void TestEditing::deleteNothingOnlyRepaints()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.edit.deleteSelected();
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(b.host.repaints, 1);
}

void TestEditing::copyNothingLeavesBuffer()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.edit.copySelected();
    QVERIFY(!b.edit.copyBuffer().kopiert());
    QCOMPARE(b.host.repaints, 1);
}

void TestEditing::copyDeletePaste_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("shift");

    QTest::newRow("zoom 100") << 100.0 << 10.0;
    QTest::newRow("zoom 200") << 200.0 << 5.0;
    QTest::newRow("zoom 50") << 50.0 << 20.0;
}

void TestEditing::copyDeletePaste()
{
    QFETCH(double, zoom);
    QFETCH(double, shift);

    Bench b;
    b.host.zoomValue = zoom;
    const int i = b.host.addVertexElement(TypPolygon, {{10, 10}, {50, 10}, {50, 40}, {10, 10}});
    Telemente &e = b.host.element(i);
    e.x2 = 50;
    e.y2 = 10;
    e.x3 = 7;
    e.y3 = 8;
    e.nr = 3;
    e.flaeche = 600;
    Document::setName(e, QStringLiteral("Flur"));
    e.selected = true;

    b.edit.copySelected();
    QVERIFY(b.edit.copyBuffer().kopiert());
    b.edit.deleteSelected();
    QCOMPARE(b.host.doc.count(), 0);
    b.edit.paste();

    QCOMPARE(b.host.doc.count(), 1);
    const Telemente &p = b.host.element(0);
    QCOMPARE(field(p.typ), int(TypPolygon));
    QCOMPARE(field(p.nr), 3);
    QCOMPARE(field(p.flaeche), 600.0);
    QVERIFY(p.selected);
    QCOMPARE(Document::name(p), QStringLiteral("Flur"));
    QCOMPARE(QPointF(p.x1, p.y1), QPointF(10 + shift, 10 + shift));
    QCOMPARE(QPointF(p.x2, p.y2), QPointF(50 + shift, 10 + shift));
    QCOMPARE(QPointF(p.x3, p.y3), QPointF(7, 8));
    QCOMPARE(b.host.vertices(0), (QList<QPointF>{{10 + shift, 10 + shift},
                                                 {50 + shift, 10 + shift},
                                                 {50 + shift, 40 + shift},
                                                 {10 + shift, 10 + shift}}));
    // 10 screen pixels right of and below the old place.
    QCOMPARE(b.host.at(p.x1, p.y1), b.host.at(10, 10) + QPoint(10, 10));
}

void TestEditing::pasteBeforeCopyDoesNothing()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.host.element(0).selected = true;
    b.edit.paste();
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(b.host.repaints, 0);
    QVERIFY(b.host.element(0).selected);
}

void TestEditing::pasteTwiceAndSelection()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.addNamed(TypEllipse, 20, 20, 40, 40, "b");
    b.host.element(1).selected = true;
    b.edit.copySelected();
    b.host.element(0).selected = true;
    b.edit.paste();
    b.edit.paste();
    QCOMPARE(b.host.doc.count(), 4);
    QVERIFY(!b.host.element(0).selected);
    QVERIFY(!b.host.element(1).selected);
    QVERIFY(!b.host.element(2).selected);
    QVERIFY(b.host.element(3).selected);
    QCOMPARE(field(b.host.element(2).x1), field(b.host.element(3).x1));
    QCOMPARE(field(b.host.element(3).x1), 30.0);
    QVERIFY(b.host.element(2).vert != b.host.element(3).vert);
    QVERIFY(b.host.element(2).name != b.host.element(3).name);
}

void TestEditing::copyTakesFirstSelected()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.addNamed(TypRectangle, 0, 0, 10, 10, "b");
    b.addNamed(TypRectangle, 0, 0, 10, 10, "c");
    b.host.element(1).selected = true;
    b.host.element(2).selected = true;
    b.edit.copySelected();
    QCOMPARE(Document::name(b.edit.copyBuffer().kopie()), QStringLiteral("b"));
}

void TestEditing::copyOwnsItsParts()
{
    Bench b;
    b.host.addVertexElement(TypPolyline, {{0, 0}, {10, 0}});
    b.host.element(0).selected = true;
    b.edit.copySelected();
    // An element without a name gives an empty name, not a missing one.
    QVERIFY(b.edit.copyBuffer().kopie().name != nullptr);
    QCOMPARE(Document::name(b.edit.copyBuffer().kopie()), QString());

    Document::vertex(b.host.element(0).vert, 1)->x = 99;
    Document::setName(b.host.element(0), QStringLiteral("x"));
    b.edit.paste();
    QCOMPARE(b.host.vertices(1), (QList<QPointF>{{10, 10}, {20, 10}}));
    QCOMPARE(Document::name(b.host.element(1)), QString());
}

void TestEditing::pastedDistanceKeepsPoint3()
{
    Bench b;
    b.host.addElement(TypDistance, 0, 0, 100, 0, 50, 20);
    b.host.element(0).x4 = 45;
    b.host.element(0).selected = true;
    b.edit.copySelected();
    b.edit.paste();
    const Telemente &p = b.host.element(1);
    QCOMPARE(QPointF(p.x1, p.y1), QPointF(10, 10));
    QCOMPARE(QPointF(p.x2, p.y2), QPointF(110, 10));
    QCOMPARE(QPointF(p.x3, p.y3), QPointF(50, 20));
    QCOMPARE(field(p.x4), 45.0);
}

void TestEditing::rename_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("name");

    QTest::newRow("new name") << int(TypRectangle) << true << QStringLiteral("Bad") << QStringLiteral("Bad");
    QTest::newRow("empty name") << int(TypRectangle) << true << QString() << QString();
    QTest::newRow("closed by the close box") << int(TypRectangle) << false << QString() << QStringLiteral("alt");
    QTest::newRow("text label") << int(TypText) << true << QStringLiteral("Eingang") << QStringLiteral("Eingang");
}

void TestEditing::rename()
{
    QFETCH(int, typ);
    QFETCH(bool, ok);
    QFETCH(QString, answer);
    QFETCH(QString, name);

    Bench b;
    b.addNamed(typ, 0, 0, 10, 10, QStringLiteral("alt"));
    b.host.element(0).selected = true;
    if (ok)
        b.host.nameAnswers.push_back(answer);
    b.edit.renameSelected();
    QCOMPARE(b.host.namePresets, QList<QString>{QStringLiteral("alt")});
    QCOMPARE(Document::name(b.host.element(0)), name);
    QVERIFY(b.host.element(0).name != nullptr);
    QCOMPARE(b.host.repaints, 1);
}

void TestEditing::renameRunsFromLastToFirst()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 10, 10, "a");
    b.addNamed(TypRectangle, 0, 0, 10, 10, "b");
    b.addNamed(TypRectangle, 0, 0, 10, 10, "c");
    b.host.element(0).selected = true;
    b.host.element(2).selected = true;
    b.host.nameAnswers = {QStringLiteral("C"), QStringLiteral("A")};
    b.edit.renameSelected();
    QCOMPARE(b.host.namePresets, (QList<QString>{"c", "a"}));
    QCOMPARE(b.names(), (QList<QString>{"A", "b", "C"}));
}

void TestEditing::newDocumentKeepsBuffer()
{
    Bench b;
    b.addNamed(TypEllipse, 0, 0, 10, 10, "e");
    b.host.element(0).selected = true;
    b.edit.copySelected();
    b.edit.newDocument();
    QCOMPARE(b.host.doc.count(), 0);
    QCOMPARE(b.host.repaints, 2);
    b.edit.paste();
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(Document::name(b.host.element(0)), QStringLiteral("e"));
}

void TestEditing::deleteEndsOpenConstruction()
{
    Bench b;
    b.host.askNames = false;
    b.addNamed(TypRectangle, 200, 200, 220, 220, "r");
    b.host.element(0).selected = true;
    b.tools.setTool(ToolId::Polygon);
    b.press(10, 10);
    b.press(50, 10);
    QVERIFY(b.tools.construction().constructing);

    b.edit.deleteSelected();
    QVERIFY(!b.tools.construction().constructing);
    QCOMPARE(b.host.doc.count(), 1);

    // The next press begins a new construction instead of extending the polygon.
    b.press(50, 50);
    QCOMPARE(b.host.vertices(0).size(), 2);
    b.press(90, 50);
    QCOMPARE(b.host.doc.count(), 2);
    QCOMPARE(b.host.vertices(1), (QList<QPointF>{{50, 50}, {90, 50}}));
}

void TestEditing::newEndsOpenConstruction()
{
    Bench b;
    b.host.askNames = false;
    b.tools.setTool(ToolId::Distance);
    b.press(10, 10);
    b.press(50, 10);
    b.edit.newDocument();
    QVERIFY(!b.tools.construction().constructing);
    const int repaints = b.host.repaints;
    b.tools.mouseMove(b.host.at(30, 30));
    QCOMPARE(b.host.repaints + b.host.renders, repaints);
    b.press(20, 20);
    QCOMPARE(b.host.doc.count(), 0);
    QVERIFY(b.tools.construction().constructing);
}

void TestEditing::deleteDuringMoveEndsIt()
{
    Bench b;
    b.addNamed(TypRectangle, 0, 0, 40, 40, "a");
    b.addNamed(TypRectangle, 100, 100, 140, 140, "b");
    b.tools.setTool(ToolId::Pointer);
    b.tools.mousePress(Qt::LeftButton, QPoint(20, 0));
    QVERIFY(b.tools.pointer().moving());
    b.edit.deleteSelected();
    b.tools.mouseMove(QPoint(30, 10));
    b.tools.mouseRelease(QPoint(30, 10));
    QCOMPARE(b.host.doc.count(), 1);
    QCOMPARE(QPointF(b.host.element(0).x1, b.host.element(0).y1), QPointF(100, 100));
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"

#include "core/elements.h"
#include "core/geometry.h"
#include "core/numberformat.h"

#include <QList>
#include <QPointF>
#include <QTest>

#include <cmath>
#include <limits>
#include <numbers>

using Points = QList<QPointF>;

namespace {

constexpr double pi = std::numbers::pi;

bool close(double actual, double expected, double tolerance = 1e-9)
{
    return std::fabs(actual - expected) <= tolerance * std::max(1.0, std::fabs(expected));
}

// Appends an element of type typ with points 1 to 4 taken from pts and vertices from verts.
Telemente *addElement(Document &doc, int typ, const Points &pts, const Points &verts = {})
{
    Telemente *e = doc.appendElement();
    e->typ = typ;
    // The record is packed, so its fields are set by name: a pointer to one may be misaligned.
    const auto at = [&pts](int i) { return i < pts.size() ? pts[i] : QPointF(); };
    e->x1 = at(0).x();
    e->y1 = at(0).y();
    e->x2 = at(1).x();
    e->y2 = at(1).y();
    e->x3 = at(2).x();
    e->y3 = at(2).y();
    e->x4 = at(3).x();
    e->y4 = at(3).y();
    for (const QPointF &v : verts)
        Document::appendVertex(e->vert, v.x(), v.y());
    return e;
}

} // namespace

class tst_Geometry : public QObject
{
    Q_OBJECT

private slots:
    void calcMeasure_data();
    void calcMeasure();
    void calcMeasureMovesCursors();
    void ellipse_data();
    void ellipse();
    void distanceFromLine_data();
    void distanceFromLine();
    void apex_data();
    void apex();
    void elementValues_data();
    void elementValues();
    void elementsWithoutValuesKeepThem();
    void angleWinkelNeedsThreeVertices();
    void scaleExamples_data();
    void scaleExamples();
    void squareConstraint_data();
    void squareConstraint();
    void axisConstraint_data();
    void axisConstraint();
};

void tst_Geometry::calcMeasure_data()
{
    QTest::addColumn<Points>("vertices");
    QTest::addColumn<double>("calcsum");
    QTest::addColumn<double>("calcabst");

    const double r = 10 * std::sqrt(2.0);
    QTest::newRow("closed square") << Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}} << 100.0 << 40.0;
    QTest::newRow("open square") << Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}} << 100.0 << 30.0;
    QTest::newRow("open triangle, M outside") << Points{{0, 10}, {10, 0}, {10, 10}} << 0.0 << 10 + r;
    QTest::newRow("closed triangle") << Points{{0, 10}, {10, 0}, {10, 10}, {0, 10}} << 50.0 << 20 + r;
    QTest::newRow("clockwise gives positive area") << Points{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}} << 100.0 << 40.0;
    QTest::newRow("offset from origin") << Points{{100, 200}, {104, 200}, {104, 203}, {100, 200}} << 6.0 << 12.0;
    QTest::newRow("single vertex") << Points{{5, 5}} << 0.0 << 0.0;
    QTest::newRow("no vertex") << Points{} << 0.0 << 0.0;
    // 2^24 + 1 has no 32-bit float; the working values round it to 2^24.
    QTest::newRow("32-bit working values") << Points{{0, 0}, {16777217, 0}} << 0.0 << 16777216.0;
}

void tst_Geometry::calcMeasure()
{
    QFETCH(Points, vertices);
    QFETCH(double, calcsum);
    QFETCH(double, calcabst);
    Document doc;
    addElement(doc, TypPolygon, {}, {{1, 1}, {2, 2}});
    addElement(doc, TypPolygon, {}, vertices);
    const VertexMeasure m = CalcMeasure(doc, 1);
    QVERIFY2(close(m.calcsum, calcsum, 1e-6), qPrintable(QString::number(m.calcsum, 'g', 17)));
    QVERIFY2(close(m.calcabst, calcabst, 1e-6), qPrintable(QString::number(m.calcabst, 'g', 17)));
}

void tst_Geometry::calcMeasureMovesCursors()
{
    Document doc;
    addElement(doc, TypPolyline, {}, {{0, 0}, {3, 4}});
    Telemente *second = addElement(doc, TypPolyline, {}, {{0, 0}, {6, 8}, {6, 0}});
    addElement(doc, TypRectangle, {{0, 0}, {1, 1}});
    CalcMeasure(doc, 1);
    QCOMPARE(doc.aele(), second);
    QCOMPARE(doc.elemente.cursor(), 1);
    QCOMPARE(second->vert->cursor(), 3);
    QCOMPARE(doc.avert()->x, 6.0);

    QCOMPARE(CalcMeasure(doc, 3).calcabst, 0.0);
    QCOMPARE(CalcMeasure(doc, -1).calcsum, 0.0);
}

void tst_Geometry::ellipse_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("expected");

    QTest::newRow("circle") << 1.0 << 1.0 << 2 * pi;
    QTest::newRow("flat") << 2.0 << 0.0 << (3.0 / 11.0 + 1.0) * 2.0 * pi;
    QTest::newRow("flat, swapped") << 0.0 << 2.0 << (3.0 / 11.0 + 1.0) * 2.0 * pi;
    const double h = 4.0 / 64.0;
    const double general = (3 * h / (std::sqrt(4 - 3 * h) + 10) + 1) * 8 * pi;
    QTest::newRow("5 by 3") << 5.0 << 3.0 << general;
    QTest::newRow("3 by 5") << 3.0 << 5.0 << general;
    QTest::newRow("point") << 0.0 << 0.0 << 0.0;
}

void tst_Geometry::ellipse()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, expected);
    const double u = ellipseumfang(a, b);
    QVERIFY(std::isfinite(u));
    QVERIFY2(close(u, expected, 1e-14), qPrintable(QString::number(u, 'g', 17)));
}

void tst_Geometry::distanceFromLine_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("p");
    QTest::addColumn<float>("expected");

    QTest::newRow("below is positive") << QPointF(0, 0) << QPointF(10, 0) << QPointF(0, 5) << 5.0f;
    QTest::newRow("above is negative") << QPointF(0, 0) << QPointF(10, 0) << QPointF(0, -5) << -5.0f;
    QTest::newRow("reversed line flips sign") << QPointF(10, 0) << QPointF(0, 0) << QPointF(3, 5) << -5.0f;
    QTest::newRow("diagonal") << QPointF(0, 0) << QPointF(3, 4) << QPointF(4, -3) << -5.0f;
    QTest::newRow("on the line") << QPointF(1, 1) << QPointF(5, 5) << QPointF(9, 9) << 0.0f;
    QTest::newRow("degenerate") << QPointF(3, 3) << QPointF(3, 3) << QPointF(0, 5) << 1000.0f;
    QTest::newRow("overflow") << QPointF(0, 0) << QPointF(3e38, 3e38) << QPointF(1, 1) << 1000.0f;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("nan") << QPointF(0, 0) << QPointF(10, 0) << QPointF(nan, 1) << 1000.0f;
}

void tst_Geometry::distanceFromLine()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, p);
    QFETCH(float, expected);
    auto f32 = [](QPointF q) { return PointF32{static_cast<float>(q.x()), static_cast<float>(q.y())}; };
    QCOMPARE(linienabstand(f32(a), f32(b), f32(p)), expected);
}

void tst_Geometry::apex_data()
{
    QTest::addColumn<Points>("v");
    QTest::addColumn<double>("expected");

    QTest::newRow("right angle") << Points{{10, 0}, {0, 0}, {0, 10}} << 90.0;
    QTest::newRow("straight") << Points{{-1, 0}, {0, 0}, {1, 0}} << 180.0;
    QTest::newRow("45 degrees") << Points{{5, 5}, {0, 0}, {7, 0}} << 45.0;
    QTest::newRow("arm of zero length") << Points{{0, 0}, {0, 0}, {0, 10}} << 0.0;
    // Rounding puts the cosine of this null angle at 1.0000000000000002.
    QTest::newRow("cosine beyond 1") << Points{{0.1, 0.6}, {0, 0}, {0.2, 1.2}} << 0.0;
}

void tst_Geometry::apex()
{
    QFETCH(Points, v);
    QFETCH(double, expected);
    const double w = apexAngle(v[0].x(), v[0].y(), v[1].x(), v[1].y(), v[2].x(), v[2].y());
    QVERIFY2(close(w, expected, 1e-12), qPrintable(QString::number(w, 'g', 17)));
}

void tst_Geometry::elementValues_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::addColumn<Points>("vertices");
    QTest::addColumn<double>("pixelLength");
    QTest::addColumn<double>("realLength");
    QTest::addColumn<double>("lang");
    QTest::addColumn<double>("flaeche");
    QTest::addColumn<double>("winkel");

    QTest::newRow("rectangle drawn backwards, s = 0.5")
        << int(TypRectangle) << Points{{10, 20}, {4, 8}} << Points{} << 2.0 << 1.0 << 18.0 << 18.0 << 0.0;
    QTest::newRow("rectangle drawn forwards, s = 0.5")
        << int(TypRectangle) << Points{{4, 8}, {10, 20}} << Points{} << 2.0 << 1.0 << 18.0 << 18.0 << 0.0;
    QTest::newRow("circle") << int(TypEllipse) << Points{{0, 0}, {2, 2}} << Points{} << 1.0 << 1.0 << 2 * pi << pi << 0.0;
    QTest::newRow("ellipse, s = 2")
        << int(TypEllipse) << Points{{4, 0}, {0, 2}} << Points{} << 1.0 << 2.0 << 2 * ellipseumfang(2, 1) << 8 * pi << 0.0;
    QTest::newRow("ellipse on one point") << int(TypEllipse) << Points{{3, 3}, {3, 3}} << Points{} << 1.0 << 1.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("distance to the right") << int(TypDistance) << Points{{0, 0}, {3, 4}} << Points{} << 1.0 << 1.0 << 5.0 << 0.0
                                           << std::atan2(4.0, 3.0) * 180 / pi;
    QTest::newRow("distance down") << int(TypDistance) << Points{{5, 5}, {5, 15}} << Points{} << 1.0 << 1.0 << 10.0 << 0.0 << 90.0;
    QTest::newRow("distance up") << int(TypDistance) << Points{{5, 15}, {5, 5}} << Points{} << 1.0 << 1.0 << 10.0 << 0.0 << -90.0;
    QTest::newRow("distance left") << int(TypDistance) << Points{{5, 5}, {0, 5}} << Points{} << 1.0 << 1.0 << 5.0 << 0.0 << 180.0;
    QTest::newRow("coinciding points") << int(TypDistance) << Points{{7, 7}, {7, 7}} << Points{} << 1.0 << 1.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("inclined 60 degrees")
        << int(TypDistance) << Points{{0, 0}, {100, 0}, {50, 20}, {60, 0}} << Points{} << 1.0 << 1.0 << 200.0 << 0.0 << 0.0;
    QTest::newRow("scale line") << int(TypScaleLine) << Points{{0, 0}, {0, 80}} << Points{} << 80.0 << 20.0 << 20.0 << 0.0 << 90.0;
    QTest::newRow("angle") << int(TypAngle) << Points{} << Points{{10, 0}, {0, 0}, {0, 10}} << 1.0 << 1.0 << 20.0 << 0.0 << 90.0;
    QTest::newRow("closed polygon, s = 0.5")
        << int(TypPolygon) << Points{} << Points{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}} << 2.0 << 1.0 << 20.0 << 25.0 << 0.0;
    QTest::newRow("polyline") << int(TypPolyline) << Points{} << Points{{0, 0}, {3, 4}, {3, 0}} << 1.0 << 1.0 << 9.0 << 6.0 << 0.0;
}

void tst_Geometry::elementValues()
{
    QFETCH(int, typ);
    QFETCH(Points, points);
    QFETCH(Points, vertices);
    QFETCH(double, pixelLength);
    QFETCH(double, realLength);
    QFETCH(double, lang);
    QFETCH(double, flaeche);
    QFETCH(double, winkel);
    Document doc;
    addElement(doc, TypText, {{1, 1}, {2, 2}});
    Telemente *e = addElement(doc, typ, points, vertices);
    // Stale values from an earlier repaint must all be replaced.
    e->lang = e->flaeche = e->winkel = 123.0;
    computeElementValues(doc, 1, Scale{pixelLength, realLength});
    QVERIFY2(close(e->lang, lang), qPrintable(QString::number(e->lang, 'g', 17)));
    QVERIFY2(close(e->flaeche, flaeche), qPrintable(QString::number(e->flaeche, 'g', 17)));
    QVERIFY2(close(e->winkel, winkel), qPrintable(QString::number(e->winkel, 'g', 17)));
}

void tst_Geometry::elementsWithoutValuesKeepThem()
{
    Document doc;
    for (int typ : {int(TypLine), int(TypQuadCurve), int(TypCubicCurve), int(TypText)}) {
        Telemente *e = addElement(doc, typ, {{0, 0}, {30, 40}});
        e->lang = 1;
        e->flaeche = 2;
        e->winkel = 3;
        computeElementValues(doc, doc.count() - 1, Scale{});
        QCOMPARE(double(e->lang), 1.0);
        QCOMPARE(double(e->flaeche), 2.0);
        QCOMPARE(double(e->winkel), 3.0);
    }

    // 90 degrees has a binary cosine of about 6e-17, so the length explodes instead of staying.
    Telemente *d = addElement(doc, TypDistance, {{0, 0}, {100, 0}, {0, 0}, {90, 0}});
    computeElementValues(doc, doc.count() - 1, Scale{});
    QVERIFY(d->lang > 1e15);
}

void tst_Geometry::angleWinkelNeedsThreeVertices()
{
    Document doc;
    Telemente *two = addElement(doc, TypAngle, {}, {{10, 0}, {0, 0}});
    Telemente *four = addElement(doc, TypAngle, {}, {{10, 0}, {0, 0}, {0, 10}, {5, 5}});
    two->winkel = four->winkel = 33.0;
    computeElementValues(doc, 0, Scale{});
    computeElementValues(doc, 1, Scale{});
    QCOMPARE(double(two->winkel), 33.0);
    QCOMPARE(double(two->lang), 10.0);
    QCOMPARE(double(four->winkel), 33.0);
}

void tst_Geometry::scaleExamples_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("pixelLength");
    QTest::addColumn<double>("realLength");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("langText");
    QTest::addColumn<QString>("flaecheText");

    QTest::newRow("start-up distance") << int(TypDistance) << Points{{0, 0}, {30, 40}} << 1.0 << 1.0 << 2 << "50.00" << "0.00";
    QTest::newRow("start-up rectangle") << int(TypRectangle) << Points{{0, 0}, {30, 20}} << 1.0 << 1.0 << 4 << "100.0000"
                                        << "600.0000";
    QTest::newRow("200 px = 50 mm, line") << int(TypDistance) << Points{{0, 0}, {100, 0}} << 200.0 << 50.0 << 2 << "25.00" << "0.00";
    QTest::newRow("200 px = 50 mm, rectangle")
        << int(TypRectangle) << Points{{0, 0}, {100, 40}} << 200.0 << 50.0 << 4 << "70.0000" << "250.0000";
    QTest::newRow("graphic scale 80 px = 20 cm")
        << int(TypScaleLine) << Points{{10, 10}, {90, 10}} << 80.0 << 20.0 << 2 << "20.00" << "0.00";
    QTest::newRow("no decimals") << int(TypDistance) << Points{{0, 0}, {50, 0}} << 4.0 << 1.0 << 0 << "13" << "0";
    QTest::newRow("negative scale accepted") << int(TypRectangle) << Points{{0, 0}, {10, 10}} << 1.0 << -2.0 << 1 << "-80.0"
                                             << "400.0";
}

void tst_Geometry::scaleExamples()
{
    QFETCH(int, typ);
    QFETCH(Points, points);
    QFETCH(double, pixelLength);
    QFETCH(double, realLength);
    QFETCH(int, decimals);
    QFETCH(QString, langText);
    QFETCH(QString, flaecheText);
    Document doc;
    Telemente *e = addElement(doc, typ, points);
    computeElementValues(doc, 0, Scale{pixelLength, realLength});
    QCOMPARE(F(e->lang, decimals), langText);
    QCOMPARE(F(e->flaeche, decimals), flaecheText);
}

void tst_Geometry::squareConstraint_data()
{
    QTest::addColumn<QPointF>("s");
    QTest::addColumn<QPointF>("t");
    QTest::addColumn<QPointF>("expected");

    QTest::newRow("wide, right") << QPointF(0, 0) << QPointF(10, -4) << QPointF(4, -4);
    QTest::newRow("wide, left") << QPointF(5, 5) << QPointF(1, 2) << QPointF(2, 2);
    QTest::newRow("tall, down") << QPointF(0, 0) << QPointF(-3, 8) << QPointF(-3, 3);
    QTest::newRow("tall, up") << QPointF(0, 0) << QPointF(2, -9) << QPointF(2, -2);
    QTest::newRow("already square") << QPointF(1, 1) << QPointF(4, 4) << QPointF(4, 4);
}

void tst_Geometry::squareConstraint()
{
    QFETCH(QPointF, s);
    QFETCH(QPointF, t);
    QFETCH(QPointF, expected);
    double tx = t.x();
    double ty = t.y();
    ::squareConstraint(s.x(), s.y(), tx, ty);
    QCOMPARE(QPointF(tx, ty), expected);
}

void tst_Geometry::axisConstraint_data()
{
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<QPointF>("expected");

    QTest::newRow("free") << false << false << QPointF(7, 9);
    QTest::newRow("ctrl: horizontal") << true << false << QPointF(7, 2);
    QTest::newRow("alt: vertical") << false << true << QPointF(1, 9);
    QTest::newRow("both: start point") << true << true << QPointF(1, 2);
}

void tst_Geometry::axisConstraint()
{
    QFETCH(bool, ctrl);
    QFETCH(bool, alt);
    QFETCH(QPointF, expected);
    double tx = 7;
    double ty = 9;
    ::axisConstraint(1, 2, tx, ty, ctrl, alt);
    QCOMPARE(QPointF(tx, ty), expected);
}

QTEST_GUILESS_MAIN(tst_Geometry)
#include "tst_geometry.moc"

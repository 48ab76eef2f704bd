#include "core/elements.h"
#include "core/geometry.h"
#include "core/realspace.h"
#include "core/scalecheck.h"
#include "support/elementbuilder.h"

#include <QList>
#include <QTest>

#include <bit>
#include <cmath>
#include <numbers>

using Points = QList<QPointF>;

namespace {

constexpr double pi = std::numbers::pi;

bool close(double actual, double expected)
{
    return std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
}

// x: 2 pixels are 1 unit; y: 4 pixels are 1 unit.
Scale stretched()
{
    Scale s;
    s.pixelLength = 2;
    s.realLength = 1;
    s.separateAxes = true;
    s.yPixelLength = 4;
    s.yRealLength = 1;
    return s;
}

Telemente *addShape(Document &doc, int typ, const Points &points)
{
    if (typ == TypAngle || typ == TypPolygon || typ == TypPolyline) {
        Telemente *e = add(doc, typ);
        for (const QPointF &p : points)
            Document::appendVertex(e->vert, p.x(), p.y());
        return e;
    }
    return add(doc, typ, {points[0].x(), points[0].y()}, {points[1].x(), points[1].y()});
}

} // namespace

class tst_RealSpace : public QObject
{
    Q_OBJECT

private slots:
    void separateAxes_data();
    void separateAxes();
    void equalFactorsKeepTodaysResults_data();
    void equalFactorsKeepTodaysResults();
    void segments_data();
    void segments();
    void axisFactorsFromTwoLines_data();
    void axisFactorsFromTwoLines();
    void scaleCheckFigures();
};

void tst_RealSpace::separateAxes_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("lang");
    QTest::addColumn<double>("flaeche");
    QTest::addColumn<double>("winkel");

    // Real sizes: x halved, y quartered.
    QTest::newRow("rectangle 15 x 10") << int(TypRectangle) << Points{{40, 60}, {10, 20}} << 50.0 << 150.0 << 0.0;
    QTest::newRow("ellipse becomes a circle of radius 10")
        << int(TypEllipse) << Points{{0, 0}, {40, 80}} << 20 * pi << 100 * pi << 0.0;
    QTest::newRow("distance at 45 degrees in real space")
        << int(TypDistance) << Points{{0, 0}, {20, 40}} << 10 * std::sqrt(2.0) << 0.0 << 45.0;
    QTest::newRow("triangle with legs 20 and 10")
        << int(TypPolygon) << Points{{0, 0}, {40, 0}, {0, 40}, {0, 0}} << 30 + std::sqrt(500.0) << 100.0 << 0.0;
    QTest::newRow("polyline") << int(TypPolyline) << Points{{0, 0}, {40, 0}, {40, 40}} << 30.0 << 100.0 << 0.0;
    QTest::newRow("angle 45 degrees in real space, 63.4 in the picture")
        << int(TypAngle) << Points{{20, 0}, {0, 0}, {20, 40}} << 10 + 10 * std::sqrt(2.0) << 0.0 << 45.0;
}

void tst_RealSpace::separateAxes()
{
    QFETCH(int, typ);
    QFETCH(Points, points);
    QFETCH(double, lang);
    QFETCH(double, flaeche);
    QFETCH(double, winkel);

    Document doc;
    addShape(doc, typ, points);
    computeElementValues(doc, 0, stretched());
    const Telemente &e = *doc.element(0);
    QVERIFY2(close(e.lang, lang), qPrintable(QString::number(e.lang, 'g', 17)));
    QVERIFY2(close(e.flaeche, flaeche), qPrintable(QString::number(e.flaeche, 'g', 17)));
    QVERIFY2(close(e.winkel, winkel), qPrintable(QString::number(e.winkel, 'g', 17)));
}

void tst_RealSpace::equalFactorsKeepTodaysResults_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::newRow("rectangle") << int(TypRectangle) << Points{{3.3, 7.1}, {41.7, 19.9}};
    QTest::newRow("ellipse") << int(TypEllipse) << Points{{3.3, 7.1}, {41.7, 19.9}};
    QTest::newRow("distance") << int(TypDistance) << Points{{3.3, 7.1}, {41.7, 19.9}};
    QTest::newRow("polygon") << int(TypPolygon) << Points{{3.3, 7.1}, {41.7, 19.9}, {12.1, 33.3}, {3.3, 7.1}};
    QTest::newRow("angle") << int(TypAngle) << Points{{3.3, 7.1}, {41.7, 19.9}, {12.1, 33.3}};
}

void tst_RealSpace::equalFactorsKeepTodaysResults()
{
    QFETCH(int, typ);
    QFETCH(Points, points);
    Scale single;
    single.pixelLength = 3;
    single.realLength = 0.7;
    Scale both = single;
    both.separateAxes = true;
    both.yPixelLength = 3;
    both.yRealLength = 0.7;

    Document doc;
    addShape(doc, typ, points);
    addShape(doc, typ, points);
    computeElementValues(doc, 0, single);
    computeElementValues(doc, 1, both);
    const Telemente a = *doc.element(0);
    const Telemente b = *doc.element(1);
    // By value: the record's fields may not be referenced.
    const auto bits = [](double v) { return std::bit_cast<quint64>(v); };
    QCOMPARE(bits(b.lang), bits(a.lang));
    QCOMPARE(bits(b.flaeche), bits(a.flaeche));
    QCOMPARE(bits(b.winkel), bits(a.winkel));
}

void tst_RealSpace::segments_data()
{
    QTest::addColumn<bool>("separate");
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::addColumn<QList<double>>("lengths");
    QTest::addColumn<QList<double>>("directions");

    const double hyp = std::sqrt(500.0);
    const double back = std::atan2(10.0, -20.0) * 180 / pi;
    QTest::newRow("stretched triangle with its closing side")
        << true << int(TypPolygon) << Points{{0, 0}, {40, 0}, {0, 40}, {0, 0}} << QList<double>{20, hyp, 10}
        << QList<double>{0, back, -90};
    QTest::newRow("polyline at one factor 0.5")
        << false << int(TypPolyline) << Points{{0, 0}, {0, 20}, {-30, 60}} << QList<double>{10, 25}
        << QList<double>{90, std::atan2(40.0, -30.0) * 180 / pi};
    QTest::newRow("a distance has no segments")
        << false << int(TypDistance) << Points{{0, 0}, {0, 20}} << QList<double>{} << QList<double>{};
}

void tst_RealSpace::segments()
{
    QFETCH(bool, separate);
    QFETCH(int, typ);
    QFETCH(Points, points);
    QFETCH(QList<double>, lengths);
    QFETCH(QList<double>, directions);

    Scale scale;
    scale.pixelLength = 2;
    scale.realLength = 1;
    if (separate)
        scale = stretched();
    Document doc;
    const std::vector<SegmentValue> got = segmentValues(*addShape(doc, typ, points), scale);
    QCOMPARE(qsizetype(got.size()), lengths.size());
    for (qsizetype i = 0; i < lengths.size(); ++i) {
        QVERIFY2(close(got[std::size_t(i)].length, lengths[i]), qPrintable(QString::number(i)));
        QVERIFY2(close(got[std::size_t(i)].direction, directions[i]), qPrintable(QString::number(i)));
    }
}

void tst_RealSpace::axisFactorsFromTwoLines_data()
{
    QTest::addColumn<ReferenceLine>("first");
    QTest::addColumn<ReferenceLine>("second");
    QTest::addColumn<bool>("solvable");

    // Made with fx = 0.02, fy = 0.021: a scan stretched by 5 % along y.
    const ReferenceLine across{{0, 0}, {200, 10}, std::hypot(4.0, 0.21), 100};
    const ReferenceLine down{{30, 5}, {35, 305}, std::hypot(0.1, 6.3), 100};
    QTest::newRow("near horizontal and near vertical") << across << down << true;
    QTest::newRow("either order") << down << across << true;
    QTest::newRow("parallel lines") << across << ReferenceLine{{0, 50}, {400, 70}, 8.0, 100} << false;
    QTest::newRow("lengths no stretch can give")
        << ReferenceLine{{0, 0}, {100, 0}, 1.0, 100} << ReferenceLine{{0, 0}, {100, 100}, 0.5, 100} << false;
    QTest::newRow("zero real length") << across << ReferenceLine{{30, 5}, {35, 305}, 0.0, 100} << false;
}

void tst_RealSpace::axisFactorsFromTwoLines()
{
    QFETCH(ReferenceLine, first);
    QFETCH(ReferenceLine, second);
    QFETCH(bool, solvable);
    const std::optional<Scale> s = separateScale(first, second);
    QCOMPARE(s.has_value(), solvable);
    if (!solvable)
        return;
    QVERIFY(s->separateAxes);
    QVERIFY(close(s->xFactor(), 0.02));
    QVERIFY(close(s->yFactor(), 0.021));
    QVERIFY(s->anisotropic());
}

void tst_RealSpace::scaleCheckFigures()
{
    Scale scale; // 100 pixels are 5 units
    scale.pixelLength = 100;
    scale.realLength = 5;
    const ReferenceLine check{{10, 10}, {310, 410}, 25.5, 100};
    const std::optional<ScaleCheckFigures> f = checkFigures(check, scale);
    QVERIFY(f);
    QVERIFY(close(f->valueByScale, 25.0));
    QVERIFY(close(f->deviationPercent, -0.5 / 25.5 * 100));
    QVERIFY(std::fabs(f->deviationPercent) > ScaleCheckWarningPercent);
    QVERIFY(close(f->factorAlone, 0.051));

    const Scale alone = scaleFromCheck(check);
    QCOMPARE(alone.pixelLength, 500.0);
    QCOMPARE(alone.realLength, 25.5);
    const Scale mean = meanScale(scale, check);
    QCOMPARE(mean.pixelLength, 100.0);
    QVERIFY(close(mean.realLength, 5.05));

    // Against a stretched scale the value comes from the real-space vector.
    const std::optional<ScaleCheckFigures> s = checkFigures(ReferenceLine{{0, 0}, {20, 40}, 14.0, 100}, stretched());
    QVERIFY(s && close(s->valueByScale, 10 * std::sqrt(2.0)));
    QVERIFY(!checkFigures(ReferenceLine{{5, 5}, {5, 5}, 1.0, 100}, scale));
    QVERIFY(!checkFigures(ReferenceLine{{5, 5}, {9, 5}, 0.0, 100}, scale));
}

Q_DECLARE_METATYPE(ReferenceLine)

QTEST_APPLESS_MAIN(tst_RealSpace)
#include "tst_realspace.moc"

#include "core/elements.h"
#include "core/geometry.h"
#include "core/uncertainty.h"
#include "support/elementbuilder.h"

#include <QList>
#include <QTest>

#include <cmath>
#include <random>

using Points = QList<QPointF>;

namespace {

enum Quantity { Lang, Flaeche, Winkel };

double pick(const RealValues &v, int q)
{
    return q == Lang ? v.lang : q == Flaeche ? v.flaeche : v.winkel;
}

double pick(const ValueUncertainty &v, int q)
{
    return q == Lang ? v.lang : q == Flaeche ? v.flaeche : v.winkel;
}

Shape shape(int typ, const Points &points)
{
    Shape s;
    s.typ = typ;
    for (const QPointF &p : points)
        s.points.push_back({p.x(), p.y()});
    s.closingCopy = typ == TypPolygon && points.size() > 2 && points.front() == points.back();
    return s;
}

// A scan stretched by 4 % along y: 100 pixels across are 2 m, 100 pixels down 2.08 m.
const ReferenceLine Across{{50, 40}, {850, 55}, std::hypot(16.0, 15 * 0.0208), 100};
const ReferenceLine Down{{20, 60}, {32, 700}, std::hypot(12 * 0.02, 640 * 0.0208), 150};
// A single-factor scale measured on a 600-pixel line that is 12 m long.
const ReferenceLine Bar{{100, 900}, {700, 900}, 12.0, 100};

} // namespace

class tst_Uncertainty : public QObject
{
    Q_OBJECT

private slots:
    void placementSigmaFollowsZoom();
    void monteCarlo_data();
    void monteCarlo();
    void referenceLineOfDocument();
    void checksWidenTheScale();
    void decimalsFollowUncertainty_data();
    void decimalsFollowUncertainty();
};

void tst_Uncertainty::placementSigmaFollowsZoom()
{
    const double atHundred = 0.5 / std::sqrt(3.0);
    QCOMPARE(placementSigma(100), atHundred);
    QCOMPARE(placementSigma(400), atHundred / 4);
    QCOMPARE(placementSigma(25), atHundred * 4);
    QCOMPARE(placementSigma(0), atHundred);
}

void tst_Uncertainty::monteCarlo_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<bool>("separate");

    const Points distance{{120, 300}, {610, 460}};
    const Points polygon{{100, 100}, {400, 130}, {380, 420}, {150, 380}, {100, 100}};
    const Points angle{{300, 100}, {100, 250}, {330, 310}};
    QTest::newRow("distance, separate axes") << int(TypDistance) << distance << 100.0 << int(Lang) << true;
    QTest::newRow("distance, one scale") << int(TypDistance) << distance << 100.0 << int(Lang) << false;
    QTest::newRow("polygon area, separate axes") << int(TypPolygon) << polygon << 200.0 << int(Flaeche) << true;
    QTest::newRow("polygon area, one scale") << int(TypPolygon) << polygon << 25.0 << int(Flaeche) << false;
    QTest::newRow("angle, separate axes") << int(TypAngle) << angle << 50.0 << int(Winkel) << true;
    QTest::newRow("angle, one scale") << int(TypAngle) << angle << 100.0 << int(Winkel) << false;
}

// Places every point 10,000 times anywhere within half a screen pixel of where it was clicked,
// the scale's lines too, and compares the spread of the results with the propagated uncertainty.
void tst_Uncertainty::monteCarlo()
{
    QFETCH(int, typ);
    QFETCH(Points, points);
    QFETCH(double, zoom);
    QFETCH(int, quantity);
    QFETCH(bool, separate);

    const Shape exact = shape(typ, points);
    ScaleBasis basis;
    Scale scale;
    if (separate) {
        scale = *separateScale(Across, Down);
        basis.axes = std::array<ReferenceLine, 2>{Across, Down};
    } else {
        scale.pixelLength = Bar.pixelLength();
        scale.realLength = Bar.realLength;
        basis.reference = Bar;
    }
    const double propagated = pick(valueUncertainty(exact, zoom, scale, scaleCovariance(scale, basis)), quantity);

    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> halfPixel(-0.5, 0.5);
    const auto jitter = [&](PicturePoint &p, double atZoom) {
        p.x += halfPixel(random) * 100 / atZoom;
        p.y += halfPixel(random) * 100 / atZoom;
    };
    const auto jitterLine = [&](ReferenceLine line) {
        jitter(line.a, line.zoom);
        jitter(line.b, line.zoom);
        return line;
    };

    constexpr int Trials = 10000;
    double sum = 0;
    double sumSquares = 0;
    const double centre = pick(realSpaceValues(exact, axisFactors(scale)), quantity);
    for (int t = 0; t < Trials; ++t) {
        Shape placed = exact;
        const std::size_t own = exact.closingCopy ? placed.points.size() - 1 : placed.points.size();
        for (std::size_t i = 0; i < own; ++i)
            jitter(placed.points[i], zoom);
        if (exact.closingCopy)
            placed.points.back() = placed.points.front();
        AxisFactors f;
        if (separate) {
            const std::optional<AxisFactors> solved = solveAxisFactors(jitterLine(Across), jitterLine(Down));
            QVERIFY(solved);
            f = *solved;
        } else {
            const double bar = jitterLine(Bar).pixelLength();
            f = {Bar.realLength / bar, Bar.realLength / bar};
        }
        const double d = pick(realSpaceValues(placed, f), quantity) - centre;
        sum += d;
        sumSquares += d * d;
    }
    const double mean = sum / Trials;
    const double simulated = std::sqrt((sumSquares - Trials * mean * mean) / (Trials - 1));
    QVERIFY2(propagated > 0 && std::fabs(propagated - simulated) <= 0.1 * simulated,
             qPrintable(QStringLiteral("propagated %1, simulated %2").arg(propagated).arg(simulated)));
}

void tst_Uncertainty::referenceLineOfDocument()
{
    Document doc;
    add(doc, TypDistance, {0, 0}, {50, 0});
    add(doc, TypScaleLine, {10, 10}, {10, 210.3});
    doc.setPlacementZoom(1, 300);
    Scale scale;
    scale.pixelLength = 200; // the scale dialog rounded 200.3 to no decimals
    scale.realLength = 4;
    const std::optional<ReferenceLine> line = referenceLineOf(doc, scale);
    QVERIFY(line);
    QCOMPARE(line->realLength, 4.0);
    QCOMPARE(line->zoom, 300.0);
    QCOMPARE(line->b.y, 210.3);

    scale.pixelLength = 150; // typed in: the line no longer made this scale
    QVERIFY(!referenceLineOf(doc, scale));
    doc.deleteElement(0);
    QCOMPARE(doc.placementZoom(0), 300.0);
}

void tst_Uncertainty::checksWidenTheScale()
{
    Scale scale;
    scale.pixelLength = 100;
    scale.realLength = 1;
    ScaleBasis basis;
    QCOMPARE(scaleCovariance(scale, basis).xx, 0.0);

    // Two checks reading 1 % long and 1 % short: deviations 0, -1 %, +1 % spread by 1 %.
    basis.checks = {ReferenceLine{{0, 0}, {1000, 0}, 10.1, 100}, ReferenceLine{{0, 0}, {0, 1000}, 9.9, 100}};
    const double spread = checkSpread(basis.checks, scale);
    QVERIFY(std::fabs(spread - 0.01) < 2e-4);
    const ScaleCovariance c = scaleCovariance(scale, basis);
    QVERIFY(std::fabs(std::sqrt(c.xx) - 0.01 * 0.01) < 1e-6);
    QCOMPARE(c.xy, c.xx);

    // A 500-pixel distance then carries 1 % of its 5 units.
    Shape d;
    d.typ = TypDistance;
    d.points = {{0, 0}, {500, 0}};
    const ValueUncertainty u = valueUncertainty(d, 1e9, scale, c);
    QVERIFY(std::fabs(u.lang - 0.05) < 1e-3);
    QVERIFY(u.winkel < 1e-6);
}

void tst_Uncertainty::decimalsFollowUncertainty_data()
{
    QTest::addColumn<double>("u");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("hundredths") << 0.03 << 2 << QStringLiteral("7.50 ± 0.03");
    QTest::newRow("just below a tenth") << 0.099 << 2 << QStringLiteral("7.50 ± 0.10");
    QTest::newRow("a whole unit") << 1.4 << 0 << QStringLiteral("8 ± 1");
    QTest::newRow("tens keep no decimals") << 37.0 << 0 << QStringLiteral("8 ± 37");
    QTest::newRow("no uncertainty keeps the setting") << 0.0 << 4 << QStringLiteral("7.5000 ± 0.0000");
}

void tst_Uncertainty::decimalsFollowUncertainty()
{
    QFETCH(double, u);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(decimalsForUncertainty(u, 4), decimals);
    QCOMPARE(valueWithUncertainty(7.5, u, decimals), text);
}

QTEST_APPLESS_MAIN(tst_Uncertainty)
#include "tst_uncertainty.moc"

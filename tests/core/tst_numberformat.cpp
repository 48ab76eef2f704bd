#include "core/numberformat.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

class tst_NumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void ignoresLocale();
    void parse_data();
    void parse();
    void roundTripOfSavedScale();
};

void tst_NumberFormat::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    QTest::newRow("distance at start-up") << 50.0 << 2 << "50.00";
    QTest::newRow("area at start-up") << 600.0 << 4 << "600.0000";
    QTest::newRow("no decimals, no point") << 12.5 << 0 << "13";
    QTest::newRow("zero") << 0.0 << 2 << "0.00";
    QTest::newRow("negative zero") << -0.0 << 3 << "0.000";
    QTest::newRow("negative rounding to zero") << -0.001 << 2 << "0.00";
    QTest::newRow("negative") << -25.125 << 2 << "-25.13";
    QTest::newRow("negative half") << -2.5 << 0 << "-3";
    QTest::newRow("leading zero") << 0.5 << 3 << "0.500";
    QTest::newRow("half rounds up") << 0.5 << 0 << "1";
    QTest::newRow("decimal tie 0.125") << 0.125 << 2 << "0.13";
    QTest::newRow("binary below tie 2.675") << 2.675 << 2 << "2.68";
    QTest::newRow("binary below tie 1.005") << 1.005 << 2 << "1.01";
    QTest::newRow("small tie") << 0.00005 << 4 << "0.0001";
    QTest::newRow("below small tie") << 0.00004999 << 4 << "0.0000";
    QTest::newRow("carry into integer") << 9.9999 << 2 << "10.00";
    QTest::newRow("carry adds digit") << 99.5 << 0 << "100";
    QTest::newRow("tiny") << 1e-20 << 4 << "0.0000";
    QTest::newRow("denormal") << 5e-324 << 18 << "0.000000000000000000";
    QTest::newRow("saved scale pixel") << 123.4568 << 10 << "123.4568000000";
    QTest::newRow("saved scale value") << 2.5 << 10 << "2.5000000000";
    QTest::newRow("15 significant digits") << 0.1 << 18 << "0.100000000000000000";
    QTest::newRow("third") << 1.0 / 3.0 << 18 << "0.333333333333333000";
    QTest::newRow("digits beyond 15th are zero") << 123456789.123456789 << 10 << "123456789.1234570000";
    QTest::newRow("exact tie at 16th digit") << 123456789012344.5 << 1 << "123456789012345.0";
    QTest::newRow("largest fixed") << 999999999999999.0 << 2 << "999999999999999.00";
    QTest::newRow("rounds up to 16 integer digits") << 999999999999999.5 << 0 << "1E+15";
    QTest::newRow("scientific") << 1e15 << 2 << "1E+15";
    QTest::newRow("scientific with digits") << 123456789012345678.0 << 2 << "1.23456789012346E+17";
    QTest::newRow("negative scientific") << -1e20 << 4 << "-1E+20";
    QTest::newRow("huge") << 1e300 << 2 << "1E+300";
    QTest::newRow("negative decimals clamp to 0") << 1.5 << -3 << "2";
    QTest::newRow("decimals clamp to 18") << 1.5 << 25 << "1.500000000000000000";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 2 << "NaN";
    QTest::newRow("inf") << std::numeric_limits<double>::infinity() << 2 << "INF";
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << 2 << "-INF";
}

void tst_NumberFormat::format()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(F(value, decimals), expected);
}

void tst_NumberFormat::ignoresLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = F(1234.5, 2);
    double value = 0;
    const bool parsed = parseNumber(QStringLiteral("1234.5"), value);
    QLocale::setDefault(before);
    QCOMPARE(text, QStringLiteral("1234.50"));
    QVERIFY(parsed);
    QCOMPARE(value, 1234.5);
}

void tst_NumberFormat::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "2.5" << true << 2.5;
    QTest::newRow("blanks") << "  -0.125 " << true << -0.125;
    QTest::newRow("integer") << "80" << true << 80.0;
    QTest::newRow("exponent") << "1E+15" << true << 1e15;
    QTest::newRow("comma is not a separator") << "2,5" << false << 0.0;
    QTest::newRow("grouping") << "1,000.5" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("words") << "abc" << false << 0.0;
    QTest::newRow("trailing junk") << "2.5mm" << false << 0.0;
    QTest::newRow("infinity") << "INF" << false << 0.0;
    QTest::newRow("nan") << "NaN" << false << 0.0;
}

void tst_NumberFormat::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    double value = -7.0;
    QCOMPARE(parseNumber(text, value), ok);
    QCOMPARE(value, ok ? expected : -7.0);
}

void tst_NumberFormat::roundTripOfSavedScale()
{
    for (double v : {123.4568, 2.5, 0.0001, 1e-10, 987654.321}) {
        double back = 0;
        QVERIFY(parseNumber(F(v, 10), back));
        QCOMPARE(back, v);
    }
}

QTEST_GUILESS_MAIN(tst_NumberFormat)
#include "tst_numberformat.moc"

#include "headlessrun.h"
#include "core/translate.h"

#include <QtTest>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString samplePlan = QStringLiteral(TESSELON_BINARY_DIR "/resources/sample-plan.png");

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runDemo(const QStringList &arguments)
{
    const HeadlessRun run = runHeadless(arguments);
    return {run.exitCode, QString::fromUtf8(run.out), run.err};
}

// The row of the printed results list whose name column holds name, split at its column gaps.
QStringList rowNamed(const QString &out, const QString &name)
{
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QRegularExpression(QStringLiteral("\\s{2,}")), Qt::SkipEmptyParts);
        if (cells.size() >= 2 && cells.at(1) == name)
            return cells;
    }
    return {};
}

} // namespace

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void samplePlanScaleBar_data();
    void samplePlanScaleBar();
    void measuresTheSamplePlan_data();
    void measuresTheSamplePlan();
    void unlistedElementsHaveNoRow();
    void unreadablePictureFails();
};

void TestDemo::initTestCase()
{
    QVERIFY2(QFileInfo::exists(program), qPrintable(program + QStringLiteral(" has not been built")));
    QVERIFY2(QFileInfo::exists(samplePlan), qPrintable(samplePlan + QStringLiteral(" has not been drawn")));
}

void TestDemo::samplePlanScaleBar_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("dark");
    // The bar's five metre blocks alternate dark and light from x = 170 to x = 920 at y = 1290;
    // the demonstration calibrates on exactly these ends.
    QTest::newRow("first metre") << 245 << 1290 << true;
    QTest::newRow("second metre") << 395 << 1290 << false;
    QTest::newRow("fifth metre") << 845 << 1290 << true;
    QTest::newRow("end of the bar") << 919 << 1290 << true;
    QTest::newRow("past the bar") << 930 << 1290 << false;
    QTest::newRow("before the bar") << 160 << 1290 << false;
    QTest::newRow("north facade") << 600 << 172 << false; // a window in the wall
    QTest::newRow("west wall") << 190 << 700 << true;
}

void TestDemo::samplePlanScaleBar()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, dark);
    static const QImage plan(samplePlan);
    QCOMPARE(plan.size(), QSize(2000, 1400));
    QCOMPARE(qGray(plan.pixel(x, y)) < 100, dark);
}

void TestDemo::measuresTheSamplePlan_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("distance") << "Gebäudebreite" << QStringList{Message(18), "Gebäudebreite", "11.0000", "0.0000"};
    QTest::newRow("rectangle") << "Schlafen" << QStringList{Message(21), "Schlafen", "14.1600", "12.4020"};
    QTest::newRow("polygon") << "Wohnen" << QStringList{Message(19), "Wohnen", "17.2000", "18.3300"};
    QTest::newRow("ellipse") << "Esstisch" << QStringList{Message(22), "Esstisch", "4.6219", "1.5551"};
    QTest::newRow("angle") << "Tür Wohnen geöffnet"
                           << QStringList{Message(30), "Tür Wohnen geöffnet", "90.0000° / 270.0000°"};
    QTest::newRow("polyline") << "Weg vom Eingang ins Schlafzimmer"
                              << QStringList{Message(20), "Weg vom Eingang ins Schlafzimmer", "5.2000", "2.2667"};
}

void TestDemo::measuresTheSamplePlan()
{
    QFETCH(QString, name);
    QFETCH(QStringList, cells);
    static const Run run = runDemo({QStringLiteral("--demo"), samplePlan});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("750 Pixel = 5 m")), qPrintable(run.out));
    QCOMPARE(rowNamed(run.out, name), cells);
}

void TestDemo::unlistedElementsHaveNoRow()
{
    const Run run = runDemo({QStringLiteral("--demo"), samplePlan});
    QCOMPARE(run.exitCode, 0);
    // The scale reference line and the text label are in the document but not in the list.
    QVERIFY(rowNamed(run.out, QStringLiteral("Musterwohnung")).isEmpty());
    const QStringList lines = run.out.trimmed().split(QLatin1Char('\n'));
    const qsizetype header = lines.indexOf(QRegularExpression(QStringLiteral("Typ\\s.*")));
    QVERIFY(header >= 0);
    QCOMPARE(lines.size() - header - 1, 6);
}

void TestDemo::unreadablePictureFails()
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();

    for (const QString &path : {broken, dir.filePath(QStringLiteral("missing.png"))}) {
        const Run run = runDemo({QStringLiteral("--demo"), path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(Message(5)));
        QVERIFY(run.out.isEmpty());
    }
    QCOMPARE(runDemo({QStringLiteral("--demo")}).exitCode, 2);
}

QTEST_MAIN(TestDemo)
#include "tst_demo.moc"

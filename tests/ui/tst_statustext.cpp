#include "core/translate.h"
#include "core/translationtable.h"
#include "ui/mainwindow/statustext.h"

#include <QTemporaryDir>
#include <QTest>

class TestStatusText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void text_data();
    void text();

private:
    QTemporaryDir folder;
};

void TestStatusText::initTestCase()
{
    QVERIFY(folder.isValid());
    translationTable().setPaths(folder.filePath(QStringLiteral("translate.dat")),
                                folder.filePath(QStringLiteral("settings-translate.dat")));
}

void TestStatusText::text_data()
{
    QTest::addColumn<bool>("onDrawing");
    QTest::addColumn<QPointF>("cursor");
    QTest::addColumn<double>("pixelLength");
    QTest::addColumn<double>("realLength");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("text");

    const QString gap = QStringLiteral("     ");
    QTest::newRow("no scale") << true << QPointF(120.6, 45.2) << 1.0 << 1.0 << QStringLiteral("Pixel") << QString()
                              << QStringLiteral("120, 45 px") + gap + QStringLiteral("Zoom: 250 %");
    QTest::newRow("scale") << true << QPointF(120.6, 45.2) << 200.0 << 5.0 << QStringLiteral("m") << QString()
                           << QStringLiteral("120, 45 px") + gap + QStringLiteral("3.02, 1.13 m") + gap
                                  + QStringLiteral("Zoom: 250 %");
    QTest::newRow("unit only") << true << QPointF(10, 20) << 1.0 << 1.0 << QStringLiteral("mm") << QString()
                               << QStringLiteral("10, 20 px") + gap + QStringLiteral("10.00, 20.00 mm") + gap
                                      + QStringLiteral("Zoom: 250 %");
    QTest::newRow("left of the picture") << true << QPointF(-0.4, 3) << 1.0 << 1.0 << QStringLiteral("Pixel")
                                         << QString() << QStringLiteral("-1, 3 px") + gap + QStringLiteral("Zoom: 250 %");
    QTest::newRow("off the drawing, construction open")
        << false << QPointF() << 200.0 << 5.0 << QStringLiteral("m") << QStringLiteral("12.5000 m")
        << QStringLiteral("Zoom: 250 %") + gap + QStringLiteral("12.5000 m");
}

void TestStatusText::text()
{
    QFETCH(bool, onDrawing);
    QFETCH(QPointF, cursor);
    QFETCH(double, pixelLength);
    QFETCH(double, realLength);
    QFETCH(QString, unit);
    QFETCH(QString, live);
    QFETCH(QString, text);

    StatusInputs in;
    if (onDrawing)
        in.cursor = cursor;
    in.scale = Scale{pixelLength, realLength};
    in.unit = unit;
    in.zoom = 250;
    in.zoomCaption = QStringLiteral("Zoom:");
    in.liveValue = live;
    QCOMPARE(statusText(in), text);
}

QTEST_GUILESS_MAIN(TestStatusText)
#include "tst_statustext.moc"

#include "core/measurementchunks.h"
#include "core/projectfile.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "support/elementbuilder.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <limits>

namespace {

const ReferenceLine Across{{50, 40}, {850, 55}, 16.0, 100};
const ReferenceLine Down{{20, 60}, {32, 700}, 13.3, 150};

} // namespace

class TestMeasurementChunks : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    dib image;

    QByteArray saved(const Document &doc, const ProjectSettings &settings)
    {
        const QString file = dir.filePath(QStringLiteral("p.ver"));
        return saveProject(file, doc, image, settings) ? fileBytes(file) : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        translationTable().setPaths(dir.filePath(QStringLiteral("translate.dat")),
                                    dir.filePath(QStringLiteral("settings-translate.dat")));
        QVERIFY(newdib(image, 4, 3, 24, nullptr, 0));
    }

    void cleanupTestCase() { deldib(image); }

    void roundTripThroughTheProjectFile()
    {
        Document doc;
        add(doc, TypDistance, {0, 0}, {100, 0});
        add(doc, TypRectangle, {1, 2}, {30, 40});
        add(doc, TypDistance, {5, 5}, {5, 300});
        doc.setPlacementZoom(0, 400);
        doc.setPlacementZoom(2, 37.5);

        ProjectSettings settings;
        const QByteArray plain = saved(doc, settings);
        setAxisLines(settings.extension, std::array<ReferenceLine, 2>{Across, Down});
        const std::vector<ReferenceLine> checks{{{1, 2}, {301, 402}, 25.5, 200}, {{0, 0}, {0, 10}, 0.5, 0}};
        setScaleChecks(settings.extension, checks);
        storePlacementZooms(settings.extension, doc);
        const QByteArray bytes = saved(doc, settings);
        QVERIFY(bytes.startsWith(plain));

        Document back;
        dib backImage{};
        ProjectSettings backSettings;
        QString error;
        QString warning;
        QVERIFY2(loadProjectFromBytes(bytes, back, backImage, backSettings, &error, &warning), qPrintable(error));
        deldib(backImage);
        QCOMPARE(warning, QString());
        const auto lines = axisLines(backSettings.extension);
        QVERIFY(lines);
        QCOMPARE((*lines)[0], Across);
        QCOMPARE((*lines)[1], Down);
        QVERIFY(scaleChecks(backSettings.extension) == checks);
        QCOMPARE(back.placementZoom(0), 0.0); // nothing applied before asked
        QVERIFY(applyPlacementZooms(backSettings.extension, back));
        QCOMPARE(back.placementZoom(0), 400.0);
        QCOMPARE(back.placementZoom(1), 0.0);
        QCOMPARE(back.placementZoom(2), 37.5);
        QCOMPARE(saved(back, backSettings), bytes);
    }

    void withoutDataNoChunks()
    {
        Document doc;
        add(doc, TypRectangle, {1, 2}, {30, 40});
        ProjectSettings settings;
        setAxisLines(settings.extension, std::array<ReferenceLine, 2>{Across, Down});
        setScaleChecks(settings.extension, {Across});
        storePlacementZooms(settings.extension, doc);
        QVERIFY(settings.extension.chunk(ChunkId::AxisScale));
        QVERIFY(!settings.extension.chunk(ChunkId::PlacementZoom));
        setAxisLines(settings.extension, std::nullopt);
        setScaleChecks(settings.extension, {});
        QVERIFY(settings.extension.isEmpty());
        QCOMPARE(saved(doc, settings), saved(doc, ProjectSettings{}));
    }

    void damagedPayloadsReadAsAbsent_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("payload");
        PayloadWriter lines;
        for (const ReferenceLine &l : {Across, Down})
            lines.float64(l.a.x).float64(l.a.y).float64(l.b.x).float64(l.b.y).float64(l.realLength).float64(l.zoom);
        QTest::newRow("axis lines cut short") << QByteArray("SCXY") << lines.bytes().left(95);
        QTest::newRow("axis lines with a byte more") << QByteArray("SCXY") << lines.bytes() + QByteArray(1, 0);
        PayloadWriter parallel;
        for (int i = 0; i < 2; ++i)
            parallel.float64(0).float64(i * 10).float64(100).float64(i * 10).float64(2).float64(100);
        QTest::newRow("parallel axis lines") << QByteArray("SCXY") << parallel.bytes();
        QTest::newRow("checks counting more than they hold")
            << QByteArray("SCHK") << PayloadWriter().int32(1000000).bytes() + lines.bytes();
        QTest::newRow("negative check count") << QByteArray("SCHK") << PayloadWriter().int32(-2).bytes();
        PayloadWriter nan;
        nan.int32(1).float64(0).float64(0).float64(std::numeric_limits<double>::quiet_NaN()).float64(1).float64(1).float64(0);
        QTest::newRow("check with NaN") << QByteArray("SCHK") << nan.bytes();
        QTest::newRow("zooms for another count")
            << QByteArray("ZOOM") << PayloadWriter().int32(2).float64(100).float64(100).bytes();
        QTest::newRow("negative zoom") << QByteArray("ZOOM") << PayloadWriter().int32(1).float64(-5).bytes();
    }

    void damagedPayloadsReadAsAbsent()
    {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, payload);
        ProjectExtension e;
        e.setChunk(id, payload);
        Document doc;
        add(doc, TypRectangle, {1, 2}, {30, 40});
        QVERIFY(!axisLines(e));
        QVERIFY(scaleChecks(e).empty());
        QVERIFY(!applyPlacementZooms(e, doc));
        QCOMPARE(doc.placementZoom(0), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestMeasurementChunks)
#include "tst_measurementchunks.moc"

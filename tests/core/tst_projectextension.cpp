#include "core/projectfile.h"
#include "core/translationtable.h"
#include "core/translate.h"
#include "support/documentcompare.h"
#include "support/elementbuilder.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// A small project read back into fresh objects; the picture is released with it.
struct Loaded {
    Document doc;
    dib image;
    ProjectSettings settings;
    QString error;
    QString warning;
    bool ok = false;
    explicit Loaded(const QByteArray &bytes) { ok = loadProjectFromBytes(bytes, doc, image, settings, &error, &warning); }
    ~Loaded() { deldib(image); }
    Loaded(const Loaded &) = delete;
    Loaded &operator=(const Loaded &) = delete;
};

QByteArray uint32Bytes(std::uint32_t v)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunkBytes(const char *id, const QByteArray &payload, qint64 statedLength = -1)
{
    return QByteArray(id, 4) + uint32Bytes(std::uint32_t(statedLength < 0 ? payload.size() : statedLength)) + payload;
}

QByteArray blockBytes(const QByteArray &chunks, qint64 statedLength = -1, std::uint16_t version = 1)
{
    QByteArray header("TSXB");
    header.append(char(version & 0xFF)).append(char(version >> 8));
    return header + uint32Bytes(std::uint32_t(statedLength < 0 ? chunks.size() : statedLength)) + chunks;
}

QByteArray scalePayload(double pixelLength, double realLength, const QString &unit)
{
    return PayloadWriter().float64(pixelLength).float64(realLength).string(unit).bytes();
}

// The chunks every round trip carries: the scale, one chunk of a later version and an empty one.
ProjectExtension sampleExtension()
{
    ProjectExtension e;
    e.setScale({123.4568, 2.5, QStringLiteral("m²")});
    e.setChunk("XYSC", QByteArray("\x00\xff\x10 later", 9));
    e.setChunk("EMPT", QByteArray());
    return e;
}

} // namespace

class TestProjectExtension : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document doc;
    dib image;

    // The test project's bytes with these settings.
    QByteArray projectBytes(const ProjectSettings &settings)
    {
        const QString file = dir.filePath(QStringLiteral("p.ver"));
        return saveProject(file, doc, image, settings) ? fileBytes(file) : QByteArray();
    }

    void verifyOpensWithoutBlock(const QByteArray &bytes)
    {
        Loaded back(bytes);
        QVERIFY2(back.ok, qPrintable(back.error));
        QVERIFY(!back.warning.isEmpty());
        QVERIFY2(back.warning.contains(QStringLiteral("(Speicher)")), qPrintable(back.warning));
        QVERIFY(back.settings.extension.isEmpty());
        compareDocuments(doc, back.doc);
        QCOMPARE(getpixel(back.image, 4, 2), getpixel(image, 4, 2));
        QCOMPARE(back.settings.zoom, 175.0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        translationTable().setPaths(dir.filePath(QStringLiteral("translate.dat")),
                                    dir.filePath(QStringLiteral("settings-translate.dat")));
        add(doc, TypRectangle, {1, 2}, {30, 40});
        Document::setName(*add(doc, TypPolygon, {5, 5}), QStringLiteral("Raum"));
        doc.appendVertex(5, 5);
        doc.appendVertex(9, 12);
        QVERIFY(newdib(image, 7, 5, 24, nullptr, 0));
        setpixel(image, 4, 2, 0x123456);
    }

    void cleanupTestCase() { deldib(image); }

    void roundTripKeepsEveryChunk()
    {
        ProjectSettings settings;
        settings.zoom = 175;
        const QByteArray plain = projectBytes(settings);
        settings.extension = sampleExtension();
        const QByteArray bytes = projectBytes(settings);

        // The block follows the font record; everything before it is the file without a block.
        QVERIFY(bytes.startsWith(plain));
        QCOMPARE(bytes.mid(plain.size()), blockBytes(chunkBytes("SCAL", scalePayload(123.4568, 2.5, "m²"))
                                                     + chunkBytes("XYSC", QByteArray("\x00\xff\x10 later", 9))
                                                     + chunkBytes("EMPT", QByteArray())));
        Loaded back(bytes);
        QVERIFY2(back.ok, qPrintable(back.error));
        QCOMPARE(back.warning, QString());
        QCOMPARE(back.settings, settings);
        QCOMPARE(back.settings.extension.scale(), (ProjectScale{123.4568, 2.5, QStringLiteral("m²")}));
        QCOMPARE(projectBytes(back.settings), bytes);
    }

    void fileWithoutBlockStaysAsItWas()
    {
        ProjectSettings settings;
        settings.zoom = 175;
        const QByteArray plain = projectBytes(settings);
        Loaded back(plain);
        QVERIFY(back.ok);
        QCOMPARE(back.warning, QString());
        QVERIFY(back.settings.extension.isEmpty());
        QVERIFY(!back.settings.extension.scale());
        QCOMPARE(projectBytes(back.settings), plain);
    }

    void everyTruncationOfTheBlockIsReported()
    {
        ProjectSettings settings;
        settings.zoom = 175;
        const qsizetype plain = projectBytes(settings).size();
        settings.extension = sampleExtension();
        const QByteArray whole = projectBytes(settings);
        for (qsizetype length = plain + 1; length < whole.size(); ++length) {
            verifyOpensWithoutBlock(whole.left(length));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("cut at %1").arg(length - plain)));
        }
    }

    void damagedBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        const QByteArray scale = chunkBytes("SCAL", scalePayload(2, 1, "m"));
        QTest::newRow("chunk longer than the block") << blockBytes(chunkBytes("SCAL", scalePayload(2, 1, "m"), 29));
        QTest::newRow("chunk shorter than its payload") << blockBytes(chunkBytes("SCAL", scalePayload(2, 1, "m"), 20));
        QTest::newRow("chunk length 2^32-1") << blockBytes(chunkBytes("SCAL", scalePayload(2, 1, "m"), 0xFFFFFFFF));
        QTest::newRow("block length too large") << blockBytes(scale, scale.size() + 1);
        QTest::newRow("block length too small") << blockBytes(scale, scale.size() - 1);
        QTest::newRow("block length 2^32-1") << blockBytes(scale, 0xFFFFFFFF);
        QTest::newRow("bytes after the block") << blockBytes(scale) + "x";
        QTest::newRow("half a chunk header") << blockBytes(scale + "SCA");
        QTest::newRow("id with a control character") << blockBytes(chunkBytes("SC\nL", scalePayload(2, 1, "m")));
        QTest::newRow("unknown version") << blockBytes(scale, -1, 2);
        QTest::newRow("not a block") << QByteArray("garbage after the font record");
    }

    void damagedBlocks()
    {
        QFETCH(QByteArray, block);
        ProjectSettings settings;
        settings.zoom = 175;
        verifyOpensWithoutBlock(projectBytes(settings) + block);
    }

    void scaleChunk_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("usable");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("negative sides") << scalePayload(-3, -0.5, "Fuß") << true;
        QTest::newRow("empty unit") << scalePayload(1, 1, QString()) << true;
        QTest::newRow("pixel length 0") << scalePayload(0, 1, "m") << false;
        QTest::newRow("pixel length NaN") << scalePayload(nan, 1, "m") << false;
        QTest::newRow("real length infinite") << scalePayload(1, inf, "m") << false;
        QTest::newRow("a byte too many") << scalePayload(1, 1, "m") + "x" << false;
        QTest::newRow("unit longer than the payload") << scalePayload(1, 1, "m").chopped(2) << false;
        QTest::newRow("negative unit length") << PayloadWriter().float64(1).float64(1).int32(-1).bytes() << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void scaleChunk()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, usable);
        ProjectExtension e;
        e.setChunk(ChunkId::Scale, payload);
        QCOMPARE(e.scale().has_value(), usable);
        if (usable) {
            ProjectExtension again;
            again.setScale(*e.scale());
            QCOMPARE(*again.chunk(ChunkId::Scale), payload);
        }
    }

    void settingChunks()
    {
        ProjectExtension e{{{"AAAA", "1"}, {"SCAL", "old"}, {"BBBB", "2"}, {"SCAL", "older"}}};
        e.setScale({2, 3, QStringLiteral("cm")});
        QCOMPARE(e.chunks.size(), 3);
        QCOMPARE(e.chunks.at(1).id, QByteArray("SCAL"));
        QCOMPARE(e.scale(), (ProjectScale{2, 3, QStringLiteral("cm")}));

        ProjectExtension newer;
        newer.setChunk("BBBB", "new");
        newer.setChunk("CCCC", "3");
        e.update(newer);
        QCOMPARE(e.chunks.size(), 4);
        QCOMPARE(*e.chunk("BBBB"), QByteArray("new"));
        QCOMPARE(e.chunks.last().id, QByteArray("CCCC"));
        e.removeChunk("AAAA");
        QVERIFY(!e.chunk("AAAA"));
    }
};

QTEST_GUILESS_MAIN(TestProjectExtension)
#include "tst_projectextension.moc"

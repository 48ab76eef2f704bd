#include "core/optionsfile.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray int32(qint32 v)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray record(const QString &s)
{
    return int32(qint32(s.size())) + QByteArray(reinterpret_cast<const char *>(s.utf16()), 2 * s.size());
}

Options someOptions()
{
    Options o;
    o.language = 2;
    o.scales = {{QStringLiteral("A4 Plan"), QStringLiteral("123.4568000000"), QStringLiteral("2.5000000000"),
                 QStringLiteral("cm")},
                {QStringLiteral("Grundriß 1:50 Ω"), QString(), QStringLiteral("1"), QStringLiteral("m")}};
    return o;
}

} // namespace

class TestOptionsFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        translationTable().setPaths(path("translate.dat"), path("settings-translate.dat"));
    }

    void settingsFolderFollowsXdg()
    {
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        QCOMPARE(settingsFolder(), path("config") + QStringLiteral("/Kovrant/Tesselon/"));
        QVERIFY(!QFileInfo::exists(settingsFolder()));
        QVERIFY(QFileInfo(settingsFolder(true)).isDir());
        QCOMPARE(optionsFilePath(), settingsFolder() + QStringLiteral("options.dat"));
        qputenv("XDG_CONFIG_HOME", old);
    }

    void firstStartIsEnglishAndEmpty()
    {
        Options o = someOptions();
        QString error;
        QVERIFY(LoadOptions(path("nowhere/options.dat"), o, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(o, Options());
        QCOMPARE(o.language, 1);
        QVERIFY(o.scales.isEmpty());
    }

    void firstSaveCreatesFolderAndEightBytes()
    {
        const QString file = path("new/Kovrant/Tesselon/options.dat");
        QVERIFY(SaveOptions(file, Options()));
        QCOMPARE(fileBytes(file), int32(1) + int32(0));
    }

    void scaleLayout()
    {
        Options o;
        o.scales = {someOptions().scales.first()};
        QVERIFY(SaveOptions(path("layout.dat"), o));
        const QByteArray expected = int32(1) + int32(1) + record(QStringLiteral("A4 Plan"))
                                    + record(QStringLiteral("123.4568000000")) + record(QStringLiteral("2.5000000000"))
                                    + record(QStringLiteral("cm"));
        QCOMPARE(fileBytes(path("layout.dat")), expected);
        // Counts of 7, 14, 12 and 2 code units.
        QCOMPARE(expected.size(), 8 + 4 * 4 + 2 * (7 + 14 + 12 + 2));
    }

    void roundTrip()
    {
        const Options o = someOptions();
        QVERIFY(SaveOptions(path("round.dat"), o));
        Options back;
        QVERIFY(LoadOptions(path("round.dat"), back));
        QCOMPARE(back, o);
        QVERIFY(SaveOptions(path("round2.dat"), back));
        QCOMPARE(fileBytes(path("round2.dat")), fileBytes(path("round.dat")));
    }

    void language_data()
    {
        QTest::addColumn<qint32>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("German") << 0 << 0;
        QTest::newRow("Italian") << 2 << 2;
        QTest::newRow("5 stays") << 5 << 5;
        QTest::newRow("29 stays") << 29 << 29;
        QTest::newRow("30 is English") << 30 << 1;
        QTest::newRow("-1 is English") << -1 << 1;
        QTest::newRow("largest is English") << 0x7FFFFFFF << 1;
    }

    void language()
    {
        QFETCH(qint32, stored);
        QFETCH(int, expected);
        Options o;
        QVERIFY(loadOptionsFromBytes(int32(stored) + int32(0), o));
        QCOMPARE(o.language, expected);
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray whole = int32(0) + int32(1) + record(QStringLiteral("N")) + record(QStringLiteral("10"))
                                 + record(QStringLiteral("1")) + record(QStringLiteral("m"));
        for (qsizetype length = 0; length < whole.size(); ++length)
            QTest::addRow("cut at %d", int(length)) << whole.left(length);
        QTest::newRow("count 2^31-1") << int32(0) + int32(0x7FFFFFFF);
        QTest::newRow("count -1") << int32(0) + int32(-1);
        QTest::newRow("string length 2^31-1") << int32(0) + int32(1) + int32(0x7FFFFFFF) + QByteArray(40, 'a');
        QTest::newRow("string length -2") << int32(0) + int32(1) + int32(-2) + QByteArray(40, 'a');
    }

    void damaged()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(writeBytes(path("damaged.dat"), bytes));
        Options o = someOptions();
        QString error;
        QVERIFY(!LoadOptions(path("damaged.dat"), o, &error));
        QVERIFY2(error.contains(QStringLiteral("damaged.dat")), qPrintable(error));
        QCOMPARE(o, someOptions());
    }

    void failedSaveKeepsOldFile()
    {
        QVERIFY(SaveOptions(path("keep.dat"), someOptions()));
        const QByteArray old = fileBytes(path("keep.dat"));
        QVERIFY(writeBytes(path("plain"), "x"));
        QVERIFY(!SaveOptions(path("plain/options.dat"), Options()));
        QVERIFY(!SaveOptions(path("keep.dat/options.dat"), Options()));
        QCOMPARE(fileBytes(path("keep.dat")), old);
    }
};

QTEST_GUILESS_MAIN(TestOptionsFile)
#include "tst_optionsfile.moc"

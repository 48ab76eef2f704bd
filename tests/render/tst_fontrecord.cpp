#include "render/fontrecord.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

class TestFontRecord : public QObject
{
    Q_OBJECT

private slots:
    void pixelSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("start font") << 11 << 96 << 15;
        QTest::newRow("9 pt at 96") << 9 << 96 << 12;
        QTest::newRow("half rounds up") << 3 << 36 << 2;
        QTest::newRow("10 pt at 120") << 10 << 120 << 17;
        QTest::newRow("72 ppi is pixels") << 13 << 72 << 13;
        QTest::newRow("negative size") << -11 << 96 << 15;
        QTest::newRow("no ppi means 96") << 12 << 0 << 16;
        QTest::newRow("zero size") << 0 << 96 << 1;
        QTest::newRow("huge size") << 0x7FFFFFFF << 0x7FFFFFFF << 2048;
    }

    void pixelSize()
    {
        QFETCH(int, size);
        QFETCH(int, ppi);
        QFETCH(int, pixels);
        FontRecord r;
        r.size = size;
        r.pixelsPerInch = ppi;
        QCOMPARE(fontRecordPixelSize(r), pixels);
        QCOMPARE(fontFromRecord(r).pixelSize(), pixels);
    }

    void styleAndPitch()
    {
        FontRecord r;
        r.style = FontRecord::Bold | FontRecord::Underline;
        r.pitch = FontRecord::FixedPitch;
        const QFont f = fontFromRecord(r);
        QVERIFY(f.bold());
        QVERIFY(!f.italic());
        QVERIFY(f.underline());
        QVERIFY(!f.strikeOut());
        QVERIFY(f.fixedPitch());
    }

    void missingFaceKeepsItsName()
    {
        FontRecord r;
        r.name = QStringLiteral("Nirgends Vorhanden Grotesk");
        r.charset = 238;
        r.colour = 0x00804020;
        r.pixelsPerInch = 120;
        r.size = 10;
        r.style = FontRecord::Italic | 0x40;
        const QFont f = fontFromRecord(r);
        QCOMPARE(f.family(), r.name);
        // Qt draws with a face that exists.
        QVERIFY(!QFontInfo(f).family().isEmpty());
        QCOMPARE(recordFromFont(f, colorFromRef(r.colour), &r), r);
    }

    void changesAreTaken()
    {
        FontRecord r;
        r.name = QStringLiteral("Nirgends Vorhanden Grotesk");
        r.style = 0x40;
        QFont f = fontFromRecord(r);
        f.setFamily(QStringLiteral("DejaVu Sans"));
        f.setBold(true);
        f.setPixelSize(20);
        const FontRecord changed = recordFromFont(f, QColor(1, 2, 3), &r);
        QCOMPARE(changed.name, QStringLiteral("DejaVu Sans"));
        QCOMPARE(changed.style, std::uint8_t(0x40 | FontRecord::Bold));
        QCOMPARE(changed.colour, 0x030201);
        QCOMPARE(fontRecordPixelSize(changed), 20);
        QCOMPARE(changed.charset, r.charset);
    }

    void everyPixelSizeComesBack()
    {
        for (int pixels = 1; pixels <= 200; ++pixels) {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(pixels);
            const FontRecord r = recordFromFont(f, Qt::red);
            QCOMPARE(fontRecordPixelSize(r), pixels);
            QVERIFY(r.pixelsPerInch == 96 || r.pixelsPerInch == 72);
        }
    }

    void pointSizedFont()
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSize(12);
        const FontRecord r = recordFromFont(f, Qt::black);
        QCOMPARE(r.size, 12);
        QCOMPARE(r.pixelsPerInch, 96);
        QCOMPARE(r.colour, 0);
    }

    void colours_data()
    {
        QTest::addColumn<qint32>("ref");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("red") << 0x0000FF << QColor(255, 0, 0);
        QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
        QTest::newRow("mixed") << 0x336699 << QColor(0x99, 0x66, 0x33);
        QTest::newRow("system colour") << qint32(0xFF000008) << QColor(0, 0, 0);
    }

    void colours()
    {
        QFETCH(qint32, ref);
        QFETCH(QColor, colour);
        QCOMPARE(colorFromRef(ref), colour);
        if ((quint32(ref) >> 24) == 0)
            QCOMPARE(colorRef(colour), ref);
    }

    void systemColourIsKept()
    {
        FontRecord r;
        r.colour = qint32(0xFF000008);
        QCOMPARE(recordFromFont(fontFromRecord(r), QColor(0, 0, 0), &r).colour, r.colour);
    }
};

QTEST_MAIN(TestFontRecord)
#include "tst_fontrecord.moc"

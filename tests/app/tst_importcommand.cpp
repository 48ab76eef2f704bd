#include "headlessrun.h"
#include "core/dib.h"
#include "core/elements.h"
#include "core/projectfile.h"
#include "support/testpdf.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

// tesselon --import as a script runs it: plan pages and photographs become projects.

class TestImportCommand : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(writeTestPlan(file("plan.pdf")));
        QVERIFY(writeDamagedPlan(file("plan.pdf"), file("damaged.pdf")));
        QImage photo(400, 300, QImage::Format_RGB32);
        photo.fill(Qt::white);
        QPainter p(&photo);
        p.fillRect(QRect(100, 80, 200, 120), Qt::black);
        p.end();
        QVERIFY(photo.save(file("photo.png")));
    }

    void imports_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<ProjectScale>("scale");
        QTest::newRow("PDF page 2 at 100 dpi")
            << QStringList{QStringLiteral("--page"), QStringLiteral("2"), QStringLiteral("--dpi"), QStringLiteral("100")}
            << QSize(1654, 1169) << ProjectScale{};
        QTest::newRow("PDF at 1:100 in m")
            << QStringList{QStringLiteral("--dpi"), QStringLiteral("300"), QStringLiteral("--plan-scale"),
                           QStringLiteral("1:100"), QStringLiteral("--unit"), QStringLiteral("m")}
            << QSize(2479, 3508) << ProjectScale{11811, 100, QStringLiteral("m")};
    }

    void imports()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QSize, size);
        QFETCH(ProjectScale, scale);
        const QString out = file("plan.ver");
        const HeadlessRun run = runHeadless(QStringList{QStringLiteral("--import"), file("plan.pdf"), out,
                                                        QStringLiteral("--language"), QStringLiteral("0")}
                                            + arguments);
        QCOMPARE(run.exitCode, 0);
        Document doc;
        dib image;
        ProjectSettings settings;
        QVERIFY(loadProject(out, doc, image, settings));
        QCOMPARE(settings.extension.scale().value_or(ProjectScale{}), scale);
        // Without a scale the project is written as the original layout describes it.
        QCOMPARE(settings.extension.isEmpty(), !arguments.contains(QStringLiteral("--plan-scale")));
        QVERIFY(std::abs(DibWidth(image) - size.width()) <= 1);
        QVERIFY(std::abs(DibHeight(image) - size.height()) <= 1);
        // The project keeps the resolution the page was rendered at.
        const double dpi = arguments.at(arguments.indexOf(QStringLiteral("--dpi")) + 1).toDouble();
        QCOMPARE(image.pmi->bmiHeader.biXPelsPerMeter, std::lround(dpi / 0.0254));
        deldib(image);
    }

    // The black rectangle of the photograph, 200 x 120 pixels, is 2 x 1.2 m: straightened at the
    // density of its longer side, it keeps its size and 100 pixels measure 1 m.
    void rectifies()
    {
        const QString out = file("photo.ver");
        const HeadlessRun run =
            runHeadless({QStringLiteral("--import"), file("photo.png"), out, QStringLiteral("--rectify"),
                         QStringLiteral("300,200,100,80,300,80,100,200"), QStringLiteral("2"), QStringLiteral("1.2"),
                         QStringLiteral("m"), QStringLiteral("--language"), QStringLiteral("0")});
        QCOMPARE(run.exitCode, 0);
        Document doc;
        dib image;
        ProjectSettings settings;
        QVERIFY(loadProject(out, doc, image, settings));
        QCOMPARE(settings.extension.scale().value_or(ProjectScale{}), (ProjectScale{200, 2, QStringLiteral("m")}));
        QCOMPARE(QSize(DibWidth(image), DibHeight(image)), QSize(400, 300));
        deldib(image);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString plan = file("plan.pdf");
        const QString photo = file("photo.png");
        QTest::newRow("damaged PDF") << QStringList{file("damaged.pdf")} << 1 << QStringLiteral("beschädigt");
        QTest::newRow("page out of range") << QStringList{plan, QStringLiteral("--page"), QStringLiteral("3")} << 1
                                           << QStringLiteral("Seite");
        QTest::newRow("resolution too large") << QStringList{plan, QStringLiteral("--dpi"), QStringLiteral("9000")} << 2
                                              << QStringLiteral("--dpi");
        QTest::newRow("picture without resolution")
            << QStringList{photo, QStringLiteral("--plan-scale"), QStringLiteral("1:50"), QStringLiteral("--unit"),
                           QStringLiteral("m")}
            << 1 << QStringLiteral("Auflösung");
        QTest::newRow("concave quadrilateral")
            << QStringList{photo, QStringLiteral("--rectify"), QStringLiteral("100,80,300,80,150,110,100,200"),
                           QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("m")}
            << 1 << QStringLiteral("konvex");
        QTest::newRow("zero size") << QStringList{photo, QStringLiteral("--rectify"),
                                                  QStringLiteral("100,80,300,80,300,200,100,200"), QStringLiteral("0"),
                                                  QStringLiteral("1"), QStringLiteral("m")}
                                   << 1 << QStringLiteral("null");
        QTest::newRow("unit missing") << QStringList{plan, QStringLiteral("--plan-scale"), QStringLiteral("1:50")} << 2
                                      << QStringLiteral("--unit");
        QTest::newRow("no output") << QStringList{} << 2 << QStringLiteral("--import");
    }

    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString out = file("refused.ver");
        QStringList all{QStringLiteral("--import")};
        all += arguments;
        if (!arguments.isEmpty())
            all.insert(2, out);
        const HeadlessRun run = runHeadless(all + QStringList{QStringLiteral("--language"), QStringLiteral("0")});
        QCOMPARE(run.exitCode, exitCode);
        const QString firstLine = run.err.section(u'\n', 0, 0);
        QVERIFY2(firstLine.contains(message), qPrintable(run.err));
        if (exitCode == 1)
            QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"

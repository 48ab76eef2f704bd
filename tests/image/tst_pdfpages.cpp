#include "core/planscale.h"
#include "image/pdfpages.h"
#include "support/testpdf.h"

#include <poppler-qt6.h>

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Dark pixels of stored row y, first to last, as a pixel count.
int darkRun(const dib &d, int y)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < DibWidth(d); ++x) {
        const std::uint8_t *p = dibRow(d, y) + 3 * x;
        if (p[0] + p[1] + p[2] < 3 * 128) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

} // namespace

class TestPdfPages : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QString plan;

    QByteArray planBytes()
    {
        QFile f(plan);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        plan = dir.filePath(QStringLiteral("plan.pdf"));
        QVERIFY(writeTestPlan(plan));
    }

    void pagesAndPaper()
    {
        PdfProblem problem = PdfProblem::None;
        const auto doc = PdfPlan::open(plan, problem);
        QVERIFY(doc);
        QCOMPARE(doc->pageCount(), 2);
        const PaperFormat a4 = paperFormat(pointsToMm(doc->pageSizePoints(0)));
        QCOMPARE(a4.name, QStringLiteral("A4"));
        QVERIFY(!a4.landscape);
        const PaperFormat a3 = paperFormat(pointsToMm(doc->pageSizePoints(1)));
        QCOMPARE(a3.name, QStringLiteral("A3"));
        QVERIFY(a3.landscape);
        QVERIFY(paperFormat(QSizeF(123, 45)).name.isEmpty());
        const QImage thumb = doc->thumbnail(1, 96);
        QCOMPARE(std::max(thumb.width(), thumb.height()), 96);
        QVERIFY(looksLikePdf(plan));
    }

    void render_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<QSizeF>("sizeMm");
        QTest::newRow("A4 at 300 dpi") << 0 << 300.0 << QSizeF(210, 297);
        QTest::newRow("A3 lying at 300 dpi") << 1 << 300.0 << QSizeF(420, 297);
        QTest::newRow("A4 at 72 dpi") << 0 << 72.0 << QSizeF(210, 297);
    }

    void render()
    {
        QFETCH(int, page);
        QFETCH(double, dpi);
        QFETCH(QSizeF, sizeMm);
        dib d;
        int progressCalls = 0;
        PdfRenderControl control;
        control.progress = [&](int done, int total) {
            ++progressCalls;
            QVERIFY(done <= total);
        };
        QCOMPARE(renderPdfPage(d, planBytes(), page, dpi, control), PdfProblem::None);
        QVERIFY(d.poi);
        QVERIFY(progressCalls > 0);
        QCOMPARE(DibBitCount(d), 24);
        // Qt's writer gives the page whole points, within a millimetre of the paper size.
        PdfProblem problem = PdfProblem::None;
        const QSizeF points = PdfPlan::open(plan, problem)->pageSizePoints(page);
        QVERIFY(std::abs(points.width() / 72 * 25.4 - sizeMm.width()) < 1);
        QVERIFY(std::abs(points.height() / 72 * 25.4 - sizeMm.height()) < 1);
        QVERIFY2(std::abs(DibWidth(d) - points.width() / 72 * dpi) <= 1, qPrintable(QString::number(DibWidth(d))));
        QVERIFY2(std::abs(DibHeight(d) - points.height() / 72 * dpi) <= 1, qPrintable(QString::number(DibHeight(d))));
        QCOMPARE(d.pmi->bmiHeader.biXPelsPerMeter, std::lround(dpi / 0.0254));
        // White paper in the corner.
        QCOMPARE(dibRow(d, 0)[0], std::uint8_t(255));
        deldib(d);
    }

    // The line of 100 mm on page 1 measured with the scale from the picture's resolution.
    void lineMeasuresTrueLength_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("expected");
        QTest::newRow("1:1 in mm") << 1.0 << QStringLiteral("mm") << 100.0;
        QTest::newRow("1:100 in m") << 100.0 << QStringLiteral("m") << 10.0;
        QTest::newRow("1:50 in cm") << 50.0 << QStringLiteral("cm") << 500.0;
    }

    void lineMeasuresTrueLength()
    {
        QFETCH(double, ratio);
        QFETCH(QString, unit);
        QFETCH(double, expected);
        dib d;
        QCOMPARE(renderPdfPage(d, planBytes(), 0, 300.0), PdfProblem::None);
        const int row = DibHeight(d) - 1 - static_cast<int>(TestLineYMm / 25.4 * 300);
        const int pixels = darkRun(d, row);
        Scale scale;
        QVERIFY(planScale(d.pmi->bmiHeader.biXPelsPerMeter, d.pmi->bmiHeader.biYPelsPerMeter, ratio, unit, scale));
        const double measured = scale.length(pixels);
        QVERIFY2(std::abs(measured - expected) <= expected * 0.002, qPrintable(QString::number(measured)));
        deldib(d);
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("page");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<PdfProblem>("problem");
        QTest::newRow("damaged") << QStringLiteral("damaged.pdf") << 0 << 300.0 << PdfProblem::Unreadable;
        QTest::newRow("empty") << QStringLiteral("empty.pdf") << 0 << 300.0 << PdfProblem::Unreadable;
        QTest::newRow("page out of range") << QStringLiteral("plan.pdf") << 2 << 300.0 << PdfProblem::PageOutOfRange;
        QTest::newRow("negative page") << QStringLiteral("plan.pdf") << -1 << 300.0 << PdfProblem::PageOutOfRange;
        QTest::newRow("resolution too large") << QStringLiteral("plan.pdf") << 1 << 5000.0 << PdfProblem::TooLarge;
        QTest::newRow("resolution zero") << QStringLiteral("plan.pdf") << 0 << 0.0 << PdfProblem::TooLarge;
    }

    void badInput()
    {
        QFETCH(QString, file);
        QFETCH(int, page);
        QFETCH(double, dpi);
        QFETCH(PdfProblem, problem);
        QVERIFY(writeDamagedPlan(plan, dir.filePath(QStringLiteral("damaged.pdf"))));
        QFile(dir.filePath(QStringLiteral("empty.pdf"))).open(QIODevice::WriteOnly);
        QFile f(dir.filePath(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        dib d;
        QCOMPARE(renderPdfPage(d, f.readAll(), page, dpi), problem);
        QVERIFY(!d.poi);
        QVERIFY(!pdfProblemText(problem).isEmpty());
        if (problem == PdfProblem::Unreadable) {
            PdfProblem opened = PdfProblem::None;
            QVERIFY(!PdfPlan::open(dir.filePath(file), opened));
            QCOMPARE(opened, PdfProblem::Unreadable);
        }
    }

    // An A0 page at a resolution within range still makes a picture beyond the memory budget.
    void pictureLimits()
    {
        const QSizeF a0(2384, 3370);
        QCOMPARE(pdfPictureProblem(a0, 600), PdfProblem::None);
        QCOMPARE(pdfPictureProblem(a0, 2000), PdfProblem::TooLarge);
    }

    // A page rendered band by band is the picture Poppler renders in one go with the same hints:
    // lines and text crossing the seams between the bands, no row shifted, turned or recoloured.
    void bandsMakeOnePicture()
    {
        const QString path = dir.filePath(QStringLiteral("lines.pdf"));
        {
            QPdfWriter writer(path);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QPainter p(&writer);
            const QRect page = p.viewport();
            p.setPen(QPen(Qt::darkBlue, 5));
            for (int x = 0; x <= page.width(); x += page.width() / 9)
                p.drawLine(QPoint(x, 0), QPoint(page.width() - x, page.height()));
            p.setBrush(QColor(200, 40, 10));
            p.drawEllipse(page.center(), page.width() / 4, page.height() / 3);
            p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
            for (int y = 0; y < page.height(); y += page.height() / 40)
                p.drawText(QPoint(y % page.width(), y), QStringLiteral("Wand 3.65 m"));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        dib d;
        QCOMPARE(renderPdfPage(d, bytes, 0, 300.0), PdfProblem::None);
        QVERIFY2(DibHeight(d) > pdfBandRows(DibWidth(d)), "the page should take more than one band");

        const std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(bytes);
        doc->setRenderBackend(Poppler::Document::SplashBackend);
        doc->setRenderHint(Poppler::Document::Antialiasing);
        doc->setRenderHint(Poppler::Document::TextAntialiasing);
        doc->setPaperColor(Qt::white);
        const QImage whole = doc->page(0)->renderToImage(300.0, 300.0, 0, 0, DibWidth(d), DibHeight(d));
        QCOMPARE(whole.size(), QSize(DibWidth(d), DibHeight(d)));
        int differing = 0;
        for (int y = 0; y < whole.height(); ++y) {
            const std::uint8_t *row = dibRow(d, DibHeight(d) - 1 - y);
            for (int x = 0; x < whole.width(); ++x) {
                const QRgb c = whole.pixel(x, y);
                differing += row[3 * x] != qBlue(c) || row[3 * x + 1] != qGreen(c) || row[3 * x + 2] != qRed(c);
            }
        }
        QCOMPARE(differing, 0);
        deldib(d);
    }

    void cancel()
    {
        std::atomic<bool> stop{true};
        PdfRenderControl control;
        control.cancel = &stop;
        dib d;
        QCOMPARE(renderPdfPage(d, planBytes(), 0, 300.0, control), PdfProblem::Canceled);
        QVERIFY(!d.poi);
    }
};

QTEST_MAIN(TestPdfPages)
#include "tst_pdfpages.moc"

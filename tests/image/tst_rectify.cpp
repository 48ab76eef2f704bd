#include "image/rectify.h"
#include "image/velumo.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// A photograph of a checkerboard taken at an angle, drawn by the test through a known projective
// transform, is straightened from its four outer corners.

namespace {

constexpr int Columns = 8;
constexpr int Rows = 6;
constexpr double SquareMm = 25.0;

// Board coordinates in squares -> photograph pixels.
QTransform photographTransform()
{
    QTransform t;
    const QPolygonF board({QPointF(0, 0), QPointF(Columns, 0), QPointF(Columns, Rows), QPointF(0, Rows)});
    const QPolygonF seen({QPointF(310, 180), QPointF(1380, 260), QPointF(1460, 1010), QPointF(190, 1090)});
    QTransform::quadToQuad(board, seen, t);
    return t;
}

QImage photograph()
{
    QImage img(1600, 1200, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 128));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(photographTransform());
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c)
            p.fillRect(QRectF(c, r, 1, 1), (r + c) % 2 ? Qt::black : Qt::white);
    return img;
}

// Positions along a line of pixels where brightness crosses the middle between black and white,
// to a fraction of a pixel.
QList<double> crossings(const QList<int> &values)
{
    QList<double> at;
    for (int i = 1; i < values.size(); ++i) {
        const int a = values[i - 1] - 128;
        const int b = values[i] - 128;
        if ((a < 0) != (b < 0))
            at.append(i - 0.5 + double(a) / (a - b));
    }
    return at;
}

int brightness(const dib &d, int x, int yFromTop)
{
    const QRgb c = dibPixelColor(d, x, DibHeight(d) - 1 - yFromTop);
    return (qRed(c) + qGreen(c) + qBlue(c)) / 3;
}

} // namespace

class TestRectify : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    dib photo;

private slots:
    void initTestCase()
    {
        const QString path = dir.filePath(QStringLiteral("photo.png"));
        QVERIFY(photograph().save(path));
        QVERIFY(OpenDib(photo, path));
    }

    void cleanupTestCase() { deldib(photo); }

    void straightensCheckerboard()
    {
        const QTransform t = photographTransform();
        // Clicked in no particular order.
        const Quad clicked{t.map(QPointF(Columns, Rows)), t.map(QPointF(0, 0)), t.map(QPointF(0, Rows)),
                           t.map(QPointF(Columns, 0))};
        Quad ordered;
        QVERIFY(orderCorners(clicked, ordered));
        QVERIFY(QLineF(ordered[0], t.map(QPointF(0, 0))).length() < 1e-9);
        QVERIFY(QLineF(ordered[2], t.map(QPointF(Columns, Rows))).length() < 1e-9);
        const double density = defaultDensity(ordered, Columns * SquareMm, Rows * SquareMm);
        QVERIFY(density > 0);

        RectifyPlan plan;
        QCOMPARE(planRectification(QSize(DibWidth(photo), DibHeight(photo)), clicked, Columns * SquareMm,
                                   Rows * SquareMm, density, plan),
                 RectifyProblem::None);
        // The whole photograph is kept.
        for (const QPointF corner : {QPointF(0, 0), QPointF(1600, 0), QPointF(1600, 1200), QPointF(0, 1200)}) {
            const QPointF p = plan.transform.map(corner);
            QVERIFY(p.x() >= -1 && p.y() >= -1 && p.x() <= plan.size.width() + 1 && p.y() <= plan.size.height() + 1);
        }

        // Elements on board corners before straightening.
        Document doc;
        Telemente *line = doc.appendElement();
        line->typ = TypLine;
        line->x1 = t.map(QPointF(2, 1)).x();
        line->y1 = t.map(QPointF(2, 1)).y();
        line->x2 = t.map(QPointF(5, 4)).x();
        line->y2 = t.map(QPointF(5, 4)).y();
        Telemente *polygon = doc.appendElement();
        polygon->typ = TypPolygon;
        const QList<QPointF> boardPoints{QPointF(1, 1), QPointF(7, 1), QPointF(6, 5)};
        for (const QPointF &b : boardPoints)
            QVERIFY(Document::appendVertex(polygon->vert, t.map(b).x(), t.map(b).y()));

        dib out;
        QVERIFY(rectifyDib(out, photo, plan));
        QCOMPARE(QSize(DibWidth(out), DibHeight(out)), plan.size);
        mapElements(doc, plan.transform);

        const double square = SquareMm * density;
        const QPointF origin = plan.rectangleTopLeft;
        const auto onBoard = [&](QPointF b) { return origin + b * square; };
        const auto near = [](double x, double y, QPointF expected) {
            return QLineF(QPointF(x, y), expected).length() <= 1.0;
        };
        QVERIFY(near(doc.element(0)->x1, doc.element(0)->y1, onBoard(QPointF(2, 1))));
        QVERIFY(near(doc.element(0)->x2, doc.element(0)->y2, onBoard(QPointF(5, 4))));
        for (int k = 0; k < boardPoints.size(); ++k) {
            const Tvertex *v = Document::vertex(doc.element(1)->vert, k);
            QVERIFY(near(v->x, v->y, onBoard(boardPoints[k])));
        }

        // Square edges found in the pixels: true size within 0.5 %, square within 0.5 degrees.
        QList<QList<double>> columnEdges;
        for (int r = 0; r < Rows; ++r) {
            const int y = static_cast<int>(origin.y() + (r + 0.5) * square);
            QList<int> values;
            for (int x = static_cast<int>(origin.x() + 0.5 * square); x < origin.x() + (Columns - 0.5) * square; ++x)
                values.append(brightness(out, x, y));
            const QList<double> edges = crossings(values);
            QCOMPARE(edges.size(), Columns - 1);
            for (int k = 1; k < edges.size(); ++k)
                QVERIFY2(std::abs(edges[k] - edges[k - 1] - square) <= 0.005 * square,
                         qPrintable(QStringLiteral("%1 vs %2").arg(edges[k] - edges[k - 1]).arg(square)));
            columnEdges.append(edges);
        }
        for (int k = 0; k < Columns - 1; ++k) {
            const double dx = columnEdges.last()[k] - columnEdges.first()[k];
            const double dy = (Rows - 1) * square;
            QVERIFY(std::abs(std::atan2(dx, dy)) * 180 / M_PI <= 0.5);
        }
        for (int c = 0; c < Columns; ++c) {
            const int x = static_cast<int>(origin.x() + (c + 0.5) * square);
            QList<int> values;
            for (int y = static_cast<int>(origin.y() + 0.5 * square); y < origin.y() + (Rows - 0.5) * square; ++y)
                values.append(brightness(out, x, y));
            const QList<double> edges = crossings(values);
            QCOMPARE(edges.size(), Rows - 1);
            for (int k = 1; k < edges.size(); ++k)
                QVERIFY(std::abs(edges[k] - edges[k - 1] - square) <= 0.005 * square);
        }
        deldib(out);
    }

    void refused_data()
    {
        QTest::addColumn<Quad>("corners");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("density");
        QTest::addColumn<RectifyProblem>("problem");
        const Quad square{QPointF(100, 100), QPointF(300, 100), QPointF(300, 300), QPointF(100, 300)};
        QTest::newRow("concave") << Quad{QPointF(100, 100), QPointF(300, 100), QPointF(180, 180), QPointF(100, 300)}
                                 << 1.0 << 1.0 << 100.0 << RectifyProblem::NotConvex;
        QTest::newRow("three in a line") << Quad{QPointF(100, 100), QPointF(200, 100), QPointF(300, 100), QPointF(100, 300)}
                                         << 1.0 << 1.0 << 100.0 << RectifyProblem::NotConvex;
        QTest::newRow("two on one spot") << Quad{QPointF(100, 100), QPointF(100, 100), QPointF(300, 300), QPointF(100, 300)}
                                         << 1.0 << 1.0 << 100.0 << RectifyProblem::NotConvex;
        QTest::newRow("zero width") << square << 0.0 << 1.0 << 100.0 << RectifyProblem::ZeroSize;
        QTest::newRow("negative height") << square << 1.0 << -2.0 << 100.0 << RectifyProblem::ZeroSize;
        QTest::newRow("zero density") << square << 1.0 << 1.0 << 0.0 << RectifyProblem::ZeroSize;
        QTest::newRow("too small") << square << 1.0 << 1.0 << 0.1 << RectifyProblem::TooSmall;
        QTest::newRow("too large") << square << 1000.0 << 1000.0 << 100.0 << RectifyProblem::TooLarge;
    }

    void refused()
    {
        QFETCH(Quad, corners);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, density);
        QFETCH(RectifyProblem, problem);
        RectifyPlan plan;
        QCOMPARE(planRectification(QSize(400, 400), corners, width, height, density, plan), problem);
        QVERIFY(plan.size.isEmpty());
        QVERIFY(!rectifyProblemText(problem).isEmpty());
    }

    // Other depths are sampled in their colours.
    void palettePicture()
    {
        RGBQUAD table[2] = {{0, 0, 0, 0}, {0, 0, 255, 0}};
        QByteArray info(sizeof(BITMAPINFOHEADER) + sizeof(table), '\0');
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table, sizeof(table));
        dib src;
        QVERIFY(newdib(src, 64, 64, 8, reinterpret_cast<const BITMAPINFO *>(info.constData()), 2));
        std::memset(src.poi, 1, static_cast<std::size_t>(src.bytew) * 64);
        RectifyPlan plan;
        QCOMPARE(planRectification(QSize(64, 64), Quad{QPointF(0, 0), QPointF(64, 0), QPointF(64, 64), QPointF(0, 64)},
                                   2, 2, 32, plan),
                 RectifyProblem::None);
        dib out;
        QVERIFY(rectifyDib(out, src, plan));
        QCOMPARE(dibPixelColor(out, 32, 32), qRgb(255, 0, 0));
        deldib(out);
        deldib(src);
    }
};

QTEST_MAIN(TestRectify)
#include "tst_rectify.moc"

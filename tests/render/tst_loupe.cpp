#include "core/dib.h"
#include "render/loupe.h"
#include "render/viewstate.h"

#include <QGuiApplication>
#include <QTest>

#include <cstdint>

// The loupe shows the picture pixel a press would take under its cross hair, at any zoom and
// scroll position, and rings the snap target.

namespace {

constexpr int Side = 100;

// Pixel (x, y), counted from the top, has the colour (x, y, 0): every pixel tells where it is.
struct Gradient {
    dib d;
    Gradient()
    {
        if (!newdib(d, Side, Side, 24, nullptr, 0))
            qFatal("no memory for the test picture");
        for (int y = 0; y < Side; ++y) {
            std::uint8_t *row = dibRow(d, Side - 1 - y);
            for (int x = 0; x < Side; ++x) {
                row[3 * x] = 0;
                row[3 * x + 1] = static_cast<std::uint8_t>(y);
                row[3 * x + 2] = static_cast<std::uint8_t>(x);
            }
        }
    }
    ~Gradient() { deldib(d); }
    Gradient(const Gradient &) = delete;
    Gradient &operator=(const Gradient &) = delete;
};

int countColour(const QImage &image, QRect area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.rect().contains(x, y) && image.pixel(x, y) == colour;
    return n;
}

// The loupe's square of the picture pixel under the cross hair.
const QRect Middle(LoupeSpan / 2 * LoupeFactor, LoupeSpan / 2 * LoupeFactor, LoupeFactor, LoupeFactor);

} // namespace

class TestLoupe : public QObject
{
    Q_OBJECT

private slots:
    void pixelUnderCrossHair_data();
    void pixelUnderCrossHair();
    void beyondThePicture();
    void snapTarget();
};

void TestLoupe::pixelUnderCrossHair_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("pixel");

    QTest::newRow("zoom 100") << 100 << QPoint() << QPoint(50, 30) << QPoint(50, 30);
    QTest::newRow("zoom 250, just inside the pixel's right edge") << 250 << QPoint() << QPoint(127, 77) << QPoint(50, 30);
    QTest::newRow("zoom 250, first screen pixel of the next") << 250 << QPoint() << QPoint(128, 77) << QPoint(51, 30);
    QTest::newRow("zoom 50") << 50 << QPoint() << QPoint(25, 15) << QPoint(50, 30);
    QTest::newRow("zoom 600") << 600 << QPoint() << QPoint(305, 185) << QPoint(50, 30);
    QTest::newRow("zoom 200, scrolled") << 200 << QPoint(100, 50) << QPoint(1, 11) << QPoint(50, 30);
}

void TestLoupe::pixelUnderCrossHair()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, press);
    QFETCH(QPoint, pixel);

    ViewState view;
    view.zoomPercent = zoom;
    view.scrollX = scroll.x();
    view.scrollY = scroll.y();
    const QPointF point = view.image(press);
    QCOMPARE(loupePixel(point), pixel);

    Gradient picture;
    QImage loupe;
    QVERIFY(renderLoupe(loupe, picture.d, point, std::nullopt));
    QCOMPARE(loupe.size(), QSize(LoupeSide, LoupeSide));
    const QRgb colour = qRgb(pixel.x(), pixel.y(), 0);
    QCOMPARE(countColour(loupe, Middle, colour), LoupeFactor * LoupeFactor);
    // The cross hair frames the square and leaves the pixels around it to the picture.
    QCOMPARE(countColour(loupe, Middle.adjusted(-1, -1, 1, 1), colour), LoupeFactor * LoupeFactor);
    QCOMPARE(loupe.pixel(0, 0), qRgb(pixel.x() - LoupeSpan / 2, pixel.y() - LoupeSpan / 2, 0));
}

void TestLoupe::beyondThePicture()
{
    Gradient picture;
    QImage loupe;
    QVERIFY(renderLoupe(loupe, picture.d, QPointF(1.5, 1.5), std::nullopt));
    QCOMPARE(loupe.pixel(0, 0), qRgb(128, 128, 128));
    QCOMPARE(countColour(loupe, Middle, qRgb(1, 1, 0)), LoupeFactor * LoupeFactor);

    dib none;
    QVERIFY(renderLoupe(loupe, none, QPointF(1.5, 1.5), std::nullopt));
    QCOMPARE(countColour(loupe, Middle, qRgb(128, 128, 128)), LoupeFactor * LoupeFactor);
}

void TestLoupe::snapTarget()
{
    Gradient picture;
    QImage plain;
    QImage snapped;
    QVERIFY(renderLoupe(plain, picture.d, QPointF(50.5, 30.5), std::nullopt));
    QVERIFY(renderLoupe(snapped, picture.d, QPointF(50.5, 30.5), QPointF(53, 30)));
    const QRect target = Middle.translated(3 * LoupeFactor, 0);
    const QRect around = target.adjusted(-6, -6, 6, 6);
    QCOMPARE(countColour(plain, around, qRgb(0, 160, 255)), 0);
    QVERIFY(countColour(snapped, around, qRgb(0, 160, 255)) > 0);
    // Only the ring is added.
    QCOMPARE(countColour(snapped, Middle, qRgb(50, 30, 0)), LoupeFactor * LoupeFactor);
    QCOMPARE(snapped.pixel(0, 0), plain.pixel(0, 0));
}

QTEST_MAIN(TestLoupe)
#include "tst_loupe.moc"

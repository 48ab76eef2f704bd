#include "render/directpixels.h"
#include "render/drawlist.h"
#include "render/pointmark.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace {

const QRgb Background = qRgb(90, 160, 120);

QImage canvas(QImage::Format format = QImage::Format_RGB32)
{
    QImage img(40, 30, format);
    img.fill(Background);
    return img;
}

// The point mark as the paint engine draws it.
void paintedMark(QPainter &p, int X, int Y)
{
    for (const auto &[r, colour] : {std::pair{3, qRgb(255, 255, 255)}, std::pair{4, qRgb(0, 0, 0)}}) {
        p.setPen(QPen(QColor(colour), 1));
        const QPoint c[5] = {QPoint(X - r, Y - r), QPoint(X + r, Y - r), QPoint(X + r, Y + r), QPoint(X - r, Y + r),
                             QPoint(X - r, Y - r)};
        p.drawPolyline(c, 5);
    }
}

}

class TestDirectPixels : public QObject
{
    Q_OBJECT

private slots:
    void usableOnlyWhenThePainterWritesPlainly_data();
    void usableOnlyWhenThePainterWritesPlainly();
    void markMatchesThePaintEngine_data();
    void markMatchesThePaintEngine();
    void coverageBlendsLikeText();
    void maskPartlyOutside();
    void wideLabelsBlendAsNarrowOnes_data();
    void wideLabelsBlendAsNarrowOnes();
    void directShapesFollowThePaintEngine_data();
    void directShapesFollowThePaintEngine();
    void gatheredDrawingsComeOutAsDrawnInOrder();
};

void TestDirectPixels::usableOnlyWhenThePainterWritesPlainly_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("usable");
    QTest::newRow("back buffer") << int(QImage::Format_RGB32) << 0 << true;
    QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << 0 << true;
    QTest::newRow("whole-pixel shift") << int(QImage::Format_RGB32) << 1 << true;
    QTest::newRow("not premultiplied") << int(QImage::Format_ARGB32) << 0 << false;
    QTest::newRow("16 bits") << int(QImage::Format_RGB16) << 0 << false;
    QTest::newRow("half-pixel shift") << int(QImage::Format_RGB32) << 2 << false;
    QTest::newRow("scaled") << int(QImage::Format_RGB32) << 3 << false;
    QTest::newRow("clipped") << int(QImage::Format_RGB32) << 4 << false;
    QTest::newRow("translucent") << int(QImage::Format_RGB32) << 5 << false;
    QTest::newRow("other composition") << int(QImage::Format_RGB32) << 6 << false;
}

void TestDirectPixels::usableOnlyWhenThePainterWritesPlainly()
{
    QFETCH(int, format);
    QFETCH(int, change);
    QFETCH(bool, usable);
    QImage img = canvas(QImage::Format(format));
    QPainter p(&img);
    switch (change) {
    case 1:
        p.translate(3, -2);
        break;
    case 2:
        p.translate(0.5, 0);
        break;
    case 3:
        p.scale(2, 2);
        break;
    case 4:
        p.setClipRect(0, 0, 10, 10);
        break;
    case 5:
        p.setOpacity(0.5);
        break;
    case 6:
        p.setCompositionMode(QPainter::CompositionMode_Multiply);
        break;
    default:
        break;
    }
    QCOMPARE(DirectPixels(p).usable(), usable);
}

void TestDirectPixels::markMatchesThePaintEngine_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QPoint>("shift");
    QTest::newRow("inside") << QPoint(20, 15) << QPoint(0, 0);
    QTest::newRow("shifted painter") << QPoint(12, 9) << QPoint(5, 4);
    QTest::newRow("top-left corner") << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("cut by the right edge") << QPoint(38, 10) << QPoint(0, 0);
    QTest::newRow("cut by the bottom edge") << QPoint(7, 33) << QPoint(0, 0);
    QTest::newRow("only the outer square") << QPoint(-4, 12) << QPoint(0, 0);
    QTest::newRow("outside") << QPoint(-5, 12) << QPoint(0, 0);
    QTest::newRow("far away") << QPoint(1 << 30, -(1 << 30)) << QPoint(0, 0);
}

void TestDirectPixels::markMatchesThePaintEngine()
{
    QFETCH(QPoint, at);
    QFETCH(QPoint, shift);
    QImage direct = canvas();
    QImage painted = canvas();
    {
        QPainter p(&direct);
        p.translate(shift);
        QVERIFY(DirectPixels(p).usable());
        endpunkt(p, at.x(), at.y());
    }
    {
        QPainter p(&painted);
        p.translate(shift);
        p.setClipRect(QRect(-shift, painted.size()));
        QVERIFY(!DirectPixels(p).usable());
        endpunkt(p, at.x(), at.y());
    }
    {
        // The painter path of endpunkt is the paint engine's own polyline.
        QImage reference = canvas();
        QPainter p(&reference);
        p.translate(shift);
        paintedMark(p, at.x(), at.y());
        p.end();
        QCOMPARE(painted, reference);
    }
    // Directly, a mark cut by the edge is the part of the whole mark on the image.
    constexpr int Margin = 8;
    QImage whole(direct.width() + 2 * Margin, direct.height() + 2 * Margin, direct.format());
    whole.fill(Background);
    {
        QPainter p(&whole);
        p.translate(shift + QPoint(Margin, Margin));
        paintedMark(p, at.x(), at.y());
    }
    QCOMPARE(direct, whole.copy(Margin, Margin, direct.width(), direct.height()));
}

void TestDirectPixels::coverageBlendsLikeText()
{
    // Coverage 0, 128 and 255 in the first row; the outline under the text in the second.
    QImage mask(4, 2, QImage::Format_Alpha8);
    mask.fill(0);
    mask.scanLine(0)[1] = 128;
    mask.scanLine(0)[2] = 255;
    mask.scanLine(1)[0] = 255;
    QImage outline(4, 2, QImage::Format_Alpha8);
    outline.fill(0);
    outline.scanLine(1)[0] = 255;
    outline.scanLine(1)[3] = 255;

    QImage img = canvas();
    QPainter p(&img);
    const DirectPixels pixels(p);
    pixels.blend(10, 10, CoverageMask(mask, &outline, QPoint(0, 0)), qRgb(200, 0, 0), qRgb(255, 255, 255));
    // The same text corner from a mask whose corner lies inside it.
    pixels.blend(20, 20, CoverageMask(mask, nullptr, QPoint(2, 1)), qRgb(0, 0, 200), 0);
    p.end();

    QCOMPARE(img.pixel(10, 10), Background);
    // Half covered: halfway between the colour and the background, to the rounding.
    const QRgb half = img.pixel(11, 10);
    QVERIFY(std::abs(qRed(half) - 145) <= 1 && std::abs(qGreen(half) - 80) <= 1 && std::abs(qBlue(half) - 60) <= 1);
    QCOMPARE(img.pixel(12, 10), qRgb(200, 0, 0));
    QCOMPARE(img.pixel(13, 10), Background);
    QCOMPARE(img.pixel(10, 11), qRgb(200, 0, 0));
    QCOMPARE(img.pixel(13, 11), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(20, 19), qRgb(0, 0, 200));
    QCOMPARE(img.pixel(20, 20), Background);
}

void TestDirectPixels::maskPartlyOutside()
{
    QImage mask(8, 8, QImage::Format_Alpha8);
    mask.fill(255);
    QImage img = canvas();
    QPainter p(&img);
    const DirectPixels pixels(p);
    const CoverageMask full(mask, nullptr, QPoint(0, 0));
    pixels.blend(-4, -5, full, qRgb(0, 0, 0), 0);
    pixels.blend(36, 26, full, qRgb(0, 0, 0), 0);
    pixels.blend(1 << 30, 5, full, qRgb(0, 0, 0), 0);
    pixels.blend(-(1 << 30), -(1 << 30), full, qRgb(0, 0, 0), 0);
    p.end();
    QCOMPARE(img.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(3, 2), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(4, 2), Background);
    QCOMPARE(img.pixel(3, 3), Background);
    QCOMPARE(img.pixel(39, 29), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(36, 26), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(35, 26), Background);
}

void TestDirectPixels::wideLabelsBlendAsNarrowOnes_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("opaque") << qRgb(200, 30, 10) << false;
    QTest::newRow("translucent") << qPremultiply(qRgba(20, 90, 240, 150)) << false;
    QTest::newRow("outlined") << qRgb(10, 10, 120) << true;
}

// Rows wide enough for the processor's widest registers come out as the same coverage put down
// four columns at a time, which takes the narrow path, over a busy background.
void TestDirectPixels::wideLabelsBlendAsNarrowOnes()
{
    QFETCH(QRgb, colour);
    QFETCH(bool, outlined);
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> byte(0, 255);
    QImage mask(36, 5, QImage::Format_Alpha8);
    QImage outline(36, 5, QImage::Format_Alpha8);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            // Runs of empty coverage between inked ones, as in text.
            mask.scanLine(y)[x] = x % 11 < 3 ? 0 : static_cast<uchar>(byte(rng));
            outline.scanLine(y)[x] = static_cast<uchar>(byte(rng));
        }
    QImage background = canvas();
    for (int y = 0; y < background.height(); ++y)
        for (int x = 0; x < background.width(); ++x)
            background.setPixel(x, y, qRgb(byte(rng), byte(rng), byte(rng)));
    const QImage *withOutline = outlined ? &outline : nullptr;

    QImage wide = background.copy();
    QPainter p(&wide);
    DirectPixels(p).blend(2, 3, CoverageMask(mask, withOutline, QPoint(0, 0)), colour, qRgb(255, 255, 255));
    p.end();
    QImage narrow = background.copy();
    QPainter q(&narrow);
    const DirectPixels pixels(q);
    for (int x = 0; x < mask.width(); x += 4) {
        const QImage stripOutline = outline.copy(x, 0, 4, outline.height());
        pixels.blend(2, 3, CoverageMask(mask.copy(x, 0, 4, mask.height()), outlined ? &stripOutline : nullptr,
                                        QPoint(-x, 0)),
                     colour, qRgb(255, 255, 255));
    }
    q.end();
    QCOMPARE(wide, narrow);
}

namespace {

enum class Shape { Line, WideLine, Triangle };

constexpr int PenWidth = 5;

// Draws the shape directly onto img, whose top-left pixel stands at painter position origin.
void drawDirect(QImage &img, QPoint origin, Shape shape, const QList<QPoint> &pts)
{
    QPainter p(&img);
    p.translate(-origin);
    const DirectPixels pixels(p);
    if (shape == Shape::Line)
        pixels.line(pts[0], pts[1], qRgb(0, 0, 0));
    else if (shape == Shape::WideLine)
        pixels.wideLine(pts[0], pts[1], PenWidth, qRgb(0, 0, 0));
    else
        pixels.triangle(pts[0], pts[1], pts[2], qRgb(0, 0, 0));
}

// Whether every black pixel of a lies within one pixel of a black pixel of b.
bool near(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != qRgb(0, 0, 0))
                continue;
            bool found = false;
            for (int v = std::max(0, y - 1); v <= std::min(b.height() - 1, y + 1); ++v)
                for (int u = std::max(0, x - 1); u <= std::min(b.width() - 1, x + 1); ++u)
                    found = found || b.pixel(u, v) == qRgb(0, 0, 0);
            if (!found)
                return false;
        }
    return true;
}

}

void TestDirectPixels::directShapesFollowThePaintEngine_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<QList<QPoint>>("pts");
    QTest::newRow("flat line") << Shape::Line << QList<QPoint>{{2, 3}, {37, 11}};
    QTest::newRow("steep line, drawn upwards") << Shape::Line << QList<QPoint>{{30, 28}, {21, 1}};
    QTest::newRow("diagonal") << Shape::Line << QList<QPoint>{{1, 1}, {28, 28}};
    QTest::newRow("one point") << Shape::Line << QList<QPoint>{{9, 9}, {9, 9}};
    QTest::newRow("ends far off") << Shape::Line << QList<QPoint>{{-(1 << 30), -5}, {1 << 30, 40}};
    QTest::newRow("wide line") << Shape::WideLine << QList<QPoint>{{4, 5}, {33, 21}};
    QTest::newRow("wide dot") << Shape::WideLine << QList<QPoint>{{20, 15}, {20, 15}};
    QTest::newRow("wide line cut by the edge") << Shape::WideLine << QList<QPoint>{{-3, 28}, {45, 27}};
    QTest::newRow("arrow head") << Shape::Triangle << QList<QPoint>{{3, 4}, {30, 12}, {6, 22}};
    QTest::newRow("thin sliver") << Shape::Triangle << QList<QPoint>{{2, 2}, {38, 9}, {3, 4}};
    QTest::newRow("corners far off") << Shape::Triangle << QList<QPoint>{{-(1 << 29), 3}, {20, 1 << 29}, {25, 2}};
}

// A line, a wide line or a filled triangle put straight into the pixels lands where the paint
// engine puts it, to a pixel, and a band of the image gets exactly its part of the whole.
void TestDirectPixels::directShapesFollowThePaintEngine()
{
    QFETCH(Shape, shape);
    QFETCH(QList<QPoint>, pts);
    QImage direct = canvas();
    drawDirect(direct, QPoint(0, 0), shape, pts);
    QImage painted = canvas();
    {
        QPainter p(&painted);
        const bool stroked = shape != Shape::Triangle;
        p.setPen(stroked ? QPen(QColor(0, 0, 0), shape == Shape::Line ? 1 : PenWidth, Qt::SolidLine, Qt::RoundCap)
                         : QPen(Qt::NoPen));
        p.setBrush(stroked ? QBrush() : QBrush(QColor(0, 0, 0)));
        if (stroked)
            p.drawLine(pts[0], pts[1]);
        else
            p.drawPolygon(pts.data(), 3);
    }
    QVERIFY(near(direct, painted));
    QVERIFY(near(painted, direct));
    for (const QRect band : {QRect(0, 0, 40, 7), QRect(0, 7, 40, 13), QRect(13, 20, 27, 10)}) {
        QImage part = canvas().copy(band);
        drawDirect(part, band.topLeft(), shape, pts);
        QCOMPARE(part, direct.copy(band));
    }
}

// Drawings gathered in a draw list and put in by two threads come out as drawing them one
// after the other: overlapping ones included, in their order.
void TestDirectPixels::gatheredDrawingsComeOutAsDrawnInOrder()
{
    QImage mask(9, 7, QImage::Format_Alpha8);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            mask.scanLine(y)[x] = static_cast<uchar>((x * 37 + y * 91) % 256);
    const CoverageMask label(mask, nullptr, QPoint(1, 2));
    struct Drawing {
        QPoint a, b, c;
        QRgb colour;
    };
    // Tall enough for several bands of rows, and drawings enough for several batches.
    const QSize size(60, 300);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> x(-10, size.width() + 10);
    std::uniform_int_distribution<int> y(-10, size.height() + 10);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<Drawing> drawings(3000);
    for (Drawing &d : drawings)
        d = {QPoint(x(rng), y(rng)), QPoint(x(rng), y(rng)), QPoint(x(rng), y(rng)),
             qRgb(byte(rng), byte(rng), byte(rng))};
    const auto draw = [&](const DirectPixels &pixels, std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            const Drawing &d = drawings[k];
            switch (k % 4) {
            case 0:
                pixels.line(d.a, d.b, d.colour);
                break;
            case 1:
                pixels.triangle(d.a, d.b, d.c, d.colour);
                pixels.wideLine(d.b, d.c, 3, d.colour);
                break;
            case 2:
                pixels.squareOutline(d.a.x(), d.a.y(), 3, d.colour);
                break;
            default:
                pixels.blend(d.a.x(), d.a.y(), label, d.colour, 0);
                break;
            }
        }
    };
    // What lies under the drawings, one colour per row.
    const auto layRows = [](uchar *bits, qsizetype stride, int width, int top, int bottom) {
        for (int row = top; row < bottom; ++row)
            std::fill_n(reinterpret_cast<QRgb *>(bits + row * stride), width, qRgb(row % 256, 90, 200));
    };
    // Halfway the painter draws itself, over what was gathered before and under what follows.
    const std::size_t half = drawings.size() / 2;
    const QRect painted(5, 20, 30, 200);
    QImage one(size, QImage::Format_RGB32);
    layRows(one.bits(), one.bytesPerLine(), one.width(), 0, one.height());
    {
        QPainter p(&one);
        draw(DirectPixels(p), 0, half);
        p.fillRect(painted, Qt::blue);
        draw(DirectPixels(p), half, drawings.size());
    }
    QImage two(size, QImage::Format_RGB32);
    uchar *bits = two.bits();
    const qsizetype stride = two.bytesPerLine();
    QThreadPool workers;
    {
        QPainter p(&two);
        DrawList list(DirectPixels(p), workers);
        if (!list.usable())
            QSKIP("one processor: nothing is gathered");
        // Laid slowly, so that the drawings overtake it unless they wait for it.
        list.start([&](int top, int bottom) {
            QThread::msleep(2);
            layRows(bits, stride, size.width(), top, bottom);
        });
        const DirectPixels gathered(p, &list);
        draw(gathered, 0, half);
        gathered.settle();
        p.fillRect(painted, Qt::blue);
        draw(gathered, half, drawings.size());
        list.finish();
    }
    QCOMPARE(two, one);
}

QTEST_MAIN(TestDirectPixels)
#include "tst_directpixels.moc"

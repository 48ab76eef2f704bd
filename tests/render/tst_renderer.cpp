#include "core/dib.h"
#include "core/elements.h"
#include "core/elementvalues.h"
#include "render/labelcache.h"
#include "render/renderer.h"
#include "render/viewstate.h"
#include "support/elementbuilder.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cstring>
#include <initializer_list>

namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb Red = qRgb(255, 0, 0);
// The picture: one colour, stored blue, green, red.
const QRgb Picture = qRgb(180, 220, 200);

const QSize Surface(500, 400);

Telemente *addVertices(Document &doc, int typ, std::initializer_list<Pt> vertices)
{
    Telemente *e = add(doc, typ);
    for (const Pt &v : vertices)
        doc.appendVertex(v.x, v.y);
    return e;
}

// Every element type, laid out apart from each other over a 200 x 150 picture; the curves lie
// below the picture on white.
void buildDocument(Document &doc)
{
    add(doc, TypLine, {10, 10}, {50, 10});
    add(doc, TypLine, {50, 10}, {50, 40})->nr = 1;
    Telemente *last = add(doc, TypLine, {50, 40}, {10, 40});
    last->nr = 2;
    last->closed = true;
    add(doc, TypRectangle, {70, 10}, {110, 40}, {110, 40});
    add(doc, TypEllipse, {130, 10}, {170, 40}, {170, 40});
    add(doc, TypDistance, {20, 70}, {80, 70}, {50, 60})->selected = true;
    add(doc, TypScaleLine, {110, 70}, {170, 70}, {140, 70});
    addVertices(doc, TypPolygon, {{20, 100}, {60, 100}, {60, 130}, {20, 130}, {20, 100}});
    addVertices(doc, TypPolyline, {{80, 100}, {120, 100}, {120, 130}});
    addVertices(doc, TypAngle, {{140, 100}, {140, 130}, {170, 130}});
    Telemente *text = add(doc, TypText, {150, 148});
    Document::setName(*text, QStringLiteral("T"));
    add(doc, TypQuadCurve, {20, 170}, {60, 170}, {40, 190});
    add(doc, TypCubicCurve, {80, 170}, {120, 170}, {90, 190}, {110, 190});
}

enum Index { Chain0, Chain1, Chain2, Rect, Ellipse, Distance, ScaleLine, Polygon, Polyline, Angle, Text, Quad, Cubic };

dib makePicture()
{
    dib d;
    if (!newdib(d, 200, 150, 24, nullptr, 0))
        return d;
    for (int y = 0; y < 150; ++y) {
        std::uint8_t *row = dibRow(d, y);
        for (int x = 0; x < 200; ++x) {
            row[3 * x] = 200;
            row[3 * x + 1] = 220;
            row[3 * x + 2] = 180;
        }
    }
    return d;
}

bool colourNear(const QImage &img, QPoint at, QRgb colour, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (img.rect().contains(p) && img.pixel(p) == colour)
                return true;
        }
    return false;
}

QString describe(const QImage &img, QPoint p)
{
    const QRgb c = img.pixel(p);
    return QStringLiteral("(%1, %2) is %3 %4 %5").arg(p.x()).arg(p.y()).arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

}

class TestRenderer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyElementType_data();
    void everyElementType();
    void valuesAreStored();
    void scaleLineHidden();
    void pictureHidden();
    void handToolHidesMarksButNotHandles();
    void withoutMarksHidesHandles();
    void penWidth_data();
    void penWidth();
    void bufferIsReused();
    void exportRendersWholeImageAtOrigin();
    void shortVertexListsDrawTheirPath();
    void hostileCoordinatesDoNotStopThePass();
    void cutSurfaceKeepsItsPixels_data();
    void cutSurfaceKeepsItsPixels();
    void keptValuesFollowEveryChange_data();
    void keptValuesFollowEveryChange();
    void linesFollowThePaintEngine_data();
    void linesFollowThePaintEngine();

private:
    QImage render(Document &doc, const ViewState &view, const DrawingSettings &settings, Scale scale = {},
                  RenderPass pass = {});

    dib picture;
    QImage bit;
    LabelCache *labelCache = nullptr;
};

void TestRenderer::initTestCase()
{
    picture = makePicture();
    QVERIFY(picture.poi);
}

void TestRenderer::cleanupTestCase()
{
    deldib(picture);
}

QImage TestRenderer::render(Document &doc, const ViewState &view, const DrawingSettings &settings, Scale scale,
                            RenderPass pass)
{
    RenderInputs in{view, settings, scale, NumberSettings{QStringLiteral("Pixel"), 2, 4}, labelCache};
    in.pass = pass;
    if (!renderBackBuffer(bit, Surface, doc, picture, in))
        return QImage();
    return bit;
}

namespace {

DrawingSettings blueLabels()
{
    DrawingSettings s;
    s.labelFont.color = QColor(0, 0, 255);
    return s;
}

}

void TestRenderer::everyElementType_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("cached");
    QTest::newRow("zoom 50") << 50 << false;
    QTest::newRow("zoom 100") << 100 << false;
    QTest::newRow("zoom 200") << 200 << false;
    QTest::newRow("zoom 100, label cache") << 100 << true;
    QTest::newRow("zoom 200, label cache") << 200 << true;
}

void TestRenderer::everyElementType()
{
    QFETCH(int, zoom);
    QFETCH(bool, cached);
    Document doc;
    buildDocument(doc);
    ViewState view;
    view.setZoom(zoom);
    LabelCache cache;
    labelCache = cached ? &cache : nullptr;
    if (cached)
        render(doc, view, blueLabels());
    const QImage img = render(doc, view, blueLabels());
    labelCache = nullptr;
    QCOMPARE(img.size(), Surface);
    const auto S = [&](double x, double y) { return view.screen(x, y); };

    // Nothing drawn: white beyond the picture, the picture's colour on it.
    QCOMPARE(img.pixel(495, 395), White);
    QCOMPARE(img.pixel(S(190, 5)), Picture);

    // The element colour on a stroke of every type.
    const struct {
        const char *what;
        QPoint at;
    } strokes[] = {
        {"line", S(30, 10)},
        {"chain closing", S(10, 25)},
        {"rectangle", S(90, 10)},
        {"ellipse", S(130, 25)},
        {"dimension line", S(35, 60)},
        {"extension line", S(80, 55)},
        {"scale line", S(125, 70)},
        {"polygon", S(40, 100)},
        {"polyline arrow", S(85, 100)},
        {"angle", S(140, 115)},
        {"quadratic curve", S(40, 180)},
        {"cubic curve", S(100, 185)},
    };
    for (const auto &s : strokes)
        QVERIFY2(colourNear(img, s.at, Red), qPrintable(QLatin1String(s.what) + QStringLiteral(": ")
                                                            + describe(img, s.at)));

    // The selected distance's mark at P1: a white square inside a black one.
    const QPoint m = S(20, 70);
    QCOMPARE(img.pixel(m + QPoint(3, 0)), White);
    QCOMPARE(img.pixel(m + QPoint(-3, -3)), White);
    QCOMPARE(img.pixel(m + QPoint(3, 3)), White);
    QCOMPARE(img.pixel(m + QPoint(4, 0)), Black);
    QCOMPARE(img.pixel(m + QPoint(0, -4)), Black);
    QCOMPARE(img.pixel(m + QPoint(-4, 4)), Black);
    // The unselected rectangle has no mark at its corner.
    const QPoint r = S(70, 10);
    QVERIFY(img.pixel(r + QPoint(-4, -4)) != Black);

    // A chain's first point and every line end are marked whether selected or not.
    QCOMPARE(img.pixel(S(10, 10) + QPoint(-4, -4)), Black);
    QCOMPARE(img.pixel(S(50, 10) + QPoint(4, -4)), Black);
    // The curves' control points are marked, their handles white over black.
    QCOMPARE(img.pixel(S(40, 190) + QPoint(0, 4)), Black);
    QCOMPARE(img.pixel(S(40, 190) + QPoint(0, 3)), White);
    QCOMPARE(img.pixel(S(110, 190) + QPoint(4, 0)), Black);

    // The labels are drawn in the label colour.
    bool labelInk = false;
    const QRect under(S(70, 40) + QPoint(0, 2), S(110, 40) + QPoint(0, 30));
    for (int y = under.top(); y <= under.bottom(); ++y)
        for (int x = under.left(); x <= under.right(); ++x)
            labelInk = labelInk || (qBlue(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) < 100);
    QVERIFY(labelInk);
}

void TestRenderer::valuesAreStored()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    QVERIFY(!render(doc, view, blueLabels(), Scale{1, 2}).isNull());

    const Telemente &rect = *doc.element(Rect);
    QCOMPARE(double(rect.lang), 280.0);
    QCOMPARE(double(rect.flaeche), 4800.0);
    QCOMPARE(double(rect.winkel), 0.0);
    QCOMPARE(double(doc.element(Distance)->lang), 120.0);
    QCOMPARE(double(doc.element(Polygon)->flaeche), 4800.0);
    QCOMPARE(double(doc.element(Angle)->winkel), 90.0);

    // Polylines and angles keep their last segment in P1 and P2, polygons their own points.
    const Telemente &polyline = *doc.element(Polyline);
    QCOMPARE(QPointF(polyline.x1, polyline.y1), QPointF(120, 100));
    QCOMPARE(QPointF(polyline.x2, polyline.y2), QPointF(120, 130));
    const Telemente &angle = *doc.element(Angle);
    QCOMPARE(QPointF(angle.x1, angle.y1), QPointF(140, 130));
    QCOMPARE(QPointF(angle.x2, angle.y2), QPointF(170, 130));

    // The text label's box: its top-right corner in P2, above P1.
    const Telemente &text = *doc.element(Text);
    QVERIFY(text.x2 > text.x1);
    QVERIFY(text.y2 < text.y1);
}

void TestRenderer::scaleLineHidden()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    DrawingSettings settings = blueLabels();
    QVERIFY(!render(doc, view, settings).isNull());
    QCOMPARE(double(doc.element(ScaleLine)->lang), 60.0);

    settings.showScaleLine = false;
    const QImage img = render(doc, view, settings, Scale{1, 2});
    QCOMPARE(img.pixel(view.screen(125, 70)), Picture);
    QCOMPARE(img.pixel(view.screen(140, 70)), Picture);
    // Hidden, so not refreshed with the new scale; the distance is.
    QCOMPARE(double(doc.element(ScaleLine)->lang), 60.0);
    QCOMPARE(double(doc.element(Distance)->lang), 120.0);
}

void TestRenderer::pictureHidden()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    DrawingSettings settings = blueLabels();
    settings.showPicture = false;
    const QImage img = render(doc, view, settings);
    QCOMPARE(img.pixel(view.screen(190, 5)), White);
    QCOMPARE(img.pixel(view.screen(5, 85)), White);
    QVERIFY(colourNear(img, view.screen(90, 10), Red));
}

void TestRenderer::handToolHidesMarksButNotHandles()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    RenderPass handDown;
    handDown.handToolDown = true;
    const QImage img = render(doc, view, blueLabels(), {}, handDown);
    const QPoint m = view.screen(80, 70);
    QVERIFY(img.pixel(m + QPoint(4, 0)) != Black);
    QVERIFY(img.pixel(view.screen(10, 10) + QPoint(-4, -4)) != Black);
    // The quadratic handle from P1 to P3: white in the middle, black beside it.
    const QPoint h = view.screen(30, 180);
    QCOMPARE(img.pixel(h), White);
    QVERIFY(colourNear(img, h, Black));
}

void TestRenderer::withoutMarksHidesHandles()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    RenderPass withoutMarks;
    withoutMarks.withoutMarks = true;
    const QImage img = render(doc, view, blueLabels(), {}, withoutMarks);
    QVERIFY(!colourNear(img, view.screen(30, 180), Black));
    QVERIFY(img.pixel(view.screen(80, 70) + QPoint(4, 0)) != Black);
}

void TestRenderer::penWidth_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<double>("lineWidth");
    QTest::addColumn<int>("width");
    QTest::newRow("zoom 10 rounds to 0, drawn as 1") << 10 << 2.0 << 1;
    QTest::newRow("zoom 100") << 100 << 2.0 << 2;
    QTest::newRow("zoom 250 ties to even") << 250 << 1.0 << 2;
    QTest::newRow("zoom 300") << 300 << 2.0 << 6;
}

void TestRenderer::penWidth()
{
    QFETCH(int, zoom);
    QFETCH(double, lineWidth);
    QFETCH(int, width);
    ViewState view;
    view.setZoom(zoom);
    DrawingSettings s;
    s.lineWidth = lineWidth;
    QCOMPARE(elementPenWidth(view, s), width);

    // A horizontal line is exactly that many pixels thick.
    Document doc;
    add(doc, TypLine, {0, 20}, {150, 20})->nr = 1;
    s.showPicture = false;
    const QImage img = render(doc, view, s);
    const int x = view.screenX(75);
    int thick = 0;
    for (int y = 0; y < img.height(); ++y)
        thick += img.pixel(x, y) == Red ? 1 : 0;
    QCOMPARE(thick, width);
}

void TestRenderer::bufferIsReused()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    const DrawingSettings settings = blueLabels();
    render(doc, view, settings);
    const uchar *first = bit.constBits();
    view.setZoom(300);
    view.setScrollX(50);
    render(doc, view, settings);
    QCOMPARE(bit.constBits(), first);
    QCOMPARE(bit.size(), Surface);

    const RenderInputs in{view, settings, Scale{}, NumberSettings{}};
    QVERIFY(renderBackBuffer(bit, QSize(120, 90), doc, picture, in));
    QCOMPARE(bit.size(), QSize(120, 90));
    QVERIFY(renderBackBuffer(bit, QSize(0, 0), doc, picture, in));
    QCOMPARE(bit.size(), QSize(1, 1));
}

void TestRenderer::exportRendersWholeImageAtOrigin()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    view.setZoom(50);
    view.setScrollX(300);
    view.setScrollY(-200);
    RenderPass wholeImage;
    wholeImage.wholeImage = true;
    const QImage img = render(doc, view.atOrigin(), blueLabels(), {}, wholeImage);
    QCOMPARE(img.size(), QSize(100, 75));
    QCOMPARE(img.pixel(0, 0), Picture);
    QCOMPARE(img.pixel(99, 74), Picture);
    QVERIFY(colourNear(img, QPoint(45, 5), Red));
}

void TestRenderer::shortVertexListsDrawTheirPath()
{
    Document doc;
    addVertices(doc, TypPolyline, {{10, 10}});
    addVertices(doc, TypAngle, {});
    addVertices(doc, TypPolygon, {});
    Telemente *one = addVertices(doc, TypAngle, {{40, 40}});
    one->x1 = 1;
    one->x2 = 2;
    one->winkel = 33;
    ViewState view;
    DrawingSettings s = blueLabels();
    s.showPicture = false;
    const QImage img = render(doc, view, s);
    QVERIFY(!img.isNull());
    QCOMPARE(double(doc.element(0)->lang), 0.0);
    // Nothing that needs a segment: the angle keeps its points and its angle.
    QCOMPARE(double(doc.element(3)->x1), 1.0);
    QCOMPARE(double(doc.element(3)->x2), 2.0);
    QCOMPARE(double(doc.element(3)->winkel), 33.0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(img.pixel(x, y), White);
}

void TestRenderer::hostileCoordinatesDoNotStopThePass()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Document doc;
    add(doc, TypLine, {-1e12, -1e12}, {1e12, 1e12});
    add(doc, TypRectangle, {nan, 0}, {inf, -inf});
    add(doc, TypDistance, {0, 0}, {1e300, 1e300}, {-1e300, 5});
    add(doc, TypEllipse, {-1e9, -1e9}, {1e9, 1e9});
    addVertices(doc, TypPolyline, {{nan, nan}, {1e15, 0}, {0, 1e15}});
    add(doc, TypCubicCurve, {0, 0}, {1e12, 0}, {nan, 1}, {-1e12, 1e12});
    add(doc, TypRectangle, {10, 10}, {40, 30});
    ViewState view;
    view.setZoom(ViewState::ZoomMax);
    DrawingSettings s = blueLabels();
    s.lineWidth = 10;
    QVERIFY(!render(doc, view, s).isNull());
    // The pass went on to the last element and stored its values.
    QCOMPARE(double(doc.element(6)->flaeche), 600.0);
}

// Drawings that cannot reach the back buffer are left out; one whose points lie just beyond an
// edge of the surface still reaches it with its pen and must be drawn.
void TestRenderer::cutSurfaceKeepsItsPixels_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::newRow("line below the bottom edge") << int(TypLine) << QPointF(10, 103) << QPointF(90, 103);
    QTest::newRow("line beside the right edge") << int(TypLine) << QPointF(103, 10) << QPointF(103, 90);
    QTest::newRow("rectangle below") << int(TypRectangle) << QPointF(20, 103) << QPointF(80, 160);
    QTest::newRow("ellipse beside") << int(TypEllipse) << QPointF(103, 20) << QPointF(160, 80);
    QTest::newRow("distance below") << int(TypDistance) << QPointF(20, 103) << QPointF(80, 103);
}

void TestRenderer::cutSurfaceKeepsItsPixels()
{
    QFETCH(int, typ);
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    Document doc;
    add(doc, typ, {p1.x(), p1.y()}, {p2.x(), p2.y()}, {(p1.x() + p2.x()) / 2, p1.y()});
    ViewState view;
    DrawingSettings settings = blueLabels();
    settings.lineWidth = 9;
    settings.showPicture = false;
    const RenderInputs in{view, settings, Scale{}, NumberSettings{QStringLiteral("Pixel"), 2, 4}, nullptr};
    QImage whole;
    QImage cut;
    QVERIFY(renderBackBuffer(whole, QSize(400, 400), doc, picture, in));
    QVERIFY(renderBackBuffer(cut, QSize(100, 100), doc, picture, in));
    const QImage expected = whole.copy(0, 0, 100, 100);
    bool inked = false;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            inked = inked || expected.pixel(x, y) != White;
    QVERIFY2(inked, "the pen does not reach the cut surface, so the case tests nothing");
    QCOMPARE(cut, expected);
}

namespace {

// What a pass leaves in the document: the values, the derived segments and the text boxes.
QList<double> passResults(Document &doc)
{
    QList<double> r;
    for (int i = 0; i < doc.count(); ++i) {
        const Telemente &e = *doc.element(i);
        r << e.lang << e.flaeche << e.winkel << e.x1 << e.y1 << e.x2 << e.y2;
    }
    return r;
}

enum class Change { Scroll, ScrollFar, ScrollAlongChain, Zoom, Scale, MovedPoint, Renamed, Undone, Deleted, Printout };

}

void TestRenderer::keptValuesFollowEveryChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("scrolled") << Change::Scroll;
    QTest::newRow("scrolled to the far text") << Change::ScrollFar;
    QTest::newRow("scrolled along a closing line") << Change::ScrollAlongChain;
    QTest::newRow("zoomed") << Change::Zoom;
    QTest::newRow("new scale") << Change::Scale;
    QTest::newRow("point moved") << Change::MovedPoint;
    QTest::newRow("text renamed") << Change::Renamed;
    QTest::newRow("element put back") << Change::Undone;
    QTest::newRow("element deleted") << Change::Deleted;
    QTest::newRow("printed at another zoom") << Change::Printout;
}

// The screen keeps the values and where each element reaches from one repaint to the next; after
// any change its repaint leaves the same pixels and the same values as a first repaint does.
void TestRenderer::keptValuesFollowEveryChange()
{
    QFETCH(Change, change);
    Document doc;
    buildDocument(doc);
    // A long polyline whose label reaches far beyond the part of the drawing on screen, and a
    // text label far off it.
    addVertices(doc, TypPolyline, {{150, 20}, {900, 20}});
    Telemente *far = add(doc, TypText, {1500, 1500});
    Document::setName(*far, QStringLiteral("Far"));
    const int farText = doc.count() - 1;
    // A chain of two short lines far left and far right of the screen, closed by a line across it.
    add(doc, TypLine, {-3000, 30}, {-3000, 35});
    Telemente *chainEnd = add(doc, TypLine, {4000, 35}, {4000, 30});
    chainEnd->nr = 1;
    chainEnd->closed = true;
    ViewState view;
    view.setZoom(400);
    view.scrollX = 150;
    view.scrollY = 100;
    const DrawingSettings settings = blueLabels();
    Scale scale;
    LabelCache labels;
    ElementValueCache values;
    const auto screen = [&](LabelCache &l, ElementValueCache *v) {
        const RenderInputs in{view, settings, scale, NumberSettings{QStringLiteral("Pixel"), 2, 4}, &l, v};
        QImage img;
        return renderBackBuffer(img, Surface, doc, picture, in) ? img : QImage();
    };
    QVERIFY(!screen(labels, &values).isNull());
    QVERIFY(!screen(labels, &values).isNull());

    Telemente &rect = *doc.element(Rect);
    switch (change) {
    case Change::Scroll:
        view.scrollX = 20;
        view.scrollY = 250;
        break;
    case Change::ScrollFar:
        view.scrollX = 5900;
        view.scrollY = 5900;
        break;
    case Change::ScrollAlongChain:
        view.scrollX = 400;
        break;
    case Change::Zoom:
        view.setZoom(300);
        break;
    case Change::Scale:
        scale = Scale{2, 3};
        break;
    case Change::MovedPoint:
        rect.x2 = 190;
        doc.touch();
        break;
    case Change::Renamed:
        Document::setName(*doc.element(farText), QStringLiteral("A much longer name than before"));
        doc.touch();
        break;
    case Change::Undone: {
        // Written back whole, values included, as the history restores an element.
        const Telemente before = rect;
        rect.x2 = 190;
        doc.touch();
        QVERIFY(!screen(labels, &values).isNull());
        const Telemente moved = rect;
        std::memcpy(static_cast<void *>(&rect), &before, sizeof before);
        QCOMPARE(rect.vert, moved.vert);
        doc.touch();
        break;
    }
    case Change::Deleted:
        doc.deleteElement(Rect);
        break;
    case Change::Printout: {
        ViewState page;
        page.setZoom(37);
        QImage printed;
        const RenderInputs in{page, settings, scale, NumberSettings{QStringLiteral("Pixel"), 2, 4}, nullptr};
        QVERIFY(renderBackBuffer(printed, Surface, doc, picture, in));
        break;
    }
    }
    const QImage kept = screen(labels, &values);
    const QList<double> keptResults = passResults(doc);
    LabelCache fresh;
    const QImage first = screen(fresh, nullptr);
    QVERIFY(!kept.isNull());
    QCOMPARE(kept, first);
    QCOMPARE(keptResults, passResults(doc));
}


namespace {

// Whether every pixel of colour in a lies within one pixel of one of that colour in b.
bool inkNear(const QImage &a, const QImage &b, QRgb colour)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) == colour && !colourNear(b, QPoint(x, y), colour))
                return false;
    return true;
}

}

// The screen draws lines, ellipses and arrow heads itself, on two threads; they land where the
// paint engine draws them, to a pixel, with a thin pen and with a wide one.
void TestRenderer::linesFollowThePaintEngine_data()
{
    QTest::addColumn<double>("lineWidth");
    QTest::newRow("one pixel") << 0.5;
    QTest::newRow("three pixels") << 1.5;
}

void TestRenderer::linesFollowThePaintEngine()
{
    QFETCH(double, lineWidth);
    Document doc;
    add(doc, TypEllipse, {30, 20}, {170, 120}, {170, 120});
    add(doc, TypEllipse, {60, 60}, {66, 63}, {66, 63});
    add(doc, TypRectangle, {10, 130}, {190, 145}, {190, 145});
    add(doc, TypDistance, {20, 70}, {180, 90}, {100, 50});
    addVertices(doc, TypPolyline, {{15, 15}, {185, 40}, {100, 110}});
    ViewState view;
    view.setZoom(200);
    DrawingSettings s;
    s.lineWidth = lineWidth;
    s.showPicture = false;
    // Labels that leave no ink: the lines alone are compared.
    s.labelFont.color = QColor(0, 0, 255, 0);
    LabelCache cache;
    const RenderInputs in{view, s, Scale{}, NumberSettings{QStringLiteral("Pixel"), 2, 4}, &cache};
    QImage screen;
    QVERIFY(renderBackBuffer(screen, Surface, doc, picture, in));
    // A clip keeps the painter from handing its pixels over, so the paint engine draws it all.
    QImage painted(Surface, QImage::Format_RGB32);
    painted.fill(White);
    QPainter p(&painted);
    p.setClipRect(painted.rect());
    drawElements(p, doc, RenderInputs{view, s, Scale{}, NumberSettings{QStringLiteral("Pixel"), 2, 4}});
    p.end();
    QVERIFY(screen != painted);
    QVERIFY(inkNear(screen, painted, Red));
    QVERIFY(inkNear(painted, screen, Red));
}

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"

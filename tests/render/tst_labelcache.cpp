#include "core/dib.h"
#include "core/elements.h"
#include "render/labelcache.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QImage>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

const QSize Surface(400, 300);
const QRgb White = qRgb(255, 255, 255);

Telemente *add(Document &doc, int typ, double x1, double y1, double x2, double y2)
{
    Telemente *e = doc.appendElement();
    e->typ = typ;
    e->x1 = x1;
    e->y1 = y1;
    e->x2 = x2;
    e->y2 = y2;
    e->x3 = (x1 + x2) / 2;
    e->y3 = y1 - 20;
    return e;
}

// A rectangle, a named distance, a polyline and a text label.
void buildDocument(Document &doc)
{
    add(doc, TypRectangle, 20, 20, 120, 70);
    Telemente *d = add(doc, TypDistance, 160, 60, 300, 140);
    Document::setName(*d, QStringLiteral("Tür"));
    add(doc, TypPolyline, 0, 0, 0, 0);
    doc.appendVertex(40, 200);
    doc.appendVertex(120, 180);
    doc.appendVertex(200, 260);
    Telemente *t = add(doc, TypText, 250, 250, 0, 0);
    Document::setName(*t, QStringLiteral("Beschriftung"));
}

int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

bool inkInColumns(const QImage &img, int from, int to)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = from; x < to; ++x)
            if (img.pixel(x, y) != White)
                return true;
    return false;
}

}

class TestLabelCache : public QObject
{
    Q_OBJECT

private slots:
    void repaintKeepsItsBuffer();
    void cachedRepaintFollowsChanges_data();
    void cachedRepaintFollowsChanges();
    void labelsAcrossTheEdgeAreDrawn();
    void fullCacheStillDrawsEveryLabel();

private:
    bool render(QImage &bit, Document &doc, const ViewState &view, const DrawingSettings &settings,
                const NumberSettings &numbers, LabelCache *cache)
    {
        const RenderInputs in{view, settings, Scale{}, numbers, cache};
        return renderBackBuffer(bit, Surface, doc, dib{}, in);
    }
};

void TestLabelCache::repaintKeepsItsBuffer()
{
    Document doc;
    buildDocument(doc);
    ViewState view;
    DrawingSettings settings;
    settings.showPicture = false;
    const NumberSettings numbers{QStringLiteral("mm"), 2, 4};
    LabelCache cache;
    QImage bit;
    QVERIFY(render(bit, doc, view, settings, numbers, &cache));
    const uchar *first = bit.constBits();
    const QImage shown = bit.copy();
    QVERIFY(render(bit, doc, view, settings, numbers, &cache));
    // Drawn into the same memory, still held by nobody else, and the same picture.
    QCOMPARE(bit.constBits(), first);
    QVERIFY(bit.isDetached());
    QCOMPARE(bit, shown);
}

void TestLabelCache::cachedRepaintFollowsChanges_data()
{
    QTest::addColumn<int>("change");
    QTest::newRow("nothing") << 0;
    QTest::newRow("rectangle enlarged") << 1;
    QTest::newRow("distance renamed") << 2;
    QTest::newRow("name removed") << 3;
    QTest::newRow("more decimals") << 4;
    QTest::newRow("other unit") << 5;
    QTest::newRow("element deleted") << 6;
    QTest::newRow("text label changed") << 7;
    QTest::newRow("zoomed") << 8;
    QTest::newRow("outlined, other colour") << 9;
}

// A repaint from the label cache after a change shows what a repaint without it shows.
void TestLabelCache::cachedRepaintFollowsChanges()
{
    QFETCH(int, change);
    Document doc;
    buildDocument(doc);
    ViewState view;
    DrawingSettings settings;
    settings.showPicture = false;
    NumberSettings numbers{QStringLiteral("mm"), 2, 4};
    LabelCache cache;
    QImage cached;
    QVERIFY(render(cached, doc, view, settings, numbers, &cache));
    const QImage before = cached.copy();

    switch (change) {
    case 1:
        doc.element(0)->x2 = 160;
        break;
    case 2:
        Document::setName(*doc.element(1), QStringLiteral("Fenster"));
        break;
    case 3:
        Document::setName(*doc.element(1), QString());
        break;
    case 4:
        numbers.lengthDecimals = 3;
        numbers.areaDecimals = 1;
        break;
    case 5:
        numbers.unit = QStringLiteral("cm");
        break;
    case 6:
        doc.deleteElement(0);
        break;
    case 7:
        Document::setName(*doc.element(3), QStringLiteral("Flur"));
        break;
    case 8:
        view.setZoom(150);
        break;
    case 9:
        settings.outlineText = true;
        settings.labelFont.color = QColor(30, 30, 120);
        break;
    default:
        break;
    }
    QVERIFY(render(cached, doc, view, settings, numbers, &cache));
    QImage direct;
    QVERIFY(render(direct, doc, view, settings, numbers, nullptr));
    QVERIFY2(largestDifference(cached, direct) <= 2, "the cached labels differ from the drawn ones");
    // The change shows, so a stale label would have been seen above.
    QCOMPARE(largestDifference(before, direct) == 0, change == 0);
}

// A label that reaches into the buffer from outside is drawn; one wholly outside is not even
// rasterised.
void TestLabelCache::labelsAcrossTheEdgeAreDrawn()
{
    Document doc;
    Telemente *across = add(doc, TypText, -40, 100, 0, 0);
    Document::setName(*across, QStringLiteral("Beschriftung"));
    Telemente *outside = add(doc, TypText, -400, 100, 0, 0);
    Document::setName(*outside, QStringLiteral("Weit weg"));
    ViewState view;
    DrawingSettings settings;
    settings.showPicture = false;
    LabelCache cache;
    QImage bit;
    QVERIFY(render(bit, doc, view, settings, NumberSettings{}, &cache));
    QVERIFY(inkInColumns(bit, 0, 40));
    QVERIFY(cache.find(0, QStringLiteral("Beschriftung"), 0));
    QVERIFY(!cache.find(0, QStringLiteral("Weit weg"), 0));
    // Culling leaves the stored text box alone.
    QVERIFY(doc.element(1)->x2 > -400);

    QImage direct;
    QVERIFY(render(direct, doc, view, settings, NumberSettings{}, nullptr));
    QVERIFY(largestDifference(bit, direct) <= 2);
}

void TestLabelCache::fullCacheStillDrawsEveryLabel()
{
    Document doc;
    for (int i = 0; i < 12; ++i) {
        Telemente *t = add(doc, TypText, 10 + (i % 3) * 120, 30 + (i / 3) * 60, 0, 0);
        Document::setName(*t, QStringLiteral("Beschriftung %1").arg(i));
    }
    ViewState view;
    DrawingSettings settings;
    settings.showPicture = false;
    // Room for a few labels only: the others are drawn as text.
    LabelCache cache(12000);
    QImage bit;
    QVERIFY(render(bit, doc, view, settings, NumberSettings{}, &cache));
    QVERIFY(render(bit, doc, view, settings, NumberSettings{}, &cache));
    int kept = 0;
    for (int i = 0; i < 12; ++i)
        kept += cache.find(0, QStringLiteral("Beschriftung %1").arg(i), 0) ? 1 : 0;
    QVERIFY(kept > 0);
    QVERIFY(kept < 12);
    QImage direct;
    QVERIFY(render(direct, doc, view, settings, NumberSettings{}, nullptr));
    QVERIFY(largestDifference(bit, direct) <= 2);
}

QTEST_MAIN(TestLabelCache)
#include "tst_labelcache.moc"

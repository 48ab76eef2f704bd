#include "core/elements.h"
#include "render/glyphtext.h"
#include "render/labelcache.h"
#include "render/labels.h"
#include "render/viewstate.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <numbers>

class TestLabels : public QObject
{
    Q_OBJECT

private slots:
    void valueTexts_data();
    void valueTexts();
    void valueTextsWithUncertainty_data();
    void valueTextsWithUncertainty();
    void scaledHeight_data();
    void scaledHeight();
    void pointSizedFont();
    void outlineColour_data();
    void outlineColour();
    void horizontalLayout_data();
    void horizontalLayout();
    void flipRule_data();
    void flipRule();
    void rotatedLayout_data();
    void rotatedLayout();
    void textLabelStoresItsBox_data();
    void textLabelStoresItsBox();
    void outlineIsDrawnAroundDarkText();
    void cachedTextLooksLikeDirectText_data();
    void cachedTextLooksLikeDirectText();
    void cacheForgetsOnNewStyle();
    void glyphByGlyphTextIsTheEnginesText_data();
    void glyphByGlyphTextIsTheEnginesText();
};

void TestLabels::valueTexts_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<double>("lang");
    QTest::addColumn<double>("flaeche");
    QTest::addColumn<double>("winkel");
    QTest::addColumn<double>("x4");
    QTest::addColumn<int>("lengthDecimals");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");

    const QString px = QStringLiteral("Pixel");
    QTest::newRow("rectangle") << 55 << 100.0 << 600.0 << 0.0 << 0.0 << 2 << px << QStringLiteral("600.0000 Pixel²");
    QTest::newRow("ellipse") << 66 << 1.0 << 78.5 << 0.0 << 0.0 << 2 << QStringLiteral("mm")
                             << QStringLiteral("78.5000 mm²");
    QTest::newRow("polygon") << 99 << 40.0 << 100.0 << 0.0 << 0.0 << 2 << px << QStringLiteral("100.0000 Pixel²");
    QTest::newRow("polyline") << 100 << 12.5 << 3.0 << 0.0 << 0.0 << 2 << px << QStringLiteral("12.5000 Pixel");
    QTest::newRow("angle") << 98 << 20.0 << 0.0 << 90.0 << 0.0 << 2 << px
                           << QStringLiteral("90.0000° / 270.0000 °");
    QTest::newRow("distance") << 77 << 50.0 << 0.0 << 0.0 << 0.0 << 2 << px << QStringLiteral("50.00 Pixel");
    QTest::newRow("inclined distance") << 77 << 100.0 << 0.0 << 0.0 << 60.0 << 2 << px
                                       << QStringLiteral("100.00 Pixel (60.00° Neigung)");
    QTest::newRow("distance without decimals") << 77 << 12.4 << 0.0 << 0.0 << 0.0 << 0 << QStringLiteral("cm")
                                               << QStringLiteral("12 cm");
    QTest::newRow("scale line") << 88 << 50.0 << 0.0 << 0.0 << 0.0 << 2 << px << QStringLiteral("M: 50.00 Pixel");
    QTest::newRow("scale line ignores x4") << 88 << 20.0 << 0.0 << 0.0 << 30.0 << 2 << QStringLiteral("cm")
                                           << QStringLiteral("M: 20.00 cm");
    QTest::newRow("line") << 0 << 1.0 << 1.0 << 1.0 << 0.0 << 2 << px << QString();
    QTest::newRow("text") << 101 << 1.0 << 1.0 << 1.0 << 0.0 << 2 << px << QString();
}

void TestLabels::valueTexts()
{
    QFETCH(int, typ);
    QFETCH(double, lang);
    QFETCH(double, flaeche);
    QFETCH(double, winkel);
    QFETCH(double, x4);
    QFETCH(int, lengthDecimals);
    QFETCH(QString, unit);
    QFETCH(QString, expected);
    Telemente e{};
    e.typ = typ;
    e.lang = lang;
    e.flaeche = flaeche;
    e.winkel = winkel;
    e.x4 = x4;
    QCOMPARE(valueText(e, NumberSettings{unit, lengthDecimals, 4}), expected);
}

void TestLabels::valueTextsWithUncertainty_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QString>("expected");
    QTest::newRow("distance") << int(TypDistance) << 7.5 << false << QStringLiteral("7.50 ± 0.03 m");
    QTest::newRow("distance, decimals after the uncertainty")
        << int(TypDistance) << 7.5034 << true << QStringLiteral("7.50 ± 0.03 m");
    QTest::newRow("area") << int(TypRectangle) << 12.25 << false << QStringLiteral("12.2500 ± 0.4000 m²");
    QTest::newRow("area, decimals after the uncertainty")
        << int(TypRectangle) << 12.25 << true << QStringLiteral("12.3 ± 0.4 m²");
    QTest::newRow("angle") << int(TypAngle) << 45.0 << true << QStringLiteral("45.0° ± 0.2° / 315.0 °");
    QTest::newRow("the scale line has none") << int(TypScaleLine) << 5.0 << false << QString();
}

void TestLabels::valueTextsWithUncertainty()
{
    QFETCH(int, typ);
    QFETCH(double, value);
    QFETCH(bool, fit);
    QFETCH(QString, expected);
    Telemente e{};
    e.typ = typ;
    e.lang = value;
    e.flaeche = value;
    e.winkel = value;
    NumberSettings n{QStringLiteral("m"), 2, 4};
    n.withUncertainty = true;
    n.fitDecimals = fit;
    const ValueUncertainty u{0.031, 0.4, 0.2};
    if (expected.isEmpty()) {
        QVERIFY(!valueText(e, n, &u).contains(QStringLiteral("±")));
        return;
    }
    QCOMPARE(valueText(e, n, &u), expected);
    // Without the check mark the label is as always.
    n.withUncertainty = false;
    n.fitDecimals = false;
    QCOMPARE(valueText(e, n, &u), valueText(e, n));
}

void TestLabels::scaledHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("scaled");
    QTest::newRow("zoom 100") << 15 << 100.0 << 15;
    QTest::newRow("zoom 10, ties to even") << 15 << 10.0 << 2;
    QTest::newRow("zoom 30, tie") << 15 << 30.0 << 4;
    QTest::newRow("zoom 200") << 15 << 200.0 << 30;
    QTest::newRow("vanishing becomes 1") << 3 << 10.0 << 1;
}

void TestLabels::scaledHeight()
{
    QFETCH(int, height);
    QFETCH(double, zoom);
    QFETCH(int, scaled);
    QCOMPARE(scaledFontHeight(height, zoom), scaled);
    LabelFont f;
    f.font.setPixelSize(height);
    f.font.setUnderline(true);
    QCOMPARE(labelQFont(f, zoom).pixelSize(), scaled);
    QVERIFY(labelQFont(f, zoom).underline());
    QCOMPARE(rotatedLabelQFont(f, zoom).pixelSize(), scaled);
    QVERIFY(!rotatedLabelQFont(f, zoom).underline());
}

void TestLabels::pointSizedFont()
{
    LabelFont f;
    f.font = QFont(QStringLiteral("Tahoma"));
    f.font.setPointSize(12);
    QVERIFY(f.pixelHeight() > 0);
    QCOMPARE(labelQFont(f, 200).pixelSize(), 2 * f.pixelHeight());
}

void TestLabels::outlineColour_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("outline");
    QTest::newRow("dark red") << QColor(128, 0, 0) << QColor(255, 255, 255);
    QTest::newRow("red") << QColor(255, 0, 0) << QColor(255, 255, 255);
    QTest::newRow("yellow") << QColor(255, 255, 0) << QColor(0, 0, 0);
    QTest::newRow("brightness 128") << QColor(128, 128, 128) << QColor(0, 0, 0);
    QTest::newRow("brightness 127 after div") << QColor(127, 128, 128) << QColor(255, 255, 255);
}

void TestLabels::outlineColour()
{
    QFETCH(QColor, text);
    QFETCH(QColor, outline);
    QCOMPARE(outlineColor(text), outline);
}

void TestLabels::horizontalLayout_data()
{
    QTest::addColumn<int>("minX");
    QTest::addColumn<int>("maxX");
    QTest::addColumn<int>("maxY");
    QTest::addColumn<QPoint>("value");
    QTest::addColumn<QPoint>("name");

    // value 21 wide, name 10 wide, value line 15 high
    QTest::newRow("centred") << 10 << 40 << 30 << QPoint(15, 30) << QPoint(20, 45);
    QTest::newRow("centre column ties to even") << 0 << 5 << 0 << QPoint(-8, 0) << QPoint(-3, 15);
    QTest::newRow("odd tie up") << 1 << 6 << -5 << QPoint(-6, -5) << QPoint(-1, 10);
}

void TestLabels::horizontalLayout()
{
    QFETCH(int, minX);
    QFETCH(int, maxX);
    QFETCH(int, maxY);
    QFETCH(QPoint, value);
    QFETCH(QPoint, name);
    ScreenBox box;
    box.start(QPoint(maxX, maxY));
    box.add(QPoint(minX, maxY));
    const HorizontalLabel l = horizontalLabelLayout(box, 21, 10, 15);
    QCOMPARE(l.value, value);
    QCOMPARE(l.name, name);
}

void TestLabels::flipRule_data()
{
    QTest::addColumn<double>("direction");
    QTest::addColumn<double>("alpha");
    QTest::addColumn<bool>("flipped");
    QTest::newRow("left to right") << 0.0 << 0.0 << false;
    QTest::newRow("right to left") << 180.0 << 0.0 << true;
    QTest::newRow("straight down") << 90.0 << 90.0 << false;
    QTest::newRow("straight up") << -90.0 << 90.0 << true;
    QTest::newRow("100 stays") << 100.0 << 100.0 << false;
    QTest::newRow("110 folds") << 110.0 << -70.0 << true;
    QTest::newRow("-60 stays") << -60.0 << -60.0 << false;
    QTest::newRow("-80 folds") << -80.0 << 100.0 << true;
    QTest::newRow("-120 folds") << -120.0 << 60.0 << true;
}

void TestLabels::flipRule()
{
    QFETCH(double, direction);
    QFETCH(double, alpha);
    QFETCH(bool, flipped);
    const double r = direction * std::numbers::pi / 180;
    const LabelDirection d = labelDirection(100 * std::cos(r), 100 * std::sin(r));
    QVERIFY2(std::abs(d.alpha - alpha) < 1e-9, qPrintable(QString::number(d.alpha)));
    QCOMPARE(d.flipped, flipped);
}

void TestLabels::rotatedLayout_data()
{
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<QPointF>("value");
    QTest::addColumn<QPointF>("name");

    // value 40 wide and 15 high, name 20 wide, W = 7: the value's top edge W below the line.
    QTest::newRow("left to right") << QPointF(0, 0) << QPointF(100, 0) << QPointF(0, 5) << 100.0 << 0.0
                                   << QPointF(30, 12) << QPointF(40, 27);
    QTest::newRow("right to left reads the same") << QPointF(100, 0) << QPointF(0, 0) << QPointF(0, 5) << 100.0
                                                  << 0.0 << QPointF(30, 12) << QPointF(40, 27);
    QTest::newRow("zoom 200: width halves, gap doubles")
        << QPointF(0, 0) << QPointF(100, 0) << QPointF(0, 0) << 200.0 << 0.0 << QPointF(40, 14) << QPointF(45, 21.5);
    QTest::newRow("straight down, left of the line") << QPointF(0, 0) << QPointF(0, 100) << QPointF(0, 0) << 100.0
                                                     << 90.0 << QPointF(-7, 30) << QPointF(-22, 40);
    QTest::newRow("straight up is turned over") << QPointF(0, 100) << QPointF(0, 0) << QPointF(0, 0) << 100.0
                                                << 90.0 << QPointF(-7, 30) << QPointF(-22, 40);
    QTest::newRow("tenths of a degree") << QPointF(0, 0) << QPointF(100, 50) << QPointF(0, 0) << 100.0 << 26.6
                                        << QPointF(50 - (100 * 20 + 50 * 7) / std::sqrt(12500.0),
                                                   25 - (50 * 20 - 100 * 7) / std::sqrt(12500.0))
                                        << QPointF(50 - (100 * 10 + 50 * 22) / std::sqrt(12500.0),
                                                   25 - (50 * 10 - 100 * 22) / std::sqrt(12500.0));
}

void TestLabels::rotatedLayout()
{
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    QFETCH(QPointF, offset);
    QFETCH(double, zoom);
    QFETCH(double, rotation);
    QFETCH(QPointF, value);
    QFETCH(QPointF, name);
    const RotatedLabel l = rotatedLabelLayout(p1, p2, offset, 7, zoom, 40, 15, 20);
    QCOMPARE(l.rotation, rotation);
    QVERIFY2(std::abs(l.value.x() - value.x()) < 1e-9 && std::abs(l.value.y() - value.y()) < 1e-9,
             qPrintable(QStringLiteral("%1 %2").arg(l.value.x()).arg(l.value.y())));
    QVERIFY2(std::abs(l.name.x() - name.x()) < 1e-9 && std::abs(l.name.y() - name.y()) < 1e-9,
             qPrintable(QStringLiteral("%1 %2").arg(l.name.x()).arg(l.name.y())));
}

void TestLabels::textLabelStoresItsBox_data()
{
    QTest::addColumn<int>("zoom");
    QTest::newRow("zoom 50") << 50;
    QTest::newRow("zoom 100") << 100;
    QTest::newRow("zoom 200") << 200;
}

void TestLabels::textLabelStoresItsBox()
{
    QFETCH(int, zoom);
    Document doc;
    Telemente *e = doc.appendElement();
    QVERIFY(e);
    e->typ = TypText;
    e->x1 = 40;
    e->y1 = 60;
    QVERIFY(Document::setName(*e, QStringLiteral("Beschriftung")));

    ViewState view;
    view.setZoom(zoom);
    const TextStyle style = makeTextStyle(LabelFont{}, view.zoom(), false);
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    drawTextLabel(p, *e, view, style);
    p.end();

    const int w = style.metrics.horizontalAdvance(QStringLiteral("Beschriftung"));
    const int h = style.metrics.height();
    QCOMPARE(double(e->x2), 40 + w * 100.0 / zoom);
    QCOMPARE(double(e->y2), 60 - h * 100.0 / zoom);

    // The text stands on P1: ink above its anchor row, none below the descent.
    const QPoint anchor = view.screen(e->x1, e->y1);
    bool inkAbove = false;
    for (int y = anchor.y() - h; y < anchor.y(); ++y)
        for (int x = anchor.x(); x < anchor.x() + w; ++x)
            inkAbove = inkAbove || img.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(inkAbove);
    for (int x = 0; x < img.width(); ++x)
        QCOMPARE(img.pixel(x, anchor.y() + 1), qRgb(255, 255, 255));
}

void TestLabels::outlineIsDrawnAroundDarkText()
{
    LabelFont font;
    font.font.setPixelSize(40);
    font.font.setBold(true);
    font.color = QColor(128, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);

    const auto render = [&](bool outline) {
        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(blue);
        QPainter p(&img);
        mytextout(p, makeTextStyle(font, 100, outline), 50, 20, QStringLiteral("H"));
        return img;
    };
    const QImage plain = render(false);
    const QImage outlined = render(true);

    // The leftmost fully inked pixel of the middle row of the glyph.
    const int row = 20 + QFontMetrics(labelQFont(font, 100)).ascent() / 2 + 5;
    int left = -1;
    for (int x = 0; x < plain.width() && left < 0; ++x)
        if (plain.pixel(x, row) == qRgb(128, 0, 0))
            left = x;
    QVERIFY(left > 3);
    QCOMPARE(plain.pixel(left - 2, row), blue);
    QCOMPARE(outlined.pixel(left - 2, row), qRgb(255, 255, 255));
    QCOMPARE(outlined.pixel(left, row), qRgb(128, 0, 0));
    QCOMPARE(outlined.pixel(left - 6, row), blue);
}

void TestLabels::cachedTextLooksLikeDirectText_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<bool>("outline");
    QTest::newRow("level") << 0.0 << false;
    QTest::newRow("level, outlined") << 0.0 << true;
    QTest::newRow("turned") << 33.3 << false;
    QTest::newRow("turned, outlined") << 33.3 << true;
    QTest::newRow("downwards") << 90.0 << false;
    QTest::newRow("upwards, outlined") << -60.0 << true;
}

void TestLabels::cachedTextLooksLikeDirectText()
{
    QFETCH(double, angle);
    QFETCH(bool, outline);
    LabelFont font;
    font.color = QColor(40, 0, 0);
    TextStyle style = makeTextStyle(font, 150, outline);
    LabelCache cache;
    const QString text = QStringLiteral("123.45 mm (Wg)");

    const auto render = [&](LabelCache *c) {
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(qRgb(90, 160, 120));
        QPainter p(&img);
        style.cache = c;
        mytextout(p, style, 130, 140, text, angle);
        return img;
    };
    const QImage direct = render(nullptr);
    const QImage first = render(&cache);
    QVERIFY(cache.find(0, text, static_cast<int>(std::lround(angle * 10))));
    const QImage again = render(&cache);
    QCOMPARE(again, first);

    int inked = 0;
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x) {
            const QRgb a = direct.pixel(x, y);
            const QRgb b = first.pixel(x, y);
            inked += a != qRgb(90, 160, 120) ? 1 : 0;
            const int diff = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))});
            QVERIFY2(diff <= 2, qPrintable(QStringLiteral("(%1, %2) differs by %3").arg(x).arg(y).arg(diff)));
        }
    QVERIFY(inked > 100);
    QCOMPARE(textWidth(style, text), style.metrics.horizontalAdvance(text));

    // The font engine's own drawing of the text turned: the label covers the same pixels, but
    // for its soft edge, and takes as much ink.
    QImage engine(direct.size(), QImage::Format_RGB32);
    engine.fill(qRgb(90, 160, 120));
    {
        QPainter p(&engine);
        p.setFont(style.font);
        p.setPen(style.color);
        p.translate(130, 140);
        p.rotate(angle);
        p.drawText(0, style.ascent, text);
    }
    const auto ink = [](const QImage &img, QRect &box) {
        long long sum = 0;
        box = QRect();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int darker = 160 - qGreen(img.pixel(x, y));
                sum += darker;
                if (darker > 32)
                    box |= QRect(x, y, 1, 1);
            }
        return sum;
    };
    QRect labelBox;
    QRect engineBox;
    const long long labelInk = ink(direct, labelBox);
    const long long engineInk = ink(engine, engineBox);
    if (!outline) {
        QVERIFY2(std::abs(labelInk - engineInk) * 10 <= engineInk, qPrintable(QStringLiteral("ink %1 against %2").arg(labelInk).arg(engineInk)));
        QVERIFY(labelBox.adjusted(-1, -1, 1, 1).contains(engineBox));
        QVERIFY(engineBox.adjusted(-1, -1, 1, 1).contains(labelBox));
    }
}

void TestLabels::cacheForgetsOnNewStyle()
{
    LabelCache cache;
    cache.setStyle(QStringLiteral("a"));
    QVERIFY(cache.insert(0, QStringLiteral("x"), 0, LabelCache::Sprite{QImage(4, 4, QImage::Format_ARGB32), {}}));
    cache.setWidth(1, QStringLiteral("x"), 7);
    int w = 0;
    QVERIFY(cache.width(1, QStringLiteral("x"), w));
    QCOMPARE(w, 7);
    QVERIFY(!cache.width(0, QStringLiteral("x"), w));
    QVERIFY(!cache.find(1, QStringLiteral("x"), 0));
    cache.setStyle(QStringLiteral("a"));
    QVERIFY(cache.find(0, QStringLiteral("x"), 0));
    cache.setStyle(QStringLiteral("b"));
    QVERIFY(!cache.find(0, QStringLiteral("x"), 0));
    QVERIFY(!cache.width(1, QStringLiteral("x"), w));

    LabelCache tiny(10);
    QVERIFY(!tiny.insert(0, QStringLiteral("big"), 0, LabelCache::Sprite{QImage(8, 8, QImage::Format_ARGB32), {}}));
}

void TestLabels::glyphByGlyphTextIsTheEnginesText_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    for (const int pixels : {6, 9, 15, 26})
        for (const bool bold : {false, true})
            QTest::addRow("%d px%s", pixels, bold ? ", bold" : "") << pixels << bold;
}

void TestLabels::glyphByGlyphTextIsTheEnginesText()
{
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFont font = defaultLabelQFont();
    font.setPixelSize(pixels);
    font.setBold(bold);
    const QFontMetrics metrics(font);
    GlyphText glyphs(font);
    // Label texts, and texts the shaper may join, move or take from another font.
    const QStringList texts{QStringLiteral("123.45 mm²"), QStringLiteral("Element 17"), QStringLiteral("90.0° / 270.0 °"),
                            QStringLiteral("7.50 ± 0.03 m"), QStringLiteral("Größe (Wg)"), QStringLiteral("AVATAR Tj fi ffl"),
                            QStringLiteral(" x "), QStringLiteral("Ωmega"), QStringLiteral("ab\u0301c")};
    int laidOut = 0;
    for (const QString &text : texts) {
        if (!glyphs.layOut(text))
            continue;
        ++laidOut;
        QCOMPARE(glyphs.width(), metrics.horizontalAdvance(text));
        QImage engine(12 * pixels + 40, 3 * pixels, QImage::Format_Alpha8);
        engine.fill(0);
        {
            QPainter p(&engine);
            p.setFont(font);
            p.drawText(5, 2 * pixels, text);
        }
        QImage composed(engine.size(), QImage::Format_Alpha8);
        composed.fill(0);
        glyphs.draw(composed.bits(), composed.width(), composed.height(), composed.bytesPerLine(), 5, 2 * pixels);
        QVERIFY2(composed == engine, qPrintable(text));
    }
    QVERIFY(laidOut >= 4);
}

QTEST_MAIN(TestLabels)
#include "tst_labels.moc"

#include "render/printlayout.h"

#include <QTest>

// The print dialog's page arithmetic, on the preview box of 190 x 190 and on whole pages.

Q_DECLARE_METATYPE(PrintSizeChoice)

namespace {

const QSize Area(190, 190);
const QSize Portrait(4800, 6800);
const QSize Landscape(6800, 4800);

PrintSizeChoice fullPage(bool proportions, bool centred)
{
    PrintSizeChoice c;
    c.useFullPage = true;
    c.keepProportions = proportions;
    c.centred = centred;
    return c;
}

PrintSizeChoice userDefined(int width, int height, bool proportions, bool centred)
{
    PrintSizeChoice c;
    c.useFullPage = false;
    c.keepProportions = proportions;
    c.centred = centred;
    c.widthPercent = width;
    c.heightPercent = height;
    return c;
}

} // namespace

class TestPrintLayout : public QObject
{
    Q_OBJECT
private slots:
    void pageInPreview_data();
    void pageInPreview();
    void wholePageIsThePage_data();
    void wholePageIsThePage();
    void picture_data();
    void picture();
    void widthRule_data();
    void widthRule();
    void heightRule_data();
    void heightRule();
};

void TestPrintLayout::pageInPreview_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("portrait") << Portrait << QRect(28, 0, 134, 190);
    QTest::newRow("landscape") << Landscape << QRect(0, 28, 190, 134);
    QTest::newRow("square page takes the height") << QSize(5000, 5000) << QRect(0, 0, 190, 190);
    QTest::newRow("A4 at 1200 dpi") << QSize(9921, 14031) << QRect(28, 0, 134, 190);
    QTest::newRow("very wide page") << QSize(100000, 10) << QRect(0, 95, 190, 0);
    QTest::newRow("no printer page") << QSize(0, 0) << QRect();
    QTest::newRow("page of no height") << QSize(4800, 0) << QRect();
}

void TestPrintLayout::pageInPreview()
{
    QFETCH(QSize, page);
    QFETCH(QRect, expected);
    QCOMPARE(previewPageRect(Area, page), expected);
}

void TestPrintLayout::wholePageIsThePage_data()
{
    QTest::addColumn<QSize>("page");
    QTest::newRow("portrait") << Portrait;
    QTest::newRow("landscape") << Landscape;
    QTest::newRow("A4 at 1200 dpi") << QSize(9921, 14031);
    QTest::newRow("A3 landscape at 1200 dpi") << QSize(19843, 14031);
    QTest::newRow("odd sizes") << QSize(4961, 7015);
}

// The printout uses the same arithmetic with the page itself as the area: nothing may be lost
// to the truncating divisions there.
void TestPrintLayout::wholePageIsThePage()
{
    QFETCH(QSize, page);
    QCOMPARE(previewPageRect(page, page), QRect(QPoint(0, 0), page));
    QCOMPARE(picturePlacement(QRect(QPoint(0, 0), page), QSize(1000, 500), fullPage(false, true)),
             QRect(QPoint(0, 0), page));
}

void TestPrintLayout::picture_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<PrintSizeChoice>("choice");
    QTest::addColumn<QRect>("expected");

    const QSize wide(1000, 500);
    const QSize tall(500, 1000);
    QTest::newRow("full page, proportions, centred") << Portrait << wide << fullPage(true, true)
                                                     << QRect(28, 61, 134, 67);
    QTest::newRow("full page, proportions, top left") << Portrait << wide << fullPage(true, false)
                                                      << QRect(28, 0, 134, 67);
    QTest::newRow("full page without proportions") << Portrait << wide << fullPage(false, true)
                                                   << QRect(28, 0, 134, 190);
    QTest::newRow("tall picture fills the height") << Portrait << tall << fullPage(true, true)
                                                   << QRect(47, 0, 95, 190);
    QTest::newRow("landscape page, wide picture") << Landscape << wide << fullPage(true, true)
                                                  << QRect(0, 47, 190, 95);
    QTest::newRow("landscape page, tall picture, top left") << Landscape << tall << fullPage(true, false)
                                                            << QRect(0, 28, 67, 134);
    QTest::newRow("user-defined 50 % and 50 %") << Portrait << wide << userDefined(50, 50, false, true)
                                               << QRect(61, 47, 67, 95);
    QTest::newRow("user-defined, top left") << Portrait << wide << userDefined(50, 50, false, false)
                                           << QRect(28, 0, 67, 95);
    // 25 % of 134 is 33.5 and 75 % of 190 is 142.5: halves go to the even neighbour.
    QTest::newRow("user-defined halves round to even") << Portrait << wide << userDefined(25, 75, false, false)
                                                      << QRect(28, 0, 34, 142);
    QTest::newRow("user-defined ignores the picture's proportions") << Portrait << wide
                                                                   << userDefined(100, 100, true, true)
                                                                   << QRect(28, 0, 134, 190);
    QTest::newRow("user-defined 1 %") << Landscape << wide << userDefined(1, 1, false, true)
                                     << QRect(94, 94, 2, 1);
    QTest::newRow("picture without size fills the page") << Portrait << QSize() << fullPage(true, true)
                                                         << QRect(28, 0, 134, 190);
    QTest::newRow("no printer page") << QSize() << wide << fullPage(true, true) << QRect(95, 95, 0, 0);
}

void TestPrintLayout::picture()
{
    QFETCH(QSize, page);
    QFETCH(QSize, image);
    QFETCH(PrintSizeChoice, choice);
    QFETCH(QRect, expected);
    QRect pageRect = previewPageRect(Area, page);
    if (pageRect.isNull())
        pageRect = QRect(95, 95, 0, 0);
    const QRect placed = picturePlacement(pageRect, image, choice);
    QCOMPARE(placed.topLeft(), expected.topLeft());
    QCOMPARE(placed.size(), expected.size());
}

void TestPrintLayout::widthRule_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("height");
    QTest::newRow("Trunc(500 x 100 / 1000 x 4800 / 6800)") << 100 << QSize(1000, 500) << Portrait << 35;
    QTest::newRow("half width") << 50 << QSize(1000, 500) << Portrait << 17;
    QTest::newRow("below 1 is held at 1") << 1 << QSize(1000, 500) << Portrait << 1;
    QTest::newRow("above 100 is held at 100") << 100 << QSize(500, 1000) << Landscape << 100;
    QTest::newRow("square picture on a square page") << 73 << QSize(640, 640) << QSize(5000, 5000) << 73;
    QTest::newRow("large picture on a large page") << 99 << QSize(131072, 131072) << QSize(19843, 14031) << 100;
    QTest::newRow("landscape page") << 40 << QSize(1000, 500) << Landscape << 28;
}

void TestPrintLayout::widthRule()
{
    QFETCH(int, width);
    QFETCH(QSize, image);
    QFETCH(QSize, page);
    QFETCH(int, height);
    QCOMPARE(heightPercentFor(width, image, page), std::optional<int>(height));
}

void TestPrintLayout::heightRule_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("width");
    QTest::newRow("Trunc(1000 x 35 / 500 x 6800 / 4800)") << 35 << QSize(1000, 500) << Portrait << 99;
    QTest::newRow("above 100 is held at 100") << 100 << QSize(1000, 500) << Portrait << 100;
    QTest::newRow("below 1 is held at 1") << 1 << QSize(10, 1000) << Portrait << 1;
    QTest::newRow("landscape page") << 50 << QSize(1000, 500) << Landscape << 70;
}

void TestPrintLayout::heightRule()
{
    QFETCH(int, height);
    QFETCH(QSize, image);
    QFETCH(QSize, page);
    QFETCH(int, width);
    QCOMPARE(widthPercentFor(height, image, page), std::optional<int>(width));
}

QTEST_APPLESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"

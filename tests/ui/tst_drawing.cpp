#include "core/resultsmodel.h"
#include "mainwindowcase.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/widgets/colorswatch.h"

#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// Replaces the window's image by a plain 24-bit picture of one colour.
void useImage(TMainForm &form, int width, int height, const QColor &color)
{
    Picture picture;
    dib &image = picture.record();
    QVERIFY(newdib(image, width, height, 24, nullptr, 0));
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = dibRow(image, y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(color.blue());
            row[3 * x + 1] = static_cast<std::uint8_t>(color.green());
            row[3 * x + 2] = static_cast<std::uint8_t>(color.red());
        }
    }
    form.workspace().setPicture(std::move(picture));
}

// True when a pixel within one pixel of (x, y) has the colour: strokes are checked on their
// line, whichever side of it the pen's extra pixel falls.
bool colourNear(const QImage &image, int x, int y, const QColor &color)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.rect().contains(x + dx, y + dy) && image.pixelColor(x + dx, y + dy) == color)
                return true;
    return false;
}

void sendWheel(TMainForm &form, int delta)
{
    const QPointF at(10, 10);
    QWheelEvent wheel(at, form.PaintBox1->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&form, &wheel);
}

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void placeholderFillsTheBuffer();
    void bufferFollowsTheSurfaceSize();
    void pictureAtZoomAndScroll_data();
    void pictureAtZoomAndScroll();
    void pictureHidden();
    void elementsDrawnAndListed_data();
    void elementsDrawnAndListed();
    void settingsRepaint();
    void wheelMovesTheDrawing();
    void handDragMovesTheDrawing_data();
    void handDragMovesTheDrawing();
    void handToolHidesPointMarks();
    void surfaceShowsTheBuffer();

private:
    MainWindowCase window;
    std::unique_ptr<TMainForm> &form = window.form;
};

void TestDrawing::init()
{
    // Every test starts as a first start: stored settings and options of the one before are gone.
    window.start(MainWindowCase::Shown);
}

void TestDrawing::cleanup()
{
    window.finish();
}

void TestDrawing::placeholderFillsTheBuffer()
{
    // Shown, the window has rendered the white placeholder into a buffer of the surface's size.
    QCOMPARE(form->backBuffer().size(), form->PaintBox1->size());
    QCOMPARE(form->backBuffer().pixelColor(0, 0), White);
    QCOMPARE(form->backBuffer().pixelColor(319, 319), White);
    QCOMPARE(form->results->rowCount(), 0);
}

void TestDrawing::bufferFollowsTheSurfaceSize()
{
    const QSize before = form->PaintBox1->size();
    form->resize(form->width() + 60, form->height() + 40);
    QTRY_VERIFY(form->PaintBox1->size() != before);
    QCOMPARE(form->backBuffer().size(), form->PaintBox1->size());
}

void TestDrawing::pictureAtZoomAndScroll_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("scrollX");
    QTest::addColumn<int>("scrollY");
    QTest::addColumn<QPoint>("inside");  // last pixel of the picture
    QTest::addColumn<QPoint>("outside"); // first pixel beyond it

    // A 200 x 100 picture ends at Round(zoom * side / 100) - scroll.
    QTest::newRow("100") << 100 << 0 << 0 << QPoint(199, 99) << QPoint(200, 100);
    QTest::newRow("50") << 50 << 0 << 0 << QPoint(99, 49) << QPoint(100, 50);
    QTest::newRow("200") << 200 << 0 << 0 << QPoint(399, 199) << QPoint(400, 200);
    QTest::newRow("scrolled") << 100 << 30 << 20 << QPoint(169, 79) << QPoint(170, 80);
    QTest::newRow("scrolled back") << 100 << -40 << -10 << QPoint(239, 109) << QPoint(240, 110);
}

void TestDrawing::pictureAtZoomAndScroll()
{
    QFETCH(int, zoom);
    QFETCH(int, scrollX);
    QFETCH(int, scrollY);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);

    useImage(*form, 200, 100, Blue);
    form->settings.zoomed->setValue(zoom);
    form->ScrollBar1->setValue(scrollX);
    form->ScrollBar2->setValue(scrollY);
    form->PaintBox1Paint();
    QCOMPARE(form->backBuffer().pixelColor(inside), Blue);
    QCOMPARE(form->backBuffer().pixelColor(outside.x(), inside.y()), White);
    QCOMPARE(form->backBuffer().pixelColor(inside.x(), outside.y()), White);
    if (scrollX < 0)
        QCOMPARE(form->backBuffer().pixelColor(-scrollX - 1, inside.y()), White);
}

void TestDrawing::pictureHidden()
{
    useImage(*form, 200, 100, Blue);
    form->PaintBox1Paint();
    QCOMPARE(form->backBuffer().pixelColor(50, 50), Blue);
    form->settings.ShowPicCheck->click();
    QCOMPARE(form->backBuffer().pixelColor(50, 50), White);
    form->settings.ShowPicCheck->click();
    QCOMPARE(form->backBuffer().pixelColor(50, 50), Blue);
}

void TestDrawing::elementsDrawnAndListed_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("topEdge");
    QTest::addColumn<QPoint>("inside");

    // The rectangle (20, 40)-(120, 90) at each zoom: a point on its top edge and one inside.
    QTest::newRow("50") << 50 << QPoint(35, 20) << QPoint(35, 30);
    QTest::newRow("100") << 100 << QPoint(70, 40) << QPoint(70, 60);
    QTest::newRow("200") << 200 << QPoint(140, 80) << QPoint(140, 120);
}

void TestDrawing::elementsDrawnAndListed()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, topEdge);
    QFETCH(QPoint, inside);

    useImage(*form, 400, 300, Blue);
    addRectangle(*form, 20, 40, 120, 90);
    form->settings.zoomed->setValue(zoom);
    form->PaintBox1Paint();

    QVERIFY(colourNear(form->backBuffer(), topEdge.x(), topEdge.y(), Red));
    QCOMPARE(form->backBuffer().pixelColor(inside), Blue);
    // The repaint measured the rectangle and listed it, whatever the zoom.
    QCOMPARE(form->results->rowCount(), 1);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnLaenge), QStringLiteral("300.0000"));
    QCOMPARE(form->results->text(0, ResultsModel::ColumnFlaeche), QStringLiteral("5000.0000"));
}

void TestDrawing::settingsRepaint()
{
    addRectangle(*form, 20, 40, 120, 90);
    form->PaintBox1Paint();
    QVERIFY(colourNear(form->backBuffer(), 70, 40, Red));

    // Each setting repaints by itself.
    form->settings.Shape1->setBrushColor(QColor(0, 128, 0));
    form->settings.WidthEd->setValue(6);
    QVERIFY(colourNear(form->backBuffer(), 70, 40, QColor(0, 128, 0)));
    QCOMPARE(form->backBuffer().pixelColor(70, 41), QColor(0, 128, 0));
    QCOMPARE(form->backBuffer().pixelColor(70, 45), White);

    form->settings.zoomed->setValue(50);
    QVERIFY(colourNear(form->backBuffer(), 35, 20, QColor(0, 128, 0)));
    QCOMPARE(form->backBuffer().pixelColor(70, 40), White);
}

void TestDrawing::wheelMovesTheDrawing()
{
    addRectangle(*form, 20, 60, 120, 90);
    form->PaintBox1Paint();
    QVERIFY(colourNear(form->backBuffer(), 70, 60, Red));

    sendWheel(*form, -120);
    QCOMPARE(form->ScrollBar2->value(), 20);
    QVERIFY(colourNear(form->backBuffer(), 70, 40, Red));
    QCOMPARE(form->backBuffer().pixelColor(70, 60), White);

    sendWheel(*form, 240);
    QCOMPARE(form->ScrollBar2->value(), -20);
    QVERIFY(colourNear(form->backBuffer(), 70, 80, Red));
    QCOMPARE(form->ScrollBar1->value(), 0);
}

void TestDrawing::handDragMovesTheDrawing_data()
{
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("scrollX");
    QTest::addColumn<int>("scrollY");

    QTest::newRow("left") << QPoint(170, 200) << 30 << 0;
    QTest::newRow("up only") << QPoint(200, 170) << 0 << 30;
    QTest::newRow("down and right") << QPoint(250, 240) << -50 << -40;
}

void TestDrawing::handDragMovesTheDrawing()
{
    QFETCH(QPoint, to);
    QFETCH(int, scrollX);
    QFETCH(int, scrollY);

    addRectangle(*form, 100, 100, 300, 150);
    form->tools.HandBtn->click();
    QVERIFY(form->tools.HandBtn->isChecked());

    QTest::mousePress(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QTest::mouseMove(form->PaintBox1, to);
    QCOMPARE(form->ScrollBar1->value(), scrollX);
    QCOMPARE(form->ScrollBar2->value(), scrollY);
    // The drawing follows the mouse before the release, a purely vertical drag as well.
    QVERIFY(colourNear(form->backBuffer(), 200 - scrollX, 100 - scrollY, Red));
    QVERIFY(colourNear(form->backBuffer(), 100 - scrollX, 125 - scrollY, Red));
    QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, to);

    // After the release the mouse no longer drags.
    QTest::mouseMove(form->PaintBox1, to + QPoint(7, 3));
    QCOMPARE(form->ScrollBar1->value(), scrollX);
    QCOMPARE(form->ScrollBar2->value(), scrollY);
}

void TestDrawing::handToolHidesPointMarks()
{
    // A selected element shows black point marks 4 pixels around its corners.
    addRectangle(*form, 40, 40, 140, 90, true);
    form->PaintBox1Paint();
    QCOMPARE(form->backBuffer().pixelColor(36, 36), Black);

    form->tools.HandBtn->click();
    QCOMPARE(form->backBuffer().pixelColor(36, 36), White);
    QVERIFY(colourNear(form->backBuffer(), 90, 40, Red));

    form->tools.ZeigerBtn->click();
    QCOMPARE(form->backBuffer().pixelColor(36, 36), Black);
}

void TestDrawing::surfaceShowsTheBuffer()
{
    addRectangle(*form, 20, 40, 120, 90);
    form->PaintBox1Paint();
    const QImage shown = form->PaintBox1->grab().toImage();
    QVERIFY(colourNear(shown, 70, 40, Red));
    QCOMPARE(shown.pixelColor(70, 60), White);
}

QTEST_MAIN(TestDrawing)
#include "tst_drawing.moc"

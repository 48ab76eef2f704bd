#include "core/measurementchunks.h"
#include "core/picture.h"
#include "core/resultsmodel.h"
#include "dialoginput.h"
#include "modalscript.h"
#include "ui/commands/measurementcommands.h"
#include "ui/commands/projectcommands.h"
#include "ui/dialogs/axisscaleform.h"
#include "ui/dialogs/scalecheckform.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/widgets/numberfield.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QComboBox>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// Acts on the next modal window as soon as it is up, as the user would.
void onNextModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

} // namespace

class TestMeasurementCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;
    QTemporaryDir dir;

    void tool(const char *button) { form->findChild<QToolButton *>(QLatin1String(button))->click(); }
    void click(QPoint at) { QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, at); }
    QAction *item(const char *name) { return form->findChild<QAction *>(QLatin1String(name)); }

private slots:
    void init()
    {
        config = freshSettingsFolder();
        form = std::make_unique<TMainForm>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->menus.askElementNames->setChecked(false);
    }

    void cleanup()
    {
        form.reset();
        config.reset();
    }

    void sideLabelsInTheDrawing();

    // Two distances of known length, a rectangle and a polygon drawn at 100 %; the scan is
    // stretched by 4 % along y.
    void separateScalesCheckAndProjectFile()
    {
        tool("DimensionBtn");
        for (const QPoint p : {QPoint(10, 10), QPoint(410, 10), QPoint(200, 30)})
            click(p);
        tool("DimensionBtn");
        for (const QPoint p : {QPoint(20, 40), QPoint(20, 340), QPoint(40, 190)})
            click(p);
        tool("RectBtn");
        click(QPoint(100, 100));
        click(QPoint(200, 150));
        tool("PolygonBtn");
        for (const QPoint p : {QPoint(250, 100), QPoint(350, 100), QPoint(350, 200), QPoint(250, 200)})
            click(p);
        QTest::mouseClick(form->PaintBox1, Qt::RightButton, Qt::NoModifier, QPoint(500, 500));
        QCOMPARE(form->workspace().document().count(), 4);

        onNextModal([](QWidget *d) {
            auto *f = qobject_cast<AxisScaleForm *>(d);
            typeInto(f->xLengthField, QStringLiteral("8"));
            typeInto(f->yLengthField, QStringLiteral("6.24"));
            f->okButton->click();
        });
        item("MastabXYgetrennt1")->trigger();
        QVERIFY(form->workspace().scale().separateAxes);
        QVERIFY(std::fabs(form->workspace().scale().yFactor() / form->workspace().scale().xFactor() - 1.04) < 1e-12);
        // 100 x 50 pixels are 2 m x 1.04 m.
        QCOMPARE(form->results->text(2, ResultsModel::ColumnLaenge), QStringLiteral("6.0800"));
        QCOMPARE(form->results->text(2, ResultsModel::ColumnFlaeche), QStringLiteral("2.0800"));
        QVERIFY(form->statusBar()->findChild<QLabel *>(QStringLiteral("scaleLabel"))->text().endsWith("Y/X = 1.040000"));

        // One step: undoing it gives back the single scale, its values and the empty status text;
        // redoing it the separate axes with their lines.
        item("Rckgngig1")->trigger();
        QVERIFY(!form->workspace().scale().separateAxes);
        QVERIFY(!form->workspace().axisLines());
        QCOMPARE(form->results->text(2, ResultsModel::ColumnFlaeche), QStringLiteral("5000.0000"));
        QVERIFY(form->statusBar()->findChild<QLabel *>(QStringLiteral("scaleLabel"))->text().isEmpty());
        item("Wiederholen1")->trigger();
        QVERIFY(form->workspace().scale().separateAxes);
        QVERIFY(form->workspace().axisLines());
        QCOMPARE(form->results->text(2, ResultsModel::ColumnFlaeche), QStringLiteral("2.0800"));

        // The polygon's sides are child rows, collapsed; "±" adds the uncertainty columns.
        auto *list = form->findChild<QTreeView *>(QStringLiteral("ListView1"));
        const QModelIndex polygon = form->results->index(3, 0);
        QCOMPARE(form->results->rowCount(polygon), 4);
        QVERIFY(!list->isExpanded(polygon));
        QCOMPARE(form->results->segmentText(3, 1, ResultsModel::ColumnLaenge), QStringLiteral("2.0800"));
        list->expand(polygon);
        item("Unsicherheitanzeigen1")->trigger();
        QCOMPARE(form->results->columnCount(), 8);
        QVERIFY(list->isExpanded(form->results->index(3, 0)));
        QVERIFY(!form->results->text(2, ResultsModel::ColumnPlusMinusFlaeche).isEmpty());

        // A check line read 1 % short: the mean of both scales.
        onNextModal([](QWidget *d) {
            auto *f = qobject_cast<ScaleCheckForm *>(d);
            f->lineBox->setCurrentIndex(1); // the first distance drawn: 400 pixels across
            typeInto(f->realLengthField, QStringLiteral("8.08"));
            f->meanButton->click();
        });
        item("Mastabprfen1")->trigger();
        QVERIFY(std::fabs(form->workspace().scale().xFactor() - 0.0201) < 1e-12);
        QCOMPARE(form->workspace().scaleChecks().size(), std::size_t(1));
        // Undoing the check takes back the mean scale and the check together.
        item("Rckgngig1")->trigger();
        QVERIFY(std::fabs(form->workspace().scale().xFactor() - 0.02) < 1e-12);
        QVERIFY(form->workspace().scaleChecks().empty());
        item("Wiederholen1")->trigger();
        QCOMPARE(form->workspace().scaleChecks().size(), std::size_t(1));

        const QString file = dir.filePath(QStringLiteral("stretched.ver"));
        QVERIFY(form->projectCommands->saveprojekt(file));
        form->workspace().setScale(Scale{});
        QVERIFY(form->projectCommands->openprojekt(file));
        QVERIFY(form->workspace().scale().separateAxes);
        QVERIFY(std::fabs(form->workspace().scale().yFactor() / 0.0208 - 1) < 1e-12);
        QCOMPARE(form->workspace().scaleChecks().size(), std::size_t(1));
        QCOMPARE(form->workspace().document().placementZoom(0), 100.0);

        // The numeric scale ends the separate axes, and the next save drops their chunks.
        onNextModal([](QWidget *d) {
            typeInto(d->findChild<RealSpinField *>(QStringLiteral("PixelEd")), QStringLiteral("50"));
            d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        });
        item("Numerisch1")->trigger();
        QVERIFY(!form->workspace().scale().separateAxes);
        QVERIFY(form->projectCommands->saveprojekt(file));
        ProjectSettings settings;
        Document doc;
        Picture image;
        QVERIFY(loadProject(file, doc, image.record(), settings));
        QVERIFY(!axisLines(settings.extension));
        QVERIFY(scaleChecks(settings.extension).empty());
    }
};

namespace {

// Pixels of the rectangle r that differ between two images.
int changedPixels(const QImage &a, const QImage &b, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

void TestMeasurementCommands::sideLabelsInTheDrawing()
{
    tool("PolygonBtn");
    for (const QPoint p : {QPoint(100, 100), QPoint(300, 100), QPoint(300, 300), QPoint(100, 300)})
        click(p);
    QTest::mouseClick(form->PaintBox1, Qt::RightButton, Qt::NoModifier, QPoint(500, 500));
    // Beside the middle of each side.
    const QRect sides[] = {QRect(170, 75, 60, 50), QRect(275, 170, 50, 60), QRect(170, 275, 60, 50),
                           QRect(75, 170, 50, 60)};
    const QImage before = form->backBuffer().copy();
    const int steps = form->workspace().history().count();
    item("SeitenlngeninderZeichnung1")->trigger();
    const QImage after = form->backBuffer().copy();
    for (const QRect &r : sides)
        QVERIFY(changedPixels(before, after, r) > 20);
    // Nothing but the side labels changed: the corners stay as they were.
    QCOMPARE(changedPixels(before, after, QRect(90, 90, 20, 20)), 0);
    // A check mark of the window, not of the work: no step.
    QCOMPARE(form->workspace().history().count(), steps);

    // The exported drawing shows the labels the screen shows.
    QTemporaryDir dir;
    const QString svg = dir.filePath(QStringLiteral("sides.svg"));
    ModalScript script({typeFileName(svg)});
    item("LinienalsSVGspeichern1")->trigger();
    QVERIFY(script.finished());
    QFile exported(svg);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll().count(QByteArrayLiteral(">200.0")), qsizetype(4));
}

QTEST_MAIN(TestMeasurementCommands)
#include "tst_measurementcommands.moc"

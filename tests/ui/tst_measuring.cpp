#include "core/optionsfile.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "dialoginput.h"
#include "render/labels.h"
#include "tools/toolcontroller.h"
#include "ui/dialogs/bezeichnungform.h"
#include "ui/dialogs/massstabform.h"
#include "ui/dialogs/nachkommaform.h"
#include "ui/dialogs/neigungform.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/widgets/numberfield.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// Packed element fields are compared by value.
template <typename T>
T v(T value)
{
    return value;
}

// Acts on the next modal window as soon as it is up, as the user would; counts how often it did.
std::shared_ptr<int> onNextModal(std::function<void(QWidget *)> act)
{
    auto seen = std::make_shared<int>(0);
    auto *timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("modalAnswer"));
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act), seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        ++*seen;
        act(modal);
    });
    timer->start();
    return seen;
}

void clickOk(QWidget *dialog)
{
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        QAbstractButton *button = box->button(QMessageBox::Yes);
        (button ? button : box->button(QMessageBox::Ok))->click();
        return;
    }
    dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
}

std::shared_ptr<int> answerName(const QString &name)
{
    return onNextModal([name](QWidget *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(name);
        clickOk(d);
    });
}

std::shared_ptr<int> closeNextModal()
{
    return onNextModal([](QWidget *d) { d->close(); });
}

QList<QPointF> vertices(const Telemente &e)
{
    QList<QPointF> out;
    for (int k = 0; k < Document::vertexCount(e); ++k) {
        const Tvertex t = *Document::vertex(e.vert, k);
        out.append(QPointF(t.x, t.y));
    }
    return out;
}

void sendCtrlKey(QWidget *to, QEvent::Type type, quint32 keysym)
{
    QKeyEvent key(type, Qt::Key_Control, type == QEvent::KeyPress ? Qt::ControlModifier : Qt::NoModifier, 0, keysym, 0);
    QApplication::sendEvent(to, &key);
}

} // namespace

class TestMeasuring : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void toolGestures_data();
    void toolGestures();
    void rubberBand_data();
    void rubberBand();
    void inclinedDistance_data();
    void inclinedDistance();
    void graphicScale();
    void numericScale_data();
    void numericScale();
    void scaleFieldsWithoutDecimals();
    void decimals_data();
    void decimals();
    void snapAndConstraints_data();
    void snapAndConstraints();
    void nameAndReturnToPointer_data();
    void nameAndReturnToPointer();
    void textLabel_data();
    void textLabel();
    void selectionByOutline_data();
    void selectionByOutline();
    void pointDrag();
    void closedPolygonVertexDrag();
    void wholeElementMove();
    void copyPasteDelete();
    void rename_data();
    void rename();
    void newDrawing_data();
    void newDrawing();
    void removingEndsConstruction_data();
    void removingEndsConstruction();
    void rightPressOnEmptyDocumentAsksNoName();
    void loadImageFitsZoom_data();
    void loadImageFitsZoom();
    void brokenImageChangesNothing();
    void openCommand();

private:
    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void rightClick(QPoint at);
    void moveTo(QPoint at);
    void tool(const char *button);
    int addElement(int typ, const QList<QPointF> &points, bool asVertices = false);
    Telemente &element(int i) { return *form->workspace().document().element(i); }

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;
    QTemporaryDir dir;
};

void TestMeasuring::init()
{
    // Every test starts as a first start: stored settings and options of the one before are gone.
    config = freshSettingsFolder();
    QVERIFY(config->isValid());
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // Most gestures are checked without the name question; the tests that want it tick it.
    form->menus.askElementNames->setChecked(false);
}

void TestMeasuring::cleanup()
{
    for (QTimer *stray : qApp->findChildren<QTimer *>(QStringLiteral("modalAnswer")))
        delete stray;
    form.reset();
    config.reset();
}

void TestMeasuring::click(QPoint at, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, modifiers, at);
}

void TestMeasuring::moveTo(QPoint at)
{
    // Qt drops a move to where the mouse already is, which the previous window may have left it.
    QTest::mouseMove(form->PaintBox1, at + QPoint(1, 1));
    QTest::mouseMove(form->PaintBox1, at);
}

void TestMeasuring::rightClick(QPoint at)
{
    QTest::mouseClick(form->PaintBox1, Qt::RightButton, Qt::NoModifier, at);
}

void TestMeasuring::tool(const char *button)
{
    auto *b = form->findChild<QToolButton *>(QLatin1String(button));
    QVERIFY(b);
    b->click();
    QVERIFY(b->isChecked());
}

int TestMeasuring::addElement(int typ, const QList<QPointF> &points, bool asVertices)
{
    Telemente *e = form->workspace().document().appendElement();
    e->typ = typ;
    if (asVertices) {
        for (const QPointF &p : points)
            Document::appendVertex(e->vert, p.x(), p.y());
    } else {
        // Assigned field by field: the record is packed, so no pointer to its doubles is taken.
        const auto setPoint = [e](int k, double x, double y) {
            if (k == 0) {
                e->x1 = x;
                e->y1 = y;
            } else if (k == 1) {
                e->x2 = x;
                e->y2 = y;
            } else {
                e->x3 = x;
                e->y3 = y;
            }
        };
        for (int k = 0; k < points.size() && k < 3; ++k)
            setPoint(k, points.at(k).x(), points.at(k).y());
    }
    // Laid out as the work the window started with, so no step of the user's takes it along.
    form->workspace().startHistory();
    form->PaintBox1Paint();
    return form->workspace().document().count() - 1;
}

void TestMeasuring::toolGestures_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<QPoint>>("presses");
    QTest::addColumn<bool>("rightPress");
    QTest::addColumn<int>("typ");
    QTest::addColumn<int>("vertexCount");
    QTest::addColumn<QStringList>("row"); // Länge/Umfang, Flächeninhalt, Winkel; "*" unchecked

    QTest::newRow("rectangle") << "RectBtn" << QList<QPoint>{{10, 10}, {110, 60}} << false << int(TypRectangle) << 0
                               << QStringList{"300.0000", "5000.0000", ""};
    QTest::newRow("ellipse") << "CircleBtn" << QList<QPoint>{{10, 10}, {110, 60}} << false << int(TypEllipse) << 0
                             << QStringList{"*", "3926.9908", ""};
    QTest::newRow("distance") << "DimensionBtn" << QList<QPoint>{{10, 10}, {110, 10}, {60, 40}} << false
                              << int(TypDistance) << 0 << QStringList{"100.0000", "", "*"};
    QTest::newRow("polyline") << "StreckeBtn" << QList<QPoint>{{10, 10}, {110, 10}, {110, 60}} << true
                              << int(TypPolyline) << 3 << QStringList{"150.0000", "*", ""};
    QTest::newRow("polygon closed by a right press")
        << "PolygonBtn" << QList<QPoint>{{10, 10}, {110, 10}, {110, 60}, {10, 60}} << true << int(TypPolygon) << 5
        << QStringList{"300.0000", "5000.0000", ""};
    QTest::newRow("angle") << "AngleBtn" << QList<QPoint>{{110, 10}, {10, 10}, {10, 110}} << false << int(TypAngle)
                           << 3 << QStringList{"", "", "90.0000° / 270.0000°"};
}

void TestMeasuring::toolGestures()
{
    QFETCH(QString, button);
    QFETCH(QList<QPoint>, presses);
    QFETCH(bool, rightPress);
    QFETCH(int, typ);
    QFETCH(int, vertexCount);
    QFETCH(QStringList, row);

    tool(button.toLatin1().constData());
    for (const QPoint &p : presses)
        click(p);
    if (rightPress)
        rightClick(QPoint(300, 300));

    QCOMPARE(form->workspace().document().count(), 1);
    QVERIFY(!form->toolController().construction().constructing);
    QCOMPARE(v(element(0).typ), typ);
    QCOMPARE(Document::vertexCount(element(0)), vertexCount);
    if (vertexCount == 5)
        QCOMPARE(vertices(element(0)).last(), vertices(element(0)).first());
    QCOMPARE(form->results->rowCount(), 1);
    for (int c = 0; c < 3; ++c)
        if (row.at(c) != QLatin1String("*"))
            QCOMPARE(form->results->text(0, ResultsModel::ColumnLaenge + c), row.at(c));
}

void TestMeasuring::rubberBand_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QPoint>("onBand");

    // From (20, 20) to the cursor at (120, 70).
    QTest::newRow("line") << "StreckeBtn" << QPoint(70, 45);
    QTest::newRow("rectangle") << "RectBtn" << QPoint(120, 45);
    QTest::newRow("ellipse") << "CircleBtn" << QPoint(120, 45);
}

void TestMeasuring::rubberBand()
{
    QFETCH(QString, button);
    QFETCH(QPoint, onBand);

    tool(button.toLatin1().constData());
    click(QPoint(20, 20));
    moveTo(QPoint(120, 70));
    // The band is drawn over the back buffer while the document is still empty.
    QCOMPARE(form->workspace().document().count(), 0);
    bool red = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            red = red || form->backBuffer().pixelColor(onBand + QPoint(dx, dy)) == QColor(255, 0, 0);
    QVERIFY(red);
}

void TestMeasuring::inclinedDistance_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("x4");
    QTest::addColumn<QString>("length");
    QTest::newRow("answered 60 degrees") << true << 60.0 << "200.0000";
    QTest::newRow("cancelled") << false << 0.0 << "100.0000";
}

void TestMeasuring::inclinedDistance()
{
    QFETCH(bool, ok);
    QFETCH(double, x4);
    QFETCH(QString, length);

    tool("SchraegBtn");
    click(QPoint(10, 10));
    click(QPoint(110, 10));
    double preset = -1;
    const auto seen = onNextModal([&](QWidget *d) {
        auto *field = d->findChild<RealSpinField *>(QStringLiteral("neiged"));
        preset = field->value();
        field->setValue(60);
        if (ok)
            clickOk(d);
        else
            d->close();
    });
    click(QPoint(60, 40));
    QCOMPARE(*seen, 1);
    QCOMPARE(preset, 0.0);
    QCOMPARE(v(element(0).typ), int(TypDistance));
    QCOMPARE(v(element(0).x4), x4);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnLaenge), length);
}

void TestMeasuring::graphicScale()
{
    addElement(TypRectangle, {{10, 100}, {110, 150}});
    form->menus.graphicScale->trigger();
    QVERIFY(form->tools.massstabBtn->isChecked());
    QFile::remove(optionsFilePath());

    // A line of 80 pixels set to 20 cm.
    QList<double> shown;
    auto seen = onNextModal([&](QWidget *d) {
        auto *dialog = static_cast<TmassstabForm *>(d);
        shown << dialog->PixelEd->value() << dialog->entsprichted->value();
        dialog->entsprichted->setValue(20);
        dialog->EinheitEd->setEditText(QStringLiteral("cm"));
        clickOk(d);
    });
    click(QPoint(10, 10));
    click(QPoint(90, 10));
    QCOMPARE(*seen, 1);
    QCOMPARE(shown, (QList<double>{80.0, 80.0}));
    QCOMPARE(form->workspace().scale().pixelLength, 80.0);
    QCOMPARE(form->workspace().scale().realLength, 20.0);
    QCOMPARE(form->workspace().numberSettings().unit, QStringLiteral("cm"));
    QCOMPARE(form->workspace().document().count(), 2);
    QCOMPARE(valueText(element(1), form->workspace().numberSettings()), QStringLiteral("M: 20.00 cm"));
    // Every value follows the new scale: 100 x 50 pixels are 25 x 12.5 cm.
    QCOMPARE(form->results->text(0, ResultsModel::ColumnFlaeche), QStringLiteral("312.5000"));
    // Closing the dialog wrote the options file.
    QVERIFY(QFile::exists(optionsFilePath()));

    // A new scale line replaces the old one.
    tool("massstabBtn");
    seen = onNextModal(clickOk);
    click(QPoint(10, 200));
    click(QPoint(50, 200));
    QCOMPARE(*seen, 1);
    QCOMPARE(form->workspace().document().count(), 2);
    QCOMPARE(v(element(1).typ), int(TypScaleLine));
    QCOMPARE(v(element(1).y1), 200.0);
    QCOMPARE(form->workspace().scale().pixelLength, 40.0);
    QCOMPARE(form->workspace().scale().realLength, 40.0);
}

void TestMeasuring::numericScale_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("OK") << false;
    QTest::newRow("close box applies the fields as well") << true;
}

void TestMeasuring::numericScale()
{
    QFETCH(bool, closeBox);

    addElement(TypDistance, {{10, 10}, {110, 10}, {60, 30}});
    addElement(TypRectangle, {{10, 100}, {110, 140}});
    QFile::remove(optionsFilePath());

    // 200 pixels are 50 mm; the scale is also saved under a name.
    const auto seen = onNextModal([closeBox](QWidget *d) {
        auto *dialog = static_cast<TmassstabForm *>(d);
        dialog->PixelEd->setValue(200);
        dialog->entsprichted->setValue(50);
        dialog->EinheitEd->setEditText(QStringLiteral("mm"));
        dialog->CheckBox1->setChecked(false);
        dialog->NameEd->setText(QStringLiteral("Plan"));
        dialog->BitBtn2->click();
        if (closeBox)
            d->close();
        else
            clickOk(d);
    });
    form->menus.numericScale->trigger();
    QCOMPARE(*seen, 1);

    QCOMPARE(form->workspace().scale().pixelLength, 200.0);
    QCOMPARE(form->workspace().scale().realLength, 50.0);
    QVERIFY(!form->menus.showScaleLine->isChecked());
    QCOMPARE(valueText(element(0), form->workspace().numberSettings()), QStringLiteral("25.00 mm"));
    QCOMPARE(form->results->text(1, ResultsModel::ColumnLaenge), QStringLiteral("70.0000"));
    QCOMPARE(form->results->text(1, ResultsModel::ColumnFlaeche), QStringLiteral("250.0000"));

    Options stored;
    QVERIFY(LoadOptions(optionsFilePath(), stored));
    QCOMPARE(stored.language, form->language());
    QCOMPARE(stored.scales,
             (QList<SavedScale>{{"Plan", "200.0000000000", "50.0000000000", "mm"}}));
}

void TestMeasuring::scaleFieldsWithoutDecimals()
{
    const auto seen = onNextModal([](QWidget *d) {
        auto *dialog = static_cast<TmassstabForm *>(d);
        dialog->KommaEd->setValue(0);
        dialog->PixelEd->setValue(123.456);
        dialog->entsprichted->setValue(0);
        clickOk(d);
    });
    form->menus.numericScale->trigger();
    QCOMPARE(*seen, 1);
    QCOMPARE(form->workspace().scale().pixelLength, 123.0);
    // A side of 0 becomes 1.
    QCOMPARE(form->workspace().scale().realLength, 1.0);
}

void TestMeasuring::decimals_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("listed");
    QTest::newRow("OK") << true << "100 Pixel" << "100.0";
    QTest::newRow("close box changes nothing") << false << "100.00 Pixel" << "100.0000";
}

void TestMeasuring::decimals()
{
    QFETCH(bool, ok);
    QFETCH(QString, label);
    QFETCH(QString, listed);

    addElement(TypDistance, {{10, 10}, {110, 10}, {60, 30}});
    const auto seen = onNextModal([ok](QWidget *d) {
        auto *dialog = static_cast<TNachkommaForm *>(d);
        dialog->NachEd->setValue(0);
        dialog->Nach2Ed->setValue(1);
        if (ok)
            clickOk(d);
        else
            d->close();
    });
    form->menus.decimals->trigger();
    QCOMPARE(*seen, 1);
    QCOMPARE(valueText(element(0), form->workspace().numberSettings()), label);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnLaenge), listed);
}

void TestMeasuring::snapAndConstraints_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<quint32>("ctrlKeysym"); // 0: no key event, the platform cannot tell
    QTest::addColumn<QPointF>("end");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    // From (200, 100) to (108, 62), which lies within 3 pixels of the rectangle's corner (110, 60).
    QTest::newRow("rectangle snaps") << "RectBtn" << none << 0u << QPointF(110, 60);
    QTest::newRow("rectangle, left Ctrl: square") << "RectBtn" << ctrl << 0xffe3u << QPointF(162, 62);
    QTest::newRow("rectangle, right Ctrl: no snap") << "RectBtn" << ctrl << 0xffe4u << QPointF(108, 62);
    QTest::newRow("rectangle, Ctrl of unknown side") << "RectBtn" << ctrl << 0u << QPointF(162, 62);
    QTest::newRow("distance snaps") << "DimensionBtn" << none << 0u << QPointF(110, 60);
    QTest::newRow("distance, Ctrl: horizontal") << "DimensionBtn" << ctrl << 0xffe4u << QPointF(108, 100);
    QTest::newRow("distance, Alt: snapped, vertical") << "DimensionBtn" << alt << 0u << QPointF(200, 60);
}

void TestMeasuring::snapAndConstraints()
{
    QFETCH(QString, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(quint32, ctrlKeysym);
    QFETCH(QPointF, end);

    addElement(TypRectangle, {{10, 10}, {110, 60}});
    tool(button.toLatin1().constData());
    click(QPoint(200, 100));
    if (ctrlKeysym)
        sendCtrlKey(form->tools.RectBtn, QEvent::KeyPress, ctrlKeysym);
    click(QPoint(108, 62), modifiers);
    if (ctrlKeysym)
        sendCtrlKey(form->tools.RectBtn, QEvent::KeyRelease, ctrlKeysym);

    QCOMPARE(form->workspace().document().count(), 2);
    QCOMPARE(QPointF(element(1).x1, element(1).y1), QPointF(200, 100));
    QCOMPARE(QPointF(element(1).x2, element(1).y2), end);
}

void TestMeasuring::nameAndReturnToPointer_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("name");
    QTest::newRow("named") << true << "Küche";
    QTest::newRow("cancelled") << false << "";
}

void TestMeasuring::nameAndReturnToPointer()
{
    QFETCH(bool, ok);
    QFETCH(QString, name);

    form->menus.askElementNames->setChecked(true);
    form->menus.pointerAfterMeasuring->setChecked(true);
    tool("RectBtn");
    click(QPoint(10, 10));
    const auto seen = ok ? answerName(QStringLiteral("Küche")) : closeNextModal();
    click(QPoint(110, 60));
    QCOMPARE(*seen, 1);
    QCOMPARE(Document::name(element(0)), name);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnBezeichnung), name);
    QVERIFY(form->tools.ZeigerBtn->isChecked());
    QCOMPARE(form->toolController().tool(), ToolId::Pointer);
}

void TestMeasuring::textLabel_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("cancelled") << false;
}

void TestMeasuring::textLabel()
{
    QFETCH(bool, ok);

    tool("TextBtn");
    // The preview follows the cursor, its lower-left corner at the cursor.
    const QRect preview(200, 170, 80, 30);
    const auto reddish = [this](const QRect &area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = form->backBuffer().pixelColor(x, y);
                count += c.red() > 150 && c.green() < 110 && c.blue() < 110;
            }
        return count;
    };
    QCOMPARE(reddish(preview), 0);
    moveTo(QPoint(200, 200));
    QVERIFY(reddish(preview) > 0);

    // The text tool asks whatever the option says.
    const auto seen = ok ? answerName(QStringLiteral("Wand")) : closeNextModal();
    click(QPoint(50, 100));
    QCOMPARE(*seen, 1);
    QCOMPARE(form->workspace().document().count(), ok ? 1 : 0);
    if (ok) {
        QCOMPARE(v(element(0).typ), int(TypText));
        QCOMPARE(Document::name(element(0)), QStringLiteral("Wand"));
        QCOMPARE(QPointF(element(0).x1, element(0).y1), QPointF(50, 100));
    }
}

void TestMeasuring::selectionByOutline_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<bool>("asVertices");
    QTest::addColumn<QPoint>("hit");
    QTest::addColumn<QPoint>("miss");

    QTest::newRow("rectangle edge") << int(TypRectangle) << QList<QPointF>{{50, 50}, {150, 100}} << false
                                    << QPoint(100, 50) << QPoint(100, 75);
    QTest::newRow("ellipse") << int(TypEllipse) << QList<QPointF>{{50, 50}, {150, 100}} << false << QPoint(150, 75)
                             << QPoint(100, 75);
    QTest::newRow("distance: dimension line") << int(TypDistance) << QList<QPointF>{{50, 100}, {150, 100}, {100, 70}}
                                              << false << QPoint(100, 70) << QPoint(100, 100);
    QTest::newRow("distance: extension line") << int(TypDistance) << QList<QPointF>{{50, 100}, {150, 100}, {100, 70}}
                                              << false << QPoint(50, 85) << QPoint(75, 85);
    QTest::newRow("polygon") << int(TypPolygon) << QList<QPointF>{{50, 50}, {150, 50}, {150, 100}, {50, 50}} << true
                             << QPoint(150, 75) << QPoint(100, 100);
    QTest::newRow("polyline") << int(TypPolyline) << QList<QPointF>{{50, 50}, {150, 50}, {150, 100}} << true
                              << QPoint(150, 80) << QPoint(100, 80);
    QTest::newRow("angle") << int(TypAngle) << QList<QPointF>{{150, 50}, {50, 50}, {50, 150}} << true
                           << QPoint(50, 100) << QPoint(100, 100);
    QTest::newRow("text box") << int(TypText) << QList<QPointF>{{50, 100}} << false << QPoint(56, 96)
                              << QPoint(56, 120);
}

void TestMeasuring::selectionByOutline()
{
    QFETCH(int, typ);
    QFETCH(QList<QPointF>, points);
    QFETCH(bool, asVertices);
    QFETCH(QPoint, hit);
    QFETCH(QPoint, miss);

    const int i = addElement(typ, points, asVertices);
    if (typ == TypText) {
        Document::setName(element(i), QStringLiteral("Wand"));
        form->PaintBox1Paint();
    }
    const QPointF p1(element(i).x1, element(i).y1);
    const QList<QPointF> outline = vertices(element(i));
    tool("ZeigerBtn");
    click(miss);
    QVERIFY(!element(i).selected);
    click(hit);
    QVERIFY(element(i).selected);
    // A press and release without moving leaves the element where it was.
    if (asVertices)
        QCOMPARE(vertices(element(i)), outline);
    else
        QCOMPARE(QPointF(element(i).x1, element(i).y1), p1);
    click(miss);
    QVERIFY(!element(i).selected);
}

void TestMeasuring::pointDrag()
{
    addElement(TypRectangle, {{50, 50}, {150, 100}});
    tool("ZeigerBtn");
    click(QPoint(100, 50));
    QVERIFY(element(0).selected);

    QTest::mousePress(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(152, 101));
    QTest::mouseMove(form->PaintBox1, QPoint(172, 131));
    QCOMPARE(QPointF(element(0).x2, element(0).y2), QPointF(170, 130));
    QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(172, 131));
    QCOMPARE(QPointF(element(0).x1, element(0).y1), QPointF(50, 50));
    QCOMPARE(form->results->text(0, ResultsModel::ColumnFlaeche), QStringLiteral("9600.0000"));
}

void TestMeasuring::closedPolygonVertexDrag()
{
    addElement(TypPolygon, {{50, 50}, {150, 50}, {150, 100}, {50, 50}}, true);
    tool("ZeigerBtn");
    click(QPoint(100, 50));
    QVERIFY(element(0).selected);

    QTest::mousePress(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mouseMove(form->PaintBox1, QPoint(40, 30));
    QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(40, 30));
    const QList<QPointF> outline = vertices(element(0));
    QCOMPARE(outline.first(), QPointF(40, 30));
    QCOMPARE(outline.last(), QPointF(40, 30));
    QCOMPARE(outline.at(1), QPointF(150, 50));
}

void TestMeasuring::wholeElementMove()
{
    addElement(TypRectangle, {{50, 50}, {150, 100}});
    tool("ZeigerBtn");
    QTest::mousePress(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    QVERIFY(element(0).selected);
    QTest::mouseMove(form->PaintBox1, QPoint(120, 70));

    // While moving only the picture follows: the top edge is drawn 20 pixels lower.
    QCOMPARE(QPointF(element(0).x1, element(0).y1), QPointF(50, 50));
    bool shownMoved = false;
    for (int dy = -1; dy <= 1; ++dy)
        shownMoved = shownMoved || form->backBuffer().pixelColor(120, 70 + dy) == QColor(255, 0, 0);
    QVERIFY(shownMoved);

    QTest::mouseRelease(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(120, 70));
    QCOMPARE(QPointF(element(0).x1, element(0).y1), QPointF(70, 70));
    QCOMPARE(QPointF(element(0).x2, element(0).y2), QPointF(170, 120));
}

void TestMeasuring::copyPasteDelete()
{
    const int i = addElement(TypRectangle, {{50, 50}, {150, 100}});
    Document::setName(element(i), QStringLiteral("A"));
    tool("ZeigerBtn");

    // Paste before any copy does nothing.
    form->menus.paste->trigger();
    QCOMPARE(form->workspace().document().count(), 1);

    click(QPoint(100, 50));
    form->menus.copy->trigger();
    form->menus.deleteElement->trigger();
    QCOMPARE(form->workspace().document().count(), 0);
    QCOMPARE(form->results->rowCount(), 0);

    // The copy comes back 10 screen pixels right of and below its old place: 5 image pixels at 200 %.
    form->settings.zoomed->setValue(200);
    form->menus.paste->trigger();
    form->menus.paste->trigger();
    QCOMPARE(form->workspace().document().count(), 2);
    QCOMPARE(form->results->rowCount(), 2);
    for (int k = 0; k < 2; ++k) {
        QCOMPARE(QPointF(element(k).x1, element(k).y1), QPointF(55, 55));
        QCOMPARE(Document::name(element(k)), QStringLiteral("A"));
    }
    QVERIFY(!element(0).selected);
    QVERIFY(element(1).selected);

    // Del removes the selected element only.
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->PaintBox1, Qt::Key_Delete);
    QCOMPARE(form->workspace().document().count(), 1);
    QVERIFY(!element(0).selected);
}

void TestMeasuring::rename_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("name");
    QTest::newRow("OK") << true << "Küche";
    QTest::newRow("close box keeps the name") << false << "Raum";
}

void TestMeasuring::rename()
{
    QFETCH(bool, ok);
    QFETCH(QString, name);

    const int i = addElement(TypRectangle, {{50, 50}, {150, 100}});
    Document::setName(element(i), QStringLiteral("Raum"));
    tool("ZeigerBtn");
    click(QPoint(100, 50));

    QString preset;
    const auto seen = onNextModal([&](QWidget *d) {
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        preset = edit->text();
        edit->setText(QStringLiteral("Küche"));
        if (ok)
            clickOk(d);
        else
            d->close();
    });
    form->menus.editDescription->trigger();
    QCOMPARE(*seen, 1);
    QCOMPARE(preset, QStringLiteral("Raum"));
    QCOMPARE(Document::name(element(i)), name);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnBezeichnung), name);
}

void TestMeasuring::newDrawing_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestMeasuring::newDrawing()
{
    QFETCH(bool, yes);

    addElement(TypRectangle, {{50, 50}, {150, 100}});
    tool("ZeigerBtn");
    click(QPoint(100, 50));
    form->menus.copy->trigger();

    QString title;
    QString text;
    const auto seen = onNextModal([&](QWidget *d) {
        auto *box = qobject_cast<QMessageBox *>(d);
        title = box->windowTitle();
        text = box->text();
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    form->menus.newLines->trigger();
    QCOMPARE(*seen, 1);
    QCOMPARE(title, Message(9));
    QCOMPARE(text, Message(8));
    QCOMPARE(form->workspace().document().count(), yes ? 0 : 1);
    QCOMPARE(form->results->rowCount(), yes ? 0 : 1);

    // The copy buffer survives a new drawing.
    form->menus.paste->trigger();
    QCOMPARE(form->workspace().document().count(), yes ? 1 : 2);
}

void TestMeasuring::removingEndsConstruction_data()
{
    QTest::addColumn<bool>("byNew");
    QTest::newRow("delete") << false;
    QTest::newRow("new") << true;
}

void TestMeasuring::removingEndsConstruction()
{
    QFETCH(bool, byNew);

    // A polyline under construction, selected with the pointer meanwhile.
    tool("StreckeBtn");
    click(QPoint(10, 10));
    click(QPoint(110, 10));
    QVERIFY(form->toolController().construction().constructing);
    tool("ZeigerBtn");
    click(QPoint(60, 10));
    QVERIFY(element(0).selected);

    if (byNew) {
        const auto seen = onNextModal(clickOk);
        form->menus.newLines->trigger();
        QCOMPARE(*seen, 1);
    } else {
        form->menus.deleteElement->trigger();
    }
    QCOMPARE(form->workspace().document().count(), 0);
    QVERIFY(!form->toolController().construction().constructing);

    // The next presses start a new polyline instead of extending a removed one.
    tool("StreckeBtn");
    click(QPoint(20, 50));
    QCOMPARE(form->workspace().document().count(), 0);
    click(QPoint(120, 50));
    QCOMPARE(form->workspace().document().count(), 1);
    QCOMPARE(vertices(element(0)), (QList<QPointF>{{20, 50}, {120, 50}}));
}

void TestMeasuring::rightPressOnEmptyDocumentAsksNoName()
{
    form->menus.askElementNames->setChecked(true);
    tool("PolygonBtn");
    const auto seen = closeNextModal();
    rightClick(QPoint(50, 50));
    QCoreApplication::processEvents();
    QCOMPARE(*seen, 0);
}

void TestMeasuring::loadImageFitsZoom_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("zoom"); // -1: width of the surface * 100 / image width

    for (const char *format : {"bmp", "png", "jpg", "tif", "gif"})
        if (QImageWriter::supportedImageFormats().contains(format))
            QTest::newRow(format) << QString::fromLatin1(format) << QSize(800, 60) << -1;
    QTest::newRow("far too wide: held at 10") << "png" << QSize(20000, 1) << 10;
    QTest::newRow("one pixel: held at 30000") << "png" << QSize(1, 1) << 30000;
}

void TestMeasuring::loadImageFitsZoom()
{
    QFETCH(QString, format);
    QFETCH(QSize, size);
    QFETCH(int, zoom);

    const QString file = dir.filePath(QStringLiteral("picture.") + format);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    QVERIFY(picture.save(file));
    addElement(TypRectangle, {{0, 0}, {1, 1}});

    QVERIFY(form->LadeBild(file));
    QCOMPARE(DibWidth(form->workspace().picture()), size.width());
    if (zoom < 0)
        zoom = form->PaintBox1->width() * 100 / size.width();
    QCOMPARE(form->settings.zoomed->value(), zoom);
    // The size rule follows the zoom; the elements stay.
    QCOMPARE(form->settings.PfeillangEd->text(), QString::number(std::round(300000.0 / zoom) / 100.0, 'f', 2));
    QCOMPARE(form->settings.PfeillangEd->value(), 3000.0 / zoom);
    QCOMPARE(form->workspace().labelFont().font.pixelSize(), std::max(1, static_cast<int>(std::nearbyint(1500.0 / zoom))));
    QCOMPARE(form->workspace().document().count(), 1);
    if (size.width() == 800) {
        const QColor shown = form->backBuffer().pixelColor(form->PaintBox1->width() / 2, 2);
        QVERIFY(shown.blue() > 200 && shown.red() < 60);
    }
}

void TestMeasuring::brokenImageChangesNothing()
{
    const QString file = dir.filePath(QStringLiteral("broken.bmp"));
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM this is not a picture");
    broken.close();

    form->settings.zoomed->setValue(250);
    const std::uint8_t *image = form->workspace().picture().poi;
    const int font = form->workspace().labelFont().font.pixelSize();
    QString text;
    const auto seen = onNextModal([&](QWidget *d) {
        text = qobject_cast<QMessageBox *>(d)->text();
        clickOk(d);
    });
    QVERIFY(!form->LadeBild(file));
    QCOMPARE(*seen, 1);
    QCOMPARE(text, Message(5));
    QCOMPARE(form->workspace().picture().poi, image);
    QCOMPARE(form->settings.zoomed->value(), 250);
    QCOMPARE(form->settings.PfeillangEd->value(), 30.0);
    QCOMPARE(form->workspace().labelFont().font.pixelSize(), font);
}

void TestMeasuring::openCommand()
{
    const QString file = dir.filePath(QStringLiteral("opened.png"));
    QVERIFY(QImage(400, 30, QImage::Format_RGB32).save(file));

    // Cancelled, nothing happens.
    auto seen = closeNextModal();
    form->openBar.OpenBtn->click();
    QCOMPARE(*seen, 1);
    QCOMPARE(DibWidth(form->workspace().picture()), 320);

    seen = onNextModal([&](QWidget *d) {
        auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setText(file);
        QTest::keyClick(name, Qt::Key_Return);
    });
    form->menus.openPicture->trigger();
    QCOMPARE(*seen, 1);
    QCOMPARE(DibWidth(form->workspace().picture()), 400);
    QCOMPARE(form->OpenDialog1->defaultSuffix(), QStringLiteral("bmp"));
}

QTEST_MAIN(TestMeasuring)
#include "tst_measuring.moc"

#include "mainwindowcase.h"
#include "modalscript.h"
#include "render/loupe.h"
#include "render/viewstate.h"
#include "ui/commands/desktopcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/mainwindow/projectsettings.h"
#include "ui/mainwindow/statusreport.h"
#include "ui/widgets/loupewidget.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

// What a person does with mouse and keyboard on the main window: the focus follows clicks, keys
// reach the window's commands whatever field had the focus, typed values are applied when the
// field is left, and dialogs keep what the user did not change.

namespace {

// Presses a key as the keyboard does: to the widget that has the focus, through the shortcuts.
void pressKey(TMainForm &form, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &form, static_cast<Qt::Key>(key), modifiers);
}

} // namespace

class TestKeysAndFocus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deleteAfterTypingIntoAField_data();
    void deleteAfterTypingIntoAField();
    void typedZoomAppliedWhenTheFieldIsLeft();
    void closingWithATypedZoom();
    void fontCommandChoosesTheLabelColour();
    void fontDialogKeepsTheStoredFace_data();
    void fontDialogKeepsTheStoredFace();
    void fieldsKeepExactValues();
    void shortcuts_data();
    void shortcuts();
    void zoomKeys_data();
    void zoomKeys();
    void ctrlWheelKeepsThePointUnderTheCursor_data();
    void ctrlWheelKeepsThePointUnderTheCursor();
    void escapeEndsTheConstruction();
    void statusBar_data();
    void statusBar();
    void loupeToggledAndStored();

private:
    MainWindowCase window;
    std::unique_ptr<TMainForm> &form = window.form;
};

void TestKeysAndFocus::initTestCase()
{
    qRegisterMetaType<QMouseEvent *>();
}

void TestKeysAndFocus::init()
{
    window.start(MainWindowCase::Active);
}

void TestKeysAndFocus::cleanup()
{
    window.finish();
}

void TestKeysAndFocus::deleteAfterTypingIntoAField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("zoom") << QStringLiteral("zoomed") << QStringLiteral("100");
    QTest::newRow("line width") << QStringLiteral("WidthEd") << QStringLiteral("3");
    QTest::newRow("arrow length") << QStringLiteral("PfeillangEd") << QStringLiteral("40");
}

void TestKeysAndFocus::deleteAfterTypingIntoAField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    addRectangle(*form, 20, 20, 120, 80);
    addRectangle(*form, 200, 20, 260, 80);
    QTest::mouseClick(form->tools.ZeigerBtn, Qt::LeftButton);

    auto *edit = form->findChild<QWidget *>(field);
    QVERIFY(edit);
    edit->setFocus();
    typeInto(edit, typed);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(70, 20));
    QVERIFY(form->workspace().document().element(0)->selected);
    pressKey(*form, Qt::Key_Delete);

    QCOMPARE(form->workspace().document().count(), 1);
    QCOMPARE(double(form->workspace().document().element(0)->x1), 200.0);
    QCOMPARE(form->findChild<QAbstractSpinBox *>(field)->text(), typed == QLatin1String("3") ? QStringLiteral("3.00")
                                                                 : typed == QLatin1String("40") ? QStringLiteral("40.00")
                                                                                                 : typed);
}

void TestKeysAndFocus::typedZoomAppliedWhenTheFieldIsLeft()
{
    addRectangle(*form, 20, 20, 120, 80);
    form->settings.zoomed->setFocus();
    typeInto(form->settings.zoomed, QStringLiteral("250"));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QCOMPARE(form->settings.zoomed->value(), 250);
    QCOMPARE(form->view().zoomPercent, 250);
    // The drawing shows the new zoom: the rectangle's left edge is at 2.5 x 20.
    QCOMPARE(form->backBuffer().pixelColor(50, 100), QColor(255, 0, 0));
}

void TestKeysAndFocus::closingWithATypedZoom()
{
    form->settings.zoomed->setFocus();
    typeInto(form->settings.zoomed, QStringLiteral("250"));
    QSignalSpy zoomApplied(form->settings.zoomed, &QSpinBox::valueChanged);
    form.reset();
    QCOMPARE(zoomApplied.count(), 0);
}

void TestKeysAndFocus::fontCommandChoosesTheLabelColour()
{
    const QColor blue(0, 0, 255);
    ModalScript script({[](QWidget *dialog) { static_cast<QDialog *>(dialog)->accept(); },
                        [blue](QWidget *dialog) {
                            auto *colours = qobject_cast<QColorDialog *>(dialog);
                            QVERIFY(colours);
                            colours->setCurrentColor(blue);
                            colours->accept();
                        }});
    QTest::mouseClick(form->settings.FontBtn, Qt::LeftButton);
    QVERIFY(script.finished());
    QVERIFY(script.unexpected().isEmpty());
    QCOMPARE(form->workspace().labelFont().color, blue);
    QCOMPARE(form->workspace().drawingSettings().labelFont.color, blue);
    // The project carries it in its font record.
    QCOMPARE(settingsFromWindow(*form, nullptr).font.colour, 0xFF0000);
}

void TestKeysAndFocus::fontDialogKeepsTheStoredFace_data()
{
    QTest::addColumn<QString>("picked"); // the face the user picks; none keeps the dialog's choice
    QTest::addColumn<QString>("face");
    QTest::newRow("no other face") << QString() << QStringLiteral("Tahoma");
    QTest::newRow("another face") << QStringLiteral("DejaVu Serif") << QStringLiteral("DejaVu Serif");
}

void TestKeysAndFocus::fontDialogKeepsTheStoredFace()
{
    QFETCH(QString, picked);
    QFETCH(QString, face);
    QCOMPARE(form->workspace().labelFont().font.family(), QStringLiteral("Tahoma"));
    ModalScript script({[picked](QWidget *dialog) {
                            auto *fonts = qobject_cast<QFontDialog *>(dialog);
                            QVERIFY(fonts);
                            if (!picked.isEmpty())
                                fonts->setCurrentFont(QFont(picked));
                            fonts->accept();
                        },
                        rejectDialog()});
    QTest::mouseClick(form->settings.FontBtn, Qt::LeftButton);
    QVERIFY(script.finished());
    QCOMPARE(form->workspace().labelFont().font.family(), face);
    QCOMPARE(form->workspace().labelFont().color, QColor(255, 0, 0));
}

void TestKeysAndFocus::fieldsKeepExactValues()
{
    // The size rule sets the arrow length to 3000 / zoom.
    form->settings.zoomed->setFocus();
    typeInto(form->settings.zoomed, QStringLiteral("57"));
    QTest::keyClick(form->settings.zoomed, Qt::Key_Return);
    // The rule is on at a first start; switching it off and on again applies it.
    QAction *sizeRule = form->menus.presetSizesOnOpen;
    QVERIFY(sizeRule->isChecked());
    sizeRule->trigger();
    sizeRule->trigger();
    QCOMPARE(form->settings.PfeillangEd->text(), QStringLiteral("52.63"));
    QCOMPARE(form->workspace().drawingSettings().arrowLength, 3000.0 / 57);

    // A project's values go through the fields unrounded.
    ProjectSettings stored = settingsFromWindow(*form, nullptr);
    QCOMPARE(stored.arrowlength, 3000.0 / 57);
    stored.linewidth = 1.0 / 3;
    applySettingsToWindow(*form, stored);
    QCOMPARE(settingsFromWindow(*form, nullptr).linewidth, 1.0 / 3);
    QCOMPARE(form->settings.WidthEd->text(), QStringLiteral("0.33"));

    // What the user types is what counts.
    form->settings.PfeillangEd->setFocus();
    typeInto(form->settings.PfeillangEd, QStringLiteral("12.5"));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QCOMPARE(form->workspace().drawingSettings().arrowLength, 12.5);
}

void TestKeysAndFocus::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("dialog"); // the command opens a dialog, which the user cancels

    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << ctrl << QStringLiteral("Projektffnen1") << true;
    QTest::newRow("Ctrl+Shift+O") << int(Qt::Key_O) << (ctrl | Qt::ShiftModifier) << QStringLiteral("Bildffnen1") << true;
    // A new drawing has no file yet: saving asks for one.
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << ctrl << QStringLiteral("Speichern1") << true;
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << (ctrl | Qt::ShiftModifier) << QStringLiteral("Projektspeichern1") << true;
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl << QStringLiteral("Drucken1") << true;
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << QStringLiteral("Kopieren1") << false;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << QStringLiteral("Einfgen1") << false;
    QTest::newRow("Del") << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << QStringLiteral("Lschen1") << false;
    QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << ctrl << QStringLiteral("Vergrern1") << false;
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << ctrl << QStringLiteral("Vergrern1") << false;
    QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << ctrl << QStringLiteral("Verkleinern1") << false;
    QTest::newRow("Ctrl+0") << int(Qt::Key_0) << ctrl << QStringLiteral("GanzesBildzeigen1") << false;
    QTest::newRow("L") << int(Qt::Key_L) << Qt::KeyboardModifiers() << QStringLiteral("Lupeanzeigen1") << false;
    QTest::newRow("F1") << int(Qt::Key_F1) << Qt::KeyboardModifiers() << QStringLiteral("berdasProgramm1") << true;
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << ctrl << QStringLiteral("Beenen1") << false;
}

void TestKeysAndFocus::shortcuts()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, action);
    QFETCH(bool, dialog);

    auto *command = form->findChild<QAction *>(action);
    QVERIFY(command);
    // Shown in the menu beside the command.
    QVERIFY(!command->shortcut().isEmpty());
    QSignalSpy triggered(command, &QAction::triggered);
    // The user was typing in a field, then clicked the drawing.
    form->settings.zoomed->setFocus();
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    ModalScript script(dialog ? std::deque<ModalScript::Step>{rejectDialog()} : std::deque<ModalScript::Step>{});
    pressKey(*form, key, modifiers);
    if (dialog)
        QTRY_VERIFY(script.finished());
    QCOMPARE(triggered.count(), 1);
}

void TestKeysAndFocus::zoomKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("zoom");
    QTest::newRow("in") << int(Qt::Key_Plus) << 125;
    QTest::newRow("out") << int(Qt::Key_Minus) << 80;
    // The 320 x 320 placeholder in the surface, whichever side is shorter.
    QTest::newRow("fit") << int(Qt::Key_0) << -1;
}

void TestKeysAndFocus::zoomKeys()
{
    QFETCH(int, key);
    QFETCH(int, zoom);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    pressKey(*form, key, Qt::ControlModifier);
    const QSize surface = form->PaintBox1->size();
    const int expected = zoom > 0 ? zoom : std::min(surface.width(), surface.height()) * 100 / 320;
    QCOMPARE(form->settings.zoomed->value(), expected);
    QCOMPARE(form->view().zoomPercent, expected);
}

void TestKeysAndFocus::ctrlWheelKeepsThePointUnderTheCursor_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QPoint>("cursor");
    QTest::newRow("one notch in") << 100 << QPoint() << 120 << QPoint(137, 91);
    QTest::newRow("two notches out, scrolled") << 300 << QPoint(200, 150) << -240 << QPoint(251, 203);
    QTest::newRow("fine wheel, one notch in parts") << 170 << QPoint(40, 10) << 40 << QPoint(333, 17);
}

void TestKeysAndFocus::ctrlWheelKeepsThePointUnderTheCursor()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(int, delta);
    QFETCH(QPoint, cursor);
    form->settings.zoomed->setValue(zoom);
    form->ScrollBar1->setValue(scroll.x());
    form->ScrollBar2->setValue(scroll.y());
    const QPointF under = form->view().image(cursor);
    const int parts = delta == 40 ? 3 : 1;
    for (int i = 0; i < parts; ++i) {
        // The surface leaves the wheel to the window, as an unhandled event travels up.
        QWheelEvent wheel(form->PaintBox1->mapTo(form.get(), QPointF(cursor)), form->PaintBox1->mapToGlobal(QPointF(cursor)),
                          QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form.get(), &wheel);
    }
    QVERIFY(form->view().zoomPercent != zoom);
    QCOMPARE(form->view().screen(under), cursor);
    QVERIFY(form->desktopCommands().StatusText->text().contains(
        QStringLiteral(": %1 %").arg(form->view().zoomPercent)));
    // The plain wheel still scrolls.
    const int vertical = form->ScrollBar2->value();
    QWheelEvent plain(form->PaintBox1->mapTo(form.get(), QPointF(cursor)), form->PaintBox1->mapToGlobal(QPointF(cursor)),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.get(), &plain);
    QCOMPARE(form->ScrollBar2->value(), vertical + 20);
}

void TestKeysAndFocus::escapeEndsTheConstruction()
{
    const QUndoStack &history = form->workspace().history();
    const int steps = history.count();
    QTest::mouseClick(form->tools.StreckeBtn, Qt::LeftButton);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(120, 20));
    QCOMPARE(form->workspace().document().count(), 1);
    pressKey(*form, Qt::Key_Escape);
    QCOMPARE(form->workspace().document().count(), 0);
    // A construction given up leaves nothing to undo.
    QCOMPARE(history.count(), steps);
    QVERIFY(!form->workspace().isModified());

    // Enter finishes a polyline as the right press does; the name dialog is cancelled.
    ModalScript script({rejectDialog()});
    for (const QPoint p : {QPoint(20, 20), QPoint(120, 20), QPoint(120, 90)})
        QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, p);
    pressKey(*form, Qt::Key_Return);
    QTRY_VERIFY(script.finished());
    QCOMPARE(form->workspace().document().count(), 1);
    QCOMPARE(Document::vertexCount(*form->workspace().document().element(0)), 3);
    // The finished polyline is one step, which Ctrl+Z takes back whole.
    QCOMPARE(history.count(), steps + 1);
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    pressKey(*form, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form->workspace().document().count(), 0);
}

void TestKeysAndFocus::statusBar_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<QList<QPoint>>("presses");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QString>("text");

    const QString gap = QStringLiteral("     ");
    using P = QList<QPoint>;
    QTest::newRow("pointer") << QStringLiteral("ZeigerBtn") << false << P{} << QPoint(30, 40)
                             << QStringLiteral("30, 40 px") + gap + QStringLiteral("Zoom: 100 %");
    QTest::newRow("pointer, scale") << QStringLiteral("ZeigerBtn") << true << P{} << QPoint(30, 40)
                                    << QStringLiteral("30, 40 px") + gap + QStringLiteral("15.00, 20.00 m") + gap
                                           + QStringLiteral("Zoom: 100 %");
    QTest::newRow("distance") << QStringLiteral("DimensionBtn") << false << P{{100, 100}} << QPoint(100, 150)
                              << QStringLiteral("100, 150 px") + gap + QStringLiteral("Zoom: 100 %") + gap
                                     + QStringLiteral("50.00 Pixel");
    QTest::newRow("distance, scale") << QStringLiteral("DimensionBtn") << true << P{{100, 100}} << QPoint(100, 150)
                                     << QStringLiteral("100, 150 px") + gap + QStringLiteral("50.00, 75.00 m") + gap
                                            + QStringLiteral("Zoom: 100 %") + gap + QStringLiteral("25.00 m");
    QTest::newRow("polyline, scale") << QStringLiteral("StreckeBtn") << true << P{{0, 100}, {40, 130}} << QPoint(40, 170)
                                     << QStringLiteral("40, 170 px") + gap + QStringLiteral("20.00, 85.00 m") + gap
                                            + QStringLiteral("Zoom: 100 %") + gap
                                            + QStringLiteral("Segment: 20.0000 m, gesamt: 45.0000 m");
    QTest::newRow("polygon") << QStringLiteral("PolygonBtn") << false << P{{0, 100}, {40, 100}} << QPoint(40, 130)
                             << QStringLiteral("40, 130 px") + gap + QStringLiteral("Zoom: 100 %") + gap
                                    + QStringLiteral("Fläche: 600.0000 Pixel\u00B2");
    QTest::newRow("angle") << QStringLiteral("AngleBtn") << false << P{{150, 100}, {100, 100}} << QPoint(100, 150)
                           << QStringLiteral("100, 150 px") + gap + QStringLiteral("Zoom: 100 %") + gap
                                  + QStringLiteral("90.0000\u00B0 / 270.0000 \u00B0");
    QTest::newRow("rectangle, scale") << QStringLiteral("RectBtn") << true << P{{100, 100}} << QPoint(140, 130)
                                      << QStringLiteral("140, 130 px") + gap + QStringLiteral("70.00, 65.00 m") + gap
                                             + QStringLiteral("Zoom: 100 %") + gap
                                             + QStringLiteral("20.0000 \u00D7 15.0000 m");
    QTest::newRow("ellipse") << QStringLiteral("CircleBtn") << false << P{{100, 100}} << QPoint(140, 130)
                             << QStringLiteral("140, 130 px") + gap + QStringLiteral("Zoom: 100 %") + gap
                                    + QStringLiteral("40.0000 \u00D7 30.0000 Pixel");
}

void TestKeysAndFocus::statusBar()
{
    QFETCH(QString, tool);
    QFETCH(bool, scaled);
    QFETCH(QList<QPoint>, presses);
    QFETCH(QPoint, cursor);
    QFETCH(QString, text);

    if (scaled) {
        form->workspace().setScale(Scale{2, 1});
        form->workspace().setUnit(QStringLiteral("m"));
    }
    QTest::mouseClick(form->findChild<QToolButton *>(tool), Qt::LeftButton);
    for (const QPoint &p : presses)
        QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, p);
    // A move to where the last case left the pointer would be no move at all.
    QTest::mouseMove(form->PaintBox1, cursor + QPoint(1, 1));
    QTest::mouseMove(form->PaintBox1, cursor);
    QTRY_COMPARE(form->desktopCommands().StatusText->text(), text);
}

void TestKeysAndFocus::loupeToggledAndStored()
{
    QVERIFY(!form->desktopCommands().Lupeanzeigen1->isChecked());
    QTest::mouseClick(form->tools.DimensionBtn, Qt::LeftButton);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    pressKey(*form, Qt::Key_L);
    QVERIFY(form->desktopCommands().Lupeanzeigen1->isChecked());
    QTest::mouseMove(form->PaintBox1, QPoint(50, 60));
    QTRY_VERIFY(form->desktopCommands().Loupe->isVisible());
    // The placeholder picture is white; the loupe shows it around the cursor.
    QCOMPARE(form->desktopCommands().Loupe->image().pixel(LoupeSide / 2 + 2, LoupeSide / 2 + 2), qRgb(255, 255, 255));
    QTest::mouseClick(form->tools.ZeigerBtn, Qt::LeftButton);
    QTest::mouseMove(form->PaintBox1, QPoint(60, 60));
    QTRY_VERIFY(!form->desktopCommands().Loupe->isVisible());

    window.restart();
    QVERIFY(form->desktopCommands().Lupeanzeigen1->isChecked());
}

QTEST_MAIN(TestKeysAndFocus)
#include "tst_keysandfocus.moc"

#include "dialoginput.h"
#include "modalscript.h"
#include "render/viewstate.h"
#include "ui/mainform.h"
#include "ui/paintbox.h"
#include "ui/projectsettings.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <memory>

// What a person does with mouse and keyboard on the main window: the focus follows clicks, keys
// reach the window's commands whatever field had the focus, typed values are applied when the
// field is left, and dialogs keep what the user did not change.

namespace {

void addRectangle(TMainForm &form, double x1, double y1, double x2, double y2)
{
    Telemente *e = form.elemente.appendElement();
    QVERIFY(e);
    e->typ = TypRectangle;
    e->x1 = x1;
    e->y1 = y1;
    e->x2 = x2;
    e->y2 = y2;
}

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
    void fontCommandChoosesTheLabelColour();
    void fontDialogKeepsTheStoredFace_data();
    void fontDialogKeepsTheStoredFace();
    void fieldsKeepExactValues();

private:
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;
};

void TestKeysAndFocus::initTestCase()
{
    qRegisterMetaType<QMouseEvent *>();
}

void TestKeysAndFocus::init()
{
    config = freshSettingsFolder();
    QVERIFY(config->isValid());
    form = std::make_unique<TMainForm>();
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestKeysAndFocus::cleanup()
{
    form.reset();
    config.reset();
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
    QVERIFY(form->elemente.element(0)->selected);
    pressKey(*form, Qt::Key_Delete);

    QCOMPARE(form->elemente.count(), 1);
    QCOMPARE(form->elemente.element(0)->x1, 200.0);
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
    QCOMPARE(form->view().zoomed, 250);
    // The drawing shows the new zoom: the rectangle's left edge is at 2.5 x 20.
    QCOMPARE(form->bit.pixelColor(50, 100), QColor(255, 0, 0));
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
    QCOMPARE(form->labelFontColor, blue);
    QCOMPARE(form->drawingSettings().labelFont.color, blue);
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
    QCOMPARE(form->labelFont.family(), QStringLiteral("Tahoma"));
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
    QCOMPARE(form->labelFont.family(), face);
    QCOMPARE(form->labelFontColor, QColor(255, 0, 0));
}

void TestKeysAndFocus::fieldsKeepExactValues()
{
    // The size rule sets the arrow length to 3000 / zoom.
    form->settings.zoomed->setFocus();
    typeInto(form->settings.zoomed, QStringLiteral("57"));
    QTest::keyClick(form->settings.zoomed, Qt::Key_Return);
    // The rule is on at a first start; switching it off and on again applies it.
    QAction *sizeRule = form->menus.PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1;
    QVERIFY(sizeRule->isChecked());
    sizeRule->trigger();
    sizeRule->trigger();
    QCOMPARE(form->settings.PfeillangEd->text(), QStringLiteral("52.63"));
    QCOMPARE(form->drawingSettings().arrowLength, 3000.0 / 57);

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
    QCOMPARE(form->drawingSettings().arrowLength, 12.5);
}

QTEST_MAIN(TestKeysAndFocus)
#include "tst_keysandfocus.moc"

#include "core/resultsmodel.h"
#include "mainwindowcase.h"
#include "support/testfiles.h"
#include "tools/toolcontroller.h"
#include "translationfixture.h"
#include "ui/commands/projectcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QtTest>

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolButton>

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void undoAndRedoAMeasurement();
    void closingAsksAboutUnsavedChanges();
    void savingNamesTheWindowAndClearsTheMark();

private:
    void rectangle(QPoint from, QPoint to);
    void keys(int key, Qt::KeyboardModifiers modifiers);
    int count() { return form->workspace().document().count(); }
    QAction *undoItem() { return form->findChild<QAction *>(QStringLiteral("Rckgngig1")); }
    QAction *redoItem() { return form->findChild<QAction *>(QStringLiteral("Wiederholen1")); }

    MainWindowCase window;
    std::unique_ptr<TMainForm> &form = window.form;
    QTemporaryDir dir;
};

void TestHistory::init()
{
    window.start(MainWindowCase::Active);
    form->menus.askElementNames->setChecked(false);
}

void TestHistory::cleanup()
{
    window.finish();
}

void TestHistory::rectangle(QPoint from, QPoint to)
{
    form->tools.RectBtn->click();
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, to);
}

void TestHistory::keys(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(form->PaintBox1, static_cast<Qt::Key>(key), modifiers);
}

void TestHistory::undoAndRedoAMeasurement()
{
    QVERIFY(!undoItem()->isEnabled());
    QVERIFY(!redoItem()->isEnabled());
    rectangle(QPoint(10, 10), QPoint(110, 60));
    QCOMPARE(count(), 1);
    QVERIFY(undoItem()->isEnabled());
    QCOMPARE(undoItem()->text(), QStringLiteral("Rückgängig: Rechteck"));

    keys(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(count(), 0);
    QCOMPARE(form->results->rowCount(), 0);
    QVERIFY(!undoItem()->isEnabled());
    QCOMPARE(redoItem()->text(), QStringLiteral("Wiederholen: Rechteck"));

    keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(count(), 1);
    QCOMPARE(form->results->rowCount(), 1);
    keys(Qt::Key_Z, Qt::ControlModifier);
    keys(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(count(), 1);

    // Undo while a polygon is under way gives the polygon up, not the rectangle.
    form->tools.PolygonBtn->click();
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(260, 200));
    QVERIFY(form->toolController().construction().constructing);
    keys(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!form->toolController().construction().constructing);
    QCOMPARE(count(), 1);
}

void TestHistory::closingAsksAboutUnsavedChanges()
{
    rectangle(QPoint(10, 10), QPoint(110, 60));
    AnsweredBox seen;
    answerNextBox(QMessageBox::Cancel, &seen);
    QVERIFY(!form->close());
    QCOMPARE(seen.text, QStringLiteral("Die Zeichnung hat ungespeicherte Änderungen. Sollen sie gespeichert werden?"));
    QCOMPARE(seen.buttons.size(), 3);
    QVERIFY(form->isVisible());
    QCOMPARE(count(), 1);

    answerNextBox(QMessageBox::Discard);
    form->menus.quit->trigger();
    QVERIFY(!form->isVisible());
}

void TestHistory::savingNamesTheWindowAndClearsTheMark()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Kovrant Tesselon 1.0"));
    const QString file = dir.filePath(QStringLiteral("plan.ver"));
    form->projectCommands->setFileChooser([file](QFileDialog &) { return file; });
    rectangle(QPoint(10, 10), QPoint(110, 60));
    keys(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(file));
    QCOMPARE(form->windowTitle(), QStringLiteral("Kovrant Tesselon 1.0 \u2013 plan.ver[*]"));
    QVERIFY(!form->isWindowModified());

    rectangle(QPoint(20, 80), QPoint(90, 120));
    QVERIFY(form->isWindowModified());
    keys(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!form->isWindowModified());

    // Saving again writes the same file without asking; the dialog is not run.
    rectangle(QPoint(20, 80), QPoint(90, 120));
    form->projectCommands->setFileChooser([](QFileDialog &) -> QString {
        qFatal("no dialog expected");
        return {};
    });
    keys(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!form->isWindowModified());
    QVERIFY(form->close());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"

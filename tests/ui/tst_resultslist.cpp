#include "core/resultsmodel.h"
#include "dialoginput.h"
#include "modalscript.h"
#include "support/elementbuilder.h"
#include "support/solidpicture.h"
#include "ui/dialogs/bezeichnungform.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"

#include <QtTest>

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>

#include <memory>

// The results list beside the drawing, used with the mouse: its rows and the drawing's elements
// select each other, a double-clicked row is renamed, and the list keeps the width it was given.

class TestResultsList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowSelectsTheElement_data();
    void rowSelectsTheElement();
    void drawingSelectsTheRow();
    void doubleClickRenames();
    void widthIsKept();
    void columnsFitTheirContents();

private:
    void clickRow(int row, bool twice = false);
    Document &doc() { return form->workspace().document(); }

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<TMainForm> form;
};

void TestResultsList::init()
{
    config = freshSettingsFolder();
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // A picture larger than the window, so the view can scroll; then a text (no row), a rectangle
    // in view and one far outside it.
    form->workspace().setPicture(Picture(solidPicture(3000, 3000, qRgb(255, 255, 255))));
    form->settings.zoomed->setValue(100);
    add(doc(), TypText, {5, 5});
    add(doc(), TypRectangle, {20, 20}, {120, 80});
    add(doc(), TypRectangle, {2500, 2600}, {2700, 2800});
    form->workspace().commitStep(QStringLiteral("Testdaten"));
    form->PaintBox1Paint();
    QCOMPARE(form->ListView1->model()->rowCount(), 2);
}

void TestResultsList::cleanup()
{
    form.reset();
    config.reset();
}

void TestResultsList::clickRow(int row, bool twice)
{
    QTreeView *list = form->ListView1;
    const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void TestResultsList::rowSelectsTheElement_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("element");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("in view") << 0 << 1 << false;
    QTest::newRow("outside the view") << 1 << 2 << true;
}

void TestResultsList::rowSelectsTheElement()
{
    QFETCH(int, row);
    QFETCH(int, element);
    QFETCH(bool, scrolls);

    const int undoSteps = form->workspace().history().count();
    clickRow(row);
    QTRY_VERIFY(doc().element(element)->selected);
    for (int i = 0; i < doc().count(); ++i)
        QCOMPARE(doc().element(i)->selected, i == element);
    // Selecting is no step.
    QCOMPARE(form->workspace().history().count(), undoSteps);

    // The element is on the surface now, where the rows stay selected over the repaints.
    const Telemente &e = *doc().element(element);
    const QPoint corner(static_cast<int>(e.x1) - form->ScrollBar1->value(),
                        static_cast<int>(e.y1) - form->ScrollBar2->value());
    QVERIFY2(form->PaintBox1->rect().contains(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    QCOMPARE(form->ScrollBar1->value() != 0, scrolls);
    QCOMPARE(form->ListView1->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(form->ListView1->selectionModel()->selectedRows().constFirst().row(), row);
}

void TestResultsList::drawingSelectsTheRow()
{
    QTest::mouseClick(form->tools.ZeigerBtn, Qt::LeftButton);
    // On the rectangle's left edge.
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 50));
    QVERIFY(doc().element(1)->selected);
    const QModelIndexList rows = form->ListView1->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.constFirst().row(), 0);

    // A press on nothing clears both.
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QVERIFY(!doc().element(1)->selected);
    QVERIFY(form->ListView1->selectionModel()->selectedRows().isEmpty());
}

void TestResultsList::doubleClickRenames()
{
    ModalScript script({[](QWidget *modal) {
        auto *dialog = qobject_cast<TBezeichnungForm *>(modal);
        QVERIFY(dialog);
        typeInto(dialog->Edit1, QStringLiteral("Garage"));
        dialog->accept();
    }});
    const int undoSteps = form->workspace().history().count();
    clickRow(1, true);
    QTRY_VERIFY(script.finished());
    QTRY_COMPARE(Document::name(*doc().element(2)), QStringLiteral("Garage"));
    QCOMPARE(Document::name(*doc().element(1)), QString());
    QCOMPARE(form->results->text(1, ResultsModel::ColumnBezeichnung), QStringLiteral("Garage"));
    QCOMPARE(form->workspace().history().count(), undoSteps + 1);
    QVERIFY(script.unexpected().isEmpty());
}

void TestResultsList::widthIsKept()
{
    auto *splitter = form->findChild<QSplitter *>(QStringLiteral("Splitter1"));
    QVERIFY(splitter);
    QCOMPARE(splitter->widget(1), form->ListView1);
    const int total = splitter->sizes().value(0) + splitter->sizes().value(1);
    splitter->setSizes({total - 333, 333});
    QCOMPARE(form->ListView1->width(), 333);

    form.reset();
    form = std::make_unique<TMainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->ListView1->width(), 333);
}

void TestResultsList::columnsFitTheirContents()
{
    add(doc(), TypDistance, {10, 10}, {400, 10}, {400, 30});
    form->PaintBox1Paint();
    QTreeView *list = form->ListView1;
    for (int column = 0; column < ResultsModel::ColumnCount; ++column)
        QVERIFY2(list->header()->sectionSize(column) >= static_cast<QAbstractItemView *>(list)->sizeHintForColumn(column), qPrintable(QString::number(column)));
}

QTEST_MAIN(TestResultsList)
#include "tst_resultslist.moc"

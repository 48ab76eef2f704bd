#include "core/translate.h"
#include "core/translationtable.h"
#include "translationfixture.h"
#include "ui/translation/frozencolumnview.h"
#include "ui/translation/translateform.h"
#include "ui/translation/translationmodel.h"

#include <QtTest>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

const QList<QStringList> baseRows = {
    {"Abstand", "", "Distanza"},
    {"Pixel", "Pixels", "Pixel"},
    {"Übersetzen", "Translation", "Traduzione"},
    {"Zeile\r\nzwei", "Line two", ""},
    {"Winkel", "Angle", ""},
    {"Neu", "", ""},
};

// The table as the file on disk holds it.
TranslationTable &onDisk()
{
    static TranslationTable table;
    table.setPaths(translationTable().programFile(), QString());
    table.load();
    return table;
}

QString diskText(const QString &german, int column)
{
    TranslationTable &table = onDisk();
    const int row = table.find(german);
    return row < 0 ? QStringLiteral("<missing>") : table.text(row, column);
}

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable>")};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestTranslateForm : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TTranslateForm> form;
    QString previousFolder;
    int rowsAtStart = 0;

    void open();
    QModelIndex cell(const QString &german, int column) const;
    QLineEdit *startEditing(const QModelIndex &index);

private slots:
    void init();
    void cleanup();

    void fillShowsTableAndCaptions();
    void editGoesIntoTableAndFileFollowsTimer();
    void escapeWhileEditingRestoresCell();
    void closingSavesPendingEdit();
    void deleteRow_data();
    void deleteRow();
    void escapeAsksToDelete();
    void deleteKeyOutsideAndInsideEditing();
    void search_data();
    void search();
    void searchContinuesAndStops();
    void frozenColumnFollowsScrolling();
    void extraction();
    void importFillsColumn15();
    void importRefusesMismatchedFiles();
    void importWithoutFiles();
};

void TestTranslateForm::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    useTranslationRows(*dir, baseRows);
    // As at start-up: the messages the editor asks with have their rows.
    ensureMessages();
    rowsAtStart = translationTable().rowCount();
    previousFolder = QDir::currentPath();
    QDir::setCurrent(dir->path());
    setLanguageIndex(0);
    form = std::make_unique<TTranslateForm>();
}

void TestTranslateForm::cleanup()
{
    form.reset();
    QDir::setCurrent(previousFolder);
    dir.reset();
}

void TestTranslateForm::open()
{
    form->FillStringGrid();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

QModelIndex TestTranslateForm::cell(const QString &german, int column) const
{
    return form->model->index(translationTable().find(german), column);
}

QLineEdit *TestTranslateForm::startEditing(const QModelIndex &index)
{
    form->StringGrid1->setFocus();
    form->StringGrid1->setCurrentIndex(index);
    QTest::keyClick(form->StringGrid1, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (editor)
        QTest::keyClick(editor, Qt::Key_End);
    return editor;
}

void TestTranslateForm::fillShowsTableAndCaptions()
{
    open();
    const TranslationModel &m = *form->model;
    QCOMPARE(m.rowCount(), rowsAtStart);
    QCOMPARE(m.columnCount(), 30);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("German"));
    QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QStringLiteral("English"));
    QCOMPARE(m.headerData(2, Qt::Horizontal).toString(), QStringLiteral("language2"));
    QCOMPARE(m.headerData(29, Qt::Horizontal).toString(), QStringLiteral("language29"));
    QCOMPARE(m.index(1, 0).data().toString(), QStringLiteral("Pixel"));
    QCOMPARE(m.index(2, 2).data().toString(), QStringLiteral("Traduzione"));
    QCOMPARE(form->StringGrid1->columnWidth(17), 250);
    QVERIFY(!form->Button1->isVisible());
    QVERIFY(!form->Button2->isVisible());
    QVERIFY(!form->Memo1->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Übersetzen"));

    // Rows the table gains while the editor is open show at the next filling.
    translationTable().addRow(QStringLiteral("Später"));
    QCOMPARE(m.rowCount(), rowsAtStart);
    form->FillStringGrid();
    QCOMPARE(m.rowCount(), rowsAtStart + 1);
}

void TestTranslateForm::editGoesIntoTableAndFileFollowsTimer()
{
    open();
    QLineEdit *editor = startEditing(cell(QStringLiteral("Abstand"), 1));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("D"));
    // In the table at the first keystroke, not yet in the file.
    QCOMPARE(translationTable().text(translationTable().find(u"Abstand"), 1), QStringLiteral("D"));
    QCOMPARE(diskText(QStringLiteral("Abstand"), 1), QString());
    QVERIFY(form->Timer1->isActive());
    QCOMPARE(form->Timer1->interval(), 1000);
    QVERIFY(form->Timer1->isSingleShot());

    QTest::keyClicks(editor, QStringLiteral("istance"));
    QCOMPARE(translationTable().text(translationTable().find(u"Abstand"), 1), QStringLiteral("Distance"));
    QVERIFY(form->Timer1->remainingTime() > 500);
    QCOMPARE(diskText(QStringLiteral("Abstand"), 1), QString());

    QTRY_COMPARE_WITH_TIMEOUT(diskText(QStringLiteral("Abstand"), 1), QStringLiteral("Distance"), 5000);
    QVERIFY(!form->Timer1->isActive());
    // The cursor stays where the user types.
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClicks(editor, QStringLiteral("X"));
    QCOMPARE(editor->text(), QStringLiteral("DistancXe"));
}

void TestTranslateForm::escapeWhileEditingRestoresCell()
{
    open();
    QLineEdit *editor = startEditing(cell(QStringLiteral("Pixel"), 1));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("xyz"));
    QCOMPARE(translationTable().text(1, 1), QStringLiteral("Pixelsxyz"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(translationTable().text(1, 1), QStringLiteral("Pixels"));
    // Esc ended the editing only: no question to delete the row came up.
    QCOMPARE(translationTable().rowCount(), rowsAtStart);
    QVERIFY(form->isVisible());
}

void TestTranslateForm::closingSavesPendingEdit()
{
    open();
    QLineEdit *editor = startEditing(cell(QStringLiteral("Neu"), 2));
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("Nuovo"));
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(form->Timer1->isActive());
    form->BackBtn->click();
    QVERIFY(!form->isVisible());
    QCOMPARE(form->result(), int(QDialog::Accepted));
    QVERIFY(!form->Timer1->isActive());
    QCOMPARE(diskText(QStringLiteral("Neu"), 2), QStringLiteral("Nuovo"));
}

void TestTranslateForm::deleteRow_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
}

void TestTranslateForm::deleteRow()
{
    QFETCH(int, answer);
    QFETCH(bool, deleted);
    open();
    // A change that is only in memory: every answer still saves the table.
    translationTable().setText(translationTable().find(u"Winkel"), 2, QStringLiteral("Angolo"));
    form->StringGrid1->setCurrentIndex(cell(QStringLiteral("Übersetzen"), 1));

    AnsweredBox box;
    answerNextBox(QMessageBox::StandardButton(answer), &box);
    form->DeleteRowBtn->click();

    QCOMPARE(box.caption, Message(25));
    QCOMPARE(box.text, QStringLiteral("Übersetzen"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons.size(), 3);
    QCOMPARE(translationTable().find(u"Übersetzen") < 0, deleted);
    QCOMPARE(form->model->rowCount(), translationTable().rowCount());
    QCOMPARE(diskText(QStringLiteral("Winkel"), 2), QStringLiteral("Angolo"));
    QCOMPARE(onDisk().rowCount(), translationTable().rowCount());
    // The same grid row is current again, now showing the row that moved up, if any.
    QCOMPARE(form->StringGrid1->currentIndex().row(), 2);
    QCOMPARE(form->StringGrid1->currentIndex().data().toString(),
             deleted ? QStringLiteral("Line two") : QStringLiteral("Translation"));
    // The lookup still finds every row that is left, not the one that moved into a deleted place.
    setLanguageIndex(1);
    QCOMPARE(Translate(QStringLiteral("Winkel")), QStringLiteral("Angle"));
    QCOMPARE(Translate(QStringLiteral("Pixel")), QStringLiteral("Pixels"));
}

void TestTranslateForm::escapeAsksToDelete()
{
    open();
    form->StringGrid1->setFocus();
    form->StringGrid1->setCurrentIndex(cell(QStringLiteral("Neu"), 0));
    AnsweredBox box;
    answerNextBox(QMessageBox::Yes, &box);
    QTest::keyClick(form->StringGrid1, Qt::Key_Escape);
    QCOMPARE(box.text, QStringLiteral("Neu"));
    QCOMPARE(translationTable().find(u"Neu"), -1);
    QVERIFY(form->isVisible());
    // The last row went, so no row of that number is left to be current.
    QVERIFY(form->StringGrid1->currentIndex().row() < form->model->rowCount());
}

void TestTranslateForm::deleteKeyOutsideAndInsideEditing()
{
    open();
    QLineEdit *editor = startEditing(cell(QStringLiteral("Pixel"), 1));
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(translationTable().text(translationTable().find(u"Pixel"), 1), QStringLiteral("ixels"));
    QCOMPARE(translationTable().rowCount(), rowsAtStart);
    QTest::keyClick(editor, Qt::Key_Return);

    form->StringGrid1->setFocus();
    form->StringGrid1->setCurrentIndex(cell(QStringLiteral("Pixel"), 1));
    AnsweredBox box;
    answerNextBox(QMessageBox::Yes, &box);
    QTest::keyClick(form->StringGrid1, Qt::Key_Delete);
    QCOMPARE(box.text, QStringLiteral("Pixel"));
    QCOMPARE(translationTable().find(u"Pixel"), -1);
}

void TestTranslateForm::search_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("rowOf");
    QTest::addColumn<int>("column");
    QTest::newRow("a to z folded") << "pixel" << "Pixel" << 0;
    QTest::newRow("inside a translation") << "RADUZ" << "Übersetzen" << 2;
    QTest::newRow("umlaut not folded") << "über" << "" << -1;
    QTest::newRow("empty finds nothing") << "" << "" << -1;
}

void TestTranslateForm::search()
{
    QFETCH(QString, wanted);
    QFETCH(QString, rowOf);
    QFETCH(int, column);
    open();
    form->FilterEdit->setText(wanted);
    AnsweredBox box;
    if (column >= 0)
        answerNextBox(QMessageBox::No, &box);
    form->FilterBtn->click();
    if (column < 0) {
        QCOMPARE(box.caption, QString());
        return;
    }
    QCOMPARE(box.caption, Message(27));
    QCOMPARE(box.text, Message(26));
    QCOMPARE(box.buttons.size(), 2);
    QCOMPARE(form->StringGrid1->currentIndex(), cell(rowOf, column));
    QVERIFY(form->StringGrid1->selectionModel()->isSelected(cell(rowOf, column)));
}

void TestTranslateForm::searchContinuesAndStops()
{
    // Enough rows and columns that the found cell can be scrolled to the top left.
    for (int i = 0; i < 60; ++i)
        translationTable().addRow(QStringLiteral("Füllzeile %1").arg(i));
    const int target = translationTable().addRow(QStringLiteral("Ziel"));
    translationTable().setText(target, 12, QStringLiteral("das zweite ZIEL"));
    for (int i = 0; i < 60; ++i)
        translationTable().addRow(QStringLiteral("Nachzeile %1").arg(i));
    open();
    form->FilterEdit->setText(QStringLiteral("ziel"));

    QList<AnsweredBox> boxes;
    answerBoxes({QMessageBox::Yes, QMessageBox::No}, &boxes);
    form->FilterBtn->click();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes.at(1).text, Message(26));
    const QModelIndex found = form->model->index(target, 12);
    QCOMPARE(form->StringGrid1->currentIndex(), found);
    QCOMPARE(form->StringGrid1->rowAt(0), target);
    QCOMPARE(form->StringGrid1->columnAt(0), 12);
}

void TestTranslateForm::frozenColumnFollowsScrolling()
{
    for (int i = 0; i < 200; ++i)
        translationTable().addRow(QStringLiteral("Zeile %1").arg(i));
    open();
    FrozenColumnView *grid = form->StringGrid1;
    QTableView *frozen = grid->frozenView();
    QVERIFY(!frozen->isVisible());

    form->FixedColCheck->click();
    QVERIFY(grid->isFrozen());
    QVERIFY(frozen->isVisible());
    QCOMPARE(frozen->width(), grid->columnWidth(0));
    for (int column = 1; column < 30; ++column)
        QVERIFY(frozen->isColumnHidden(column));

    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QCOMPARE(frozen->verticalScrollBar()->value(), grid->verticalScrollBar()->value());
    QCOMPARE(frozen->rowAt(frozen->horizontalHeader()->height()), grid->rowAt(grid->horizontalHeader()->height()));
    QVERIFY(grid->rowAt(0) > 0);
    QCOMPARE(frozen->columnAt(0), 0);
    QCOMPARE(frozen->model(), grid->model());
    QCOMPARE(frozen->selectionModel(), grid->selectionModel());

    // A cell chosen far to the right is brought out from under the frozen column.
    const QModelIndex right = form->model->index(5, 3);
    grid->setCurrentIndex(right);
    grid->scrollTo(right);
    QVERIFY(grid->visualRect(right).left() >= grid->columnWidth(0));

    // A fill resets the model; the frozen view still shows only the first column.
    form->FillStringGrid();
    QVERIFY(frozen->isColumnHidden(1));

    form->FixedColCheck->click();
    QVERIFY(!grid->isFrozen());
    QVERIFY(!frozen->isVisible());
}

void TestTranslateForm::extraction()
{
    open();
    form->Button1->click();
    QCOMPARE(TTranslateForm::exchangeFileName(2), QStringLiteral("outtrans_Italian.txt"));
    QCOMPARE(TTranslateForm::exchangeFileName(3), QStringLiteral("outtrans_Frensh.txt"));
    QCOMPARE(TTranslateForm::exchangeFileName(15), QStringLiteral("outtrans_Portuguese.txt"));
    QCOMPARE(TTranslateForm::exchangeFileName(19), QStringLiteral("outtrans_Russian.txt"));
    for (int column = 2; column <= 19; ++column)
        QVERIFY2(QFile::exists(TTranslateForm::exchangeFileName(column)),
                 qPrintable(TTranslateForm::exchangeFileName(column)));
    QVERIFY(!QFile::exists(QStringLiteral("outtrans_.txt")));

    // Column 2 is the Italian: rows with English but no Italian, in table order, on one line each.
    const QStringList italian{QStringLiteral("Zeile  zwei"), QStringLiteral("Winkel")};
    QCOMPARE(fileLines(QStringLiteral("outtrans_Italian.txt")), italian);
    const QStringList other{QStringLiteral("Pixel"), QStringLiteral("Übersetzen"), QStringLiteral("Zeile  zwei"),
                            QStringLiteral("Winkel")};
    QCOMPARE(fileLines(QStringLiteral("outtrans_Frensh.txt")), other);
    QCOMPARE(fileLines(QStringLiteral("outtrans_Russian.txt")), other);
}

void TestTranslateForm::importFillsColumn15()
{
    const int secondPixel = translationTable().addRow(QStringLiteral("Pixel"));
    open();
    form->Button1->click();
    QCOMPARE(fileLines(QStringLiteral("outtrans_Portuguese.txt")),
             (QStringList{"Pixel", "Übersetzen", "Zeile  zwei", "Winkel"}));
    // The translator's reply: one line per German line, and a German file edited since, with a
    // line that no longer has a row and the others in another order.
    QVERIFY(writeFile(QStringLiteral("outtrans_Portuguese.txt"),
                      QStringLiteral("Winkel\r\nGibt es nicht\r\nPixel\r\nZeile  zwei\r\nPixel\r\n").toUtf8()));
    QVERIFY(writeFile(QStringLiteral("outtrans_PT.txt"),
                      QStringLiteral("Ângulo\r\nNada\r\nPíxeis\r\nLinha dois\r\nPíxeis 2\r\n").toUtf8()));

    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    form->Button2->click();
    TranslationTable &table = translationTable();
    QCOMPARE(table.text(table.find(u"Winkel"), 15), QStringLiteral("Ângulo"));
    // The search goes on from the row last filled, so the first "Pixel" line meets the later row
    // and the second line wraps round to the first row.
    QCOMPARE(table.text(secondPixel, 15), QStringLiteral("Píxeis"));
    QCOMPARE(table.text(1, 15), QStringLiteral("Píxeis 2"));
    QCOMPARE(table.text(table.find(u"Zeile\r\nzwei"), 15), QStringLiteral("Linha dois"));
    QCOMPARE(table.text(table.find(u"Übersetzen"), 15), QString());
    QCOMPARE(form->model->index(1, 15).data().toString(), QStringLiteral("Píxeis 2"));
    QCOMPARE(diskText(QStringLiteral("Winkel"), 15), QStringLiteral("Ângulo"));
    QVERIFY(box.text.contains(QLatin1Char('1')));
    QVERIFY(form->Memo2->toPlainText().startsWith(QStringLiteral("Winkel\nGibt es nicht")));
}

void TestTranslateForm::importRefusesMismatchedFiles()
{
    open();
    QVERIFY(writeFile(QStringLiteral("outtrans_Portuguese.txt"), "Winkel\nPixel\n"));
    QVERIFY(writeFile(QStringLiteral("outtrans_PT.txt"), "\xC3\x82ngulo\n"));
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    form->Button2->click();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(translationTable().text(translationTable().find(u"Winkel"), 15), QString());

    QVERIFY(writeFile(QStringLiteral("outtrans_PT.txt"), "\xFF\xFE\n\xC3\n"));
    AnsweredBox encoding;
    answerNextBox(QMessageBox::Ok, &encoding);
    form->Button2->click();
    QCOMPARE(encoding.icon, QMessageBox::Critical);
    QVERIFY(encoding.text.contains(QStringLiteral("outtrans_PT.txt")));
}

void TestTranslateForm::importWithoutFiles()
{
    open();
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    form->Button2->click();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY(box.text.contains(QStringLiteral("outtrans_PT.txt")));

    // An empty German file imports nothing and leaves the table as it was.
    QVERIFY(writeFile(QStringLiteral("outtrans_Portuguese.txt"), ""));
    QVERIFY(writeFile(QStringLiteral("outtrans_PT.txt"), ""));
    form->Button2->click();
    for (int row = 0; row < translationTable().rowCount(); ++row)
        QCOMPARE(translationTable().text(row, 15), QString());
}

QTEST_MAIN(TestTranslateForm)
#include "tst_translateform.moc"

#include "core/resultsmodel.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "translationfixture.h"
#include "ui/translation/translatewalk.h"

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLocale>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

namespace {

const QList<QStringList> rows = {
    {"Fenster", "Window", "Finestra"},
    {"Beschriftung", "Label", "Etichetta"},
    {"Hinweis", "Hint", "Suggerimento"},
    {"Knopf", "Button", "Pulsante"},
    {"Ankreuzen", "Tick", "Spuntare"},
    {"Kreis", "Circle", "Cerchio"},
    {"Rahmen", "Frame", "Cornice"},
    {"Datei", "File", "File"},
    {"Öffnen...", "Open...", "Apri..."},
    {"Eigener Hinweis", "Own hint", "Suggerimento proprio"},
    {"Eins", "One", "Uno"},
    {"Zwei", "Two", "Due"},
    {"Drei", "Three", "Tre"},
    {"Spalte", "Column", "Colonna"},
    {"Typ", "Type", "Tipo"},
    {"Bezeichnung", "Name", "Nome"},
    {"Länge/Umfang", "Length/Perimeter", "Lunghezza/Perimetro"},
    {"Flächeninhalt", "Area", "Area"},
    {"Winkel", "Angle", "Angolo"},
    {"Liste", "List", "Elenco"},
    {"Titel", "Title", "Titolo"},
    {"Vermessungsprojekt", "Measurement project", "Progetto di misura"},
    {"Alle Dateien", "All files", "Tutti i file"},
    {"CSV-Dateien", "CSV files", "File CSV"},
    {"Erste Zeile", "First line", "Prima riga"},
    {"Zweite Zeile", "Second line", "Seconda riga"},
    {"Vorgabe", "Default", "Predefinito"},
    {"Stellen", "places", "cifre"},
    {"Abbrechen", "Cancel", "Annulla"},
    {"Reiter", "Tab", "Scheda"},
    {"Dialog", "Dialog", "Finestra di dialogo"},
};

// A window with one component of every kind the walk knows, captioned in German.
struct TestWindow {
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    QComboBox *combo = nullptr;
    QFileDialog *fileDialog = nullptr;
    QLineEdit *typed = nullptr;
    QObject *filterHolder = nullptr;
    QDialog *dialog = nullptr;

    TestWindow()
    {
        QMainWindow *w = window.get();
        w->setWindowTitle(QStringLiteral("Fenster"));
        auto *central = new QWidget(w);
        w->setCentralWidget(central);

        auto *label = new QLabel(QStringLiteral("Beschriftung"), central);
        label->setObjectName(QStringLiteral("label"));
        label->setToolTip(QStringLiteral("Hinweis"));
        auto *button = new QPushButton(QStringLiteral(" Knopf  "), central);
        button->setObjectName(QStringLiteral("button"));
        button->setToolTip(QStringLiteral("Hinweis"));
        auto *check = new QCheckBox(QStringLiteral("Ankreuzen"), central);
        check->setObjectName(QStringLiteral("check"));
        check->setToolTip(QStringLiteral("Hinweis"));
        auto *radio = new QRadioButton(QStringLiteral("Kreis"), central);
        radio->setObjectName(QStringLiteral("radio"));
        auto *group = new QGroupBox(QStringLiteral("Rahmen"), central);
        group->setObjectName(QStringLiteral("group"));

        QMenu *menu = w->menuBar()->addMenu(QStringLiteral("Datei"));
        menu->setObjectName(QStringLiteral("menu"));
        auto *open = new QAction(QStringLiteral("Öffnen..."), w);
        open->setObjectName(QStringLiteral("open"));
        menu->addAction(open);
        auto *hinted = new QAction(QStringLiteral("Öffnen..."), w);
        hinted->setObjectName(QStringLiteral("hinted"));
        hinted->setToolTip(QStringLiteral("Eigener Hinweis"));
        menu->addAction(hinted);
        menu->addSeparator();

        auto *tool = new QToolButton(central);
        tool->setObjectName(QStringLiteral("tool"));
        tool->setToolTip(QStringLiteral("Hinweis"));
        auto *actionTool = new QToolButton(central);
        actionTool->setObjectName(QStringLiteral("actionTool"));
        actionTool->setDefaultAction(hinted);

        combo = new QComboBox(central);
        combo->setObjectName(QStringLiteral("combo"));
        combo->addItems({QStringLiteral("Eins"), QStringLiteral("Zwei"), QStringLiteral("Drei")});
        combo->setCurrentIndex(2);

        auto *grid = new QTableWidget(2, 2, central);
        grid->setObjectName(QStringLiteral("grid"));
        grid->setHorizontalHeaderLabels({QStringLiteral("Spalte"), QStringLiteral("Titel")});
        grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("Eins")));

        auto *tree = new QTreeWidget(central);
        tree->setObjectName(QStringLiteral("tree"));
        tree->setHeaderLabels({QStringLiteral("Liste"), QStringLiteral("Spalte")});

        auto *results = new QTreeView(central);
        results->setObjectName(QStringLiteral("results"));
        results->setModel(new ResultsModel(results));

        auto *list = new QListView(central);
        list->setObjectName(QStringLiteral("list"));
        auto *listModel = new QStandardItemModel(1, 1, list);
        listModel->setHorizontalHeaderLabels({QStringLiteral("Liste")});
        list->setModel(listModel);

        auto *numbers = new QTableWidget(1, 3, central);
        numbers->setObjectName(QStringLiteral("numbers"));

        fileDialog = new QFileDialog(w);
        fileDialog->setObjectName(QStringLiteral("fileDialog"));
        fileDialog->setOption(QFileDialog::DontUseNativeDialog);
        fileDialog->setNameFilters({QStringLiteral("Vermessungsprojekt (*.ver)"), QStringLiteral("PNG (*.png)"),
                                    QStringLiteral("Alle Dateien (*)")});
        fileDialog->selectNameFilter(QStringLiteral("Alle Dateien (*)"));

        filterHolder = new QObject(w);
        filterHolder->setObjectName(QStringLiteral("filterHolder"));
        filterHolder->setProperty(FilterProperty, QStringLiteral("CSV-Dateien (*.csv);;Alle Dateien (*)"));

        auto *memo = new QPlainTextEdit(QStringLiteral("Erste Zeile\nZweite Zeile\n12.5"), central);
        memo->setObjectName(QStringLiteral("memo"));
        auto *rich = new QTextEdit(central);
        rich->setObjectName(QStringLiteral("rich"));
        rich->setPlainText(QStringLiteral("Erste Zeile"));

        auto *edit = new QLineEdit(QStringLiteral("Vorgabe"), central);
        edit->setObjectName(QStringLiteral("edit"));
        auto *numberEdit = new QLineEdit(QStringLiteral("123.5"), central);
        numberEdit->setObjectName(QStringLiteral("numberEdit"));
        typed = new QLineEdit(central);
        typed->setObjectName(QStringLiteral("typed"));

        auto *spin = new QSpinBox(central);
        spin->setObjectName(QStringLiteral("spin"));
        spin->setRange(0, 100);
        spin->setValue(42);
        spin->setSuffix(QStringLiteral(" Stellen"));
        spin->setToolTip(QStringLiteral("Hinweis"));
        auto *real = new QDoubleSpinBox(central);
        real->setObjectName(QStringLiteral("real"));
        // As the program's own number fields: a point, whatever the system's language.
        real->setLocale(QLocale::c());
        real->setValue(2.5);

        auto *box = new QDialogButtonBox(QDialogButtonBox::Cancel, central);
        box->setObjectName(QStringLiteral("box"));
        box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("own"));

        auto *tabs = new QTabWidget(central);
        tabs->setObjectName(QStringLiteral("tabs"));
        tabs->addTab(new QWidget, QStringLiteral("Reiter"));

        auto *number = new QLabel(QStringLiteral("100"), central);
        number->setObjectName(QStringLiteral("number"));

        dialog = new QDialog(w);
        dialog->setObjectName(QStringLiteral("dialog"));
        dialog->setWindowTitle(QStringLiteral("Dialog"));
    }

    QString shown(const QString &name, const QString &what) const
    {
        QObject *o = window->findChild<QObject *>(name);
        if (name == QLatin1String("window"))
            o = window.get();
        if (!o)
            return QStringLiteral("<no %1>").arg(name);
        if (what == QLatin1String("title"))
            return qobject_cast<QWidget *>(o)->windowTitle();
        if (what == QLatin1String("hint")) {
            if (auto *a = qobject_cast<QAction *>(o))
                return a->toolTip();
            return qobject_cast<QWidget *>(o)->toolTip();
        }
        if (auto *l = qobject_cast<QLabel *>(o))
            return l->text();
        if (auto *b = qobject_cast<QAbstractButton *>(o))
            return b->text();
        if (auto *g = qobject_cast<QGroupBox *>(o))
            return g->title();
        if (auto *m = qobject_cast<QMenu *>(o))
            return m->title();
        if (auto *a = qobject_cast<QAction *>(o))
            return a->text();
        if (auto *c = qobject_cast<QComboBox *>(o))
            return c->itemText(what.toInt());
        if (auto *v = qobject_cast<QAbstractItemView *>(o))
            return v->model()->headerData(what.toInt(), Qt::Horizontal).toString();
        if (auto *f = qobject_cast<QFileDialog *>(o))
            return f->nameFilters().join(QStringLiteral(";;"));
        if (auto *p = qobject_cast<QPlainTextEdit *>(o))
            return p->toPlainText();
        if (auto *t = qobject_cast<QTextEdit *>(o))
            return t->toPlainText();
        if (auto *e = qobject_cast<QLineEdit *>(o))
            return e->text();
        if (auto *s = qobject_cast<QSpinBox *>(o))
            return what == QLatin1String("suffix") ? s->suffix() : s->text();
        if (auto *d = qobject_cast<QDoubleSpinBox *>(o))
            return d->text();
        if (auto *t = qobject_cast<QTabWidget *>(o))
            return t->tabText(0);
        return o->property(FilterProperty).toString();
    }
};

} // namespace

class TestTranslateWalk : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void init();
    void cleanup();

    void textsPerKind_data();
    void textsPerKind();
    void comboKeepsSelection();
    void fileDialogKeepsSelectedFilter();
    void germanLeavesEverything();
    void nothingButProgramTextsReachTheTable();
    void unknownTextIsCollected();
    void ownedWindowListedTwiceIsTranslatedOnce();
    void userTypedTextsStay();
    void translateFilter_data();
    void translateFilter();
};

void TestTranslateWalk::init()
{
    QVERIFY(dir.isValid());
    useTranslationRows(dir, rows);
}

void TestTranslateWalk::cleanup()
{
    setLanguageIndex(0);
}

void TestTranslateWalk::textsPerKind_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");

    const struct {
        const char *tag;
        const char *name;
        const char *what;
        const char *english;
        const char *italian;
    } cases[] = {
        {"window title", "window", "title", "Window", "Finestra"},
        {"label", "label", "text", "Label", "Etichetta"},
        {"label hint", "label", "hint", "Hint", "Suggerimento"},
        {"button keeps its blanks", "button", "text", " Button  ", " Pulsante  "},
        {"button hint", "button", "hint", "Hint", "Suggerimento"},
        {"check box", "check", "text", "Tick", "Spuntare"},
        {"check box hint", "check", "hint", "Hint", "Suggerimento"},
        {"radio button", "radio", "text", "Circle", "Cerchio"},
        {"group frame", "group", "text", "Frame", "Cornice"},
        {"menu title", "menu", "text", "File", "File"},
        {"menu item", "open", "text", "Open...", "Apri..."},
        {"menu item hint follows caption", "open", "hint", "Open", "Apri"},
        {"menu item own hint", "hinted", "hint", "Own hint", "Suggerimento proprio"},
        {"tool button hint", "tool", "hint", "Hint", "Suggerimento"},
        {"tool button of an action", "actionTool", "hint", "Own hint", "Suggerimento proprio"},
        {"combo first item", "combo", "0", "One", "Uno"},
        {"combo last item", "combo", "2", "Three", "Tre"},
        {"grid header cell", "grid", "0", "Column", "Colonna"},
        {"grid second header cell", "grid", "1", "Title", "Titolo"},
        {"tree column title", "tree", "0", "List", "Elenco"},
        {"results list column", "results", "0", "Type", "Tipo"},
        {"list view column title", "list", "0", "List", "Elenco"},
        {"numbered columns stay", "numbers", "1", "", ""},
        {"file dialog filter", "fileDialog", "filters",
         "Measurement project (*.ver);;PNG (*.png);;All files (*)",
         "Progetto di misura (*.ver);;PNG (*.png);;Tutti i file (*)"},
        {"filter property", "filterHolder", "filter", "CSV files (*.csv);;All files (*)",
         "File CSV (*.csv);;Tutti i file (*)"},
        {"memo lines", "memo", "text", "First line\nSecond line\n12.5", "Prima riga\nSeconda riga\n12.5"},
        {"rich memo", "rich", "text", "First line", "Prima riga"},
        {"edit text", "edit", "text", "Default", "Predefinito"},
        {"number in an edit", "numberEdit", "text", "123.5", "123.5"},
        {"spin field number", "spin", "text", "42 places", "42 cifre"},
        {"spin field hint", "spin", "hint", "Hint", "Suggerimento"},
        {"decimal spin field", "real", "text", "2.50", "2.50"},
        {"own dialog button", "own", "text", "Cancel", "Annulla"},
        {"tab", "tabs", "text", "Tab", "Scheda"},
        {"number label", "number", "text", "100", "100"},
        {"owned dialog", "dialog", "title", "Dialog", "Finestra di dialogo"},
    };
    for (const auto &c : cases) {
        QTest::addRow("en %s", c.tag) << 1 << c.name << c.what << QString::fromUtf8(c.english);
        QTest::addRow("it %s", c.tag) << 2 << c.name << c.what << QString::fromUtf8(c.italian);
    }
}

void TestTranslateWalk::textsPerKind()
{
    QFETCH(int, language);
    QFETCH(QString, name);
    QFETCH(QString, what);
    QFETCH(QString, expected);

    TestWindow w;
    QString before = w.shown(name, what);
    setLanguageIndex(language);
    translateWindow(w.window.get());
    if (expected.isEmpty())
        expected = before;
    QCOMPARE(w.shown(name, what), expected);
}

void TestTranslateWalk::comboKeepsSelection()
{
    TestWindow w;
    QSignalSpy changes(w.combo, &QComboBox::currentIndexChanged);
    setLanguageIndex(1);
    translateWindow(w.window.get());
    QCOMPARE(w.combo->currentIndex(), 2);
    QCOMPARE(w.combo->currentText(), QStringLiteral("Three"));
    QCOMPARE(changes.count(), 0);
}

void TestTranslateWalk::fileDialogKeepsSelectedFilter()
{
    TestWindow w;
    setLanguageIndex(2);
    translateWindow(w.window.get());
    QCOMPARE(w.fileDialog->selectedNameFilter(), QStringLiteral("Tutti i file (*)"));
}

void TestTranslateWalk::germanLeavesEverything()
{
    TestWindow w;
    setLanguageIndex(0);
    const int before = translationTable().rowCount();
    translateWindow(w.window.get());
    QCOMPARE(w.shown(QStringLiteral("label"), QStringLiteral("text")), QStringLiteral("Beschriftung"));
    QCOMPARE(w.shown(QStringLiteral("button"), QStringLiteral("text")), QStringLiteral(" Knopf  "));
    QCOMPARE(translationTable().rowCount(), before);
}

void TestTranslateWalk::nothingButProgramTextsReachTheTable()
{
    TestWindow w;
    setLanguageIndex(1);
    const int before = translationTable().rowCount();
    translateWindow(w.window.get());
    // Every German text of the window has its row, so nothing may have been added: no numbers,
    // no Qt texts such as the standard button's "Cancel" or a file dialog's "Open", no format
    // names and no text translated twice.
    QStringList added;
    for (int row = before; row < translationTable().rowCount(); ++row)
        added << translationTable().text(row, 0);
    QCOMPARE(added, QStringList());
    QCOMPARE(w.window->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->text(),
             QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text());
}

void TestTranslateWalk::unknownTextIsCollected()
{
    TestWindow w;
    auto *label = w.window->findChild<QLabel *>(QStringLiteral("label"));
    label->setText(QStringLiteral("Noch nicht übersetzt"));
    setLanguageIndex(1);
    translateWindow(w.window.get());
    QCOMPARE(label->text(), QStringLiteral("Noch nicht übersetzt"));
    const int row = translationTable().find(u"Noch nicht übersetzt");
    QVERIFY(row >= 0);

    // Collected at once: the file on disk holds the new row.
    TranslationTable reread;
    reread.setPaths(translationTable().programFile(), QString());
    reread.load();
    QVERIFY(reread.find(u"Noch nicht übersetzt") >= 0);
}

void TestTranslateWalk::ownedWindowListedTwiceIsTranslatedOnce()
{
    TestWindow w;
    // "Dialog" is "Dialog" in English too: a second pass would look up the English text.
    w.dialog->setWindowTitle(QStringLiteral("Fenster"));
    setLanguageIndex(1);
    const int before = translationTable().rowCount();
    translateAllWindows({w.window.get(), w.dialog, w.window.get()});
    QCOMPARE(w.dialog->windowTitle(), QStringLiteral("Window"));
    QCOMPARE(w.window->windowTitle(), QStringLiteral("Window"));
    QCOMPARE(translationTable().rowCount(), before);
}

void TestTranslateWalk::userTypedTextsStay()
{
    TestWindow w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w.typed->setFocus();
    QTest::keyClicks(w.typed, QStringLiteral("Vorgabe"));
    auto *memo = w.window->findChild<QPlainTextEdit *>(QStringLiteral("memo"));
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("Zweite Zeile"));
    const QString typedLines = memo->toPlainText();

    setLanguageIndex(1);
    translateWindow(w.window.get());
    QCOMPARE(w.typed->text(), QStringLiteral("Vorgabe"));
    QCOMPARE(memo->toPlainText(), typedLines);
    QCOMPARE(w.shown(QStringLiteral("edit"), QStringLiteral("text")), QStringLiteral("Default"));
}

void TestTranslateWalk::translateFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one entry") << "CSV-Dateien (*.csv)" << "CSV files (*.csv)";
    QTest::newRow("several patterns") << "Alle Dateien (*.ver *.csv)" << "All files (*.ver *.csv)";
    QTest::newRow("entries") << "Vermessungsprojekt (*.ver);;Alle Dateien (*)"
                             << "Measurement project (*.ver);;All files (*)";
    QTest::newRow("format names") << "PNG (*.png);;JPEG2000 (*.jp2)" << "PNG (*.png);;JPEG2000 (*.jp2)";
    QTest::newRow("without pattern") << "Alle Dateien" << "All files";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("pattern only") << "(*.txt)" << "(*.txt)";
}

void TestTranslateWalk::translateFilter()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    setLanguageIndex(1);
    const int before = translationTable().rowCount();
    QCOMPARE(::translateFilter(filter), expected);
    QCOMPARE(translationTable().rowCount(), before);
}

QTEST_MAIN(TestTranslateWalk)
#include "tst_translatewalk.moc"

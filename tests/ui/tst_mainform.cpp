#include "core/resultsmodel.h"
#include "core/translate.h"
#include "modalscript.h"
#include "tools/editcommands.h"
#include "ui/dialogs/aboutbox.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/widgets/colorswatch.h"

#include <QtTest>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <memory>

namespace {

QStringList actionNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            names << a->objectName();
    return names;
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowTitleAndLayout();
    void menuBarOrder();
    void menuItems_data();
    void menuItems();
    void menuItemOrder_data();
    void menuItemOrder();
    void deleteShortcut();
    void languageItemsExclusive();
    void toolButtons_data();
    void toolButtons();
    void toolButtonsExclusiveNoneDown();
    void openButton();
    void settingsRowCaptions_data();
    void settingsRowCaptions();
    void settingsRowValues();
    void numbersUseDotWhateverTheLocale();
    void scrollBars_data();
    void scrollBars();
    void resultsList();
    void resultsListToggle();
    void drawingSurface();
    void placeholderImage();
    void firstShowing();
    void wheelScrollsVertically_data();
    void wheelScrollsVertically();
    void sizeRule_data();
    void sizeRule();
    void sizeRuleOptionHandler();
    void loadImageFitsZoom();
    void loadImageFailureChangesNothing();
    void commandLineImageLoadedAtFirstShow();
    void aboutBox();
    void destroyedWithUncommittedZoomEdit();

private:
    std::unique_ptr<TMainForm> form;
    QTemporaryDir dir;
};

// The zoom field takes a typed value when it loses the focus, which it does while the window is
// taken apart: nothing of the window may answer by then (the sanitizer run reports any read).
void TestMainForm::destroyedWithUncommittedZoomEdit()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    form->settings.zoomed->setFocus();
    form->settings.zoomed->selectAll();
    QTest::keyClicks(form->settings.zoomed, QStringLiteral("250"));
    QCOMPARE(form->settings.zoomed->value(), 100);
    form.reset();
}

void TestMainForm::initTestCase()
{
    qRegisterMetaType<QMouseEvent *>();
}

void TestMainForm::init()
{
    form = std::make_unique<TMainForm>();
}

void TestMainForm::cleanup()
{
    form.reset();
}

void TestMainForm::windowTitleAndLayout()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Kovrant Tesselon 1.0"));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCOMPARE(form->centralWidget()->width(), 904);
    QCOMPARE(form->height() - form->menuBar()->height(), 555);
    QCOMPARE(form->Panel1->height(), 33);
    QCOMPARE(form->Panel3->width(), 33);
    QCOMPARE(form->tools.ToolBar2->width(), 33);
    QVERIFY(form->Panel1->isAncestorOf(form->Panel3));
    QVERIFY(form->Panel1->isAncestorOf(form->settings.Panel2));
    QVERIFY(form->Panel3->isAncestorOf(form->openBar.ToolBar1));
    QCOMPARE(form->statusBar(), form->StatusBar1);
    QCOMPARE(form->StatusBar1->objectName(), QStringLiteral("StatusBar1"));
    for (const char *name : {"Panel1", "Panel2", "Panel3", "ToolBar1", "ToolBar2", "ScrollBox1", "PaintBox1",
                             "ScrollBar1", "ScrollBar2", "ListView1", "StatusBar1", "OpenBtn", "OpenDialog1"})
        QVERIFY2(form->findChild<QObject *>(QLatin1String(name)), name);
}

void TestMainForm::menuBarOrder()
{
    QStringList titles;
    QStringList names;
    for (const QAction *a : form->menuBar()->actions()) {
        titles << a->text();
        names << a->menu()->objectName();
    }
    QCOMPARE(titles, (QStringList{"Datei", "Bearbeiten", "Einstellungen", "Maßstab", "Sprache", "Hilfe"}));
    QCOMPARE(names, (QStringList{"Datei1", "Bearbeiten1", "Einstellungen1", "Mastab1", "Sprache1", "Hilfe1"}));
}

void TestMainForm::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("check"); // -1 no check mark, 0 unticked, 1 ticked
    QTest::addColumn<bool>("enabled");

    const auto row = [](const char *name, const char *caption, int check, bool enabled) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << check << enabled;
    };
    row("Neu1", "Linien Neu", -1, true);
    row("Bildffnen1", "Bild öffnen...", -1, true);
    row("AlsBildspeichern1", "Als Bild speichern mit Hintergrund...", -1, true);
    row("AlsBildspeichernnurLinien1", "Als Bild speichern nur Linien...", -1, true);
    row("Projektffnen1", "Projekt öffnen...", -1, true);
    row("Projektspeichern1", "Projekt speichern...", -1, true);
    row("MessergebnissealsCSVDateiexportieren1", "Messergebnisse als CSV Datei exportieren...", -1, true);
    row("exportResultsXlsx", "Messergebnisse als XLSX-Datei exportieren...", -1, true);
    row("LinienalsSVGspeichern1", "Linien als SVG exportieren....", -1, true);
    row("LinienalsDXFexportieren1", "Linien als EMF exportieren...", -1, true);
    row("LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
        "Linien als DXF für CNC exportieren (Kreisbögen, keine Splines)...", -1, true);
    row("Druckereinrichten1", "Drucker einrichten...", -1, true);
    row("Drucken1", "Drucken mit Bild...", -1, true);
    row("DruckenohneBild1", "Drucken ohne Bild...", -1, true);
    row("Druckenimeingestellten11Mastab1", "Drucken im eingestellten Maßstab 1:1...", -1, true);
    row("Scannen1", "Scannen...", -1, true);
    row("Scannerwhlen1", "Scanner wählen...", -1, true);
    row("Beenen1", "Beenden", -1, true);
    row("Speichern1", "Speichern", -1, true);
    row("Rckgngig1", "Rückgängig", -1, false);
    row("Wiederholen1", "Wiederholen", -1, false);
    row("Kopieren1", "Kopieren", -1, true);
    row("Einfgen1", "Einfügen", -1, true);
    row("Lschen1", "Löschen", -1, true);
    row("Beschreibungbearbeiten1", "Bezeichnung bearbeiten", -1, true);
    row("Schriftart1", "Schriftart...", -1, true);
    row("Nachkommastellen1", "Nachkommastellen...", -1, true);
    row("PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1",
        "Pfeillänge und Schriftgröße dem Bild anpassen", 1, true);
    row("BezeichnungfrElementeeingebenlassen1", "Bezeichnung für Elemente gleich mit abfragen", 1, true);
    row("NachMessungwiederdenZeigerauswhlen1", "Nach Messung wieder den Zeiger auswählen", 0, true);
    row("SchriftumrandenumdieLesbarkeitzuverbessern1", "Schrift umranden, um die Lesbarkeit zu verbessern", 0, true);
    row("Ergebnisslisteanzeigen1", "Ergebnisliste anzeigen", 1, true);
    row("Vergrern1", "Vergrößern", -1, true);
    row("Verkleinern1", "Verkleinern", -1, true);
    row("GanzesBildzeigen1", "Ganzes Bild zeigen", -1, true);
    row("Lupeanzeigen1", "Lupe beim Messen anzeigen", 0, true);
    row("Grafisch1", "Grafisch", -1, true);
    row("Numerisch1", "Numerisch", -1, true);
    row("Anzeigen1", "Anzeigen", 1, true);
    row("Deutsch1", "Deutsch", 1, true);
    row("English1", "English", 0, true);
    row("Italiano1", "Italiano", 0, true);
    row("bersetzen1", "Übersetzen...", -1, true);
    row("berdasProgramm1", "Über das Programm", -1, true);
}

void TestMainForm::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(int, check);
    QFETCH(bool, enabled);

    const auto matches = form->findChildren<QAction *>(name);
    QCOMPARE(matches.size(), 1);
    const QAction *action = matches.first();
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->isCheckable(), check >= 0);
    if (check >= 0)
        QCOMPARE(action->isChecked(), check == 1);
    QCOMPARE(action->isEnabled(), enabled);
    QCOMPARE(action->associatedObjects().isEmpty(), false);
}

void TestMainForm::menuItemOrder_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("Datei") << "Datei1"
                           << QStringList{"Neu1",
                                          "Bildffnen1",
                                          "AlsBildspeichern1",
                                          "AlsBildspeichernnurLinien1",
                                          "Projektffnen1",
                                          "Zuletztgeffnet1",
                                          "Speichern1",
                                          "Projektspeichern1",
                                          "MessergebnissealsCSVDateiexportieren1",
                                          "exportResultsXlsx",
                                          "LinienalsSVGspeichern1",
                                          "LinienalsDXFexportieren1",
                                          "LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
                                          "Druckereinrichten1",
                                          "Drucken1",
                                          "DruckenohneBild1",
                                          "Druckenimeingestellten11Mastab1",
                                          "Scannen1",
                                          "Scannerwhlen1",
                                          "Beenen1"};
    QTest::newRow("Bearbeiten") << "Bearbeiten1"
                                << QStringList{"Rckgngig1", "Wiederholen1", "Kopieren1", "Einfgen1", "Lschen1",
                                               "Beschreibungbearbeiten1"};
    QTest::newRow("Einstellungen") << "Einstellungen1"
                                   << QStringList{"Schriftart1",
                                                  "Nachkommastellen1",
                                                  "PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1",
                                                  "BezeichnungfrElementeeingebenlassen1",
                                                  "NachMessungwiederdenZeigerauswhlen1",
                                                  "SchriftumrandenumdieLesbarkeitzuverbessern1",
                                                  "Ergebnisslisteanzeigen1",
                                                  "SegmenteinderErgebnisliste1",
                                                  "CSVohneSeiten1",
                                                  "Unsicherheitanzeigen1",
                                                  "UnsicherheitinBeschriftungen1",
                                                  "NachkommastellenpassendzurGenauigkeit1",
                                                  "SeitenlngeninderZeichnung1",
                                                  "Vergrern1",
                                                  "Verkleinern1",
                                                  "GanzesBildzeigen1",
                                                  "Lupeanzeigen1"};
    QTest::newRow("Maßstab") << "Mastab1" << QStringList{"Grafisch1", "Numerisch1", "AusAuflsungundPlanmastab1",
                                                              "Perspektiveentzerren1", "Anzeigen1", "Mastabprfen1",
                                                              "MastabXYgetrennt1"};
    QTest::newRow("Sprache") << "Sprache1" << QStringList{"Deutsch1", "English1", "Italiano1", "bersetzen1"};
    QTest::newRow("Hilfe") << "Hilfe1" << QStringList{"berdasProgramm1"};
}

void TestMainForm::menuItemOrder()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    const QMenu *m = form->findChild<QMenu *>(menu);
    QVERIFY(m);
    QCOMPARE(actionNames(m), items);
}

void TestMainForm::deleteShortcut()
{
    QCOMPARE(form->menus.deleteElement->shortcut(), QKeySequence(Qt::Key_Delete));
    // The history and saving have the keys every program has for them.
    const auto *undo = form->findChild<QAction *>(QStringLiteral("Rckgngig1"));
    const auto *redo = form->findChild<QAction *>(QStringLiteral("Wiederholen1"));
    const auto *save = form->findChild<QAction *>(QStringLiteral("Speichern1"));
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(redo->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    // Besides these, only the desktop keys tested with the keyboard elsewhere have shortcuts.
    const QStringList desktopKeys{"Projektffnen1", "Projektspeichern1", "Bildffnen1", "Drucken1", "Kopieren1",
                                  "Einfgen1",      "Beenen1",    "berdasProgramm1",   "Vergrern1",
                                  "Verkleinern1",  "GanzesBildzeigen1", "Lupeanzeigen1"};
    for (const QAction *a : form->findChildren<QAction *>(Qt::FindDirectChildrenOnly))
        if (a != form->menus.deleteElement && a != undo && a != redo && a != save && !desktopKeys.contains(a->objectName()))
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
}

void TestMainForm::languageItemsExclusive()
{
    const MainMenus &m = form->menus;
    QCOMPARE(m.languageGroup->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    m.english->setChecked(true);
    QVERIFY(!m.german->isChecked());
    QVERIFY(!m.italian->isChecked());
    m.italian->setChecked(true);
    QVERIFY(!m.english->isChecked());
    QCOMPARE(m.languageItem(1), m.english);
    QCOMPARE(m.languageItem(3), nullptr);
}

void TestMainForm::toolButtons_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");

    const char *rows[][2] = {
        {"ZeigerBtn", "Objekte auswählen"},
        {"HandBtn", "Ansicht verschieben"},
        {"DimensionBtn", "Abstand messen; STRG/ALT Taste für horizontale/vertikale Linie"},
        {"StreckeBtn", "Gesamtstrecke vermessen; STRG/ALT Taste für horizontale/vertikale Linie"},
        {"PolygonBtn", "Polygon-Fläche messen; STRG/ALT Taste für horizontale/vertikale Linie"},
        {"RectBtn", "Rechteck Messung; STRG für Quadrat"},
        {"CircleBtn", "Ellipse (STRG gedrückt halten für Kreis)"},
        {"SchraegBtn", "Geneigte Strecke messen, z.B. Dachschräge messen; Winkel muss bekannt sein"},
        {"massstabBtn", "Maßstab grafisch ermitteln"},
        {"TextBtn", "Beschriftung hinzufügen"},
        {"AngleBtn", "Winkel messen"},
    };
    int position = 0;
    for (const auto &r : rows) {
        QTest::newRow(r[0]) << position << QString::fromLatin1(r[0]) << QString::fromUtf8(r[1]);
        ++position;
    }
}

void TestMainForm::toolButtons()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(QString, hint);

    QToolButton *button = form->tools.all().at(static_cast<std::size_t>(position));
    QCOMPARE(button->objectName(), name);
    QCOMPARE(button->toolTip(), hint);
    QVERIFY(button->isCheckable());
    QCOMPARE(button->size(), QSize(31, 31));
    QCOMPARE(button->iconSize(), QSize(24, 24));
    QCOMPARE(form->tools.ToolBar2->widgetForAction(form->tools.ToolBar2->actions().at(position)), button);

    // The icon is drawn, not an empty placeholder.
    const QImage icon = button->icon().pixmap(24, 24).toImage();
    QVERIFY(!icon.isNull());
    int painted = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            painted += qAlpha(icon.pixel(x, y)) > 128;
    QVERIFY2(painted > 20, qPrintable(name));
}

void TestMainForm::toolButtonsExclusiveNoneDown()
{
    const ToolButtons &t = form->tools;
    QVERIFY(t.group->exclusive());
    QCOMPARE(t.group->buttons().size(), 11);
    QCOMPARE(t.group->checkedButton(), nullptr);
    t.RectBtn->setChecked(true);
    t.AngleBtn->setChecked(true);
    QVERIFY(!t.RectBtn->isChecked());
    QCOMPARE(t.group->checkedButton(), t.AngleBtn);
}

void TestMainForm::openButton()
{
    QToolButton *open = form->openBar.OpenBtn;
    QCOMPARE(open->objectName(), QStringLiteral("OpenBtn"));
    QCOMPARE(open->toolTip(), QStringLiteral("Bild öffnen"));
    QVERIFY(!open->icon().isNull());
    // The button follows the menu command it stands for.
    QCOMPARE(open->isEnabled(), form->menus.openPicture->isEnabled());
    form->menus.openPicture->setEnabled(true);
    QVERIFY(open->isEnabled());
    QSignalSpy triggered(form->menus.openPicture, &QAction::triggered);
    ModalScript script({rejectDialog()});
    open->click();
    QVERIFY(script.finished());
    QCOMPARE(triggered.size(), 1);
}

void TestMainForm::settingsRowCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Label1") << "Label1" << "Zoom:";
    QTest::newRow("ChooseColorBtn") << "ChooseColorBtn" << "Farbe wählen";
    QTest::newRow("FontBtn") << "FontBtn" << "Schrift...";
    QTest::newRow("Label2") << "Label2" << "Linienbreite:";
    QTest::newRow("Label3") << "Label3" << "Pfeillänge";
    QTest::newRow("ShowPicCheck") << "ShowPicCheck" << "Zeige Bild";
}

void TestMainForm::settingsRowCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget *w = form->settings.Panel2->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->property("text").toString(), caption);
}

void TestMainForm::settingsRowValues()
{
    const SettingsRow &s = form->settings;
    QCOMPARE(s.zoomed->minimum(), 10);
    QCOMPARE(s.zoomed->maximum(), 30000);
    QCOMPARE(s.zoomed->singleStep(), 10);
    QCOMPARE(s.zoomed->value(), 100);
    QVERIFY(s.zoomed->alignment() & Qt::AlignRight);

    QCOMPARE(s.WidthEd->minimum(), 0.1);
    QCOMPARE(s.WidthEd->maximum(), 10.0);
    QCOMPARE(s.WidthEd->value(), 2.0);
    QCOMPARE(s.PfeillangEd->minimum(), 0.1);
    QCOMPARE(s.PfeillangEd->maximum(), 1000.0);
    QCOMPARE(s.PfeillangEd->value(), 30.0);

    QCOMPARE(s.Shape1->objectName(), QStringLiteral("Shape1"));
    QCOMPARE(s.Shape1->size(), QSize(40, 22));
    QCOMPARE(s.Shape1->brushColor(), QColor(Qt::red));
    QVERIFY(s.ShowPicCheck->isChecked());

    QCOMPARE(form->workspace().labelFont().font.family(), QStringLiteral("Tahoma"));
    QCOMPARE(form->workspace().labelFont().font.pixelSize(), 15);
    QCOMPARE(form->workspace().labelFont().color, QColor(Qt::red));
}

void TestMainForm::numbersUseDotWhateverTheLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TMainForm german;
    QLocale::setDefault(previous);

    QCOMPARE(german.settings.WidthEd->text(), QStringLiteral("2.00"));
    QCOMPARE(german.settings.PfeillangEd->text(), QStringLiteral("30.00"));
    german.settings.PfeillangEd->findChild<QLineEdit *>()->setText(QStringLiteral("12.5"));
    german.settings.PfeillangEd->interpretText();
    QCOMPARE(german.settings.PfeillangEd->value(), 12.5);
    german.settings.zoomed->setValue(12000);
    QCOMPARE(german.settings.zoomed->text(), QStringLiteral("12000"));
}

void TestMainForm::scrollBars_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("orientation");
    QTest::newRow("ScrollBar1") << "ScrollBar1" << int(Qt::Horizontal);
    QTest::newRow("ScrollBar2") << "ScrollBar2" << int(Qt::Vertical);
}

void TestMainForm::scrollBars()
{
    QFETCH(QString, name);
    QFETCH(int, orientation);
    const QScrollBar *bar = form->findChild<QScrollBar *>(name);
    QVERIFY(bar);
    QCOMPARE(int(bar->orientation()), orientation);
    QCOMPARE(bar->minimum(), -10000);
    QCOMPARE(bar->maximum(), 10000);
    QCOMPARE(bar->singleStep(), 10);
    QCOMPARE(bar->pageStep(), 50);
    QCOMPARE(bar->value(), 0);
}

void TestMainForm::resultsList()
{
    QTreeView *list = form->ListView1;
    QCOMPARE(list->width(), 280);
    QVERIFY(!list->rootIsDecorated());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(list->model(), form->results);

    const QStringList captions{"Typ", "Bezeichnung", "Länge/Umfang", "Flächeninhalt", "Winkel"};
    const int widths[] = {50, 75, 75, 75, 75};
    QCOMPARE(list->model()->columnCount(), captions.size());
    for (int c = 0; c < captions.size(); ++c) {
        QCOMPARE(list->model()->headerData(c, Qt::Horizontal).toString(), captions.at(c));
        QCOMPARE(list->header()->sectionSize(c), widths[c]);
    }
    QCOMPARE(list->model()->rowCount(), 0);

    // A repaint measures the elements and lists them.
    Telemente *e = form->workspace().document().appendElement();
    QVERIFY(e);
    e->typ = TypRectangle;
    e->x1 = 10;
    e->y1 = 10;
    e->x2 = 40;
    e->y2 = 30;
    form->PaintBox1Paint();
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(form->results->text(0, ResultsModel::ColumnFlaeche), QStringLiteral("600.0000"));
}

void TestMainForm::resultsListToggle()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(form->ListView1->isVisible());
    form->menus.showResultsList->trigger();
    QVERIFY(!form->menus.showResultsList->isChecked());
    QVERIFY(!form->ListView1->isVisible());
    form->menus.showResultsList->trigger();
    QVERIFY(form->ListView1->isVisible());

    // Hidden with the list switched off, the window stores the check mark; showing it again
    // restores the mark and the list follows it.
    form->menus.showResultsList->trigger();
    form->hide();
    form->menus.showResultsList->setChecked(true);
    form->show();
    QVERIFY(!form->menus.showResultsList->isChecked());
    QVERIFY(!form->ListView1->isVisible());

    // Switched on again, so that the stored mark a later start reads is the initial one.
    form->menus.showResultsList->trigger();
    QVERIFY(form->ListView1->isVisible());
}

void TestMainForm::drawingSurface()
{
    QVERIFY(form->ScrollBox1->isAncestorOf(form->PaintBox1));
    QCOMPARE(form->ScrollBox1->backgroundRole(), QPalette::Dark);
    QVERIFY(form->ScrollBox1->autoFillBackground());

    // The surface shows the back buffer as it is.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->backBuffer() = QImage(form->PaintBox1->size(), QImage::Format_RGB32);
    form->backBuffer().fill(QColor(10, 200, 30));
    form->backBuffer().setPixelColor(3, 4, QColor(250, 0, 0));
    const QImage shown = form->PaintBox1->grab().toImage();
    QCOMPARE(shown.pixelColor(0, 0), QColor(10, 200, 30));
    QCOMPARE(shown.pixelColor(3, 4), QColor(250, 0, 0));

    // Mouse events go to the window's tools.
    QSignalSpy pressed(form->PaintBox1, &PaintBox::mousePressed);
    QSignalSpy released(form->PaintBox1, &PaintBox::mouseReleased);
    QTest::mouseClick(form->PaintBox1, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QCOMPARE(pressed.size(), 1);
    QCOMPARE(released.size(), 1);
}

void TestMainForm::placeholderImage()
{
    const dib &di = form->workspace().picture();
    QVERIFY(di.poi);
    QCOMPARE(DibWidth(di), 320);
    QCOMPARE(DibHeight(di), 320);
    QCOMPARE(DibBitCount(di), 24);
    QCOMPARE(di.bytew, 960);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 960; ++x)
            if (dibRow(di, y)[x] != 255)
                QFAIL(qPrintable(QStringLiteral("byte %1 of row %2 is not white").arg(x).arg(y)));
}

void TestMainForm::firstShowing()
{
    QVERIFY(!form->shownOnce());
    QCOMPARE(form->workspace().scale().pixelLength, 1.0);
    QCOMPARE(form->workspace().scale().realLength, 1.0);
    QVERIFY(form->programFolder().endsWith(QLatin1Char('/')));
    QCOMPARE(form->workspace().document().count(), 0);
    QVERIFY(!form->editCommands().copyBuffer().kopiert());
    QVERIFY(form->backBuffer().isNull());

    form->show();
    QVERIFY(form->shownOnce());
    QCOMPARE(form->workspace().numberSettings().unit, Message(3));
    QCOMPARE(languageIndex(), form->language());
    QVERIFY(form->menus.languageItem(form->language())->isChecked());
    QVERIFY(!form->OpenDialog1->nameFilters().isEmpty());
}

void TestMainForm::wheelScrollsVertically_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::newRow("towards the user") << 0 << -120 << 20;
    QTest::newRow("away from the user") << 0 << 120 << -20;
    QTest::newRow("two notches") << 100 << -240 << 140;
    QTest::newRow("held at the limit") << 9990 << -120 << 10000;
    QTest::newRow("beyond the limit") << 10000 << -120 << 10000;
    QTest::newRow("half a notch") << 0 << -60 << 0;
}

void TestMainForm::wheelScrollsVertically()
{
    QFETCH(int, start);
    QFETCH(int, delta);
    QFETCH(int, expected);
    form->ScrollBar2->setValue(start);
    const QPointF at(10, 10);
    QWheelEvent wheel(at, form->PaintBox1->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.get(), &wheel);
    QCOMPARE(form->ScrollBar2->value(), expected);
    QCOMPARE(form->ScrollBar1->value(), 0);
}

void TestMainForm::sizeRule_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<double>("arrow");
    QTest::addColumn<int>("fontHeight");
    QTest::newRow("100") << 100 << 30.0 << 15;
    QTest::newRow("50") << 50 << 60.0 << 30;
    QTest::newRow("57") << 57 << 52.63 << 26;
    QTest::newRow("200, half to even") << 200 << 15.0 << 8;
    QTest::newRow("10") << 10 << 300.0 << 150;
}

void TestMainForm::sizeRule()
{
    QFETCH(int, zoom);
    QFETCH(double, arrow);
    QFETCH(int, fontHeight);
    form->settings.zoomed->setValue(zoom);
    form->applySizeRule();
    // Shown with two decimals, kept exactly.
    QCOMPARE(form->settings.PfeillangEd->text(), QString::number(arrow, 'f', 2));
    QCOMPARE(form->settings.PfeillangEd->value(), 3000.0 / zoom);
    QCOMPARE(form->workspace().labelFont().font.pixelSize(), fontHeight);
}

void TestMainForm::sizeRuleOptionHandler()
{
    QAction *option = form->menus.presetSizesOnOpen;
    form->settings.zoomed->setValue(200);
    option->trigger(); // ticked -> unticked: nothing else changes
    QVERIFY(!option->isChecked());
    QCOMPARE(form->settings.PfeillangEd->value(), 30.0);
    option->trigger(); // ticked again: applied at once
    QVERIFY(option->isChecked());
    QCOMPARE(form->settings.PfeillangEd->value(), 15.0);
    QCOMPARE(form->workspace().labelFont().font.pixelSize(), 8);
}

void TestMainForm::loadImageFitsZoom()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QString file = dir.filePath(QStringLiteral("wide.png"));
    QImage picture(1000, 40, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(file));

    QVERIFY(form->LadeBild(file));
    QCOMPARE(DibWidth(form->workspace().picture()), 1000);
    QCOMPARE(DibHeight(form->workspace().picture()), 40);
    const int zoom = form->PaintBox1->width() * 100 / 1000;
    QCOMPARE(form->settings.zoomed->value(), qMax(10, zoom));
    QCOMPARE(form->settings.PfeillangEd->text(),
             QString::number(std::round(300000.0 / form->settings.zoomed->value()) / 100.0, 'f', 2));
    QCOMPARE(form->settings.PfeillangEd->value(), 3000.0 / form->settings.zoomed->value());
}

void TestMainForm::loadImageFailureChangesNothing()
{
    const QString file = dir.filePath(QStringLiteral("broken.png"));
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n not really");
    broken.close();

    form->settings.zoomed->setValue(250);
    const std::uint8_t *before = form->workspace().picture().poi;
    ModalScript script({rejectDialog()});
    QVERIFY(!form->LadeBild(file));
    QVERIFY(script.finished());
    QCOMPARE(form->workspace().picture().poi, before);
    QCOMPARE(DibWidth(form->workspace().picture()), 320);
    QCOMPARE(form->settings.zoomed->value(), 250);
    QCOMPARE(form->settings.PfeillangEd->value(), 30.0);
}

void TestMainForm::commandLineImageLoadedAtFirstShow()
{
    const QString file = dir.filePath(QStringLiteral("start.png"));
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(file));

    form->setCommandLineImage(file);
    QCOMPARE(DibWidth(form->workspace().picture()), 320);
    form->show();
    QTRY_COMPARE(DibWidth(form->workspace().picture()), 64);
    QCOMPARE(DibHeight(form->workspace().picture()), 48);

    // Later showings do not load it again.
    const QString other = dir.filePath(QStringLiteral("other.png"));
    QVERIFY(QImage(30, 20, QImage::Format_RGB32).save(other));
    QVERIFY(form->LadeBild(other));
    form->hide();
    form->show();
    QCOMPARE(DibWidth(form->workspace().picture()), 30);
}

void TestMainForm::aboutBox()
{
    QVERIFY(form->AboutBox);
    QCOMPARE(form->AboutBox->windowTitle(), QStringLiteral("Info"));
    const auto labels = form->AboutBox->findChildren<QLabel *>();
    const bool named = std::any_of(labels.begin(), labels.end(),
                                   [](const QLabel *l) { return l->text() == QStringLiteral("Kovrant Tesselon 1.0"); });
    QVERIFY(named);
    ModalScript script({rejectDialog()});
    form->menus.about->trigger();
    QVERIFY(script.finished());
    QVERIFY(!form->AboutBox->isVisible());
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"

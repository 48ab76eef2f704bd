#include "ui/mainwindow/mainmenus.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

enum class Check { None, Off, On };

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *addItem(QMenu *menu, QObject *owner, const char *name, const QString &caption,
                 Check check = Check::None)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    if (check != Check::None) {
        action->setCheckable(true);
        action->setChecked(check == Check::On);
    }
    // Qt would otherwise move items such as "Beenden" or "Über das Programm" on some platforms.
    action->setMenuRole(QAction::NoRole);
    menu->addAction(action);
    return action;
}

} // namespace

QAction *MainMenus::languageItem(int index) const
{
    switch (index) {
    case 0: return german;
    case 1: return english;
    case 2: return italian;
    default: return nullptr;
    }
}

MainMenus buildMainMenus(QMenuBar *bar, QObject *owner)
{
    MainMenus m;

    m.fileMenu = addMenu(bar, "Datei1", QStringLiteral("Datei"));
    m.newLines = addItem(m.fileMenu, owner, "Neu1", QStringLiteral("Linien Neu"));
    m.openPicture = addItem(m.fileMenu, owner, "Bildffnen1", QStringLiteral("Bild öffnen..."));
    m.fileMenu->addSeparator();
    m.savePicture = addItem(m.fileMenu, owner, "AlsBildspeichern1",
                                  QStringLiteral("Als Bild speichern mit Hintergrund..."));
    m.saveLinesAsPicture = addItem(m.fileMenu, owner, "AlsBildspeichernnurLinien1",
                                           QStringLiteral("Als Bild speichern nur Linien..."));
    m.fileMenu->addSeparator();
    m.openProject = addItem(m.fileMenu, owner, "Projektffnen1", QStringLiteral("Projekt öffnen..."));
    m.saveProjectAs = addItem(m.fileMenu, owner, "Projektspeichern1", QStringLiteral("Projekt speichern..."));
    m.fileMenu->addSeparator();
    m.exportResultsCsv =
        addItem(m.fileMenu, owner, "MessergebnissealsCSVDateiexportieren1",
                QStringLiteral("Messergebnisse als CSV Datei exportieren..."));
    m.exportResultsXlsx = addItem(m.fileMenu, owner, "exportResultsXlsx",
                                  QStringLiteral("Messergebnisse als XLSX-Datei exportieren..."));
    m.exportLinesSvg = addItem(m.fileMenu, owner, "LinienalsSVGspeichern1",
                                       QStringLiteral("Linien als SVG exportieren...."));
    m.exportLinesEmf = addItem(m.fileMenu, owner, "LinienalsDXFexportieren1",
                                         QStringLiteral("Linien als EMF exportieren..."));
    m.exportLinesDxf =
        addItem(m.fileMenu, owner, "LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
                QStringLiteral("Linien als DXF für CNC exportieren (Kreisbögen, keine Splines)..."));
    m.fileMenu->addSeparator();
    m.printerSetup = addItem(m.fileMenu, owner, "Druckereinrichten1", QStringLiteral("Drucker einrichten..."));
    m.print = addItem(m.fileMenu, owner, "Drucken1", QStringLiteral("Drucken mit Bild..."));
    m.printWithoutPicture = addItem(m.fileMenu, owner, "DruckenohneBild1", QStringLiteral("Drucken ohne Bild..."));
    m.printAtScale = addItem(m.fileMenu, owner, "Druckenimeingestellten11Mastab1",
                                                QStringLiteral("Drucken im eingestellten Maßstab 1:1..."));
    m.fileMenu->addSeparator();
    m.scan = addItem(m.fileMenu, owner, "Scannen1", QStringLiteral("Scannen..."));
    m.selectScanner = addItem(m.fileMenu, owner, "Scannerwhlen1", QStringLiteral("Scanner wählen..."));
    m.fileMenu->addSeparator();
    m.quit = addItem(m.fileMenu, owner, "Beenen1", QStringLiteral("Beenden"));

    m.editMenu = addMenu(bar, "Bearbeiten1", QStringLiteral("Bearbeiten"));
    m.copy = addItem(m.editMenu, owner, "Kopieren1", QStringLiteral("Kopieren"));
    m.paste = addItem(m.editMenu, owner, "Einfgen1", QStringLiteral("Einfügen"));
    m.deleteElement = addItem(m.editMenu, owner, "Lschen1", QStringLiteral("Löschen"));
    m.deleteElement->setShortcut(QKeySequence(Qt::Key_Delete));
    m.editDescription = addItem(m.editMenu, owner, "Beschreibungbearbeiten1",
                                        QStringLiteral("Bezeichnung bearbeiten"));

    m.settingsMenu = addMenu(bar, "Einstellungen1", QStringLiteral("Einstellungen"));
    m.labelFont = addItem(m.settingsMenu, owner, "Schriftart1", QStringLiteral("Schriftart..."));
    m.decimals = addItem(m.settingsMenu, owner, "Nachkommastellen1", QStringLiteral("Nachkommastellen..."));
    m.settingsMenu->addSeparator();
    m.presetSizesOnOpen =
        addItem(m.settingsMenu, owner, "PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1",
                QStringLiteral("Pfeillänge und Schriftgröße dem Bild anpassen"), Check::On);
    m.askElementNames =
        addItem(m.settingsMenu, owner, "BezeichnungfrElementeeingebenlassen1",
                QStringLiteral("Bezeichnung für Elemente gleich mit abfragen"), Check::On);
    m.pointerAfterMeasuring =
        addItem(m.settingsMenu, owner, "NachMessungwiederdenZeigerauswhlen1",
                QStringLiteral("Nach Messung wieder den Zeiger auswählen"), Check::Off);
    m.outlineText =
        addItem(m.settingsMenu, owner, "SchriftumrandenumdieLesbarkeitzuverbessern1",
                QStringLiteral("Schrift umranden, um die Lesbarkeit zu verbessern"), Check::Off);
    m.showResultsList = addItem(m.settingsMenu, owner, "Ergebnisslisteanzeigen1",
                                        QStringLiteral("Ergebnisliste anzeigen"), Check::On);

    m.scaleMenu = addMenu(bar, "Mastab1", QStringLiteral("Maßstab"));
    m.graphicScale = addItem(m.scaleMenu, owner, "Grafisch1", QStringLiteral("Grafisch"));
    m.numericScale = addItem(m.scaleMenu, owner, "Numerisch1", QStringLiteral("Numerisch"));
    m.scaleFromResolution = addItem(m.scaleMenu, owner, "AusAuflsungundPlanmastab1",
                                          QStringLiteral("Aus Auflösung und Planmaßstab..."));
    m.straightenPerspective = addItem(m.scaleMenu, owner, "Perspektiveentzerren1",
                                      QStringLiteral("Perspektive entzerren..."));
    m.scaleMenu->addSeparator();
    m.showScaleLine = addItem(m.scaleMenu, owner, "Anzeigen1", QStringLiteral("Anzeigen"), Check::On);

    m.languageMenu = addMenu(bar, "Sprache1", QStringLiteral("Sprache"));
    m.german = addItem(m.languageMenu, owner, "Deutsch1", QStringLiteral("Deutsch"), Check::On);
    m.english = addItem(m.languageMenu, owner, "English1", QStringLiteral("English"), Check::Off);
    m.italian = addItem(m.languageMenu, owner, "Italiano1", QStringLiteral("Italiano"), Check::Off);
    m.languageGroup = new QActionGroup(owner);
    m.languageGroup->setObjectName(QStringLiteral("LanguageGroup"));
    m.languageGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction *language : {m.german, m.english, m.italian})
        m.languageGroup->addAction(language);
    m.languageMenu->addSeparator();
    m.editTranslations = addItem(m.languageMenu, owner, "bersetzen1", QStringLiteral("Übersetzen..."));

    m.helpMenu = addMenu(bar, "Hilfe1", QStringLiteral("Hilfe"));
    m.about = addItem(m.helpMenu, owner, "berdasProgramm1", QStringLiteral("Über das Programm"));

    return m;
}

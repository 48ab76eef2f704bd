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
    case 0: return Deutsch1;
    case 1: return English1;
    case 2: return Italiano1;
    default: return nullptr;
    }
}

MainMenus buildMainMenus(QMenuBar *bar, QObject *owner)
{
    MainMenus m;

    m.Datei1 = addMenu(bar, "Datei1", QStringLiteral("Datei"));
    m.Neu1 = addItem(m.Datei1, owner, "Neu1", QStringLiteral("Linien Neu"));
    m.Bildffnen1 = addItem(m.Datei1, owner, "Bildffnen1", QStringLiteral("Bild öffnen..."));
    m.Datei1->addSeparator();
    m.AlsBildspeichern1 = addItem(m.Datei1, owner, "AlsBildspeichern1",
                                  QStringLiteral("Als Bild speichern mit Hintergrund..."));
    m.AlsBildspeichernnurLinien1 = addItem(m.Datei1, owner, "AlsBildspeichernnurLinien1",
                                           QStringLiteral("Als Bild speichern nur Linien..."));
    m.Datei1->addSeparator();
    m.Projektffnen1 = addItem(m.Datei1, owner, "Projektffnen1", QStringLiteral("Projekt öffnen..."));
    m.Projektspeichern1 = addItem(m.Datei1, owner, "Projektspeichern1", QStringLiteral("Projekt speichern..."));
    m.Datei1->addSeparator();
    m.MessergebnissealsCSVDateiexportieren1 =
        addItem(m.Datei1, owner, "MessergebnissealsCSVDateiexportieren1",
                QStringLiteral("Messergebnisse als CSV Datei exportieren..."));
    m.exportResultsXlsx = addItem(m.Datei1, owner, "exportResultsXlsx",
                                  QStringLiteral("Messergebnisse als XLSX-Datei exportieren..."));
    m.LinienalsSVGspeichern1 = addItem(m.Datei1, owner, "LinienalsSVGspeichern1",
                                       QStringLiteral("Linien als SVG exportieren...."));
    m.LinienalsDXFexportieren1 = addItem(m.Datei1, owner, "LinienalsDXFexportieren1",
                                         QStringLiteral("Linien als EMF exportieren..."));
    m.LinienDXFfrCNCexportierenKreisbgenkeineSplines1 =
        addItem(m.Datei1, owner, "LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
                QStringLiteral("Linien als DXF für CNC exportieren (Kreisbögen, keine Splines)..."));
    m.Datei1->addSeparator();
    m.Druckereinrichten1 = addItem(m.Datei1, owner, "Druckereinrichten1", QStringLiteral("Drucker einrichten..."));
    m.Drucken1 = addItem(m.Datei1, owner, "Drucken1", QStringLiteral("Drucken mit Bild..."));
    m.DruckenohneBild1 = addItem(m.Datei1, owner, "DruckenohneBild1", QStringLiteral("Drucken ohne Bild..."));
    m.Druckenimeingestellten11Mastab1 = addItem(m.Datei1, owner, "Druckenimeingestellten11Mastab1",
                                                QStringLiteral("Drucken im eingestellten Maßstab 1:1..."));
    m.Datei1->addSeparator();
    m.Scannen1 = addItem(m.Datei1, owner, "Scannen1", QStringLiteral("Scannen..."));
    m.Scannerwhlen1 = addItem(m.Datei1, owner, "Scannerwhlen1", QStringLiteral("Scanner wählen..."));
    m.Datei1->addSeparator();
    m.Beenen1 = addItem(m.Datei1, owner, "Beenen1", QStringLiteral("Beenden"));

    m.Bearbeiten1 = addMenu(bar, "Bearbeiten1", QStringLiteral("Bearbeiten"));
    m.Kopieren1 = addItem(m.Bearbeiten1, owner, "Kopieren1", QStringLiteral("Kopieren"));
    m.Einfgen1 = addItem(m.Bearbeiten1, owner, "Einfgen1", QStringLiteral("Einfügen"));
    m.Lschen1 = addItem(m.Bearbeiten1, owner, "Lschen1", QStringLiteral("Löschen"));
    m.Lschen1->setShortcut(QKeySequence(Qt::Key_Delete));
    m.Beschreibungbearbeiten1 = addItem(m.Bearbeiten1, owner, "Beschreibungbearbeiten1",
                                        QStringLiteral("Bezeichnung bearbeiten"));

    m.Einstellungen1 = addMenu(bar, "Einstellungen1", QStringLiteral("Einstellungen"));
    m.Schriftart1 = addItem(m.Einstellungen1, owner, "Schriftart1", QStringLiteral("Schriftart..."));
    m.Nachkommastellen1 = addItem(m.Einstellungen1, owner, "Nachkommastellen1", QStringLiteral("Nachkommastellen..."));
    m.Einstellungen1->addSeparator();
    m.PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1 =
        addItem(m.Einstellungen1, owner, "PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1",
                QStringLiteral("Pfeillänge und Schriftgröße dem Bild anpassen"), Check::On);
    m.BezeichnungfrElementeeingebenlassen1 =
        addItem(m.Einstellungen1, owner, "BezeichnungfrElementeeingebenlassen1",
                QStringLiteral("Bezeichnung für Elemente gleich mit abfragen"), Check::On);
    m.NachMessungwiederdenZeigerauswhlen1 =
        addItem(m.Einstellungen1, owner, "NachMessungwiederdenZeigerauswhlen1",
                QStringLiteral("Nach Messung wieder den Zeiger auswählen"), Check::Off);
    m.SchriftumrandenumdieLesbarkeitzuverbessern1 =
        addItem(m.Einstellungen1, owner, "SchriftumrandenumdieLesbarkeitzuverbessern1",
                QStringLiteral("Schrift umranden, um die Lesbarkeit zu verbessern"), Check::Off);
    m.Ergebnisslisteanzeigen1 = addItem(m.Einstellungen1, owner, "Ergebnisslisteanzeigen1",
                                        QStringLiteral("Ergebnisliste anzeigen"), Check::On);

    m.Mastab1 = addMenu(bar, "Mastab1", QStringLiteral("Maßstab"));
    m.Grafisch1 = addItem(m.Mastab1, owner, "Grafisch1", QStringLiteral("Grafisch"));
    m.Numerisch1 = addItem(m.Mastab1, owner, "Numerisch1", QStringLiteral("Numerisch"));
    m.AusAuflsungundPlanmastab1 = addItem(m.Mastab1, owner, "AusAuflsungundPlanmastab1",
                                          QStringLiteral("Aus Auflösung und Planmaßstab..."));
    m.Perspektiveentzerren1 = addItem(m.Mastab1, owner, "Perspektiveentzerren1",
                                      QStringLiteral("Perspektive entzerren..."));
    m.Mastab1->addSeparator();
    m.Anzeigen1 = addItem(m.Mastab1, owner, "Anzeigen1", QStringLiteral("Anzeigen"), Check::On);

    m.Sprache1 = addMenu(bar, "Sprache1", QStringLiteral("Sprache"));
    m.Deutsch1 = addItem(m.Sprache1, owner, "Deutsch1", QStringLiteral("Deutsch"), Check::On);
    m.English1 = addItem(m.Sprache1, owner, "English1", QStringLiteral("English"), Check::Off);
    m.Italiano1 = addItem(m.Sprache1, owner, "Italiano1", QStringLiteral("Italiano"), Check::Off);
    m.languageGroup = new QActionGroup(owner);
    m.languageGroup->setObjectName(QStringLiteral("LanguageGroup"));
    m.languageGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction *language : {m.Deutsch1, m.English1, m.Italiano1})
        m.languageGroup->addAction(language);
    m.Sprache1->addSeparator();
    m.bersetzen1 = addItem(m.Sprache1, owner, "bersetzen1", QStringLiteral("Übersetzen..."));

    m.Hilfe1 = addMenu(bar, "Hilfe1", QStringLiteral("Hilfe"));
    m.berdasProgramm1 = addItem(m.Hilfe1, owner, "berdasProgramm1", QStringLiteral("Über das Programm"));

    return m;
}

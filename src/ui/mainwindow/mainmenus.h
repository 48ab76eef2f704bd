#pragma once

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

// The main window's menu bar: every command as an action named and captioned as the window's
// other parts (stored settings, translation, tests) expect to find it.
struct MainMenus {
    QMenu *Datei1 = nullptr;
    QMenu *Bearbeiten1 = nullptr;
    QMenu *Einstellungen1 = nullptr;
    QMenu *Mastab1 = nullptr;
    QMenu *Sprache1 = nullptr;
    QMenu *Hilfe1 = nullptr;

    QAction *Neu1 = nullptr;
    QAction *Bildffnen1 = nullptr;
    QAction *AlsBildspeichern1 = nullptr;
    QAction *AlsBildspeichernnurLinien1 = nullptr;
    QAction *Projektffnen1 = nullptr;
    QAction *Projektspeichern1 = nullptr;
    QAction *MessergebnissealsCSVDateiexportieren1 = nullptr;
    QAction *exportResultsXlsx = nullptr;
    QAction *LinienalsSVGspeichern1 = nullptr;
    QAction *LinienalsDXFexportieren1 = nullptr;
    QAction *LinienDXFfrCNCexportierenKreisbgenkeineSplines1 = nullptr;
    QAction *Druckereinrichten1 = nullptr;
    QAction *Drucken1 = nullptr;
    QAction *DruckenohneBild1 = nullptr;
    QAction *Druckenimeingestellten11Mastab1 = nullptr;
    QAction *Scannen1 = nullptr;
    QAction *Scannerwhlen1 = nullptr;
    QAction *Beenen1 = nullptr;

    QAction *Kopieren1 = nullptr;
    QAction *Einfgen1 = nullptr;
    QAction *Lschen1 = nullptr;
    QAction *Beschreibungbearbeiten1 = nullptr;

    QAction *Schriftart1 = nullptr;
    QAction *Nachkommastellen1 = nullptr;
    QAction *PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1 = nullptr;
    QAction *BezeichnungfrElementeeingebenlassen1 = nullptr;
    QAction *NachMessungwiederdenZeigerauswhlen1 = nullptr;
    QAction *SchriftumrandenumdieLesbarkeitzuverbessern1 = nullptr;
    QAction *Ergebnisslisteanzeigen1 = nullptr;

    QAction *Grafisch1 = nullptr;
    QAction *Numerisch1 = nullptr;
    QAction *AusAuflsungundPlanmastab1 = nullptr;
    QAction *Perspektiveentzerren1 = nullptr;
    QAction *Anzeigen1 = nullptr;

    QAction *Deutsch1 = nullptr;
    QAction *English1 = nullptr;
    QAction *Italiano1 = nullptr;
    QActionGroup *languageGroup = nullptr;
    QAction *bersetzen1 = nullptr;

    QAction *berdasProgramm1 = nullptr;

    // The language item for a language index (0 German, 1 English, 2 Italian); nullptr otherwise.
    QAction *languageItem(int index) const;
};

// Fills bar with the six menus; the actions are owned by owner so that it finds them by name.
MainMenus buildMainMenus(QMenuBar *bar, QObject *owner);

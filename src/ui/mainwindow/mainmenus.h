#pragma once

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

// The main window's menu bar: every command as an action named and captioned as the window's
// other parts (stored settings, translation, tests) expect to find it.
struct MainMenus {
    QMenu *fileMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *settingsMenu = nullptr;
    QMenu *scaleMenu = nullptr;
    QMenu *languageMenu = nullptr;
    QMenu *helpMenu = nullptr;

    QAction *newLines = nullptr;
    QAction *openPicture = nullptr;
    QAction *savePicture = nullptr;
    QAction *saveLinesAsPicture = nullptr;
    QAction *openProject = nullptr;
    QAction *saveProjectAs = nullptr;
    QAction *exportResultsCsv = nullptr;
    QAction *exportResultsXlsx = nullptr;
    QAction *exportLinesSvg = nullptr;
    QAction *exportLinesEmf = nullptr;
    QAction *exportLinesDxf = nullptr;
    QAction *printerSetup = nullptr;
    QAction *print = nullptr;
    QAction *printWithoutPicture = nullptr;
    QAction *printAtScale = nullptr;
    QAction *scan = nullptr;
    QAction *selectScanner = nullptr;
    QAction *quit = nullptr;

    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *deleteElement = nullptr;
    QAction *editDescription = nullptr;

    QAction *labelFont = nullptr;
    QAction *decimals = nullptr;
    QAction *presetSizesOnOpen = nullptr;
    QAction *askElementNames = nullptr;
    QAction *pointerAfterMeasuring = nullptr;
    QAction *outlineText = nullptr;
    QAction *showResultsList = nullptr;

    QAction *graphicScale = nullptr;
    QAction *numericScale = nullptr;
    QAction *scaleFromResolution = nullptr;
    QAction *straightenPerspective = nullptr;
    QAction *showScaleLine = nullptr;

    QAction *german = nullptr;
    QAction *english = nullptr;
    QAction *italian = nullptr;
    QActionGroup *languageGroup = nullptr;
    QAction *editTranslations = nullptr;

    QAction *about = nullptr;

    // The language item for a language index (0 German, 1 English, 2 Italian); nullptr otherwise.
    QAction *languageItem(int index) const;
};

// Fills bar with the six menus; the actions are owned by owner, where the translation walk and
// the stored settings find them by name.
MainMenus buildMainMenus(QMenuBar *bar, QObject *owner);

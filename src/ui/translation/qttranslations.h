#pragma once

#include <QString>

// Qt's own texts (message box buttons, the file, colour, font and print dialogs) follow the
// program's language: German (0) and Italian (2) load Qt's translations for that language, English
// (1) and the further languages use Qt's built-in English. A translation loaded before is removed
// first. Returns false when the language needs a translation that is not installed, in which
// case Qt's texts stay English.
bool installQtTranslations(int language);

// The language code of Qt's translation files for a language index: "de", "it"; empty for the
// languages that need none.
QString qtTranslationCode(int language);

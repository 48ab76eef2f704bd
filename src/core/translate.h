#pragma once

#include <QString>

// Program-wide language column used by every lookup: 0 German, 1 English, 2 Italian, ...
int languageIndex();
void setLanguageIndex(int column);

// The German text in the current language, keeping its leading and trailing spaces. An unknown
// German text is added to the translation table, which is saved at once.
QString Translate(const QString &german);
// Message N (1..30) of the fixed German message table in the current language; empty otherwise.
QString Message(int n);

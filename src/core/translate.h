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

class TranslationTable;

// Number of entries of the message table.
inline constexpr int MessageCount = 30;
// Message N's German text, the key of its row; empty for unused numbers and outside 1..30.
QString messageGerman(int n);
// Looks up every message once, so that each non-empty one has its row in the table.
void ensureMessages();

// The program-wide table behind Translate and Message. It reads its file on the first lookup;
// start-up may call load() earlier, and tests point it at files of their own with setPaths().
TranslationTable &translationTable();

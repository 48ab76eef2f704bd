#include "core/translate.h"

#include "core/translationtable.h"

namespace {

int currentLanguage = 0;

// The fixed German texts the program produces itself, numbered from 1; the unused numbers stay
// empty, and an empty text is never added to the table.
const char16_t *const messageTexts[MessageCount] = {
    u"Bitte schließen Sie das Programm und starten Sie es erneut.",
    u"Übersetzen",
    u"Pixel",
    u"",
    u"Konnte das Bild nicht laden.",
    u"Neigung",
    u"Beschriftung",
    u"Wollen Sie wirklich neu anfangen?",
    u"Neu",
    u"",
    u"",
    u"M",
    u"Ausdruck Tesselon",
    u"Konnte Datei nicht erzeugen.",
    u"Konnte Datei nicht öffnen.",
    u"",
    u"Konnte diese Datei nicht erstellen:",
    u"Abstand",
    u"Polygon",
    u"Strecke",
    u"Rechteck",
    u"Ellipse",
    u"",
    u"",
    u"Wollen Sie die Zeile wirklich löschen?",
    u"Weiter suchen?",
    u"Suchen",
    u"Die angegebene Maßeinheit konnte nicht verarbeitet werden.",
    u"Sie müssen zuerst einen Eintrag aus der Liste auswählen.",
    u"Winkel",
};

} // namespace

int languageIndex()
{
    return currentLanguage;
}

void setLanguageIndex(int column)
{
    currentLanguage = column;
}

TranslationTable &translationTable()
{
    static TranslationTable table;
    return table;
}

QString Translate(const QString &german)
{
    TranslationTable &table = translationTable();
    // An addition saves the whole table, so it must never run on a table that was not read yet.
    table.ensureLoaded();
    return table.translate(german, currentLanguage);
}

QString messageGerman(int n)
{
    if (n < 1 || n > MessageCount)
        return QString();
    return QString::fromUtf16(messageTexts[n - 1]);
}

QString Message(int n)
{
    if (n < 1 || n > MessageCount)
        return QString();
    return Translate(messageGerman(n));
}

void ensureMessages()
{
    for (int n = 1; n <= MessageCount; ++n)
        Message(n);
}

#include "ui/commands/languagecommands.h"

#include "core/translate.h"
#include "ui/commands/menuitem.h"
#include "ui/translation/qttranslations.h"
#include "ui/translation/translateform.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMessageBox>

LanguageCommands::LanguageCommands(QMainWindow *mainWindow, int &language, bool &guard, TTranslateForm *translationEditor,
                                   const LanguageItems &languageItems)
    : QObject(mainWindow), window(mainWindow), languageIndex(language), tickingLanguage(guard), editor(translationEditor),
      items{languageItems.german, languageItems.english, languageItems.italian}
{
    setObjectName(QStringLiteral("LanguageCommands"));

    offerItem(items[0], this, &LanguageCommands::Deutsch1Click);
    offerItem(items[1], this, &LanguageCommands::English1Click);
    offerItem(items[2], this, &LanguageCommands::Italiano1Click);
    if (editor)
        offerItem(languageItems.editTranslations, this, &LanguageCommands::bersetzen1Click);
}

void LanguageCommands::setOptionsPath(const QString &optionsFile)
{
    path = optionsFile;
}

QString LanguageCommands::optionsPath() const
{
    return path.isEmpty() ? optionsFilePath() : path;
}

void LanguageCommands::setScaleSource(std::function<QList<SavedScale>()> source)
{
    scaleSource = std::move(source);
}

void LanguageCommands::tickLanguage(int language)
{
    const bool before = tickingLanguage;
    tickingLanguage = true;
    for (int i = 0; i < 3; ++i)
        if (items[i])
            items[i]->setChecked(i == language);
    tickingLanguage = before;
}

void LanguageCommands::Deutsch1Click()
{
    chooseLanguage(0);
}

void LanguageCommands::English1Click()
{
    chooseLanguage(1);
}

void LanguageCommands::Italiano1Click()
{
    chooseLanguage(2);
}

QList<SavedScale> LanguageCommands::currentScales() const
{
    if (scaleSource)
        return scaleSource();
    // An unreadable file has no scales left to keep; its damage was reported when it was read.
    Options stored;
    LoadOptions(optionsPath(), stored);
    return stored.scales;
}

void LanguageCommands::chooseLanguage(int language)
{
    if (tickingLanguage)
        return;
    tickLanguage(language);
    languageIndex = language;
    setLanguageIndex(language);
    // From here on every message speaks the new language, so Qt's buttons in them do too.
    installQtTranslations(language);

    Options options;
    options.language = language;
    options.scales = currentScales();
    const QString file = optionsPath();
    // Without the file the choice would be gone at the next start, so the notice would be untrue.
    if (!SaveOptions(file, options)) {
        QMessageBox::critical(window, Message(2),
                              Translate("Die Sprache konnte nicht gespeichert werden:") + QLatin1Char('\n') +
                                  QDir::toNativeSeparators(file));
        return;
    }
    showRestartNotice();
}

void LanguageCommands::showRestartNotice()
{
    QMessageBox::information(window, Message(2), Message(1));
}

void LanguageCommands::bersetzen1Click()
{
    editor->FillStringGrid();
    editor->exec();
    showRestartNotice();
}

#pragma once

#include "core/optionsfile.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class TTranslateForm;

// The "Sprache" menu: the three languages and the translation editor. A language choice is
// stored in the options file at once and takes effect at the next start, which a notice in the
// newly chosen language tells the user.
//
// The commands work on the main window's own state: languageIndex and the guard tickingLanguage,
// which the window sets while it ticks a language item itself.
class LanguageCommands : public QObject
{
    Q_OBJECT
public:
    // Finds the items Deutsch1, English1, Italiano1 and bersetzen1 among the window's children.
    LanguageCommands(QMainWindow *window, int &languageIndex, bool &tickingLanguage, TTranslateForm *editor);

    // Where the options are written; the settings folder's options.dat unless set.
    void setOptionsPath(const QString &path);
    QString optionsPath() const;
    // The saved scales the options file keeps, as the scale dialog holds them. Without a source
    // the scales already in the file are kept.
    void setScaleSource(std::function<QList<SavedScale>()> source);

    // Ticks the item of a language, with the guard set so that no command runs.
    void tickLanguage(int language);

public slots:
    void Deutsch1Click();
    void English1Click();
    void Italiano1Click();
    void bersetzen1Click();

private:
    void chooseLanguage(int language);
    void showRestartNotice();
    QList<SavedScale> currentScales() const;

    QMainWindow *window;
    int &languageIndex;
    bool &tickingLanguage;
    TTranslateForm *editor;
    QAction *items[3] = {};
    QAction *bersetzen1 = nullptr;
    QString path;
    std::function<QList<SavedScale>()> scaleSource;
};

#pragma once

#include "core/picture.h"
#include "core/projectfile.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QFileDialog;
class QMainWindow;
class Workspace;

// What the project commands need of the window besides the work: the settings its controls show
// and the end of a construction going on.
class ProjectWindow
{
public:
    virtual ~ProjectWindow() = default;

    // The settings as the controls show them; original is the label font record of the last
    // opened project, to be kept where the font still matches it.
    virtual ProjectSettings currentSettings(const FontRecord *original) const = 0;
    virtual void applySettings(const ProjectSettings &settings) = 0;
    // Ends a construction and any pointer gesture: both refer to elements by position.
    virtual void endConstruction() = 0;
    virtual void repaint() = 0;
};

// The main window's project commands: "Projekt öffnen..." (Projektffnen1), "Speichern"
// (Speichern1: into the project's own file, with the dialog when it has none yet) and "Projekt
// speichern..." (Projektspeichern1). A project that cannot be read
// or written is reported and changes nothing: neither the work's document, picture and settings
// nor a previous file of the same name.
class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    // Runs a prepared file dialog and returns the chosen file, or an empty text when the user
    // cancelled.
    using FileChooser = std::function<QString(QFileDialog &dialog)>;

    // work and host must outlive the commands. The two items (either may be missing) are enabled
    // and wired; "Speichern" is made and placed right before saveAsItem in its menus.
    ProjectCommands(QMainWindow *window, Workspace &work, ProjectWindow &host, QAction *openItem,
                    QAction *saveAsItem);

    // Replaces how the dialogs are run (tests answer them without showing them).
    void setFileChooser(FileChooser chooser);

    QFileDialog *openDialog() const { return OpenDialog2; }
    QFileDialog *saveDialog() const { return SaveDialog3; }

    // Opens fileName, replacing document, image and settings, and the scale when the file keeps
    // one; reports a failure with message 15 and a damaged extension block after opening.
    bool openprojekt(const QString &fileName);
    // Saves into fileName, the current scale and the unknown chunks of the last opened project
    // included; reports a failure with message 14.
    bool saveprojekt(const QString &fileName);
    // Saves into the project's own file, asking for one when it has none; false when the user
    // cancelled or the file could not be written.
    bool save();
    // With unsaved changes, asks whether to save them, give them up or cancel; true when the
    // work may be replaced or closed now (saved, given up, or nothing unsaved).
    bool askToSaveChanges();
    // The settings a project saved now would keep: the controls' settings, the label font as
    // the last opened project stored it where it still matches, and that project's unknown chunks.
    ProjectSettings projectSettings() const;
    // Takes over a project read elsewhere (the document already replaced in the work), as opening
    // it does: the picture, the settings and the file name, in a history of its own.
    void adopt(Picture picture, const ProjectSettings &settings, const QString &fileName);

signals:
    // A project was opened from or saved into fileName.
    void projectFileUsed(const QString &fileName);

public slots:
    void Projektffnen1Click();
    void Speichern1Click();
    void Projektspeichern1Click();

private:
    QString choose(QFileDialog &dialog);
    void fail(const QString &message, const QString &detail);
    void inform(const QString &text);

    QMainWindow *window;
    Workspace &work;
    ProjectWindow &host;
    FileChooser chooser;
    QFileDialog *OpenDialog2 = nullptr;
    QFileDialog *SaveDialog3 = nullptr;
    // The label font as the last opened project stored it.
    std::optional<FontRecord> loadedFont;
    // The extension block of the last opened project, so that saving keeps its unknown chunks.
    ProjectExtension loadedExtension;
};

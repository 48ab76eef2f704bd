#pragma once

#include "core/projectfile.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QMainWindow;

// The main window's project commands, found among its actions by name: "Projekt öffnen..."
// (Projektffnen1) and "Projekt speichern..." (Projektspeichern1). A project that cannot be read
// or written is reported and changes nothing: neither the window's document, image and settings
// nor a previous file of the same name.
class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    // What the commands reach of the main window.
    struct Access {
        std::function<Document &()> document;
        std::function<dib &()> image;
        // The drawing settings as the controls show them; original is the label font record of
        // the last opened project, to be kept where the font still matches it.
        std::function<ProjectSettings(const FontRecord *original)> currentSettings;
        std::function<void(const ProjectSettings &)> applySettings;
        // Ends a construction and any pointer gesture: both refer to elements by position.
        std::function<void()> endConstruction;
        std::function<void()> repaint;
    };

    // Runs a prepared file dialog and returns the chosen file, or an empty text when the user
    // cancelled.
    using FileChooser = std::function<QString(QFileDialog &dialog)>;

    ProjectCommands(QMainWindow *window, Access access);

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

public slots:
    void Projektffnen1Click();
    void Projektspeichern1Click();

private:
    QString choose(QFileDialog &dialog);
    void fail(const QString &message, const QString &detail);
    void inform(const QString &text);

    QMainWindow *window;
    Access access;
    FileChooser chooser;
    QFileDialog *OpenDialog2 = nullptr;
    QFileDialog *SaveDialog3 = nullptr;
    // The label font as the last opened project stored it.
    std::optional<FontRecord> loadedFont;
    // The extension block of the last opened project, so that saving keeps its unknown chunks.
    ProjectExtension loadedExtension;
};

#include "ui/projectcommands.h"

#include "core/measurementchunks.h"

#include "core/translate.h"

#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>

namespace {

QFileDialog *projectDialog(QMainWindow *window, const char *name, QFileDialog::AcceptMode mode)
{
    auto *dialog = new QFileDialog(window);
    dialog->setObjectName(QLatin1String(name));
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilter(QStringLiteral("Vermessungsprojekt (*.ver)"));
    dialog->setDefaultSuffix(QStringLiteral("ver"));
    return dialog;
}

QString runDialog(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

ProjectCommands::ProjectCommands(QMainWindow *mainWindow, Access windowAccess)
    : QObject(mainWindow), window(mainWindow), access(std::move(windowAccess)), chooser(runDialog)
{
    OpenDialog2 = projectDialog(window, "OpenDialog2", QFileDialog::AcceptOpen);
    SaveDialog3 = projectDialog(window, "SaveDialog3", QFileDialog::AcceptSave);

    if (QAction *open = window->findChild<QAction *>(QStringLiteral("Projektffnen1"))) {
        open->setEnabled(true);
        connect(open, &QAction::triggered, this, &ProjectCommands::Projektffnen1Click);
    }
    if (QAction *save = window->findChild<QAction *>(QStringLiteral("Projektspeichern1"))) {
        save->setEnabled(true);
        connect(save, &QAction::triggered, this, &ProjectCommands::Projektspeichern1Click);
    }
}

void ProjectCommands::setFileChooser(FileChooser fileChooser)
{
    chooser = fileChooser ? std::move(fileChooser) : FileChooser(runDialog);
}

void ProjectCommands::Projektffnen1Click()
{
    const QString fileName = choose(*OpenDialog2);
    if (!fileName.isEmpty())
        openprojekt(fileName);
}

void ProjectCommands::Projektspeichern1Click()
{
    const QString fileName = choose(*SaveDialog3);
    if (!fileName.isEmpty())
        saveprojekt(fileName);
}

bool ProjectCommands::openprojekt(const QString &fileName)
{
    ProjectSettings settings;
    QString error;
    QString warning;
    if (!loadProject(fileName, access.document(), access.image(), settings, &error, &warning)) {
        fail(Message(15), error);
        return false;
    }
    // Only now: a file that cannot be read leaves a construction going on undisturbed.
    access.endConstruction();
    loadedFont = settings.font;
    loadedExtension = settings.extension;
    access.applySettings(settings);
    access.repaint();
    if (!warning.isEmpty())
        inform(warning);
    return true;
}

bool ProjectCommands::saveprojekt(const QString &fileName)
{
    ProjectSettings settings = access.currentSettings(loadedFont ? &*loadedFont : nullptr);
    // Chunks this program does not know go back into the file as they were read.
    ProjectExtension extension = loadedExtension;
    extension.update(settings.extension);
    replaceMeasurementChunks(extension, settings.extension);
    settings.extension = extension;
    QString error;
    if (!saveProject(fileName, access.document(), access.image(), settings, &error)) {
        fail(Message(14), error);
        return false;
    }
    return true;
}

QString ProjectCommands::choose(QFileDialog &dialog)
{
    // No file name carries over from one command to the next.
    dialog.selectFile(QString());
    return chooser(dialog);
}

void ProjectCommands::fail(const QString &message, const QString &detail)
{
    inform(message + QLatin1Char('\n') + detail);
}

void ProjectCommands::inform(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, window);
    box.exec();
}

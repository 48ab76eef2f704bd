#include "ui/projectcommands.h"

#include "core/picture.h"
#include "core/translate.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
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

ProjectCommands::ProjectCommands(QMainWindow *mainWindow, Workspace &workspace, ProjectWindow &windowHost)
    : QObject(mainWindow), window(mainWindow), work(workspace), host(windowHost), chooser(runDialog)
{
    OpenDialog2 = projectDialog(window, "OpenDialog2", QFileDialog::AcceptOpen);
    SaveDialog3 = projectDialog(window, "SaveDialog3", QFileDialog::AcceptSave);

    if (QAction *open = window->findChild<QAction *>(QStringLiteral("Projektffnen1"))) {
        open->setEnabled(true);
        connect(open, &QAction::triggered, this, &ProjectCommands::Projektffnen1Click);
    }
    if (QAction *saveAs = window->findChild<QAction *>(QStringLiteral("Projektspeichern1"))) {
        saveAs->setEnabled(true);
        connect(saveAs, &QAction::triggered, this, &ProjectCommands::Projektspeichern1Click);
        // "Speichern" stands right before it, wherever it is shown.
        auto *save = new QAction(QStringLiteral("Speichern"), window);
        save->setObjectName(QStringLiteral("Speichern1"));
        save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        save->setMenuRole(QAction::NoRole);
        for (QObject *shown : saveAs->associatedObjects())
            if (auto *menu = qobject_cast<QMenu *>(shown))
                menu->insertAction(saveAs, save);
        connect(save, &QAction::triggered, this, &ProjectCommands::Speichern1Click);
    }
}

void ProjectCommands::setFileChooser(FileChooser fileChooser)
{
    chooser = fileChooser ? std::move(fileChooser) : FileChooser(runDialog);
}

void ProjectCommands::Projektffnen1Click()
{
    if (!askToSaveChanges())
        return;
    const QString fileName = choose(*OpenDialog2);
    if (!fileName.isEmpty())
        openprojekt(fileName);
}

void ProjectCommands::Speichern1Click()
{
    save();
}

void ProjectCommands::Projektspeichern1Click()
{
    const QString fileName = choose(*SaveDialog3);
    if (!fileName.isEmpty())
        saveprojekt(fileName);
}

bool ProjectCommands::save()
{
    if (!work.fileName().isEmpty())
        return saveprojekt(work.fileName());
    const QString fileName = choose(*SaveDialog3);
    return !fileName.isEmpty() && saveprojekt(fileName);
}

bool ProjectCommands::askToSaveChanges()
{
    if (!work.isModified())
        return true;
    QMessageBox question(QMessageBox::Question, QCoreApplication::applicationName(),
                         Translate(QStringLiteral("Die Zeichnung hat ungespeicherte Änderungen. Sollen sie gespeichert werden?")),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
    question.setObjectName(QStringLiteral("UnsavedChangesQuestion"));
    question.setDefaultButton(QMessageBox::Save);
    switch (question.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool ProjectCommands::openprojekt(const QString &fileName)
{
    ProjectSettings settings;
    Picture picture;
    QString error;
    QString warning;
    if (!loadProject(fileName, work.document(), picture.record(), settings, &error, &warning)) {
        fail(Message(15), error);
        return false;
    }
    work.setPicture(std::move(picture));
    work.documentEdited();
    work.setFileName(fileName);
    // Only now: a file that cannot be read leaves a construction going on undisturbed.
    host.endConstruction();
    loadedFont = settings.font;
    loadedExtension = settings.extension;
    host.applySettings(settings);
    // An opened project starts a history of its own.
    work.startHistory();
    host.repaint();
    emit projectFileUsed(fileName);
    if (!warning.isEmpty())
        inform(warning);
    return true;
}

bool ProjectCommands::saveprojekt(const QString &fileName)
{
    ProjectSettings settings = host.currentSettings(loadedFont ? &*loadedFont : nullptr);
    // Chunks this program does not know go back into the file as they were read.
    ProjectExtension extension = loadedExtension;
    extension.update(settings.extension);
    settings.extension = extension;
    QString error;
    if (!saveProject(fileName, work.document(), work.picture(), settings, &error)) {
        fail(Message(14), error);
        return false;
    }
    work.setFileName(fileName);
    work.markSaved();
    emit projectFileUsed(fileName);
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

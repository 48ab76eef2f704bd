#include "ui/commands/projectcommands.h"

#include "core/measurementchunks.h"
#include "core/picture.h"
#include "core/transferprogress.h"
#include "core/translate.h"
#include "ui/commands/backgroundjob.h"
#include "ui/commands/menuitem.h"
#include "ui/widgets/quietfiledialog.h"
#include "workspace/elementcopy.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>

namespace {

// Replaces the elements of to by copies of those of from; false when memory ran out.
bool copyElements(Document &from, Document &to)
{
    to.clear();
    for (int i = 0; i < from.count(); ++i)
        if (!ElementCopy(*from.element(i)).insertInto(to, i))
            return false;
    return true;
}

QFileDialog *projectDialog(QMainWindow *window, const char *name, QFileDialog::AcceptMode mode)
{
    auto *dialog = newQuietFileDialog(window);
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

ProjectCommands::ProjectCommands(QMainWindow *mainWindow, Workspace &workspace, ProjectWindow &windowHost,
                                 QAction *openItem, QAction *saveAsItem)
    : QObject(mainWindow), window(mainWindow), work(workspace), host(windowHost), chooser(runDialog)
{
    OpenDialog2 = projectDialog(window, "OpenDialog2", QFileDialog::AcceptOpen);
    SaveDialog3 = projectDialog(window, "SaveDialog3", QFileDialog::AcceptSave);

    offerItem(openItem, this, &ProjectCommands::Projektffnen1Click);
    offerItem(saveAsItem, this, &ProjectCommands::Projektspeichern1Click);
    if (saveAsItem) {
        // "Speichern" stands right before it, wherever it is shown.
        auto *save = new QAction(QStringLiteral("Speichern"), window);
        save->setObjectName(QStringLiteral("Speichern1"));
        save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        save->setMenuRole(QAction::NoRole);
        for (QObject *shown : saveAsItem->associatedObjects())
            if (auto *menu = qobject_cast<QMenu *>(shown))
                menu->insertAction(saveAsItem, save);
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
    // Read off the user-interface thread into a project of the task's own: a cancel leaves it to
    // finish unseen and the work as it was.
    struct Read {
        Document doc;
        Picture picture;
        ProjectSettings settings;
        QString error;
        QString warning;
        bool read = false;
    };
    auto read = std::make_shared<Read>();
    auto progress = std::make_shared<TransferProgress>();
    if (!BackgroundJob::run(
            window, Translate(QStringLiteral("Projekt wird geöffnet...")), progress,
            [read, progress, fileName] {
                read->read = loadProject(fileName, read->doc, read->picture.record(), read->settings, &read->error,
                                         &read->warning, progress.get());
            },
            BackgroundJob::OnCancel::Abandon))
        return false;
    if (!read->read || !copyElements(read->doc, work.document())) {
        fail(Message(15), read->error);
        return false;
    }
    adopt(std::move(read->picture), read->settings, fileName);
    emit projectFileUsed(fileName);
    if (!read->warning.isEmpty())
        inform(read->warning);
    return true;
}

void ProjectCommands::adopt(Picture picture, const ProjectSettings &settings, const QString &fileName)
{
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
}

ProjectSettings ProjectCommands::projectSettings() const
{
    ProjectSettings settings = host.currentSettings(loadedFont ? &*loadedFont : nullptr);
    // Chunks this program does not know go back into the file as they were read.
    ProjectExtension extension = loadedExtension;
    extension.update(settings.extension);
    replaceMeasurementChunks(extension, settings.extension);
    settings.extension = extension;
    return settings;
}

bool ProjectCommands::saveprojekt(const QString &fileName)
{
    // Written off the user-interface thread from a copy of the elements and the shared,
    // unchanging picture, so that repaints meanwhile touch nothing the writer reads.
    auto elements = std::make_shared<Document>();
    if (!copyElements(work.document(), *elements)) {
        fail(Message(14), QString());
        return false;
    }
    struct Written {
        bool written = false;
        QString error;
    };
    auto result = std::make_shared<Written>();
    auto progress = std::make_shared<TransferProgress>();
    BackgroundJob::run(
        window, Translate(QStringLiteral("Projekt wird gespeichert...")), progress,
        [result, progress, elements, picture = work.sharedPicture(), settings = projectSettings(), fileName] {
            result->written =
                saveProject(fileName, *elements, picture->get(), settings, &result->error, progress.get());
        },
        BackgroundJob::OnCancel::WaitForTask);
    if (!result->written) {
        // A cancelled save leaves the previous file as it was, and the user knows why.
        if (!progress->cancelled)
            fail(Message(14), result->error);
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

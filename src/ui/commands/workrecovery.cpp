#include "ui/commands/workrecovery.h"

#include "core/picture.h"
#include "core/translate.h"
#include "ui/commands/projectcommands.h"
#include "workspace/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

WorkRecovery::WorkRecovery(QMainWindow *mainWindow, Workspace &workspace, ProjectCommands &projectCommands)
    : QObject(mainWindow), window(mainWindow), work(workspace), project(projectCommands)
{
    idle.setSingleShot(true);
    connect(&idle, &QTimer::timeout, this, &WorkRecovery::writeNow);
    connect(&work, &Workspace::changed, this, &WorkRecovery::schedule);
    // Saving changes no element but the copy must then hold the saved state and file name.
    connect(&work, &Workspace::modifiedChanged, this, &WorkRecovery::schedule);
    connect(&work, &Workspace::fileNameChanged, this, &WorkRecovery::schedule);
    connect(&store, &RecoveryStore::writeFailed, this, &WorkRecovery::reportWriteFailure);
}

WorkRecovery::~WorkRecovery()
{
    store.clear();
}

void WorkRecovery::schedule()
{
    // Work without unsaved changes is a saved project or a picture still in its file: no copy
    // is needed until something is changed.
    if (!store.isStarted() && !work.isModified())
        return;
    if (!pending) {
        pending = true;
        firstPending.start();
    }
    const qint64 left = MaxDelayMs - firstPending.elapsed();
    idle.start(static_cast<int>(std::clamp<qint64>(left, 0, IdleMs)));
}

void WorkRecovery::writeNow()
{
    idle.stop();
    pending = false;
    if (!store.isStarted()) {
        if (!work.isModified())
            return;
        QString error;
        if (!store.start(&error)) {
            reportWriteFailure(error);
            return;
        }
    }
    const std::shared_ptr<const Picture> picture = work.sharedPicture();
    if (handedPicture.lock() != picture) {
        // Shares the pixels with the work: the writer keeps them alive, no copy is made.
        store.writePicture(SharedPicture(picture, &picture->get()));
        handedPicture = picture;
    }
    store.writeDocument(work.document(), project.projectSettings(), work.fileName());
}

void WorkRecovery::offerLeftCopies()
{
    const QList<RecoveryCopy> copies = RecoveryStore::scan();
    for (const RecoveryCopy &copy : copies) {
        if (!copy.problem.isEmpty()) {
            reportUnreadable(copy);
            continue;
        }
        switch (ask(copy)) {
        case Answer::Restore:
            // One work at a time: the other copies wait for the next start.
            if (restore(copy))
                return;
            break;
        case Answer::Discard:
            RecoveryStore::discard(copy);
            break;
        case Answer::Later:
            break;
        }
    }
}

WorkRecovery::Answer WorkRecovery::ask(const RecoveryCopy &copy)
{
    QString text = Translate(QStringLiteral("Eine Sitzung wurde nicht normal beendet. Ihre Arbeit vom %1 kann "
                                            "wiederhergestellt werden."))
                       .arg(QLocale().toString(copy.time, QLocale::ShortFormat))
                 + QLatin1Char('\n') + Translate(QStringLiteral("Elemente: %1")).arg(copy.elementCount);
    if (!copy.fileName.isEmpty())
        text += QLatin1Char('\n')
              + Translate(QStringLiteral("Projekt: %1")).arg(QDir::toNativeSeparators(copy.fileName));
    QMessageBox question(QMessageBox::Question, QCoreApplication::applicationName(), text, QMessageBox::NoButton,
                         window);
    question.setObjectName(QStringLiteral("RecoveryOffer"));
    QPushButton *restoreButton =
        question.addButton(Translate(QStringLiteral("Wiederherstellen")), QMessageBox::AcceptRole);
    QPushButton *discardButton =
        question.addButton(Translate(QStringLiteral("Verwerfen")), QMessageBox::DestructiveRole);
    QPushButton *laterButton =
        question.addButton(Translate(QStringLiteral("Später entscheiden")), QMessageBox::RejectRole);
    question.setDefaultButton(restoreButton);
    question.setEscapeButton(laterButton);
    question.exec();
    if (question.clickedButton() == restoreButton)
        return Answer::Restore;
    if (question.clickedButton() == discardButton)
        return Answer::Discard;
    return Answer::Later;
}

bool WorkRecovery::restore(const RecoveryCopy &copy)
{
    if (!project.askToSaveChanges())
        return false;
    Picture picture;
    ProjectSettings settings;
    QString fileName;
    QString error;
    if (!RecoveryStore::restore(copy, work.document(), picture.record(), settings, fileName, &error)) {
        QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                        Translate(QStringLiteral("Die Wiederherstellungskopie kann nicht gelesen werden:")) + QLatin1Char('\n')
                            + error,
                        QMessageBox::Ok, window);
        box.exec();
        return false;
    }
    project.adopt(std::move(picture), settings, fileName);
    // Restored work is not saved anywhere yet.
    work.setModified(true);
    // The old copy goes only once this instance's own copy holds the work.
    writeNow();
    if (store.waitForWrites())
        RecoveryStore::discard(copy);
    return true;
}

void WorkRecovery::reportUnreadable(const RecoveryCopy &copy)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    Translate(QStringLiteral("Die Wiederherstellungskopie kann nicht gelesen werden:")) + QLatin1Char('\n')
                        + copy.problem + QLatin1Char('\n')
                        + Translate(QStringLiteral("Sie bleibt im Ordner %1 erhalten."))
                              .arg(QDir::toNativeSeparators(copy.folder)),
                    QMessageBox::Ok, window);
    box.setObjectName(QStringLiteral("RecoveryUnreadable"));
    box.exec();
}

void WorkRecovery::reportWriteFailure(const QString &message)
{
    if (QStatusBar *bar = window->statusBar())
        bar->showMessage(message);
    // A full or read-only disk keeps failing: one message box says so, the status bar keeps
    // the latest reason.
    if (failureShown)
        return;
    failureShown = true;
    auto *box = new QMessageBox(QMessageBox::Warning, QCoreApplication::applicationName(), message, QMessageBox::Ok,
                                window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

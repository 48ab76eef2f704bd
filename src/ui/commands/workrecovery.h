#pragma once

#include "core/recoverystore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

class Picture;
class ProjectCommands;
class QMainWindow;
class Workspace;

// Keeps a recovery copy of the work on disk while the window runs, so that a crash or a power
// cut loses at most the last few seconds, and offers the copies of instances that did not end
// normally. Nothing is written until the work has unsaved changes for the first time; from then
// on the document part follows every change after a short idle pause, and the picture part
// follows every new picture. The copy is removed when the window goes normally.
class WorkRecovery : public QObject
{
    Q_OBJECT
public:
    // A change is written once the work has rested this long...
    static constexpr int IdleMs = 1000;
    // ...or, under continuous change, this long after the first change not yet written.
    static constexpr int MaxDelayMs = 4000;

    // work and project must outlive the recovery.
    WorkRecovery(QMainWindow *window, Workspace &work, ProjectCommands &project);
    // The window ends normally: its copy goes.
    ~WorkRecovery() override;

    // Offers each copy left behind by an instance that did not end normally, newest first:
    // restore, discard or decide later. A copy that cannot be read is reported and kept.
    void offerLeftCopies();
    // Hands the work over now instead of after the idle pause.
    void writeNow();
    // Waits until what was handed over is on disk.
    bool waitForWrites(int msecs = -1) { return store.waitForWrites(msecs); }
    QString folder() const { return store.folder(); }

private:
    enum class Answer { Restore, Discard, Later };

    void schedule();
    Answer ask(const RecoveryCopy &copy);
    bool restore(const RecoveryCopy &copy);
    void reportUnreadable(const RecoveryCopy &copy);
    void reportWriteFailure(const QString &message);

    QMainWindow *window;
    Workspace &work;
    ProjectCommands &project;
    RecoveryStore store;
    QTimer idle;
    QElapsedTimer firstPending;
    bool pending = false;
    // The picture last handed to the store; a different one is written as a new picture part.
    std::weak_ptr<const Picture> handedPicture;
    bool failureShown = false;
};

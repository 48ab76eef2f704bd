#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMainWindow;
struct TransferProgress;

// Runs a long task (opening or saving a large file) off the user-interface thread while the
// window stays alive: it repaints and its scroll bars scroll, while its commands, its other
// controls and closing it wait. After a moment a progress bar with "Abbrechen" appears in the
// status bar; Esc cancels too.
class BackgroundJob
{
public:
    enum class OnCancel {
        // Return at once; the task finishes unseen, so it must own everything it touches.
        Abandon,
        // Wait until the task has seen the cancel and stopped (a save leaving the old file).
        WaitForTask,
    };

    // Returns false when the user cancelled and the task was abandoned; true once the task has
    // ended (with WaitForTask also after a cancel: the task tells whether it completed).
    static bool run(QMainWindow *window, const QString &text, const std::shared_ptr<TransferProgress> &progress,
                    std::function<void()> task, OnCancel onCancel);

    // How long a task runs before its progress bar shows (tests shorten it).
    static void setPanelDelay(int msecs);
    // Runs gate on the task's thread before each task, so that a test can hold a task until it
    // has pressed "Abbrechen"; an empty gate removes it.
    static void setTaskGate(std::function<void()> gate);
};

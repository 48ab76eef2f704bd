#include "ui/commands/backgroundjob.h"

#include "core/transferprogress.h"
#include "core/translate.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QThreadPool>
#include <QTimer>

#include <condition_variable>
#include <mutex>

namespace {

int panelDelay = 500;

// The tasks' threads. Not Qt's global pool: the raster painter splits large paints over that one
// and waits for it, so a long task there would stall the window it is meant to keep alive. Never
// destroyed: quitting does not wait for an abandoned task, which owns everything it touches.
QThreadPool &tasks()
{
    static QThreadPool *const pool = new QThreadPool;
    return *pool;
}

std::function<void()> taskGate;
constexpr int PollMs = 15;

// Whether the task has ended; outlives an abandoned call.
struct TaskState {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;

    bool waitFor(int msecs)
    {
        std::unique_lock guard(mutex);
        return ended.wait_for(guard, std::chrono::milliseconds(msecs), [this] { return done; });
    }
    bool isDone()
    {
        std::lock_guard guard(mutex);
        return done;
    }
};

// Keeps the user from starting anything else in the window while the task runs: its enabled
// commands are disabled (and enabled again after), clicks and keys reach only the scroll bars
// and the progress panel, Esc cancels and closing is refused.
class WindowLock : public QObject
{
public:
    WindowLock(QMainWindow *window, std::function<void()> cancel) : window(window), cancel(std::move(cancel))
    {
        for (QAction *action : window->findChildren<QAction *>())
            if (action->isEnabled()) {
                action->setEnabled(false);
                disabled.append(action);
            }
        qApp->installEventFilter(this);
    }
    ~WindowLock() override
    {
        qApp->removeEventFilter(this);
        for (const QPointer<QAction> &action : std::as_const(disabled))
            if (action)
                action->setEnabled(true);
    }

    QPointer<QWidget> panel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != window)
            return false;
        switch (event->type()) {
        case QEvent::Close:
            event->ignore();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                cancel();
            return !inPanel(widget);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return !qobject_cast<QScrollBar *>(widget) && !inPanel(widget);
        default:
            return false;
        }
    }

private:
    bool inPanel(const QWidget *widget) const { return panel && (widget == panel || panel->isAncestorOf(widget)); }

    QMainWindow *window;
    std::function<void()> cancel;
    QList<QPointer<QAction>> disabled;
};

QWidget *progressPanel(QMainWindow *window, const QString &text, QProgressBar *&bar, QPushButton *&cancelButton)
{
    auto *panel = new QWidget(window->statusBar());
    panel->setObjectName(QStringLiteral("BackgroundJobPanel"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(text, panel));
    bar = new QProgressBar(panel);
    bar->setMaximumWidth(200);
    row->addWidget(bar);
    cancelButton = new QPushButton(Translate(QStringLiteral("Abbrechen")), panel);
    cancelButton->setObjectName(QStringLiteral("BackgroundJobCancel"));
    row->addWidget(cancelButton);
    window->statusBar()->addPermanentWidget(panel);
    return panel;
}

} // namespace

void BackgroundJob::setPanelDelay(int msecs)
{
    panelDelay = msecs;
}

void BackgroundJob::setTaskGate(std::function<void()> gate)
{
    taskGate = std::move(gate);
}

bool BackgroundJob::run(QMainWindow *window, const QString &text, const std::shared_ptr<TransferProgress> &progress,
                        std::function<void()> task, OnCancel onCancel)
{
    auto state = std::make_shared<TaskState>();
    tasks().start([state, gate = taskGate, task = std::move(task)] {
        if (gate)
            gate();
        task();
        {
            std::lock_guard guard(state->mutex);
            state->done = true;
        }
        state->ended.notify_all();
    });
    // A small file is read before anyone could notice: no panel, no nested event loop.
    if (state->waitFor(std::min(panelDelay, 50)))
        return true;

    QEventLoop loop;
    bool abandoned = false;
    const auto cancel = [&] {
        progress->cancelled = true;
        if (onCancel == OnCancel::Abandon) {
            abandoned = true;
            loop.quit();
        }
    };
    WindowLock lock(window, cancel);
    QElapsedTimer running;
    running.start();
    QProgressBar *bar = nullptr;
    QPushButton *cancelButton = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (state->isDone()) {
            loop.quit();
            return;
        }
        if (!lock.panel && running.elapsed() >= panelDelay) {
            lock.panel = progressPanel(window, text, bar, cancelButton);
            QObject::connect(cancelButton, &QPushButton::clicked, &loop, cancel);
        }
        if (bar) {
            const qint64 total = progress->total;
            // Without a known size the bar only shows that work goes on.
            bar->setRange(0, total > 0 ? 1000 : 0);
            if (total > 0)
                bar->setValue(static_cast<int>(std::min<qint64>(1000, progress->done * 1000 / total)));
            cancelButton->setEnabled(!progress->cancelled);
        }
    });
    poll.start(PollMs);
    loop.exec();
    delete lock.panel.data();
    return !abandoned;
}

#include "ui/mainwindow/afterfirstpaint.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Sees the window's expose event before the window paints in answer to it; the work is queued
// behind that paint.
class ExposeWatcher : public QObject
{
public:
    ExposeWatcher(QWindow *window, QWidget *widget, std::function<void()> work)
        : QObject(window), window(window), target(widget), work(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            if (target)
                QTimer::singleShot(0, target, std::move(work));
            deleteLater();
        }
        return false;
    }

private:
    QWindow *window;
    QPointer<QWidget> target;
    std::function<void()> work;
};

} // namespace

void runAfterFirstPaint(QWidget *widget, std::function<void()> work)
{
    QWindow *window = widget->window()->windowHandle();
    if (!window || window->isExposed()) {
        QTimer::singleShot(0, widget, std::move(work));
        return;
    }
    new ExposeWatcher(window, widget, std::move(work));
}

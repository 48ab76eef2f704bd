#pragma once

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <deque>
#include <functional>
#include <utility>

// Answers the modal dialogs the code under test opens, one step per dialog, in order, as a user
// would. A dialog is answered once it was seen on two polls in a row: caught while it is still
// being shown, it would have no event loop yet to end. A dialog that comes when no step is left is
// rejected and its class noted, so a wrong turn fails the test instead of leaving it waiting.
class ModalScript : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    explicit ModalScript(std::deque<Step> steps) : pending(std::move(steps))
    {
        connect(&timer, &QTimer::timeout, this, &ModalScript::poll);
        timer.start(10);
    }

    bool finished() const { return pending.empty(); }
    // The dialogs that came when no step was left, by class name.
    const QStringList &unexpected() const { return extra; }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last.data() || !modal->isVisible()) {
            seen = nullptr;
            return;
        }
        if (modal != seen.data()) {
            seen = modal;
            return;
        }
        last = modal;
        if (pending.empty()) {
            extra.append(QString::fromLatin1(modal->metaObject()->className()));
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        Step step = std::move(pending.front());
        pending.pop_front();
        step(modal);
    }

    QTimer timer;
    std::deque<Step> pending;
    QPointer<QWidget> last;
    QPointer<QWidget> seen;
    QStringList extra;
};

// Types the name into a file dialog and accepts it. selectFile() would leave the name field alone
// while it has the focus, and whether it has it yet depends on timing.
inline ModalScript::Step typeFileName(const QString &path, QString *seenClass = nullptr)
{
    return [path, seenClass](QWidget *modal) {
        if (seenClass)
            *seenClass = QString::fromLatin1(modal->metaObject()->className());
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            modal->close();
            QFAIL("expected a file dialog with a name field");
        }
        name->setText(path);
        // QFileDialog keeps its accept() protected; through QDialog it runs all the same.
        static_cast<QDialog *>(dialog)->accept();
    };
}

inline ModalScript::Step rejectDialog()
{
    return [](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    };
}

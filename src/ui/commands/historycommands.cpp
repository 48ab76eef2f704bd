#include "ui/commands/historycommands.h"

#include "core/translate.h"
#include "tools/toolcontroller.h"
#include "ui/commands/projectcommands.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QVariant>
#include <QUndoStack>

namespace {

QAction *historyItem(QMainWindow *window, const char *name, const QString &caption, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(caption, window);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setMenuRole(QAction::NoRole);
    return action;
}

// "Rückgängig: Polygon": the item's own text, then the step it would take. Without a step the
// item keeps the text the translation walk gave it, so a start looks up no text of its own.
void showItem(QAction *item, const QString &german, bool enabled, const QString &step)
{
    item->setEnabled(enabled);
    const bool named = item->property("namesStep").toBool();
    if (step.isEmpty() && !named)
        return;
    item->setText(step.isEmpty() ? Translate(german) : Translate(german) + QStringLiteral(": ") + step);
    item->setProperty("namesStep", !step.isEmpty());
}

} // namespace

HistoryCommands::HistoryCommands(QMainWindow *mainWindow, Workspace &workspace, ToolController &toolController,
                                 ProjectCommands &projectCommands)
    : QObject(mainWindow), window(mainWindow), work(workspace), tools(toolController), project(projectCommands)
{
    Rckgngig1 = historyItem(window, "Rckgngig1", QStringLiteral("Rückgängig"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    Wiederholen1 = historyItem(window, "Wiederholen1", QStringLiteral("Wiederholen"),
                               {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    if (QMenu *edit = window->findChild<QMenu *>(QStringLiteral("Bearbeiten1"))) {
        QAction *first = edit->actions().value(0);
        edit->insertAction(first, Rckgngig1);
        edit->insertAction(first, Wiederholen1);
        edit->insertSeparator(first);
    }
    connect(Rckgngig1, &QAction::triggered, this, &HistoryCommands::Rckgngig1Click);
    connect(Wiederholen1, &QAction::triggered, this, &HistoryCommands::Wiederholen1Click);

    QUndoStack &stack = work.history();
    connect(&stack, &QUndoStack::indexChanged, this, &HistoryCommands::showHistory);
    connect(&stack, &QUndoStack::cleanChanged, this, &HistoryCommands::showHistory);
    connect(&work, &Workspace::modifiedChanged, this, &HistoryCommands::showTitle);
    connect(&work, &Workspace::fileNameChanged, this, &HistoryCommands::showTitle);
    window->installEventFilter(this);
    showHistory();
}

void HistoryCommands::showHistory()
{
    const QUndoStack &stack = work.history();
    showItem(Rckgngig1, QStringLiteral("Rückgängig"), stack.canUndo(), stack.undoText());
    showItem(Wiederholen1, QStringLiteral("Wiederholen"), stack.canRedo(), stack.redoText());
}

void HistoryCommands::showTitle()
{
    const QString program = Translate(QStringLiteral("Kovrant Tesselon 1.0"));
    const QString file = work.fileName();
    // A new drawing shows the program's name alone, without a place for the mark.
    if (file.isEmpty()) {
        window->setWindowModified(false);
        window->setWindowTitle(program);
        return;
    }
    window->setWindowTitle(program + QStringLiteral(" \u2013 ") + QFileInfo(file).fileName() + QStringLiteral("[*]"));
    window->setWindowModified(work.isModified());
}

void HistoryCommands::Rckgngig1Click()
{
    // Both refer to elements by position, which the step may change.
    const bool constructing = tools.construction().constructing;
    tools.elementsRemoved();
    if (constructing)
        work.revertUncommitted();
    else
        work.undo();
    emit repaintNeeded();
}

void HistoryCommands::Wiederholen1Click()
{
    tools.elementsRemoved();
    work.redo();
    emit repaintNeeded();
}

bool HistoryCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close && !project.askToSaveChanges()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

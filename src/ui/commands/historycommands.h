#pragma once

#include <QObject>

class ProjectCommands;
class QAction;
class QMainWindow;
class QMenu;
class ToolController;
class Workspace;

// The work's history and its unsaved changes as the main window shows them: "Rückgängig"
// (Rckgngig1, Ctrl+Z) and "Wiederholen" (Wiederholen1, Ctrl+Shift+Z and Ctrl+Y) at the top of the
// menu "Bearbeiten", each naming the step it would take; the window title with the project's
// file name and its modified mark; and the question about unsaved changes before the window
// closes. work, tools and project must outlive the commands.
class HistoryCommands : public QObject
{
    Q_OBJECT
public:
    // The two items go at the top of editMenu when there is one.
    HistoryCommands(QMainWindow *window, QMenu *editMenu, Workspace &work, ToolController &tools,
                    ProjectCommands &project);

signals:
    // The work changed back or forth: the screen shows it anew.
    void repaintNeeded();

public slots:
    // Takes back the last step; while a construction is going on, takes back the construction.
    void Rckgngig1Click();
    void Wiederholen1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showHistory();
    void showTitle();

    QMainWindow *window;
    Workspace &work;
    ToolController &tools;
    ProjectCommands &project;
    QAction *Rckgngig1 = nullptr;
    QAction *Wiederholen1 = nullptr;
};

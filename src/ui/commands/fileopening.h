#pragma once

#include <QObject>
#include <QString>

class ProjectCommands;
class QEvent;
class RecentFiles;
class TMainForm;

// Opening a file by what it is, the same way whichever way it came: dropped onto the window, named
// on the command line or chosen from "Zuletzt geöffnet". A project (.ver) opens as "Projekt
// öffnen..." does, after the question about unsaved changes; anything else is a picture or a PDF
// plan and opens as "Bild öffnen..." does. Every project and picture opened, by these ways or by
// the menu commands, goes to the top of the recent files.
class FileOpening : public QObject
{
    Q_OBJECT
public:
    FileOpening(TMainForm &form, ProjectCommands &projects);

    // True when the file was opened; a file that cannot be read has been reported.
    bool open(const QString &fileName);
    RecentFiles &recentFiles() { return *recent; }

    static bool isProject(const QString &fileName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TMainForm &form;
    ProjectCommands &projects;
    RecentFiles *recent = nullptr;
};

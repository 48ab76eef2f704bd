#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

// "Zuletzt geöffnet" (Zuletztgeffnet1): the projects and pictures opened last, newest first, in a
// submenu of the file menu. The list is kept in the stored settings as soon as it changes, so a
// second window or a crash does not lose it. A file that is gone when chosen is reported and
// leaves the list.
class RecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxFiles = 8;

    // The submenu goes into fileMenu before the item before; window owns it and the messages.
    RecentFiles(QMenu *fileMenu, QAction *before, QWidget *window);

    QMenu *menu() const { return Zuletztgeffnet1; }
    QStringList files() const { return list; }
    // Puts fileName first (once), keeps MaxFiles and stores the list.
    void add(const QString &fileName);

signals:
    // A listed file that exists was chosen.
    void openRequested(const QString &fileName);

private:
    void remove(const QString &fileName);
    void choose(const QString &fileName);
    void store() const;
    void rebuildMenu();

    QWidget *window;
    QMenu *Zuletztgeffnet1 = nullptr;
    QStringList list;
};

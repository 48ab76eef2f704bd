#include "ui/commands/fileopening.h"

#include "ui/commands/projectcommands.h"
#include "ui/commands/recentfiles.h"
#include "ui/mainwindow/mainform.h"

#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// The first local file among the dropped ones; folders and remote addresses are not opened.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return url.toLocalFile();
    return {};
}

// The item that follows "Projekt öffnen..." in the file menu: the recent files go before it.
QAction *afterProjectOpen(QMenu *fileMenu, QAction *projectOpen)
{
    const QList<QAction *> items = fileMenu->actions();
    const qsizetype at = items.indexOf(projectOpen);
    return at >= 0 && at + 1 < items.size() ? items.at(at + 1) : nullptr;
}

} // namespace

FileOpening::FileOpening(TMainForm &mainForm, ProjectCommands &projectCommands)
    : QObject(&mainForm), form(mainForm), projects(projectCommands)
{
    setObjectName(QStringLiteral("FileOpening"));
    recent = new RecentFiles(form.menus.fileMenu, afterProjectOpen(form.menus.fileMenu, form.menus.openProject), &form);
    connect(recent, &RecentFiles::openRequested, this, &FileOpening::open);
    connect(&projects, &ProjectCommands::projectFileUsed, recent, &RecentFiles::add);
    connect(&form, &TMainForm::pictureOpened, recent, &RecentFiles::add);

    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool FileOpening::isProject(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("ver"), Qt::CaseInsensitive) == 0;
}

bool FileOpening::open(const QString &fileName)
{
    if (isProject(fileName))
        return projects.askToSaveChanges() && projects.openprojekt(fileName);
    return form.LadeBild(fileName);
}

bool FileOpening::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &form)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!droppedFile(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString fileName = droppedFile(drop->mimeData());
        if (fileName.isEmpty())
            return false;
        drop->acceptProposedAction();
        // The questions and dialogs of opening wait until the drag has ended: the program the
        // file came from is waiting for it.
        QTimer::singleShot(0, this, [this, fileName] { open(fileName); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

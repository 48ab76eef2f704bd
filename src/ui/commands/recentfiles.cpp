#include "ui/commands/recentfiles.h"

#include "core/translate.h"
#include "ui/mainwindow/formstorage.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>

namespace {

const QString Group = QStringLiteral("RecentFiles");
const QString Key = QStringLiteral("Files");

// Two names of the same file are one entry.
QString canonical(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

RecentFiles::RecentFiles(QMenu *fileMenu, QAction *before, QWidget *parentWindow)
    : QObject(parentWindow), window(parentWindow)
{
    setObjectName(QStringLiteral("RecentFiles"));
    Zuletztgeffnet1 = new QMenu(QStringLiteral("Zuletzt geöffnet"), fileMenu);
    Zuletztgeffnet1->setObjectName(QStringLiteral("Zuletztgeffnet1"));
    Zuletztgeffnet1->menuAction()->setObjectName(QStringLiteral("Zuletztgeffnet1"));
    fileMenu->insertMenu(before, Zuletztgeffnet1);

    QSettings settings(FormStorage::fileName(), QSettings::IniFormat);
    for (const QString &fileName : settings.value(Group + QLatin1Char('/') + Key).toStringList())
        if (!fileName.isEmpty() && !list.contains(fileName) && list.size() < MaxFiles)
            list.append(fileName);
    rebuildMenu();
}

void RecentFiles::add(const QString &fileName)
{
    const QString entry = canonical(fileName);
    list.removeAll(entry);
    list.prepend(entry);
    while (list.size() > MaxFiles)
        list.removeLast();
    store();
    rebuildMenu();
}

void RecentFiles::remove(const QString &fileName)
{
    list.removeAll(fileName);
    store();
    rebuildMenu();
}

void RecentFiles::choose(const QString &fileName)
{
    if (QFileInfo(fileName).isFile()) {
        emit openRequested(fileName);
        return;
    }
    remove(fileName);
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    Translate(QStringLiteral("Die Datei „%1“ gibt es nicht mehr. Sie wurde aus der Liste der zuletzt geöffneten Dateien entfernt."))
                        .arg(QDir::toNativeSeparators(fileName)),
                    QMessageBox::Ok, window);
    box.setObjectName(QStringLiteral("RecentFileMissingBox"));
    box.exec();
}

void RecentFiles::store() const
{
    QSettings settings(FormStorage::fileName(), QSettings::IniFormat);
    settings.setValue(Group + QLatin1Char('/') + Key, list);
}

void RecentFiles::rebuildMenu()
{
    Zuletztgeffnet1->clear();
    for (int i = 0; i < list.size(); ++i) {
        const QString fileName = list.at(i);
        // The number is the access key; an ampersand in a name must not become one.
        QString caption = QFileInfo(fileName).fileName();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = Zuletztgeffnet1->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        item->setData(fileName);
        item->setStatusTip(QDir::toNativeSeparators(fileName));
        item->setToolTip(QDir::toNativeSeparators(fileName));
        connect(item, &QAction::triggered, this, [this, fileName] { choose(fileName); });
    }
    Zuletztgeffnet1->setEnabled(!list.isEmpty());
}

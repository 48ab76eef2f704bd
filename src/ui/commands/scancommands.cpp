#include "ui/commands/scancommands.h"

#include "core/picture.h"
#include "scan/quillet.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QMainWindow>

ScanCommands::ScanCommands(QMainWindow *mainWindow, Workspace &workspace)
    : QObject(mainWindow), window(mainWindow), work(workspace)
{
    if (QAction *scan = window->findChild<QAction *>(QStringLiteral("Scannen1"))) {
        scan->setEnabled(true);
        connect(scan, &QAction::triggered, this, &ScanCommands::Scannen1Click);
    }
    if (QAction *select = window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))) {
        select->setEnabled(true);
        connect(select, &QAction::triggered, this, &ScanCommands::Scannerwhlen1Click);
    }
    window->installEventFilter(this);
}

void ScanCommands::Scannen1Click()
{
    TWAIN_ScanImage(window);
}

void ScanCommands::Scannerwhlen1Click()
{
    TWAIN_SelectScanner(window);
}

bool ScanCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == ScanReadyEventType) {
        WMUser2(static_cast<ScanReadyEvent *>(event)->wParam());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ScanCommands::WMUser2(quintptr wParam)
{
    Picture scanned;
    GetScanedDib(scanned.record(), wParam);
    if (scanned.isNull())
        return;
    work.setPicture(std::move(scanned));
    emit pictureScanned();
}

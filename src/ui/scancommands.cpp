#include "ui/scancommands.h"

#include "scan/quillet.h"

#include <QAction>
#include <QMainWindow>

ScanCommands::ScanCommands(QMainWindow *mainWindow, ReplaceImage replace)
    : QObject(mainWindow), window(mainWindow), replaceImage(std::move(replace))
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
    dib scanned;
    GetScanedDib(scanned, wParam);
    if (!scanned.poi)
        return;
    replaceImage(scanned);
}

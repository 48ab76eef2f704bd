#include "ui/commands/scancommands.h"

#include "core/picture.h"
#include "scan/quillet.h"
#include "ui/commands/backgroundjob.h"
#include "ui/commands/menuitem.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QMainWindow>

namespace {

// A scan shows and cancels like opening and saving a file. A cancel waits until the device has
// stopped, so that the next scan finds it free.
bool scanInBackground(QWidget *window, const QString &text, const std::shared_ptr<TransferProgress> &progress,
                      std::function<void()> task)
{
    auto *mainWindow = qobject_cast<QMainWindow *>(window);
    if (!mainWindow)
        return false;
    BackgroundJob::run(mainWindow, text, progress, std::move(task), BackgroundJob::OnCancel::WaitForTask);
    return true;
}

} // namespace

ScanCommands::ScanCommands(QMainWindow *mainWindow, Workspace &workspace, QAction *scanItem,
                           QAction *selectScannerItem)
    : QObject(mainWindow), window(mainWindow), work(workspace)
{
    offerItem(scanItem, this, &ScanCommands::Scannen1Click);
    offerItem(selectScannerItem, this, &ScanCommands::Scannerwhlen1Click);
    window->installEventFilter(this);
    setScanRunner(scanInBackground);
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

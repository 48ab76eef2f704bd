#pragma once

#include "core/dib.h"
#include "scan/scanreadyevent.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QWidget;
struct TransferProgress;

// The scanner library: choosing a device, scanning on a thread of its own, and handing the
// scanned picture to the window the scan was started for.

// Lets the user choose the device later scans use; says so when there is none. The devices are
// listed under the runner (below) like a scan; a cancelled listing leaves the choice as it was.
void TWAIN_SelectScanner(QWidget *window);
// Starts a scan from the chosen device (or the first one found); returns at once, or under a
// runner (below) once the scan has ended. The window receives a ScanReadyEvent when the picture
// is ready; failures are reported in a message, a cancelled scan ends silently.
void TWAIN_ScanImage(QWidget *window);
// Hands the picture announced under id over to the caller, who releases it with FreeDib. An
// unknown or already collected id gives a record without pixels. image is overwritten, not
// released.
void GetScanedDib(dib &image, quintptr id);

// Runs a scan's task (or the listing of the devices) off the user-interface thread and returns
// once it has ended, showing the bytes in progress under text and setting progress's cancelled
// flag when the user cancels; false when it cannot watch window. The window installs one so that
// a scan shows and cancels like its other long tasks; without one (or when it declines) a scan is
// watched by a progress dialog and the devices are listed under a wait cursor.
using ScanRunner = std::function<bool(QWidget *window, const QString &text,
                                      const std::shared_ptr<TransferProgress> &progress, std::function<void()> task)>;
void setScanRunner(ScanRunner runner);

// Whether a scan started with TWAIN_ScanImage, or a listing of the devices, is still running.
bool scannerBusy();

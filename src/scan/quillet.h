#pragma once

#include "core/dib.h"
#include "scan/scanreadyevent.h"

#include <QtGlobal>

class QWidget;

// The scanner library: choosing a device, scanning on a thread of its own, and handing the
// scanned picture to the window the scan was started for.

// Lets the user choose the device later scans use; says so when there is none.
void TWAIN_SelectScanner(QWidget *window);
// Starts a scan from the chosen device (or the first one found) and returns at once. The window
// receives a ScanReadyEvent when the picture is ready; failures are reported in a message, a
// cancelled scan ends silently.
void TWAIN_ScanImage(QWidget *window);
// Hands the picture announced under id over to the caller, who releases it with FreeDib. An
// unknown or already collected id gives a record without pixels. image is overwritten, not
// released.
void GetScanedDib(dib &image, quintptr id);

// Whether a scan started with TWAIN_ScanImage is still running.
bool scannerBusy();

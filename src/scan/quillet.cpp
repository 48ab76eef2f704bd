#include "scan/quillet.h"

#include "core/translate.h"
#include "scan/sanesession.h"
#include "scan/scanjob.h"
#include "scan/scanmessage.h"
#include "scan/scannedimages.h"
#include "scan/scanoptions.h"
#include "scan/selectscannerdialog.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

bool shutdownRegistered = false;

void shutdownScanner()
{
    shutdownRegistered = false;
    // A device that does not let go keeps SANE: ending it under a running read would crash.
    if (ScanJob::stopRunning())
        endSane();
    discardScannedImages();
}

bool startScanner(QWidget *window)
{
    const SANE_Status status = beginSane();
    if (status != SANE_STATUS_GOOD) {
        showScanMessage(window,
                        Translate(QStringLiteral("Der Scanner-Zugang konnte nicht gestartet werden:")) + QLatin1Char('\n')
                            + saneStatusText(status),
                        QStringLiteral("ScanErrorBox"));
        return false;
    }
    if (!shutdownRegistered) {
        qAddPostRoutine(shutdownScanner);
        shutdownRegistered = true;
    }
    return true;
}

void showNoScanner(QWidget *window)
{
    showScanMessage(window, Translate(QStringLiteral("Es wurde kein Scanner gefunden.")), QStringLiteral("NoScannerBox"));
}

} // namespace

void TWAIN_SelectScanner(QWidget *window)
{
    if (ScanJob::running()) {
        ScanJob::raiseRunning();
        return;
    }
    if (!startScanner(window))
        return;
    const QPointer<QWidget> target = window;
    const std::optional<QList<ScannerDevice>> devices = ScanJob::listDevices(window);
    // A cancelled listing leaves the choice as it was.
    if (!devices || !target)
        return;
    if (devices->isEmpty()) {
        showNoScanner(window);
        return;
    }
    SelectScannerDialog dialog(*devices, chosenScanner(), window);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedDevice().isEmpty())
        setChosenScanner(dialog.selectedDevice());
}

void TWAIN_ScanImage(QWidget *window)
{
    if (ScanJob::running()) {
        ScanJob::raiseRunning();
        return;
    }
    if (!startScanner(window))
        return;
    ScanJob::start(window, chosenScanner(), scanOptions());
}

void GetScanedDib(dib &image, quintptr id)
{
    if (!takeScannedImage(id, image))
        image = dib{};
}

void setScanRunner(ScanRunner runner)
{
    ScanJob::setRunner(std::move(runner));
}

bool scannerBusy()
{
    return ScanJob::running();
}

#include "core/translate.h"
#include "scan/quillet.h"
#include "scan/scanmessage.h"

// The scanner library of a build without SANE: the scan commands stay in the menu and say why
// they cannot scan.

namespace {

void showScanningUnavailable(QWidget *window)
{
    showScanMessage(window,
                    Translate(QStringLiteral(
                        "Scannen ist nicht verfügbar: Dieses Programm wurde ohne Scanner-Unterstützung (SANE) erstellt.")),
                    QStringLiteral("ScanUnavailableBox"));
}

} // namespace

void TWAIN_SelectScanner(QWidget *window)
{
    showScanningUnavailable(window);
}

void TWAIN_ScanImage(QWidget *window)
{
    showScanningUnavailable(window);
}

void GetScanedDib(dib &image, quintptr)
{
    image = dib{};
}

void setScanRunner(ScanRunner)
{
}

bool scannerBusy()
{
    return false;
}

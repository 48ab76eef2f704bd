#include "scan/sanesession.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex sessionMutex;
bool initialised = false;

QString text(SANE_String_Const s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

SANE_Status beginSane()
{
    const QMutexLocker lock(&sessionMutex);
    if (initialised)
        return SANE_STATUS_GOOD;
    SANE_Int version = 0;
    const SANE_Status status = sane_init(&version, nullptr);
    initialised = status == SANE_STATUS_GOOD;
    return status;
}

void endSane()
{
    const QMutexLocker lock(&sessionMutex);
    if (!initialised)
        return;
    sane_exit();
    initialised = false;
}

QList<ScannerDevice> listScanners()
{
    QList<ScannerDevice> devices;
    const SANE_Device **list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return devices;
    for (const SANE_Device **d = list; *d; ++d) {
        if (!(*d)->name)
            continue;
        devices.append({text((*d)->name), text((*d)->vendor), text((*d)->model), text((*d)->type)});
    }
    return devices;
}

QString saneStatusText(SANE_Status status)
{
    return QString::fromLocal8Bit(sane_strstatus(status));
}

#pragma once

#include <QList>
#include <QString>

#include <sane/sane.h>

struct ScannerDevice {
    QString name;
    QString vendor;
    QString model;
    QString type;
};

// Initialises SANE on first use; SANE stays initialised until endSane(). Returns SANE's status.
SANE_Status beginSane();
// Ends SANE when it was initialised. No scan may be running.
void endSane();

// The devices SANE finds now. Needs beginSane(); empty on failure.
QList<ScannerDevice> listScanners();

// SANE's own text for a status.
QString saneStatusText(SANE_Status status);

#pragma once

#include "scan/sanesession.h"

#include <QDialog>
#include <QList>
#include <QString>

class QPushButton;
class QTreeWidget;

// Lists the scanners with maker, model and device name; the current choice starts selected.
class SelectScannerDialog : public QDialog
{
    Q_OBJECT
public:
    SelectScannerDialog(const QList<ScannerDevice> &devices, const QString &current, QWidget *parent = nullptr);

    // The device name of the selected row; empty when none is selected.
    QString selectedDevice() const;

private:
    QTreeWidget *list = nullptr;
    QPushButton *okButton = nullptr;
};

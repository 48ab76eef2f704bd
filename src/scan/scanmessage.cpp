#include "scan/scanmessage.h"

#include <QCoreApplication>
#include <QMessageBox>

void showScanMessage(QWidget *parent, const QString &text, const QString &objectName)
{
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.setObjectName(objectName);
    box.exec();
}

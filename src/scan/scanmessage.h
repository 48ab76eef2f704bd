#pragma once

#include <QString>

class QWidget;

// The scanner library's modal message with an OK button, titled with the program's name.
void showScanMessage(QWidget *parent, const QString &text, const QString &objectName);

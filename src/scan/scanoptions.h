#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

// What the next scans ask of the device. Empty or zero fields leave the device's own setting.
// The program itself scans with the device's settings; tests and later dialogs set these.
struct ScanOptions {
    // "Gray", "Color" or "Lineart" (or any mode the device lists). A device without a line-art
    // mode scans line art as grey at 1 bit.
    QString mode;
    // Bits per sample; 0 means 8 for "Gray" and "Color", 1 for "Lineart".
    int depth = 0;
    // Separate red, green and blue frames, for devices that offer the choice.
    std::optional<bool> threePass;
    // Dots per inch; 0 keeps the device's resolution.
    double resolution = 0.0;
    // Further device options by SANE name and value text ("test-picture" = "Solid white"), set
    // in this order after the ones above. Numbers are written with ".", switches as yes or no.
    QList<std::pair<QString, QString>> extra;
};

void setScanOptions(const ScanOptions &options);
ScanOptions scanOptions();

// The device chosen with TWAIN_SelectScanner, kept in the settings folder; empty when none was.
QString chosenScanner();
void setChosenScanner(const QString &deviceName);
// The settings file that holds the choice.
QString scannerSettingsPath();

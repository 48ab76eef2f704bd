#include "scan/scanoptions.h"

#include "core/optionsfile.h"

#include <QSettings>

namespace {

ScanOptions &currentOptions()
{
    static ScanOptions options;
    return options;
}

const QString deviceKey = QStringLiteral("Scanner/device");

} // namespace

void setScanOptions(const ScanOptions &options)
{
    currentOptions() = options;
}

ScanOptions scanOptions()
{
    return currentOptions();
}

QString scannerSettingsPath()
{
    return settingsFolder() + QStringLiteral("settings.ini");
}

QString chosenScanner()
{
    const QSettings settings(scannerSettingsPath(), QSettings::IniFormat);
    return settings.value(deviceKey).toString();
}

void setChosenScanner(const QString &deviceName)
{
    settingsFolder(true);
    QSettings settings(scannerSettingsPath(), QSettings::IniFormat);
    settings.setValue(deviceKey, deviceName);
    settings.sync();
}

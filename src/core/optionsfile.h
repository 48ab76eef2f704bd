#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One named scale of the scale dialog's list: its caption and its three sub-texts.
struct SavedScale {
    QString name;
    QString pixel;
    QString value;
    QString unit;

    bool operator==(const SavedScale &) const = default;
};

// What options.dat keeps between runs. A first start has English and no saved scales.
struct Options {
    int language = 1;
    QList<SavedScale> scales;

    bool operator==(const Options &) const = default;
};

// Highest language column of the translation table; a stored language beyond it means English.
inline constexpr int MaxLanguage = 29;

// The per-user settings folder, $XDG_CONFIG_HOME/Kovrant/Tesselon/, ending in "/". With create
// set, the folder and its missing parents are made. When the system names no configuration
// folder, the program's own folder is used.
QString settingsFolder(bool create = false);
QString optionsFilePath();

// Writes the options through a temporary file, so a failed write keeps the previous file.
// Creates the folder of path when it is missing.
bool SaveOptions(const QString &path, const Options &options);

// A missing or unreadable file gives the defaults and succeeds (a first start). A damaged file
// is refused: options stay as they were and error receives a German text naming the file.
bool LoadOptions(const QString &path, Options &options, QString *error = nullptr);
bool loadOptionsFromBytes(const QByteArray &bytes, Options &options, QString *error = nullptr);

#pragma once

#include "core/csvexport.h"
#include "core/dxfexport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QAnyStringView>

#include <span>

class Document;
struct ProjectSettings;
struct RenderInputs;
struct dib;

// What an export is made from: the work as the command that asks for it sees it, and that
// command's choices. Each format reads only what it needs.
struct ExportSource {
    Document &doc;
    const dib &image;
    const RenderInputs &in;
    // The results list as a table (resultsTable), the decimals its numbers show and the
    // project's file (empty when the work was not saved as a project): csv and xlsx.
    QList<QStringList> results;
    int resultDecimals = 4;
    QString projectFile;
    // The project's settings: ver.
    const ProjectSettings *project = nullptr;
    int pieces = DxfDefaultPieces;   // dxf
    bool withPicture = true;         // png, pdf, picture
    CsvStyle csvStyle = CsvStyle::Comma;
};

// One output format. Every write goes through the safe-write helper, so a failed export leaves
// an existing file untouched; it returns false with a German text in *error.
struct Exporter {
    const char *id;                       // the command line's FORMAT
    const char *suffix;                   // what a name typed without one gets
    std::span<const char16_t *const> filters; // the save dialog's file types, German
    bool needsWindow;                     // offered by the window only, not on the command line
    bool (*write)(const QString &path, ExportSource &source, QString *error);
};

// Every format, the window's and the command line's.
std::span<const Exporter> exporters();

// The format with this id, or nullptr.
const Exporter *findExporter(QAnyStringView id);

// The save dialog's file types of a format as a list.
QStringList exporterFilters(const Exporter &exporter);

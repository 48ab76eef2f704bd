#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// tesselon --import PICTURE_OR_PDF OUT.ver [--page N] [--dpi D] [--plan-scale 1:N --unit U]
//                  [--rectify X1,Y1,X2,Y2,X3,Y3,X4,Y4 WIDTH HEIGHT UNIT] [--language N]
// writes a project with the picture (a PDF page rendered, a photograph straightened) and its scale.

struct ImportRequest {
    QString source;
    QString target;
    int page = 1;           // counted from 1, as the user sees pages
    double dpi = 200.0;
    std::optional<double> planRatio;
    QString unit;
    bool rectify = false;
    QString corners;        // X1,Y1,...,Y4 in picture pixels
    double realWidth = 0;
    double realHeight = 0;
    QString rectifyUnit;
};

// A usage error: the German text and its arguments.
struct ImportUsage {
    QString text;
    QStringList arguments;
};

bool isImportCommand(const QStringList &arguments);

// Parses the whole command line of an import.
std::optional<ImportUsage> parseImport(const QStringList &arguments, ImportRequest &request);

// Runs it; the project keeps the scale in its extension block. On failure error receives the
// message and no output file is left.
bool runImport(const ImportRequest &request, QString &error);

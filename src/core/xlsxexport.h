#pragma once

#include "core/geometry.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where results come from, for the workbook's second sheet.
struct XlsxSource {
    QString projectFile; // the project's file, empty for work not saved as a project
    Scale scale;
    QString unit;
};

// A results table (as resultsTable makes it) as an XLSX workbook. The first sheet holds the table:
// the captions bold in a frozen first row, the length, area and angle columns and the "±" columns
// after the unit as numbers (the values as the list shows them) formatted with the given
// decimals, names and units as text, each column wide enough for its longest text. The second
// sheet names the project file and the scale. Written through the safe-write helper; false with
// a German text in *error.
bool exportXlsx(const QString &path, const QList<QStringList> &table, int decimals, const XlsxSource &source,
                QString *error);

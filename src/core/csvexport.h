#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ResultsModel;

// A table of text fields as CSV after RFC 4180: "," between fields, CR LF after every record,
// fields holding a comma, a double quote, CR or LF enclosed in double quotes with inner quotes
// doubled. UTF-8 with a byte-order mark, so spreadsheet programs read umlauts.
QByteArray csvText(const QList<QStringList> &rows);

// Reads such a table back (byte-order mark optional, CR LF or LF). False with a message in
// *error when a quoted field is not closed or a closing quote is followed by other text.
bool readCsv(const QByteArray &data, QList<QStringList> &rows, QString *error);

// The results list as a table: first the five column captions and unitCaption, then one record
// per list row with its five texts exactly as listed and, sixth, the unit of the row's
// "Länge/Umfang" value: einh wherever the row has a length or perimeter (its area is then in
// einh + "²"), "°" for an angle row, which has only the angle.
// When the model shows the "±" columns they follow the unit, captioned as in the model. The
// model's side rows ("Segment 1", ...) follow their element's row unless withSegments is false.
QList<QStringList> resultsTable(const ResultsModel &model, const QStringList &captions,
                                const QString &unitCaption, const QString &einh, bool withSegments = true);

// Writes text to path through QSaveFile, so a failed export leaves an existing file untouched.
// On failure returns false with message 17 and the file name (the file cannot be created) or
// the system's error report (a write error) in *error.
bool exportCsv(const QString &path, const QByteArray &text, QString *error);

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class ResultsModel;

// The two conventions spreadsheet programs read CSV in: "," between fields and numbers with a
// decimal point (English desktops), or ";" between fields and a decimal comma (German and
// Italian desktops, where the comma is the decimal separator).
enum class CsvStyle { Comma, Semicolon };

// The convention of the desktops of an interface language (0 German, 1 English, 2 Italian).
CsvStyle csvStyleForLanguage(int languageIndex);

// The field separator of a style.
char csvSeparator(CsvStyle style);

// A table of text fields as CSV after RFC 4180: the style's separator between fields, CR LF after
// every record, fields holding the separator, a double quote, CR or LF enclosed in double quotes
// with inner quotes doubled. UTF-8 with a byte-order mark, so spreadsheet programs read umlauts.
// The texts are written as they are; see resultsCsv for the numbers.
QByteArray csvText(const QList<QStringList> &rows, CsvStyle style = CsvStyle::Comma);

// Reads such a table back (byte-order mark optional, CR LF or LF). False with a message in
// *error when a quoted field is not closed or a closing quote is followed by other text.
bool readCsv(const QByteArray &data, QList<QStringList> &rows, QString *error, CsvStyle style = CsvStyle::Comma);

// The results list as a table: first the five column captions and unitCaption, then one record
// per list row with its five texts exactly as listed and, sixth, the unit of the row's
// "Länge/Umfang" value: unit wherever the row has a length or perimeter (its area is then in
// unit + "²"), "°" for an angle row, which has only the angle.
// When the model shows the "±" columns they follow the unit, captioned as in the model. The
// model's side rows ("Segment 1", ...) follow their element's row unless withSegments is false.
QList<QStringList> resultsTable(const ResultsModel &model, const QStringList &captions,
                                const QString &unitCaption, const QString &unit, bool withSegments = true);

// A results table (as resultsTable makes it) as CSV in a style: with the semicolon, the numbers
// of the length, area and angle columns get a decimal comma; captions and names stay as they are.
QByteArray resultsCsv(const QList<QStringList> &table, CsvStyle style);

// Writes text to path through the safe-write helper, so a failed export leaves an existing file untouched.
// On failure returns false with message 17 and the file name (the file cannot be created) or
// the system's error report (a write error) in *error.
bool exportCsv(const QString &path, const QByteArray &text, QString *error);

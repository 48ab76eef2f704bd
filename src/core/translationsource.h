#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TranslationTable;

// The shipped translation table in its reviewable form (translations/table.tsv), UTF-8:
//
//   - Lines that are empty or start with "#" are comments.
//   - The first other line names the columns, separated by tabs: "German" first, then any of
//     "English", "Italian" and "language3" .. "language29", each at most once.
//   - Every further line is one German text and its translations, one cell per named column.
//   - In a cell, "\t", "\n", "\r" and "\\" stand for a tab, a line feed, a carriage return and a
//     backslash; a backslash before any other character stands for that character, so "\=" is a
//     literal "=" and "\#" a leading "#".
//   - A cell that is exactly "=" marks a text that is the same as the German one on purpose
//     ("OK", "Polygon"); an empty cell is a missing translation.
struct TranslationSource {
    struct Row {
        int line = 0;
        // One text per column; a same-on-purpose cell holds the German text.
        QStringList cells;
        // Per column: the cell was the "=" marker.
        QList<bool> same;
    };
    QStringList headers;
    // The table column of every source column; the first is 0.
    QList<int> columns;
    QList<Row> rows;
};

// Parses the source. Fails, with a message naming the line, on invalid UTF-8, a missing or
// unknown column name, a wrong number of cells, a broken escape, an empty German text, a German
// text with leading or trailing spaces (the lookup strips them, so it could never be found) and a
// German text that occurs twice.
bool parseTranslationSource(const QByteArray &utf8, TranslationSource &source, QString &error);

// Replaces the table's content by the source's rows, in source order. Fails only when memory runs out.
bool fillTranslationTable(const TranslationSource &source, TranslationTable &table);

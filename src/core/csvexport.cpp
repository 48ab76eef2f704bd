#include "core/csvexport.h"

#include "core/resultsmodel.h"
#include "core/safewrite.h"

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

void appendField(QByteArray &out, const QString &field, char separator)
{
    const QByteArray utf8 = field.toUtf8();
    const bool quoted = utf8.contains(separator) || utf8.contains('"') || utf8.contains('\r') || utf8.contains('\n');
    if (!quoted) {
        out.append(utf8);
        return;
    }
    out.append('"');
    for (const char c : utf8) {
        if (c == '"')
            out.append('"');
        out.append(c);
    }
    out.append('"');
}

} // namespace

CsvStyle csvStyleForLanguage(int languageIndex)
{
    return languageIndex == 0 || languageIndex == 2 ? CsvStyle::Semicolon : CsvStyle::Comma;
}

char csvSeparator(CsvStyle style)
{
    return style == CsvStyle::Semicolon ? ';' : ',';
}

QByteArray csvText(const QList<QStringList> &rows, CsvStyle style)
{
    const char separator = csvSeparator(style);
    QByteArray out = ByteOrderMark;
    for (const QStringList &row : rows) {
        // A record of one empty field would read back as an empty line.
        if (row.size() == 1 && row.first().isEmpty()) {
            out.append("\"\"\r\n");
            continue;
        }
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                out.append(separator);
            appendField(out, row.at(i), separator);
        }
        out.append("\r\n");
    }
    return out;
}

bool readCsv(const QByteArray &data, QList<QStringList> &rows, QString *error, CsvStyle style)
{
    const QChar separator = QLatin1Char(csvSeparator(style));
    rows.clear();
    const QString text = QString::fromUtf8(data.startsWith(ByteOrderMark) ? data.mid(ByteOrderMark.size()) : data);
    const qsizetype n = text.size();
    qsizetype i = 0;
    QList<QStringList> result;
    while (i < n) {
        QStringList record;
        for (;;) {
            QString field;
            if (i < n && text.at(i) == QLatin1Char('"')) {
                const qsizetype opened = i++;
                for (;;) {
                    if (i >= n) {
                        if (error)
                            *error = QStringLiteral("CSV: quoted field opened at character %1 is not closed").arg(opened);
                        return false;
                    }
                    const QChar c = text.at(i++);
                    if (c != QLatin1Char('"')) {
                        field.append(c);
                    } else if (i < n && text.at(i) == QLatin1Char('"')) {
                        field.append(c);
                        ++i;
                    } else {
                        break;
                    }
                }
                if (i < n && text.at(i) != separator && text.at(i) != QLatin1Char('\r') &&
                    text.at(i) != QLatin1Char('\n')) {
                    if (error)
                        *error = QStringLiteral("CSV: text after the closing quote at character %1").arg(i);
                    return false;
                }
            } else {
                while (i < n && text.at(i) != separator && text.at(i) != QLatin1Char('\r') &&
                       text.at(i) != QLatin1Char('\n'))
                    field.append(text.at(i++));
            }
            record.append(field);
            if (i < n && text.at(i) == separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text.at(i) == QLatin1Char('\r'))
            ++i;
        if (i < n && text.at(i) == QLatin1Char('\n'))
            ++i;
        result.append(record);
    }
    rows = result;
    return true;
}

QList<QStringList> resultsTable(const ResultsModel &model, const QStringList &captions,
                                const QString &unitCaption, const QString &unit, bool withSegments)
{
    QList<QStringList> table;
    QStringList head;
    for (int c = 0; c < ResultsModel::ColumnCount; ++c)
        head.append(captions.value(c));
    head.append(unitCaption);
    const int columns = model.columnCount();
    for (int c = ResultsModel::ColumnCount; c < columns; ++c)
        head.append(model.headerData(c, Qt::Horizontal).toString());
    table.append(head);

    const QString degree = QStringLiteral("°");
    const int count = model.rowCount();
    for (int r = 0; r < count; ++r) {
        QStringList row;
        for (int c = 0; c < ResultsModel::ColumnCount; ++c)
            row.append(model.text(r, c));
        if (!model.text(r, ResultsModel::ColumnLaenge).isEmpty())
            row.append(unit);
        else if (!model.text(r, ResultsModel::ColumnWinkel).isEmpty())
            row.append(degree);
        else
            row.append(QString());
        for (int c = ResultsModel::ColumnCount; c < columns; ++c)
            row.append(model.text(r, c));
        table.append(row);
        if (!withSegments)
            continue;
        for (int s = 0; s < model.segmentCount(r); ++s) {
            QStringList side;
            for (int c = 0; c < ResultsModel::ColumnCount; ++c)
                side.append(model.segmentText(r, s, c));
            side.append(unit);
            for (int c = ResultsModel::ColumnCount; c < columns; ++c)
                side.append(model.segmentText(r, s, c));
            table.append(side);
        }
    }
    return table;
}

QByteArray resultsCsv(const QList<QStringList> &table, CsvStyle style)
{
    if (style == CsvStyle::Comma)
        return csvText(table, style);
    QList<QStringList> converted = table;
    for (qsizetype r = 1; r < converted.size(); ++r) {
        QStringList &row = converted[r];
        for (int c = ResultsModel::ColumnLaenge; c <= ResultsModel::ColumnWinkel && c < row.size(); ++c)
            row[c].replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return csvText(converted, style);
}

bool exportCsv(const QString &path, const QByteArray &text, QString *error)
{
    return writeFileSafely(path, text, error);
}

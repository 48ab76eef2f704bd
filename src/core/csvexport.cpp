#include "core/csvexport.h"

#include "core/resultsmodel.h"
#include "core/translate.h"

#include <QSaveFile>

namespace {

const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

void appendField(QByteArray &out, const QString &field)
{
    const QByteArray utf8 = field.toUtf8();
    const bool quoted = utf8.contains(',') || utf8.contains('"') || utf8.contains('\r') || utf8.contains('\n');
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

QByteArray csvText(const QList<QStringList> &rows)
{
    QByteArray out = ByteOrderMark;
    for (const QStringList &row : rows) {
        // A record of one empty field would read back as an empty line.
        if (row.size() == 1 && row.first().isEmpty()) {
            out.append("\"\"\r\n");
            continue;
        }
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                out.append(',');
            appendField(out, row.at(i));
        }
        out.append("\r\n");
    }
    return out;
}

bool readCsv(const QByteArray &data, QList<QStringList> &rows, QString *error)
{
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
                if (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\r') &&
                    text.at(i) != QLatin1Char('\n')) {
                    if (error)
                        *error = QStringLiteral("CSV: text after the closing quote at character %1").arg(i);
                    return false;
                }
            } else {
                while (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\r') &&
                       text.at(i) != QLatin1Char('\n'))
                    field.append(text.at(i++));
            }
            record.append(field);
            if (i < n && text.at(i) == QLatin1Char(',')) {
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
                                const QString &unitCaption, const QString &einh, bool withSegments)
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
            row.append(einh);
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
            side.append(einh);
            for (int c = ResultsModel::ColumnCount; c < columns; ++c)
                side.append(model.segmentText(r, s, c));
            table.append(side);
        }
    }
    return table;
}

bool exportCsv(const QString &path, const QByteArray &text, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = Message(17) + QLatin1Char(' ') + path;
        return false;
    }
    if (file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

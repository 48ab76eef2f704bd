#include "core/translationsource.h"

#include "core/translationtable.h"

#include <QHash>
#include <QStringDecoder>

namespace {

int columnOfHeader(const QString &name)
{
    if (name == QLatin1String("German"))
        return 0;
    if (name == QLatin1String("English"))
        return 1;
    if (name == QLatin1String("Italian"))
        return 2;
    if (name.startsWith(QLatin1String("language"))) {
        bool ok = false;
        const int column = name.mid(8).toInt(&ok);
        if (ok && column >= 3 && column < TranslationTable::Columns && name.mid(8) == QString::number(column))
            return column;
    }
    return -1;
}

bool unescape(const QString &cell, QString &text)
{
    text.clear();
    text.reserve(cell.size());
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell.at(i);
        if (c != u'\\') {
            text.append(c);
            continue;
        }
        if (++i == cell.size())
            return false;
        const QChar e = cell.at(i);
        if (e == u't')
            text.append(u'\t');
        else if (e == u'n')
            text.append(u'\n');
        else if (e == u'r')
            text.append(u'\r');
        else
            text.append(e);
    }
    return true;
}

QString lineError(int line, const QString &what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

} // namespace

bool parseTranslationSource(const QByteArray &utf8, TranslationSource &source, QString &error)
{
    source = TranslationSource();
    error.clear();
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString all = decoder.decode(utf8);
    if (decoder.hasError()) {
        error = QStringLiteral("the file is not valid UTF-8");
        return false;
    }
    QHash<QString, int> seen;
    const QStringList lines = all.split(u'\n');
    bool headerRead = false;
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const int lineNumber = static_cast<int>(l + 1);
        QString line = lines.at(l);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList cells = line.split(u'\t');
        if (!headerRead) {
            QList<bool> used(TranslationTable::Columns, false);
            for (const QString &name : cells) {
                const int column = columnOfHeader(name);
                if (column < 0 || used[column]) {
                    error = lineError(lineNumber, QStringLiteral("unknown or repeated column \"%1\"").arg(name));
                    return false;
                }
                used[column] = true;
                source.headers.append(name);
                source.columns.append(column);
            }
            if (source.columns.first() != 0) {
                error = lineError(lineNumber, QStringLiteral("the first column must be \"German\""));
                return false;
            }
            headerRead = true;
            continue;
        }
        if (cells.size() != source.columns.size()) {
            error = lineError(lineNumber, QStringLiteral("%1 cells where the header names %2")
                                              .arg(cells.size())
                                              .arg(source.columns.size()));
            return false;
        }
        TranslationSource::Row row;
        row.line = lineNumber;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const bool same = c > 0 && cells.at(c) == QLatin1String("=");
            QString text;
            if (same) {
                text = row.cells.first();
            } else if (!unescape(cells.at(c), text)) {
                error = lineError(lineNumber, QStringLiteral("a backslash ends cell %1").arg(c + 1));
                return false;
            }
            row.cells.append(text);
            row.same.append(same);
        }
        const QString &german = row.cells.first();
        if (german.isEmpty()) {
            error = lineError(lineNumber, QStringLiteral("empty German text"));
            return false;
        }
        if (german.startsWith(u' ') || german.endsWith(u' ')) {
            error = lineError(lineNumber, QStringLiteral("German text with leading or trailing spaces"));
            return false;
        }
        if (const auto it = seen.constFind(german); it != seen.constEnd()) {
            error = lineError(lineNumber, QStringLiteral("\"%1\" already stands in line %2").arg(german).arg(*it));
            return false;
        }
        seen.insert(german, lineNumber);
        source.rows.append(row);
    }
    if (!headerRead) {
        error = QStringLiteral("no header line");
        return false;
    }
    return true;
}

bool fillTranslationTable(const TranslationSource &source, TranslationTable &table)
{
    table.clear();
    for (const TranslationSource::Row &row : source.rows) {
        const int number = table.addRow(row.cells.first());
        if (number < 0)
            return false;
        for (qsizetype c = 1; c < row.cells.size(); ++c)
            table.setText(number, source.columns.at(c), row.cells.at(c));
    }
    return true;
}

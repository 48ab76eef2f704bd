#include "core/xlsxexport.h"

#include "core/numberformat.h"
#include "core/resultsmodel.h"
#include "core/safewrite.h"
#include "core/translate.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <vector>

namespace {

// Column widths are in characters of the workbook's default font; a little room on both sides.
constexpr double WidthMargin = 2.0;
constexpr double MinWidth = 6.0;
constexpr double MaxWidth = 80.0;

// The values, and the "±" columns that follow the unit's column when the list shows them.
bool isNumberColumn(qsizetype column)
{
    return (column >= ResultsModel::ColumnLaenge && column <= ResultsModel::ColumnWinkel)
           || column > ResultsModel::ColumnCount;
}

QByteArray numberFormat(int decimals)
{
    const int d = std::clamp(decimals, 0, 18);
    return d == 0 ? QByteArray("0") : QByteArray("0.") + QByteArray(d, '0');
}

void writeText(lxw_worksheet *sheet, int row, int column, const QString &text, lxw_format *format = nullptr)
{
    if (!text.isEmpty())
        worksheet_write_string(sheet, row, column, text.toUtf8().constData(), format);
}

void writeResults(lxw_worksheet *sheet, const QList<QStringList> &table, int decimals, lxw_format *bold,
                  lxw_format *number)
{
    std::vector<double> widths;
    for (qsizetype r = 0; r < table.size(); ++r) {
        const QStringList &row = table.at(r);
        if (widths.size() < static_cast<std::size_t>(row.size()))
            widths.resize(row.size(), MinWidth);
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString &text = row.at(c);
            double value = 0;
            QString shown = text;
            if (r == 0) {
                writeText(sheet, 0, c, text, bold);
            } else if (isNumberColumn(c) && parseNumber(text, value)) {
                worksheet_write_number(sheet, r, c, value, number);
                shown = F(value, decimals);
            } else {
                writeText(sheet, r, c, text);
            }
            // A name over several lines is as wide as its longest line.
            for (const QString &line : shown.split(QLatin1Char('\n')))
                widths[c] = std::max(widths[c], std::min(MaxWidth, line.size() + WidthMargin));
        }
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, c, c, widths[c], nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
}

void writeSource(lxw_worksheet *sheet, const XlsxSource &source, lxw_format *bold)
{
    const QLocale c = QLocale::c();
    const QString project = source.projectFile.isEmpty()
        ? Translate(QStringLiteral("nicht als Projekt gespeichert"))
        : QFileInfo(source.projectFile).fileName();
    const QString scale = QStringLiteral("%1 %2 = %3 %4")
                              .arg(c.toString(source.scale.pixelLength, 'g', 15), Message(3),
                                   c.toString(source.scale.realLength, 'g', 15), source.unit);
    const QString labels[] = {Translate(QStringLiteral("Projektdatei")), Translate(QStringLiteral("Maßstab"))};
    writeText(sheet, 0, 0, labels[0], bold);
    writeText(sheet, 0, 1, project);
    writeText(sheet, 1, 0, labels[1], bold);
    writeText(sheet, 1, 1, scale);
    const double labelWidth = std::max(labels[0].size(), labels[1].size()) + WidthMargin;
    const double valueWidth = std::max(project.size(), scale.size()) + WidthMargin;
    worksheet_set_column(sheet, 0, 0, std::clamp(labelWidth, MinWidth, MaxWidth), nullptr);
    worksheet_set_column(sheet, 1, 1, std::clamp(valueWidth, MinWidth, MaxWidth), nullptr);
}

} // namespace

bool exportXlsx(const QString &path, const QList<QStringList> &table, int decimals, const XlsxSource &source,
                QString *error)
{
    // The library writes only to a named file; it is made in a private folder and then put in
    // place like every other export, so a failure leaves an existing file untouched.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        if (error)
            *error = Message(17) + QLatin1Char(' ') + path;
        return false;
    }
    const QByteArray scratch = QFile::encodeName(folder.filePath(QStringLiteral("results.xlsx")));
    const QByteArray scratchFolder = QFile::encodeName(folder.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char *>(scratchFolder.constData());
    lxw_workbook *workbook = workbook_new_opt(scratch.constData(), &options);
    if (!workbook) {
        if (error)
            *error = Message(17) + QLatin1Char(' ') + path;
        return false;
    }
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format *number = workbook_add_format(workbook);
    format_set_num_format(number, numberFormat(decimals).constData());
    lxw_worksheet *results =
        workbook_add_worksheet(workbook, Translate(QStringLiteral("Ergebnisse")).left(31).toUtf8().constData());
    lxw_worksheet *about =
        workbook_add_worksheet(workbook, Translate(QStringLiteral("Projekt")).left(31).toUtf8().constData());
    if (results)
        writeResults(results, table, decimals, bold, number);
    if (about)
        writeSource(about, source, bold);
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR || !results || !about) {
        if (error)
            *error = Translate(QStringLiteral("Die XLSX-Datei konnte nicht erstellt werden.")) + QLatin1Char(' ') + path
                + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(closed));
        return false;
    }
    QFile made(QFile::decodeName(scratch));
    if (!made.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Message(17) + QLatin1Char(' ') + path;
        return false;
    }
    return writeFileSafely(path, made.readAll(), error);
}

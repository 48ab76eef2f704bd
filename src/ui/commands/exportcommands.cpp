#include "ui/commands/exportcommands.h"

#include "core/csvexport.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "render/exporters.h"
#include "ui/commands/menuitem.h"
#include "ui/dialogs/dxfexportform.h"
#include "ui/widgets/quietfiledialog.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

// The first extension of a filter entry such as "JPEG-Dateien (*.jpg *.jpeg)".
QString firstSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

// The work as the exporters read it, taken from the workspace and the window's view when a
// command runs; it owns what the render inputs refer to.
struct ExportCommands::Work {
    Work(Workspace &work, const ViewState &shown, const LabelNumbers &labelNumbers)
        : view(shown), settings(work.drawingSettings()),
          in{view, settings, work.scale(),
             labelNumbers ? labelNumbers(work.numberSettings()) : work.numberSettings()},
          source{work.document(), work.picture(), in}
    {
    }

    const ViewState view;
    const DrawingSettings settings;
    const RenderInputs in;
    ExportSource source;
};

ExportCommands::ExportCommands(QMainWindow *mainWindow, Workspace &workspace, const ResultsModel &resultsList,
                               ViewSource viewSource, const ExportItems &items)
    : QObject(mainWindow), window(mainWindow), work(workspace), results(resultsList), view(std::move(viewSource))
{
    DXFExportForm = new TDXFExportForm(window);
    SaveDialog1 = saveDialog("SaveDialog1", "picture");
    SaveDialog2 = saveDialog("SaveDialog2", "svg");
    SaveDialog4 = saveDialog("SaveDialog4", "emf");
    SaveDialog5 = saveDialog("SaveDialog5", "dxf");
    SaveDialog6 = saveDialog("SaveDialog6", "csv");
    SaveDialogXlsx = saveDialog("SaveDialogXlsx", "xlsx");

    offerItem(items.savePicture, this, &ExportCommands::AlsBildspeichern1Click);
    offerItem(items.saveLinesAsPicture, this, &ExportCommands::AlsBildspeichernnurLinien1Click);
    offerItem(items.exportResultsCsv, this, &ExportCommands::MessergebnissealsCSVDateiexportieren1Click);
    offerItem(items.exportLinesSvg, this, &ExportCommands::LinienalsSVGspeichern1Click);
    offerItem(items.exportLinesEmf, this, &ExportCommands::LinienalsDXFexportieren1Click);
    offerItem(items.exportLinesDxf, this, &ExportCommands::LinienDXFfrCNCexportierenKreisbgenkeineSplines1Click);
    offerItem(items.exportResultsXlsx, this, &ExportCommands::exportResultsXlsx);
}

QFileDialog *ExportCommands::saveDialog(const char *name, const char *format)
{
    const Exporter *exporter = findExporter(QLatin1String(format));
    auto *dialog = newQuietFileDialog(window);
    dialog->setObjectName(QLatin1String(name));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(exporterFilters(*exporter));
    dialog->setDefaultSuffix(QLatin1String(exporter->suffix));
    // A name typed without an extension gets the one of the chosen file type.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
        const QString chosen = firstSuffix(filter);
        if (!chosen.isEmpty())
            dialog->setDefaultSuffix(chosen);
    });
    return dialog;
}

QString ExportCommands::chooseFile(QFileDialog *dialog)
{
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool ExportCommands::write(const char *format, const QString &path, Work &shown, bool repaintAfter)
{
    QString error;
    const bool ok = findExporter(QLatin1String(format))->write(path, shown.source, &error);
    if (repaintAfter)
        emit repaintNeeded();
    if (!ok)
        QMessageBox::critical(window, QString(), error);
    return ok;
}

void ExportCommands::AlsBildspeichern1Click()
{
    savePicture(true);
}

void ExportCommands::AlsBildspeichernnurLinien1Click()
{
    savePicture(false);
}

void ExportCommands::savePicture(bool withPicture)
{
    const QString path = chooseFile(SaveDialog1);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    shown.source.withPicture = withPicture;
    write("picture", path, shown, true);
}

QList<QStringList> ExportCommands::resultsAsShown() const
{
    QStringList captions;
    for (int c = 0; c < ResultsModel::ColumnCount; ++c)
        captions.append(results.headerData(c, Qt::Horizontal).toString());
    // The side rows go with their elements unless the user left them out.
    return resultsTable(results, captions, Translate(QStringLiteral("Einheit")), work.numberSettings().unit,
                        !(sidesLeftOut && sidesLeftOut()));
}

void ExportCommands::MessergebnissealsCSVDateiexportieren1Click()
{
    // The filters may be translated by now; their order is that of CsvStyle.
    const QStringList filters = SaveDialog6->nameFilters();
    const bool semicolonFirst = csvStyleForLanguage(languageIndex()) == CsvStyle::Semicolon;
    SaveDialog6->selectNameFilter(filters.value(semicolonFirst ? 1 : 0));
    const QString path = chooseFile(SaveDialog6);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    shown.source.results = resultsAsShown();
    shown.source.csvStyle =
        filters.indexOf(SaveDialog6->selectedNameFilter()) == 1 ? CsvStyle::Semicolon : CsvStyle::Comma;
    write("csv", path, shown, false);
}

void ExportCommands::exportResultsXlsx()
{
    const QString path = chooseFile(SaveDialogXlsx);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    shown.source.results = resultsAsShown();
    shown.source.resultDecimals = results.decimalPlaces();
    shown.source.projectFile = work.fileName();
    write("xlsx", path, shown, false);
}

void ExportCommands::LinienalsSVGspeichern1Click()
{
    const QString path = chooseFile(SaveDialog2);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    write("svg", path, shown, true);
}

// The menu item's name says DXF, but it has always written the lines as an enhanced metafile.
void ExportCommands::LinienalsDXFexportieren1Click()
{
    exportLinesAsEmf();
}

void ExportCommands::exportLinesAsEmf()
{
    const QString path = chooseFile(SaveDialog4);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    write("emf", path, shown, false);
}

void ExportCommands::LinienDXFfrCNCexportierenKreisbgenkeineSplines1Click()
{
    // Both questions are answered before anything is written; giving up on either ends the command.
    if (DXFExportForm->exec() != QDialog::Accepted)
        return;
    const QString path = chooseFile(SaveDialog5);
    if (path.isEmpty())
        return;
    Work shown(work, view(), labelNumbers);
    shown.source.pieces = DXFExportForm->pieces();
    write("dxf", path, shown, false);
}

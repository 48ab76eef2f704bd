#include "ui/exportcommands.h"

#include "core/csvexport.h"
#include "core/dib.h"
#include "core/dxfexport.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "render/emfexport.h"
#include "render/pictureexport.h"
#include "render/svgexport.h"
#include "ui/dxfexportform.h"
#include "ui/measurementcommands.h"
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

ExportCommands::ExportCommands(QMainWindow *mainWindow, Workspace &workspace, const ResultsModel &resultsList,
                               ViewSource viewSource)
    : QObject(mainWindow), window(mainWindow), work(workspace), results(resultsList), view(std::move(viewSource))
{
    DXFExportForm = new TDXFExportForm(window);
    SaveDialog1 = saveDialog("SaveDialog1",
                             {QStringLiteral("BMP-Dateien (*.bmp)"), QStringLiteral("PNG-Dateien (*.png)"),
                              QStringLiteral("JPEG-Dateien (*.jpg *.jpeg)"), QStringLiteral("TIFF-Dateien (*.tif *.tiff)")},
                             QStringLiteral("bmp"));
    SaveDialog2 = saveDialog("SaveDialog2", {QStringLiteral("SVG-Dateien (*.svg)")}, QStringLiteral("svg"));
    SaveDialog4 = saveDialog("SaveDialog4", {QStringLiteral("EMF Dateien (*.emf)")}, QStringLiteral("emf"));
    SaveDialog5 = saveDialog("SaveDialog5", {QStringLiteral("DXF Dateien (*.dxf)")}, QStringLiteral("dxf"));
    SaveDialog6 = saveDialog("SaveDialog6", {QStringLiteral("CSV-Dateien (*.csv)")}, QStringLiteral("csv"));

    wire("AlsBildspeichern1", &ExportCommands::AlsBildspeichern1Click);
    wire("AlsBildspeichernnurLinien1", &ExportCommands::AlsBildspeichernnurLinien1Click);
    wire("MessergebnissealsCSVDateiexportieren1", &ExportCommands::MessergebnissealsCSVDateiexportieren1Click);
    wire("LinienalsSVGspeichern1", &ExportCommands::LinienalsSVGspeichern1Click);
    wire("LinienalsDXFexportieren1", &ExportCommands::LinienalsDXFexportieren1Click);
    wire("LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
         &ExportCommands::LinienDXFfrCNCexportierenKreisbgenkeineSplines1Click);
}

QFileDialog *ExportCommands::saveDialog(const char *name, const QStringList &filters, const QString &suffix)
{
    auto *dialog = new QFileDialog(window);
    dialog->setObjectName(QLatin1String(name));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(suffix);
    // A name typed without an extension gets the one of the chosen file type.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
        const QString chosen = firstSuffix(filter);
        if (!chosen.isEmpty())
            dialog->setDefaultSuffix(chosen);
    });
    return dialog;
}

void ExportCommands::wire(const char *name, void (ExportCommands::*handler)())
{
    if (QAction *action = window->findChild<QAction *>(QLatin1String(name))) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, handler);
    }
}

QString ExportCommands::chooseFile(QFileDialog *dialog)
{
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog->selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool ExportCommands::report(bool ok, const QString &error)
{
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
    const ViewState shown = view();
    const DrawingSettings settings = work.drawingSettings();
    const RenderInputs in{shown, settings, work.scale(), work.numberSettings()};
    QString error;
    const bool ok =
        ::savePicture(path, pictureFormatForPath(path), work.document(), work.picture(), in, withPicture, &error);
    emit repaintNeeded();
    report(ok, error);
}

void ExportCommands::MessergebnissealsCSVDateiexportieren1Click()
{
    const QString path = chooseFile(SaveDialog6);
    if (path.isEmpty())
        return;
    QStringList captions;
    for (int c = 0; c < ResultsModel::ColumnCount; ++c)
        captions.append(results.headerData(c, Qt::Horizontal).toString());
    const QList<QStringList> table =
        resultsTable(results, captions, Translate(QStringLiteral("Einheit")), work.numberSettings().einh,
                     !omitsSides(window));
    QString error;
    report(exportCsv(path, csvText(table), &error), error);
}

void ExportCommands::LinienalsSVGspeichern1Click()
{
    const QString path = chooseFile(SaveDialog2);
    if (path.isEmpty())
        return;
    const dib &image = work.picture();
    const QSize size = image.poi ? QSize(DibWidth(image), DibHeight(image)) : QSize(1, 1);
    const ViewState shown = view();
    const DrawingSettings settings = work.drawingSettings();
    const RenderInputs in{shown, settings, work.scale(), work.numberSettings()};
    QString error;
    const bool ok = exportSvg(path, work.document(), size, in, &error);
    emit repaintNeeded();
    report(ok, error);
}

void ExportCommands::LinienalsDXFexportieren1Click()
{
    const QString path = chooseFile(SaveDialog4);
    if (path.isEmpty())
        return;
    QString error;
    report(saveasemf(path, work.document(), view(), work.drawingSettings(), &error), error);
}

void ExportCommands::LinienDXFfrCNCexportierenKreisbgenkeineSplines1Click()
{
    // Both questions are answered before anything is written; giving up on either ends the command.
    if (DXFExportForm->exec() != QDialog::Accepted)
        return;
    const QString path = chooseFile(SaveDialog5);
    if (path.isEmpty())
        return;
    QString error;
    report(exportDxf(path, work.document(), DXFExportForm->pieces(), &error), error);
}

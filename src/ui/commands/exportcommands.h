#pragma once

#include "core/geometry.h"
#include "render/labels.h"
#include "render/renderer.h"
#include "render/viewstate.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QFileDialog;
class QMainWindow;
class ResultsModel;
class TDXFExportForm;
class Workspace;

// The menu items of the export commands; any may be missing.
struct ExportItems {
    QAction *savePicture = nullptr;        // AlsBildspeichern1
    QAction *saveLinesAsPicture = nullptr; // AlsBildspeichernnurLinien1
    QAction *exportResultsCsv = nullptr;   // MessergebnissealsCSVDateiexportieren1
    QAction *exportResultsXlsx = nullptr;  // exportResultsXlsx
    QAction *exportLinesSvg = nullptr;     // LinienalsSVGspeichern1
    QAction *exportLinesEmf = nullptr;     // LinienalsDXFexportieren1
    QAction *exportLinesDxf = nullptr;     // LinienDXFfrCNCexportierenKreisbgenkeineSplines1
};

// The main window's commands that write the work out:
// "Als Bild speichern mit Hintergrund..." (AlsBildspeichern1), "Als Bild speichern nur Linien..."
// (AlsBildspeichernnurLinien1), "Messergebnisse als CSV Datei exportieren..."
// (MessergebnissealsCSVDateiexportieren1), "Linien als SVG exportieren...."
// (LinienalsSVGspeichern1), "Linien als EMF exportieren..." (LinienalsDXFexportieren1) and
// "Linien als DXF für CNC exportieren (Kreisbögen, keine Splines)..."
// (LinienDXFfrCNCexportierenKreisbgenkeineSplines1) and "Messergebnisse als XLSX-Datei
// exportieren..." (exportResultsXlsx). Their save dialogs are children of the window named
// SaveDialog1, 2, 4, 5, 6 and SaveDialogXlsx, so the translation walk reaches their filters. The
// CSV dialog offers both CSV conventions and starts on the one of the interface language. Every
// failure is shown in a message box; a failed export leaves an existing file untouched.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    // The view as the window shows it when a command runs.
    using ViewSource = std::function<ViewState()>;

    // work and results (the list as the window shows it, captions in the interface language)
    // must outlive the commands. The items are enabled and wired.
    ExportCommands(QMainWindow *window, Workspace &work, const ResultsModel &results, ViewSource view,
                   const ExportItems &items);
    // The label options the exported drawings use; without them the labels show plain values.
    void setLabelNumbers(LabelNumbers numbers) { labelNumbers = std::move(numbers); }
    // Whether the user left the side rows out of the exported results; without it they go along.
    void setSidesLeftOut(std::function<bool()> leftOut) { sidesLeftOut = std::move(leftOut); }

    TDXFExportForm *dxfExportForm() const { return DXFExportForm; }

signals:
    // The elements were drawn at another zoom: their label corners are the export's until the
    // screen is repainted.
    void repaintNeeded();

public slots:
    void AlsBildspeichern1Click();
    void AlsBildspeichernnurLinien1Click();
    void MessergebnissealsCSVDateiexportieren1Click();
    void LinienalsSVGspeichern1Click();
    void LinienalsDXFexportieren1Click();
    void LinienDXFfrCNCexportierenKreisbgenkeineSplines1Click();
    void exportResultsXlsx();

private:
    struct Work;
    // A save dialog with the file types and default suffix of a format of the exporter table.
    QFileDialog *saveDialog(const char *name, const char *format);
    // The file the user chose in dialog, or an empty text when it was cancelled.
    QString chooseFile(QFileDialog *dialog);
    void exportLinesAsEmf();
    void savePicture(bool withPicture);
    // The results list as the window shows it, with the unit column.
    QList<QStringList> resultsAsShown() const;
    // Writes path in a format of the exporter table, asks for a repaint when asked and shows a
    // failure.
    bool write(const char *format, const QString &path, Work &shown, bool repaintAfter);

    QMainWindow *window;
    Workspace &work;
    const ResultsModel &results;
    ViewSource view;
    LabelNumbers labelNumbers;
    std::function<bool()> sidesLeftOut;
    TDXFExportForm *DXFExportForm = nullptr;
    QFileDialog *SaveDialog1 = nullptr;
    QFileDialog *SaveDialog2 = nullptr;
    QFileDialog *SaveDialog4 = nullptr;
    QFileDialog *SaveDialog5 = nullptr;
    QFileDialog *SaveDialog6 = nullptr;
    QFileDialog *SaveDialogXlsx = nullptr;
};

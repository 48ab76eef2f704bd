#pragma once

#include "core/geometry.h"
#include "render/labels.h"
#include "render/renderer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QPagedPaintDevice;
class QPrinter;
class TPrintForm;
class Workspace;
struct PrintSource;

// The menu items of the print commands; any may be missing.
struct PrintItems {
    QAction *printerSetup = nullptr;        // Druckereinrichten1
    QAction *print = nullptr;               // Drucken1
    QAction *printWithoutPicture = nullptr; // DruckenohneBild1
    QAction *printAtScale = nullptr;        // Druckenimeingestellten11Mastab1
};

// The main window's print commands: "Drucker einrichten..."
// (Druckereinrichten1), "Drucken mit Bild..." (Drucken1), "Drucken ohne Bild..."
// (DruckenohneBild1) and "Drucken im eingestellten Maßstab 1:1..."
// (Druckenimeingestellten11Mastab1). They print on their printer or, when the system has no
// printer at all, into a PDF file the user names. The printer is made when a command first
// needs it: making one asks the print system for its printers and their defaults, which a
// window that is only opened should not wait for. The print dialog TPrintForm lives as long as
// the commands.
class PrintCommands : public QObject
{
    Q_OBJECT
public:
    // work must outlive the commands; the items are enabled and wired.
    PrintCommands(QMainWindow *window, Workspace &work, const PrintItems &items);
    // The label options the printouts use; without them the labels show plain values.
    void setLabelNumbers(LabelNumbers numbers) { labelNumbers = std::move(numbers); }
    ~PrintCommands() override;

    TPrintForm *printForm() const { return form; }

    // The printer the commands, the page set-up and the preview share, made on first use.
    QPrinter &printer();
    // Whether the printer has been made, that is whether the print system was asked yet.
    bool hasPrinter() const { return made != nullptr; }

    // Whether printouts go into a PDF file: the system has no printer.
    static bool printsToPdf();

signals:
    // The elements were drawn at another zoom: their label corners are the printout's until the
    // screen is repainted.
    void repaintNeeded();

public slots:
    // The printer set-up dialog and nothing else.
    void Druckereinrichten1Click();
    // The print dialog with the drawing, then the drawing with the picture where it places it.
    void Drucken1Click();
    // The same without the picture.
    void DruckenohneBild1Click();
    // The drawing at the set scale, with the picture while it is shown on the screen: one unit
    // on paper is one unit measured. A unit the printout cannot measure is reported with
    // message 28; a drawing larger than the page is spread over several pages once the user
    // agrees to their number.
    void Druckenimeingestellten11Mastab1Click();

private:
    PrintSource source() const;
    void printWithForm(bool withPicture);
    // Runs job on the printer, or on a PDF file whose name the user gives; reports failures.
    void output(const std::function<bool(QPagedPaintDevice &)> &job);
    void outputToPdf(const std::function<bool(QPagedPaintDevice &)> &job);
    void fail(const QString &text);

    QMainWindow *window;
    std::unique_ptr<QPrinter> made;
    Workspace &work;
    LabelNumbers labelNumbers;
    TPrintForm *form = nullptr;
};

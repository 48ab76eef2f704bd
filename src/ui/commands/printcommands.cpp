#include "ui/commands/printcommands.h"

#include "core/dib.h"
#include "core/translate.h"
#include "render/pdffile.h"
#include "render/printjob.h"
#include "render/printlayout.h"
#include "render/printpicture.h"
#include "render/realsize.h"
#include "ui/commands/menuitem.h"
#include "ui/dialogs/printform.h"
#include "ui/widgets/quietfiledialog.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>
#include <utility>

namespace {

QSize imageSize(const dib &d)
{
    return d.poi ? QSize(DibWidth(d), DibHeight(d)) : QSize();
}

} // namespace

PrintCommands::PrintCommands(QMainWindow *mainWindow, Workspace &workspace, const PrintItems &items)
    : QObject(mainWindow), window(mainWindow), work(workspace)
{
    form = new TPrintForm([this] { return &printer(); }, window);

    const std::pair<QAction *, void (PrintCommands::*)()> commands[] = {
        {items.printerSetup, &PrintCommands::Druckereinrichten1Click},
        {items.print, &PrintCommands::Drucken1Click},
        {items.printWithoutPicture, &PrintCommands::DruckenohneBild1Click},
        {items.printAtScale, &PrintCommands::Druckenimeingestellten11Mastab1Click},
    };
    for (const auto &[action, handler] : commands)
        offerItem(action, this, handler);
}

PrintCommands::~PrintCommands() = default;

QPrinter &PrintCommands::printer()
{
    if (!made) {
        made = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without a printer the page set-up and the preview work on the page of the PDF file.
        if (printsToPdf())
            made->setOutputFormat(QPrinter::PdfFormat);
    }
    return *made;
}

bool PrintCommands::printsToPdf()
{
    return QPrinterInfo::availablePrinters().isEmpty();
}

PrintSource PrintCommands::source() const
{
    const NumberSettings numbers = labelNumbers ? labelNumbers(work.numberSettings()) : work.numberSettings();
    return PrintSource{work.document(), work.picture(), work.drawingSettings(), work.scale(), numbers};
}

void PrintCommands::Druckereinrichten1Click()
{
    QPageSetupDialog setup(&printer(), window);
    setup.exec();
}

void PrintCommands::Drucken1Click()
{
    printWithForm(true);
}

void PrintCommands::DruckenohneBild1Click()
{
    printWithForm(false);
}

void PrintCommands::printWithForm(bool withPicture)
{
    PrintSource src = source();
    dib picture;
    const bool rendered = renderPrintPicture(picture, src, withPicture);
    emit repaintNeeded();
    if (!rendered) {
        fail(Translate(QStringLiteral("Für den Ausdruck reicht der Speicher nicht.")));
        return;
    }
    form->setPicture(picture, imageSize(src.image));
    if (form->exec() != QDialog::Accepted)
        return;
    const PrintSizeChoice choice = form->choice();
    // The window's state is read again once the modal dialogs are closed: events that reached
    // the window meanwhile may have replaced its picture.
    output([&](QPagedPaintDevice &device) {
        PrintSource now = source();
        return printFitted(device, choice, now, withPicture);
    });
    emit repaintNeeded();
}

void PrintCommands::Druckenimeingestellten11Mastab1Click()
{
    PrintSource src = source();
    const std::optional<PaperPixel> mm = paperMillimetresPerImagePixel(src.scale, src.numbers.unit);
    if (!mm) {
        fail(Message(28));
        return;
    }
    const QSize image = imageSize(src.image);
    const std::optional<RealSizeLayout> layout = realSizeLayoutFor(printer(), image, *mm);
    if (!layout) {
        fail(Translate(QStringLiteral("Der Drucker meldet keine Seitengröße.")));
        return;
    }
    if (layout->pages() > MaxRealSizePages) {
        fail(Translate(QStringLiteral("Die Zeichnung bräuchte im eingestellten Maßstab mehr als %1 Seiten und wird "
                                      "nicht gedruckt."))
                 .arg(MaxRealSizePages));
        return;
    }
    if (layout->pages() > 1) {
        const QString question =
            Translate(QStringLiteral("Die Zeichnung passt im eingestellten Maßstab nicht auf eine Seite. Sie wird auf "
                                     "%1 Seiten verteilt (%2 nebeneinander, %3 untereinander). Drucken?"))
                .arg(static_cast<int>(layout->pages()))
                .arg(static_cast<int>(layout->columns))
                .arg(static_cast<int>(layout->rows));
        QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), question,
                        QMessageBox::Yes | QMessageBox::No, window);
        box.setDefaultButton(QMessageBox::Yes);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    output([&](QPagedPaintDevice &device) {
        PrintSource now = source();
        // The device answers for itself; a PDF file takes the printer's page and resolution.
        const std::optional<RealSizeLayout> onDevice = realSizeLayoutFor(device, imageSize(now.image), *mm);
        return onDevice && onDevice->pages() <= MaxRealSizePages &&
               printRealSize(device, *onDevice, now, now.settings.showPicture);
    });
    emit repaintNeeded();
}

void PrintCommands::output(const std::function<bool(QPagedPaintDevice &)> &job)
{
    if (printsToPdf()) {
        outputToPdf(job);
        return;
    }
    QPrinter &device = printer();
    if (device.outputFormat() != QPrinter::NativeFormat)
        device.setOutputFormat(QPrinter::NativeFormat);
    device.setDocName(Message(13));
    if (!job(device))
        fail(Translate(QStringLiteral("Der Ausdruck ist fehlgeschlagen.")));
}

void PrintCommands::outputToPdf(const std::function<bool(QPagedPaintDevice &)> &job)
{
    const std::unique_ptr<QFileDialog> shown(newQuietFileDialog(window));
    QFileDialog &dialog = *shown;
    dialog.setWindowTitle(Translate(QStringLiteral("Ausdruck als PDF-Datei speichern")));
    dialog.setObjectName(QStringLiteral("SavePdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Translate(QStringLiteral("PDF-Dateien (*.pdf)")));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();

    PdfFile pdf(fileName);
    if (!pdf.open(printer().pageLayout(), printer().resolution(), Message(13))) {
        fail(Translate(QStringLiteral("Die Datei %1 kann nicht erzeugt werden: %2")).arg(fileName, pdf.errorString()));
        return;
    }
    if (!job(pdf.writer())) {
        fail(Translate(QStringLiteral("Der Ausdruck ist fehlgeschlagen.")));
        return;
    }
    if (!pdf.commit())
        fail(Translate(QStringLiteral("Die Datei %1 konnte nicht vollständig geschrieben werden: %2"))
                 .arg(fileName, pdf.errorString()));
}

void PrintCommands::fail(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok, window);
    box.exec();
}

#include "ui/mainwindow/mainform.h"

#include "core/transferprogress.h"
#include "core/translate.h"
#include "image/pdfpages.h"
#include "image/velumo.h"
#include "ui/commands/backgroundjob.h"
#include "ui/commands/pdfimport.h"
#include "ui/dialogs/pdfpageform.h"
#include "ui/mainwindow/paintbox.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QSpinBox>

bool TMainForm::LadeBild(const QString &fileName)
{
    Picture loaded;
    if (looksLikePdf(fileName)) {
        // The PDF path asks for the page and tells its own problems.
        auto *pageForm = findChild<TPdfSeiteForm *>(QStringLiteral("PdfSeiteForm"));
        if (!pageForm || !loadPdfPicture(this, *pageForm, fileName, loaded.record()))
            return false;
    } else {
        // Decoded off the user-interface thread into a picture of the task's own: a cancel
        // leaves it to finish unseen and the work as it was.
        auto decoded = std::make_shared<Picture>();
        auto read = std::make_shared<bool>(false);
        if (!BackgroundJob::run(
                this, Translate(QStringLiteral("Bild wird geöffnet...")), std::make_shared<TransferProgress>(),
                [decoded, read, fileName] { *read = OpenDib(decoded->record(), fileName) && !decoded->isNull(); },
                BackgroundJob::OnCancel::Abandon))
            return false;
        if (!*read) {
            QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), Message(5), QMessageBox::Ok,
                            this);
            box.setObjectName(QStringLiteral("LoadFailedBox"));
            box.exec();
            return false;
        }
        loaded = std::move(*decoded);
    }
    // The old image goes only once the new one is safely in hand.
    const int width = DibWidth(loaded.get());
    work->setPicture(std::move(loaded));

    // The zoom field holds the result within its range when the image is very wide.
    if (width > 0)
        settings.zoomed->setValue(static_cast<int>(static_cast<long long>(PaintBox1->width()) * 100 / width));
    if (menus.presetSizesOnOpen->isChecked())
        applySizeRule();
    work->commitStep(Translate(QStringLiteral("Bild öffnen")));
    PaintBox1Paint();
    emit pictureOpened(fileName);
    return true;
}

void TMainForm::Bildffnen1Click()
{
    if (OpenDialog1->exec() != QDialog::Accepted)
        return;
    const QStringList files = OpenDialog1->selectedFiles();
    if (!files.isEmpty())
        LadeBild(files.constFirst());
}

#include "ui/mainform.h"

#include "core/translate.h"
#include "image/pdfpages.h"
#include "image/velumo.h"
#include "ui/pdfimport.h"
#include "ui/pdfpageform.h"
#include "ui/paintbox.h"

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
    } else if (!OpenDib(loaded.record(), fileName) || loaded.isNull()) {
        QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), Message(5), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("LoadFailedBox"));
        box.exec();
        return false;
    }
    // The old image goes only once the new one is safely in hand.
    const int width = DibWidth(loaded.get());
    work->setPicture(std::move(loaded));

    // The zoom field holds the result within its range when the image is very wide.
    if (width > 0)
        settings.zoomed->setValue(static_cast<int>(static_cast<long long>(PaintBox1->width()) * 100 / width));
    if (menus.PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1->isChecked())
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

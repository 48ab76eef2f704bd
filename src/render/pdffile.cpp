#include "render/pdffile.h"

#include <QPdfWriter>

PdfFile::PdfFile(const QString &fileName) : file(fileName) {}

PdfFile::~PdfFile()
{
    // The writer flushes into the file when it goes, so it goes first.
    pdf.reset();
}

bool PdfFile::open(const QPageLayout &layout, int resolution, const QString &title)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    pdf = std::make_unique<QPdfWriter>(&file);
    pdf->setResolution(resolution > 0 ? resolution : 1200);
    pdf->setPageLayout(layout);
    pdf->setTitle(title);
    pdf->setCreator(QStringLiteral("Tesselon"));
    return true;
}

QPdfWriter &PdfFile::writer()
{
    return *pdf;
}

bool PdfFile::commit()
{
    if (!pdf)
        return false;
    pdf.reset();
    return file.commit();
}

QString PdfFile::errorString() const
{
    return file.errorString();
}

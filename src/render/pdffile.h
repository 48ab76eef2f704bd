#pragma once

#include <QPageLayout>
#include <QSaveFile>
#include <QString>

#include <memory>

class QPdfWriter;

// A printout into a PDF file, for systems without a printer. Like every file the program writes,
// it goes to a temporary file that replaces the named file only when the printout is complete.
class PdfFile
{
public:
    explicit PdfFile(const QString &fileName);
    ~PdfFile();
    PdfFile(const PdfFile &) = delete;
    PdfFile &operator=(const PdfFile &) = delete;

    // Creates the temporary file and a writer with the page layout, the resolution (dots per
    // inch) and the document title. False, see errorString(), when the file cannot be created.
    bool open(const QPageLayout &layout, int resolution, const QString &title);
    // The device to print on, after a successful open().
    QPdfWriter &writer();
    // Completes the file once the painter on writer() has ended; false, leaving any earlier file
    // of that name as it was, when it could not be written.
    bool commit();
    QString errorString() const;

private:
    QSaveFile file;
    std::unique_ptr<QPdfWriter> pdf;
};

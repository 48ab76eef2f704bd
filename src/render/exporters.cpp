#include "render/exporters.h"

#include "core/dib.h"
#include "core/projectfile.h"
#include "core/xlsxexport.h"
#include "render/emfexport.h"
#include "render/pdfexport.h"
#include "render/pictureexport.h"
#include "render/renderer.h"
#include "render/svgexport.h"

#include <array>

namespace {

QSize imageSize(const dib &image)
{
    return image.poi ? QSize(DibWidth(image), DibHeight(image)) : QSize(1, 1);
}

bool writeCsv(const QString &path, ExportSource &s, QString *error)
{
    return exportCsv(path, resultsCsv(s.results, s.csvStyle), error);
}

bool writeXlsx(const QString &path, ExportSource &s, QString *error)
{
    return exportXlsx(path, s.results, s.resultDecimals, XlsxSource{s.projectFile, s.in.scale, s.in.numbers.unit},
                      error);
}

bool writeDxf(const QString &path, ExportSource &s, QString *error)
{
    return exportDxf(path, s.doc, s.pieces, error);
}

bool writeEmf(const QString &path, ExportSource &s, QString *error)
{
    return saveasemf(path, s.doc, s.in.view, s.in.settings, error);
}

bool writeSvg(const QString &path, ExportSource &s, QString *error)
{
    return exportSvg(path, s.doc, imageSize(s.image), s.in, error);
}

bool writePng(const QString &path, ExportSource &s, QString *error)
{
    return savePicture(path, QByteArrayLiteral("png"), s.doc, s.image, s.in, s.withPicture, error);
}

// The window's picture export takes the format from the name's suffix.
bool writePicture(const QString &path, ExportSource &s, QString *error)
{
    return savePicture(path, pictureFormatForPath(path), s.doc, s.image, s.in, s.withPicture, error);
}

bool writePdf(const QString &path, ExportSource &s, QString *error)
{
    return exportPdf(path, s.doc, s.image, s.in, s.withPicture, error);
}

bool writeProject(const QString &path, ExportSource &s, QString *error)
{
    const ProjectSettings settings = s.project ? *s.project : ProjectSettings();
    return saveProject(path, s.doc, s.image, settings, error);
}

constexpr const char16_t *CsvFilters[] = {u"CSV-Dateien (*.csv)", u"CSV-Dateien mit Semikolon und Dezimalkomma (*.csv)"};
constexpr const char16_t *XlsxFilters[] = {u"XLSX-Arbeitsmappen (*.xlsx)"};
constexpr const char16_t *DxfFilters[] = {u"DXF Dateien (*.dxf)"};
constexpr const char16_t *EmfFilters[] = {u"EMF Dateien (*.emf)"};
constexpr const char16_t *SvgFilters[] = {u"SVG-Dateien (*.svg)"};
constexpr const char16_t *PngFilters[] = {u"PNG-Dateien (*.png)"};
constexpr const char16_t *PictureFilters[] = {u"BMP-Dateien (*.bmp)", u"PNG-Dateien (*.png)",
                                              u"JPEG-Dateien (*.jpg *.jpeg)", u"TIFF-Dateien (*.tif *.tiff)"};
constexpr const char16_t *PdfFilters[] = {u"PDF-Dateien (*.pdf)"};
constexpr const char16_t *ProjectFilters[] = {u"Vermessungsprojekt (*.ver)"};

// The CSV filters are in the order of CsvStyle.
constexpr std::array<Exporter, 9> Table = {{
    {"csv", "csv", CsvFilters, false, writeCsv},
    {"xlsx", "xlsx", XlsxFilters, false, writeXlsx},
    {"dxf", "dxf", DxfFilters, false, writeDxf},
    {"emf", "emf", EmfFilters, false, writeEmf},
    {"svg", "svg", SvgFilters, false, writeSvg},
    {"png", "png", PngFilters, false, writePng},
    {"pdf", "pdf", PdfFilters, false, writePdf},
    {"ver", "ver", ProjectFilters, false, writeProject},
    {"picture", "bmp", PictureFilters, true, writePicture},
}};

} // namespace

std::span<const Exporter> exporters()
{
    return Table;
}

const Exporter *findExporter(QAnyStringView id)
{
    for (const Exporter &e : Table)
        if (QAnyStringView::equal(id, QLatin1String(e.id)))
            return &e;
    return nullptr;
}

QStringList exporterFilters(const Exporter &exporter)
{
    QStringList filters;
    for (const char16_t *filter : exporter.filters)
        filters.append(QString::fromUtf16(filter));
    return filters;
}

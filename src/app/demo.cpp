#include "demo.h"

#include "core/elements.h"
#include "core/elementvalues.h"
#include "core/geometry.h"
#include "core/numberformat.h"
#include "core/picture.h"
#include "core/projectfile.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "image/velumo.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

// The sample plan is drawn at 150 pixels per metre; its scale bar runs from x = 170 (0 m) to
// x = 920 (5 m) at y = 1290. Every coordinate below is a pixel of that plan.
constexpr int PlanWidth = 2000;
constexpr int PlanHeight = 1400;
constexpr double ScaleBarMetres = 5.0;

struct Point {
    double x;
    double y;
};

// Appends an element of type typ with points 1 and 2 and a name; nullptr when memory ran out.
Telemente *addElement(Document &doc, std::int32_t typ, Point p1, Point p2, const QString &name)
{
    Telemente *e = doc.appendElement();
    if (!e || !e->vert)
        return nullptr;
    e->typ = typ;
    e->x1 = p1.x;
    e->y1 = p1.y;
    e->x2 = p2.x;
    e->y2 = p2.y;
    e->x3 = p2.x;
    e->y3 = p2.y;
    if (!name.isEmpty() && !Document::setName(*e, name))
        return nullptr;
    return e;
}

bool addVertexElement(Document &doc, std::int32_t typ, std::initializer_list<Point> points, const QString &name)
{
    Telemente *e = addElement(doc, typ, *points.begin(), *points.begin(), name);
    if (!e)
        return false;
    TDynaArray *list = e->vert;
    return std::all_of(points.begin(), points.end(),
                       [list](Point p) { return Document::appendVertex(list, p.x, p.y); });
}

bool buildSampleDocument(Document &doc)
{
    // A distance's point 3 places its dimension line: here just above the facade.
    Telemente *scaleLine = addElement(doc, TypScaleLine, {170, 1290}, {920, 1290}, QString());
    if (!scaleLine)
        return false;
    scaleLine->y3 = 1260;
    Telemente *width = addElement(doc, TypDistance, {170, 150}, {1820, 150}, Translate(QStringLiteral("Gebäudebreite")));
    if (!width)
        return false;
    width->x3 = 995;
    width->y3 = 120;
    return addElement(doc, TypRectangle, {1298, 195}, {1775, 780}, Translate(QStringLiteral("Schlafen")))
        && addVertexElement(doc, TypPolygon, {{215, 195}, {920, 195}, {920, 780}, {215, 780}, {215, 195}},
                            Translate(QStringLiteral("Wohnen")))
        && addVertexElement(doc, TypPolyline, {{1085, 1180}, {1085, 870}, {1385, 870}, {1385, 700}},
                            Translate(QStringLiteral("Weg vom Eingang ins Schlafzimmer")))
        && addElement(doc, TypEllipse, {480, 442.5}, {750, 607.5}, Translate(QStringLiteral("Esstisch")))
        && addVertexElement(doc, TypAngle, {{890, 780}, {755, 780}, {755, 645}},
                            Translate(QStringLiteral("Tür Wohnen geöffnet")))
        && addElement(doc, TypText, {1180, 1000}, {0, 0}, Translate(QStringLiteral("Musterwohnung")));
}

void printTable(const ResultsModel &model, QTextStream &out)
{
    constexpr int columns = ResultsModel::ColumnCount;
    std::array<qsizetype, columns> widths{};
    for (int c = 0; c < columns; ++c) {
        widths[c] = model.headerData(c, Qt::Horizontal).toString().size();
        for (int r = 0; r < model.rowCount(); ++r)
            widths[c] = std::max(widths[c], model.text(r, c).size());
    }
    const auto line = [&](auto cell) {
        QString text;
        for (int c = 0; c < columns; ++c) {
            const QString value = cell(c);
            // Names and types read from the left, numbers line up on their last digit.
            const bool number = c >= ResultsModel::ColumnLaenge;
            text += number ? value.rightJustified(widths[c]) : value.leftJustified(widths[c]);
            if (c + 1 < columns)
                text += QStringLiteral("  ");
        }
        out << text.trimmed() << '\n';
    };
    line([&](int c) { return model.headerData(c, Qt::Horizontal).toString(); });
    for (int r = 0; r < model.rowCount(); ++r)
        line([&](int c) { return model.text(r, c); });
}

// The sample document over the picture as a project file, for the command line to work on.
bool saveSampleProject(const Document &doc, const dib &image, const QString &projectFile, QTextStream &err)
{
    QString error;
    const bool saved = saveProject(projectFile, doc, image, ProjectSettings(), &error);
    if (!saved)
        err << error << '\n';
    return saved;
}

} // namespace

int runDemo(const QString &imageFile, QTextStream &out, QTextStream &err, const QString &projectFile)
{
    // Decoded once: the project written at the end takes the same picture.
    // Released on every way out of the demonstration.
    Picture picture;
    dib &image = picture.record();
    if (!OpenDib(image, imageFile) || !image.poi) {
        err << Message(5) << ' ' << imageFile << '\n';
        return 1;
    }
    const int imageWidth = DibWidth(image);
    const int imageHeight = DibHeight(image);
    const int bits = DibBitCount(image);

    out << Translate(QStringLiteral("Tesselon: Messungen auf dem Beispielplan, ohne Bildschirm")) << '\n';
    out << Translate(QStringLiteral("Bild:")) << ' ' << QFileInfo(imageFile).fileName() << " (" << imageWidth << " x "
        << imageHeight << ' ' << Message(3) << ", " << bits << ' ' << Translate(QStringLiteral("Bit")) << ")\n";
    if (imageWidth != PlanWidth || imageHeight != PlanHeight)
        out << Translate(QStringLiteral("Hinweis: Die Elemente liegen auf den Räumen des Beispielplans (2000 x 1400 Pixel)."))
            << '\n';

    Document doc;
    if (!buildSampleDocument(doc)) {
        err << Translate(QStringLiteral("Nicht genug Speicher für das Beispieldokument.")) << '\n';
        return 1;
    }

    // The scale bar's 5 m run over the pixels of the scale reference line.
    const Telemente &bar = *doc.element(0);
    Scale scale;
    scale.pixelLength = std::hypot(bar.x2 - bar.x1, bar.y2 - bar.y1);
    scale.realLength = ScaleBarMetres;
    const QString unit = QStringLiteral("m");
    const int lengthDecimals = 2;
    const int areaDecimals = 4;
    refreshElementValues(doc, scale);

    out << Translate(QStringLiteral("Maßstab aus der Maßstabsleiste:")) << ' ' << F(scale.pixelLength, 0) << ' '
        << Message(3) << " = " << F(scale.realLength, 0) << ' ' << unit << "  (" << Message(12) << ": "
        << F(doc.element(0)->lang, lengthDecimals) << ' ' << unit << ")\n\n";

    ResultsModel model;
    model.ListObjekte(doc, areaDecimals);
    printTable(model, out);
    out.flush();
    return projectFile.isEmpty() || saveSampleProject(doc, image, projectFile, err) ? 0 : 1;
}

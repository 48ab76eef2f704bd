#include "importcommand.h"

#include "core/dib.h"
#include "core/elements.h"
#include "core/geometry.h"
#include "core/numberformat.h"
#include "core/picture.h"
#include "core/planscale.h"
#include "core/projectfile.h"
#include "core/translate.h"
#include "image/pdfpages.h"
#include "image/rectify.h"
#include "image/velumo.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <cmath>

namespace {

ImportUsage missing(const QString &option)
{
    return {QStringLiteral("Für %1 fehlt ein Wert."), {option}};
}

ImportUsage invalid(const QString &option, const QString &value)
{
    return {QStringLiteral("Ungültiger Wert für %1: %2"), {option, value}};
}

bool parseCorners(const QString &text, Quad &corners)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 8)
        return false;
    double v[8];
    for (int i = 0; i < 8; ++i)
        if (!parseNumber(parts[i].trimmed(), v[i]) || !std::isfinite(v[i]))
            return false;
    for (int k = 0; k < 4; ++k)
        corners[k] = QPointF(v[2 * k], v[2 * k + 1]);
    return true;
}

QString withFile(const QString &message, const QString &file)
{
    return QDir::toNativeSeparators(file) + QStringLiteral(": ") + message;
}

} // namespace

bool isImportCommand(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--import"));
}

std::optional<ImportUsage> parseImport(const QStringList &args, ImportRequest &r)
{
    QStringList files;
    for (qsizetype at = 0; at < args.size();) {
        const QString arg = args.at(at++);
        const auto value = [&]() -> std::optional<QString> {
            if (at >= args.size())
                return std::nullopt;
            return args.at(at++);
        };
        if (arg == QLatin1String("--import")) {
            continue;
        } else if (arg == QLatin1String("--page")) {
            const auto v = value();
            if (!v)
                return missing(arg);
            bool ok = false;
            r.page = QLocale::c().toInt(*v, &ok);
            if (!ok || r.page < 1)
                return invalid(arg, *v);
        } else if (arg == QLatin1String("--dpi")) {
            const auto v = value();
            if (!v)
                return missing(arg);
            if (!parseNumber(*v, r.dpi) || !(r.dpi >= MinPdfDpi && r.dpi <= MaxPdfDpi))
                return invalid(arg, *v);
        } else if (arg == QLatin1String("--plan-scale")) {
            const auto v = value();
            if (!v)
                return missing(arg);
            double ratio = 0;
            if (!parsePlanRatio(*v, ratio))
                return invalid(arg, *v);
            r.planRatio = ratio;
        } else if (arg == QLatin1String("--unit")) {
            const auto v = value();
            if (!v)
                return missing(arg);
            if (metresPerUnit(*v) <= 0)
                return invalid(arg, *v);
            r.unit = *v;
        } else if (arg == QLatin1String("--rectify")) {
            const auto corners = value();
            const auto width = value();
            const auto height = value();
            const auto unit = value();
            if (!corners || !width || !height || !unit)
                return missing(arg);
            Quad q;
            if (!parseCorners(*corners, q))
                return invalid(arg, *corners);
            if (!parseNumber(*width, r.realWidth) || !std::isfinite(r.realWidth))
                return invalid(arg, *width);
            if (!parseNumber(*height, r.realHeight) || !std::isfinite(r.realHeight))
                return invalid(arg, *height);
            r.rectify = true;
            r.corners = *corners;
            r.rectifyUnit = *unit;
        } else if (arg == QLatin1String("--language")) {
            // Read before parsing, so that the messages are in that language.
            if (!value())
                return missing(arg);
        } else if (arg.startsWith(QLatin1String("--"))) {
            return ImportUsage{QStringLiteral("Unbekannte Option: %1"), {arg}};
        } else {
            files.append(arg);
        }
    }
    if (files.size() != 2)
        return ImportUsage{QStringLiteral("--import erwartet ein Bild oder eine PDF-Datei und eine Projektdatei."), {}};
    if (r.planRatio && r.unit.isEmpty())
        return missing(QStringLiteral("--unit"));
    if (!r.planRatio && !r.unit.isEmpty())
        return missing(QStringLiteral("--plan-scale"));
    if (r.planRatio && r.rectify)
        return ImportUsage{QStringLiteral("--plan-scale und --rectify schließen sich aus."), {}};
    r.source = files.at(0);
    r.target = files.at(1);
    return std::nullopt;
}

bool runImport(const ImportRequest &r, QString &error)
{
    Picture picture;
    dib &image = picture.record();
    if (looksLikePdf(r.source)) {
        QFile f(r.source);
        if (!f.open(QIODevice::ReadOnly)) {
            error = withFile(Translate(pdfProblemText(PdfProblem::Unreadable)), r.source);
            return false;
        }
        const PdfProblem problem = renderPdfPage(image, f.readAll(), r.page - 1, r.dpi);
        if (problem != PdfProblem::None) {
            error = withFile(Translate(pdfProblemText(problem)), r.source);
            return false;
        }
    } else if (!OpenDib(image, r.source)) {
        error = withFile(Message(5), r.source);
        return false;
    }

    // Without a scale to keep, the project is written without an extension block.
    ProjectSettings settings;
    Scale scale;
    if (r.planRatio) {
        if (!planScale(image.pmi->bmiHeader.biXPelsPerMeter, image.pmi->bmiHeader.biYPelsPerMeter, *r.planRatio,
                       r.unit, scale)) {
            error = withFile(Translate(QStringLiteral("Das Bild hat keine gespeicherte Auflösung.")), r.source);
            return false;
        }
        settings.extension.setScale(ProjectScale{scale.pixelLength, scale.realLength, r.unit});
    }
    if (r.rectify) {
        Quad corners;
        parseCorners(r.corners, corners);
        Quad ordered;
        const double density = orderCorners(corners, ordered) ? defaultDensity(ordered, r.realWidth, r.realHeight) : 1;
        RectifyPlan plan;
        RectifyProblem problem = planRectification(QSize(DibWidth(image), DibHeight(image)), corners, r.realWidth,
                                                   r.realHeight, density, plan);
        Picture straight;
        if (problem == RectifyProblem::None && !rectifyDib(straight.record(), image, plan))
            problem = RectifyProblem::OutOfMemory;
        if (problem != RectifyProblem::None) {
            error = withFile(Translate(rectifyProblemText(problem)), r.source);
            return false;
        }
        picture = std::move(straight);
        settings.extension.setScale(ProjectScale{plan.rectangleWidth, r.realWidth, r.rectifyUnit});
    }

    Document doc;
    QString saveError;
    const bool saved = saveProject(r.target, doc, picture.get(), settings, &saveError);
    if (!saved)
        error = saveError;
    return saved;
}

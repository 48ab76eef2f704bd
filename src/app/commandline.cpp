#include "commandline.h"

#include "dumpjson.h"
#include "importcommand.h"

#include "core/dib.h"
#include "core/measurementchunks.h"
#include "core/elements.h"
#include "core/elementvalues.h"
#include "core/numberformat.h"
#include "core/optionsfile.h"
#include "core/projectfile.h"
#include "core/resultsmodel.h"
#include "core/safewrite.h"
#include "core/translate.h"
#include "render/exporters.h"
#include "render/fontrecord.h"
#include "render/renderer.h"
#include "render/thumbnail.h"
#include "render/viewstate.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Far beyond any size a file manager asks for, and small enough to stay fast.
constexpr int MaxThumbnailSize = 4096;

// The formats the command line offers: those of the exporter table that need no window.
bool isCommandLineFormat(const QString &id)
{
    const Exporter *exporter = findExporter(id);
    return exporter && !exporter->needsWindow;
}

struct Request {
    enum Command { None, Help, Version, Dump, Export, Thumbnail };
    Command command = None;
    QString format;
    QStringList files;
    int pieces = DxfDefaultPieces;
    double pixelLength = 1.0;
    double realLength = 1.0;
    std::optional<QString> unit;
    int lengthDecimals = 2;
    int areaDecimals = 4;
    std::optional<int> language;
    bool noImage = false;
    bool segments = false;    // csv: a row per side of each polyline and polygon
    bool uncertainty = false; // csv: the "±" columns
    int thumbnailSize = 0;
    // Scripts get the same bytes whatever language the user chose, so comma unless asked.
    CsvStyle csvStyle = CsvStyle::Comma;
};

// A usage error: the German text and its arguments, shown once the language is known.
struct UsageError {
    QString text;
    QStringList arguments;

    QString message() const
    {
        QString m = Translate(text);
        for (const QString &a : arguments)
            m = m.arg(a);
        return m;
    }
};

bool parseInt(const QString &text, int &value)
{
    bool ok = false;
    value = QLocale::c().toInt(text.trimmed(), &ok);
    return ok;
}

class Parser
{
public:
    explicit Parser(const QStringList &arguments) : args(arguments) {}

    std::optional<UsageError> parse(Request &r)
    {
        bool optionsEnded = false;
        while (at < args.size()) {
            const QString arg = args.at(at++);
            if (optionsEnded || !isOption(arg)) {
                r.files.append(arg);
                continue;
            }
            std::optional<UsageError> problem;
            if (arg == QLatin1String("--"))
                optionsEnded = true;
            else if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
                r.command = Request::Help;
            else if (arg == QLatin1String("--version"))
                r.command = Request::Version;
            else if (arg == QLatin1String("--dump"))
                problem = command(r, Request::Dump, arg);
            else if (arg == QLatin1String("--export"))
                problem = exportFormat(r, arg);
            else if (arg == QLatin1String("--thumbnail"))
                problem = command(r, Request::Thumbnail, arg);
            else if (arg == QLatin1String("--pieces"))
                problem = pieces(r, arg);
            else if (arg == QLatin1String("--scale"))
                problem = scale(r, arg);
            else if (arg == QLatin1String("--decimals"))
                problem = decimals(r, arg);
            else if (arg == QLatin1String("--language"))
                problem = language(r, arg);
            else if (arg == QLatin1String("--csv-style"))
                problem = csvStyle(r, arg);
            else if (arg == QLatin1String("--no-image"))
                r.noImage = true;
            else if (arg == QLatin1String("--segments"))
                r.segments = true;
            else if (arg == QLatin1String("--uncertainty"))
                r.uncertainty = true;
            else
                problem = UsageError{QStringLiteral("Unbekannte Option: %1"), {arg}};
            if (problem)
                return problem;
            if (r.command == Request::Help || r.command == Request::Version)
                return std::nullopt;
        }
        return complete(r);
    }

    // The language asked for, also when the rest of the command line is wrong.
    static std::optional<int> languageOption(const QStringList &arguments)
    {
        const qsizetype i = arguments.indexOf(QStringLiteral("--language"));
        int value = 0;
        if (i >= 0 && i + 1 < arguments.size() && parseInt(arguments.at(i + 1), value) && value >= 0
            && value <= MaxLanguage)
            return value;
        return std::nullopt;
    }

private:
    // "-" alone and negative numbers are values, not options.
    static bool isOption(const QString &arg)
    {
        if (arg.size() < 2 || !arg.startsWith(u'-'))
            return false;
        double number = 0;
        return !parseNumber(arg, number);
    }

    std::optional<QString> value()
    {
        if (at >= args.size())
            return std::nullopt;
        return args.at(at++);
    }

    static UsageError missing(const QString &option) { return {QStringLiteral("Für %1 fehlt ein Wert."), {option}}; }
    static UsageError invalid(const QString &option, const QString &v)
    {
        return {QStringLiteral("Ungültiger Wert für %1: %2"), {option, v}};
    }

    static std::optional<UsageError> command(Request &r, Request::Command c, const QString &option)
    {
        if (r.command != Request::None)
            return UsageError{QStringLiteral("Nur eines von --dump und --export ist möglich: %1"), {option}};
        r.command = c;
        return std::nullopt;
    }

    std::optional<UsageError> exportFormat(Request &r, const QString &option)
    {
        if (auto problem = command(r, Request::Export, option))
            return problem;
        const auto format = value();
        if (!format)
            return missing(option);
        r.format = format->toLower();
        if (!isCommandLineFormat(r.format))
            return UsageError{QStringLiteral("Unbekanntes Format: %1"), {*format}};
        return std::nullopt;
    }

    std::optional<UsageError> pieces(Request &r, const QString &option)
    {
        const auto v = value();
        if (!v)
            return missing(option);
        if (!parseInt(*v, r.pieces) || r.pieces < DxfMinPieces || r.pieces > DxfMaxPieces)
            return invalid(option, *v);
        return std::nullopt;
    }

    std::optional<UsageError> scale(Request &r, const QString &option)
    {
        const auto px = value();
        const auto real = value();
        const auto unit = value();
        if (!px || !real || !unit)
            return missing(option);
        // pixelLength divides every value: it must be a number other than 0.
        if (!parseNumber(*px, r.pixelLength) || !std::isfinite(r.pixelLength) || r.pixelLength == 0)
            return invalid(option, *px);
        if (!parseNumber(*real, r.realLength) || !std::isfinite(r.realLength))
            return invalid(option, *real);
        r.unit = *unit;
        return std::nullopt;
    }

    std::optional<UsageError> decimals(Request &r, const QString &option)
    {
        const auto d1 = value();
        const auto d2 = value();
        if (!d1 || !d2)
            return missing(option);
        if (!parseInt(*d1, r.lengthDecimals))
            return invalid(option, *d1);
        if (!parseInt(*d2, r.areaDecimals))
            return invalid(option, *d2);
        return std::nullopt;
    }

    std::optional<UsageError> csvStyle(Request &r, const QString &option)
    {
        const auto v = value();
        if (!v)
            return missing(option);
        if (*v == QLatin1String("comma"))
            r.csvStyle = CsvStyle::Comma;
        else if (*v == QLatin1String("semicolon"))
            r.csvStyle = CsvStyle::Semicolon;
        else
            return invalid(option, *v);
        return std::nullopt;
    }

    std::optional<UsageError> language(Request &r, const QString &option)
    {
        const auto v = value();
        if (!v)
            return missing(option);
        int index = 0;
        if (!parseInt(*v, index) || index < 0 || index > MaxLanguage)
            return invalid(option, *v);
        r.language = index;
        return std::nullopt;
    }

    static std::optional<UsageError> complete(Request &r)
    {
        switch (r.command) {
        case Request::None:
            return UsageError{QStringLiteral("Es fehlt --dump oder --export."), {}};
        case Request::Dump:
            if (r.files.size() != 1)
                return UsageError{QStringLiteral("--dump erwartet genau eine Projektdatei."), {}};
            break;
        case Request::Export:
            if (r.files.size() != 2)
                return UsageError{QStringLiteral("--export erwartet eine Projektdatei und eine Ausgabedatei."), {}};
            break;
        case Request::Thumbnail:
            if (r.files.size() != 3)
                return UsageError{QStringLiteral("--thumbnail erwartet eine Projektdatei, eine PNG-Datei und eine Größe."), {}};
            if (!parseInt(r.files.at(2), r.thumbnailSize) || r.thumbnailSize < 1 || r.thumbnailSize > MaxThumbnailSize)
                return invalid(QStringLiteral("--thumbnail"), r.files.at(2));
            break;
        case Request::Help:
        case Request::Version:
            break;
        }
        return std::nullopt;
    }

    const QStringList &args;
    qsizetype at = 0;
};

void printUsage(QTextStream &s)
{
    struct Line {
        int indent;
        const char16_t *syntax;
        const char16_t *text;
    };
    static const Line lines[] = {
        {2, u"tesselon [BILD]", u"startet das Programm, auf Wunsch mit einem Bild"},
        {2, u"tesselon --dump PROJEKT.ver", u"gibt das Projekt als JSON auf der Standardausgabe aus"},
        {2, u"tesselon --export FORMAT PROJEKT.ver AUSGABE [Optionen]", u"FORMAT: csv xlsx dxf emf svg png pdf ver"},
        {2, u"tesselon --thumbnail PROJEKT.ver AUSGABE.png GRÖSSE", u"Vorschau für Dateimanager, höchstens GRÖSSE Pixel breit und hoch"},
        {2, u"tesselon --help", u"zeigt diese Hilfe"},
        {2, u"tesselon --import BILD_ODER_PDF PROJEKT.ver [Optionen]", u"legt ein Projekt mit dem Bild und seinem Maßstab an"},
        {2, u"tesselon --version", u"zeigt die Versionsnummer"},
        {0, nullptr, u"Optionen:"},
        {4, u"--pieces N", u"dxf: Teile je Kurve, 1 bis 20 (Vorgabe 4)"},
        {4, u"--scale PIXEL WERT EINHEIT",
         u"Maßstab und Einheit der Werte (Vorgabe: der im Projekt gespeicherte, sonst 1 1 Pixel); ver: wird im Projekt gespeichert"},
        {4, u"--decimals D1 D2", u"Nachkommastellen für Strecken und für alles andere (Vorgabe 2 4)"},
        {4, u"--language N", u"0 Deutsch, 1 Englisch, 2 Italienisch (Vorgabe: die gespeicherte Sprache)"},
        {4, u"--csv-style comma|semicolon", u"csv: Komma und Dezimalpunkt (Vorgabe) oder Semikolon und Dezimalkomma"},
        {4, u"--no-image", u"png und pdf: nur Linien und Beschriftungen"},
        {4, u"--page N", u"import: Seite der PDF-Datei (Vorgabe 1)"},
        {4, u"--dpi D", u"import: Auflösung der PDF-Seite in dpi (Vorgabe 200)"},
        {4, u"--plan-scale 1:N --unit E", u"import: Maßstab aus der Auflösung des Bildes; E: mm cm m km in ft"},
        {4, u"--rectify X1,Y1,...,X4,Y4 BREITE HÖHE EINHEIT", u"import: entzerrt das Bild; die vier Ecken eines Rechtecks und seine wahre Größe"},
        {4, u"--segments", u"csv: nach jedem Polygon und jeder Strecke eine Zeile je Seite"},
        {4, u"--uncertainty", u"csv: Spalten mit der Standardunsicherheit jedes Wertes"},
        {0, nullptr, u"Rückgabewerte: 0 erledigt, 1 Eingabe nicht lesbar oder Ausgabe nicht schreibbar, 2 falscher Aufruf"},
    };
    constexpr int column = 36;
    s << Translate(QStringLiteral("Aufruf:")) << '\n';
    for (const Line &line : lines) {
        const QString text = Translate(QString::fromUtf16(line.text));
        if (!line.syntax) {
            s << text << '\n';
            continue;
        }
        const QString syntax = QString(line.indent, u' ') + Translate(QString::fromUtf16(line.syntax));
        // Short syntax lines keep their text beside them, long ones put it on the next line.
        if (syntax.size() < column)
            s << syntax << QString(column - syntax.size(), u' ') << text << '\n';
        else
            s << syntax << '\n' << QString(column + 2, u' ') << text << '\n';
    }
}

// One line, whatever the message held.
QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text.simplified();
}

int usageError(const UsageError &problem, QTextStream &err)
{
    err << oneLine(problem.message()) << "\n\n";
    printUsage(err);
    err.flush();
    return 2;
}

int failure(const QString &message, QTextStream &err)
{
    err << oneLine(message) << '\n';
    err.flush();
    return 1;
}

int storedLanguage()
{
    Options options;
    LoadOptions(optionsFilePath(), options);
    return options.language;
}

// The zoom field holds whole percents within its range; a stored zoom is truncated into it.
int zoomFromProject(double zoom)
{
    if (!std::isfinite(zoom))
        return ViewState().zoomPercent;
    const double clamped = std::clamp(std::trunc(zoom), double(ViewState::ZoomMin), double(ViewState::ZoomMax));
    return static_cast<int>(clamped);
}

DrawingSettings drawingSettings(const ProjectSettings &s, bool withPicture)
{
    DrawingSettings d;
    d.elementColor = colorFromRef(s.colour);
    d.lineWidth = s.linewidth;
    d.arrowLength = s.arrowlength;
    d.labelFont.font = fontFromRecord(s.font);
    d.labelFont.color = colorFromRef(s.font.colour);
    d.showPicture = withPicture;
    d.showScaleLine = s.showScaleLine;
    d.outlineText = s.outlineText;
    return d;
}

QList<QStringList> resultsList(Document &doc, const NumberSettings &numbers, const ResultsOptions &options)
{
    ResultsModel model;
    model.ListObjekte(doc, numbers.areaDecimals, options);
    QStringList captions;
    for (int c = 0; c < ResultsModel::ColumnCount; ++c)
        captions.append(Translate(model.headerData(c, Qt::Horizontal).toString()));
    return resultsTable(model, captions, Translate(QStringLiteral("Einheit")), numbers.unit);
}

int dump(const QString &project, QTextStream &out, QTextStream &err)
{
    QByteArray json;
    QString error;
    QString warning;
    if (!projectJson(project, json, &error, &warning))
        return failure(error, err);
    if (!warning.isEmpty())
        err << oneLine(warning) << '\n';
    err.flush();
    out << QString::fromUtf8(json);
    out.flush();
    return 0;
}

int thumbnail(const Request &r, QTextStream &err)
{
    Document doc;
    dib image;
    ProjectSettings settings;
    QString error;
    if (!loadProject(r.files.at(0), doc, image, settings, &error))
        return failure(error, err);
    const ViewState view;
    const DrawingSettings drawing = drawingSettings(settings, true);
    // The labels show the values in the project's own scale, as the window does.
    const ProjectScale projectScale = settings.extension.scale().value_or(ProjectScale{1.0, 1.0, Message(3)});
    NumberSettings numbers;
    numbers.unit = projectScale.unit;
    const RenderInputs in{view, drawing, Scale{projectScale.pixelLength, projectScale.realLength}, numbers, nullptr};
    const QImage picture = renderThumbnail(doc, image, in, r.thumbnailSize);
    deldib(image);
    if (picture.isNull())
        return failure(Translate(QStringLiteral("Von diesem Projekt lässt sich keine Vorschau zeichnen.")) + QLatin1Char(' ')
                           + r.files.at(0),
                       err);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "png");
    return writeFileSafely(r.files.at(1), png, &error) ? 0 : failure(error, err);
}

int exportProject(const Request &r, QTextStream &err)
{
    const QString &project = r.files.at(0);
    const QString &target = r.files.at(1);
    Document doc;
    dib image;
    ProjectSettings settings;
    QString error;
    QString warning;
    if (!loadProject(project, doc, image, settings, &error, &warning))
        return failure(error, err);
    if (!warning.isEmpty()) {
        err << oneLine(warning) << '\n';
        err.flush();
    }
    // An explicit scale wins over the one the project keeps.
    const std::optional<ProjectScale> stored = settings.extension.scale();
    ProjectScale projectScale = stored.value_or(ProjectScale{1.0, 1.0, Message(3)});
    if (r.unit)
        projectScale = ProjectScale{r.pixelLength, r.realLength, *r.unit};

    ViewState view;
    view.zoomPercent = zoomFromProject(settings.zoom);
    const DrawingSettings drawing = drawingSettings(settings, !r.noImage);
    Scale scale{projectScale.pixelLength, projectScale.realLength};
    if (!r.unit)
        scale = withAxisScale(settings.extension, scale);
    NumberSettings numbers;
    numbers.unit = projectScale.unit;
    numbers.lengthDecimals = r.lengthDecimals;
    numbers.areaDecimals = r.areaDecimals;
    const RenderInputs in{view, drawing, scale, numbers, nullptr};
    if (r.format == QLatin1String("ver") && r.unit)
        settings.extension.setScale(projectScale);
    ExportSource source{doc, image, in};
    source.project = &settings;
    source.projectFile = project;
    source.resultDecimals = numbers.areaDecimals;
    source.pieces = r.pieces;
    source.withPicture = !r.noImage;
    source.csvStyle = r.csvStyle;
    // A project is written as it was read; every other format shows the values for the scale.
    if (r.format != QLatin1String("ver")) {
        refreshElementValues(doc, scale, drawing.showScaleLine);
        applyPlacementZooms(settings.extension, doc);
        ResultsOptions options;
        options.scale = scale;
        options.segments = r.segments;
        options.uncertainty = r.uncertainty;
        options.covariance = scaleCovariance(scale, scaleBasisOf(settings.extension, doc, scale));
        source.results = resultsList(doc, numbers, options);
    }
    const bool ok = findExporter(r.format)->write(target, source, &error);
    deldib(image);
    return ok ? 0 : failure(error, err);
}

} // namespace

bool isBatchCommandLine(int argc, char *argv[])
{
    return argc > 1 && std::strncmp(argv[1], "--", 2) == 0 && std::strcmp(argv[1], "--demo") != 0;
}

int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (isImportCommand(arguments)) {
        setLanguageIndex(Parser::languageOption(arguments).value_or(storedLanguage()));
        ImportRequest import;
        if (const std::optional<ImportUsage> problem = parseImport(arguments, import))
            return usageError(UsageError{problem->text, problem->arguments}, err);
        QString error;
        return runImport(import, error) ? 0 : failure(error, err);
    }
    Request request;
    Parser parser(arguments);
    const std::optional<UsageError> problem = parser.parse(request);
    setLanguageIndex(request.language.value_or(Parser::languageOption(arguments).value_or(storedLanguage())));
    if (problem)
        return usageError(*problem, err);
    switch (request.command) {
    case Request::Help:
        printUsage(out);
        out.flush();
        return 0;
    case Request::Version:
        out << "tesselon " << TESSELON_VERSION << '\n';
        out.flush();
        return 0;
    case Request::Dump:
        return dump(request.files.at(0), out, err);
    case Request::Export:
        return exportProject(request, err);
    case Request::Thumbnail:
        return thumbnail(request, err);
    case Request::None:
        break;
    }
    return usageError(UsageError{QStringLiteral("Es fehlt --dump oder --export."), {}}, err);
}

int commandLineMain(int argc, char *argv[])
{
    // Nothing is shown, so no display is needed; fonts still are, hence a GUI application.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries the command's own messages only, not the platform's remarks.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselon"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kovrant"));
    QLocale::setDefault(QLocale::c());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runCommandLine(QCoreApplication::arguments().mid(1), out, err);
}

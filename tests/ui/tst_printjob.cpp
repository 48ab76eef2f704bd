#include "core/dib.h"
#include "core/elements.h"
#include "core/translate.h"
#include "modalscript.h"
#include "render/pdffile.h"
#include "render/printjob.h"
#include "render/printlayout.h"
#include "render/realsize.h"
#include "support/solidpicture.h"
#include "translationfixture.h"
#include "ui/commands/printcommands.h"
#include "ui/dialogs/printform.h"
#include "workspace/workspace.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Printing into PDF files, read back with poppler's pdftoppm, pdfinfo and pdftotext.

namespace {

const QRgb PictureColour = qRgb(0, 128, 255);
const QColor ElementColour(0, 160, 0);

void addRectangle(Document &doc, double x1, double y1, double x2, double y2)
{
    Telemente *e = doc.appendElement();
    e->typ = TypRectangle;
    e->x1 = x1;
    e->y1 = y1;
    e->x2 = x2;
    e->y2 = y2;
}

QPageLayout pageOf(double widthMm, double heightMm)
{
    return QPageLayout(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Page number page (from 1) of a PDF file at dpi dots per inch.
QImage pageImage(const QString &pdf, int page, int dpi = 50)
{
    const QString prefix = pdf + QStringLiteral("-page");
    const QStringList arguments{QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                QString::number(page), QStringLiteral("-singlefile"), pdf, prefix};
    if (QProcess::execute(QStringLiteral("pdftoppm"), arguments) != 0)
        return QImage();
    return QImage(prefix + QStringLiteral(".png"));
}

QString pdfInfo(const QString &pdf, const QString &field)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 40 && std::abs(a.green() - b.green()) <= 40 &&
           std::abs(a.blue() - b.blue()) <= 40;
}

// Whether the colour shows within two pixels of p.
bool showsAround(const QImage &image, QPoint p, const QColor &colour)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (image.valid(p.x() + dx, p.y() + dy) && near(image.pixelColor(p.x() + dx, p.y() + dy), colour))
                return true;
    return false;
}

// The middles of the first and the last run of the colour along a row (or a column), in pixels;
// none while the colour does not show there.
std::optional<std::pair<double, double>> outerLines(const QImage &image, int at, bool alongRow, const QColor &colour)
{
    const int length = alongRow ? image.width() : image.height();
    std::vector<std::pair<int, int>> runs;
    for (int k = 0; k < length; ++k) {
        const QColor c = alongRow ? image.pixelColor(k, at) : image.pixelColor(at, k);
        if (!near(c, colour))
            continue;
        if (!runs.empty() && runs.back().second == k - 1)
            runs.back().second = k;
        else
            runs.emplace_back(k, k);
    }
    if (runs.empty())
        return std::nullopt;
    const auto middle = [](std::pair<int, int> run) { return (run.first + run.second) / 2.0; };
    return std::make_pair(middle(runs.front()), middle(runs.back()));
}

ModalScript::Step pressOk(QString *seenClass)
{
    return [seenClass](QWidget *modal) {
        *seenClass = QString::fromLatin1(modal->metaObject()->className());
        if (auto *form = qobject_cast<TPrintForm *>(modal))
            form->OkBitBtn1->click();
        else
            modal->close();
    };
}

} // namespace

class TestPrintJob : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void unitMillimetres_data();
    void unitMillimetres();
    void unitInTheInterfaceLanguage();
    void scaleFactor_data();
    void scaleFactor();
    void pagesAtRealSize_data();
    void pagesAtRealSize();
    void fittedPrintShowsPictureAndElements();
    void fittedPrintWithoutPicture();
    void realSizeSpreadsOverPages();
    void separateAxesPrintAtTheirOwnSizes();
    void labelsKeepTheirShapeOnStretchedPaper();
    void rectangleAtItsRealSize_data();
    void rectangleAtItsRealSize();
    void failedPrintLeavesNoFile();
    void unknownUnitShowsMessage28();
    void pageCountIsConfirmedFirst();
    void printWithPictureThroughTheDialog();
    void printerIsMadeWhenFirstNeeded();

private:
    PrintSource source(bool withPicture = true);
    void print(const QString &pdf, const QPageLayout &layout, const std::function<bool(QPagedPaintDevice &)> &job);
    std::unique_ptr<QMainWindow> commandWindow(PrintCommands *&commands);

    QTemporaryDir dir;
    // The work the print commands print; the print jobs tested alone read its document too.
    Workspace work;
    Document &doc = work.document();
    dib picture;
    DrawingSettings settings;
    Scale scale;
    NumberSettings numbers;
    int repaints = 0;
};

void TestPrintJob::initTestCase()
{
    QVERIFY(dir.isValid());
    useTranslationRows(dir, {{QStringLiteral("Fuß"), QStringLiteral("Feet"), QStringLiteral("Piedi")}});
    setLanguageIndex(0);
}

void TestPrintJob::cleanupTestCase()
{
    deldib(picture);
}

void TestPrintJob::init()
{
    doc.clear();
    deldib(picture);
    picture = solidPicture(200, 100, PictureColour);
    addRectangle(doc, 20, 20, 180, 80);
    settings = DrawingSettings();
    settings.elementColor = ElementColour;
    settings.lineWidth = 4;
    scale = Scale();
    numbers = NumberSettings();
    numbers.unit = QStringLiteral("Pixel");
    repaints = 0;
}

void TestPrintJob::cleanup()
{
    setLanguageIndex(0);
}

PrintSource TestPrintJob::source(bool withPicture)
{
    DrawingSettings s = settings;
    s.showPicture = withPicture;
    return PrintSource{doc, picture, s, scale, numbers};
}

void TestPrintJob::print(const QString &pdf, const QPageLayout &layout,
                         const std::function<bool(QPagedPaintDevice &)> &job)
{
    PdfFile file(pdf);
    QVERIFY(file.open(layout, 300, Message(13)));
    QVERIFY(job(file.writer()));
    QVERIFY(file.commit());
}

std::unique_ptr<QMainWindow> TestPrintJob::commandWindow(PrintCommands *&commands)
{
    auto window = std::make_unique<QMainWindow>();
    for (const char *name : {"Druckereinrichten1", "Drucken1", "DruckenohneBild1", "Druckenimeingestellten11Mastab1"}) {
        auto *action = new QAction(QString::fromLatin1(name), window.get());
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
        window->addAction(action);
    }
    work.setPicture(Picture(solidPicture(200, 100, PictureColour)));
    work.setDrawingSettings(settings);
    work.setScale(scale);
    work.setNumberSettings(numbers);
    commands = new PrintCommands(window.get(), work);
    QObject::connect(commands, &PrintCommands::repaintNeeded, window.get(), [this] { ++repaints; });
    commands->printer().setResolution(300);
    commands->printer().setPageLayout(pageOf(120, 90));
    return window;
}

void TestPrintJob::unitMillimetres_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("millimetres");
    QTest::newRow("mm") << "mm" << 1.0;
    QTest::newRow("cm") << "cm" << 10.0;
    QTest::newRow("dm") << "dm" << 100.0;
    QTest::newRow("m") << "m" << 1000.0;
    QTest::newRow("km") << "km" << 1e6;
    QTest::newRow("Fuß") << "Fuß" << 304.8;
    QTest::newRow("Yard") << "Yard" << 914.4;
    QTest::newRow("Inch") << "Inch" << 25.4;
    QTest::newRow("Meilen") << "Meilen" << 1609344.0;
    QTest::newRow("Seemeilen") << "Seemeilen" << 1852000.0;
    QTest::newRow("µm") << "µm" << 1e-3;
    QTest::newRow("µm typed with the Greek mu") << QString(QChar(0x03BC)) + QStringLiteral("m") << 1e-3;
    QTest::newRow("nm") << "nm" << 1e-6;
    QTest::newRow("pm") << "pm" << 1e-9;
    QTest::newRow("blanks around") << " cm " << 10.0;
    QTest::newRow("Pixel") << "Pixel" << -1.0;
    QTest::newRow("empty") << "" << -1.0;
    QTest::newRow("other case") << "MM" << -1.0;
    QTest::newRow("free text") << "Schritte" << -1.0;
}

void TestPrintJob::unitMillimetres()
{
    QFETCH(QString, unit);
    QFETCH(double, millimetres);
    const std::optional<double> mm = ::unitMillimetres(unit);
    if (millimetres < 0) {
        QVERIFY(!mm);
        return;
    }
    QVERIFY(mm);
    QCOMPARE(*mm, millimetres);
}

void TestPrintJob::unitInTheInterfaceLanguage()
{
    QVERIFY(!::unitMillimetres(QStringLiteral("Feet")));
    setLanguageIndex(1);
    QCOMPARE(::unitMillimetres(QStringLiteral("Feet")), std::optional<double>(304.8));
    QCOMPARE(::unitMillimetres(QStringLiteral("Fuß")), std::optional<double>(304.8));
}

void TestPrintJob::scaleFactor_data()
{
    QTest::addColumn<double>("pixelLength");
    QTest::addColumn<double>("realLength");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("millimetresPerPixel");
    QTest::newRow("200 px = 50 mm") << 200.0 << 50.0 << "mm" << 0.25;
    QTest::newRow("80 px = 20 cm") << 80.0 << 20.0 << "cm" << 2.5;
    QTest::newRow("1 px = 1 m") << 1.0 << 1.0 << "m" << 1000.0;
    QTest::newRow("100 px = 1 Inch") << 100.0 << 1.0 << "Inch" << 0.254;
    QTest::newRow("a negative scale prints at its size") << -4.0 << 1.0 << "mm" << 0.25;
    QTest::newRow("1 px = 10 µm") << 1.0 << 10.0 << "µm" << 0.01;
}

void TestPrintJob::scaleFactor()
{
    QFETCH(double, pixelLength);
    QFETCH(double, realLength);
    QFETCH(QString, unit);
    QFETCH(double, millimetresPerPixel);
    const std::optional<PaperPixel> mm = paperMillimetresPerImagePixel(Scale{pixelLength, realLength}, unit);
    QVERIFY(mm);
    QVERIFY(std::abs(mm->across - millimetresPerPixel) < 1e-12 * millimetresPerPixel);
    QCOMPARE(mm->down, mm->across);
    QVERIFY(!paperMillimetresPerImagePixel(Scale{pixelLength, realLength}, QStringLiteral("Pixel")));
}

void TestPrintJob::pagesAtRealSize_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<double>("mmPerPixel");
    QTest::addColumn<QSize>("page");
    QTest::addColumn<double>("columns");
    QTest::addColumn<double>("rows");
    // 120 x 90 mm at 300 dpi.
    const QSize page(1417, 1062);
    QTest::newRow("fits") << QSize(200, 100) << 0.5 << page << 1.0 << 1.0;
    QTest::newRow("two by two") << QSize(200, 100) << 1.0 << page << 2.0 << 2.0;
    QTest::newRow("wide strip") << QSize(1000, 10) << 1.0 << page << 9.0 << 1.0;
    // 254 px of 0.1 mm are one inch: exactly one page of 300 px, not two.
    QTest::newRow("exactly one page") << QSize(254, 254) << 0.1 << QSize(300, 300) << 1.0 << 1.0;
}

void TestPrintJob::pagesAtRealSize()
{
    QFETCH(QSize, image);
    QFETCH(double, mmPerPixel);
    QFETCH(QSize, page);
    QFETCH(double, columns);
    QFETCH(double, rows);
    const std::optional<RealSizeLayout> layout = realSizeLayout(image, {mmPerPixel, mmPerPixel}, 300, 300, page);
    QVERIFY(layout);
    QCOMPARE(layout->factorX, mmPerPixel * 300 / 25.4);
    QCOMPARE(layout->columns, columns);
    QCOMPARE(layout->rows, rows);
    QVERIFY(!realSizeLayout(QSize(), {mmPerPixel, mmPerPixel}, 300, 300, page));
    QVERIFY(!realSizeLayout(image, {mmPerPixel, mmPerPixel}, 300, 300, QSize()));
    QVERIFY(!realSizeLayout(image, {std::nan(""), mmPerPixel}, 300, 300, page));
    // A drawing of kilometres still counts its pages, so the command can refuse it.
    const std::optional<RealSizeLayout> huge = realSizeLayout(image, {1e6, 1e6}, 300, 300, page);
    QVERIFY(huge);
    QVERIFY(huge->pages() > MaxRealSizePages);
}

// A 200 x 100 picture on a square page of 100 mm: the whole width, centred from top to bottom.
// At 50 dpi the page is 197 pixels wide, the picture about 49 to 148 from the top.
void TestPrintJob::fittedPrintShowsPictureAndElements()
{
    const QString pdf = dir.filePath(QStringLiteral("fitted.pdf"));
    PrintSource src = source();
    print(pdf, pageOf(100, 100), [&](QPagedPaintDevice &device) {
        return printFitted(device, PrintSizeChoice(), src, true);
    });
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), Message(13));
    const QImage page = pageImage(pdf, 1);
    QVERIFY(!page.isNull());
    QVERIFY(std::abs(page.width() - 197) <= 1);
    QVERIFY(near(page.pixelColor(98, 20), Qt::white));
    QVERIFY(near(page.pixelColor(98, 175), Qt::white));
    QVERIFY(near(page.pixelColor(98, 98), QColor(PictureColour)));
    QVERIFY(near(page.pixelColor(5, 55), QColor(PictureColour)));
    // The rectangle's left and top edges, at image x 20 and y 20.
    QVERIFY(showsAround(page, QPoint(20, 98), ElementColour));
    QVERIFY(showsAround(page, QPoint(98, 69), ElementColour));
    QVERIFY(!showsAround(page, QPoint(40, 98), ElementColour));
    // The area label prints as text, at the printer's resolution.
    QVERIFY(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QStringLiteral("9600.0000")));
}

void TestPrintJob::fittedPrintWithoutPicture()
{
    const QString pdf = dir.filePath(QStringLiteral("lines.pdf"));
    PrintSource src = source(false);
    print(pdf, pageOf(100, 100), [&](QPagedPaintDevice &device) {
        return printFitted(device, PrintSizeChoice(), src, false);
    });
    const QImage page = pageImage(pdf, 1);
    QVERIFY(!page.isNull());
    QVERIFY(near(page.pixelColor(98, 98), Qt::white));
    QVERIFY(near(page.pixelColor(5, 55), Qt::white));
    QVERIFY(showsAround(page, QPoint(20, 98), ElementColour));
}

// 1 px = 1 mm: the 200 x 100 mm drawing on pages of 120 x 90 mm takes two pages across and two
// down. The second page holds the last 80 mm of the width, the third the last 10 mm of the height.
void TestPrintJob::realSizeSpreadsOverPages()
{
    addRectangle(doc, 150, 20, 190, 90);
    const QString pdf = dir.filePath(QStringLiteral("real.pdf"));
    PrintSource src = source();
    print(pdf, pageOf(120, 90), [&](QPagedPaintDevice &device) {
        const std::optional<RealSizeLayout> layout = realSizeLayoutFor(device, QSize(200, 100), {1.0, 1.0});
        return layout && layout->pages() == 4 && printRealSize(device, *layout, src, true);
    });
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
    const double mm = 50.0 / 25.4;
    const QImage first = pageImage(pdf, 1);
    QVERIFY(near(first.pixelColor(first.width() - 3, first.height() - 3), QColor(PictureColour)));
    QVERIFY(showsAround(first, QPoint(qRound(20 * mm), qRound(50 * mm)), ElementColour));

    const QImage second = pageImage(pdf, 2);
    QVERIFY(near(second.pixelColor(qRound(77 * mm), 10), QColor(PictureColour)));
    QVERIFY(near(second.pixelColor(qRound(83 * mm), 10), Qt::white));
    // The second rectangle's left edge at 150 mm lies 30 mm into the second page.
    QVERIFY(showsAround(second, QPoint(qRound(30 * mm), qRound(50 * mm)), ElementColour));

    const QImage third = pageImage(pdf, 3);
    QVERIFY(near(third.pixelColor(10, qRound(7 * mm)), QColor(PictureColour)));
    QVERIFY(near(third.pixelColor(10, qRound(13 * mm)), Qt::white));
    const QImage fourth = pageImage(pdf, 4);
    QVERIFY(near(fourth.pixelColor(qRound(77 * mm), qRound(7 * mm)), QColor(PictureColour)));
    QVERIFY(near(fourth.pixelColor(qRound(83 * mm), qRound(25 * mm)), Qt::white));
}

// 1 px = 1 mm across but 0.5 mm down: the 200 x 100 px drawing is 200 x 50 mm, two pages across
// and one down, the picture ending 50 mm from the top.
void TestPrintJob::separateAxesPrintAtTheirOwnSizes()
{
    addRectangle(doc, 150, 20, 190, 90);
    Scale scale{1.0, 1.0};
    scale.separateAxes = true;
    scale.yRealLength = 0.5;
    const std::optional<PaperPixel> paper = paperMillimetresPerImagePixel(scale, QStringLiteral("mm"));
    QVERIFY(paper);
    QCOMPARE(paper->across, 1.0);
    QCOMPARE(paper->down, 0.5);
    const QString pdf = dir.filePath(QStringLiteral("stretched.pdf"));
    PrintSource src = source();
    print(pdf, pageOf(120, 90), [&](QPagedPaintDevice &device) {
        const std::optional<RealSizeLayout> layout = realSizeLayoutFor(device, QSize(200, 100), *paper);
        return layout && layout->columns == 2 && layout->rows == 1 && printRealSize(device, *layout, src, true);
    });
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("2"));
    const double mm = 50.0 / 25.4;
    const QImage first = pageImage(pdf, 1);
    QVERIFY(near(first.pixelColor(10, qRound(47 * mm)), QColor(PictureColour)));
    QVERIFY(near(first.pixelColor(10, qRound(53 * mm)), Qt::white));
    const QImage second = pageImage(pdf, 2);
    QVERIFY(showsAround(second, QPoint(qRound(30 * mm), qRound(25 * mm)), ElementColour));
}

void TestPrintJob::rectangleAtItsRealSize_data()
{
    QTest::addColumn<double>("across");
    QTest::addColumn<double>("down");
    QTest::newRow("one scale") << 0.5 << 0.5;
    QTest::newRow("down 5 % longer") << 0.5 << 0.525;
    QTest::newRow("across 5 % longer") << 0.525 << 0.5;
}

// The printed page as it comes out on paper, 10 pixels a millimetre: the rectangle from
// (20, 20) to (180, 80) lies where its real size puts it, measured on the middles of its lines.
void TestPrintJob::rectangleAtItsRealSize()
{
    QFETCH(double, across);
    QFETCH(double, down);
    settings.lineWidth = 1;
    Scale stretched{1.0, across};
    stretched.separateAxes = true;
    stretched.yRealLength = down;
    const std::optional<PaperPixel> paper = paperMillimetresPerImagePixel(stretched, QStringLiteral("mm"));
    QVERIFY(paper);
    const QString pdf = dir.filePath(QStringLiteral("real-size.pdf"));
    PrintSource src = source(false);
    print(pdf, pageOf(120, 90), [&](QPagedPaintDevice &device) {
        const std::optional<RealSizeLayout> layout = realSizeLayoutFor(device, QSize(200, 100), *paper);
        return layout && layout->pages() == 1 && printRealSize(device, *layout, src, false);
    });
    const QImage page = pageImage(pdf, 1, 254);
    const auto row = outerLines(page, qRound(50 * down * 10), true, ElementColour);
    const auto column = outerLines(page, qRound(100 * across * 10), false, ElementColour);
    QVERIFY(row && column);
    QVERIFY(std::abs(row->first / 10 - 20 * across) < 0.3);
    QVERIFY(std::abs(row->second / 10 - 180 * across) < 0.3);
    QVERIFY(std::abs(column->first / 10 - 20 * down) < 0.3);
    QVERIFY(std::abs(column->second / 10 - 80 * down) < 0.3);
}

// A label printed where the X and Y scales differ by 5 %: its glyphs keep their proportions,
// growing with the scale down, and its lower-left corner stays on the drawing's point.
void TestPrintJob::labelsKeepTheirShapeOnStretchedPaper()
{
    doc.clear();
    Document::setName(*doc.appendElement(), QStringLiteral("Messpunkt"));
    Telemente &label = *doc.element(0);
    label.typ = TypText;
    label.x1 = 20;
    label.y1 = 60;
    settings.labelFont.font.setPixelSize(30);
    PrintSource src = source(false);
    // The ink's box in the label colour, drawn at 2 device pixels per image pixel across and
    // down times that.
    const auto inkBox = [&src](double down) {
        QImage page(600, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter p(&page);
        paintDrawing(p, QPointF(0, 0), 2.0, 2.0 * down, page.rect(), src, false, 1.0 / down);
        p.end();
        QRect box;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (near(page.pixelColor(x, y), Qt::red))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect single = inkBox(1.0);
    const QRect stretched = inkBox(1.05);
    QVERIFY(single.width() > 200 && single.height() > 30);
    const double singleShape = double(single.width()) / single.height();
    const double stretchedShape = double(stretched.width()) / stretched.height();
    QVERIFY2(std::abs(stretchedShape / singleShape - 1) < 0.015,
             qPrintable(QStringLiteral("%1 against %2").arg(stretchedShape).arg(singleShape)));
    QVERIFY(std::abs(stretched.width() - 1.05 * single.width()) <= 3);
    QVERIFY(std::abs(stretched.left() - single.left()) <= 1);
    QVERIFY(std::abs(stretched.bottom() - 1.05 * single.bottom()) <= 2);
}

void TestPrintJob::failedPrintLeavesNoFile()
{
    const QString pdf = dir.filePath(QStringLiteral("missing-folder/out.pdf"));
    PdfFile file(pdf);
    QVERIFY(!file.open(pageOf(100, 100), 300, Message(13)));
    QVERIFY(!file.errorString().isEmpty());

    const QString kept = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile old(kept);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier");
    }
    {
        PdfFile abandoned(kept);
        QVERIFY(abandoned.open(pageOf(100, 100), 300, Message(13)));
        RealSizeLayout tooMany;
        tooMany.columns = MaxRealSizePages + 1;
        tooMany.rows = 1;
        PrintSource src = source();
        QVERIFY(!printRealSize(abandoned.writer(), tooMany, src, true));
    }
    QFile old(kept);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("earlier"));
}

void TestPrintJob::unknownUnitShowsMessage28()
{
    PrintCommands *commands = nullptr;
    const std::unique_ptr<QMainWindow> window = commandWindow(commands);
    QAction *action = window->findChild<QAction *>(QStringLiteral("Druckenimeingestellten11Mastab1"));
    QVERIFY(action && action->isEnabled());
    AnsweredBox seen;
    answerNextBox(QMessageBox::Ok, &seen);
    action->trigger();
    QCOMPARE(seen.text, Message(28));
    QCOMPARE(seen.text, QStringLiteral("Die angegebene Maßeinheit konnte nicht verarbeitet werden."));
}

void TestPrintJob::pageCountIsConfirmedFirst()
{
    PrintCommands *commands = nullptr;
    const std::unique_ptr<QMainWindow> window = commandWindow(commands);
    if (!PrintCommands::printsToPdf())
        QSKIP("This system has a printer; the test would print on it.");
    numbers.unit = QStringLiteral("mm");
    work.setNumberSettings(numbers);
    QAction *action = window->findChild<QAction *>(QStringLiteral("Druckenimeingestellten11Mastab1"));

    AnsweredBox seen;
    answerNextBox(QMessageBox::No, &seen);
    action->trigger();
    QVERIFY(seen.text.contains(QStringLiteral("4 Seiten")));
    QVERIFY(seen.text.contains(QStringLiteral("(2 nebeneinander, 2 untereinander)")));
    QVERIFY(seen.buttons.size() == 2);

    const QString pdf = dir.filePath(QStringLiteral("command.pdf"));
    QString firstModal;
    QString secondModal;
    ModalScript script({[&firstModal](QWidget *modal) {
                            firstModal = QString::fromLatin1(modal->metaObject()->className());
                            if (auto *box = qobject_cast<QMessageBox *>(modal))
                                box->button(QMessageBox::Yes)->click();
                        },
                        typeFileName(pdf, &secondModal)});
    action->trigger();
    QCOMPARE(script.unexpected(), QStringList());
    QCOMPARE(firstModal, QStringLiteral("QMessageBox"));
    QCOMPARE(secondModal, QStringLiteral("QFileDialog"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("4"));
    QVERIFY(repaints > 0);
}

void TestPrintJob::printWithPictureThroughTheDialog()
{
    PrintCommands *commands = nullptr;
    const std::unique_ptr<QMainWindow> window = commandWindow(commands);
    if (!PrintCommands::printsToPdf())
        QSKIP("This system has a printer; the test would print on it.");
    QVERIFY(commands->printForm());
    const QString pdf = dir.filePath(QStringLiteral("dialog"));
    QString firstModal;
    QString secondModal;
    ModalScript script({pressOk(&firstModal), typeFileName(pdf, &secondModal)});
    window->findChild<QAction *>(QStringLiteral("Drucken1"))->trigger();
    QCOMPARE(script.unexpected(), QStringList());
    QCOMPARE(firstModal, QStringLiteral("TPrintForm"));
    QCOMPARE(secondModal, QStringLiteral("QFileDialog"));
    // The dialog's picture is the drawing it prints.
    QCOMPARE(DibWidth(commands->printForm()->picture()), 200);
    QCOMPARE(commands->printForm()->pictureSize(), QSize(200, 100));
    // The file dialog proposes the extension.
    const QString written = pdf + QStringLiteral(".pdf");
    QCOMPARE(pdfInfo(written, QStringLiteral("Pages")), QStringLiteral("1"));
    // The 120 x 90 mm page: the 2:1 picture takes the whole width (236 px at 50 dpi) and is
    // centred from top to bottom.
    const QImage page = pageImage(written, 1);
    QVERIFY(near(page.pixelColor(page.width() / 2, page.height() / 2), QColor(PictureColour)));
    QVERIFY(near(page.pixelColor(page.width() / 2, 5), Qt::white));
}

void TestPrintJob::printerIsMadeWhenFirstNeeded()
{
    QMainWindow window;
    auto *action = new QAction(QStringLiteral("Drucken1"), &window);
    action->setObjectName(QStringLiteral("Drucken1"));
    work.setPicture(Picture(solidPicture(200, 100, PictureColour)));
    auto *commands = new PrintCommands(&window, work);
    // A window that is only opened asks the print system nothing.
    QVERIFY(!commands->hasPrinter());

    QSize previewPage;
    ModalScript script({[&previewPage](QWidget *modal) {
        if (auto *form = qobject_cast<TPrintForm *>(modal))
            previewPage = form->page();
        modal->close();
    }});
    action->trigger();
    QCOMPARE(script.unexpected(), QStringList());
    QVERIFY(script.finished());
    QVERIFY(commands->hasPrinter());
    QVERIFY(!previewPage.isEmpty());
}

QTEST_MAIN(TestPrintJob)
#include "tst_printjob.moc"

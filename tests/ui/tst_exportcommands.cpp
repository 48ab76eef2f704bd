#include "core/csvexport.h"
#include "core/dib.h"
#include "core/elements.h"
#include "core/geometry.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "modalscript.h"
#include "support/xlsxreader.h"
#include "ui/commands/exportcommands.h"
#include "ui/dialogs/dxfexportform.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QImageReader>
#include <QJsonArray>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>


namespace {

const char *const ActionNames[] = {"AlsBildspeichern1",
                                   "AlsBildspeichernnurLinien1",
                                   "MessergebnissealsCSVDateiexportieren1",
                                   "LinienalsSVGspeichern1",
                                   "LinienalsDXFexportieren1",
                                   "LinienDXFfrCNCexportierenKreisbgenkeineSplines1",
                                   "exportResultsXlsx"};

struct Window {
    QMainWindow main;
    Workspace work;
    Document &doc = work.document();
    ResultsModel results;
    int repaints = 0;
    std::unique_ptr<ExportCommands> commands;

    Window()
    {
        for (const char *name : ActionNames) {
            auto *action = new QAction(QString::fromLatin1(name), &main);
            action->setObjectName(QLatin1String(name));
            action->setEnabled(false);
        }
        Picture image;
        newdib(image.record(), 60, 40, 24, nullptr, 0);
        work.setPicture(std::move(image));
        Telemente *line = doc.appendElement();
        line->typ = TypLine;
        line->x1 = 5;
        line->y1 = 20;
        line->x2 = 55;
        line->y2 = 20;
        Telemente *room = doc.appendElement();
        room->typ = TypRectangle;
        room->x1 = 10;
        room->y1 = 10;
        room->x2 = 30;
        room->y2 = 30;
        room->lang = 80;
        room->flaeche = 400;
        Document::setName(*room, QStringLiteral("Flur, oben"));
        results.ListObjekte(doc, 2);
        NumberSettings numbers;
        numbers.unit = QStringLiteral("cm");
        work.setNumberSettings(numbers);
        work.setFileName(QStringLiteral("/plans/flur.ver"));
        commands = std::make_unique<ExportCommands>(&main, work, results, [] {
            ViewState v;
            v.zoomPercent = 200;
            return v;
        });
        QObject::connect(commands.get(), &ExportCommands::repaintNeeded, [this] { ++repaints; });
    }

    void trigger(const char *name) { main.findChild<QAction *>(QLatin1String(name))->trigger(); }
};

// The interface language for one test, put back afterwards.
struct LanguageGuard {
    explicit LanguageGuard(int language) : before(languageIndex()) { setLanguageIndex(language); }
    ~LanguageGuard() { setLanguageIndex(before); }
    int before;
};

} // namespace

class TestExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void actionsEnabledAndDialogsNamed();
    void dxfExportForm();
    void dxfAsksPiecesThenFile();
    void dxfCancelledWritesNothing();
    void csvHoldsTheList();
    void csvStyleFollowsTheLanguage_data();
    void csvStyleFollowsTheLanguage();
    void xlsxHoldsTheList_data();
    void xlsxHoldsTheList();
    void pictures_data();
    void pictures();
    void failureIsShownAndLeavesNoFile();
};

void TestExportCommands::actionsEnabledAndDialogsNamed()
{
    Window w;
    for (const char *name : ActionNames)
        QVERIFY2(w.main.findChild<QAction *>(QLatin1String(name))->isEnabled(), name);
    const QList<std::pair<const char *, QStringList>> dialogs = {
        {"SaveDialog1",
         {"BMP-Dateien (*.bmp)", "PNG-Dateien (*.png)", "JPEG-Dateien (*.jpg *.jpeg)", "TIFF-Dateien (*.tif *.tiff)"}},
        {"SaveDialog2", {"SVG-Dateien (*.svg)"}},
        {"SaveDialog4", {"EMF Dateien (*.emf)"}},
        {"SaveDialog5", {"DXF Dateien (*.dxf)"}},
        {"SaveDialog6", {"CSV-Dateien (*.csv)", "CSV-Dateien mit Semikolon und Dezimalkomma (*.csv)"}},
        {"SaveDialogXlsx", {"XLSX-Arbeitsmappen (*.xlsx)"}},
    };
    for (const auto &[name, filters] : dialogs) {
        auto *dialog = w.main.findChild<QFileDialog *>(QLatin1String(name));
        QVERIFY2(dialog, name);
        QCOMPARE(dialog->nameFilters(), filters);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
    }
    QCOMPARE(w.main.findChild<QFileDialog *>(QStringLiteral("SaveDialog1"))->defaultSuffix(), QStringLiteral("bmp"));
}

void TestExportCommands::dxfExportForm()
{
    TDXFExportForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("DXF Export"));
    QCOMPARE(form.Label1->text(), QStringLiteral("Splines teilen in:"));
    QCOMPARE(form.Label2->text(), QStringLiteral("Kreisbögen/Linien"));
    QCOMPARE(form.DivideEd->objectName(), QStringLiteral("DivideEd"));
    QCOMPARE(form.DivideEd->minimum(), 1);
    QCOMPARE(form.DivideEd->maximum(), 20);
    QCOMPARE(form.pieces(), 4);
    form.DivideEd->setValue(25);
    QCOMPARE(form.pieces(), 20);
}

void TestExportCommands::dxfAsksPiecesThenFile()
{
    QTemporaryDir dir;
    Window w;
    // A curve cut into the dialog's pieces.
    Telemente *curve = w.doc.appendElement();
    curve->typ = TypQuadCurve;
    curve->x1 = 0;
    curve->x2 = 60;
    curve->x3 = 30;
    curve->y3 = 30;
    const QString path = dir.filePath(QStringLiteral("cnc"));
    ModalScript script({[](QWidget *modal) {
                             auto *form = qobject_cast<TDXFExportForm *>(modal);
                             QVERIFY(form);
                             form->DivideEd->setValue(3);
                             form->OKBtn->click();
                         },
                         typeFileName(path)});
    w.trigger("LinienDXFfrCNCexportierenKreisbgenkeineSplines1");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QFile file(path + QStringLiteral(".dxf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // The line's two vertices and two per piece of the curve.
    QCOMPARE(file.readAll().count("\r\nVERTEX\r\n"), 2 + 2 * 3);
    // The dialog keeps its value for the next export.
    QCOMPARE(w.commands->dxfExportForm()->pieces(), 3);
}

void TestExportCommands::dxfCancelledWritesNothing()
{
    QTemporaryDir dir;
    Window w;
    ModalScript script({rejectDialog()});
    w.trigger("LinienDXFfrCNCexportierenKreisbgenkeineSplines1");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestExportCommands::csvHoldsTheList()
{
    // Today's comma style is the one offered first to English users.
    const LanguageGuard english(1);
    QTemporaryDir dir;
    Window w;
    w.results.setHeaderData(0, Qt::Horizontal, QStringLiteral("Type"));
    const QString path = dir.filePath(QStringLiteral("results.csv"));
    ModalScript script({typeFileName(path)});
    w.trigger("MessergebnissealsCSVDateiexportieren1");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> rows;
    QVERIFY(readCsv(file.readAll(), rows, nullptr));
    QCOMPARE(rows.size(), 2);
    // The captions as the list shows them, translated or not.
    QCOMPARE(rows[0].first(), QStringLiteral("Type"));
    QCOMPARE(rows[0].last(), QStringLiteral("Einheit"));
    QCOMPARE(rows[1], (QStringList{w.results.text(0, 0), "Flur, oben", "80.00", "400.00", "", "cm"}));
}

void TestExportCommands::csvStyleFollowsTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("German: semicolon") << 0 << QByteArray(";Flur, oben;80,00;400,00;;cm\r\n");
    QTest::newRow("English: comma") << 1 << QByteArray(",\"Flur, oben\",80.00,400.00,,cm\r\n");
    QTest::newRow("Italian: semicolon") << 2 << QByteArray(";Flur, oben;80,00;400,00;;cm\r\n");
}

void TestExportCommands::csvStyleFollowsTheLanguage()
{
    QFETCH(int, language);
    QFETCH(QByteArray, record);
    const LanguageGuard guard(language);
    QTemporaryDir dir;
    Window w;
    const QString path = dir.filePath(QStringLiteral("results"));
    ModalScript script({typeFileName(path)});
    w.trigger("MessergebnissealsCSVDateiexportieren1");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QFile file(path + QStringLiteral(".csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.endsWith(w.results.text(0, 0).toUtf8() + record), text.constData());
}

void TestExportCommands::xlsxHoldsTheList_data()
{
    QTest::addColumn<bool>("uncertainty");
    QTest::addColumn<bool>("sides");
    QTest::addColumn<bool>("sidesLeftOut");
    QTest::addColumn<QStringList>("firstColumn");
    const QStringList elements{"Rechteck", "Polygon"};
    QTest::newRow("values only") << false << false << false << elements;
    QTest::newRow("± columns and sides") << true << true << false
                                         << elements + QStringList{"Segment 1", "Segment 2", "Segment 3"};
    QTest::newRow("sides left out") << true << true << true << elements;
}

// The workbook holds the list as it is shown: the "±" columns when the list has them, each side
// of the polygon as a row after it unless the user left the sides out of exports.
void TestExportCommands::xlsxHoldsTheList()
{
    QFETCH(bool, uncertainty);
    QFETCH(bool, sides);
    QFETCH(bool, sidesLeftOut);
    QFETCH(QStringList, firstColumn);
    QTemporaryDir dir;
    Window w;
    Telemente *bed = w.doc.appendElement();
    bed->typ = TypPolygon;
    for (const QPointF p : {QPointF(0, 0), QPointF(40, 0), QPointF(0, 30), QPointF(0, 0)})
        Document::appendVertex(bed->vert, p.x(), p.y());
    computeElementValues(w.doc, w.doc.count() - 1, Scale());
    ResultsOptions options;
    options.segments = sides;
    options.uncertainty = uncertainty;
    w.results.ListObjekte(w.doc, 2, options);
    auto *leaveOut = new QAction(QStringLiteral("CSVohneSeiten1"), &w.main);
    leaveOut->setObjectName(QStringLiteral("CSVohneSeiten1"));
    leaveOut->setCheckable(true);
    if (sidesLeftOut)
        leaveOut->trigger();

    const QString path = dir.filePath(QStringLiteral("results"));
    ModalScript script({typeFileName(path)});
    w.trigger("exportResultsXlsx");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QVERIFY(QFileInfo::exists(path + QStringLiteral(".xlsx")));
    const QJsonObject book = readXlsx(path + QStringLiteral(".xlsx"));
    if (book.isEmpty())
        QSKIP("python3 cannot read the workbook here");
    const QJsonObject cells =
        book.value(book.value(QStringLiteral("sheets")).toArray().at(0).toString()).toObject().value(QStringLiteral("cells")).toObject();
    const auto at = [&cells](const QString &ref) { return cells.value(ref).toArray(); };
    QCOMPARE(at(QStringLiteral("B2")).at(1).toString(), QStringLiteral("Flur, oben"));
    QCOMPARE(at(QStringLiteral("C2")), (QJsonArray{"n", "80", "0.00", false}));
    QCOMPARE(at(QStringLiteral("F2")).at(1).toString(), QStringLiteral("cm"));
    QStringList listed;
    for (int row = 2; cells.contains(QStringLiteral("A%1").arg(row)); ++row)
        listed.append(at(QStringLiteral("A%1").arg(row)).at(1).toString());
    QCOMPARE(listed, firstColumn);
    const QStringList plusMinus{at(QStringLiteral("G1")).at(1).toString(), at(QStringLiteral("H1")).at(1).toString(),
                                at(QStringLiteral("I1")).at(1).toString()};
    if (!uncertainty) {
        QCOMPARE(plusMinus, (QStringList{"", "", ""}));
        return;
    }
    QCOMPARE(plusMinus, (QStringList{"± Länge/Umfang", "± Flächeninhalt", "± Winkel"}));
    // The uncertainties are numbers, as the values are; a side has one for its length.
    QCOMPARE(at(QStringLiteral("G2")).at(0).toString(), QStringLiteral("n"));
    QVERIFY(at(QStringLiteral("H2")).at(1).toString().toDouble() > 0);
    if (sides && !sidesLeftOut) {
        QCOMPARE(at(QStringLiteral("C4")).at(1).toString(), QStringLiteral("40"));
        QCOMPARE(at(QStringLiteral("G4")).at(0).toString(), QStringLiteral("n"));
    }
    const QJsonObject source =
        book.value(book.value(QStringLiteral("sheets")).toArray().at(1).toString()).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(source.value(QStringLiteral("B1")).toArray().at(1).toString(), QStringLiteral("flur.ver"));
}

void TestExportCommands::pictures_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("withPicture");
    QTest::newRow("with background, BMP by default") << "AlsBildspeichern1" << "plan" << QByteArray("bmp") << true;
    QTest::newRow("lines only, PNG") << "AlsBildspeichernnurLinien1" << "plan.png" << QByteArray("png") << false;
}

void TestExportCommands::pictures()
{
    QFETCH(QString, action);
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(bool, withPicture);
    QTemporaryDir dir;
    Window w;
    const QString path = dir.filePath(name);
    ModalScript script({typeFileName(path)});
    w.trigger(action.toLatin1().constData());
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    const QString written = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".bmp") : path;
    QImageReader reader(written);
    QCOMPARE(reader.format(), format);
    const QImage picture = reader.read();
    // The whole drawing at the window's zoom of 200.
    QCOMPARE(picture.size(), QSize(120, 80));
    QCOMPARE(picture.pixel(60, 40), qRgb(255, 0, 0));
    // The new image is black; without it the background is white.
    QCOMPARE(picture.pixel(100, 5), withPicture ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QCOMPARE(w.repaints, 1);
}

void TestExportCommands::failureIsShownAndLeavesNoFile()
{
    QTemporaryDir dir;
    Window w;
    const QString path = dir.filePath(QStringLiteral("missing/lines.svg"));
    QString shown;
    ModalScript script({typeFileName(path), [&shown](QWidget *modal) {
                             auto *box = qobject_cast<QMessageBox *>(modal);
                             QVERIFY(box);
                             QCOMPARE(box->icon(), QMessageBox::Critical);
                             shown = box->text();
                             box->accept();
                         }});
    w.trigger("LinienalsSVGspeichern1");
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected(), QStringList());
    QVERIFY2(shown.contains(path), qPrintable(shown));
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"

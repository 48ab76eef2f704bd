#include "core/projectfile.h"
#include "render/fontrecord.h"
#include "support/documentcompare.h"
#include "support/testfiles.h"
#include "translationfixture.h"
#include "ui/commands/projectcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/projectsettings.h"
#include "ui/widgets/colorswatch.h"

#include <QtTest>

#include <QAction>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeView>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <limits>
#include <memory>

namespace {

const QString OpenFailed = QStringLiteral("Konnte Datei nicht öffnen.");
const QString SaveFailed = QStringLiteral("Konnte Datei nicht erzeugen.");

// The commands on a main window, with a log of the window's parts they call. The file dialogs
// answer with file.
struct Commands : ProjectWindow {
    TMainForm &w;
    QStringList log;
    QString file;
    std::unique_ptr<ProjectCommands> commands;

    Commands(TMainForm &window, const QString &fileToChoose) : w(window), file(fileToChoose)
    {
        commands = std::make_unique<ProjectCommands>(&w, w.workspace(), *this);
        commands->setFileChooser([this](QFileDialog &) { return file; });
    }
    ProjectSettings currentSettings(const FontRecord *original) const override
    {
        return settingsFromWindow(w, original);
    }
    void applySettings(const ProjectSettings &s) override
    {
        log << QStringLiteral("apply");
        applySettingsToWindow(w, s);
    }
    void endConstruction() override { log << QStringLiteral("end %1").arg(w.workspace().document().count()); }
    void repaint() override
    {
        log << QStringLiteral("repaint");
        w.PaintBox1Paint();
    }
    Commands(const Commands &) = delete;
    Commands &operator=(const Commands &) = delete;
};

void addElement(Document &doc, std::int32_t typ, double x, double y, const QString &name, int vertices)
{
    Telemente *e = doc.appendElement();
    QVERIFY(e);
    e->typ = typ;
    e->x1 = x;
    e->y1 = y;
    e->x2 = x + 40.5;
    e->y2 = y + 12.25;
    e->ox1 = x + 3;
    e->oy1 = y - 8;
    e->selected = typ == TypPolygon;
    for (int v = 0; v < vertices; ++v)
        QVERIFY(doc.appendVertex(x + 10.5 * v, y + (v % 2) * 7.75));
    if (!name.isNull())
        QVERIFY(Document::setName(*e, name));
}

// Four element kinds, names outside Latin-1 and a nameless one, over an 8-bit picture with its
// own palette.
void makeWork(TMainForm &w)
{
    addElement(w.workspace().document(), TypDistance, 5, 6, QStringLiteral("Wand Süd"), 0);
    addElement(w.workspace().document(), TypPolygon, 20, 30, QString::fromUtf8("Площадь 面積"), 5);
    addElement(w.workspace().document(), TypRectangle, 2, 3, QString(), 0);
    addElement(w.workspace().document(), TypText, 8, 40, QStringLiteral("Beschriftung"), 0);

    Picture picture;
    std::vector<char> info(sizeof(BITMAPINFOHEADER) + 4 * 256, 0);
    auto *palette = reinterpret_cast<RGBQUAD *>(info.data() + sizeof(BITMAPINFOHEADER));
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3), 0};
    QVERIFY(newdib(picture.record(), 61, 47, 8, reinterpret_cast<BITMAPINFO *>(info.data()), 256));
    for (int y = 0; y < 47; ++y)
        for (int x = 0; x < 61; ++x)
            setpixel(picture.record(), x, y, std::uint32_t(x * 7 + y * 13));
    w.workspace().setPicture(std::move(picture));
}

void setUnusualControls(TMainForm &w)
{
    w.settings.Shape1->setBrushColor(QColor(10, 200, 30));
    w.settings.WidthEd->setValue(3.5);
    w.settings.PfeillangEd->setValue(45.25);
    w.settings.zoomed->setValue(250);
    for (QAction *flag : {w.menus.showScaleLine, w.menus.showResultsList,
                          w.menus.outlineText,
                          w.menus.pointerAfterMeasuring, w.menus.askElementNames,
                          w.menus.presetSizesOnOpen})
        flag->setChecked(!flag->isChecked());
    QFont font(QStringLiteral("No Such Face Anywhere"));
    font.setPixelSize(21);
    font.setBold(true);
    font.setItalic(true);
    w.workspace().setLabelFont(LabelFont{font, QColor(0, 0, 255)});
}

void compareImages(const dib &a, const dib &b)
{
    QVERIFY(b.poi);
    QCOMPARE(b.bytew, a.bytew);
    QVERIFY(std::memcmp(a.pmi, b.pmi, sizeof(BITMAPINFOHEADER) + 4 * dibPaletteSize(DibBitCount(a))) == 0);
    QVERIFY(std::memcmp(a.poi, b.poi, std::size_t(a.bytew) * DibHeight(a)) == 0);
}

QList<bool> checkMarks(const TMainForm &w)
{
    QList<bool> marks;
    for (const QAction *flag : {w.menus.showScaleLine, w.menus.showResultsList,
                                w.menus.outlineText,
                                w.menus.pointerAfterMeasuring,
                                w.menus.askElementNames,
                                w.menus.presetSizesOnOpen})
        marks << flag->isChecked();
    return marks;
}

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void commandsFoundByName_data();
    void commandsFoundByName();
    void saveAndOpenInAnotherWindow();
    void storedFontWrittenBackUnchanged();
    void damagedFileChangesNothing_data();
    void damagedFileChangesNothing();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void openingEndsConstructionAfterReplacing();
    void settingsOutsideTheFields_data();
    void settingsOutsideTheFields();
    void projectKeepsItsScale_data();
    void projectKeepsItsScale();

private:
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

void TestProjectCommands::initTestCase()
{
    QVERIFY(dir.isValid());
    useTranslationRows(dir, {});
    setLanguageIndex(0);
}

void TestProjectCommands::commandsFoundByName_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("acceptMode");
    QTest::addColumn<int>("fileMode");

    QTest::newRow("open") << "Projektffnen1" << "OpenDialog2" << int(QFileDialog::AcceptOpen)
                          << int(QFileDialog::ExistingFile);
    QTest::newRow("save") << "Projektspeichern1" << "SaveDialog3" << int(QFileDialog::AcceptSave)
                          << int(QFileDialog::AnyFile);
}

void TestProjectCommands::commandsFoundByName()
{
    QFETCH(QString, action);
    QFETCH(QString, dialog);
    QFETCH(int, acceptMode);
    QFETCH(int, fileMode);

    QMainWindow window;
    for (const char *name : {"Projektffnen1", "Projektspeichern1"}) {
        auto *item = new QAction(&window);
        item->setObjectName(QLatin1String(name));
        item->setEnabled(false);
    }
    Workspace work;
    QStringList calls;
    // Notes every call the commands make of the window.
    struct Noting : ProjectWindow {
        QStringList &calls;
        explicit Noting(QStringList &list) : calls(list) {}
        ProjectSettings currentSettings(const FontRecord *) const override
        {
            calls << QStringLiteral("settings");
            return ProjectSettings();
        }
        void applySettings(const ProjectSettings &) override { calls << QStringLiteral("apply"); }
        void endConstruction() override { calls << QStringLiteral("end"); }
        void repaint() override { calls << QStringLiteral("repaint"); }
    } host(calls);
    ProjectCommands commands(&window, work, host);
    QFileDialog *shown = nullptr;
    commands.setFileChooser([&shown](QFileDialog &d) {
        shown = &d;
        return QString();
    });

    auto *item = window.findChild<QAction *>(action);
    QVERIFY(item->isEnabled());
    item->trigger();

    QVERIFY(shown);
    QCOMPARE(shown->objectName(), dialog);
    QCOMPARE(window.findChild<QFileDialog *>(dialog), shown);
    QCOMPARE(int(shown->acceptMode()), acceptMode);
    QCOMPARE(int(shown->fileMode()), fileMode);
    QCOMPARE(shown->nameFilters(), QStringList{QStringLiteral("Vermessungsprojekt (*.ver)")});
    QCOMPARE(shown->defaultSuffix(), QStringLiteral("ver"));
    QVERIFY(!shown->testOption(QFileDialog::DontConfirmOverwrite));
    // Cancelled: nothing read, written or changed.
    QCOMPARE(calls, QStringList());
}

void TestProjectCommands::saveAndOpenInAnotherWindow()
{
    const QString file = path("roundtrip.ver");
    TMainForm a;
    makeWork(a);
    setUnusualControls(a);
    a.PaintBox1Paint();
    Commands saving(a, file);
    saving.commands->Projektspeichern1Click();
    QVERIFY(QFile::exists(file));

    TMainForm b;
    Commands opening(b, file);
    opening.commands->Projektffnen1Click();

    compareDocuments(a.workspace().document(), b.workspace().document());
    compareImages(a.workspace().picture(), b.workspace().picture());
    QCOMPARE(b.settings.Shape1->brushColor(), QColor(10, 200, 30));
    QCOMPARE(b.settings.WidthEd->value(), 3.5);
    QCOMPARE(b.settings.PfeillangEd->value(), 45.25);
    QCOMPARE(b.settings.zoomed->value(), 250);
    QCOMPARE(checkMarks(b), checkMarks(a));
    QVERIFY(b.ListView1->isHidden());
    QCOMPARE(b.workspace().labelFont().font.family(), QStringLiteral("No Such Face Anywhere"));
    QCOMPARE(b.workspace().labelFont().font.pixelSize(), 21);
    QVERIFY(b.workspace().labelFont().font.bold());
    QVERIFY(b.workspace().labelFont().font.italic());
    QCOMPARE(b.workspace().labelFont().color, QColor(0, 0, 255));

    const QString again = path("roundtrip-again.ver");
    opening.file = again;
    opening.commands->Projektspeichern1Click();
    QCOMPARE(fileBytes(again), fileBytes(file));
}

void TestProjectCommands::storedFontWrittenBackUnchanged()
{
    // A record this system's fonts would not produce: another character set, pixels per inch and
    // pitch, and a style bit the program does not know.
    ProjectSettings stored;
    stored.font = FontRecord{0, 0x123456, QStringLiteral("Ghost Face"), FontRecord::VariablePitch, 120, 9, 0x10};
    {
        TMainForm source;
        // The program's own saves keep the scale as well.
        const Scale scale = source.workspace().scale();
        stored.extension.setScale({scale.pixelLength, scale.realLength, source.workspace().numberSettings().unit});
        QVERIFY(saveProject(path("font.ver"), source.workspace().document(), source.workspace().picture(), stored));
    }

    TMainForm w;
    Commands commands(w, path("font.ver"));
    commands.commands->Projektffnen1Click();
    commands.file = path("font-again.ver");
    commands.commands->Projektspeichern1Click();
    QCOMPARE(fileBytes(path("font-again.ver")), fileBytes(path("font.ver")));

    // A changed style keeps the rest of the record.
    LabelFont bold = w.workspace().labelFont();
    bold.font.setBold(true);
    w.workspace().setLabelFont(bold);
    commands.file = path("font-bold.ver");
    commands.commands->Projektspeichern1Click();
    Document doc;
    dib image;
    ProjectSettings reread;
    QVERIFY(loadProject(path("font-bold.ver"), doc, image, reread));
    deldib(image);
    FontRecord expected = stored.font;
    expected.style |= FontRecord::Bold;
    QCOMPARE(reread.font, expected);
}

void TestProjectCommands::damagedFileChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    TMainForm source;
    makeWork(source);
    const QString valid = path("valid.ver");
    QVERIFY(saveProject(valid, source.workspace().document(), source.workspace().picture(), ProjectSettings()));
    const QByteArray whole = fileBytes(valid);

    QTest::newRow("missing") << "missing.ver" << QByteArray();
    QTest::newRow("empty") << "empty.ver" << QByteArray("");
    QTest::newRow("truncated in the picture") << "half.ver" << whole.left(whole.size() / 2);
    QTest::newRow("without its font") << "nofont.ver" << whole.left(whole.size() - 3);
    QTest::newRow("huge element count") << "count.ver" << QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(64, 'x');
}

void TestProjectCommands::damagedFileChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString file = path(name);
    if (!bytes.isNull())
        QVERIFY(writeBytes(file, bytes));

    TMainForm w;
    addElement(w.workspace().document(), TypDistance, 1, 2, QStringLiteral("bleibt"), 0);
    w.settings.zoomed->setValue(130);
    const std::uint8_t *picture = w.workspace().picture().poi;
    const ProjectSettings before = settingsFromWindow(w, nullptr);

    Commands commands(w, file);
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);
    commands.commands->Projektffnen1Click();

    QVERIFY2(box.text.startsWith(OpenFailed + QLatin1Char('\n')), qPrintable(box.text));
    QVERIFY2(box.text.contains(name), qPrintable(box.text));
    QVERIFY(box.caption.isEmpty());
    QCOMPARE(box.buttons.size(), 1);
    QCOMPARE(commands.log, QStringList());
    QCOMPARE(w.workspace().document().count(), 1);
    QCOMPARE(Document::name(*w.workspace().document().element(0)), QStringLiteral("bleibt"));
    QCOMPARE(w.workspace().picture().poi, picture);
    QCOMPARE(settingsFromWindow(w, nullptr), before);
}

void TestProjectCommands::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("limitFileSize");

    // A file-size limit below the picture's size stands for a full disk.
    QTest::newRow("disk full") << "full.ver" << true;
    QTest::newRow("folder missing") << "no-such-folder/project.ver" << false;
}

void TestProjectCommands::failedSaveKeepsOldFile()
{
    QFETCH(QString, name);
    QFETCH(bool, limitFileSize);
    const QString file = path(name);
    const QByteArray old("the previous project");
    if (limitFileSize)
        QVERIFY(writeBytes(file, old));

    TMainForm w;
    makeWork(w);
    Picture large;
    QVERIFY(newdib(large.record(), 300, 300, 24, nullptr, 0));
    w.workspace().setPicture(std::move(large));
    Commands commands(w, file);
    AnsweredBox box;
    answerNextBox(QMessageBox::Ok, &box);

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (limitFileSize) {
        rlimit limited = saved;
        limited.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    commands.commands->Projektspeichern1Click();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY2(box.text.startsWith(SaveFailed + QLatin1Char('\n')), qPrintable(box.text));
    QVERIFY2(box.text.contains(QFileInfo(file).fileName()), qPrintable(box.text));
    QVERIFY(box.caption.isEmpty());
    QCOMPARE(box.buttons.size(), 1);
    if (limitFileSize) {
        QCOMPARE(fileBytes(file), old);
        const QStringList left = QDir(dir.path()).entryList({name + QLatin1Char('*')}, QDir::Files);
        QCOMPARE(left, QStringList{name});
    } else {
        QVERIFY(!QFileInfo::exists(file));
    }
    QCOMPARE(w.workspace().document().count(), 4);
}

void TestProjectCommands::openingEndsConstructionAfterReplacing()
{
    const QString file = path("three.ver");
    {
        TMainForm source;
        makeWork(source);
        source.workspace().document().deleteElement(3);
        QVERIFY(saveProject(file, source.workspace().document(), source.workspace().picture(), ProjectSettings()));
    }
    TMainForm w;
    addElement(w.workspace().document(), TypPolyline, 1, 1, QString(), 2);
    Commands commands(w, file);
    commands.commands->Projektffnen1Click();
    // The construction ends on the new document, before anything draws it.
    QCOMPARE(commands.log, (QStringList{QStringLiteral("end 3"), QStringLiteral("apply"), QStringLiteral("repaint")}));
}

void TestProjectCommands::settingsOutsideTheFields_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("arrow");
    QTest::addColumn<int>("shownZoom");
    QTest::addColumn<double>("shownWidth");
    QTest::addColumn<double>("shownArrow");

    QTest::newRow("inside, zoom truncated") << 250.9 << 0.5 << 999.0 << 250 << 0.5 << 999.0;
    QTest::newRow("below") << 5.0 << 0.0 << -3.0 << 10 << 0.1 << 0.1;
    QTest::newRow("above") << 1e9 << 50.0 << 5000.0 << 30000 << 10.0 << 1000.0;
    QTest::newRow("infinite") << -inf << inf << -inf << 10 << 10.0 << 0.1;
    QTest::newRow("not a number") << nan << nan << nan << 100 << 2.0 << 30.0;
}

void TestProjectCommands::settingsOutsideTheFields()
{
    QFETCH(double, zoom);
    QFETCH(double, width);
    QFETCH(double, arrow);
    QFETCH(int, shownZoom);
    QFETCH(double, shownWidth);
    QFETCH(double, shownArrow);

    TMainForm w;
    w.settings.zoomed->setValue(777);
    w.settings.WidthEd->setValue(7);
    w.settings.PfeillangEd->setValue(77);
    ProjectSettings s;
    s.zoom = zoom;
    s.linewidth = width;
    s.arrowlength = arrow;
    applySettingsToWindow(w, s);
    QCOMPARE(w.settings.zoomed->value(), shownZoom);
    QCOMPARE(w.settings.WidthEd->value(), shownWidth);
    QCOMPARE(w.settings.PfeillangEd->value(), shownArrow);
}

QTEST_MAIN(TestProjectCommands)
#include "tst_projectcommands.moc"

void TestProjectCommands::projectKeepsItsScale_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withScale");
    QTest::addColumn<bool>("damagedBlock");
    QTest::newRow("with its scale and a chunk of a later version") << "scaled.ver" << true << false;
    QTest::newRow("without a block") << "plain.ver" << false << false;
    QTest::newRow("with a damaged block") << "damaged.ver" << false << true;
}

void TestProjectCommands::projectKeepsItsScale()
{
    QFETCH(QString, name);
    QFETCH(bool, withScale);
    QFETCH(bool, damagedBlock);
    const QString file = path(name);
    const ProjectExtension later{{{"ZZZZ", QByteArray("\x00\x01later", 7)}}};
    {
        TMainForm source;
        makeWork(source);
        ProjectSettings stored;
        if (withScale) {
            stored.extension = later;
            stored.extension.setScale({2.5, 10.0, QStringLiteral("m")});
        }
        QVERIFY(saveProject(file, source.workspace().document(), source.workspace().picture(), stored));
        if (damagedBlock) {
            QByteArray bytes = fileBytes(file);
            bytes += QByteArray("TSXB\x01\x00\xff\xff\x00\x00SCAL", 14);
            QVERIFY(writeBytes(file, bytes));
        }
    }

    TMainForm w;
    w.workspace().setScale(Scale{4.0, 3.0});
    w.workspace().setUnit(QStringLiteral("ft"));
    Commands commands(w, file);
    AnsweredBox box;
    if (damagedBlock)
        answerNextBox(QMessageBox::Ok, &box);
    commands.commands->Projektffnen1Click();
    QCOMPARE(w.workspace().document().count(), 4);
    QCOMPARE(box.text.contains(name), damagedBlock);
    QCOMPARE(w.workspace().scale().pixelLength, withScale ? 2.5 : 4.0);
    QCOMPARE(w.workspace().scale().realLength, withScale ? 10.0 : 3.0);
    QCOMPARE(w.workspace().numberSettings().unit, withScale ? QStringLiteral("m") : QStringLiteral("ft"));

    // Saving keeps the scale the window has now and a chunk this program does not know.
    w.workspace().setScale(Scale{w.workspace().scale().pixelLength, 20.0});
    commands.file = path(QStringLiteral("again-") + name);
    commands.commands->Projektspeichern1Click();
    Document doc;
    dib image;
    ProjectSettings reread;
    QVERIFY(loadProject(commands.file, doc, image, reread));
    deldib(image);
    QCOMPARE(reread.extension.scale(),
             (ProjectScale{w.workspace().scale().pixelLength, 20.0, w.workspace().numberSettings().unit}));
    QCOMPARE(reread.extension.chunk("ZZZZ") != nullptr, withScale);
}

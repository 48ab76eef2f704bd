#include "core/translate.h"
#include "core/translationtable.h"
#include "scan/quillet.h"
#include "scan/sanetestbackend.h"
#include "scan/sanesession.h"
#include "scan/scanjob.h"
#include "scan/scanoptions.h"
#include "scan/selectscannerdialog.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cmath>

// The scanner library against SANE's test backend, enabled alone through the configuration folder
// tests/scan/sane. SANE reads its configuration once per process, so the runs without any device
// happen in a child process of this test with an empty device list.

namespace {

const char childVariable[] = "TST_QUILLET_NO_DEVICE";

// A window that records the scan-ready events it receives.
class Receiver : public QWidget
{
public:
    QList<quintptr> ids;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == ScanReadyEventType) {
            ids.append(static_cast<ScanReadyEvent *>(e)->wParam());
            return true;
        }
        return QWidget::event(e);
    }
};

// Answers every message box as it appears and keeps its text.
class MessageWatcher : public QObject
{
public:
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                texts.append(box->text());
                QMetaObject::invokeMethod(box, [box] { box->accept(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
};

QRgb colorAt(const dib &d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, DibHeight(d) - 1 - y);
    if (DibBitCount(d) <= 8) {
        const RGBQUAD &q = d.pmi->bmiColors[v];
        return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    return qRgb(int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF);
}

struct Pixel {
    int x, y;
    QRgb color;
};

using Extra = QList<std::pair<QString, QString>>;

// The test devices keep their options from one scan to the next, so every scan starts from the
// same settings and then adds its own.
ScanOptions testOptions(const Extra &extra = {})
{
    ScanOptions options;
    options.resolution = 50.0;
    options.extra = {{QStringLiteral("test-picture"), QStringLiteral("Solid black")},
                     {QStringLiteral("tl-x"), QStringLiteral("0")},
                     {QStringLiteral("tl-y"), QStringLiteral("0")},
                     {QStringLiteral("br-x"), QStringLiteral("80")},
                     {QStringLiteral("br-y"), QStringLiteral("100")},
                     {QStringLiteral("hand-scanner"), QStringLiteral("no")},
                     {QStringLiteral("read-return-value"), QStringLiteral("Default")},
                     {QStringLiteral("read-limit"), QStringLiteral("no")},
                     {QStringLiteral("read-delay"), QStringLiteral("no")},
                     {QStringLiteral("three-pass-order"), QStringLiteral("RGB")}};
    options.extra.append(extra);
    return options;
}

} // namespace

Q_DECLARE_METATYPE(Pixel)

class TestQuillet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsTheTestDevices();
    void selectingStoresTheChoice();
    void scanDeliversThePicture_data();
    void scanDeliversThePicture();
    void deviceErrorsShowSaneText_data();
    void deviceErrorsShowSaneText();
    void deviceThatCannotBeOpened();
    void cancelIsSilent();
    void unknownIdGivesNoPixels();
    void withoutDevicesItSaysSo();
    void childWithoutDevices();

private:
    bool child() const { return qEnvironmentVariableIsSet(childVariable); }
    // Runs a dialog-opening call and answers the dialog with handler once it is up.
    void whenDialogOpens(const std::function<void(SelectScannerDialog *)> &handler);

    QTemporaryDir folder;
    MessageWatcher messages;
};

void TestQuillet::initTestCase()
{
    QVERIFY(folder.isValid());
    translationTable().setPaths(folder.filePath(QStringLiteral("translate.dat")),
                                folder.filePath(QStringLiteral("settings-translate.dat")));
    qApp->installEventFilter(&messages);
    if (child())
        return;
    const QString problem = useSaneTestBackend();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void TestQuillet::init()
{
    messages.texts.clear();
    setScanOptions({});
}

void TestQuillet::cleanup()
{
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
}

void TestQuillet::whenDialogOpens(const std::function<void(SelectScannerDialog *)> &handler)
{
    QTimer::singleShot(0, this, [handler] {
        auto *dialog = qobject_cast<SelectScannerDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        handler(dialog);
    });
}

void TestQuillet::listsTheTestDevices()
{
    if (child())
        QSKIP("runs with the test devices");
    QCOMPARE(beginSane(), SANE_STATUS_GOOD);
    const QList<ScannerDevice> devices = listScanners();
    QCOMPARE(devices.size(), 2);
    QCOMPARE(devices[0].name, QStringLiteral("test:0"));
    QCOMPARE(devices[1].name, QStringLiteral("test:1"));
    QVERIFY(!devices[0].vendor.isEmpty());
    QVERIFY(!devices[0].model.isEmpty());
}

void TestQuillet::selectingStoresTheChoice()
{
    if (child())
        QSKIP("runs with the test devices");
    Receiver window;
    setChosenScanner(QString());
    QString preselected;
    whenDialogOpens([&preselected](SelectScannerDialog *dialog) {
        preselected = dialog->selectedDevice();
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("ScannerList"));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("test:1"));
        list->setCurrentItem(list->topLevelItem(1));
        dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    });
    TWAIN_SelectScanner(&window);
    QCOMPARE(preselected, QStringLiteral("test:0"));
    QCOMPARE(chosenScanner(), QStringLiteral("test:1"));

    // The stored choice comes up selected; cancelling keeps it.
    whenDialogOpens([&preselected](SelectScannerDialog *dialog) {
        preselected = dialog->selectedDevice();
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("ScannerList"));
        list->setCurrentItem(list->topLevelItem(0));
        dialog->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    });
    TWAIN_SelectScanner(&window);
    QCOMPARE(preselected, QStringLiteral("test:1"));
    QCOMPARE(chosenScanner(), QStringLiteral("test:1"));
    QVERIFY(messages.texts.isEmpty());
}

void TestQuillet::scanDeliversThePicture_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("threePass");
    QTest::addColumn<Extra>("extra");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<Pixel>>("pixels");

    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255), grey = qRgb(0x55, 0x55, 0x55);
    const auto picture = [](const char *name) { return Extra{{QStringLiteral("test-picture"), QString::fromUtf8(name)}}; };
    // At 50 dpi the colour pattern has a grey frame and squares of full red, green and blue in its
    // first column.
    const QList<Pixel> pattern{{0, 0, grey}, {2, 2, black}, {2, 7, qRgb(255, 0, 0)}, {2, 17, qRgb(0, 255, 0)},
                               {2, 27, qRgb(0, 0, 255)}, {156, 195, grey}};
    // 80 mm x 100 mm at 50 dpi.
    QTest::newRow("grey black") << "Gray" << false << picture("Solid black") << 8 << 157 << 196
                                << QList<Pixel>{{0, 0, black}, {156, 195, black}, {80, 100, black}};
    QTest::newRow("grey white") << "Gray" << false << picture("Solid white") << 8 << 157 << 196
                                << QList<Pixel>{{0, 0, white}, {156, 195, white}};
    QTest::newRow("colour pattern") << "Color" << false << picture("Color pattern") << 24 << 157 << 196 << pattern;
    QTest::newRow("three-pass colour pattern") << "Color" << true << picture("Color pattern") << 24 << 157 << 196
                                               << pattern;
    Extra reversed = picture("Color pattern");
    reversed.append({QStringLiteral("three-pass-order"), QStringLiteral("BGR")});
    QTest::newRow("three-pass blue first") << "Color" << true << reversed << 24 << 157 << 196 << pattern;
    QTest::newRow("line art black") << "Lineart" << false << picture("Solid black") << 1 << 157 << 196
                                    << QList<Pixel>{{0, 0, black}, {156, 195, black}};
    QTest::newRow("line art white") << "Lineart" << false << picture("Solid white") << 1 << 157 << 196
                                    << QList<Pixel>{{0, 0, white}, {156, 195, white}};
    Extra hand = picture("Solid white");
    hand.append({QStringLiteral("hand-scanner"), QStringLiteral("yes")});
    // A hand scanner does not know its length beforehand; its width is fixed at 11 cm.
    QTest::newRow("unknown length") << "Gray" << false << hand << 8 << 216 << 334
                                    << QList<Pixel>{{0, 0, white}, {215, 333, white}};
    Extra grid{{QStringLiteral("test-picture"), QStringLiteral("Grid")}, {QStringLiteral("read-limit"), QStringLiteral("yes")},
               {QStringLiteral("read-limit-size"), QStringLiteral("7")}};
    // Reads of 7 bytes split lines and pixels between calls. The grid's squares are 10 mm, its
    // top left one white.
    QTest::newRow("grid in small reads") << "Color" << false << grid << 24 << 157 << 196
                                         << QList<Pixel>{{5, 5, white}, {25, 5, black}, {5, 30, black}, {25, 30, white}};
}

void TestQuillet::scanDeliversThePicture()
{
    if (child())
        QSKIP("runs with the test devices");
    QFETCH(QString, mode);
    QFETCH(bool, threePass);
    QFETCH(Extra, extra);
    QFETCH(int, bits);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QList<Pixel>, pixels);

    ScanOptions options = testOptions(extra);
    options.mode = mode;
    options.threePass = threePass;
    setScanOptions(options);
    setChosenScanner(QStringLiteral("test:0"));

    Receiver window;
    window.show();
    TWAIN_ScanImage(&window);
    QVERIFY(scannerBusy());
    QTRY_COMPARE_WITH_TIMEOUT(window.ids.size(), 1, 30000);
    QVERIFY(!scannerBusy());
    QVERIFY(messages.texts.isEmpty());

    dib image;
    GetScanedDib(image, window.ids.first());
    QVERIFY(image.poi);
    QCOMPARE(DibWidth(image), width);
    QCOMPARE(DibHeight(image), height);
    QCOMPARE(DibBitCount(image), bits);
    QCOMPARE(std::int64_t(image.bytew), dibRowBytes(width, bits));
    QCOMPARE(image.pmi->bmiHeader.biXPelsPerMeter, std::lround(50 / 0.0254));
    QCOMPARE(image.pmi->bmiHeader.biYPelsPerMeter, std::lround(50 / 0.0254));
    for (const Pixel &p : pixels) {
        if (colorAt(image, p.x, p.y) != p.color)
            QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                 .arg(p.x)
                                 .arg(p.y)
                                 .arg(colorAt(image, p.x, p.y), 6, 16, QLatin1Char('0'))
                                 .arg(p.color & 0xFFFFFF, 6, 16, QLatin1Char('0'))));
    }
    FreeDib(image);

    // The picture is handed over once.
    dib again;
    GetScanedDib(again, window.ids.first());
    QVERIFY(!again.poi);
}

void TestQuillet::deviceErrorsShowSaneText_data()
{
    // What the device reports reaches the user with SANE's own text. The outcomes come from a
    // stand-in for the device: the test backend reports read errors at once, and stopping its
    // reader thread in the instant that thread starts can deadlock the process in the C
    // library's allocator.
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const auto text = [](const char *intro, SANE_Status status) {
        return Translate(QString::fromUtf8(intro)) + QLatin1Char('\n') + QString::fromLocal8Bit(sane_strstatus(status));
    };
    const char failed[] = "Beim Scannen ist ein Fehler aufgetreten:";
    QTest::newRow("jammed") << int(ScanOutcome::Failed) << int(SANE_STATUS_JAMMED)
                            << text(failed, SANE_STATUS_JAMMED);
    QTest::newRow("I/O error") << int(ScanOutcome::Failed) << int(SANE_STATUS_IO_ERROR)
                               << text(failed, SANE_STATUS_IO_ERROR);
    QTest::newRow("cover open") << int(ScanOutcome::Failed) << int(SANE_STATUS_COVER_OPEN)
                                << text(failed, SANE_STATUS_COVER_OPEN);
    QTest::newRow("busy") << int(ScanOutcome::OpenFailed) << int(SANE_STATUS_DEVICE_BUSY)
                          << text("Der Scanner konnte nicht geöffnet werden:", SANE_STATUS_DEVICE_BUSY);
    QTest::newRow("no device") << int(ScanOutcome::NoDevice) << int(SANE_STATUS_GOOD)
                               << Translate(QStringLiteral("Es wurde kein Scanner gefunden."));
    QTest::newRow("cancelled by the device") << int(ScanOutcome::Cancelled) << int(SANE_STATUS_CANCELLED) << QString();
}

void TestQuillet::deviceErrorsShowSaneText()
{
    QFETCH(int, kind);
    QFETCH(int, status);
    QFETCH(QString, message);
    Receiver window;
    ScanJob::start(&window, [kind, status](const std::atomic_bool &, const ScanProgress &) {
        ScanOutcome outcome;
        outcome.kind = ScanOutcome::Kind(kind);
        outcome.status = SANE_Status(status);
        return outcome;
    });
    QVERIFY(scannerBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(messages.texts, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(window.ids.isEmpty());
}

void TestQuillet::deviceThatCannotBeOpened()
{
    if (child())
        QSKIP("runs with the test devices");
    setScanOptions(testOptions());
    setChosenScanner(QStringLiteral("test:7"));
    Receiver window;
    TWAIN_ScanImage(&window);
    QTRY_COMPARE_WITH_TIMEOUT(messages.texts.size(), 1, 30000);
    QCOMPARE(messages.texts.first(), Translate(QStringLiteral("Der Scanner konnte nicht geöffnet werden:"))
                                         + QLatin1Char('\n') + QString::fromLocal8Bit(sane_strstatus(SANE_STATUS_INVAL)));
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
    QCoreApplication::sendPostedEvents();
    QVERIFY(window.ids.isEmpty());
}

void TestQuillet::cancelIsSilent()
{
    if (child())
        QSKIP("runs with the test devices");
    // The device pauses after each block of data, so the scan lasts until it is cancelled.
    ScanOptions options = testOptions({{QStringLiteral("read-delay"), QStringLiteral("yes")},
                                       {QStringLiteral("read-delay-duration"), QStringLiteral("200000")}});
    options.mode = QStringLiteral("Color");
    options.resolution = 300.0;
    setScanOptions(options);
    setChosenScanner(QStringLiteral("test:0"));

    Receiver window;
    window.show();
    TWAIN_ScanImage(&window);
    QPointer<QProgressDialog> progress = window.findChild<QProgressDialog *>(QStringLiteral("ScanProgressDialog"));
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    // Progress is shown once data arrives.
    QTRY_VERIFY_WITH_TIMEOUT(!progress || progress->value() > 0, 30000);
    QVERIFY2(progress, "the scan ended by itself");
    QVERIFY(progress->value() < progress->maximum());
    QVERIFY(scannerBusy());

    // A second scan while one runs starts nothing.
    TWAIN_ScanImage(&window);

    QPushButton *cancel = progress->findChild<QPushButton *>();
    QVERIFY(cancel);
    cancel->click();
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
    QCoreApplication::sendPostedEvents();
    QVERIFY(window.ids.isEmpty());
    QVERIFY(messages.texts.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<QProgressDialog *>(), 30000);
}

void TestQuillet::unknownIdGivesNoPixels()
{
    dib image;
    image.bytew = 12;
    GetScanedDib(image, 987654);
    QVERIFY(!image.poi);
    QVERIFY(!image.pmi);
    GetScanedDib(image, 0);
    QVERIFY(!image.poi);
}

void TestQuillet::withoutDevicesItSaysSo()
{
    if (child())
        QSKIP("the child runs the test without devices");
    const QString empty = folder.filePath(QStringLiteral("none"));
    QVERIFY(QDir().mkpath(empty + QStringLiteral("/config")));
    QFile dll(empty + QStringLiteral("/dll.conf"));
    QVERIFY(dll.open(QIODevice::WriteOnly));
    dll.close();

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SANE_CONFIG_DIR"), empty);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), empty + QStringLiteral("/config"));
    env.insert(QString::fromLatin1(childVariable), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("childWithoutDevices")});
    QVERIFY(process.waitForFinished(120000));
    const QByteArray output = process.readAll();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : TestQuillet::childWithoutDevices()"), output.constData());
}

void TestQuillet::childWithoutDevices()
{
    if (!child())
        QSKIP("runs in the child process started by withoutDevicesItSaysSo");
    const QString noScanner = Translate(QStringLiteral("Es wurde kein Scanner gefunden."));
    Receiver window;
    window.show();
    QCOMPARE(chosenScanner(), QString());
    TWAIN_SelectScanner(&window);
    QCOMPARE(messages.texts, QStringList{noScanner});
    QCOMPARE(chosenScanner(), QString());

    TWAIN_ScanImage(&window);
    QTRY_COMPARE_WITH_TIMEOUT(messages.texts.size(), 2, 30000);
    QCOMPARE(messages.texts.last(), noScanner);
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
    QCoreApplication::sendPostedEvents();
    QVERIFY(window.ids.isEmpty());
}

QTEST_MAIN(TestQuillet)
#include "tst_quillet.moc"

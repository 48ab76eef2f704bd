#include "core/translate.h"
#include "core/translationtable.h"
#include "scan/quillet.h"
#include "scan/sanetestbackend.h"
#include "scan/scanoptions.h"
#include "scan/selectscannerdialog.h"
#include "ui/commands/backgroundjob.h"
#include "ui/commands/scancommands.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>
#include <functional>

// The window side of scanning, with SANE's test backend as the only scanner.

class TestScanCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enablesTheCommands();
    void choosingAndScanningReplaceTheImage();
    void listingScannersKeepsTheWindowAlive();
    void cancellingTheListingKeepsTheChoice_data();
    void cancellingTheListingKeepsTheChoice();
    void eventWithoutImageChangesNothing();
    void cancellingAScanKeepsThePicture();

private:
    // Runs handler once the scanner dialog is the modal window, however long the listing before
    // it takes.
    void whenScannerDialogOpens(std::function<void(QDialog *)> handler);

    QTemporaryDir folder;
    QMainWindow *window = nullptr;
    ScanCommands *commands = nullptr;
    std::unique_ptr<Workspace> work;
    // The pictures the scans made current, in order.
    QList<std::shared_ptr<const Picture>> replaced;
};

void TestScanCommands::initTestCase()
{
    QVERIFY(folder.isValid());
    translationTable().setPaths(folder.filePath(QStringLiteral("translate.dat")),
                                folder.filePath(QStringLiteral("settings-translate.dat")));
    const QString problem = useSaneTestBackend();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    BackgroundJob::setPanelDelay(0);
}

void TestScanCommands::init()
{
    window = new QMainWindow;
    QMenu *file = window->menuBar()->addMenu(QStringLiteral("Datei"));
    QAction *items[2] = {};
    int made = 0;
    for (const char *name : {"Scannen1", "Scannerwhlen1"}) {
        QAction *action = file->addAction(QString::fromLatin1(name));
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(false);
        items[made++] = action;
    }
    work = std::make_unique<Workspace>();
    commands = new ScanCommands(window, *work, items[0], items[1]);
    connect(commands, &ScanCommands::pictureScanned, this, [this] { replaced.append(work->sharedPicture()); });
    window->show();
}

void TestScanCommands::cleanup()
{
    QTRY_VERIFY_WITH_TIMEOUT(!scannerBusy(), 30000);
    BackgroundJob::setTaskGate({});
    delete window;
    replaced.clear();
    work.reset();
}

void TestScanCommands::enablesTheCommands()
{
    QVERIFY(window->findChild<QAction *>(QStringLiteral("Scannen1"))->isEnabled());
    QVERIFY(window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->isEnabled());
    QCOMPARE(commands->parent(), window);
}

void TestScanCommands::whenScannerDialogOpens(std::function<void(QDialog *)> handler)
{
    // Goes with the window, so that a dialog of a later test does not meet an earlier handler.
    auto *watch = new QTimer(window);
    connect(watch, &QTimer::timeout, this, [watch, handler = std::move(handler)] {
        auto *dialog = qobject_cast<SelectScannerDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        watch->deleteLater();
        watch->stop();
        handler(dialog);
    });
    watch->start(5);
}

void TestScanCommands::choosingAndScanningReplaceTheImage()
{
    setChosenScanner(QString());
    whenScannerDialogOpens([](QDialog *dialog) {
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("ScannerList"));
        QVERIFY(list);
        list->setCurrentItem(list->topLevelItem(1));
        dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    });
    window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->trigger();
    QCOMPARE(chosenScanner(), QStringLiteral("test:1"));

    ScanOptions options;
    options.mode = QStringLiteral("Color");
    options.resolution = 25.0;
    options.extra = {{QStringLiteral("test-picture"), QStringLiteral("Solid white")},
                     {QStringLiteral("br-x"), QStringLiteral("80")},
                     {QStringLiteral("br-y"), QStringLiteral("100")},
                     {QStringLiteral("read-delay"), QStringLiteral("no")}};
    setScanOptions(options);
    window->findChild<QAction *>(QStringLiteral("Scannen1"))->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(replaced.size(), 1, 30000);
    const dib &image = replaced.first()->get();
    QVERIFY(image.poi);
    QCOMPARE(DibBitCount(image), 24);
    // 80 mm x 100 mm at 25 dpi.
    QCOMPARE(DibWidth(image), 78);
    QCOMPARE(DibHeight(image), 98);
    QCOMPARE(getpixel(image, 40, 50), 0xFFFFFFu);
}

// The devices are gathered off the user-interface thread: the window goes on processing events
// while the backend answers, and the dialog then lists them.
void TestScanCommands::listingScannersKeepsTheWindowAlive()
{
    setChosenScanner(QStringLiteral("test:0"));
    std::atomic_int ticks{0};
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(5);
    std::atomic_bool tickedWhileListing{false};
    BackgroundJob::setTaskGate([&ticks, &tickedWhileListing] {
        const int before = ticks;
        const QDeadlineTimer deadline(10000);
        while (ticks < before + 5 && !deadline.hasExpired())
            QThread::msleep(5);
        tickedWhileListing = ticks >= before + 5;
    });
    QStringList listed;
    whenScannerDialogOpens([&listed](QDialog *dialog) {
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("ScannerList"));
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            listed.append(list->topLevelItem(row)->text(2));
        dialog->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    });
    window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->trigger();
    QVERIFY(tickedWhileListing);
    QCOMPARE(listed, (QStringList{QStringLiteral("test:0"), QStringLiteral("test:1")}));
    QCOMPARE(chosenScanner(), QStringLiteral("test:0"));
    QVERIFY(!scannerBusy());
}

void TestScanCommands::cancellingTheListingKeepsTheChoice_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Esc") << true;
    QTest::newRow("Abbrechen") << false;
}

// A cancel while the devices are gathered opens no dialog and leaves the chosen scanner; the
// other commands wait meanwhile and come back after.
void TestScanCommands::cancellingTheListingKeepsTheChoice()
{
    QFETCH(bool, byKey);
    setChosenScanner(QStringLiteral("test:1"));
    std::atomic_bool released{false};
    BackgroundJob::setTaskGate([&released] {
        const QDeadlineTimer deadline(30000);
        while (!released && !deadline.hasExpired())
            QThread::msleep(5);
    });
    bool dialogOpened = false;
    whenScannerDialogOpens([&dialogOpened](QDialog *dialog) {
        dialogOpened = true;
        dialog->reject();
    });
    bool answered = false;
    bool busyShown = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(window->findChild<QPushButton *>(QStringLiteral("BackgroundJobCancel")), 30000);
        auto *bar = window->findChild<QWidget *>(QStringLiteral("BackgroundJobPanel"))->findChild<QProgressBar *>();
        busyShown = bar && bar->maximum() == 0;
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("Scannen1"))->isEnabled());
        QVERIFY(scannerBusy());
        if (byKey)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BackgroundJobCancel")), Qt::LeftButton);
        released = true;
        answered = true;
    });
    window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->trigger();
    QVERIFY(answered);
    QVERIFY(busyShown);
    QVERIFY(!dialogOpened);
    QCOMPARE(chosenScanner(), QStringLiteral("test:1"));
    QVERIFY(!scannerBusy());
    QVERIFY(window->findChild<QAction *>(QStringLiteral("Scannen1"))->isEnabled());
    QVERIFY(window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->isEnabled());
    QVERIFY(!window->findChild<QWidget *>(QStringLiteral("BackgroundJobPanel")));
}

void TestScanCommands::eventWithoutImageChangesNothing()
{
    QCoreApplication::postEvent(window, new ScanReadyEvent(424242));
    QCoreApplication::sendPostedEvents(window);
    QVERIFY(replaced.isEmpty());
}

void TestScanCommands::cancellingAScanKeepsThePicture()
{
    Picture previous;
    QVERIFY(newdib(previous.record(), 30, 20, 24, nullptr, 0));
    work->setPicture(std::move(previous));
    const std::shared_ptr<const Picture> before = work->sharedPicture();

    // The device pauses after each block, so the scan lasts until it is cancelled.
    setChosenScanner(QStringLiteral("test:0"));
    ScanOptions options;
    options.mode = QStringLiteral("Color");
    options.resolution = 300.0;
    options.extra = {{QStringLiteral("read-delay"), QStringLiteral("yes")},
                     {QStringLiteral("read-delay-duration"), QStringLiteral("200000")}};
    setScanOptions(options);
    int progressSeen = 0;
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY_WITH_TIMEOUT(window->findChild<QProgressBar *>(), 30000);
        QProgressBar *bar = window->findChild<QProgressBar *>();
        // Progress follows the bytes read.
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 30000);
        progressSeen = bar->value();
        QVERIFY(progressSeen < bar->maximum());
        // Other commands wait while the scan runs.
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("Scannerwhlen1"))->isEnabled());
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BackgroundJobCancel")), Qt::LeftButton);
        answered = true;
    });
    window->findChild<QAction *>(QStringLiteral("Scannen1"))->trigger();
    QVERIFY(answered);
    QVERIFY(progressSeen > 0);
    QVERIFY(!scannerBusy());
    QCoreApplication::sendPostedEvents();
    QVERIFY(replaced.isEmpty());
    QCOMPARE(work->sharedPicture(), before);
    QCOMPARE(DibWidth(work->picture()), 30);
    QVERIFY(window->findChild<QAction *>(QStringLiteral("Scannen1"))->isEnabled());
    QVERIFY(!window->findChild<QWidget *>(QStringLiteral("BackgroundJobPanel")));
}

QTEST_MAIN(TestScanCommands)
#include "tst_scancommands.moc"

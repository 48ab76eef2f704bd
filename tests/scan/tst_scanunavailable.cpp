#include "core/translate.h"
#include "core/translationtable.h"
#include "scan/quillet.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

// The scanner library of a build without SANE, built and tested in every configuration: both
// scan commands answer, in the user's language, that scanning is not available.

namespace {

// Answers every message box as it appears and keeps its object name and text.
class MessageWatcher : public QObject
{
public:
    QStringList names;
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                names.append(box->objectName());
                texts.append(box->text());
                QMetaObject::invokeMethod(box, [box] { box->accept(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
};

} // namespace

class TestScanUnavailable : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void commandsSayScanningIsNotAvailable_data();
    void commandsSayScanningIsNotAvailable();

private:
    QTemporaryDir folder;
    MessageWatcher messages;
};

void TestScanUnavailable::initTestCase()
{
    QVERIFY(folder.isValid());
    const QString shipped = QStringLiteral(TESSELON_BINARY_DIR "/bin/translate.dat");
    QVERIFY2(QFile::exists(shipped), "build the translate_dat target first");
    translationTable().setPaths(shipped, folder.filePath(QStringLiteral("settings-translate.dat")));
    QVERIFY(translationTable().load());
    qApp->installEventFilter(&messages);
}

void TestScanUnavailable::cleanup()
{
    setLanguageIndex(0);
    messages.names.clear();
    messages.texts.clear();
}

void TestScanUnavailable::commandsSayScanningIsNotAvailable_data()
{
    QTest::addColumn<bool>("scan");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("text");
    const QString german = QStringLiteral(
        "Scannen ist nicht verfügbar: Dieses Programm wurde ohne Scanner-Unterstützung (SANE) erstellt.");
    const QString english = QStringLiteral("Scanning is not available: this program was built without scanner support (SANE).");
    QTest::newRow("scan, German") << true << 0 << german;
    QTest::newRow("choose scanner, German") << false << 0 << german;
    QTest::newRow("scan, English") << true << 1 << english;
}

void TestScanUnavailable::commandsSayScanningIsNotAvailable()
{
    QFETCH(bool, scan);
    QFETCH(int, language);
    QFETCH(QString, text);
    setLanguageIndex(language);
    QWidget window;
    window.show();

    if (scan)
        TWAIN_ScanImage(&window);
    else
        TWAIN_SelectScanner(&window);

    QCOMPARE(messages.names, QStringList{QStringLiteral("ScanUnavailableBox")});
    QCOMPARE(messages.texts, QStringList{text});
    QVERIFY(!scannerBusy());
    // No picture ever arrives, whatever a stray event claims.
    dib image;
    GetScanedDib(image, 1);
    QVERIFY(!image.poi);
}

QTEST_MAIN(TestScanUnavailable)
#include "tst_scanunavailable.moc"

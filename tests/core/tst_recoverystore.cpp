#include "core/recoverystore.h"
#include "core/translationtable.h"
#include "core/translate.h"
#include "support/documentcompare.h"
#include "support/elementbuilder.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

// The work every copy holds: two elements, a scale, a chunk of a later version.
void makeWork(Document &doc, ProjectSettings &settings)
{
    add(doc, TypRectangle, {1, 2}, {30, 40});
    Document::setName(*add(doc, TypPolygon, {5, 5}), QStringLiteral("Küche"));
    doc.appendVertex(5, 5);
    doc.appendVertex(9, 12);
    settings.zoom = 150;
    settings.extension.setScale({120.5, 3, QStringLiteral("m")});
    settings.extension.setChunk("LATR", "kept");
}

SharedPicture makePicture(std::uint32_t colour)
{
    dib d;
    newdib(d, 9, 4, 24, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            setpixel(d, x, y, colour + std::uint32_t(x * 16 + y));
    return sharePicture(d);
}

bool samePictures(const dib &a, const dib &b)
{
    return a.poi && b.poi && a.bytew == b.bytew && DibHeight(a) == DibHeight(b)
        && std::memcmp(a.poi, b.poi, std::size_t(a.bytew) * DibHeight(a)) == 0;
}

// The child process of the live-lock test: keeps a copy of its own until it is killed.
int holdCopy(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecoveryStore store;
    Document doc;
    ProjectSettings settings;
    makeWork(doc, settings);
    if (!store.start())
        return 1;
    store.writePicture(makePicture(0x102030));
    store.writeDocument(doc, settings, QString());
    store.waitForWrites();
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

class TestRecoveryStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir state;

    // A copy left behind as by an instance that ended without clearing it.
    QString leaveCopy(const QString &fileName, int pictures = 1)
    {
        RecoveryStore store;
        if (!store.start())
            return QString();
        Document doc;
        ProjectSettings settings;
        makeWork(doc, settings);
        for (int i = 1; i <= pictures; ++i)
            store.writePicture(makePicture(0x010101 * i));
        store.writeDocument(doc, settings, fileName);
        return store.waitForWrites() ? store.folder() : QString();
    }

    RecoveryCopy scannedCopy(const QString &folder)
    {
        for (const RecoveryCopy &c : RecoveryStore::scan()) {
            if (c.folder == folder)
                return c;
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(state.isValid());
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        translationTable().setPaths(state.filePath(QStringLiteral("translate.dat")),
                                    state.filePath(QStringLiteral("settings-translate.dat")));
    }

    void cleanup() { QDir(RecoveryStore::rootFolder()).removeRecursively(); }

    void rootFolder_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        const QString fallback = QDir::homePath() + QStringLiteral("/.local/state/Kovrant/Tesselon/recovery");
        QTest::newRow("absolute") << QByteArray("/var/tmp/st") << QStringLiteral("/var/tmp/st/Kovrant/Tesselon/recovery");
        QTest::newRow("relative is ignored") << QByteArray("rel/state") << fallback;
        QTest::newRow("empty") << QByteArray() << fallback;
    }

    void rootFolder()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        qputenv("XDG_STATE_HOME", value);
        const QString root = RecoveryStore::rootFolder();
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        QCOMPARE(root, expected);
    }

    void restoreGivesTheSavedWork()
    {
        const QString folder = leaveCopy(QStringLiteral("/plans/Küche.ver"), 2);
        QVERIFY(!folder.isEmpty());
        // The first picture part is no longer named by any document.
        QCOMPARE(QDir(folder).entryList({QStringLiteral("picture-*.ver")}), QStringList{"picture-2.ver"});

        const RecoveryCopy copy = scannedCopy(folder);
        QCOMPARE(copy.problem, QString());
        QCOMPARE(copy.elementCount, 2);
        QCOMPARE(copy.fileName, QStringLiteral("/plans/Küche.ver"));
        QVERIFY(qAbs(copy.time.secsTo(QDateTime::currentDateTime())) < 60);

        Document doc;
        dib picture;
        ProjectSettings settings;
        QString fileName;
        QString error;
        QVERIFY2(RecoveryStore::restore(copy, doc, picture, settings, fileName, &error), qPrintable(error));
        Document expectedDoc;
        ProjectSettings expectedSettings;
        makeWork(expectedDoc, expectedSettings);
        compareDocuments(expectedDoc, doc);
        QCOMPARE(settings, expectedSettings);
        QCOMPARE(fileName, QStringLiteral("/plans/Küche.ver"));
        QVERIFY(samePictures(picture, *makePicture(0x020202)));
        deldib(picture);
        // Restoring keeps the copy until it is discarded.
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(RecoveryStore::discard(copy));
        QVERIFY(!QFileInfo::exists(folder));
    }

    void liveAndStaleLocks()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELON_HOLD_RECOVERY_COPY"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("ready\n"));

        // Its lock is live: the copy is not offered and cannot be discarded.
        QCOMPARE(RecoveryStore::scan().size(), 0);
        const QStringList folders = QDir(RecoveryStore::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(folders.size(), 1);
        RecoveryCopy live;
        live.folder = RecoveryStore::rootFolder() + QLatin1Char('/') + folders.first();
        QVERIFY(!RecoveryStore::discard(live));

        // Killed, it leaves a stale lock: the copy is offered with its work.
        child.kill();
        QVERIFY(child.waitForFinished(30000));
        const QList<RecoveryCopy> copies = RecoveryStore::scan();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies.first().folder, live.folder);
        QCOMPARE(copies.first().elementCount, 2);
        QVERIFY(!QFileInfo::exists(live.folder + QStringLiteral(".lock")));
    }

    void ownCopyIsNotOffered()
    {
        RecoveryStore store;
        QVERIFY(store.start());
        store.writePicture(makePicture(1));
        Document doc;
        QVERIFY(store.writeDocument(doc, ProjectSettings(), QString()));
        QVERIFY(store.waitForWrites());
        QCOMPARE(RecoveryStore::scan().size(), 0);
    }

    void damagedCopyIsReportedAndKept_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("keep");
        QTest::newRow("document part cut") << "document.ver" << 300;
        QTest::newRow("document part empty") << "document.ver" << 0;
        QTest::newRow("picture part cut") << "picture-1.ver" << 100;
        QTest::newRow("picture part missing") << "picture-1.ver" << -1;
    }

    void damagedCopyIsReportedAndKept()
    {
        QFETCH(QString, file);
        QFETCH(int, keep);
        const QString folder = leaveCopy(QString());
        QVERIFY(!folder.isEmpty());
        const QString path = folder + QLatin1Char('/') + file;
        QVERIFY(keep < 0 ? QFile::remove(path) : writeBytes(path, fileBytes(path).left(keep)));
        const QStringList before = QDir(folder).entryList(QDir::Files);

        const RecoveryCopy copy = scannedCopy(folder);
        QCOMPARE(copy.folder, folder);
        Document doc;
        add(doc, TypDistance, {1, 1}, {2, 2});
        dib picture;
        ProjectSettings settings;
        settings.zoom = 77;
        QString fileName = QStringLiteral("unchanged");
        QString error;
        QVERIFY(!RecoveryStore::restore(copy, doc, picture, settings, fileName, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(doc.count(), 1);
        QVERIFY(!picture.poi);
        QCOMPARE(settings.zoom, 77.0);
        QCOMPARE(fileName, QStringLiteral("unchanged"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), before);
        // The listing says so already where reading the document part shows it.
        QCOMPARE(copy.problem.isEmpty(), file == QLatin1String("picture-1.ver") && keep >= 0);
    }

    void clearRemovesTheCopy()
    {
        RecoveryStore store;
        QVERIFY(store.start());
        const QString folder = store.folder();
        store.writePicture(makePicture(3));
        Document doc;
        ProjectSettings settings;
        makeWork(doc, settings);
        QVERIFY(store.writeDocument(doc, settings, QString()));
        store.clear();
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral(".lock")));
        QVERIFY(!store.isStarted());
        QCOMPARE(RecoveryStore::scan().size(), 0);
    }

    void failedWriteIsReported()
    {
        RecoveryStore store;
        QVERIFY(store.start());
        QSignalSpy failed(&store, &RecoveryStore::writeFailed);
        QVERIFY(QDir(store.folder()).removeRecursively());
        store.writePicture(makePicture(5));
        QVERIFY(failed.wait(10000));
        QVERIFY2(failed.first().first().toString().contains(QStringLiteral("picture-1.ver")),
                 qPrintable(failed.first().first().toString()));
        store.clear();
    }

    void leftoverWithoutDocumentIsRemoved()
    {
        {
            RecoveryStore store;
            QVERIFY(store.start());
            store.writePicture(makePicture(4));
        }
        QCOMPARE(RecoveryStore::scan().size(), 0);
        QCOMPARE(QDir(RecoveryStore::rootFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TESSELON_HOLD_RECOVERY_COPY"))
        return holdCopy(argc, argv);
    QCoreApplication app(argc, argv);
    TestRecoveryStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recoverystore.moc"

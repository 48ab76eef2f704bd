#include "core/translate.h"
#include "core/translationtable.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// Builds a file image: column count, row count, then the given strings in order.
class FileImage
{
public:
    FileImage &int32(qint32 v)
    {
        char raw[4];
        qToLittleEndian(v, raw);
        bytes.append(raw, 4);
        return *this;
    }
    FileImage &text(const QString &s)
    {
        int32(static_cast<qint32>(s.size()));
        for (QChar c : s) {
            char raw[2];
            qToLittleEndian<quint16>(c.unicode(), raw);
            bytes.append(raw, 2);
        }
        return *this;
    }
    // A row of `columns` strings: the given ones first, the rest empty.
    FileImage &row(int columns, const QStringList &texts)
    {
        for (int c = 0; c < columns; ++c)
            text(c < texts.size() ? texts.at(c) : QString());
        return *this;
    }
    QByteArray bytes;
};

QByteArray tableFile(const QList<QStringList> &rows, int columns = TranslationTable::Columns)
{
    FileImage image;
    image.int32(columns).int32(static_cast<qint32>(rows.size()));
    for (const QStringList &r : rows)
        image.row(columns, r);
    return image.bytes;
}

} // namespace

class TestTranslate : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QStringList corruptions;

    QString programFile() const { return dir.filePath(QStringLiteral("program/translate.dat")); }
    QString settingsFile() const { return dir.filePath(QStringLiteral("settings/Kovrant/Tesselon/translate.dat")); }

    void prepare(TranslationTable &table, const QByteArray &content)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("program")));
        QFile file(programFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        table.setPaths(programFile(), settingsFile());
        QVERIFY(table.load());
    }

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        corruptions.clear();
        setTranslationCorruptionHandler([this](const QString &message) { corruptions.append(message); });
    }

    void cleanup() { setTranslationCorruptionHandler(nullptr); }

    void lookup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("rowsAdded");

        QTest::newRow("spaces kept") << "  Abstand " << 1 << "  Distance " << 0;
        QTest::newRow("italian") << "Abstand" << 2 << "Distanza" << 0;
        QTest::newRow("german is the key") << " Abstand" << 0 << " Abstand" << 0;
        QTest::newRow("empty translation") << "Leer" << 1 << "Leer" << 0;
        QTest::newRow("translation trimmed, spaces re-added") << " Rand  " << 1 << " Edge  " << 0;
        QTest::newRow("empty text") << "" << 1 << "" << 0;
        QTest::newRow("only spaces") << "    " << 1 << "    " << 0;
        QTest::newRow("tab is part of the key") << "\tAbstand" << 1 << "\tAbstand" << 1;
        QTest::newRow("case-sensitive") << "abstand" << 1 << "abstand" << 1;
        QTest::newRow("unknown, spaces kept") << " Neu hier " << 1 << " Neu hier " << 1;
        QTest::newRow("column beyond the table") << "Abstand" << 30 << "Abstand" << 0;
        QTest::newRow("negative column") << "Abstand" << -1 << "Abstand" << 0;
        QTest::newRow("further language column") << "Abstand" << 29 << "Abstand" << 0;
    }

    void lookup()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QString, expected);
        QFETCH(int, rowsAdded);

        TranslationTable table;
        prepare(table, tableFile({{"Abstand", "Distance", "Distanza"}, {"Leer"}, {"Rand", " \tEdge\r\n", "Bordo"}}));
        QCOMPARE(table.translate(text, column), expected);
        QCOMPARE(table.rowCount(), 3 + rowsAdded);
        QVERIFY(corruptions.isEmpty());
    }

    void additionWritesTheFileAtOnce()
    {
        TranslationTable table;
        prepare(table, tableFile({{"Abstand", "Distance"}}));
        QCOMPARE(table.translate(QStringLiteral(" Unbekannt "), 1), QStringLiteral(" Unbekannt "));
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.find(u"Unbekannt"), 1);

        const QByteArray expected = tableFile({{"Abstand", "Distance"}, {"Unbekannt"}});
        QCOMPARE(readAll(programFile()), expected);

        // Found now: no second row, no change to the file.
        table.setText(1, 1, QStringLiteral("Unknown"));
        QCOMPARE(table.translate(QStringLiteral("Unbekannt"), 1), QStringLiteral("Unknown"));
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(readAll(programFile()), expected);
    }

    void missingFileStartsEmptyWithoutMessage()
    {
        TranslationTable table;
        table.setPaths(programFile(), settingsFile());
        QVERIFY(table.load());
        QCOMPARE(table.rowCount(), 0);
        QVERIFY(corruptions.isEmpty());
    }

    void bucketsByLowByteOfFirstUnit()
    {
        TranslationTable table;
        prepare(table, tableFile({{"A", "a-en"}, {QStringLiteral("Ł"), "l-en"}, {"Abstand"}, {QStringLiteral("Übersetzen")}}));
        QCOMPARE(TranslationTable::bucketOf(u"Abstand"), 65);
        QCOMPARE(TranslationTable::bucketOf(u"Übersetzen"), 220);
        QCOMPARE(table.bucketSize(65), 3);
        QCOMPARE(table.bucketKey(65, 1), QStringLiteral("Ł"));
        QCOMPARE(table.bucketRow(65, 1), 1);
        QCOMPARE(table.bucketSize(220), 1);
        QCOMPARE(table.translate(QStringLiteral("A"), 1), QStringLiteral("a-en"));
        QCOMPARE(table.translate(QStringLiteral("Ł"), 1), QStringLiteral("l-en"));
        QCOMPARE(table.rowCount(), 4);
    }

    void columnCounts_data()
    {
        QTest::addColumn<int>("columns");
        QTest::newRow("28 columns") << 28;
        QTest::newRow("31 columns") << 31;
        QTest::newRow("1 column") << 1;
    }

    void columnCounts()
    {
        QFETCH(int, columns);
        QStringList first;
        QStringList second;
        for (int c = 0; c < columns; ++c) {
            first.append(QStringLiteral("a%1").arg(c));
            second.append(QStringLiteral("b%1").arg(c));
        }
        TranslationTable table;
        prepare(table, tableFile({first, second}, columns));
        QCOMPARE(table.rowCount(), 2);
        for (int c = 0; c < TranslationTable::Columns; ++c) {
            QCOMPARE(table.text(0, c), c < columns ? first.at(c) : QString());
            QCOMPARE(table.text(1, c), c < columns ? second.at(c) : QString());
        }
        QVERIFY(table.save());
        first = first.mid(0, TranslationTable::Columns);
        second = second.mid(0, TranslationTable::Columns);
        QCOMPARE(readAll(programFile()), tableFile({first, second}));
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("rowsKept");

        const QByteArray good = tableFile({{"Abstand", "Distance"}, {"Winkel", "Angle"}});
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("only the column count") << FileImage().int32(30).bytes << 0;
        QTest::newRow("negative column count") << FileImage().int32(-1).int32(1).bytes << 0;
        QTest::newRow("negative row count") << FileImage().int32(30).int32(-5).bytes << 0;
        QTest::newRow("rows without columns") << FileImage().int32(0).int32(0x7fffffff).bytes << 0;
        QTest::newRow("huge column count") << FileImage().int32(0x7fffffff).int32(1).text("A").bytes << 0;
        QTest::newRow("huge row count after one row")
            << FileImage().int32(2).int32(0x7fffffff).row(2, {"A", "B"}).bytes << 1;
        QTest::newRow("huge string count")
            << FileImage().int32(2).int32(2).row(2, {"A", "B"}).int32(0x7fffffff).bytes << 1;
        QTest::newRow("negative string count") << FileImage().int32(2).int32(1).int32(-2).bytes << 0;
        // The first row takes 8 + 14 + 8 + 16 + 28 * 4 bytes after the header; "Winkel" follows.
        const int secondRow = 8 + 150;
        QTest::newRow("truncated inside a string") << good.left(secondRow + 4 + 5) << 1;
        QTest::newRow("truncated inside the last count") << good.left(good.size() - 2) << 1;
    }

    void damagedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, rowsKept);

        TranslationTable table;
        QVERIFY(!table.loadFromBytes(content));
        QCOMPARE(corruptions, QStringList{QStringLiteral("The file translate.dat has been corrupted.")});
        QCOMPARE(table.rowCount(), rowsKept);
        for (int r = 0; r < rowsKept; ++r)
            QCOMPARE(table.find(table.text(r, 0)), r);
        // Rows read before the damage still translate.
        if (rowsKept > 0)
            QVERIFY(!table.translate(table.text(0, 0), 1).isEmpty());
    }

    void trailingBytesAreIgnored()
    {
        TranslationTable table;
        QVERIFY(table.loadFromBytes(tableFile({{"Abstand", "Distance"}}) + QByteArray("junk")));
        QCOMPARE(table.rowCount(), 1);
        QVERIFY(corruptions.isEmpty());
    }

    void deletionKeepsTheIndex()
    {
        TranslationTable table;
        prepare(table, tableFile({{"Erste", "first"}, {"Zweite", "second"}, {"Dritte", "third"}, {"Zweite", "again"}}));
        QVERIFY(table.deleteRow(1));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.find(u"Erste"), 0);
        QCOMPARE(table.find(u"Dritte"), 1);
        QCOMPARE(table.translate(QStringLiteral("Dritte"), 1), QStringLiteral("third"));
        // The later row of the same key takes over; nothing is added.
        QCOMPARE(table.translate(QStringLiteral("Zweite"), 1), QStringLiteral("again"));
        QCOMPARE(table.rowCount(), 3);

        QVERIFY(table.deleteRow(2));
        QCOMPARE(table.translate(QStringLiteral("Zweite"), 1), QStringLiteral("Zweite"));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.find(u"Zweite"), 2);
        QVERIFY(!table.deleteRow(3));
        QVERIFY(!table.deleteRow(-1));
    }

    void editingTheGermanTextMovesItsKey()
    {
        TranslationTable table;
        prepare(table, tableFile({{"Abstand", "Distance"}}));
        table.setText(0, 0, QStringLiteral("Entfernung"));
        QCOMPARE(table.find(u"Entfernung"), 0);
        QCOMPARE(table.find(u"Abstand"), -1);
        QCOMPARE(table.bucketSize(65), 0);
        table.setText(0, 0, QString());
        QCOMPARE(table.find(u"Entfernung"), -1);
        QCOMPARE(table.rowCount(), 1);
    }

    void unwritableProgramFolderUsesSettingsFolder()
    {
        TranslationTable table;
        const QString missingFolder = dir.filePath(QStringLiteral("nowhere/translate.dat"));
        table.setPaths(missingFolder, settingsFile());
        QVERIFY(table.load());
        table.translate(QStringLiteral("Abstand"), 1);
        QVERIFY(!QFile::exists(missingFolder));
        QCOMPARE(readAll(settingsFile()), tableFile({{"Abstand"}}));

        TranslationTable again;
        again.setPaths(missingFolder, settingsFile());
        QCOMPARE(again.loadPath(), settingsFile());
        QVERIFY(again.load());
        QCOMPARE(again.find(u"Abstand"), 0);
    }

    void loadPrefersWritableProgramCopy()
    {
        TranslationTable table;
        prepare(table, tableFile({{"Programm"}}));
        QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
        QFile settings(settingsFile());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(tableFile({{"Einstellungen"}}));
        settings.close();
        QCOMPARE(table.loadPath(), programFile());
        QVERIFY(table.load());
        QCOMPARE(table.text(0, 0), QStringLiteral("Programm"));
    }

    void mergeFillsOnlyWhatIsMissing()
    {
        TranslationTable table;
        QVERIFY(table.loadFromBytes(tableFile({{"Abstand", "Length", ""}, {"Eigene", "own"}})));
        QVERIFY(table.mergeFromBytes(tableFile({{"Abstand", "Distance", "Distanza"}, {"Neu", "New", "Nuovo"}, {""}})));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.text(0, 1), QStringLiteral("Length"));
        QCOMPARE(table.text(0, 2), QStringLiteral("Distanza"));
        QCOMPARE(table.text(1, 1), QStringLiteral("own"));
        QCOMPARE(table.find(u"Neu"), 2);
        QCOMPARE(table.text(2, 2), QStringLiteral("Nuovo"));

        // A damaged image is reported; what was read before the damage is still merged.
        const QByteArray damaged = tableFile({{"Zwei", "two"}, {"Drei", "three"}});
        QVERIFY(!table.mergeFromBytes(damaged.left(damaged.size() - 1)));
        QCOMPARE(corruptions.size(), 1);
        QCOMPARE(table.find(u"Zwei"), 3);
        QCOMPARE(table.find(u"Drei"), -1);
    }

    void readOnlyProgramFolderKeepsEditsInSettingsCopy()
    {
        TranslationTable table;
        prepare(table, tableFile({{"Abstand", "Distance"}, {"Neu", "", "Nuovo"}}));
        const QString folder = QFileInfo(programFile()).absolutePath();
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });
        if (QFileInfo(folder).isWritable())
            QSKIP("folder permissions do not bind for this user");

        table.setText(1, 1, QStringLiteral("New"));
        QVERIFY(table.save());
        QVERIFY(QFile::exists(settingsFile()));
        QCOMPARE(table.loadPath(), settingsFile());

        TranslationTable again;
        again.setPaths(programFile(), settingsFile());
        QVERIFY(again.load());
        QCOMPARE(again.text(1, 1), QStringLiteral("New"));
        QCOMPARE(again.text(0, 1), QStringLiteral("Distance"));
    }

    void failedSaveKeepsTheTable()
    {
        // A plain file where the folders should be: neither place can be written.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TranslationTable table;
        table.setPaths(dir.filePath(QStringLiteral("blocker/translate.dat")),
                       dir.filePath(QStringLiteral("blocker/sub/translate.dat")));
        QVERIFY(table.load());
        QCOMPARE(table.translate(QStringLiteral("Abstand"), 1), QStringLiteral("Abstand"));
        QVERIFY(!table.save());
        QCOMPARE(table.rowCount(), 1);
        QVERIFY(corruptions.isEmpty());
    }

    void saveAndLoadRoundTrip()
    {
        TranslationTable table;
        prepare(table, tableFile({}));
        table.addRow(QStringLiteral("Zeile\nzwei"));
        table.setText(0, 1, QString(QChar(0)) + QStringLiteral("x"));
        table.setText(0, 29, QStringLiteral("letzte"));
        QVERIFY(table.save());
        TranslationTable again;
        again.setPaths(programFile(), settingsFile());
        QVERIFY(again.load());
        QCOMPARE(again.toBytes(), table.toBytes());
        QCOMPARE(again.text(0, 1), QString(QChar(0)) + QStringLiteral("x"));
    }

    void messages_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("german");
        QTest::newRow("0") << 0 << "";
        QTest::newRow("31") << 31 << "";
        QTest::newRow("-1") << -1 << "";
        QTest::newRow("1") << 1 << "Bitte schließen Sie das Programm und starten Sie es erneut.";
        QTest::newRow("4 unused") << 4 << "";
        QTest::newRow("18") << 18 << "Abstand";
        QTest::newRow("24 unused") << 24 << "";
        QTest::newRow("30") << 30 << "Winkel";
    }

    void messages()
    {
        QFETCH(int, number);
        QFETCH(QString, german);
        translationTable().setPaths(programFile(), settingsFile());
        QVERIFY(translationTable().load());
        setLanguageIndex(0);
        QCOMPARE(messageGerman(number), german);
        QCOMPARE(Message(number), german);
        QCOMPARE(translationTable().rowCount(), german.isEmpty() ? 0 : 1);
    }

    void messagesInTheCurrentLanguage()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("program")));
        translationTable().setPaths(programFile(), settingsFile());
        QVERIFY(translationTable().load());
        setLanguageIndex(1);
        ensureMessages();
        // Every non-empty message once: 30 minus the six unused numbers.
        QCOMPARE(translationTable().rowCount(), 24);
        QVERIFY(QFile::exists(programFile()));
        translationTable().setText(translationTable().find(u"Abstand"), 1, QStringLiteral("Distance"));
        QCOMPARE(Message(18), QStringLiteral("Distance"));
        QCOMPARE(Translate(QStringLiteral(" Abstand ")), QStringLiteral(" Distance "));
        setLanguageIndex(0);
        QCOMPARE(Message(18), QStringLiteral("Abstand"));
        ensureMessages();
        QCOMPARE(translationTable().rowCount(), 24);
    }
};

QTEST_GUILESS_MAIN(TestTranslate)
#include "tst_translate.moc"

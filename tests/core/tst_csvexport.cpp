#include "core/csvexport.h"
#include "core/elements.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "support/elementbuilder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

const QStringList Captions = {QStringLiteral("Typ"), QStringLiteral("Bezeichnung"), QStringLiteral("Länge/Umfang"),
                              QStringLiteral("Flächeninhalt"), QStringLiteral("Winkel")};

} // namespace

class TestCsvExport : public QObject
{
    Q_OBJECT

private slots:
    void quoting_data();
    void quoting();
    void byteOrderMarkAndCrLf();
    void umlautsAreUtf8();
    void resultsRowsAndUnits();
    void hostileNamesRoundTrip();
    void readerAcceptsLfAndNoMark();
    void readerRejectsBrokenQuotes_data();
    void readerRejectsBrokenQuotes();
    void exportWritesFile();
    void exportReportsUncreatableFile();
    void styleOfLanguage_data();
    void styleOfLanguage();
    void semicolonQuoting_data();
    void semicolonQuoting();
    void semicolonResultsReadBySpreadsheetDialect();
};

void TestCsvExport::quoting_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("plain") << QStringLiteral("Raum 1") << QByteArray("Raum 1");
    QTest::newRow("empty") << QString() << QByteArray("");
    QTest::newRow("blanks kept") << QStringLiteral(" a ") << QByteArray(" a ");
    QTest::newRow("comma") << QStringLiteral("a,b") << QByteArray("\"a,b\"");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"");
    QTest::newRow("only a quote") << QStringLiteral("\"") << QByteArray("\"\"\"\"");
    QTest::newRow("line feed") << QStringLiteral("two\nlines") << QByteArray("\"two\nlines\"");
    QTest::newRow("carriage return") << QStringLiteral("cr\r") << QByteArray("\"cr\r\"");
    QTest::newRow("semicolon and tab unquoted") << QStringLiteral("a;b\tc") << QByteArray("a;b\tc");
}

void TestCsvExport::quoting()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, encoded);
    QCOMPARE(csvText({{field, QStringLiteral("x")}}), Bom + encoded + ",x\r\n");
}

void TestCsvExport::byteOrderMarkAndCrLf()
{
    const QByteArray text = csvText({{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("c")}, {QString()}});
    QCOMPARE(text, Bom + "a,b\r\nc\r\n\"\"\r\n");
    QCOMPARE(csvText({}), Bom);
}

void TestCsvExport::umlautsAreUtf8()
{
    const QByteArray text = csvText({{QStringLiteral("Länge/Umfang"), QStringLiteral("m²"), QStringLiteral("Fuß")}});
    QCOMPARE(text, Bom + "L\xC3\xA4nge/Umfang,m\xC2\xB2,Fu\xC3\x9F\r\n");
}

void TestCsvExport::resultsRowsAndUnits()
{
    Document doc;
    addMeasured(doc, TypRectangle, 70, 250, 0, QStringLiteral("Küche"));
    addMeasured(doc, TypLine, 0, 0, 0);
    addMeasured(doc, TypDistance, 25, 0, -45.5);
    addMeasured(doc, TypAngle, 12, 3, 90, QStringLiteral("Ecke"));
    addMeasured(doc, TypText, 0, 0, 0, QStringLiteral("label"));
    addMeasured(doc, TypPolyline, 1.0 / 3, 0, 0);
    ResultsModel model;
    model.ListObjekte(doc, 4);

    const QList<QStringList> table = resultsTable(model, Captions, QStringLiteral("Einheit"), QStringLiteral("mm"));
    const QList<QStringList> expected = {
        Captions + QStringList{QStringLiteral("Einheit")},
        {Message(21), QStringLiteral("Küche"), QStringLiteral("70.0000"), QStringLiteral("250.0000"), QString(),
         QStringLiteral("mm")},
        {Message(18), QString(), QStringLiteral("25.0000"), QString(), QStringLiteral("-45.5000"), QStringLiteral("mm")},
        {Message(30), QStringLiteral("Ecke"), QString(), QString(), QStringLiteral("90.0000° / 270.0000°"),
         QStringLiteral("°")},
        {Message(20), QString(), QStringLiteral("0.3333"), QStringLiteral("0.0000"), QString(), QStringLiteral("mm")},
    };
    QCOMPARE(table, expected);

    // The table shows what the list shows.
    for (int r = 0; r < model.rowCount(); ++r) {
        for (int c = 0; c < ResultsModel::ColumnCount; ++c)
            QCOMPARE(table.at(r + 1).at(c), model.text(r, c));
    }

    const QByteArray text = csvText(table);
    QVERIFY(text.contains("\r\n" + Message(30).toUtf8() + ",Ecke,,,90.0000\xC2\xB0 / 270.0000\xC2\xB0,\xC2\xB0\r\n"));
}

void TestCsvExport::hostileNamesRoundTrip()
{
    const QStringList names = {
        QStringLiteral("a,b"),       QStringLiteral("say \"x\""),  QStringLiteral("two\nlines"),
        QStringLiteral("cr\r\nlf"),  QStringLiteral("\""),         QStringLiteral(","),
        QString(),                   QStringLiteral(" edges "),    QStringLiteral("\"\"\","),
        QStringLiteral("Maß ü € 𝄞"), QStringLiteral("=1+2"),       QStringLiteral("tab\there"),
        QStringLiteral("\r"),        QStringLiteral("end\n"),      QStringLiteral("\"quoted, and\r\nbroken\""),
    };
    Document doc;
    for (const QString &name : names)
        addMeasured(doc, TypPolygon, 12.5, 100, 0, name);
    ResultsModel model;
    model.ListObjekte(doc, 2);
    const QList<QStringList> table = resultsTable(model, Captions, QStringLiteral("Einheit, \"Maß\""),
                                                  QStringLiteral("Fuß, \"alt\""));
    QCOMPARE(table.size(), names.size() + 1);

    QList<QStringList> back;
    QString error;
    QVERIFY2(readCsv(csvText(table), back, &error), qPrintable(error));
    QCOMPARE(back, table);
    for (qsizetype i = 0; i < names.size(); ++i)
        QCOMPARE(back.at(i + 1).at(ResultsModel::ColumnBezeichnung), names.at(i));
}

void TestCsvExport::readerAcceptsLfAndNoMark()
{
    QList<QStringList> rows;
    QString error;
    QVERIFY(readCsv("a,\"b\nc\"\nd,", rows, &error));
    const QList<QStringList> expected = {{QStringLiteral("a"), QStringLiteral("b\nc")}, {QStringLiteral("d"), QString()}};
    QCOMPARE(rows, expected);
    QVERIFY(readCsv(QByteArray(), rows, &error));
    QVERIFY(rows.isEmpty());
}

void TestCsvExport::readerRejectsBrokenQuotes_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("not closed") << QByteArray("a,\"open\r\n");
    QTest::newRow("text after closing quote") << QByteArray("\"a\"b,c\r\n");
    QTest::newRow("lone quote") << QByteArray("\"");
}

void TestCsvExport::readerRejectsBrokenQuotes()
{
    QFETCH(QByteArray, data);
    QList<QStringList> rows = {{QStringLiteral("old")}};
    QString error;
    QVERIFY(!readCsv(data, rows, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(rows.isEmpty());
}

void TestCsvExport::exportWritesFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("results.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older, much longer file that must be replaced completely\r\n");
    }
    const QByteArray text = csvText({{QStringLiteral("Fläche"), QStringLiteral("1,5")}});
    QString error;
    QVERIFY(exportCsv(path, text, &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text);
}

void TestCsvExport::exportReportsUncreatableFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing folder/results.csv"));
    QString error;
    QVERIFY(!exportCsv(path, csvText({{QStringLiteral("a")}}), &error));
    QCOMPARE(error, Message(17) + QLatin1Char(' ') + path);
    QVERIFY(!QFile::exists(path));
}

void TestCsvExport::styleOfLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("semicolon");
    QTest::newRow("German") << 0 << true;
    QTest::newRow("English") << 1 << false;
    QTest::newRow("Italian") << 2 << true;
}

void TestCsvExport::styleOfLanguage()
{
    QFETCH(int, language);
    QFETCH(bool, semicolon);
    QCOMPARE(csvStyleForLanguage(language), semicolon ? CsvStyle::Semicolon : CsvStyle::Comma);
}

void TestCsvExport::semicolonQuoting_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("plain") << QStringLiteral("Raum 1") << QByteArray("Raum 1");
    QTest::newRow("semicolon") << QStringLiteral("a;b") << QByteArray("\"a;b\"");
    // A decimal comma must not quote the numbers.
    QTest::newRow("comma unquoted") << QStringLiteral("a,b") << QByteArray("a,b");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\"") << QByteArray("\"say \"\"hi\"\"\"");
    QTest::newRow("line feed") << QStringLiteral("two\nlines") << QByteArray("\"two\nlines\"");
}

void TestCsvExport::semicolonQuoting()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, encoded);
    const QByteArray text = csvText({{field, QStringLiteral("x")}}, CsvStyle::Semicolon);
    QCOMPARE(text, Bom + encoded + ";x\r\n");
    QList<QStringList> back;
    QVERIFY(readCsv(text, back, nullptr, CsvStyle::Semicolon));
    QCOMPARE(back, (QList<QStringList>{{field, QStringLiteral("x")}}));
}

void TestCsvExport::semicolonResultsReadBySpreadsheetDialect()
{
    const QString name = QStringLiteral("Küche; 3.OG, \"Nord\"\nSüd");
    const QList<QStringList> table = {
        Captions + QStringList{QStringLiteral("Einheit")},
        {Message(21), name, QStringLiteral("70.5000"), QStringLiteral("1234.2500"), QString(), QStringLiteral("m")},
        {Message(30), QString(), QString(), QString(), QStringLiteral("90.5000° / 269.5000°"), QStringLiteral("°")},
    };
    const QByteArray text = resultsCsv(table, CsvStyle::Semicolon);
    QVERIFY(text.startsWith(Bom + "Typ;Bezeichnung;L\xC3\xA4" "nge/Umfang;Fl\xC3\xA4" "cheninhalt;Winkel;Einheit\r\n"));
    // The comma style is today's CSV, byte for byte.
    QCOMPARE(resultsCsv(table, CsvStyle::Comma), csvText(table));

    QList<QStringList> expected = table;
    expected[1][2] = QStringLiteral("70,5000");
    expected[1][3] = QStringLiteral("1234,2500");
    expected[2][4] = QStringLiteral("90,5000° / 269,5000°");
    QList<QStringList> back;
    QVERIFY(readCsv(text, back, nullptr, CsvStyle::Semicolon));
    QCOMPARE(back, expected);

    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.csv"));
    QVERIFY(exportCsv(path, text, nullptr));
    // A spreadsheet's reading: the dialect with ";" and the mark taken as the encoding's.
    QProcess reader;
    reader.start(python, {QStringLiteral("-c"),
                          QStringLiteral("import csv, json, sys\n"
                                         "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                         "    print(json.dumps(list(csv.reader(f, delimiter=';'))))"),
                          path});
    QVERIFY(reader.waitForFinished(60000));
    QCOMPARE(reader.exitCode(), 0);
    const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    QCOMPARE(rows.size(), expected.size());
    for (qsizetype r = 0; r < expected.size(); ++r) {
        QStringList row;
        for (const QJsonValue &field : rows.at(r).toArray())
            row.append(field.toString());
        QCOMPARE(row, expected.at(r));
    }
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"

#include "core/translate.h"
#include "core/xlsxexport.h"
#include "support/xlsxreader.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Name = QStringLiteral("Küche, \"groß\"\nNord");

const QList<QStringList> Table = {
    {QStringLiteral("Typ"), QStringLiteral("Bezeichnung"), QStringLiteral("Länge/Umfang"), QStringLiteral("Flächeninhalt"),
     QStringLiteral("Winkel"), QStringLiteral("Einheit")},
    {QStringLiteral("Rechteck"), Name, QStringLiteral("50.500"), QStringLiteral("-150.250"), QString(), QStringLiteral("m")},
    {QStringLiteral("Abstand"), QString(), QStringLiteral("1234567.125"), QString(), QStringLiteral("-45.000"),
     QStringLiteral("m")},
    {QStringLiteral("Winkel"), QString(), QString(), QString(), QStringLiteral("90.000° / 270.000°"), QStringLiteral("°")},
};

QJsonArray cell(const QJsonObject &sheet, const char *ref)
{
    return sheet.value(QStringLiteral("cells")).toObject().value(QLatin1String(ref)).toArray();
}

QJsonArray expected(const char *kind, const QString &value, const char *format, bool bold)
{
    return {QLatin1String(kind), value, QLatin1String(format), bold};
}

} // namespace

class TestXlsxExport : public QObject
{
    Q_OBJECT

private slots:
    void resultsSheet();
    void sourceSheet();
    void failureLeavesTheOldFile();
};

void TestXlsxExport::resultsSheet()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.xlsx"));
    QString error;
    QVERIFY2(exportXlsx(path, Table, 3, XlsxSource{QStringLiteral("/plans/haus.ver"), {2, 1}, QStringLiteral("m")}, &error),
             qPrintable(error));
    const QJsonObject book = readXlsx(path);
    if (book.isEmpty())
        QSKIP("python3 cannot read the workbook here");
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray(), (QJsonArray{"Ergebnisse", "Projekt"}));
    const QJsonObject sheet = book.value(QStringLiteral("Ergebnisse")).toObject();
    QCOMPARE(sheet.value(QStringLiteral("frozenRows")).toInt(), 1);

    QCOMPARE(cell(sheet, "A1"), expected("s", QStringLiteral("Typ"), "General", true));
    QCOMPARE(cell(sheet, "F1"), expected("s", QStringLiteral("Einheit"), "General", true));
    QCOMPARE(cell(sheet, "B2"), expected("s", Name, "General", false));
    // Numbers are numbers, shown with the decimals asked for.
    QCOMPARE(cell(sheet, "C2"), expected("n", QStringLiteral("50.5"), "0.000", false));
    QCOMPARE(cell(sheet, "D2"), expected("n", QStringLiteral("-150.25"), "0.000", false));
    QCOMPARE(cell(sheet, "E3"), expected("n", QStringLiteral("-45"), "0.000", false));
    QCOMPARE(cell(sheet, "F2"), expected("s", QStringLiteral("m"), "General", false));
    // The angle element's two angles stay one text; empty fields are no cells.
    QCOMPARE(cell(sheet, "E4"), expected("s", QStringLiteral("90.000° / 270.000°"), "General", false));
    QVERIFY(cell(sheet, "E2").isEmpty());
    QVERIFY(cell(sheet, "B3").isEmpty());

    // Every column fits its longest text: the name's longest line, the largest number as shown.
    const QJsonObject widths = sheet.value(QStringLiteral("widths")).toObject();
    QVERIFY(widths.value(QStringLiteral("2")).toDouble() >= QStringLiteral("Küche, \"groß\"").size());
    QVERIFY(widths.value(QStringLiteral("2")).toDouble() < Name.size() + 2);
    QVERIFY(widths.value(QStringLiteral("3")).toDouble() >= QStringLiteral("1234567.125").size());
    QVERIFY(widths.value(QStringLiteral("4")).toDouble() >= QStringLiteral("Flächeninhalt").size());
}

void TestXlsxExport::sourceSheet()
{
    QTemporaryDir dir;
    for (const bool saved : {true, false}) {
        const QString path = dir.filePath(saved ? QStringLiteral("saved.xlsx") : QStringLiteral("unsaved.xlsx"));
        const XlsxSource source{saved ? QStringLiteral("/plans/haus.ver") : QString(), {2.5, 0.5}, QStringLiteral("Fuß")};
        QVERIFY(exportXlsx(path, Table, 0, source, nullptr));
        const QJsonObject book = readXlsx(path);
        if (book.isEmpty())
            QSKIP("python3 cannot read the workbook here");
        const QJsonObject sheet = book.value(QStringLiteral("Projekt")).toObject();
        QCOMPARE(cell(sheet, "A1"), expected("s", QStringLiteral("Projektdatei"), "General", true));
        QCOMPARE(cell(sheet, "B1").at(1).toString(),
                 saved ? QStringLiteral("haus.ver") : QStringLiteral("nicht als Projekt gespeichert"));
        QCOMPARE(cell(sheet, "A2"), expected("s", QStringLiteral("Maßstab"), "General", true));
        QCOMPARE(cell(sheet, "B2").at(1).toString(), QStringLiteral("2.5 Pixel = 0.5 Fuß"));
        // No decimals: whole numbers.
        QCOMPARE(cell(book.value(QStringLiteral("Ergebnisse")).toObject(), "C2").at(2).toString(), QStringLiteral("0"));
    }
}

void TestXlsxExport::failureLeavesTheOldFile()
{
    QTemporaryDir dir;
    QString error;
    const QString missing = dir.filePath(QStringLiteral("no folder/results.xlsx"));
    QVERIFY(!exportXlsx(missing, Table, 2, {}, &error));
    QCOMPARE(error, Message(17) + QLatin1Char(' ') + missing);
    QVERIFY(!QFile::exists(missing));

    // A folder where the file should go cannot be replaced; it stays as it was.
    const QString folder = dir.filePath(QStringLiteral("taken.xlsx"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(!exportXlsx(folder, Table, 2, {}, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(folder).isDir());
}

QTEST_GUILESS_MAIN(TestXlsxExport)
#include "tst_xlsxexport.moc"

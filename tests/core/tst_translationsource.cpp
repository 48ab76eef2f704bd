#include "core/translate.h"
#include "core/translationsource.h"
#include "core/translationtable.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString shippedSourcePath()
{
    return QStringLiteral(TESSELON_SOURCE_DIR "/translations/table.tsv");
}

QString generatedTablePath()
{
    return QStringLiteral(TESSELON_BINARY_DIR "/bin/translate.dat");
}

// The end of a text that its translation has to keep: an ellipsis, a colon, a question mark.
QString closingMark(const QString &text)
{
    static const QRegularExpression mark(QStringLiteral("(\\.\\.\\.|:|\\?)$"));
    const QRegularExpressionMatch match = mark.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The numbered place holders of a text, in ascending order.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("%\\d+"));
    QStringList found;
    for (const QRegularExpressionMatch &match : number.globalMatch(text))
        found.append(match.captured());
    found.sort();
    return found;
}

} // namespace

class TestTranslationSource : public QObject
{
    Q_OBJECT

private:
    TranslationSource shipped;

private slots:
    void initTestCase()
    {
        const QByteArray bytes = readFile(shippedSourcePath());
        QVERIFY2(!bytes.isEmpty(), "translations/table.tsv is missing");
        QString error;
        QVERIFY2(parseTranslationSource(bytes, shipped, error), qPrintable(error));
    }

    void shippedColumnsAreGermanEnglishItalian()
    {
        QCOMPARE(shipped.columns, (QList<int>{0, 1, 2}));
    }

    void everyRowIsTranslated()
    {
        for (const TranslationSource::Row &row : std::as_const(shipped.rows)) {
            const QString &german = row.cells.at(0);
            for (int c = 1; c < row.cells.size(); ++c) {
                const QString where = QStringLiteral("line %1, column %2 (\"%3\")").arg(row.line).arg(c + 1).arg(german);
                QVERIFY2(!row.cells.at(c).isEmpty(), qPrintable(where + QStringLiteral(": missing")));
                // A copy of the German text must be marked as such, so it is not a forgotten cell.
                QVERIFY2(row.same.at(c) || row.cells.at(c) != german,
                         qPrintable(where + QStringLiteral(": equal to German without the \"=\" marker")));
                QVERIFY2(row.cells.at(c).trimmed() == row.cells.at(c),
                         qPrintable(where + QStringLiteral(": surrounding white space")));
                QVERIFY2(closingMark(row.cells.at(c)) == closingMark(german),
                         qPrintable(where + QStringLiteral(": ends differently from the German text")));
                QVERIFY2(placeholders(row.cells.at(c)) == placeholders(german),
                         qPrintable(where + QStringLiteral(": place holders differ from the German text")));
                QVERIFY2(row.cells.at(c).count(u'&') == german.count(u'&'),
                         qPrintable(where + QStringLiteral(": mnemonic marker lost or added")));
            }
        }
    }

    void sameOnPurposeIsMarked()
    {
        const auto rowOf = [this](const QString &german) -> const TranslationSource::Row * {
            for (const TranslationSource::Row &row : std::as_const(shipped.rows))
                if (row.cells.at(0) == german)
                    return &row;
            return nullptr;
        };
        const TranslationSource::Row *ok = rowOf(QStringLiteral("OK"));
        QVERIFY(ok);
        QCOMPARE(ok->same, (QList<bool>{false, true, true}));
        const TranslationSource::Row *polygon = rowOf(QStringLiteral("Polygon"));
        QVERIFY(polygon);
        QCOMPARE(polygon->same, (QList<bool>{false, true, false}));
        QCOMPARE(polygon->cells.at(1), QStringLiteral("Polygon"));
    }

    void everyMessageIsShipped()
    {
        TranslationTable table;
        QVERIFY(fillTranslationTable(shipped, table));
        for (int n = 1; n <= MessageCount; ++n) {
            const QString german = messageGerman(n);
            if (german.isEmpty())
                continue;
            QVERIFY2(table.find(german) >= 0, qPrintable(german));
        }
    }

    void generatedTableMatchesSource()
    {
        QVERIFY2(QFile::exists(generatedTablePath()), "build the translate_dat target first");
        TranslationTable generated;
        generated.setPaths(generatedTablePath(), generatedTablePath());
        QVERIFY(generated.load());
        QCOMPARE(generated.rowCount(), shipped.rows.size());
        for (int r = 0; r < generated.rowCount(); ++r) {
            const TranslationSource::Row &row = shipped.rows.at(r);
            for (int c = 0; c < row.cells.size(); ++c)
                QCOMPARE(generated.text(r, shipped.columns.at(c)), row.cells.at(c));
            for (int c = 3; c < TranslationTable::Columns; ++c)
                QCOMPARE(generated.text(r, c), QString());
        }
        QCOMPARE(generated.translate(QStringLiteral(" Abstand "), 1), QStringLiteral(" Distance "));
        QCOMPARE(generated.translate(QStringLiteral("Fuß"), 2), QStringLiteral("Piedi"));
        QCOMPARE(generated.rowCount(), shipped.rows.size());
    }

    void parsing_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("cells");

        QTest::newRow("escapes") << QByteArray("German\tEnglish\nA\\tB\\nC\\\\\\r\tx\\y\n") << true
                                 << QStringList{"A\tB\nC\\\r", "xy"};
        QTest::newRow("literal equals sign") << QByteArray("German\tEnglish\nGleich\t\\=\n") << true
                                             << QStringList{"Gleich", "="};
        QTest::newRow("same marker") << QByteArray("German\tEnglish\nOK\t=\n") << true << QStringList{"OK", "OK"};
        QTest::newRow("comments, blank lines, CR LF")
            << QByteArray("# note\r\n\r\nGerman\tItalian\r\n\\#Raute\tcancelletto\r\n") << true
            << QStringList{"#Raute", "cancelletto"};
        QTest::newRow("further language column") << QByteArray("German\tlanguage7\nJa\tsi\n") << true
                                                 << QStringList{"Ja", "si"};
        QTest::newRow("empty cell is allowed") << QByteArray("German\tEnglish\nJa\t\n") << true
                                               << QStringList{"Ja", ""};
        QTest::newRow("duplicate key") << QByteArray("German\tEnglish\nJa\tyes\nJa\tyeah\n") << false << QStringList();
        QTest::newRow("too few cells") << QByteArray("German\tEnglish\tItalian\nJa\tyes\n") << false << QStringList();
        QTest::newRow("too many cells") << QByteArray("German\tEnglish\nJa\tyes\tsi\n") << false << QStringList();
        QTest::newRow("unknown column") << QByteArray("German\tKlingon\nJa\tx\n") << false << QStringList();
        QTest::newRow("column 30") << QByteArray("German\tlanguage30\nJa\tx\n") << false << QStringList();
        QTest::newRow("repeated column") << QByteArray("German\tEnglish\tEnglish\n") << false << QStringList();
        QTest::newRow("German not first") << QByteArray("English\tGerman\n") << false << QStringList();
        QTest::newRow("trailing backslash") << QByteArray("German\tEnglish\nJa\tyes\\\n") << false << QStringList();
        QTest::newRow("leading space in key") << QByteArray("German\tEnglish\n Ja\tyes\n") << false << QStringList();
        QTest::newRow("empty key") << QByteArray("German\tEnglish\n\tyes\n") << false << QStringList();
        QTest::newRow("invalid UTF-8") << QByteArray("German\tEnglish\nJ\xff\tyes\n") << false << QStringList();
        QTest::newRow("no header") << QByteArray("# nothing\n") << false << QStringList();
    }

    void parsing()
    {
        QFETCH(QByteArray, source);
        QFETCH(bool, ok);
        QFETCH(QStringList, cells);

        TranslationSource parsed;
        QString error;
        QCOMPARE(parseTranslationSource(source, parsed, error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok) {
            QCOMPARE(parsed.rows.size(), 1);
            QCOMPARE(parsed.rows.first().cells, cells);
        }
    }
};

QTEST_GUILESS_MAIN(TestTranslationSource)
#include "tst_translationsource.moc"

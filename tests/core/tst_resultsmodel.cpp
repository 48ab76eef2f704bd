#include "core/csvexport.h"
#include "core/elements.h"
#include "core/geometry.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "support/elementbuilder.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList rowTexts(const ResultsModel &model, int row)
{
    QStringList out;
    for (int c = 0; c < model.columnCount(); ++c)
        out << model.data(model.index(row, c)).toString();
    return out;
}

} // namespace

class tst_ResultsModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rows_data();
    void rows();
    void documentOrderAndRebuild();
    void onlyUnlistedElements();
    void oneResetPerRebuild();
    void headers();
    void invalidIndexes();
    void rebuildAfterReading_data();
    void rebuildAfterReading();
    void namesOutliveTheDocument();
    void segmentsAndUncertainty_data();
    void segmentsAndUncertainty();

private:
    QTemporaryDir dir;
};

void tst_ResultsModel::initTestCase()
{
    QVERIFY(dir.isValid());
    translationTable().setPaths(dir.filePath(QStringLiteral("translate.dat")),
                                dir.filePath(QStringLiteral("settings/translate.dat")));
    setLanguageIndex(0);
}

void tst_ResultsModel::rows_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<double>("lang");
    QTest::addColumn<double>("flaeche");
    QTest::addColumn<double>("winkel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("areaDecimals");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("rectangle") << 55 << 70.0 << 250.0 << 0.0 << "Raum" << 4
                               << QStringList{"Rechteck", "Raum", "70.0000", "250.0000", ""};
    QTest::newRow("ellipse") << 66 << 6.2831853 << 3.14159265 << 0.0 << "" << 3
                             << QStringList{"Ellipse", "", "6.283", "3.142", ""};
    QTest::newRow("distance, list ignores length decimals") << 77 << 25.0 << 0.0 << -90.0 << "Tür" << 4
                                                      << QStringList{"Abstand", "Tür", "25.0000", "", "-90.0000"};
    QTest::newRow("angle") << 98 << 20.0 << 0.0 << 90.0 << "" << 4
                           << QStringList{"Winkel", "", "", "", "90.0000° / 270.0000°"};
    QTest::newRow("angle without decimals") << 98 << 0.0 << 0.0 << 45.5 << "" << 0
                                            << QStringList{"Winkel", "", "", "", "46° / 315°"};
    QTest::newRow("polygon") << 99 << 40.0 << 100.0 << 0.0 << "Beet" << 2
                             << QStringList{"Polygon", "Beet", "40.00", "100.00", ""};
    QTest::newRow("polyline") << 100 << 9.0 << 6.0 << 0.0 << "" << 1
                              << QStringList{"Strecke", "", "9.0", "6.0", ""};
    QTest::newRow("unnamed element") << 55 << 1.0 << 1.0 << 0.0 << QString() << 0
                                     << QStringList{"Rechteck", "", "1", "1", ""};
    QTest::newRow("negative decimals") << 55 << 1.5 << 2.25 << 0.0 << "" << -2
                                       << QStringList{"Rechteck", "", "2", "2", ""};
    for (int typ : {0, 1, 2, 88, 101, 42})
        QTest::addRow("type %d not listed", typ) << typ << 5.0 << 5.0 << 5.0 << "x" << 4 << QStringList{};
}

void tst_ResultsModel::rows()
{
    QFETCH(int, typ);
    QFETCH(double, lang);
    QFETCH(double, flaeche);
    QFETCH(double, winkel);
    QFETCH(QString, name);
    QFETCH(int, areaDecimals);
    QFETCH(QStringList, expected);
    Document doc;
    addMeasured(doc, typ, lang, flaeche, winkel, name);
    ResultsModel model;
    model.ListObjekte(doc, areaDecimals);
    QCOMPARE(model.rowCount(), expected.isEmpty() ? 0 : 1);
    if (!expected.isEmpty())
        QCOMPARE(rowTexts(model, 0), expected);
}

void tst_ResultsModel::documentOrderAndRebuild()
{
    Document doc;
    addMeasured(doc, 77, 1, 0, 0, QStringLiteral("a"));
    addMeasured(doc, 101, 0, 0, 0, QStringLiteral("Text"));
    addMeasured(doc, 99, 2, 3, 0, QStringLiteral("b"));
    addMeasured(doc, 88, 4, 0, 0);
    addMeasured(doc, 98, 5, 0, 30, QStringLiteral("c"));
    ResultsModel model;
    model.ListObjekte(doc, 4);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.text(0, ResultsModel::ColumnBezeichnung), QStringLiteral("a"));
    QCOMPARE(model.text(1, ResultsModel::ColumnBezeichnung), QStringLiteral("b"));
    QCOMPARE(model.text(2, ResultsModel::ColumnBezeichnung), QStringLiteral("c"));

    // A rebuild shows the values the repaint has just stored, nothing left over.
    doc.deleteElement(0);
    doc.element(1)->lang = 12.5;
    model.ListObjekte(doc, 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(rowTexts(model, 0), (QStringList{"Polygon", "b", "12.5", "3.0", ""}));
}

void tst_ResultsModel::onlyUnlistedElements()
{
    Document doc;
    ResultsModel model;
    model.ListObjekte(doc, 4);
    QCOMPARE(model.rowCount(), 0);
    addMeasured(doc, 88, 80, 0, 0);
    addMeasured(doc, 101, 0, 0, 0, QStringLiteral("Beschriftung"));
    model.ListObjekte(doc, 4);
    QCOMPARE(model.rowCount(), 0);
}

void tst_ResultsModel::oneResetPerRebuild()
{
    Document doc;
    for (int i = 0; i < 250; ++i)
        addMeasured(doc, 55 + 11 * (i % 3), i, i, 0);
    ResultsModel model;
    QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.ListObjekte(doc, 4);
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(model.rowCount(), 250);
    QCOMPARE(model.text(248, ResultsModel::ColumnTyp), QStringLiteral("Abstand"));
}

void tst_ResultsModel::headers()
{
    ResultsModel model;
    QStringList captions;
    for (int c = 0; c < model.columnCount(); ++c)
        captions << model.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"Typ", "Bezeichnung", "Länge/Umfang", "Flächeninhalt", "Winkel"}));

    QSignalSpy changed(&model, &QAbstractItemModel::headerDataChanged);
    QVERIFY(model.setHeaderData(2, Qt::Horizontal, QStringLiteral("Length/Perimeter")));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Length/Perimeter"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!model.setHeaderData(5, Qt::Horizontal, QStringLiteral("x")));
    QVERIFY(!model.setHeaderData(-1, Qt::Horizontal, QStringLiteral("x")));
    QVERIFY(!model.setHeaderData(0, Qt::Vertical, QStringLiteral("x")));
    QCOMPARE(changed.count(), 1);
}

void tst_ResultsModel::invalidIndexes()
{
    Document doc;
    addMeasured(doc, 55, 1, 1, 0);
    ResultsModel model;
    model.ListObjekte(doc, 2);
    QCOMPARE(model.columnCount(), 5);
    QVERIFY(!model.data(model.index(1, 0)).isValid());
    QVERIFY(!model.data(model.index(0, 5)).isValid());
    QVERIFY(!model.data(model.index(0, 0), Qt::DecorationRole).isValid());
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
}

void tst_ResultsModel::rebuildAfterReading_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<double>("lang");
    QTest::addColumn<double>("winkel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("areaDecimals");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("unchanged") << 55 << 70.0 << 0.0 << "Raum" << 2
                               << QStringList{"Rechteck", "Raum", "70.00", "250.00", ""};
    QTest::newRow("new length") << 55 << 71.0 << 0.0 << "Raum" << 2
                                << QStringList{"Rechteck", "Raum", "71.00", "250.00", ""};
    QTest::newRow("new decimals") << 55 << 70.0 << 0.0 << "Raum" << 1
                                  << QStringList{"Rechteck", "Raum", "70.0", "250.0", ""};
    QTest::newRow("new name") << 55 << 70.0 << 0.0 << "Flur" << 2
                              << QStringList{"Rechteck", "Flur", "70.00", "250.00", ""};
    QTest::newRow("name removed") << 55 << 70.0 << 0.0 << "" << 2
                                  << QStringList{"Rechteck", "", "70.00", "250.00", ""};
    QTest::newRow("same values, other type") << 77 << 70.0 << 0.0 << "Raum" << 2
                                             << QStringList{"Abstand", "Raum", "70.00", "", "0.00"};
}

// A row read before a rebuild shows the new element's texts afterwards, whichever part changed.
void tst_ResultsModel::rebuildAfterReading()
{
    QFETCH(int, typ);
    QFETCH(double, lang);
    QFETCH(double, winkel);
    QFETCH(QString, name);
    QFETCH(int, areaDecimals);
    QFETCH(QStringList, expected);
    Document doc;
    Telemente *e = addMeasured(doc, 55, 70, 250, 0, QStringLiteral("Raum"));
    ResultsModel model;
    model.ListObjekte(doc, 2);
    QCOMPARE(rowTexts(model, 0), (QStringList{"Rechteck", "Raum", "70.00", "250.00", ""}));

    e = doc.element(0);
    e->typ = typ;
    e->lang = lang;
    e->winkel = winkel;
    QVERIFY(Document::setName(*e, name));
    model.ListObjekte(doc, areaDecimals);
    QCOMPARE(rowTexts(model, 0), expected);
}

void tst_ResultsModel::namesOutliveTheDocument()
{
    Document doc;
    addMeasured(doc, 99, 2, 3, 0, QStringLiteral("Beet"));
    addMeasured(doc, 98, 0, 0, 90, QStringLiteral("Ecke"));
    ResultsModel model;
    model.ListObjekte(doc, 4);
    doc.clear();
    addMeasured(doc, 55, 1, 1, 0, QStringLiteral("überschrieben"));
    QCOMPARE(rowTexts(model, 0), (QStringList{"Polygon", "Beet", "2.0000", "3.0000", ""}));
    QCOMPARE(rowTexts(model, 1), (QStringList{"Winkel", "Ecke", "", "", "90.0000° / 270.0000°"}));
}

void tst_ResultsModel::segmentsAndUncertainty_data()
{
    QTest::addColumn<int>("areaDecimals");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QStringList>("firstSide");
    QTest::addColumn<QStringList>("polygon");
    // A 3-4-5 triangle at half a unit per pixel, drawn at 400 %: each corner is uncertain by
    // s = 0.5 / sqrt(3) / 4 pixels. The first side: sqrt(2) s = 0.051 units long, and
    // sqrt(2) s / 40 rad = 0.146 degrees in direction. The perimeter: the sums of the unit
    // vectors at the corners give sqrt(2 + 3.6 + 3.2) s = 0.107 units; the area: half the
    // opposite sides give sqrt(25² + 15² + 20²) s = 0.638 square units.
    QTest::newRow("two decimals") << 2 << false
                                  << QStringList{"Segment 1", "", "20.00", "", "0.00", "0.05", "", "0.15"}
                                  << QStringList{"Polygon", "", "60.00", "150.00", "", "0.11", "0.64", ""};
    QTest::newRow("decimals after the uncertainty")
        << 4 << true << QStringList{"Segment 1", "", "20.00", "", "0.0", "0.05", "", "0.1"}
        << QStringList{"Polygon", "", "60.0", "150.0", "", "0.1", "0.6", ""};
}

void tst_ResultsModel::segmentsAndUncertainty()
{
    QFETCH(int, areaDecimals);
    QFETCH(bool, fit);
    QFETCH(QStringList, firstSide);
    QFETCH(QStringList, polygon);

    Document doc;
    Telemente *e = add(doc, TypPolygon);
    for (const Pt p : {Pt{0, 0}, Pt{40, 0}, Pt{0, 30}, Pt{0, 0}})
        Document::appendVertex(e->vert, p.x, p.y);
    doc.setPlacementZoom(0, 400);
    add(doc, TypDistance, {0, 0}, {10, 0});
    ResultsOptions options;
    options.scale.pixelLength = 2;
    options.scale.realLength = 1;
    options.segments = true;
    options.uncertainty = true;
    options.fitDecimals = fit;
    for (int i = 0; i < doc.count(); ++i)
        computeElementValues(doc, i, options.scale);

    ResultsModel model;
    model.ListObjekte(doc, areaDecimals, options);
    QCOMPARE(model.columnCount(), 8);
    QCOMPARE(model.headerData(ResultsModel::ColumnPlusMinusLaenge, Qt::Horizontal).toString(), "± Länge/Umfang");
    QCOMPARE(rowTexts(model, 0), polygon);
    const QModelIndex parent = model.index(0, 0);
    QCOMPARE(model.rowCount(parent), 3);
    QCOMPARE(model.rowCount(model.index(1, 0)), 0);
    QCOMPARE(model.parent(model.index(2, 3, parent)), parent);
    QStringList side;
    for (int c = 0; c < model.columnCount(); ++c)
        side << model.data(model.index(0, c, parent)).toString();
    QCOMPARE(side, firstSide);
    QCOMPARE(model.data(model.index(2, 0, parent)).toString(), "Segment 3");
    QCOMPARE(model.segmentText(0, 1, ResultsModel::ColumnLaenge).toDouble(), 25.0);
    QCOMPARE(model.segmentText(0, 2, ResultsModel::ColumnWinkel).toDouble(), -90.0);

    const QStringList captions{"Typ", "Bezeichnung", "Länge/Umfang", "Flächeninhalt", "Winkel"};
    const QList<QStringList> table = resultsTable(model, captions, "Einheit", "m");
    QCOMPARE(table.size(), 1 + 1 + 3 + 1);
    QCOMPARE(table.at(0).mid(5), (QStringList{"Einheit", "± Länge/Umfang", "± Flächeninhalt", "± Winkel"}));
    QCOMPARE(table.at(2).at(0), "Segment 1");
    QCOMPARE(table.at(2).at(5), "m");
    QCOMPARE(table.at(2).at(6), firstSide.at(5));
    QCOMPARE(table.at(4).at(0), "Segment 3");
    QCOMPARE(table.at(5).at(0), Message(18));
    QCOMPARE(resultsTable(model, captions, "Einheit", "m", false).size(), 3);

    // Without the options the list is as it always was.
    model.ListObjekte(doc, areaDecimals);
    QCOMPARE(model.columnCount(), 5);
    QCOMPARE(model.rowCount(parent), 0);
    QCOMPARE(resultsTable(model, captions, "Einheit", "m").at(1).size(), 6);
}

QTEST_GUILESS_MAIN(tst_ResultsModel)
#include "tst_resultsmodel.moc"
